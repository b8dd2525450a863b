// TIFF reading and writing through libtiff: round trips for every compression and planar layout, the tags
// the writer sets, files written here with libtiff itself, hand-made hostile files, and files from other
// tools.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <tiffio.h>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/image_file.h"
#include "reference_images.h"
#include "test_support.h"

namespace tp {
namespace {

using test::ImagesMatch;
using test::MakeColorImage;
using test::NoiseImage;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

// JPEG compression inside TIFF, at quality 75 without chroma subsampling, on smooth pictures: no sample
// off by more than kJpegTolerance, and the mean error per sample at most kJpegMeanTolerance.
constexpr int kJpegTolerance = 16;
constexpr double kJpegMeanTolerance = 3.0;

using test::MeanError;
using test::SmoothPicture;

// The tags of the first directory that the writer is expected to set.
struct WrittenTags {
    std::uint32_t width = 0, height = 0, rows_per_strip = 0;
    std::uint16_t bits = 0, samples = 0, photometric = 0, fill_order = 0, orientation = 0, compression = 0,
                  planar = 0;
};

WrittenTags ReadTags(const std::string& path)
{
    WrittenTags tags;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) return tags;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &tags.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &tags.height);
    TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &tags.rows_per_strip);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &tags.bits);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &tags.samples);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &tags.photometric);
    TIFFGetField(tiff, TIFFTAG_FILLORDER, &tags.fill_order);
    TIFFGetField(tiff, TIFFTAG_ORIENTATION, &tags.orientation);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &tags.compression);
    TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &tags.planar);
    TIFFClose(tiff);
    return tags;
}

// --- round trips --------------------------------------------------------------------------------------

// Every lossless compression code (and two that select none), interleaved and separate planes.
class TiffLosslessRoundTrip : public ::testing::TestWithParam<std::tuple<int, TiffPlanes>> {};

TEST_P(TiffLosslessRoundTrip, PixelsComeBackExactly)
{
    const auto [compression, planes] = GetParam();
    ScratchDir dir;
    // Heights below, at and above one 32-row strip.
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{3, 32}, std::pair{5, 33}, std::pair{17, 70},
                                        std::pair{64, 9}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const ColorImage picture = NoiseImage(width, height, static_cast<unsigned>(width + 7 * height));
        ASSERT_EQ(WriteTiff(picture, dir.file("trip.tif"), compression, 75, planes), 0);
        ColorImage decoded;
        ASSERT_EQ(ReadTiff(decoded, dir.file("trip.tif")), 0);
        EXPECT_TRUE(ImagesMatch(picture, decoded));
    }
}

TEST_P(TiffLosslessRoundTrip, FlatAreasComeBackExactly)
{
    // Long runs, which exercise the run-length and dictionary coders differently from noise.
    const auto [compression, planes] = GetParam();
    ScratchDir dir;
    const ColorImage picture = MakeColorImage(50, 40, [](int x, int y, int c) { return (x / 10 + y / 8) * 30 + c; });
    ASSERT_EQ(WriteTiff(picture, dir.file("flat.tif"), compression, 75, planes), 0);
    ColorImage decoded;
    ASSERT_EQ(ReadTiff(decoded, dir.file("flat.tif")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded));
}

INSTANTIATE_TEST_SUITE_P(AllLosslessCodes, TiffLosslessRoundTrip,
                         ::testing::Combine(::testing::Values(0, 1, 3, 5, 4, 99),
                                            ::testing::Values(TiffPlanes::Interleaved, TiffPlanes::Separate)));

class TiffJpegRoundTrip : public ::testing::TestWithParam<TiffPlanes> {};

TEST_P(TiffJpegRoundTrip, PixelsComeBackWithinTolerance)
{
    ScratchDir dir;
    for (const auto& [width, height] : {std::pair{1, 9}, std::pair{3, 5}, std::pair{5, 33}, std::pair{17, 40},
                                        std::pair{64, 48}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const ColorImage picture = SmoothPicture(width, height);
        ASSERT_EQ(WriteTiff(picture, dir.file("jpeg.tif"), 2, 75, GetParam()), 0);
        ColorImage decoded;
        ASSERT_EQ(ReadTiff(decoded, dir.file("jpeg.tif")), 0);
        EXPECT_TRUE(ImagesMatch(picture, decoded, kJpegTolerance));
        EXPECT_LE(MeanError(picture, decoded), kJpegMeanTolerance);
    }
}

TEST_P(TiffJpegRoundTrip, QualityReachesTheCodec)
{
    ScratchDir dir;
    const ColorImage picture = NoiseImage(64, 64, 3);
    ASSERT_EQ(WriteTiff(picture, dir.file("low.tif"), 2, 20, GetParam()), 0);
    ASSERT_EQ(WriteTiff(picture, dir.file("high.tif"), 2, 95, GetParam()), 0);
    EXPECT_LT(ReadBytes(dir.file("low.tif")).size() * 2, ReadBytes(dir.file("high.tif")).size());
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, TiffJpegRoundTrip,
                         ::testing::Values(TiffPlanes::Interleaved, TiffPlanes::Separate));

TEST(TiffRoundTrip, WriteImageWritesUncompressedInterleaved)
{
    ScratchDir dir;
    const ColorImage picture = NoiseImage(13, 7, 2);
    // ".tiff" contains ".tif", so it is a TIFF too.
    ASSERT_EQ(WriteImage(picture, dir.file("dispatch.tiff")), 0);
    const WrittenTags tags = ReadTags(dir.file("dispatch.tiff"));
    EXPECT_EQ(tags.compression, COMPRESSION_NONE);
    EXPECT_EQ(tags.planar, PLANARCONFIG_CONTIG);
    ColorImage decoded;
    ASSERT_EQ(ReadImage(decoded, dir.file("dispatch.tiff")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded));
}

// --- what the writer produces -------------------------------------------------------------------------

TEST(TiffWriter, SetsTheDescribedTags)
{
    ScratchDir dir;
    ASSERT_EQ(WriteTiff(NoiseImage(21, 40), dir.file("tags.tif"), 0, 75, TiffPlanes::Interleaved), 0);
    const WrittenTags tags = ReadTags(dir.file("tags.tif"));
    EXPECT_EQ(tags.width, 21u);
    EXPECT_EQ(tags.height, 40u);
    EXPECT_EQ(tags.bits, 8);
    EXPECT_EQ(tags.photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(tags.fill_order, FILLORDER_MSB2LSB);
    EXPECT_EQ(tags.orientation, ORIENTATION_TOPLEFT);
    EXPECT_EQ(tags.samples, 3);
    EXPECT_EQ(tags.rows_per_strip, 32u);
    EXPECT_EQ(tags.compression, COMPRESSION_NONE);
    EXPECT_EQ(tags.planar, PLANARCONFIG_CONTIG);
}

TEST(TiffWriter, CompressionCodesChooseTheScheme)
{
    ScratchDir dir;
    const std::pair<int, std::uint16_t> kCodes[] = {{1, 32946}, {2, 7}, {3, 5}, {5, 32773}, {0, 1}, {4, 1}, {-3, 1}};
    for (const auto& [code, scheme] : kCodes) {
        SCOPED_TRACE(code);
        ASSERT_EQ(WriteTiff(NoiseImage(16, 16), dir.file("scheme.tif"), code, 75, TiffPlanes::Separate), 0);
        const WrittenTags tags = ReadTags(dir.file("scheme.tif"));
        EXPECT_EQ(tags.compression, scheme);
        EXPECT_EQ(tags.planar, PLANARCONFIG_SEPARATE);
    }
}

TEST(TiffWriter, EmptyImageWritesNothing)
{
    ScratchDir dir;
    EXPECT_EQ(WriteTiff(ColorImage(), dir.file("empty.tif")), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.tif")));
}

TEST(TiffWriter, UnwritableTargetIsCode1)
{
    ScratchDir dir;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(WriteTiff(NoiseImage(4, 4), dir.file("no-such-folder/out.tif")), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// --- files written with libtiff directly --------------------------------------------------------------

// An 8-bit file of `samples` samples per pixel (1 grey, 3 RGB); sample(x, y, s) gives the stored values,
// row 0 first in the file.
bool WriteWithLibtiff(const std::string& path, int width, int height, int samples, std::uint16_t orientation,
                      const std::function<int(int, int, int)>& sample)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff) return false;
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width) && TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) && TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, samples == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_ORIENTATION, orientation) && TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(width * samples));
    for (int y = 0; ok && y < height; ++y) {
        for (int x = 0; x < width; ++x)
            for (int s = 0; s < samples; ++s)
                line[static_cast<std::size_t>(x * samples + s)] = static_cast<std::uint8_t>(sample(x, y, s));
        ok = TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0) >= 0;
    }
    TIFFClose(tiff);
    return ok;
}

TEST(TiffReader, GreyFileFillsAllThreeChannelsTopRowFirst)
{
    ScratchDir dir;
    // Row 0 is dark and the last row bright, so a flip would show.
    auto grey = [](int x, int y) { return 10 + y * 20 + x; };
    ASSERT_TRUE(WriteWithLibtiff(dir.file("grey.tif"), 9, 12, 1, ORIENTATION_TOPLEFT,
                                 [&](int x, int y, int) { return grey(x, y); }));
    ColorImage decoded;
    ASSERT_EQ(ReadTiff(decoded, dir.file("grey.tif")), 0);
    EXPECT_TRUE(ImagesMatch(MakeColorImage(9, 12, [&](int x, int y, int) { return grey(x, y); }), decoded));
}

TEST(TiffReader, RgbFileKeepsTopRowOnTop)
{
    ScratchDir dir;
    const ColorImage picture = MakeColorImage(7, 10, [](int x, int y, int c) { return y * 25 + x + c * 3; });
    ASSERT_TRUE(WriteWithLibtiff(dir.file("rgb.tif"), 7, 10, 3, ORIENTATION_TOPLEFT,
                                 [&](int x, int y, int s) { return picture.at(x, y, 2 - s); }));
    ColorImage decoded;
    ASSERT_EQ(ReadTiff(decoded, dir.file("rgb.tif")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded));
}

TEST(TiffReader, BottomUpFileIsTurnedUpright)
{
    // Stored with the bottom row first and tagged so: the picture still reads with its top row on top.
    ScratchDir dir;
    const ColorImage picture = MakeColorImage(6, 9, [](int x, int y, int c) { return y * 25 + x + c * 3; });
    ASSERT_TRUE(WriteWithLibtiff(dir.file("bottom-up.tif"), 6, 9, 3, ORIENTATION_BOTLEFT,
                                 [&](int x, int y, int s) { return picture.at(x, 8 - y, 2 - s); }));
    ColorImage decoded;
    ASSERT_EQ(ReadTiff(decoded, dir.file("bottom-up.tif")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded));
}

// --- hand-made and hostile files ----------------------------------------------------------------------

// A minimal little-endian grey TIFF laid out header, directory, pixels, so that cuts and patches land
// where a test wants them.
struct HandMadeTiff {
    static constexpr std::size_t kEntries = 8;
    static constexpr std::size_t kDirectory = 8;
    static constexpr std::size_t kPixels = kDirectory + 2 + kEntries * 12 + 4;

    std::vector<std::uint8_t> bytes;

    HandMadeTiff(std::uint32_t width, std::uint32_t height)
    {
        bytes = {'I', 'I', 42, 0, 0, 0, 0, 0};
        StoreLe32(&bytes[4], kDirectory);
        bytes.resize(kPixels);
        StoreLe16(&bytes[kDirectory], kEntries);
        const std::uint32_t pixel_bytes = width * height;
        // Tag, type (3 short, 4 long), value: width, height, 8 bits, no compression, BlackIsZero, strip
        // offset, rows per strip, strip byte count. All pixels in one strip.
        const std::uint32_t entries[kEntries][3] = {{256, 4, width},   {257, 4, height}, {258, 3, 8},
                                                    {259, 3, 1},       {262, 3, 1},      {273, 4, kPixels},
                                                    {278, 4, height},  {279, 4, pixel_bytes}};
        for (std::size_t i = 0; i < kEntries; ++i) {
            std::uint8_t* entry = &bytes[kDirectory + 2 + i * 12];
            StoreLe16(entry, entries[i][0]);
            StoreLe16(entry + 2, entries[i][1]);
            StoreLe32(entry + 4, 1);
            if (entries[i][1] == 3)
                StoreLe16(entry + 8, entries[i][2]);
            else
                StoreLe32(entry + 8, entries[i][2]);
        }
        for (std::uint32_t i = 0; i < pixel_bytes; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7));
    }

    std::uint8_t* EntryValue(std::size_t index) { return &bytes[kDirectory + 2 + index * 12 + 8]; }
};

class TiffHostile : public ::testing::Test {
protected:
    // Reads `bytes` as a TIFF into a non-empty destination; expects `code`, an empty destination and
    // nothing printed.
    void ExpectRefused(const std::vector<std::uint8_t>& bytes, int code)
    {
        const std::string path = dir_.file("hostile.tif");
        WriteBytes(path, bytes);
        ColorImage destination(5, 5);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ReadTiff(destination, path), code);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(destination.empty());
    }

    std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& bytes, std::size_t length)
    {
        return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length));
    }

    ScratchDir dir_;
};

TEST_F(TiffHostile, HandMadeFileIsReadable)
{
    // The base of the tests below: it must be a good file before they break it.
    const HandMadeTiff tiff(6, 4);
    WriteBytes(dir_.file("hand.tif"), tiff.bytes);
    ColorImage decoded;
    ASSERT_EQ(ReadTiff(decoded, dir_.file("hand.tif")), 0);
    EXPECT_TRUE(ImagesMatch(MakeColorImage(6, 4, [](int x, int y, int) { return ((y * 6 + x) * 7) & 0xFF; }), decoded));
}

TEST_F(TiffHostile, TruncatedDirectoryCannotBeOpened)
{
    const HandMadeTiff tiff(6, 4);
    for (const std::size_t length : {std::size_t{2}, std::size_t{5}, std::size_t{8}, std::size_t{20},
                                     HandMadeTiff::kDirectory + 2 + 6 * 12}) {
        SCOPED_TRACE(length);
        ExpectRefused(Cut(tiff.bytes, length), 2);
    }
}

TEST_F(TiffHostile, TruncatedPixelsAreAReadFailure)
{
    const HandMadeTiff tiff(6, 4);
    for (const std::size_t length : {HandMadeTiff::kPixels, HandMadeTiff::kPixels + 10, tiff.bytes.size() - 1}) {
        SCOPED_TRACE(length);
        ExpectRefused(Cut(tiff.bytes, length), 3);
    }
}

TEST_F(TiffHostile, TruncatedWrittenFilesAreRefused)
{
    // libtiff puts the directory after the pixels, so every cut loses at least part of it.
    const std::string path = dir_.file("written.tif");
    ASSERT_EQ(WriteTiff(NoiseImage(40, 40), path, 3, 75, TiffPlanes::Interleaved), 0);
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    for (const std::size_t length : {std::size_t{3}, std::size_t{100}, bytes.size() / 2, bytes.size() - 1}) {
        SCOPED_TRACE(length);
        const std::string cut = dir_.file("cut.tif");
        WriteBytes(cut, Cut(bytes, length));
        ColorImage destination(5, 5);
        EXPECT_EQ(ReadTiff(destination, cut), 2);
        EXPECT_TRUE(destination.empty());
    }
}

TEST_F(TiffHostile, CorruptDirectoryIsRefused)
{
    HandMadeTiff beyond(6, 4);
    StoreLe32(&beyond.bytes[4], 0x7FFFFFF0u);  // directory offset past the end
    ExpectRefused(beyond.bytes, 2);

    HandMadeTiff too_many(6, 4);
    StoreLe16(&too_many.bytes[HandMadeTiff::kDirectory], 0xFFFF);  // entries past the end
    ExpectRefused(too_many.bytes, 2);

    HandMadeTiff no_width(6, 4);
    StoreLe32(no_width.EntryValue(0), 0);
    ExpectRefused(no_width.bytes, 2);
}

TEST_F(TiffHostile, PixelsOutsideTheFileAreAReadFailure)
{
    HandMadeTiff tiff(6, 4);
    StoreLe32(tiff.EntryValue(5), 0x7FFFFF00u);  // strip offset
    ExpectRefused(tiff.bytes, 3);
}

TEST_F(TiffHostile, HugeSizeIsRefusedQuickly)
{
    // Sizes libtiff accepts are refused by our limit (3); the largest libtiff refuses itself (2). 16384 x
    // 16384 is within our limit, but the file holds 24 pixels: the read fails (3) without filling memory.
    for (const auto& [width, height, expected] : {std::tuple{100000u, 100000u, 3}, std::tuple{16384u, 16385u, 3},
                                                  std::tuple{0xFFFFFFFFu, 0xFFFFFFFFu, 2},
                                                  std::tuple{16384u, 16384u, 3}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        HandMadeTiff tiff(6, 4);
        StoreLe32(tiff.EntryValue(0), width);
        StoreLe32(tiff.EntryValue(1), height);
        StoreLe32(tiff.EntryValue(6), height);  // one strip, so the directory stays consistent
        const auto start = std::chrono::steady_clock::now();
        const std::string path = dir_.file("huge.tif");
        WriteBytes(path, tiff.bytes);
        ColorImage destination(5, 5);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ReadTiff(destination, path), expected);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(destination.empty());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST_F(TiffHostile, GarbageAfterTheByteOrderMarkIsRefused)
{
    for (const std::uint8_t mark : {'I', 'M'}) {
        std::vector<std::uint8_t> bytes = {mark, mark};
        std::uint32_t state = 99;
        for (int i = 0; i < 4000; ++i) {
            state = state * 1664525u + 1013904223u;
            bytes.push_back(static_cast<std::uint8_t>(state >> 24));
        }
        ExpectRefused(bytes, 2);
    }
}

TEST_F(TiffHostile, OtherFirstBytesAreCode1)
{
    ExpectRefused({'I', 'M', 42, 0, 8, 0, 0, 0}, 1);
    ExpectRefused({'I'}, 1);
    ExpectRefused({}, 1);
}

TEST_F(TiffHostile, MissingFileIsCode2)
{
    ColorImage destination(5, 5);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ReadTiff(destination, dir_.file("absent.tif")), 2);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(destination.empty());
}

// --- files from other tools ---------------------------------------------------------------------------

// Each reference TIFF (ImageMagick and netpbm: compressions, separate planes, tiles, grey, palette)
// decodes as netpbm's tifftopnm decoded it.
TEST(TiffReference, MatchesTifftopnm)
{
    const std::vector<std::string> files = test::ReferenceFiles({".tif"});
    ASSERT_GE(files.size(), 5u);
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const ColorImage expected = test::ReadPpm(file + ".ppm");
        ASSERT_FALSE(expected.empty());
        ColorImage decoded;
        ASSERT_EQ(ReadImage(decoded, file), 0);
        EXPECT_TRUE(ImagesMatch(expected, decoded));
    }
}

}  // namespace
}  // namespace tp
