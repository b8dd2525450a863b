#include "ui/strip_layout.h"

#include "project/display_copy.h"

namespace tp {

namespace {
constexpr int kInset = 5;
constexpr int kGap = 10;
}  // namespace

StripLayout LayoutStrip(QSize client, const std::vector<QSize>& thumbnails)
{
    StripLayout layout;
    layout.horizontal = client.height() < client.width();
    int offset = 0;
    for (const QSize& thumbnail : thumbnails) {
        // The box grows with the offset along the strip, so only the cross direction ever limits the fit.
        const int box_width = client.width() - 2 * kInset + (layout.horizontal ? offset : 0);
        const int box_height = client.height() - 2 * kInset + (layout.horizontal ? 0 : offset);
        const FittedRect fitted = FitForDrawing(box_width, box_height, thumbnail.width(), thumbnail.height());
        QRect rect(kInset + fitted.left, kInset + fitted.top, fitted.width, fitted.height);
        if (layout.horizontal) {
            rect.moveLeft(offset);
            offset += fitted.width + kGap;
        } else {
            rect.moveTop(offset);
            offset += fitted.height + kGap;
        }
        layout.rects.push_back(rect);
    }
    layout.extent = layout.horizontal ? QSize(offset, 0) : QSize(0, offset);
    return layout;
}

int DropPosition(const StripLayout& layout, QPoint centre)
{
    const int count = static_cast<int>(layout.rects.size());
    for (int i = 0; i < count; ++i) {
        const QRect& rect = layout.rects[static_cast<std::size_t>(i)];
        const int midpoint = layout.horizontal ? rect.left() + rect.width() / 2 : rect.top() + rect.height() / 2;
        const int along = layout.horizontal ? centre.x() : centre.y();
        if (along < midpoint) return i;
    }
    return count;
}

}  // namespace tp
