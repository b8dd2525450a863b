// The six step pictures of the "Main Menu" bar, for its dark background. The normal picture is a quiet,
// nearly grey version; the highlighted one (hot and pressed) has full colour and the accent.
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "ui/artwork.h"
#include "ui/artwork_painting.h"

namespace tp {

namespace {

using namespace art;

struct StepStyle {
    Scenery scenery;
    QColor paper;      // photo borders and pages
    QColor edge;       // thin separation between overlapping shapes
    QColor accent;     // arrows, stitches, crop marks, sparkles
    QColor accent_edge;
    QColor metal_top;  // the tray and the printer
    QColor metal_bottom;
    bool glow;
};

StepStyle NormalStyle()
{
    return {MutedScenery(),          QColor(0xc3, 0xc8, 0xcf), QColor(0x1c, 0x1f, 0x23, 200),
            QColor(0xa4, 0xae, 0xb9), QColor(0x23, 0x27, 0x2c),  QColor(0x8e, 0x96, 0x9f),
            QColor(0x5f, 0x66, 0x6e), false};
}

StepStyle HighlightedStyle()
{
    return {DaylightScenery(),       QColor(kPaper),            QColor(0x10, 0x18, 0x22, 220),
            QColor(0x4d, 0xb2, 0xff), QColor(0x0f, 0x3f, 0x70),  QColor(0xee, 0xf1, 0xf4),
            QColor(0xa6, 0xb2, 0xbe), true};
}

PhotoStyle Photo(const StepStyle& style)
{
    return {.paper = style.paper, .outline = style.edge, .border = 2.5, .radius = 1.5, .outline_width = 1.0};
}

void PaintAccent(QPainter& painter, const QPainterPath& shape, const StepStyle& style)
{
    painter.strokePath(shape, QPen(style.accent_edge, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    FillVertical(painter, shape, style.accent.lighter(112), style.accent.darker(112));
}

// A photo turned by `degrees` about its centre.
void PaintTurnedPhoto(QPainter& painter, QPointF centre, QSizeF size, qreal degrees, const QRectF& world,
                      const StepStyle& style)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(degrees);
    const QRectF frame(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    PaintPhoto(painter, frame, world.translated(-centre), style.scenery, Photo(style));
    painter.restore();
}

void PaintLoad(QPainter& painter, const StepStyle& style)
{
    const QRectF world(0, 8, 70, 30);
    const QPainterPath inside = RoundedRect(QRectF(11, 36, 42, 8), 2);
    painter.fillPath(inside, style.metal_bottom.darker(150));
    PaintTurnedPhoto(painter, QPointF(25, 30), QSizeF(28, 21), -11, world, style);
    PaintTurnedPhoto(painter, QPointF(39, 29), QSizeF(28, 21), 8, world.translated(-8, 2), style);

    QPainterPath front;
    front.moveTo(7, 40);
    front.lineTo(57, 40);
    front.lineTo(53, 58);
    front.lineTo(11, 58);
    front.closeSubpath();
    FillVertical(painter, front, style.metal_top, style.metal_bottom);
    painter.strokePath(front, QPen(style.edge, 1.0));
    painter.fillPath(RoundedRect(QRectF(24, 46, 16, 3), 1.5), style.metal_bottom.darker(130));

    PaintAccent(painter, Arrow(QPointF(51, 2), QPointF(51, 22), 5, 8, 13), style);
}

void PaintStitch(QPainter& painter, const StepStyle& style)
{
    const QRectF world(0, 13, 64, 40);
    const QRectF left(3, 9, 34, 30);
    const QRectF right(25, 19, 36, 30);
    PaintPhoto(painter, left, world, style.scenery, Photo(style));
    PaintPhoto(painter, right, world, style.scenery, Photo(style));
    // A stitched seam where the two photos meet: the thread along the edge, crossed by stitches.
    const qreal seam = right.left() + 1.25;
    QPainterPath thread;
    thread.moveTo(seam, right.top() + 1.5);
    thread.lineTo(seam, left.bottom() - 0.5);
    QPainterPath stitches;
    for (const qreal y : {24.0, 30.5, 37.0}) {
        stitches.moveTo(seam - 4.0, y + 2.0);
        stitches.lineTo(seam + 4.0, y - 2.0);
    }
    const QPen edge(style.accent_edge, 3.4, Qt::SolidLine, Qt::RoundCap);
    painter.strokePath(thread, edge);
    painter.strokePath(stitches, edge);
    painter.strokePath(thread, QPen(style.accent, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.strokePath(stitches, QPen(style.accent, 1.8, Qt::SolidLine, Qt::RoundCap));
}

void PaintFinalize(QPainter& painter, const StepStyle& style)
{
    const QRectF strip(3, 22, 58, 26);
    PaintPhoto(painter, strip, strip.adjusted(2, 2, -2, -2), style.scenery, Photo(style));
    const QColor star = style.glow ? QColor(0xff, 0xf1, 0xb8) : style.accent;
    const auto sparkle = [&](QPointF centre, qreal size) {
        const QPainterPath shape = Sparkle(centre, size);
        painter.strokePath(shape, QPen(style.accent_edge, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(shape, star);
    };
    sparkle(QPointF(46, 13), 10);
    sparkle(QPointF(58, 25), 5);
    sparkle(QPointF(33, 8), 4.5);
}

void PaintCrop(QPainter& painter, const StepStyle& style)
{
    const QRectF world(0, 14, 64, 36);
    const QPainterPath left = [] {
        QPainterPath path;
        path.addRect(QRectF(-15, -11, 30, 22));
        return QTransform().translate(20, 33).rotate(-6).map(path);
    }();
    const QPainterPath right = [] {
        QPainterPath path;
        path.addRect(QRectF(-15, -11, 30, 22));
        return QTransform().translate(44, 31).rotate(5).map(path);
    }();
    const QPainterPath stitched = left.united(right);
    painter.setOpacity(0.45);
    PaintLandscape(painter, world, stitched, style.scenery);
    painter.setOpacity(1.0);
    const QRectF kept(12, 24, 40, 18);
    QPainterPath kept_path;
    kept_path.addRect(kept);
    PaintLandscape(painter, world, kept_path, style.scenery);
    painter.strokePath(kept_path, QPen(style.paper, 1.0));

    const QRectF marks = kept.adjusted(-3, -3, 3, 3);
    constexpr qreal kArm = 9;
    QPainterPath brackets;
    brackets.addPolygon(QPolygonF({{marks.left(), marks.top() + kArm}, marks.topLeft(),
                                   {marks.left() + kArm, marks.top()}}));
    brackets.addPolygon(QPolygonF({{marks.right() - kArm, marks.top()}, marks.topRight(),
                                   {marks.right(), marks.top() + kArm}}));
    brackets.addPolygon(QPolygonF({{marks.left(), marks.bottom() - kArm}, marks.bottomLeft(),
                                   {marks.left() + kArm, marks.bottom()}}));
    brackets.addPolygon(QPolygonF({{marks.right() - kArm, marks.bottom()}, marks.bottomRight(),
                                   {marks.right(), marks.bottom() - kArm}}));
    painter.strokePath(brackets, QPen(style.accent_edge, 5.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.strokePath(brackets, QPen(style.accent, 3.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
}

void PaintExport(QPainter& painter, const StepStyle& style)
{
    constexpr qreal kFold = 10;
    const QRectF page(24, 5, 34, 54);
    QPainterPath sheet;
    sheet.addPolygon(QPolygonF({page.topLeft(), {page.right() - kFold, page.top()},
                                {page.right(), page.top() + kFold}, page.bottomRight(), page.bottomLeft()}));
    sheet.closeSubpath();
    painter.fillPath(sheet, style.paper);
    painter.strokePath(sheet, QPen(style.edge, 1.0));
    QPainterPath ear;
    ear.addPolygon(QPolygonF({{page.right() - kFold, page.top()}, {page.right() - kFold, page.top() + kFold},
                              {page.right(), page.top() + kFold}}));
    ear.closeSubpath();
    painter.fillPath(ear, style.paper.darker(125));
    const QRectF picture(29, 17, 24, 17);
    QPainterPath window;
    window.addRect(picture);
    PaintLandscape(painter, picture, window, style.scenery);
    painter.setPen(QPen(style.paper.darker(140), 2.0, Qt::SolidLine, Qt::RoundCap));
    for (const qreal y : {40.0, 45.0, 50.0}) painter.drawLine(QPointF(30, y), QPointF(52, y));

    PaintAccent(painter, Arrow(QPointF(4, 45), QPointF(38, 45), 8, 12, 20), style);
}

void PaintPrintStep(QPainter& painter, const StepStyle& style)
{
    const QRectF blank(17, 5, 30, 18);
    painter.fillRect(blank, style.paper);
    painter.setPen(QPen(style.edge, 1.0));
    painter.drawRect(blank);

    const QPainterPath body = RoundedRect(QRectF(5, 20, 54, 25), 5);
    FillVertical(painter, body, style.metal_top, style.metal_bottom);
    painter.strokePath(body, QPen(style.edge, 1.0));
    painter.fillPath(RoundedRect(QRectF(13, 37, 38, 4), 2), style.metal_bottom.darker(220));
    QPainterPath light;
    light.addEllipse(QPointF(51, 27), 2.2, 2.2);
    painter.fillPath(light, style.accent);

    const QRectF print(16, 39, 32, 21);
    PaintPhoto(painter, print, print.adjusted(2, 2, -2, -2), style.scenery, Photo(style));
}

void PaintGlow(QPainter& painter, const StepStyle& style)
{
    QRadialGradient glow(QPointF(kStepPictureSize / 2.0, kStepPictureSize / 2.0), kStepPictureSize / 2.0);
    QColor centre = style.accent;
    centre.setAlpha(70);
    QColor rim = style.accent;
    rim.setAlpha(0);
    glow.setColorAt(0.0, centre);
    glow.setColorAt(1.0, rim);
    painter.fillRect(QRectF(0, 0, kStepPictureSize, kStepPictureSize), glow);
}

}  // namespace

QPixmap StepPicture(int step, bool highlighted, qreal device_pixel_ratio)
{
    using StepPainter = void (*)(QPainter&, const StepStyle&);
    constexpr StepPainter kPainters[] = {PaintLoad, PaintStitch, PaintFinalize, PaintCrop, PaintExport,
                                         PaintPrintStep};
    if (step < 1 || step > 6) return {};
    const StepStyle style = highlighted ? HighlightedStyle() : NormalStyle();
    return PaintPicture(QSize(kStepPictureSize, kStepPictureSize), device_pixel_ratio, [&](QPainter& painter) {
        if (style.glow) PaintGlow(painter, style);
        kPainters[step - 1](painter, style);
    });
}

}  // namespace tp
