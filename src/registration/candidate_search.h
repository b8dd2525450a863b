// First estimates besides the phase-correlation route: translations found by searching every shift,
// screened cheaply at the coarse levels, the promising ones carried to working resolution and kept when the
// images verify them.
#pragma once

#include <vector>

#include "imaging/matrix.h"
#include "registration/overlap_score.h"
#include "registration/source_levels.h"

namespace tp {

// A translation at the coarsest pyramid level: B shows A's content moved by (x, y).
struct Start {
    double x = 0.0;
    double y = 0.0;
};

// Whether two starts (coarsest-level pixels) are one estimate: within 3 pixels on either axis.
bool SameStart(const Start& s, const Start& t);

// From the coarsest level, halved until its larger side is at most 128: the strongest peaks of the grey
// correlation over every shift, and (when asked) the next strongest of the phase correlation and those of
// its tapered variant.
std::vector<Start> CoarseStarts(const SourceLevels& a, const SourceLevels& b, int levels, bool with_phase);

// From the fine detail one level below the coarsest: fine, even texture (bark, sand, grass) that the
// coarsest level blurs away. Costs more; the last resort.
std::vector<Start> DetailStarts(const SourceLevels& a, const SourceLevels& b, int levels);

struct Verified {
    Matrix h;  // A's centred coordinates -> B's, at working resolution
    OverlapScore score;
    bool as_refined_by_points = false;  // the pyramid refinement's result, kept exactly as it made it
};

class CandidateSearch {
public:
    CandidateSearch(const SourceLevels& a, const SourceLevels& b, int levels);

    // Keeps `h` when the images verify it.
    bool Keep(const Matrix& h, bool as_refined_by_points = false);

    // How well `h` (valid at level 0) agrees one level below the coarsest.
    float ScreeningScore(const Matrix& h) const;

    // Screens every start (the correlation refinement at the coarsest level, then the screening score), and
    // carries those that screen at least `least` to working resolution, best first, at most three. Once one
    // verifies, only those that screen about as well are still tried. A start that screens to where a
    // verified result after the first `untrusted` ones already lies is passed over.
    void Explore(const std::vector<Start>& starts, float least, std::size_t untrusted = 0);

    const std::vector<Verified>& results() const { return results_; }

private:
    struct Screened {
        Start start;
        Matrix h;  // after the screening refinement, valid at level 0
        float score = -1.0f;
    };
    Screened Screen(const Start& start) const;
    void Refine(const Screened& s);

    const SourceLevels& a_;
    const SourceLevels& b_;
    int levels_;
    std::vector<Verified> results_;
};

}  // namespace tp
