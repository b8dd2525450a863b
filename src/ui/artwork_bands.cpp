// The modification mode's band buttons: chevrons to walk the frames, the point numbers, a check for "save
// changes and preview" and a cross for leaving.
#include <QPainter>
#include <QPainterPath>

#include "ui/artwork.h"
#include "ui/artwork_painting.h"

namespace tp {

namespace {

void Chevrons(QPainter& p, bool left)
{
    for (const qreal x0 : {5.0, 11.0}) {
        QPainterPath path;
        const qreal tip = left ? x0 : x0 + 5.0;
        const qreal back = left ? x0 + 5.0 : x0;
        path.moveTo(back, 3.5);
        path.lineTo(tip, 8.0);
        path.lineTo(back, 12.5);
        p.drawPath(path);
    }
}

void Digit(QPainter& p, int digit, const QColor& colour)
{
    p.drawEllipse(QRectF(3.5, 0.5, 13, 13));
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(3.5, 0.5, 13, 13), Qt::AlignCenter, QString::number(digit));
}

}  // namespace

QPixmap BandButtonPicture(BandButton button, bool pressed, qreal ratio)
{
    const QColor ink = pressed ? QColor(255, 255, 255) : QColor(205, 205, 205);
    const QColor accent = pressed ? QColor(120, 190, 255) : QColor(art::kAccent);
    return art::PaintPicture(QSize(kBandPictureWidth, kBandPictureHeight), ratio, [&](QPainter& p) {
        QPen pen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        switch (button) {
            case BandButton::PreviousFrames: Chevrons(p, true); break;
            case BandButton::NextFrames: Chevrons(p, false); break;
            case BandButton::Point1:
            case BandButton::Point2:
            case BandButton::Point3:
            case BandButton::Point4: {
                const int digit = static_cast<int>(button) - static_cast<int>(BandButton::Point1) + 1;
                p.setPen(QPen(pressed ? QColor(255, 80, 80) : ink, 1.2));
                Digit(p, digit, pressed ? QColor(255, 80, 80) : ink);
                break;
            }
            case BandButton::SaveAndPreview: {
                p.setPen(QPen(accent, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                QPainterPath check;
                check.moveTo(4.5, 8.5);
                check.lineTo(8.5, 12.5);
                check.lineTo(15.5, 3.5);
                p.drawPath(check);
                break;
            }
            case BandButton::EndModification:
                p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(5.5, 3.5), QPointF(14.5, 12.5));
                p.drawLine(QPointF(14.5, 3.5), QPointF(5.5, 12.5));
                break;
        }
    });
}

}  // namespace tp
