#include "compositing/multiband_blend.h"

#include <algorithm>
#include <vector>

#include "imaging/image_ops.h"

namespace tp {

namespace {

constexpr float kInverse255 = 0.003921569f;

using FloatPyramid = std::vector<FloatImage>;

// The next coarser level: the even part smoothed (sigma 1) and sampled at even rows and columns.
FloatImage Reduce(const FloatImage& level)
{
    const int w = level.width() & ~1, h = level.height() & ~1;
    FloatImage even(w, h);
    for (int y = 0; y < h; ++y) std::copy_n(level.row(y), w, even.row(y));
    FloatImage smoothed;
    GaussianSmooth(even, 1.0f, smoothed);
    FloatImage reduced(w / 2, h / 2);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x) reduced.at(x, y) = smoothed.at(2 * x, 2 * y);
    return reduced;
}

// Every pixel doubled into a 2 x 2 block, then smoothed (sigma 1).
FloatImage Expand(const FloatImage& level)
{
    FloatImage doubled(2 * level.width(), 2 * level.height());
    for (int y = 0; y < doubled.height(); ++y)
        for (int x = 0; x < doubled.width(); ++x) doubled.at(x, y) = level.at(x / 2, y / 2);
    FloatImage smoothed;
    GaussianSmooth(doubled, 1.0f, smoothed);
    return smoothed;
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
    for (std::size_t i = 0; i + 1 < pyramid.size(); ++i) {
        const FloatImage expanded = Expand(pyramid[i + 1]);
        FloatImage& level = pyramid[i];
        for (int y = 0; y < expanded.height(); ++y)
            for (int x = 0; x < expanded.width(); ++x) level.at(x, y) -= expanded.at(x, y);
    }
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
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.at(x, y) == 0.0f) a.at(x, y) = b.at(x, y);
            if (b.at(x, y) == 0.0f) b.at(x, y) = a.at(x, y);
        }
    const int count = std::max(levels, 1);
    FloatPyramid la = Gaussian(std::move(a), count);
    FloatPyramid lb = Gaussian(std::move(b), count);
    const FloatPyramid gm = Gaussian(ToFloatPlane(mask), count);
    ToLaplacian(la);
    ToLaplacian(lb);

    FloatPyramid blended(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const FloatImage& m = gm[static_cast<std::size_t>(i)];
        FloatImage& out = blended[static_cast<std::size_t>(i)];
        out.allocate(m.width(), m.height());
        for (int y = 0; y < m.height(); ++y)
            for (int x = 0; x < m.width(); ++x) {
                const float keep = m.at(x, y);
                out.at(x, y) = (255.0f - keep) * kInverse255 * lb[static_cast<std::size_t>(i)].at(x, y) +
                               keep * kInverse255 * la[static_cast<std::size_t>(i)].at(x, y);
            }
    }
    for (int i = count - 1; i > 0; --i) {
        const FloatImage expanded = Expand(blended[static_cast<std::size_t>(i)]);
        FloatImage& finer = blended[static_cast<std::size_t>(i) - 1];
        for (int y = 0; y < expanded.height(); ++y)
            for (int x = 0; x < expanded.width(); ++x) finer.at(x, y) += expanded.at(x, y);
    }
    ToBytes(blended[0], mosaic);
    for (int y = 0; y < mosaic.height(); ++y)
        for (int x = 0; x < mosaic.width(); ++x)
            if (mosaic.at(x, y) == 0) mosaic.at(x, y) = 1;
}

}  // namespace tp
