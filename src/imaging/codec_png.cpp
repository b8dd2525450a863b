// PNG through libpng 1.6: any PNG reduced to 8-bit RGB and stored as BGR; writing 8-bit RGB, not
// interlaced, with the library's default compression settings and filter choice.
//
// libpng reports errors by longjmp to the buffer set with png_jmpbuf. As in the JPEG codec, setjmp is called
// in a function that does nothing else, and the work it guards sits in functions whose locals are plain
// values; objects with destructors (file, library structures, row buffers) belong to the callers, so a
// jump never skips a destructor.
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "imaging/codecs.h"
#include "imaging/deflate_pieces.h"
#include "imaging/file_stream.h"
#include "imaging/parallel.h"
#include "imaging/png_row_filter.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

constexpr std::size_t kSignatureBytes = 8;
// Reading codes: 1 cannot open, 2 not a PNG signature, 3 library structures, 4 data, and this one for a
// picture of more pixels than any reader accepts.
constexpr int kTooLarge = 5;

// libpng must not print: errors jump back, warnings are dropped.
[[noreturn]] void JumpBack(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

struct PngReadStructs {
    PngReadStructs()
    {
        // The version string must be this header's own: libpng 1.6 refuses older ones.
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
        if (png) info = png_create_info_struct(png);
    }
    ~PngReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
    PngReadStructs(const PngReadStructs&) = delete;
    PngReadStructs& operator=(const PngReadStructs&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

struct PngWriteStructs {
    PngWriteStructs()
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
        if (png) info = png_create_info_struct(png);
    }
    ~PngWriteStructs() { png_destroy_write_struct(&png, &info); }
    PngWriteStructs(const PngWriteStructs&) = delete;
    PngWriteStructs& operator=(const PngWriteStructs&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// What the rows look like after the transformations, as libpng reports it.
struct DecodedLayout {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int channels = 0;
    int bit_depth = 0;
    std::size_t row_bytes = 0;
    int passes = 1;
    bool too_large = false;  // more pixels than any reader accepts
};

void ReadLayoutSteps(png_structp png, png_infop info, std::FILE* file, DecodedLayout& layout)
{
    png_init_io(png, file);
    png_set_sig_bytes(png, static_cast<int>(kSignatureBytes));
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (std::int64_t{width} * height > kMaxImagePixels) {
        layout.too_large = true;
        png_error(png, "image too large");
    }

    const int bit_depth = png_get_bit_depth(png, info);
    const int color_type = png_get_color_type(png, info);
    if (bit_depth == 16) png_set_strip_16(png);
    if (color_type & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
    // Expansion also turns a tRNS chunk into an alpha channel, so rows may still carry one afterwards.
    if (color_type == PNG_COLOR_TYPE_PALETTE || bit_depth < 8) png_set_expand(png);
    if (color_type == PNG_COLOR_TYPE_GRAY || color_type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    layout.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    layout.width = width;
    layout.height = height;
    layout.channels = png_get_channels(png, info);
    layout.bit_depth = png_get_bit_depth(png, info);
    layout.row_bytes = png_get_rowbytes(png, info);
}

int ReadLayoutGuarded(png_structp png, png_infop info, std::FILE* file, DecodedLayout& layout)
{
    if (setjmp(png_jmpbuf(png))) return layout.too_large ? kTooLarge : 4;
    ReadLayoutSteps(png, info, file, layout);
    return 0;
}

// One decoded row of 1 to 4 eight-bit channels into one BGR row.
void StoreRow(const DecodedLayout& layout, const png_byte* in, std::uint8_t* out)
{
    const int channels = layout.channels;
    for (png_uint_32 x = 0; x < layout.width; ++x, in += channels, out += 3) {
        if (channels <= 2) {
            out[0] = out[1] = out[2] = in[0];  // grey, or grey and alpha
        } else {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}

// Room for row y in the sink, or a library error when none can be had.
png_byte* RowOrFail(png_structp png, RowSink& sink, png_uint_32 y)
{
    std::uint8_t* row = sink.Row(static_cast<int>(y));
    if (!row) png_error(png, "out of memory");
    return row;
}

// `rows` holds one row for a plain image, all rows for an interlaced one (each pass fills in more pixels).
// A plain image's first row is decoded before the sink is asked for room, so a small file that claims a
// huge picture fails before taking the memory for it.
void ReadPixelsSteps(png_structp png, const DecodedLayout& layout, png_byte* rows, RowSink& sink)
{
    if (layout.passes > 1) {
        for (int pass = 0; pass < layout.passes; ++pass)
            for (png_uint_32 y = 0; y < layout.height; ++y) png_read_row(png, rows + y * layout.row_bytes, nullptr);
        for (png_uint_32 y = 0; y < layout.height; ++y) {
            StoreRow(layout, rows + y * layout.row_bytes, RowOrFail(png, sink, y));
            sink.RowsWritten(static_cast<int>(y) + 1);
        }
    } else {
        for (png_uint_32 y = 0; y < layout.height; ++y) {
            png_read_row(png, rows, nullptr);
            StoreRow(layout, rows, RowOrFail(png, sink, y));
            sink.RowsWritten(static_cast<int>(y) + 1);
        }
    }
    png_read_end(png, nullptr);
}

int ReadPixelsGuarded(png_structp png, const DecodedLayout& layout, png_byte* rows, RowSink& sink)
{
    if (setjmp(png_jmpbuf(png))) return 4;
    ReadPixelsSteps(png, layout, rows, sink);
    return 0;
}

int DecodePngStream(std::FILE* file, RowSink& sink)
{
    PngReadStructs structs;
    if (!structs.png || !structs.info) return 3;

    DecodedLayout layout;
    if (const int code = ReadLayoutGuarded(structs.png, structs.info, file, layout); code != 0) return code;
    // Buffers are sized from what libpng says a row holds, never from the colour type.
    if (layout.bit_depth != 8 || layout.channels < 1 || layout.channels > 4 || layout.width == 0 ||
        layout.height == 0 || layout.row_bytes != std::size_t{layout.width} * static_cast<std::size_t>(layout.channels))
        return 4;

    // An interlaced image comes whole only after its last pass: it is held at full size until then.
    const std::size_t buffered_rows = layout.passes > 1 ? layout.height : 1;
    if (!sink.Begin(static_cast<int>(layout.width), static_cast<int>(layout.height),
                    buffered_rows > 1 ? layout.row_bytes * buffered_rows : 0))
        return 4;
    // Left uninitialised on purpose: libpng writes every byte before we read it, and untouched pages of a
    // large interlaced buffer cost nothing when a small file claiming a huge picture fails early.
    const std::unique_ptr<png_byte[]> rows(new (std::nothrow) png_byte[layout.row_bytes * buffered_rows]);
    if (!rows) return 4;
    return ReadPixelsGuarded(structs.png, layout, rows.get(), sink);
}

int DecodePngFile(const std::string& path, RowSink& sink)
{
    FileStream file(path, "rb");
    if (!file.is_open()) return 1;
    png_byte signature[kSignatureBytes];
    if (!file.read(signature, sizeof signature) || png_sig_cmp(signature, 0, sizeof signature) != 0) return 2;
    return DecodePngStream(file.get(), sink);
}

// The image data is filtered and compressed here rather than row by row in libpng, so that pieces of it can
// be compressed on all cores: the same filter choice and zlib settings libpng uses by default (default level,
// filtered strategy), one zlib stream, written as IDAT chunks between libpng's header and end chunks.
constexpr int kBytesPerPixel = 3;
constexpr std::size_t kPieceBytes = std::size_t{1} << 19;  // filtered bytes per piece, whatever the thread count
constexpr DeflateSettings kPngDeflate{Z_DEFAULT_COMPRESSION, Z_FILTERED};

struct PngPiece {
    bool ok = false;
    std::vector<std::uint8_t> bytes;  // compressed; the first piece starts with the zlib header
    std::uint32_t adler = 1;
    std::size_t length = 0;  // filtered bytes the piece holds
};

class PngImageData {
public:
    explicit PngImageData(const ColorImage& source)
        : source_(source),
          row_bytes_(static_cast<std::size_t>(source.width()) * kBytesPerPixel),
          stride_(row_bytes_ + 1),
          rows_per_piece_(static_cast<int>(std::max<std::size_t>(1, kPieceBytes / stride_))),
          dictionary_rows_(static_cast<int>((kDeflateWindow + stride_ - 1) / stride_))
    {
    }

    int piece_count() const { return (source_.height() + rows_per_piece_ - 1) / rows_per_piece_; }

    // Filters the piece's rows, and the rows before it that serve as its dictionary, and compresses them.
    PngPiece MakePiece(int piece) const
    {
        PngPiece result;
        const int first = piece * rows_per_piece_;
        const int end = std::min(source_.height(), first + rows_per_piece_);
        const int primed = std::max(0, first - dictionary_rows_);
        try {
            std::vector<std::uint8_t> filtered(static_cast<std::size_t>(end - primed) * stride_);
            FilterRows(primed, end, filtered.data());
            const std::size_t before = static_cast<std::size_t>(first - primed) * stride_;
            const std::uint8_t* data = filtered.data() + before;
            result.length = filtered.size() - before;
            result.adler = Adler32(data, result.length);
            if (piece == 0) result.bytes = ZlibHeader(kPngDeflate.level);
            result.ok = DeflatePiece(data, result.length, filtered.data(), before, piece + 1 == piece_count(),
                                     kPngDeflate, result.bytes);
        } catch (const std::bad_alloc&) {
            result.ok = false;
        }
        return result;
    }

private:
    void ToRgb(int y, std::uint8_t* out) const
    {
        const std::uint8_t* in = source_.row(y);
        for (int x = 0; x < source_.width(); ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }

    void FilterRows(int first, int end, std::uint8_t* out) const
    {
        std::vector<std::uint8_t> above(row_bytes_, 0);
        std::vector<std::uint8_t> raw(row_bytes_);
        if (first > 0) ToRgb(first - 1, above.data());
        for (int y = first; y < end; ++y, out += stride_) {
            ToRgb(y, raw.data());
            const PngFilter filter = ChoosePngFilter(raw.data(), above.data(), row_bytes_, kBytesPerPixel);
            ApplyPngFilter(filter, raw.data(), above.data(), row_bytes_, kBytesPerPixel, out);
            raw.swap(above);
        }
    }

    const ColorImage& source_;
    std::size_t row_bytes_;
    std::size_t stride_;
    int rows_per_piece_;
    int dictionary_rows_;
};

int WriteHeaderGuarded(png_structp png, png_infop info, std::FILE* file, const ColorImage& source)
{
    if (setjmp(png_jmpbuf(png))) return 4;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(source.width()), static_cast<png_uint_32>(source.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    return 0;
}

int WriteChunkGuarded(png_structp png, const char* name, const std::uint8_t* data, std::size_t size)
{
    if (setjmp(png_jmpbuf(png))) return 4;
    png_write_chunk(png, reinterpret_cast<png_const_bytep>(name), data, size);
    return 0;
}

int WriteImageData(png_structp png, const ColorImage& source)
{
    constexpr std::size_t kMaxChunk = std::size_t{1} << 30;  // a chunk's length must stay below 2^31
    const PngImageData image(source);
    const int pieces = image.piece_count();
    std::uint32_t adler = 1;
    int code = 0;
    OrderedPipeline<PngPiece>(
        pieces, [&](int piece) { return image.MakePiece(piece); },
        [&](int piece, PngPiece& made) {
            if (!made.ok) {
                code = 4;
                return false;
            }
            adler = JoinAdler32(adler, made.adler, made.length);
            if (piece + 1 == pieces)
                for (int shift = 24; shift >= 0; shift -= 8) made.bytes.push_back(static_cast<std::uint8_t>(adler >> shift));
            for (std::size_t at = 0; at < made.bytes.size() && code == 0; at += kMaxChunk)
                code = WriteChunkGuarded(png, "IDAT", made.bytes.data() + at, std::min(kMaxChunk, made.bytes.size() - at));
            return code == 0;
        });
    return code;
}

}  // namespace

int DecodePng(const std::string& path, RowSink& sink) { return DecodePngFile(path, sink); }

int ReadPng(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodePngFile(path, sink); });
}

int WritePng(const ColorImage& source, const std::string& path)
{
    // A PNG cannot hold an empty image: fail as libpng would, but before creating a file.
    if (source.empty()) return 4;
    FileStream file(path, "wb");
    if (!file.is_open()) return 1;
    int code = 0;
    {
        PngWriteStructs structs;
        if (!structs.png) return 2;
        if (!structs.info) return 3;
        code = WriteHeaderGuarded(structs.png, structs.info, file.get(), source);
        if (code == 0) code = WriteImageData(structs.png, source);
        if (code == 0) code = WriteChunkGuarded(structs.png, "IEND", nullptr, 0);
    }
    if (!file.close() && code == 0) code = 4;
    return code;
}

}  // namespace tp
