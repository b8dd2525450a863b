// Re-alignment as a whole: propagation, the grey composite, and Mosaic::Realign on synthetic panoramas.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "realignment_test_support.h"

namespace tp {
namespace {

// --- propagation --------------------------------------------------------------------------------------

TEST(PropagateCorrectionTest, CarriesACorrectionOutwardUpToABrokenChain)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(5, ColorImage(40, 30)));
    Mosaic& mosaic = *m.mosaic;
    for (int i = 0; i < 4; ++i) StorePairResult(mosaic.alignments(), i, test::Shift(-30, 1), test::Shift(30, -1), 1.0);
    ASSERT_TRUE(mosaic.UpdateGeometry());
    ASSERT_EQ(mosaic.reference(), 2);
    const Matrix before0 = mosaic.alignment(0).to_reference;

    // Source 3 moved by (2, 1): source 4 follows it, the sources on the other side stay.
    test::Misplace(mosaic, 3, 2.0, 1.0);
    PropagateCorrection(mosaic, 3);
    EXPECT_LT(test::CornerError(mosaic.alignment(4).to_reference, test::Shift(2 + 60, 1 - 2), 40, 30), 1e-9);
    EXPECT_LT(test::CornerError(mosaic.alignment(4).from_reference * mosaic.alignment(4).to_reference,
                                Matrix::Identity(3), 40, 30), 1e-9);
    EXPECT_EQ(mosaic.alignment(0).to_reference, before0);

    // Towards index 0, stopping at a source out of the chain.
    mosaic.alignment(0).in_chain = 0;
    test::Misplace(mosaic, 1, -3.0, 0.0);
    PropagateCorrection(mosaic, 1);
    EXPECT_EQ(mosaic.alignment(0).to_reference, before0);
    mosaic.alignment(0).in_chain = 1;
    PropagateCorrection(mosaic, 1);
    EXPECT_LT(test::CornerError(mosaic.alignment(0).to_reference, test::Shift(-3 - 60, 2), 40, 30), 1e-9);
}

// --- the grey composite -------------------------------------------------------------------------------

TEST(GreyCompositeTest, PaintsTheMeanOfTheChannelsOnlyWhereTheCompositeIsEmpty)
{
    const ColorImage image = test::MakeColorImage(20, 16, [](int x, int y, int c) { return c == 0 ? 3 * x : c == 1 ? y : 0; });
    GrayImage composite(40, 30);
    composite.at(12, 12) = 77;
    // Offset (10, 10): canvas pixel (x, y) samples source pixel (x - 10 + 10, y - 10 + 8).
    RenderGreyWhereEmpty(composite, image, Matrix::Identity(3), Matrix::Identity(3), {10, 10});
    EXPECT_EQ(composite.at(15, 10), static_cast<int>((3 * 15 + 8) * 0.33333334f));
    EXPECT_EQ(composite.at(12, 12), 77);
    // Source (2, 2) is the first pixel sampled; (1, 2) and (18, 2) are outside [2, w - 2).
    EXPECT_NE(composite.at(2, 4), 0);
    EXPECT_EQ(composite.at(1, 4), 0);
    EXPECT_EQ(composite.at(18, 4), 0);
    // Black samples are stored as 1.
    const ColorImage black(20, 16);
    GrayImage dark(40, 30);
    RenderGreyWhereEmpty(dark, black, Matrix::Identity(3), Matrix::Identity(3), {10, 10});
    EXPECT_EQ(dark.at(10, 10), 1);
    EXPECT_EQ(dark.at(0, 0), 0);
}

// --- the run ------------------------------------------------------------------------------------------

TEST(RealignTest, BringsAMisplacedSourceBackAndLeavesTheOthersInPlace)
{
    test::SyntheticPanorama p = test::MakeTexturedPanorama();
    Mosaic& mosaic = *p.m.mosaic;
    ASSERT_EQ(mosaic.reference(), 1);
    ASSERT_EQ(mosaic.stitching_order(), (std::vector<int>{1, 0, 2}));
    test::Misplace(mosaic, 0, 3.0, -2.0);
    const double before = test::PlacementError(mosaic, p, 0);
    ASSERT_GT(before, 3.5);
    ASSERT_LT(test::PlacementError(mosaic, p, 2), 1e-6);

    test::RecordingProgress progress;
    ASSERT_TRUE(mosaic.Realign(progress));
    const double after = test::PlacementError(mosaic, p, 0);
    EXPECT_LT(after, 1.0) << "before " << before;
    EXPECT_LT(test::PlacementError(mosaic, p, 2), 1.5);
    EXPECT_EQ(mosaic.alignment(1).to_reference, Matrix::Identity(3));
    EXPECT_LT(test::CornerError(mosaic.alignment(0).from_reference * mosaic.alignment(0).to_reference,
                                Matrix::Identity(3), test::kViewWidth, test::kViewHeight), 1e-6);

    // The lattice: the reference's textured places and the other sources' patches are candidates now.
    const RealignmentState& state = mosaic.realignment();
    EXPECT_EQ(state.grids_created, 1);
    int with_feature = 0, from_source_0 = 0;
    for (const RealignmentGrid& grid : state.grids) {
        with_feature += grid.has_feature;
        for (int k = 0; k < grid.count; ++k) from_source_0 += grid.candidates[static_cast<std::size_t>(k)].source == 0;
    }
    EXPECT_GT(with_feature, 60);
    EXPECT_GT(from_source_0, 20);

    // The canvas is laid out anew and left empty for the blend that follows.
    EXPECT_TRUE(mosaic.canvas_allocated());
    const ColorImage& canvas = mosaic.planar();
    ASSERT_FALSE(canvas.empty());
    bool all_empty = true;
    for (int y = 0; y < canvas.height() && all_empty; ++y)
        for (int x = 0; x < canvas.width() * 3; ++x) all_empty = all_empty && canvas.row(y)[x] == 0;
    EXPECT_TRUE(all_empty);
}

TEST(RealignTest, ReportsTheGridColumnsThenEveryGridPassAndSource)
{
    test::SyntheticPanorama p = test::MakeTexturedPanorama();
    Mosaic& mosaic = *p.m.mosaic;
    const int spacing = mosaic.parameters().grid_spacing;
    const int columns = (mosaic.planar().width() - 1) / spacing + 1;
    const int grids = columns * ((mosaic.planar().height() - 1) / spacing + 1);
    test::RecordingProgress progress;
    ASSERT_TRUE(mosaic.Realign(progress));
    EXPECT_EQ(mosaic.realignment().num_grid, grids);
    EXPECT_EQ(progress.texts, (std::vector<int>{35309, 35310}));
    EXPECT_EQ(progress.ranges, (std::vector<int>{columns, 5 * grids + 1}));
    // Columns; the reference pass; per source its matching and candidate passes and one more step.
    EXPECT_EQ(progress.steps, columns + grids + 2 * (2 * grids + 1));
}

TEST(RealignTest, ACancelAtAnyStageReturnsAtOnce)
{
    test::SyntheticPanorama p = test::MakeTexturedPanorama();
    Mosaic& mosaic = *p.m.mosaic;
    test::Misplace(mosaic, 0, 3.0, -2.0);
    const Matrix misplaced = mosaic.alignment(0).to_reference;
    const int spacing = mosaic.parameters().grid_spacing;
    const int columns = (mosaic.planar().width() - 1) / spacing + 1;
    const int grids = columns * ((mosaic.planar().height() - 1) / spacing + 1);
    // While creating the grids, in the reference pass, in source 0's matching pass, in its candidate pass.
    for (const int step : {1, columns + 5, columns + grids + 3, columns + 2 * grids + 4}) {
        test::RecordingProgress progress(step);
        EXPECT_FALSE(mosaic.Realign(progress)) << step;
        EXPECT_EQ(progress.steps, step);
    }
    // Source 0's correction was applied before its candidate pass; nothing touched source 2.
    EXPECT_NE(mosaic.alignment(0).to_reference, misplaced);
    EXPECT_LT(test::PlacementError(mosaic, p, 2), 1e-6);
}

TEST(RealignTest, TooFewFeaturesShowsTheMessageAndStopsWithEarlierSourcesCorrected)
{
    // Source 2 is black: nothing correlates with it.
    static const ColorImage scene = test::CrispScene(480, 200, 7);
    std::vector<ColorImage> views = test::Render(scene, test::ThreeViewPoses());
    views[2] = ColorImage(test::kViewWidth, test::kViewHeight);
    test::SyntheticPanorama p = test::MakePanorama(views, test::ThreeViewPoses());
    Mosaic& mosaic = *p.m.mosaic;
    test::Misplace(mosaic, 0, 3.0, -2.0);
    const Matrix source_2 = mosaic.alignment(2).to_reference;

    test::CapturedMessages messages;
    test::RecordingProgress progress;
    EXPECT_FALSE(mosaic.Realign(progress));
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"too small number of features"}));
    EXPECT_LT(test::PlacementError(mosaic, p, 0), 1.0);
    EXPECT_EQ(mosaic.alignment(2).to_reference, source_2);
}

TEST(RealignTest, ATexturelessReferenceGivesNoFeaturesAtAll)
{
    const std::vector<ColorImage> views = {test::MakeColorImage(test::kViewWidth, test::kViewHeight, [](int, int, int) { return 120; }),
                                           test::NoiseImage(test::kViewWidth, test::kViewHeight, 1)};
    test::MemoryMosaic m = test::MakeMemoryMosaic(views);
    StorePairResult(m.mosaic->alignments(), 0, test::Shift(-80, 0), test::Shift(80, 0), 1.0);
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    ASSERT_EQ(m.mosaic->reference(), 0);
    const Matrix before = m.mosaic->alignment(1).to_reference;

    test::CapturedMessages messages;
    test::RecordingProgress progress;
    EXPECT_FALSE(m.mosaic->Realign(progress));
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"too small number of features"}));
    EXPECT_EQ(m.mosaic->alignment(1).to_reference, before);
    for (const RealignmentGrid& grid : m.mosaic->realignment().grids) EXPECT_EQ(grid.has_feature, 0);
}

TEST(RealignTest, AGridPointOverUntexturedGroundCollectsNothing)
{
    // Scene columns below 200 are flat: the grid points there find no textured source.
    ColorImage scene = test::CrispScene(480, 200, 8);
    for (int y = 0; y < scene.height(); ++y)
        for (int x = 0; x < 200; ++x)
            for (int c = 0; c < 3; ++c) scene.at(x, y, c) = 140;
    const std::vector<Matrix> poses = {test::Shift(190.0, 100.0), test::Shift(250.0, 100.0)};
    test::SyntheticPanorama p = test::MakePanorama(test::Render(scene, poses), poses);
    Mosaic& mosaic = *p.m.mosaic;
    ASSERT_EQ(mosaic.reference(), 0);
    test::RecordingProgress progress;
    ASSERT_TRUE(mosaic.Realign(progress));
    EXPECT_LT(test::PlacementError(mosaic, p, 1), 1.0);

    // Scene position of a grid point: canvas -> mosaic (the reference view, pose 0) -> scene.
    const PointI offset = mosaic.canvas_offset();
    int flat = 0, textured = 0;
    for (const RealignmentGrid& grid : mosaic.realignment().grids) {
        const int scene_x = grid.x - offset.x + 190;
        const int scene_y = grid.y - offset.y + 100;
        if (scene_y < 50 || scene_y > 150 || scene_x < 120 || scene_x > 320) continue;
        // The texture window and the patch reach 7 pixels from the grid point.
        if (scene_x < 193) {
            ++flat;
            EXPECT_EQ(grid.has_feature, 0) << grid.x << "," << grid.y;
            EXPECT_EQ(grid.count, 0);
        } else {
            textured += grid.has_feature;
        }
    }
    EXPECT_GT(flat, 15);
    EXPECT_GT(textured, 30);
}

TEST(RealignTest, ASingularFitLeavesTheSourceAsRegisteredAndGoesOn)
{
    // Vertical stripes: every patch varies across only, so every shape matrix is zero and the fit for the
    // second source has nothing to stand on.
    const ColorImage scene = test::MakeColorImage(480, 200, [](int x, int, int) {
        return static_cast<int>(128.0 + 80.0 * std::sin(0.002 * x * x + 0.3 * x));
    });
    const std::vector<Matrix> poses = {test::Shift(190.0, 100.0), test::Shift(290.0, 100.0)};
    test::SyntheticPanorama p = test::MakePanorama(test::Render(scene, poses), poses);
    Mosaic& mosaic = *p.m.mosaic;
    test::Misplace(mosaic, 1, 2.0, 0.0);
    const Matrix misplaced = mosaic.alignment(1).to_reference;
    test::CapturedMessages messages;
    test::RecordingProgress progress;
    EXPECT_TRUE(mosaic.Realign(progress));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(mosaic.alignment(1).to_reference, misplaced);
    EXPECT_TRUE(mosaic.canvas_allocated());
}

TEST(RealignTest, DegeneratePatchSizesAndAnUnreadableSourceStayInsideTheImages)
{
    // Patch sizes 0 and 1 leave no texture window, so no grid point ever holds a feature.
    for (const int size : {0, 1}) {
        test::SyntheticPanorama p = test::MakeTexturedPanorama();
        p.m.mosaic->realignment().patch_size = size;
        test::CapturedMessages messages;
        test::RecordingProgress progress;
        EXPECT_FALSE(p.m.mosaic->Realign(progress)) << size;
        EXPECT_EQ(messages.texts.size(), 1u) << size;
    }
    // Even sizes, a patch too wide for the grid points near the source borders, no search around the prediction.
    for (const int size : {2, 4, 40}) {
        test::SyntheticPanorama p = test::MakeTexturedPanorama();
        p.m.mosaic->realignment().patch_size = size;
        p.m.mosaic->realignment().search_size = size == 40 ? 0 : 17;
        test::CapturedMessages messages;
        test::RecordingProgress progress;
        EXPECT_TRUE(p.m.mosaic->Realign(progress)) << size;
        EXPECT_TRUE(messages.texts.empty()) << size;
        EXPECT_LT(test::PlacementError(*p.m.mosaic, p, 2), 3.0) << size;
    }
    test::SyntheticPanorama p = test::MakeTexturedPanorama();
    p.m.images->Remove("2");
    test::CapturedMessages messages;
    test::RecordingProgress progress;
    EXPECT_FALSE(p.m.mosaic->Realign(progress));
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"too small number of features"}));
}

TEST(RealignTest, NoCanvasMeansNothingToRealign)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({test::NoiseImage(test::kViewWidth, test::kViewHeight, 1)});
    test::RecordingProgress progress;
    EXPECT_FALSE(m.mosaic->Realign(progress));
    EXPECT_EQ(progress.steps, 0);
    EXPECT_TRUE(progress.texts.empty());
}

TEST(RealignTest, ASecondRunStartsFromAFreshLatticeAndKeepsSourcesInPlace)
{
    test::SyntheticPanorama p = test::MakeTexturedPanorama();
    Mosaic& mosaic = *p.m.mosaic;
    test::RecordingProgress first;
    ASSERT_TRUE(mosaic.Realign(first));
    test::RecordingProgress second;
    ASSERT_TRUE(mosaic.Realign(second));
    for (int i = 0; i < 3; ++i) EXPECT_LT(test::PlacementError(mosaic, p, i), 1.5) << i;
    // Had the old lists survived, the reference pass would have added a second texture candidate from the
    // reference to every textured grid point.
    int reference_patches = 0;
    for (const RealignmentGrid& grid : mosaic.realignment().grids) {
        int from_reference = 0;
        for (int k = 0; k < grid.count; ++k) {
            const GridCandidate& c = grid.candidates[static_cast<std::size_t>(k)];
            from_reference += c.source == mosaic.reference() && c.matched == -1;
        }
        EXPECT_LE(from_reference, 1);
        reference_patches += from_reference;
    }
    EXPECT_GT(reference_patches, 30);
    EXPECT_EQ(second.steps, first.steps);
}

}  // namespace
}  // namespace tp
