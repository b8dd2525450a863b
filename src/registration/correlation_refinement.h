// Refines a homography by maximising the zero-mean normalised correlation between image A and image B
// warped onto it (the enhanced correlation coefficient), level by level over the two pyramids. Unlike
// point matching it uses every textured pixel of the overlap, ignores gain and offset between the images,
// and follows rotation and scale that a translation start does not have.
#pragma once

#include "imaging/matrix.h"
#include "registration/pyramid.h"

namespace tp {

struct CorrelationRefinement {
    int coarsest_level = 0;  // the level `h` is valid at on entry
    int finest_level = 0;    // the level the refinement ends at; `h` is returned valid at level 0 regardless
    int coarsest_iterations = 30;  // iterations at the first level (a translation start may be far off)
};

// `h` maps A's centred coordinates to B's at `levels.coarsest_level` on entry and at level 0 on return.
// False (h meaningless) when the overlap becomes too small or the iteration breaks down.
bool RefineByCorrelation(const Pyramid& a, const Pyramid& b, Matrix& h, CorrelationRefinement levels);

// The same refinement for a camera that only turned between the two shots, and perhaps zoomed: h = K_b R
// K_a^-1 with K = diag(f, f, 1) and K_b's focal length `zoom` times K_a's. The camera nearest to h gives the
// focal length, kept; the turn and the zoom are refined. A narrow overlap, or one textured in a corner only,
// pins a full homography down only where its texture is; the turning camera is pinned down by it everywhere. `h` is valid at level 0 on entry and on return; the refinement
// runs from `from_level` to level 0. False (h untouched) when h is not near such a camera or it breaks down.
bool RefineAsTurningCamera(const Pyramid& a, const Pyramid& b, Matrix& h, int from_level);

// A homography valid for a level, made valid for the level `steps` times finer (each step doubles sizes).
Matrix ToFinerLevel(const Matrix& h, int steps);

}  // namespace tp
