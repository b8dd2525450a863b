#include "compositing/multiband_blend.h"

#include <algorithm>
#include <vector>

#include "imaging/image_ops.h"
#include "imaging/parallel.h"

namespace tp {

namespace {

constexpr float kInverse255 = 0.003921569f;

using FloatPyramid = std::vector<FloatImage>;

// Calls body(first, last) for bands of rows covering [0, rows) of `width` samples each, spread over the
// worker threads. Every row is computed alike in whichever band it falls, so the result never depends on
// the banding. Inside another parallel loop (the three channels of a small patch at once) the bands run on
// the calling thread, as do small levels, where waking the threads would cost more than the work.
template <typename Body>
void ForRowBands(int rows, int width, Body body)
{
    constexpr long long kSmallLevel = 1 << 16;
    if (static_cast<long long>(rows) * width < kSmallLevel) {
        body(0, rows);
        return;
    }
    const int band = std::max(16, (rows + 4 * WorkerThreads() - 1) / (4 * WorkerThreads()));
    ParallelFor(0, (rows + band - 1) / band, [&](int i) { body(i * band, std::min(rows, (i + 1) * band)); });
}

// The next coarser level: the even part smoothed (sigma 1) and sampled at even rows and columns. Only the
// kept samples are computed, the row pass at even columns and the column pass at even rows, with the values
// of whole-plane smoothing.
FloatImage Reduce(const FloatImage& level)
{
    const int w = level.width() & ~1, h = level.height() & ~1;
    const std::vector<float> kernel = GaussianKernel(1.0f);
    FloatImage rows(w / 2, h);
    ForRowBands(h, w, [&](int first, int last) {
        for (int y = first; y < last; ++y) SmoothRowAtEvenColumns(level.row(y), w, kernel, rows.row(y));
    });
    FloatImage reduced(w / 2, h / 2);
    ForRowBands(h / 2, w / 2, [&](int first, int last) {
        for (int oy = first; oy < last; ++oy) SmoothColumn(rows, kernel, 2 * oy, reduced.row(oy));
    });
    return reduced;
}

// The expansion of a level: every pixel doubled into a 2 x 2 block, then smoothed (sigma 1). It is only
// ever added to or subtracted from the next finer level, so it is made a row at a time and handed to
// combine(fine sample, expanded sample), without a plane of its own. The two rows a level row doubles into
// are equal, and so are their row passes: each is computed once and kept while the column window needs it.
// The column pass sums as whole-plane smoothing does: taps ascending from zero, rows outside left out.
template <typename Combine>
void CombineExpansion(const FloatImage& coarse, FloatImage& fine, Combine combine)
{
    const int width = 2 * coarse.width(), height = 2 * coarse.height();
    const std::vector<float> kernel = GaussianKernel(1.0f);
    const int taps = static_cast<int>(kernel.size());
    const int half = taps / 2;

    // Each band of rows keeps its own row passes.
    ForRowBands(height, width, [&](int first, int last) {
        // Row passes of the coarse rows the column window reaches (at most half the taps, plus one).
        const int kept = half + 2;
        std::vector<std::vector<float>> passes(static_cast<std::size_t>(kept), std::vector<float>(static_cast<std::size_t>(width)));
        std::vector<int> pass_row(static_cast<std::size_t>(kept), -1);
        std::vector<float> doubled(static_cast<std::size_t>(width));
        auto row_pass = [&](int coarse_row) -> const float* {
            const std::size_t slot = static_cast<std::size_t>(coarse_row % kept);
            float* out = passes[slot].data();
            if (pass_row[slot] == coarse_row) return out;
            pass_row[slot] = coarse_row;
            const float* in = coarse.row(coarse_row);
            for (int x = 0; x < width; ++x) doubled[static_cast<std::size_t>(x)] = in[x / 2];
            SmoothRow(doubled.data(), width, kernel, out);
            return out;
        };

        std::vector<float> expanded(static_cast<std::size_t>(width));
        for (int y = first; y < last; ++y) {
            std::fill(expanded.begin(), expanded.end(), 0.0f);
            for (int t = 0; t < taps; ++t) {
                const int source_row = y + t - half;
                if (source_row < 0 || source_row >= height) continue;
                const float weight = kernel[static_cast<std::size_t>(t)];
                const float* in = row_pass(source_row / 2);
                for (int x = 0; x < width; ++x) expanded[static_cast<std::size_t>(x)] += weight * in[x];
            }
            float* target = fine.row(y);
            for (int x = 0; x < width; ++x) combine(target[x], expanded[static_cast<std::size_t>(x)]);
        }
    });
}

FloatPyramid Gaussian(FloatImage base, int levels)
{
    FloatPyramid pyramid;
    pyramid.push_back(std::move(base));
    for (int i = 1; i < levels; ++i) pyramid.push_back(Reduce(pyramid.back()));
    return pyramid;
}

// Laplacian levels in place: each level minus the expansion of the next over the expanded area (an odd last
// row or column keeps its Gaussian value); the coarsest level stays as it is.
void ToLaplacian(FloatPyramid& pyramid)
{
    for (std::size_t i = 0; i + 1 < pyramid.size(); ++i)
        CombineExpansion(pyramid[i + 1], pyramid[i], [](float& fine, float expanded) { fine -= expanded; });
}

FloatImage ToFloatPlane(const GrayImage& plane)
{
    FloatImage f;
    ToFloat(plane, f);
    return f;
}

}  // namespace

int BlendLevels(int width, int height)
{
    int side = std::min(width, height);
    if (side < 2) return 0;
    int levels = 0;
    while (side > 1) {
        side /= 2;
        ++levels;
    }
    return levels;
}

void MultiBandBlend(GrayImage& mosaic, const GrayImage& source, const GrayImage& mask, int levels)
{
    FloatImage a = ToFloatPlane(mosaic);
    FloatImage b = ToFloatPlane(source);
    ForRowBands(a.height(), a.width(), [&](int first, int last) {
        for (int y = first; y < last; ++y)
            for (int x = 0; x < a.width(); ++x) {
                if (a.at(x, y) == 0.0f) a.at(x, y) = b.at(x, y);
                if (b.at(x, y) == 0.0f) b.at(x, y) = a.at(x, y);
            }
    });
    const int count = std::max(levels, 1);
    FloatPyramid la = Gaussian(std::move(a), count);
    FloatPyramid lb = Gaussian(std::move(b), count);
    FloatPyramid gm = Gaussian(ToFloatPlane(mask), count);
    ToLaplacian(la);
    ToLaplacian(lb);

    // Each level is blended in place of the canvas's level: no third pyramid is held.
    for (int i = 0; i < count; ++i) {
        const FloatImage& m = gm[static_cast<std::size_t>(i)];
        FloatImage& out = la[static_cast<std::size_t>(i)];
        const FloatImage& other = lb[static_cast<std::size_t>(i)];
        ForRowBands(m.height(), m.width(), [&](int first, int last) {
            for (int y = first; y < last; ++y)
                for (int x = 0; x < m.width(); ++x) {
                    const float keep = m.at(x, y);
                    out.at(x, y) = (255.0f - keep) * kInverse255 * other.at(x, y) + keep * kInverse255 * out.at(x, y);
                }
        });
    }
    lb.clear();
    gm.clear();
    for (int i = count - 1; i > 0; --i) {
        CombineExpansion(la[static_cast<std::size_t>(i)], la[static_cast<std::size_t>(i) - 1],
                         [](float& finer, float expanded) { finer += expanded; });
    }
    ToBytes(la[0], mosaic);
    for (int y = 0; y < mosaic.height(); ++y)
        for (int x = 0; x < mosaic.width(); ++x)
            if (mosaic.at(x, y) == 0) mosaic.at(x, y) = 1;
}

}  // namespace tp
