#include "ui/band_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/interface_font.h"

namespace tp {

BandView::BandView(const QString& label, QWidget* parent) : QWidget(parent), label_(label)
{
    setFixedHeight(kHeight);
    setMinimumWidth(0);
    setFont(InterfaceFont(10));
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int BandView::AddButton(Slot slot)
{
    slots_.push_back(std::move(slot));
    return static_cast<int>(slots_.size()) - 1;
}

void BandView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(47, 47, 47));
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(QRect(6, 0, 124, 28), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, label_);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const Slot& s = slots_[i];
        if (!Shown(s)) continue;
        const bool pressed = (static_cast<int>(i) == pressed_ && over_pressed_) || (s.held && s.held());
        s.button.Draw(painter, pressed);
    }
    PaintExtras(painter);
}

int BandView::SlotAt(QPoint point) const
{
    for (std::size_t i = 0; i < slots_.size(); ++i)
        if (Shown(slots_[i]) && slots_[i].button.hit_area().contains(point)) return static_cast<int>(i);
    return -1;
}

void BandView::mousePressEvent(QMouseEvent* event)
{
    const int index = event->button() == Qt::LeftButton ? SlotAt(event->position().toPoint()) : -1;
    if (index < 0 || (slots_[static_cast<std::size_t>(index)].can_press && !slots_[static_cast<std::size_t>(index)].can_press())) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = index;
    over_pressed_ = true;
    update();
}

void BandView::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ < 0) return;
    const bool over = slots_[static_cast<std::size_t>(pressed_)].button.hit_area().contains(event->position().toPoint());
    if (over != over_pressed_) {
        over_pressed_ = over;
        update();
    }
}

void BandView::mouseReleaseEvent(QMouseEvent* event)
{
    if (pressed_ < 0 || event->button() != Qt::LeftButton) return;
    const int index = pressed_;
    const bool act = slots_[static_cast<std::size_t>(index)].button.hit_area().contains(event->position().toPoint());
    pressed_ = -1;
    over_pressed_ = false;
    update();
    if (act && slots_[static_cast<std::size_t>(index)].action) slots_[static_cast<std::size_t>(index)].action();
}

bool BandView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = SlotAt(help->pos());
        if (index >= 0 && !slots_[static_cast<std::size_t>(index)].tooltip.isEmpty())
            QToolTip::showText(help->globalPos(), slots_[static_cast<std::size_t>(index)].tooltip, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

}  // namespace tp
