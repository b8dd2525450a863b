#include "registration/pyramid.h"

#include <algorithm>

#include "imaging/image_ops.h"

namespace tp {

namespace {

// The image without its last column and/or row when those make the size odd.
GrayImage EvenPart(const GrayImage& image)
{
    const int width = image.width() & ~1;
    const int height = image.height() & ~1;
    if (width == image.width() && height == image.height()) return image;
    GrayImage even(width, height);
    for (int y = 0; y < height; ++y) std::copy_n(image.row(y), width, even.row(y));
    return even;
}

}  // namespace

Pyramid BuildPyramid(const ColorImage& working_image, int levels)
{
    Pyramid pyramid;
    if (levels < 1 || working_image.empty()) return pyramid;
    pyramid.push_back(ToGray(working_image));
    while (static_cast<int>(pyramid.size()) < levels) {
        const GrayImage& finer = pyramid.back();
        if (finer.width() < 2 || finer.height() < 2) break;
        GrayImage coarser;
        if (finer.width() % 2 == 0 && finer.height() % 2 == 0)
            ReduceByTwo(finer, coarser);
        else
            ReduceByTwo(EvenPart(finer), coarser);
        pyramid.push_back(std::move(coarser));
    }
    return pyramid;
}

}  // namespace tp
