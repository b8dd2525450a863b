#include <gtest/gtest.h>

#include "imaging/image_ops.h"
#include "registration/phase_correlation.h"
#include "synthetic_views.h"

namespace tp {
namespace {

// Fine texture (a larger scene sampled every fourth pixel): with only smooth content the edges of the
// zero-padded planes would dominate the correlation.
GrayImage Textured(int width, int height, unsigned seed)
{
    const GrayImage scene = ToGray(test::MakeScene(4 * width, 4 * height, seed));
    GrayImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = scene.at(4 * x, 4 * y);
    return image;
}

// B = A moved by (dx, dy), with zero fill where nothing moves in.
GrayImage Shifted(const GrayImage& a, int dx, int dy)
{
    GrayImage b(a.width(), a.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int sx = x - dx, sy = y - dy;
            if (a.contains(sx, sy)) b.at(x, y) = a.at(sx, sy);
        }
    return b;
}

TEST(PhaseCorrelateTest, FindsTheShiftOfBRelativeToA)
{
    const GrayImage a = Textured(100, 80, 2);
    PhaseCorrelation r = PhaseCorrelate(a, Shifted(a, 5, 3));
    EXPECT_EQ(r.x, 5.0f);
    EXPECT_EQ(r.y, 3.0f);
    EXPECT_GT(r.peak, 0.0005f);

    r = PhaseCorrelate(a, Shifted(a, -5, 0));
    EXPECT_EQ(r.x, -5.0f);
    EXPECT_EQ(r.y, 0.0f);

    r = PhaseCorrelate(a, Shifted(a, -12, -20));
    EXPECT_EQ(r.x, -12.0f);
    EXPECT_EQ(r.y, -20.0f);
}

TEST(PhaseCorrelateTest, IdenticalImagesGiveNoShift)
{
    const GrayImage a = Textured(128, 64, 4);
    const PhaseCorrelation r = PhaseCorrelate(a, a);
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.y, 0.0f);
    EXPECT_EQ(r.peak, 0.0f);
}

TEST(PhaseCorrelateTest, FlatImagesGiveNoShift)
{
    GrayImage flat(50, 40);
    const PhaseCorrelation r = PhaseCorrelate(flat, flat);
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.y, 0.0f);
}

TEST(PhaseCorrelateTest, LargeShiftsOfRealisticViews)
{
    // Two views 150 pixels apart horizontally at a 256-pixel plane (the coarsest level of a 1024-wide image
    // has 128 columns; N is then 256).
    const ColorImage scene = test::MakeScene(400, 200, 9);
    GrayImage a(128, 96), b(128, 96);
    const GrayImage gray = ToGray(scene);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 128; ++x) {
            a.at(x, y) = gray.at(x + 100, y + 50);
            b.at(x, y) = gray.at(x + 100 + 40, y + 50 - 6);
        }
    const PhaseCorrelation r = PhaseCorrelate(a, b);
    EXPECT_EQ(r.x, -40.0f);
    EXPECT_EQ(r.y, 6.0f);
}

}  // namespace
}  // namespace tp
