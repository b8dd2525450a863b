// JPEG reading and writing through libjpeg: round trips, grey, progressive and CMYK inputs made here with
// libjpeg itself, the baseline markers of written files, hostile files, and files from other tools.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/image_file.h"
#include "reference_images.h"
#include "test_support.h"

namespace tp {
namespace {

using test::ImagesMatch;
using test::MakeColorImage;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

// Quality 75 with the default 2x2 chroma subsampling, on smooth pictures: no sample off by more than
// kTolerance, and the mean error per sample at most kMeanTolerance (the narrowest pictures, one to five
// pixels wide, come closest to it).
constexpr int kTolerance = 20;
constexpr double kMeanTolerance = 4.0;

using test::MeanError;
using test::SmoothPicture;

// --- a small libjpeg encoder for inputs our writer never makes -----------------------------------------

struct TestEncoding {
    int width = 0;
    int height = 0;
    int components = 3;
    J_COLOR_SPACE space = JCS_RGB;
    int quality = 90;
    bool simple_progression = false;
    std::vector<jpeg_scan_info> scans;  // a custom scan script when not empty
    std::vector<std::uint8_t> samples;  // rows of width * components samples
};

struct TestEncoderErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void TestEncoderFailed(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TestEncoderErrors*>(info->err)->jump, 1);
}

// Only plain values live here, so the jump from libjpeg skips no destructor.
bool EncodeGuarded(jpeg_compress_struct& info, std::FILE* file, const TestEncoding& input,
                   TestEncoderErrors& errors)
{
    if (setjmp(errors.jump)) return false;
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(input.width);
    info.image_height = static_cast<JDIMENSION>(input.height);
    info.input_components = input.components;
    info.in_color_space = input.space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, input.quality, TRUE);
    if (input.simple_progression) jpeg_simple_progression(&info);
    if (!input.scans.empty()) {
        info.scan_info = input.scans.data();
        info.num_scans = static_cast<int>(input.scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    const std::size_t row_size = static_cast<std::size_t>(input.width) * static_cast<std::size_t>(input.components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(input.samples.data() + info.next_scanline * row_size);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

bool EncodeWithLibjpeg(const std::string& path, const TestEncoding& input)
{
    FileStream file(path, "wb");
    if (!file.is_open()) return false;
    jpeg_compress_struct info{};
    TestEncoderErrors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = TestEncoderFailed;
    const bool encoded = EncodeGuarded(info, file.get(), input, errors);
    jpeg_destroy_compress(&info);
    return file.close() && encoded;
}

// Grey samples that vary smoothly, for a one-component file.
TestEncoding GreyEncoding(int width, int height)
{
    TestEncoding input;
    input.width = width;
    input.height = height;
    input.components = 1;
    input.space = JCS_GRAYSCALE;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) input.samples.push_back(static_cast<std::uint8_t>(30 + (x * 4 + y * 3) % 200));
    return input;
}

TestEncoding ColourEncoding(const ColorImage& picture)
{
    TestEncoding input;
    input.width = picture.width();
    input.height = picture.height();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            for (int c = 2; c >= 0; --c) input.samples.push_back(picture.at(x, y, c));
    return input;
}

// --- marker walking -----------------------------------------------------------------------------------

// The marker codes (the byte after 0xFF) from SOI up to and including the first SOS.
std::vector<int> MarkersBeforeScan(const std::vector<std::uint8_t>& bytes)
{
    std::vector<int> markers;
    std::size_t at = 2;
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return markers;
    markers.push_back(0xD8);
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        const int marker = bytes[at + 1];
        markers.push_back(marker);
        if (marker == 0xDA) break;
        at += 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    }
    return markers;
}

bool Contains(const std::vector<int>& markers, int marker)
{
    return std::find(markers.begin(), markers.end(), marker) != markers.end();
}

// Offset of the first start-of-frame segment (any of 0xC0 to 0xC2), or 0.
std::size_t FrameHeaderOffset(const std::vector<std::uint8_t>& bytes)
{
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        const int marker = bytes[at + 1];
        if (marker >= 0xC0 && marker <= 0xC2) return at;
        at += 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    }
    return 0;
}

// --- round trips --------------------------------------------------------------------------------------

TEST(JpegRoundTrip, SmoothPictureComesBackWithinTolerance)
{
    ScratchDir dir;
    const ColorImage picture = SmoothPicture(64, 48);
    ASSERT_EQ(WriteJpeg(picture, dir.file("smooth.jpg")), 0);
    ColorImage decoded;
    ASSERT_EQ(ReadJpeg(decoded, dir.file("smooth.jpg")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded, kTolerance));
    EXPECT_LE(MeanError(picture, decoded), kMeanTolerance);
}

TEST(JpegRoundTrip, OddWidthsKeepTheirSize)
{
    ScratchDir dir;
    for (const int width : {1, 3, 5, 17}) {
        SCOPED_TRACE(width);
        const ColorImage picture = SmoothPicture(width, 9);
        ASSERT_EQ(WriteJpeg(picture, dir.file("odd.jpg")), 0);
        ColorImage decoded;
        ASSERT_EQ(ReadJpeg(decoded, dir.file("odd.jpg")), 0);
        EXPECT_TRUE(ImagesMatch(picture, decoded, kTolerance));
        EXPECT_LE(MeanError(picture, decoded), kMeanTolerance);
    }
}

TEST(JpegRoundTrip, ChannelsKeepTheirPlaces)
{
    ScratchDir dir;
    // Flat blue, green and red thirds: a swapped channel would be off by about 200.
    const ColorImage picture = MakeColorImage(48, 16, [](int x, int, int c) { return x / 16 == c ? 220 : 20; });
    ASSERT_EQ(WriteJpeg(picture, dir.file("thirds.jpg")), 0);
    ColorImage decoded;
    ASSERT_EQ(ReadJpeg(decoded, dir.file("thirds.jpg")), 0);
    for (const int x : {4, 24, 44})
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(decoded.at(x, 8, c), picture.at(x, 8, c), kTolerance);
}

TEST(JpegRoundTrip, HigherQualityIsCloser)
{
    ScratchDir dir;
    const ColorImage picture = test::NoiseImage(32, 32, 7);
    ColorImage low;
    ColorImage high;
    ASSERT_EQ(WriteJpeg(picture, dir.file("low.jpg"), 20), 0);
    ASSERT_EQ(WriteJpeg(picture, dir.file("high.jpg"), 98), 0);
    ASSERT_EQ(ReadJpeg(low, dir.file("low.jpg")), 0);
    ASSERT_EQ(ReadJpeg(high, dir.file("high.jpg")), 0);
    EXPECT_LT(MeanError(picture, high), MeanError(picture, low));
}

TEST(JpegRoundTrip, WriteImageChoosesJpegByName)
{
    ScratchDir dir;
    const ColorImage picture = SmoothPicture(20, 10);
    ASSERT_EQ(WriteImage(picture, dir.file("upper.JPG")), 0);
    ColorImage decoded;
    ASSERT_EQ(ReadImage(decoded, dir.file("upper.JPG")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded, kTolerance));
}

// --- what the writer produces -------------------------------------------------------------------------

TEST(JpegWriter, WritesBaselineFrames)
{
    ScratchDir dir;
    ASSERT_EQ(WriteJpeg(SmoothPicture(40, 30), dir.file("baseline.jpg")), 0);
    const std::vector<int> markers = MarkersBeforeScan(ReadBytes(dir.file("baseline.jpg")));
    EXPECT_TRUE(Contains(markers, 0xC0)) << "no baseline SOF0";
    EXPECT_FALSE(Contains(markers, 0xC1));
    EXPECT_FALSE(Contains(markers, 0xC2)) << "progressive SOF2";
    EXPECT_TRUE(Contains(markers, 0xDA));
}

TEST(JpegWriter, FrameHoldsSizeAndThreeComponents)
{
    ScratchDir dir;
    ASSERT_EQ(WriteJpeg(SmoothPicture(17, 5), dir.file("frame.jpg")), 0);
    const std::vector<std::uint8_t> bytes = ReadBytes(dir.file("frame.jpg"));
    const std::size_t sof = FrameHeaderOffset(bytes);
    ASSERT_GT(sof, 0u);
    EXPECT_EQ(bytes[sof + 4], 8);                          // precision
    EXPECT_EQ(bytes[sof + 5] << 8 | bytes[sof + 6], 5);    // height
    EXPECT_EQ(bytes[sof + 7] << 8 | bytes[sof + 8], 17);   // width
    EXPECT_EQ(bytes[sof + 9], 3);                          // components
}

TEST(JpegWriter, EmptyImageWritesNothing)
{
    ScratchDir dir;
    EXPECT_EQ(WriteJpeg(ColorImage(), dir.file("empty.jpg")), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.jpg")));
}

TEST(JpegWriter, UnwritableTargetIsCode1)
{
    ScratchDir dir;
    EXPECT_EQ(WriteJpeg(SmoothPicture(8, 8), dir.file("no-such-folder/out.jpg")), 1);
}

// --- inputs from libjpeg itself -----------------------------------------------------------------------

TEST(JpegReader, GreyFileFillsAllThreeChannels)
{
    ScratchDir dir;
    const TestEncoding input = GreyEncoding(21, 11);
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("grey.jpg"), input));
    ColorImage decoded;
    ASSERT_EQ(ReadJpeg(decoded, dir.file("grey.jpg")), 0);
    ASSERT_EQ(decoded.width(), 21);
    ASSERT_EQ(decoded.height(), 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 21; ++x) {
            EXPECT_EQ(decoded.at(x, y, 0), decoded.at(x, y, 1));
            EXPECT_EQ(decoded.at(x, y, 0), decoded.at(x, y, 2));
            EXPECT_NEAR(decoded.at(x, y, 0), input.samples[static_cast<std::size_t>(y * 21 + x)], kTolerance);
        }
}

TEST(JpegReader, FlatGreyIsExact)
{
    ScratchDir dir;
    TestEncoding input = GreyEncoding(16, 16);
    std::fill(input.samples.begin(), input.samples.end(), std::uint8_t{137});
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("flat.jpg"), input));
    ColorImage decoded;
    ASSERT_EQ(ReadJpeg(decoded, dir.file("flat.jpg")), 0);
    EXPECT_TRUE(ImagesMatch(MakeColorImage(16, 16, [](int, int, int) { return 137; }), decoded));
}

TEST(JpegReader, ProgressiveFileDecodesLikeItsBaselineTwin)
{
    // Progression only reorders the same quantised coefficients, so both decode to the same pixels.
    ScratchDir dir;
    const ColorImage picture = SmoothPicture(37, 23);
    TestEncoding input = ColourEncoding(picture);
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("baseline.jpg"), input));
    input.simple_progression = true;
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("progressive.jpg"), input));
    ASSERT_TRUE(Contains(MarkersBeforeScan(ReadBytes(dir.file("progressive.jpg"))), 0xC2));

    ColorImage baseline;
    ColorImage progressive;
    ASSERT_EQ(ReadJpeg(baseline, dir.file("baseline.jpg")), 0);
    ASSERT_EQ(ReadJpeg(progressive, dir.file("progressive.jpg")), 0);
    EXPECT_TRUE(ImagesMatch(baseline, progressive));
    EXPECT_TRUE(ImagesMatch(picture, progressive, kTolerance));
}

// A grey progressive script: the DC scan, then every AC coefficient on its own, first at point transform
// `first_shift` and then refined one bit at a time. 1 + 63 * (first_shift + 1) scans.
std::vector<jpeg_scan_info> OneCoefficientScans(int first_shift)
{
    std::vector<jpeg_scan_info> scans;
    scans.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, 0, 0, 0, 0});
    for (int k = 1; k <= 63; ++k) {
        scans.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, 0, first_shift});
        for (int shift = first_shift; shift > 0; --shift)
            scans.push_back(jpeg_scan_info{1, {0, 0, 0, 0}, k, k, shift, shift - 1});
    }
    return scans;
}

TEST(JpegReader, ManyScansAreStillRead)
{
    ScratchDir dir;
    TestEncoding input = GreyEncoding(24, 16);
    input.scans = OneCoefficientScans(4);  // 316 scans
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("scans.jpg"), input));
    ColorImage decoded;
    EXPECT_EQ(ReadJpeg(decoded, dir.file("scans.jpg")), 0);
    EXPECT_EQ(decoded.width(), 24);
}

TEST(JpegReader, AbsurdScanCountIsRefused)
{
    ScratchDir dir;
    TestEncoding input = GreyEncoding(24, 16);
    input.scans = OneCoefficientScans(10);  // 694 scans
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("scans.jpg"), input));
    ColorImage decoded(3, 3);
    EXPECT_EQ(ReadJpeg(decoded, dir.file("scans.jpg")), 2);
    EXPECT_TRUE(decoded.empty());
}

// Four-component files: CMYK (or YCCK) is turned into RGB by the light each ink leaves.
TEST(JpegReader, CmykFileBecomesRgb)
{
    ScratchDir dir;
    // libjpeg marks CMYK files with Adobe's marker, so samples are stored inverted: 255 means no ink.
    TestEncoding input;
    input.width = 32;
    input.height = 16;
    input.components = 4;
    input.space = JCS_CMYK;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool left = x < 16;  // left: no ink at all (white); right: full cyan (no red light)
            input.samples.insert(input.samples.end(), {std::uint8_t(left ? 255 : 0), 255, 255, 255});
        }
    ASSERT_TRUE(EncodeWithLibjpeg(dir.file("cmyk.jpg"), input));
    ColorImage decoded;
    ASSERT_EQ(ReadJpeg(decoded, dir.file("cmyk.jpg")), 0);
    ASSERT_EQ(decoded.width(), 32);
    // Blue, green, red.
    EXPECT_NEAR(decoded.at(4, 8, 0), 255, kTolerance);
    EXPECT_NEAR(decoded.at(4, 8, 1), 255, kTolerance);
    EXPECT_NEAR(decoded.at(4, 8, 2), 255, kTolerance);
    EXPECT_NEAR(decoded.at(28, 8, 0), 255, kTolerance);
    EXPECT_NEAR(decoded.at(28, 8, 1), 255, kTolerance);
    EXPECT_NEAR(decoded.at(28, 8, 2), 0, kTolerance);
}

// --- hostile files ------------------------------------------------------------------------------------

class JpegHostile : public ::testing::Test {
protected:
    // A valid file to cut and patch.
    std::vector<std::uint8_t> ValidFile()
    {
        const std::string path = dir_.file("valid.jpg");
        EXPECT_EQ(WriteJpeg(test::NoiseImage(64, 48, 3), path), 0);
        return ReadBytes(path);
    }

    // Reads `bytes` as a JPEG into a non-empty destination; expects `code`, an empty destination and
    // nothing printed.
    void ExpectRefused(const std::vector<std::uint8_t>& bytes, int code)
    {
        const std::string path = dir_.file("hostile.jpg");
        WriteBytes(path, bytes);
        ColorImage destination(5, 5);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ReadJpeg(destination, path), code);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(destination.empty());
    }

    ScratchDir dir_;
};

// Down to a file that lacks only its end marker: libjpeg would fill what is missing with grey.
TEST_F(JpegHostile, TruncatedFilesAreRefused)
{
    const std::vector<std::uint8_t> bytes = ValidFile();
    for (const std::size_t length : {std::size_t{2}, std::size_t{3}, std::size_t{20}, std::size_t{200},
                                     bytes.size() / 2, bytes.size() - 40, bytes.size() - 2}) {
        SCOPED_TRACE(length);
        ExpectRefused(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)), 2);
    }
}

TEST_F(JpegHostile, HugeFrameSizeIsRefusedBeforeDecoding)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    const std::size_t sof = FrameHeaderOffset(bytes);
    ASSERT_GT(sof, 0u);
    // 65535 x 65535, then just one row over the 2^28-pixel limit (16384 x 16385).
    for (const auto& [width, height] : {std::pair{65535, 65535}, std::pair{16384, 16385}}) {
        bytes[sof + 5] = static_cast<std::uint8_t>(height >> 8);
        bytes[sof + 6] = static_cast<std::uint8_t>(height);
        bytes[sof + 7] = static_cast<std::uint8_t>(width >> 8);
        bytes[sof + 8] = static_cast<std::uint8_t>(width);
        const auto start = std::chrono::steady_clock::now();
        ExpectRefused(bytes, 2);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST_F(JpegHostile, LargeClaimOnSmallFileFailsQuickly)
{
    // 16384 x 16384 is within the limit, but the file holds data for 64 x 48 pixels.
    std::vector<std::uint8_t> bytes = ValidFile();
    const std::size_t sof = FrameHeaderOffset(bytes);
    ASSERT_GT(sof, 0u);
    bytes[sof + 5] = bytes[sof + 7] = 0x40;
    bytes[sof + 6] = bytes[sof + 8] = 0;
    const auto start = std::chrono::steady_clock::now();
    ExpectRefused(bytes, 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(JpegHostile, ScanDataEndingEarlyIsRefused)
{
    // Half the entropy-coded data, then a proper end marker: libjpeg alone would fill the rest with grey.
    std::vector<std::uint8_t> bytes = ValidFile();
    std::size_t at = 2;
    while (at + 4 < bytes.size() && bytes[at + 1] != 0xDA) at += 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    ASSERT_LT(at + 4, bytes.size());
    const std::size_t data = at + 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    bytes.resize(data + (bytes.size() - data) / 2);
    if (bytes.back() == 0xFF) bytes.pop_back();
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    ExpectRefused(bytes, 2);
}

TEST_F(JpegHostile, ZeroHeightIsRefused)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    const std::size_t sof = FrameHeaderOffset(bytes);
    ASSERT_GT(sof, 0u);
    bytes[sof + 5] = bytes[sof + 6] = 0;
    ExpectRefused(bytes, 2);
}

TEST_F(JpegHostile, GarbageAfterTheMagicIsRefused)
{
    std::vector<std::uint8_t> bytes = {0xFF, 0xD8, 0xFF};
    std::uint32_t state = 12345;
    for (int i = 0; i < 4000; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes.push_back(static_cast<std::uint8_t>(state >> 24));
    }
    ExpectRefused(bytes, 2);
}

TEST_F(JpegHostile, CorruptHuffmanTableIsRefused)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    // Claim 255 codes of length 1 in the first DHT: an impossible table.
    for (std::size_t at = 2; at + 4 < bytes.size();) {
        if (bytes[at + 1] == 0xC4) {
            bytes[at + 5] = 0xFF;
            break;
        }
        at += 2 + (std::size_t{bytes[at + 2]} << 8 | bytes[at + 3]);
    }
    ExpectRefused(bytes, 2);
}

TEST_F(JpegHostile, MissingFileIsCode1)
{
    ColorImage destination(5, 5);
    EXPECT_EQ(ReadJpeg(destination, dir_.file("absent.jpg")), 1);
    EXPECT_TRUE(destination.empty());
}

// --- files from other tools ---------------------------------------------------------------------------

// Each reference JPEG decodes exactly as libjpeg-turbo's djpeg decoded it: both use libjpeg's defaults.
TEST(JpegReference, MatchesDjpeg)
{
    const std::vector<std::string> files = test::ReferenceFiles({".jpg"});
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
