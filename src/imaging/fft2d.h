// Two-dimensional FFT of a square ComplexImage whose side is a power of two.
#pragma once

#include "imaging/image_buffer.h"

namespace tp {

enum class FftDirection { Forward, Inverse };

// Forward: X(k, l) = sum over x, y of x(x, y) exp(-2 pi i (k x + l y) / N). Inverse: the same with the
// opposite sign, scaled by 1 / N^2. `output` may be `input`. Returns false (output untouched) when the image is
// not N x N with N a power of two.
bool FFT2D(const ComplexImage& input, FftDirection direction, ComplexImage& output);

}  // namespace tp
