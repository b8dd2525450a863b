#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "codec_test_support.h"
#include "imaging/codecs.h"
#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "test_support.h"

namespace tp {
namespace {

using test::Bgr;
using test::ByteBuilder;
using test::PixelAt;

std::vector<std::uint8_t> Text(const std::string& s)
{
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

int ReadBuiltPgm(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes, ColorImage& out)
{
    return test::ReadBuilt(ReadPgm, dir, bytes, out, "built.pgm");
}
int ReadBuiltPgm(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes)
{
    ColorImage out;
    return ReadBuiltPgm(dir, bytes, out);
}

// The grey values of row 0, checking that every pixel has its grey in all three channels.
std::vector<int> GreyRow(const ColorImage& image, int y = 0)
{
    std::vector<int> values;
    for (int x = 0; x < image.width(); ++x) {
        const Bgr p = PixelAt(image, x, y);
        EXPECT_TRUE(p.b == p.g && p.g == p.r) << "pixel (" << x << ", " << y << ") is not grey";
        values.push_back(p.g);
    }
    return values;
}

ColorImage GreyImage(int width, int height, unsigned seed)
{
    std::mt19937 rng(seed);
    ColorImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) std::fill_n(image.pixel(x, y), 3, static_cast<std::uint8_t>(rng()));
    return image;
}

// --- writer ----------------------------------------------------------------------------------------------

TEST(PgmWrite, RawHeaderLinesAndLuminanceSamples)
{
    test::ScratchDir dir;
    const ColorImage image = test::NoiseImage(5, 3);
    ASSERT_EQ(WritePgm(image, dir.file("a.pgm")), 0);
    ByteBuilder expected;
    expected.text("P5\n# Portable Gray Map\n5 3\n255\n");
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) expected.u8(GrayOf(image.pixel(x, y)));
    EXPECT_EQ(test::ReadBytes(dir.file("a.pgm")), expected.get());
}

TEST(PgmWrite, TextSamplesAreThreeDigitsAndASpace)
{
    test::ScratchDir dir;
    const ColorImage image = test::MakeColorImage(3, 2, [](int x, int y, int) { return x * 50 + y * 7; });
    ASSERT_EQ(WritePgm(image, dir.file("t.pgm"), false), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("t.pgm")),
              Text("P2\n# Portable Gray Map\n3 2\n255\n000 050 100 \n007 057 107 \n"));
}

TEST(PgmWrite, ReadsBackWithTheGreyInAllThreeChannels)
{
    test::ScratchDir dir;
    const ColorImage colour = test::NoiseImage(7, 4, 3);
    for (bool raw : {true, false}) {
        ASSERT_EQ(WritePgm(colour, dir.file("g.pgm"), raw), 0);
        ColorImage back;
        ASSERT_EQ(ReadPgm(back, dir.file("g.pgm")), 0);
        ASSERT_EQ(back.width(), 7);
        ASSERT_EQ(back.height(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x) {
                const int grey = GrayOf(colour.pixel(x, y));
                EXPECT_EQ(PixelAt(back, x, y), (Bgr{grey, grey, grey})) << x << ", " << y << (raw ? " raw" : " text");
            }
    }
}

TEST(PgmWrite, GreyImagesRoundTripAtOddSizes)
{
    test::ScratchDir dir;
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {3, 5}, {5, 3}, {17, 9}, {1, 17}}) {
        for (bool raw : {true, false}) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << (raw ? " raw" : " text"));
            const ColorImage original = GreyImage(w, h, static_cast<unsigned>(w * 5 + h));
            ASSERT_EQ(WritePgm(original, dir.file("r.pgm"), raw), 0);
            ColorImage back;
            ASSERT_EQ(ReadPgm(back, dir.file("r.pgm")), 0);
            EXPECT_TRUE(test::ImagesMatch(original, back));
        }
    }
}

TEST(PgmWrite, FirstRawSampleThatLooksLikeABlankIsKept)
{
    test::ScratchDir dir;
    for (int first : {9, 10, 11, 12, 13, 32}) {
        ColorImage original = GreyImage(3, 2, 1);
        std::fill_n(original.pixel(0, 0), 3, static_cast<std::uint8_t>(first));
        ASSERT_EQ(WritePgm(original, dir.file("b.pgm")), 0);
        ColorImage back;
        ASSERT_EQ(ReadPgm(back, dir.file("b.pgm")), 0) << first;
        EXPECT_TRUE(test::ImagesMatch(original, back)) << first;
    }
}

TEST(PgmWrite, ThroughWriteImageAndReadImage)
{
    test::ScratchDir dir;
    const ColorImage original = GreyImage(6, 5, 9);
    ASSERT_EQ(WriteImage(original, dir.file("through.pgm")), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("through.pgm"))[1], '5');
    ColorImage back;
    ASSERT_EQ(ReadImage(back, dir.file("through.pgm")), 0);
    EXPECT_TRUE(test::ImagesMatch(original, back));
}

TEST(PgmWrite, EmptyImageIsRefusedWithoutCreatingAFile)
{
    test::ScratchDir dir;
    EXPECT_EQ(WritePgm(ColorImage(), dir.file("empty.pgm")), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.pgm")));
}

TEST(PgmWrite, UnwritableTargetCannotBeOpened)
{
    test::ScratchDir dir;
    EXPECT_EQ(WritePgm(test::NoiseImage(2, 2), test::UnwritablePath(dir, "x.pgm")), 1);
    EXPECT_EQ(WritePgm(test::NoiseImage(2, 2), test::UnwritablePath(dir, "x.pgm"), false), 1);
}

// --- reader ----------------------------------------------------------------------------------------------

TEST(PgmRead, HeaderWithAndWithoutTheCommentLine)
{
    test::ScratchDir dir;
    ColorImage image;
    ASSERT_EQ(ReadBuiltPgm(dir, ByteBuilder().text("P5\n# made by hand\n3 1\n255\n").bytes({1, 2, 250}).get(), image),
              0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{1, 2, 250}));
    ASSERT_EQ(ReadBuiltPgm(dir, ByteBuilder().text("P5 3\t1\r\n255 ").bytes({4, 5, 6}).get(), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{4, 5, 6}));
    ASSERT_EQ(ReadBuiltPgm(dir, Text("P2\n#c\n3 2\n255\n  1   2\n3\n4 5 6"), image), 0);
    EXPECT_EQ(GreyRow(image, 0), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(GreyRow(image, 1), (std::vector<int>{4, 5, 6}));
}

TEST(PgmRead, SmallerMaximumIsScaledTo255)
{
    test::ScratchDir dir;
    ColorImage image;
    // 255 / 15 = 17: 0, 1, 7, 15 -> 0, 17, 119, 255.
    ASSERT_EQ(ReadBuiltPgm(dir, ByteBuilder().text("P5\n4 1\n15\n").bytes({0, 1, 7, 15}).get(), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{0, 17, 119, 255}));
    ASSERT_EQ(ReadBuiltPgm(dir, Text("P2\n4 1\n15\n0 1 7 15\n"), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{0, 17, 119, 255}));
    // Truncated, not rounded: 255 / 100 = 2.55, so 50 -> 127.
    ASSERT_EQ(ReadBuiltPgm(dir, Text("P2\n2 1\n100\n50 0\n"), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{127, 0}));
    // Text samples may have a maximum beyond a byte.
    ASSERT_EQ(ReadBuiltPgm(dir, Text("P2\n2 1\n1000\n500 0\n"), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{127, 0}));
    ASSERT_EQ(ReadBuiltPgm(dir, ByteBuilder().text("P5\n2 1\n1\n").bytes({1, 0}).get(), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{255, 0}));
}

TEST(PgmRead, SamplesBeyondTheMaximumAreHeldAtIt)
{
    test::ScratchDir dir;
    ColorImage image;
    ASSERT_EQ(ReadBuiltPgm(dir, Text("P2\n4 1\n255\n300 -5 +7 99999999999999999999999\n"), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{255, 0, 7, 255}));
    ASSERT_EQ(ReadBuiltPgm(dir, ByteBuilder().text("P5\n2 1\n15\n").bytes({200, 16}).get(), image), 0);
    EXPECT_EQ(GreyRow(image), (std::vector<int>{255, 255}));
}

// --- reader: hostile input -------------------------------------------------------------------------------

TEST(PgmReadHostile, HeadersThatCannotBeReadOrTrusted)
{
    test::ScratchDir dir;
    for (const char* header : {"P5\n2 1\n0\nxx", // maximum 0 would divide by zero
                               "P2\n2 1\n0\n1 1\n",
                               "P5\n2 1\n-3\nxx",
                               "P5\n2 1\n256\nxxxx", // raw samples are single bytes
                               "P5\n2 1\n65535\nxxxx",
                               "P5\n0 1\n255\nx", // no pixels
                               "P5\n2 0\n255\nx",
                               "P5\n-2 1\n255\nxx",
                               "P5\n100000 100000\n255\nx",  // beyond any size
                               "P5\n16000 16000\n255\nxxxx", // more samples than the file has bytes
                               "P2\n16000 16000\n255\n1 2 3",
                               "P5\n99999999999999999999 1\n255\nx", // number too long for any field
                               "P5\n# one comment\n# a second is not understood\n1 1\n255\nx",
                               "P5\n# only a comment\n",
                               "P5\nabc 1 255\nx",
                               "P5 2 x 255\nxx",
                               "P5",
                               "P",
                               "P7\n2 1\n255\nxx",
                               "P5\n2 1"}) {
        EXPECT_EQ(ReadBuiltPgm(dir, Text(header)), 2) << testing::PrintToString(std::string(header));
    }
}

TEST(PgmReadHostile, MissingOrUnreadableSamples)
{
    test::ScratchDir dir;
    EXPECT_EQ(ReadBuiltPgm(dir, ByteBuilder().text("P5\n4 2\n255\n").bytes({1, 2, 3, 4, 5, 6, 7}).get()), 3);
    EXPECT_EQ(ReadBuiltPgm(dir, Text("P5\n4 2\n255")), 3);
    EXPECT_EQ(ReadBuiltPgm(dir, Text("P2\n2 1\n255\n5 x\n")), 3);
    EXPECT_EQ(ReadBuiltPgm(dir, Text("P2\n3 1\n255\n1 2")), 3);
    EXPECT_EQ(ReadBuiltPgm(dir, Text("P2\n2 1\n255\n")), 3);
    EXPECT_EQ(ReadBuiltPgm(dir, Text("P2\n2 1\n255\n1 - 2")), 3);
}

TEST(PgmReadHostile, GarbageAfterTheMagicIsRefusedCleanly)
{
    test::ScratchDir dir;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        for (const char kind : {'2', '5'}) {
            ColorImage out;
            const int code =
                ReadBuiltPgm(dir, test::GarbageAfter({'P', static_cast<std::uint8_t>(kind)}, 10 + seed * 5, seed), out);
            EXPECT_GE(code, 2) << "seed " << seed;
            EXPECT_LE(code, 3) << "seed " << seed;
        }
    }
}

TEST(PgmReadHostile, DamagedFilesAreHandled)
{
    test::ScratchDir dir;
    for (const char* name : {"pgm_plain_nb.pgm", "pgm_raw15_nb.pgm"}) {
        const std::vector<std::uint8_t> valid = test::ReadBytes(test::NativeReferenceDir() + "/" + name);
        ASSERT_FALSE(valid.empty()) << name;
        std::mt19937 rng(13);
        for (int round = 0; round < 200; ++round) {
            std::vector<std::uint8_t> bytes = valid;
            for (int k = 0; k < 1 + round % 4; ++k) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
            ColorImage out;
            if (ReadBuiltPgm(dir, bytes, out) == 0) {
                EXPECT_FALSE(out.empty());
            }
        }
    }
}

TEST(PgmRead, MissingFileCannotBeOpened)
{
    test::ScratchDir dir;
    ColorImage image = test::Occupied();
    EXPECT_EQ(ReadPgm(image, dir.file("missing.pgm")), 1);
    EXPECT_TRUE(image.empty());
}

// --- independent decodes ---------------------------------------------------------------------------------

TEST(PgmReference, MatchesTheDecodesOfOtherTools)
{
    for (const char* name :
         {"pgm_raw_nb.pgm", "pgm_plain_nb.pgm", "pgm_raw15_nb.pgm", "pgm_plain15_nb.pgm", "pgm_raw_im.pgm"})
        test::ExpectMatchesReference(ReadPgm, name);
}

} // namespace
} // namespace tp
