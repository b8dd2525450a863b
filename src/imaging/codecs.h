// The readers and writers behind ReadImage and WriteImage, one pair per format. Each returns 0 on success
// and a small positive code naming the failing step (listed with each pair). A reader that fails leaves its
// destination empty; a writer that fails may leave a partly written file. Every reader is a decoder into a
// RowSink (Decode...: rows from the top, same codes) run into a whole image.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/image_buffer.h"
#include "imaging/row_sink.h"

namespace tp {

// No reader allocates an image of more pixels than this, whatever its header claims.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 28;

// BMP. Read: 1 cannot open, 2 header rejected, 3 palette unreadable, 4 pixel data unreadable,
// 5 unsupported pixel layout. Write (24-bit, bottom-up): 1 cannot open, 2 write failed.
int ReadBmp(ColorImage& destination, const std::string& path);
int DecodeBmp(const std::string& path, RowSink& sink);
int WriteBmp(const ColorImage& source, const std::string& path);

// PCX. Read: 1 cannot open, 2 header rejected, 3 palette rejected, 4 row data rejected.
// Write (three 8-bit planes, run-length): 1 cannot open, 2 header write failed, 3 row write failed.
int ReadPcx(ColorImage& destination, const std::string& path);
int DecodePcx(const std::string& path, RowSink& sink);
int WritePcx(const ColorImage& source, const std::string& path);

// PGM. Read: 1 cannot open, 2 header rejected, 3 pixel data rejected.
// Write: 1 cannot open, 2 header write failed, 3 row write failed; raw byte samples or decimal text.
int ReadPgm(ColorImage& destination, const std::string& path);
int DecodePgm(const std::string& path, RowSink& sink);
int WritePgm(const ColorImage& source, const std::string& path, bool raw_samples = true);

// Sun raster. Read: 1 cannot open, 2 header rejected, 3 colour map rejected, 4 pixel data unreadable,
// 5 unsupported depth. Write (24-bit): 1 cannot open or header write failed, 2 row write failed.
int ReadSunRaster(ColorImage& destination, const std::string& path);
int DecodeSunRaster(const std::string& path, RowSink& sink);
int WriteSunRaster(const ColorImage& source, const std::string& path);

// JPEG through libjpeg. Read: 1 cannot open, 2 scanline read failed (any decoding error).
// Write: 1 cannot open, 2 scanline write failed.
int ReadJpeg(ColorImage& destination, const std::string& path);
int DecodeJpeg(const std::string& path, RowSink& sink);
int WriteJpeg(const ColorImage& source, const std::string& path, int quality = 75);

// PNG through libpng. Read: 1 cannot open, 2 not a PNG signature, 3 library structures not created,
// 4 library error, 5 more pixels than any reader accepts. Write: 1 cannot open, 2 or 3 library structures
// not created, 4 library error.
int ReadPng(ColorImage& destination, const std::string& path);
int DecodePng(const std::string& path, RowSink& sink);
int WritePng(const ColorImage& source, const std::string& path);

// TIFF through libtiff. Read: 1 not a TIFF by its first bytes, 2 cannot open, 3 whole-image read failed.
// Write: 1 cannot open, 2 scanline write failed. Compression code: 1 Deflate, 2 JPEG (with `quality`),
// 3 LZW, 5 PackBits, anything else none; planes interleaved or separate.
enum class TiffPlanes { Interleaved = 1, Separate = 2 };
int ReadTiff(ColorImage& destination, const std::string& path);
int DecodeTiff(const std::string& path, RowSink& sink);
int WriteTiff(const ColorImage& source, const std::string& path, int compression = 0, int quality = 75,
              TiffPlanes planes = TiffPlanes::Interleaved);

}  // namespace tp
