#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "codec_test_support.h"
#include "imaging/codecs.h"
#include "imaging/image_file.h"
#include "test_support.h"

namespace tp {
namespace {

using test::Bgr;
using test::ByteBuilder;
using test::PixelAt;

// The fields of a bitmap with the 40-byte header that the tests vary.
struct BmpFields {
    std::int32_t width = 1;
    std::int32_t height = 1;
    int bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
    std::vector<std::uint8_t> palette{}; // 4 bytes per entry: blue, green, red, unused
    std::vector<std::uint8_t> data{};
};

std::vector<std::uint8_t> BuildBmp(const BmpFields& s)
{
    const auto offset = static_cast<std::uint32_t>(54 + s.palette.size());
    ByteBuilder b;
    b.text("BM").le32(offset + static_cast<std::uint32_t>(s.data.size())).le32(0).le32(offset);
    b.le32(40).le32(static_cast<std::uint32_t>(s.width)).le32(static_cast<std::uint32_t>(s.height)).le16(1);
    b.le16(static_cast<std::uint32_t>(s.bits)).le32(s.compression).le32(static_cast<std::uint32_t>(s.data.size()));
    b.le32(2835).le32(2835).le32(s.colours_used).le32(0);
    return b.append(s.palette).append(s.data).get();
}

// OS/2 bitmap: 12-byte header with 16-bit sizes, palette entries of 3 bytes.
std::vector<std::uint8_t> BuildOs2Bmp(int width, int height, int bits, const std::vector<std::uint8_t>& palette,
                                      const std::vector<std::uint8_t>& data)
{
    const auto offset = static_cast<std::uint32_t>(26 + palette.size());
    ByteBuilder b;
    b.text("BM").le32(offset + static_cast<std::uint32_t>(data.size())).le32(0).le32(offset);
    b.le32(12).le16(static_cast<std::uint32_t>(width)).le16(static_cast<std::uint32_t>(height)).le16(1);
    b.le16(static_cast<std::uint32_t>(bits));
    return b.append(palette).append(data).get();
}

// Palette entry i = (blue 10 i, green 20 i, red 30 i) with 4 or 3 bytes per entry.
std::vector<std::uint8_t> RampPalette(int entries, int entry_size = 4)
{
    ByteBuilder b;
    for (int i = 0; i < entries; ++i) {
        b.u8(10 * i % 256).u8(20 * i % 256).u8(30 * i % 256);
        if (entry_size == 4) b.u8(0);
    }
    return b.get();
}
Bgr Ramp(int i)
{
    return {10 * i % 256, 20 * i % 256, 30 * i % 256};
}

// Expects `image` to hold the ramp colours of `indices`, given row by row from the top.
void ExpectRampIndices(const ColorImage& image, const std::vector<std::vector<int>>& indices)
{
    ASSERT_EQ(image.height(), static_cast<int>(indices.size()));
    for (int y = 0; y < image.height(); ++y) {
        ASSERT_EQ(image.width(), static_cast<int>(indices[static_cast<std::size_t>(y)].size()));
        for (int x = 0; x < image.width(); ++x)
            EXPECT_EQ(PixelAt(image, x, y), Ramp(indices[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]))
                << "pixel (" << x << ", " << y << ")";
    }
}

int ReadBuiltBmp(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes, ColorImage& out)
{
    return test::ReadBuilt(ReadBmp, dir, bytes, out, "built.bmp");
}
int ReadBuiltBmp(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes)
{
    ColorImage out;
    return ReadBuiltBmp(dir, bytes, out);
}

// --- writer ----------------------------------------------------------------------------------------------

TEST(BmpWrite, HeaderFieldsAndBottomUpRowsWithPadding)
{
    test::ScratchDir dir;
    const ColorImage image = test::MakeColorImage(3, 2, [](int x, int y, int c) { return 1 + x * 10 + y * 100 + c; });
    ASSERT_EQ(WriteBmp(image, dir.file("a.bmp")), 0);

    ByteBuilder expected;
    expected.text("BM").le32(54 + 12 * 2).le16(0).le16(0).le32(54);
    expected.le32(40).le32(3).le32(2).le16(1).le16(24).le32(0).le32(0).le32(3846).le32(3846).le32(0).le32(0);
    for (int y : {1, 0}) { // last image row first
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c) expected.u8(1 + x * 10 + y * 100 + c);
        expected.fill(3, 0); // 9 bytes padded to 12
    }
    EXPECT_EQ(test::ReadBytes(dir.file("a.bmp")), expected.get());
}

TEST(BmpWrite, RoundTripsOddSizes)
{
    test::ScratchDir dir;
    for (const auto& [w, h] :
         std::vector<std::pair<int, int>>{{1, 1}, {3, 5}, {5, 3}, {17, 9}, {1, 17}, {17, 1}, {4, 4}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const ColorImage original = test::NoiseImage(w, h, static_cast<unsigned>(w * 31 + h));
        ASSERT_EQ(WriteBmp(original, dir.file("r.bmp")), 0);
        ColorImage back;
        ASSERT_EQ(ReadBmp(back, dir.file("r.bmp")), 0);
        EXPECT_TRUE(test::ImagesMatch(original, back));
    }
}

TEST(BmpWrite, ThroughWriteImageAndReadImage)
{
    test::ScratchDir dir;
    const ColorImage original = test::NoiseImage(5, 3);
    ASSERT_EQ(WriteImage(original, dir.file("through.BMP")), 0);
    ColorImage back;
    ASSERT_EQ(ReadImage(back, dir.file("through.BMP")), 0);
    EXPECT_TRUE(test::ImagesMatch(original, back));
}

TEST(BmpWrite, EmptyImageIsRefusedWithoutCreatingAFile)
{
    test::ScratchDir dir;
    EXPECT_EQ(WriteBmp(ColorImage(), dir.file("empty.bmp")), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.bmp")));
}

TEST(BmpWrite, UnwritableTargetCannotBeOpened)
{
    test::ScratchDir dir;
    EXPECT_EQ(WriteBmp(test::NoiseImage(2, 2), test::UnwritablePath(dir, "x.bmp")), 1);
}

// --- reader: layouts -------------------------------------------------------------------------------------

TEST(BmpRead, TopDownEqualsBottomUpWithReversedRows)
{
    test::ScratchDir dir;
    // Three rows of two pixels, 6 bytes each padded to 8, listed from the top.
    const std::vector<std::vector<std::uint8_t>> rows = {
        {1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}, {13, 14, 15, 16, 17, 18, 0, 0}};
    BmpFields top_down{.width = 2, .height = -3};
    BmpFields bottom_up{.width = 2, .height = 3};
    for (std::size_t k = 0; k < 3; ++k) {
        top_down.data.insert(top_down.data.end(), rows[k].begin(), rows[k].end());
        bottom_up.data.insert(bottom_up.data.end(), rows[2 - k].begin(), rows[2 - k].end());
    }
    ColorImage a, b;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(top_down), a), 0);
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(bottom_up), b), 0);
    EXPECT_TRUE(test::ImagesMatch(a, b));
    EXPECT_EQ(PixelAt(a, 0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(PixelAt(a, 1, 2), (Bgr{16, 17, 18}));
}

TEST(BmpRead, OneBitThroughPaletteMostSignificantBitFirst)
{
    test::ScratchDir dir;
    // Width 10: two bytes per row, padded to four. Bottom-up, so the file starts with image row 1.
    BmpFields s{.width = 10, .height = 2, .bits = 1, .palette = RampPalette(2)};
    s.data = ByteBuilder().bytes({0x55, 0x40, 0, 0, 0x80, 0x40, 0, 0}).get();
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    ExpectRampIndices(image, {{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1}});
}

TEST(BmpRead, FourBitHighNibbleFirstWithColoursUsed)
{
    test::ScratchDir dir;
    BmpFields s{.width = 3, .height = 1, .bits = 4, .colours_used = 4, .palette = RampPalette(4)};
    s.data = {0x12, 0x30, 0, 0};
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    ExpectRampIndices(image, {{1, 2, 3}});
}

TEST(BmpRead, EightBitIndexBeyondShortPaletteIsBlack)
{
    test::ScratchDir dir;
    BmpFields s{.width = 4, .height = 1, .bits = 8, .colours_used = 3, .palette = RampPalette(3)};
    s.data = {0, 1, 2, 200};
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    EXPECT_EQ(PixelAt(image, 2, 0), Ramp(2));
    EXPECT_EQ(PixelAt(image, 3, 0), (Bgr{0, 0, 0}));
}

TEST(BmpRead, ColoursUsedAbove256AreSkippedNotStored)
{
    test::ScratchDir dir;
    // 300 entries: the last 44 cannot be indexed, and the pixel data still follows all of them.
    BmpFields s{.width = 2, .height = 1, .bits = 8, .colours_used = 300, .palette = RampPalette(300)};
    s.data = {255, 7, 0, 0};
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), Ramp(255));
    EXPECT_EQ(PixelAt(image, 1, 0), Ramp(7));
}

TEST(BmpRead, TrueColourWithAnOptionalPaletteReadsThePixelsAfterIt)
{
    test::ScratchDir dir;
    BmpFields s{.width = 1, .height = 1, .bits = 24, .colours_used = 2, .palette = RampPalette(2)};
    s.data = {40, 50, 60, 0};
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{40, 50, 60}));
}

TEST(BmpRead, Os2CoreHeaderWithThreeBytePalette)
{
    test::ScratchDir dir;
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildOs2Bmp(2, 1, 8, RampPalette(256, 3), {5, 9, 0, 0}), image), 0);
    ExpectRampIndices(image, {{5, 9}});
    ASSERT_EQ(ReadBuiltBmp(dir, BuildOs2Bmp(2, 1, 4, RampPalette(16, 3), {0x3C, 0, 0, 0}), image), 0);
    ExpectRampIndices(image, {{3, 12}});
    ASSERT_EQ(ReadBuiltBmp(dir, BuildOs2Bmp(1, 2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{4, 5, 6}));
    EXPECT_EQ(PixelAt(image, 0, 1), (Bgr{1, 2, 3}));
}

TEST(BmpRead, SixteenBitFiveFiveFive)
{
    test::ScratchDir dir;
    BmpFields s{.width = 4, .height = 1, .bits = 16};
    s.data = ByteBuilder().le16(0x7C00).le16(0x03E0).le16(0x001F).le16(0x8000 | (3 << 10) | (2 << 5) | 1).get();
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{0, 0, 248})); // only bits 10-14 set
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{0, 248, 0}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgr{248, 0, 0}));
    EXPECT_EQ(PixelAt(image, 3, 0), (Bgr{8, 16, 24})); // bit 15 ignored
}

TEST(BmpRead, ThirtyTwoBitTakesTheFirstThreeBytesOfFour)
{
    test::ScratchDir dir;
    BmpFields s{.width = 2, .height = 1, .bits = 32, .data = {1, 2, 3, 99, 4, 5, 6, 77}};
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{4, 5, 6}));
}

// --- reader: run-length data -----------------------------------------------------------------------------

TEST(BmpRead, RunLength8WithEndOfLineDeltaAbsoluteRunAndEndOfBitmap)
{
    test::ScratchDir dir;
    BmpFields s{.width = 6, .height = 3, .bits = 8, .compression = 1, .colours_used = 8, .palette = RampPalette(8)};
    s.data = ByteBuilder()
                 .bytes({3, 1, 0, 3, 2, 3, 4, 0, 0, 0}) // run 1 1 1, absolute 2 3 4 (padded), end of row
                 .bytes({2, 5, 0, 2, 2, 1})             // run 5 5, move right 2 and down 1
                 .bytes({2, 6, 0, 1})                   // run 6 6, end of bitmap
                 .get();
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    // File rows are bottom-up; skipped pixels keep index 0.
    ExpectRampIndices(image, {{0, 0, 0, 0, 6, 6}, {5, 5, 0, 0, 0, 0}, {1, 1, 1, 2, 3, 4}});
}

TEST(BmpRead, RunLength4AlternatesNibblesAndPadsAbsoluteRuns)
{
    test::ScratchDir dir;
    BmpFields s{.width = 7, .height = 3, .bits = 4, .compression = 2, .palette = RampPalette(16)};
    s.data =
        ByteBuilder()
            .bytes({5, 0x12, 0, 0})                                  // 1 2 1 2 1, end of row
            .bytes({0, 5, 0x34, 0x56, 0x70, 0, 0, 2, 1, 0, 1, 0x9A}) // absolute 3..7 (3 bytes + pad), right 1, run 9
            .bytes({0, 0})                                           // end of row
            .bytes({0, 4, 0xAB, 0xCD, 0, 0}) // absolute 10..13 (2 bytes, no pad); the last row ends the data
            .get();
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    ExpectRampIndices(image, {{10, 11, 12, 13, 0, 0, 0}, {3, 4, 5, 6, 7, 0, 9}, {1, 2, 1, 2, 1, 0, 0}});
}

TEST(BmpRead, RunLengthRunsMayFillTheRowPaddingButNotPassIt)
{
    test::ScratchDir dir;
    // Width 3 is stored in 4 bytes per row: a run of 4 is accepted (as some encoders write), 5 is not.
    BmpFields s{.width = 3, .height = 1, .bits = 8, .compression = 1, .colours_used = 4, .palette = RampPalette(4)};
    s.data = {4, 2, 0, 1};
    ColorImage image;
    ASSERT_EQ(ReadBuiltBmp(dir, BuildBmp(s), image), 0);
    ExpectRampIndices(image, {{2, 2, 2}});
    s.data = {5, 2, 0, 1};
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s)), 4);
}

// --- reader: hostile input -------------------------------------------------------------------------------

TEST(BmpReadHostile, RunsAndMovesLeavingTheRowOrImageAreRefused)
{
    test::ScratchDir dir;
    BmpFields s{.width = 4, .height = 2, .bits = 8, .compression = 1, .colours_used = 4, .palette = RampPalette(4)};
    const std::vector<std::vector<std::uint8_t>> overruns = {
        {5, 1, 0, 1},                   // one run longer than the row
        {3, 1, 2, 1, 0, 1},             // two runs that together pass the row end
        {0, 5, 1, 1, 1, 1, 1, 0, 0, 1}, // absolute run longer than the row
        {2, 1, 0, 3, 1, 1, 1, 0, 0, 1}, // absolute run passing the row end
        {0, 2, 5, 0, 0, 1},             // move right past the row end
        {0, 2, 0, 2, 0, 1},             // move down past the last row
        {0, 0, 0, 2, 0, 1, 0, 1},       // move down past the last row after an end of row
    };
    for (const auto& data : overruns) {
        s.data = data;
        EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s)), 4) << testing::PrintToString(data);
    }
    BmpFields s4{.width = 4, .height = 1, .bits = 4, .compression = 2, .palette = RampPalette(16)};
    s4.data = {9, 0x11, 0, 1}; // 4-bit rows of width 4 hold 8 pixels
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s4)), 4);
    s4.data = {0, 9, 0x11, 0x11, 0x11, 0x11, 0x10, 0, 0, 1};
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s4)), 4);
}

TEST(BmpReadHostile, TruncatedRunLengthDataIsRefused)
{
    test::ScratchDir dir;
    BmpFields s{.width = 4, .height = 2, .bits = 8, .compression = 1, .colours_used = 4, .palette = RampPalette(4)};
    for (const auto& data :
         std::vector<std::vector<std::uint8_t>>{{2, 1},          // no end of bitmap, rows missing
                                                {2},             // half a pair
                                                {0, 2, 1},       // delta without dy
                                                {0, 4, 1, 2, 3}, // absolute run cut short
                                                {0, 3, 1, 2, 3}, // absolute run without its padding byte
                                                {0, 0, 2, 1}}) { // second row unfinished
        s.data = data;
        EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s)), 4) << testing::PrintToString(data);
    }
}

TEST(BmpReadHostile, TruncatedFilesGiveTheCodeOfTheMissingPart)
{
    test::ScratchDir dir;
    ASSERT_EQ(WriteBmp(test::NoiseImage(8, 8), dir.file("whole.bmp")), 0);
    const std::vector<std::uint8_t> whole = test::ReadBytes(dir.file("whole.bmp"));
    EXPECT_EQ(ReadBuiltBmp(dir, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 60)), 4);
    EXPECT_EQ(ReadBuiltBmp(dir, std::vector<std::uint8_t>(whole.begin(), whole.end() - 1)), 4);
    EXPECT_EQ(ReadBuiltBmp(dir, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 40)), 2);
    EXPECT_EQ(ReadBuiltBmp(dir, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 10)), 2);

    BmpFields s{.width = 2, .height = 1, .bits = 8, .palette = RampPalette(256), .data = {1, 2, 0, 0}};
    std::vector<std::uint8_t> bytes = BuildBmp(s);
    bytes.resize(54 + 100); // palette cut short
    EXPECT_EQ(ReadBuiltBmp(dir, bytes), 3);
}

TEST(BmpReadHostile, AbsurdOrEmptySizesAreRejectedBeforeAllocating)
{
    test::ScratchDir dir;
    struct Case {
        std::int32_t width, height;
        std::uint32_t compression;
    };
    const std::vector<Case> cases = {
        {0, 4, 0},                 // no pixels
        {4, 0, 0},                 // no pixels
        {-4, 4, 0},                // no pixels
        {100000, 100000, 0},       // more than kMaxImagePixels
        {1, INT32_MIN, 0},         // negating must not overflow
        {INT32_MAX, INT32_MAX, 0}, // more than kMaxImagePixels
        {16000, 16000, 0},         // an allowed count, but a few bytes of rows cannot hold it
        {16000, 16000, 1},         // nor can a few bytes of runs
    };
    for (const Case& c : cases) {
        BmpFields s{.width = c.width,
                    .height = c.height,
                    .bits = c.compression == 1 ? 8 : 24,
                    .compression = c.compression,
                    .colours_used = c.compression == 1 ? 2u : 0u,
                    .palette = c.compression == 1 ? RampPalette(2) : std::vector<std::uint8_t>{},
                    .data = {0, 1}};
        EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s)), 2) << c.width << "x" << c.height;
    }
}

TEST(BmpReadHostile, HugePaletteCountIsRefused)
{
    test::ScratchDir dir;
    BmpFields s{.width = 1,
                .height = 1,
                .bits = 8,
                .colours_used = 0xFFFFFFFF,
                .palette = RampPalette(2),
                .data = {0, 0, 0, 0}};
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s)), 3);
    s.colours_used = 0x40000000;
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(s)), 3);
}

TEST(BmpReadHostile, UnknownHeadersAndLayouts)
{
    test::ScratchDir dir;
    std::vector<std::uint8_t> v4 = BuildBmp(BmpFields{.data = {0, 0, 0, 0}});
    v4[14] = 108; // a header size this reader does not know
    EXPECT_EQ(ReadBuiltBmp(dir, v4), 2);
    std::vector<std::uint8_t> not_bm = BuildBmp(BmpFields{.data = {0, 0, 0, 0}});
    not_bm[1] = 'A';
    EXPECT_EQ(ReadBuiltBmp(dir, not_bm), 2);

    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(BmpFields{.bits = 2, .data = {0, 0, 0, 0}})), 5);
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(BmpFields{.bits = 0, .data = {0, 0, 0, 0}})), 5);
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(BmpFields{.bits = 16, .compression = 3, .data = {0, 0, 0, 0}})), 5);
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(BmpFields{.bits = 4, .compression = 1, .data = {0, 1}})), 5);
    EXPECT_EQ(ReadBuiltBmp(dir, BuildBmp(BmpFields{.bits = 24, .compression = 2, .data = {0, 1}})), 5);
}

TEST(BmpReadHostile, GarbageAfterTheMagicIsRefusedCleanly)
{
    test::ScratchDir dir;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        ColorImage out;
        const int code = ReadBuiltBmp(dir, test::GarbageAfter({'B', 'M'}, 20 + seed * 3, seed), out);
        EXPECT_GE(code, 2) << "seed " << seed;
        EXPECT_LE(code, 5) << "seed " << seed;
    }
}

TEST(BmpReadHostile, DamagedRunLengthFilesNeverOverrun)
{
    // Bytes of a valid run-length file changed at random: whatever the reader answers, it must stay inside its
    // buffers (the sanitizer build checks) and keep its promise about the destination.
    test::ScratchDir dir;
    const std::vector<std::uint8_t> valid = test::ReadBytes(test::NativeReferenceDir() + "/bmp8rle_im.bmp");
    ASSERT_FALSE(valid.empty());
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> bytes = valid;
        for (int k = 0; k < 1 + round % 8; ++k) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        ColorImage out;
        const int code = ReadBuiltBmp(dir, bytes, out);
        if (code == 0) {
            EXPECT_FALSE(out.empty());
        }
    }
}

TEST(BmpRead, MissingFileCannotBeOpened)
{
    test::ScratchDir dir;
    ColorImage image = test::Occupied();
    EXPECT_EQ(ReadBmp(image, dir.file("missing.bmp")), 1);
    EXPECT_TRUE(image.empty());
}

// --- independent decodes ---------------------------------------------------------------------------------

TEST(BmpReference, MatchesTheDecodesOfOtherTools)
{
    for (const char* name : {"bmp24_im.bmp", "bmp8_im.bmp", "bmp8rle_im.bmp", "bmp4_nb.bmp", "bmp1_nb.bmp",
                             "bmp8os2_nb.bmp", "bmp4os2_nb.bmp"})
        test::ExpectMatchesReference(ReadBmp, name);
}

} // namespace
} // namespace tp
