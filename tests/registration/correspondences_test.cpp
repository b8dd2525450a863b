#include <gtest/gtest.h>

#include "imaging/image_ops.h"
#include "registration/correspondences.h"
#include "registration/homography.h"
#include "registration/pyramid.h"
#include "registration/pyramid_refinement.h"
#include "synthetic_views.h"

namespace tp {
namespace {

GrayImage TexturedGray(int width, int height, unsigned seed = 5) { return ToGray(test::MakeScene(width, height, seed)); }

TEST(OverlapBoxTest, IdentityCoversTheImageInsetByOnePixel)
{
    const GrayImage a(200, 100);
    BoxI box;
    ASSERT_TRUE(OverlapBox(a, Matrix::Identity(3), box));
    EXPECT_EQ(box, (BoxI{1, 1, 199, 99}));
}

TEST(OverlapBoxTest, TranslatedFootprintIsClippedToTheImage)
{
    const GrayImage a(200, 100);
    BoxI box;
    // B sees A moved 120 pixels left: B's footprint in A starts at column 121.
    ASSERT_TRUE(OverlapBox(a, TranslationHomography(-120, 0), box));
    EXPECT_EQ(box.min_x, 121);
    EXPECT_EQ(box.max_x, 199);
    EXPECT_EQ(box.min_y, 1);
}

TEST(OverlapBoxTest, SingularHomographyHasNoBox)
{
    BoxI box;
    EXPECT_FALSE(OverlapBox(GrayImage(10, 10), Matrix(3, 3), box));
}

TEST(DetectPointsTest, WindowSizeGrowsWithTheOverlapArea)
{
    EXPECT_EQ(DetectionWindowHalfSize({0, 0, 100, 90}), 2);
    EXPECT_EQ(DetectionWindowHalfSize({0, 0, 300, 300}), 11);
    EXPECT_EQ(DetectionWindowHalfSize({0, 0, 10, 10}), 1);
}

TEST(DetectPointsTest, TexturedOverlapGivesOnePointPerWindowAtMost)
{
    const GrayImage a = TexturedGray(104, 94);
    PointList points(10000);
    // At the coarser level the estimate is the identity, so the box covers the image inset by one pixel
    // (1..103 x 1..93: an area of 102 x 92 gives s = 2, windows every 4 pixels).
    ASSERT_TRUE(DetectPoints(a, Matrix::Identity(3), points));
    EXPECT_GT(points.size(), 100u);
    EXPECT_LE(points.size(), 24u * 22u);
    for (const PointF& p : points.points()) {
        EXPECT_GE(p.x + 52.0f, 3.0f);
        EXPECT_LE(p.x + 52.0f, 102.0f);
    }
}

TEST(DetectPointsTest, TexturelessOverlapGivesNoPointsAndFullListsStopGrowing)
{
    GrayImage flat(120, 90);
    PointList points(100);
    ASSERT_TRUE(DetectPoints(flat, Matrix::Identity(3), points));
    EXPECT_EQ(points.size(), 0u);

    PointList tiny(3);
    ASSERT_TRUE(DetectPoints(TexturedGray(120, 90), Matrix::Identity(3), tiny));
    EXPECT_EQ(tiny.size(), 3u);
}

TEST(RefinePointTest, RejectsPointsWithinTheWindowMarginOfTheBorder)
{
    const GrayImage image = TexturedGray(64, 48);
    PointI refined;
    // c = 4: the level position must satisfy x - 4 > 0 and x + 4 < w - 1.
    EXPECT_FALSE(RefinePoint(image, {-32 + 4, 0}, 4, 0.0f, refined));
    EXPECT_TRUE(RefinePoint(image, {-32 + 5, 0}, 4, 0.0f, refined));
    EXPECT_FALSE(RefinePoint(image, {27, 0}, 4, 0.0f, refined));
    EXPECT_TRUE(RefinePoint(image, {26, 0}, 4, 0.0f, refined));
    EXPECT_FALSE(RefinePoint(image, {0, 19}, 4, 0.0f, refined));
    EXPECT_TRUE(RefinePoint(image, {0, 18}, 4, 0.0f, refined));
}

TEST(RefinePointTest, MovesToTheMostTexturedPositionNearby)
{
    GrayImage image(40, 40);
    // A single bright dot makes gradient at its four neighbours; every 5 x 5 window within one pixel of the
    // dot holds all four, and the first of those in row-major order wins.
    image.at(21, 19) = 255;
    PointI refined;
    ASSERT_TRUE(RefinePoint(image, {0, 0}, 4, 1.0f, refined));
    EXPECT_EQ(refined, (PointI{0, -2}));
    EXPECT_FALSE(RefinePoint(image, {0, 0}, 4, 100.0f, refined));
}

TEST(MatchPointTest, FindsTheShiftedPositionWithScoreNearOne)
{
    const GrayImage a = TexturedGray(80, 60);
    GrayImage b(80, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) b.at(x, y) = a.contains(x - 3, y + 2) ? a.at(x - 3, y + 2) : 0;
    const Match m = MatchPoint(a, b, Matrix::Identity(3), {5.0f, -4.0f}, 6);
    EXPECT_EQ(m.position, (PointI{8, -6}));
    EXPECT_GT(m.score, 0.999f);
}

TEST(MatchPointTest, PointsThatMapNowhereScoreZero)
{
    const GrayImage a = TexturedGray(40, 40);
    Matrix h = Matrix::Identity(3);
    h[2][2] = 0.0;
    EXPECT_EQ(MatchPoint(a, a, h, {0.0f, 0.0f}, 4).score, 0.0f);
}

TEST(RefineHomographyTest, IdenticalImagesStayAtTheIdentity)
{
    const Pyramid p = BuildPyramid(test::MakeScene(320, 240, 8), 3);
    Matrix h = Matrix::Identity(3);
    ASSERT_TRUE(RefineHomography(p, p, h, 3));
    EXPECT_LT(test::CornerError(h, Matrix::Identity(3), 320, 240), 1e-3);
}

TEST(RefineHomographyTest, TexturelessImagesFail)
{
    const Pyramid p = BuildPyramid(ColorImage(320, 240), 3);
    Matrix h = Matrix::Identity(3);
    EXPECT_FALSE(RefineHomography(p, p, h, 3));
}

TEST(PyramidTest, OddSizesDropTheirLastRowAndColumnBeforeHalving)
{
    const Pyramid p = BuildPyramid(test::MakeScene(101, 75, 1), 4);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[1].width(), 50);
    EXPECT_EQ(p[1].height(), 37);
    EXPECT_EQ(p[2].width(), 25);
    EXPECT_EQ(p[2].height(), 18);
    EXPECT_EQ(p[3].width(), 12);
    EXPECT_EQ(p[3].height(), 9);
}

}  // namespace
}  // namespace tp
