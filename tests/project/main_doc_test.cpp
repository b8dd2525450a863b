#include <gtest/gtest.h>

#include "imaging/image_ops.h"
#include "project/main_doc.h"
#include "workflow_test_support.h"

namespace tp {
namespace {

TEST(DocumentSlotTest, TheDocumentIsReachableWhileItLives)
{
    {
        CMainDoc doc;
        EXPECT_EQ(TheDocument(), &doc);
    }
    EXPECT_EQ(TheDocument(), nullptr);
}

TEST(SourceListTest, AddsAtHeadOrTailAndRefusesOtherSizesAndUnreadableFiles)
{
    test::ScratchDir dir;
    WriteImage(test::NoiseImage(64, 48, 1), dir.file("a.png"));
    WriteImage(test::NoiseImage(64, 48, 2), dir.file("b.png"));
    WriteImage(test::NoiseImage(60, 48, 3), dir.file("c.png"));
    CMainDoc doc;
    EXPECT_EQ(doc.AddImage(dir.file("a.png"), AddPosition::Tail), AddImageResult::Added);
    EXPECT_EQ(doc.AddImage(dir.file("b.png"), AddPosition::Head), AddImageResult::Added);
    EXPECT_EQ(doc.image(0).path, dir.file("b.png"));
    EXPECT_EQ(doc.AddImage(dir.file("c.png"), AddPosition::Tail), AddImageResult::SizeMismatch);
    EXPECT_EQ(doc.AddImage(dir.file("missing.png"), AddPosition::Tail), AddImageResult::ReadError);
    EXPECT_EQ(doc.image_count(), 2);
    // The first image itself is never compared.
    CMainDoc other;
    EXPECT_EQ(other.AddImage(dir.file("c.png"), AddPosition::Tail), AddImageResult::Added);
}

// Loading reduces while it reads; the thumbnail and the working image are those of the whole picture.
TEST(PrepareImageTest, GivesTheThumbnailAndWorkingImageOfTheWholePictureWithinTheBudget)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteImage(test::NoiseImage(3001, 2011, 5), dir.file("large.bmp")), 0);
    ColorImage whole;
    ASSERT_EQ(ReadImage(whole, dir.file("large.bmp")), 0);
    DisplayCopy thumbnail;
    ASSERT_TRUE(thumbnail.LoadFrom(whole, 320));
    MemoryBudget budget(std::size_t{64} << 20);
    const PreparedImage prepared = PrepareImage(dir.file("large.bmp"), &budget);
    ASSERT_TRUE(prepared.readable);
    EXPECT_EQ(prepared.thumbnail.full_width(), 3001);
    EXPECT_EQ(prepared.thumbnail.full_height(), 2011);
    EXPECT_TRUE(test::ImagesMatch(thumbnail.image(), prepared.thumbnail.image()));
    EXPECT_TRUE(test::ImagesMatch(FitImage(whole, kWorkingBound, kWorkingBound), prepared.working_image));
    EXPECT_LT(budget.peak_held(), whole.block_size() / 4);
    EXPECT_EQ(budget.held(), 0u);
}

TEST(SourceListTest, RemovesAndMovesEntries)
{
    test::ScratchDir dir;
    CMainDoc doc;
    for (int i = 0; i < 4; ++i) {
        WriteImage(test::NoiseImage(16, 16, static_cast<unsigned>(i)), dir.file(std::to_string(i) + ".bmp"));
        doc.AddImage(dir.file(std::to_string(i) + ".bmp"), AddPosition::Tail);
    }
    doc.MoveImage(0, 4);  // to the end
    doc.MoveImage(3, 1);  // before entry 1
    std::vector<std::string> names;
    for (const std::string& p : doc.image_paths()) names.push_back(FileNameOf(p));
    EXPECT_EQ(names, (std::vector<std::string>{"1.bmp", "0.bmp", "2.bmp", "3.bmp"}));
    doc.RemoveImage(1);
    EXPECT_EQ(doc.image_count(), 3);
    EXPECT_EQ(FileNameOf(doc.image(1).path), "2.bmp");
    doc.RemoveAllImages();
    EXPECT_EQ(doc.image_count(), 0);
}

TEST(CommandGateTest, StitchNeedsTwoImagesFinalizeAStitchedImageCropAndExportAnImage)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 2);
    CMainDoc doc;
    EXPECT_TRUE(doc.CommandAllowed(command::kLoad));
    EXPECT_TRUE(doc.CommandAllowed(32800));
    doc.AddImage(paths[0], AddPosition::Tail);
    EXPECT_FALSE(doc.CommandAllowed(command::kStitch));
    doc.AddImage(paths[1], AddPosition::Tail);
    EXPECT_TRUE(doc.CommandAllowed(command::kStitch));
    EXPECT_FALSE(doc.CommandAllowed(command::kCrop));
    EXPECT_FALSE(doc.CommandAllowed(command::kExport));

    test::RecordingHost host;
    ASSERT_TRUE(StitchSourceImages(doc, host, StitchMethod::Automatic).show_result);
    EXPECT_TRUE(doc.CommandAllowed(command::kFinalize));
    EXPECT_TRUE(doc.CommandAllowed(command::kCrop));
    EXPECT_TRUE(doc.CommandAllowed(command::kExport));
    // Finalize is refused while unstitched even though the mosaic still holds an image.
    doc.set_stitch_state(StitchState::Unstitched);
    EXPECT_FALSE(doc.CommandAllowed(command::kFinalize));
    EXPECT_TRUE(doc.CommandAllowed(command::kExport));
}

TEST(SelectFrameTest, LoadsThePairCopiesAndIgnoresFramesBeyondTheList)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 3);
    CMainDoc doc;
    for (const std::string& p : paths) doc.AddImage(p, AddPosition::Tail);
    doc.SelectFrame(2);
    EXPECT_EQ(doc.current_frame(), 2);
    EXPECT_TRUE(doc.first_pair_copy().loaded());
    EXPECT_EQ(doc.first_pair_copy().display_width(), 320);
    doc.SelectFrame(3);
    EXPECT_EQ(doc.current_frame(), 2);
}

TEST(RecordEditTest, TranslationModeScalesTheScreenOffsetToWorkingPixels)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 2);
    CMainDoc doc;
    for (const std::string& p : paths) doc.AddImage(p, AddPosition::Tail);
    doc.ResetPairEdits(1);
    doc.SelectFrame(1);
    doc.set_translation_mode(true);
    // The 320-pixel wide first image is shown 160 pixels wide: offsets on screen count double.
    doc.first_image_rect() = {10, 20, 170, 140};
    doc.second_image_rect() = {65, 15, 225, 135};
    doc.RecordEdit({}, {});
    const PairEdit& edit = doc.pair_edits()[0];
    EXPECT_EQ(edit.modified, 1);
    EXPECT_EQ(edit.mode, 1);
    EXPECT_FLOAT_EQ(edit.translation_x, 110.0f);
    EXPECT_FLOAT_EQ(edit.translation_y, -10.0f);
    EXPECT_EQ(edit.first_points[3], (PointF{0, 0}));
}

TEST(RecordEditTest, FourPointModeStoresThePointsAndClearsTheTranslation)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 2);
    CMainDoc doc;
    for (const std::string& p : paths) doc.AddImage(p, AddPosition::Tail);
    doc.ResetPairEdits(1);
    doc.SelectFrame(1);
    doc.set_translation_mode(false);
    doc.pair_edits()[0].translation_x = 5;
    doc.RecordEdit({{{1.25, 2}, {3, 4}, {5, 6}, {7, 8}}}, {{{9, 10}, {11, 12}, {13, 14}, {15, 16.5}}});
    const PairEdit& edit = doc.pair_edits()[0];
    EXPECT_EQ(edit.mode, 2);
    EXPECT_EQ(edit.translation_x, 0.0f);
    EXPECT_EQ(edit.first_points[0], (PointF{1.25f, 2.0f}));
    EXPECT_EQ(edit.second_points[3], (PointF{15.0f, 16.5f}));
}

TEST(DocumentLifecycleTest, DeleteContentsResetsEverythingAndNewProjectIsUntitled)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 2);
    CMainDoc doc;
    for (const std::string& p : paths) doc.AddImage(p, AddPosition::Tail);
    test::RecordingHost host;
    StitchSourceImages(doc, host, StitchMethod::Automatic);
    doc.set_projection_command(command::kCylindricalProjection);
    doc.set_current_frame(1);
    doc.NewProject();
    EXPECT_EQ(doc.image_count(), 0);
    EXPECT_EQ(doc.mosaic(), nullptr);
    EXPECT_EQ(doc.stitch_state(), StitchState::Unstitched);
    EXPECT_EQ(doc.projection_command(), command::kPlanarProjection);
    EXPECT_EQ(doc.current_frame(), 0);
    EXPECT_TRUE(doc.translation_mode());
    EXPECT_EQ(doc.title(), "Untitled");
}

}  // namespace
}  // namespace tp
