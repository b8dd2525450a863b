#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

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

// The plain definition: each window's energy summed sample by sample in float, the first best in row-major
// order. RefinePoint adds the same differences as integers; scores and positions must agree exactly.
bool RefinePointByDefinition(const GrayImage& image, PointI p, int c, float threshold, PointI& refined)
{
    const int w = image.width(), h = image.height(), xa = w / 2 + p.x, ya = h / 2 + p.y;
    refined = p;
    if (!(xa - c > 0 && xa + c < w - 1 && ya - c > 0 && ya + c < h - 1)) return false;
    const int e = c / 2;
    float best = 0.0f;
    for (int py = ya - e; py <= ya + e; ++py)
        for (int px = xa - e; px <= xa + e; ++px) {
            float sum = 0.0f;
            for (int v = py - e; v <= py + e; ++v)
                for (int u = px - e; u <= px + e; ++u)
                    sum += 0.5f * static_cast<float>(std::abs(image.at(u - 1, v) - image.at(u + 1, v))) +
                           0.5f * static_cast<float>(std::abs(image.at(u, v - 1) - image.at(u, v + 1)));
            const float score = sum / static_cast<float>((c + 1) * (c + 1));
            if (score > best) {
                best = score;
                refined = {px - w / 2, py - h / 2};
            }
        }
    return best > threshold;
}

TEST(RefinePointTest, AgreesWithTheDefinition)
{
    GrayImage image = TexturedGray(120, 100, 6);
    for (int y = 60; y < 100; ++y)  // a flat band and a hard edge: ties and sharp maxima
        for (int x = 0; x < 120; ++x) image.at(x, y) = x < 70 ? 90 : 250;
    int accepted = 0, refused = 0;
    for (const int c : {4, 5, 8, 16})
        for (const float threshold : {0.0f, 8.0f, 30.0f})
            for (int y = -45; y <= 45; y += 6)
                for (int x = -55; x <= 55; x += 9) {
                    PointI expected, got;
                    const bool expected_ok = RefinePointByDefinition(image, {x, y}, c, threshold, expected);
                    ASSERT_EQ(RefinePoint(image, {x, y}, c, threshold, got), expected_ok) << c << " " << x << "," << y;
                    ASSERT_EQ(got, expected) << c << " " << x << "," << y;
                    (expected_ok ? accepted : refused) += 1;
                }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 100);
}

// The plain definition: every candidate of the 9 x 9 search, the window cut to where both samples exist,
// the first highest score in row-major order. MatchPoint takes shortcuts away from the borders; they must
// not change a single result.
Match MatchPointByDefinition(const GrayImage& a, const GrayImage& b, PointF p, PointF predicted, int r)
{
    const int xa = static_cast<int>(static_cast<float>(a.width() / 2) + p.x + 0.5f);
    const int ya = static_cast<int>(static_cast<float>(a.height() / 2) + p.y + 0.5f);
    const int xb = static_cast<int>(static_cast<float>(b.width() / 2) + predicted.x + 0.5f);
    const int yb = static_cast<int>(static_cast<float>(b.height() / 2) + predicted.y + 0.5f);
    Match best;
    best.position = {xb, yb};
    for (int cy = yb - 4; cy <= yb + 4; ++cy)
        for (int cx = xb - 4; cx <= xb + 4; ++cx) {
            long long sab = 0, saa = 0, sbb = 0;
            int count = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    if (!a.contains(xa + dx, ya + dy) || !b.contains(cx + dx, cy + dy)) continue;
                    const int va = a.at(xa + dx, ya + dy), vb = b.at(cx + dx, cy + dy);
                    sab += va * vb;
                    saa += va * va;
                    sbb += vb * vb;
                    ++count;
                }
            const float product = static_cast<float>(saa * sbb);
            const float score = product > 0.0f && count > 4 ? static_cast<float>(sab) / std::sqrt(product) : 0.0f;
            if (score > best.score) {
                best.score = score;
                best.position = {cx, cy};
            }
        }
    best.position = {best.position.x - b.width() / 2, best.position.y - b.height() / 2};
    return best;
}

TEST(MatchPointTest, AgreesWithTheDefinitionInsideAndAtTheBorders)
{
    const GrayImage a = TexturedGray(90, 70, 3);
    GrayImage b = TexturedGray(84, 76, 4);
    // Part of b repeats a shifted, so some searches find real matches and others only noise; a flat patch
    // and a black one give the equal-score and zero-energy cases.
    for (int y = 10; y < 60; ++y)
        for (int x = 10; x < 70; ++x) b.at(x, y) = a.at(x + 2, y - 3);
    for (int y = 0; y < 20; ++y)
        for (int x = 60; x < 84; ++x) b.at(x, y) = y < 10 ? 77 : 0;
    const Matrix shift = TranslationHomography(-1.0, 2.0);
    int interior = 0, border = 0;
    for (const int r : {4, 6, 8})
        for (int y = -36; y <= 36; y += 5)
            for (int x = -46; x <= 46; x += 7) {
                const PointF p{static_cast<float>(x), static_cast<float>(y)};
                const MappedPoint q = ApplyHomography(shift, p.x, p.y);
                const Match expected = MatchPointByDefinition(a, b, p, {q.x, q.y}, r);
                const Match got = MatchPoint(a, b, shift, p, r);
                ASSERT_EQ(got.position, expected.position) << "r " << r << " at " << x << ", " << y;
                ASSERT_EQ(got.score, expected.score) << "r " << r << " at " << x << ", " << y;
                (std::abs(x) + r + 6 < 45 && std::abs(y) + r + 6 < 35 ? interior : border) += 1;
            }
    EXPECT_GT(interior, 50);  // both ways of searching were exercised
    EXPECT_GT(border, 50);
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
