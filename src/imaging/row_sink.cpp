#include "imaging/row_sink.h"

namespace tp {

bool ImageRowSink::Begin(int width, int height, std::size_t decoder_bytes)
{
    width_ = width;
    height_ = height;
    if (budget_) hold_ = budget_->Reserve(decoder_bytes + ColorImage::StrideFor(width) * static_cast<std::size_t>(height));
    return width > 0 && height > 0;
}

std::uint8_t* ImageRowSink::Row(int y)
{
    if (!allocated_ && !(allocated_ = destination_.allocate(width_, height_))) return nullptr;
    return destination_.row(y);
}

}  // namespace tp
