#include "registration/automatic_registration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/image_ops.h"
#include "registration/correlation_refinement.h"
#include "registration/correspondences.h"
#include "registration/homography.h"
#include "registration/phase_correlation.h"
#include "registration/pyramid_refinement.h"
#include "registration/translation_search.h"

namespace tp {

namespace {

// Verification, measured on the twelve real photo sets (33 pairs, against an independent feature-based
// estimate): correctly aligned pairs have a detail correlation of 0.44 (strong parallax) to 0.89, every
// wrong alignment found by any route 0.14 or less, including smooth skies whose plain grey correlation
// reaches 0.89. The threshold sits between, nearer the wrong side, because parallax only lowers it.
constexpr float kMinimumDetailCorrelation = 0.3f;
// Too little overlap or too little texture in it to tell anything: 5 % of A, detail spread of one grey level.
constexpr float kMinimumOverlapShare = 0.05f;
constexpr float kMinimumFineSpread = 1.0f;
constexpr float kMinimumCoarseSpread = 2.5f;

// Candidate translations: the strongest correlation peaks over every shift whose overlap covers 6 % of the
// coarsest level, and the strongest peaks of the tapered phase correlation.
constexpr double kSearchMinimumOverlap = 0.06;
constexpr int kCorrelationCandidates = 4;
constexpr int kPhaseCandidates = 2;
// The searches run on the coarsest level halved until its larger side is at most this: shifts a few pixels
// off are all the screening needs, and the transforms stay small.
constexpr int kSearchSide = 128;
// Shifts at the coarsest level this close (pixels, either axis) are the same estimate.
constexpr int kSameShift = 3;
// Screening: a candidate, refined by correlation at the coarsest level only, is carried to full resolution
// only when its detail correlation one level below reaches this; at most three are, best first.
constexpr float kScreeningMinimum = 0.15f;
constexpr int kMostRefined = 3;
constexpr int kScreeningIterations = 6;
// A first result verified with at least this evidence is challenged only by candidates that screen about
// as well; a weaker one by every candidate that screens at all.
constexpr float kConfidentEvidence = 0.6f;
// Two verified results further apart than this (working pixels) and scoring within the margin: the images
// do not say which is right.
constexpr double kDistinctPixels = 8.0;
// Localisation: moved by the probe distance (working pixels) along any axis, the band's agreement must
// fall by at least a tenth of itself and by 0.06. On the views cut from photographs, correct alignments
// fall by 0.12 of themselves or more in their weakest direction, streaked skies and leaf veins by 0.11 or
// less (and then from a weak agreement).
constexpr double kFineProbe = 3.0;
constexpr double kCoarseProbe = 10.0;
constexpr float kLeastFall = 0.1f;
constexpr double kProbeSamples = 12000;
constexpr float kLeastAbsoluteFall = 0.06f;
constexpr float kAmbiguityMargin = 0.1f;
// The correlation refinement replaces the pyramid refinement's result only when it moves some corner of
// the overlap by more than this (working pixels).
constexpr double kPolishTolerance = 1.0;
// A result whose detail agrees less than this is not worth polishing (wrong alignments measure 0.14 at most;
// a right one left scaled by the points' fit 0.13).
constexpr float kWorthPolishing = 0.1f;

// The fine band decides wherever it has texture and agrees; the coarse band serves soft pictures.
bool FineBandDecides(const OverlapScore& score)
{
    return score.fine.spread >= kMinimumFineSpread && score.fine.correlation >= kMinimumDetailCorrelation;
}

// Verified results are ranked by both bands together, so that results whose deciding bands differ compare
// fairly.
float Rank(const OverlapScore& score) { return score.fine.correlation + score.coarse.correlation; }

bool Debug()
{
    static const bool on = std::getenv("TP_DEBUG_REGISTRATION") != nullptr;
    return on;
}

void Trace(const char* route, const OverlapScore& s, const Matrix& h)
{
    if (Debug())
        std::fprintf(stderr, "  %-10s corr %.3f fine %.3f/%.2f coarse %.3f/%.2f share %.2f  t=(%.1f, %.1f)\n", route, s.correlation,
                     s.fine.correlation, s.fine.spread, s.coarse.correlation, s.coarse.spread, s.overlap_share, h[0][2], h[1][2]);
}

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

// How far apart two homographies put the centre of A's part of the overlap under `h`, in working pixels.
// Two alignments of one scene that differ only in how well they fit agree there; a pattern matched one
// repetition off does not.
double Disagreement(const GrayImage& a, const Matrix& h, const Matrix& other)
{
    BoxI box;
    if (!OverlapBox(a, h, box)) return 1e9;
    const float cx = static_cast<float>((box.min_x + box.max_x) / 2 - a.width() / 2);
    const float cy = static_cast<float>((box.min_y + box.max_y) / 2 - a.height() / 2);
    const MappedPoint p = ApplyHomography(h, cx, cy), q = ApplyHomography(other, cx, cy);
    if (!p.valid || !q.valid) return 1e9;
    return std::hypot(static_cast<double>(p.x - q.x), static_cast<double>(p.y - q.y));
}

// Whether the alignment is pinned down in every direction: B moved a few pixels (3 for the fine band, 10
// for the coarse one) along any axis must agree measurably less. Streaks and long edges agree almost as
// well moved along their length, and then the alignment is a guess along it.
bool IsLocalised(const SourceLevels& a, const SourceLevels& b, const Matrix& h, const OverlapScore& score)
{
    // Four axes, each probed both ways: the mean fall of the two is the same whether or not the alignment
    // sits exactly on its peak.
    static constexpr int kAxes[4][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
    const bool fine = FineBandDecides(score);
    const float evidence = Evidence(score);
    const double distance = fine ? kFineProbe : kCoarseProbe;
    float least = 2.0f;
    for (const auto& axis : kAxes) {
        const double step = distance / std::hypot(axis[0], axis[1]);
        float fall = 0.0f;
        for (const int sign : {1, -1}) {
            const OverlapScore moved = ScorePair(a, b, TranslationHomography(sign * axis[0] * step, sign * axis[1] * step) * h, kProbeSamples);
            fall += 0.5f * (1.0f - (fine ? moved.fine.correlation : moved.coarse.correlation) / evidence);
        }
        least = std::min(least, fall);
    }
    if (Debug()) std::fprintf(stderr, "CHOSEN %s evidence %.3f least fall %.3f\n", fine ? "fine" : "coarse", evidence, least);
    return least >= kLeastFall && least * evidence >= kLeastAbsoluteFall;
}

// The largest distance between where two homographies put the corners of A's part of the overlap.
double CornerDisagreement(const GrayImage& a, const Matrix& h, const Matrix& other)
{
    BoxI box;
    if (!OverlapBox(a, h, box)) return 1e9;
    double worst = 0;
    for (const int x : {box.min_x, box.max_x})
        for (const int y : {box.min_y, box.max_y}) {
            const float cx = static_cast<float>(x - a.width() / 2), cy = static_cast<float>(y - a.height() / 2);
            const MappedPoint p = ApplyHomography(h, cx, cy), q = ApplyHomography(other, cx, cy);
            if (!p.valid || !q.valid) return 1e9;
            worst = std::max(worst, std::hypot(static_cast<double>(p.x - q.x), static_cast<double>(p.y - q.y)));
        }
    return worst;
}

// The pyramid refinement's result, or the correlation refinement's from two levels up when that agrees
// better and moves some corner of the overlap by more than a pixel: the points' fit can leave the far edges
// of a narrow or sparsely textured overlap a few pixels off. Within a pixel the result stays exactly as the
// pyramid refinement made it.
Matrix Polish(const SourceLevels& a, const SourceLevels& b, const Matrix& h, int levels)
{
    const OverlapScore before = ScorePair(a, b, h);
    if (Evidence(before) < kWorthPolishing) return h;  // not this alignment at all: the other candidates will tell
    const int from = std::min(2, levels - 1);
    Matrix polished = ToFinerLevel(h, -from);
    if (!RefineByCorrelation(a.pyramid, b.pyramid, polished, {from, 0})) return h;
    if (CornerDisagreement(a.pyramid.front(), h, polished) <= kPolishTolerance) return h;
    return Rank(ScorePair(a, b, polished)) >= Rank(before) ? polished : h;
}

// Where a working-resolution result moves A's overlap centre, as a shift at the coarsest level.
ShiftCandidate CoarseShift(const GrayImage& a, const Matrix& h, int coarsest)
{
    BoxI box;
    if (!OverlapBox(a, h, box)) return {0, 0, 0};
    const float cx = static_cast<float>((box.min_x + box.max_x) / 2 - a.width() / 2);
    const float cy = static_cast<float>((box.min_y + box.max_y) / 2 - a.height() / 2);
    const MappedPoint p = ApplyHomography(h, cx, cy);
    const double scale = std::ldexp(1.0, -coarsest);
    return {static_cast<int>(std::lround((p.x - cx) * scale)), static_cast<int>(std::lround((p.y - cy) * scale)), 0};
}

bool Near(const ShiftCandidate& s, const ShiftCandidate& t)
{
    return std::abs(s.x - t.x) <= kSameShift && std::abs(s.y - t.y) <= kSameShift;
}

struct Verified {
    Matrix h;
    OverlapScore score;
};

// A candidate translation after the correlation refinement on the two coarsest levels.
struct Screened {
    ShiftCandidate shift;
    Matrix h;  // valid at level 0
    float detail = -1.0f;
};

class CandidateSearch {
public:
    CandidateSearch(const SourceLevels& a, const SourceLevels& b, int levels)
        : a_(a), b_(b), levels_(levels), screening_level_(std::max(levels - 2, 0))
    {
    }

    // How well `h` (valid at level 0) agrees one level below the coarsest.
    float ScreeningScore(const Matrix& h) const
    {
        const std::size_t level = static_cast<std::size_t>(screening_level_);
        return Evidence(ScoreOverlap(a_.pyramid[level], b_.pyramid[level], a_.screening_detail, b_.screening_detail,
                                     ToFinerLevel(h, -screening_level_)));
    }

    Screened Screen(const ShiftCandidate& shift) const
    {
        Screened s{shift, TranslationHomography(shift.x, shift.y), -1.0f};
        if (RefineByCorrelation(a_.pyramid, b_.pyramid, s.h, {levels_ - 1, levels_ - 1, kScreeningIterations})) s.detail = ScreeningScore(s.h);
        if (Debug()) std::fprintf(stderr, " shift (%d, %d) strength %.3f screened %.3f\n", shift.x, shift.y, shift.strength, s.detail);
        return s;
    }

    // Carries a screened candidate to working resolution: the pyramid refinement from its translation,
    // polished by the correlation refinement from two levels up; when that does not verify, the correlation
    // refinement alone from the same translation.
    void Refine(const Screened& s)
    {
        Matrix h = TranslationHomography(s.shift.x, s.shift.y);
        if (RefineHomography(a_.pyramid, b_.pyramid, h, levels_)) {
            const int from = std::min(2, levels_ - 1);
            h = ToFinerLevel(h, -from);
            if (RefineByCorrelation(a_.pyramid, b_.pyramid, h, {from, 0}) && Keep(h, "refined")) return;
        }
        h = TranslationHomography(s.shift.x, s.shift.y);
        if (RefineByCorrelation(a_.pyramid, b_.pyramid, h, {levels_ - 1, 0})) Keep(h, "correlated");
    }

    bool Keep(const Matrix& h, const char* route)
    {
        const OverlapScore score = ScorePair(a_, b_, h);
        Trace(route, score, h);
        if (!IsVerified(score)) return false;
        results_.push_back({h, score});
        return true;
    }

    const std::vector<Verified>& results() const { return results_; }

private:
    const SourceLevels& a_;
    const SourceLevels& b_;
    int levels_;
    int screening_level_;
    std::vector<Verified> results_;
};

// The best verified result, unless another that puts the overlap elsewhere verifies almost as well: then the
// images (stripes, blinds, tiles) do not say which is right.
PairResult Choose(const SourceLevels& a_levels, const SourceLevels& b_levels, const std::vector<Verified>& results)
{
    const GrayImage& a = a_levels.pyramid.front();
    PairResult chosen;
    chosen.verdict = PairVerdict::Declined;
    if (results.empty()) return chosen;
    std::size_t best = 0;
    for (std::size_t k = 1; k < results.size(); ++k)
        if (Rank(results[k].score) > Rank(results[best].score)) best = k;
    chosen.score = results[best].score;
    for (std::size_t k = 0; k < results.size(); ++k)
        if (k != best && Rank(results[k].score) >= Rank(results[best].score) - kAmbiguityMargin &&
            Disagreement(a, results[best].h, results[k].h) > kDistinctPixels)
            return chosen;
    if (!IsLocalised(a_levels, b_levels, results[best].h, results[best].score)) return chosen;
    chosen.verdict = PairVerdict::Verified;
    chosen.h = results[best].h;
    return chosen;
}

// The coarsest level, halved further until its larger side is at most kSearchSide, and how often it was.
GrayImage SearchImage(const GrayImage& coarsest, int& halvings)
{
    GrayImage image = coarsest;
    halvings = 0;
    while (std::max(image.width(), image.height()) > kSearchSide) {
        GrayImage half;
        ReduceByTwo(CutToEvenSize(image), half);
        image = std::move(half);
        ++halvings;
    }
    return image;
}

// Candidate translations at the coarsest level, without repeats.
std::vector<ShiftCandidate> CandidateShifts(const SourceLevels& a, const SourceLevels& b, int levels, bool with_phase)
{
    const std::size_t coarsest = static_cast<std::size_t>(levels) - 1;
    int halvings = 0;
    const GrayImage sa = SearchImage(a.pyramid[coarsest], halvings), sb = SearchImage(b.pyramid[coarsest], halvings);
    std::vector<ShiftCandidate> found;
    FloatImage fa, fb;
    ToFloat(sa, fa);
    ToFloat(sb, fb);
    for (const ShiftCandidate& s : CorrelationPeaks(fa, fb, kSearchMinimumOverlap, kCorrelationCandidates)) found.push_back(s);
    if (with_phase)
        for (const ShiftCandidate& s : TaperedPhasePeaks(sa, sb, kPhaseCandidates)) found.push_back(s);
    std::vector<ShiftCandidate> shifts;
    for (ShiftCandidate s : found) {
        s.x <<= halvings;
        s.y <<= halvings;
        if (std::none_of(shifts.begin(), shifts.end(), [&](const ShiftCandidate& t) { return Near(s, t); })) shifts.push_back(s);
    }
    return shifts;
}

}  // namespace

SourceLevels BuildSourceLevels(const ColorImage& working_image, int levels)
{
    SourceLevels s;
    s.pyramid = BuildPyramid(working_image, levels);
    if (s.pyramid.empty()) return s;
    s.detail = MakeDetailBands(s.pyramid.front());
    s.screening_detail = MakeDetailBands(s.pyramid[static_cast<std::size_t>(std::max(static_cast<int>(s.pyramid.size()) - 2, 0))]);
    return s;
}

float Evidence(const OverlapScore& score)
{
    if (FineBandDecides(score)) return score.fine.correlation;
    if (score.coarse.spread >= kMinimumCoarseSpread) return score.coarse.correlation;
    return -1.0f;
}

bool IsVerified(const OverlapScore& score)
{
    return score.overlap_share >= kMinimumOverlapShare && Evidence(score) >= kMinimumDetailCorrelation;
}

OverlapScore ScorePair(const SourceLevels& a, const SourceLevels& b, const Matrix& h, double samples)
{
    return ScoreOverlap(a.pyramid.front(), b.pyramid.front(), a.detail, b.detail, h, samples);
}

PairResult RegisterAutomatically(const SourceLevels& a, const SourceLevels& b, int levels)
{
    levels = std::min({levels, static_cast<int>(a.pyramid.size()), static_cast<int>(b.pyramid.size())});
    if (levels < 1) return {};
    const GrayImage& a_full = a.pyramid.front();
    CandidateSearch search(a, b, levels);

    // The pyramid refinement from the phase-correlation translation comes first. When it verifies with
    // confidence, only candidates that screen about as well can challenge it.
    Matrix first;
    const bool routed = PyramidRoute(a, b, levels, first);
    if (routed) first = Polish(a, b, first, levels);
    const bool first_verified = routed && search.Keep(first, "pyramid");
    const ShiftCandidate first_shift = CoarseShift(a_full, first, levels - 1);
    const float first_screening = first_verified ? search.ScreeningScore(first) : -1.0f;
    const bool first_confident = first_verified && Evidence(search.results().front().score) >= kConfidentEvidence;
    // Every other candidate is screened; those that agree well enough are carried to full resolution, best
    // first. A verified first result stands as it is unless another candidate screens about as well.
    std::vector<Screened> screened;
    const std::vector<ShiftCandidate> cands = CandidateShifts(a, b, levels, !first_confident);
    for (const ShiftCandidate& shift : cands) {
        if (first_verified && Near(shift, first_shift)) continue;
        const Screened s = search.Screen(shift);
        const float least = first_confident ? first_screening - kAmbiguityMargin : kScreeningMinimum;
        if (s.detail >= std::max(least, kScreeningMinimum)) screened.push_back(s);
    }
    std::stable_sort(screened.begin(), screened.end(), [](const Screened& l, const Screened& r) { return l.detail > r.detail; });
    int refined = 0;
    float verified_screening = -1.0f;  // the screening of the best candidate that verified
    for (const Screened& s : screened) {
        // Once a candidate verifies, only those that screen about as well could still be an alternative.
        if (refined == kMostRefined || s.detail < verified_screening - kAmbiguityMargin) break;
        // A candidate that screens to where a verified result already lies would only find it again (the
        // first result counts only when it is confident: it may be the right place but poorly fitted).
        const bool known = std::any_of(search.results().begin(), search.results().end(), [&](const Verified& v) {
            const bool trusted = &v != &search.results().front() || !first_verified || first_confident;
            return trusted && Disagreement(a_full, v.h, s.h) <= kDistinctPixels * 2;
        });
        if (known) continue;
        const std::size_t before = search.results().size();
        search.Refine(s);
        ++refined;
        if (search.results().size() > before) verified_screening = std::max(verified_screening, s.detail);
    }
    return Choose(a, b, search.results());
}

}  // namespace tp
