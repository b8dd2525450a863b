#include "registration/overlap_score.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "registration/homography.h"

namespace tp {

namespace {

constexpr int kMinimumSamples = 100;

// Summed-area table of a grey image with a zero first row and column; 32 bits hold the sum of any image of
// up to 2^24 pixels.
std::vector<std::uint32_t> Integral(const GrayImage& image)
{
    const int w = image.width(), h = image.height();
    std::vector<std::uint32_t> table(static_cast<std::size_t>(w + 1) * (h + 1), 0);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = image.row(y);
        const std::uint32_t* above = table.data() + static_cast<std::size_t>(y) * (w + 1);
        std::uint32_t* out = table.data() + static_cast<std::size_t>(y + 1) * (w + 1);
        std::uint32_t row = 0;
        for (int x = 0; x < w; ++x) {
            row += in[x];
            out[x + 1] = above[x + 1] + row;
        }
    }
    return table;
}

// Mean of the (2r + 1)^2 window around (x, y), the window clipped to the image.
float BoxMean(const std::vector<std::uint32_t>& table, int w, int h, int x, int y, int r)
{
    const int x0 = std::max(x - r, 0), x1 = std::min(x + r + 1, w), y0 = std::max(y - r, 0), y1 = std::min(y + r + 1, h);
    const std::size_t stride = static_cast<std::size_t>(w) + 1;
    const std::uint32_t sum = table[y1 * stride + x1] - table[y1 * stride + x0] - table[y0 * stride + x1] + table[y0 * stride + x0];
    return static_cast<float>(sum) / static_cast<float>((x1 - x0) * (y1 - y0));
}

template <typename Image>
float Bilinear(const Image& image, float x, float y)
{
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    const float fx = x - ix, fy = y - iy;
    const auto* r0 = image.row(iy) + ix;
    const auto* r1 = image.row(iy + 1) + ix;
    return (1 - fy) * ((1 - fx) * r0[0] + fx * r0[1]) + fy * ((1 - fx) * r1[0] + fx * r1[1]);
}

struct Correlation {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    void add(double a, double b)
    {
        sa += a;
        sb += b;
        saa += a * a;
        sbb += b * b;
        sab += a * b;
    }
    float value(long n) const
    {
        const double ca = saa - sa * sa / n, cb = sbb - sb * sb / n, cab = sab - sa * sb / n;
        return ca > 0 && cb > 0 ? static_cast<float>(cab / std::sqrt(ca * cb)) : 0.0f;
    }
    float spread_a(long n) const { return static_cast<float>(std::sqrt(std::max(saa / n - (sa / n) * (sa / n), 0.0))); }
};

}  // namespace

DetailBands MakeDetailBands(const GrayImage& image)
{
    const int w = image.width(), h = image.height();
    DetailBands bands{FloatImage(w, h), FloatImage(w, h)};
    if (bands.fine.empty() || bands.coarse.empty()) return {};
    const std::vector<std::uint32_t> table = Integral(image);
    constexpr int kFine = 1, kMiddle = 4, kCoarse = 16;
    const std::size_t stride = static_cast<std::size_t>(w) + 1;
    // Away from the borders every window lies inside, and the means are plain sums over constant areas.
    const auto window = [&](int x, int y, int r) {
        const std::uint32_t* top = table.data() + static_cast<std::size_t>(y - r) * stride;
        const std::uint32_t* bottom = table.data() + static_cast<std::size_t>(y + r + 1) * stride;
        return static_cast<float>(bottom[x + r + 1] - bottom[x - r] - top[x + r + 1] + top[x - r]);
    };
    const float fine_area = 1.0f / ((2 * kFine + 1) * (2 * kFine + 1)), middle_area = 1.0f / ((2 * kMiddle + 1) * (2 * kMiddle + 1));
    const float coarse_area = 1.0f / ((2 * kCoarse + 1) * (2 * kCoarse + 1));
    for (int y = 0; y < h; ++y) {
        float* fine = bands.fine.row(y);
        float* coarse = bands.coarse.row(y);
        const bool rows_inside = y >= kCoarse && y + kCoarse < h;
        for (int x = 0; x < w; ++x) {
            float small, middle, large;
            if (rows_inside && x >= kCoarse && x + kCoarse < w) {
                small = window(x, y, kFine) * fine_area;
                middle = window(x, y, kMiddle) * middle_area;
                large = window(x, y, kCoarse) * coarse_area;
            } else {
                small = BoxMean(table, w, h, x, y, kFine);
                middle = BoxMean(table, w, h, x, y, kMiddle);
                large = BoxMean(table, w, h, x, y, kCoarse);
            }
            fine[x] = small - middle;
            coarse[x] = middle - large;
        }
    }
    return bands;
}

int SampleGridStep(int width, int height, double samples)
{
    return std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(width) * height / samples))));
}

OverlapScore ScoreOverlap(const GrayImage& a, const GrayImage& b, const DetailBands& a_detail,
                          const DetailBands& b_detail, const Matrix& a_to_b, double samples)
{
    OverlapScore score;
    Correlation grey, fine, coarse;
    long n = 0, total = 0;
    const float max_x = static_cast<float>(b.width() - 1), max_y = static_cast<float>(b.height() - 1);
    const int step = SampleGridStep(a.width(), a.height(), samples);
    for (int y = 0; y < a.height(); y += step)
        for (int x = 0; x < a.width(); x += step) {
            ++total;
            const MappedPoint m = ApplyHomography(a_to_b, static_cast<float>(x - a.width() / 2), static_cast<float>(y - a.height() / 2));
            if (!m.valid) continue;
            const float bx = m.x + static_cast<float>(b.width() / 2), by = m.y + static_cast<float>(b.height() / 2);
            if (!(bx >= 0.0f && by >= 0.0f && bx < max_x && by < max_y)) continue;
            grey.add(a.at(x, y), Bilinear(b, bx, by));
            fine.add(a_detail.fine.at(x, y), Bilinear(b_detail.fine, bx, by));
            coarse.add(a_detail.coarse.at(x, y), Bilinear(b_detail.coarse, bx, by));
            ++n;
        }
    score.overlap_share = total > 0 ? static_cast<float>(n) / static_cast<float>(total) : 0.0f;
    if (n < kMinimumSamples) return score;
    score.correlation = grey.value(n);
    score.fine = {fine.value(n), fine.spread_a(n)};
    score.coarse = {coarse.value(n), coarse.spread_a(n)};
    return score;
}

}  // namespace tp
