#include "imaging/png_row_filter.h"

#include <cstdlib>

namespace tp {
namespace {

// Predictors of the four filters that have one; `left`, `up` and `up_left` are raw bytes (0 outside the row).
inline int Predict(PngFilter filter, int left, int up, int up_left)
{
    switch (filter) {
    case PngFilter::Sub: return left;
    case PngFilter::Up: return up;
    case PngFilter::Average: return (left + up) >> 1;
    case PngFilter::Paeth: {
        const int pa = std::abs(up - up_left);
        const int pb = std::abs(left - up_left);
        const int pc = std::abs(left + up - 2 * up_left);
        const int b_or_c = pb <= pc ? up : up_left;  // selects rather than branches, to vectorise
        return pa <= pb && pa <= pc ? left : b_or_c;
    }
    case PngFilter::None: break;
    }
    return 0;
}

// A filtered byte read as a signed value, without its sign.
inline unsigned Magnitude(std::uint8_t value) { return value < 128 ? value : 256u - value; }

// Sum of magnitudes of the row filtered with `filter`. The first pixel has no left neighbour; the loop over
// the rest has no branches on the position, so the compiler can vectorise it.
template <PngFilter filter>
std::uint64_t FilteredSum(const std::uint8_t* raw, const std::uint8_t* above, std::size_t row_bytes, std::size_t bpp)
{
    std::uint64_t sum = 0;
    const std::size_t head = bpp < row_bytes ? bpp : row_bytes;
    for (std::size_t i = 0; i < head; ++i)
        sum += Magnitude(static_cast<std::uint8_t>(raw[i] - Predict(filter, 0, above[i], 0)));
    // Each byte adds at most 128, so a block of 2^24 bytes fits 32 bits: narrow sums vectorise better.
    constexpr std::size_t kBlock = std::size_t{1} << 24;
    for (std::size_t start = head; start < row_bytes; start += kBlock) {
        const std::size_t stop = row_bytes - start < kBlock ? row_bytes : start + kBlock;
        std::uint32_t block = 0;
        for (std::size_t i = start; i < stop; ++i)
            block += Magnitude(static_cast<std::uint8_t>(raw[i] - Predict(filter, raw[i - bpp], above[i], above[i - bpp])));
        sum += block;
    }
    return sum;
}

template <PngFilter filter>
void Filter(const std::uint8_t* raw, const std::uint8_t* above, std::size_t row_bytes, std::size_t bpp, std::uint8_t* out)
{
    const std::size_t head = bpp < row_bytes ? bpp : row_bytes;
    for (std::size_t i = 0; i < head; ++i) out[i] = static_cast<std::uint8_t>(raw[i] - Predict(filter, 0, above[i], 0));
    for (std::size_t i = head; i < row_bytes; ++i)
        out[i] = static_cast<std::uint8_t>(raw[i] - Predict(filter, raw[i - bpp], above[i], above[i - bpp]));
}

}  // namespace

PngFilter ChoosePngFilter(const std::uint8_t* raw, const std::uint8_t* above, std::size_t row_bytes, int bytes_per_pixel)
{
    const std::size_t bpp = static_cast<std::size_t>(bytes_per_pixel);
    const std::uint64_t sums[] = {
        FilteredSum<PngFilter::None>(raw, above, row_bytes, bpp),
        FilteredSum<PngFilter::Sub>(raw, above, row_bytes, bpp),
        FilteredSum<PngFilter::Up>(raw, above, row_bytes, bpp),
        FilteredSum<PngFilter::Average>(raw, above, row_bytes, bpp),
        FilteredSum<PngFilter::Paeth>(raw, above, row_bytes, bpp),
    };
    int best = 0;
    for (int type = 1; type < 5; ++type)
        if (sums[type] < sums[best]) best = type;
    return static_cast<PngFilter>(best);
}

void ApplyPngFilter(PngFilter filter, const std::uint8_t* raw, const std::uint8_t* above, std::size_t row_bytes,
                    int bytes_per_pixel, std::uint8_t* out)
{
    const std::size_t bpp = static_cast<std::size_t>(bytes_per_pixel);
    *out++ = static_cast<std::uint8_t>(filter);
    switch (filter) {
    case PngFilter::None: Filter<PngFilter::None>(raw, above, row_bytes, bpp, out); break;
    case PngFilter::Sub: Filter<PngFilter::Sub>(raw, above, row_bytes, bpp, out); break;
    case PngFilter::Up: Filter<PngFilter::Up>(raw, above, row_bytes, bpp, out); break;
    case PngFilter::Average: Filter<PngFilter::Average>(raw, above, row_bytes, bpp, out); break;
    case PngFilter::Paeth: Filter<PngFilter::Paeth>(raw, above, row_bytes, bpp, out); break;
    }
}

}  // namespace tp
