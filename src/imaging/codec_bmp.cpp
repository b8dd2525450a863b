// Windows bitmaps. Reads 1-, 4-, 8-, 16-, 24- and 32-bit files with the OS/2 (12-byte) or Windows (40-byte)
// header, uncompressed or run-length encoded; writes 24-bit bottom-up uncompressed files.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/codec_support.h"
#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

enum BmpReadCode {
    kCannotOpen = 1,
    kHeaderRejected = 2,
    kPaletteUnreadable = 3,
    kPixelDataUnreadable = 4,
    kUnsupportedLayout = 5,
};

enum BmpCompression : std::uint32_t { kUncompressed = 0, kRunLength8 = 1, kRunLength4 = 2 };

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool top_down = false;
    int bits = 0;
    std::uint32_t compression = kUncompressed;
    std::int64_t palette_entries = 0;
    int palette_entry_size = 4;
    // Bytes per file row: ceil(width x bits / 8) rounded up to a multiple of 4.
    std::int64_t row_size = 0;
};

int ReadHeaders(FileStream& file, BmpLayout& layout)
{
    std::uint8_t file_header[kFileHeaderSize];
    if (!file.read(file_header, sizeof file_header)) return kHeaderRejected;
    // The file size and data offset are not trusted: the pixel data is read right after the palette.
    if (file_header[0] != 'B' || file_header[1] != 'M') return kHeaderRejected;

    std::uint8_t info[kInfoHeaderSize];
    if (!file.read(info, 4)) return kHeaderRejected;
    const std::uint32_t header_size = LoadLe32(info);
    std::int64_t height = 0;
    std::uint32_t colours_used = 0;
    if (header_size == kCoreHeaderSize) {
        if (!file.read(info + 4, kCoreHeaderSize - 4)) return kHeaderRejected;
        // OS/2 sizes are unsigned 16-bit, so these files are always bottom-up.
        layout.width = LoadLe16(info + 4);
        height = LoadLe16(info + 6);
        layout.bits = LoadLe16(info + 10);
        layout.palette_entry_size = 3;
    } else if (header_size == kInfoHeaderSize) {
        if (!file.read(info + 4, kInfoHeaderSize - 4)) return kHeaderRejected;
        layout.width = static_cast<std::int32_t>(LoadLe32(info + 4));
        height = static_cast<std::int32_t>(LoadLe32(info + 8));
        layout.bits = LoadLe16(info + 14);
        layout.compression = LoadLe32(info + 16);
        colours_used = LoadLe32(info + 32);
        layout.palette_entry_size = 4;
    } else {
        return kHeaderRejected;
    }

    // A height of 0 or less marks top-down rows. Negated in 64 bits, so INT32_MIN is just a large height.
    layout.top_down = height <= 0;
    layout.height = layout.top_down ? -height : height;
    // An image without pixels is no image to load.
    if (layout.width <= 0 || layout.height <= 0) return kHeaderRejected;

    const int bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return kUnsupportedLayout;
    // Each run-length scheme only makes sense with its own pixel size; other pairings would decode indices
    // that the row conversion does not expect.
    if (layout.compression == kRunLength8 && bits != 8) return kUnsupportedLayout;
    if (layout.compression == kRunLength4 && bits != 4) return kUnsupportedLayout;
    if (layout.compression > kRunLength4) return kUnsupportedLayout;

    if (colours_used != 0) layout.palette_entries = colours_used;
    else if (bits <= 8) layout.palette_entries = std::int64_t{1} << bits;
    layout.row_size = (layout.width * bits + 31) / 32 * 4;
    return 0;
}

// Reads the palette into `colours`. Entries past 256 are skipped: no index can reach them.
int ReadPalette(FileStream& file, const BmpLayout& layout, ColourTable& colours)
{
    const std::int64_t palette_bytes = layout.palette_entries * layout.palette_entry_size;
    const long long remaining = BytesRemaining(file);
    if (remaining < 0 || palette_bytes > remaining) return kPaletteUnreadable;
    const std::int64_t kept = std::min<std::int64_t>(layout.palette_entries, 256);
    for (std::int64_t i = 0; i < kept; ++i) {
        std::uint8_t entry[4];
        if (!file.read(entry, static_cast<std::size_t>(layout.palette_entry_size))) return kPaletteUnreadable;
        SetColour(colours, static_cast<std::size_t>(i), entry[2], entry[1], entry[0]);
    }
    const std::int64_t skipped = (layout.palette_entries - kept) * layout.palette_entry_size;
    if (skipped > 0 && !file.seek(static_cast<long>(skipped), SEEK_CUR)) return kPaletteUnreadable;
    return 0;
}

// One uncompressed file row into one image row of blue, green, red bytes.
void ConvertRow(const std::uint8_t* in, const BmpLayout& layout, const ColourTable& colours, std::uint8_t* out)
{
    const std::int64_t width = layout.width;
    switch (layout.bits) {
    case 1:
        for (std::int64_t x = 0; x < width; ++x)
            PutColour(colours, (in[x / 8] >> (7 - x % 8)) & 1, out + 3 * x);
        break;
    case 4:
        for (std::int64_t x = 0; x < width; ++x)
            PutColour(colours, x % 2 == 0 ? in[x / 2] >> 4 : in[x / 2] & 0x0F, out + 3 * x);
        break;
    case 8:
        for (std::int64_t x = 0; x < width; ++x) PutColour(colours, in[x], out + 3 * x);
        break;
    case 16:
        for (std::int64_t x = 0; x < width; ++x) {
            // 5-5-5: blue in bits 0-4, green 5-9, red 10-14; bit 15 unused.
            const std::uint16_t v = LoadLe16(in + 2 * x);
            out[3 * x] = static_cast<std::uint8_t>((v & 0x1F) << 3);
            out[3 * x + 1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) << 3);
            out[3 * x + 2] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) << 3);
        }
        break;
    case 24: std::copy_n(in, 3 * width, out); break;
    case 32:
        for (std::int64_t x = 0; x < width; ++x) std::copy_n(in + 4 * x, 3, out + 3 * x);
        break;
    default: break;
    }
}

// The file row that holds image row y.
std::int64_t FileRowOf(std::int64_t y, const BmpLayout& layout) { return layout.top_down ? y : layout.height - 1 - y; }

// Rows are handed on from the top. A bottom-up file is read backwards in blocks of rows, so that it is never
// held whole either.
int ReadUncompressedRows(FileStream& file, const BmpLayout& layout, const ColourTable& colours, RowSink& sink)
{
    constexpr std::int64_t kBlockBytes = std::int64_t{1} << 20;
    // Refused before anything is allocated: a short file cannot supply the rows.
    const long long remaining = BytesRemaining(file);
    if (remaining < 0 || layout.row_size * layout.height > remaining) return kPixelDataUnreadable;
    const long data_start = file.tell();
    if (data_start < 0) return kPixelDataUnreadable;
    const std::int64_t block_rows = layout.top_down ? 1 : std::clamp<std::int64_t>(kBlockBytes / layout.row_size, 1, layout.height);
    if (!sink.Begin(static_cast<int>(layout.width), static_cast<int>(layout.height), 0)) return kHeaderRejected;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(block_rows * layout.row_size));
    // The block holds file rows [block_first, block_first + block_rows); none are read yet.
    std::int64_t block_first = -1;
    for (std::int64_t y = 0; y < layout.height; ++y) {
        const std::int64_t file_row = FileRowOf(y, layout);
        if (block_first < 0 || file_row < block_first || file_row >= block_first + block_rows) {
            block_first = layout.top_down ? file_row : std::max<std::int64_t>(0, file_row - block_rows + 1);
            const std::int64_t rows = std::min(block_rows, layout.height - block_first);
            if (!layout.top_down && !file.seek(static_cast<long>(data_start + block_first * layout.row_size), SEEK_SET))
                return kPixelDataUnreadable;
            if (!file.read(block.data(), static_cast<std::size_t>(rows * layout.row_size))) return kPixelDataUnreadable;
        }
        std::uint8_t* out = sink.Row(static_cast<int>(y));
        if (!out) return kHeaderRejected;
        ConvertRow(block.data() + (file_row - block_first) * layout.row_size, layout, colours, out);
        sink.RowsWritten(static_cast<int>(y) + 1);
    }
    return 0;
}

// Pixels a run-length row can hold: the row as stored uncompressed, padding included. Some encoders run
// their last run on into that padding, so runs there are accepted (and never shown).
std::int64_t RunLengthRowPixels(const BmpLayout& layout) { return layout.row_size * 8 / layout.bits; }

// Decodes 8- or 4-bit run-length data into one index byte per pixel, rows of RunLengthRowPixels in file
// order. Pixels the data skips (delta moves, early row or bitmap ends) keep index 0. Any run, absolute run or
// delta move that would leave the row or the image is refused.
int DecodeRuns(FileStream& file, const BmpLayout& layout, std::vector<std::uint8_t>& indices)
{
    const bool four_bit = layout.compression == kRunLength4;
    const std::int64_t width = RunLengthRowPixels(layout);
    const std::int64_t height = layout.height;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::uint8_t absolute[256];
    for (;;) {
        const int count = file.get_byte();
        const int value = file.get_byte();
        if (count < 0 || value < 0) return kPixelDataUnreadable;
        if (count > 0) {
            if (x + count > width) return kPixelDataUnreadable;
            std::uint8_t* out = indices.data() + y * width + x;
            for (int i = 0; i < count; ++i)
                out[i] = static_cast<std::uint8_t>(!four_bit ? value : i % 2 == 0 ? value >> 4 : value & 0x0F);
            x += count;
        } else if (value == 0) {  // end of row
            x = 0;
            // Every row delivered: an end-of-bitmap mark may follow, but nothing more can be written.
            if (++y == height) return 0;
        } else if (value == 1) {  // end of bitmap
            return 0;
        } else if (value == 2) {  // delta move
            const int dx = file.get_byte();
            const int dy = file.get_byte();
            if (dx < 0 || dy < 0) return kPixelDataUnreadable;
            if (x + dx > width || y + dy >= height) return kPixelDataUnreadable;
            x += dx;
            y += dy;
        } else {  // absolute run of `value` pixels, padded to an even number of bytes
            if (x + value > width) return kPixelDataUnreadable;
            const int bytes = four_bit ? (value + 1) / 2 : value;
            const int padded = bytes + bytes % 2;
            if (!file.read(absolute, static_cast<std::size_t>(padded))) return kPixelDataUnreadable;
            std::uint8_t* out = indices.data() + y * width + x;
            for (int i = 0; i < value; ++i)
                out[i] = !four_bit ? absolute[i]
                                   : static_cast<std::uint8_t>(i % 2 == 0 ? absolute[i / 2] >> 4
                                                                          : absolute[i / 2] & 0x0F);
            x += value;
        }
    }
}

// Runs can move down past rows and end the picture early, so the whole picture's indices are decoded before
// any row is handed on.
int ReadRunLengthRows(FileStream& file, const BmpLayout& layout, const ColourTable& colours, RowSink& sink)
{
    const std::int64_t row_pixels = RunLengthRowPixels(layout);
    const std::size_t index_bytes = static_cast<std::size_t>(row_pixels * layout.height);
    if (!sink.Begin(static_cast<int>(layout.width), static_cast<int>(layout.height), index_bytes)) return kHeaderRejected;
    std::vector<std::uint8_t> indices(index_bytes);
    if (const int code = DecodeRuns(file, layout, indices); code != 0) return code;
    for (std::int64_t y = 0; y < layout.height; ++y) {
        const std::uint8_t* in = indices.data() + FileRowOf(y, layout) * row_pixels;
        std::uint8_t* out = sink.Row(static_cast<int>(y));
        if (!out) return kHeaderRejected;
        for (std::int64_t x = 0; x < layout.width; ++x) PutColour(colours, in[x], out + 3 * x);
        sink.RowsWritten(static_cast<int>(y) + 1);
    }
    return 0;
}

int ReadBmpFile(FileStream& file, RowSink& sink)
{
    BmpLayout layout;
    if (const int code = ReadHeaders(file, layout); code != 0) return code;
    const bool run_length = layout.compression != kUncompressed;
    if (!PlausibleImageSize(layout.width, layout.height, file.size(),
                            run_length ? kRunLengthPixelsPerByte : kRawPixelsPerByte))
        return kHeaderRejected;
    // Indices beyond the palette the file gives read as black.
    ColourTable colours{};
    if (const int code = ReadPalette(file, layout, colours); code != 0) return code;
    return run_length ? ReadRunLengthRows(file, layout, colours, sink) : ReadUncompressedRows(file, layout, colours, sink);
}

}  // namespace

int DecodeBmp(const std::string& path, RowSink& sink)
{
    // Memory that cannot be had for a header's size counts as a rejected header.
    return CatchOutOfMemory(kHeaderRejected, [&] {
        FileStream file(path, "rb");
        if (!file.is_open()) return static_cast<int>(kCannotOpen);
        return ReadBmpFile(file, sink);
    });
}

int ReadBmp(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodeBmp(path, sink); });
}

int WriteBmp(const ColorImage& source, const std::string& path)
{
    constexpr int kWriteCannotOpen = 1;
    constexpr int kWriteFailed = 2;
    constexpr std::uint32_t kDataOffset = kFileHeaderSize + kInfoHeaderSize;
    // 3846 pixels per metre is about 97.7 pixels per inch.
    constexpr std::uint32_t kPixelsPerMetre = 3846;

    return CatchOutOfMemory(kWriteFailed, [&] {
        // A bitmap without pixels is not a file other programs accept, so an empty image is not written.
        if (source.empty()) return kWriteFailed;
        const std::uint64_t row_size = ColorImage::StrideFor(source.width());
        const std::uint64_t file_size = kDataOffset + row_size * static_cast<std::uint64_t>(source.height());
        // The file size field is 32 bits wide.
        if (file_size > UINT32_MAX) return kWriteFailed;

        FileStream file(path, "wb");
        if (!file.is_open()) return kWriteCannotOpen;

        std::uint8_t header[kDataOffset] = {};
        header[0] = 'B';
        header[1] = 'M';
        StoreLe32(header + 2, static_cast<std::uint32_t>(file_size));
        StoreLe32(header + 10, kDataOffset);
        std::uint8_t* info = header + kFileHeaderSize;
        StoreLe32(info, kInfoHeaderSize);
        StoreLe32(info + 4, static_cast<std::uint32_t>(source.width()));
        StoreLe32(info + 8, static_cast<std::uint32_t>(source.height()));
        StoreLe16(info + 12, 1);
        StoreLe16(info + 14, 24);
        StoreLe32(info + 24, kPixelsPerMetre);
        StoreLe32(info + 28, kPixelsPerMetre);
        if (!file.write(header, sizeof header)) return kWriteFailed;

        // The image rows already have the bitmap's row size; the padding is written as zeros.
        std::vector<std::uint8_t> row(static_cast<std::size_t>(row_size), 0);
        const std::size_t pixel_bytes = 3 * static_cast<std::size_t>(source.width());
        for (int y = source.height() - 1; y >= 0; --y) {
            std::copy_n(source.row(y), pixel_bytes, row.begin());
            if (!file.write(row.data(), row.size())) return kWriteFailed;
        }
        return file.close() ? 0 : kWriteFailed;
    });
}

}  // namespace tp
