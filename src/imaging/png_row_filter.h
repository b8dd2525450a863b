// PNG row filtering as libpng does it by default for 8-bit colour: each of the five filter types is tried on
// the row and the one whose output bytes, read as signed, have the smallest sum of magnitudes is used;
// an earlier type wins a tie.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tp {

enum class PngFilter : std::uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

// The filter the heuristic picks for `raw`, given the raw row above it (all zeros for the first row).
PngFilter ChoosePngFilter(const std::uint8_t* raw, const std::uint8_t* above, std::size_t row_bytes,
                          int bytes_per_pixel);

// Writes the filter type byte and then the row filtered with it: 1 + row_bytes bytes.
void ApplyPngFilter(PngFilter filter, const std::uint8_t* raw, const std::uint8_t* above, std::size_t row_bytes,
                    int bytes_per_pixel, std::uint8_t* out);

}  // namespace tp
