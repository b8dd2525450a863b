#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include "project/crop_box.h"
#include "test_support.h"

namespace tp {

void PrintTo(const CropRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// Covered pixels get a colour with no zero byte; everything else stays empty (0, 0, 0).
template <typename Covered>
ColorImage CoverageImage(int width, int height, Covered covered)
{
    return test::MakeColorImage(width, height, [&](int x, int y, int c) {
        return covered(x, y) ? 1 + (x * 7 + y * 3 + c * 50) % 255 : 0;
    });
}

bool InsideBox(int x, int y, int left, int top, int right, int bottom)
{
    return x >= left && x < right && y >= top && y < bottom;
}

// The source outline the scans start from: an axis-aligned rectangle given as its four corners.
SourceCorners RectangleCorners(float left, float top, float right, float bottom)
{
    return {PointF{left, top}, PointF{right, top}, PointF{right, bottom}, PointF{left, bottom}};
}

bool IsEmpty(const ColorImage& image, int x, int y)
{
    return image.at(x, y, 0) == 0 && image.at(x, y, 1) == 0 && image.at(x, y, 2) == 0;
}

int EmptyPixelsIn(const ColorImage& image, const CropRect& box)
{
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) count += IsEmpty(image, x, y);
    return count;
}

// --- circumscribed ------------------------------------------------------------------------------------------

TEST(CircumscribedCropBoxTest, FindsTheCoveredExtentWithExclusiveRightAndBottom)
{
    const ColorImage image = CoverageImage(200, 100, [](int x, int y) { return InsideBox(x, y, 30, 20, 150, 70); });
    const CropRect whole_outline = CircumscribedCropBox(image, {RectangleCorners(0, 0, 200, 100)});
    EXPECT_EQ(whole_outline, (CropRect{30, 20, 150, 70}));
    EXPECT_EQ(whole_outline.width(), 120);
    EXPECT_EQ(whole_outline.height(), 50);
    // No outline at all: the scans start from the whole image.
    EXPECT_EQ(CircumscribedCropBox(image, {}), (CropRect{30, 20, 150, 70}));
}

TEST(CircumscribedCropBoxTest, SinglePixelGivesAOnePixelBox)
{
    const ColorImage image = CoverageImage(40, 30, [](int x, int y) { return x == 5 && y == 7; });
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(0, 0, 40, 30)}), (CropRect{5, 7, 6, 8}));
}

TEST(CircumscribedCropBoxTest, ImageInTheLastRowOfTheRightmostColumnCounts)
{
    // The right edge is searched over every row the box holds, the last one included.
    const ColorImage image = CoverageImage(200, 100, [](int x, int y) {
        return InsideBox(x, y, 30, 20, 150, 70) || (x == 170 && y == 69);
    });
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(0, 0, 200, 100)}), (CropRect{30, 20, 171, 70}));
}

TEST(CircumscribedCropBoxTest, ScansStayWithinTheSourceOutline)
{
    const ColorImage image = CoverageImage(300, 100, [](int x, int y) {
        return InsideBox(x, y, 20, 10, 80, 50) || InsideBox(x, y, 200, 40, 260, 90);
    });
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(0, 0, 150, 100)}), (CropRect{20, 10, 80, 50}));
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(0, 0, 150, 100), RectangleCorners(150, 0, 300, 100)}),
              (CropRect{20, 10, 260, 90}));
    // Corners are truncated and the outline's last column is scanned: ending at 78.9 scans up to column 78.
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(0.5f, 0.5f, 78.9f, 99.9f)}), (CropRect{20, 10, 79, 50}));
}

TEST(CircumscribedCropBoxTest, OutlinePartlyOrWhollyOutsideTheImage)
{
    const ColorImage image = CoverageImage(300, 100, [](int x, int y) {
        return InsideBox(x, y, 20, 10, 80, 50) || InsideBox(x, y, 200, 40, 260, 90);
    });
    const CropRect expected{20, 10, 260, 90};
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(-40, -30, 350, 130)}), expected);
    const float huge = std::numeric_limits<float>::max();
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(-huge, -huge, huge, huge)}), expected);
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(std::nanf(""), 0, 300, std::nanf(""))}),
              (CropRect{20, 10, 260, 90}));
    // An outline that misses the image says nothing about it.
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(1000, 500, 2000, 900)}), expected);
    EXPECT_EQ(CircumscribedCropBox(image, {RectangleCorners(-900, -500, -100, -10)}), expected);
}

TEST(CircumscribedCropBoxTest, ImageReachingTheBorderEndsLeftAndTopAtOne)
{
    const ColorImage full = CoverageImage(64, 48, [](int, int) { return true; });
    EXPECT_EQ(CircumscribedCropBox(full, {RectangleCorners(0, 0, 64, 48)}), (CropRect{1, 1, 64, 48}));
}

// --- inscribed ----------------------------------------------------------------------------------------------

TEST(InscribedCropBoxTest, RectangleOfImageIsFoundExactly)
{
    const ColorImage image = CoverageImage(200, 100, [](int x, int y) { return InsideBox(x, y, 30, 20, 150, 70); });
    EXPECT_EQ(InscribedCropBox(image), (CropRect{30, 20, 150, 70}));
}

TEST(InscribedCropBoxTest, NoEmptyPixelGrowsBackToTheBorderButLeftAndTopEndAtOne)
{
    for (const auto& [width, height] : {std::pair{320, 120}, std::pair{120, 320}, std::pair{100, 100}}) {
        const ColorImage image = CoverageImage(width, height, [](int, int) { return true; });
        EXPECT_EQ(InscribedCropBox(image), (CropRect{1, 1, width, height})) << width << " x " << height;
    }
}

TEST(InscribedCropBoxTest, WideImagesGrowTopAndBottomFirst)
{
    // With a notch in the top-left corner, whichever pair of edges grows first reaches the border and blocks
    // the other pair at the notch.
    const auto notched = [](int x, int y) { return !(x < 40 && y < 40); };
    EXPECT_EQ(InscribedCropBox(CoverageImage(300, 200, notched)), (CropRect{40, 1, 300, 200}));
}

TEST(InscribedCropBoxTest, TallAndSquareImagesGrowLeftAndRightFirst)
{
    const auto notched = [](int x, int y) { return !(x < 40 && y < 40); };
    EXPECT_EQ(InscribedCropBox(CoverageImage(200, 300, notched)), (CropRect{1, 40, 200, 300}));
    EXPECT_EQ(InscribedCropBox(CoverageImage(200, 200, notched)), (CropRect{1, 40, 200, 200}));
}

TEST(InscribedCropBoxTest, IrregularCoverageGivesAMaximalBoxWithoutEmptyPixels)
{
    // A trapezoid-like area: slanted top and left edges, a wavy bottom edge.
    const int width = 400;
    const int height = 300;
    const auto covered = [](int x, int y) {
        const double top = 20 + 40.0 * (x - 20) / 360.0;
        const double bottom = 275 + 5.0 * std::sin(x / 17.0);
        const double left = 20 + 30.0 * (y - 20) / 260.0;
        return x >= left && x < 380 && y >= top && y < bottom;
    };
    const ColorImage image = CoverageImage(width, height, covered);
    const CropRect box = InscribedCropBox(image);
    SCOPED_TRACE(::testing::PrintToString(box));
    ASSERT_GT(box.width(), 250);
    ASSERT_GT(box.height(), 150);
    EXPECT_EQ(EmptyPixelsIn(image, box), 0);
    // Grown until blocked: every line just outside the box holds an empty pixel along the box.
    EXPECT_GT(EmptyPixelsIn(image, CropRect{box.left, box.top - 1, box.right, box.top}), 0);
    EXPECT_GT(EmptyPixelsIn(image, CropRect{box.left, box.bottom, box.right, box.bottom + 1}), 0);
    EXPECT_GT(EmptyPixelsIn(image, CropRect{box.left - 1, box.top, box.left, box.bottom}), 0);
    EXPECT_GT(EmptyPixelsIn(image, CropRect{box.right, box.top, box.right + 1, box.bottom}), 0);
}

TEST(InscribedCropBoxTest, CoverageTooSmallForTheMarginStartsFromItsMiddle)
{
    // The well-covered span of a 4 x 4 blob is narrower than the two 15-pixel margins; the box starts from
    // its middle line and grows to the blob.
    const ColorImage blob = CoverageImage(20, 20, [](int x, int y) { return InsideBox(x, y, 8, 8, 12, 12); });
    EXPECT_EQ(InscribedCropBox(blob), (CropRect{8, 8, 12, 12}));
    for (const auto& [width, height] : {std::pair{40, 30}, std::pair{30, 40}, std::pair{12, 12}}) {
        const ColorImage small = CoverageImage(width, height, [](int, int) { return true; });
        EXPECT_EQ(InscribedCropBox(small), (CropRect{1, 1, width, height})) << width << " x " << height;
    }
}

// --- both ---------------------------------------------------------------------------------------------------

TEST(CropBoxTest, ImageWithoutAnyCoverageGivesTheWholeImage)
{
    const ColorImage blank(90, 60);
    EXPECT_EQ(CircumscribedCropBox(blank, {RectangleCorners(0, 0, 90, 60)}), (CropRect{0, 0, 90, 60}));
    EXPECT_EQ(CircumscribedCropBox(blank, {}), (CropRect{0, 0, 90, 60}));
    EXPECT_EQ(InscribedCropBox(blank), (CropRect{0, 0, 90, 60}));
    const ColorImage nothing;
    EXPECT_EQ(CircumscribedCropBox(nothing, {}), (CropRect{0, 0, 0, 0}));
    EXPECT_EQ(InscribedCropBox(nothing), (CropRect{0, 0, 0, 0}));
}

TEST(CropBoxTest, OneByteOfColourIsEnoughToCount)
{
    ColorImage image(20, 10);
    image.at(12, 4, 2) = 1;  // red only
    EXPECT_EQ(CircumscribedCropBox(image, {}), (CropRect{12, 4, 13, 5}));
}

}  // namespace
}  // namespace tp
