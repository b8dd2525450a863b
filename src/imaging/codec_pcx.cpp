// PCX. Reads monochrome, 16-colour (one 4-bit plane or four 1-bit planes), 256-colour and 24-bit files;
// writes 24-bit files as three run-length encoded 8-bit planes per row.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "imaging/codec_support.h"
#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

enum PcxReadCode { kCannotOpen = 1, kHeaderRejected = 2, kPaletteRejected = 3, kRowDataRejected = 4 };

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint8_t kManufacturer = 10;
// The 256-colour palette: a marker byte 12 and 768 bytes of red, green, blue at the very end of the file.
constexpr std::uint8_t kPaletteMarker = 12;
constexpr long kTrailingPaletteSize = 769;

enum class PcxKind { Monochrome, FourBitPlane, FourOneBitPlanes, Palette256, TrueColour };

struct PcxLayout {
    PcxKind kind = PcxKind::Monochrome;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t bytes_per_line = 0;
    std::int64_t planes = 1;
    ColourTable colours{};
};

int ReadHeader(FileStream& file, PcxLayout& layout)
{
    std::uint8_t header[kHeaderSize];
    if (!file.read(header, sizeof header)) return kHeaderRejected;
    if (header[0] != kManufacturer) return kHeaderRejected;
    const int bits = header[3];
    const int planes = header[65];
    layout.width = std::int64_t{LoadLe16(header + 8)} - LoadLe16(header + 4) + 1;
    layout.height = std::int64_t{LoadLe16(header + 10)} - LoadLe16(header + 6) + 1;
    layout.bytes_per_line = LoadLe16(header + 66);
    layout.planes = planes;
    if (layout.width <= 0 || layout.height <= 0) return kHeaderRejected;

    // Only the plane layouts that name one kind of pixel are accepted; a product such as 2 planes x 2 bits
    // would otherwise be taken for a layout it is not.
    struct KnownLayout {
        int planes;
        int bits;
        PcxKind kind;
    };
    static constexpr KnownLayout kKnownLayouts[] = {
        {1, 1, PcxKind::Monochrome}, {1, 4, PcxKind::FourBitPlane}, {4, 1, PcxKind::FourOneBitPlanes},
        {1, 8, PcxKind::Palette256}, {3, 8, PcxKind::TrueColour},
    };
    const auto known = std::find_if(std::begin(kKnownLayouts), std::end(kKnownLayouts),
                                    [&](const KnownLayout& k) { return k.planes == planes && k.bits == bits; });
    if (known == std::end(kKnownLayouts)) return kHeaderRejected;
    layout.kind = known->kind;
    // A plane line too short for the width would make the conversion read past the row.
    if (layout.bytes_per_line * 8 < layout.width * bits) return kHeaderRejected;

    for (std::size_t i = 0; i < 16; ++i)
        SetColour(layout.colours, i, header[16 + 3 * i], header[17 + 3 * i], header[18 + 3 * i]);
    return 0;
}

// The 256-colour palette at the end of the file; the read position is restored afterwards.
int ReadTrailingPalette(FileStream& file, ColourTable& colours)
{
    const long here = file.tell();
    const long long size = file.size();
    // The palette cannot overlap the header: such a file is too short to have one.
    if (here < 0 || size < static_cast<long long>(kHeaderSize) + kTrailingPaletteSize) return kPaletteRejected;
    if (!file.seek(static_cast<long>(size - kTrailingPaletteSize), SEEK_SET)) return kPaletteRejected;
    std::uint8_t palette[kTrailingPaletteSize];
    if (!file.read(palette, sizeof palette) || palette[0] != kPaletteMarker) return kPaletteRejected;
    for (std::size_t i = 0; i < 256; ++i)
        SetColour(colours, i, palette[1 + 3 * i], palette[2 + 3 * i], palette[3 + 3 * i]);
    return file.seek(here, SEEK_SET) ? 0 : kPaletteRejected;
}

// One encoded row: a byte with both top bits set repeats the next byte (its low six bits) times; any other
// byte stands for itself. A run that would pass the end of the row is refused.
bool DecodeRow(FileStream& file, std::vector<std::uint8_t>& row)
{
    BoundedOutput out(row.data(), row.size());
    while (!out.full()) {
        const int byte = file.get_byte();
        if (byte < 0) return false;
        if ((byte & 0xC0) != 0xC0) {
            out.put(static_cast<std::uint8_t>(byte));
            continue;
        }
        const int value = file.get_byte();
        if (value < 0 || !out.fill(static_cast<std::size_t>(byte & 0x3F), static_cast<std::uint8_t>(value)))
            return false;
    }
    return true;
}

void ConvertRow(const std::vector<std::uint8_t>& row, const PcxLayout& layout, std::uint8_t* out)
{
    const std::int64_t width = layout.width;
    const std::uint8_t* in = row.data();
    const std::int64_t line = layout.bytes_per_line;
    switch (layout.kind) {
    case PcxKind::Monochrome:
        for (std::int64_t x = 0; x < width; ++x)
            std::fill_n(out + 3 * x, 3, static_cast<std::uint8_t>(((in[x / 8] >> (7 - x % 8)) & 1) ? 255 : 0));
        break;
    case PcxKind::FourBitPlane:
        for (std::int64_t x = 0; x < width; ++x)
            PutColour(layout.colours, x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F, out + 3 * x);
        break;
    case PcxKind::FourOneBitPlanes:
        for (std::int64_t x = 0; x < width; ++x) {
            int index = 0;
            for (int plane = 0; plane < 4; ++plane) index |= ((in[plane * line + x / 8] >> (7 - x % 8)) & 1) << plane;
            PutColour(layout.colours, static_cast<std::uint8_t>(index), out + 3 * x);
        }
        break;
    case PcxKind::Palette256:
        for (std::int64_t x = 0; x < width; ++x) PutColour(layout.colours, in[x], out + 3 * x);
        break;
    case PcxKind::TrueColour:
        for (std::int64_t x = 0; x < width; ++x) {
            out[3 * x] = in[2 * line + x];
            out[3 * x + 1] = in[line + x];
            out[3 * x + 2] = in[x];
        }
        break;
    }
}

int ReadPcxFile(FileStream& file, RowSink& sink)
{
    PcxLayout layout;
    if (const int code = ReadHeader(file, layout); code != 0) return code;
    if (!PlausibleImageSize(layout.width, layout.height, file.size(), kRunLengthPixelsPerByte))
        return kHeaderRejected;
    if (layout.kind == PcxKind::Palette256) {
        if (const int code = ReadTrailingPalette(file, layout.colours); code != 0) return code;
    }
    const int height = static_cast<int>(layout.height);
    if (!sink.Begin(static_cast<int>(layout.width), height, 0)) return kHeaderRejected;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.planes * layout.bytes_per_line));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = sink.Row(y);
        if (!out) return kHeaderRejected;
        if (!DecodeRow(file, row)) return kRowDataRejected;
        ConvertRow(row, layout, out);
        sink.RowsWritten(y + 1);
    }
    return 0;
}

// Appends one plane, run-length encoded. A run of r equal bytes becomes a run of r - 1 and the last byte on
// its own, except that a run reaching the end of the plane is written whole; runs stop at 63 and a single
// byte of 192 or more is written as a run of one.
void EncodePlane(const std::vector<std::uint8_t>& plane, std::vector<std::uint8_t>& encoded)
{
    const std::size_t length = plane.size();
    std::size_t s = 0;
    while (s < length) {
        if (s + 1 < length && plane[s] == plane[s + 1]) {
            std::size_t k = 1;
            while (s + k < length && k < 63 && (s + k + 1 == length || plane[s + k] == plane[s + k + 1])) ++k;
            encoded.push_back(static_cast<std::uint8_t>(0xC0 + k));
            encoded.push_back(plane[s]);
            s += k;
        } else {
            if (plane[s] >= 0xC0) encoded.push_back(0xC1);
            encoded.push_back(plane[s]);
            ++s;
        }
    }
}

}  // namespace

int DecodePcx(const std::string& path, RowSink& sink)
{
    // Memory that cannot be had for a header's size counts as a rejected header.
    return CatchOutOfMemory(kHeaderRejected, [&] {
        FileStream file(path, "rb");
        if (!file.is_open()) return static_cast<int>(kCannotOpen);
        return ReadPcxFile(file, sink);
    });
}

int ReadPcx(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodePcx(path, sink); });
}

int WritePcx(const ColorImage& source, const std::string& path)
{
    constexpr int kWriteCannotOpen = 1;
    constexpr int kHeaderWriteFailed = 2;
    constexpr int kRowWriteFailed = 3;

    return CatchOutOfMemory(kRowWriteFailed, [&] {
        // An empty image has no window to describe (xmax would be -1), and the window and line length fields
        // are 16 bits wide; such images are not written.
        if (source.empty() || source.width() > 0xFFFF || source.height() > 0x10000) return kHeaderWriteFailed;

        FileStream file(path, "wb");
        if (!file.is_open()) return kWriteCannotOpen;

        std::uint8_t header[kHeaderSize] = {};
        header[0] = kManufacturer;
        header[1] = 5;  // version
        header[2] = 1;  // run-length encoding
        header[3] = 8;  // bits per pixel per plane
        StoreLe16(header + 8, static_cast<std::uint32_t>(source.width() - 1));
        StoreLe16(header + 10, static_cast<std::uint32_t>(source.height() - 1));
        header[65] = 3;  // planes: red, green, blue
        StoreLe16(header + 66, static_cast<std::uint32_t>(source.width()));  // bytes per line, not rounded to even
        StoreLe16(header + 68, 2);
        if (!file.write(header, sizeof header)) return kHeaderWriteFailed;

        const std::size_t width = static_cast<std::size_t>(source.width());
        std::vector<std::uint8_t> plane(width);
        std::vector<std::uint8_t> encoded;
        encoded.reserve(3 * 2 * width);
        for (int y = 0; y < source.height(); ++y) {
            const std::uint8_t* row = source.row(y);
            encoded.clear();
            // Planes in red, green, blue order; the image stores blue, green, red.
            for (int channel = 2; channel >= 0; --channel) {
                for (std::size_t x = 0; x < width; ++x) plane[x] = row[3 * x + static_cast<std::size_t>(channel)];
                EncodePlane(plane, encoded);
            }
            if (!file.write(encoded.data(), encoded.size())) return kRowWriteFailed;
        }
        return file.close() ? 0 : kRowWriteFailed;
    });
}

}  // namespace tp
