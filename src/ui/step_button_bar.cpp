#include "ui/step_button_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "project/main_doc.h"
#include "ui/artwork.h"
#include "ui/command_ids.h"
#include "ui/frame_services.h"
#include "ui/ui_strings.h"

namespace tp {

namespace {

const QColor kBackground(47, 47, 47);
constexpr int kSpacing = 10;
constexpr const char* kCaptions[StepButtonBar::kStepCount] = {"Load", "Stitch", "Finalize", "Crop", "Export", "Print"};

int CommandOf(int index) { return kCmdLoad + index; }

}  // namespace

StepButtonLayout LayoutStepButtons(QSize client, QSize button, int count)
{
    StepButtonLayout layout;
    layout.horizontal = client.height() < client.width();
    int along = kSpacing;
    for (int i = 0; i < count; ++i) {
        if (layout.horizontal) {
            layout.bounds.emplace_back(QPoint(along, (client.height() - button.height()) / 2), button);
            along += button.width() + kSpacing;
        } else {
            layout.bounds.emplace_back(QPoint((client.width() - button.width()) / 2, along), button);
            along += button.height() + kSpacing;
        }
    }
    layout.extent = layout.horizontal ? QSize(along, 0) : QSize(0, along);
    return layout;
}

StepButtonBar::StepButtonBar(FrameServices& services, QWidget* parent) : ScrollPanel(parent), services_(services)
{
    const qreal ratio = qApp->devicePixelRatio();
    for (int i = 0; i < kStepCount; ++i)
        buttons_.emplace_back(StepPicture(i + 1, false, ratio), StepPicture(i + 1, true, ratio),
                              QString::fromUtf8(kCaptions[i]), kBackground);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    Relayout();
}

void StepButtonBar::Relayout()
{
    if (relayout_running_) return;  // a scroll bar shown or hidden resizes the viewport under us
    relayout_running_ = true;
    const QSize button = CXIconButton::BoundsSizeFor(QSize(kStepPictureSize, kStepPictureSize));
    // Orientation and scroll bar are decided on the whole panel, so that a scroll bar cannot flip them.
    const QSize whole = WholeClientSize();
    const StepButtonLayout trial = LayoutStepButtons(whole, button, kStepCount);
    const bool needed = trial.horizontal ? ScrollRange(trial.extent.width(), whole.width(), kScrollUnitX) > 0
                                         : ScrollRange(trial.extent.height(), whole.height(), kScrollUnitY) > 0;
    ShowScrollBarAlong(trial.horizontal ? Qt::Horizontal : Qt::Vertical, needed);
    layout_ = LayoutStepButtons(viewport()->size(), button, kStepCount);
    layout_.horizontal = trial.horizontal;
    for (int i = 0; i < kStepCount; ++i) buttons_[i].MoveBoundsTo(layout_.bounds[static_cast<std::size_t>(i)].topLeft());
    SetContentExtent(layout_.extent);
    viewport()->update();
    relayout_running_ = false;
}

bool StepButtonBar::viewportEvent(QEvent* event)
{
    const bool handled = ScrollPanel::viewportEvent(event);
    switch (event->type()) {
    case QEvent::Resize: Relayout(); break;
    case QEvent::Leave:
        pointer_inside_ = false;
        if (!busy_) SetHot(-1);
        break;
    default: break;
    }
    return handled;
}

QRect StepButtonBar::ButtonBounds(int step) const
{
    if (step < 1 || step > kStepCount) return {};
    return buttons_[static_cast<std::size_t>(step - 1)].bounds();
}

bool StepButtonBar::Available(int index) const { return services_.document().CommandAllowed(CommandOf(index)); }

CXIconButton::State StepButtonBar::ButtonState(int step) const
{
    const int index = step - 1;
    if (index < 0 || index >= kStepCount || !Available(index)) return CXIconButton::State::Normal;
    if (index == hot_ && index == pressed_ && tracking_) return CXIconButton::State::Pressed;
    if (index == hot_) return CXIconButton::State::Hot;
    return CXIconButton::State::Normal;
}

int StepButtonBar::ButtonAt(QPoint viewport_position) const
{
    const QPoint content = ToContent(viewport_position);
    for (int i = 0; i < kStepCount; ++i)
        if (buttons_[static_cast<std::size_t>(i)].Contains(content)) return i;
    return -1;
}

void StepButtonBar::PaintContent(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, kBackground);
    for (int i = 0; i < kStepCount; ++i) {
        const CXIconButton& button = buttons_[static_cast<std::size_t>(i)];
        if (button.bounds().intersects(exposed)) button.Paint(painter, ButtonState(i + 1));
    }
}

void StepButtonBar::SetHot(int index)
{
    if (index == hot_) return;
    hot_ = index;
    viewport()->update();
    services_.ShowStatusMessage(index >= 0 ? CommandStatusText(CommandOf(index)) : UiText(ui_strings::kReady));
}

void StepButtonBar::mouseMoveEvent(QMouseEvent* event)
{
    NotePointer(event->position().toPoint());
    if (busy_) return;
    SetHot(ButtonAt(pointer_));
}

void StepButtonBar::mousePressEvent(QMouseEvent* event)
{
    if (busy_ || event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    NotePointer(event->position().toPoint());
    const int index = ButtonAt(pointer_);
    if (index < 0 || !Available(index)) return;
    hot_ = index;
    pressed_ = index;
    tracking_ = true;
    viewport()->update();
}

void StepButtonBar::mouseReleaseEvent(QMouseEvent* event)
{
    NotePointer(event->position().toPoint());
    if (!tracking_ || event->button() != Qt::LeftButton) return;
    tracking_ = false;
    viewport()->update();
    if (pressed_ < 0 || ButtonAt(event->position().toPoint()) != pressed_) return;
    busy_ = true;
    services_.RunProcessingCommand(CommandOf(pressed_));
    Reset();
}

void StepButtonBar::NotePointer(QPoint viewport_position)
{
    pointer_ = viewport_position;
    // A release can come from anywhere while the button was held.
    pointer_inside_ = viewport()->rect().contains(viewport_position);
}

void StepButtonBar::Reset()
{
    busy_ = false;
    pressed_ = -1;
    hot_ = pointer_inside_ ? ButtonAt(pointer_) : -1;
    viewport()->update();
}

}  // namespace tp
