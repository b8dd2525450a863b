#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QSettings>
#include <QTest>

#include "test_support.h"
#include "ui/bar_gripper.h"
#include "ui/command_ids.h"
#include "ui/xbar.h"

namespace tp {
namespace {

struct StoredSize {
    const char* key;
    int stored;
    int loaded;
};

TEST(CXBar, SizesRoundTripThroughSettingsAndNeverLoadBelowTheMinimum)
{
    const test::ScratchDir dir;
    const StoredSize table[] = {
        {"sizeHorzCX", 640, 640}, {"sizeHorzCY", 100, 149}, {"sizeVertCX", 10, 150},
        {"sizeVertCY", 480, 480}, {"sizeFloatCX", 20, 150}, {"sizeFloatCY", 20, 145},
    };
    QSettings settings(QString::fromStdString(dir.file("bars.ini")), QSettings::IniFormat);
    CXBar bar(QStringLiteral("Main Menu"), kMainMenuBarId);
    ASSERT_EQ(bar.SettingsGroup(QStringLiteral("BarState")), QStringLiteral("BarState-SCBar-32798"));
    for (const StoredSize& row : table)
        settings.setValue(QStringLiteral("BarState-SCBar-32798/%1").arg(QLatin1String(row.key)), row.stored);

    bar.LoadState(settings, QStringLiteral("BarState"));
    EXPECT_EQ(bar.row_size(), QSize(640, 149));
    EXPECT_EQ(bar.column_size(), QSize(150, 480));
    EXPECT_EQ(bar.floating_size(), QSize(150, 145));

    bar.SaveState(settings, QStringLiteral("Again"));
    for (const StoredSize& row : table)
        EXPECT_EQ(settings.value(QStringLiteral("Again-SCBar-32798/%1").arg(QLatin1String(row.key))).toInt(), row.loaded)
            << row.key;
}

TEST(CXBar, MissingSettingsKeepTheCurrentSizes)
{
    const test::ScratchDir dir;
    QSettings settings(QString::fromStdString(dir.file("empty.ini")), QSettings::IniFormat);
    CXBar bar(QStringLiteral("Source Images"), kSourceImagesBarId);
    bar.LoadState(settings, QStringLiteral("BarState"));
    EXPECT_EQ(bar.row_size(), CXBar::kDefaultSize);
    EXPECT_EQ(bar.column_size(), CXBar::kDefaultSize);
    EXPECT_EQ(bar.floating_size(), CXBar::kDefaultSize);
}

class DockedBar : public ::testing::Test {
protected:
    DockedBar()
    {
        frame.setCentralWidget(new QLabel(&frame));
        frame.resize(900, 700);
        bar->SetContent(new QLabel(bar));
        frame.addDockWidget(Qt::LeftDockWidgetArea, bar);
        bar->SetDockedThickness(150);
        frame.show();
    }

    QMainWindow frame;
    CXBar* bar = new CXBar(QStringLiteral("Main Menu"), kMainMenuBarId, &frame);
};

TEST_F(DockedBar, DocksAtItsThicknessAndKeepsWhatTheUserGivesIt)
{
    EXPECT_EQ(bar->width(), 150);
    EXPECT_EQ(bar->titleBarWidget()->height(), BarGripper::kBreadth);  // the strip runs across the top

    const struct {
        int requested;
        int kept;
    } resizes[] = {{300, 300}, {50, 150}};
    for (const auto& resize : resizes) {
        frame.resizeDocks({bar}, {resize.requested}, Qt::Horizontal);
        QApplication::processEvents();
        EXPECT_EQ(bar->width(), resize.kept);
        EXPECT_EQ(bar->column_size().width(), resize.kept);
    }

    frame.addDockWidget(Qt::BottomDockWidgetArea, bar);
    bar->SetDockedThickness(149);
    QApplication::processEvents();
    EXPECT_EQ(bar->height(), 149);
    EXPECT_EQ(bar->row_size().height(), 149);
    EXPECT_EQ(bar->column_size().width(), 150);  // the column's size waits for the bar's return
    EXPECT_EQ(bar->titleBarWidget()->width(), BarGripper::kBreadth);  // the strip runs down the left side
}

TEST_F(DockedBar, FloatsInItsOwnFrameAtTheFloatingSizeAndDocksWithItsGripper)
{
    bar->setFloating(true);
    QApplication::processEvents();
    EXPECT_EQ(bar->placement(), CXBar::Placement::Floating);
    EXPECT_EQ(bar->titleBarWidget(), nullptr);  // the floating window's caption carries the text
    EXPECT_EQ(bar->size(), CXBar::kDefaultSize);
    bar->resize(20, 20);
    EXPECT_EQ(bar->size(), CXBar::kMinimumFloating);
    EXPECT_EQ(bar->floating_size(), CXBar::kMinimumFloating);

    bar->setFloating(false);
    QApplication::processEvents();
    EXPECT_EQ(bar->placement(), CXBar::Placement::Column);
    EXPECT_NE(qobject_cast<BarGripper*>(bar->titleBarWidget()), nullptr);
}

TEST_F(DockedBar, ADoubleClickOnTheGripperFloatsTheBarOnceTheButtonIsUp)
{
    QWidget* gripper = bar->titleBarWidget();
    const QPoint ridges(40, 6);
    QTest::mouseDClick(gripper, Qt::LeftButton, {}, ridges);
    QApplication::processEvents();
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->titleBarWidget(), gripper);  // not swapped while the button is down
    QTest::mouseRelease(bar, Qt::LeftButton, {}, ridges);
    QApplication::processEvents();
    EXPECT_EQ(bar->titleBarWidget(), nullptr);
    EXPECT_EQ(bar->size(), bar->floating_size());
}

TEST_F(DockedBar, TheGrippersCloseButtonHidesTheBar)
{
    auto* gripper = qobject_cast<BarGripper*>(bar->titleBarWidget());
    ASSERT_NE(gripper, nullptr);
    const QPoint close = gripper->CloseButtonRect().center();
    QTest::mousePress(gripper, Qt::LeftButton, {}, close);
    EXPECT_TRUE(gripper->close_pressed());
    QTest::mouseRelease(gripper, Qt::LeftButton, {}, close);
    EXPECT_TRUE(bar->isHidden());
}

}  // namespace
}  // namespace tp
