// Helpers for the tests of the BMP, PCX, PGM and Sun raster codecs: assembling small files byte by byte,
// reading the reference decodes (binary PPM) that independent tools made, and the checks every reader shares.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "imaging/image_buffer.h"
#include "test_support.h"

namespace tp::test {

// A file under construction, byte by byte.
class ByteBuilder {
public:
    ByteBuilder& u8(int v)
    {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    ByteBuilder& le16(std::uint32_t v) { return u8(static_cast<int>(v & 0xFF)).u8(static_cast<int>((v >> 8) & 0xFF)); }
    ByteBuilder& le32(std::uint32_t v) { return le16(v & 0xFFFF).le16(v >> 16); }
    ByteBuilder& be32(std::uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8) u8(static_cast<int>((v >> shift) & 0xFF));
        return *this;
    }
    ByteBuilder& bytes(std::initializer_list<int> values)
    {
        for (int v : values) u8(v);
        return *this;
    }
    ByteBuilder& append(const std::vector<std::uint8_t>& more)
    {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    ByteBuilder& fill(std::size_t count, int v)
    {
        bytes_.insert(bytes_.end(), count, static_cast<std::uint8_t>(v));
        return *this;
    }
    ByteBuilder& text(const std::string& s)
    {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& get() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// The pixel (blue, green, red) at (x, y), for short expectations.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};
inline void PrintTo(const Bgr& c, std::ostream* os)
{
    *os << "(B" << c.b << " G" << c.g << " R" << c.r << ")";
}
inline Bgr PixelAt(const ColorImage& image, int x, int y)
{
    return {image.at(x, y, 0), image.at(x, y, 1), image.at(x, y, 2)};
}

// Reads a binary PPM (P6, maxval 255, no comments) as the reference tools write it.
inline ::testing::AssertionResult ReadReferencePpm(const std::string& path, ColorImage& image)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::size_t at = 0;
    auto field = [&]() -> long {
        while (at < bytes.size() && std::isspace(bytes[at])) ++at;
        long v = -1;
        while (at < bytes.size() && std::isdigit(bytes[at])) v = (v < 0 ? 0 : v * 10) + (bytes[at++] - '0');
        return v;
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return ::testing::AssertionFailure() << path << ": not P6";
    at = 2;
    const long width = field();
    const long height = field();
    const long maximum = field();
    if (width <= 0 || height <= 0 || maximum != 255) return ::testing::AssertionFailure() << path << ": bad header";
    ++at; // the one blank before the samples
    if (bytes.size() - at != static_cast<std::size_t>(3 * width * height))
        return ::testing::AssertionFailure() << path << ": " << bytes.size() - at << " sample bytes";
    image.allocate(static_cast<int>(width), static_cast<int>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, at += 3) {
            image.at(x, y, 0) = bytes[at + 2];
            image.at(x, y, 1) = bytes[at + 1];
            image.at(x, y, 2) = bytes[at];
        }
    return ::testing::AssertionSuccess();
}

inline std::string NativeReferenceDir()
{
    return TestDataDir() + "/reference/native";
}

// Reads NAME with `read` and compares it with NAME's stem + ".ppm", the tool's own decode.
template <typename Reader> void ExpectMatchesReference(Reader read, const std::string& name)
{
    SCOPED_TRACE(name);
    const std::filesystem::path file = std::filesystem::path(NativeReferenceDir()) / name;
    ColorImage expected;
    ASSERT_TRUE(ReadReferencePpm(std::filesystem::path(file).replace_extension(".ppm").string(), expected));
    ColorImage actual;
    ASSERT_EQ(read(actual, file.string()), 0);
    EXPECT_TRUE(ImagesMatch(expected, actual));
}

// A destination that already holds pixels, to show that a failing reader empties it.
inline ColorImage Occupied()
{
    return NoiseImage(4, 3, 7);
}

// Writes `bytes` to a scratch file, reads it with `read` into an occupied destination and returns the code;
// a failing read must leave the destination empty.
template <typename Reader>
int ReadBuilt(Reader read, const ScratchDir& dir, const std::vector<std::uint8_t>& bytes, ColorImage& out,
              const std::string& name = "built")
{
    const std::string path = dir.file(name);
    WriteBytes(path, bytes);
    out = Occupied();
    const int code = read(out, path);
    if (code != 0) {
        EXPECT_TRUE(out.empty()) << "code " << code << " but the destination kept its pixels";
        EXPECT_EQ(out.width(), 0);
        EXPECT_EQ(out.height(), 0);
    }
    return code;
}

template <typename Reader> int ReadBuilt(Reader read, const ScratchDir& dir, const std::vector<std::uint8_t>& bytes)
{
    ColorImage out;
    return ReadBuilt(read, dir, bytes, out);
}

// A deterministic run of junk bytes after a given start (a valid magic, typically).
inline std::vector<std::uint8_t> GarbageAfter(std::vector<std::uint8_t> start, std::size_t length, unsigned seed)
{
    std::mt19937 rng(seed);
    while (start.size() < length) start.push_back(static_cast<std::uint8_t>(rng()));
    return start;
}

// A path inside a folder that does not exist.
inline std::string UnwritablePath(const ScratchDir& dir, const std::string& name)
{
    return (dir.path() / "no-such-folder" / name).string();
}

} // namespace tp::test
