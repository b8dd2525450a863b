#include <gtest/gtest.h>

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

// A 128-byte header with the fields the reader uses. The 16-entry colour map holds entry i = (red 16 i,
// green 8 i, blue 255 - i).
std::vector<std::uint8_t> PcxHeader(int bits, int planes, int width, int height, int bytes_per_line, int xmin = 0,
                                    int ymin = 0)
{
    ByteBuilder b;
    b.u8(10).u8(5).u8(1).u8(bits);
    b.le16(static_cast<std::uint32_t>(xmin)).le16(static_cast<std::uint32_t>(ymin));
    b.le16(static_cast<std::uint32_t>(xmin + width - 1)).le16(static_cast<std::uint32_t>(ymin + height - 1));
    b.le16(72).le16(72);
    for (int i = 0; i < 16; ++i) b.u8(16 * i).u8(8 * i).u8(255 - i);
    b.u8(0).u8(planes).le16(static_cast<std::uint32_t>(bytes_per_line)).le16(1);
    b.fill(128 - b.size(), 0);
    return b.get();
}
Bgr HeaderColour(int i)
{
    return {255 - i, 8 * i, 16 * i};
}

// Literal bytes (all below 192) as an encoded row.
std::vector<std::uint8_t> Literals(std::initializer_list<int> values)
{
    return ByteBuilder().bytes(values).get();
}

int ReadBuiltPcx(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes, ColorImage& out)
{
    return test::ReadBuilt(ReadPcx, dir, bytes, out, "built.pcx");
}
int ReadBuiltPcx(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes)
{
    ColorImage out;
    return ReadBuiltPcx(dir, bytes, out);
}

// The encoded data a one-row image gets for its red, green and blue planes.
std::vector<std::uint8_t> EncodedRow(const std::vector<int>& red, const std::vector<int>& green,
                                     const std::vector<int>& blue)
{
    const int width = static_cast<int>(red.size());
    const ColorImage image = test::MakeColorImage(width, 1, [&](int x, int, int c) {
        const std::vector<int>& plane = c == 0 ? blue : c == 1 ? green : red;
        return plane[static_cast<std::size_t>(x)];
    });
    test::ScratchDir dir;
    EXPECT_EQ(WritePcx(image, dir.file("row.pcx")), 0);
    const std::vector<std::uint8_t> bytes = test::ReadBytes(dir.file("row.pcx"));
    return std::vector<std::uint8_t>(bytes.begin() + 128, bytes.end());
}

// --- writer ----------------------------------------------------------------------------------------------

TEST(PcxWrite, HeaderFields)
{
    test::ScratchDir dir;
    ASSERT_EQ(WritePcx(test::NoiseImage(5, 3), dir.file("a.pcx")), 0);
    const std::vector<std::uint8_t> bytes = test::ReadBytes(dir.file("a.pcx"));
    ASSERT_GE(bytes.size(), 128u);
    std::vector<std::uint8_t> expected(128, 0);
    expected[0] = 10; // manufacturer
    expected[1] = 5;  // version
    expected[2] = 1;  // run-length encoding
    expected[3] = 8;  // bits per pixel per plane
    expected[8] = 4;  // xmax = width - 1
    expected[10] = 2; // ymax = height - 1
    expected[65] = 3; // planes
    expected[66] = 5; // bytes per line = width, odd as it is
    expected[68] = 2;
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 128), expected);
}

TEST(PcxWrite, PlaneEncoding)
{
    // A run of r equal bytes in the middle of a plane is a run of r - 1 and the last byte alone; a run reaching
    // the end of the plane is written whole.
    EXPECT_EQ(EncodedRow({65, 65, 65, 66}, {0, 0, 0, 0}, {1, 2, 3, 4}),
              Literals({0xC2, 65, 65, 66, 0xC4, 0, 1, 2, 3, 4}));
    EXPECT_EQ(EncodedRow({7, 7, 7}, {7, 8, 8}, {9, 9, 3}), Literals({0xC3, 7, 7, 0xC2, 8, 0xC1, 9, 9, 3}));
    // Bytes of 192 and more go out as runs of one.
    EXPECT_EQ(EncodedRow({200, 10, 255}, {192, 191, 0}, {1, 1, 1}),
              Literals({0xC1, 200, 10, 0xC1, 255, 0xC1, 192, 191, 0, 0xC3, 1}));
}

TEST(PcxWrite, RunsStopAt63)
{
    // 100 equal bytes reaching the end: 63, then the remaining 37 whole.
    std::vector<int> long_run(100, 5);
    std::vector<int> zeros(100, 0);
    std::vector<std::uint8_t> encoded = EncodedRow(long_run, zeros, zeros);
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.begin() + 4), Literals({0xFF, 5, 0xE5, 5}));
    // 100 equal bytes then another: 63, 36, the 100th alone, then the other.
    long_run.push_back(9);
    zeros.push_back(0);
    encoded = EncodedRow(long_run, zeros, zeros);
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.begin() + 6), Literals({0xFF, 5, 0xE4, 5, 5, 9}));
}

TEST(PcxWrite, RoundTripsOddSizes)
{
    test::ScratchDir dir;
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {3, 5}, {5, 3}, {17, 9}, {1, 17}, {130, 2}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const ColorImage original = test::NoiseImage(w, h, static_cast<unsigned>(w * 7 + h));
        ASSERT_EQ(WritePcx(original, dir.file("r.pcx")), 0);
        ColorImage back;
        ASSERT_EQ(ReadPcx(back, dir.file("r.pcx")), 0);
        EXPECT_TRUE(test::ImagesMatch(original, back));
    }
    // Long runs, runs reaching plane ends, bytes of 192 and more.
    const ColorImage runs =
        test::MakeColorImage(150, 3, [](int x, int y, int c) { return x < 70 + y ? 200 + c : (x / 9) * 40 % 256; });
    ASSERT_EQ(WritePcx(runs, dir.file("runs.pcx")), 0);
    ColorImage back;
    ASSERT_EQ(ReadPcx(back, dir.file("runs.pcx")), 0);
    EXPECT_TRUE(test::ImagesMatch(runs, back));
}

TEST(PcxWrite, ThroughWriteImageAndReadImage)
{
    test::ScratchDir dir;
    const ColorImage original = test::NoiseImage(17, 5);
    ASSERT_EQ(WriteImage(original, dir.file("through.pcx")), 0);
    ColorImage back;
    ASSERT_EQ(ReadImage(back, dir.file("through.pcx")), 0);
    EXPECT_TRUE(test::ImagesMatch(original, back));
}

TEST(PcxWrite, EmptyImageIsRefusedWithoutCreatingAFile)
{
    test::ScratchDir dir;
    EXPECT_EQ(WritePcx(ColorImage(), dir.file("empty.pcx")), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.pcx")));
}

TEST(PcxWrite, UnwritableTargetCannotBeOpened)
{
    test::ScratchDir dir;
    EXPECT_EQ(WritePcx(test::NoiseImage(2, 2), test::UnwritablePath(dir, "x.pcx")), 1);
}

// --- reader: pixel kinds ---------------------------------------------------------------------------------

TEST(PcxRead, MonochromeBitOneIsWhite)
{
    test::ScratchDir dir;
    ByteBuilder b;
    b.append(PcxHeader(1, 1, 10, 1, 2)).bytes({0xA0, 0x40}); // 1010 0000 01
    ColorImage image;
    ASSERT_EQ(ReadBuiltPcx(dir, b.get(), image), 0);
    const Bgr white{255, 255, 255}, black{0, 0, 0};
    EXPECT_EQ(PixelAt(image, 0, 0), white);
    EXPECT_EQ(PixelAt(image, 1, 0), black);
    EXPECT_EQ(PixelAt(image, 2, 0), white);
    EXPECT_EQ(PixelAt(image, 8, 0), black);
    EXPECT_EQ(PixelAt(image, 9, 0), white);
}

TEST(PcxRead, SixteenColoursFromOneFourBitPlane)
{
    test::ScratchDir dir;
    ByteBuilder b;
    b.append(PcxHeader(4, 1, 3, 1, 2)).bytes({0x1F, 0x70});
    ColorImage image;
    ASSERT_EQ(ReadBuiltPcx(dir, b.get(), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), HeaderColour(1));
    EXPECT_EQ(PixelAt(image, 1, 0), HeaderColour(15));
    EXPECT_EQ(PixelAt(image, 2, 0), HeaderColour(7));
}

TEST(PcxRead, SixteenColoursFromFourOneBitPlanes)
{
    test::ScratchDir dir;
    // Pixel 0: planes 0 and 2 -> index 5. Pixel 1: planes 1, 2, 3 -> 14. Pixel 2: plane 3 -> 8.
    ByteBuilder b;
    b.append(PcxHeader(1, 4, 3, 1, 1)).bytes({0x80, 0x40, 0xC1, 0xC0, 0x60}); // 0xC0 as a run of one
    ColorImage image;
    ASSERT_EQ(ReadBuiltPcx(dir, b.get(), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), HeaderColour(5));
    EXPECT_EQ(PixelAt(image, 1, 0), HeaderColour(14));
    EXPECT_EQ(PixelAt(image, 2, 0), HeaderColour(8));
}

TEST(PcxRead, TwoHundredFiftySixColoursFromTheTrailingPalette)
{
    test::ScratchDir dir;
    ByteBuilder b;
    b.append(PcxHeader(8, 1, 3, 2, 4));
    b.bytes({0xC3, 200, 9}).bytes({1, 2, 0xC1, 255, 0}); // row 0: 200 200 200 (pad 9); row 1: 1 2 255 (pad 0)
    b.u8(12);
    for (int i = 0; i < 256; ++i) b.u8(i).u8(255 - i).u8(i / 2); // red, green, blue
    ColorImage image;
    ASSERT_EQ(ReadBuiltPcx(dir, b.get(), image), 0);
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgr{100, 55, 200}));
    EXPECT_EQ(PixelAt(image, 0, 1), (Bgr{0, 254, 1}));
    EXPECT_EQ(PixelAt(image, 2, 1), (Bgr{127, 0, 255}));
}

TEST(PcxRead, TrueColourPlanesRedGreenBlueWithEvenLines)
{
    test::ScratchDir dir;
    ByteBuilder b;
    b.append(PcxHeader(8, 3, 3, 1, 4));
    b.bytes({10, 11, 12, 0, 20, 21, 22, 0, 30, 31, 32, 0});
    ColorImage image;
    ASSERT_EQ(ReadBuiltPcx(dir, b.get(), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{30, 20, 10}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgr{32, 22, 12}));
}

TEST(PcxRead, WindowNeedNotStartAtZero)
{
    test::ScratchDir dir;
    ByteBuilder b;
    b.append(PcxHeader(8, 3, 2, 1, 2, 100, 50)).bytes({1, 2, 3, 4, 5, 6});
    ColorImage image;
    ASSERT_EQ(ReadBuiltPcx(dir, b.get(), image), 0);
    EXPECT_EQ(image.width(), 2);
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{6, 4, 2}));
}

// --- reader: hostile input -------------------------------------------------------------------------------

TEST(PcxReadHostile, RunPassingTheRowEndIsRefused)
{
    test::ScratchDir dir;
    // Rows of 3 x 2 bytes; a run of 7 cannot fit, nor can 5 after 2 literals.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 2, 2, 2)).bytes({0xC7, 1}).get()), 4);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 2, 2, 2)).bytes({1, 1, 0xC5, 1}).get()), 4);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(1, 1, 8, 1, 1)).bytes({0xFF, 1}).get()), 4);
}

TEST(PcxReadHostile, TruncatedRowsAreRefused)
{
    test::ScratchDir dir;
    ASSERT_EQ(WritePcx(test::NoiseImage(9, 6), dir.file("whole.pcx")), 0);
    const std::vector<std::uint8_t> whole = test::ReadBytes(dir.file("whole.pcx"));
    EXPECT_EQ(ReadBuiltPcx(dir, std::vector<std::uint8_t>(whole.begin(), whole.end() - 1)), 4);
    EXPECT_EQ(ReadBuiltPcx(dir, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 140)), 4);
    EXPECT_EQ(ReadBuiltPcx(dir, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 100)), 2);
    // A run byte with nothing after it.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 2, 1, 2)).bytes({0xC2}).get()), 4);
}

TEST(PcxReadHostile, PaletteOfShortFilesOrWithoutMarkerIsRefused)
{
    test::ScratchDir dir;
    // Shorter than a header and a palette together.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 1, 2, 1, 2)).bytes({1, 2, 12}).get()), 3);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 1, 2, 1, 2)).fill(700, 0).get()), 3);
    // Long enough, but the byte before the palette is not 12.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 1, 2, 1, 2)).bytes({1, 2}).u8(11).fill(768, 0).get()),
              3);
}

TEST(PcxReadHostile, HeadersThatCannotDescribeThisFileAreRefused)
{
    test::ScratchDir dir;
    const std::vector<std::uint8_t> row = {1, 2, 3, 4, 5, 6};
    // Lines shorter than the width needs.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 5, 1, 4)).append(row).get()), 2);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(1, 1, 17, 1, 2)).append(row).get()), 2);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(4, 1, 5, 1, 2)).append(row).get()), 2);
    // Window ends before it starts.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, -4, 1, 2, 10, 0)).append(row).get()), 2);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 2, -5, 2, 0, 10)).append(row).get()), 2);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 0, 1, 2, 10, 0)).append(row).get()), 2);
    // Plane layouts that are not one of the five kinds.
    for (const auto& [bits, planes] : std::vector<std::pair<int, int>>{{2, 2}, {8, 2}, {1, 8}, {24, 1}, {8, 0}, {4, 4}})
        EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(bits, planes, 2, 1, 2)).append(row).get()), 2)
            << bits << " bits x " << planes << " planes";
    // 65536 x 65536 is beyond any size; 16000 x 16000 is allowed in itself but not in a file of a few bytes.
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 65536, 65536, 65535)).append(row).get()), 2);
    EXPECT_EQ(ReadBuiltPcx(dir, ByteBuilder().append(PcxHeader(8, 3, 16000, 16000, 16000)).append(row).get()), 2);
    // Not a PCX at all, or a header cut short.
    std::vector<std::uint8_t> wrong = ByteBuilder().append(PcxHeader(8, 3, 2, 1, 2)).append(row).get();
    wrong[0] = 11;
    EXPECT_EQ(ReadBuiltPcx(dir, wrong), 2);
    EXPECT_EQ(ReadBuiltPcx(dir, std::vector<std::uint8_t>(wrong.begin(), wrong.begin() + 127)), 2);
}

TEST(PcxReadHostile, GarbageAfterTheMagicIsRefusedCleanly)
{
    test::ScratchDir dir;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        ColorImage out;
        const int code = ReadBuiltPcx(dir, test::GarbageAfter({0x0A}, 100 + seed * 7, seed), out);
        EXPECT_GE(code, 2) << "seed " << seed;
        EXPECT_LE(code, 4) << "seed " << seed;
    }
}

TEST(PcxReadHostile, DamagedFilesNeverOverrun)
{
    test::ScratchDir dir;
    for (const char* name : {"pcx8_nb.pcx", "pcx4planes_nb.pcx", "pcx24_im.pcx"}) {
        const std::vector<std::uint8_t> valid = test::ReadBytes(test::NativeReferenceDir() + "/" + name);
        ASSERT_FALSE(valid.empty()) << name;
        std::mt19937 rng(11);
        for (int round = 0; round < 200; ++round) {
            std::vector<std::uint8_t> bytes = valid;
            for (int k = 0; k < 1 + round % 6; ++k) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
            ColorImage out;
            if (ReadBuiltPcx(dir, bytes, out) == 0) {
                EXPECT_FALSE(out.empty());
            }
        }
    }
}

TEST(PcxRead, MissingFileCannotBeOpened)
{
    test::ScratchDir dir;
    ColorImage image = test::Occupied();
    EXPECT_EQ(ReadPcx(image, dir.file("missing.pcx")), 1);
    EXPECT_TRUE(image.empty());
}

// --- independent decodes ---------------------------------------------------------------------------------

TEST(PcxReference, MatchesTheDecodesOfOtherTools)
{
    for (const char* name :
         {"pcx24_nb.pcx", "pcx8_nb.pcx", "pcx4packed_nb.pcx", "pcx4planes_nb.pcx", "pcx1_nb.pcx", "pcx24_im.pcx"})
        test::ExpectMatchesReference(ReadPcx, name);
}

TEST(PcxReference, OwnFilesDecodeLikeTheReferenceFile)
{
    // Re-encoding a reference picture gives the same pixels back.
    ColorImage reference;
    ASSERT_TRUE(test::ReadReferencePpm(test::NativeReferenceDir() + "/pcx24_nb.ppm", reference));
    test::ScratchDir dir;
    ASSERT_EQ(WritePcx(reference, dir.file("again.pcx")), 0);
    ColorImage back;
    ASSERT_EQ(ReadPcx(back, dir.file("again.pcx")), 0);
    EXPECT_TRUE(test::ImagesMatch(reference, back));
}

} // namespace
} // namespace tp
