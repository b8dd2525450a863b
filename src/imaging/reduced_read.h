// Reading a picture file straight into reduced copies of it (the working image, a display copy), row by
// row, so that the picture is never held at full size unless a copy is that size.
#pragma once

#include <string>

#include "imaging/image_buffer.h"
#include "imaging/memory_budget.h"

namespace tp {

struct ReductionRequest {
    // An area-averaged copy fitted within this bound, as LoadFitted makes it (the picture itself when it
    // fits); none when either side is 0 or less.
    int fit_width = 0;
    int fit_height = 0;
    // A nearest-neighbour copy whose longer side is at most this, as a display copy is made (the picture
    // itself for 0); none when negative.
    int nearest_side = -1;
};

struct ReducedPicture {
    int full_width = 0;
    int full_height = 0;
    ColorImage fitted;   // empty unless asked for
    ColorImage nearest;  // empty unless asked for
};

// Reads `path` into the copies `request` asks for, with ReadImage's codes (a failure leaves `picture` empty).
// With a budget, the copies, the rows in between and whatever the decoder holds at full size are reserved
// from it while the file is read; the copies are the same bytes either way.
int ReadReduced(const std::string& path, const ReductionRequest& request, ReducedPicture& picture,
                MemoryBudget* budget = nullptr);

}  // namespace tp
