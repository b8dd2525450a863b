#include <gtest/gtest.h>

#include <QTest>

#include "bars_test_support.h"
#include "ui/artwork.h"
#include "ui/command_ids.h"
#include "ui/step_button_bar.h"
#include "ui/ui_strings.h"

namespace tp {
namespace {

TEST(StepButtonLayout, RowOrColumnTenPixelsApartCentredAcross)
{
    const QSize button = CXIconButton::BoundsSizeFor({kStepPictureSize, kStepPictureSize});
    ASSERT_EQ(button, QSize(kStepPictureSize + 20, kStepPictureSize + 22));
    const struct {
        QSize client;
        bool horizontal;
        QPoint first;
        QPoint second;
        QSize extent;
    } table[] = {
        {{600, 150}, true, {10, (150 - button.height()) / 2}, {20 + button.width(), (150 - button.height()) / 2},
         {10 + 6 * (button.width() + 10), 0}},
        {{150, 600}, false, {(150 - button.width()) / 2, 10}, {(150 - button.width()) / 2, 20 + button.height()},
         {0, 10 + 6 * (button.height() + 10)}},
    };
    for (const auto& row : table) {
        const StepButtonLayout layout = LayoutStepButtons(row.client, button, 6);
        EXPECT_EQ(layout.horizontal, row.horizontal);
        EXPECT_EQ(layout.bounds[0].topLeft(), row.first);
        EXPECT_EQ(layout.bounds[1].topLeft(), row.second);
        EXPECT_EQ(layout.extent, row.extent);
    }
}

class StepBar : public ::testing::Test {
protected:
    StepBar()
    {
        test::AddImages(frame.doc, dir, 1);
        bar.resize(600, 150);
        bar.show();
    }
    QWidget* surface() { return bar.viewport(); }
    QPoint CentreOf(int step) { return bar.ButtonBounds(step).center(); }

    test::ScratchDir dir;
    test::FakeFrame frame;
    StepButtonBar bar{frame};
};

TEST_F(StepBar, HoverShowsThePromptAndHighlightsOnlyAvailableButtons)
{
    const struct {
        int step;
        CXIconButton::State state;
    } table[] = {{1, CXIconButton::State::Hot}, {2, CXIconButton::State::Normal}};  // one image: no Stitch
    for (const auto& row : table) {
        test::Hover(surface(), CentreOf(row.step));
        EXPECT_EQ(bar.ButtonState(row.step), row.state);
        EXPECT_EQ(frame.status, CommandStatusText(kCmdLoad + row.step - 1));
    }
    test::Hover(surface(), {2, 2});
    EXPECT_EQ(frame.status, UiText(ui_strings::kReady));
}

TEST_F(StepBar, AClickRunsTheCommandOnceOnlyWhenPressedAndReleasedOnOneAvailableButton)
{
    const struct {
        int press_step;
        QPoint release;
        std::vector<int> commands;
    } table[] = {
        {2, CentreOf(2), {}},                  // Stitch needs two images
        {1, CentreOf(3), {}},                  // released away from Load
        {1, {2, 2}, {}},                       // released on no button
        {1, CentreOf(1), {kCmdLoad}},
    };
    for (const auto& row : table) {
        frame.commands.clear();
        QTest::mousePress(surface(), Qt::LeftButton, {}, CentreOf(row.press_step));
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, row.release);
        EXPECT_EQ(frame.commands, row.commands) << row.press_step;
        EXPECT_FALSE(bar.busy());
    }
}

TEST_F(StepBar, APressedButtonLooksPressedOnlyUnderThePointerAndHotAfterItsCommand)
{
    test::Hover(surface(), CentreOf(1));
    QTest::mousePress(surface(), Qt::LeftButton, {}, CentreOf(1));
    EXPECT_EQ(bar.ButtonState(1), CXIconButton::State::Pressed);
    QTest::mouseMove(surface(), CentreOf(4));
    EXPECT_EQ(bar.ButtonState(1), CXIconButton::State::Normal);
    QTest::mouseMove(surface(), CentreOf(1));
    EXPECT_EQ(bar.ButtonState(1), CXIconButton::State::Pressed);
    QTest::mouseRelease(surface(), Qt::LeftButton, {}, CentreOf(1));
    EXPECT_EQ(frame.commands, std::vector<int>{kCmdLoad});
    EXPECT_EQ(bar.ButtonState(1), CXIconButton::State::Hot);
}

TEST_F(StepBar, TurningTheBarUprightStacksTheButtons)
{
    ASSERT_TRUE(bar.horizontal());
    EXPECT_EQ(bar.ButtonBounds(2).top(), bar.ButtonBounds(1).top());
    bar.resize(150, 700);
    EXPECT_FALSE(bar.horizontal());
    EXPECT_EQ(bar.ButtonBounds(2).left(), bar.ButtonBounds(1).left());
    EXPECT_EQ(bar.ButtonBounds(2).top(), bar.ButtonBounds(1).bottom() + 1 + 10);
}

}  // namespace
}  // namespace tp
