#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "compositing/multiband_blend.h"
#include "compositing/seam_search.h"
#include "imaging/image_ops.h"

namespace tp {
namespace {

GrayImage Plane(int w, int h, int value)
{
    GrayImage p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.at(x, y) = static_cast<std::uint8_t>(value);
    return p;
}

TEST(BlendLevelsTest, HalvingsOfTheShorterSide)
{
    EXPECT_EQ(BlendLevels(91, 300), 6);
    EXPECT_EQ(BlendLevels(2, 2), 1);
    EXPECT_EQ(BlendLevels(1, 50), 0);
    EXPECT_EQ(BlendLevels(128, 128), 7);
}

TEST(MultiBandBlendTest, EqualPlanesComeBackUnchangedAndZerosBecomeOne)
{
    GrayImage a(40, 30), b(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) a.at(x, y) = b.at(x, y) = static_cast<std::uint8_t>((x * 7 + y * 3) % 200 + 20);
    a.at(5, 5) = b.at(5, 5) = 0;
    const GrayImage expected = a;
    GrayImage mask(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x) mask.at(x, y) = kKeepMosaic;
    MultiBandBlend(a, b, mask, BlendLevels(40, 30));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x == 5 && y == 5) continue;
            ASSERT_NEAR(a.at(x, y), expected.at(x, y), 1) << x << "," << y;
        }
    EXPECT_EQ(a.at(5, 5), 1);
}

TEST(MultiBandBlendTest, TheMaskChoosesTheSideFarFromTheSeamAndBlendsAcrossIt)
{
    GrayImage mosaic = Plane(96, 64, 200);
    const GrayImage source = Plane(96, 64, 100);
    GrayImage mask(96, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) mask.at(x, y) = x < 48 ? kKeepMosaic : kTakeSource;
    MultiBandBlend(mosaic, source, mask, BlendLevels(96, 64));
    // Every band is mixed by the mask's own pyramid, so even the coarsest (the mean level) is shared: the
    // sides move toward each other but stay apart, with the transition around the seam.
    const int left = mosaic.at(10, 32), middle = mosaic.at(48, 32), right = mosaic.at(86, 32);
    EXPECT_GT(left, 165);
    EXPECT_LT(right, 135);
    EXPECT_GT(left, middle + 10);
    EXPECT_GT(middle, right + 10);
    // The transition is monotonic along a row.
    for (int x = 30; x < 70; ++x) EXPECT_LE(mosaic.at(x + 1, 32), mosaic.at(x, 32) + 1) << x;
}

TEST(MultiBandBlendTest, MissingSamplesBorrowTheOtherPlane)
{
    GrayImage mosaic(64, 64);  // nothing painted yet
    const GrayImage source = Plane(64, 64, 90);
    const GrayImage mask = Plane(64, 64, kKeepMosaic);
    MultiBandBlend(mosaic, source, mask, BlendLevels(64, 64));
    EXPECT_NEAR(mosaic.at(32, 32), 90, 1);
}

// The blend written out the long way, with whole-plane smoothing: reduce = smooth the even part and keep
// every other sample; expand = double every sample into a 2 x 2 block and smooth. MultiBandBlend computes
// only the samples it keeps; the bytes must come out the same.
namespace reference {

FloatImage Smoothed(const FloatImage& plane)
{
    FloatImage out;
    GaussianSmooth(plane, 1.0f, out);
    return out;
}

FloatImage Reduce(const FloatImage& level)
{
    const int w = level.width() & ~1, h = level.height() & ~1;
    FloatImage even(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) even.at(x, y) = level.at(x, y);
    const FloatImage smoothed = Smoothed(even);
    FloatImage reduced(w / 2, h / 2);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x) reduced.at(x, y) = smoothed.at(2 * x, 2 * y);
    return reduced;
}

FloatImage Expand(const FloatImage& level)
{
    FloatImage doubled(2 * level.width(), 2 * level.height());
    for (int y = 0; y < doubled.height(); ++y)
        for (int x = 0; x < doubled.width(); ++x) doubled.at(x, y) = level.at(x / 2, y / 2);
    return Smoothed(doubled);
}

std::vector<FloatImage> Laplacian(FloatImage base, int levels, bool laplacian)
{
    std::vector<FloatImage> pyramid{std::move(base)};
    for (int i = 1; i < levels; ++i) pyramid.push_back(Reduce(pyramid.back()));
    for (std::size_t i = 0; laplacian && i + 1 < pyramid.size(); ++i) {
        const FloatImage expanded = Expand(pyramid[i + 1]);
        for (int y = 0; y < expanded.height(); ++y)
            for (int x = 0; x < expanded.width(); ++x) pyramid[i].at(x, y) -= expanded.at(x, y);
    }
    return pyramid;
}

GrayImage Blend(const GrayImage& mosaic, const GrayImage& source, const GrayImage& mask, int levels)
{
    FloatImage a, b, m;
    ToFloat(mosaic, a);
    ToFloat(source, b);
    ToFloat(mask, m);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.at(x, y) == 0.0f) a.at(x, y) = b.at(x, y);
            if (b.at(x, y) == 0.0f) b.at(x, y) = a.at(x, y);
        }
    const int count = std::max(levels, 1);
    const std::vector<FloatImage> la = Laplacian(std::move(a), count, true);
    const std::vector<FloatImage> lb = Laplacian(std::move(b), count, true);
    const std::vector<FloatImage> gm = Laplacian(std::move(m), count, false);
    std::vector<FloatImage> blended(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < blended.size(); ++i) {
        blended[i].allocate(gm[i].width(), gm[i].height());
        for (int y = 0; y < gm[i].height(); ++y)
            for (int x = 0; x < gm[i].width(); ++x) {
                const float keep = gm[i].at(x, y);
                blended[i].at(x, y) = (255.0f - keep) * 0.003921569f * lb[i].at(x, y) + keep * 0.003921569f * la[i].at(x, y);
            }
    }
    for (std::size_t i = blended.size() - 1; i > 0; --i) {
        const FloatImage expanded = Expand(blended[i]);
        for (int y = 0; y < expanded.height(); ++y)
            for (int x = 0; x < expanded.width(); ++x) blended[i - 1].at(x, y) += expanded.at(x, y);
    }
    GrayImage out(mosaic.width(), mosaic.height());
    ToBytes(blended[0], out);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (out.at(x, y) == 0) out.at(x, y) = 1;
    return out;
}

}  // namespace reference

TEST(MultiBandBlendTest, MatchesWholePlaneSmoothingByteForByteAtOddSizes)
{
    std::mt19937 rng(17);
    for (const auto& [w, h] : {std::pair{37, 29}, std::pair{64, 45}, std::pair{33, 100}, std::pair{7, 5}}) {
        SCOPED_TRACE(::testing::Message() << w << "x" << h);
        GrayImage mosaic(w, h), source(w, h), mask(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                mosaic.at(x, y) = x < w / 4 ? 0 : static_cast<std::uint8_t>(rng() % 256);  // a strip to borrow
                source.at(x, y) = static_cast<std::uint8_t>(rng() % 256);
                mask.at(x, y) = x + y < (w + h) / 2 ? kKeepMosaic : kTakeSource;
            }
        const GrayImage expected = reference::Blend(mosaic, source, mask, BlendLevels(w, h));
        MultiBandBlend(mosaic, source, mask, BlendLevels(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(mosaic.at(x, y), expected.at(x, y)) << x << "," << y;
    }
}

}  // namespace
}  // namespace tp
