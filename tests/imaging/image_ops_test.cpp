#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "test_support.h"

namespace tp {
namespace {

GrayImage UniformGray(int width, int height, std::uint8_t value)
{
    GrayImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = value;
    return image;
}

TEST(ToGrayTest, UsesLuminanceWeightsWithRounding)
{
    const std::uint8_t red[3] = {0, 0, 255};
    const std::uint8_t green[3] = {0, 255, 0};
    const std::uint8_t blue[3] = {255, 0, 0};
    const std::uint8_t white[3] = {255, 255, 255};
    const std::uint8_t black[3] = {0, 0, 0};
    EXPECT_EQ(GrayOf(red), 76);
    EXPECT_EQ(GrayOf(green), 150);
    EXPECT_EQ(GrayOf(blue), 29);
    EXPECT_EQ(GrayOf(white), 255);
    EXPECT_EQ(GrayOf(black), 0);

    const ColorImage image = test::MakeColorImage(3, 2, [](int x, int y, int c) { return c == 2 ? 255 * ((x + y) % 2) : 0; });
    const GrayImage gray = ToGray(image);
    EXPECT_EQ(gray.at(0, 0), 0);
    EXPECT_EQ(gray.at(1, 0), 76);
    EXPECT_EQ(gray.at(0, 1), 76);
}

TEST(GaussianKernelTest, TapCountsFollowTheTruncatedHalfRule)
{
    EXPECT_EQ(GaussianKernel(1.0f).size(), 5u);
    EXPECT_EQ(GaussianKernel(1.5f).size(), 7u);
    EXPECT_EQ(GaussianKernel(0.6f).size(), 3u);
    ASSERT_EQ(GaussianKernel(0.4f).size(), 1u);
    EXPECT_EQ(GaussianKernel(0.4f)[0], 1.0f);
    EXPECT_EQ(GaussianKernel(15.0f).size(), 61u);
    const std::vector<float> k = GaussianKernel(1.0f);
    EXPECT_NEAR(std::accumulate(k.begin(), k.end(), 0.0), 1.0, 1e-6);
    EXPECT_FLOAT_EQ(k[0], k[4]);
    EXPECT_GT(k[2], k[1]);
}

TEST(GaussianSmoothTest, UniformImageKeepsItsValueInsideAndDarkensNearTheBorder)
{
    const GrayImage image = UniformGray(20, 12, 200);
    GrayImage smoothed;
    GaussianSmooth(image, 1.0f, smoothed);
    ASSERT_EQ(smoothed.width(), 20);
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 18; ++x) EXPECT_NEAR(smoothed.at(x, y), 200, 1) << x << "," << y;
    EXPECT_LT(smoothed.at(0, 5), 190);
    EXPECT_LT(smoothed.at(1, 5), 200);
    EXPECT_LT(smoothed.at(19, 11), smoothed.at(19, 5));
    EXPECT_LT(smoothed.at(0, 0), smoothed.at(0, 5));
}

TEST(GaussianSmoothTest, SingleTapAndSigmaZeroReproduceTheInput)
{
    GrayImage image(9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) image.at(x, y) = static_cast<std::uint8_t>(x * 20 + y * 3);
    GrayImage out;
    GaussianSmooth(image, 0.4f, out);
    EXPECT_TRUE(test::ImagesMatch(image, out));
    GaussianSmooth(image, 0.0f, out);
    EXPECT_TRUE(test::ImagesMatch(image, out));
}

TEST(GaussianSmoothTest, FloatVersionKeepsFractionsAndMatchesTheByteVersionAfterTruncation)
{
    GrayImage bytes(11, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 11; ++x) bytes.at(x, y) = static_cast<std::uint8_t>((x * 37 + y * 91) % 256);
    FloatImage floats;
    ToFloat(bytes, floats);
    FloatImage smoothed_floats;
    GaussianSmooth(floats, 1.0f, smoothed_floats);
    GrayImage smoothed_bytes;
    GaussianSmooth(bytes, 1.0f, smoothed_bytes);
    bool any_fraction = false;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 11; ++x) {
            const float v = smoothed_floats.at(x, y);
            any_fraction |= v != std::floor(v);
            EXPECT_EQ(static_cast<int>(v), smoothed_bytes.at(x, y));
        }
    EXPECT_TRUE(any_fraction);
}

TEST(ReduceByTwoTest, EqualsSmoothingThenKeepingEvenRowsAndColumns)
{
    GrayImage image(37, 23);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) image.at(x, y) = static_cast<std::uint8_t>((x * x + 7 * y) % 251);
    GrayImage smoothed;
    GaussianSmooth(image, 1.0f, smoothed);
    GrayImage reduced;
    ReduceByTwo(image, reduced);
    ASSERT_EQ(reduced.width(), 18);
    ASSERT_EQ(reduced.height(), 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 18; ++x) ASSERT_EQ(reduced.at(x, y), smoothed.at(2 * x, 2 * y)) << x << "," << y;
}

TEST(AreaResampleTest, HalvingAveragesTwoByTwoBlocks)
{
    const ColorImage source = test::MakeColorImage(4, 2, [](int x, int y, int c) { return (x + 1) * 10 + y * 40 + c; });
    ColorImage half(2, 1);
    AreaResample(source, half);
    // Block (0..1, 0..1): values 10,20,50,60 (+c) -> 35 + c.
    EXPECT_EQ(half.at(0, 0, 0), 35);
    EXPECT_EQ(half.at(0, 0, 2), 37);
    EXPECT_EQ(half.at(1, 0, 1), 56);
}

TEST(AreaResampleTest, FractionalRatiosSplitTheCutSampleBetweenNeighbours)
{
    // Three samples into two: output 0 = (s0 + 0.5 s1) / 1.5, output 1 = (0.5 s1 + s2) / 1.5.
    const ColorImage source = test::MakeColorImage(3, 1, [](int x, int, int) { return x == 1 ? 90 : 30 * x; });
    ColorImage out(2, 1);
    AreaResample(source, out);
    EXPECT_EQ(out.at(0, 0), 30);  // (0 + 45) / 1.5
    EXPECT_EQ(out.at(1, 0), 70);  // (45 + 60) / 1.5
}

TEST(AreaResampleTest, UniformImagesStayUniformAtAnyRatio)
{
    const ColorImage source = test::MakeColorImage(101, 67, [](int, int, int c) { return 100 + 50 * c; });
    for (auto [w, h] : {std::pair{50, 33}, {64, 40}, {13, 11}, {100, 66}, {1, 1}}) {
        ColorImage out(w, h);
        AreaResample(source, out);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) ASSERT_NEAR(out.at(x, y, c), 100 + 50 * c, 1) << w << "x" << h;
    }
}

// The mean of the source over the output pixel's footprint, computed directly in double precision.
double BoxMean(const ColorImage& source, int tw, int th, int x, int y, int c)
{
    const double rx = static_cast<double>(source.width()) / tw, ry = static_cast<double>(source.height()) / th;
    double sum = 0.0;
    for (int sy = 0; sy < source.height(); ++sy) {
        const double wy = std::max(0.0, std::min(sy + 1.0, (y + 1) * ry) - std::max(static_cast<double>(sy), y * ry));
        if (wy <= 0) continue;
        for (int sx = 0; sx < source.width(); ++sx) {
            const double wx = std::max(0.0, std::min(sx + 1.0, (x + 1) * rx) - std::max(static_cast<double>(sx), x * rx));
            sum += wx * wy * source.at(sx, sy, c);
        }
    }
    return sum / (rx * ry);
}

TEST(AreaResampleTest, AgreesWithTheFootprintMeanAtArbitraryRatios)
{
    const ColorImage source = test::NoiseImage(97, 61, 8);
    for (auto [w, h] : {std::pair{40, 25}, {96, 60}, {13, 61}, {97, 7}, {50, 50}}) {
        ColorImage out(w, h);
        AreaResample(source, out);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                // Truncation takes up to one level; single precision may put an exact mean just below it.
                for (int c = 0; c < 3; ++c) ASSERT_NEAR(out.at(x, y, c), BoxMean(source, w, h, x, y, c), 1.01) << w << "x" << h << " at " << x << "," << y;
    }
}

TEST(FitWithinTest, KeepsAspectRatioAndNeverEnlarges)
{
    auto fit = [](int w, int h) {
        const FittedSize s = FitWithin(w, h, 1024, 1024);
        return std::pair{s.width, s.height};
    };
    EXPECT_EQ(fit(2048, 1536), (std::pair{1024, 768}));
    EXPECT_EQ(fit(1000, 3000), (std::pair{341, 1024}));
    EXPECT_EQ(fit(800, 600), (std::pair{800, 600}));
    EXPECT_EQ(fit(1024, 1024), (std::pair{1024, 1024}));
    EXPECT_EQ(fit(2048, 2048), (std::pair{1024, 1024}));
    EXPECT_EQ(fit(3000, 1987), (std::pair{1024, 678}));
    EXPECT_EQ(fit(1, 5000), (std::pair{1, 1024}));
}

TEST(LoadFittedTest, ReducesLargeFilesAndCopiesSmallOnes)
{
    test::ScratchDir dir;
    const ColorImage big = test::MakeColorImage(2048, 1536, [](int x, int y, int c) { return ((x / 2) + (y / 2) * 3 + c) % 256; });
    ASSERT_EQ(WriteImage(big, dir.file("big.bmp")), 0);
    ColorImage working;
    ASSERT_TRUE(LoadFitted(working, dir.file("big.bmp"), kWorkingBound, kWorkingBound));
    EXPECT_EQ(working.width(), 1024);
    EXPECT_EQ(working.height(), 768);
    // Each 2 x 2 block of the file holds one value, so the reduction reproduces it exactly.
    EXPECT_EQ(working.at(10, 20, 1), (10 + 20 * 3 + 1) % 256);

    const ColorImage small = test::NoiseImage(800, 600);
    ASSERT_EQ(WriteImage(small, dir.file("small.bmp")), 0);
    ASSERT_TRUE(LoadFitted(working, dir.file("small.bmp"), kWorkingBound, kWorkingBound));
    EXPECT_TRUE(test::ImagesMatch(small, working));
}

TEST(LoadFittedTest, ReadFailureLeavesTheDestinationUntouched)
{
    ColorImage keep = test::NoiseImage(5, 5);
    const ColorImage before = keep;
    EXPECT_FALSE(LoadFitted(keep, "/nonexistent/file.png", kWorkingBound, kWorkingBound));
    EXPECT_TRUE(test::ImagesMatch(before, keep));
}

TEST(CropTest, CopiesTheRectangleAndLeavesOutsidePartsEmpty)
{
    const ColorImage image = test::NoiseImage(10, 8);
    const ColorImage part = Crop(image, 3, 2, 4, 5);
    ASSERT_EQ(part.width(), 4);
    ASSERT_EQ(part.height(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) ASSERT_EQ(part.at(x, y, c), image.at(x + 3, y + 2, c));
    const ColorImage overhanging = Crop(image, 8, -1, 4, 3);
    EXPECT_EQ(overhanging.at(0, 1, 0), image.at(8, 0, 0));
    EXPECT_EQ(overhanging.at(3, 1, 0), 0);
    EXPECT_EQ(overhanging.at(0, 0, 2), 0);
}

TEST(PlaneConversionTest, FloatToByteClampsAndTruncates)
{
    FloatImage plane(5, 1);
    const float values[5] = {-3.0f, 0.9f, 127.99f, 255.5f, 1e9f};
    for (int x = 0; x < 5; ++x) plane.at(x, 0) = values[x];
    GrayImage bytes;
    ToBytes(plane, bytes);
    EXPECT_EQ(bytes.at(0, 0), 0);
    EXPECT_EQ(bytes.at(1, 0), 0);
    EXPECT_EQ(bytes.at(2, 0), 127);
    EXPECT_EQ(bytes.at(3, 0), 255);
    EXPECT_EQ(bytes.at(4, 0), 255);
    FloatImage back;
    ToFloat(bytes, back);
    EXPECT_EQ(back.at(2, 0), 127.0f);
}

}  // namespace
}  // namespace tp
