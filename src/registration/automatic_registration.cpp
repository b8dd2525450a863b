#include "registration/automatic_registration.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "registration/candidate_search.h"
#include "registration/correlation_refinement.h"
#include "registration/homography.h"
#include "registration/overlap_geometry.h"
#include "registration/phase_correlation.h"
#include "registration/pyramid_refinement.h"
#include "registration/verification.h"

namespace tp {

namespace {

// A first result verified with at least this evidence is challenged only by candidates that screen about
// as well as it (within the margin); a weaker one by every candidate that screens at all.
constexpr float kConfidentEvidence = 0.6f;
constexpr float kChallengeMargin = 0.1f;
// Two verified results whose overlap centres lie further apart than this (working pixels) and that rank
// within the margin: the images (stripes, blinds, tiles) do not say which is right.
constexpr double kDistinctPixels = 8.0;
constexpr float kAmbiguityMargin = 0.1f;
// The correlation refinement replaces the pyramid refinement's result only when it moves some corner of the
// overlap by more than this (working pixels) and agrees at least as well. A result whose evidence is below
// the second constant is not this alignment at all (wrong alignments measure 0.14 at most, a right one left
// scaled by the points' fit 0.13) and is left to the other candidates.
constexpr double kPolishTolerance = 1.0;
constexpr float kWorthPolishing = 0.1f;
// A turning camera replaces a fitted homography when it ranks within this of it (on the views cut from
// photographs this brings 97 % of the pairs within two pixels everywhere in the overlap, from 92 %); it is
// refined from the level below the working images.
constexpr float kCameraMargin = 0.01f;
constexpr int kCameraFromLevel = 1;

// The phase-correlation translation at the coarsest of `levels` levels, refined by the pyramid refinement
// with fewer levels until it succeeds; the one-level attempt is the translation itself.
bool PyramidRoute(const SourceLevels& a, const SourceLevels& b, int levels, Matrix& h)
{
    for (int l = levels; l >= 1; --l) {
        const std::size_t coarsest = static_cast<std::size_t>(l) - 1;
        const PhaseCorrelation shift = PhaseCorrelate(a.pyramid[coarsest], b.pyramid[coarsest]);
        h = TranslationHomography(std::trunc(shift.x), std::trunc(shift.y));
        if (RefineHomography(a.pyramid, b.pyramid, h, l)) return true;
    }
    return false;
}

// The pyramid refinement's result, or the correlation refinement's from two levels up when that agrees at
// least as well and moves some corner of the overlap by more than a pixel: the points' fit can leave the far
// edges of a narrow or sparsely textured overlap a few pixels off, or a zoom half found. Within a pixel the
// result stays exactly as the pyramid refinement made it.
Matrix Polish(const SourceLevels& a, const SourceLevels& b, const Matrix& h, int levels)
{
    const OverlapScore before = ScorePair(a, b, h);
    if (Evidence(before) < kWorthPolishing) return h;
    const int from = std::min(2, levels - 1);
    Matrix polished = ToFinerLevel(h, -from);
    if (!RefineByCorrelation(a.pyramid, b.pyramid, polished, {from, 0})) return h;
    if (CornerDistance(a.pyramid.front(), h, polished) <= kPolishTolerance) return h;
    return Rank(ScorePair(a, b, polished)) >= Rank(before) ? polished : h;
}

// The turning camera nearest to a result, refined, when the images agree with it about as well: fewer
// parameters that the texture pins down everywhere beat a homography fitted to one corner of the overlap.
// The pyramid refinement's own results stay as they are.
Verified PreferTurningCamera(const SourceLevels& a, const SourceLevels& b, const Verified& result)
{
    if (result.as_refined_by_points) return result;
    Matrix camera = result.h;
    if (!RefineAsTurningCamera(a.pyramid, b.pyramid, camera, kCameraFromLevel)) return result;
    const OverlapScore score = ScorePair(a, b, camera);
    if (!IsVerified(score) || Rank(score) < Rank(result.score) - kCameraMargin) return result;
    return {camera, score, false};
}

// The best verified result, unless another that puts the overlap elsewhere verifies almost as well, or the
// best is not pinned down in every direction.
PairResult Choose(const SourceLevels& a, const SourceLevels& b, const std::vector<Verified>& results)
{
    PairResult chosen;
    chosen.verdict = PairVerdict::Declined;
    if (results.empty()) return chosen;
    const auto best = std::max_element(results.begin(), results.end(),
                                       [](const Verified& l, const Verified& r) { return Rank(l.score) < Rank(r.score); });
    chosen.score = best->score;
    for (const Verified& other : results)
        if (&other != &*best && Rank(other.score) >= Rank(best->score) - kAmbiguityMargin &&
            CentreDistance(a.pyramid.front(), best->h, other.h) > kDistinctPixels)
            return chosen;
    const Verified pick = PreferTurningCamera(a, b, *best);
    chosen.score = pick.score;
    if (!IsLocalised(a, b, pick.h, pick.score)) return chosen;
    chosen.verdict = PairVerdict::Verified;
    chosen.h = pick.h;
    return chosen;
}

}  // namespace

PairResult RegisterAutomatically(const SourceLevels& a, const SourceLevels& b, int levels)
{
    levels = std::min({levels, static_cast<int>(a.pyramid.size()), static_cast<int>(b.pyramid.size())});
    if (levels < 1) return {};
    CandidateSearch search(a, b, levels);

    // The pyramid refinement from the phase-correlation translation comes first.
    Matrix first;
    bool first_verified = false;
    if (PyramidRoute(a, b, levels, first)) {
        const Matrix polished = Polish(a, b, first, levels);
        first_verified = search.Keep(polished, polished == first);
        first = polished;
    }
    const bool confident = first_verified && Evidence(search.results().front().score) >= kConfidentEvidence;

    // Other translations challenge it: only those that screen about as well when it is confident, every one
    // that screens at all otherwise. A weak first result may lie in the right place but be poorly fitted, so
    // it does not keep candidates from its neighbourhood.
    std::vector<Start> starts = CoarseStarts(a, b, levels, !confident);
    if (first_verified) {
        // Starts where the first result already lies would only find it again.
        const Shift at = CentreShift(a.pyramid.front(), first, levels - 1);
        std::erase_if(starts, [&](const Start& s) { return SameStart(s, {at.x, at.y}); });
    }
    const float least = confident ? search.ScreeningScore(first) - kChallengeMargin : 0.0f;
    search.Explore(starts, least, confident ? 0 : search.results().size());
    // Fine, even texture blurs away at the coarsest level: when nothing verified, search its detail a level
    // further down.
    if (search.results().empty()) search.Explore(DetailStarts(a, b, levels), 0.0f);
    return Choose(a, b, search.results());
}

}  // namespace tp
