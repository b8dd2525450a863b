// Carries a homography estimate valid at the coarsest pyramid level down to full working resolution by
// matching feature points level by level.
#pragma once

#include "imaging/matrix.h"
#include "registration/pyramid.h"

namespace tp {

// `h` maps A's centred coordinates to B's at level `levels` - 1 on entry and at level 0 on success. Fails as
// soon as a level keeps fewer than 12 consistent matches (h is then meaningless). With fewer than two levels
// there is nothing to refine and h is returned unchanged.
bool RefineHomography(const Pyramid& a, const Pyramid& b, Matrix& h, int levels);

}  // namespace tp
