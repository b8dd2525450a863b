// The correction fit of re-alignment: weighting by match quality, the weighted fit and its reweighting.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "realignment_test_support.h"

namespace tp {
namespace {

std::vector<CorrectionFeature> FeaturesThrough(const Matrix& h, int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> position(-70.0f, 70.0f);
    std::vector<CorrectionFeature> features;
    for (int i = 0; i < count; ++i) {
        CorrectionFeature f;
        f.predicted = {position(rng), position(rng)};
        const MappedPoint p = ApplyHomography(h, f.predicted.x, f.predicted.y);
        f.found = {p.x, p.y};
        f.weight = 1.0f;
        f.matrix = {1.0, 0.0, 0.0, 1.0};
        features.push_back(f);
    }
    return features;
}

Matrix SlightPerspective()
{
    Matrix h = test::Turn(0.8, 2.5, -1.5);
    h[2][0] = 1e-5;
    h[2][1] = -2e-5;
    return h;
}

TEST(CorrectionFitTest, RecoversTheHomographyBehindExactMatches)
{
    const Matrix truth = SlightPerspective();
    const std::optional<Matrix> h = FitCorrection(FeaturesThrough(truth, 30, 1));
    ASSERT_TRUE(h);
    EXPECT_LT(test::CornerError(*h, truth, 160, 120), 1e-3);
    EXPECT_EQ((*h)[2][2], 1.0);
}

TEST(CorrectionFitTest, ReweightingPushesOutliersAside)
{
    const Matrix truth = test::Shift(3.0, -2.0);
    std::vector<CorrectionFeature> features = FeaturesThrough(truth, 30, 2);
    for (int i = 0; i < 4; ++i) features[static_cast<std::size_t>(i)].found.x += 25.0f;
    std::vector<Matrix2> base;
    for (const CorrectionFeature& f : features) base.push_back(f.matrix);
    const std::optional<Matrix> plain = SolveWeightedHomography(features, base);
    const std::optional<Matrix> robust = FitCorrection(features);
    ASSERT_TRUE(plain && robust);
    const double plain_error = test::CornerError(*plain, truth, 160, 120);
    const double robust_error = test::CornerError(*robust, truth, 160, 120);
    EXPECT_GT(plain_error, 2.0);
    EXPECT_LT(robust_error, plain_error / 4.0);
}

TEST(CorrectionFitTest, ShapeMatricesWeighOnlyTheDirectionsTheyConstrain)
{
    // Half the features only see x, the other half only y; each half alone would leave the fit open in one
    // direction, together they pin the shift.
    const Matrix truth = test::Shift(1.5, -0.5);
    std::vector<CorrectionFeature> features = FeaturesThrough(truth, 40, 3);
    for (std::size_t i = 0; i < features.size(); ++i) {
        features[i].matrix = i % 2 ? Matrix2{1.0, 0.0, 0.0, 0.0} : Matrix2{0.0, 0.0, 0.0, 1.0};
        // Errors along the ignored direction must not matter.
        if (i % 2) features[i].found.y += 9.0f;
        else features[i].found.x += 9.0f;
    }
    const std::optional<Matrix> h = FitCorrection(features);
    ASSERT_TRUE(h);
    EXPECT_LT(test::CornerError(*h, truth, 160, 120), 1e-3);
}

TEST(CorrectionFitTest, ASingularSystemGivesNoCorrection)
{
    std::vector<CorrectionFeature> features = FeaturesThrough(test::Shift(1.0, 1.0), 20, 4);
    for (CorrectionFeature& f : features) f.matrix = {};
    EXPECT_FALSE(FitCorrection(features));
    EXPECT_FALSE(FitCorrection({}));
}

TEST(CorrectionFitTest, MatchQualityScalesTheMatricesAgainstTheSpreadOfWeights)
{
    std::vector<CorrectionFeature> features(3);
    const float weights[3] = {1.0f, 1.0f, 0.5f};
    for (int i = 0; i < 3; ++i) {
        features[static_cast<std::size_t>(i)].weight = weights[i];
        features[static_cast<std::size_t>(i)].matrix = {2.0, 0.0, 0.0, 2.0};
    }
    ScaleByMatchQuality(features);
    // Mean 5/6; sqrt(sum of squared deviations) = sqrt(1/6); the poorer match keeps 1 / (0.25 / 0.40825 + 1).
    EXPECT_DOUBLE_EQ(features[0].matrix[0], 2.0);
    EXPECT_NEAR(features[2].matrix[0], 2.0 / (0.25 / (std::sqrt(1.0 / 6.0) + 1e-6) + 1.0), 1e-12);
    EXPECT_NEAR(features[2].matrix[0], 1.2404, 1e-4);
    EXPECT_EQ(features[2].matrix[1], 0.0);

    std::vector<CorrectionFeature> equal(4);
    for (CorrectionFeature& f : equal) {
        f.weight = 0.5f;
        f.matrix = {1.0, 0.0, 0.0, 1.0};
    }
    // No spread: everything is shrunk by the same (large) factor instead of dividing by zero.
    ScaleByMatchQuality(equal);
    EXPECT_TRUE(std::isfinite(equal[0].matrix[0]));
    EXPECT_EQ(equal[0].matrix, equal[3].matrix);
}

}  // namespace
}  // namespace tp
