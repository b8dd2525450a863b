#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "imaging/reduced_read.h"
#include "test_support.h"

namespace tp {
namespace {

// The nearest-neighbour copy worked out from the whole picture: pixel (x, y) is pixel
// (x * larger / side, y * larger / side), clamped, of a copy whose sides are side * larger side, at least 1.
ColorImage NearestFromWhole(const ColorImage& full, int side)
{
    const int larger = std::max(full.width(), full.height());
    if (side <= 0 || larger <= side) return full;
    ColorImage copy(std::max(1, full.width() * side / larger), std::max(1, full.height() * side / larger));
    for (int y = 0; y < copy.height(); ++y)
        for (int x = 0; x < copy.width(); ++x)
            for (int c = 0; c < 3; ++c)
                copy.at(x, y, c) = full.at(std::min(x * larger / side, full.width() - 1),
                                           std::min(y * larger / side, full.height() - 1), c);
    return copy;
}

// Reads `path` reduced and whole, and compares both copies with those made from the whole picture.
void ExpectSameAsFromWhole(const std::string& path, const ReductionRequest& request)
{
    SCOPED_TRACE(path);
    ColorImage full;
    ASSERT_EQ(ReadImage(full, path), 0);
    ReducedPicture picture;
    ASSERT_EQ(ReadReduced(path, request, picture), 0);
    EXPECT_EQ(picture.full_width, full.width());
    EXPECT_EQ(picture.full_height, full.height());
    const bool fitted = request.fit_width > 0 && request.fit_height > 0;
    EXPECT_TRUE(test::ImagesMatch(fitted ? FitImage(full, request.fit_width, request.fit_height) : ColorImage(), picture.fitted));
    EXPECT_TRUE(test::ImagesMatch(request.nearest_side >= 0 ? NearestFromWhole(full, request.nearest_side) : ColorImage(), picture.nearest));
}

struct Size {
    int width;
    int height;
};

class ReducedReadTest : public ::testing::TestWithParam<std::tuple<const char*, Size>> {};

// Every writer's files, at sizes that fit and that do not, odd ones and slivers: the copies made while
// reading are the bytes made from the whole picture, for the working image with its thumbnail and for the
// thumbnail alone.
TEST_P(ReducedReadTest, CopiesEqualThoseMadeFromTheWholePicture)
{
    const auto [extension, size] = GetParam();
    test::ScratchDir dir;
    const std::string path = dir.file(std::string("picture") + extension);
    ASSERT_EQ(WriteImage(test::NoiseImage(size.width, size.height, 7), path), 0);
    ExpectSameAsFromWhole(path, ReductionRequest{kWorkingBound, kWorkingBound, 320});
    ExpectSameAsFromWhole(path, ReductionRequest{0, 0, 1024});
    ExpectSameAsFromWhole(path, ReductionRequest{37, 29, 0});
}

INSTANTIATE_TEST_SUITE_P(WrittenFiles, ReducedReadTest,
                         ::testing::Combine(::testing::Values(".bmp", ".pcx", ".pgm", ".png", ".ras", ".tif", ".jpg"),
                                            ::testing::Values(Size{1, 1}, Size{1, 40}, Size{40, 1}, Size{333, 251},
                                                              Size{1031, 1029}, Size{2100, 7})));

// The layouts our writers never make (interlaced PNG, progressive JPEG, run-length BMP, tiled TIFF, 16-bit
// PNG, ...), reduced to small copies so that every one of them is reduced.
TEST(ReducedReadFilesTest, EveryReferenceLayoutGivesTheCopiesMadeFromTheWholePicture)
{
    int files = 0;
    for (const char* folder : {"reference/library", "reference/native"})
        for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() + "/" + folder)) {
            const std::string path = entry.path().string();
            if (DetectImageFormat(path) == ImageFormat::Unknown) continue;
            ExpectSameAsFromWhole(path, ReductionRequest{13, 11, 9});
            ExpectSameAsFromWhole(path, ReductionRequest{kWorkingBound, kWorkingBound, 0});
            ++files;
        }
    EXPECT_GT(files, 40);
}

TEST(ReducedReadFilesTest, AFailedReadGivesTheReadersCodeAndNoCopies)
{
    test::ScratchDir dir;
    test::WriteBytes(dir.file("short.png"), {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0});
    ReducedPicture picture;
    EXPECT_EQ(ReadReduced(dir.file("short.png"), ReductionRequest{64, 64, 32}, picture), ReadImage(picture.fitted, dir.file("short.png")));
    EXPECT_TRUE(picture.fitted.empty());
    EXPECT_TRUE(picture.nearest.empty());
    EXPECT_EQ(ReadReduced(dir.file("missing.png"), ReductionRequest{64, 64, 32}, picture), -1);
}

// A picture read row by row reserves a few rows and its small copies; one that must be decoded whole
// (interlaced) reserves the whole picture; everything goes back afterwards.
TEST(ReducedReadBudgetTest, ReservesWhatTheReadingHoldsAndGivesItBack)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteImage(test::NoiseImage(600, 400, 3), dir.file("plain.png")), 0);
    const std::string interlaced = test::TestDataDir() + "/reference/library/interlaced.png";
    ColorImage whole;
    ASSERT_EQ(ReadImage(whole, interlaced), 0);

    MemoryBudget plain_budget(std::size_t{1} << 30);
    ReducedPicture picture;
    ASSERT_EQ(ReadReduced(dir.file("plain.png"), ReductionRequest{100, 100, 50}, picture, &plain_budget), 0);
    EXPECT_LT(plain_budget.peak_held(), std::size_t{600} * 400 * 3 / 8);
    EXPECT_EQ(plain_budget.held(), 0u);

    MemoryBudget interlaced_budget(std::size_t{1} << 30);
    ASSERT_EQ(ReadReduced(interlaced, ReductionRequest{10, 10, 5}, picture, &interlaced_budget), 0);
    EXPECT_GE(interlaced_budget.peak_held(), std::size_t{3} * static_cast<std::size_t>(whole.width() * whole.height()));
    EXPECT_EQ(interlaced_budget.held(), 0u);
}

}  // namespace
}  // namespace tp
