#include <gtest/gtest.h>

#include <random>

#include "compositing/raster_line.h"
#include "compositing/seam_endpoints.h"
#include "compositing/seam_search.h"

namespace tp {
namespace {

// A 100 x 80 canvas painted over columns 0..49 (all rows).
ColorImage LeftHalfPainted()
{
    ColorImage canvas(100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 50; ++x) canvas.at(x, y, 1) = 9;
    return canvas;
}

TEST(RasterLineTest, LinesWithEndsNearTheCoordinateLimitDrawOnlyWhatCrossesTheMask)
{
    // A source mapped near the coordinate limit gives outline corners two billion pixels apart or more.
    GrayImage mask(100, 80);
    DrawLine(mask, {-2100000000, 5}, {2100000000, 5}, 7);
    DrawLine(mask, {40, -2000000000}, {40, 79}, 9);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x) {
            const int expected = x == 40 ? 9 : y == 5 ? 7 : 0;
            ASSERT_EQ(mask.at(x, y), expected) << x << ", " << y;
        }
}

TEST(RoundHalfUpTest, TruncatesThenAddsOneFromAHalf)
{
    EXPECT_EQ(RoundHalfUp(2.5), 3);
    EXPECT_EQ(RoundHalfUp(2.49), 2);
    EXPECT_EQ(RoundHalfUp(-2.7), -2);
    EXPECT_EQ(RoundHalfUp(0.0), 0);
}

TEST(EdgeWalkTest, ReturnsTheFirstChangeBetweenEmptyAndPainted)
{
    const ColorImage canvas = LeftHalfPainted();
    bool found = false;
    // From outside (right) toward the painted half: the first painted pixel.
    EXPECT_EQ(EdgeWalk(canvas, {90, 10}, {10, 10}, found), (PointI{49, 10}));
    EXPECT_TRUE(found);
    // From inside the painted half the first sample already differs from the empty one before it.
    EXPECT_EQ(EdgeWalk(canvas, {10, 10}, {90, 10}, found), (PointI{10, 10}));
    EXPECT_TRUE(found);
    // No change: the walk reports failure and returns its end.
    EXPECT_EQ(EdgeWalk(canvas, {60, 10}, {95, 70}, found), (PointI{95, 70}));
    EXPECT_FALSE(found);
    // The last two samples are never examined.
    EXPECT_EQ(EdgeWalk(canvas, {52, 5}, {48, 5}, found), (PointI{48, 5}));
    EXPECT_FALSE(found);
}

TEST(SeamEndpointsTest, AllCornersOnThePaintedCanvasSkipTheSource)
{
    const ColorImage canvas = LeftHalfPainted();
    EXPECT_TRUE(FindSeamEndpoints(canvas, {{{5, 5}, {40, 5}, {40, 60}, {5, 60}}}).skip);
}

TEST(SeamEndpointsTest, TwoInsideCornersWalkFromTheOutsideOnes)
{
    // Corners 0 and 3 (left) inside, 1 and 2 outside: o = 2 walks to q = 3, o2 = 1 walks to 0.
    const ColorImage canvas = LeftHalfPainted();
    const SeamEndpoints e = FindSeamEndpoints(canvas, {{{30, 10}, {80, 10}, {80, 70}, {30, 70}}});
    ASSERT_FALSE(e.skip);
    EXPECT_EQ(e.first, (PointI{49, 70}));
    EXPECT_EQ(e.second, (PointI{49, 10}));
    EXPECT_EQ(e.orientation, 0);  // walked from 2 toward 3
    // Mirrored: corners 1 and 2 inside. o = 3 walks to 2 (counter-clockwise), o2 = 0 walks to 1.
    ColorImage right(100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 50; x < 100; ++x) right.at(x, y, 0) = 3;
    const SeamEndpoints m = FindSeamEndpoints(right, {{{20, 10}, {70, 10}, {70, 70}, {20, 70}}});
    EXPECT_EQ(m.first, (PointI{50, 70}));
    EXPECT_EQ(m.second, (PointI{50, 10}));
    EXPECT_EQ(m.orientation, 1);
}

TEST(SeamEndpointsTest, ThreeAndOneInsideCorners)
{
    // Painted everywhere except the square x, y >= 60: corner 2 alone is outside.
    ColorImage canvas(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (x < 60 || y < 60) canvas.at(x, y, 2) = 7;
    SeamEndpoints e = FindSeamEndpoints(canvas, {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}});
    EXPECT_EQ(e.first, (PointI{59, 90}));   // walked from corner 2 toward corner 3
    EXPECT_EQ(e.second, (PointI{90, 59}));  // walked from corner 2 toward corner 1
    EXPECT_EQ(e.orientation, 0);
    // Only corner 0 painted: walks from 1 and from 3 toward it.
    ColorImage corner_only(100, 100);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) corner_only.at(x, y, 2) = 7;
    e = FindSeamEndpoints(corner_only, {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}});
    EXPECT_EQ(e.first, (PointI{29, 10}));
    EXPECT_EQ(e.second, (PointI{10, 29}));
    EXPECT_EQ(e.orientation, 1);
}

TEST(SeamEndpointsTest, NoInsideCornerUsesTheTwoOutlineCrossingsOrJoinsWithoutSeam)
{
    // A painted band through the middle crosses the top and bottom edges of the outline.
    ColorImage band(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 40; x < 60; ++x) band.at(x, y, 0) = 5;
    SeamEndpoints e = FindSeamEndpoints(band, {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}});
    // A band crossing the outline twice on each of two edges gives four crossings: no seam is attempted.
    EXPECT_TRUE(e.no_seam);
    // A painted block entering from the top edge only: two crossings on edge 0 -> 1.
    ColorImage block(100, 100);
    for (int y = 0; y < 30; ++y)
        for (int x = 40; x < 60; ++x) block.at(x, y, 0) = 5;
    e = FindSeamEndpoints(block, {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}});
    ASSERT_FALSE(e.no_seam);
    EXPECT_EQ(e.first, (PointI{40, 10}));
    EXPECT_EQ(e.second, (PointI{60, 10}));
    EXPECT_EQ(e.orientation, 0);
    // Nothing painted under the outline.
    e = FindSeamEndpoints(ColorImage(100, 100), {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}});
    EXPECT_TRUE(e.no_seam);
    EXPECT_FALSE(e.skip);
}

TEST(SnapToBorderTest, ClampsThenMovesToTheNearestSideFirstOnTies)
{
    EXPECT_EQ(SnapToBorder({3, 40}, 100, 80), (PointI{0, 40}));
    EXPECT_EQ(SnapToBorder({50, 78}, 100, 80), (PointI{50, 79}));
    EXPECT_EQ(SnapToBorder({-10, -5}, 100, 80), (PointI{0, 0}));
    EXPECT_EQ(SnapToBorder({5, 5}, 100, 80), (PointI{0, 5}));  // left before top
    EXPECT_EQ(SnapToBorder({200, 300}, 100, 80), (PointI{99, 79}));
}

// The scan the heap replaces: every round takes the first unvisited node with the smallest label.
std::vector<int> GrowByFullScan(const GrayImage& costs, int start, int goal)
{
    const int w = costs.width(), h = costs.height(), n = w * h;
    std::vector<int> label(static_cast<std::size_t>(n), 100000000), previous(static_cast<std::size_t>(n), start);
    std::vector<bool> visited(static_cast<std::size_t>(n), false);
    auto for_neighbours = [&](int node, auto f) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = node % w + dx, y = node / w + dy;
                if ((dx || dy) && x >= 0 && y >= 0 && x < w && y < h) f(y * w + x);
            }
    };
    visited[static_cast<std::size_t>(start)] = true;
    for_neighbours(start, [&](int m) { label[static_cast<std::size_t>(m)] = costs.at(m % w, m / w); });
    while (!visited[static_cast<std::size_t>(goal)]) {
        int best = 1000000000, picked = -1;
        for (int i = 0; i < n; ++i)
            if (!visited[static_cast<std::size_t>(i)] && label[static_cast<std::size_t>(i)] < best) {
                best = label[static_cast<std::size_t>(i)];
                picked = i;
            }
        visited[static_cast<std::size_t>(picked)] = true;
        for_neighbours(picked, [&](int m) {
            const int c = costs.at(m % w, m / w);
            if (!visited[static_cast<std::size_t>(m)] && label[static_cast<std::size_t>(m)] > c) {
                label[static_cast<std::size_t>(m)] = c;
                previous[static_cast<std::size_t>(m)] = picked;
            }
        });
    }
    return previous;
}

TEST(SeamPathTest, MatchesTheFullScanIncludingItsTieRule)
{
    std::mt19937 rng(12);
    for (int trial = 0; trial < 20; ++trial) {
        GrayImage costs(17, 11);
        // Few distinct values, so that equal labels are everywhere.
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 17; ++x) costs.at(x, y) = static_cast<std::uint8_t>(1 + rng() % 3);
        const int start = static_cast<int>(rng() % (17 * 11)), goal = static_cast<int>(rng() % (17 * 11));
        const std::vector<int> fast = GrowSeamPath(costs, start, goal);
        const std::vector<int> scan = GrowByFullScan(costs, start, goal);
        // Only the chain from the goal back to the start is used; it must be identical.
        for (int node = goal; node != start; node = scan[static_cast<std::size_t>(node)])
            ASSERT_EQ(fast[static_cast<std::size_t>(node)], scan[static_cast<std::size_t>(node)]) << "trial " << trial;
    }
}

// A difference image with a cheap vertical valley at column `valley`.
GrayImage Valley(int width, int height, int valley)
{
    GrayImage d(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) d.at(x, y) = x == valley ? 0 : 200;
    return d;
}

TEST(SearchSeamTest, FollowsTheValleyAndKeepsTheCanvasOnTheSideTheOrientationGives)
{
    const GrayImage d = Valley(40, 30, 25);
    const GrayImage mask = SearchSeam(d, {25, 0}, {25, 29}, 0);
    ASSERT_EQ(mask.width(), 40);
    // Clockwise from the top endpoint: the right part keeps the canvas, the left takes the source.
    EXPECT_EQ(mask.at(35, 15), kKeepMosaic);
    EXPECT_EQ(mask.at(5, 15), kTakeSource);
    EXPECT_EQ(mask.at(25, 15), kOnSeam);
    const GrayImage flipped = SearchSeam(d, {25, 0}, {25, 29}, 1);
    EXPECT_EQ(flipped.at(35, 15), kTakeSource);
    EXPECT_EQ(flipped.at(5, 15), kKeepMosaic);
}

TEST(SearchSeamTest, EndpointsOnOneSideGetAStraightKeepLineBeforeFlooding)
{
    // Both endpoints on the top side: the part between them and the top edge keeps the canvas.
    GrayImage d(40, 30);
    const GrayImage mask = SearchSeam(d, {8, 0}, {32, 0}, 0);
    EXPECT_EQ(mask.at(20, 0), kKeepMosaic);
    EXPECT_EQ(mask.at(20, 29), kTakeSource);
}

TEST(SearchSeamTest, LargeOverlapsAreSearchedOnAReducedCopyAndScaledBack)
{
    const GrayImage d = Valley(400, 300, 250);
    const GrayImage mask = SearchSeam(d, {250, 0}, {250, 299}, 0);
    ASSERT_EQ(mask.width(), 400);
    ASSERT_EQ(mask.height(), 300);
    EXPECT_EQ(mask.at(350, 150), kKeepMosaic);
    EXPECT_EQ(mask.at(100, 150), kTakeSource);
}

TEST(SearchSeamTest, DegenerateOverlapsGiveADefinedMask)
{
    // Coinciding endpoints, a single row, a single column, a single pixel.
    for (auto [w, h] : {std::pair{30, 20}, {30, 1}, {1, 20}, {1, 1}, {3, 3}}) {
        const GrayImage d(w, h);
        const GrayImage mask = SearchSeam(d, {0, 0}, {0, 0}, 0);
        EXPECT_EQ(mask.width(), w);
        EXPECT_EQ(mask.height(), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int v = mask.at(x, y);
                ASSERT_TRUE(v == kKeepMosaic || v == kTakeSource || v == kOnSeam) << v;
            }
    }
}

}  // namespace
}  // namespace tp
