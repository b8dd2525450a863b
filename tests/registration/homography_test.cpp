#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "registration/homography.h"
#include "synthetic_views.h"

namespace tp {
namespace {

Matrix Perspective()
{
    Matrix h(3, 3);
    const double v[9] = {1.02, 0.05, -130.0, -0.03, 0.98, 7.5, 2e-4, -1e-4, 1.0};
    std::copy(v, v + 9, h.data());
    return h;
}

std::vector<PointF> MapAll(const Matrix& h, const std::vector<PointF>& points)
{
    std::vector<PointF> mapped;
    for (const PointF& p : points) {
        const MappedPoint m = ApplyHomography(h, p.x, p.y);
        mapped.push_back({m.x, m.y});
    }
    return mapped;
}

TEST(ApplyHomographyTest, DividesByTheThirdComponent)
{
    const MappedPoint p = ApplyHomography(Perspective(), 100.0f, -50.0f);
    const double d = 2e-4 * 100 + 1e-4 * 50 + 1;
    EXPECT_TRUE(p.valid);
    EXPECT_FLOAT_EQ(p.x, static_cast<float>((102 - 2.5 - 130) / d));
    EXPECT_FLOAT_EQ(p.y, static_cast<float>((-3 - 49 + 7.5) / d));
}

TEST(ApplyHomographyTest, PointsWithoutAPositionAreInvalid)
{
    Matrix h = Matrix::Identity(3);
    h[2][0] = 0.01;
    h[2][2] = 1.0;
    EXPECT_FALSE(ApplyHomography(h, -100.0f, 5.0f).valid);  // denominator exactly 0
    EXPECT_FALSE(ApplyHomography(h, -100.00001f, 5.0f).valid);  // finite but far beyond any image
    h[2][0] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(ApplyHomography(h, 1.0f, 1.0f).valid);
    EXPECT_TRUE(ApplyHomography(Matrix::Identity(3), 1e6f, -1e6f).valid);
}

TEST(FitHomographyTest, FourPairsGiveTheExactHomographyThroughThem)
{
    const std::vector<PointF> source = {{-300, -200}, {310, -190}, {305, 220}, {-290, 210}};
    const Matrix truth = Perspective();
    Matrix fitted;
    ASSERT_TRUE(FitHomography(source, MapAll(truth, source), fitted));
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(fitted.data()[i], truth.data()[i], 1e-5 * std::max(1.0, std::fabs(truth.data()[i])));
    EXPECT_EQ(fitted[2][2], 1.0);
}

TEST(FitHomographyTest, PureTranslationGivesUnitDiagonalAndTheShift)
{
    std::vector<PointF> source, target;
    for (int i = 0; i < 30; ++i) {
        source.push_back({static_cast<float>(i * 17 % 200 - 100), static_cast<float>(i * 31 % 150 - 75)});
        target.push_back({source.back().x + 40.0f, source.back().y - 12.5f});
    }
    Matrix h;
    ASSERT_TRUE(FitHomography(source, target, h));
    EXPECT_NEAR(h[0][0], 1, 1e-9);
    EXPECT_NEAR(h[1][1], 1, 1e-9);
    EXPECT_NEAR(h[0][2], 40, 1e-7);
    EXPECT_NEAR(h[1][2], -12.5, 1e-7);
    EXPECT_NEAR(h[0][1], 0, 1e-9);
    EXPECT_NEAR(h[2][0], 0, 1e-12);
    EXPECT_NEAR(h[2][1], 0, 1e-12);
}

TEST(FitHomographyTest, ManyNoisyPairsRecoverTheHomographyWithinAPixel)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> position(-400.0f, 400.0f);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    const Matrix truth = Perspective();
    std::vector<PointF> source;
    for (int i = 0; i < 200; ++i) source.push_back({position(rng), position(rng) * 0.7f});
    std::vector<PointF> target = MapAll(truth, source);
    for (PointF& p : target) {
        p.x += noise(rng);
        p.y += noise(rng);
    }
    Matrix h;
    ASSERT_TRUE(FitHomography(source, target, h));
    EXPECT_LT(test::CornerError(h, truth, 800, 600), 0.5);
}

TEST(FitHomographyTest, SingularSystemsReportFailureInsteadOfStopping)
{
    // Every source point on x = 0 leaves a column of the system empty.
    const std::vector<PointF> source = {{0, 1}, {0, 5}, {0, -3}, {0, 9}, {0, 2}};
    const std::vector<PointF> target = {{1, 1}, {2, 5}, {3, -3}, {4, 9}, {5, 2}};
    Matrix h = Matrix::Identity(3);
    EXPECT_FALSE(FitHomography(source, target, h));
    EXPECT_EQ(h, Matrix::Identity(3));
    // Four coincident points.
    const std::vector<PointF> same(4, PointF{3, 3});
    EXPECT_FALSE(FitHomography(same, same, h));
    EXPECT_FALSE(FitHomography(std::vector<PointF>(3), std::vector<PointF>(3), h));
}

}  // namespace
}  // namespace tp
