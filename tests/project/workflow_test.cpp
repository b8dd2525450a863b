#include <gtest/gtest.h>

#include "imaging/string_table.h"
#include "project/project_file.h"
#include "project/workflow.h"
#include "workflow_test_support.h"

namespace tp {
namespace {

TEST(ThumbnailLabelTest, KeepsAtMost47CharactersOfTheFileName)
{
    EXPECT_EQ(ThumbnailLabel("/photos/a.jpg"), "Creating a thumbnail of a.jpg...");
    const std::string sixty(60, 'x');
    EXPECT_EQ(ThumbnailLabel("/photos/" + sixty), "Creating a thumbnail of " + std::string(47, 'x') + "...");
    EXPECT_EQ(FileNameOf("plain.png"), "plain.png");
}

TEST(LoadTest, ACommandWorksOnTheDocumentItIsGivenWhenTwoAreAlive)
{
    test::ScratchDir dir;
    WriteImage(test::NoiseImage(64, 48, 1), dir.file("a.png"));
    CMainDoc first;
    CMainDoc second;  // made last, so it held the slot
    test::RecordingHost host;
    LoadSourceImages(first, host, {dir.file("a.png"), dir.file("a.png")});
    EXPECT_EQ(first.image_count(), 2);
    EXPECT_EQ(second.image_count(), 0);
    EXPECT_EQ(TheDocument(), &second) << "the slot goes back to its occupant after the command";
}

TEST(LoadTest, StopsAtTheFirstImageOfAnotherSizeAndNamesIt)
{
    test::ScratchDir dir;
    WriteImage(test::NoiseImage(64, 48, 1), dir.file("first.png"));
    WriteImage(test::NoiseImage(60, 48, 2), dir.file("second.png"));
    WriteImage(test::NoiseImage(64, 48, 3), dir.file("third.png"));
    CMainDoc doc;
    test::RecordingHost host;
    test::MessageCapture capture;
    LoadSourceImages(doc, host, {dir.file("first.png"), dir.file("second.png"), dir.file("third.png")});
    EXPECT_EQ(doc.image_count(), 1);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0], "second.png's size is not equal to those of the previous images.");
    EXPECT_EQ(doc.stitch_state(), StitchState::Unstitched);
    EXPECT_TRUE(doc.modified());
}

TEST(LoadTest, RefusesToGrowAProjectBeyondWhatAProjectFileHolds)
{
    test::ScratchDir dir;
    WriteImage(test::NoiseImage(32, 24, 1), dir.file("a.png"));
    CMainDoc doc;
    test::RecordingHost host;
    LoadSourceImages(doc, host, std::vector<std::string>(kMaxSourceImages - 1, dir.file("a.png")));
    ASSERT_EQ(doc.image_count(), kMaxSourceImages - 1);
    test::MessageCapture capture;
    LoadSourceImages(doc, host, {dir.file("a.png"), dir.file("a.png")});
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"A project holds at most 500 source images."}));
    EXPECT_EQ(doc.image_count(), kMaxSourceImages - 1) << "nothing added";
    LoadSourceImages(doc, host, {dir.file("a.png")});
    EXPECT_EQ(doc.image_count(), kMaxSourceImages);
}

TEST(LoadTest, ReportsUnreadableFilesAndKeepsTheImagesBefore)
{
    test::ScratchDir dir;
    WriteImage(test::NoiseImage(64, 48, 1), dir.file("ok.png"));
    test::WriteBytes(dir.file("broken.png"), {0x89, 'P', 'N', 'G', 1, 2, 3});
    CMainDoc doc;
    test::RecordingHost host;
    test::MessageCapture capture;
    LoadSourceImages(doc, host, {dir.file("ok.png"), dir.file("broken.png"), dir.file("ok.png")});
    EXPECT_EQ(doc.image_count(), 1);
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"broken.png reading error."}));
}

TEST(LoadTest, ReportsItsProgressThroughTheDialog)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 3);
    CMainDoc doc;
    test::RecordingHost host;
    std::vector<int> captions;
    std::vector<std::string> labels;
    int steps = 0, closes = 0;
    struct Spy final : WorkflowHost {
        test::RecordingHost& inner;
        std::vector<int>& captions;
        std::vector<std::string>& labels;
        int& steps;
        int& closes;
        Spy(test::RecordingHost& h, std::vector<int>& c, std::vector<std::string>& l, int& s, int& cl)
            : inner(h), captions(c), labels(l), steps(s), closes(cl) {}
        std::unique_ptr<ProgressDialog> MakeProgressDialog(bool cancellable) override { return inner.MakeProgressDialog(cancellable); }
        void RunWorker(ProgressDialog* dialog, const std::function<void()>& worker) override
        {
            WorkflowHost::RunWorker(dialog, worker);
            auto* d = static_cast<test::RecordingDialog*>(dialog);
            captions = d->captions;
            labels = d->labels;
            steps = d->steps;
            closes = d->closes;
        }
    } spy(host, captions, labels, steps, closes);
    LoadSourceImages(doc, spy, paths);
    EXPECT_EQ(captions, (std::vector<int>{strings::kLoading}));
    EXPECT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[1], "Creating a thumbnail of view1.png...");
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(closes, 1);
}

class StitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths_ = test::WritePanningViews(dir_, 3);
        for (const std::string& p : paths_) doc_.AddImage(p, AddPosition::Tail);
    }
    test::ScratchDir dir_;
    std::vector<std::string> paths_;
    CMainDoc doc_;
};

TEST_F(StitchTest, AutomaticStitchRegistersBlendsAndEndsStitched)
{
    test::RecordingHost host;
    const StitchOutcome outcome = StitchSourceImages(doc_, host, StitchMethod::Automatic);
    EXPECT_TRUE(outcome.ran);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_TRUE(outcome.show_result);
    EXPECT_EQ(doc_.stitch_state(), StitchState::Stitched);
    ASSERT_NE(doc_.mosaic(), nullptr);
    EXPECT_TRUE(doc_.HasWideView());
    ASSERT_EQ(doc_.pair_edits().size(), 2u);
    EXPECT_EQ(doc_.pair_edits()[0].mode, 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(doc_.mosaic()->alignment(i).has_next, 1);
        EXPECT_LT(test::CornerError(doc_.mosaic()->alignment(i).to_next, TranslationHomography(-110, 0), 320, 240), 1.0);
    }
    EXPECT_EQ(doc_.progress_dialog(), nullptr);
}

TEST_F(StitchTest, EverySourceIsReadFromDiskOnlyWhenItIsLoaded)
{
    test::RecordingHost host;
    ASSERT_TRUE(StitchSourceImages(doc_, host, StitchMethod::Automatic).show_result);
    ASSERT_TRUE(FinalizeWideView(doc_, host, FinalizeMethod::RealignmentAndAdvancedBlending));
    const auto* cache = dynamic_cast<const WorkingImageCache*>(doc_.working_images().get());
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->loads_from_disk(), 0u);
}

TEST_F(StitchTest, CancellingAtEachStageLeavesTheProjectUnstitched)
{
    // Steps: 2 during initialization, one per pair and one after the geometry while registering, one per
    // source while blending.
    for (int cancel_at : {2, 3, 6, 7}) {
        test::RecordingHost host(cancel_at);
        const StitchOutcome outcome = StitchSourceImages(doc_, host, StitchMethod::Automatic);
        EXPECT_TRUE(outcome.cancelled) << cancel_at;
        EXPECT_FALSE(outcome.show_result) << cancel_at;
        EXPECT_EQ(doc_.stitch_state(), StitchState::Unstitched) << cancel_at;
        // The new mosaic was built before the cancel and stays.
        EXPECT_NE(doc_.mosaic(), nullptr) << cancel_at;
    }
}

TEST_F(StitchTest, CancellingDuringRegistrationKeepsThePairsBefore)
{
    test::RecordingHost host(3);  // the first pair's step
    StitchSourceImages(doc_, host, StitchMethod::Automatic);
    EXPECT_EQ(doc_.mosaic()->alignment(0).has_next, 1);
    EXPECT_EQ(doc_.mosaic()->alignment(1).has_next, 0);
    EXPECT_FALSE(doc_.HasWideView());
}

TEST_F(StitchTest, ManualStitchOnAStitchedProjectSkipsRegistrationAndCopiesTheRecords)
{
    test::RecordingHost host;
    ASSERT_TRUE(StitchSourceImages(doc_, host, StitchMethod::Automatic).show_result);
    const Mosaic* before = doc_.mosaic();
    doc_.mosaic()->alignment(1).translation_hint = {12.0f, -3.0f};
    const StitchOutcome manual = StitchSourceImages(doc_, host, StitchMethod::Manual);
    EXPECT_TRUE(manual.show_result);
    EXPECT_EQ(doc_.mosaic(), before);
    EXPECT_EQ(doc_.stitch_state(), StitchState::Stitched);
    EXPECT_EQ(doc_.current_frame(), 1);
    EXPECT_EQ(doc_.selected_point(), 1);
    EXPECT_TRUE(doc_.translation_mode());
    EXPECT_EQ(doc_.pair_edits()[1].translation_x, 12.0f);
    EXPECT_EQ(doc_.pair_edits()[1].modified, 0);
}

TEST_F(StitchTest, ManualStitchWhileUnstitchedOnlyBuildsTheMosaic)
{
    test::RecordingHost host;
    const StitchOutcome manual = StitchSourceImages(doc_, host, StitchMethod::Manual);
    EXPECT_TRUE(manual.show_result);
    ASSERT_NE(doc_.mosaic(), nullptr);
    EXPECT_EQ(doc_.stitch_state(), StitchState::Unstitched);
    EXPECT_EQ(doc_.mosaic()->alignment(0).method, -1);
    EXPECT_EQ(doc_.pair_edits()[0].mode, -1);
    EXPECT_FALSE(doc_.HasWideView());
}

TEST_F(StitchTest, AppliedEditsReregisterThePairAndEndStitched)
{
    test::RecordingHost host;
    StitchSourceImages(doc_, host, StitchMethod::Manual);
    // The user drags image 1 onto image 0 by 110 pixels, and does nothing with pair 1.
    doc_.pair_edits()[0].mode = 1;
    doc_.pair_edits()[0].modified = 1;
    doc_.pair_edits()[0].translation_x = 110.0f;
    test::RecordingDialog bar(false, 0);
    ApplyEdits(doc_, host, bar);
    EXPECT_EQ(doc_.stitch_state(), StitchState::Stitched);
    EXPECT_TRUE(doc_.modified());
    EXPECT_EQ(doc_.pair_edits()[0].modified, 0);
    EXPECT_EQ(doc_.mosaic()->alignment(0).method, 1);
    EXPECT_EQ(doc_.mosaic()->alignment(0).translation_hint.x, 110.0f);
    EXPECT_LT(test::CornerError(doc_.mosaic()->alignment(0).to_next, TranslationHomography(-110, 0), 320, 240), 1.0);
    EXPECT_EQ(doc_.mosaic()->alignment(1).method, -1);
    EXPECT_TRUE(doc_.HasWideView());
    EXPECT_GT(bar.steps, 0);
}

TEST_F(StitchTest, RevertingEditsRestoresTheRecordsValues)
{
    test::RecordingHost host;
    StitchSourceImages(doc_, host, StitchMethod::Automatic);
    StitchSourceImages(doc_, host, StitchMethod::Manual);
    doc_.pair_edits()[1] = PairEdit{2, 1, 0, 0, std::vector<PointF>(4, PointF{1, 1}), std::vector<PointF>(4, PointF{2, 2})};
    RevertEdits(doc_);
    EXPECT_EQ(doc_.pair_edits()[1].mode, 0);
    EXPECT_EQ(doc_.pair_edits()[1].modified, 0);
    EXPECT_EQ(doc_.pair_edits()[1].first_points[0], (PointF{0, 0}));
}

TEST_F(StitchTest, FinalizeEndsFinalizedAndACancelKeepsTheState)
{
    test::RecordingHost host;
    ASSERT_TRUE(StitchSourceImages(doc_, host, StitchMethod::Automatic).show_result);
    test::RecordingHost cancelling(5);
    EXPECT_FALSE(FinalizeWideView(doc_, cancelling, FinalizeMethod::AdvancedBlending));
    EXPECT_EQ(doc_.stitch_state(), StitchState::Stitched);
    EXPECT_TRUE(FinalizeWideView(doc_, host, FinalizeMethod::AdvancedBlending));
    EXPECT_EQ(doc_.stitch_state(), StitchState::Finalized);
    // A manual stitch re-blends the basic result and goes back to Stitched.
    StitchSourceImages(doc_, host, StitchMethod::Manual);
    EXPECT_EQ(doc_.stitch_state(), StitchState::Stitched);
}

TEST(StitchGateTest, OneImageIsRefusedSilently)
{
    test::ScratchDir dir;
    const std::vector<std::string> paths = test::WritePanningViews(dir, 1);
    CMainDoc doc;
    doc.AddImage(paths[0], AddPosition::Tail);
    test::RecordingHost host;
    const StitchOutcome outcome = StitchSourceImages(doc, host, StitchMethod::Automatic);
    EXPECT_FALSE(outcome.ran);
    EXPECT_EQ(host.last, nullptr);
}

}  // namespace
}  // namespace tp
