// The automatic method: several first estimates, each refined, and only a result that the images verify is
// believed.
#pragma once

#include "imaging/matrix.h"
#include "registration/overlap_score.h"
#include "registration/source_alignment.h"
#include "registration/source_levels.h"

namespace tp {

struct PairResult {
    PairVerdict verdict = PairVerdict::Failed;
    Matrix h = Matrix::Identity(3);  // A's centred coordinates -> B's, at working resolution
    OverlapScore score;              // of the best alignment found, verified or not
};

// Registers A with B (equal sizes) using `levels` pyramid levels: first as the pyramid refinement from a
// phase-correlation translation, with fewer levels on failure; then, unless that result verifies
// unchallenged, from further translations found by searching every shift. Verified or Declined.
PairResult RegisterAutomatically(const SourceLevels& a, const SourceLevels& b, int levels);

}  // namespace tp
