// Sun raster files. Reads depths 1, 8 (with a colour map or a grey ramp) and 24, raw or byte-encoded; writes
// 24-bit files with blue, green, red rows of exactly 3 x width bytes.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/codec_support.h"
#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

enum SunReadCode {
    kCannotOpen = 1,
    kHeaderRejected = 2,
    kColourMapRejected = 3,
    kPixelDataUnreadable = 4,
    kUnsupportedDepth = 5,
};

constexpr std::uint32_t kMagic = 0x59A66A95;
constexpr std::size_t kHeaderSize = 32;
// Pixel data types: 1 stores 24-bit pixels as blue, green, red; 2 is byte-encoded.
constexpr std::uint32_t kTypeStandard = 1;
constexpr std::uint32_t kTypeByteEncoded = 2;
// Colour map types: none, red/green/blue planes, or a raw map that is skipped.
constexpr std::uint32_t kMapNone = 0;
constexpr std::uint32_t kMapRgbPlanes = 1;
constexpr std::uint32_t kMapRaw = 2;
constexpr std::uint32_t kLargestRgbMap = 3 * 256;
// The escape byte of the byte encoding.
constexpr int kRunEscape = 0x80;

struct SunHeader {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t depth = 0;
    std::uint32_t type = 0;
    std::uint32_t map_type = 0;
    std::uint32_t map_length = 0;
    // Depths 1 and 8: rows padded to 16 bits. Depth 24: 3 x width, not padded.
    std::int64_t row_size = 0;
};

int ReadHeader(FileStream& file, SunHeader& header)
{
    std::uint8_t bytes[kHeaderSize];
    if (!file.read(bytes, sizeof bytes)) return kHeaderRejected;
    if (LoadBe32(bytes) != kMagic) return kHeaderRejected;
    header.width = LoadBe32(bytes + 4);
    header.height = LoadBe32(bytes + 8);
    header.depth = LoadBe32(bytes + 12);
    // bytes 16-19: the data length, not needed.
    header.type = LoadBe32(bytes + 20);
    header.map_type = LoadBe32(bytes + 24);
    header.map_length = LoadBe32(bytes + 28);
    if (header.width <= 0 || header.height <= 0) return kHeaderRejected;
    switch (header.depth) {
    case 1:
    case 8: header.row_size = (header.depth * header.width + 15) / 16 * 2; break;
    case 24: header.row_size = 3 * header.width; break;
    default: return kUnsupportedDepth;
    }
    return 0;
}

int ReadColourMap(FileStream& file, const SunHeader& header, ColourTable& colours)
{
    switch (header.map_type) {
    case kMapNone:
        for (std::size_t i = 0; i < 256; ++i) {
            const auto grey = static_cast<std::uint8_t>(i);
            SetColour(colours, i, grey, grey, grey);
        }
        return 0;
    case kMapRgbPlanes: {
        if (header.depth != 8) return kColourMapRejected;
        // Three equal planes of at most 256 entries each.
        if (header.map_length % 3 != 0 || header.map_length > kLargestRgbMap) return kColourMapRejected;
        std::uint8_t map[kLargestRgbMap];
        if (!file.read(map, header.map_length)) return kColourMapRejected;
        // Indices beyond the map read as black.
        const std::size_t entries = header.map_length / 3;
        for (std::size_t i = 0; i < entries; ++i)
            SetColour(colours, i, map[i], map[entries + i], map[2 * entries + i]);
        return 0;
    }
    case kMapRaw: {
        const long long remaining = BytesRemaining(file);
        if (remaining < 0 || header.map_length > remaining) return kColourMapRejected;
        return file.seek(static_cast<long>(header.map_length), SEEK_CUR) ? 0 : kColourMapRejected;
    }
    default: return kColourMapRejected;
    }
}

// Pixel bytes from the file, raw or byte-encoded. An encoded run may carry on into the next row (the
// encoding covers the data as one stream), but not past the end of the image.
class PixelSource {
public:
    PixelSource(FileStream& file, bool byte_encoded) : file_(file), byte_encoded_(byte_encoded) {}

    bool read(std::uint8_t* out, std::size_t size)
    {
        if (!byte_encoded_) return file_.read(out, size);
        BoundedOutput row(out, size);
        while (!row.full()) {
            if (run_left_ == 0) {
                const int byte = file_.get_byte();
                if (byte < 0) return false;
                if (byte != kRunEscape) {
                    row.put(static_cast<std::uint8_t>(byte));
                    continue;
                }
                const int count = file_.get_byte();
                if (count < 0) return false;
                if (count == 0) {  // 0x80 0x00 is the literal 0x80
                    row.put(kRunEscape);
                    continue;
                }
                const int value = file_.get_byte();
                if (value < 0) return false;
                run_left_ = static_cast<std::size_t>(count) + 1;
                run_value_ = static_cast<std::uint8_t>(value);
            }
            const std::size_t n = std::min(run_left_, row.room());
            row.fill(n, run_value_);
            run_left_ -= n;
        }
        return true;
    }
    // True when the last run went on past the bytes asked for.
    bool overran() const { return run_left_ > 0; }

private:
    FileStream& file_;
    bool byte_encoded_;
    std::size_t run_left_ = 0;
    std::uint8_t run_value_ = 0;
};

void ConvertRow(const std::vector<std::uint8_t>& row, const SunHeader& header, const ColourTable& colours,
                std::uint8_t* out)
{
    const std::uint8_t* in = row.data();
    switch (header.depth) {
    case 1:
        // Bit 1 is black.
        for (std::int64_t x = 0; x < header.width; ++x)
            std::fill_n(out + 3 * x, 3, static_cast<std::uint8_t>(((in[x / 8] >> (7 - x % 8)) & 1) ? 0 : 255));
        break;
    case 8:
        for (std::int64_t x = 0; x < header.width; ++x) PutColour(colours, in[x], out + 3 * x);
        break;
    case 24:
        if (header.type == kTypeStandard) {
            std::copy_n(in, 3 * header.width, out);
        } else {
            for (std::int64_t x = 0; x < header.width; ++x) {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
        }
        break;
    default: break;
    }
}

int ReadSunRasterFile(FileStream& file, RowSink& sink)
{
    SunHeader header;
    if (const int code = ReadHeader(file, header); code != 0) return code;
    const bool byte_encoded = header.type == kTypeByteEncoded;
    if (!PlausibleImageSize(header.width, header.height, file.size(),
                            byte_encoded ? kRunLengthPixelsPerByte : kRawPixelsPerByte))
        return kHeaderRejected;
    ColourTable colours{};
    if (const int code = ReadColourMap(file, header, colours); code != 0) return code;
    if (!byte_encoded) {
        // Refused before allocating: a short file cannot supply the rows.
        const long long remaining = BytesRemaining(file);
        if (remaining < 0 || header.row_size * header.height > remaining) return kPixelDataUnreadable;
    }
    const int height = static_cast<int>(header.height);
    if (!sink.Begin(static_cast<int>(header.width), height, 0)) return kHeaderRejected;
    PixelSource source(file, byte_encoded);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(header.row_size));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = sink.Row(y);
        if (!out) return kHeaderRejected;
        if (!source.read(row.data(), row.size())) return kPixelDataUnreadable;
        ConvertRow(row, header, colours, out);
        sink.RowsWritten(y + 1);
    }
    return source.overran() ? kPixelDataUnreadable : 0;
}

}  // namespace

int DecodeSunRaster(const std::string& path, RowSink& sink)
{
    // Memory that cannot be had for a header's size counts as a rejected header.
    return CatchOutOfMemory(kHeaderRejected, [&] {
        FileStream file(path, "rb");
        if (!file.is_open()) return static_cast<int>(kCannotOpen);
        return ReadSunRasterFile(file, sink);
    });
}

int ReadSunRaster(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodeSunRaster(path, sink); });
}

int WriteSunRaster(const ColorImage& source, const std::string& path)
{
    constexpr int kHeaderWriteFailed = 1;  // also: cannot open
    constexpr int kRowWriteFailed = 2;

    return CatchOutOfMemory(kRowWriteFailed, [&] {
        // A raster without pixels is refused here, as the reader refuses one.
        if (source.empty()) return kHeaderWriteFailed;
        const std::uint64_t row_size = 3 * static_cast<std::uint64_t>(source.width());
        const std::uint64_t length = row_size * static_cast<std::uint64_t>(source.height());
        // The length field is 32 bits wide.
        if (length > UINT32_MAX) return kHeaderWriteFailed;

        FileStream file(path, "wb");
        if (!file.is_open()) return kHeaderWriteFailed;

        std::uint8_t header[kHeaderSize] = {};
        StoreBe32(header, kMagic);
        StoreBe32(header + 4, static_cast<std::uint32_t>(source.width()));
        StoreBe32(header + 8, static_cast<std::uint32_t>(source.height()));
        StoreBe32(header + 12, 24);
        StoreBe32(header + 16, static_cast<std::uint32_t>(length));
        StoreBe32(header + 20, kTypeStandard);
        StoreBe32(header + 24, kMapNone);
        StoreBe32(header + 28, 0);
        if (!file.write(header, sizeof header)) return kHeaderWriteFailed;

        // Image rows are blue, green, red already; only their padding is left out.
        for (int y = 0; y < source.height(); ++y)
            if (!file.write(source.row(y), static_cast<std::size_t>(row_size))) return kRowWriteFailed;
        return file.close() ? 0 : kRowWriteFailed;
    });
}

}  // namespace tp
