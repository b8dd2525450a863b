// Zoom commands, scroll sizes, centring, pan clamping and the image point under the pointer.
#include <gtest/gtest.h>

#include "ui/command_ids.h"
#include "ui/view_geometry.h"

namespace tp {
namespace {

TEST(ViewGeometryTest, ZoomCommandsFollowTheirRulesWithoutBounds)
{
    struct Case {
        int id;
        double zoom;
        QSize client, image;
        double expected;
    } const cases[] = {
        {kCmdFitOnScreen, 1.0, {800, 400}, {1600, 400}, 0.5},  // the smaller ratio wins
        {kCmdFitOnScreen, 1.0, {800, 400}, {100, 400}, 1.0},
        {kCmdFitOnScreen, 3.0, {800, 400}, {200, 50}, 4.0},  // fitting enlarges small images too
        {kCmdFitOnScreen, 2.0, {800, 400}, {0, 0}, 2.0},     // nothing to fit
        {kCmdActualPixels, 0.125, {800, 400}, {1600, 400}, 1.0},
        {kCmdZoomIn, 4.0, {}, {}, 8.0},
        {kCmdZoomIn, 1024.0, {}, {}, 2048.0},
        {kCmdZoomOut, 1.0 / 1024, {}, {}, 1.0 / 2048},
        {kCmdZoomOut, 0.5, {}, {}, 0.25},
        {kCmdAbout, 0.5, {}, {}, 0.5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ZoomAfterCommand(c.id, c.zoom, c.client, c.image), c.expected) << c.id;
}

TEST(ViewGeometryTest, ScrollSizesCentringAndLineStepAtSeveralZooms)
{
    struct Case {
        double zoom;
        QSize zoomed;
        QPoint origin, max_scroll;
        int line;
        bool pannable;
    } const cases[] = {
        {0.125, {150, 37}, {325, 281}, {0, 0}, 2, false},
        {0.5, {600, 150}, {100, 225}, {0, 0}, 10, false},
        {1.0, {1201, 301}, {0, 149}, {401, 0}, 20, true},
        {2.0, {2402, 602}, {0, 0}, {1602, 2}, 40, true},
        {0.3, {360, 90}, {220, 255}, {0, 0}, 6, false},  // truncated, not rounded
        {1.0 / (1 << 12), {0, 0}, {400, 300}, {0, 0}, 1, false},
        {1e12, {1 << 30, 1 << 30}, {0, 0}, {(1 << 30) - 800, (1 << 30) - 600}, 1 << 30, true},
    };
    for (const Case& c : cases) {
        const ViewGeometry g{{1201, 301}, c.zoom, {800, 600}};
        EXPECT_EQ(g.zoomed(), c.zoomed) << c.zoom;
        EXPECT_EQ(g.origin(), c.origin) << c.zoom;
        EXPECT_EQ(g.max_scroll(), c.max_scroll) << c.zoom;
        EXPECT_EQ(g.line_step(), c.line) << c.zoom;
        EXPECT_EQ(g.pannable(), c.pannable) << c.zoom;
    }
}

TEST(ViewGeometryTest, PanningKeepsThePressedImagePointUnderThePointerUntilAnEdgeStopsIt)
{
    const ViewGeometry g{{1000, 500}, 2.0, {400, 300}};  // zoomed 2000 x 1000
    const QPoint start_scroll(600, 300), pressed(200, 150);
    const QPointF grabbed = g.ImagePointAt(pressed, start_scroll);
    const QPoint pressed_canvas = pressed + start_scroll;
    struct Case {
        QPoint pointer, scroll;
        bool stopped;  // an edge holds the image back from the pointer
    } const cases[] = {
        {{100, 100}, {700, 350}, false},
        {{390, 290}, {410, 160}, false},
        {{-900, 150}, {1600, 300}, true},  // the right edge
        {{250, 500}, {550, 0}, true},      // the top
        {{900, -900}, {0, 700}, true},     // both
    };
    for (const Case& c : cases) {
        const QPoint scroll = g.PanScroll(pressed_canvas, c.pointer);
        EXPECT_EQ(scroll, c.scroll) << c.pointer.x() << "," << c.pointer.y();
        EXPECT_EQ(g.ImagePointAt(c.pointer, scroll) != grabbed, c.stopped) << c.pointer.x() << "," << c.pointer.y();
    }
}

}  // namespace
}  // namespace tp
