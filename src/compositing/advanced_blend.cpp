// Finalization blending: the reference is painted first, and every further source in stitching order is
// joined to what the canvas already holds along a searched seam, the two sides merged band by band.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "compositing/bilinear.h"
#include "compositing/mosaic.h"
#include "compositing/multiband_blend.h"
#include "compositing/seam_endpoints.h"
#include "compositing/seam_search.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr int kStepsPerSource = 16;
// The patches around the overlap reach this far beyond it (the canvas margin less 5).
constexpr int kPatchMargin = Mosaic::kMargin - 5;

// A rectangle in canvas pixels, upper bounds exclusive.
struct Span {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// Paints the pixels of `span` (canvas pixels) that map into the image's usable area with its bilinear colour.
// `visit(x, y, colour)` receives each sampled pixel; rows are spread over threads, so it may only write
// that pixel.
template <typename Visit>
void WarpInto(const ColorImage& image, const Matrix& from_reference, PointI offset, const Span& span, Visit visit)
{
    const int hw = image.width() / 2, hh = image.height() / 2;
    ParallelFor(span.y0, span.y1, [&](int y) {
        std::uint8_t colour[3];
        for (int x = span.x0; x < span.x1; ++x) {
            const MappedPoint m = ApplyHomography(from_reference, static_cast<float>(x - offset.x), static_cast<float>(y - offset.y));
            if (!m.valid) continue;
            const float sx = m.x + static_cast<float>(hw), sy = m.y + static_cast<float>(hh);
            if (!(sx >= 2.0f && sx < static_cast<float>(image.width() - 2) && sy >= 2.0f && sy < static_cast<float>(image.height() - 2)))
                continue;
            SampleColour(image, sx, sy, colour);
            visit(x, y, colour);
        }
    });
}

// One source joined to the canvas; false when the user cancels.
class SourceJoin {
public:
    SourceJoin(Mosaic& mosaic, int index, Progress& progress, JoinRecord& record)
        : mosaic_(mosaic), index_(index), progress_(progress), record_(record)
    {
        record_.index = index;
    }

    bool Run();

private:
    bool Step() { return !progress_.Step(); }
    void SkipRemainingSteps()
    {
        while (steps_sent_ < kStepsPerSource) {
            progress_.Step();
            ++steps_sent_;
        }
    }
    bool Counted(bool keep_going)
    {
        ++steps_sent_;
        return keep_going;
    }
    std::array<PointI, 4> InnerCornersOnCanvas() const;
    void FillEmptyCanvas();

    Mosaic& mosaic_;
    int index_;
    Progress& progress_;
    JoinRecord& record_;
    int steps_sent_ = 0;
    std::shared_ptr<const ColorImage> image_;
    Span box_;
    ColorImage warped_;  // the source over its box; empty pixels where it has none
};

std::array<PointI, 4> SourceJoin::InnerCornersOnCanvas() const
{
    const float hw = static_cast<float>(mosaic_.working_width()) * 0.5f - 2.0f;
    const float hh = static_cast<float>(mosaic_.working_height()) * 0.5f - 2.0f;
    const PointF corners[4] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    const PointI offset = mosaic_.canvas_offset();
    std::array<PointI, 4> out{};
    for (std::size_t k = 0; k < 4; ++k) {
        const MappedPoint m = ApplyHomography(mosaic_.alignment(index_).to_reference, corners[k].x, corners[k].y);
        // A corner with no position lies off every canvas.
        out[k] = m.valid ? PointI{static_cast<int>(m.x + static_cast<float>(offset.x) + 0.5f),
                                  static_cast<int>(m.y + static_cast<float>(offset.y) + 0.5f)}
                         : PointI{-1, -1};
    }
    return out;
}

void SourceJoin::FillEmptyCanvas()
{
    ColorImage& canvas = mosaic_.planar();
    ParallelFor(0, box_.height(), [&](int y) {
        for (int x = 0; x < box_.width(); ++x) {
            const std::uint8_t* w = warped_.pixel(x, y);
            std::uint8_t* c = canvas.pixel(box_.x0 + x, box_.y0 + y);
            if (!IsEmptyPixel(w) && IsEmptyPixel(c)) std::copy_n(w, 3, c);
        }
    });
}

bool SourceJoin::Run()
{
    image_ = mosaic_.BlendingImage(index_);
    const SeamEndpoints ends = FindSeamEndpoints(mosaic_.planar(), InnerCornersOnCanvas());
    if (ends.skip) {
        record_.kind = JoinRecord::Kind::Skipped;
        SkipRemainingSteps();
        return true;
    }

    // Warp the source over its box (clipped to the canvas).
    ColorImage& canvas = mosaic_.planar();
    const PointI offset = mosaic_.canvas_offset();
    const BoxI& rel = mosaic_.alignment(index_).relative_box;
    box_ = {std::max(rel.min_x + offset.x, 0), std::max(rel.min_y + offset.y, 0), std::min(rel.max_x + offset.x, canvas.width()),
            std::min(rel.max_y + offset.y, canvas.height())};
    if (box_.empty()) box_ = {};
    warped_.allocate(box_.width(), box_.height());
    if (image_ && !image_->empty())
        WarpInto(*image_, mosaic_.alignment(index_).from_reference, offset, box_,
                 [&](int x, int y, const std::uint8_t* colour) { std::copy_n(colour, 3, warped_.pixel(x - box_.x0, y - box_.y0)); });
    if (!Counted(Step())) return false;

    // Largest channel difference where both exist; the overlap box around those pixels.
    GrayImage difference(box_.width(), box_.height());
    // Each row records where its overlap begins and ends; the rows are combined afterwards.
    std::vector<std::pair<int, int>> row_overlap(static_cast<std::size_t>(box_.height()), {box_.width(), -1});
    ParallelFor(0, box_.height(), [&](int y) {
        auto& [first, last] = row_overlap[static_cast<std::size_t>(y)];
        for (int x = 0; x < box_.width(); ++x) {
            const std::uint8_t* w = warped_.pixel(x, y);
            const std::uint8_t* c = canvas.pixel(box_.x0 + x, box_.y0 + y);
            if (IsEmptyPixel(w) || IsEmptyPixel(c)) {
                difference.at(x, y) = 255;
                continue;
            }
            int d = 0;
            for (int k = 0; k < 3; ++k) d = std::max(d, std::abs(static_cast<int>(w[k]) - static_cast<int>(c[k])));
            difference.at(x, y) = static_cast<std::uint8_t>(d);
            first = std::min(first, x);
            last = std::max(last, x);
        }
    });
    Span overlap{box_.width(), box_.height(), -1, -1};
    for (int y = 0; y < box_.height(); ++y) {
        const auto [first, last] = row_overlap[static_cast<std::size_t>(y)];
        if (last < 0) continue;
        overlap.x0 = std::min(overlap.x0, first);
        overlap.y0 = std::min(overlap.y0, y);
        overlap.x1 = std::max(overlap.x1, last + 1);
        overlap.y1 = std::max(overlap.y1, y + 1);
    }
    if (!Counted(Step())) return false;

    // Nothing to seam against (no overlap, or an outline that does not cross the painted area twice): the
    // source fills the empty canvas only.
    if (ends.no_seam || overlap.empty()) {
        record_.kind = JoinRecord::Kind::FillOnly;
        while (steps_sent_ < kStepsPerSource - 1)
            if (!Counted(Step())) return false;
        FillEmptyCanvas();
        return Counted(Step());
    }

    GrayImage cropped(overlap.width(), overlap.height());
    for (int y = 0; y < overlap.height(); ++y) std::copy_n(difference.row(overlap.y0 + y) + overlap.x0, overlap.width(), cropped.row(y));
    if (!Counted(Step())) return false;
    const PointI corner{box_.x0 + overlap.x0, box_.y0 + overlap.y0};
    const PointI e1 = SnapToBorder({ends.first.x - corner.x, ends.first.y - corner.y}, overlap.width(), overlap.height());
    if (!Counted(Step())) return false;
    const PointI e2 = SnapToBorder({ends.second.x - corner.x, ends.second.y - corner.y}, overlap.width(), overlap.height());
    if (!Counted(Step())) return false;

    const GrayImage seam = SearchSeam(cropped, e1, e2, ends.orientation);
    if (!Counted(Step())) return false;

    // Widened mask (edges replicated outward) and the two patches around the overlap.
    const int m = kPatchMargin;
    const int pw = overlap.width() + 2 * m, ph = overlap.height() + 2 * m;
    const PointI patch_origin{corner.x - m, corner.y - m};  // canvas pixels
    GrayImage mask(pw, ph);
    std::array<GrayImage, 3> mosaic_planes{GrayImage(pw, ph), GrayImage(pw, ph), GrayImage(pw, ph)};
    std::array<GrayImage, 3> source_planes{GrayImage(pw, ph), GrayImage(pw, ph), GrayImage(pw, ph)};
    for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x)
            mask.at(x, y) = seam.at(std::clamp(x - m, 0, overlap.width() - 1), std::clamp(y - m, 0, overlap.height() - 1));
    record_.kind = JoinRecord::Kind::Seamed;
    record_.patch_origin = patch_origin;
    record_.mask = mask;
    if (!Counted(Step())) return false;
    for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x) {
            const int cx = patch_origin.x + x, cy = patch_origin.y + y;
            if (canvas.contains(cx, cy))
                for (int k = 0; k < 3; ++k) mosaic_planes[static_cast<std::size_t>(k)].at(x, y) = canvas.at(cx, cy, k);
        }
    if (!Counted(Step())) return false;
    for (int y = 0; y < ph; ++y)
        for (int x = 0; x < pw; ++x) {
            const int wx = patch_origin.x + x - box_.x0, wy = patch_origin.y + y - box_.y0;
            if (warped_.contains(wx, wy))
                for (int k = 0; k < 3; ++k) source_planes[static_cast<std::size_t>(k)].at(x, y) = warped_.at(wx, wy, k);
        }
    if (!Counted(Step())) return false;

    // The three channels blend independently, at once; their steps follow.
    const int levels = BlendLevels(pw, ph);
    ParallelFor(0, 3, [&](int k) { MultiBandBlend(mosaic_planes[static_cast<std::size_t>(k)], source_planes[static_cast<std::size_t>(k)], mask, levels); });
    for (int k = 0; k < 3; ++k)
        if (!Counted(Step())) return false;
    // Merging the blended planes back into a colour patch and the source planes into theirs: the write-back
    // below reads the planes directly, so these two steps only keep the progress count.
    if (!Counted(Step())) return false;
    if (!Counted(Step())) return false;

    // Write back over the widened area wherever the source or the canvas has a pixel.
    ParallelFor(0, ph, [&](int y) {
        for (int x = 0; x < pw; ++x) {
            const int cx = patch_origin.x + x, cy = patch_origin.y + y;
            if (!canvas.contains(cx, cy)) continue;
            const int wx = cx - box_.x0, wy = cy - box_.y0;
            const bool source_here = warped_.contains(wx, wy) && !IsEmptyPixel(warped_.pixel(wx, wy));
            std::uint8_t* c = canvas.pixel(cx, cy);
            if (!source_here && IsEmptyPixel(c)) continue;
            for (std::size_t k = 0; k < 3; ++k) c[k] = mosaic_planes[k].at(x, y);
        }
    });
    if (!Counted(Step())) return false;

    FillEmptyCanvas();
    return Counted(Step());
}

}  // namespace

bool Mosaic::AdvancedBlend(Progress& progress)
{
    ClearCanvas();
    PrepareExposureGains();
    joins_.clear();
    if (const std::shared_ptr<const ColorImage> shared = BlendingImage(reference_)) {
        const ColorImage& reference = *shared;
        const BoxI& rel = alignment(reference_).relative_box;
        const int hw = reference.width() / 2, hh = reference.height() / 2;
        ParallelFor(rel.min_y, rel.max_y, [&](int y) {
            std::uint8_t colour[3];
            for (int x = rel.min_x; x < rel.max_x; ++x) {
                const int cx = x + canvas_offset_.x, cy = y + canvas_offset_.y;
                if (!(cx > 0 && cx < planar_.width() && cy > 0 && cy < planar_.height())) continue;
                const MappedPoint m = ApplyHomography(alignment(reference_).from_reference, static_cast<float>(x), static_cast<float>(y));
                if (!m.valid) continue;
                const float sx = m.x + static_cast<float>(hw), sy = m.y + static_cast<float>(hh);
                if (!(sx >= 2.0f && sx < static_cast<float>(reference.width() - 2) && sy >= 2.0f &&
                      sy < static_cast<float>(reference.height() - 2)))
                    continue;
                SampleColour(reference, sx, sy, colour);
                std::copy_n(colour, 3, planar_.pixel(cx, cy));
            }
        });
    }
    progress.Step();
    for (std::size_t position = 1; position < order_.size(); ++position) {
        const int index = order_[position];
        if (!alignment(index).in_chain) break;
        joins_.emplace_back();
        if (!SourceJoin(*this, index, progress, joins_.back()).Run()) return false;
    }
    return true;
}

}  // namespace tp
