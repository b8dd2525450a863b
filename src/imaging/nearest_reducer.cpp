#include "imaging/nearest_reducer.h"

#include <algorithm>

namespace tp {

namespace {

// f as the exact fraction larger / longest; 1 / 1 when nothing is reduced.
struct Ratio {
    std::int64_t larger = 1;
    std::int64_t longest = 1;
};

Ratio RatioFor(int width, int height, int longest_side)
{
    const int larger = std::max(width, height);
    if (longest_side <= 0 || larger <= longest_side) return Ratio{};
    return Ratio{larger, longest_side};
}

}  // namespace

int NearestReducer::ReducedSide(int side, int width, int height, int longest_side)
{
    const Ratio ratio = RatioFor(width, height, longest_side);
    return static_cast<int>(std::max<std::int64_t>(1, side * ratio.longest / ratio.larger));
}

NearestReducer::NearestReducer(int source_width, int source_height, int longest_side, ColorImage& destination)
    : destination_(destination),
      source_x_(static_cast<std::size_t>(destination.width())),
      source_y_(static_cast<std::size_t>(destination.height()))
{
    const Ratio ratio = RatioFor(source_width, source_height, longest_side);
    const auto enlarge = [&](int v, int last) { return static_cast<int>(std::min<std::int64_t>(v * ratio.larger / ratio.longest, last)); };
    for (std::size_t x = 0; x < source_x_.size(); ++x) source_x_[x] = enlarge(static_cast<int>(x), source_width - 1);
    for (std::size_t y = 0; y < source_y_.size(); ++y) source_y_[y] = enlarge(static_cast<int>(y), source_height - 1);
}

void NearestReducer::AddRow(const std::uint8_t* row)
{
    const int y = next_row_++;
    for (; output_row_ < destination_.height() && source_y_[static_cast<std::size_t>(output_row_)] == y; ++output_row_) {
        std::uint8_t* out = destination_.row(output_row_);
        for (const int x : source_x_) {
            std::copy_n(row + 3 * static_cast<std::size_t>(x), 3, out);
            out += 3;
        }
    }
}

}  // namespace tp
