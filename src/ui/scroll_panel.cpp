#include "ui/scroll_panel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tp {

int ScrollRange(int extent, int client, int unit) { return std::max(0, (extent - client) / unit); }

ScrollPanel::ScrollPanel(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
}

QPoint ScrollPanel::scroll_offset() const
{
    return {horizontalScrollBar()->value() * kScrollUnitX, verticalScrollBar()->value() * kScrollUnitY};
}

void ScrollPanel::SetContentExtent(QSize extent)
{
    extent_ = extent;
    UpdateScrollRanges();
}

void ScrollPanel::ShowScrollBarAlong(Qt::Orientation orientation, bool needed)
{
    const Qt::ScrollBarPolicy along = needed ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(orientation == Qt::Horizontal ? along : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(orientation == Qt::Vertical ? along : Qt::ScrollBarAlwaysOff);
}

void ScrollPanel::UpdateScrollRanges()
{
    const QSize client = viewport()->size();
    const int horizontal = ScrollRange(extent_.width(), client.width(), kScrollUnitX);
    const int vertical = ScrollRange(extent_.height(), client.height(), kScrollUnitY);
    horizontalScrollBar()->setRange(0, horizontal);
    horizontalScrollBar()->setPageStep(8);
    verticalScrollBar()->setRange(0, vertical);
    // A page down goes all the way.
    verticalScrollBar()->setPageStep(std::max(1, vertical));
}

void ScrollPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPoint offset = scroll_offset();
    painter.translate(-offset);
    PaintContent(painter, event->rect().translated(offset));
}

void ScrollPanel::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace tp
