#include "ui/image_preview.h"

#include <QPainter>

#include "ui/qt_image.h"

namespace tp {

ImagePreview::ImagePreview(QWidget* parent) : QWidget(parent) { setMinimumSize(160, 120); }

void ImagePreview::ShowFile(const QString& path)
{
    if (path == path_) return;
    path_ = path;
    if (path.isEmpty() || !copy_.Load(path.toStdString(), 0)) copy_.Free();
    update();
}

void ImagePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), QColor(47, 47, 47));
    if (!copy_.loaded()) return;
    const QRect area = rect().adjusted(5, 5, -5, -5);
    const FittedRect fitted = FitForDrawing(area.width(), area.height(), copy_.display_width(), copy_.display_height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(area.left() + fitted.left, area.top() + fitted.top, fitted.width, fitted.height),
                      ToQImage(copy_.image()));
}

}  // namespace tp
