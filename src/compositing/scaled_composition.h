// The wide-view image composed again at another scale than the working one, typically the photographs' own
// resolution: the placements, seams and exposure gains found on the working images, the pixels read from
// the files.
#pragma once

#include <cstddef>

#include "compositing/mosaic.h"
#include "imaging/image_buffer.h"
#include "imaging/memory_budget.h"
#include "imaging/progress.h"

namespace tp {

enum class Projection { Planar, Cylindrical };

// How a composition held its memory beside the image it made: one piece per source painted, each reserved
// from the budget while it is worked on and released before the next.
struct CompositionReport {
    int width = 0;  // of the image made (as cut, where a caller cuts it)
    int height = 0;
    int pieces = 0;
    std::size_t largest_piece_bytes = 0;
    std::size_t image_bytes = 0;
};

// The blend that painted the mosaic's canvas last, made again on a canvas `scale` times the working one
// (rounded to whole pixels): every homography conjugated by the scale between the canvas and the source as
// read, every source read from its file reduced by area averaging to its working size times `scale` (the
// file itself when that is as large or larger), the advanced blend's seams scaled up from the working
// canvas, the cylinder's centre and focal length scaled. Sources are read and painted one at a time, within
// `budget` when given; only the image made is ever held whole. False, with `image` empty, when the mosaic
// holds no blended image, on cancellation, or when memory runs out.
bool ComposeAtScale(const Mosaic& mosaic, double scale, Projection projection, Progress& progress, ColorImage& image,
                    MemoryBudget* budget = nullptr, CompositionReport* report = nullptr);

}  // namespace tp
