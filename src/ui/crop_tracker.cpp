#include "ui/crop_tracker.h"

#include <algorithm>

namespace tp {

namespace {

// Between `low` and `high`; `high` wins when they cross (the image border counts more than the gap).
int ClampHighWins(int value, int low, int high) { return std::min(std::max(value, low), high); }
// Between `low` and `high`; `low` wins when they cross.
int ClampLowWins(int value, int low, int high) { return std::max(std::min(value, high), low); }

int ZoomedEdge(int edge, double zoom) { return static_cast<int>(std::clamp(edge * zoom, -1e9, 1e9)); }
int ImageEdge(int zoomed, double zoom) { return zoom > 0.0 ? static_cast<int>(std::clamp(zoomed / zoom + 0.5, -1e9, 1e9)) : 0; }

}  // namespace

void CXTracker::Place(const TrackerBox& box, QSize bounds, QPoint origin)
{
    box_ = box;
    bounds_ = bounds;
    origin_ = origin;
}

std::array<QRect, 4> CXTracker::Lines() const
{
    const QPoint top_left(box_.left + 1, box_.top + 1), bottom_right(box_.right - 1, box_.bottom - 1);
    return {QRect(top_left, QPoint(bottom_right.x(), top_left.y())).translated(origin_),
            QRect(top_left, QPoint(top_left.x(), bottom_right.y())).translated(origin_),
            QRect(QPoint(bottom_right.x(), top_left.y()), bottom_right).translated(origin_),
            QRect(QPoint(top_left.x(), bottom_right.y()), bottom_right).translated(origin_)};
}

int CXTracker::HitTest(QPoint view) const
{
    const std::array<QRect, 4> lines = Lines();
    const auto near = [&](std::size_t i) {
        return lines[i].adjusted(-kHitMargin, -kHitMargin, kHitMargin, kHitMargin).contains(view);
    };
    int flags = near(0) ? kTop : near(3) ? kBottom : 0;
    flags |= near(1) ? kLeft : near(2) ? kRight : 0;
    return flags;
}

int CXTracker::BeginDrag(QPoint view)
{
    drag_flags_ = HitTest(view);
    pressed_ = view;
    box_at_press_ = box_;
    return drag_flags_;
}

void CXTracker::DragTo(QPoint view)
{
    const QPoint moved = view - pressed_;
    const TrackerBox& start = box_at_press_;
    if (drag_flags_ & kLeft) box_.left = ClampLowWins(start.left + moved.x(), 0, box_.right - kMinimumGap);
    if (drag_flags_ & kRight) box_.right = ClampHighWins(start.right + moved.x(), box_.left + kMinimumGap, bounds_.width());
    if (drag_flags_ & kTop) box_.top = ClampLowWins(start.top + moved.y(), 0, box_.bottom - kMinimumGap);
    if (drag_flags_ & kBottom) box_.bottom = ClampHighWins(start.bottom + moved.y(), box_.top + kMinimumGap, bounds_.height());
}

Qt::CursorShape CXTracker::CursorFor(int flags)
{
    switch (flags) {
        case kTop | kLeft:
        case kBottom | kRight: return Qt::SizeFDiagCursor;
        case kTop | kRight:
        case kBottom | kLeft: return Qt::SizeBDiagCursor;
        case kTop:
        case kBottom: return Qt::SizeVerCursor;
        case kLeft:
        case kRight: return Qt::SizeHorCursor;
        default: return Qt::ArrowCursor;
    }
}

TrackerBox TrackerBoxOf(const CropRect& crop, double zoom)
{
    return {ZoomedEdge(crop.left, zoom), ZoomedEdge(crop.top, zoom), ZoomedEdge(crop.right, zoom), ZoomedEdge(crop.bottom, zoom)};
}

CropRect CropAfterDrag(const CropRect& crop, const TrackerBox& box, int moved_flags, double zoom, QSize image)
{
    CropRect out = crop;
    if (moved_flags & CXTracker::kLeft) out.left = ClampLowWins(ImageEdge(box.left, zoom), 0, out.right - 1);
    if (moved_flags & CXTracker::kRight) out.right = ClampHighWins(ImageEdge(box.right, zoom), out.left + 1, image.width());
    if (moved_flags & CXTracker::kTop) out.top = ClampLowWins(ImageEdge(box.top, zoom), 0, out.bottom - 1);
    if (moved_flags & CXTracker::kBottom) out.bottom = ClampHighWins(ImageEdge(box.bottom, zoom), out.top + 1, image.height());
    return out;
}

}  // namespace tp
