#include "ui/qt_image.h"

namespace tp {

QImage ToQImage(const ColorImage& image)
{
    if (image.empty()) return QImage();
    return QImage(reinterpret_cast<const uchar*>(image.row(0)), image.width(), image.height(),
                  static_cast<qsizetype>(image.stride()), QImage::Format_BGR888);
}

}  // namespace tp
