// Whether the images confirm an alignment. A result is believed only when the detail of the two images
// agrees over an overlap of some size, and the agreement is pinned down in every direction.
#pragma once

#include "imaging/matrix.h"
#include "registration/overlap_score.h"
#include "registration/source_levels.h"

namespace tp {

// How strongly a score says the images are aligned: the correlation of the fine detail band where it has
// texture enough over the overlap and agrees, else that of the coarse band where it has texture; -1 when
// neither has.
float Evidence(const OverlapScore& score);

// Whether a score is evidence enough that two images are aligned (before localisation).
bool IsVerified(const OverlapScore& score);

// How results that verify are ranked against each other: both bands together, so that results whose
// deciding bands differ compare fairly.
float Rank(const OverlapScore& score);

// Whether the alignment `h`, scored `score`, is pinned down in every direction: B moved a few pixels along
// any axis must agree measurably less. Streaks, long edges and soft gradients agree almost as well moved
// along their length, and there the alignment is a guess.
bool IsLocalised(const SourceLevels& a, const SourceLevels& b, const Matrix& h, const OverlapScore& score);

}  // namespace tp
