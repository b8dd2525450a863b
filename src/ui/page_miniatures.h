// The miniature pages on Page Setup's organization buttons: the paper, its printable area and the sample
// picture in each cell, laid out by the same arithmetic that places the wide-view image on real pages.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

#include "project/page_setup_geometry.h"

namespace tp {

// The sample picture shown in the cells: a small wide landscape.
QImage SamplePicture();

// The miniature of one organization, in miniature pixels from (0, 0) (the pixmap is exactly as large as the
// miniature, at `ratio` device pixels per pixel). Across pages shows four half-size pages on `background`
// with the picture spread over them. A null pixmap when the printer has no page.
QPixmap PaintOrganizationMiniature(PageOrganization organization, const PageSetupGeometry& geometry,
                                   const QImage& picture, const QColor& background, qreal ratio = 1.0);

}  // namespace tp
