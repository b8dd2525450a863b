// JPEG through libjpeg (6.2 interface): decoding to BGR at full size with default output settings, and
// encoding RGB at a given quality with baseline forced.
//
// libjpeg reports fatal errors by calling error_exit, which must not return. Ours longjmps back to a frame
// set in a small function whose only job is to call setjmp and then the real work. Every object with a
// destructor (the file, the library object's guard, the destination image) lives in the caller of that
// function, so a jump never skips a destructor: the frames it unwinds are libjpeg's C frames and our work
// functions, which hold only plain pointers and integers.
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

// Legitimate progressive files use about ten scans; each scan walks the whole coefficient buffer, so a
// file with thousands of tiny scans would make a small file cost minutes.
constexpr int kMaxScans = 500;

// A ceiling on libjpeg's whole-image buffers (libjpeg-turbo has no backing store, so asking for more is an
// error). A progressive picture of the largest size we accept (2^28 pixels) with three full-resolution
// components needs about 1.5 GiB of coefficients.
constexpr long kMaxDecoderMemory = 2L * 1024 * 1024 * 1024;

struct JpegErrors {
    jpeg_error_mgr base;  // first, so libjpeg's pointer to it is also a pointer to the whole record
    std::jmp_buf jump;
};

JpegErrors& ErrorsOf(j_common_ptr info) { return *reinterpret_cast<JpegErrors*>(info->err); }

[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(ErrorsOf(info).jump, 1); }

// Warnings (level -1) and trace messages are dropped, so nothing is ever printed. Two warnings mean that
// pixels are missing, which libjpeg would fill with grey and call success; for us they are a failed read:
// - the file ended early (even one that lacks only its end marker, as the decoder reads a few bytes ahead);
// - a scan's data ended before the image did. This also stops a tiny file that claims a huge image from
//   costing a full decode of nothing.
void FilterMessage(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) JumpBack(info);
}

void PrintNothing(j_common_ptr) {}

void InstallErrors(JpegErrors& errors)
{
    jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpBack;
    errors.base.emit_message = FilterMessage;
    errors.base.output_message = PrintNothing;
}

void StopAfterTooManyScans(j_common_ptr info)
{
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        JumpBack(info);
}

// The decompressor and its companions; destroying a never-created object is safe because libjpeg only
// frees what its memory manager (still null after zero-initialisation) holds.
struct JpegDecoder {
    JpegDecoder()
    {
        InstallErrors(errors);
        info.err = &errors.base;
    }
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    jpeg_decompress_struct info{};
    JpegErrors errors{};
    jpeg_progress_mgr progress{};
};

struct JpegEncoder {
    JpegEncoder()
    {
        InstallErrors(errors);
        info.err = &errors.base;
    }
    ~JpegEncoder() { jpeg_destroy_compress(&info); }
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    jpeg_compress_struct info{};
    JpegErrors errors{};
};

// Grey, RGB (libjpeg's default output for YCbCr and RGB files) and CMYK (its output for CMYK and YCCK
// files). Anything else (two components, five or more) is refused before any pixel memory is taken.
bool IsSupportedOutput(const jpeg_decompress_struct& info)
{
    return (info.out_color_space == JCS_GRAYSCALE && info.output_components == 1) ||
           (info.out_color_space == JCS_RGB && info.output_components == 3) ||
           (info.out_color_space == JCS_EXT_BGR && info.output_components == 3) ||
           (info.out_color_space == JCS_CMYK && info.output_components == 4);
}

// One decoded scanline into one BGR row.
void StoreScanline(const jpeg_decompress_struct& info, const JSAMPLE* in, std::uint8_t* out)
{
    const JDIMENSION width = info.output_width;
    switch (info.output_components) {
    case 1:
        for (JDIMENSION x = 0; x < width; ++x, out += 3) out[0] = out[1] = out[2] = in[x];
        break;
    case 3:
        if (info.out_color_space == JCS_EXT_BGR) {
            std::copy_n(in, 3 * static_cast<std::size_t>(width), out);
            break;
        }
        for (JDIMENSION x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        break;
    case 4: {
        // Cyan, magenta, yellow and black become red, green and blue by multiplying the light each ink
        // leaves. Files with an Adobe marker (Photoshop's) store inverted inks, so there a sample already is
        // that light; without the marker a sample is the amount of ink.
        const bool inverted = info.saw_Adobe_marker;
        for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
            const unsigned black_light = inverted ? in[3] : 255u - in[3];
            for (int c = 0; c < 3; ++c) {
                const unsigned light = inverted ? in[c] : 255u - in[c];
                out[2 - c] = static_cast<std::uint8_t>((light * black_light + 127) / 255);
            }
        }
        break;
    }
    default: break;
    }
}

// Bytes of the whole-image coefficient buffers the decoder keeps for a file of several scans (progressive
// ones, say): two bytes for each of the 64 coefficients of every block of every component. A file of one
// scan is decoded a row of blocks at a time.
std::size_t CoefficientBytes(jpeg_decompress_struct& info)
{
    if (!jpeg_has_multiple_scans(&info)) return 0;
    std::size_t bytes = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        bytes += std::size_t{component.width_in_blocks} * component.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes;
}

// The decoding steps. libjpeg errors longjmp out of here (see the top of the file); the sink's calls return
// before anything can jump.
int DecodeSteps(JpegDecoder& decoder, std::FILE* file, RowSink& sink)
{
    jpeg_decompress_struct& info = decoder.info;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    decoder.progress.progress_monitor = StopAfterTooManyScans;
    info.progress = &decoder.progress;
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);

    // Sizes and components are known before any large allocation: refuse here.
    // Colour files decode straight into blue, green, red order: the same samples, without a reordering pass.
    if (info.out_color_space == JCS_RGB) info.out_color_space = JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&info);
    const std::int64_t pixels = std::int64_t{info.output_width} * info.output_height;
    if (!IsSupportedOutput(info) || pixels <= 0 || pixels > kMaxImagePixels) return 2;
    // Before starting: a file of several scans is read whole into its coefficient buffers right away.
    if (!sink.Begin(static_cast<int>(info.output_width), static_cast<int>(info.output_height), CoefficientBytes(info)))
        return 2;

    jpeg_start_decompress(&info);
    const JDIMENSION width = info.output_width;
    const JDIMENSION height = info.output_height;
    if (!IsSupportedOutput(info) || std::int64_t{width} * height != pixels) return 2;

    // From libjpeg's pool, freed with the decompressor.
    JSAMPARRAY scanline = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                    width * static_cast<JDIMENSION>(info.output_components), 1);
    // The sink is asked for room once the first row has decoded, so a small file that claims a huge picture
    // fails before taking the memory for it.
    if (jpeg_read_scanlines(&info, scanline, 1) != 1) return 2;
    std::uint8_t* first = sink.Row(0);
    if (!first) return 2;
    StoreScanline(info, scanline[0], first);
    sink.RowsWritten(1);
    const bool direct = info.out_color_space == JCS_EXT_BGR;
    while (info.output_scanline < height) {
        const int y = static_cast<int>(info.output_scanline);
        if (direct) {
            // Several rows per call where the decoder produces them together.
            JSAMPROW rows[kSinkBandRows];
            const int count = std::min<int>(kSinkBandRows, static_cast<int>(height) - y);
            for (int k = 0; k < count; ++k)
                if (!(rows[k] = sink.Row(y + k))) return 2;
            const JDIMENSION read = jpeg_read_scanlines(&info, rows, static_cast<JDIMENSION>(count));
            if (read == 0) return 2;
            sink.RowsWritten(y + static_cast<int>(read));
            continue;
        }
        if (jpeg_read_scanlines(&info, scanline, 1) != 1) return 2;
        std::uint8_t* row = sink.Row(y);
        if (!row) return 2;
        StoreScanline(info, scanline[0], row);
        sink.RowsWritten(y + 1);
    }

    jpeg_finish_decompress(&info);
    return 0;
}

int DecodeGuarded(JpegDecoder& decoder, std::FILE* file, RowSink& sink)
{
    if (setjmp(decoder.errors.jump)) return 2;
    return DecodeSteps(decoder, file, sink);
}

// The encoding steps. libjpeg errors longjmp out of here (see the top of the file).
int EncodeSteps(JpegEncoder& encoder, std::FILE* file, const ColorImage& source, int quality)
{
    jpeg_compress_struct& info = encoder.info;
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(source.width());
    info.image_height = static_cast<JDIMENSION>(source.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);

    JSAMPARRAY scanline =
        (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.image_width * 3, 1);
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* in = source.row(y);
        JSAMPLE* out = scanline[0];
        for (int x = 0; x < source.width(); ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        if (jpeg_write_scanlines(&info, scanline, 1) != 1) return 2;
    }
    jpeg_finish_compress(&info);
    return 0;
}

int EncodeGuarded(JpegEncoder& encoder, std::FILE* file, const ColorImage& source, int quality)
{
    if (setjmp(encoder.errors.jump)) return 2;
    return EncodeSteps(encoder, file, source, quality);
}

}  // namespace

int DecodeJpeg(const std::string& path, RowSink& sink)
{
    FileStream file(path, "rb");
    if (!file.is_open()) return 1;
    JpegDecoder decoder;
    return DecodeGuarded(decoder, file.get(), sink);
}

int ReadJpeg(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodeJpeg(path, sink); });
}

int WriteJpeg(const ColorImage& source, const std::string& path, int quality)
{
    // A JPEG cannot hold an empty image: fail before creating a file.
    if (source.empty()) return 2;
    FileStream file(path, "wb");
    if (!file.is_open()) return 1;
    int code = 0;
    {
        JpegEncoder encoder;
        code = EncodeGuarded(encoder, file.get(), source, quality);
    }
    if (!file.close() && code == 0) code = 2;
    return code;
}

}  // namespace tp
