// The product's own pictures: splash window, About picture and application icon. All three show the same
// scene, photos joined over a landscape at dusk.
#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include "ui/artwork.h"
#include "ui/artwork_painting.h"

namespace tp {

namespace {

using namespace art;

constexpr char kProductName[] = "Tarnel Plexaro";
constexpr char kSubtitle[] = "Panorama stitching";
constexpr char kVersion[] = "1.0.0";

QFont BrandFont(int pixel_size, QFont::Weight weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixel_size);
    font.setWeight(weight);
    return font;
}

// A few stars in the upper sky, always in the same places.
void PaintStars(QPainter& painter, const QRectF& sky)
{
    constexpr QPointF kStars[] = {{0.06, 0.10}, {0.14, 0.32}, {0.23, 0.07}, {0.31, 0.22}, {0.42, 0.05},
                                  {0.49, 0.28}, {0.58, 0.12}, {0.66, 0.04}, {0.81, 0.09}, {0.88, 0.30},
                                  {0.95, 0.15}, {0.37, 0.40}, {0.03, 0.45}, {0.75, 0.36}};
    int index = 0;
    for (const QPointF& star : kStars) {
        const qreal radius = (index++ % 3 == 0) ? 1.1 : 0.7;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 120 + 40 * (index % 3)));
        painter.drawEllipse(QPointF(sky.left() + star.x() * sky.width(), sky.top() + star.y() * sky.height()),
                            radius, radius);
    }
}

// The landscape at dusk filling `backdrop`, darkened, with three photos of it laid over the middle part, as
// if the stitched panorama were the lit part of the view. The photos fill `photos_band`.
void PaintPanoramaScene(QPainter& painter, const QPainterPath& backdrop, const QRectF& photos_band)
{
    const QRectF area = backdrop.boundingRect();
    // Raised so that the mountains fill the photos and the dark ground is left for text.
    const QRectF world(area.left() - area.width() * 0.05, area.top() - area.height() * 0.12, area.width() * 1.1,
                       area.height());
    PaintLandscape(painter, world, backdrop, DuskScenery());
    PaintStars(painter, QRectF(area.left(), area.top(), area.width(), area.height() * 0.4));
    painter.fillPath(backdrop, QColor(8, 12, 28, 120));

    const qreal height = photos_band.height();
    const qreal width = std::min(height * 1.4, photos_band.width() * 0.4);
    const qreal border = std::max<qreal>(2.0, height / 40.0);
    struct Placement {
        qreal centre;  // across the band, 0..1
        qreal lift;    // up or down, in band heights
        qreal degrees;
    };
    constexpr Placement kPhotos[] = {{0.20, 0.03, -4.0}, {0.50, -0.04, 1.5}, {0.80, 0.02, 5.0}};
    for (const Placement& spot : kPhotos) {
        const QPointF centre(photos_band.left() + photos_band.width() * spot.centre,
                             photos_band.center().y() + spot.lift * height);
        const QTransform placement = QTransform().translate(centre.x(), centre.y()).rotate(spot.degrees);
        const QRectF frame(-width / 2, -height / 2, width, height);
        painter.fillPath(placement.map(RoundedRect(frame.translated(border, border * 1.5), border)),
                         QColor(0, 0, 0, 90));
        painter.fillPath(placement.map(RoundedRect(frame, border * 0.6)), QColor(kPaper));
        // Each photo shows the undarkened scene behind it, so the three agree where they overlap.
        PaintLandscape(painter, world,
                       placement.map(RoundedRect(frame.adjusted(border, border, -border, -border), 0)),
                       DuskScenery());
    }
}

}  // namespace

QPixmap SplashPicture(qreal device_pixel_ratio)
{
    return PaintPicture(QSize(kSplashWidth, kSplashHeight), device_pixel_ratio, [](QPainter& painter) {
        const QRectF area(0, 0, kSplashWidth, kSplashHeight);
        PaintPanoramaScene(painter, RectPath(area), QRectF(36, 36, 408, 112));

        QLinearGradient shade(QPointF(0, 170), QPointF(0, kSplashHeight));
        shade.setColorAt(0.0, QColor(10, 16, 32, 0));
        shade.setColorAt(0.45, QColor(10, 16, 32, 200));
        shade.setColorAt(1.0, QColor(10, 16, 32, 245));
        painter.fillRect(area, shade);

        painter.setPen(Qt::white);
        painter.setFont(BrandFont(40, QFont::Bold));
        painter.drawText(QPointF(30, 246), QString::fromLatin1(kProductName));
        painter.setPen(QColor(0xc6, 0xd4, 0xe8));
        painter.setFont(BrandFont(17, QFont::Normal));
        painter.drawText(QPointF(32, 274), QString::fromLatin1(kSubtitle));
        painter.setPen(QColor(0x8f, 0xa3, 0xbf));
        painter.setFont(BrandFont(13, QFont::Normal));
        painter.drawText(QRectF(0, 0, kSplashWidth - 24, 276), Qt::AlignRight | Qt::AlignBottom,
                         QString::fromLatin1(kVersion));
    });
}

QPixmap AboutPicture(qreal device_pixel_ratio)
{
    return PaintPicture(QSize(kAboutPictureWidth, kAboutPictureHeight), device_pixel_ratio, [](QPainter& painter) {
        const QRectF banner(10, 10, kAboutPictureWidth - 20, 150);
        PaintPanoramaScene(painter, RoundedRect(banner, 8), QRectF(50, 28, 405, 110));

        painter.setPen(QColor(kInk));
        painter.setFont(BrandFont(28, QFont::Bold));
        painter.drawText(QPointF(12, 196), QString::fromLatin1(kProductName));
        painter.setPen(QColor(0x6a, 0x7b, 0x8e));
        painter.setFont(BrandFont(14, QFont::Normal));
        painter.drawText(QPointF(13, 220), QString::fromLatin1(kSubtitle));
        painter.drawText(QRectF(0, 0, kAboutPictureWidth - 12, 220), Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("Version %1").arg(QString::fromLatin1(kVersion)));
    });
}

// The icon: a wide photo strip on the product's blue tile. From 32 pixels up the strip bends like a
// cylindrical panorama and shows where its photos were joined; below that it stays straight and on whole
// pixels so that it is sharp.
QPixmap ApplicationIconPicture(int size)
{
    return PaintPicture(QSize(size, size), 1.0, [size](QPainter& painter) {
        const qreal s = size;
        const bool small = size < 32;
        const QPainterPath tile = RoundedRect(QRectF(0, 0, s, s).adjusted(s / 32, s / 32, -s / 32, -s / 32), s * 0.2);
        FillVertical(painter, tile, QColor(0x2a, 0x7c, 0xcc), QColor(0x11, 0x36, 0x66));

        const qreal border = small ? 1.0 : std::max<qreal>(1.5, s / 26);
        const qreal bend = small ? 0.0 : s * 0.07;
        const qreal inset = std::round(s * 0.09);
        const QRectF strip = small ? QRectF(inset, std::round(s * 0.29), s - 2 * inset, std::round(s * 0.42))
                                   : QRectF(s * 0.08, s * 0.25, s * 0.84, s * 0.44);
        // A band whose top and bottom sag by `bend` in the middle.
        const auto band = [bend](const QRectF& r) {
            QPainterPath path(r.topLeft());
            path.quadTo(QPointF(r.center().x(), r.top() + 2 * bend), r.topRight());
            path.lineTo(r.bottomRight());
            path.quadTo(QPointF(r.center().x(), r.bottom() + 2 * bend), r.bottomLeft());
            path.closeSubpath();
            return path;
        };
        if (!small) painter.fillPath(band(strip.translated(0, s * 0.02)), QColor(0, 0, 0, 45));
        painter.fillPath(band(strip), QColor(kPaper));
        const QRectF picture = strip.adjusted(border, border, -border, -border);
        PaintLandscape(painter, picture.adjusted(0, 0, 0, bend), band(picture), DaylightScenery());
        if (size >= 48) {
            // The joins between the three photos of the strip.
            painter.setPen(QPen(QColor(255, 255, 255, 150), std::max<qreal>(1.0, s / 96)));
            for (const qreal t : {1.0 / 3.0, 2.0 / 3.0}) {
                const qreal x = picture.left() + t * picture.width();
                const qreal sag = 2 * t * (1 - t) * 2 * bend;
                painter.drawLine(QPointF(x, picture.top() + sag), QPointF(x, picture.bottom() + sag));
            }
        }
        painter.strokePath(tile, QPen(QColor(0, 0, 0, 70), std::max<qreal>(1.0, s / 64)));
    });
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(ApplicationIconPicture(size));
    return icon;
}

}  // namespace tp
