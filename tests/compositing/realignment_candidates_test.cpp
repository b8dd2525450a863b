// Re-alignment grids and candidates: the lattice, the texture measure, shape matrices, slots and ranking.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "realignment_test_support.h"

namespace tp {
namespace {

TEST(RealignmentLatticeTest, OnePixelPastAMultipleOfTheSpacingAddsALatticeColumn)
{
    EXPECT_EQ(LatticeLines(34, 17), 2);
    EXPECT_EQ(LatticeLines(35, 17), 3);
    EXPECT_EQ(LatticeLines(17, 17), 1);
    EXPECT_EQ(LatticeLines(18, 17), 2);
    EXPECT_EQ(LatticeLines(0, 17), 0);

    for (const int width : {3 * 25, 3 * 25 + 1}) {
        RealignmentState state = test::Sizes(25);
        test::RecordingProgress progress;
        ASSERT_TRUE(CreateGrids(state, width, 60, progress));
        const int columns = width == 75 ? 3 : 4;
        EXPECT_EQ(state.num_grid, columns * 3) << width;
        EXPECT_EQ(static_cast<int>(state.grids.size()), state.num_grid);
        EXPECT_EQ(progress.texts, (std::vector<int>{35309}));
        EXPECT_EQ(progress.ranges, (std::vector<int>{columns}));
        EXPECT_EQ(progress.steps, columns);
        EXPECT_EQ(state.grids_created, 1);
        EXPECT_EQ(state.grids.back().x, (columns - 1) * 25);
    }
}

TEST(RealignmentLatticeTest, GridPointsRunDownEachColumnAndStartEmpty)
{
    RealignmentState state = test::Sizes(10, 15, 31, 3);
    test::RecordingProgress progress;
    ASSERT_TRUE(CreateGrids(state, 25, 15, progress));
    ASSERT_EQ(state.num_grid, 6);
    const int expected[6][2] = {{0, 0}, {0, 10}, {10, 0}, {10, 10}, {20, 0}, {20, 10}};
    for (int g = 0; g < 6; ++g) {
        const RealignmentGrid& grid = state.grids[static_cast<std::size_t>(g)];
        EXPECT_EQ(grid.x, expected[g][0]);
        EXPECT_EQ(grid.y, expected[g][1]);
        EXPECT_EQ(grid.has_feature, 0);
        EXPECT_EQ(grid.count, 0);
        EXPECT_EQ(grid.patch_size, 15);
        EXPECT_EQ(grid.search_size, 31);
        EXPECT_EQ(grid.capacity, 3);
    }
}

TEST(RealignmentLatticeTest, ASecondCreationStartsAFreshLatticeAndACancelStopsAtThatColumn)
{
    RealignmentState state = test::Sizes(10);
    test::RecordingProgress first;
    ASSERT_TRUE(CreateGrids(state, 50, 20, first));
    AddCandidate(state.grids[0], test::NoiseGray(30, 30, 1), {15, 15}, test::Record(0, 0.0f));
    ASSERT_EQ(state.grids[0].count, 1);

    test::RecordingProgress again;
    ASSERT_TRUE(CreateGrids(state, 50, 20, again));
    EXPECT_EQ(state.grids[0].count, 0);
    EXPECT_EQ(state.grids[0].has_feature, 0);
    EXPECT_EQ(state.num_grid, 10);

    test::RecordingProgress cancelling(2);
    EXPECT_FALSE(CreateGrids(state, 50, 20, cancelling));
    EXPECT_EQ(cancelling.steps, 2);
    EXPECT_EQ(state.grids_created, 0);
}

// --- texture ------------------------------------------------------------------------------------------

TEST(TextureMeasureTest, FlatPatchesAreNotTexturedAndSteepOnesAre)
{
    const GrayImage flat = test::MakeGray(40, 40, [](int, int) { return 90; });
    const TextureMeasure none = MeasureTexture(flat, 20, 20, 6);
    EXPECT_EQ(none.counted, 13 * 13);
    EXPECT_EQ(none.across, 0.0f);
    EXPECT_EQ(none.down, 0.0f);
    EXPECT_FALSE(IsTextured(flat, 20, 20, 6, 6.0f));

    // Central differences of twice the slope: 4, exactly 6 (not above the threshold) and 8.
    EXPECT_FALSE(IsTextured(test::MakeGray(40, 40, [](int x, int) { return 2 * x; }), 20, 20, 6, 6.0f));
    EXPECT_FALSE(IsTextured(test::MakeGray(40, 40, [](int x, int) { return 3 * x; }), 20, 20, 6, 6.0f));
    const GrayImage steep = test::MakeGray(40, 40, [](int x, int) { return 4 * x; });
    EXPECT_EQ(MeasureTexture(steep, 20, 20, 6).across, 8.0f);
    EXPECT_TRUE(IsTextured(steep, 20, 20, 6, 6.0f));
    // Either direction is enough.
    EXPECT_TRUE(IsTextured(test::MakeGray(40, 40, [](int, int y) { return 4 * y; }), 20, 20, 6, 6.0f));
    EXPECT_TRUE(IsTextured(test::NoiseGray(40, 40, 3), 20, 20, 6, 6.0f));
}

TEST(TextureMeasureTest, TheOuterPixelsOfTheImageAreNeverRead)
{
    // Strong texture in the outer two columns and rows only.
    const GrayImage framed = test::MakeGray(30, 30, [](int x, int y) {
        const bool outer = x < 2 || y < 2 || x >= 28 || y >= 28;
        return outer ? ((x + y) % 2) * 200 : 50;
    });
    const TextureMeasure corner = MeasureTexture(framed, 0, 0, 6);
    // Window pixels 3 .. 6 on each axis have both neighbours in [2, 27].
    EXPECT_EQ(corner.counted, 4 * 4);
    EXPECT_EQ(corner.across, 0.0f);
    EXPECT_FALSE(IsTextured(framed, 29, 29, 6, 6.0f));
    EXPECT_EQ(MeasureTexture(framed, -50, -50, 6).counted, 0);
    EXPECT_FALSE(IsTextured(GrayImage(), 0, 0, 6, 6.0f));
    EXPECT_FALSE(IsTextured(framed, 15, 15, -1, 6.0f));
}

// --- candidates ---------------------------------------------------------------------------------------

TEST(ShapeMatrixTest, ARampGivesItsGradientDirectionAndStrength)
{
    // Gradient (3, 1) everywhere: Sxx = 9 / 125, Sxy = 3 / 125, Syy = 1 / 125; eigenvalues 0.08 and 0, the
    // principal direction (3, 1) / sqrt(10).
    const GrayImage ramp = test::MakeGray(15, 15, [](int x, int y) { return 3 * x + y; });
    const Matrix2 m = ShapeMatrix(ramp);
    EXPECT_NEAR(m[0], 3.0 * std::sqrt(0.008), 1e-9);
    EXPECT_NEAR(m[2], 1.0 * std::sqrt(0.008), 1e-9);
    EXPECT_NEAR(m[1], 0.0, 1e-9);
    EXPECT_NEAR(m[3], 0.0, 1e-9);
}

TEST(ShapeMatrixTest, TexturedPatchesGiveTwoOrthogonalAxesAndDegenerateOnesNone)
{
    const Matrix2 m = ShapeMatrix(test::NoiseGray(15, 15, 5));
    // Columns: principal axis scaled by sqrt(l1), the perpendicular one by sqrt(l2 <= l1).
    EXPECT_NEAR(m[0] * m[1] + m[2] * m[3], 0.0, 1e-12);
    EXPECT_GT(m[0] * m[0] + m[2] * m[2], 0.0);
    EXPECT_GT(m[1] * m[1] + m[3] * m[3], 0.0);
    EXPECT_GE(m[0] * m[0] + m[2] * m[2], m[1] * m[1] + m[3] * m[3]);

    EXPECT_EQ(ShapeMatrix(test::MakeGray(15, 15, [](int, int) { return 7; })), Matrix2{});
    // Without cross terms and with the stronger gradient across, the direction vector vanishes.
    EXPECT_EQ(ShapeMatrix(test::MakeGray(15, 15, [](int x, int) { return 5 * x; })), Matrix2{});
    EXPECT_EQ(ShapeMatrix(GrayImage(2, 2)), Matrix2{});
    EXPECT_EQ(ShapeMatrix(GrayImage()), Matrix2{});
}

TEST(AddCandidateTest, FillsFreeSlotsInOrderAndRanksByAscendingScore)
{
    const RealignmentState sizes = test::Sizes();
    RealignmentGrid grid = MakeGrid(34, 17, sizes);
    const GrayImage grey = test::NoiseGray(40, 40, 9);
    AddCandidate(grid, grey, {20, 20}, test::Record(4, 0.7f, 1, -1));
    EXPECT_EQ(grid.has_feature, 1);
    EXPECT_EQ(grid.count, 1);
    AddCandidate(grid, grey, {21, 20}, test::Record(5, 0.2f));
    AddCandidate(grid, grey, {22, 20}, test::Record(6, 0.5f));
    EXPECT_EQ(grid.count, 3);
    EXPECT_EQ(test::Ranks(grid), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(grid.candidates[0].source, 4);
    EXPECT_EQ(grid.candidates[0].offset_x, 1);
    EXPECT_EQ(grid.candidates[0].offset_y, -1);
    // The patch is the grey square centred on the pixel, with the record's shape matrix computed from it.
    const GrayImage& patch = grid.patches[2];
    ASSERT_EQ(patch.width(), 15);
    for (int j = 0; j < 15; ++j)
        for (int i = 0; i < 15; ++i) ASSERT_EQ(patch.at(i, j), grey.at(22 - 7 + i, 20 - 7 + j)) << i << "," << j;
    EXPECT_EQ(grid.candidates[2].shape, ShapeMatrix(patch));
}

TEST(AddCandidateTest, EqualScoresKeepTheirOrderOfArrival)
{
    RealignmentGrid grid = MakeGrid(0, 0, test::Sizes());
    const GrayImage grey = test::NoiseGray(40, 40, 2);
    for (int s = 0; s < 3; ++s) AddCandidate(grid, grey, {20, 20}, test::Record(s, 0.0f));
    EXPECT_EQ(test::Ranks(grid), (std::vector<int>{0, 1, 2}));

    RealignmentGrid other = MakeGrid(0, 0, test::Sizes());
    AddCandidate(other, grey, {20, 20}, test::Record(0, 2.0f));
    AddCandidate(other, grey, {20, 20}, test::Record(1, 1.0f));
    AddCandidate(other, grey, {20, 20}, test::Record(2, 1.0f));
    EXPECT_EQ(test::Ranks(other), (std::vector<int>{1, 2, 0}));
}

TEST(AddCandidateTest, AFullListReplacesTheWorstRankedSlotWhichCarriesTheNewOffset)
{
    RealignmentGrid grid = MakeGrid(0, 0, test::Sizes());
    const GrayImage grey = test::NoiseGray(40, 40, 4);
    AddCandidate(grid, grey, {10, 10}, test::Record(1, 0.9f, 1, 1));
    AddCandidate(grid, grey, {20, 20}, test::Record(2, 0.2f, 2, 2));
    AddCandidate(grid, grey, {30, 30}, test::Record(3, 0.5f, 3, 3));
    ASSERT_EQ(test::Ranks(grid), (std::vector<int>{1, 2, 0}));

    AddCandidate(grid, grey, {15, 25}, test::Record(9, 0.1f, -4, 5));
    EXPECT_EQ(grid.count, 3);
    // Slot 0 held the highest score; slot 2, the one appended last, is untouched.
    EXPECT_EQ(grid.candidates[0].source, 9);
    EXPECT_EQ(grid.candidates[0].offset_x, -4);
    EXPECT_EQ(grid.candidates[0].offset_y, 5);
    EXPECT_EQ(grid.candidates[2].source, 3);
    EXPECT_EQ(grid.candidates[2].offset_x, 3);
    EXPECT_EQ(grid.patches[0].at(7, 7), grey.at(15, 25));
    EXPECT_EQ(test::Ranks(grid), (std::vector<int>{0, 1, 2}));

    // A worse newcomer still replaces the worst-ranked slot, and ranks last.
    AddCandidate(grid, grey, {12, 12}, test::Record(10, 5.0f));
    EXPECT_EQ(grid.candidates[2].source, 10);
    EXPECT_EQ(test::Ranks(grid), (std::vector<int>{0, 1, 2}));
}

TEST(AddCandidateTest, PatchesAtTheImageBorderReadZeroOutsideAndOddSizesAreSafe)
{
    RealignmentGrid grid = MakeGrid(0, 0, test::Sizes());
    const GrayImage grey = test::MakeGray(20, 20, [](int x, int y) { return 10 + x + y; });
    AddCandidate(grid, grey, {0, 19}, test::Record(0, 0.0f));
    const GrayImage& patch = grid.patches[0];
    EXPECT_EQ(patch.at(0, 0), 0);        // (-7, 12)
    EXPECT_EQ(patch.at(7, 0), 10 + 12);  // (0, 12)
    EXPECT_EQ(patch.at(7, 7), 10 + 19);  // the centre
    EXPECT_EQ(patch.at(7, 8), 0);        // (0, 20)

    for (const int size : {0, 1, 2}) {
        RealignmentGrid tiny = MakeGrid(0, 0, test::Sizes(17, size));
        AddCandidate(tiny, grey, {0, 0}, test::Record(0, 0.0f));
        EXPECT_EQ(tiny.count, 1);
        EXPECT_EQ(tiny.candidates[0].shape, Matrix2{});
    }
    RealignmentGrid no_room = MakeGrid(0, 0, test::Sizes(17, 15, 17, 0));
    AddCandidate(no_room, grey, {10, 10}, test::Record(0, 0.0f));
    EXPECT_EQ(no_room.has_feature, 0);
    EXPECT_EQ(no_room.count, 0);
}

}  // namespace
}  // namespace tp
