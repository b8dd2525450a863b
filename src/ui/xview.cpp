#include "ui/xview.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include "ui/artwork.h"

namespace tp {

namespace {

const QColor kOutline(99, 99, 99);

}  // namespace

CXView::CXView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
}

void CXView::SetImage(const ColorImage& image)
{
    image_.SetImage(image);
    UpdateScrollSizes();
    ViewMoved();
    viewport()->update();
}

void CXView::ClearImage()
{
    image_.Clear();
    panning_ = false;
    UpdateScrollSizes();
    ViewMoved();
    viewport()->update();
}

void CXView::SetZoom(double zoom)
{
    const double old_zoom = zoom_;
    zoom_ = zoom;
    image_.SetZoom(zoom_);
    UpdateScrollSizes();
    ZoomChanged(old_zoom, zoom_);
    ViewMoved();
    viewport()->update();
}

void CXView::ExecuteZoomCommand(int command_id)
{
    // Fit against the whole area the view can have, so the scroll bars that vanish after fitting don't
    // leave the image a little too small.
    SetZoom(ZoomAfterCommand(command_id, zoom_, maximumViewportSize(), image_size()));
}

void CXView::set_background_colour(const QColor& colour)
{
    background_ = colour;
    viewport()->update();
}

void CXView::set_shadow_width(int width)
{
    shadow_width_ = std::max(0, width);
    viewport()->update();
}

QPoint CXView::scroll_position() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CXView::ScrollTo(QPoint scroll)
{
    const QPoint clamped = view_geometry().ClampScroll(scroll);
    horizontalScrollBar()->setValue(clamped.x());
    verticalScrollBar()->setValue(clamped.y());
}

ViewGeometry CXView::view_geometry() const { return {image_size(), zoom_, viewport()->size()}; }

QMenu* CXView::context_menu()
{
    if (!context_menu_) {
        context_menu_ = new QMenu(this);
        BuildContextMenu(*context_menu_);
    }
    return context_menu_;
}

void CXView::BuildContextMenu(QMenu& menu)
{
    for (const ZoomCommand& command : kZoomCommands) {
        QAction* action = menu.addAction(QString::fromLatin1(command.text));
        action->setData(command.id);
        connect(action, &QAction::triggered, this, [this, id = command.id] { ExecuteZoomCommand(id); });
    }
}

void CXView::UpdateScrollSizes()
{
    ViewGeometry geometry = view_geometry();
    // When the image fits the area without scroll bars, take them away (the bars' own room would
    // otherwise keep them needed).
    const QSize whole = maximumViewportSize();
    if (geometry.zoomed().width() <= whole.width() && geometry.zoomed().height() <= whole.height()) geometry.client = whole;
    const QPoint most = geometry.max_scroll();
    horizontalScrollBar()->setRange(0, most.x());
    verticalScrollBar()->setRange(0, most.y());
    horizontalScrollBar()->setPageStep(geometry.client.width());
    verticalScrollBar()->setPageStep(geometry.client.height());
    horizontalScrollBar()->setSingleStep(geometry.line_step());
    verticalScrollBar()->setSingleStep(geometry.line_step());
}

void CXView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect clip = event->rect();
    const QPoint origin = image_on_screen().topLeft();
    // Parts of the copy at this zoom are made the first time they are shown; later repaints only copy.
    image_.Prepare(clip.translated(-origin));
    DrawSurroundings(painter, clip);
    image_.Paint(painter, clip, origin);
    DrawOverlay(painter, clip);
}

void CXView::DrawSurroundings(QPainter& painter, const QRect& clip)
{
    const QRect image = image_on_screen();
    if (image.isEmpty()) {
        FillBackground(painter, clip);
        return;
    }
    const QRect framed = image.adjusted(-1, -1, 1, 1);
    FillBackground(painter, QRegion(clip).subtracted(framed));
    // The outline just outside the image.
    painter.fillRect(framed.left(), framed.top(), framed.width(), 1, kOutline);
    painter.fillRect(framed.left(), framed.bottom(), framed.width(), 1, kOutline);
    painter.fillRect(framed.left(), framed.top(), 1, framed.height(), kOutline);
    painter.fillRect(framed.right(), framed.top(), 1, framed.height(), kOutline);
    // The shadow, one step per pixel outwards along the right and bottom, from dark into the background.
    for (int i = 1; i <= shadow_width_; ++i) {
        const QColor step(i * background_.red() / shadow_width_, i * background_.green() / shadow_width_,
                          i * background_.blue() / shadow_width_);
        painter.fillRect(framed.right() + i, framed.top() + i, 1, framed.height(), step);
        painter.fillRect(framed.left() + i, framed.bottom() + i, framed.width(), 1, step);
    }
}

void CXView::FillBackground(QPainter& painter, const QRegion& region)
{
    for (const QRect& rect : region) painter.fillRect(rect, background_);
}

void CXView::DrawOverlay(QPainter&, const QRect&) {}
void CXView::ZoomChanged(double, double) {}
void CXView::PanningStarted() {}
void CXView::ViewMoved() {}

QCursor CXView::CursorAt(QPoint view) const
{
    if (has_image() && view_geometry().pannable() && image_on_screen().contains(view)) return OpenHandCursor();
    return Qt::ArrowCursor;
}

void CXView::UpdateCursor(QPoint view) { viewport()->setCursor(panning_ ? ClosedHandCursor() : CursorAt(view)); }

void CXView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollSizes();
    ViewMoved();
}

void CXView::scrollContentsBy(int dx, int dy)
{
    // Everything drawn moves with the content (the patterned backgrounds too), so the pixels can be moved
    // and only the uncovered strip painted.
    viewport()->scroll(dx, dy);
    ViewMoved();
}

void CXView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && has_image() && view_geometry().pannable() && image_on_screen().contains(at)) {
        pressed_canvas_ = at + scroll_position();
        panning_ = true;
        UpdateCursor(at);
        PanningStarted();
    }
    event->accept();
}

void CXView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (panning_ && (event->buttons() & Qt::LeftButton))
        ScrollTo(view_geometry().PanScroll(pressed_canvas_, at));
    else
        panning_ = false;
    UpdateCursor(at);
}

void CXView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        panning_ = false;
        UpdateCursor(at);
    } else if (event->button() == Qt::RightButton && has_image()) {
        context_menu()->popup(event->globalPosition().toPoint());
    }
}

void CXView::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* across = horizontalScrollBar();
    QScrollBar* down = verticalScrollBar();
    switch (event->key()) {
        case Qt::Key_PageUp: down->triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case Qt::Key_PageDown: down->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case Qt::Key_Home: ScrollTo({0, 0}); break;
        case Qt::Key_End: ScrollTo({0, down->maximum()}); break;
        case Qt::Key_Left: across->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: across->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case Qt::Key_Up: down->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Down: down->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default: event->ignore(); return;
    }
}

void CXView::wheelEvent(QWheelEvent* event)
{
    // One line per notch, then the usual wheel scrolling on top.
    const int delta = event->angleDelta().y();
    if (delta < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (delta > 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QAbstractScrollArea::wheelEvent(event);
}

void CXView::contextMenuEvent(QContextMenuEvent* event)
{
    // The menu opens on the right button's release instead.
    event->accept();
}

}  // namespace tp
