#include "imaging/padded_window.h"

namespace tp {

PaddedWindow::PaddedWindow(const GrayImage& image, int left, int top, int width, int height)
    : width_(static_cast<std::size_t>(width)),
      stride_(static_cast<std::size_t>(PaddedLength(width) + kLanes)),
      samples_(static_cast<std::size_t>(height) * stride_, 0),
      squares_((static_cast<std::size_t>(height) + 1) * (width_ + 1), 0)
{
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = image.row(top + y) + left;
        std::int16_t* out = samples_.data() + static_cast<std::size_t>(y) * stride_;
        std::int64_t* integral = squares_.data() + (static_cast<std::size_t>(y) + 1) * (width_ + 1);
        const std::int64_t* above = integral - (width_ + 1);
        std::int64_t line = 0;
        for (int x = 0; x < width; ++x) {
            out[x] = in[x];
            line += std::int32_t{in[x]} * in[x];
            integral[x + 1] = above[x + 1] + line;
        }
    }
}

}  // namespace tp
