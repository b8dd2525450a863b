#include "project/crop_box.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "imaging/pixel.h"
#include "imaging/profile.h"

namespace tp {

namespace {

// The inscribed box keeps this far from the edge of the well-covered area before growing back.
constexpr int kInscribedMargin = 15;
constexpr float kCoverageSigma = 15.0f;
constexpr float kCoverageThresholdFactor = 0.95f;

bool IsEmptyPixel(const ColorImage& image, int x, int y) { return tp::IsEmptyPixel(image.pixel(x, y)); }

// Spans are half-open: [begin, end).
bool RowHoldsImage(const ColorImage& image, int y, int x_begin, int x_end)
{
    for (int x = x_begin; x < x_end; ++x)
        if (!IsEmptyPixel(image, x, y)) return true;
    return false;
}

bool ColumnHoldsImage(const ColorImage& image, int x, int y_begin, int y_end)
{
    for (int y = y_begin; y < y_end; ++y)
        if (!IsEmptyPixel(image, x, y)) return true;
    return false;
}

bool RowHasEmptyPixel(const ColorImage& image, int y, int x_begin, int x_end)
{
    for (int x = x_begin; x < x_end; ++x)
        if (IsEmptyPixel(image, x, y)) return true;
    return false;
}

bool ColumnHasEmptyPixel(const ColorImage& image, int x, int y_begin, int y_end)
{
    for (int y = y_begin; y < y_end; ++y)
        if (IsEmptyPixel(image, x, y)) return true;
    return false;
}

CropRect WholeImage(const ColorImage& image) { return CropRect{0, 0, image.width(), image.height()}; }

// Truncation toward zero that cannot overflow, for corners far off the image or not numbers at all.
int TruncateCoordinate(float value)
{
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -1.0e9f, 1.0e9f));
}

// Shared last step: the left and top edges never end at 0 (the tracker draws one pixel inside the box).
CropRect WithFinalLeftTop(CropRect box, int width, int height)
{
    box.left = box.left <= 0 ? 1 : std::min(box.left, width - 1);
    box.top = box.top <= 0 ? 1 : std::min(box.top, height - 1);
    return box;
}

// Inclusive column and row range the circumscribed scans start from.
struct ScanStart {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

ScanStart WholeImageStart(const ColorImage& image) { return {0, 0, image.width() - 1, image.height() - 1}; }

// The box around all source corners, limited to the image; the whole image when there are no sources.
ScanStart StartFromSources(const ColorImage& image, const std::vector<SourceCorners>& sources)
{
    const int width = image.width();
    const int height = image.height();
    if (sources.empty()) return WholeImageStart(image);
    ScanStart start{width, height, 0, 0};
    for (const SourceCorners& corners : sources) {
        const PointF& top_left = corners[0];
        const PointF& top_right = corners[1];
        const PointF& bottom_right = corners[2];
        const PointF& bottom_left = corners[3];
        start.left = std::min({start.left, TruncateCoordinate(top_left.x), TruncateCoordinate(bottom_left.x)});
        start.top = std::min({start.top, TruncateCoordinate(top_left.y), TruncateCoordinate(top_right.y)});
        start.right = std::max({start.right, TruncateCoordinate(top_right.x), TruncateCoordinate(bottom_right.x)});
        start.bottom = std::max({start.bottom, TruncateCoordinate(bottom_right.y), TruncateCoordinate(bottom_left.y)});
    }
    start.left = std::clamp(start.left, 0, width - 1);
    start.right = std::clamp(start.right, 0, width - 1);
    start.top = std::clamp(start.top, 0, height - 1);
    start.bottom = std::clamp(start.bottom, 0, height - 1);
    if (start.left > start.right || start.top > start.bottom) return WholeImageStart(image);
    return start;
}

// Moves each edge of the start inward to the first line holding image; nothing when no line does.
std::optional<CropRect> ScanInward(const ColorImage& image, const ScanStart& start)
{
    int top = start.top;
    while (top <= start.bottom && !RowHoldsImage(image, top, start.left, start.right + 1)) ++top;
    if (top > start.bottom) return std::nullopt;
    int bottom = start.bottom;
    while (!RowHoldsImage(image, bottom, start.left, start.right + 1)) --bottom;
    int left = start.left;
    while (!ColumnHoldsImage(image, left, top, bottom + 1)) ++left;
    int right = start.right;
    while (!ColumnHoldsImage(image, right, top, bottom + 1)) --right;
    return CropRect{left, top, right + 1, bottom + 1};
}

struct Span {
    int begin = 0;
    int end = 0;
};

// First column of the first and past the last column of the last run of well-covered lines.
std::optional<Span> WellCoveredSpan(const std::vector<float>& coverage)
{
    const std::vector<float> smoothed = SmoothProfile(coverage, kCoverageSigma);
    double sum = 0.0;
    for (float value : smoothed) sum += value;
    const auto threshold = static_cast<float>(kCoverageThresholdFactor * sum / static_cast<double>(smoothed.size()));
    std::vector<ProfileSegment> runs;
    if (SegmentProfile(smoothed, threshold, runs) != 0) return std::nullopt;
    return Span{runs.front().first, runs.back().last + 1};
}

// A span too short to lose the margin on both sides keeps its middle line rather than turning inside out.
Span ShrunkByMargin(const Span& span)
{
    if (span.end - span.begin > 2 * kInscribedMargin)
        return {span.begin + kInscribedMargin, span.end - kInscribedMargin};
    const int middle = span.begin + (span.end - span.begin - 1) / 2;
    return {middle, middle + 1};
}

void GrowTop(const ColorImage& image, CropRect& box)
{
    while (box.top > 0 && !RowHasEmptyPixel(image, box.top - 1, box.left, box.right)) --box.top;
}

void GrowBottom(const ColorImage& image, CropRect& box)
{
    while (box.bottom < image.height() && !RowHasEmptyPixel(image, box.bottom, box.left, box.right)) ++box.bottom;
}

void GrowLeft(const ColorImage& image, CropRect& box)
{
    while (box.left > 0 && !ColumnHasEmptyPixel(image, box.left - 1, box.top, box.bottom)) --box.left;
}

void GrowRight(const ColorImage& image, CropRect& box)
{
    while (box.right < image.width() && !ColumnHasEmptyPixel(image, box.right, box.top, box.bottom)) ++box.right;
}

}  // namespace

CropRect CircumscribedCropBox(const ColorImage& image, const std::vector<SourceCorners>& sources)
{
    if (image.empty()) return WholeImage(image);
    std::optional<CropRect> found = ScanInward(image, StartFromSources(image, sources));
    // Corners that miss the image entirely (another projection, a stale layout) say nothing: scan it all.
    if (!found) found = ScanInward(image, WholeImageStart(image));
    if (!found) return WholeImage(image);
    return WithFinalLeftTop(*found, image.width(), image.height());
}

CropRect InscribedCropBox(const ColorImage& image)
{
    if (image.empty()) return WholeImage(image);
    const int width = image.width();
    const int height = image.height();
    std::vector<float> column_coverage(static_cast<std::size_t>(width), 0.0f);
    std::vector<float> row_coverage(static_cast<std::size_t>(height), 0.0f);
    bool any_image = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (!IsEmptyPixel(image, x, y)) {
                column_coverage[static_cast<std::size_t>(x)] += 1.0f;
                row_coverage[static_cast<std::size_t>(y)] += 1.0f;
                any_image = true;
            }
    if (!any_image) return WholeImage(image);

    const std::optional<Span> columns = WellCoveredSpan(column_coverage);
    const std::optional<Span> rows = WellCoveredSpan(row_coverage);
    if (!columns || !rows) return WholeImage(image);
    const Span shrunk_columns = ShrunkByMargin(*columns);
    const Span shrunk_rows = ShrunkByMargin(*rows);
    CropRect box{shrunk_columns.begin, shrunk_rows.begin, shrunk_columns.end, shrunk_rows.end};

    // Each grown edge widens the span the later ones are checked against, so the order shapes the box:
    // a wide image wins back height first, a tall one width.
    if (height < width) {
        GrowTop(image, box);
        GrowBottom(image, box);
        GrowLeft(image, box);
        GrowRight(image, box);
    } else {
        GrowLeft(image, box);
        GrowRight(image, box);
        GrowTop(image, box);
        GrowBottom(image, box);
    }
    return WithFinalLeftTop(box, width, height);
}

}  // namespace tp
