// Finding a grid point's candidates in a source: a correlation search around where the source's current
// transform predicts each patch, best-scored candidates first.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "compositing/realignment.h"
#include "imaging/dot_rows.h"
#include "imaging/padded_window.h"
#include "imaging/parallel.h"
#include "registration/homography.h"

namespace tp {

namespace {

// Costs at or above this are never kept, so a candidate that correlates nowhere is no match.
constexpr float kNoCost = 10000000.0f;
// Slack when comparing the best cost with the next candidate's score.
constexpr double kScoreSlack = 1e-7;

struct Overlap {
    int first = 0;  // patch index of the first overlapping pixel
    int last = 0;   // one past the last
};

// Patch indices 0 .. size - 1 placed from image position `start` that fall inside [0, side).
Overlap OverlapAlong(int start, int size, int side)
{
    return {std::max(0, -start), std::min(size, side - start)};
}

}  // namespace

double PatchCorrelation(const GrayImage& grey, const GrayImage& patch, int x, int y)
{
    const int half = patch.width() / 2;
    const int left = x - half;
    const int top = y - half;
    const Overlap columns = OverlapAlong(left, patch.width(), grey.width());
    const Overlap rows = OverlapAlong(top, patch.height(), grey.height());
    if (columns.first >= columns.last || rows.first >= rows.last) return 0.0;
    const int overlap = (columns.last - columns.first) * (rows.last - rows.first);
    const int minimum_overlap = (half / 2) * (half / 2);
    if (overlap <= minimum_overlap) return 0.0;

    // Sums of at most a patch of bytes: exact in 32 bits for patches up to 181 x 181, far beyond the 15 x 15
    // in use; 64-bit sums of 32-bit row sums keep larger ones exact too.
    std::int64_t cross = 0, image_energy = 0, patch_energy = 0;
    for (int j = rows.first; j < rows.last; ++j) {
        const std::uint8_t* image_row = grey.row(top + j);
        const std::uint8_t* patch_row = patch.row(j);
        std::int32_t row_cross = 0, row_image = 0, row_patch = 0;
        for (int i = columns.first; i < columns.last; ++i) {
            const std::int32_t a = image_row[left + i];
            const std::int32_t b = patch_row[i];
            row_cross += a * b;
            row_image += a * a;
            row_patch += b * b;
        }
        cross += row_cross;
        image_energy += row_image;
        patch_energy += row_patch;
    }
    const double energy = static_cast<double>(image_energy) * static_cast<double>(patch_energy);
    if (energy <= 0.0) return 0.0;
    return static_cast<double>(cross) / std::sqrt(energy);
}

namespace {

// Correlations of the centres [first_x, last_x] x [first_y, last_y], all of whose placements lie inside the
// image, written to score(ox, oy): the patch energy is the whole patch's, the image energies come from an
// integral image of the squares, and the cross sums from zero-padded 16-bit rows.
template <typename Score>
void CorrelateInside(const GrayImage& grey, const GrayImage& patch, int first_x, int last_x, int first_y, int last_y,
                     Score score)
{
    const int half = patch.width() / 2;
    const int pw = patch.width(), ph = patch.height();
    const int columns = last_x - first_x + 1, rows = last_y - first_y + 1;
    const PaddedWindow p(patch, 0, 0, pw, ph);
    const PaddedWindow region(grey, first_x - half, first_y - half, columns + pw - 1, rows + ph - 1);
    const std::int64_t patch_energy = p.SquareSum(0, 0, pw, ph);
    for (int oy = 0; oy < rows; ++oy)
        for (int ox = 0; ox < columns; ++ox) {
            const std::int32_t cross = DotRows(p.row(0), p.stride(), region.row(oy) + ox, region.stride(), ph,
                                               PaddedWindow::PaddedLength(pw));
            const double energy = static_cast<double>(region.SquareSum(ox, oy, pw, ph)) * static_cast<double>(patch_energy);
            score(ox, oy, energy <= 0.0 ? 0.0 : static_cast<double>(cross) / std::sqrt(energy));
        }
}

}  // namespace

StrongestCorrelation StrongestPatchCorrelation(const GrayImage& grey, const GrayImage& patch, int first_x, int last_x,
                                               int first_y, int last_y)
{
    StrongestCorrelation strongest;
    if (first_x > last_x || first_y > last_y) return strongest;
    const int columns = last_x - first_x + 1, rows = last_y - first_y + 1;
    std::vector<double> scores(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), -1.0);
    // The centres whose placement lies wholly inside the image take the shortcut (patches of at most 64 x 64
    // keep the cross sums within 32 bits); the rest are correlated one by one.
    const int half = patch.width() / 2;
    const int inner_x0 = std::max(first_x, half), inner_x1 = std::min(last_x, grey.width() - patch.width() + half);
    const int inner_y0 = std::max(first_y, half), inner_y1 = std::min(last_y, grey.height() - patch.height() + half);
    if (inner_x0 <= inner_x1 && inner_y0 <= inner_y1 && patch.width() <= 64 && patch.height() <= 64 &&
        (half / 2) * (half / 2) < patch.width() * patch.height())
        CorrelateInside(grey, patch, inner_x0, inner_x1, inner_y0, inner_y1, [&](int ox, int oy, double r) {
            scores[static_cast<std::size_t>(inner_y0 - first_y + oy) * static_cast<std::size_t>(columns) +
                   static_cast<std::size_t>(inner_x0 - first_x + ox)] = r;
        });
    for (int cy = first_y; cy <= last_y; ++cy)
        for (int cx = first_x; cx <= last_x; ++cx) {
            double& score = scores[static_cast<std::size_t>(cy - first_y) * static_cast<std::size_t>(columns) +
                                   static_cast<std::size_t>(cx - first_x)];
            if (score < 0.0) score = PatchCorrelation(grey, patch, cx, cy);
            if (score > strongest.correlation) {
                strongest.correlation = score;
                strongest.position = {cx, cy};
            }
        }
    return strongest;
}

std::optional<CandidateMatch> FindBestCandidate(const RealignmentGrid& grid, const GrayImage& grey,
                                                const Matrix& from_reference, PointI canvas_offset)
{
    const int half_width = grey.width() / 2;
    const int half_height = grey.height() / 2;
    const int reach = grid.search_size / 2;
    std::optional<CandidateMatch> best;
    float lowest = kNoCost;
    int tried = 0;
    for (int k = 0; k < grid.count; ++k) {
        const auto slot = static_cast<std::size_t>(grid.rank[static_cast<std::size_t>(k)]);
        const GridCandidate& candidate = grid.candidates[slot];
        const GrayImage& patch = grid.patches[slot];
        ++tried;
        // Canvas -> mosaic -> the source's centred coordinates -> its pixels.
        const MappedPoint predicted =
            ApplyHomography(from_reference, static_cast<float>(grid.x + candidate.offset_x - canvas_offset.x),
                            static_cast<float>(grid.y + candidate.offset_y - canvas_offset.y));
        if (predicted.valid) {
            const int px = static_cast<int>(predicted.x + static_cast<float>(half_width));
            const int py = static_cast<int>(predicted.y + static_cast<float>(half_height));
            // Centres whose patch cannot touch the image correlate to 0 and never win, so they are not visited.
            const int half = patch.width() / 2;
            const int first_x = std::max(px - reach, half - patch.width() + 1);
            const int last_x = std::min(px + reach, grey.width() - 1 + half);
            const int first_y = std::max(py - reach, half - patch.height() + 1);
            const int last_y = std::min(py + reach, grey.height() - 1 + half);
            const StrongestCorrelation found = StrongestPatchCorrelation(grey, patch, first_x, last_x, first_y, last_y);
            if (found.correlation > 0.0) {
                const float cost = static_cast<float>(-std::log(found.correlation)) + candidate.score;
                if (cost < lowest) {
                    lowest = cost;
                    best = CandidateMatch{found.position, static_cast<int>(slot), cost, 0};
                }
            }
        }
        // Costs never fall below a candidate's score, and the scores rise along the ranking: once the best
        // cost is within the next score, no later candidate can beat it.
        if (best && k + 1 < grid.count) {
            const auto next = static_cast<std::size_t>(grid.rank[static_cast<std::size_t>(k + 1)]);
            if (static_cast<double>(lowest) <= static_cast<double>(grid.candidates[next].score) + kScoreSlack) break;
        }
    }
    if (best) best->candidates_tried = tried;
    return best;
}

SourceMatches MatchSource(const RealignmentState& state, const GrayImage& grey, const Matrix& from_reference,
                          PointI canvas_offset, Progress& progress)
{
    SourceMatches result;
    result.matches.resize(state.grids.size());
    const int width = grey.width();
    const int height = grey.height();
    const int t = state.patch_size / 2;
    // The x margin is one pixel wider than the y margin for the grid point itself, but not for the match.
    const auto grid_point_inside = [&](int x, int y) { return x + t < width - 2 && y + t < height - 2 && x - t > 2 && y - t > 1; };
    const auto match_inside = [&](PointI p) { return p.x + t < width - 2 && p.y + t < height - 2 && p.x - t > 1 && p.y - t > 1; };
    // Every grid point's search is independent: they run spread over the cores first, and the results are
    // then taken in grid order with one progress step each.
    struct Searched {
        MappedPoint q;
        std::optional<CandidateMatch> match;
    };
    std::vector<Searched> searched(state.grids.size());
    ParallelFor(0, static_cast<int>(state.grids.size()), [&](int index) {
        const RealignmentGrid& grid = state.grids[static_cast<std::size_t>(index)];
        // Grid points that no textured source has reached hold nothing to match.
        if (!grid.has_feature || grid.count <= 0) return;
        Searched& s = searched[static_cast<std::size_t>(index)];
        s.q = ApplyHomography(from_reference, static_cast<float>(grid.x - canvas_offset.x), static_cast<float>(grid.y - canvas_offset.y));
        if (!s.q.valid) return;
        const int px = static_cast<int>(s.q.x) + width / 2;
        const int py = static_cast<int>(s.q.y) + height / 2;
        if (grid_point_inside(px, py)) s.match = FindBestCandidate(grid, grey, from_reference, canvas_offset);
    });
    for (std::size_t g = 0; g < state.grids.size(); ++g) {
        const RealignmentGrid& grid = state.grids[g];
        if (const std::optional<CandidateMatch>& match = searched[g].match) {
            const MappedPoint& q = searched[g].q;
            if (match_inside(match->position)) result.matches[g] = GridMatch{match->position, match->slot, match->cost};
            const PointF found{static_cast<float>(match->position.x - width / 2), static_cast<float>(match->position.y - height / 2)};
            result.features.push_back({{q.x, q.y}, found, std::exp(-match->cost), grid.candidates.front().shape});
        }
        if (progress.Step()) {
            result.cancelled = true;
            return result;
        }
    }
    return result;
}

}  // namespace tp
