// Replays the corpus of damaged files (tests/data/malformed) through ReadImage: every reader must answer with
// a code and never crash; a failed read leaves the image empty; a file cut short never reads as a whole image.
// Reading reduced gives the same codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "imaging/image_file.h"
#include "imaging/reduced_read.h"
#include "test_support.h"

namespace tp {
namespace {

std::vector<std::filesystem::path> CorpusFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() + "/malformed"))
        if (entry.path().extension() == ".bin") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(MalformedCorpus, EveryFileGetsACodeAndFailuresLeaveNothingBehind)
{
    const std::vector<std::filesystem::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 50u);
    int failures = 0;
    for (const auto& file : files) {
        ColorImage image = test::NoiseImage(3, 3);
        const int code = ReadImage(image, file.string());
        const std::string name = file.filename().string();
        if (code != 0) {
            ++failures;
            EXPECT_TRUE(image.empty() || code == -1) << name << " (code " << code << ")";
        } else {
            EXPECT_FALSE(image.empty()) << name;
        }
        // Files cut to a tenth cannot hold their whole image.
        if (name.rfind("truncated-10-", 0) == 0) {
            EXPECT_NE(code, 0) << name;
        }
    }
    EXPECT_GT(failures, static_cast<int>(files.size()) / 2);
}

// Read reduced, every damaged file gets the code it gets when read whole, and a reduced copy only when that
// read succeeds too.
TEST(MalformedCorpus, ReadingReducedGivesTheCodesOfReadingWhole)
{
    for (const auto& file : CorpusFiles()) {
        ColorImage image;
        const int whole_code = ReadImage(image, file.string());
        ReducedPicture picture;
        EXPECT_EQ(ReadReduced(file.string(), ReductionRequest{16, 16, 8}, picture), whole_code) << file.filename();
        EXPECT_EQ(picture.fitted.empty(), whole_code != 0) << file.filename();
    }
}

}  // namespace
}  // namespace tp
