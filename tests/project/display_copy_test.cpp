#include <gtest/gtest.h>

#include <string>

#include "imaging/image_file.h"
#include "project/display_copy.h"
#include "test_support.h"

namespace tp {

void PrintTo(const FittedRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ") " << r.width << " x " << r.height;
}

namespace {

using test::ImagesMatch;
using test::NoiseImage;
using test::ScratchDir;

// A lossless file of the given size, written the way any image of the program is.
std::string WriteNoiseFile(const ScratchDir& dir, int width, int height, ColorImage* pixels = nullptr)
{
    const ColorImage image = NoiseImage(width, height, static_cast<unsigned>(width * 31 + height));
    const std::string path = dir.file(std::to_string(width) + "x" + std::to_string(height) + ".bmp");
    EXPECT_EQ(WriteImage(image, path), 0);
    if (pixels) *pixels = image;
    return path;
}

struct SizeCase {
    int width;
    int height;
    int longest_side;
    int display_width;
    int display_height;
};

TEST(DisplayCopyLoadTest, DisplaySizesFollowTheLongestSide)
{
    ScratchDir dir;
    const SizeCase cases[] = {
        {320, 200, 320, 320, 200},    // a thumbnail that already fits
        {640, 480, 320, 320, 240},    // thumbnail
        {640, 480, 1024, 640, 480},   // pair copy: never enlarged
        {2048, 1536, 1024, 1024, 768},
        {480, 640, 320, 240, 320},    // tall
        {800, 600, 0, 800, 600},      // full size
        {1000, 750, 320, 320, 240},
        {332, 249, 320, 320, 240},    // 249 * 320 / 332 is exactly 240
        {5000, 3, 320, 320, 1},       // a sliver keeps one line
    };
    for (const SizeCase& c : cases) {
        const std::string path = WriteNoiseFile(dir, c.width, c.height);
        DisplayCopy copy;
        ASSERT_TRUE(copy.Load(path, c.longest_side)) << c.width << " x " << c.height;
        EXPECT_TRUE(copy.loaded());
        EXPECT_EQ(copy.full_width(), c.width);
        EXPECT_EQ(copy.full_height(), c.height);
        EXPECT_EQ(copy.display_width(), c.display_width) << c.width << " x " << c.height << " at " << c.longest_side;
        EXPECT_EQ(copy.display_height(), c.display_height) << c.width << " x " << c.height << " at " << c.longest_side;
    }
}

TEST(DisplayCopyLoadTest, UnreducedCopiesAreExact)
{
    ScratchDir dir;
    ColorImage pixels;
    const std::string path = WriteNoiseFile(dir, 800, 600, &pixels);
    for (const int longest_side : {0, 800, 1024, -5}) {
        DisplayCopy copy;
        ASSERT_TRUE(copy.Load(path, longest_side));
        EXPECT_TRUE(ImagesMatch(pixels, copy.image())) << longest_side;
    }
}

TEST(DisplayCopyLoadTest, HalvingTakesEveryOtherPixel)
{
    ScratchDir dir;
    ColorImage pixels;
    const std::string path = WriteNoiseFile(dir, 2048, 1536, &pixels);
    DisplayCopy copy;
    ASSERT_TRUE(copy.Load(path, 1024));
    ASSERT_EQ(copy.display_width(), 1024);
    ASSERT_EQ(copy.display_height(), 768);
    const ColorImage expected =
        test::MakeColorImage(1024, 768, [&](int x, int y, int c) { return pixels.at(2 * x, 2 * y, c); });
    EXPECT_TRUE(ImagesMatch(expected, copy.image()));
}

TEST(DisplayCopyLoadTest, FractionalFactorSamplesRoundedDown)
{
    // f = 1000 / 320 = 3.125: display pixel (x, y) is file pixel (floor(3.125 x), floor(3.125 y)).
    ScratchDir dir;
    ColorImage pixels;
    const std::string path = WriteNoiseFile(dir, 1000, 750, &pixels);
    DisplayCopy copy;
    ASSERT_TRUE(copy.Load(path, 320));
    const ColorImage expected = test::MakeColorImage(320, 240, [&](int x, int y, int c) {
        return pixels.at(x * 1000 / 320, y * 1000 / 320, c);
    });
    EXPECT_TRUE(ImagesMatch(expected, copy.image()));
    EXPECT_EQ(copy.image().at(319, 239, 1), pixels.at(996, 746, 1));
}

TEST(DisplayCopyLoadTest, FactorIsAppliedExactly)
{
    // f = 448 / 320 = 1.4 exactly; a floating-point 1.4 * 45 falls just short of 63 and would pick column 62.
    ScratchDir dir;
    ColorImage pixels;
    const std::string path = WriteNoiseFile(dir, 448, 336, &pixels);
    DisplayCopy copy;
    ASSERT_TRUE(copy.Load(path, 320));
    const ColorImage expected =
        test::MakeColorImage(320, 240, [&](int x, int y, int c) { return pixels.at(x * 7 / 5, y * 7 / 5, c); });
    EXPECT_TRUE(ImagesMatch(expected, copy.image()));
    EXPECT_EQ(copy.image().at(45, 45, 0), pixels.at(63, 63, 0));
}

TEST(DisplayCopyLoadTest, UnreadableFilesLoadNothing)
{
    ScratchDir dir;
    const std::string garbage = dir.file("garbage.jpg");
    test::WriteBytes(garbage, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    for (const std::string& path : {std::string(), dir.file("missing.bmp"), garbage, dir.path().string()}) {
        DisplayCopy copy;
        EXPECT_FALSE(copy.Load(path, 320)) << path;
        EXPECT_FALSE(copy.loaded());
        EXPECT_EQ(copy.display_width(), 0);
        EXPECT_EQ(copy.full_width(), 0);
        EXPECT_TRUE(copy.image().empty());
    }
}

TEST(DisplayCopyLoadTest, FailedLoadDropsTheEarlierCopy)
{
    ScratchDir dir;
    const std::string good = WriteNoiseFile(dir, 64, 48);
    DisplayCopy copy;
    ASSERT_TRUE(copy.Load(good, 320));
    EXPECT_FALSE(copy.Load(dir.file("missing.bmp"), 320));
    EXPECT_FALSE(copy.loaded());
    EXPECT_TRUE(copy.image().empty());
    EXPECT_EQ(copy.full_height(), 0);
}

TEST(DisplayCopyLoadTest, FreeReleasesEverything)
{
    ScratchDir dir;
    DisplayCopy copy;
    ASSERT_TRUE(copy.Load(WriteNoiseFile(dir, 640, 480), 320));
    copy.Free();
    EXPECT_FALSE(copy.loaded());
    EXPECT_EQ(copy.display_width(), 0);
    EXPECT_EQ(copy.display_height(), 0);
    EXPECT_EQ(copy.full_width(), 0);
    EXPECT_EQ(copy.full_height(), 0);
    EXPECT_TRUE(copy.image().empty());
    copy.Free();
    EXPECT_FALSE(copy.loaded());
}

TEST(FitForDrawingTest, SmallImagesKeepTheirSizeAndAreCentred)
{
    EXPECT_EQ(FitForDrawing(300, 300, 100, 50), (FittedRect{100, 125, 100, 50}));
    EXPECT_EQ(FitForDrawing(300, 300, 300, 300), (FittedRect{0, 0, 300, 300}));
    EXPECT_EQ(FitForDrawing(301, 300, 100, 51), (FittedRect{100, 124, 100, 51}));
}

TEST(FitForDrawingTest, LargeImagesFillTheLimitingSide)
{
    EXPECT_EQ(FitForDrawing(300, 300, 600, 300), (FittedRect{0, 75, 300, 150}));
    EXPECT_EQ(FitForDrawing(300, 300, 300, 600), (FittedRect{75, 0, 150, 300}));
    // Only one side too large is enough to scale.
    EXPECT_EQ(FitForDrawing(300, 300, 400, 100), (FittedRect{0, 112, 300, 75}));
    EXPECT_EQ(FitForDrawing(400, 100, 200, 200), (FittedRect{150, 0, 100, 100}));
    // The scaled side is rounded to the nearest pixel: 333 * 300 / 1000 = 99.9.
    EXPECT_EQ(FitForDrawing(300, 300, 1000, 333), (FittedRect{0, 100, 300, 100}));
    EXPECT_EQ(FitForDrawing(300, 300, 100000, 1), (FittedRect{0, 149, 300, 1}));
}

TEST(FitForDrawingTest, EmptySizesGiveAnEmptyRectangle)
{
    EXPECT_EQ(FitForDrawing(300, 300, 0, 50), FittedRect{});
    EXPECT_EQ(FitForDrawing(0, 300, 100, 50), FittedRect{});
    EXPECT_EQ(FitForDrawing(300, -1, 100, 50), FittedRect{});
}

}  // namespace
}  // namespace tp
