// What all the program's pictures share: a transparent canvas at a device pixel ratio, one palette, and the
// motif they are built from, a landscape seen through framed photos. Laying the landscape over a "world"
// rectangle and showing parts of it through several frames makes overlapping photos agree, as they do in a
// real panorama.
#pragma once

#include <functional>

#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>

class QPainter;

namespace tp::art {

// Interface colours.
inline constexpr QRgb kInk = 0xff34475c;         // outlines on light backgrounds
inline constexpr QRgb kPaper = 0xffffffff;       // photo borders, pages
inline constexpr QRgb kAccent = 0xff2f8be0;      // the product's blue
inline constexpr QRgb kAccentDark = 0xff1d5f9f;  // its shaded side
inline constexpr QRgb kBandGrey = 0xff2f2f2f;    // RGB(47,47,47), the bars' and views' background

// Colours of one rendering of the landscape.
struct Scenery {
    QColor sky_top;
    QColor sky_horizon;
    QColor sun;
    QColor far_hills;
    QColor near_hills;
    QColor ground;
    QColor haze = Qt::transparent;  // a distant range behind the mountains, for the large pictures
    QPointF sun_at{0.72, 0.27};     // the sun's centre, in world widths and heights
};
Scenery DaylightScenery();  // tool bar, highlighted steps, icon
Scenery MutedScenery();     // steps at rest on the dark bar: same picture, little colour
Scenery DuskScenery();      // splash and About pictures

// A transparent pixmap of `logical` size at `ratio`; `paint` draws antialiased in logical coordinates.
QPixmap PaintPicture(QSize logical, qreal ratio, const std::function<void(QPainter&)>& paint);

// The landscape laid out over `world` (sky, sun, mountains, hills, ground), painted only inside `window`.
// Features keep their shape for any width: a wider world shows more of the range instead of stretching it.
// The ground goes on below the world's bottom edge.
void PaintLandscape(QPainter& painter, const QRectF& world, const QPainterPath& window, const Scenery& scenery);

// A photo print: a border of `border` width around the part of the landscape (laid over `world`) that the
// frame shows, outlined when `outline` is not transparent.
struct PhotoStyle {
    QColor paper = QColor(kPaper);
    QColor outline = QColor(kInk);
    qreal border = 1.0;
    qreal radius = 1.0;
    qreal outline_width = 1.0;
};
void PaintPhoto(QPainter& painter, const QRectF& frame, const QRectF& world, const Scenery& scenery,
                const PhotoStyle& style);

// Fills `path` with a blend from `top` to `bottom` over its height.
void FillVertical(QPainter& painter, const QPainterPath& path, const QColor& top, const QColor& bottom);
// Paths of a closed polygon and of a rectangle.
QPainterPath PolygonPath(std::initializer_list<QPointF> points);
QPainterPath RectPath(const QRectF& rect);
// A rounded rectangle as a path.
QPainterPath RoundedRect(const QRectF& rect, qreal radius);
// A four-pointed sparkle centred at `centre` with arm length `size`.
QPainterPath Sparkle(QPointF centre, qreal size);
// An arrow from `tail` to `head`: a shaft `shaft_width` wide and a head `head_length` long, `head_width` wide.
QPainterPath Arrow(QPointF tail, QPointF head, qreal shaft_width, qreal head_length, qreal head_width);

}  // namespace tp::art
