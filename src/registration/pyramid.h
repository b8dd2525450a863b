// Grey image pyramids for registration: level 0 is the working image in grey, every further level half the
// size of the one before (an odd last row or column is dropped first).
#pragma once

#include <vector>

#include "imaging/image_buffer.h"

namespace tp {

using Pyramid = std::vector<GrayImage>;

// `levels` levels from a colour working image; fewer when the image becomes too small to halve.
Pyramid BuildPyramid(const ColorImage& working_image, int levels);

}  // namespace tp
