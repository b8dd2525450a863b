#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "frame_test_support.h"
#include "synthetic_views.h"
#include "ui/modification_bands.h"
#include "ui/modification_state.h"
#include "ui/preview_window.h"
#include "ui/splitter_view.h"

namespace tp {
namespace {

using test::FrameFixture;

// Three panning views stitched automatically, then into the modification mode by a manual stitch.
struct ModificationFixture : FrameFixture {
    ModificationFixture()
    {
        LoadViews(3);
        frame->RunProcessingCommand(kCmdStitch);
        stitch_choice = 0;
        frame->RunProcessingCommand(kCmdStitch);
    }
    CSplitterView& view() { return *frame->splitter_view(); }
};

TEST(ModificationModeTest, AManualStitchOpensOnTheFirstFrameInTheLayoutThatSuitsTheImage)
{
    ModificationFixture f;
    ASSERT_NE(f.frame->splitter_view(), nullptr);
    EXPECT_EQ(f.frame->current_layout(), kCmdHorizontalAlignment) << "a wide panorama: one window above the other";
    EXPECT_EQ(f.doc.current_frame(), 1);
    EXPECT_TRUE(f.doc.first_pair_copy().loaded());
    EXPECT_EQ(f.view().preview_band()->StatusText(), "Set: Automatic Mode");
    ASSERT_NE(f.view().preview_window(), nullptr);
    EXPECT_EQ(f.view().preview_window()->image_size(),
              QSize(f.doc.mosaic()->planar().width(), f.doc.mosaic()->planar().height()));
    EXPECT_EQ(f.view().preview_window()->zoom(), 1.0);
}

TEST(ModificationModeTest, NavigationStaysWithinTheFramesAndTheModeFollowsThePairsRecord)
{
    ModificationFixture f;
    CTopModification& band = *f.view().top_band();
    band.PreviousFrames();
    EXPECT_EQ(f.doc.current_frame(), 1);
    f.doc.pair_edits()[1].mode = 2;  // the second pair was aligned by four points
    band.NextFrames();
    EXPECT_EQ(f.doc.current_frame(), 2);
    EXPECT_FALSE(f.doc.translation_mode());
    band.NextFrames();
    EXPECT_EQ(f.doc.current_frame(), 2) << "no frame after the last";
    f.doc.pair_edits()[0].mode = 0;  // automatic: the editor keeps its mode
    band.PreviousFrames();
    EXPECT_FALSE(f.doc.translation_mode());
    band.ChooseMode(0);
    EXPECT_TRUE(f.doc.translation_mode());
}

TEST(ModificationModeTest, SaveAndPreviewIgnoresPressesUntilEveryPairIsSet)
{
    ModificationFixture f;
    f.frame->show();
    CTopPreview& band = *f.view().preview_band();
    QSignalSpy applied(&band, &CTopPreview::applyRequested);
    const QPoint save_button(150, 12);
    f.doc.pair_edits()[1].mode = -1;
    QTest::mouseClick(&band, Qt::LeftButton, {}, save_button);
    EXPECT_EQ(applied.count(), 0);
    f.doc.pair_edits()[1].mode = 0;
    QTest::mouseClick(&band, Qt::LeftButton, {}, save_button);
    EXPECT_EQ(applied.count(), 1);
}

TEST(ModificationModeTest, ApplyingReRegistersOnlyTheEditedPairAndLeavingAsksFirst)
{
    ModificationFixture f;
    const Matrix untouched = f.doc.mosaic()->alignment(1).to_next;
    PairEdit& edit = f.doc.pair_edits()[0];
    edit.mode = 1;
    edit.modified = 1;
    edit.translation_x = 110.0f;  // the views pan by 110 pixels
    edit.translation_y = 0.0f;
    f.doc.set_modified(false);
    f.frame->ApplyEditsAndPreview();
    const SourceAlignment& applied = f.doc.mosaic()->alignment(0);
    EXPECT_EQ(applied.method, 1);
    EXPECT_FLOAT_EQ(applied.translation_hint.x, 110.0f);
    EXPECT_NEAR(applied.to_next.at(0, 2), -110.0, 1.0) << "the pair lines up again";
    EXPECT_EQ(f.doc.mosaic()->alignment(1).to_next.at(0, 2), untouched.at(0, 2));
    EXPECT_EQ(f.doc.pair_edits()[0].modified, 0);
    EXPECT_EQ(f.doc.stitch_state(), StitchState::Stitched);
    EXPECT_TRUE(f.doc.modified());

    // A pending edit: No stays with it, Yes puts the pair back as it was applied.
    PairEdit& pending = f.doc.pair_edits()[1];
    const PairEdit before = pending;
    pending.mode = 1;
    pending.modified = 1;
    pending.translation_x = 3.0f;
    bool answer = false;
    f.dialogs_answer_exit = &answer;
    f.frame->EndModification();
    EXPECT_FALSE(f.frame->main_view_active());
    EXPECT_EQ(f.doc.pair_edits()[1].translation_x, 3.0f);
    answer = true;
    f.frame->EndModification();
    EXPECT_TRUE(f.frame->main_view_active());
    EXPECT_EQ(f.doc.pair_edits()[1].modified, 0);
    EXPECT_EQ(f.doc.pair_edits()[1].mode, before.mode);
    EXPECT_EQ(f.doc.pair_edits()[1].translation_x, before.translation_x);
    EXPECT_FALSE(f.doc.first_pair_copy().loaded());
}

TEST(ModificationModeTest, ARealPairAlignedByADragToItsOffsetComesOutConsistent)
{
    const std::vector<std::string> set = test::PanoramaSet("squamish_mountain");
    if (set.size() < 2) GTEST_SKIP() << "the real photo sets are not here";
    FrameFixture f;
    f.images = {QString::fromStdString(set[0]), QString::fromStdString(set[1])};
    f.frame->RunProcessingCommand(kCmdLoad);
    f.frame->RunProcessingCommand(kCmdStitch);
    ASSERT_EQ(f.doc.stitch_state(), StitchState::Stitched);
    const Matrix automatic = f.doc.mosaic()->alignment(0).to_next;
    ASSERT_FALSE(f.doc.first_pair_copy().loaded());
    f.stitch_choice = 0;
    f.frame->RunProcessingCommand(kCmdStitch);
    ASSERT_TRUE(f.doc.first_pair_copy().loaded());
    const int width = f.doc.first_pair_copy().display_width(), height = f.doc.first_pair_copy().display_height();

    // The drag a user makes: the second photo's origin moved to where the first photo's centre lands on it.
    const double d = automatic.at(2, 2);
    PairEdit& edit = f.doc.pair_edits()[0];
    edit.mode = 1;
    edit.modified = 1;
    edit.translation_x = static_cast<float>(-automatic.at(0, 2) / d);
    const float edit_x = edit.translation_x;
    edit.translation_y = static_cast<float>(-automatic.at(1, 2) / d);
    f.frame->ApplyEditsAndPreview();
    const SourceAlignment& applied = f.doc.mosaic()->alignment(0);
    EXPECT_TRUE(applied.has_next);
    EXPECT_EQ(applied.method, 1);
    EXPECT_LT(test::OverlapError(applied.to_next, automatic, width, height), 4.0)
        << "re-registered from the hint, the pair agrees with the automatic alignment";

    // The fix is kept: saved, reopened, the pair comes back as the hint placed it.
    const Matrix fixed = applied.to_next;
    f.frame->EndModification();
    f.save_path = QString::fromStdString(f.dir.file("fixed.tnp"));
    ASSERT_TRUE(f.frame->SaveProjectAs());
    ASSERT_TRUE(f.frame->NewProject());
    ASSERT_TRUE(f.frame->OpenProject(f.save_path));
    const SourceAlignment& reopened = f.doc.mosaic()->alignment(0);
    EXPECT_EQ(reopened.method, 1);
    EXPECT_FLOAT_EQ(reopened.translation_hint.x, edit_x);
    EXPECT_LT(test::OverlapError(reopened.to_next, fixed, width, height), 0.01);
}

TEST(ModificationModeTest, PairStatusTexts)
{
    struct Case {
        int mode;
        int modified;
        const char* text;
    };
    for (const Case c : {Case{-1, 0, "Unset"}, Case{0, 0, "Set: Automatic Mode"}, Case{1, 0, "Set: Translation Mode"},
                         Case{2, 1, "Modified: Four Points Mode"}, Case{-1, 1, "Modified: "}}) {
        PairEdit edit;
        edit.mode = c.mode;
        edit.modified = c.modified;
        EXPECT_EQ(PairStatusText(edit), c.text);
    }
}

}  // namespace
}  // namespace tp
