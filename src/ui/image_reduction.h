// Conversions and reductions that prepare an image for drawing. Every image here is QImage::Format_RGB32,
// the format the window's backing store takes without converting, so drawing one is a plain copy.
#pragma once

#include <QImage>

#include "imaging/image_buffer.h"

namespace tp {

// A new RGB32 image with undefined pixels. Large ones live in huge pages: touching a fresh image page by
// page costs far more than filling it.
QImage NewRgb32Image(QSize size);

// A 32-bit copy of a colour image (blue, green, red bytes).
QImage ToRgb32(const ColorImage& image);

// Half the size (truncated): each pixel the rounded mean of a 2 x 2 block.
QImage HalveByBoxFilter(const QImage& image);

// Area averaging: `image` reduced to the size of `into` (no larger than the image), each pixel the mean of
// the source area it covers, weighted by how much of each source pixel lies inside it. Writes only the
// pixels of `part` (pixels of `into`); parts written separately join seamlessly.
void ReduceByArea(const QImage& image, QImage& into, const QRect& part);
// The whole image reduced to `size`.
QImage ReduceByArea(const QImage& image, QSize size);

}  // namespace tp
