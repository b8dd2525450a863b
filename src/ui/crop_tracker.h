// The crop box editor over the wide-view image: four edge lines that the mouse grabs and drags. The box
// lives in zoomed image pixels (the image's on-screen top-left is 0, 0); the origin offset places it in the
// viewport. Right and bottom are exclusive, like the crop rectangle's.
#pragma once

#include <array>

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

#include "project/crop_box.h"

namespace tp {

// Zoomed-pixel edges, left/top inclusive, right/bottom exclusive.
struct TrackerBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const TrackerBox&) const = default;
};

class CXTracker {
public:
    // Which edges a handle moves; combined at the corners.
    enum Edge : int { kTop = 1, kLeft = 2, kRight = 4, kBottom = 8 };
    // Edges keep this many pixels between them.
    static constexpr int kMinimumGap = 3;
    // A line is hit this many pixels either side of it.
    static constexpr int kHitMargin = 3;

    // The box, the zoomed image size it must stay inside, and where the image's top-left is in the view.
    void Place(const TrackerBox& box, QSize bounds, QPoint origin);
    void set_origin(QPoint origin) { origin_ = origin; }
    const TrackerBox& box() const { return box_; }

    // The four one-pixel edge lines in view pixels: top, left, right, bottom.
    std::array<QRect, 4> Lines() const;
    // The edge flags of the handle under a view point; 0 over no handle.
    int HitTest(QPoint view) const;

    // Dragging: the moving edges follow the pointer from where it was pressed, inside the bounds and at
    // least kMinimumGap from the opposite edge. Returns the flags the drag moves (0: nothing to drag).
    int BeginDrag(QPoint view);
    void DragTo(QPoint view);
    void EndDrag() { drag_flags_ = 0; }
    bool dragging() const { return drag_flags_ != 0; }
    int drag_flags() const { return drag_flags_; }

    // The sizing pointer for a handle's flags (the arrow for 0).
    static Qt::CursorShape CursorFor(int flags);

private:
    TrackerBox box_;
    QSize bounds_;
    QPoint origin_;
    int drag_flags_ = 0;
    QPoint pressed_;
    TrackerBox box_at_press_;
};

// The crop rectangle (image pixels) as a tracker box at `zoom` (each edge truncated).
TrackerBox TrackerBoxOf(const CropRect& crop, double zoom);
// The crop rectangle after a drag: the edges in `moved_flags` taken from the box (rounded to the nearest
// image pixel, kept inside an image of `image` size and at least one pixel apart), the others kept.
CropRect CropAfterDrag(const CropRect& crop, const TrackerBox& box, int moved_flags, double zoom, QSize image);

}  // namespace tp
