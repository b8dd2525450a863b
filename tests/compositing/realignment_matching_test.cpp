// Re-alignment matching: patch correlation, the best-candidate search and the matching pass of a source.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "realignment_test_support.h"

namespace tp {
namespace {

TEST(PatchCorrelationTest, IsOneWhereThePatchCameFromAndNeedsEnoughOverlap)
{
    const GrayImage grey = test::NoiseGray(60, 60, 11);
    RealignmentGrid grid = MakeGrid(0, 0, test::Sizes());
    AddCandidate(grid, grey, {30, 25}, test::Record(0, 0.0f));
    const GrayImage& patch = grid.patches[0];
    EXPECT_NEAR(PatchCorrelation(grey, patch, 30, 25), 1.0, 1e-12);
    EXPECT_LT(PatchCorrelation(grey, patch, 31, 25), 0.99);

    const GrayImage bright = test::MakeGray(60, 60, [](int, int) { return 200; });
    // Half-size 7: more than (7 / 2)^2 = 9 pixels must overlap. A centre at (-5, -5) overlaps 3 x 3, at
    // (-4, -5) 4 x 3.
    EXPECT_EQ(PatchCorrelation(bright, patch, -5, -5), 0.0);
    EXPECT_GT(PatchCorrelation(bright, patch, -4, -5), 0.0);
    EXPECT_EQ(PatchCorrelation(bright, patch, 200, 25), 0.0);
    EXPECT_EQ(PatchCorrelation(GrayImage(60, 60), patch, 30, 25), 0.0);
}

// Every centre tried one by one: the definition the search over a window must reproduce exactly, inside the
// image (where it takes shortcuts) and across its borders.
TEST(StrongestPatchCorrelationTest, AgreesWithTryingEveryCentre)
{
    GrayImage grey = test::NoiseGray(90, 70, 5);
    for (int y = 0; y < 30; ++y)  // a bright flat corner: large sums and equal scores
        for (int x = 60; x < 90; ++x) grey.at(x, y) = 250;
    int inside = 0, across = 0;
    for (const int side : {9, 15, 17}) {
        const GrayImage patch = test::MakeGray(side, side, [&](int x, int y) { return grey.at(20 + x, 12 + y) ^ (x * y % 3); });
        const int half = side / 2;
        for (const auto& [cx, cy, reach] : {std::tuple{40, 35, 8}, std::tuple{25, 30, 15}, std::tuple{75, 12, 6},
                                             std::tuple{5, 5, 8}, std::tuple{85, 66, 10}, std::tuple{45, 20, 20}}) {
            const int first_x = cx - reach, last_x = cx + reach, first_y = cy - reach, last_y = cy + reach;
            double expected = 0.0;
            PointI expected_at;
            for (int y = first_y; y <= last_y; ++y)
                for (int x = first_x; x <= last_x; ++x) {
                    const double r = PatchCorrelation(grey, patch, x, y);
                    if (r > expected) {
                        expected = r;
                        expected_at = {x, y};
                    }
                }
            const StrongestCorrelation got = StrongestPatchCorrelation(grey, patch, first_x, last_x, first_y, last_y);
            EXPECT_EQ(got.correlation, expected) << side << " at " << cx << "," << cy;
            EXPECT_EQ(got.position, expected_at) << side << " at " << cx << "," << cy;
            const bool wholly_inside = first_x - half >= 0 && first_y - half >= 0 && last_x - half + side <= 90 &&
                                       last_y - half + side <= 70;
            (wholly_inside ? inside : across) += 1;
        }
    }
    EXPECT_GE(inside, 6);
    EXPECT_GE(across, 6);
}

// A grid point at canvas (100, 100) with canvas offset (100, 100), i.e. at the mosaic origin, over a 60 x 60
// noise source: the identity predicts the source's centre pixel (30, 30).
struct MatchingFixture {
    GrayImage grey = test::NoiseGray(60, 60, 21);
    RealignmentGrid grid = MakeGrid(100, 100, test::Sizes());
    PointI offset{100, 100};
};

TEST(FindBestCandidateTest, FindsThePatchAwayFromThePrediction)
{
    MatchingFixture f;
    AddCandidate(f.grid, f.grey, {33, 28}, test::Record(0, 0.0f));
    const std::optional<CandidateMatch> match = FindBestCandidate(f.grid, f.grey, Matrix::Identity(3), f.offset);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->position, (PointI{33, 28}));
    EXPECT_EQ(match->slot, 0);
    EXPECT_NEAR(match->cost, 0.0f, 1e-6f);
    // A candidate offset moves the prediction along with it.
    RealignmentGrid shifted = MakeGrid(100, 100, test::Sizes());
    AddCandidate(shifted, f.grey, {46, 40}, test::Record(0, 0.0f, 14, 9));
    ASSERT_TRUE(FindBestCandidate(shifted, f.grey, Matrix::Identity(3), f.offset));
    EXPECT_EQ(FindBestCandidate(shifted, f.grey, Matrix::Identity(3), f.offset)->position, (PointI{46, 40}));
}

TEST(FindBestCandidateTest, StopsWhenTheFirstCostIsWithinTheNextScore)
{
    MatchingFixture f;
    const GrayImage elsewhere = test::NoiseGray(60, 60, 22);
    // First: a patch of this source (cost about 0). Second: a patch of another image, score 0.5.
    AddCandidate(f.grid, f.grey, {30, 30}, test::Record(0, 0.0f));
    AddCandidate(f.grid, elsewhere, {30, 30}, test::Record(1, 0.5f));
    const std::optional<CandidateMatch> early = FindBestCandidate(f.grid, f.grey, Matrix::Identity(3), f.offset);
    ASSERT_TRUE(early);
    EXPECT_EQ(early->candidates_tried, 1);
    EXPECT_EQ(early->slot, 0);

    // The same two ranked the other way round: the foreign patch costs more than the next score, so the
    // search goes on and the second candidate wins.
    RealignmentGrid swapped = MakeGrid(100, 100, test::Sizes());
    AddCandidate(swapped, elsewhere, {30, 30}, test::Record(1, 0.0f));
    AddCandidate(swapped, f.grey, {30, 30}, test::Record(0, 0.0f));
    const std::optional<CandidateMatch> full = FindBestCandidate(swapped, f.grey, Matrix::Identity(3), f.offset);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->candidates_tried, 2);
    EXPECT_EQ(full->slot, 1);
    EXPECT_EQ(full->position, (PointI{30, 30}));
    EXPECT_NEAR(full->cost, 0.0f, 1e-6f);
}

TEST(FindBestCandidateTest, NothingToCorrelateOrNoPositionGivesNoMatch)
{
    MatchingFixture f;
    AddCandidate(f.grid, f.grey, {30, 30}, test::Record(0, 0.0f));
    EXPECT_FALSE(FindBestCandidate(f.grid, GrayImage(60, 60), Matrix::Identity(3), f.offset));
    EXPECT_FALSE(FindBestCandidate(f.grid, GrayImage(), Matrix::Identity(3), f.offset));
    Matrix horizon = Matrix::Identity(3);
    horizon[2][2] = 0.0;  // the mosaic origin maps to no position
    EXPECT_FALSE(FindBestCandidate(f.grid, f.grey, horizon, f.offset));
    // Predictions at the image corners and far beyond it search without leaving the image.
    EXPECT_TRUE(FindBestCandidate(f.grid, f.grey, test::Shift(30, 30), f.offset));
    EXPECT_FALSE(FindBestCandidate(f.grid, f.grey, test::Shift(5000, -5000), f.offset));
}

TEST(MatchSourceTest, GridPointsWithoutAFeatureNeverTakePartInMatching)
{
    const GrayImage grey = test::NoiseGray(80, 80, 31);
    RealignmentState state = test::Sizes();
    // Two grid points over the same textured place of the source; only the first holds a candidate.
    state.grids = {MakeGrid(100, 100, state), MakeGrid(100, 100, state)};
    state.num_grid = 2;
    AddCandidate(state.grids[0], grey, {41, 38}, test::Record(0, 0.0f));
    test::RecordingProgress progress;
    const SourceMatches result = MatchSource(state, grey, Matrix::Identity(3), {100, 100}, progress);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(progress.steps, 2);
    ASSERT_EQ(result.features.size(), 1u);
    ASSERT_TRUE(result.matches[0]);
    EXPECT_FALSE(result.matches[1]);
    EXPECT_EQ(result.matches[0]->position, (PointI{41, 38}));
    // Predicted at the mosaic origin, found (1, -2) away, weight exp(-cost) of a perfect match.
    EXPECT_EQ(result.features[0].predicted, (PointF{0.0f, 0.0f}));
    EXPECT_EQ(result.features[0].found, (PointF{1.0f, -2.0f}));
    EXPECT_NEAR(result.features[0].weight, 1.0f, 1e-6f);
    EXPECT_EQ(result.features[0].matrix, state.grids[0].candidates[0].shape);
}

TEST(MatchSourceTest, GridPointsTooNearTheSourceBorderAreSkippedAndACancelStops)
{
    const GrayImage grey = test::NoiseGray(80, 80, 32);
    RealignmentState state = test::Sizes();
    // Grid points mapping to source pixels x = 10 (x - 7 = 3 > 2, inside) and x = 9 (x - 7 = 2, outside).
    state.grids = {MakeGrid(70, 140, state), MakeGrid(69, 140, state), MakeGrid(100, 140, state)};
    state.num_grid = 3;
    for (RealignmentGrid& grid : state.grids) AddCandidate(grid, grey, {grid.x - 60, 40}, test::Record(0, 0.0f));
    test::RecordingProgress progress;
    const SourceMatches result = MatchSource(state, grey, Matrix::Identity(3), {100, 140}, progress);
    EXPECT_TRUE(result.matches[0]);
    EXPECT_FALSE(result.matches[1]);
    EXPECT_TRUE(result.matches[2]);
    EXPECT_EQ(result.features.size(), 2u);

    test::RecordingProgress cancelling(2);
    EXPECT_TRUE(MatchSource(state, grey, Matrix::Identity(3), {100, 140}, cancelling).cancelled);
    EXPECT_EQ(cancelling.steps, 2);
}

}  // namespace
}  // namespace tp
