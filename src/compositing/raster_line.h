// Integer rasterisation shared by the seam code: rounding of fractional positions and straight lines.
#pragma once

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "imaging/image_buffer.h"
#include "registration/geometry_types.h"

namespace tp {

// Truncates toward zero and adds 1 when the fraction is at least 0.5 (so negative values truncate).
inline int RoundHalfUp(double v)
{
    const double t = std::trunc(v);
    return static_cast<int>(t) + (v - t >= 0.5 ? 1 : 0);
}

// The steps i in [0, steps) of the line from `a` to `b` that can fall inside a w x h mask: the part of the
// line within the mask's bounds widened by a pixel (so rounding cannot lose a point), found by clipping the
// continuous line; widened by a step at each end. An end far outside (a source mapped near the coordinate
// limit) then costs nothing.
inline std::pair<std::int64_t, std::int64_t> StepsInside(PointI a, PointI b, std::int64_t steps, int w, int h)
{
    double t0 = 0.0, t1 = 1.0;
    const auto clip = [&](double start, double delta, double low, double high) {
        if (delta == 0.0) return start >= low && start <= high;
        double ta = (low - start) / delta, tb = (high - start) / delta;
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        return t0 <= t1;
    };
    if (!clip(a.x, static_cast<double>(b.x) - a.x, -1.0, w) || !clip(a.y, static_cast<double>(b.y) - a.y, -1.0, h)) return {0, 0};
    const auto first = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::floor(t0 * steps)) - 1);
    const auto last = std::min<std::int64_t>(steps, static_cast<std::int64_t>(std::ceil(t1 * steps)) + 2);
    return {first, std::max(first, last)};
}

// Steps of the line from `a` to `b`: the larger of its extents (in 64 bits: the ends may lie a coordinate limit
// apart).
inline std::int64_t LineSteps(PointI a, PointI b)
{
    return std::max(std::llabs(static_cast<std::int64_t>(b.x) - a.x), std::llabs(static_cast<std::int64_t>(b.y) - a.y));
}

// Point i of `steps` along the line, rounded half up as RoundHalfUp does; beyond the 32-bit range it is
// pinned far outside.
inline PointI LinePoint(PointI a, PointI b, std::int64_t i, std::int64_t steps)
{
    const auto along = [&](int from, int to) {
        const double v = from + static_cast<double>(i) * (static_cast<double>(to) - from) / static_cast<double>(steps);
        const double t = std::trunc(v);
        const double rounded = t + (v - t >= 0.5 ? 1 : 0);
        return static_cast<int>(std::clamp(rounded, -2.0e9, 2.0e9));
    };
    return {along(a.x, b.x), along(a.y, b.y)};
}

// Writes `value` along the line from (x0, y0) to (x1, y1) (pixel coordinates), both ends included; points
// outside the mask are left out.
inline void DrawLine(GrayImage& mask, PointI from, PointI to, std::uint8_t value)
{
    const std::int64_t steps = LineSteps(from, to);
    auto put = [&](PointI p) {
        if (mask.contains(p.x, p.y)) mask.at(p.x, p.y) = value;
    };
    const auto [first, last] = StepsInside(from, to, steps, mask.width(), mask.height());
    for (std::int64_t i = first; i < last; ++i) put(LinePoint(from, to, i, steps));
    put(to);
}

}  // namespace tp
