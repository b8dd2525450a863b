#include "ui/main_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "project/main_doc.h"
#include "ui/artwork.h"

namespace tp {

namespace {

constexpr int kShadowWidth = 5;
const QColor kBackground(47, 47, 47);

// Black and white dashes along any line, so the crop box shows on dark and light pixels alike.
QBrush LineBrush()
{
    constexpr int kDash = 4;
    QImage tile(2 * kDash, 2 * kDash, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x) tile.setPixel(x, y, ((x + y) / kDash) % 2 ? 0xFF000000u : 0xFFFFFFFFu);
    return QBrush(tile);
}

}  // namespace

CMainView::CMainView(CMainDoc& doc, QWidget* parent) : CXView(parent), doc_(doc), line_brush_(LineBrush())
{
    set_background_colour(kBackground);
    set_shadow_width(kShadowWidth);
    if (doc_.HasWideView()) ShowWideView();
}

void CMainView::ShowWideView()
{
    wide_view_.Show(doc_);
    TakeShownImage(1.0);
}

void CMainView::ShowImage(ColorImage image)
{
    wide_view_.ShowImage(std::move(image));
    TakeShownImage(1.0);
}

void CMainView::ClearView()
{
    wide_view_.Clear();
    TakeShownImage(zoom());
}

bool CMainView::SwitchProjection(int command_id)
{
    if (!wide_view_.SwitchProjection(doc_, command_id)) return false;
    TakeShownImage(zoom());
    return true;
}

void CMainView::TakeShownImage(double zoom)
{
    tracker_.EndDrag();
    if (wide_view_.has_image())
        SetImage(wide_view_.image());
    else
        ClearImage();
    SetZoom(zoom);
    emit cropChanged();
}

void CMainView::Crop(CropChoice choice)
{
    if (!wide_view_.has_image()) return;
    wide_view_.Crop(doc_, choice);
    ViewMoved();
    viewport()->update();
    emit cropChanged();
}

void CMainView::ViewMoved()
{
    const QRect image = image_on_screen();
    if (tracker_.dragging())
        tracker_.set_origin(image.topLeft());
    else
        tracker_.Place(TrackerBoxOf(wide_view_.crop(), zoom()), image.size(), image.topLeft());
}

void CMainView::FillBackground(QPainter& painter, const QRegion& region)
{
    // The pattern is fixed to the content, so it moves when the view scrolls.
    QBrush pattern(BackgroundPattern());
    const QPoint scroll = scroll_position();
    pattern.setTransform(QTransform::fromTranslate(-(scroll.x() % kBackgroundPatternSize),
                                                   -(scroll.y() % kBackgroundPatternSize)));
    for (const QRect& rect : region) painter.fillRect(rect, pattern);
}

void CMainView::DrawOverlay(QPainter& painter, const QRect& clip)
{
    if (!has_image()) return;
    QBrush lines = line_brush_;
    const QPoint origin = image_on_screen().topLeft();
    lines.setTransform(QTransform::fromTranslate(origin.x(), origin.y()));
    for (const QRect& line : tracker_.Lines())
        if (line.intersects(clip)) painter.fillRect(line, lines);
}

QCursor CMainView::CursorAt(QPoint view) const
{
    const int flags = tracker_.dragging() ? tracker_.drag_flags() : has_image() ? tracker_.HitTest(view) : 0;
    return flags != 0 ? QCursor(CXTracker::CursorFor(flags)) : CXView::CursorAt(view);
}

void CMainView::RepaintLines()
{
    QRegion lines;
    for (const QRect& line : tracker_.Lines()) lines += line;
    viewport()->update(lines);
}

void CMainView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && has_image() && tracker_.BeginDrag(event->position().toPoint()) != 0) {
        UpdateCursor(event->position().toPoint());
        return;
    }
    CXView::mousePressEvent(event);
}

void CMainView::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracker_.dragging()) {
        CXView::mouseMoveEvent(event);
        return;
    }
    RepaintLines();
    tracker_.DragTo(event->position().toPoint());
    RepaintLines();
}

void CMainView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !tracker_.dragging()) {
        CXView::mouseReleaseEvent(event);
        return;
    }
    const int moved = tracker_.drag_flags();
    tracker_.EndDrag();
    wide_view_.set_crop(CropAfterDrag(wide_view_.crop(), tracker_.box(), moved, zoom(), image_size()));
    // Back on the image's pixel grid.
    RepaintLines();
    ViewMoved();
    RepaintLines();
    UpdateCursor(event->position().toPoint());
    emit cropChanged();
}

}  // namespace tp
