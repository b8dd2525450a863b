// Multi-resolution (Laplacian pyramid) blending of one colour channel across a seam mask.
#pragma once

#include "imaging/image_buffer.h"

namespace tp {

// Number of halvings of the shorter side until it is at most 1 (0 when it is below 2).
int BlendLevels(int width, int height);

// Blends `source` into `mosaic` (same size as `mask`): where the mask is 255 the canvas is kept, where it is 0
// the source is taken, with the transition spread over `levels` frequency bands. Zero samples count as
// missing: each plane first borrows the other's value there. The result replaces `mosaic`; zeros become 1.
void MultiBandBlend(GrayImage& mosaic, const GrayImage& source, const GrayImage& mask, int levels);

}  // namespace tp
