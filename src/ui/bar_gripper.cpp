#include "ui/bar_gripper.h"

#include <QDockWidget>
#include <QMouseEvent>
#include <QPainter>

namespace tp {

namespace {

const QColor kBackground(47, 47, 47);
const QColor kLight(128, 128, 128);
const QColor kShadow(0, 0, 0);
// Lighter than the ridges so the cross reads on the dark strip.
const QColor kCross(210, 210, 210);

constexpr int kRidgeWidth = 3;
constexpr int kRidgeCount = 3;
constexpr int kRidgeInset = 2;         // from the strip's side to the first ridge
constexpr int kRidgesAfterClose = 14;  // a vertical strip's ridges start this far below the button's top
constexpr int kRidgesBeforeClose = 3;  // a horizontal strip's ridges end this far before the button

// A rectangle outline lit from the top left.
void Draw3dRect(QPainter& painter, const QRect& r, const QColor& top_left, const QColor& bottom_right)
{
    painter.fillRect(r.left(), r.top(), r.width() - 1, 1, top_left);
    painter.fillRect(r.left(), r.top(), 1, r.height() - 1, top_left);
    painter.fillRect(r.right(), r.top(), 1, r.height(), bottom_right);
    painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottom_right);
}

}  // namespace

BarGripper::BarGripper(QDockWidget& bar) : QWidget(&bar), bar_(bar)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool BarGripper::vertical() const { return bar_.features().testFlag(QDockWidget::DockWidgetVerticalTitleBar); }

QRect BarGripper::CloseButtonRect() const
{
    // At the top of a vertical strip, at the right end of a horizontal one.
    if (vertical()) return {1, 1, kCloseButtonSize, kCloseButtonSize};
    return {width() - kCloseButtonSize - 1, 1, kCloseButtonSize, kCloseButtonSize};
}

void BarGripper::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);

    const QRect close = CloseButtonRect();
    for (int i = 0; i < kRidgeCount; ++i) {
        const int across = kRidgeInset + i * kRidgeWidth;
        QRect ridge;
        if (vertical()) {
            const int top = close.top() + kRidgesAfterClose;
            ridge = QRect(across, top, kRidgeWidth, height() - 2 - top);
        } else {
            ridge = QRect(kRidgeInset, across, close.left() - kRidgesBeforeClose - kRidgeInset, kRidgeWidth);
        }
        if (ridge.width() > 1 && ridge.height() > 1) Draw3dRect(painter, ridge, kLight, kShadow);
    }

    if (pressed_)
        Draw3dRect(painter, close, kShadow, kLight);
    else if (hot_)
        Draw3dRect(painter, close, kLight, kShadow);
    // The cross, two pixels inside the button: two diagonals of seven steps, each two pixels wide.
    constexpr int kCrossSteps = 7;
    const QPoint origin = close.topLeft() + QPoint(2, 2);
    for (int i = 0; i < kCrossSteps; ++i) {
        painter.fillRect(origin.x() + i, origin.y() + i, 2, 1, kCross);
        painter.fillRect(origin.x() + kCrossSteps - 1 - i, origin.y() + i, 2, 1, kCross);
    }
}

void BarGripper::SetCloseState(bool hot, bool pressed)
{
    if (hot == hot_ && pressed == pressed_) return;
    hot_ = hot;
    pressed_ = pressed;
    update(CloseButtonRect());
}

void BarGripper::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !CloseButtonRect().contains(event->position().toPoint())) {
        event->ignore();  // the dock widget starts its drag
        return;
    }
    tracking_ = true;
    SetCloseState(true, true);
}

void BarGripper::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (CloseButtonRect().contains(event->position().toPoint()))
        mousePressEvent(event);
    else
        event->ignore();  // the dock widget toggles docked and floating
}

void BarGripper::mouseMoveEvent(QMouseEvent* event)
{
    const bool over = CloseButtonRect().contains(event->position().toPoint());
    if (tracking_) {
        SetCloseState(over, over);
        return;
    }
    if (event->buttons() == Qt::NoButton) SetCloseState(over, false);
    event->ignore();
}

void BarGripper::mouseReleaseEvent(QMouseEvent* event)
{
    if (!tracking_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    tracking_ = false;
    const bool over = CloseButtonRect().contains(event->position().toPoint());
    SetCloseState(over, false);
    if (over) bar_.hide();
}

void BarGripper::leaveEvent(QEvent*)
{
    if (!tracking_) SetCloseState(false, false);
}

}  // namespace tp
