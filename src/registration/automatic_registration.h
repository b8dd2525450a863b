// The automatic method: several first estimates, each refined, and only a result that the images verify is
// believed.
#pragma once

#include "imaging/image_buffer.h"
#include "imaging/matrix.h"
#include "registration/overlap_score.h"
#include "registration/pyramid.h"
#include "registration/source_alignment.h"

namespace tp {

// What registration reads of one source: its grey pyramid, and the detail of its working image (for the
// verdict) and of the level below the coarsest (for screening candidates cheaply).
struct SourceLevels {
    Pyramid pyramid;
    DetailBands detail;
    DetailBands screening_detail;
};

SourceLevels BuildSourceLevels(const ColorImage& working_image, int levels);

// How strongly a score says the images are aligned: the correlation of the fine detail band where it has
// texture enough over the overlap and agrees, else that of the coarse band where it has texture; -1 when
// neither has.
float Evidence(const OverlapScore& score);

// Whether a score is evidence enough that two images are aligned.
bool IsVerified(const OverlapScore& score);

struct PairResult {
    PairVerdict verdict = PairVerdict::Failed;
    Matrix h = Matrix::Identity(3);  // A's centred coordinates -> B's, at working resolution
    OverlapScore score;
};

// Registers A with B (equal sizes) using `levels` pyramid levels: first as the pyramid refinement from a
// phase-correlation translation with fewer levels on failure, then, unless that result verifies unchallenged,
// from further translations found by correlation over every shift. Verified or Declined.
PairResult RegisterAutomatically(const SourceLevels& a, const SourceLevels& b, int levels);

// Scores a result of the user's hints (or any homography) on the pair.
OverlapScore ScorePair(const SourceLevels& a, const SourceLevels& b, const Matrix& h, double samples = kScoreSamples);

}  // namespace tp
