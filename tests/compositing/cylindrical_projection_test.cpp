#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "compositing/cylindrical_projection.h"
#include "compositing/mosaic.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"
#include "test_support.h"

namespace tp {
namespace {

Matrix Turn(double yaw, double f)
{
    const double c = std::cos(yaw), s = std::sin(yaw);
    Matrix m(3, 3);
    const double v[9] = {c, 0, f * s, 0, 1, 0, -s / f, 0, c};
    std::copy(v, v + 9, m.data());
    return m;
}

TEST(PairFocalTest, ATurningCameraGivesItsFocalLength)
{
    const PairFocal focal = EstimatePairFocal(Turn(0.3, 700));
    ASSERT_TRUE(focal.valid);
    EXPECT_NEAR(focal.first, 700, 1);
    EXPECT_NEAR(focal.second, 700, 1);
}

TEST(PairFocalTest, APureTranslationCarriesNoEstimate)
{
    EXPECT_FALSE(EstimatePairFocal(TranslationHomography(-200, 3)).valid);
    EXPECT_FALSE(EstimatePairFocal(Matrix::Identity(3)).valid);
}

TEST(CylindricalProjectionTest, TargetsHitSeveralTimesHoldRunningIntegerMeans)
{
    // One row of nine pixels around centre column 4 with f = 1: columns 0 and 1 land on column 3, columns
    // 2, 3 and 4 on column 4 (the negative offsets -1.19 and -0.91 truncate toward zero).
    ColorImage planar(9, 1);
    const int values[9] = {10, 30, 40, 60, 100, 7, 7, 7, 7};
    for (int j = 0; j < 9; ++j) planar.at(j, 0, 0) = static_cast<std::uint8_t>(values[j]);
    for (int j = 0; j < 9; ++j) planar.at(j, 0, 1) = 1;
    const ColorImage cylinder = ProjectToCylinder(planar, {4, 0}, 1.0);
    EXPECT_EQ(cylinder.at(3, 0, 0), (10 + 30) / 2);
    EXPECT_EQ(cylinder.at(4, 0, 0), ((40 + 60) / 2 + 100) / 2);
    EXPECT_EQ(cylinder.at(0, 0, 0), 0);
    EXPECT_EQ(cylinder.at(2, 0, 0), 0);
}

TEST(CylindricalProjectionTest, EmptyPlanarPixelsAreSentToo)
{
    // Columns 2, 3 and 4 land on column 4; only column 2 holds a colour, the empty ones halve it twice.
    ColorImage planar(9, 1);
    planar.at(2, 0, 0) = 80;
    const ColorImage cylinder = ProjectToCylinder(planar, {4, 0}, 1.0);
    EXPECT_EQ(cylinder.at(4, 0, 0), 20);
}

TEST(CylindricalProjectionTest, LongFocalLengthsShiftOnlyTheLeftHalfByTruncationAndInfiniteOnesCopy)
{
    const ColorImage planar = test::NoiseImage(30, 20, 4);
    const ColorImage almost_flat = ProjectToCylinder(planar, {15, 10}, 1e7);
    // Offsets are rounded by adding 0.5 and truncating toward zero, so -3 lands on -2: the part left of the
    // centre moves one pixel right, the part above it one pixel down; the rest stays in place.
    for (int y = 11; y < 20; ++y) {
        for (int x = 16; x < 30; ++x) ASSERT_EQ(almost_flat.at(x, y, 2), planar.at(x, y, 2)) << x << "," << y;
        for (int x = 0; x < 14; ++x) ASSERT_EQ(almost_flat.at(x + 1, y, 1), planar.at(x, y, 1)) << x << "," << y;
    }
    for (int y = 0; y < 9; ++y)
        for (int x = 16; x < 30; ++x) ASSERT_EQ(almost_flat.at(x, y + 1, 0), planar.at(x, y, 0)) << x << "," << y;
    const ColorImage copy = ProjectToCylinder(planar, {15, 10}, std::numeric_limits<double>::infinity());
    EXPECT_TRUE(test::ImagesMatch(planar, copy));
}

TEST(MosaicFocalLengthTest, InteriorSourcesAverageTheEstimatesOfBothPairs)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(3, ColorImage(40, 30)));
    StorePairResult(m.mosaic->alignments(), 0, Turn(0.2, 600), Inverse(Turn(0.2, 600)), 1.0);
    StorePairResult(m.mosaic->alignments(), 1, Turn(0.2, 800), Inverse(Turn(0.2, 800)), 1.0);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    m.mosaic->EstimateFocalLength();
    EXPECT_NEAR(m.mosaic->alignment(0).focal_estimate, 600, 1);
    EXPECT_NEAR(m.mosaic->alignment(1).focal_estimate, 700, 1);
    EXPECT_NEAR(m.mosaic->alignment(2).focal_estimate, 800, 1);
    EXPECT_NEAR(m.mosaic->focal_length(), 700, 1);
}

TEST(MosaicFocalLengthTest, WithoutAnyEstimateTheCylinderEqualsThePlane)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({test::NoiseImage(40, 30, 1), test::NoiseImage(40, 30, 2)});
    StorePairResult(m.mosaic->alignments(), 0, TranslationHomography(-20, 0), TranslationHomography(20, 0), 1.0);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    test::RecordingProgress progress;
    ASSERT_TRUE(m.mosaic->Blend(BlendType::Basic, progress));
    EXPECT_TRUE(std::isinf(m.mosaic->focal_length()));
    EXPECT_TRUE(test::ImagesMatch(m.mosaic->planar(), m.mosaic->cylindrical()));
}

}  // namespace
}  // namespace tp
