// Re-alignment: corrects the small residual misalignments registration leaves before the advanced blend.
// The reference seeds a lattice of grid points with patches; every further source in stitching order is
// matched against them, its transforms are corrected by a robust fit, the correction is carried to the
// sources beyond it, and its own patches become candidates for the sources that follow.
//
// Realign leaves the canvas re-allocated for the new bounds and empty: the advanced blend that follows
// paints it.
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "compositing/mosaic.h"
#include "compositing/realignment.h"
#include "imaging/fatal_error.h"
#include "imaging/string_table.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr int kMinimumFeatures = 10;

enum class SourceOutcome { Realigned, Cancelled, TooFewFeatures };

class RealignmentRun {
public:
    RealignmentRun(Mosaic& mosaic, Progress& progress)
        : mosaic_(mosaic), progress_(progress), state_(mosaic.realignment()), offset_(mosaic.canvas_offset())
    {
    }

    bool Run()
    {
        ColorImage& canvas = mosaic_.planar();
        if (!mosaic_.geometry_valid() || canvas.empty()) return false;
        if (!CreateGrids(state_, canvas.width(), canvas.height(), progress_)) return false;
        progress_.SetText(strings::kRealigning);
        progress_.SetRange((2 * mosaic_.ChainedSourcesAfterReference() + 1) * state_.num_grid + 1);

        mosaic_.ClearCanvas();
        if (!composite_.allocate(canvas.width(), canvas.height())) return ReportCanvasTooLarge();
        const int reference = mosaic_.reference();
        const std::shared_ptr<const ColorImage> source = SourceImage(reference);
        const ColorImage& image = *source;
        const SourceAlignment& record = mosaic_.alignment(reference);
        RenderGreyWhereEmpty(composite_, image, record.to_reference, record.from_reference, offset_);
        if (!CollectReferenceCandidates(GreyLevels(image))) return false;

        const std::vector<int>& order = mosaic_.stitching_order();
        for (std::size_t position = 1; position < order.size(); ++position) {
            const int b = order[position];
            if (!mosaic_.alignment(b).in_chain) break;
            if (RealignSource(b) != SourceOutcome::Realigned) return false;
            PropagateCorrection(mosaic_, b);
            if (progress_.Step()) return false;
        }

        composite_.release();
        mosaic_.ComputeBoundingBoxes(false);
        if (!mosaic_.AllocateCanvas()) return ReportCanvasTooLarge();
        return true;
    }

private:
    bool ReportCanvasTooLarge()
    {
        ShowMessage(LoadString(strings::kSystemMemoryNotSufficient));
        return false;
    }

    // The working image of source i; an empty image when unreadable or not of the working size, so that it
    // offers no texture and no matches.
    std::shared_ptr<const ColorImage> SourceImage(int i) const
    {
        std::shared_ptr<const ColorImage> image = mosaic_.ShareWorkingImage(i);
        if (!image || !image->same_size(mosaic_.working_width(), mosaic_.working_height()))
            return std::make_shared<const ColorImage>();
        return image;
    }

    int HalfPatch() const { return state_.patch_size / 2; }

    // Working-image pixel whose patch and texture window stay clear of the outer pixels.
    bool PatchFits(const GrayImage& grey, int x, int y) const
    {
        const int t = HalfPatch();
        return x + t < grey.width() - 2 && y + t < grey.height() - 2 && x - t > 1 && y - t > 1;
    }

    // Canvas frame in: the grid point as a working-image pixel of a source (integer half size added, then
    // truncated); empty when the point maps to no position.
    std::optional<PointI> GridPointInSource(const RealignmentGrid& grid, const Matrix& from_reference,
                                            const GrayImage& grey) const
    {
        const MappedPoint q = ApplyHomography(from_reference, static_cast<float>(grid.x - offset_.x),
                                              static_cast<float>(grid.y - offset_.y));
        if (!q.valid) return std::nullopt;
        return PointI{static_cast<int>(q.x + static_cast<float>(grey.width() / 2)),
                      static_cast<int>(q.y + static_cast<float>(grey.height() / 2))};
    }

    // A texture candidate from `source` where the grid point falls on a textured place of it.
    void AddTextureCandidate(RealignmentGrid& grid, int source, const Matrix& from_reference, const GrayImage& grey)
    {
        const std::optional<PointI> p = GridPointInSource(grid, from_reference, grey);
        if (!p || !PatchFits(grey, p->x, p->y)) return;
        if (!IsTextured(grey, p->x, p->y, HalfPatch() - 1, state_.texture_threshold)) return;
        GridCandidate record;
        record.source = source;
        AddCandidate(grid, grey, *p, record);
    }

    bool CollectReferenceCandidates(const GrayImage& grey)
    {
        const int reference = mosaic_.reference();
        const Matrix& from_reference = mosaic_.alignment(reference).from_reference;
        for (RealignmentGrid& grid : state_.grids) {
            AddTextureCandidate(grid, reference, from_reference, grey);
            if (progress_.Step()) return false;
        }
        return true;
    }

    SourceOutcome RealignSource(int b)
    {
        const std::shared_ptr<const ColorImage> source = SourceImage(b);
        const ColorImage& image = *source;
        const GrayImage grey = GreyLevels(image);
        SourceAlignment& record = mosaic_.alignment(b);
        SourceMatches found = MatchSource(state_, grey, record.from_reference, offset_, progress_);
        if (found.cancelled) return SourceOutcome::Cancelled;
        ScaleByMatchQuality(found.features);
        if (static_cast<int>(found.features.size()) < kMinimumFeatures) {
            ShowMessage(LoadString(strings::kTooFewFeatures));
            return SourceOutcome::TooFewFeatures;
        }
        ApplyCorrection(record, FitCorrection(found.features));
        if (!CollectSourceCandidates(b, grey, found.matches)) return SourceOutcome::Cancelled;
        RenderGreyWhereEmpty(composite_, image, record.to_reference, record.from_reference, offset_);
        return SourceOutcome::Realigned;
    }

    // H maps the source's predicted points onto where they were found. A fit that failed (singular normal
    // equations, a solution that is not finite or cannot be inverted) leaves the source as registration
    // placed it: the run goes on, and the source still offers its patches to the sources after it.
    static void ApplyCorrection(SourceAlignment& record, const std::optional<Matrix>& h)
    {
        Matrix h_inverse;
        if (!h || !TryInverse(*h, h_inverse)) return;
        record.to_reference = record.to_reference * h_inverse;
        record.from_reference = *h * record.from_reference;
    }

    // Matched grid points take the source's patch at the match; grid points still without a feature take
    // its patch when the source is textured there.
    bool CollectSourceCandidates(int b, const GrayImage& grey, const std::vector<std::optional<GridMatch>>& matches)
    {
        const SourceAlignment& record = mosaic_.alignment(b);
        for (std::size_t g = 0; g < state_.grids.size(); ++g) {
            RealignmentGrid& grid = state_.grids[g];
            if (!grid.has_feature) {
                AddTextureCandidate(grid, b, record.from_reference, grey);
            } else if (matches[g]) {
                const GridMatch& match = *matches[g];
                // Where the matched patch now lies on the canvas, relative to the grid point.
                const MappedPoint at = ApplyHomography(record.to_reference,
                                                       static_cast<float>(match.position.x - grey.width() / 2),
                                                       static_cast<float>(match.position.y - grey.height() / 2));
                if (at.valid) {
                    GridCandidate candidate;
                    candidate.source = b;
                    candidate.offset_x = static_cast<int>(at.x + static_cast<float>(offset_.x - grid.x));
                    candidate.offset_y = static_cast<int>(at.y + static_cast<float>(offset_.y - grid.y));
                    candidate.matched = match.slot;
                    candidate.score = match.cost;
                    AddCandidate(grid, grey, match.position, candidate);
                }
            }
            if (progress_.Step()) return false;
        }
        return true;
    }

    Mosaic& mosaic_;
    Progress& progress_;
    RealignmentState& state_;
    PointI offset_;
    // Grey rendering of the sources re-aligned so far, canvas-sized, for the run only. Matching reads the
    // sources' own grey levels, never this picture of what the corrected sources cover.
    GrayImage composite_;
};

}  // namespace

void PropagateCorrection(Mosaic& mosaic, int b)
{
    const int n = mosaic.source_count();
    const int reference = mosaic.reference();
    if (b == reference) return;
    const int step = b > reference ? 1 : -1;
    for (int i = b + step; i >= 0 && i < n; i += step) {
        SourceAlignment& record = mosaic.alignment(i);
        if (!record.in_chain) break;
        const SourceAlignment& inner = mosaic.alignment(i - step);
        // Into the inner neighbour by the pairwise homography, then on to the reference.
        const Matrix to_reference = inner.to_reference * (step > 0 ? record.to_previous : record.to_next);
        Matrix from_reference;
        // A chain product that cannot be inverted cannot be carried further.
        if (!TryInverse(to_reference, from_reference)) break;
        record.to_reference = to_reference;
        record.from_reference = from_reference;
    }
}

bool Mosaic::Realign(Progress& progress)
{
    // The grids and fits need little memory; when even that cannot be had the program cannot go on.
    try {
        RealignmentRun run(*this, progress);
        return run.Run();
    } catch (const std::bad_alloc&) {
        FatalOutOfMemory();
    }
}

}  // namespace tp
