// The search runs on a reduced copy of the cost image (its shorter side at most 80 pixels): a best-first
// growth from the first endpoint that always takes the cheapest node next to what it has reached, until it
// reaches the second; the chain of predecessors is the seam. The side of the seam that continues the border
// from the first endpoint in the given direction is flooded as "keep the canvas".
#include "compositing/seam_search.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <queue>
#include <vector>

#include "compositing/raster_line.h"
#include "imaging/image_ops.h"

namespace tp {

namespace {

constexpr int kCoarseSide = 80;
constexpr int kInteriorInset = 2;
constexpr int kUnreachedLabel = 100000000;

// Difference plus one, plus a penalty growing with the fourth power of the distance from the centre.
GrayImage SeamCost(const GrayImage& difference)
{
    const int w = difference.width(), h = difference.height();
    const double cx = w / 2, cy = h / 2;
    const double radius2 = cx * cx + cy * cy;
    GrayImage cost(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            const double ratio = radius2 > 0 ? r2 / radius2 : 0.0;
            const double v = difference.at(x, y) + 1 + 5 * ratio * ratio;
            cost.at(x, y) = static_cast<std::uint8_t>(std::min(255.0, std::trunc(v)));
        }
    return cost;
}

// The cost reduced until its shorter side is at most 80 pixels; `levels` counts the original too.
GrayImage CoarseCost(const GrayImage& cost, int& levels)
{
    levels = 1;
    for (int side = std::min(cost.width(), cost.height()); side > kCoarseSide; side /= 2) ++levels;
    GrayImage level = cost;
    for (int i = 1; i < levels; ++i) {
        GrayImage reduced;
        ReduceByTwo(CutToEvenSize(level), reduced);
        level = std::move(reduced);
    }
    return level;
}

}  // namespace

// Nodes wait in a heap ordered by (label, index), which takes them in the same order as a full scan for the
// first minimum would.
std::vector<int> GrowSeamPath(const GrayImage& interior, int start, int goal)
{
    const int w = interior.width(), h = interior.height();
    const int n = w * h;
    std::vector<int> label(static_cast<std::size_t>(n), kUnreachedLabel);
    std::vector<int> previous(static_cast<std::size_t>(n), start);
    std::vector<char> visited(static_cast<std::size_t>(n), 0);
    using Entry = std::pair<int, int>;  // (label, node index): lexicographic order is the scan order
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> frontier;
    auto cost = [&](int node) { return static_cast<int>(interior.at(node % w, node / w)); };
    auto neighbours = [&](int node, auto visit) {
        const int x = node % w, y = node / w;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx || dy) && x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h) visit((y + dy) * w + x + dx);
            }
    };
    for (int node = 0; node < n; ++node) frontier.push({kUnreachedLabel, node});
    visited[static_cast<std::size_t>(start)] = 1;
    neighbours(start, [&](int m) {
        label[static_cast<std::size_t>(m)] = cost(m);
        frontier.push({cost(m), m});
    });
    while (!visited[static_cast<std::size_t>(goal)] && !frontier.empty()) {
        // Named apart (not a structured binding) so that the lambda below may capture the node.
        const auto top = frontier.top();
        const auto l = top.first;
        const int node = top.second;
        frontier.pop();
        if (visited[static_cast<std::size_t>(node)] || l != label[static_cast<std::size_t>(node)]) continue;
        visited[static_cast<std::size_t>(node)] = 1;
        neighbours(node, [&](int m) {
            if (visited[static_cast<std::size_t>(m)] || label[static_cast<std::size_t>(m)] <= cost(m)) return;
            label[static_cast<std::size_t>(m)] = cost(m);
            previous[static_cast<std::size_t>(m)] = node;
            frontier.push({cost(m), m});
        });
    }
    return previous;
}

namespace {

// Border corners K0..K3 of a w x h mask: clockwise from the top-left for orientation 0, counter-clockwise
// for 1.
std::array<PointI, 4> BorderCorners(int w, int h, int orientation)
{
    if (orientation == 0) return {{{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}}};
    return {{{0, 0}, {0, h - 1}, {w - 1, h - 1}, {w - 1, 0}}};
}

// Side s is the border run from corner K(s + 3) to corner K(s), K(s) itself excluded; -1 off the border.
int SideOf(PointI p, const std::array<PointI, 4>& k)
{
    for (int s = 0; s < 4; ++s) {
        const PointI a = k[static_cast<std::size_t>((s + 3) % 4)];
        const PointI b = k[static_cast<std::size_t>(s)];
        if (p == b) continue;
        const bool on_run = (a.x == b.x && p.x == a.x && p.y >= std::min(a.y, b.y) && p.y <= std::max(a.y, b.y)) ||
                            (a.y == b.y && p.y == a.y && p.x >= std::min(a.x, b.x) && p.x <= std::max(a.x, b.x));
        if (on_run) return s;
    }
    return -1;
}

// Grows the 255 region up to the seam: a 3 x 3 neighbourhood holding 255 and no 125 becomes all 255, and
// every 0 pixel next to a 255 becomes 255, until nothing changes.
void Flood(GrayImage& mask)
{
    const int w = mask.width(), h = mask.height();
    for (bool changed = true; changed;) {
        changed = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool has_keep = false, has_seam = false;
                for (int v = std::max(0, y - 1); v <= std::min(h - 1, y + 1); ++v)
                    for (int u = std::max(0, x - 1); u <= std::min(w - 1, x + 1); ++u) {
                        has_keep |= mask.at(u, v) == kKeepMosaic;
                        has_seam |= mask.at(u, v) == kOnSeam;
                    }
                if (!has_keep || has_seam) continue;
                for (int v = std::max(0, y - 1); v <= std::min(h - 1, y + 1); ++v)
                    for (int u = std::max(0, x - 1); u <= std::min(w - 1, x + 1); ++u)
                        if (mask.at(u, v) != kKeepMosaic) {
                            mask.at(u, v) = kKeepMosaic;
                            changed = true;
                        }
            }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (mask.at(x, y) != kTakeSource) continue;
                const bool next_to_keep = (x > 0 && mask.at(x - 1, y) == kKeepMosaic) ||
                                          (x + 1 < w && mask.at(x + 1, y) == kKeepMosaic) ||
                                          (y > 0 && mask.at(x, y - 1) == kKeepMosaic) ||
                                          (y + 1 < h && mask.at(x, y + 1) == kKeepMosaic);
                if (next_to_keep) {
                    mask.at(x, y) = kKeepMosaic;
                    changed = true;
                }
            }
    }
}

// Nearest-neighbour enlargement of the coarse mask to the difference image's size.
GrayImage ScaleUp(const GrayImage& coarse, int width, int height)
{
    GrayImage mask(width, height);
    const int wm = coarse.width(), hm = coarse.height();
    for (int y = 0; y < height; ++y) {
        const int sy = height > 1 ? static_cast<int>(static_cast<double>(y) * (hm - 1) / (height - 1)) : 0;
        for (int x = 0; x < width; ++x) {
            const int sx = width > 1 ? static_cast<int>(static_cast<double>(x) * (wm - 1) / (width - 1)) : 0;
            mask.at(x, y) = coarse.at(sx, sy);
        }
    }
    return mask;
}

}  // namespace

PointI SnapToBorder(PointI p, int width, int height)
{
    p.x = std::clamp(p.x, 0, std::max(0, width - 1));
    p.y = std::clamp(p.y, 0, std::max(0, height - 1));
    const int distances[4] = {p.x, p.y, width - 1 - p.x, height - 1 - p.y};
    int nearest = 0;
    for (int side = 1; side < 4; ++side)
        if (distances[side] < distances[nearest]) nearest = side;
    switch (nearest) {
    case 0: p.x = 0; break;
    case 1: p.y = 0; break;
    case 2: p.x = width - 1; break;
    default: p.y = height - 1; break;
    }
    return p;
}

GrayImage SearchSeam(const GrayImage& difference, PointI first, PointI second, int orientation)
{
    int levels = 1;
    const GrayImage coarse = CoarseCost(SeamCost(difference), levels);
    const int wm = coarse.width(), hm = coarse.height();
    GrayImage mask(wm, hm);
    if (mask.empty()) return ScaleUp(GrayImage(1, 1), difference.width(), difference.height());

    const int divisor = 1 << (levels - 1);
    const PointI e1 = SnapToBorder({first.x / divisor, first.y / divisor}, wm, hm);
    const PointI e2 = SnapToBorder({second.x / divisor, second.y / divisor}, wm, hm);

    // The path runs through the interior, two pixels in from every side, and is joined to the border
    // endpoints by straight seam lines.
    const int wi = wm - 2 * kInteriorInset, hi = hm - 2 * kInteriorInset;
    if (wi > 0 && hi > 0) {
        GrayImage interior(wi, hi);
        for (int y = 0; y < hi; ++y) std::copy_n(coarse.row(y + kInteriorInset) + kInteriorInset, wi, interior.row(y));
        const PointI i1 = SnapToBorder({e1.x - kInteriorInset, e1.y - kInteriorInset}, wi, hi);
        const PointI i2 = SnapToBorder({e2.x - kInteriorInset, e2.y - kInteriorInset}, wi, hi);
        const int start = i1.y * wi + i1.x, goal = i2.y * wi + i2.x;
        const std::vector<int> previous = GrowSeamPath(interior, start, goal);
        GrayImage path(wi, hi);
        for (int node = goal; node != start;) {
            const int prev = previous[static_cast<std::size_t>(node)];
            DrawLine(path, {node % wi, node / wi}, {prev % wi, prev / wi}, kOnSeam);
            node = prev;
        }
        path.at(i1.x, i1.y) = kOnSeam;
        path.at(i2.x, i2.y) = kOnSeam;
        for (int y = 0; y < hi; ++y) std::copy_n(path.row(y), wi, mask.row(y + kInteriorInset) + kInteriorInset);
        DrawLine(mask, e1, {i1.x + kInteriorInset, i1.y + kInteriorInset}, kOnSeam);
        DrawLine(mask, e2, {i2.x + kInteriorInset, i2.y + kInteriorInset}, kOnSeam);
    } else {
        // Too thin for an interior: the seam is the straight line between the endpoints.
        DrawLine(mask, e1, e2, kOnSeam);
    }

    const std::array<PointI, 4> k = BorderCorners(wm, hm, orientation);
    const int side1 = SideOf(e1, k), side2 = SideOf(e2, k);
    if (side1 == side2)
        DrawLine(mask, e1, e2, kKeepMosaic);
    else if (side1 >= 0)
        DrawLine(mask, e1, k[static_cast<std::size_t>(side1)], kKeepMosaic);
    mask.at(e1.x, e1.y) = kOnSeam;
    mask.at(e2.x, e2.y) = kOnSeam;
    Flood(mask);
    return ScaleUp(mask, difference.width(), difference.height());
}

}  // namespace tp
