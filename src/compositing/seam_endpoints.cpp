#include "compositing/seam_endpoints.h"

#include <cstdlib>
#include <vector>

#include "compositing/raster_line.h"
#include "imaging/pixel.h"

namespace tp {

namespace {

bool Painted(const ColorImage& canvas, PointI p)
{
    if (!canvas.contains(p.x, p.y)) return false;
    return !IsEmptyPixel(canvas.pixel(p.x, p.y));
}

int Orientation(int from_corner, int to_corner) { return from_corner == (to_corner + 1) % 4 ? 1 : 0; }

// With no corner on the canvas: every change between empty and painted along the whole outline, corner 0 to
// 1 to 2 to 3 and back to 0, with the corner each crossing's edge starts from.
struct Crossing {
    PointI point;
    int from_corner;
    int to_corner;
};

std::vector<Crossing> OutlineCrossings(const ColorImage& canvas, const std::array<PointI, 4>& corners)
{
    std::vector<Crossing> crossings;
    bool previous = false;
    for (int edge = 0; edge < 4; ++edge) {
        const PointI a = corners[static_cast<std::size_t>(edge)];
        const PointI b = corners[static_cast<std::size_t>((edge + 1) % 4)];
        const std::int64_t steps = LineSteps(a, b);
        // Only the steps near the canvas are walked: everything beyond is unpainted, as the last point walked
        // before it and the first after it already are.
        const auto [first, last] = StepsInside(a, b, steps, canvas.width(), canvas.height());
        if (first > 0) previous = false;
        for (std::int64_t k = first; k < last; ++k) {
            const PointI p = LinePoint(a, b, k, steps);
            const bool painted = Painted(canvas, p);
            if (painted != previous && !(edge == 0 && k == 0)) crossings.push_back({p, edge, (edge + 1) % 4});
            previous = painted;
        }
        if (last < steps) previous = false;
    }
    return crossings;
}

}  // namespace

PointI EdgeWalk(const ColorImage& canvas, PointI from, PointI to, bool& found)
{
    found = false;
    const std::int64_t steps = LineSteps(from, to);
    if (steps <= 2) return to;
    bool previous = false;
    // Steps before the canvas are unpainted, like `previous`; those after it cannot change anything.
    const auto [first, last] = StepsInside(from, to, steps, canvas.width(), canvas.height());
    for (std::int64_t k = first; k <= std::min(last, steps - 2) - 1; ++k) {
        const PointI p = LinePoint(from, to, k, steps);
        const bool painted = Painted(canvas, p);
        if (painted != previous) {
            found = true;
            return p;
        }
        previous = painted;
    }
    return to;
}

SeamEndpoints FindSeamEndpoints(const ColorImage& canvas, const std::array<PointI, 4>& corners)
{
    std::array<bool, 4> inside{};
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        inside[static_cast<std::size_t>(k)] = Painted(canvas, corners[static_cast<std::size_t>(k)]);
        count += inside[static_cast<std::size_t>(k)] ? 1 : 0;
    }
    auto corner = [&](int k) { return corners[static_cast<std::size_t>(k % 4)]; };
    auto is_inside = [&](int k) { return inside[static_cast<std::size_t>(k % 4)]; };
    SeamEndpoints e;
    bool found = false;
    switch (count) {
    case 4:
        e.skip = true;
        return e;
    case 3: {
        int o = 0;
        while (is_inside(o)) ++o;
        e.first = EdgeWalk(canvas, corner(o), corner(o + 1), found);
        e.second = EdgeWalk(canvas, corner(o), corner(o + 3), found);
        e.orientation = Orientation(o, (o + 1) % 4);
        return e;
    }
    case 2: {
        int o = 3;
        while (is_inside(o)) --o;
        const int q = is_inside(o + 1) ? (o + 1) % 4 : (o + 3) % 4;
        int o2 = 0;
        while (o2 == o || is_inside(o2)) ++o2;
        int q2 = (o2 + 1) % 4;
        if (!is_inside(q2) || q2 == q) q2 = (o2 + 3) % 4;
        e.first = EdgeWalk(canvas, corner(o), corner(q), found);
        e.second = EdgeWalk(canvas, corner(o2), corner(q2), found);
        e.orientation = Orientation(o, q);
        return e;
    }
    case 1: {
        int t = 0;
        while (!is_inside(t)) ++t;
        e.first = EdgeWalk(canvas, corner(t + 1), corner(t), found);
        e.second = EdgeWalk(canvas, corner(t + 3), corner(t), found);
        e.orientation = Orientation((t + 1) % 4, t);
        return e;
    }
    default: {
        // No corner on the canvas. When the outline enters the painted area once and leaves it once, those
        // two crossings are the endpoints, oriented by the edge of the first; anything else (no overlap, or a
        // painted area the outline cuts several times) joins the source without a seam.
        const std::vector<Crossing> crossings = OutlineCrossings(canvas, corners);
        if (crossings.size() != 2) {
            e.no_seam = true;
            return e;
        }
        e.first = crossings[0].point;
        e.second = crossings[1].point;
        e.orientation = Orientation(crossings[0].from_corner, crossings[0].to_corner);
        return e;
    }
    }
}

}  // namespace tp
