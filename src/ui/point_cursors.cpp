// Black one-pixel lines with a white rim show on light and dark photos alike; the gap in the middle of the
// cross leaves the aimed-at pixel visible.
#include "ui/point_cursors.h"

#include <QPainter>

#include "ui/artwork_painting.h"
#include "ui/interface_font.h"

namespace tp {

namespace {

constexpr int kCursorSize = 32;
constexpr int kArm = 8;  // from the centre to the end of each arm
constexpr int kGap = 2;  // from the centre to where each arm starts

void PaintCross(QPainter& painter, QPoint c)
{
    // Each arm as a rectangle: the white rim first, then the black line inside it.
    const QRect arms[] = {QRect(c.x() - kArm, c.y(), kArm - kGap + 1, 1), QRect(c.x() + kGap, c.y(), kArm - kGap + 1, 1),
                          QRect(c.x(), c.y() - kArm, 1, kArm - kGap + 1), QRect(c.x(), c.y() + kGap, 1, kArm - kGap + 1)};
    for (const QRect& arm : arms) painter.fillRect(arm.adjusted(-1, -1, 1, 1), Qt::white);
    for (const QRect& arm : arms) painter.fillRect(arm, Qt::black);
}

}  // namespace

QPixmap PointCursorPicture(int number)
{
    return art::PaintPicture(QSize(kCursorSize, kCursorSize), 1.0, [number](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        PaintCross(painter, QPoint(kPointCursorHotSpot, kPointCursorHotSpot));
        // The number in a small label below and right of the cross.
        const QRect label(14, 14, 11, 13);
        painter.fillRect(label, Qt::white);
        painter.setPen(Qt::black);
        painter.drawRect(label.adjusted(0, 0, -1, -1));
        QFont font = InterfaceFont(8.0);
        font.setBold(true);
        painter.setFont(font);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.drawText(label, Qt::AlignCenter, QString::number(number));
    });
}

QCursor PointCursor(int number)
{
    return QCursor(PointCursorPicture(number), kPointCursorHotSpot, kPointCursorHotSpot);
}

}  // namespace tp
