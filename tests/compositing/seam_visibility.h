// How visible the joins of a blended wide-view image are, as a "ghosting residual": over the pixels that two
// or more sources cover, the mean distance of the blended grey level from the nearest of those sources' grey
// levels there. Averaging misaligned or differently exposed photographs (double edges, exposure bands)
// leaves pixels that match none of them; joining along a seam keeps every pixel close to one photograph.
#pragma once

#include <cmath>
#include <limits>
#include <vector>

#include "compositing/bilinear.h"
#include "compositing/mosaic.h"
#include "imaging/image_ops.h"
#include "registration/homography.h"

namespace tp::test {

inline double GhostingResidual(Mosaic& mosaic)
{
    const ColorImage& canvas = mosaic.planar();
    std::vector<ColorImage> sources(static_cast<std::size_t>(mosaic.source_count()));
    for (int i = 0; i < mosaic.source_count(); ++i) mosaic.LoadWorkingImage(i, sources[static_cast<std::size_t>(i)]);
    double sum = 0.0;
    long count = 0;
    // Every other pixel of every other row is plenty for a mean.
    for (int y = 0; y < canvas.height(); y += 2)
        for (int x = 0; x < canvas.width(); x += 2) {
            const std::uint8_t* p = canvas.pixel(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            const double blended = GrayOf(p);
            double nearest = std::numeric_limits<double>::max();
            int covering = 0;
            for (int i = 0; i < mosaic.source_count(); ++i) {
                const ColorImage& source = sources[static_cast<std::size_t>(i)];
                if (source.empty() || !mosaic.alignment(i).in_chain) continue;
                const MappedPoint m = ApplyHomography(mosaic.alignment(i).from_reference, static_cast<float>(x - mosaic.canvas_offset().x),
                                                      static_cast<float>(y - mosaic.canvas_offset().y));
                if (!m.valid) continue;
                const float sx = m.x + static_cast<float>(source.width() / 2), sy = m.y + static_cast<float>(source.height() / 2);
                if (!(sx >= 3 && sy >= 3 && sx < source.width() - 3 && sy < source.height() - 3)) continue;
                std::uint8_t colour[3];
                SampleColour(source, sx, sy, colour);
                nearest = std::min(nearest, std::fabs(blended - GrayOf(colour)));
                ++covering;
            }
            if (covering < 2) continue;
            sum += nearest;
            ++count;
        }
    return count > 0 ? sum / count : 0.0;
}

}  // namespace tp::test
