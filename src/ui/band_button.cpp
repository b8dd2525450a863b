#include "ui/band_button.h"

#include <QPainter>

namespace tp {

CXButton::CXButton(QPixmap released, QPixmap pressed)
    : released_(std::move(released)), pressed_(pressed.isNull() ? released_ : std::move(pressed))
{
}

QSize CXButton::picture_size() const { return pressed_.deviceIndependentSize().toSize(); }

QRect CXButton::bounds() const
{
    const QSize size = picture_size();
    return QRect(position_, QSize(size.width() + 6, size.height() + 6));
}

QRect CXButton::hit_area() const { return bounds().adjusted(1, 1, -1, -1); }

void CXButton::Draw(QPainter& painter, bool pressed) const
{
    const QColor light(117, 117, 117), dark(51, 51, 51);
    const QRect outline = bounds();
    painter.save();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline.adjusted(0, 0, -1, -1));
    const QRect edge = outline.adjusted(1, 1, -1, -1);
    const QColor top_left = pressed ? dark : light;
    const QColor bottom_right = pressed ? light : dark;
    painter.setPen(top_left);
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(bottom_right);
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());
    const QRect face = edge.adjusted(1, 1, -1, -1);
    painter.fillRect(face, pressed ? QColor(102, 102, 102) : QColor(65, 65, 65));
    painter.setClipRect(face);
    painter.drawPixmap(face.topLeft() + (pressed ? QPoint(2, 2) : QPoint(1, 1)), pressed ? pressed_ : released_);
    painter.restore();
}

}  // namespace tp
