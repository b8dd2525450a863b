// The correction of one source: a homography fitted to its matches, every match weighted by the shape of
// its patch and how well it correlated, then refitted with weights that shrink for the worst residuals.
#include <cmath>
#include <vector>

#include "compositing/realignment.h"
#include "imaging/lu.h"

namespace tp {

namespace {

constexpr int kUnknowns = 8;  // h00 .. h21; h22 is 1
constexpr int kReweightingRounds = 5;
constexpr double kSpreadFloor = 1e-6;
constexpr double kTraceFloor = 0.001;
constexpr double kResidualFloor = 0.0001;

double SquaredNorm(const Matrix2& m) { return m[0] * m[0] + m[1] * m[1] + m[2] * m[2] + m[3] * m[3]; }

Matrix2 Scaled(const Matrix2& m, double factor) { return {m[0] * factor, m[1] * factor, m[2] * factor, m[3] * factor}; }

}  // namespace

void ScaleByMatchQuality(std::vector<CorrectionFeature>& features)
{
    if (features.empty()) return;
    double mean = 0.0;
    for (const CorrectionFeature& f : features) mean += f.weight;
    mean /= static_cast<double>(features.size());
    double spread = 0.0;
    for (const CorrectionFeature& f : features) spread += (f.weight - mean) * (f.weight - mean);
    spread = std::sqrt(spread) + kSpreadFloor;
    // A perfect correlation (weight 1) keeps its full matrix; poorer ones shrink relative to the spread.
    for (CorrectionFeature& f : features) {
        const double miss = f.weight - 1.0;
        f.matrix = Scaled(f.matrix, 1.0 / (miss * miss / spread + 1.0));
    }
}

std::optional<Matrix> SolveWeightedHomography(const std::vector<CorrectionFeature>& features,
                                              const std::vector<Matrix2>& matrices)
{
    Matrix normal(kUnknowns, kUnknowns);
    std::vector<double> right(kUnknowns, 0.0);
    for (std::size_t i = 0; i < features.size() && i < matrices.size(); ++i) {
        const double x = features[i].predicted.x, y = features[i].predicted.y;
        const double fx = features[i].found.x, fy = features[i].found.y;
        const double first[kUnknowns] = {x, y, 1.0, 0.0, 0.0, 0.0, -x * fx, -y * fx};
        const double second[kUnknowns] = {0.0, 0.0, 0.0, x, y, 1.0, -x * fy, -y * fy};
        // Both rows premultiplied by the transpose of M = [[m0, m1], [m2, m3]].
        const Matrix2& m = matrices[i];
        const double mixes[2][2] = {{m[0], m[2]}, {m[1], m[3]}};
        for (const auto& mix : mixes) {
            double row[kUnknowns];
            for (int k = 0; k < kUnknowns; ++k) row[k] = mix[0] * first[k] + mix[1] * second[k];
            const double target = mix[0] * fx + mix[1] * fy;
            for (int r = 0; r < kUnknowns; ++r) {
                for (int c = 0; c < kUnknowns; ++c) normal[r][c] += row[r] * row[c];
                right[static_cast<std::size_t>(r)] += row[r] * target;
            }
        }
    }
    std::vector<int> pivots;
    double parity = 0.0;
    if (!LUDecompose(normal, pivots, parity)) return std::nullopt;
    LUSolve(normal, pivots, right);
    Matrix h = Matrix::Identity(3);
    for (int k = 0; k < kUnknowns; ++k) {
        if (!std::isfinite(right[static_cast<std::size_t>(k)])) return std::nullopt;
        h.data()[k] = right[static_cast<std::size_t>(k)];
    }
    return h;
}

std::vector<Matrix2> ReweightByResiduals(const std::vector<CorrectionFeature>& features, const Matrix& h)
{
    // v_i: the residual seen through the patch's shape, relative to the shape's size. NaN marks a prediction
    // that h sends to no position; such a feature gets no weight and stays out of the mean.
    std::vector<double> v(features.size());
    double sum_of_squares = 0.0;
    int counted = 0;
    for (std::size_t i = 0; i < features.size(); ++i) {
        const CorrectionFeature& f = features[i];
        const double x = f.predicted.x, y = f.predicted.y;
        const double d = h[2][0] * x + h[2][1] * y + h[2][2];
        const double mx = (h[0][0] * x + h[0][1] * y + h[0][2]) / d;
        const double my = (h[1][0] * x + h[1][1] * y + h[1][2]) / d;
        if (d == 0.0 || !std::isfinite(mx) || !std::isfinite(my)) {
            v[i] = std::nan("");
            continue;
        }
        const double dx = f.found.x - mx, dy = f.found.y - my;
        const Matrix2& m = f.matrix;
        const double ex = m[0] * dx + m[2] * dy;
        const double ey = m[1] * dx + m[3] * dy;
        v[i] = std::sqrt((ex * ex + ey * ey) / (SquaredNorm(m) + kTraceFloor));
        sum_of_squares += v[i] * v[i];
        ++counted;
    }
    const double s = counted > 0 ? std::sqrt(sum_of_squares / counted) : 0.0;
    std::vector<Matrix2> matrices(features.size());
    for (std::size_t i = 0; i < features.size(); ++i)
        matrices[i] = std::isnan(v[i]) ? Matrix2{} : Scaled(features[i].matrix, 1.0 / (v[i] * v[i] / (s + kResidualFloor) + 1.0));
    return matrices;
}

std::optional<Matrix> FitCorrection(const std::vector<CorrectionFeature>& features)
{
    std::vector<Matrix2> base(features.size());
    for (std::size_t i = 0; i < features.size(); ++i) base[i] = features[i].matrix;
    std::optional<Matrix> h = SolveWeightedHomography(features, base);
    for (int round = 0; round < kReweightingRounds && h; ++round)
        h = SolveWeightedHomography(features, ReweightByResiduals(features, *h));
    return h;
}

}  // namespace tp
