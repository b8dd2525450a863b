// The pattern behind the wide-view image: a faint checker a few levels either side of the views' grey, so the
// empty area reads as "no image here" without drawing the eye away from the picture.
#include <QPainter>

#include "ui/artwork.h"

namespace tp {

QPixmap BackgroundPattern()
{
    constexpr int kHalf = kBackgroundPatternSize / 2;
    QPixmap tile(kBackgroundPatternSize, kBackgroundPatternSize);
    tile.fill(QColor(50, 50, 50));
    QPainter painter(&tile);
    const QColor darker(44, 44, 44);
    painter.fillRect(0, 0, kHalf, kHalf, darker);
    painter.fillRect(kHalf, kHalf, kHalf, kHalf, darker);
    return tile;
}

}  // namespace tp
