#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QDockWidget>
#include <QMenuBar>
#include <QToolBar>

#include "frame_test_support.h"
#include "imaging/image_file.h"
#include "project/project_file.h"
#include "ui/command_ids.h"
#include "ui/main_view.h"
#include "ui/progress_window.h"
#include "ui/splitter_view.h"
#include "ui/xbar.h"

namespace tp {
namespace {

using test::FrameFixture;

std::map<int, bool> Availability(CMainFrame& frame)
{
    std::map<int, bool> result;
    for (const int id : {kCmdLoad, kCmdStitch, kCmdFinalize, kCmdCrop, kCmdExport, kCmdShowCroppedImage})
        result[id] = frame.commands().IsEnabled(id);
    return result;
}

TEST(MainFrameTest, EveryCommandHasAnActionThatCarriesItsIdAndPrompt)
{
    FrameFixture f;
    for (const int id : f.frame->commands().ids()) {
        QAction* action = f.frame->commands().action(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->data().toInt(), id);
        EXPECT_FALSE(action->statusTip().isEmpty()) << id;
    }
}

TEST(MainFrameTest, ExposureCompensationIsACheckItemOnTheDocument)
{
    FrameFixture f;
    EXPECT_FALSE(f.doc.exposure_compensation());
    EXPECT_TRUE(f.frame->commands().Dispatch(kCmdExposureCompensation));
    EXPECT_TRUE(f.doc.exposure_compensation());
    EXPECT_TRUE(f.frame->commands().action(kCmdExposureCompensation)->isChecked());
    f.frame->commands().Dispatch(kCmdExposureCompensation);
    EXPECT_FALSE(f.frame->commands().action(kCmdExposureCompensation)->isChecked());
}

TEST(MainFrameTest, ProcessingCommandsFollowTheDocumentsGateThroughTheWorkflow)
{
    FrameFixture f;
    using A = std::map<int, bool>;
    EXPECT_EQ(Availability(*f.frame), (A{{kCmdLoad, true}, {kCmdStitch, false}, {kCmdFinalize, false}, {kCmdCrop, false},
                                        {kCmdExport, false}, {kCmdShowCroppedImage, false}}));
    f.LoadViews(3);
    EXPECT_EQ(f.doc.image_count(), 3);
    EXPECT_TRUE(f.doc.modified());
    EXPECT_EQ(Availability(*f.frame), (A{{kCmdLoad, true}, {kCmdStitch, true}, {kCmdFinalize, false}, {kCmdCrop, false},
                                        {kCmdExport, false}, {kCmdShowCroppedImage, false}}));
    f.frame->RunProcessingCommand(kCmdStitch);
    ASSERT_EQ(f.doc.stitch_state(), StitchState::Stitched);
    EXPECT_TRUE(f.frame->main_view()->has_image());
    EXPECT_EQ(Availability(*f.frame), (A{{kCmdLoad, true}, {kCmdStitch, true}, {kCmdFinalize, true}, {kCmdCrop, true},
                                        {kCmdExport, true}, {kCmdShowCroppedImage, true}}));
    EXPECT_TRUE(f.frame->IndicatorText().startsWith(" Width: "));

    // In the modification mode the processing commands are off and ignored.
    f.frame->ChooseView(kCmdHorizontalAlignment);
    EXPECT_FALSE(f.frame->commands().IsEnabled(kCmdLoad));
    f.frame->RunProcessingCommand(kCmdLoad);
    EXPECT_EQ(f.picker_calls, 1);
    EXPECT_EQ(f.frame->IndicatorText(), QString::asprintf(" Current Frame : %5d - %5d", f.doc.current_frame(), f.doc.current_frame() + 1));
}

TEST(MainFrameTest, SwitchingViewsSwapsMenusToolBarButtonsAndRestoresTheBarsAsTheyWere)
{
    FrameFixture f;
    f.frame->show();
    f.frame->source_images_bar()->hide();  // the user hid one bar
    QWidget* main_view = f.frame->centralWidget();
    f.frame->ChooseView(CMainFrame::kMainViewLayout);
    EXPECT_EQ(f.frame->centralWidget(), main_view) << "choosing the current layout does nothing";

    f.frame->ToggleMode();  // to the last two-window layout: one above the other by default
    ASSERT_NE(f.frame->splitter_view(), nullptr);
    EXPECT_EQ(f.frame->current_layout(), kCmdHorizontalAlignment);
    EXPECT_TRUE(f.frame->main_menu_bar()->isHidden());
    EXPECT_TRUE(f.frame->commands().action(kCmdVerticalAlignment)->isVisible());
    EXPECT_FALSE(f.frame->commands().action(kCmdNewProject)->isVisible());
    EXPECT_EQ(f.frame->menuBar()->actions().size(), 2) << "the alternate menu: View and Help";
    EXPECT_TRUE(f.frame->commands().action(kCmdHorizontalAlignment)->isChecked());

    f.frame->ChooseView(kCmdVerticalAlignment);
    f.frame->ToggleMode();
    EXPECT_TRUE(f.frame->main_view_active());
    EXPECT_FALSE(f.frame->main_menu_bar()->isHidden());
    EXPECT_TRUE(f.frame->source_images_bar()->isHidden()) << "a bar hidden before stays hidden";
    EXPECT_EQ(f.frame->menuBar()->actions().size(), 4);
    f.frame->ToggleMode();
    EXPECT_EQ(f.frame->current_layout(), kCmdVerticalAlignment) << "the last two-window layout is remembered";
}

TEST(MainFrameTest, TheSavePromptsThreeAnswers)
{
    struct Case {
        SaveAnswer answer;
        bool proceeds;
        bool saved;
    };
    for (const Case c : {Case{SaveAnswer::Yes, true, true}, Case{SaveAnswer::No, true, false}, Case{SaveAnswer::Cancel, false, false}}) {
        FrameFixture f;
        f.LoadViews(2);
        f.save_answer = c.answer;
        f.save_path = QString::fromStdString(f.dir.file("answer.tnp"));
        EXPECT_EQ(f.frame->NewProject(), c.proceeds);
        EXPECT_EQ(f.save_questions, 1);
        EXPECT_EQ(QFileInfo::exists(f.save_path), c.saved);
        EXPECT_EQ(f.doc.image_count(), c.proceeds ? 0 : 2);
        EXPECT_FALSE(f.frame->NewProject() && f.save_questions > 1) << "an unmodified project is not asked about";
    }
}

TEST(MainFrameTest, LoadStitchFinalizeSaveAndReopen)
{
    FrameFixture f;
    f.LoadViews(3);
    f.frame->RunProcessingCommand(kCmdStitch);
    f.finalize_choice = 0;
    f.frame->RunProcessingCommand(kCmdFinalize);
    ASSERT_EQ(f.doc.stitch_state(), StitchState::Finalized);
    f.frame->RunProcessingCommand(kCmdCrop);
    f.export_path = QString::fromStdString(f.dir.file("pano.png"));
    f.frame->RunProcessingCommand(kCmdExport);
    EXPECT_TRUE(QFileInfo(f.export_path).size() > 0);

    f.save_path = QString::fromStdString(f.dir.file("trip.tnp"));
    ASSERT_TRUE(f.frame->SaveProject());
    EXPECT_FALSE(f.doc.modified());
    EXPECT_EQ(f.frame->windowTitle(), "trip.tnp - Tarnel Plexaro");
    ProjectFileContents saved;
    ASSERT_TRUE(ReadProjectFile(f.save_path.toStdString(), saved));
    EXPECT_EQ(saved.stored_paths.size(), 3u);
    EXPECT_EQ(saved.state, 1);
    EXPECT_EQ(saved.pairs.size(), 2u);

    ASSERT_TRUE(f.frame->NewProject());
    EXPECT_EQ(f.frame->windowTitle(), "Untitled - Tarnel Plexaro");
    ASSERT_TRUE(f.frame->OpenProject(f.save_path));
    EXPECT_EQ(f.doc.image_count(), 3);
    EXPECT_EQ(f.doc.stitch_state(), StitchState::Stitched) << "a finalized project reopens stitched";
    EXPECT_TRUE(f.frame->main_view()->has_image());
    EXPECT_EQ(f.frame->recent_files().paths().value(0), QFileInfo(f.save_path).absoluteFilePath());

    // A file that is not a project leaves the open one as it was.
    test::WriteBytes(f.dir.file("bad.tnp"), {1, 2, 3});
    test::MessageCapture capture;
    EXPECT_FALSE(f.frame->OpenProject(QString::fromStdString(f.dir.file("bad.tnp"))));
    EXPECT_EQ(f.doc.image_count(), 3);
    EXPECT_TRUE(f.frame->main_view()->has_image());
}

TEST(MainFrameTest, ExportWritesEachFormatAndRefusesAnUnknownExtensionWithoutAFile)
{
    FrameFixture f;
    f.LoadViews(2);
    f.frame->RunProcessingCommand(kCmdStitch);
    for (const char* extension : {"jpg", "bmp", "pcx", "pgm", "png", "ras", "tif"}) {
        f.export_path = QString::fromStdString(f.dir.file(std::string("pano.") + extension));
        f.frame->RunProcessingCommand(kCmdExport);
        ColorImage written;
        EXPECT_EQ(ReadImage(written, f.export_path.toStdString()), 0) << extension;
        EXPECT_EQ(written.width(), f.frame->main_view()->CroppedImage().width()) << extension;
    }
    test::MessageCapture capture;
    f.export_path = QString::fromStdString(f.dir.file("pano.xyz"));
    f.frame->RunProcessingCommand(kCmdExport);
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"Unsupported file format."}));
    EXPECT_FALSE(QFileInfo::exists(f.export_path));
}

TEST(MainFrameTest, CancellingEachStageLeavesTheStatesTheWorkflowPromises)
{
    FrameFixture f;
    f.LoadViews(3);
    f.frame->host().set_dialog_shown_hook([](ProgressWindow& dialog) { dialog.RequestCancel(); });
    f.frame->RunProcessingCommand(kCmdStitch);
    EXPECT_EQ(f.doc.stitch_state(), StitchState::Unstitched);
    EXPECT_FALSE(f.frame->main_view()->has_image());

    f.frame->host().set_dialog_shown_hook({});
    f.frame->RunProcessingCommand(kCmdStitch);
    ASSERT_EQ(f.doc.stitch_state(), StitchState::Stitched);
    f.frame->host().set_dialog_shown_hook([](ProgressWindow& dialog) {
        dialog.RequestCancel();
        EXPECT_EQ(dialog.label_text(), "Canceling...");
    });
    f.frame->RunProcessingCommand(kCmdFinalize);
    EXPECT_EQ(f.doc.stitch_state(), StitchState::Stitched) << "a cancelled finalize leaves the state";
    EXPECT_TRUE(f.frame->main_view()->has_image());
}

TEST(MainFrameTest, ClosingDuringACommandCancelsItAndClosesAfterwards)
{
    FrameFixture f;
    f.LoadViews(3);
    f.frame->show();
    f.save_answer = SaveAnswer::No;
    f.frame->host().set_dialog_shown_hook([&f](ProgressWindow&) { EXPECT_FALSE(f.frame->close()); });
    f.frame->RunProcessingCommand(kCmdStitch);
    EXPECT_EQ(f.doc.stitch_state(), StitchState::Unstitched);
    QCoreApplication::processEvents();
    EXPECT_FALSE(f.frame->isVisible());
}

TEST(MainFrameTest, AShownFrameWithAProjectGoesWithoutTrouble)
{
    FrameFixture f;
    f.LoadViews(2);
    f.frame->show();
    f.frame.reset();
    SUCCEED() << "destroyed while shown with its bars";
}

TEST(MainFrameTest, PlacementAndBarLayoutSurviveARestart)
{
    FrameFixture f;
    f.frame->setGeometry(40, 50, 700, 500);
    f.frame->show();
    f.frame->source_images_bar()->hide();
    ASSERT_TRUE(f.frame->close());
    f.Make();
    EXPECT_EQ(f.frame->geometry().size(), QSize(700, 500));
    EXPECT_TRUE(f.frame->source_images_bar()->isHidden());
}

}  // namespace
}  // namespace tp
