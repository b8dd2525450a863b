// The stitch, open and info commands end to end: on synthetic views always, on a real photo set when the
// sets are on this machine.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "cli/cli_runner.h"
#include "imaging/image_file.h"
#include "synthetic_views.h"
#include "test_support.h"

namespace tp {
namespace {

std::vector<std::string> WriteViews(const test::ScratchDir& dir, int count)
{
    const ColorImage scene = test::MakeScene(320 + 110 * count + 200, 400, 17);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        Matrix h = Matrix::Identity(3);
        h[0][2] = 100 + 160 + 110 * i;
        h[1][2] = 200;
        std::string name = "v";
        name += std::to_string(i);
        name += ".png";
        paths.push_back(dir.file(name));
        WriteImage(test::RenderView(scene, h, 320, 240), paths.back());
    }
    return paths;
}

// Every number of the JSON text, in order.
std::vector<double> Numbers(const std::string& text)
{
    std::vector<double> numbers;
    static const std::regex number(R"(-?\d+(\.\d+)?([eE][-+]?\d+)?)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stod(it->str()));
    return numbers;
}

// The "homography" arrays of a JSON text, as flat lists of numbers.
std::vector<std::vector<double>> Homographies(const std::string& json)
{
    std::vector<std::vector<double>> all;
    static const std::regex homography(R"("homography": (\[\[[^\]]*\], \[[^\]]*\], \[[^\]]*\]\]))");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), homography); it != std::sregex_iterator(); ++it)
        all.push_back(Numbers((*it)[1].str()));
    return all;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CliStitch, StitchesExportsSavesAndReports)
{
    test::ScratchDir dir;
    std::vector<std::string> args = {"stitch", "-q", "-o", dir.file("pano.png"), "-p", dir.file("p.tnp"), "--report", dir.file("r.json")};
    for (const std::string& p : WriteViews(dir, 3)) args.push_back(p);
    const test::CliResult r = test::RunCli(args);
    ASSERT_EQ(r.status, 0) << r.output;
    ColorImage pano;
    ASSERT_EQ(ReadImage(pano, dir.file("pano.png")), 0);
    EXPECT_GT(pano.width(), 500);
    const std::string report = ReadText(dir.file("r.json"));
    EXPECT_NE(report.find("\"state\": \"Stitched\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"registered\": true"), std::string::npos);
    EXPECT_NE(report.find("\"seconds\": {\"load\""), std::string::npos);
    ASSERT_EQ(Homographies(report).size(), 2u);
    EXPECT_NEAR(Homographies(report)[0][2], -110.0, 1.0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("p.tnp")));
}

TEST(CliStitch, APairItCannotAlignIsNamedAndTheRunExitsWithThree)
{
    test::ScratchDir dir;
    std::vector<std::string> views = WriteViews(dir, 2);
    // A third photograph of a clear sky: nothing ties it to the second.
    ColorImage sky(320, 240);
    for (int y = 0; y < sky.height(); ++y)
        for (int x = 0; x < sky.width(); ++x) {
            const auto v = static_cast<std::uint8_t>(150 + y / 4);
            sky.at(x, y, 0) = static_cast<std::uint8_t>(v + 40);
            sky.at(x, y, 1) = v;
            sky.at(x, y, 2) = static_cast<std::uint8_t>(v - 60);
        }
    views.push_back(dir.file("sky.png"));
    WriteImage(sky, views.back());
    std::vector<std::string> args = {"stitch", "-q", "-o", dir.file("pano.png"), "-p", dir.file("p.tnp"), "--report", dir.file("r.json")};
    args.insert(args.end(), views.begin(), views.end());
    const test::CliResult r = test::RunCli(args);
    EXPECT_EQ(r.status, 3) << r.output;
    EXPECT_NE(r.output.find(views[1] + " and " + views[2] + ": not aligned automatically"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find(views[0] + " and " + views[1]), std::string::npos) << r.output;
    // What could be joined is still written: the image, the project and the report with every pair's score.
    ColorImage pano;
    EXPECT_EQ(ReadImage(pano, dir.file("pano.png")), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("p.tnp")));
    const std::string report = ReadText(dir.file("r.json"));
    EXPECT_NE(report.find("\"verdict\": \"verified\", \"score\": 0."), std::string::npos) << report;
    EXPECT_NE(report.find("\"registered\": false, \"method\": 0, \"verdict\": \"declined\""), std::string::npos) << report;
}

TEST(CliStitch, CarelessArgumentsAreRefusedBeforeAnyWork)
{
    test::ScratchDir dir;
    const std::vector<std::string> views = WriteViews(dir, 2);
    const std::vector<std::uint8_t> first = test::ReadBytes(views[0]);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {"-o names an input", {"-o", views[0]}, "is one of the inputs"},
        {"-p names an input, spelled another way", {"-o", dir.file("x.png"), "-p", dir.path().string() + "/./v0.png"}, "is one of the input images"},
        {"no writer for the name", {"-o", dir.file("pano.gif")}, "pano.gif: Unsupported file format."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"stitch", "-q"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), views.begin(), views.end());
        const test::CliResult r = test::RunCli(args);
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.name << ": " << r.output;
        EXPECT_EQ(test::ReadBytes(views[0]), first) << c.name;
    }
    // A FIFO named as a source or as the project is refused as unreadable instead of waiting for a writer.
    ASSERT_EQ(mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.tnp").c_str(), 0600), 0);
    test::CliResult r = test::RunCli({"stitch", "-q", "-o", dir.file("out.png"), views[0], dir.file("pipe.jpg")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("pipe.jpg reading error."), std::string::npos) << r.output;
    r = test::RunCli({"open", "-q", dir.file("pipe.tnp"), "-o", dir.file("out.png")});
    EXPECT_EQ(r.status, 1);
    // A project of no sources that claims to be stitched is malformed, not a crash.
    test::WriteBytes(dir.file("empty.tnp"), {0, 0, 0, 0, 0, 0, 0, 0});
    r = test::RunCli({"open", "-q", dir.file("empty.tnp"), "-o", dir.file("out.png")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("Failed to open document."), std::string::npos) << r.output;
}

TEST(CliStitch, AbsurdThreadCountsUnderAMemoryLimitStillFinish)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    test::ScratchDir dir;
    const std::vector<std::string> views = WriteViews(dir, 2);
    // 1024 threads' stacks alone would need 8 GB of address space; the run gets 600 MB.
    const std::string command = "ulimit -v 600000; exec " + test::ShellQuote(TP_CLI_PATH) + " stitch -q --threads 1024 -o " +
                                test::ShellQuote(dir.file("many.bmp")) + " " + test::ShellQuote(views[0]) + " " + test::ShellQuote(views[1]) +
                                " 2>&1";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    ASSERT_EQ(test::RunCli({"stitch", "-q", "--threads", "1", "-o", dir.file("one.bmp"), views[0], views[1]}).status, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("many.bmp")), test::ReadBytes(dir.file("one.bmp")));
#endif
}

TEST(CliOpen, AProjectListingOnePhotoManyTimesOpensInLittleMemoryAndOneClaimingTooManyIsRefused)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    test::ScratchDir dir;
    WriteImage(test::NoiseImage(640, 480), dir.file("a.png"));
    const auto write_project = [&](const std::string& name, int listings) {
        std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(listings & 0xFF), static_cast<std::uint8_t>(listings >> 8), 0, 0};
        for (int i = 0; i < listings; ++i) bytes.insert(bytes.end(), {5, 'a', '.', 'p', 'n', 'g'});
        bytes.insert(bytes.end(), {2, 0, 0, 0});
        test::WriteBytes(dir.file(name), bytes);
    };
    // 500 listings of "a.png", unstitched: 500 thumbnails and working images of their own would take 270 MB.
    write_project("many.tnp", 500);
    const std::string command = "ulimit -v 250000; exec " + test::ShellQuote(TP_CLI_PATH) + " open -q " +
                                test::ShellQuote(dir.file("many.tnp")) + " >" + test::ShellQuote(dir.file("said.txt")) + " 2>&1";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    // Every listing was loaded: nothing ran out of memory and showed as an unreadable file.
    EXPECT_EQ(ReadText(dir.file("said.txt")), "");

    // 3000 listings: more than a project holds, refused before anything is read.
    write_project("too-many.tnp", 3000);
    const test::CliResult refused = test::RunCli({"open", "-q", dir.file("too-many.tnp")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("it lists 3000 source images; a project holds at most 500"), std::string::npos)
        << refused.output;
#endif
}

TEST(CliStitch, FailuresExitNonZeroWithTheSystemsMessage)
{
    test::ScratchDir dir;
    const std::vector<std::string> views = WriteViews(dir, 2);
    WriteImage(test::NoiseImage(100, 100), dir.file("other.png"));
    test::CliResult r = test::RunCli({"stitch", "-q", views[0], dir.file("other.png")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("other.png's size is not equal to those of the previous images."), std::string::npos) << r.output;

    r = test::RunCli({"stitch", "-q", views[0], dir.file("missing.jpg")});
    EXPECT_NE(r.status, 0);
    // The system's words, then the file and the reason.
    EXPECT_NE(r.output.find("missing.jpg reading error. (" + dir.file("missing.jpg") + ": no such file)"), std::string::npos) << r.output;
    std::vector<std::uint8_t> cut = test::ReadBytes(views[1]);
    cut.resize(2000);
    test::WriteBytes(dir.file("cut.png"), cut);
    r = test::RunCli({"stitch", "-q", views[0], dir.file("cut.png")});
    EXPECT_NE(r.output.find("cut.png reading error. (" + dir.file("cut.png") + ": corrupt or unreadable PNG data)"), std::string::npos) << r.output;

    r = test::RunCli({"stitch", "-q", "-o", dir.file("pano.gif"), views[0], views[1]});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("Unsupported file format."), std::string::npos) << r.output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("pano.gif")));

    r = test::RunCli({"stitch", "-q", "-o", dir.file("no/such/folder/pano.png"), views[0], views[1]});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("Write failure (" + dir.file("no/such/folder/pano.png") + ": cannot open for writing)"), std::string::npos) << r.output;

    r = test::RunCli({"stitch", "--crop", "sideways", views[0], views[1]});
    EXPECT_EQ(r.status, 2);
    r = test::RunCli({"stitch", views[0]});
    EXPECT_EQ(r.status, 2);
}

TEST(CliStitch, TheThreadCountDoesNotChangeTheResult)
{
    test::ScratchDir dir;
    const std::vector<std::string> views = WriteViews(dir, 3);
    for (const char* threads : {"1", "3"}) {
        std::vector<std::string> args = {"stitch", "-q", "--threads", threads, "--finalize", "realign", "-o",
                                         dir.file(std::string("pano") + threads + ".png")};
        args.insert(args.end(), views.begin(), views.end());
        const test::CliResult r = test::RunCli(args);
        ASSERT_EQ(r.status, 0) << r.output;
    }
    EXPECT_EQ(test::ReadBytes(dir.file("pano1.png")), test::ReadBytes(dir.file("pano3.png")));
    EXPECT_EQ(test::RunCli({"stitch", "--threads", "many", views[0], views[1]}).status, 2);
}

TEST(CliOpen, AMalformedProjectIsRefused)
{
    test::ScratchDir dir;
    test::WriteBytes(dir.file("bad.tnp"), {3, 0, 0, 0, 200});
    test::CliResult r = test::RunCli({"open", "-q", dir.file("bad.tnp"), "-o", dir.file("x.png")});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("Failed to open document."), std::string::npos) << r.output;
    r = test::RunCli({"info", dir.file("bad.tnp")});
    EXPECT_NE(r.status, 0);
}

// Runs the command line and interrupts it (Ctrl+C) as soon as it reports progress, that is once it listens for
// the interrupt and is at work. Returns its exit status (-1 when a signal ended it).
int RunInterruptedOnceAtWork(const std::vector<std::string>& args)
{
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return -2;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipe_ends[1], STDERR_FILENO);
        close(pipe_ends[0]);
        std::vector<std::string> copies = args;
        std::string program = TP_CLI_PATH;
        std::vector<char*> argv = {program.data()};
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipe_ends[1]);
    char byte;
    if (read(pipe_ends[0], &byte, 1) == 1) kill(child, SIGINT);
    while (read(pipe_ends[0], &byte, 1) == 1) {
    }
    close(pipe_ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliOpen, CtrlCWhileOpeningCancelsBeforeAnythingIsWritten)
{
    test::ScratchDir dir;
    std::vector<std::string> views = WriteViews(dir, 3);
    std::vector<std::string> args = {"stitch", "-q", "-o", dir.file("first.png"), "-p", dir.file("p.tnp")};
    args.insert(args.end(), views.begin(), views.end());
    ASSERT_EQ(test::RunCli(args).status, 0);
    // Opening cannot be cancelled inside; the interrupt takes effect right after it, before the export.
    EXPECT_EQ(RunInterruptedOnceAtWork({"open", dir.file("p.tnp"), "-o", dir.file("big.tif")}), 130);
    EXPECT_FALSE(std::filesystem::exists(dir.file("big.tif")));
}

TEST(CliInfo, PathsThatAreNotUtf8StillGiveJson)
{
    test::ScratchDir dir;
    // An unstitched project of two sources: "caf\xe9.jpg" (Latin-1, not UTF-8) and "ok\xc3\xa9.jpg" (UTF-8).
    std::vector<std::uint8_t> bytes = {2, 0, 0, 0, 8, 'c', 'a', 'f', 0xE9, '.', 'j', 'p', 'g'};
    const std::uint8_t second[] = {8, 'o', 'k', 0xC3, 0xA9, '.', 'j', 'p', 'g', 2, 0, 0, 0};
    bytes.insert(bytes.end(), std::begin(second), std::end(second));
    test::WriteBytes(dir.file("p.tnp"), bytes);
    const test::CliResult r = test::RunCli({"info", dir.file("p.tnp")});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("caf\\u00e9.jpg"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("ok\xc3\xa9.jpg"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\xe9'), std::string::npos) << "a raw byte that is not UTF-8";
}

TEST(CliRealSet, StitchSaveReopenAndInfoRoundTripTheHomographies)
{
    const std::filesystem::path set = std::filesystem::path(test::PanoramaDir()) / "arches_rocks";
    if (test::PanoramaDir().empty() || !std::filesystem::is_directory(set)) GTEST_SKIP() << "photo set not present";
    test::ScratchDir dir;
    std::vector<std::string> args = {"stitch", "-q", "--finalize", "blend", "--crop", "inscribed", "-o", dir.file("pano.jpg"),
                                     "-p", dir.file("arches.tnp"), "--report", dir.file("r.json")};
    for (const auto& entry : std::filesystem::directory_iterator(set)) args.push_back(entry.path().string());
    std::sort(args.begin() + 12, args.end());
    test::CliResult r = test::RunCli(args);
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<std::vector<double>> stitched = Homographies(ReadText(dir.file("r.json")));
    ASSERT_EQ(stitched.size(), 2u);

    r = test::RunCli({"info", dir.file("arches.tnp")});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\"state\": \"Finalized\""), std::string::npos);
    EXPECT_EQ(Homographies(r.output), stitched);

    // Reopening rebuilds the basic blend and comes back Stitched with the same pairs.
    r = test::RunCli({"open", "-q", dir.file("arches.tnp"), "-o", dir.file("again.png"), "--report", dir.file("again.json")});
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string again = ReadText(dir.file("again.json"));
    EXPECT_NE(again.find("\"state\": \"Stitched\""), std::string::npos);
    EXPECT_EQ(Homographies(again), stitched);
    ColorImage image;
    EXPECT_EQ(ReadImage(image, dir.file("again.png")), 0);
}

}  // namespace
}  // namespace tp
