// Where the seam between the existing canvas and a new source starts and ends: the points where the new
// source's outline (its corners taken 2 pixels inside) crosses the edge of what is already painted.
#pragma once

#include <array>

#include "imaging/image_buffer.h"
#include "registration/geometry_types.h"

namespace tp {

struct SeamEndpoints {
    bool skip = false;  // every corner already lies on painted canvas: nothing new to join
    // No crossing pair was found (no corner inside and the outline does not cross the painted area exactly
    // twice): the source is added only where the canvas is still empty, without a seam.
    bool no_seam = false;
    PointI first;
    PointI second;
    int orientation = 0;  // 1 when the first walk runs from corner b + 1 to corner b, else 0
};

// Walks canvas pixels from `from` toward `to` and returns the first whose emptiness differs from the one
// before (the one before the first counts as empty); `found` is false (and `to` returned) when there is none.
PointI EdgeWalk(const ColorImage& canvas, PointI from, PointI to, bool& found);

// `corners` are the source's corners 0..3 (top-left, top-right, bottom-right, bottom-left) in canvas pixels.
SeamEndpoints FindSeamEndpoints(const ColorImage& canvas, const std::array<PointI, 4>& corners);

}  // namespace tp
