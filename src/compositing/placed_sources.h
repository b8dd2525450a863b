// The sources as the overlap measurements see them: each working image with its box on the canvas and its
// inverse mapping, sampled as basic blending samples (nearest pixel, two pixels in from the border).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "compositing/canvas_walk.h"
#include "imaging/image_buffer.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"
#include "registration/geometry_types.h"

namespace tp {

class Mosaic;

struct PlacedSource {
    std::shared_ptr<const ColorImage> image;
    CanvasBox box;
    CanvasWalk walk;
};

// Every source whose chain to the reference is intact and whose working image reads at the working size;
// nothing for the others (a source off the chain sits wherever its last transforms put it).
std::vector<std::optional<PlacedSource>> PlaceSources(const Mosaic& mosaic);

// The rows of the box two sources both cover; none when first > last.
struct OverlapRows {
    int first = 0;
    int last = -1;  // inclusive
};
OverlapRows CommonRows(const PlacedSource& a, const PlacedSource& b);

// Whether a sample tells the exposure: an empty one shows nothing, and one this bright may have been clipped
// by the camera.
inline bool TellsExposure(const std::uint8_t* bgr)
{
    constexpr int kClipped = 250;
    return !IsEmptyPixel(bgr) && bgr[0] < kClipped && bgr[1] < kClipped && bgr[2] < kClipped;
}

// Calls visit(y, p, q, pa, pb) for every canvas pixel of the common rows where both sources have a usable
// sample that tells the exposure: p and q the samples, pa and pb the sampled pixels of each. Rows are spread
// over the threads, so visit may only write what belongs to its row.

template <typename Visit>
void ForEachOverlapPixel(const PlacedSource& a, const PlacedSource& b, int width, int height, Visit visit)
{
    const int x0 = std::max(a.box.min_x, b.box.min_x), x1 = std::min(a.box.max_x, b.box.max_x);
    const OverlapRows rows = CommonRows(a, b);
    if (x1 < x0 || rows.last < rows.first) return;
    const auto usable = [&](double sx, double sy) { return sx >= 2.0 && sx < width - 2 && sy >= 2.0 && sy < height - 2; };
    ParallelFor(rows.first, rows.last + 1, [&](int y) {
        std::vector<PointI> first(static_cast<std::size_t>(x1 - x0 + 1), PointI{-1, -1});
        a.walk.ForRow(y, x0, x1, [&](int x, double sx, double sy) {
            if (usable(sx, sy)) first[static_cast<std::size_t>(x - x0)] = {static_cast<int>(sx + 0.5), static_cast<int>(sy + 0.5)};
        });
        b.walk.ForRow(y, x0, x1, [&](int x, double sx, double sy) {
            const PointI pa = first[static_cast<std::size_t>(x - x0)];
            if (pa.x < 0 || !usable(sx, sy)) return;
            const PointI pb{static_cast<int>(sx + 0.5), static_cast<int>(sy + 0.5)};
            const std::uint8_t* p = a.image->pixel(pa.x, pa.y);
            const std::uint8_t* q = b.image->pixel(pb.x, pb.y);
            if (TellsExposure(p) && TellsExposure(q)) visit(y, p, q, pa, pb);
        });
    });
}

}  // namespace tp
