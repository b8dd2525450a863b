#include "compositing/exposure_gains.h"

#include <algorithm>

#include "imaging/matrix.h"

namespace tp {

namespace {

// Mean intensity over an overlap: of one channel, or of all three together.
double MeanIntensity(const std::array<std::int64_t, 3>& sums, std::int64_t pixels, int channel)
{
    if (channel >= 0) return static_cast<double>(sums[static_cast<std::size_t>(channel)]) / static_cast<double>(pixels);
    return static_cast<double>(sums[0] + sums[1] + sums[2]) / (3.0 * static_cast<double>(pixels));
}

// The normal equations of the model for one channel (-1: all three together), solved; all gains 1 when the
// system cannot be solved.
std::vector<double> SolveChannel(int source_count, const std::vector<PairOverlap>& overlaps, const GainModel& model, int channel)
{
    const double alpha = 1.0 / (model.sigma_difference * model.sigma_difference);
    const double beta = 1.0 / (model.sigma_gain * model.sigma_gain);
    Matrix a(source_count, source_count);
    std::vector<double> b(static_cast<std::size_t>(source_count), 0.0);
    for (const PairOverlap& o : overlaps) {
        if (o.pixels <= 0) continue;
        const double n = static_cast<double>(o.pixels);
        const double iij = MeanIntensity(o.first_sums, o.pixels, channel);
        const double iji = MeanIntensity(o.second_sums, o.pixels, channel);
        const int i = o.first, j = o.second;
        a[i][i] += 2.0 * alpha * iij * iij * n + beta * n;
        a[j][j] += 2.0 * alpha * iji * iji * n + beta * n;
        a[i][j] -= 2.0 * alpha * iij * iji * n;
        a[j][i] -= 2.0 * alpha * iji * iij * n;
        b[static_cast<std::size_t>(i)] += beta * n;
        b[static_cast<std::size_t>(j)] += beta * n;
    }
    // A source that overlaps nothing has nothing to agree with.
    for (int i = 0; i < source_count; ++i)
        if (a[i][i] == 0.0) {
            a[i][i] = 1.0;
            b[static_cast<std::size_t>(i)] = 1.0;
        }
    std::vector<double> gains(static_cast<std::size_t>(source_count), 1.0);
    Matrix inverse;
    if (!TryInverse(a, inverse)) return gains;
    for (int i = 0; i < source_count; ++i) {
        double g = 0.0;
        for (int j = 0; j < source_count; ++j) g += inverse[i][j] * b[static_cast<std::size_t>(j)];
        gains[static_cast<std::size_t>(i)] = g;
    }
    // Gains that would black out or invert a source mean the overlaps disagree beyond any exposure change.
    if (std::any_of(gains.begin(), gains.end(), [](double g) { return !(g > 0.0); })) std::fill(gains.begin(), gains.end(), 1.0);
    return gains;
}

}  // namespace

std::vector<ChannelGains> SolveGains(int source_count, const std::vector<PairOverlap>& overlaps, const GainModel& model)
{
    std::vector<ChannelGains> gains(static_cast<std::size_t>(source_count));
    for (int c = 0; c < 3; ++c) {
        // One gain per source: one system over the three channels together, its gain given to each.
        if (!model.per_channel && c > 0) {
            for (ChannelGains& g : gains) g[static_cast<std::size_t>(c)] = g[0];
            continue;
        }
        const std::vector<double> channel = SolveChannel(source_count, overlaps, model, model.per_channel ? c : -1);
        for (int i = 0; i < source_count; ++i) gains[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] = channel[static_cast<std::size_t>(i)];
    }
    return gains;
}

}  // namespace tp
