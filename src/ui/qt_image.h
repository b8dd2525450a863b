// The toolkit's colour images as Qt images, for drawing.
#pragma once

#include <QImage>

#include "imaging/image_buffer.h"

namespace tp {

// A QImage that views `image`'s pixels (blue, green, red bytes, rows padded to 4 bytes): valid only while
// `image` lives unchanged.
QImage ToQImage(const ColorImage& image);

}  // namespace tp
