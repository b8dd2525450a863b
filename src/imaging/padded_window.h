// A rectangle of a grey image prepared for correlation searches: its samples as 16-bit rows padded with zeros
// (for DotRows) and the integral image of their squares (for the energies of every window inside it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/image_buffer.h"

namespace tp {

class PaddedWindow {
public:
    // Rows are padded to a whole number of 8 samples and then 8 more, all zero, so that DotRows may read a
    // window's row rounded up to 8 samples from any start inside the rectangle.
    static constexpr int kLanes = 8;
    static int PaddedLength(int length) { return (length + kLanes - 1) / kLanes * kLanes; }

    // The width x height pixels from (left, top), which must all lie inside `image`.
    PaddedWindow(const GrayImage& image, int left, int top, int width, int height);

    const std::int16_t* row(int y) const { return samples_.data() + static_cast<std::size_t>(y) * stride_; }
    std::size_t stride() const { return stride_; }
    // Sum of the squared samples of the width x height rectangle at (x, y) of this window.
    std::int64_t SquareSum(int x, int y, int width, int height) const
    {
        return Integral(y + height, x + width) - Integral(y, x + width) - Integral(y + height, x) + Integral(y, x);
    }

private:
    std::int64_t Integral(int y, int x) const { return squares_[static_cast<std::size_t>(y) * (width_ + 1) + static_cast<std::size_t>(x)]; }

    std::size_t width_;
    std::size_t stride_;
    std::vector<std::int16_t> samples_;
    std::vector<std::int64_t> squares_;  // (height + 1) x (width + 1), first row and column zero
};

}  // namespace tp
