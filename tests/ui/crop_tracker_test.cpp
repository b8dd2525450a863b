// The crop box editor: handles and their flags, dragging within the image and the 3-pixel gap, the crop
// rectangle after a drag, and the same through the mouse on a main view.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "project/main_doc.h"
#include "ui/crop_tracker.h"
#include "ui/main_view.h"

namespace tp {
namespace {

constexpr int T = CXTracker::kTop, L = CXTracker::kLeft, R = CXTracker::kRight, B = CXTracker::kBottom;

// A box from (20, 10) to (120, 70) in a 200 x 100 zoomed image drawn at (5, 7).
CXTracker Placed()
{
    CXTracker tracker;
    tracker.Place({20, 10, 120, 70}, {200, 100}, {5, 7});
    return tracker;
}

TEST(CropTrackerTest, LinesLieOnePixelInsideTheBoxAtTheOrigin)
{
    const std::array<QRect, 4> lines = Placed().Lines();
    EXPECT_EQ(lines[0], QRect(QPoint(26, 18), QPoint(124, 18)));  // top
    EXPECT_EQ(lines[1], QRect(QPoint(26, 18), QPoint(26, 76)));   // left
    EXPECT_EQ(lines[2], QRect(QPoint(124, 18), QPoint(124, 76))); // right
    EXPECT_EQ(lines[3], QRect(QPoint(26, 76), QPoint(124, 76)));  // bottom
}

TEST(CropTrackerTest, HandlesAreTheLinesGrownByThreePixelsAndCombineAtCorners)
{
    const CXTracker tracker = Placed();
    struct Case {
        QPoint at;
        int flags;
        Qt::CursorShape cursor;
    } const cases[] = {
        {{70, 18}, T, Qt::SizeVerCursor},          {{70, 15}, T, Qt::SizeVerCursor},
        {{70, 21}, T, Qt::SizeVerCursor},          {{70, 22}, 0, Qt::ArrowCursor},
        {{70, 14}, 0, Qt::ArrowCursor},            {{70, 76}, B, Qt::SizeVerCursor},
        {{26, 40}, L, Qt::SizeHorCursor},          {{23, 40}, L, Qt::SizeHorCursor},
        {{22, 40}, 0, Qt::ArrowCursor},            {{127, 40}, R, Qt::SizeHorCursor},
        {{26, 18}, T | L, Qt::SizeFDiagCursor},    {{124, 76}, B | R, Qt::SizeFDiagCursor},
        {{124, 18}, T | R, Qt::SizeBDiagCursor},   {{26, 76}, B | L, Qt::SizeBDiagCursor},
        {{23, 15}, T | L, Qt::SizeFDiagCursor},    {{70, 40}, 0, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tracker.HitTest(c.at), c.flags) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(CXTracker::CursorFor(c.flags), c.cursor) << c.flags;
    }
}

TEST(CropTrackerTest, EachHandleMovesItsEdgesInsideTheImageAndKeepsThreePixels)
{
    struct Case {
        QPoint press, to;
        TrackerBox box;
    } const cases[] = {
        {{70, 18}, {70, 38}, {20, 30, 120, 70}},      // top down
        {{70, 18}, {70, -50}, {20, 0, 120, 70}},      // top stops at the image
        {{70, 18}, {70, 500}, {20, 67, 120, 70}},     // top stops 3 pixels from the bottom
        {{70, 76}, {70, 66}, {20, 10, 120, 60}},      // bottom up
        {{70, 76}, {70, 900}, {20, 10, 120, 100}},    // bottom stops at the image
        {{26, 40}, {-90, 99}, {0, 10, 120, 70}},      // left moves only across
        {{26, 40}, {400, 40}, {117, 10, 120, 70}},
        {{124, 40}, {180, 0}, {20, 10, 176, 70}},     // right
        {{124, 40}, {-300, 40}, {20, 10, 23, 70}},
        {{124, 76}, {150, 90}, {20, 10, 146, 84}},    // bottom-right corner moves both
        {{26, 18}, {36, 28}, {30, 20, 120, 70}},      // top-left corner
        {{70, 40}, {90, 60}, {20, 10, 120, 70}},      // inside: no handle, nothing moves
    };
    for (const Case& c : cases) {
        CXTracker tracker = Placed();
        const int flags = tracker.BeginDrag(c.press);
        tracker.DragTo(c.to);
        EXPECT_EQ(tracker.box(), c.box) << c.press.x() << "," << c.press.y() << " -> " << c.to.x() << "," << c.to.y();
        EXPECT_EQ(tracker.dragging(), flags != 0);
    }
}

TEST(CropTrackerTest, CropAfterADragTakesOnlyTheMovedEdgesBackToImagePixels)
{
    const CropRect crop{11, 5, 301, 151};
    const QSize image(400, 200);
    EXPECT_EQ(TrackerBoxOf(crop, 0.5), (TrackerBox{5, 2, 150, 75}));
    struct Case {
        TrackerBox box;
        int flags;
        double zoom;
        CropRect expected;
    } const cases[] = {
        {{5, 2, 150, 75}, 0, 0.5, crop},                        // nothing moved: no rounding drift
        {{5, 2, 180, 75}, R, 0.5, {11, 5, 360, 151}},
        {{5, 2, 150, 75}, T | L, 0.5, {10, 4, 301, 151}},        // moved edges land on the image grid
        {{5, 2, 150, 75}, B, 3.0, {11, 5, 301, 25}},
        {{40, 2, 150, 75}, L, 0.1, {300, 5, 301, 151}},          // 400 would pass the right edge: one pixel short of it
        {{5, 2, 900, 75}, R, 2.0, {11, 5, 400, 151}},            // held inside the image
        {{200, 2, 203, 75}, L | R, 8.0, {25, 5, 26, 151}},       // three zoomed pixels still make one image pixel
    };
    for (const Case& c : cases) EXPECT_EQ(CropAfterDrag(crop, c.box, c.flags, c.zoom, image), c.expected) << c.flags << " at " << c.zoom;
}

// A main view on a 400 x 200 image at zoom 1, its viewport 600 x 400: the image sits at (100, 100).
struct MainViewFixture {
    CMainDoc doc;
    CMainView view{doc, nullptr};
    MainViewFixture()
    {
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(600, 400);
        ColorImage image(400, 200);
        for (int y = 0; y < 200; ++y) std::fill(image.row(y), image.row(y) + 1200, static_cast<std::uint8_t>(y));
        view.ShowImage(std::move(image));
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view.viewport(), to);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
    }
};

TEST(CropTrackerTest, DraggingHandlesOnTheMainViewChangesTheCropRectangle)
{
    MainViewFixture f;
    QSignalSpy changes(&f.view, &CMainView::cropChanged);
    EXPECT_EQ(f.view.wide_view().crop(), (CropRect{0, 0, 400, 200}));
    struct Case {
        QPoint from, to;
        CropRect crop;
    } const cases[] = {
        {{499, 200}, {450, 220}, {0, 0, 351, 200}},    // right edge in
        {{101, 101}, {150, 121}, {49, 20, 351, 200}},  // top-left corner
        {{300, 299}, {300, 999}, {49, 20, 351, 200}},  // bottom out: stays on the image
        {{300, 299}, {300, 121}, {49, 20, 351, 23}},   // bottom up to the top: three pixels apart
        {{200, 200}, {260, 180}, {49, 20, 351, 23}},   // nowhere near a handle: nothing changes
    };
    for (const Case& c : cases) {
        f.Drag(c.from, c.to);
        EXPECT_EQ(f.view.wide_view().crop(), c.crop) << c.from.x() << "," << c.from.y();
    }
    EXPECT_EQ(changes.count(), 4);
}

TEST(CropTrackerTest, PressingAwayFromTheHandlesPansAZoomedImage)
{
    MainViewFixture f;
    f.view.SetZoom(4.0);  // 1600 x 800 in a 600 x 400 viewport
    f.view.ScrollTo({500, 200});
    f.Drag({300, 200}, {250, 150});
    EXPECT_EQ(f.view.scroll_position(), QPoint(550, 250));
    EXPECT_EQ(f.view.wide_view().crop(), (CropRect{0, 0, 400, 200}));
}

}  // namespace
}  // namespace tp
