// Replays the corpus of damaged files (tests/data/malformed) through ReadImage: every reader must answer with
// a code and never crash; a failed read leaves the image empty; a file cut short never reads as a whole image.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "imaging/image_file.h"
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

}  // namespace
}  // namespace tp
