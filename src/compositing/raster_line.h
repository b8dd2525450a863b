// Integer rasterisation shared by the seam code: rounding of fractional positions and straight lines.
#pragma once

#include <cmath>
#include <algorithm>
#include <cstdlib>

#include "imaging/image_buffer.h"
#include "registration/geometry_types.h"

namespace tp {

// Truncates toward zero and adds 1 when the fraction is at least 0.5 (so negative values truncate).
inline int RoundHalfUp(double v)
{
    const double t = std::trunc(v);
    return static_cast<int>(t) + (v - t >= 0.5 ? 1 : 0);
}

// Coordinate i / steps of the way from a to b, rounded half up.
inline int StepAlong(int a, int b, int i, int steps)
{
    return RoundHalfUp(a + static_cast<double>(i) * (b - a) / steps);
}

// Writes `value` along the line from (x0, y0) to (x1, y1) (pixel coordinates), both ends included; points
// outside the mask are left out.
inline void DrawLine(GrayImage& mask, PointI from, PointI to, std::uint8_t value)
{
    const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
    auto put = [&](int x, int y) {
        if (mask.contains(x, y)) mask.at(x, y) = value;
    };
    for (int i = 0; i < steps; ++i) put(StepAlong(from.x, to.x, i, steps), StepAlong(from.y, to.y, i, steps));
    put(to.x, to.y);
}

}  // namespace tp
