// Fast blending: every source painted into the canvas as a running average weighted by closeness to the
// source's centre.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "compositing/canvas_walk.h"
#include "compositing/centre_weights.h"
#include "compositing/mosaic.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"

namespace tp {

bool Mosaic::BasicBlend(Progress& progress)
{
    ClearCanvas();
    PrepareExposureGains();
    joins_.clear();
    const int canvas_width = planar_.width();
    const int canvas_height = planar_.height();
    // The running weight sum per pixel. Up to 25 sources (weights at most 10) fit a byte; a wider counter
    // keeps deeper overlaps from wrapping around. Fresh pages are costly, so the byte is used whenever it is
    // enough. A zeroed block, so that the parts no source covers are never touched.
    const bool byte_counter = source_count() <= 25;
    const std::size_t pixels = static_cast<std::size_t>(canvas_width) * static_cast<std::size_t>(canvas_height);
    const PixelBlock accumulated_block = AllocateZeroedBlock(pixels * (byte_counter ? 1 : 2));
    if (!accumulated_block) return false;
    return byte_counter ? BlendSources(reinterpret_cast<std::uint8_t*>(accumulated_block.get()), progress)
                        : BlendSources(reinterpret_cast<std::uint16_t*>(accumulated_block.get()), progress);
}

template <typename Counter>
bool Mosaic::BlendSources(Counter* accumulated, Progress& progress)
{
    const int canvas_width = planar_.width();
    const int canvas_height = planar_.height();
    const int w = parameters_.working_width;
    const int h = parameters_.working_height;
    const CentreWeights weight(w, h);

    for (int i = 0; i < source_count(); ++i) {
        const std::shared_ptr<const ColorImage> source = BlendingImage(i);
        // An unreadable source, or one whose size differs from the working size, contributes nothing.
        if (source && source->width() == w && source->height() == h) {
            const ColorImage& image = *source;
            const SourceAlignment& record = alignment(i);
            const CanvasBox box = SourceBoxOnCanvas(record.to_reference, w, h, canvas_offset_, canvas_width, canvas_height);
            const CanvasWalk walk(record.from_reference, canvas_offset_, w, h);
            if (!box.empty()) ParallelFor(box.min_y, box.max_y + 1, [&](int y) {
                std::uint8_t* out = planar_.row(y);
                Counter* sums = accumulated + static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas_width);
                walk.ForRow(y, box.min_x, box.max_x, [&](int x, double sx, double sy) {
                    if (!(sx >= 2.0 && sx < w - 2 && sy >= 2.0 && sy < h - 2)) return;
                    const int px = static_cast<int>(sx + 0.5);
                    const int py = static_cast<int>(sy + 0.5);
                    std::uint8_t sample[3];
                    std::copy_n(image.pixel(px, py), 3, sample);
                    if (IsEmptyPixel(sample)) sample[1] = 1;  // black is painted as green 1, never as empty
                    const int wi = weight(px, py);
                    const int before = sums[x];
                    const int after = before + wi;
                    sums[x] = static_cast<Counter>(after);
                    std::uint8_t* target = out + 3 * x;
                    for (int c = 0; c < 3; ++c) target[c] = static_cast<std::uint8_t>((sample[c] * wi + target[c] * before) / after);
                    // Averaging two dark colours can round every channel to 0, which would read as empty.
                    if (IsEmptyPixel(target)) target[1] = 1;
                });
            });
        }
        if (progress.Step()) return false;
    }
    return true;
}

}  // namespace tp
