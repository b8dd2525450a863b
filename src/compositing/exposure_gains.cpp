#include "compositing/exposure_gains.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "compositing/mosaic.h"
#include "compositing/placed_sources.h"
#include "imaging/matrix.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"

namespace tp {

namespace {

// A sample this bright may have been clipped by the camera: it no longer tells the exposure.
constexpr int kClipped = 250;

bool Clipped(const std::uint8_t* bgr) { return bgr[0] >= kClipped || bgr[1] >= kClipped || bgr[2] >= kClipped; }

// The overlap of two placed sources. Rows are summed apart and then added in order; the sums are integers,
// so the result is the same however the rows are spread.
PairOverlap MeasurePair(const PlacedSource& a, const PlacedSource& b, int width, int height)
{
    PairOverlap overlap;
    const OverlapRows span = CommonRows(a, b);
    if (span.last < span.first) return overlap;
    std::vector<PairOverlap> rows(static_cast<std::size_t>(span.last - span.first + 1));
    ForEachOverlapPixel(a, b, width, height, [&](int y, int, const std::uint8_t* p, const std::uint8_t* q, PointI, PointI) {
        if (IsEmptyPixel(p) || IsEmptyPixel(q) || Clipped(p) || Clipped(q)) return;
        PairOverlap& sums = rows[static_cast<std::size_t>(y - span.first)];
        ++sums.pixels;
        for (std::size_t c = 0; c < 3; ++c) {
            sums.first_sums[c] += p[c];
            sums.second_sums[c] += q[c];
        }
    });
    for (const PairOverlap& row : rows) {
        overlap.pixels += row.pixels;
        for (std::size_t c = 0; c < 3; ++c) {
            overlap.first_sums[c] += row.first_sums[c];
            overlap.second_sums[c] += row.second_sums[c];
        }
    }
    return overlap;
}

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

std::vector<PairOverlap> MeasureOverlaps(const Mosaic& mosaic)
{
    const int n = mosaic.source_count();
    const int width = mosaic.working_width(), height = mosaic.working_height();
    const std::vector<std::optional<PlacedSource>> placed = PlaceSources(mosaic);
    std::vector<PairOverlap> overlaps;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const auto& a = placed[static_cast<std::size_t>(i)];
            const auto& b = placed[static_cast<std::size_t>(j)];
            if (!a || !b) continue;
            PairOverlap overlap = MeasurePair(*a, *b, width, height);
            if (overlap.pixels == 0) continue;
            overlap.first = i;
            overlap.second = j;
            overlaps.push_back(overlap);
        }
    return overlaps;
}

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

std::vector<ChannelGains> EstimateExposureGains(const Mosaic& mosaic)
{
    return SolveGains(mosaic.source_count(), MeasureOverlaps(mosaic));
}

}  // namespace tp
