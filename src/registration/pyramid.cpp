#include "registration/pyramid.h"

#include <algorithm>

#include "imaging/image_ops.h"

namespace tp {

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
            ReduceByTwo(CutToEvenSize(finer), coarser);
        pyramid.push_back(std::move(coarser));
    }
    return pyramid;
}

}  // namespace tp
