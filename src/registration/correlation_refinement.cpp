#include "registration/correlation_refinement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "imaging/lu.h"

namespace tp {

namespace {

constexpr int kParameters = 8;
using Vector8 = std::array<double, kParameters>;

// Fewer samples than this, or an overlap under this share of A, make the correlation meaningless.
constexpr int kMinimumSamples = 200;
constexpr double kMinimumOverlapShare = 0.03;
// Iteration limit below the first level, and the shift (pixels of the level) below which an update counts as converged.
constexpr int kFineIterations = 30;
constexpr double kConvergedShift = 0.05;
// About this many samples of A per level are plenty for eight parameters; finer levels are sampled on a
// sparser grid.
constexpr double kSamplesPerLevel = 12000;

// The homography as eight parameters in normalised coordinates (centred, divided by `scale`), h8 = 1.
Vector8 Normalise(const Matrix& h, double scale)
{
    const double k = h[2][2];
    return {h[0][0] / k, h[0][1] / k, h[0][2] / (k * scale), h[1][0] / k, h[1][1] / k, h[1][2] / (k * scale),
            h[2][0] * scale / k, h[2][1] * scale / k};
}

Matrix Denormalise(const Vector8& p, double scale)
{
    Matrix h(3, 3);
    h[0][0] = p[0];
    h[0][1] = p[1];
    h[0][2] = p[2] * scale;
    h[1][0] = p[3];
    h[1][1] = p[4];
    h[1][2] = p[5] * scale;
    h[2][0] = p[6] / scale;
    h[2][1] = p[7] / scale;
    h[2][2] = 1.0;
    return h;
}

// Sums over the samples of one iteration: J the Jacobian row of the warped B, t the sample of A, i the
// warped sample of B.
struct Sums {
    double jj[kParameters][kParameters] = {};
    Vector8 j{}, jt{}, ji{};
    double t = 0, i = 0, tt = 0, ii = 0, ti = 0;
    long n = 0;
};

bool Accumulate(const GrayImage& a, const GrayImage& b, const Vector8& p, double scale, Sums& s)
{
    const int step = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(a.width()) * a.height() / kSamplesPerLevel))));
    const int bw = b.width(), bh = b.height();
    const double ha = a.width() / 2, va = a.height() / 2, hb = bw / 2, vb = bh / 2;
    const double max_x = bw - 2.0, max_y = bh - 2.0;
    for (int y = 1; y < a.height() - 1; y += step) {
        const double ny = (y - va) / scale;
        const std::uint8_t* arow = a.row(y);
        for (int x = 1; x < a.width() - 1; x += step) {
            const double nx = (x - ha) / scale;
            const double d = p[6] * nx + p[7] * ny + 1.0;
            if (d <= 1e-6) continue;
            const double inv = 1.0 / d;
            const double u = (p[0] * nx + p[1] * ny + p[2]) * inv;  // normalised position in B
            const double v = (p[3] * nx + p[4] * ny + p[5]) * inv;
            const double bx = u * scale + hb, by = v * scale + vb;
            if (!(bx >= 1.0 && by >= 1.0 && bx < max_x && by < max_y)) continue;
            const int ix = static_cast<int>(bx), iy = static_cast<int>(by);
            const float fx = static_cast<float>(bx - ix), fy = static_cast<float>(by - iy);
            // Bilinear value and bilinear central-difference gradients, read from the 4 x 4 neighbourhood.
            const std::uint8_t* rm = b.row(iy - 1) + ix;
            const std::uint8_t* r0 = b.row(iy) + ix;
            const std::uint8_t* r1 = b.row(iy + 1) + ix;
            const std::uint8_t* r2 = b.row(iy + 2) + ix;
            const auto lerp = [](float l, float r, float f) { return l + f * (r - l); };
            const float top = lerp(r0[0], r0[1], fx), bottom = lerp(r1[0], r1[1], fx);
            const double value = lerp(top, bottom, fy);
            const float dx0 = lerp(r0[1] - r0[-1], r0[2] - r0[0], fx), dx1 = lerp(r1[1] - r1[-1], r1[2] - r1[0], fx);
            const float dy0 = lerp(r1[0] - rm[0], r1[1] - rm[1], fx), dy1 = lerp(r2[0] - r0[0], r2[1] - r0[1], fx);
            const double gx = 0.5 * lerp(dx0, dx1, fy) * scale;
            const double gy = 0.5 * lerp(dy0, dy1, fy) * scale;
            const double gxy = -(gx * u + gy * v) * inv;
            const Vector8 jrow = {gx * nx * inv, gx * ny * inv, gx * inv, gy * nx * inv, gy * ny * inv, gy * inv, gxy * nx, gxy * ny};
            const double t = arow[x];
            for (std::size_t r = 0; r < kParameters; ++r) {
                for (std::size_t c = r; c < kParameters; ++c) s.jj[r][c] += jrow[r] * jrow[c];
                s.j[r] += jrow[r];
                s.jt[r] += jrow[r] * t;
                s.ji[r] += jrow[r] * value;
            }
            s.t += t;
            s.i += value;
            s.tt += t * t;
            s.ii += value * value;
            s.ti += t * value;
            ++s.n;
        }
    }
    const double area = static_cast<double>(a.width()) * a.height() / (step * step);
    return s.n >= kMinimumSamples && s.n >= kMinimumOverlapShare * area;
}

// One step of the enhanced-correlation iteration; false when it breaks down.
bool Update(const Sums& s, Vector8& p, double scale, double& shift)
{
    const double n = static_cast<double>(s.n);
    const double mean_t = s.t / n, mean_i = s.i / n;
    const double tt = s.tt - s.t * mean_t, ii = s.ii - s.i * mean_i, ti = s.ti - s.t * mean_i;
    if (tt <= 0 || ii <= 0) return false;
    Matrix hessian(kParameters, kParameters);
    for (int r = 0; r < kParameters; ++r)
        for (int c = 0; c < kParameters; ++c) hessian[r][c] = r <= c ? s.jj[r][c] : s.jj[c][r];
    std::vector<int> pivots;
    double parity = 0;
    if (!LUDecompose(hessian, pivots, parity)) return false;
    std::vector<double> gt(kParameters), gi(kParameters);
    for (std::size_t r = 0; r < kParameters; ++r) {
        gt[r] = s.jt[r] - mean_t * s.j[r];  // J^T (t - mean t)
        gi[r] = s.ji[r] - mean_i * s.j[r];  // J^T (i - mean i)
    }
    std::vector<double> hgi = gi;
    LUSolve(hessian, pivots, hgi);
    double i_p_i = 0, t_p_i = 0;
    for (std::size_t r = 0; r < kParameters; ++r) {
        i_p_i += gi[r] * hgi[r];
        t_p_i += gt[r] * hgi[r];
    }
    const double denominator = ti - t_p_i;
    if (!(denominator > 0)) return false;
    const double lambda = (ii - i_p_i) / denominator;
    std::vector<double> delta(kParameters);
    for (std::size_t r = 0; r < kParameters; ++r) delta[r] = lambda * gt[r] - gi[r];
    LUSolve(hessian, pivots, delta);
    for (std::size_t r = 0; r < kParameters; ++r) {
        if (!std::isfinite(delta[r])) return false;
        p[r] += delta[r];
    }
    shift = std::hypot(delta[2], delta[5]) * scale;
    return true;
}

bool RefineLevel(const GrayImage& a, const GrayImage& b, Matrix& h, int iterations)
{
    const double scale = std::max(a.width(), a.height()) * 0.5;
    if (scale < 8 || h[2][2] == 0.0) return false;
    Vector8 p = Normalise(h, scale);
    for (int k = 0; k < iterations; ++k) {
        Sums sums;
        if (!Accumulate(a, b, p, scale, sums)) return false;
        double shift = 0;
        if (!Update(sums, p, scale, shift)) return false;
        if (shift < kConvergedShift) break;
    }
    h = Denormalise(p, scale);
    return true;
}

}  // namespace

Matrix ToFinerLevel(const Matrix& h, int steps)
{
    Matrix finer = h;
    const double factor = std::ldexp(1.0, steps);
    finer[0][2] *= factor;
    finer[1][2] *= factor;
    finer[2][0] /= factor;
    finer[2][1] /= factor;
    return finer;
}

bool RefineByCorrelation(const Pyramid& a, const Pyramid& b, Matrix& h, CorrelationRefinement levels)
{
    const int coarsest = std::min({levels.coarsest_level, static_cast<int>(a.size()) - 1, static_cast<int>(b.size()) - 1});
    if (coarsest < 0 || coarsest < levels.coarsest_level) return false;
    const int finest = std::clamp(levels.finest_level, 0, coarsest);
    for (int n = coarsest; n >= finest; --n) {
        const std::size_t level = static_cast<std::size_t>(n);
        if (!RefineLevel(a[level], b[level], h, n == coarsest ? levels.coarsest_iterations : kFineIterations)) return false;
        if (n > finest) h = ToFinerLevel(h, 1);
    }
    h = ToFinerLevel(h, finest);
    return true;
}

}  // namespace tp
