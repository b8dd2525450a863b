#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <QAbstractButton>
#include <QFileDialog>
#include <QListWidget>

#include "project/workflow_test_support.h"
#include "ui/choice_dialogs.h"
#include "ui/load_image_dialog.h"
#include "ui/progress_window.h"
#include "ui/qt_workflow_host.h"

namespace tp {
namespace {

TEST(LoadImageDialogTest, TheNameFieldGivesOneNameOrSeveralSortedOrTooMany)
{
    struct Case {
        QString text;
        QStringList names;
        bool too_many;
    };
    const QString cut = "\"" + QString(kNameFieldLimit, QLatin1Char('x')) + "\"";
    const Case cases[] = {
        {"a.jpg", {"a.jpg"}, false},
        {"  my photo.jpg ", {"my photo.jpg"}, false},
        {"\"b.jpg\" \"a.jpg\" \"B.jpg\"", {"B.jpg", "a.jpg", "b.jpg"}, false},
        {"\"b.jpg\" \"a.jpg\"   ", {"a.jpg", "b.jpg"}, false},
        {"\"b.jpg\" \"a.j", {}, true},
        {"\"a.jpg\" " + cut, {}, true},  // cut at the field's limit
        {"", {}, false},
    };
    for (const Case& c : cases) {
        const NameField field = ParseNameField(c.text);
        EXPECT_EQ(field.names, c.names) << c.text.left(40).toStdString();
        EXPECT_EQ(field.too_many, c.too_many) << c.text.left(40).toStdString();
    }
}

TEST(LoadImageDialogTest, AddDeleteSortAndAnOkRefusedWhileEmpty)
{
    test::ScratchDir dir;
    LoadImageDialog dialog(nullptr, QString::fromStdString(dir.path()));
    const QString folder = dialog.browser()->directory().absolutePath();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QStringList());
    EXPECT_EQ(dialog.result(), QStringList());
    EXPECT_NE(dialog.QDialog::result(), QDialog::Accepted) << "OK with nothing chosen does not close";

    dialog.AddNames("c.jpg");
    dialog.AddNames("\"b.jpg\" \"a.jpg\"");
    EXPECT_EQ(dialog.result(), (QStringList{folder + "/c.jpg", folder + "/a.jpg", folder + "/b.jpg"}));
    test::MessageCapture capture;
    dialog.AddNames("\"d.jpg\" \"e.j");
    EXPECT_EQ(capture.messages, (std::vector<std::string>{"You have selected too many images."}));
    EXPECT_EQ(dialog.result().size(), 3) << "nothing added when too many were selected";
    dialog.Sort();
    EXPECT_EQ(dialog.result(), (QStringList{folder + "/a.jpg", folder + "/b.jpg", folder + "/c.jpg"}));
    dialog.list()->item(1)->setSelected(true);
    dialog.DeleteSelected();
    EXPECT_EQ(dialog.result(), (QStringList{folder + "/a.jpg", folder + "/c.jpg"}));
}

TEST(ChoiceDialogTest, StartsOnTheFirstChoiceAndReturnsTheOneClicked)
{
    for (const ChoiceQuestion* question : {&kStitchingChoice, &kFinalizationChoice, &kCroppingChoice}) {
        ChoiceDialog dialog(*question, nullptr);
        EXPECT_EQ(dialog.value(), question->first_value) << question->title;
        dialog.findChild<QAbstractButton*>(QStringLiteral("choice%1").arg(question->second_id))->click();
        EXPECT_EQ(dialog.value(), question->second_value) << question->title;
    }
}

TEST(ProgressWindowTest, ACancelIsSeenByTheWorkersNextStepAndOnlyWhenCancellable)
{
    for (const bool cancellable : {true, false}) {
        ProgressWindow dialog(cancellable, nullptr);
        QtWorkflowHost host(nullptr);
        std::atomic<bool> cancelled_seen{false};
        host.set_dialog_shown_hook([](ProgressWindow& shown) { shown.RequestCancel(); });
        host.RunWorker(&dialog, [&] {
            dialog.SetCaption(35083);
            dialog.SetRange(3);
            dialog.SetLabel("working");
            cancelled_seen = dialog.Step();
            dialog.Close();
        });
        EXPECT_EQ(cancelled_seen.load(), cancellable);
        EXPECT_EQ(dialog.windowTitle(), "Image Stitching");
        EXPECT_EQ(dialog.label_text(), cancellable ? "Canceling..." : "working");
        EXPECT_EQ(dialog.position(), 1);
        EXPECT_EQ(dialog.maximum(), 3);
        EXPECT_FALSE(dialog.isVisible());
    }
}

}  // namespace
}  // namespace tp
