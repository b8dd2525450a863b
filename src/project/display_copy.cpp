#include "project/display_copy.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "imaging/nearest_reducer.h"
#include "imaging/reduced_read.h"

namespace tp {

bool DisplayCopy::Load(const std::string& path, int longest_side)
{
    Free();
    if (path.empty()) return false;
    // Reduced while the file is read: a large picture is never held whole for a small copy.
    ReducedPicture picture;
    if (ReadReduced(path, ReductionRequest{0, 0, std::max(longest_side, 0)}, picture) != 0) return false;
    return SetReduced(std::move(picture.nearest), picture.full_width, picture.full_height);
}

bool DisplayCopy::LoadFrom(const ColorImage& full, int longest_side)
{
    Free();
    if (full.empty()) return false;
    const int side = std::max(longest_side, 0);
    ColorImage reduced;
    if (!reduced.allocate(NearestReducer::ReducedSide(full.width(), full.width(), full.height(), side),
                          NearestReducer::ReducedSide(full.height(), full.width(), full.height(), side)))
        return false;
    NearestReducer reducer(full.width(), full.height(), side, reduced);
    for (int y = 0; y < full.height(); ++y) reducer.AddRow(full.row(y));
    return SetReduced(std::move(reduced), full.width(), full.height());
}

bool DisplayCopy::SetReduced(ColorImage reduced, int full_width, int full_height)
{
    Free();
    if (reduced.empty()) return false;
    image_ = std::make_shared<const ColorImage>(std::move(reduced));
    full_width_ = full_width;
    full_height_ = full_height;
    loaded_ = true;
    return true;
}

void DisplayCopy::Free()
{
    loaded_ = false;
    full_width_ = 0;
    full_height_ = 0;
    image_.reset();
}

const ColorImage& DisplayCopy::image() const
{
    static const ColorImage kNothing;
    return image_ ? *image_ : kNothing;
}

FittedRect FitForDrawing(int target_width, int target_height, int image_width, int image_height)
{
    if (target_width <= 0 || target_height <= 0 || image_width <= 0 || image_height <= 0) return FittedRect{};
    if (image_width <= target_width && image_height <= target_height)
        return FittedRect{(target_width - image_width) / 2, (target_height - image_height) / 2, image_width,
                          image_height};

    const std::int64_t w = target_width;
    const std::int64_t h = target_height;
    const std::int64_t iw = image_width;
    const std::int64_t ih = image_height;
    // Nearest whole pixel for the scaled side, never below one pixel.
    if (w * ih <= h * iw) {
        const int height = static_cast<int>(std::max<std::int64_t>(1, (ih * w + iw / 2) / iw));
        return FittedRect{0, (target_height - height) / 2, target_width, height};
    }
    const int width = static_cast<int>(std::max<std::int64_t>(1, (iw * h + ih / 2) / ih));
    return FittedRect{(target_width - width) / 2, 0, width, target_height};
}

}  // namespace tp
