// Where every source goes: the reference, the chains of pairwise homographies into its frame, the order
// of compositing, the bounding boxes and the canvas.
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "compositing/mosaic.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr double kFarTotal = 1e13;
constexpr double kFarDistance = 1e9;
constexpr std::int64_t kMaxCanvasPixels = 199999999;

// Translation part (h02 / h22, h12 / h22) of a homography.
void AddTranslation(const Matrix& h, double& x, double& y)
{
    x += h[0][2] / h[2][2];
    y += h[1][2] / h[2][2];
}

}  // namespace

void Mosaic::ChooseReference()
{
    // The reference is the source whose summed distances to all others (each the chained translation from
    // that source to the candidate) are least. Each chain from j grows one step per candidate, in the same
    // order as walking it afresh, so the sums are the same to the last bit; walking every chain afresh cost
    // n^3 steps, minutes for a project of a few thousand sources.
    const int n = source_count();
    std::vector<double> totals(static_cast<std::size_t>(std::max(n, 0)), 0.0);
    for (int j = 0; j < n; ++j) {
        // Candidates after j: j's translations to the next source, k = j .. i - 1.
        double x = 0.0, y = 0.0;
        for (int i = j + 1; i < n; ++i) {
            AddTranslation(alignment(i - 1).to_next, x, y);
            totals[static_cast<std::size_t>(i)] += std::sqrt(x * x + y * y);
        }
        // Candidates before j: j's translations to the previous source, k = j down to i + 1.
        x = 0.0;
        y = 0.0;
        for (int i = j - 1; i >= 0; --i) {
            AddTranslation(alignment(i + 1).to_previous, x, y);
            totals[static_cast<std::size_t>(i)] += std::sqrt(x * x + y * y);
        }
    }
    double best = kFarTotal;
    for (int i = 0; i < n; ++i)
        if (totals[static_cast<std::size_t>(i)] < best) {
            best = totals[static_cast<std::size_t>(i)];
            reference_ = i;
        }
}

void Mosaic::ChainToReference()
{
    const int n = source_count();
    for (int i = 0; i < n; ++i) {
        SourceAlignment& record = alignment(i);
        if (i == reference_) {
            record.in_chain = 1;
            record.to_reference = Matrix::Identity(3);
            record.from_reference = Matrix::Identity(3);
            continue;
        }
        // Pairs between i and the reference, all of which must be registered.
        const int first = std::min(i, reference_);
        const int last = std::max(i, reference_);
        Matrix product = Matrix::Identity(3);
        bool chained = true;
        for (int k = first; k < last && chained; ++k) {
            chained = alignment(k).has_next == 1;
            product = alignment(k).to_next * product;
        }
        Matrix inverse;
        // A product that cannot be inverted breaks the chain just like an unregistered pair.
        if (chained) chained = TryInverse(product, inverse);
        record.in_chain = chained ? 1 : 0;
        if (!chained) continue;
        if (i < reference_) {
            record.to_reference = product;
            record.from_reference = inverse;
        } else {
            record.from_reference = product;
            record.to_reference = inverse;
        }
    }
}

void Mosaic::ComputeStitchingOrder()
{
    const int n = source_count();
    for (int i = 0; i < n; ++i) {
        const MappedPoint p = ApplyHomography(alignment(i).from_reference, 0.0f, 0.0f);
        centre_points_[static_cast<std::size_t>(i)] =
            p.valid ? PointF{p.x, p.y} : PointF{kMaxMappedCoordinate, kMaxMappedCoordinate};
    }
    order_.assign(1, reference_);
    if (order_mode_ == OrderMode::OutwardFromReference) {
        for (int i = reference_ - 1; i >= 0; --i) order_.push_back(i);
        for (int i = reference_ + 1; i < n; ++i) order_.push_back(i);
        return;
    }
    std::vector<bool> placed(static_cast<std::size_t>(n), false);
    placed[static_cast<std::size_t>(reference_)] = true;
    const PointF centre = centre_points_[static_cast<std::size_t>(reference_)];
    for (int slot = 1; slot < n; ++slot) {
        double best = kFarDistance;
        int chosen = -1;
        for (int i = 0; i < n; ++i) {
            if (placed[static_cast<std::size_t>(i)]) continue;
            const double dx = static_cast<double>(centre_points_[static_cast<std::size_t>(i)].x) - centre.x;
            const double dy = static_cast<double>(centre_points_[static_cast<std::size_t>(i)].y) - centre.y;
            const double d = dx * dx + dy * dy;
            if (d < best) {
                best = d;
                chosen = i;
            }
        }
        // Sources farther than any sensible distance still get a place, lowest index first.
        for (int i = 0; chosen < 0 && i < n; ++i)
            if (!placed[static_cast<std::size_t>(i)]) chosen = i;
        placed[static_cast<std::size_t>(chosen)] = true;
        order_.push_back(chosen);
    }
}

void Mosaic::ComputeBoundingBoxes(bool reset_union_minima)
{
    const int far = parameters_.virtual_width + parameters_.virtual_height;
    if (reset_union_minima) union_.min_x = union_.min_y = far;
    for (int i = 0; i < source_count(); ++i) {
        SourceAlignment& record = alignment(i);
        // Only the size matters here; an unreadable source counts as 0 x 0.
        const std::shared_ptr<const ColorImage> image = ShareWorkingImage(i);
        const float hw = image ? static_cast<float>(image->width()) * 0.5f : 0.0f;
        const float hh = image ? static_cast<float>(image->height()) * 0.5f : 0.0f;
        const PointF corners[4] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
        float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
        bool valid = true;
        for (int k = 0; k < 4 && valid; ++k) {
            const MappedPoint m = ApplyHomography(record.to_reference, corners[k].x, corners[k].y);
            valid = m.valid;
            const float x = m.x + static_cast<float>(virtual_centre_.x);
            const float y = m.y + static_cast<float>(virtual_centre_.y);
            min_x = k == 0 ? x : std::min(min_x, x);
            max_x = k == 0 ? x : std::max(max_x, x);
            min_y = k == 0 ? y : std::min(min_y, y);
            max_y = k == 0 ? y : std::max(max_y, y);
        }
        if (!valid) {
            // A corner beyond the horizon of the reference frame: the source cannot be placed, so it is
            // treated like an unreadable one and collapses to the centre.
            min_x = max_x = static_cast<float>(virtual_centre_.x);
            min_y = max_y = static_cast<float>(virtual_centre_.y);
        }
        record.box = {static_cast<int>(min_x), static_cast<int>(min_y), static_cast<int>(max_x), static_cast<int>(max_y)};
        record.centre = {(record.box.min_x + record.box.max_x) / 2, (record.box.min_y + record.box.max_y) / 2};
        record.relative_box = {record.box.min_x - virtual_centre_.x, record.box.min_y - virtual_centre_.y,
                               record.box.max_x - virtual_centre_.x, record.box.max_y - virtual_centre_.y};
        union_.min_x = std::clamp(std::min(union_.min_x, record.box.min_x), 0, parameters_.virtual_width - 1);
        union_.min_y = std::clamp(std::min(union_.min_y, record.box.min_y), 0, parameters_.virtual_height - 1);
        union_.max_x = std::clamp(std::max(union_.max_x, record.box.max_x), 0, parameters_.virtual_width - 1);
        union_.max_y = std::clamp(std::max(union_.max_y, record.box.max_y), 0, parameters_.virtual_height - 1);
    }
}

bool Mosaic::AllocateCanvas()
{
    planar_.release();
    canvas_allocated_ = false;
    canvas_painted_ = false;
    last_blend_.reset();
    joins_.clear();
    const BoxI widened{union_.min_x - kMargin, union_.min_y - kMargin, union_.max_x + kMargin, union_.max_y + kMargin};
    const std::int64_t width = static_cast<std::int64_t>(widened.max_x) - widened.min_x + 1;
    const std::int64_t height = static_cast<std::int64_t>(widened.max_y) - widened.min_y + 1;
    if (width <= 0 || height <= 0 || width * height > kMaxCanvasPixels ||
        !planar_.allocate(static_cast<int>(width), static_cast<int>(height))) {
        geometry_valid_ = false;
        return false;
    }
    canvas_allocated_ = true;
    canvas_offset_ = {static_cast<int>(width / 2) + virtual_centre_.x - (widened.min_x + widened.max_x) / 2,
                      static_cast<int>(height / 2) + virtual_centre_.y - (widened.min_y + widened.max_y) / 2};
    for (SourceAlignment& record : alignments_) {
        record.centre.x += canvas_offset_.x - virtual_centre_.x;
        record.centre.y += canvas_offset_.y - virtual_centre_.y;
    }
    return true;
}

}  // namespace tp
