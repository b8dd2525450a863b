#include "compositing/scaled_composition.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "compositing/bilinear.h"
#include "compositing/canvas_walk.h"
#include "compositing/centre_weights.h"
#include "compositing/cylindrical_projection.h"
#include "compositing/multiband_blend.h"
#include "imaging/parallel.h"
#include "imaging/pixel.h"
#include "imaging/reduced_read.h"

namespace tp {

namespace {

// Bytes per patch pixel the band-by-band merge of one channel holds at its peak (three pyramids of floats,
// the canvas's and the source's at full size while the first levels are made).
constexpr std::size_t kMergeBytesPerPixel = 24;

// The most pixels a composed image may have.
constexpr long long kMaxComposedPixels = 1LL << 31;

// A rectangle of output pixels, upper bounds exclusive.
struct Span {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    bool contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// The output pixels covering working canvas pixels [x0, x1) x [y0, y1), limited to `limit`.
Span ScaleSpan(int x0, int y0, int x1, int y1, double scale, const Span& limit)
{
    Span span{static_cast<int>(std::floor(x0 * scale)), static_cast<int>(std::floor(y0 * scale)),
              static_cast<int>(std::ceil(x1 * scale)), static_cast<int>(std::ceil(y1 * scale))};
    span = {std::max(span.x0, limit.x0), std::max(span.y0, limit.y0), std::min(span.x1, limit.x1), std::min(span.y1, limit.y1)};
    return span.empty() ? Span{} : span;
}

// Output pixel centres mapped into one source: output (X, Y) lies at working canvas position
// ((X + 0.5) / scale - 0.5, ...); the source's from-reference homography takes that to its working image,
// and the working pixel (x, y) lies at ((x + 0.5) r - 0.5, ...) in the source as read, r being how many of
// its pixels a working pixel spans.
class ScaledWalk {
public:
    ScaledWalk(const Matrix& from_reference, PointI canvas_offset, double scale, double half_w, double half_h,
               double source_per_working_x, double source_per_working_y)
        : scale_(scale), half_w_(half_w), half_h_(half_h), rx_(source_per_working_x), ry_(source_per_working_y)
    {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) h_[3 * r + c] = from_reference[r][c];
        shift_x_ = 0.5 / scale - 0.5 - canvas_offset.x;
        shift_y_ = 0.5 / scale - 0.5 - canvas_offset.y;
    }

    // The source's working-image position of output pixel (x, y); false where it maps to no position.
    bool Working(int x, int y, double& wx, double& wy) const
    {
        const double mx = x / scale_ + shift_x_, my = y / scale_ + shift_y_;
        const double d = h_[6] * mx + h_[7] * my + h_[8];
        if (d == 0.0) return false;
        wx = (h_[0] * mx + h_[1] * my + h_[2]) / d + half_w_;
        wy = (h_[3] * mx + h_[4] * my + h_[5]) / d + half_h_;
        return true;
    }

    // The same with the position in the source as read.
    bool Source(int x, int y, double& wx, double& wy, double& sx, double& sy) const
    {
        if (!Working(x, y, wx, wy)) return false;
        sx = (wx + 0.5) * rx_ - 0.5;
        sy = (wy + 0.5) * ry_ - 0.5;
        return true;
    }

    // visit(x, wx, wy, sx, sy) for x in [first, last): the working-image position and the position in the
    // source as read.
    template <typename Visit>
    void ForRow(int y, int first, int last, Visit visit) const
    {
        const double my = y / scale_ + shift_y_;
        const double mx = first / scale_ + shift_x_;
        double u = h_[0] * mx + h_[1] * my + h_[2];
        double v = h_[3] * mx + h_[4] * my + h_[5];
        double d = h_[6] * mx + h_[7] * my + h_[8];
        const double du = h_[0] / scale_, dv = h_[3] / scale_, dd = h_[6] / scale_;
        for (int x = first; x < last; ++x) {
            if (d != 0.0) {
                const double wx = u / d + half_w_, wy = v / d + half_h_;
                visit(x, wx, wy, (wx + 0.5) * rx_ - 0.5, (wy + 0.5) * ry_ - 0.5);
            }
            u += du;
            v += dv;
            d += dd;
        }
    }

private:
    double h_[9]{};
    double scale_;
    double shift_x_ = 0.0, shift_y_ = 0.0;
    double half_w_, half_h_;
    double rx_, ry_;
};

bool InsideUsableArea(double wx, double wy, int w, int h) { return wx >= 2.0 && wx < w - 2 && wy >= 2.0 && wy < h - 2; }

// Everything one composition shares: the mosaic, the scale, the canvas being painted, the budget.
class Composer {
public:
    Composer(const Mosaic& mosaic, double scale, ColorImage& canvas, Progress& progress, MemoryBudget* budget,
             CompositionReport& report)
        : mosaic_(mosaic), scale_(scale), canvas_(canvas), progress_(progress), budget_(budget), report_(report),
          whole_{0, 0, canvas.width(), canvas.height()}
    {
    }

    bool Basic();
    bool Advanced();

private:
    int w() const { return mosaic_.working_width(); }
    int h() const { return mosaic_.working_height(); }
    // Source i read at the composition's scale with its exposure gains; empty when its file cannot be read.
    ColorImage ReadSource(int i) const;
    ScaledWalk WalkFor(int i, const ColorImage& source, bool exact_halves) const;
    // Reserves a piece's bytes from the budget and counts it.
    MemoryBudget::Hold Reserve(std::size_t bytes);
    // Output pixels of the source's relative box on the canvas.
    Span SourceSpan(int i) const;
    void PaintReference();
    bool Join(const JoinRecord& join);
    // Paints the source's colour over the pixels of `box` still empty; what is painted needs no mapping.
    void FillEmpty(const ColorImage& source, const ScaledWalk& walk, const Span& box);

    const Mosaic& mosaic_;
    double scale_;
    ColorImage& canvas_;
    Progress& progress_;
    MemoryBudget* budget_;
    CompositionReport& report_;
    Span whole_;
};

ColorImage Composer::ReadSource(int i) const
{
    ReductionRequest request;
    request.fit_width = static_cast<int>(std::ceil(w() * scale_ - 1e-6));
    request.fit_height = static_cast<int>(std::ceil(h() * scale_ - 1e-6));
    ReducedPicture picture;
    if (ReadReduced(mosaic_.alignment(i).path, request, picture, budget_) != 0) return {};
    const std::vector<ChannelGains>& gains = mosaic_.exposure_gains();
    const std::size_t k = static_cast<std::size_t>(i);
    if (!gains.empty()) ApplyGainFieldInPlace(picture.fitted, gains[k], mosaic_.block_gains()[k], w(), h());
    return std::move(picture.fitted);
}

ScaledWalk Composer::WalkFor(int i, const ColorImage& source, bool exact_halves) const
{
    // Basic blending places a source by exact halves of its size, advanced blending by whole pixels.
    const double half_w = exact_halves ? w() / 2.0 : static_cast<double>(w() / 2);
    const double half_h = exact_halves ? h() / 2.0 : static_cast<double>(h() / 2);
    return ScaledWalk(mosaic_.alignment(i).from_reference, mosaic_.canvas_offset(), scale_, half_w, half_h,
                      static_cast<double>(source.width()) / w(), static_cast<double>(source.height()) / h());
}

MemoryBudget::Hold Composer::Reserve(std::size_t bytes)
{
    ++report_.pieces;
    report_.largest_piece_bytes = std::max(report_.largest_piece_bytes, bytes);
    return budget_ ? budget_->Reserve(bytes) : MemoryBudget::Hold{};
}

Span Composer::SourceSpan(int i) const
{
    const BoxI& rel = mosaic_.alignment(i).relative_box;
    const PointI offset = mosaic_.canvas_offset();
    return ScaleSpan(rel.min_x + offset.x, rel.min_y + offset.y, rel.max_x + offset.x, rel.max_y + offset.y, scale_, whole_);
}

// Every source in index order, each pixel the running average of the sources so far weighted by closeness to
// their centres. What the earlier sources weighed at a pixel follows from their placements alone, so it is
// worked out again rather than kept in a plane as large as the canvas.
bool Composer::Basic()
{
    const int n = mosaic_.source_count();
    const CentreWeights weight(w(), h());
    struct Placed {
        Span span;
        ScaledWalk walk;
    };
    std::vector<Placed> placed;
    for (int i = 0; i < n; ++i) {
        const std::shared_ptr<const ColorImage> working = mosaic_.ShareWorkingImage(i);
        ColorImage source;
        if (working && working->width() == w() && working->height() == h()) source = ReadSource(i);
        if (!source.empty()) {
            const CanvasBox on_canvas = SourceBoxOnCanvas(mosaic_.alignment(i).to_reference, w(), h(), mosaic_.canvas_offset(),
                                                          mosaic_.planar().width(), mosaic_.planar().height());
            const Span span = on_canvas.empty() ? Span{}
                                                : ScaleSpan(on_canvas.min_x, on_canvas.min_y, on_canvas.max_x + 1, on_canvas.max_y + 1, scale_, whole_);
            const ScaledWalk walk = WalkFor(i, source, true);
            const MemoryBudget::Hold hold = Reserve(source.block_size());
            ParallelFor(span.y0, span.y1, [&](int y) {
                std::uint8_t* out = canvas_.row(y);
                walk.ForRow(y, span.x0, span.x1, [&](int x, double wx, double wy, double sx, double sy) {
                    if (!InsideUsableArea(wx, wy, w(), h())) return;
                    int before = 0;
                    for (const Placed& earlier : placed) {
                        double ex = 0.0, ey = 0.0;
                        if (earlier.span.contains(x, y) && earlier.walk.Working(x, y, ex, ey) && InsideUsableArea(ex, ey, w(), h()))
                            before += weight(static_cast<int>(ex + 0.5), static_cast<int>(ey + 0.5));
                    }
                    const int wi = weight(static_cast<int>(wx + 0.5), static_cast<int>(wy + 0.5));
                    const int after = before + wi;
                    if (after <= 0) return;
                    std::uint8_t sample[3];
                    SampleColour(source, static_cast<float>(sx), static_cast<float>(sy), sample);
                    std::uint8_t* target = out + 3 * x;
                    for (int c = 0; c < 3; ++c) target[c] = static_cast<std::uint8_t>((sample[c] * wi + target[c] * before) / after);
                    if (IsEmptyPixel(target)) target[1] = 1;
                });
            });
            placed.push_back({span, walk});
        }
        if (progress_.Step()) return false;
    }
    return true;
}

void Composer::PaintReference()
{
    const int reference = mosaic_.reference();
    const ColorImage source = ReadSource(reference);
    if (source.empty()) return;
    const MemoryBudget::Hold hold = Reserve(source.block_size());
    // The canvas is empty yet: filling it is painting the reference.
    FillEmpty(source, WalkFor(reference, source, false), SourceSpan(reference));
}

void Composer::FillEmpty(const ColorImage& source, const ScaledWalk& walk, const Span& box)
{
    ParallelFor(box.y0, box.y1, [&](int y) {
        for (int x = box.x0; x < box.x1; ++x) {
            std::uint8_t* c = canvas_.pixel(x, y);
            double wx = 0, wy = 0, sx = 0, sy = 0;
            if (IsEmptyPixel(c) && walk.Source(x, y, wx, wy, sx, sy) && InsideUsableArea(wx, wy, w(), h()))
                SampleColour(source, static_cast<float>(sx), static_cast<float>(sy), c);
        }
    });
}

bool Composer::Join(const JoinRecord& join)
{
    if (join.kind == JoinRecord::Kind::Skipped) return true;
    const ColorImage source = ReadSource(join.index);
    if (source.empty()) return true;
    const Span box = SourceSpan(join.index);
    const ScaledWalk walk = WalkFor(join.index, source, false);
    Span patch;
    if (join.kind == JoinRecord::Kind::Seamed) {
        const Span unlimited{std::numeric_limits<int>::min() / 4, std::numeric_limits<int>::min() / 4,
                             std::numeric_limits<int>::max() / 4, std::numeric_limits<int>::max() / 4};
        patch = ScaleSpan(join.patch_origin.x, join.patch_origin.y, join.patch_origin.x + join.mask.width(),
                          join.patch_origin.y + join.mask.height(), scale_, unlimited);
    }
    const std::size_t patch_pixels = static_cast<std::size_t>(patch.width()) * static_cast<std::size_t>(patch.height());
    // The source is sampled where it is needed rather than warped whole; the channels merge one after
    // another, each spread over the worker threads, so one channel's pyramids are held at a time.
    const MemoryBudget::Hold hold = Reserve(source.block_size() + (7 + kMergeBytesPerPixel) * patch_pixels);

    if (!patch.empty()) {
        const int pw = patch.width(), ph = patch.height();
        // The seam mask scaled up: the working mask interpolated and cut at half way, so that the seam runs
        // smoothly between the working pixels rather than in steps of them.
        GrayImage mask(pw, ph);
        std::array<GrayImage, 3> canvas_planes{GrayImage(pw, ph), GrayImage(pw, ph), GrayImage(pw, ph)};
        std::array<GrayImage, 3> source_planes{GrayImage(pw, ph), GrayImage(pw, ph), GrayImage(pw, ph)};
        const GrayImage& seam = join.mask;
        // Where each patch column (row) falls on the working mask: the first sample and the second's weight.
        struct Tap {
            int first, second;
            float weight;
        };
        const auto taps = [&](int count, int start, int origin, int size) {
            std::vector<Tap> out(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i) {
                const double m = std::clamp((start + i + 0.5) / scale_ - 0.5 - origin, 0.0, size - 1.0);
                const int first = static_cast<int>(m);
                out[static_cast<std::size_t>(i)] = {first, std::min(first + 1, size - 1), static_cast<float>(m - first)};
            }
            return out;
        };
        const std::vector<Tap> columns = taps(pw, patch.x0, join.patch_origin.x, seam.width());
        const std::vector<Tap> rows = taps(ph, patch.y0, join.patch_origin.y, seam.height());
        const Span source_part{std::max(patch.x0, box.x0), std::max(patch.y0, box.y0), std::min(patch.x1, box.x1), std::min(patch.y1, box.y1)};
        ParallelFor(0, ph, [&](int y) {
            const Tap& row = rows[static_cast<std::size_t>(y)];
            const std::uint8_t* upper = seam.row(row.first);
            const std::uint8_t* lower = seam.row(row.second);
            const int cy = patch.y0 + y;
            std::uint8_t* mask_row = mask.row(y);
            for (int x = 0; x < pw; ++x) {
                const Tap& column = columns[static_cast<std::size_t>(x)];
                const float top = upper[column.first] + column.weight * (upper[column.second] - upper[column.first]);
                const float bottom = lower[column.first] + column.weight * (lower[column.second] - lower[column.first]);
                mask_row[x] = top + row.weight * (bottom - top) >= 127.5f ? 255 : 0;
            }
            if (cy >= 0 && cy < canvas_.height()) {
                std::array<std::uint8_t*, 3> planes{canvas_planes[0].row(y), canvas_planes[1].row(y), canvas_planes[2].row(y)};
                const std::uint8_t* c = canvas_.row(cy);
                for (int cx = std::max(patch.x0, 0); cx < std::min(patch.x1, canvas_.width()); ++cx)
                    for (std::size_t k = 0; k < 3; ++k) planes[k][cx - patch.x0] = c[3 * cx + static_cast<int>(k)];
            }
            if (cy < source_part.y0 || cy >= source_part.y1) return;
            walk.ForRow(cy, source_part.x0, source_part.x1, [&](int cx, double wx, double wy, double sx, double sy) {
                if (!InsideUsableArea(wx, wy, w(), h())) return;
                std::uint8_t colour[3];
                SampleColour(source, static_cast<float>(sx), static_cast<float>(sy), colour);
                for (std::size_t k = 0; k < 3; ++k) source_planes[k].at(cx - patch.x0, y) = colour[k];
            });
        });
        const int levels = BlendLevels(pw, ph);
        for (std::size_t k = 0; k < 3; ++k) MultiBandBlend(canvas_planes[k], source_planes[k], mask, levels);
        // Written back wherever the source or the canvas has a pixel (a sampled colour is never all zero).
        ParallelFor(std::max(patch.y0, 0), std::min(patch.y1, canvas_.height()), [&](int cy) {
            const int y = cy - patch.y0;
            const std::array<const std::uint8_t*, 3> blended{canvas_planes[0].row(y), canvas_planes[1].row(y), canvas_planes[2].row(y)};
            const std::uint8_t* source_here = source_planes[0].row(y);
            std::uint8_t* row = canvas_.row(cy);
            for (int cx = std::max(patch.x0, 0); cx < std::min(patch.x1, canvas_.width()); ++cx) {
                const int x = cx - patch.x0;
                std::uint8_t* c = row + 3 * cx;
                if (source_here[x] == 0 && IsEmptyPixel(c)) continue;
                for (std::size_t k = 0; k < 3; ++k) c[k] = blended[k][x];
            }
        });
    }

    FillEmpty(source, walk, box);
    return true;
}

bool Composer::Advanced()
{
    PaintReference();
    if (progress_.Step()) return false;
    for (const JoinRecord& join : mosaic_.joins()) {
        if (!Join(join)) return false;
        if (progress_.Step()) return false;
    }
    return true;
}

}  // namespace

bool ComposeAtScale(const Mosaic& mosaic, double scale, Projection projection, Progress& progress, ColorImage& image,
                    MemoryBudget* budget, CompositionReport* report)
{
    image.release();
    CompositionReport local;
    CompositionReport& counted = report ? *report : local;
    counted = {};
    const std::optional<BlendType> blend = mosaic.last_blend();
    if (!blend || !mosaic.has_wide_view() || !(scale > 0.0) || !std::isfinite(scale)) return false;
    const long long width = std::llround(mosaic.planar().width() * scale);
    const long long height = std::llround(mosaic.planar().height() * scale);
    if (width <= 0 || height <= 0 || width * height > kMaxComposedPixels) return false;
    if (!image.allocate(static_cast<int>(width), static_cast<int>(height))) return false;

    const bool advanced = *blend == BlendType::Advanced;
    progress.SetRange(advanced ? 1 + static_cast<int>(mosaic.joins().size()) : mosaic.source_count());
    Composer composer(mosaic, scale, image, progress, budget, counted);
    if (!(advanced ? composer.Advanced() : composer.Basic())) {
        image.release();
        return false;
    }
    // A focal length of 0 was never estimated; an infinite one makes the cylinder the plane.
    const double focal = mosaic.focal_length();
    if (projection == Projection::Cylindrical && std::isfinite(focal) && focal > 0.0) {
        const PointI offset = mosaic.canvas_offset();
        const PointI centre{static_cast<int>(std::lround(scale * (offset.x + 0.5) - 0.5)),
                            static_cast<int>(std::lround(scale * (offset.y + 0.5) - 0.5))};
        image = ProjectToCylinder(image, centre, focal * scale);
        if (image.empty()) return false;
    }
    counted.image_bytes = image.block_size();
    counted.width = image.width();
    counted.height = image.height();
    return true;
}

}  // namespace tp
