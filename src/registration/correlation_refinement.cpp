#include "registration/correlation_refinement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "imaging/lu.h"
#include "registration/overlap_score.h"

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
    const int step = SampleGridStep(a.width(), a.height(), kSamplesPerLevel);
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

// The sums of one iteration projected onto another set of parameters: every Jacobian row multiplied by
// `d` (8 x n, the change of the eight parameters per unit of each of the n).
struct ProjectedSums {
    std::vector<std::vector<double>> jj;
    std::vector<double> j, jt, ji;
};

ProjectedSums Project(const Sums& s, const std::vector<std::array<double, kParameters>>& d_columns)
{
    const std::size_t n = d_columns.size();
    ProjectedSums out{std::vector<std::vector<double>>(n, std::vector<double>(n, 0.0)), std::vector<double>(n, 0.0),
                      std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t r = 0; r < kParameters; ++r) {
            out.j[a] += s.j[r] * d_columns[a][r];
            out.jt[a] += s.jt[r] * d_columns[a][r];
            out.ji[a] += s.ji[r] * d_columns[a][r];
        }
        for (std::size_t b = 0; b < n; ++b) {
            double sum = 0;
            for (std::size_t r = 0; r < kParameters; ++r)
                for (std::size_t c = 0; c < kParameters; ++c)
                    sum += d_columns[a][r] * (r <= c ? s.jj[r][c] : s.jj[c][r]) * d_columns[b][c];
            out.jj[a][b] = sum;
        }
    }
    return out;
}

// One step of the enhanced-correlation iteration over n parameters; false when it breaks down.
bool EccStep(const Sums& s, const ProjectedSums& p, std::vector<double>& delta)
{
    const std::size_t count = p.j.size();
    const double n = static_cast<double>(s.n);
    const double mean_t = s.t / n, mean_i = s.i / n;
    const double tt = s.tt - s.t * mean_t, ii = s.ii - s.i * mean_i, ti = s.ti - s.t * mean_i;
    if (tt <= 0 || ii <= 0) return false;
    Matrix hessian(static_cast<int>(count), static_cast<int>(count));
    for (std::size_t r = 0; r < count; ++r)
        for (std::size_t c = 0; c < count; ++c) hessian[static_cast<int>(r)][c] = p.jj[r][c];
    std::vector<int> pivots;
    double parity = 0;
    if (!LUDecompose(hessian, pivots, parity)) return false;
    std::vector<double> gt(count), gi(count);
    for (std::size_t r = 0; r < count; ++r) {
        gt[r] = p.jt[r] - mean_t * p.j[r];  // J^T (t - mean t)
        gi[r] = p.ji[r] - mean_i * p.j[r];  // J^T (i - mean i)
    }
    std::vector<double> hgi = gi;
    LUSolve(hessian, pivots, hgi);
    double i_p_i = 0, t_p_i = 0;
    for (std::size_t r = 0; r < count; ++r) {
        i_p_i += gi[r] * hgi[r];
        t_p_i += gt[r] * hgi[r];
    }
    const double denominator = ti - t_p_i;
    if (!(denominator > 0)) return false;
    const double lambda = (ii - i_p_i) / denominator;
    delta.assign(count, 0.0);
    for (std::size_t r = 0; r < count; ++r) delta[r] = lambda * gt[r] - gi[r];
    LUSolve(hessian, pivots, delta);
    for (const double d : delta)
        if (!std::isfinite(d)) return false;
    return true;
}

// The sums over the eight homography parameters themselves.
ProjectedSums Unprojected(const Sums& s)
{
    ProjectedSums out{std::vector<std::vector<double>>(kParameters, std::vector<double>(kParameters)),
                      std::vector<double>(s.j.begin(), s.j.end()), std::vector<double>(s.jt.begin(), s.jt.end()),
                      std::vector<double>(s.ji.begin(), s.ji.end())};
    for (std::size_t r = 0; r < kParameters; ++r)
        for (std::size_t c = 0; c < kParameters; ++c) out.jj[r][c] = r <= c ? s.jj[r][c] : s.jj[c][r];
    return out;
}

// One step over the eight homography parameters themselves.
bool Update(const Sums& s, Vector8& p, double scale, double& shift)
{
    std::vector<double> delta;
    if (!EccStep(s, Unprojected(s), delta)) return false;
    for (std::size_t r = 0; r < kParameters; ++r) p[r] += delta[r];
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

// A camera that turned between the shots: rotation, focal length at level 0 and zoom of the second shot.
// The focal length stays as the nearest camera found it: over a narrow overlap it trades off against the
// turn, and refining it lets the two wander off together.
struct TurningCamera {
    std::array<std::array<double, 3>, 3> rotation{};
    double focal = 0.0;
    double zoom = 1.0;
};

using Matrix3 = std::array<std::array<double, 3>, 3>;

Matrix3 Multiply(const Matrix3& x, const Matrix3& y)
{
    Matrix3 out{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k) out[r][c] += x[r][k] * y[k][c];
    return out;
}

double Determinant(const Matrix3& m)
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The inverse's transpose (the cofactor matrix over the determinant).
Matrix3 InverseTranspose(const Matrix3& m)
{
    const double det = Determinant(m);
    Matrix3 out{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            out[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
        }
    return out;
}

// The rotation nearest to a matrix of positive determinant (its polar factor, by Newton's iteration).
Matrix3 NearestRotation(Matrix3 m)
{
    for (int k = 0; k < 20; ++k) {
        const Matrix3 it = InverseTranspose(m);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) m[r][c] = 0.5 * (m[r][c] + it[r][c]);
    }
    return m;
}

// exp([w]x): the rotation by |w| about w.
Matrix3 Rotation(double wx, double wy, double wz)
{
    const double angle = std::sqrt(wx * wx + wy * wy + wz * wz);
    Matrix3 r{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    if (angle < 1e-15) return r;
    const double x = wx / angle, y = wy / angle, z = wz / angle, c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    return {{{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
             {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
             {t * x * z - s * y, t * y * z + s * x, t * z * z + c}}};
}

// The camera's homography at a pyramid level (focal lengths halve with every level).
Matrix CameraHomography(const TurningCamera& camera, int level)
{
    const double fa = std::ldexp(camera.focal, -level), fb = fa * camera.zoom;
    Matrix h(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const double column = c < 2 ? 1.0 / fa : 1.0;  // K_a^-1
            const double row = r < 2 ? fb : 1.0;           // K_b
            h[r][c] = row * camera.rotation[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] * column;
        }
    const double k = h[2][2];
    for (int i = 0; i < 9; ++i) h.data()[i] /= k;
    return h;
}

// The camera the parameters' increments make: a further turn (q0..q2), and the zoom scaled by e^q3.
TurningCamera Moved(const TurningCamera& camera, const std::vector<double>& q)
{
    TurningCamera moved = camera;
    moved.rotation = Multiply(Rotation(q[0], q[1], q[2]), camera.rotation);
    moved.zoom = camera.zoom * std::exp(q[3]);
    return moved;
}

// The turning camera nearest to `h` (level 0): the focal length and zoom whose K_b^-1 h K_a is closest to a
// rotation, over a grid from a quarter to eight times the image size and zooms within 15 %.
bool NearestCamera(const Matrix& h, double size, TurningCamera& camera)
{
    double best = 1e300;
    for (int fi = 0; fi <= 48; ++fi) {
        const double f = size * std::pow(2.0, -2.0 + 5.0 * fi / 48.0);
        for (int zi = -6; zi <= 6; ++zi) {
            const double zoom = std::pow(1.15, zi / 6.0);
            Matrix3 m{};
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) m[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                    (r < 2 ? 1.0 / (f * zoom) : 1.0) * h[r][c] * (c < 2 ? f : 1.0);
            const double det = Determinant(m);
            if (!(det > 0)) continue;
            const double k = std::cbrt(det);
            for (auto& row : m)
                for (double& v : row) v /= k;
            const Matrix3 r = NearestRotation(m);
            double error = 0;
            for (std::size_t i = 0; i < 3; ++i)
                for (std::size_t j = 0; j < 3; ++j) error += (m[i][j] - r[i][j]) * (m[i][j] - r[i][j]);
            if (error < best) {
                best = error;
                camera = {r, f, zoom};
            }
        }
    }
    return best < 1e300;
}

bool RefineCameraLevel(const GrayImage& a, const GrayImage& b, TurningCamera& camera, int level, int iterations)
{
    constexpr int kCameraParameters = 4;  // the turn and the zoom
    constexpr double kStep = 1e-4;
    const double scale = std::max(a.width(), a.height()) * 0.5;
    if (scale < 8) return false;
    for (int k = 0; k < iterations; ++k) {
        const Vector8 p = Normalise(CameraHomography(camera, level), scale);
        Sums sums;
        if (!Accumulate(a, b, p, scale, sums)) return false;
        // How the eight parameters move per unit of each camera parameter, by finite differences.
        std::vector<std::array<double, kParameters>> columns(kCameraParameters);
        for (int j = 0; j < kCameraParameters; ++j) {
            std::vector<double> q(kCameraParameters, 0.0);
            q[static_cast<std::size_t>(j)] = kStep;
            const Vector8 moved = Normalise(CameraHomography(Moved(camera, q), level), scale);
            for (std::size_t r = 0; r < kParameters; ++r) columns[static_cast<std::size_t>(j)][r] = (moved[r] - p[r]) / kStep;
        }
        std::vector<double> delta;
        if (!EccStep(sums, Project(sums, columns), delta)) return false;
        camera = Moved(camera, delta);
        const Vector8 after = Normalise(CameraHomography(camera, level), scale);
        if (std::hypot(after[2] - p[2], after[5] - p[5]) * scale < kConvergedShift) break;
    }
    return std::isfinite(camera.zoom);
}

}  // namespace

bool RefineAsTurningCamera(const Pyramid& a, const Pyramid& b, Matrix& h, int from_level)
{
    if (a.empty() || b.empty() || h[2][2] == 0.0) return false;
    TurningCamera camera;
    if (!NearestCamera(h, std::max(a.front().width(), a.front().height()), camera)) return false;
    const int from = std::clamp(from_level, 0, static_cast<int>(std::min(a.size(), b.size())) - 1);
    for (int n = from; n >= 0; --n)
        if (!RefineCameraLevel(a[static_cast<std::size_t>(n)], b[static_cast<std::size_t>(n)], camera, n, kFineIterations)) return false;
    h = CameraHomography(camera, 0);
    return true;
}

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
