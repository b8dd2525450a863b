#include "ui/edit_canvas.h"

#include <algorithm>

namespace tp {

namespace {

// How far a point being placed moves per pixel of pointer movement.
constexpr double kPlacingStep = 0.2;

}  // namespace

SizeI EditCanvasSize(bool translation_mode, bool horizontal, SizeI first, SizeI second)
{
    if (translation_mode)
        return {3 * std::max(first.width, second.width), 3 * std::max(first.height, second.height)};
    if (horizontal) return {first.width + second.width, std::max(first.height, second.height)};
    return {std::max(first.width, second.width), first.height + second.height};
}

PairPlacement TranslationPlacement(SizeI canvas, SizeI first, PointF hint, bool horizontal)
{
    const PointI origin{canvas.width / 3, canvas.height / 3};
    int tx = static_cast<int>(hint.x);
    int ty = static_cast<int>(hint.y);
    if (tx == 0 && ty == 0) {
        if (horizontal)
            tx = first.width;
        else
            ty = first.height;
    }
    return {origin, {origin.x + tx, origin.y + ty}};
}

PairPlacement FourPointsPlacement(SizeI first, bool horizontal)
{
    return {{0, 0}, horizontal ? PointI{first.width, 0} : PointI{0, first.height}};
}

int Zoomed(double length, double zoom)
{
    // The epsilon keeps a length that went through a division by the zoom from losing a pixel.
    const double scaled = length * zoom;
    return static_cast<int>(scaled + (scaled >= 0.0 ? 1e-6 : -1e-6));
}

IntRect ZoomedImageRect(PointD origin, SizeI image, double zoom, PointI offset)
{
    const int left = Zoomed(origin.x, zoom) + offset.x;
    const int top = Zoomed(origin.y, zoom) + offset.y;
    return {left, top, left + Zoomed(image.width, zoom), top + Zoomed(image.height, zoom)};
}

IntRect PushBack(IntRect moved, const IntRect& first)
{
    int dx = 0;
    int dy = 0;
    if (moved.right < first.left)
        dx = first.left - moved.right;
    else if (moved.left > first.right)
        dx = first.right - moved.left;
    if (moved.bottom < first.top)
        dy = first.top - moved.bottom;
    else if (moved.top > first.bottom)
        dy = first.bottom - moved.top;
    return {moved.left + dx, moved.top + dy, moved.right + dx, moved.bottom + dy};
}

PointI CentringOffset(SizeI client, SizeI zoomed_canvas)
{
    return {(std::max(client.width, zoomed_canvas.width) - zoomed_canvas.width) / 2,
            (std::max(client.height, zoomed_canvas.height) - zoomed_canvas.height) / 2};
}

PointI InitialScroll(bool translation_mode, bool horizontal, SizeI client, SizeI zoomed_canvas)
{
    if (!translation_mode) return {0, 0};
    const int u = zoomed_canvas.width / 3;
    const int v = zoomed_canvas.height / 3;
    PointI scroll;
    if (client.width > zoomed_canvas.width)
        scroll.x = 0;
    else if (horizontal)
        scroll.x = u;
    else
        scroll.x = client.width > u ? u - (client.width - u) / 2 : u;
    if (client.height > zoomed_canvas.height)
        scroll.y = 0;
    else
        scroll.y = horizontal && client.height > v ? v - (client.height - v) / 2 : v;
    return scroll;
}

IntRect MarkerLabelBox(PointI point, const IntRect& containing_image, const IntRect& first_image)
{
    IntRect box{point.x + 5, point.y - 5, point.x + 15, point.y + 5};
    if (point.x + 15 > containing_image.right) {
        box.left = point.x - 15;
        box.right = point.x - 5;
    }
    if (point.y + 5 > first_image.bottom) {
        box.top -= 5;
        box.bottom -= 5;
    } else if (point.y - 5 < first_image.top) {
        box.top += 5;
        box.bottom += 5;
    }
    return box;
}

PointD MovePlacingPoint(PointD position, PointI pointer_delta, SizeI image)
{
    const double x = position.x + kPlacingStep * pointer_delta.x;
    const double y = position.y + kPlacingStep * pointer_delta.y;
    if (x >= 0.0 && x <= image.width) position.x = x;
    if (y >= 0.0 && y <= image.height) position.y = y;
    return position;
}

std::optional<PointD> PlacedPoint(PointD position, SizeI zoomed_image, double zoom)
{
    const int x = static_cast<int>(position.x);
    const int y = static_cast<int>(position.y);
    if (x < 0 || y < 0 || x >= zoomed_image.width || y >= zoomed_image.height) return std::nullopt;
    return PointD{x / zoom, y / zoom};
}

}  // namespace tp
