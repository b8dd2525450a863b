// The hand cursors: white hands with a one-pixel black rim so that they show on any image. Shapes are laid
// on whole pixels and the fingers are three pixels wide, so the 32 x 32 pictures are crisp.
#include <QPainter>
#include <QPainterPath>

#include "ui/artwork.h"
#include "ui/artwork_painting.h"

namespace tp {

namespace {

constexpr int kCursorSize = 32;

struct HandShape {
    QPainterPath outline;     // the hand's silhouette
    QList<QRect> creases;     // black lines between fingers, whole pixels
    QPoint hot_spot;
};

QPainterPath Finger(const QRectF& rect) { return art::RoundedRect(rect, 2.0); }

// A thumb of `length` starting at `base` and leaning `degrees` to the left of straight up.
QPainterPath Thumb(QPointF base, qreal length, qreal degrees)
{
    return QTransform().translate(base.x(), base.y()).rotate(-degrees).map(
        Finger(QRectF(-2.0, -length, 4.0, length + 2.0)));
}

QPainterPath Union(std::initializer_list<QPainterPath> parts)
{
    QPainterPath all;
    for (const QPainterPath& part : parts) all = all.united(part);
    return all.simplified();
}

HandShape OpenHand()
{
    return {Union({Finger(QRectF(9, 6, 4, 14)), Finger(QRectF(13, 4, 4, 15)), Finger(QRectF(17, 5, 4, 15)),
                   Finger(QRectF(21, 8, 4, 12)), art::RoundedRect(QRectF(9, 14, 16, 14), 5.0),
                   Thumb(QPointF(11, 23), 9, 42)}),
            {QRect(12, 8, 1, 8), QRect(16, 7, 1, 9), QRect(20, 10, 1, 6)},
            QPoint(17, 20)};
}

HandShape ClosedHand()
{
    return {Union({Finger(QRectF(9, 10, 4, 7)), Finger(QRectF(13, 9, 4, 8)), Finger(QRectF(17, 9, 4, 8)),
                   Finger(QRectF(21, 10, 4, 7)), art::RoundedRect(QRectF(9, 13, 16, 13), 5.0),
                   Thumb(QPointF(10, 22), 6, 35)}),
            {QRect(12, 11, 1, 4), QRect(16, 10, 1, 5), QRect(20, 11, 1, 4)},
            QPoint(17, 19)};
}

HandShape PointingHand()
{
    return {Union({Finger(QRectF(12, 1, 4, 17)), Finger(QRectF(16, 11, 4, 8)), Finger(QRectF(20, 12, 4, 8)),
                   Finger(QRectF(24, 13, 3, 7)), art::RoundedRect(QRectF(10, 15, 17, 13), 5.0),
                   Thumb(QPointF(12, 24), 8, 45)}),
            {QRect(15, 12, 1, 5), QRect(19, 13, 1, 4), QRect(23, 14, 1, 4)},
            QPoint(13, 1)};
}

QCursor HandCursor(const HandShape& hand)
{
    const QPixmap picture = art::PaintPicture(QSize(kCursorSize, kCursorSize), 1.0, [&](QPainter& painter) {
        // The rim is the outer half of a two-pixel stroke; the white fill covers its inner half.
        painter.strokePath(hand.outline, QPen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(hand.outline, Qt::white);
        for (const QRect& crease : hand.creases) painter.fillRect(crease, Qt::black);
    });
    return QCursor(picture, hand.hot_spot.x(), hand.hot_spot.y());
}

}  // namespace

QCursor OpenHandCursor() { return HandCursor(OpenHand()); }
QCursor ClosedHandCursor() { return HandCursor(ClosedHand()); }
QCursor LinkCursor() { return HandCursor(PointingHand()); }

}  // namespace tp
