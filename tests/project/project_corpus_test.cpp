// Replays the project corpus (tests/data/projects): hand-made and fuzzer-found project files, each named for
// what the reader must do with it. A refused file leaves the contents as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "project/project_file.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(ProjectCorpus, EveryFileIsReadOrRefusedAsItsNameSays)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() + "/projects"))
        if (entry.path().extension() == ".tnp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u);
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        ProjectFileContents contents;
        contents.stored_paths = {"untouched"};
        const bool read = ReadProjectFile(file.string(), contents);
        EXPECT_EQ(read, name.rfind("ok-", 0) == 0) << name;
        if (!read) {
            EXPECT_EQ(contents.stored_paths, std::vector<std::string>{"untouched"}) << name;
        }
    }
}

}  // namespace
}  // namespace tp
