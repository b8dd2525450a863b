#include "ui/page_miniatures.h"

#include <algorithm>

#include <QPainter>

#include "ui/artwork_painting.h"

namespace tp {

namespace {

constexpr QRgb kPageOutline = 0xff808080;
constexpr QRgb kPrintableOutline = 0xffc8c8c8;

QRect ToQRect(const PageRect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

PageRect Union(const PageRect& a, const PageRect& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

void PaintSheet(QPainter& painter, const MiniatureSheet& sheet)
{
    const QRect page = ToQRect(sheet.page);
    painter.fillRect(page, Qt::white);
    painter.setPen(QColor(kPageOutline));
    painter.drawRect(page.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(QColor(kPrintableOutline), 0, Qt::DotLine));
    painter.drawRect(ToQRect(sheet.printable).adjusted(0, 0, -1, -1));
}

void PaintInCell(QPainter& painter, const QImage& picture, const PageRect& cell)
{
    const PageRect fitted = FitImageInCell(cell, picture.width(), picture.height());
    if (!fitted.empty()) painter.drawImage(ToQRect(fitted), picture);
}

QSize SheetsExtent(const PageSetupGeometry& geometry, PageOrganization organization)
{
    if (organization != PageOrganization::kAcrossPages) {
        const PageRect page = MiniaturePage(geometry).page;
        return {page.width(), page.height()};
    }
    const auto sheets = MiniaturePagesAcross(geometry);
    const PageRect all = Union(sheets.front().page, sheets.back().page);
    return {all.width(), all.height()};
}

}  // namespace

QImage SamplePicture()
{
    const QSize size(240, 96);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF world(QPointF(0, 0), QSizeF(size));
    art::PaintLandscape(painter, world, art::RectPath(world), art::DaylightScenery());
    return picture;
}

QPixmap PaintOrganizationMiniature(PageOrganization organization, const PageSetupGeometry& geometry,
                                   const QImage& picture, const QColor& background, qreal ratio)
{
    const QSize extent = SheetsExtent(geometry, organization);
    if (extent.isEmpty()) return QPixmap();
    QPixmap pixmap((QSizeF(extent) * ratio).toSize());
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    if (organization != PageOrganization::kAcrossPages) {
        PaintSheet(painter, MiniaturePage(geometry));
        for (const PageRect& cell : MiniatureCells(organization, geometry)) PaintInCell(painter, picture, cell);
        return pixmap;
    }
    painter.fillRect(QRect(QPoint(0, 0), extent), background);
    const auto sheets = MiniaturePagesAcross(geometry);
    for (const MiniatureSheet& sheet : sheets) PaintSheet(painter, sheet);
    // One picture over all four printable areas, each page showing its part of it.
    const PageRect poster = Union(sheets.front().printable, sheets.back().printable);
    for (const MiniatureSheet& sheet : sheets) {
        painter.setClipRect(ToQRect(sheet.printable));
        PaintInCell(painter, picture, poster);
    }
    return pixmap;
}

}  // namespace tp
