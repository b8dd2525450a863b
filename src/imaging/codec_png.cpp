// PNG through libpng 1.6: any PNG reduced to 8-bit RGB and stored as BGR; writing 8-bit RGB, not
// interlaced, with the library's default compression and filtering.
//
// libpng reports errors by longjmp to the buffer set with png_jmpbuf. As in the JPEG codec, setjmp is called
// in a function that does nothing else, and the work it guards sits in functions whose locals are plain
// values; objects with destructors (file, library structures, row buffers) belong to the callers, so a
// jump never skips a destructor.
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <png.h>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"

namespace tp {
namespace {

constexpr std::size_t kSignatureBytes = 8;

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
};

void ReadLayoutSteps(png_structp png, png_infop info, std::FILE* file, DecodedLayout& layout)
{
    png_init_io(png, file);
    png_set_sig_bytes(png, static_cast<int>(kSignatureBytes));
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (std::int64_t{width} * height > kMaxImagePixels) png_error(png, "image too large");

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
    if (setjmp(png_jmpbuf(png))) return 4;
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

void AllocateOrFail(png_structp png, const DecodedLayout& layout, ColorImage& destination)
{
    if (!destination.allocate(static_cast<int>(layout.width), static_cast<int>(layout.height)))
        png_error(png, "out of memory");
}

// `rows` holds one row for a plain image, all rows for an interlaced one (each pass fills in more pixels).
// The destination is allocated once the first row has decoded, so a small file that claims a huge picture
// fails before taking the memory for it.
void ReadPixelsSteps(png_structp png, const DecodedLayout& layout, png_byte* rows, ColorImage& destination)
{
    const bool interlaced = layout.passes > 1;
    for (int pass = 0; pass < layout.passes; ++pass)
        for (png_uint_32 y = 0; y < layout.height; ++y) {
            png_byte* row = rows + (interlaced ? y * layout.row_bytes : 0);
            png_read_row(png, row, nullptr);
            if (interlaced) continue;
            if (y == 0) AllocateOrFail(png, layout, destination);
            StoreRow(layout, row, destination.row(static_cast<int>(y)));
        }
    if (interlaced) {
        AllocateOrFail(png, layout, destination);
        for (png_uint_32 y = 0; y < layout.height; ++y)
            StoreRow(layout, rows + y * layout.row_bytes, destination.row(static_cast<int>(y)));
    }
    png_read_end(png, nullptr);
}

int ReadPixelsGuarded(png_structp png, const DecodedLayout& layout, png_byte* rows, ColorImage& destination)
{
    if (setjmp(png_jmpbuf(png))) return 4;
    ReadPixelsSteps(png, layout, rows, destination);
    return 0;
}

int DecodePng(std::FILE* file, ColorImage& destination)
{
    PngReadStructs structs;
    if (!structs.png || !structs.info) return 3;

    DecodedLayout layout;
    if (ReadLayoutGuarded(structs.png, structs.info, file, layout) != 0) return 4;
    // Buffers are sized from what libpng says a row holds, never from the colour type.
    if (layout.bit_depth != 8 || layout.channels < 1 || layout.channels > 4 || layout.width == 0 ||
        layout.height == 0 || layout.row_bytes != std::size_t{layout.width} * static_cast<std::size_t>(layout.channels))
        return 4;

    // Left uninitialised on purpose: libpng writes every byte before we read it, and untouched pages of a
    // large interlaced buffer cost nothing when a small file claiming a huge picture fails early.
    const std::size_t buffered_rows = layout.passes > 1 ? layout.height : 1;
    const std::unique_ptr<png_byte[]> rows(new (std::nothrow) png_byte[layout.row_bytes * buffered_rows]);
    if (!rows) return 4;
    return ReadPixelsGuarded(structs.png, layout, rows.get(), destination);
}

int DecodePngFile(const std::string& path, ColorImage& destination)
{
    FileStream file(path, "rb");
    if (!file.is_open()) return 1;
    png_byte signature[kSignatureBytes];
    if (!file.read(signature, sizeof signature) || png_sig_cmp(signature, 0, sizeof signature) != 0) return 2;
    return DecodePng(file.get(), destination);
}

void WriteSteps(png_structp png, png_infop info, std::FILE* file, const ColorImage& source, png_byte* row)
{
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(source.width()), static_cast<png_uint_32>(source.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* in = source.row(y);
        png_byte* out = row;
        for (int x = 0; x < source.width(); ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
}

int WriteGuarded(png_structp png, png_infop info, std::FILE* file, const ColorImage& source, png_byte* row)
{
    if (setjmp(png_jmpbuf(png))) return 4;
    WriteSteps(png, info, file, source, row);
    return 0;
}

}  // namespace

int ReadPng(ColorImage& destination, const std::string& path)
{
    const int code = DecodePngFile(path, destination);
    if (code != 0) destination.release();
    return code;
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
        std::vector<png_byte> row;
        try {
            row.resize(static_cast<std::size_t>(source.width()) * 3);
        } catch (const std::bad_alloc&) {
            return 4;
        }
        code = WriteGuarded(structs.png, structs.info, file.get(), source, row.data());
    }
    if (!file.close() && code == 0) code = 4;
    return code;
}

}  // namespace tp
