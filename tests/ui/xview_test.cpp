// The zoomable view as the user meets it: context menu, zoom commands, panning, keys, frame and shadow.
#include <gtest/gtest.h>

#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include "ui/artwork.h"
#include "ui/xview.h"

namespace tp {
namespace {

ColorImage Flat(int width, int height, std::uint8_t grey)
{
    ColorImage image(width, height);
    for (int y = 0; y < height; ++y) std::fill(image.row(y), image.row(y) + 3 * width, grey);
    return image;
}

struct ShownView {
    CXView view;
    explicit ShownView(QSize image, QSize client = {800, 400})
    {
        // No scroll bars, so the client is exactly the size asked for.
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(client);
        view.SetImage(Flat(image.width(), image.height(), 200));
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QWidget* surface() { return view.viewport(); }
};

TEST(XViewTest, ContextMenuHoldsTheFourZoomCommandsAndAppearsOnlyWithAnImage)
{
    CXView empty;
    empty.resize(300, 200);
    empty.show();
    QTest::mouseClick(empty.viewport(), Qt::RightButton, {}, {100, 100});
    EXPECT_TRUE(empty.findChildren<QMenu*>().isEmpty()) << "no image, no menu";

    ShownView shown({400, 200});
    QTest::mouseClick(shown.surface(), Qt::RightButton, {}, {100, 100});
    QMenu* menu = shown.view.context_menu();
    ASSERT_TRUE(menu->isVisible());
    QStringList texts;
    QList<int> ids;
    for (QAction* action : menu->actions()) texts << action->text(), ids << action->data().toInt();
    EXPECT_EQ(texts, QStringList({"Fit on Screen", "Actual Pixels", "Zoom In", "Zoom Out"}));
    EXPECT_EQ(ids, QList<int>({47001, 47002, 47003, 47004}));
    menu->actions().at(2)->trigger();
    EXPECT_DOUBLE_EQ(shown.view.zoom(), 2.0);
    menu->close();
}

TEST(XViewTest, ZoomCommandsStepAndFit)
{
    ShownView shown({1600, 400});
    const struct {
        int id;
        double zoom;
    } steps[] = {{kCmdFitOnScreen, 0.5}, {kCmdActualPixels, 1.0}, {kCmdZoomIn, 2.0}, {kCmdZoomIn, 4.0}, {kCmdZoomIn, 8.0},
                 {kCmdActualPixels, 1.0}, {kCmdZoomOut, 0.5}, {kCmdZoomOut, 0.25}, {kCmdZoomOut, 0.125}, {kCmdZoomOut, 0.0625}};
    for (const auto& step : steps) {
        shown.view.ExecuteZoomCommand(step.id);
        EXPECT_DOUBLE_EQ(shown.view.zoom(), step.zoom) << step.id;
        EXPECT_EQ(shown.view.horizontalScrollBar()->maximum(), shown.view.view_geometry().max_scroll().x());
    }
}

TEST(XViewTest, ZoomKeepsTheScrollPositionWhereTheNewSizesAllow)
{
    ShownView shown({1600, 1200}, {400, 300});
    shown.view.ScrollTo({1000, 700});
    shown.view.SetZoom(2.0);
    EXPECT_EQ(shown.view.scroll_position(), QPoint(1000, 700));
    shown.view.SetZoom(0.5);
    EXPECT_EQ(shown.view.scroll_position(), QPoint(400, 300));
}

TEST(XViewTest, DraggingALargeImagePansWithTheHandAndStopsAtTheEdges)
{
    ShownView shown({1600, 800}, {400, 300});
    shown.view.ScrollTo({600, 200});
    QTest::mouseMove(shown.surface(), {200, 150});
    EXPECT_EQ(shown.surface()->cursor().pixmap().toImage(), OpenHandCursor().pixmap().toImage());
    QTest::mousePress(shown.surface(), Qt::LeftButton, {}, {200, 150});
    EXPECT_TRUE(shown.view.panning());
    EXPECT_EQ(shown.surface()->cursor().pixmap().toImage(), ClosedHandCursor().pixmap().toImage());
    struct Case {
        QPoint pointer, scroll;
    } const cases[] = {{{150, 100}, {650, 250}}, {{390, 290}, {410, 60}}, {{-1000, 150}, {1200, 200}}, {{350, 500}, {450, 0}}};
    for (const Case& c : cases) {
        QTest::mouseMove(shown.surface(), c.pointer);
        EXPECT_EQ(shown.view.scroll_position(), c.scroll);
    }
    QTest::mouseRelease(shown.surface(), Qt::LeftButton, {}, {350, 500});
    EXPECT_FALSE(shown.view.panning());
}

TEST(XViewTest, ASmallImageIsCentredAndCannotBePanned)
{
    ShownView shown({200, 100}, {400, 300});
    EXPECT_EQ(shown.view.image_on_screen(), QRect(100, 100, 200, 100));
    QTest::mousePress(shown.surface(), Qt::LeftButton, {}, {150, 150});
    EXPECT_FALSE(shown.view.panning());
    QTest::mouseRelease(shown.surface(), Qt::LeftButton, {}, {150, 150});
    EXPECT_EQ(shown.surface()->cursor().shape(), Qt::ArrowCursor);
}

TEST(XViewTest, KeysScrollByLinePageAndToTheEnds)
{
    ShownView shown({2000, 2000}, {400, 300});
    shown.view.SetZoom(0.5);  // 1000 x 1000: a line is 10 pixels
    const int page = shown.view.viewport()->height();
    shown.view.ScrollTo({300, 300});
    struct Case {
        Qt::Key key;
        QPoint scroll;
    } const cases[] = {{Qt::Key_Down, {300, 310}}, {Qt::Key_Right, {310, 310}}, {Qt::Key_Up, {310, 300}},
                       {Qt::Key_Left, {300, 300}}, {Qt::Key_PageDown, {300, 300 + page}}, {Qt::Key_PageUp, {300, 300}},
                       {Qt::Key_End, {0, 1000 - page}}, {Qt::Key_Home, {0, 0}}};
    for (const Case& c : cases) {
        QTest::keyClick(&shown.view, c.key);
        EXPECT_EQ(shown.view.scroll_position(), c.scroll) << c.key;
    }
}

TEST(XViewTest, OutlineAndShadowFadeIntoTheBackground)
{
    ShownView shown({100, 60}, {300, 200});
    shown.view.set_background_colour(QColor(40, 80, 120));
    for (const int width : {0, 4}) {
        shown.view.set_shadow_width(width);
        const QImage frame = shown.view.viewport()->grab().toImage();
        const QRect image = shown.view.image_on_screen();
        EXPECT_EQ(frame.pixelColor(image.left() - 1, image.center().y()), QColor(99, 99, 99));
        EXPECT_EQ(frame.pixelColor(image.center().x(), image.bottom() + 1), QColor(99, 99, 99));
        for (int i = 1; i <= 5; ++i) {
            const QColor expected = i <= width ? QColor(i * 40 / width, i * 80 / width, i * 120 / width) : QColor(40, 80, 120);
            EXPECT_EQ(frame.pixelColor(image.right() + 1 + i, image.center().y()), expected) << width << " step " << i;
            EXPECT_EQ(frame.pixelColor(image.center().x(), image.bottom() + 1 + i), expected) << width << " step " << i;
        }
    }
}

}  // namespace
}  // namespace tp
