#include "project/display_copy.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "imaging/image_file.h"

namespace tp {

namespace {

// The reduction factor f = larger side / longest side is kept as that exact ratio and every (int)(v / f)
// and (int)(f * v) is done in integers: a floating-point f puts a 332 x 249 file at 320 x 239 instead of
// 320 x 240, and misplaces a nearest-neighbour sample now and then.
struct ReductionRatio {
    std::int64_t larger = 1;   // numerator of f
    std::int64_t longest = 1;  // denominator of f

    // A sliver of an image keeps one line rather than vanishing.
    int reduce(int full) const { return static_cast<int>(std::max<std::int64_t>(1, full * longest / larger)); }
    int enlarge(int display) const { return static_cast<int>(display * larger / longest); }
};

// Nearest neighbour: display pixel (x, y) is full-size pixel ((int)(f x), (int)(f y)).
bool Reduce(const ColorImage& full, const ReductionRatio& ratio, ColorImage& reduced)
{
    const int width = ratio.reduce(full.width());
    const int height = ratio.reduce(full.height());
    if (!reduced.allocate(width, height)) return false;
    std::vector<int> source_x;
    try {
        source_x.resize(static_cast<std::size_t>(width));
    } catch (const std::bad_alloc&) {
        reduced.release();
        return false;
    }
    for (int x = 0; x < width; ++x)
        source_x[static_cast<std::size_t>(x)] = std::min(ratio.enlarge(x), full.width() - 1);
    for (int y = 0; y < height; ++y) {
        const int source_y = std::min(ratio.enlarge(y), full.height() - 1);
        for (int x = 0; x < width; ++x)
            std::copy_n(full.pixel(source_x[static_cast<std::size_t>(x)], source_y), 3, reduced.pixel(x, y));
    }
    return true;
}

}  // namespace

bool DisplayCopy::Load(const std::string& path, int longest_side)
{
    Free();
    if (path.empty()) return false;
    ColorImage full;
    if (ReadImage(full, path) != 0 || full.empty()) return false;
    return LoadFrom(full, longest_side);
}

bool DisplayCopy::LoadFrom(const ColorImage& full, int longest_side)
{
    Free();
    if (full.empty()) return false;
    const int full_width = full.width();
    const int full_height = full.height();
    const int larger = std::max(full_width, full_height);
    ColorImage reduced;
    if (longest_side <= 0 || larger <= longest_side)
        reduced = full;
    else if (!Reduce(full, ReductionRatio{larger, longest_side}, reduced))
        return false;
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
