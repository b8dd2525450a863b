#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "imaging/image_file.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(CliConvert, ConvertsBetweenFormatsLosslessly)
{
    test::ScratchDir dir;
    const ColorImage original = test::NoiseImage(17, 9);
    ASSERT_EQ(WriteImage(original, dir.file("in.bmp")), 0);
    for (const char* name : {"out.png", "out.pcx", "out.ras", "out.tif", "out.bmp"}) {
        const test::CliResult r = test::RunCli({"convert", dir.file("in.bmp"), dir.file(name)});
        EXPECT_EQ(r.status, 0) << name << ": " << r.output;
        ColorImage back;
        ASSERT_EQ(ReadImage(back, dir.file(name)), 0) << name;
        EXPECT_TRUE(test::ImagesMatch(original, back)) << name;
    }
}

TEST(CliConvert, NamesTheFileAndTheFailingStep)
{
    test::ScratchDir dir;
    // A BMP whose header is fine but whose pixel data is cut short.
    ASSERT_EQ(WriteImage(test::NoiseImage(8, 8), dir.file("a.bmp")), 0);
    std::filesystem::resize_file(dir.file("a.bmp"), 60);
    test::CliResult r = test::RunCli({"convert", dir.file("a.bmp"), dir.file("out.png")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("a.bmp: reading error (code 4: pixel data unreadable)"), std::string::npos) << r.output;

    ASSERT_EQ(WriteImage(test::NoiseImage(8, 8), dir.file("b.bmp")), 0);
    r = test::RunCli({"convert", dir.file("b.bmp"), dir.file("out.jpeg")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("out.jpeg: unsupported file format"), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.jpeg")));

    r = test::RunCli({"convert", dir.file("missing.png"), dir.file("out.png")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("missing.png: cannot open"), std::string::npos) << r.output;

    test::WriteBytes(dir.file("junk.png"), {'h', 'e', 'l', 'l', 'o'});
    r = test::RunCli({"convert", dir.file("junk.png"), dir.file("out.png")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("junk.png: unrecognised file format"), std::string::npos) << r.output;
}

TEST(CliConvert, HelpAndUsageErrors)
{
    test::CliResult r = test::RunCli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("convert IN OUT"), std::string::npos);
    r = test::RunCli({"convert", "only-one"});
    EXPECT_NE(r.status, 0);
    r = test::RunCli({"frobnicate"});
    EXPECT_NE(r.status, 0);
}

}  // namespace
}  // namespace tp
