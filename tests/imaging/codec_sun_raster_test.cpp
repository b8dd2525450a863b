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

constexpr std::uint32_t kMagic = 0x59A66A95;

struct SunFields {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint32_t depth = 8;
    std::uint32_t type = 1;
    std::uint32_t map_type = 0;
    std::vector<std::uint8_t> map{};
    std::vector<std::uint8_t> data{};
    // The map length field; by default the length of `map`.
    std::int64_t map_length = -1;
};

std::vector<std::uint8_t> BuildSun(const SunFields& s)
{
    ByteBuilder b;
    b.be32(kMagic).be32(s.width).be32(s.height).be32(s.depth).be32(static_cast<std::uint32_t>(s.data.size()));
    b.be32(s.type).be32(s.map_type);
    b.be32(static_cast<std::uint32_t>(s.map_length >= 0 ? s.map_length : static_cast<std::int64_t>(s.map.size())));
    return b.append(s.map).append(s.data).get();
}

int ReadBuiltSun(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes, ColorImage& out)
{
    return test::ReadBuilt(ReadSunRaster, dir, bytes, out, "built.ras");
}
int ReadBuiltSun(const test::ScratchDir& dir, const std::vector<std::uint8_t>& bytes)
{
    ColorImage out;
    return ReadBuiltSun(dir, bytes, out);
}

Bgr Grey(int v)
{
    return {v, v, v};
}

// --- writer ----------------------------------------------------------------------------------------------

TEST(SunRasterWrite, BigEndianHeaderAndUnpaddedRows)
{
    test::ScratchDir dir;
    const ColorImage image = test::MakeColorImage(3, 2, [](int x, int y, int c) { return 1 + x * 10 + y * 100 + c; });
    ASSERT_EQ(WriteSunRaster(image, dir.file("a.ras")), 0);
    ByteBuilder expected;
    expected.be32(kMagic).be32(3).be32(2).be32(24).be32(18).be32(1).be32(0).be32(0);
    for (int y = 0; y < 2; ++y) // 9-byte rows of blue, green, red
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c) expected.u8(1 + x * 10 + y * 100 + c);
    EXPECT_EQ(test::ReadBytes(dir.file("a.ras")), expected.get());
}

TEST(SunRasterWrite, RoundTripsOddSizes)
{
    test::ScratchDir dir;
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {3, 5}, {5, 3}, {17, 9}, {1, 17}, {3, 1}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const ColorImage original = test::NoiseImage(w, h, static_cast<unsigned>(w * 3 + h));
        ASSERT_EQ(WriteSunRaster(original, dir.file("r.ras")), 0);
        EXPECT_EQ(std::filesystem::file_size(dir.file("r.ras")), 32u + 3u * w * h);
        ColorImage back;
        ASSERT_EQ(ReadSunRaster(back, dir.file("r.ras")), 0);
        EXPECT_TRUE(test::ImagesMatch(original, back));
    }
}

TEST(SunRasterWrite, ThroughWriteImageAndReadImage)
{
    test::ScratchDir dir;
    const ColorImage original = test::NoiseImage(3, 4);
    ASSERT_EQ(WriteImage(original, dir.file("through.ras")), 0);
    ColorImage back;
    ASSERT_EQ(ReadImage(back, dir.file("through.ras")), 0);
    EXPECT_TRUE(test::ImagesMatch(original, back));
}

TEST(SunRasterWrite, EmptyImageIsRefusedWithoutCreatingAFile)
{
    test::ScratchDir dir;
    EXPECT_EQ(WriteSunRaster(ColorImage(), dir.file("empty.ras")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("empty.ras")));
}

TEST(SunRasterWrite, UnwritableTargetCannotBeOpened)
{
    test::ScratchDir dir;
    EXPECT_EQ(WriteSunRaster(test::NoiseImage(2, 2), test::UnwritablePath(dir, "x.ras")), 1);
}

// --- reader ----------------------------------------------------------------------------------------------

TEST(SunRasterRead, DepthOneBitOneIsBlackRowsPaddedTo16Bits)
{
    test::ScratchDir dir;
    // Width 3: 2 bytes per row.
    const SunFields s{.width = 3, .height = 2, .depth = 1, .data = {0xA0, 0x00, 0x40, 0xFF}};
    ColorImage image;
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), Grey(0));
    EXPECT_EQ(PixelAt(image, 1, 0), Grey(255));
    EXPECT_EQ(PixelAt(image, 2, 0), Grey(0));
    EXPECT_EQ(PixelAt(image, 0, 1), Grey(255));
    EXPECT_EQ(PixelAt(image, 1, 1), Grey(0));
    EXPECT_EQ(PixelAt(image, 2, 1), Grey(255));
}

TEST(SunRasterRead, DepthEightWithoutMapIsAGreyRamp)
{
    test::ScratchDir dir;
    // Width 3: 3 bytes padded to 4.
    const SunFields s{.width = 3, .height = 2, .depth = 8, .data = {0, 128, 255, 9, 1, 2, 3, 9}};
    ColorImage image;
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(s), image), 0);
    EXPECT_EQ(PixelAt(image, 1, 0), Grey(128));
    EXPECT_EQ(PixelAt(image, 2, 0), Grey(255));
    EXPECT_EQ(PixelAt(image, 0, 1), Grey(1));
}

TEST(SunRasterRead, DepthEightThroughTheRgbPlanesMapWithIndicesBeyondItBlack)
{
    test::ScratchDir dir;
    const SunFields s{
        .width = 3, .height = 1, .depth = 8, .map_type = 1, .map = {10, 20, 30, 40, 50, 60}, .data = {0, 1, 5, 0}};
    ColorImage image;
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{50, 30, 10}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{60, 40, 20}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Bgr{0, 0, 0}));
}

TEST(SunRasterRead, ByteEncodedRunsIncludingTheLiteralEscape)
{
    test::ScratchDir dir;
    // Rows of 4 bytes: 0x80 0x00 is one 0x80; 0x80 3 9 is four 9s and runs on into the next row.
    const SunFields s{.width = 4, .height = 2, .depth = 8, .type = 2, .data = {0x80, 0x00, 5, 0x80, 3, 9, 0x80, 0, 1}};
    ColorImage image;
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(s), image), 0);
    const std::vector<int> expected = {128, 5, 9, 9, 9, 9, 128, 1};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(PixelAt(image, i % 4, i / 4), Grey(expected[static_cast<std::size_t>(i)])) << i;
}

TEST(SunRasterRead, TwentyFourBitIsBlueGreenRedForTypeOneOnly)
{
    test::ScratchDir dir;
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6};
    ColorImage image;
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .depth = 24, .type = 1, .data = pixels}), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{1, 2, 3}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{4, 5, 6}));
    for (std::uint32_t type : {0u, 3u}) {
        ASSERT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .depth = 24, .type = type, .data = pixels}), image),
                  0);
        EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{3, 2, 1})) << "type " << type;
        EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{6, 5, 4})) << "type " << type;
    }
    // Byte-encoded 24-bit data is red, green, blue too.
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .depth = 24, .type = 2, .data = {0x80, 5, 7}}), image),
              0);
    EXPECT_EQ(PixelAt(image, 1, 0), (Bgr{7, 7, 7}));
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 1, .depth = 24, .type = 2, .data = {1, 2, 3}}), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{3, 2, 1}));
}

TEST(SunRasterRead, RawMapIsSkipped)
{
    test::ScratchDir dir;
    const SunFields s{.width = 1, .depth = 24, .map_type = 2, .map = {9, 9, 9, 9, 9}, .data = {1, 2, 3}};
    ColorImage image;
    ASSERT_EQ(ReadBuiltSun(dir, BuildSun(s), image), 0);
    EXPECT_EQ(PixelAt(image, 0, 0), (Bgr{1, 2, 3}));
}

// --- reader: hostile input -------------------------------------------------------------------------------

TEST(SunRasterReadHostile, BadColourMaps)
{
    test::ScratchDir dir;
    const std::vector<std::uint8_t> data(16, 1);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.map_type = 1, .map = {1, 2, 3, 4, 5, 6, 7}, .data = data})), 3);
    EXPECT_EQ(
        ReadBuiltSun(dir, BuildSun(SunFields{.map_type = 1, .map = std::vector<std::uint8_t>(771, 1), .data = data})),
        3);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.map_type = 1, .map = {}, .data = data, .map_length = 0xFFFFFFFF})),
              3);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.map_type = 1, .map = {1, 2, 3}, .data = {}, .map_length = 300})),
              3);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.depth = 24, .map_type = 1, .map = {1, 2, 3}, .data = data})), 3);
    EXPECT_EQ(ReadBuiltSun(
                  dir, BuildSun(SunFields{.depth = 1, .map_type = 1, .map = {0, 255, 0, 255, 0, 255}, .data = data})),
              3);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.map_type = 3, .map = {1, 2, 3}, .data = data})), 3);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.map_type = 2, .map = {1, 2}, .data = {}, .map_length = 100000})),
              3);
}

TEST(SunRasterReadHostile, UnsupportedDepths)
{
    test::ScratchDir dir;
    for (std::uint32_t depth : {0u, 2u, 4u, 16u, 32u, 0xFFFFFFFFu})
        EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.depth = depth, .data = {1, 2, 3, 4}})), 5) << depth;
}

TEST(SunRasterReadHostile, AbsurdOrEmptySizes)
{
    test::ScratchDir dir;
    const std::vector<std::uint8_t> data = {1, 2, 3, 4};
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 0, .data = data})), 2);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.height = 0, .data = data})), 2);
    EXPECT_EQ(
        ReadBuiltSun(dir, BuildSun(SunFields{.width = 0xFFFFFFFF, .height = 0xFFFFFFFF, .depth = 24, .data = data})),
        2);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 0x80000000, .depth = 1, .data = data})), 2);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 16000, .height = 16000, .depth = 1, .data = data})), 2);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 16000, .height = 16000, .type = 2, .data = data})), 2);
    EXPECT_EQ(ReadBuiltSun(dir, {0x59, 0xA6, 0x6A, 0x95, 0, 0, 0, 1}), 2); // header cut short
    std::vector<std::uint8_t> not_sun = BuildSun(SunFields{.data = {1, 1}});
    not_sun[3] = 0x96;
    EXPECT_EQ(ReadBuiltSun(dir, not_sun), 2);
}

TEST(SunRasterReadHostile, RunPastTheImageOrTruncatedDataIsRefused)
{
    test::ScratchDir dir;
    // Width 2, depth 8: one row of 2 bytes; a run of 6 does not fit.
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .type = 2, .data = {0x80, 5, 1}})), 4);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .height = 2, .type = 2, .data = {7, 0x80, 3, 1}})), 4);
    // Encoded data that ends early, in an escape or in a run.
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .type = 2, .data = {1}})), 4);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .type = 2, .data = {1, 0x80}})), 4);
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 2, .type = 2, .data = {0x80, 1}})), 4);
    // Raw data that ends early.
    EXPECT_EQ(ReadBuiltSun(dir, BuildSun(SunFields{.width = 3, .height = 2, .data = {1, 2, 3, 4, 5, 6, 7}})), 4);
    ASSERT_EQ(WriteSunRaster(test::NoiseImage(5, 4), dir.file("whole.ras")), 0);
    std::vector<std::uint8_t> whole = test::ReadBytes(dir.file("whole.ras"));
    whole.pop_back();
    EXPECT_EQ(ReadBuiltSun(dir, whole), 4);
}

TEST(SunRasterReadHostile, GarbageAfterTheMagicIsRefusedCleanly)
{
    test::ScratchDir dir;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        ColorImage out;
        const int code = ReadBuiltSun(dir, test::GarbageAfter({0x59, 0xA6, 0x6A, 0x95}, 40 + seed * 5, seed), out);
        EXPECT_GE(code, 2) << "seed " << seed;
        EXPECT_LE(code, 5) << "seed " << seed;
    }
}

TEST(SunRasterReadHostile, DamagedFilesNeverOverrun)
{
    test::ScratchDir dir;
    for (const char* name : {"ras8rle_nb.ras", "ras1_nb.ras", "ras24_nb.ras"}) {
        const std::vector<std::uint8_t> valid = test::ReadBytes(test::NativeReferenceDir() + "/" + name);
        ASSERT_FALSE(valid.empty()) << name;
        std::mt19937 rng(17);
        for (int round = 0; round < 200; ++round) {
            std::vector<std::uint8_t> bytes = valid;
            for (int k = 0; k < 1 + round % 6; ++k) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
            ColorImage out;
            if (ReadBuiltSun(dir, bytes, out) == 0) {
                EXPECT_FALSE(out.empty());
            }
        }
    }
}

TEST(SunRasterRead, MissingFileCannotBeOpened)
{
    test::ScratchDir dir;
    ColorImage image = test::Occupied();
    EXPECT_EQ(ReadSunRaster(image, dir.file("missing.ras")), 1);
    EXPECT_TRUE(image.empty());
}

// --- independent decodes ---------------------------------------------------------------------------------

TEST(SunRasterReference, MatchesTheDecodesOfOtherTools)
{
    for (const char* name :
         {"ras8rle_nb.ras", "ras8_nb.ras", "ras8grey_nb.ras", "ras1_nb.ras", "ras24_nb.ras", "ras24rgb_im.ras"})
        test::ExpectMatchesReference(ReadSunRaster, name);
}

} // namespace
} // namespace tp
