// Which writer a file name chooses, and which files the readers agree to open.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "imaging/file_stream.h"
#include "imaging/image_file.h"
#include "test_support.h"

namespace tp {
namespace {

TEST(FileNames, TheLastExtensionChoosesTheWriter)
{
    const std::pair<const char*, ImageFormat> cases[] = {
        {"pano.png", ImageFormat::Png},           {"out.jpg.png", ImageFormat::Png},   {"my.bmp.d/x.png", ImageFormat::Png},
        {"Photo.JPG", ImageFormat::Jpeg},         {"scan.tiff", ImageFormat::Tiff},    {"a.ras", ImageFormat::SunRaster},
        {"b.pgm", ImageFormat::Pgm},              {"c.pcx", ImageFormat::Pcx},         {"d.BMP", ImageFormat::Bmp},
        {"pano.jpg.bak", ImageFormat::Unknown},   {"out.jpeg", ImageFormat::Unknown},  {"my.png.d/x", ImageFormat::Unknown},
        {"noextension", ImageFormat::Unknown},    {"folder.tif/", ImageFormat::Unknown},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(FormatForFileName(name), format) << name;
}

TEST(FileNames, OnlyRegularFilesOpenForReading)
{
    test::ScratchDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
    // Neither a FIFO without a writer (which would block) nor a folder opens; a regular file does.
    EXPECT_FALSE(FileStream(dir.file("pipe.jpg"), "rb").is_open());
    EXPECT_FALSE(FileStream(dir.path().string(), "rb").is_open());
    ColorImage image;
    EXPECT_NE(ReadImage(image, dir.file("pipe.jpg")), 0);
    test::WriteBytes(dir.file("plain.bin"), {1, 2, 3});
    EXPECT_TRUE(FileStream(dir.file("plain.bin"), "rb").is_open());
}

TEST(FileNames, AnExportReplacesTheOldFileWholeOrNotAtAll)
{
    test::ScratchDir dir;
    const std::string pano = dir.file("pano.png");
    ASSERT_EQ(WriteImage(test::NoiseImage(40, 30), pano), 0);
    const std::vector<std::uint8_t> before = test::ReadBytes(pano);
    // A writer that refuses (an empty image), and a disk that takes only a few hundred bytes.
    EXPECT_NE(WriteImage(ColorImage(), pano), 0);
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit tiny {300, limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const int code = WriteImage(test::NoiseImage(400, 300), pano);
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_GT(code, 0);
    EXPECT_EQ(test::ReadBytes(pano), before);
    // Through a link, the file it points to is replaced and the link stays.
    std::filesystem::create_symlink("pano.png", dir.file("latest.png"));
    ASSERT_EQ(WriteImage(test::NoiseImage(20, 10), dir.file("latest.png")), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("latest.png")));
    ColorImage written;
    ASSERT_EQ(ReadImage(written, pano), 0);
    EXPECT_EQ(written.width(), 20);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace tp
