#include <gtest/gtest.h>

#include "compositing/mosaic.h"
#include "mosaic_test_support.h"
#include "registration/homography.h"

namespace tp {
namespace {

Matrix Scale(double sx, double sy)
{
    Matrix m = Matrix::Identity(3);
    m[0][0] = sx;
    m[1][1] = sy;
    return m;
}

void Link(Mosaic& m, int i, const Matrix& h) { StorePairResult(m.alignments(), i, h, Inverse(h), 1.0); }

TEST(MosaicParametersTest, SizesFollowTheWorkingImageArea)
{
    const MosaicParameters small = MakeMosaicParameters(320, 240, 3);
    EXPECT_EQ(small.virtual_width, 320 * 103 / 2);
    EXPECT_EQ(small.virtual_height, 240 * 40);
    EXPECT_EQ(small.pyramid_levels, 3);
    EXPECT_EQ(small.grid_spacing, 17);
    EXPECT_EQ(small.grid_search_size, 17);
    const MosaicParameters vga = MakeMosaicParameters(640, 480, 2);
    EXPECT_EQ(vga.pyramid_levels, 3);
    EXPECT_EQ(vga.grid_spacing, 25);
    EXPECT_EQ(vga.grid_search_size, 31);
    const MosaicParameters larger = MakeMosaicParameters(641, 480, 2);
    EXPECT_EQ(larger.pyramid_levels, 4);
    EXPECT_EQ(larger.grid_spacing, 33);
    EXPECT_EQ(larger.grid_search_size, 41);
    const MosaicParameters full = MakeMosaicParameters(1024, 1024, 2);
    EXPECT_EQ(full.grid_spacing, 33);
    const MosaicParameters beyond = MakeMosaicParameters(1024, 1201, 2);
    EXPECT_EQ(beyond.grid_spacing, 41);
    EXPECT_EQ(beyond.grid_search_size, 51);
    EXPECT_EQ(full.grid_patch_size, 15);
    EXPECT_EQ(full.candidates_per_grid, 3);
    EXPECT_EQ(full.texture_threshold, 6.0f);
}

TEST(MosaicInitialisationTest, StartsWithIdentitiesAndTheMiddleReference)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(4, ColorImage(8, 6)));
    EXPECT_EQ(m.mosaic->reference(), 1);
    EXPECT_TRUE(m.mosaic->geometry_valid());
    EXPECT_FALSE(m.mosaic->canvas_allocated());
    EXPECT_EQ(m.mosaic->focal_length(), 0.0);
    const SourceAlignment& r = m.mosaic->alignment(2);
    EXPECT_EQ(r.to_next, Matrix::Identity(3));
    EXPECT_EQ(r.from_reference, Matrix::Identity(3));
    EXPECT_EQ(r.has_next + r.has_previous + r.in_chain, 0);
    EXPECT_EQ(r.method, -1);
    EXPECT_EQ(r.path, "2");
}

TEST(MosaicGeometryTest, TwoIdenticalSourcesGiveACanvasOfTheImagePlusMargins)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({ColorImage(64, 48), ColorImage(64, 48)});
    Link(*m.mosaic, 0, Matrix::Identity(3));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    EXPECT_EQ(m.mosaic->reference(), 0);
    EXPECT_EQ(m.mosaic->stitching_order(), (std::vector<int>{0, 1}));
    EXPECT_EQ(m.mosaic->alignment(0).box, m.mosaic->alignment(1).box);
    EXPECT_EQ(m.mosaic->planar().width(), 64 + 101);
    EXPECT_EQ(m.mosaic->planar().height(), 48 + 101);
    // The reference's centre sits at the canvas offset, 50 + 32 pixels in.
    EXPECT_EQ(m.mosaic->canvas_offset().x, 82);
    EXPECT_EQ(m.mosaic->canvas_offset().y, 74);
    EXPECT_EQ(m.mosaic->alignment(0).centre, m.mosaic->canvas_offset());
}

TEST(MosaicGeometryTest, ReferenceMinimisesTheSummedDistancesWithTiesToTheLowerIndex)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(5, ColorImage(40, 30)));
    for (int i = 0; i < 4; ++i) Link(*m.mosaic, i, TranslationHomography(-20, 0));
    m.mosaic->ChooseReference();
    EXPECT_EQ(m.mosaic->reference(), 2);
    // Four sources in a row: sources 1 and 2 tie; the lower index wins.
    test::MemoryMosaic even = test::MakeMemoryMosaic(std::vector<ColorImage>(4, ColorImage(40, 30)));
    for (int i = 0; i < 3; ++i) Link(*even.mosaic, i, TranslationHomography(-20, 0));
    even.mosaic->set_reference(3);
    even.mosaic->ChooseReference();
    EXPECT_EQ(even.mosaic->reference(), 1);
}

TEST(MosaicGeometryTest, ChainsMultiplyPairwiseHomographiesTowardsTheReference)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(4, ColorImage(40, 30)));
    Mosaic& mosaic = *m.mosaic;
    Link(mosaic, 0, TranslationHomography(-10, 1));
    Link(mosaic, 1, TranslationHomography(-20, 2));
    Link(mosaic, 2, Scale(1.5, 1.5));
    mosaic.set_reference(1);
    mosaic.ChainToReference();
    EXPECT_EQ(mosaic.alignment(1).to_reference, Matrix::Identity(3));
    EXPECT_EQ(mosaic.alignment(0).to_reference, TranslationHomography(-10, 1));
    EXPECT_EQ(mosaic.alignment(2).from_reference, TranslationHomography(-20, 2));
    EXPECT_EQ(mosaic.alignment(3).from_reference, Scale(1.5, 1.5) * TranslationHomography(-20, 2));
    EXPECT_EQ(mosaic.alignment(3).to_reference, Inverse(mosaic.alignment(3).from_reference));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(mosaic.alignment(i).in_chain, 1);
}

TEST(MosaicGeometryTest, ABrokenPairLeavesTheSourcesBeyondItWithTheirOldTransforms)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(4, ColorImage(40, 30)));
    Mosaic& mosaic = *m.mosaic;
    for (int i = 0; i < 3; ++i) Link(mosaic, i, TranslationHomography(-10, 0));
    mosaic.set_reference(1);
    mosaic.ChainToReference();
    const Matrix before = mosaic.alignment(3).to_reference;
    ClearPairResult(mosaic.alignments(), 2);
    Link(mosaic, 1, TranslationHomography(-12, 0));
    mosaic.ChainToReference();
    EXPECT_EQ(mosaic.alignment(2).in_chain, 1);
    EXPECT_EQ(mosaic.alignment(2).from_reference, TranslationHomography(-12, 0));
    EXPECT_EQ(mosaic.alignment(3).in_chain, 0);
    EXPECT_EQ(mosaic.alignment(3).to_reference, before);
}

TEST(MosaicGeometryTest, StitchingOrderInBothModes)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic(std::vector<ColorImage>(5, ColorImage(40, 30)));
    Mosaic& mosaic = *m.mosaic;
    // Source 0 is far away, source 3 close: ordered by the distance of the reference origin in each source.
    Link(mosaic, 0, TranslationHomography(-90, 0));
    Link(mosaic, 1, TranslationHomography(-20, 0));
    Link(mosaic, 2, TranslationHomography(-5, 0));
    Link(mosaic, 3, TranslationHomography(-30, 0));
    mosaic.set_reference(2);
    mosaic.ChainToReference();
    mosaic.ComputeStitchingOrder();
    EXPECT_EQ(mosaic.stitching_order(), (std::vector<int>{2, 1, 0, 3, 4}));
    mosaic.set_order_mode(OrderMode::NearestCentreFirst);
    mosaic.ComputeStitchingOrder();
    EXPECT_EQ(mosaic.stitching_order(), (std::vector<int>{2, 3, 1, 4, 0}));
    EXPECT_FLOAT_EQ(mosaic.centre_points()[4].x, -35.0f);
}

TEST(MosaicGeometryTest, UnionBoundsGrowOverRunsUnlessMinimaAreReset)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({ColorImage(40, 30), ColorImage(40, 30)});
    Mosaic& mosaic = *m.mosaic;
    Link(mosaic, 0, TranslationHomography(-10, 0));
    ASSERT_TRUE(mosaic.UpdateGeometry());
    const int first_width = mosaic.planar().width();
    // Move the second source closer: the maxima are never reset, so the canvas keeps its width.
    Link(mosaic, 0, TranslationHomography(-2, 0));
    ASSERT_TRUE(mosaic.UpdateGeometry());
    EXPECT_EQ(mosaic.planar().width(), first_width);
}

TEST(MosaicGeometryTest, CanvasLimitIs199999999Pixels)
{
    // One 2 x 2 source scaled so that its box spans 1347 x (2 Y + 1) pixels on a large virtual canvas.
    MosaicParameters parameters = MakeMosaicParameters(2, 2, 1);
    parameters.virtual_width = parameters.virtual_height = 2000000;
    auto images = std::make_shared<test::MemoryWorkingImages>();
    images->Put("0", ColorImage(2, 2));
    Mosaic mosaic(parameters, {"0"}, images);
    mosaic.alignment(0).to_reference = Scale(673, 69058);  // (1347 + 100) x (138117 + 100) = 199999999
    mosaic.ComputeBoundingBoxes(true);
    ASSERT_TRUE(mosaic.AllocateCanvas());
    EXPECT_EQ(static_cast<long long>(mosaic.planar().width()) * mosaic.planar().height(), 199999999LL);

    Mosaic larger(parameters, {"0"}, images);
    larger.alignment(0).to_reference = Scale(673, 69059);
    larger.ComputeBoundingBoxes(true);
    EXPECT_FALSE(larger.AllocateCanvas());
    EXPECT_FALSE(larger.geometry_valid());
    EXPECT_FALSE(larger.canvas_allocated());
    test::RecordingProgress progress;
    EXPECT_FALSE(larger.Blend(BlendType::Basic, progress));
    EXPECT_TRUE(progress.texts.empty());
}

TEST(MosaicGeometryTest, UnreadableSourcesCollapseToTheirCentre)
{
    test::MemoryMosaic m = test::MakeMemoryMosaic({ColorImage(40, 30), ColorImage(40, 30)});
    m.images->Remove("1");
    Link(*m.mosaic, 0, TranslationHomography(-10, 0));
    ASSERT_TRUE(m.mosaic->UpdateGeometry());
    const BoxI box = m.mosaic->alignment(1).box;
    EXPECT_EQ(box.min_x, box.max_x);
    EXPECT_EQ(box.min_y, box.max_y);
}

}  // namespace
}  // namespace tp
