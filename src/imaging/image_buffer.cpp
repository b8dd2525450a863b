#include "imaging/image_buffer.h"

namespace tp {

bool ComplexImage::allocate(int width, int height)
{
    if (real.allocate(width, height) && imag.allocate(width, height)) return true;
    release();
    return false;
}

void ComplexImage::release()
{
    real.release();
    imag.release();
}

}  // namespace tp
