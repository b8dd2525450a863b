#include <gtest/gtest.h>

#include "compositing/multiband_blend.h"
#include "compositing/seam_search.h"

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

}  // namespace
}  // namespace tp
