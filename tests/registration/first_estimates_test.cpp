// The building blocks of the automatic method's further estimates: the searches over every shift find a
// pair's translation however small the overlap, and the correlation refinement carries a translation to the
// full homography.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "imaging/image_ops.h"
#include "registration/correlation_refinement.h"
#include "registration/homography.h"
#include "registration/pyramid.h"
#include "registration/translation_search.h"
#include "synthetic_views.h"

namespace tp {
namespace {

constexpr int kWidth = 128, kHeight = 96;

// A and B cut from one scene, B's content moved by (dx, dy) against A's.
std::pair<GrayImage, GrayImage> ShiftedPair(int dx, int dy)
{
    const ColorImage scene = test::MakeScene(3 * kWidth, 3 * kHeight, 9);
    const ColorImage a = Crop(scene, kWidth, kHeight, kWidth, kHeight);
    const ColorImage b = Crop(scene, kWidth - dx, kHeight - dy, kWidth, kHeight);
    return {ToGray(a), ToGray(b)};
}

bool Found(const std::vector<ShiftCandidate>& peaks, int dx, int dy)
{
    return std::any_of(peaks.begin(), peaks.end(), [&](const ShiftCandidate& p) { return std::abs(p.x - dx) <= 1 && std::abs(p.y - dy) <= 1; });
}

TEST(ShiftSearch, FindsTheTranslationFromSmallToLargeOverlaps)
{
    // B's content moved left by 85 % of the width leaves 15 % of A in B.
    const int shifts[][2] = {{-109, 3}, {-90, -5}, {-60, 10}, {-20, 0}, {70, -4}};
    for (const auto& s : shifts) {
        const auto [a, b] = ShiftedPair(s[0], s[1]);
        FloatImage fa, fb;
        ToFloat(a, fa);
        ToFloat(b, fb);
        const std::vector<ShiftCandidate> correlation = CorrelationPeaks(fa, fb, 0.06, 4);
        ASSERT_FALSE(correlation.empty());
        EXPECT_TRUE(std::abs(correlation.front().x - s[0]) <= 1 && std::abs(correlation.front().y - s[1]) <= 1)
            << "strongest correlation peak (" << correlation.front().x << ", " << correlation.front().y << ") for (" << s[0] << ", " << s[1] << ")";
        if (std::abs(s[0]) <= 90) {
            EXPECT_TRUE(Found(TaperedPhasePeaks(a, b, 2), s[0], s[1])) << s[0] << ", " << s[1];
            EXPECT_TRUE(Found(PhaseCorrelationPeaks(a, b, 3), s[0], s[1])) << s[0] << ", " << s[1];
        }
    }
}

TEST(ShiftSearch, ShiftsWithTooLittleOverlapAreNotSearched)
{
    const auto [a, b] = ShiftedPair(-120, 0);  // 6 % of the width overlaps
    FloatImage fa, fb;
    ToFloat(a, fa);
    ToFloat(b, fb);
    for (const ShiftCandidate& p : CorrelationPeaks(fa, fb, 0.2, 4))
        EXPECT_GE(static_cast<double>(kWidth - std::abs(p.x)) * (kHeight - std::abs(p.y)), 0.2 * kWidth * kHeight);
}

TEST(CorrelationRefinement, CarriesATranslationToTheWholeHomography)
{
    constexpr int w = 400, h = 300;
    const ColorImage scene = test::MakeScene(3 * w, 2 * h, 3);
    const double angle = 4.0 * 3.14159265358979 / 180.0, zoom = 1.06;
    Matrix truth = Matrix::Identity(3);
    truth[0][0] = zoom * std::cos(angle);
    truth[0][1] = -zoom * std::sin(angle);
    truth[1][0] = zoom * std::sin(angle);
    truth[1][1] = zoom * std::cos(angle);
    truth[0][2] = -240;
    truth[1][2] = 9;
    truth[2][0] = 2e-5;
    const Matrix a_to_scene = TranslationHomography(scene.width() / 2, scene.height() / 2);
    const Pyramid a = BuildPyramid(test::RenderView(scene, a_to_scene, w, h), 3);
    const Pyramid b = BuildPyramid(test::RenderView(scene, a_to_scene * Inverse(truth), w, h), 3);

    // From the bare translation at the coarsest level, a quarter of the working size.
    Matrix estimate = TranslationHomography(-240 / 4.0 + 1, 9 / 4.0);
    ASSERT_TRUE(RefineByCorrelation(a, b, estimate, {2, 0}));
    EXPECT_LE(test::OverlapError(estimate, truth, w, h), 0.5);

    const Pyramid blank = BuildPyramid(ColorImage(w, h), 3);
    Matrix nothing = TranslationHomography(-60, 2);
    EXPECT_FALSE(RefineByCorrelation(blank, blank, nothing, {2, 0}));
}

}  // namespace
}  // namespace tp
