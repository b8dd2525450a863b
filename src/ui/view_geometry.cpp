#include "ui/view_geometry.h"

#include <algorithm>
#include <cmath>

#include "ui/command_ids.h"

namespace tp {

namespace {

// Zoomed sizes stop here so that scroll ranges and paint rectangles stay in int range.
constexpr double kLargestZoomedSide = 1 << 30;

int ZoomedLength(int length, double zoom)
{
    if (!(zoom > 0.0) || length <= 0) return 0;
    return static_cast<int>(std::min(length * zoom, kLargestZoomedSide));
}

}  // namespace

double ZoomAfterCommand(int command_id, double zoom, QSize client, QSize image)
{
    switch (command_id) {
        case kCmdFitOnScreen:
            if (image.isEmpty() || client.isEmpty()) return zoom;
            return std::min(static_cast<double>(client.width()) / image.width(),
                            static_cast<double>(client.height()) / image.height());
        case kCmdActualPixels: return 1.0;
        case kCmdZoomIn: return zoom * 2.0;
        case kCmdZoomOut: return zoom * 0.5;
        default: return zoom;
    }
}

QSize ZoomedSize(QSize image, double zoom)
{
    return {ZoomedLength(image.width(), zoom), ZoomedLength(image.height(), zoom)};
}

QPoint ViewGeometry::origin() const
{
    const QSize z = zoomed();
    return {std::max(0, (client.width() - z.width()) / 2), std::max(0, (client.height() - z.height()) / 2)};
}

QPoint ViewGeometry::max_scroll() const
{
    const QSize z = zoomed();
    return {std::max(0, z.width() - client.width()), std::max(0, z.height() - client.height())};
}

QPoint ViewGeometry::ClampScroll(QPoint scroll) const
{
    const QPoint most = max_scroll();
    return {std::clamp(scroll.x(), 0, most.x()), std::clamp(scroll.y(), 0, most.y())};
}

int ViewGeometry::line_step() const
{
    return std::max(1, static_cast<int>(std::min(20.0 * zoom, kLargestZoomedSide)));
}

bool ViewGeometry::pannable() const
{
    const QSize z = zoomed();
    return z.width() > client.width() || z.height() > client.height();
}

QRect ViewGeometry::ImageOnScreen(QPoint scroll) const { return {origin() - scroll, zoomed()}; }

QPointF ViewGeometry::ImagePointAt(QPoint view, QPoint scroll) const
{
    if (!(zoom > 0.0)) return {};
    const QPoint canvas = view + scroll - origin();
    return {canvas.x() / zoom, canvas.y() / zoom};
}

}  // namespace tp
