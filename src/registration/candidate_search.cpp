#include "registration/candidate_search.h"

#include <algorithm>
#include <cmath>

#include "imaging/image_ops.h"
#include "registration/correlation_refinement.h"
#include "registration/homography.h"
#include "registration/overlap_geometry.h"
#include "registration/pyramid_refinement.h"
#include "registration/translation_search.h"
#include "registration/verification.h"

namespace tp {

namespace {

// Shifts whose overlap covers less than 6 % of the image are not searched.
constexpr double kSearchMinimumOverlap = 0.06;
constexpr int kCorrelationPeaks = 4;
constexpr int kPhasePeaks = 2;
constexpr int kDetailPeaks = 4;
// The coarse searches run on images of at most this side: shifts a few pixels off are all the screening
// needs, and the transforms stay small.
constexpr int kSearchSide = 128;
// Starts this close (coarsest-level pixels, either axis) are one estimate.
constexpr double kSameStart = 3.0;
// Screening: iterations of the correlation refinement at the coarsest level; a screening score below the
// minimum is not worth refining; at most three starts are carried to working resolution.
constexpr int kScreeningIterations = 6;
constexpr float kScreeningMinimum = 0.15f;
constexpr int kMostRefined = 3;
// Once a start verifies, others are still tried only when they screen within this of it.
constexpr float kScreeningMargin = 0.1f;
// A start that screens to within this (working pixels, overlap centre) of a verified result finds it again.
constexpr double kSameResult = 16.0;

GrayImage Halved(const GrayImage& image)
{
    GrayImage half;
    ReduceByTwo(CutToEvenSize(image), half);
    return half;
}

FloatImage Floats(const GrayImage& image)
{
    FloatImage f;
    ToFloat(image, f);
    return f;
}

// Adds each peak, found on an image 2^-halvings the coarsest level's size, unless an earlier start is near.
void AddPeaks(const std::vector<ShiftCandidate>& peaks, double scale, std::vector<Start>& starts)
{
    for (const ShiftCandidate& p : peaks) {
        const Start s{p.x * scale, p.y * scale};
        if (std::none_of(starts.begin(), starts.end(), [&](const Start& t) { return SameStart(s, t); })) starts.push_back(s);
    }
}

}  // namespace

bool SameStart(const Start& s, const Start& t) { return std::fabs(s.x - t.x) <= kSameStart && std::fabs(s.y - t.y) <= kSameStart; }

std::vector<Start> CoarseStarts(const SourceLevels& a, const SourceLevels& b, int levels, bool with_phase)
{
    const std::size_t coarsest = static_cast<std::size_t>(levels) - 1;
    GrayImage sa = a.pyramid[coarsest], sb = b.pyramid[coarsest];
    double scale = 1.0;
    while (std::max(sa.width(), sa.height()) > kSearchSide) {
        sa = Halved(sa);
        sb = Halved(sb);
        scale *= 2.0;
    }
    std::vector<Start> starts;
    AddPeaks(CorrelationPeaks(Floats(sa), Floats(sb), kSearchMinimumOverlap, kCorrelationPeaks), scale, starts);
    if (with_phase) {
        AddPeaks(PhaseCorrelationPeaks(sa, sb, kPhasePeaks), scale, starts);
        AddPeaks(TaperedPhasePeaks(sa, sb, kPhasePeaks), scale, starts);
    }
    return starts;
}

std::vector<Start> DetailStarts(const SourceLevels& a, const SourceLevels& b, int levels)
{
    std::vector<Start> starts;
    const double scale = std::ldexp(1.0, a.screening_level - (levels - 1));
    AddPeaks(CorrelationPeaks(a.screening_detail.fine, b.screening_detail.fine, kSearchMinimumOverlap, kDetailPeaks), scale, starts);
    return starts;
}

CandidateSearch::CandidateSearch(const SourceLevels& a, const SourceLevels& b, int levels) : a_(a), b_(b), levels_(levels) {}

bool CandidateSearch::Keep(const Matrix& h, bool as_refined_by_points)
{
    const OverlapScore score = ScorePair(a_, b_, h);
    if (!IsVerified(score)) return false;
    results_.push_back({h, score, as_refined_by_points});
    return true;
}

float CandidateSearch::ScreeningScore(const Matrix& h) const
{
    const int level = a_.screening_level;
    const std::size_t l = static_cast<std::size_t>(level);
    return Evidence(ScoreOverlap(a_.pyramid[l], b_.pyramid[l], a_.screening_detail, b_.screening_detail, ToFinerLevel(h, -level)));
}

CandidateSearch::Screened CandidateSearch::Screen(const Start& start) const
{
    Screened s{start, TranslationHomography(start.x, start.y), -1.0f};
    if (RefineByCorrelation(a_.pyramid, b_.pyramid, s.h, {levels_ - 1, levels_ - 1, kScreeningIterations})) s.score = ScreeningScore(s.h);
    return s;
}

// The pyramid refinement from the start's translation, polished by the correlation refinement from two
// levels up; when that does not verify, the correlation refinement alone from the same translation (for
// overlaps where the points do not hold).
void CandidateSearch::Refine(const Screened& s)
{
    Matrix h = TranslationHomography(s.start.x, s.start.y);
    if (RefineHomography(a_.pyramid, b_.pyramid, h, levels_)) {
        const int from = std::min(2, levels_ - 1);
        h = ToFinerLevel(h, -from);
        if (RefineByCorrelation(a_.pyramid, b_.pyramid, h, {from, 0}) && Keep(h)) return;
    }
    h = TranslationHomography(s.start.x, s.start.y);
    if (RefineByCorrelation(a_.pyramid, b_.pyramid, h, {levels_ - 1, 0})) Keep(h);
}

void CandidateSearch::Explore(const std::vector<Start>& starts, float least, std::size_t untrusted)
{
    std::vector<Screened> screened;
    for (const Start& start : starts) {
        Screened s = Screen(start);
        if (s.score >= std::max(least, kScreeningMinimum)) screened.push_back(std::move(s));
    }
    std::stable_sort(screened.begin(), screened.end(), [](const Screened& l, const Screened& r) { return l.score > r.score; });
    const GrayImage& a = a_.pyramid.front();
    int refined = 0;
    float verified_screening = -1.0f;
    for (const Screened& s : screened) {
        if (refined == kMostRefined || s.score < verified_screening - kScreeningMargin) break;
        const bool known = std::any_of(results_.begin() + static_cast<std::ptrdiff_t>(std::min(untrusted, results_.size())), results_.end(),
                                       [&](const Verified& v) { return CentreDistance(a, v.h, s.h) <= kSameResult; });
        if (known) continue;
        const std::size_t before = results_.size();
        Refine(s);
        ++refined;
        if (results_.size() > before) verified_screening = std::max(verified_screening, s.score);
    }
}

}  // namespace tp
