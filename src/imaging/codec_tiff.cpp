// TIFF through libtiff 4.5: reading any TIFF the library's RGBA reader understands, and writing
// 8-bit RGB scanline by scanline with a choice of compression and planar layout.
//
// Every file is opened with its own options carrying quiet error and warning handlers, so the library
// never prints and its process-wide handlers stay as they are.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include <tiffio.h>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

// No single buffer of the library may exceed what the largest accepted image needs as 32-bit RGBA.
constexpr tmsize_t kMaxLibraryAllocation = static_cast<tmsize_t>(kMaxImagePixels) * 4;

// Returning 1 tells libtiff the message is dealt with, so its global handlers are not called.
int Silence(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Opens with quiet handlers and the allocation ceiling; null when the file cannot be opened.
TiffHandle OpenQuietly(const std::string& path, const char* mode)
{
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Silence, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Silence, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxLibraryAllocation);
    // The handle keeps its own copy of the options.
    return TiffHandle(TIFFOpenExt(path.c_str(), mode, options.get()));
}

// 1 when the first bytes are not a TIFF byte-order mark, 2 when the file cannot be opened, else 0.
int CheckByteOrderMark(const std::string& path)
{
    FileStream file(path, "rb");
    if (!file.is_open()) return 2;
    std::uint8_t mark[2];
    if (!file.read(mark, sizeof mark)) return 1;
    return (mark[0] == 'I' && mark[1] == 'I') || (mark[0] == 'M' && mark[1] == 'M') ? 0 : 1;
}

// The library's RGBA reader, ended when it goes out of scope.
struct RgbaReader {
    TIFFRGBAImage image{};
    bool begun = false;
    ~RgbaReader()
    {
        if (begun) TIFFRGBAImageEnd(&image);
    }
};

// How many rows to read at a time. The RGBA reader delivers its rows bottom first; where it turns the file's
// rows over to do so (rows stored from the top, in strips), a band of whole strips turned back gives the
// picture's rows from the top, and the picture is read band by band, each strip decoded exactly as in a
// whole-image read. Otherwise (tiles, rows stored from the bottom) the band is the whole picture.
std::uint32_t BandRows(TIFF* tiff, std::uint32_t height)
{
    constexpr std::uint32_t kAtLeast = 64;
    if (TIFFIsTiled(tiff)) return height;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    if (orientation != ORIENTATION_TOPLEFT && orientation != ORIENTATION_TOPRIGHT && orientation != ORIENTATION_LEFTTOP &&
        orientation != ORIENTATION_RIGHTTOP)
        return height;
    std::uint32_t rows_per_strip = height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows_per_strip);
    if (rows_per_strip == 0 || rows_per_strip >= height) return height;
    const std::uint32_t strips = (kAtLeast + rows_per_strip - 1) / rows_per_strip;
    return strips >= height / rows_per_strip ? height : strips * rows_per_strip;
}

// Raster lines (bottom row first) holding the picture's rows [first, first + count) into the sink.
bool PutBand(const std::uint32_t* raster, std::uint32_t width, std::uint32_t first, std::uint32_t count, RowSink& sink)
{
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint32_t* in = raster + std::size_t{count - 1 - k} * width;
        std::uint8_t* out = sink.Row(static_cast<int>(first + k));
        if (!out) return false;
        for (std::uint32_t x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<std::uint8_t>(TIFFGetB(in[x]));
            out[1] = static_cast<std::uint8_t>(TIFFGetG(in[x]));
            out[2] = static_cast<std::uint8_t>(TIFFGetR(in[x]));
        }
        sink.RowsWritten(static_cast<int>(first + k + 1));
    }
    return true;
}

int DecodeTiffFile(const std::string& path, RowSink& sink)
{
    if (const int code = CheckByteOrderMark(path)) return code;
    const TiffHandle tiff = OpenQuietly(path, "r");
    if (!tiff) return 2;

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height))
        return 3;
    const std::int64_t pixels = std::int64_t{width} * height;
    if (pixels <= 0 || pixels > kMaxImagePixels) return 3;
    char reason[1024];
    if (!TIFFRGBAImageOK(tiff.get(), reason)) return 3;

    const std::uint32_t band = BandRows(tiff.get(), height);
    const std::size_t band_pixels = std::size_t{band} * width;
    const tmsize_t strip_bytes = TIFFIsTiled(tiff.get()) ? TIFFTileSize(tiff.get()) : TIFFStripSize(tiff.get());
    if (!sink.Begin(static_cast<int>(width), static_cast<int>(height),
                    band_pixels * sizeof(std::uint32_t) + static_cast<std::size_t>(std::max<tmsize_t>(strip_bytes, 0))))
        return 3;
    std::unique_ptr<std::uint32_t[]> raster(new (std::nothrow) std::uint32_t[band_pixels]);
    if (!raster) return 3;

    // As the library's whole-image read does it: stop at the first error, rows delivered bottom first.
    RgbaReader reader;
    if (!TIFFRGBAImageBegin(&reader.image, tiff.get(), 1, reason)) return 3;
    reader.begun = true;
    reader.image.req_orientation = ORIENTATION_BOTLEFT;
    for (std::uint32_t first = 0; first < height; first += band) {
        const std::uint32_t count = std::min(band, height - first);
        reader.image.row_offset = static_cast<int>(first);
        reader.image.col_offset = 0;
        if (!TIFFRGBAImageGet(&reader.image, raster.get(), width, count)) return 3;
        if (!PutBand(raster.get(), width, first, count, sink)) return 3;
    }
    return 0;
}

std::uint16_t CompressionScheme(int code)
{
    switch (code) {
    case 1: return COMPRESSION_DEFLATE;
    case 2: return COMPRESSION_JPEG;
    case 3: return COMPRESSION_LZW;
    case 5: return COMPRESSION_PACKBITS;
    default: return COMPRESSION_NONE;
    }
}

bool SetTags(TIFF* tiff, const ColorImage& source, int compression, int quality, TiffPlanes planes)
{
    const std::uint16_t scheme = CompressionScheme(compression);
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(source.width())) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(source.height())) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
              TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
              TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3) && TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 32) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, scheme) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG,
                           planes == TiffPlanes::Separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    // A pseudo-tag: it sets the codec's quality and is not written to the file.
    if (ok && scheme == COMPRESSION_JPEG) ok = TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, quality);
    return ok;
}

int EncodeTiff(TIFF* tiff, const ColorImage& source, int compression, int quality, TiffPlanes planes)
{
    if (!SetTags(tiff, source, compression, quality, planes)) return 2;
    const std::size_t width = static_cast<std::size_t>(source.width());
    std::vector<std::uint8_t> line;
    try {
        line.resize(width * 3);
    } catch (const std::bad_alloc&) {
        return 2;
    }

    if (planes == TiffPlanes::Separate) {
        // libtiff wants every row of one plane before the next plane: red, then green, then blue.
        for (int plane = 0; plane < 3; ++plane)
            for (int y = 0; y < source.height(); ++y) {
                const std::uint8_t* in = source.row(y) + (2 - plane);
                for (std::size_t x = 0; x < width; ++x) line[x] = in[3 * x];
                if (TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y),
                                      static_cast<std::uint16_t>(plane)) < 0)
                    return 2;
            }
    } else {
        for (int y = 0; y < source.height(); ++y) {
            const std::uint8_t* in = source.row(y);
            for (std::size_t x = 0; x < width; ++x) {
                line[3 * x] = in[3 * x + 2];
                line[3 * x + 1] = in[3 * x + 1];
                line[3 * x + 2] = in[3 * x];
            }
            if (TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0) < 0) return 2;
        }
    }
    // Writes the last strip and the directory; closing cannot report failure, flushing can.
    return TIFFFlush(tiff) ? 0 : 2;
}

}  // namespace

int DecodeTiff(const std::string& path, RowSink& sink) { return DecodeTiffFile(path, sink); }

int ReadTiff(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodeTiffFile(path, sink); });
}

int WriteTiff(const ColorImage& source, const std::string& path, int compression, int quality, TiffPlanes planes)
{
    // A TIFF directory cannot describe an empty image: fail before creating a file.
    if (source.empty()) return 2;
    const TiffHandle tiff = OpenQuietly(path, "w");
    if (!tiff) return 1;
    return EncodeTiff(tiff.get(), source, compression, quality, planes);
}

}  // namespace tp
