// How the last advanced blend joined one source to the canvas, kept so that the same joins can be made
// again at another scale (the seams are searched once, on the working images).
#pragma once

#include "imaging/image_buffer.h"
#include "registration/geometry_types.h"

namespace tp {

struct JoinRecord {
    enum class Kind {
        Skipped,   // no seam endpoints: the source left out
        FillOnly,  // nothing to seam against: the source fills the empty canvas only
        Seamed,    // merged band by band across the seam, then fills the empty canvas
    };
    int index = 0;
    Kind kind = Kind::Skipped;
    // Seamed only: the patch around the overlap, in working canvas pixels, and its mask (255 keeps what the
    // canvas held, 0 takes the source), widened to the patch by replicating the seam's edges.
    PointI patch_origin;
    GrayImage mask;
};

}  // namespace tp
