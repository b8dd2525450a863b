// PNG reading and writing through libpng: round trips, every colour type and bit depth written here with
// libpng itself, hostile files, and files from other tools.
#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <png.h>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/image_file.h"
#include "imaging/parallel.h"
#include "imaging/png_row_filter.h"
#include "reference_images.h"
#include "test_support.h"

namespace tp {
namespace {

using test::ImagesMatch;
using test::MakeColorImage;
using test::NoiseImage;
using test::ReadBytes;
using test::ScratchDir;
using test::SmoothPicture;
using test::WriteBytes;

// --- a small libpng encoder for the inputs our writer never makes -------------------------------------

struct TestPng {
    int width = 0;
    int height = 0;
    int bit_depth = 8;
    int color_type = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> palette_alpha;       // tRNS of a palette image
    std::optional<png_color_16> transparent;  // tRNS of a grey or RGB image
    std::vector<std::vector<png_byte>> rows;  // as stored: packed low depths, 16-bit big-endian
};

void TestPngFailed(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Only plain values here, so libpng's jump skips no destructor.
bool EncodeGuarded(png_structp png, png_infop info, std::FILE* file, const TestPng& input, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(input.width), static_cast<png_uint_32>(input.height),
                 input.bit_depth, input.color_type, input.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!input.palette.empty()) png_set_PLTE(png, info, input.palette.data(), static_cast<int>(input.palette.size()));
    if (!input.palette_alpha.empty())
        png_set_tRNS(png, info, input.palette_alpha.data(), static_cast<int>(input.palette_alpha.size()), nullptr);
    if (input.transparent) png_set_tRNS(png, info, nullptr, 0, &*input.transparent);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

bool EncodeWithLibpng(const std::string& path, const TestPng& input)
{
    FileStream file(path, "wb");
    if (!file.is_open()) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, TestPngFailed, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows;
    for (const auto& row : input.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    const bool encoded = info && EncodeGuarded(png, info, file.get(), input, rows.data());
    png_destroy_write_struct(&png, &info);
    return file.close() && encoded;
}

// Packs samples of `depth` bits (1, 2, 4, 8 or 16) into a stored row, most significant bits first.
std::vector<png_byte> PackRow(const std::vector<unsigned>& samples, int depth)
{
    std::vector<png_byte> row;
    if (depth == 16) {
        for (const unsigned s : samples) row.insert(row.end(), {png_byte(s >> 8), png_byte(s & 0xFF)});
        return row;
    }
    row.assign((samples.size() * static_cast<std::size_t>(depth) + 7) / 8, 0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::size_t bit = i * static_cast<std::size_t>(depth);
        row[bit / 8] = static_cast<png_byte>(row[bit / 8] | (samples[i] << (8 - depth - bit % 8)));
    }
    return row;
}

// A PNG whose stored samples are sample(x, y, channel) for `channels` channels.
TestPng MakeTestPng(int width, int height, int color_type, int depth, int channels,
                    const std::function<unsigned(int, int, int)>& sample)
{
    TestPng input;
    input.width = width;
    input.height = height;
    input.color_type = color_type;
    input.bit_depth = depth;
    for (int y = 0; y < height; ++y) {
        std::vector<unsigned> samples;
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) samples.push_back(sample(x, y, c));
        input.rows.push_back(PackRow(samples, depth));
    }
    return input;
}

// Writes `input`, reads it with our reader and compares with `expected` exactly.
::testing::AssertionResult DecodesTo(const TestPng& input, const ColorImage& expected)
{
    ScratchDir dir;
    const std::string path = dir.file("input.png");
    if (!EncodeWithLibpng(path, input)) return ::testing::AssertionFailure() << "libpng could not write the input";
    ColorImage decoded;
    if (const int code = ReadPng(decoded, path)) return ::testing::AssertionFailure() << "read code " << code;
    return ImagesMatch(expected, decoded);
}

// A grey picture as the reader should deliver it: the value in all three channels.
ColorImage GreyPicture(int width, int height, const std::function<int(int, int)>& grey)
{
    return MakeColorImage(width, height, [&](int x, int y, int) { return grey(x, y); });
}

unsigned Grey(int x, int y) { return static_cast<unsigned>((x * 37 + y * 11) & 0xFF); }

// Eight colours, blue-green-red for the expected picture and red-green-blue for the palette.
const std::vector<png_color> kPalette = {{255, 0, 0},   {0, 255, 0},  {0, 0, 255},   {10, 20, 30},
                                         {200, 100, 50}, {1, 2, 3},    {255, 255, 255}, {0, 0, 0}};

ColorImage PalettePicture(int width, int height, int colours)
{
    return MakeColorImage(width, height, [&](int x, int y, int c) {
        const png_color& p = kPalette[static_cast<std::size_t>((x + 2 * y) % colours)];
        return c == 0 ? p.blue : c == 1 ? p.green : p.red;
    });
}

TestPng PalettePng(int width, int height, int depth, int colours)
{
    TestPng input = MakeTestPng(width, height, PNG_COLOR_TYPE_PALETTE, depth, 1,
                               [&](int x, int y, int) { return static_cast<unsigned>((x + 2 * y) % colours); });
    input.palette.assign(kPalette.begin(), kPalette.begin() + colours);
    return input;
}

// --- round trips --------------------------------------------------------------------------------------

// Reads `path` with our reader and compares the pixels with `picture`.
::testing::AssertionResult ReadsBackAs(const std::string& path, const ColorImage& picture)
{
    ColorImage decoded;
    if (const int code = ReadPng(decoded, path); code != 0) return ::testing::AssertionFailure() << "read code " << code;
    if (!ImagesMatch(picture, decoded)) return ::testing::AssertionFailure() << "pixels differ";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult WritesAndReadsBack(const ColorImage& picture, const std::string& path)
{
    if (const int code = WritePng(picture, path); code != 0) return ::testing::AssertionFailure() << "write code " << code;
    return ReadsBackAs(path, picture);
}

TEST(PngRoundTrip, PixelsComeBackExactly)
{
    ScratchDir dir;
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{3, 2}, std::pair{5, 9},
                                        std::pair{17, 4}, std::pair{64, 33}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const ColorImage picture = NoiseImage(width, height, static_cast<unsigned>(width * 100 + height));
        EXPECT_TRUE(WritesAndReadsBack(picture, dir.file("noise.png")));
    }
}

TEST(PngRoundTrip, WriteImageAndReadImageDispatchToPng)
{
    ScratchDir dir;
    const ColorImage picture = NoiseImage(13, 7, 5);
    ASSERT_EQ(WriteImage(picture, dir.file("dispatch.png")), 0);
    ColorImage decoded;
    ASSERT_EQ(ReadImage(decoded, dir.file("dispatch.png")), 0);
    EXPECT_TRUE(ImagesMatch(picture, decoded));
}

// --- what the writer produces -------------------------------------------------------------------------

TEST(PngWriter, HeaderIsEightBitRgbWithoutInterlace)
{
    ScratchDir dir;
    ASSERT_EQ(WritePng(NoiseImage(300, 2), dir.file("header.png")), 0);
    const std::vector<std::uint8_t> bytes = ReadBytes(dir.file("header.png"));
    ASSERT_GE(bytes.size(), 33u);
    EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
    EXPECT_EQ(LoadBe32(&bytes[16]), 300u);
    EXPECT_EQ(LoadBe32(&bytes[20]), 2u);
    EXPECT_EQ(bytes[24], 8);  // bit depth
    EXPECT_EQ(bytes[25], 2);  // colour type RGB
    EXPECT_EQ(bytes[26], 0);  // compression
    EXPECT_EQ(bytes[27], 0);  // filter method
    EXPECT_EQ(bytes[28], 0);  // no interlace
}

TEST(PngWriter, EmptyImageWritesNothing)
{
    ScratchDir dir;
    EXPECT_EQ(WritePng(ColorImage(), dir.file("empty.png")), 4);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.png")));
}

// A device that takes no data: every write fails, whether in the header or in a piece of image data made on
// another thread; the writer must report it and stop its helpers cleanly.
TEST(PngWriter, AFullDiskIsCode4)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    for (const auto& [width, height] : {std::pair{4, 4}, std::pair{200, 2000}}) {
        SetWorkerThreads(3);
        EXPECT_EQ(WritePng(NoiseImage(width, height), "/dev/full"), 4) << width << "x" << height;
        SetWorkerThreads(0);
    }
}

TEST(PngWriter, UnwritableTargetIsCode1)
{
    ScratchDir dir;
    EXPECT_EQ(WritePng(NoiseImage(4, 4), dir.file("no-such-folder/out.png")), 1);
}

// Rows made so that each of the five filter types is the best one for some row.
ColorImage EveryFilterPicture(int width)
{
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::vector<std::uint8_t>> rgb(6, std::vector<std::uint8_t>(row_bytes, 0));
    for (std::size_t i = 0; i < row_bytes; ++i) {
        rgb[1][i] = static_cast<std::uint8_t>(i * 5 / 3 + 40);  // a ramp: Sub
        rgb[2][i] = rgb[1][i];                                  // the row above again: Up
        const int left = i >= 3 ? rgb[3][i - 3] : 0;
        rgb[3][i] = static_cast<std::uint8_t>((left + rgb[2][i]) >> 1);  // the mean of left and up: Average
    }
    // Rows 4 and 5 sample one parabola, row 5 shifted a pixel against row 4: the byte up and to the left is
    // exactly right, and Paeth's guess picks it wherever the parabola is steep.
    for (std::size_t i = 0; i < row_bytes; ++i) {
        const int k = static_cast<int>(i / 3);
        rgb[4][i] = static_cast<std::uint8_t>((k + 3) * (k + 3) / 2);
        rgb[5][i] = static_cast<std::uint8_t>((k + 2) * (k + 2) / 2);
    }
    // Row 0 stays black: every filter gives zeros and None, the first type, wins the tie.
    return MakeColorImage(width, 6, [&](int x, int y, int c) { return rgb[static_cast<std::size_t>(y)][x * 3 + 2 - c]; });
}

TEST(PngWriter, RowsOfEveryFilterTypeComeBackExactly)
{
    constexpr int kWidth = 20;  // the parabola stays below 256
    const ColorImage picture = EveryFilterPicture(kWidth);
    std::vector<std::uint8_t> above(kWidth * 3, 0), raw(kWidth * 3);
    std::vector<PngFilter> chosen;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c) raw[static_cast<std::size_t>(x * 3 + c)] = picture.at(x, y, 2 - c);
        chosen.push_back(ChoosePngFilter(raw.data(), above.data(), raw.size(), 3));
        above = raw;
    }
    ASSERT_EQ(chosen.size(), 6u);
    chosen.erase(chosen.begin() + 4);  // row 4 only sets up row 5
    EXPECT_EQ(chosen, (std::vector<PngFilter>{PngFilter::None, PngFilter::Sub, PngFilter::Up, PngFilter::Average,
                                               PngFilter::Paeth}));

    ScratchDir dir;
    EXPECT_TRUE(WritesAndReadsBack(picture, dir.file("filters.png")));
}

// Large images are compressed in pieces on several threads: the file must not depend on the thread count,
// and the pixels must survive every cut, including pieces of a single very long row.
TEST(PngWriter, ImagesCutIntoPiecesComeBackExactlyWithAnyThreadCount)
{
    ScratchDir dir;
    for (const auto& [width, height] : {std::pair{200, 2000}, std::pair{180000, 3}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const ColorImage smooth = SmoothPicture(width, height);
        const ColorImage noise = NoiseImage(width, height, 4);
        const ColorImage picture = MakeColorImage(width, height, [&](int x, int y, int c) {
            return (x / 7 + y / 5) % 3 == 0 ? noise.at(x, y, c) : smooth.at(x, y, c);
        });
        std::vector<std::vector<std::uint8_t>> files;
        for (const int threads : {1, 3}) {
            SetWorkerThreads(threads);
            ASSERT_EQ(WritePng(picture, dir.file("pieces.png")), 0);
            files.push_back(ReadBytes(dir.file("pieces.png")));
        }
        SetWorkerThreads(0);
        EXPECT_EQ(files[0], files[1]);
        EXPECT_TRUE(ReadsBackAs(dir.file("pieces.png"), picture));
    }
}

// --- every colour type and depth, written with libpng ----------------------------------------------------

TEST(PngReader, GreyEightBit)
{
    const TestPng input = MakeTestPng(19, 6, PNG_COLOR_TYPE_GRAY, 8, 1, [](int x, int y, int) { return Grey(x, y); });
    EXPECT_TRUE(DecodesTo(input, GreyPicture(19, 6, [](int x, int y) { return Grey(x, y); })));
}

TEST(PngReader, GreyWithAlphaDropsAlpha)
{
    const TestPng input = MakeTestPng(11, 5, PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2,
                                     [](int x, int y, int c) { return c == 0 ? Grey(x, y) : (x * 50) & 0xFF; });
    EXPECT_TRUE(DecodesTo(input, GreyPicture(11, 5, [](int x, int y) { return Grey(x, y); })));
}

TEST(PngReader, GreySixteenBitWithAlphaKeepsHighBytes)
{
    const TestPng input = MakeTestPng(9, 4, PNG_COLOR_TYPE_GRAY_ALPHA, 16, 2, [](int x, int y, int c) {
        return c == 0 ? Grey(x, y) << 8 | 0xFF : 0x1234u;
    });
    EXPECT_TRUE(DecodesTo(input, GreyPicture(9, 4, [](int x, int y) { return Grey(x, y); })));
}

TEST(PngReader, LowDepthGreyIsScaledToFullRange)
{
    for (const int depth : {1, 2, 4}) {
        SCOPED_TRACE(depth);
        const unsigned top = (1u << depth) - 1;
        const TestPng input = MakeTestPng(13, 3, PNG_COLOR_TYPE_GRAY, depth, 1,
                                         [&](int x, int y, int) { return static_cast<unsigned>(x + y) % (top + 1); });
        EXPECT_TRUE(DecodesTo(input, GreyPicture(13, 3, [&](int x, int y) {
                                  return static_cast<int>((static_cast<unsigned>(x + y) % (top + 1)) * 255 / top);
                              })));
    }
}

TEST(PngReader, LowDepthGreyWithTransparencyGetsAnAlphaChannel)
{
    // Expansion turns the tRNS grey into an alpha channel: four channels after grey-to-RGB.
    TestPng input = MakeTestPng(7, 3, PNG_COLOR_TYPE_GRAY, 2, 1, [](int x, int, int) { return x % 4u; });
    png_color_16 transparent{};
    transparent.gray = 1;
    input.transparent = transparent;
    EXPECT_TRUE(DecodesTo(input, GreyPicture(7, 3, [](int x, int) { return (x % 4) * 85; })));
}

TEST(PngReader, Palette)
{
    EXPECT_TRUE(DecodesTo(PalettePng(10, 6, 8, 8), PalettePicture(10, 6, 8)));
}

TEST(PngReader, LowDepthPalette)
{
    EXPECT_TRUE(DecodesTo(PalettePng(9, 4, 2, 4), PalettePicture(9, 4, 4)));
    EXPECT_TRUE(DecodesTo(PalettePng(9, 4, 1, 2), PalettePicture(9, 4, 2)));
}

TEST(PngReader, PaletteWithTransparencyKeepsColours)
{
    TestPng input = PalettePng(10, 6, 8, 8);
    input.palette_alpha = {0, 128, 255, 7};
    EXPECT_TRUE(DecodesTo(input, PalettePicture(10, 6, 8)));
}

TEST(PngReader, RgbWithTransparentColourKeepsColours)
{
    const ColorImage picture = NoiseImage(8, 8, 9);
    TestPng input = MakeTestPng(8, 8, PNG_COLOR_TYPE_RGB, 8, 3,
                               [&](int x, int y, int c) { return picture.at(x, y, 2 - c); });
    png_color_16 transparent{};
    transparent.red = picture.at(0, 0, 2);
    transparent.green = picture.at(0, 0, 1);
    transparent.blue = picture.at(0, 0, 0);
    input.transparent = transparent;
    EXPECT_TRUE(DecodesTo(input, picture));
}

TEST(PngReader, RgbSixteenBitKeepsHighBytes)
{
    const ColorImage picture = NoiseImage(12, 5, 4);
    // Low bytes that would round up if the reader scaled instead of stripping.
    const TestPng input = MakeTestPng(12, 5, PNG_COLOR_TYPE_RGB, 16, 3, [&](int x, int y, int c) {
        return static_cast<unsigned>(picture.at(x, y, 2 - c)) << 8 | 0xF0;
    });
    EXPECT_TRUE(DecodesTo(input, picture));
}

TEST(PngReader, RgbaDropsAlpha)
{
    const ColorImage picture = NoiseImage(6, 7, 2);
    const TestPng input = MakeTestPng(6, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, [&](int x, int y, int c) {
        return c == 3 ? 0u : picture.at(x, y, 2 - c);
    });
    EXPECT_TRUE(DecodesTo(input, picture));
}

TEST(PngReader, InterlacedRgb)
{
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{13, 11}, std::pair{33, 17}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        const ColorImage picture = NoiseImage(width, height, 11);
        TestPng input = MakeTestPng(width, height, PNG_COLOR_TYPE_RGB, 8, 3,
                                   [&](int x, int y, int c) { return picture.at(x, y, 2 - c); });
        input.interlaced = true;
        EXPECT_TRUE(DecodesTo(input, picture));
    }
}

TEST(PngReader, InterlacedPaletteWithTransparency)
{
    TestPng input = PalettePng(15, 9, 4, 8);
    input.palette_alpha = {255, 0, 30};
    input.interlaced = true;
    EXPECT_TRUE(DecodesTo(input, PalettePicture(15, 9, 8)));
}

// --- hostile files ------------------------------------------------------------------------------------

// The CRC that closes a PNG chunk (over its type and data).
std::uint32_t ChunkCrc(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// Offset of the first chunk of `type` (its length field), or 0.
std::size_t FindChunk(const std::vector<std::uint8_t>& bytes, const char* type)
{
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        if (std::equal(type, type + 4, bytes.begin() + static_cast<long>(at) + 4)) return at;
        at += 12 + LoadBe32(&bytes[at]);
    }
    return 0;
}

void FixCrc(std::vector<std::uint8_t>& bytes, std::size_t chunk)
{
    const std::uint32_t length = LoadBe32(&bytes[chunk]);
    StoreBe32(&bytes[chunk + 8 + length], ChunkCrc(&bytes[chunk + 4], length + 4));
}

class PngHostile : public ::testing::Test {
protected:
    std::vector<std::uint8_t> ValidFile()
    {
        const std::string path = dir_.file("valid.png");
        EXPECT_EQ(WritePng(NoiseImage(40, 30, 3), path), 0);
        return ReadBytes(path);
    }

    // Reads `bytes` as a PNG into a non-empty destination; expects `code`, an empty destination and
    // nothing printed.
    void ExpectRefused(const std::vector<std::uint8_t>& bytes, int code)
    {
        const std::string path = dir_.file("hostile.png");
        WriteBytes(path, bytes);
        ColorImage destination(5, 5);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ReadPng(destination, path), code);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(destination.empty());
    }

    void SetHeaderSize(std::vector<std::uint8_t>& bytes, std::uint32_t width, std::uint32_t height)
    {
        const std::size_t header = FindChunk(bytes, "IHDR");
        ASSERT_EQ(header, 8u);
        StoreBe32(&bytes[header + 8], width);
        StoreBe32(&bytes[header + 12], height);
        FixCrc(bytes, header);
    }

    ScratchDir dir_;
};

TEST_F(PngHostile, TruncatedFilesAreRefused)
{
    const std::vector<std::uint8_t> bytes = ValidFile();
    ExpectRefused(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 5), 2);
    // From just the signature down to a file that lacks only its end chunk.
    for (const std::size_t length : {std::size_t{8}, std::size_t{20}, std::size_t{40}, bytes.size() / 2,
                                     bytes.size() - 13, bytes.size() - 12, bytes.size() - 1}) {
        SCOPED_TRACE(length);
        ExpectRefused(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)), 4);
    }
}

TEST_F(PngHostile, BadImageDataCrcIsRefused)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    const std::size_t data = FindChunk(bytes, "IDAT");
    ASSERT_GT(data, 0u);
    bytes[data + 8 + LoadBe32(&bytes[data])] ^= 0x55;
    ExpectRefused(bytes, 4);
}

TEST_F(PngHostile, CorruptCompressedStreamIsRefused)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    const std::size_t data = FindChunk(bytes, "IDAT");
    ASSERT_GT(data, 0u);
    // A zlib header naming no known method, with the chunk's CRC made right again.
    bytes[data + 8] = 0xFF;
    FixCrc(bytes, data);
    ExpectRefused(bytes, 4);

    // Deflate blocks overwritten in the middle of the stream.
    bytes = ValidFile();
    const std::uint32_t length = LoadBe32(&bytes[data]);
    for (std::uint32_t i = length / 3; i < length / 3 + 16; ++i) bytes[data + 8 + i] = 0xFF;
    FixCrc(bytes, data);
    ExpectRefused(bytes, 4);
}

TEST_F(PngHostile, HugeSizeIsRefusedQuickly)
{
    // Over the pixel limit: code 5, which says so; a width libpng itself refuses: corrupt data, 4.
    for (const auto& [width, height, code] : {std::tuple{100000u, 100000u, 5}, std::tuple{16384u, 16385u, 5},
                                              std::tuple{0x7FFFFFFFu, 1u, 4}}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        std::vector<std::uint8_t> bytes = ValidFile();
        SetHeaderSize(bytes, width, height);
        const auto start = std::chrono::steady_clock::now();
        ExpectRefused(bytes, code);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST_F(PngHostile, LargeClaimOnSmallFileFailsQuickly)
{
    // 16384 x 16384 is within the limit, but the file holds data for 40 x 30 pixels; plain and interlaced.
    for (const std::uint8_t interlace : {0, 1}) {
        SCOPED_TRACE(static_cast<int>(interlace));
        std::vector<std::uint8_t> bytes = ValidFile();
        bytes[28] = interlace;
        SetHeaderSize(bytes, 16384, 16384);
        const auto start = std::chrono::steady_clock::now();
        ExpectRefused(bytes, 4);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST_F(PngHostile, ZeroSizeIsRefused)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    SetHeaderSize(bytes, 0, 30);
    ExpectRefused(bytes, 4);
}

TEST_F(PngHostile, ImpossibleBitDepthIsRefused)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    bytes[24] = 3;
    FixCrc(bytes, 8);
    ExpectRefused(bytes, 4);
}

TEST_F(PngHostile, GarbageAfterTheSignatureIsRefused)
{
    std::vector<std::uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::uint32_t state = 777;
    for (int i = 0; i < 4000; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes.push_back(static_cast<std::uint8_t>(state >> 24));
    }
    ExpectRefused(bytes, 4);
}

TEST_F(PngHostile, PartialSignatureIsCode2)
{
    std::vector<std::uint8_t> bytes = ValidFile();
    bytes[6] = 0;  // the first four bytes still say PNG
    ExpectRefused(bytes, 2);
}

TEST_F(PngHostile, MissingFileIsCode1)
{
    ColorImage destination(5, 5);
    EXPECT_EQ(ReadPng(destination, dir_.file("absent.png")), 1);
    EXPECT_TRUE(destination.empty());
}

// --- files from other tools ---------------------------------------------------------------------------

// Each reference PNG (netpbm and ImageMagick) decodes as netpbm's pngtopam decoded it.
TEST(PngReference, MatchesPngtopam)
{
    const std::vector<std::string> files = test::ReferenceFiles({".png"});
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
