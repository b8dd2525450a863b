// Bilinear sampling of one channel of a working image, zero within one pixel of the border.
#pragma once

#include <cstdint>

#include "imaging/image_buffer.h"

namespace tp {

// Position (x, y) in pixels; 0 when the 2 x 2 neighbourhood is not well inside the image.
inline float BilinearSample(const ColorImage& image, float x, float y, int channel)
{
    const int bx = static_cast<int>(x);
    const int by = static_cast<int>(y);
    if (bx <= 0 || bx >= image.width() - 1 || by <= 0 || by >= image.height() - 1) return 0.0f;
    const float fx = x - static_cast<float>(bx);
    const float fy = y - static_cast<float>(by);
    const std::uint8_t* p = image.row(by) + 3 * bx + channel;
    const std::uint8_t* q = image.row(by + 1) + 3 * bx + channel;
    return (1.0f - fy) * (p[0] + fx * (p[3] - p[0])) + fy * (q[0] + fx * (q[3] - q[0]));
}

// Writes the truncated bilinear colour at (x, y) into `out`, raising zero channels to 1. The same values as
// three BilinearSample calls, with the position worked out once.
inline void SampleColour(const ColorImage& image, float x, float y, std::uint8_t* out)
{
    const int bx = static_cast<int>(x);
    const int by = static_cast<int>(y);
    if (bx <= 0 || bx >= image.width() - 1 || by <= 0 || by >= image.height() - 1) {
        out[0] = out[1] = out[2] = 1;
        return;
    }
    const float fx = x - static_cast<float>(bx);
    const float fy = y - static_cast<float>(by);
    const std::uint8_t* p = image.row(by) + 3 * bx;
    const std::uint8_t* q = image.row(by + 1) + 3 * bx;
    for (int c = 0; c < 3; ++c) {
        const float sample = (1.0f - fy) * (p[c] + fx * (p[c + 3] - p[c])) + fy * (q[c] + fx * (q[c + 3] - q[c]));
        const int v = static_cast<int>(sample);
        out[c] = static_cast<std::uint8_t>(v == 0 ? 1 : v);
    }
}

}  // namespace tp
