#include "registration/correspondences.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/dot_rows.h"
#include "imaging/padded_window.h"
#include "registration/homography.h"

namespace tp {

namespace {

constexpr int kDetectEnergyThreshold = 100;
constexpr int kDetectAreaPerStep = 9000;
constexpr int kMatchSearchRadius = 4;

// Truncation toward zero of a coordinate already known to be a valid mapped position.
int Truncate(float v) { return static_cast<int>(v); }

}  // namespace

bool OverlapBox(const GrayImage& a_level, const Matrix& h, BoxI& box)
{
    Matrix g;
    if (!TryInverse(h, g)) return false;
    const float half_w = static_cast<float>(a_level.width()) * 0.5f;
    const float half_h = static_cast<float>(a_level.height()) * 0.5f;
    const PointF corners[4] = {{1 - half_w, 1 - half_h}, {half_w - 1, 1 - half_h}, {half_w - 1, half_h - 1}, {1 - half_w, half_h - 1}};
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (int k = 0; k < 4; ++k) {
        const MappedPoint m = ApplyHomography(g, corners[k].x, corners[k].y);
        if (!m.valid) return false;
        const float x = m.x + half_w;
        const float y = m.y + half_h;
        if (k == 0) {
            min_x = max_x = x;
            min_y = max_y = y;
        } else {
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
            max_y = std::max(max_y, y);
        }
    }
    box.min_x = Truncate(std::max(0.0f, min_x));
    box.max_x = Truncate(std::min(static_cast<float>(a_level.width() - 1), max_x));
    box.min_y = Truncate(std::max(0.0f, min_y));
    box.max_y = Truncate(std::min(static_cast<float>(a_level.height() - 1), max_y));
    return true;
}

int DetectionWindowHalfSize(const BoxI& overlap)
{
    return ((overlap.max_x - overlap.min_x) * (overlap.max_y - overlap.min_y)) / kDetectAreaPerStep + 1;
}

bool DetectPoints(const GrayImage& a_level, const Matrix& h, PointList& points)
{
    Matrix finer = h;
    finer[0][2] *= 2.0;
    finer[1][2] *= 2.0;
    BoxI box;
    if (!OverlapBox(a_level, finer, box)) return false;

    // Squared central-difference gradient inside the box (two pixels in from its top-left edges).
    IntImage energy(a_level.width(), a_level.height());
    for (int y = box.min_y + 2; y <= box.max_y - 1; ++y) {
        const std::uint8_t* above = a_level.row(y - 1);
        const std::uint8_t* here = a_level.row(y);
        const std::uint8_t* below = a_level.row(y + 1);
        std::int32_t* out = energy.row(y);
        for (int x = box.min_x + 2; x <= box.max_x - 1; ++x) {
            const int gx = here[x + 1] - here[x - 1];
            const int gy = below[x] - above[x];
            out[x] = gx * gx + gy * gy;
        }
    }

    const int s = DetectionWindowHalfSize(box);
    const float half_w = static_cast<float>(a_level.width()) * 0.5f;
    const float half_h = static_cast<float>(a_level.height()) * 0.5f;
    for (int cy = box.min_y + s + 1; cy < box.max_y - s - 1; cy += 2 * s) {
        for (int cx = box.min_x + s + 1; cx < box.max_x - s - 1; cx += 2 * s) {
            int best = -1, best_x = 0, best_y = 0;
            for (int y = cy - s; y <= cy + s; ++y) {
                const std::int32_t* row = energy.row(y);
                for (int x = cx - s; x <= cx + s; ++x)
                    if (row[x] > best) {
                        best = row[x];
                        best_x = x;
                        best_y = y;
                    }
            }
            if (best > kDetectEnergyThreshold && !points.add({static_cast<float>(best_x) - half_w, static_cast<float>(best_y) - half_h}))
                return true;
        }
    }
    return true;
}

bool RefinePoint(const GrayImage& image, PointI p, int c, float threshold, PointI& refined)
{
    const int w = image.width();
    const int h = image.height();
    const int xa = w / 2 + p.x;
    const int ya = h / 2 + p.y;
    refined = p;
    if (!(xa - c > 0 && xa + c < w - 1 && ya - c > 0 && ya + c < h - 1)) return false;
    const int e = c / 2;
    const float area = static_cast<float>((c + 1) * (c + 1));
    // The energy of a window is the float sum of the halves of its samples' horizontal and vertical
    // differences. Every partial sum is a multiple of one half far below 2^23, so the float sum is exact:
    // half the integer sum of the differences, which an integral image over the (4e + 1)^2 pixels around the
    // point gives for every window at once.
    const int side = 4 * e + 1;
    std::vector<std::int32_t> integral(static_cast<std::size_t>(side + 1) * static_cast<std::size_t>(side + 1), 0);
    auto at = [&](int row, int column) -> std::int32_t& {
        return integral[static_cast<std::size_t>(row) * static_cast<std::size_t>(side + 1) + static_cast<std::size_t>(column)];
    };
    for (int j = 0; j < side; ++j) {
        const int v = ya - 2 * e + j;
        const std::uint8_t* above = image.row(v - 1);
        const std::uint8_t* here = image.row(v);
        const std::uint8_t* below = image.row(v + 1);
        std::int32_t line = 0;
        for (int i = 0; i < side; ++i) {
            const int u = xa - 2 * e + i;
            line += std::abs(here[u - 1] - here[u + 1]) + std::abs(above[u] - below[u]);
            at(j + 1, i + 1) = at(j, i + 1) + line;
        }
    }
    const int window = 2 * e + 1;
    float best = 0.0f;
    for (int py = ya - e; py <= ya + e; ++py) {
        for (int px = xa - e; px <= xa + e; ++px) {
            const int top = py - e - (ya - 2 * e), left = px - e - (xa - 2 * e);
            const std::int32_t differences =
                at(top + window, left + window) - at(top, left + window) - at(top + window, left) + at(top, left);
            const float sum = static_cast<float>(differences) * 0.5f;
            const float score = sum / area;
            if (score > best) {
                best = score;
                refined = {px - w / 2, py - h / 2};
            }
        }
    }
    return best > threshold;
}

void FillQuadrant(const GrayImage& a_level, const BoxI& rectangle, PointList& points, int level, float threshold)
{
    const int w = a_level.width();
    const int h = a_level.height();
    GrayImage occupied(w, h);
    auto pixel_of = [&](PointF p, int& x, int& y) {
        const float fx = static_cast<float>(w / 2) + p.x;
        const float fy = static_cast<float>(h / 2) + p.y;
        if (!(fx > -1.0f && fy > -1.0f && fx < static_cast<float>(w) && fy < static_cast<float>(h))) return false;
        x = static_cast<int>(fx);
        y = static_cast<int>(fy);
        return x >= 0 && y >= 0 && x < w && y < h;
    };
    for (const PointF& p : points.points()) {
        int x, y;
        if (pixel_of(p, x, y)) occupied.at(x, y) = 1;
    }
    const int c = level == 0 ? 16 : level == 1 ? 8 : 4;
    for (int y = rectangle.min_y + c + 3; y < rectangle.max_y - c - 3; y += 2 * c + 1) {
        for (int x = rectangle.min_x + c + 3; x < rectangle.max_x - c - 3; x += 2 * c + 1) {
            PointI refined;
            if (!RefinePoint(a_level, {x - w / 2, y - h / 2}, c, threshold, refined)) continue;
            const int rx = w / 2 + refined.x;
            const int ry = h / 2 + refined.y;
            if (rx < 0 || ry < 0 || rx >= w || ry >= h || occupied.at(rx, ry)) continue;
            if (!points.add({static_cast<float>(refined.x), static_cast<float>(refined.y)})) return;
            occupied.at(rx, ry) = 1;
        }
    }
}

namespace {

// The normalised correlation of one candidate from its sums; windows of 4 samples or fewer score 0.
float CorrelationScore(std::int32_t sab, std::int32_t saa, std::int32_t sbb, int count)
{
    const float product = static_cast<float>(static_cast<std::int64_t>(saa) * sbb);
    return product > 0.0f && count > 4 ? static_cast<float>(sab) / std::sqrt(product) : 0.0f;
}

// Keeps the first candidate, in row-major order, with the highest score above 0.
struct BestCandidate {
    float score = 0.0f;
    int x = 0, y = 0;
    void Offer(float candidate_score, int cx, int cy)
    {
        if (candidate_score > score) {
            score = candidate_score;
            x = cx;
            y = cy;
        }
    }
};

// Any candidate, with the window cut to the part where both samples lie inside their images.
void SearchClipped(const GrayImage& a_level, const GrayImage& b_level, int xa, int ya, int xb, int yb, int r,
                   BestCandidate& best)
{
    const int wa = a_level.width(), ha = a_level.height();
    const int wb = b_level.width(), hb = b_level.height();
    for (int cy = yb - kMatchSearchRadius; cy <= yb + kMatchSearchRadius; ++cy) {
        for (int cx = xb - kMatchSearchRadius; cx <= xb + kMatchSearchRadius; ++cx) {
            const int dy0 = std::max({-r, -ya, -cy});
            const int dy1 = std::min({r, ha - 1 - ya, hb - 1 - cy});
            const int dx0 = std::max({-r, -xa, -cx});
            const int dx1 = std::min({r, wa - 1 - xa, wb - 1 - cx});
            // Windows of at most 17 x 17 bytes: every sum fits 32 bits exactly.
            std::int32_t sab = 0, saa = 0, sbb = 0;
            int count = 0;
            const int span = dx1 - dx0 + 1;
            for (int dy = dy0; dy <= dy1 && span > 0; ++dy) {
                const std::uint8_t* pa = a_level.row(ya + dy) + (xa + dx0);
                const std::uint8_t* pb = b_level.row(cy + dy) + (cx + dx0);
                for (int i = 0; i < span; ++i) {
                    const std::int32_t va = pa[i];
                    const std::int32_t vb = pb[i];
                    sab += va * vb;
                    saa += va * va;
                    sbb += vb * vb;
                }
                count += span;
            }
            best.Offer(CorrelationScore(sab, saa, sbb, count), cx, cy);
        }
    }
}

// Every candidate's window lies wholly inside both images: the sums of squares come from integral images and
// the cross sums from zero-padded 16-bit rows. The sums are the same integers the clipped search adds up, so
// the scores are identical.
void SearchInterior(const GrayImage& a_level, const GrayImage& b_level, int xa, int ya, int xb, int yb, int r,
                    BestCandidate& best)
{
    const int side = 2 * r + 1;
    const PaddedWindow a(a_level, xa - r, ya - r, side, side);
    const PaddedWindow b(b_level, xb - kMatchSearchRadius - r, yb - kMatchSearchRadius - r,
                         side + 2 * kMatchSearchRadius, side + 2 * kMatchSearchRadius);
    // Windows of at most 17 x 17 bytes: every sum fits 32 bits exactly.
    const auto saa = static_cast<std::int32_t>(a.SquareSum(0, 0, side, side));
    for (int oy = 0; oy <= 2 * kMatchSearchRadius; ++oy) {
        for (int ox = 0; ox <= 2 * kMatchSearchRadius; ++ox) {
            const std::int32_t sab = DotRows(a.row(0), a.stride(), b.row(oy) + ox, b.stride(), side, PaddedWindow::PaddedLength(side));
            const auto sbb = static_cast<std::int32_t>(b.SquareSum(ox, oy, side, side));
            best.Offer(CorrelationScore(sab, saa, sbb, side * side), xb - kMatchSearchRadius + ox,
                       yb - kMatchSearchRadius + oy);
        }
    }
}

}  // namespace

Match MatchPoint(const GrayImage& a_level, const GrayImage& b_level, const Matrix& h, PointF p, int r)
{
    Match match;
    const MappedPoint predicted = ApplyHomography(h, p.x, p.y);
    if (!predicted.valid) return match;
    const int wa = a_level.width(), ha = a_level.height();
    const int wb = b_level.width(), hb = b_level.height();
    const int xa = static_cast<int>(static_cast<float>(wa / 2) + p.x + 0.5f);
    const int ya = static_cast<int>(static_cast<float>(ha / 2) + p.y + 0.5f);
    const int xb = static_cast<int>(static_cast<float>(wb / 2) + predicted.x + 0.5f);
    const int yb = static_cast<int>(static_cast<float>(hb / 2) + predicted.y + 0.5f);
    BestCandidate best{0.0f, xb, yb};
    const int reach = r + kMatchSearchRadius;
    const bool interior = r >= 0 && r <= 8 && xa - r >= 0 && xa + r < wa && ya - r >= 0 && ya + r < ha &&
                          xb - reach >= 0 && xb + reach < wb && yb - reach >= 0 && yb + reach < hb;
    if (interior)
        SearchInterior(a_level, b_level, xa, ya, xb, yb, r, best);
    else
        SearchClipped(a_level, b_level, xa, ya, xb, yb, r, best);
    match.position = {best.x - wb / 2, best.y - hb / 2};
    match.score = best.score;
    return match;
}

}  // namespace tp
