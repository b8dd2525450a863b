// The cropped-image window: its panel's first size, growing but not shrinking, controls staying anchored.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include "ui/cropped_image_window.h"

namespace tp {
namespace {

TEST(CroppedWindowTest, PanelIsAsLargeAsTheImageUpTo760By560)
{
    struct Case {
        QSize image, panel;
        bool pannable;
    } const cases[] = {
        {{300, 200}, {300, 200}, false},
        {{2000, 1000}, {760, 560}, true},
        {{760, 560}, {760, 560}, false},
        {{1000, 300}, {760, 300 + 15}, true},  // room below for the scroll bar
        {{400, 900}, {415, 560}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CroppedPanelSize(c.image, 15), c.panel) << c.image.width() << "x" << c.image.height();
        CroppedImageWindow window(ColorImage(c.image.width(), c.image.height()), nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QSize expected = CroppedPanelSize(c.image, window.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        EXPECT_EQ(window.panel()->size(), expected) << c.image.width() << "x" << c.image.height();
        EXPECT_EQ(window.panel()->view_geometry().pannable(), c.pannable);
        EXPECT_EQ(window.size_label()->text(), QStringLiteral("[%1 x %2]").arg(c.image.width()).arg(c.image.height()));
    }
}

TEST(CroppedWindowTest, GrowsButNeverShrinksWithOkCentredAndTheSizeAtTheBottomRight)
{
    CroppedImageWindow window(ColorImage(300, 200), nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QSize first = window.size();
    for (const QSize size : {first + QSize(200, 100), first - QSize(100, 50)}) {
        window.resize(size);
        const QSize now = window.size();
        EXPECT_EQ(now, size.expandedTo(first));
        EXPECT_NEAR(window.ok_button()->geometry().center().x(), now.width() / 2, 1) << now.width();
        EXPECT_EQ(window.size_label()->geometry().right(), now.width() - 26);
        EXPECT_EQ(window.size_label()->geometry().top(), window.ok_button()->geometry().top());
        EXPECT_EQ(window.panel()->geometry().bottom(), window.ok_button()->geometry().top() - 6);
    }
}

}  // namespace
}  // namespace tp
