// The canvas, the landscape and the photo frames shared by every picture.
#include "ui/artwork_painting.h"

#include <cmath>
#include <numbers>

#include <QLineF>
#include <QLinearGradient>
#include <QPainter>

namespace tp::art {

namespace {

// A triangle wave with peaks at the half-integers: sharp mountain ridges.
qreal Ridge(qreal t)
{
    const qreal fraction = t - std::floor(t);
    return 1.0 - std::abs(2.0 * fraction - 1.0);
}

qreal Wave(qreal t) { return std::sin(2.0 * std::numbers::pi * t); }

// The area under a profile y = profile(u), where u and y are in world heights from the world's top left.
QPainterPath AreaBelow(const QRectF& world, qreal floor, const std::function<qreal(qreal)>& profile)
{
    constexpr int kSteps = 120;
    QPainterPath path;
    for (int i = 0; i <= kSteps; ++i) {
        const qreal x = world.left() + world.width() * i / kSteps;
        const QPointF point(x, world.top() + world.height() * profile((x - world.left()) / world.height()));
        if (i == 0) path.moveTo(point);
        else path.lineTo(point);
    }
    path.lineTo(world.right(), floor);
    path.lineTo(world.left(), floor);
    path.closeSubpath();
    return path;
}

// Fills `shape` inside `window` with a top-to-bottom blend from `top` to `bottom` over `span`.
void FillBlended(QPainter& painter, const QPainterPath& shape, const QPainterPath& window, const QRectF& span,
                 const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(span.topLeft(), span.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    painter.fillPath(shape.intersected(window), gradient);
}

}  // namespace

Scenery DaylightScenery()
{
    return {QColor(0x3d, 0x8f, 0xe0), QColor(0xc4, 0xe4, 0xfa), QColor(0xff, 0xc8, 0x3d),
            QColor(0x7b, 0x9c, 0xc4), QColor(0x4f, 0xa8, 0x5a), QColor(0x2f, 0x7d, 0x45)};
}

Scenery MutedScenery()
{
    return {QColor(0x6e, 0x7c, 0x8c), QColor(0xa9, 0xb4, 0xbf), QColor(0xd9, 0xd2, 0xb8),
            QColor(0x86, 0x91, 0x9e), QColor(0x6f, 0x82, 0x75), QColor(0x55, 0x66, 0x5b)};
}

Scenery DuskScenery()
{
    return {QColor(0x1b, 0x2f, 0x5e), QColor(0xf4, 0xa2, 0x6b), QColor(0xff, 0xe2, 0x9a),
            QColor(0x5a, 0x4f, 0x7d), QColor(0x2d, 0x3b, 0x63), QColor(0x17, 0x22, 0x3d),
            QColor(0x8c, 0x6c, 0x86), QPointF(0.66, 0.42)};
}

QPixmap PaintPicture(QSize logical, qreal ratio, const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                           QPainter::TextAntialiasing);
    paint(painter);
    return pixmap;
}

void PaintLandscape(QPainter& painter, const QRectF& world, const QPainterPath& window, const Scenery& scenery)
{
    const qreal floor = std::max(world.bottom(), window.boundingRect().bottom()) + 1;
    const QPainterPath clip =
        window.intersected(RectPath(QRectF(world.left(), world.top(), world.width(), floor - world.top())));
    const qreal h = world.height();
    FillBlended(painter, clip, clip, QRectF(world.left(), world.top(), world.width(), h * 0.62),
                scenery.sky_top, scenery.sky_horizon);

    QPainterPath sun;
    sun.addEllipse(QPointF(world.left() + world.width() * scenery.sun_at.x(), world.top() + h * scenery.sun_at.y()),
                   h * 0.09, h * 0.09);
    painter.fillPath(sun.intersected(clip), scenery.sun);

    if (scenery.haze.alpha() > 0) {
        const QPainterPath range = AreaBelow(world, floor, [](qreal u) {
            return 0.52 - 0.08 * Ridge(u * 1.7 + 0.35) - 0.04 * Ridge(u * 4.1 + 0.1);
        });
        painter.fillPath(range.intersected(clip), scenery.haze);
    }

    const QPainterPath mountains = AreaBelow(world, floor, [](qreal u) {
        return 0.60 - 0.20 * Ridge(u * 0.9 + 0.15) - 0.07 * Ridge(u * 2.3 + 0.6);
    });
    FillBlended(painter, mountains, clip, QRectF(world.left(), world.top() + h * 0.3, world.width(), h * 0.35),
                scenery.far_hills.lighter(112), scenery.far_hills);

    const QPainterPath hills = AreaBelow(world, floor, [](qreal u) {
        return 0.70 - 0.06 * Wave(u * 0.55 + 0.1) - 0.025 * Wave(u * 1.4 + 0.4);
    });
    FillBlended(painter, hills, clip, QRectF(world.left(), world.top() + h * 0.6, world.width(), h * 0.3),
                scenery.near_hills.lighter(110), scenery.near_hills.darker(108));

    const QPainterPath ground = AreaBelow(world, floor, [](qreal u) { return 0.86 - 0.035 * Wave(u * 0.4 + 0.3); });
    painter.fillPath(ground.intersected(clip), scenery.ground);
}

void PaintPhoto(QPainter& painter, const QRectF& frame, const QRectF& world, const Scenery& scenery,
                const PhotoStyle& style)
{
    const QPainterPath outer = RoundedRect(frame, style.radius);
    painter.fillPath(outer, style.paper);
    const QRectF inner = frame.adjusted(style.border, style.border, -style.border, -style.border);
    PaintLandscape(painter, world, RoundedRect(inner, std::max<qreal>(0.0, style.radius - style.border)), scenery);
    if (style.outline.alpha() > 0 && style.outline_width > 0) {
        painter.strokePath(outer, QPen(style.outline, style.outline_width));
    }
}

void FillVertical(QPainter& painter, const QPainterPath& path, const QColor& top, const QColor& bottom)
{
    const QRectF box = path.boundingRect();
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    painter.fillPath(path, gradient);
}

QPainterPath PolygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath RectPath(const QRectF& rect)
{
    QPainterPath path;
    path.addRect(rect);
    return path;
}

QPainterPath RoundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    if (radius > 0) path.addRoundedRect(rect, radius, radius);
    else path.addRect(rect);
    return path;
}

QPainterPath Sparkle(QPointF centre, qreal size)
{
    const qreal waist = size * 0.28;
    QPainterPath path(centre + QPointF(0, -size));
    path.quadTo(centre + QPointF(waist * 0.35, -waist * 0.35), centre + QPointF(size, 0));
    path.quadTo(centre + QPointF(waist * 0.35, waist * 0.35), centre + QPointF(0, size));
    path.quadTo(centre + QPointF(-waist * 0.35, waist * 0.35), centre + QPointF(-size, 0));
    path.quadTo(centre + QPointF(-waist * 0.35, -waist * 0.35), centre + QPointF(0, -size));
    path.closeSubpath();
    return path;
}

QPainterPath Arrow(QPointF tail, QPointF head, qreal shaft_width, qreal head_length, qreal head_width)
{
    const QLineF line(tail, head);
    const qreal length = line.length();
    // Built pointing right along +x from the origin, then turned and moved into place.
    QPainterPath path;
    const qreal neck = std::max<qreal>(0.0, length - head_length);
    path.moveTo(0, -shaft_width / 2);
    path.lineTo(neck, -shaft_width / 2);
    path.lineTo(neck, -head_width / 2);
    path.lineTo(length, 0);
    path.lineTo(neck, head_width / 2);
    path.lineTo(neck, shaft_width / 2);
    path.lineTo(0, shaft_width / 2);
    path.closeSubpath();
    QTransform placement;
    placement.translate(tail.x(), tail.y());
    placement.rotate(-line.angle());
    return placement.map(path);
}

}  // namespace tp::art
