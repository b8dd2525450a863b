#include "ui/edit_window.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "project/main_doc.h"
#include "ui/artwork.h"
#include "ui/interface_font.h"
#include "ui/modification_state.h"
#include "ui/point_cursors.h"
#include "ui/qt_image.h"

namespace tp {

namespace {

const QColor kBackground(47, 47, 47);
const QColor kCanvas(192, 192, 192);
const QColor kCanvasOutline(99, 99, 99);
const QColor kSelectedMarker(255, 0, 0);
const QColor kOtherMarker(33, 33, 33);
// The drop shadow's steps from the canvas outwards; the last one is the background itself.
constexpr int kShadowGreys[] = {9, 18, 28, 37, 47};
// The second image is blended half and half over the first while dragging.
constexpr double kOverlayOpacity = 127.0 / 255.0;
constexpr double kLineStep = 20.0;
constexpr int kMarkerArm = 5;

QRect ToQRect(const IntRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
PointI ToPoint(QPoint p) { return {p.x(), p.y()}; }

IntRect Moved(const IntRect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

}  // namespace

CWndModification::CWndModification(CMainDoc& doc, std::function<bool()> horizontal_alignment, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), horizontal_alignment_(std::move(horizontal_alignment))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    pointer_.screen_centre = [this] {
        const QScreen* shown_on = screen();
        if (!shown_on) return QPoint();
        const QRect area = shown_on->geometry();
        return area.topLeft() + QPoint(area.width() / 2, area.height() / 2);
    };
    pointer_.move_pointer = [this](QPoint global) {
        QCursor::setPos(screen(), global);
        return QCursor::pos(screen()) == global;
    };
    if (doc_.first_pair_copy().loaded() && doc_.second_pair_copy().loaded()) ReloadPair();
}

CWndModification::~CWndModification() = default;

void CWndModification::SetPointerControl(PointerControl control) { pointer_ = std::move(control); }

bool CWndModification::translation_mode() const { return doc_.translation_mode(); }

bool CWndModification::pair_loaded() const { return doc_.first_pair_copy().loaded(); }

SizeI CWndModification::image_size(int image) const
{
    const DisplayCopy& copy = image == 0 ? doc_.first_pair_copy() : doc_.second_pair_copy();
    if (!copy.loaded()) return {};
    return {copy.display_width(), copy.display_height()};
}

SizeI CWndModification::zoomed_canvas() const { return {Zoomed(canvas_.width, zoom_), Zoomed(canvas_.height, zoom_)}; }

QPoint CWndModification::scroll() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

PointI CWndModification::CanvasPosition(QPoint viewport_position) const { return ToPoint(viewport_position + scroll()); }

int CWndModification::selected_index() const { return std::clamp(doc_.selected_point(), 1, 4) - 1; }

IntRect CWndModification::shown_second_rect() const
{
    return gesture_ == Gesture::Dragging ? drag_rect_ : doc_.second_image_rect();
}

// --- showing a pair ---

void CWndModification::ReloadPair()
{
    gesture_ = Gesture::Idle;
    loupe_rect_ = {};
    points_[0] = points_[1] = {};
    if (!pair_loaded()) {
        originals_[0] = originals_[1] = cached_[0] = cached_[1] = QImage();
        Layout();
        viewport()->update();
        return;
    }
    const bool translation = translation_mode();
    const bool side_by_side = horizontal();
    canvas_ = EditCanvasSize(translation, side_by_side, image_size(0), image_size(1));

    // The pair as last applied to the mosaic: record k - 1 describes pair (k - 1, k).
    const SourceAlignment* applied = nullptr;
    const int pair = doc_.current_frame() - 1;
    if (doc_.mosaic() && pair >= 0 && pair < doc_.mosaic()->source_count()) applied = &doc_.mosaic()->alignment(pair);

    const PairPlacement placement =
        translation ? TranslationPlacement(canvas_, image_size(0), applied ? applied->translation_hint : PointF{}, side_by_side)
                    : FourPointsPlacement(image_size(0), side_by_side);
    origins_[0] = {static_cast<double>(placement.first.x), static_cast<double>(placement.first.y)};
    origins_[1] = {static_cast<double>(placement.second.x), static_cast<double>(placement.second.y)};
    if (!translation && applied) {
        for (std::size_t j = 0; j < 4; ++j) {
            points_[0][j] = {static_cast<double>(static_cast<int>(applied->first_points[j].x)),
                             static_cast<double>(static_cast<int>(applied->first_points[j].y))};
            points_[1][j] = {static_cast<double>(static_cast<int>(applied->second_points[j].x)),
                             static_cast<double>(static_cast<int>(applied->second_points[j].y))};
        }
    }
    for (int i = 0; i < 2; ++i) {
        const DisplayCopy& copy = i == 0 ? doc_.first_pair_copy() : doc_.second_pair_copy();
        originals_[i] = copy.loaded() ? ToQImage(copy.image()).convertToFormat(QImage::Format_RGB32) : QImage();
    }
    offset_ = {};
    RenderCaches();
    Layout();
    viewport()->update();
    UpdateCursor(CanvasPosition(viewport()->mapFromGlobal(QCursor::pos())));
}

void CWndModification::RenderCaches()
{
    // Scaled once per zoom, so that a repaint during a drag only copies and blends.
    for (int i = 0; i < 2; ++i) {
        const SizeI size = image_size(i);
        const QSize zoomed(std::max(1, Zoomed(size.width, zoom_)), std::max(1, Zoomed(size.height, zoom_)));
        if (originals_[i].isNull())
            cached_[i] = QImage();
        else if (zoomed == originals_[i].size())
            cached_[i] = originals_[i];
        else
            cached_[i] = originals_[i].scaled(zoomed, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_RGB32);
    }
}

void CWndModification::PlaceRects()
{
    doc_.first_image_rect() = ZoomedImageRect(origins_[0], image_size(0), zoom_, offset_);
    doc_.second_image_rect() = ZoomedImageRect(origins_[1], image_size(1), zoom_, offset_);
}

void CWndModification::Layout()
{
    const SizeI client{viewport()->width(), viewport()->height()};
    const SizeI canvas = pair_loaded() ? zoomed_canvas() : SizeI{};
    const int line = std::max(1, Zoomed(kLineStep, zoom_));
    horizontalScrollBar()->setRange(0, std::max(0, canvas.width - client.width));
    horizontalScrollBar()->setPageStep(client.width);
    horizontalScrollBar()->setSingleStep(line);
    verticalScrollBar()->setRange(0, std::max(0, canvas.height - client.height));
    verticalScrollBar()->setPageStep(client.height);
    verticalScrollBar()->setSingleStep(line);
    if (!pair_loaded()) return;
    offset_ = CentringOffset(client, canvas);
    PlaceRects();
    const PointI start = InitialScroll(translation_mode(), horizontal(), client, canvas);
    horizontalScrollBar()->setValue(start.x);
    verticalScrollBar()->setValue(start.y);
}

void CWndModification::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Layout();
    viewport()->update();
}

// --- zoom and commands ---

void CWndModification::SetZoom(double zoom)
{
    if (!(zoom > 0.0)) return;
    zoom_ = zoom;
    loupe_rect_ = {};
    gesture_ = Gesture::Idle;
    RenderCaches();
    Layout();
    viewport()->update();
}

void CWndModification::FitOnScreen()
{
    if (canvas_.width <= 0 || canvas_.height <= 0) return;
    SetZoom(std::min(static_cast<double>(viewport()->height()) / canvas_.height,
                     static_cast<double>(viewport()->width()) / canvas_.width));
}

void CWndModification::ActualPixels() { SetZoom(1.0); }
void CWndModification::ZoomIn() { SetZoom(zoom_ * 2.0); }
void CWndModification::ZoomOut() { SetZoom(zoom_ * 0.5); }

void CWndModification::ChangeEditMode()
{
    doc_.set_translation_mode(!doc_.translation_mode());
    ReloadPair();
    emit modeChanged();
}

std::unique_ptr<QMenu> CWndModification::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    const auto add = [this](QMenu* to, int id, const char* text) {
        QAction* action = to->addAction(QString::fromUtf8(text));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    };
    QMenu* zoom = menu->addMenu(QStringLiteral("Zoom"));
    add(zoom, kCmdFitOnScreen, "Fit on Screen");
    add(zoom, kCmdActualPixels, "Actual Pixels");
    add(zoom, kCmdZoomIn, "Zoom In");
    add(zoom, kCmdZoomOut, "Zoom Out");
    if (PreviewAvailable(doc_)) add(menu.get(), kCmdPreview, "Preview");
    add(menu.get(), kCmdChangeEditMode, "Changes Edit Mode.");
    return menu;
}

void CWndModification::RunCommand(int command_id)
{
    switch (command_id) {
        case kCmdPreview: emit previewRequested(); break;
        case kCmdFitOnScreen: FitOnScreen(); break;
        case kCmdActualPixels: ActualPixels(); break;
        case kCmdZoomIn: ZoomIn(); break;
        case kCmdZoomOut: ZoomOut(); break;
        case kCmdChangeEditMode: ChangeEditMode(); break;
        default: break;
    }
}

// --- gestures ---

void CWndModification::RecordEdit()
{
    doc_.RecordEdit(points_[0], points_[1]);
    emit editRecorded();
}

void CWndModification::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || gesture_ != Gesture::Idle || !pair_loaded()) return;
    const PointI at = CanvasPosition(event->position().toPoint());
    if (translation_mode()) {
        if (RectContains(doc_.second_image_rect(), at)) StartDrag(at);
    } else if (RectContains(doc_.first_image_rect(), at)) {
        StartPlacing(at, 0);
    } else if (RectContains(doc_.second_image_rect(), at)) {
        StartPlacing(at, 1);
    }
}

void CWndModification::mouseMoveEvent(QMouseEvent* event)
{
    const PointI at = CanvasPosition(event->position().toPoint());
    switch (gesture_) {
        case Gesture::Dragging: Drag(at); break;
        case Gesture::Placing: MovePlacing(at); break;
        case Gesture::Idle: UpdateCursor(at); break;
    }
}

void CWndModification::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (gesture_ == Gesture::Dragging) FinishDrag();
        if (gesture_ == Gesture::Placing) FinishPlacing();
    } else if (event->button() == Qt::RightButton && gesture_ == Gesture::Idle) {
        last_ = CanvasPosition(event->position().toPoint());
        const std::unique_ptr<QMenu> menu = CreateContextMenu();
        menu->exec(event->globalPosition().toPoint());
    }
}

void CWndModification::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse opens the menu on the right button's release; only the keyboard's menu key comes here.
    if (event->reason() == QContextMenuEvent::Keyboard && gesture_ == Gesture::Idle) {
        const std::unique_ptr<QMenu> menu = CreateContextMenu();
        menu->exec(event->globalPos());
    }
    event->accept();
}

void CWndModification::StartDrag(PointI at)
{
    press_ = at;
    drag_rect_ = doc_.second_image_rect();
    gesture_ = Gesture::Dragging;
    viewport()->setCursor(ClosedHandCursor());
}

void CWndModification::Drag(PointI at)
{
    const IntRect moved = Moved(doc_.second_image_rect(), at.x - press_.x, at.y - press_.y);
    const IntRect placed = PushBack(moved, doc_.first_image_rect());
    if (placed == drag_rect_) return;
    // Only where the second image was and where it is now changes.
    const QRegion changed = QRegion(ToQRect(drag_rect_)) + ToQRect(placed);
    drag_rect_ = placed;
    viewport()->update(changed.translated(-scroll()));
}

void CWndModification::FinishDrag()
{
    doc_.second_image_rect() = drag_rect_;
    origins_[1] = {(drag_rect_.left - offset_.x) / zoom_, (drag_rect_.top - offset_.y) / zoom_};
    gesture_ = Gesture::Idle;
    RecordEdit();
    UpdateCursor(CanvasPosition(viewport()->mapFromGlobal(QCursor::pos())));
}

PointI CWndModification::RecentrePointer(PointI at)
{
    const QPoint centre = pointer_.screen_centre ? pointer_.screen_centre() : QPoint();
    if (pointer_.move_pointer && pointer_.move_pointer(centre)) return CanvasPosition(viewport()->mapFromGlobal(centre));
    return at;  // the pointer stays where it is: measure the next move from here
}

void CWndModification::StartPlacing(PointI at, int image)
{
    edited_image_ = image;
    const IntRect& rect = image == 0 ? doc_.first_image_rect() : doc_.second_image_rect();
    placing_ = {static_cast<double>(at.x - rect.left), static_cast<double>(at.y - rect.top)};
    gesture_ = Gesture::Placing;
    viewport()->setCursor(Qt::BlankCursor);
    last_ = RecentrePointer(at);
    ShowLoupe();
}

void CWndModification::MovePlacing(PointI at)
{
    if (at == last_) return;
    const IntRect& rect = edited_image_ == 0 ? doc_.first_image_rect() : doc_.second_image_rect();
    placing_ = MovePlacingPoint(placing_, {at.x - last_.x, at.y - last_.y}, {RectWidth(rect), RectHeight(rect)});
    last_ = RecentrePointer(at);
    ShowLoupe();
}

void CWndModification::FinishPlacing()
{
    const IntRect& rect = edited_image_ == 0 ? doc_.first_image_rect() : doc_.second_image_rect();
    const PointI point{rect.left + static_cast<int>(placing_.x), rect.top + static_cast<int>(placing_.y)};
    if (pointer_.move_pointer) pointer_.move_pointer(viewport()->mapToGlobal(QPoint(point.x, point.y) - scroll()));
    if (const auto placed = PlacedPoint(placing_, {RectWidth(rect), RectHeight(rect)}, zoom_))
        points_[edited_image_][static_cast<std::size_t>(selected_index())] = *placed;
    loupe_rect_ = {};
    gesture_ = Gesture::Idle;
    viewport()->update();
    UpdateCursor(point);
    const auto all_set = [](const std::array<PointD, 4>& points) {
        return std::all_of(points.begin(), points.end(), [](const PointD& p) { return PointIsSet(p); });
    };
    if (all_set(points_[0]) && all_set(points_[1])) RecordEdit();
}

void CWndModification::ShowLoupe()
{
    const IntRect& rect = edited_image_ == 0 ? doc_.first_image_rect() : doc_.second_image_rect();
    loupe_ = ComputeLoupe(zoom_, placing_, image_size(edited_image_), {rect.left, rect.top});
    // The old loupe's uncovered part shows the pair again; the new one is drawn over it.
    const QRegion changed = QRegion(ToQRect(loupe_rect_)) + ToQRect(loupe_.window);
    loupe_rect_ = loupe_.window;
    viewport()->update(changed.translated(-scroll()));
}

void CWndModification::UpdateCursor(PointI canvas_position)
{
    if (gesture_ == Gesture::Placing) return;
    const bool on_first = RectContains(doc_.first_image_rect(), canvas_position);
    const bool on_second = RectContains(doc_.second_image_rect(), canvas_position);
    if (!pair_loaded())
        viewport()->unsetCursor();
    else if (translation_mode())
        on_second ? viewport()->setCursor(OpenHandCursor()) : viewport()->unsetCursor();
    else
        on_first || on_second ? viewport()->setCursor(PointCursor(selected_index() + 1)) : viewport()->unsetCursor();
}

// --- keyboard and wheel ---

void CWndModification::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* const across = horizontalScrollBar();
    QScrollBar* const down = verticalScrollBar();
    switch (event->key()) {
        case Qt::Key_PageUp: down->triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case Qt::Key_PageDown: down->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case Qt::Key_Home:
            down->setValue(down->minimum());
            across->setValue(across->minimum());
            break;
        case Qt::Key_End:
            down->setValue(down->maximum());
            across->setValue(across->minimum());
            break;
        case Qt::Key_Left: across->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: across->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case Qt::Key_Up: down->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Down: down->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default: event->ignore(); return;
    }
    event->accept();
}

void CWndModification::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (delta > 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QAbstractScrollArea::wheelEvent(event);
}

// --- painting ---

void CWndModification::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPoint shift = scroll();
    painter.translate(-shift);
    const QRegion exposed = event->region().translated(shift);
    if (!pair_loaded() || cached_[0].isNull()) {
        for (const QRect& part : exposed) painter.fillRect(part, kBackground);
        return;
    }
    PaintSurroundings(painter, exposed);
    const QRect bounds = exposed.boundingRect();
    const QRect first = ToQRect(doc_.first_image_rect());
    const QRect first_part = first & bounds;
    if (!first_part.isEmpty()) painter.drawImage(first_part, cached_[0], first_part.translated(-first.topLeft()));
    const QRect second = ToQRect(shown_second_rect());
    const QRect second_part = second & bounds;
    if (!second_part.isEmpty() && !cached_[1].isNull()) {
        if (translation_mode()) painter.setOpacity(kOverlayOpacity);
        painter.drawImage(second_part, cached_[1], second_part.translated(-second.topLeft()));
        painter.setOpacity(1.0);
    }
    if (!translation_mode()) {
        PaintMarkers(painter);
        if (gesture_ == Gesture::Placing) PaintLoupe(painter);
    }
}

void CWndModification::PaintSurroundings(QPainter& painter, const QRegion& exposed) const
{
    const SizeI size = zoomed_canvas();
    const QRect canvas(offset_.x, offset_.y, size.width, size.height);
    const QRect outlined = canvas.adjusted(-1, -1, 1, 1);
    for (const QRect& part : exposed - outlined) painter.fillRect(part, kBackground);
    // Each shadow step is one pixel further out and one pixel further along, which bevels its corners.
    for (int i = 1; i <= 5; ++i) {
        const QColor grey(kShadowGreys[i - 1], kShadowGreys[i - 1], kShadowGreys[i - 1]);
        painter.fillRect(QRect(outlined.right() + i, outlined.top() + i, 1, outlined.height()), grey);
        painter.fillRect(QRect(outlined.left() + i, outlined.bottom() + i, outlined.width(), 1), grey);
    }
    painter.fillRect(QRect(outlined.left(), outlined.top(), outlined.width(), 1), kCanvasOutline);
    painter.fillRect(QRect(outlined.left(), outlined.bottom(), outlined.width(), 1), kCanvasOutline);
    painter.fillRect(QRect(outlined.left(), outlined.top(), 1, outlined.height()), kCanvasOutline);
    painter.fillRect(QRect(outlined.right(), outlined.top(), 1, outlined.height()), kCanvasOutline);
    // The canvas shows wherever no image lies over it, and under the half-transparent second image.
    QRegion bare = (exposed & canvas) - ToQRect(doc_.first_image_rect());
    if (!translation_mode()) bare -= ToQRect(doc_.second_image_rect());
    for (const QRect& part : bare) painter.fillRect(part, kCanvas);
}

void CWndModification::PaintMarkers(QPainter& painter) const
{
    const IntRect& first = doc_.first_image_rect();
    const IntRect& second = doc_.second_image_rect();
    for (int image = 0; image < 2; ++image) {
        const IntRect& rect = image == 0 ? first : second;
        for (int j = 0; j < 4; ++j) {
            const PointD& p = points_[image][static_cast<std::size_t>(j)];
            if (p.x == 0.0 || p.y == 0.0) continue;
            const PointI at{rect.left + Zoomed(p.x, zoom_), rect.top + Zoomed(p.y, zoom_)};
            PaintMarker(painter, at, j + 1, RectContains(first, at) ? first : second, j == selected_index());
        }
    }
}

void CWndModification::PaintMarker(QPainter& painter, PointI at, int number, const IntRect& containing,
                                   bool selected) const
{
    painter.setPen(QPen(selected ? kSelectedMarker : kOtherMarker, 1));
    painter.drawLine(at.x - kMarkerArm, at.y, at.x + kMarkerArm, at.y);
    painter.drawLine(at.x, at.y - kMarkerArm, at.x, at.y + kMarkerArm);
    const QRect label = ToQRect(MarkerLabelBox(at, containing, doc_.first_image_rect()));
    painter.fillRect(label, Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(InterfaceFont(7.0));
    painter.drawText(label, Qt::AlignCenter, QString::number(number));
}

void CWndModification::PaintLoupe(QPainter& painter) const
{
    const QRect window = ToQRect(loupe_.window);
    if (window.isEmpty()) return;
    painter.save();
    painter.setClipRect(window, Qt::IntersectClip);
    // Whole working pixels as blocks: the user aims at single pixels.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(ToQRect(loupe_.destination), originals_[edited_image_], ToQRect(loupe_.source));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(window.adjusted(0, 0, -1, -1));
    const IntRect& rect = edited_image_ == 0 ? doc_.first_image_rect() : doc_.second_image_rect();
    const PointI at{rect.left + static_cast<int>(placing_.x), rect.top + static_cast<int>(placing_.y)};
    PaintMarker(painter, at, selected_index() + 1, rect, true);
    painter.restore();
}

}  // namespace tp
