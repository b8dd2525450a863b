#include "imaging/codec_support.h"

#include <algorithm>

#include "imaging/codecs.h"

namespace tp {

bool PlausibleImageSize(std::int64_t width, std::int64_t height, long long file_size,
                        std::int64_t pixels_per_byte)
{
    if (width <= 0 || height <= 0 || file_size <= 0) return false;
    // Each factor is checked before the product so that the product cannot overflow.
    if (width > kMaxImagePixels || height > kMaxImagePixels) return false;
    const std::int64_t pixels = width * height;
    if (pixels > kMaxImagePixels) return false;
    return pixels / pixels_per_byte <= file_size;
}

long long BytesRemaining(const FileStream& file)
{
    const long long size = file.size();
    const long here = file.tell();
    if (size < 0 || here < 0 || here > size) return -1;
    return size - here;
}

bool BoundedOutput::fill(std::size_t count, std::uint8_t value)
{
    if (count > room()) return false;
    std::fill_n(begin_ + used_, count, value);
    used_ += count;
    return true;
}

}  // namespace tp
