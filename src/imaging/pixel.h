// Small per-pixel rules shared across the engine.
#pragma once

#include <cstdint>

namespace tp {

// A float sample as a byte: below 0 gives 0, from 255 on gives 255, otherwise truncated toward zero.
inline std::uint8_t TruncateToByte(float v)
{
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<std::uint8_t>(v);
}

// In wide-view and warped colour images a pixel whose three bytes are all 0 is covered by no source.
inline bool IsEmptyPixel(const std::uint8_t* bgr) { return bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0; }

}  // namespace tp
