#include "registration/homography.h"

#include <cmath>
#include <vector>

#include "imaging/fatal_error.h"
#include "imaging/lu.h"

namespace tp {

namespace {

constexpr int kUnknowns = 8;
constexpr int kReweightRounds = 10;

// One weighted solve; false when the system is singular.
bool SolveWeighted(std::span<const PointF> source, std::span<const PointF> target, const std::vector<double>& weights,
                   std::vector<double>& solution)
{
    const std::size_t n = source.size();
    Matrix a(static_cast<int>(2 * n), kUnknowns);
    std::vector<double> b(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = source[i].x, y = source[i].y;
        const double tx = target[i].x, ty = target[i].y;
        const double w = weights[i];
        double* even = a[static_cast<int>(2 * i)];
        double* odd = a[static_cast<int>(2 * i + 1)];
        const double even_row[kUnknowns] = {x * w, y * w, w, 0, 0, 0, -tx * x * w, -tx * y * w};
        const double odd_row[kUnknowns] = {0, 0, 0, x * w, y * w, w, -ty * x * w, -ty * y * w};
        std::copy(even_row, even_row + kUnknowns, even);
        std::copy(odd_row, odd_row + kUnknowns, odd);
        b[2 * i] = tx * w;
        b[2 * i + 1] = ty * w;
    }
    Matrix system;
    if (n == 4) {
        system = std::move(a);
        solution = b;
    } else {
        system.reallocate(kUnknowns, kUnknowns);
        solution.assign(kUnknowns, 0.0);
        for (int r = 0; r < 2 * static_cast<int>(n); ++r) {
            const double* row = a[r];
            for (int i = 0; i < kUnknowns; ++i) {
                solution[static_cast<std::size_t>(i)] += row[i] * b[static_cast<std::size_t>(r)];
                for (int j = 0; j < kUnknowns; ++j) system[i][j] += row[i] * row[j];
            }
        }
    }
    std::vector<int> pivots;
    double parity = 1.0;
    if (!LUDecompose(system, pivots, parity)) return false;
    LUSolve(system, pivots, solution);
    for (double v : solution)
        if (!std::isfinite(v)) return false;
    return true;
}

bool FitWeighted(std::span<const PointF> source, std::span<const PointF> target, Matrix& h)
{
    const std::size_t n = source.size();
    std::vector<double> weights(n, 1.0);
    std::vector<double> solution;
    for (int round = 0; round < kReweightRounds; ++round) {
        if (!SolveWeighted(source, target, weights, solution)) return false;
        for (std::size_t i = 0; i < n; ++i) {
            const double d = solution[6] * source[i].x + solution[7] * source[i].y + 1.0;
            if (d == 0.0) {
                std::fill(weights.begin(), weights.end(), 1.0);
                break;
            }
            weights[i] = 1.0 / d;
        }
    }
    h.reallocate(3, 3);
    for (int i = 0; i < kUnknowns; ++i) h.data()[i] = solution[static_cast<std::size_t>(i)];
    h[2][2] = 1.0;
    return true;
}

}  // namespace

bool FitHomography(std::span<const PointF> source, std::span<const PointF> target, Matrix& h)
{
    const std::size_t n = source.size();
    if (n < 4 || target.size() != n) return false;
    try {
        return FitWeighted(source, target, h);
    } catch (const std::bad_alloc&) {
        FatalOutOfMemory();
    }
}

Matrix TranslationHomography(double tx, double ty)
{
    Matrix h = Matrix::Identity(3);
    h[0][2] = tx;
    h[1][2] = ty;
    return h;
}

}  // namespace tp
