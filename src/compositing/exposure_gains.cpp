#include "compositing/exposure_gains.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "compositing/canvas_walk.h"
#include "compositing/mosaic.h"
#include "imaging/matrix.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"

namespace tp {

namespace {

// A sample this bright may have been clipped by the camera: it no longer tells the exposure.
constexpr int kClipped = 250;

bool Clipped(const std::uint8_t* bgr) { return bgr[0] >= kClipped || bgr[1] >= kClipped || bgr[2] >= kClipped; }

// A source as the overlap walk sees it: its working image, its box on the canvas and its inverse mapping.
struct PlacedSource {
    std::shared_ptr<const ColorImage> image;
    CanvasBox box;
    CanvasWalk walk;
};

// The overlap of two placed sources over the intersection of their boxes. Rows are summed apart and then
// added in order; the sums are integers, so the result is the same however the rows are spread.
PairOverlap MeasurePair(const PlacedSource& a, const PlacedSource& b, int width, int height)
{
    PairOverlap overlap;
    const CanvasBox box{std::max(a.box.min_x, b.box.min_x), std::max(a.box.min_y, b.box.min_y), std::min(a.box.max_x, b.box.max_x),
                        std::min(a.box.max_y, b.box.max_y)};
    if (box.empty()) return overlap;
    const auto usable = [&](double sx, double sy) { return sx >= 2.0 && sx < width - 2 && sy >= 2.0 && sy < height - 2; };
    const auto nearest = [](const ColorImage& image, double sx, double sy) {
        return image.pixel(static_cast<int>(sx + 0.5), static_cast<int>(sy + 0.5));
    };
    std::vector<PairOverlap> rows(static_cast<std::size_t>(box.max_y - box.min_y + 1));
    ParallelFor(box.min_y, box.max_y + 1, [&](int y) {
        std::vector<const std::uint8_t*> first(static_cast<std::size_t>(box.max_x - box.min_x + 1), nullptr);
        a.walk.ForRow(y, box.min_x, box.max_x, [&](int x, double sx, double sy) {
            if (usable(sx, sy)) first[static_cast<std::size_t>(x - box.min_x)] = nearest(*a.image, sx, sy);
        });
        PairOverlap& sums = rows[static_cast<std::size_t>(y - box.min_y)];
        b.walk.ForRow(y, box.min_x, box.max_x, [&](int x, double sx, double sy) {
            const std::uint8_t* p = first[static_cast<std::size_t>(x - box.min_x)];
            if (!p || !usable(sx, sy)) return;
            const std::uint8_t* q = nearest(*b.image, sx, sy);
            if (IsEmptyPixel(p) || IsEmptyPixel(q) || Clipped(p) || Clipped(q)) return;
            ++sums.pixels;
            for (std::size_t c = 0; c < 3; ++c) {
                sums.first_sums[c] += p[c];
                sums.second_sums[c] += q[c];
            }
        });
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
    const ColorImage& canvas = mosaic.planar();
    std::vector<std::optional<PlacedSource>> placed(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        // A source off the chain sits wherever its last transforms put it: its overlaps mean nothing.
        const SourceAlignment& record = mosaic.alignment(i);
        if (!record.in_chain) continue;
        std::shared_ptr<const ColorImage> image = mosaic.ShareWorkingImage(i);
        if (!image || image->width() != width || image->height() != height) continue;
        const CanvasBox box = SourceBoxOnCanvas(record.to_reference, width, height, mosaic.canvas_offset(), canvas.width(), canvas.height());
        if (box.empty()) continue;
        placed[static_cast<std::size_t>(i)].emplace(PlacedSource{std::move(image), box, CanvasWalk(record.from_reference, mosaic.canvas_offset(), width, height)});
    }
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

ColorImage ApplyExposureGains(const ColorImage& image, const ChannelGains& gains)
{
    std::array<std::array<std::uint8_t, 256>, 3> table{};
    for (std::size_t c = 0; c < 3; ++c)
        for (int v = 1; v < 256; ++v)
            table[c][static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::clamp(v * gains[c] + 0.5, 1.0, 255.0));
    ColorImage out(image.width(), image.height());
    ParallelFor(0, image.height(), [&](int y) {
        const std::uint8_t* in = image.row(y);
        std::uint8_t* row = out.row(y);
        for (int k = 0; k < 3 * image.width(); ++k) row[k] = table[static_cast<std::size_t>(k % 3)][in[k]];
    });
    return out;
}

}  // namespace tp
