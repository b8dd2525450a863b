// The seam through the overlap of the canvas and a new source: a path of small colour differences between
// two border points, and the side of it that keeps the canvas.
#pragma once

#include <vector>

#include "imaging/image_buffer.h"
#include "registration/geometry_types.h"

namespace tp {

// Mask values: keep the canvas, take the new source, on the seam.
inline constexpr std::uint8_t kKeepMosaic = 255;
inline constexpr std::uint8_t kTakeSource = 0;
inline constexpr std::uint8_t kOnSeam = 125;

// Clamps `p` into a width x height box and moves it onto the nearest side (left, top, right, bottom, the first
// on ties).
PointI SnapToBorder(PointI p, int width, int height);

// Best-first growth from node `start` over a cost grid (nodes numbered row by row) until `goal` is reached:
// the unvisited node with the smallest label is taken next, the first in row-major order among equal labels;
// a node's label becomes its own cost when a visited neighbour reaches it with a higher label standing.
// Returns every node's predecessor (the start for nodes never reached).
std::vector<int> GrowSeamPath(const GrayImage& costs, int start, int goal);

// Seam mask of the difference image's size. `first` and `second` lie on its border; `orientation` says
// which way round the border the canvas side lies (0 clockwise, 1 counter-clockwise from `first`).
GrayImage SearchSeam(const GrayImage& difference, PointI first, PointI second, int orientation);

}  // namespace tp
