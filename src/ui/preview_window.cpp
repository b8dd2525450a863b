#include "ui/preview_window.h"

#include <QPainter>
#include <QPolygon>

#include "project/main_doc.h"
#include "project/wide_view.h"

namespace tp {

CWndPreview::CWndPreview(CMainDoc& doc, QWidget* parent) : CXView(parent), doc_(doc)
{
    set_background_colour(QColor(47, 47, 47));
    set_shadow_width(5);
    ShowWideView();
}

void CWndPreview::ShowWideView()
{
    const Mosaic* mosaic = doc_.mosaic();
    if (!mosaic || mosaic->planar().empty()) {
        ClearImage();
        return;
    }
    SetImage(mosaic->planar());
    SetZoom(1.0);
}

void CWndPreview::DrawOverlay(QPainter& painter, const QRect&)
{
    const Mosaic* mosaic = doc_.mosaic();
    const int k = doc_.current_frame();
    if (!has_image() || !mosaic || k < 1 || k >= mosaic->source_count()) return;
    const std::vector<SourceCorners> corners = SourceCornersOnWideView(*mosaic, command::kPlanarProjection);
    const QPoint origin = image_on_screen().topLeft();
    const double z = zoom();
    const auto outline = [&](int source, const QColor& colour) {
        if (source >= static_cast<int>(corners.size())) return;
        // From the fourth corner round through the first to the fourth again.
        QPolygon quad;
        for (const int c : {3, 0, 1, 2, 3}) {
            const PointF& p = corners[static_cast<std::size_t>(source)][static_cast<std::size_t>(c)];
            quad << QPoint(static_cast<int>(p.x * z) + origin.x(), static_cast<int>(p.y * z) + origin.y());
        }
        painter.setPen(QPen(colour, 1, Qt::DotLine));
        painter.drawPolyline(quad);
    };
    painter.save();
    outline(k - 1, QColor(255, 0, 0));
    outline(k, QColor(0, 255, 0));
    painter.restore();
}

}  // namespace tp
