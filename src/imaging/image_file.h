// Reading any of the seven supported image files into a ColorImage, and writing one to a file whose format
// follows from its name.
#pragma once

#include <string>

#include "imaging/image_buffer.h"
#include "imaging/row_sink.h"

namespace tp {

enum class ImageFormat { Unknown, Bmp, Pcx, Pgm, SunRaster, Jpeg, Png, Tiff };

// Format of a file from its first four bytes. `code` receives 0, -1 when the file cannot be opened, or -2
// when it holds fewer than four bytes (the format is then Unknown).
ImageFormat DetectImageFormat(const std::string& path, int* code = nullptr);

// Reads `path` into `destination`. Returns 0 on success, -1 when the format is not recognised or the file
// cannot be examined, otherwise the reader's own code (destination then empty).
int ReadImage(ColorImage& destination, const std::string& path);
// The same reading, row by row into `sink`, with the same codes; on failure the rows handed on are void.
int DecodeImage(const std::string& path, RowSink& sink);

// Writer chosen by the file name's last extension, lower-cased, when it begins with one of ".bmp", ".jpg",
// ".pcx", ".pgm", ".png", ".ras", ".tif"; Unknown otherwise.
ImageFormat FormatForFileName(const std::string& path);

// Writes `source` to `path`. Returns 0 on success, -1 when no writer matches the name (no file is created),
// otherwise the writer's positive code, or 1 when the file cannot be created or put in place. The image is
// written whole under a temporary name and renamed over the old file, so a failure leaves the old file (or
// none) and nothing partly written; through a symbolic link, the file it points to is replaced.
int WriteImage(const ColorImage& source, const std::string& path);

// Short English description of a reader's or writer's result code for messages ("pixel data unreadable").
std::string DescribeReadResult(ImageFormat format, int code);
std::string DescribeWriteResult(ImageFormat format, int code);

}  // namespace tp
