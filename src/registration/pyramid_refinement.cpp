#include "registration/pyramid_refinement.h"

#include <array>
#include <cmath>

#include "registration/correspondences.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr float kCarryThreshold = 6.6666665f;
constexpr float kFirstDensifyThreshold = 8.333333f;
constexpr float kDensifyFactor = 0.6666667f;
constexpr float kMinimumScore = 0.95f;
constexpr std::size_t kMinimumPairs = 12;
constexpr int kPointsPerQuadrant = 6;
constexpr int kDensifyPasses = 5;

struct PointPairs {
    explicit PointPairs(std::size_t capacity) : in_a(capacity), in_b(capacity) {}
    PointList in_a;  // P
    PointList in_b;  // M, parallel to P once matched
};

// Re-finds every point of the previous level at this level, dropping those without texture.
void CarryPointsDown(const GrayImage& a_level, PointList& points)
{
    std::vector<PointF>& list = points.points();
    std::size_t kept = 0;
    for (const PointF& p : list) {
        const PointI q{static_cast<int>(2.0f * p.x + 0.5f), static_cast<int>(2.0f * p.y + 0.5f)};
        PointI refined;
        if (RefinePoint(a_level, q, 4, kCarryThreshold, refined))
            list[kept++] = {static_cast<float>(refined.x), static_cast<float>(refined.y)};
    }
    list.resize(kept);
}

// H valid for a level of size w x h becomes valid for the level twice that size: fitted exactly through the
// level's four corners and their images, all scaled by 2.
bool DoubleLevel(Matrix& h, int width, int height)
{
    const float hw = static_cast<float>(width) * 0.5f;
    const float hh = static_cast<float>(height) * 0.5f;
    const std::array<PointF, 4> corners = {{{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}}};
    std::array<PointF, 4> source, target;
    for (int k = 0; k < 4; ++k) {
        const MappedPoint m = ApplyHomography(h, corners[static_cast<std::size_t>(k)].x, corners[static_cast<std::size_t>(k)].y);
        if (!m.valid) return false;
        source[static_cast<std::size_t>(k)] = {corners[static_cast<std::size_t>(k)].x * 2, corners[static_cast<std::size_t>(k)].y * 2};
        target[static_cast<std::size_t>(k)] = {m.x * 2, m.y * 2};
    }
    return FitHomography(source, target, h);
}

// Counts of points per quadrant of the overlap box (top-left, top-right, bottom-right, bottom-left) and the
// quadrant rectangles, in that order.
struct Quadrants {
    std::array<BoxI, 4> rectangles;
    std::array<int, 4> counts{};
    bool all_full() const
    {
        for (int c : counts)
            if (c < kPointsPerQuadrant) return false;
        return true;
    }
};

bool CountQuadrants(const GrayImage& a_level, const Matrix& h, const PointList& points, Quadrants& q)
{
    BoxI box;
    if (!OverlapBox(a_level, h, box)) return false;
    const int cx = (box.min_x + box.max_x) / 2;
    const int cy = (box.min_y + box.max_y) / 2;
    q.rectangles = {{{box.min_x, box.min_y, cx, cy}, {cx, box.min_y, box.max_x, cy}, {cx, cy, box.max_x, box.max_y},
                     {box.min_x, cy, cx, box.max_y}}};
    q.counts = {0, 0, 0, 0};
    const float half_w = static_cast<float>(a_level.width() / 2);
    const float half_h = static_cast<float>(a_level.height() / 2);
    for (const PointF& p : points.points()) {
        const bool left = p.x + half_w < static_cast<float>(cx);
        const bool top = p.y + half_h < static_cast<float>(cy);
        const int quadrant = top ? (left ? 0 : 1) : (left ? 3 : 2);
        ++q.counts[static_cast<std::size_t>(quadrant)];
    }
    return true;
}

bool FillSparseQuadrants(const GrayImage& a_level, const Matrix& h, PointList& points, int level, float threshold,
                         bool* all_full)
{
    Quadrants q;
    if (!CountQuadrants(a_level, h, points, q)) return false;
    if (all_full) *all_full = q.all_full();
    for (std::size_t k = 0; k < 4; ++k)
        if (q.counts[k] < kPointsPerQuadrant) FillQuadrant(a_level, q.rectangles[k], points, level, threshold);
    return true;
}

// Matches every point and keeps the pairs that score well and land well inside B, closing the gaps. Points
// before `first_unmatched` were matched and kept with this same H already (a match depends only on the point
// and H), so they keep their matches.
void MatchAll(const GrayImage& a_level, const GrayImage& b_level, const Matrix& h, int level, PointPairs& pairs,
              std::size_t first_unmatched = 0)
{
    const int r = level == 0 ? 8 : level == 1 ? 6 : 4;
    const float limit_x = static_cast<float>(b_level.width() / 2 - 2);
    const float limit_y = static_cast<float>(b_level.height() / 2 - 2);
    std::vector<PointF>& p = pairs.in_a.points();
    std::vector<PointF>& m = pairs.in_b.points();
    m.resize(p.size());
    std::size_t kept = std::min(first_unmatched, p.size());
    for (std::size_t j = kept; j < p.size(); ++j) {
        const Match match = MatchPoint(a_level, b_level, h, p[j], r);
        const float mx = static_cast<float>(match.position.x);
        const float my = static_cast<float>(match.position.y);
        if (std::fabs(mx) < limit_x && std::fabs(my) < limit_y && match.score > kMinimumScore) {
            p[kept] = p[j];
            m[kept] = {mx, my};
            ++kept;
        }
    }
    p.resize(kept);
    m.resize(kept);
}

// Keeps the pairs whose match lies within a relative error of 0.5 of where H maps the point.
void KeepConsistentPairs(const Matrix& h, PointPairs& pairs)
{
    std::vector<PointF>& p = pairs.in_a.points();
    std::vector<PointF>& m = pairs.in_b.points();
    std::size_t kept = 0;
    for (std::size_t j = 0; j < p.size(); ++j) {
        const MappedPoint u = ApplyHomography(h, p[j].x, p[j].y);
        if (!u.valid) continue;
        float ex = std::fabs(m[j].x - u.x);
        if (m[j].x != 0.0f) ex /= std::fabs(m[j].x);
        float ey = std::fabs(m[j].y - u.y);
        if (m[j].y != 0.0f) ey /= std::fabs(m[j].y);
        if (ex + ey < 0.5f) {
            p[kept] = p[j];
            m[kept] = m[j];
            ++kept;
        }
    }
    p.resize(kept);
    m.resize(kept);
}

bool RefineLevel(const Pyramid& a, const Pyramid& b, Matrix& h, int n, bool points_from_coarser, PointPairs& pairs)
{
    const GrayImage& a_level = a[static_cast<std::size_t>(n)];
    const GrayImage& b_level = b[static_cast<std::size_t>(n)];
    if (points_from_coarser) CarryPointsDown(a_level, pairs.in_a);
    const GrayImage& coarser = a[static_cast<std::size_t>(n) + 1];
    if (!DoubleLevel(h, coarser.width(), coarser.height())) return false;
    if (!FillSparseQuadrants(a_level, h, pairs.in_a, n, kCarryThreshold, nullptr)) return false;
    MatchAll(a_level, b_level, h, n, pairs);
    if (pairs.in_a.size() < kMinimumPairs) return false;
    if (!FitHomography(pairs.in_a.points(), pairs.in_b.points(), h)) return false;
    KeepConsistentPairs(h, pairs);

    // Densify: refill sparse quadrants with a falling texture threshold (up to five passes at full resolution,
    // one pass on coarser levels).
    float threshold = kFirstDensifyThreshold;
    for (int pass = 0;;) {
        bool all_full = false;
        // H is refitted only after the passes: from the second pass on, only the points just added need matching.
        const std::size_t matched = pass == 0 ? 0 : pairs.in_a.size();
        if (!FillSparseQuadrants(a_level, h, pairs.in_a, n, threshold, &all_full)) return false;
        MatchAll(a_level, b_level, h, n, pairs, matched);
        threshold *= kDensifyFactor;
        ++pass;
        if (all_full || pass == kDensifyPasses || n > 0) break;
    }
    if (pairs.in_a.size() < kMinimumPairs) return false;
    return FitHomography(pairs.in_a.points(), pairs.in_b.points(), h);
}

}  // namespace

bool RefineHomography(const Pyramid& a, const Pyramid& b, Matrix& h, int levels)
{
    if (levels < 2) return true;
    if (static_cast<int>(a.size()) < levels || static_cast<int>(b.size()) < levels) return false;
    const GrayImage& coarsest = a[static_cast<std::size_t>(levels) - 1];
    PointPairs pairs(static_cast<std::size_t>(coarsest.width()) * static_cast<std::size_t>(coarsest.height()));
    if (!DetectPoints(a[static_cast<std::size_t>(levels) - 2], h, pairs.in_a)) return false;
    for (int n = levels - 2; n >= 0; --n)
        if (!RefineLevel(a, b, h, n, n < levels - 2, pairs)) return false;
    return true;
}

}  // namespace tp

