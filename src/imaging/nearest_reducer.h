// Nearest-neighbour reduction that takes its rows one at a time: the reduced copies shown for source images
// (thumbnails, the pair copies of the modification mode) are made while the file is read.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_buffer.h"

namespace tp {

// The factor f = larger side / longest side is kept as that exact ratio and every (int)(v / f) and
// (int)(f * v) is done in integers: a floating-point f puts a 332 x 249 picture at 320 x 239 instead of
// 320 x 240, and misplaces a sample now and then.
class NearestReducer {
public:
    // Size of the copy of a width x height picture whose longer side is at most `longest_side`: each side
    // * longest_side / larger side rounded down, at least 1 (a sliver keeps one line). The picture's own
    // size when longest_side is 0 or less or the picture already fits (never enlarged).
    static int ReducedSide(int side, int width, int height, int longest_side);

    // `destination` is already allocated at the reduced size and must outlive the reducer.
    NearestReducer(int source_width, int source_height, int longest_side, ColorImage& destination);

    // Row y of the source (blue, green, red), in order from the top. Copy pixel (x, y) is source pixel
    // ((int)(f x), (int)(f y)), clamped to the last column and row.
    void AddRow(const std::uint8_t* row);

private:
    ColorImage& destination_;
    std::vector<int> source_x_;
    std::vector<int> source_y_;  // for every copy row, in order
    int next_row_ = 0;
    int output_row_ = 0;
};

}  // namespace tp
