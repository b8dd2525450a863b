#include "imaging/row_sink.h"

namespace tp {

bool ImageRowSink::Begin(int width, int height, std::size_t)
{
    width_ = width;
    height_ = height;
    return width > 0 && height > 0;
}

std::uint8_t* ImageRowSink::Row(int y)
{
    if (!allocated_ && !(allocated_ = destination_.allocate(width_, height_))) return nullptr;
    return destination_.row(y);
}

}  // namespace tp
