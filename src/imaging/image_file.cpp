#include "imaging/image_file.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/replacement_file.h"

namespace tp {

ImageFormat DetectImageFormat(const std::string& path, int* code)
{
    auto result = [code](int value, ImageFormat format) {
        if (code) *code = value;
        return format;
    };
    FileStream file(path, "rb");
    if (!file.is_open()) return result(-1, ImageFormat::Unknown);
    std::uint8_t b[4];
    if (!file.read(b, sizeof b)) return result(-2, ImageFormat::Unknown);
    if (b[0] == 0x0A) return result(0, ImageFormat::Pcx);
    if (b[0] == 'B' && b[1] == 'M') return result(0, ImageFormat::Bmp);
    if ((b[0] == 'I' && b[1] == 'I') || (b[0] == 'M' && b[1] == 'M')) return result(0, ImageFormat::Tiff);
    if (b[0] == 'P' && (b[1] == '2' || b[1] == '5')) return result(0, ImageFormat::Pgm);
    if (b[0] == 0x59 && b[1] == 0xA6 && b[2] == 0x6A && b[3] == 0x95) return result(0, ImageFormat::SunRaster);
    if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return result(0, ImageFormat::Png);
    if (b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return result(0, ImageFormat::Jpeg);
    return result(0, ImageFormat::Unknown);
}

int DecodeImage(const std::string& path, RowSink& sink)
{
    switch (DetectImageFormat(path)) {
    case ImageFormat::Pcx: return DecodePcx(path, sink);
    case ImageFormat::Bmp: return DecodeBmp(path, sink);
    case ImageFormat::Tiff: return DecodeTiff(path, sink);
    case ImageFormat::Pgm: return DecodePgm(path, sink);
    case ImageFormat::SunRaster: return DecodeSunRaster(path, sink);
    case ImageFormat::Png: return DecodePng(path, sink);
    case ImageFormat::Jpeg: return DecodeJpeg(path, sink);
    case ImageFormat::Unknown: break;
    }
    return -1;
}

int ReadImage(ColorImage& destination, const std::string& path)
{
    // A file in no known format leaves the destination as it was; a reader's failure leaves it empty.
    ImageRowSink sink(destination);
    const int code = DecodeImage(path, sink);
    if (code > 0) destination.release();
    return code;
}

ImageFormat FormatForFileName(const std::string& path)
{
    // The file name's last extension decides: "out.jpg.png" is a PNG, and a folder named "my.bmp.d" says
    // nothing about the files in it.
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return ImageFormat::Unknown;
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static constexpr std::pair<const char*, ImageFormat> kExtensions[] = {
        {".bmp", ImageFormat::Bmp}, {".jpg", ImageFormat::Jpeg},      {".pcx", ImageFormat::Pcx},
        {".pgm", ImageFormat::Pgm}, {".png", ImageFormat::Png},       {".ras", ImageFormat::SunRaster},
        {".tif", ImageFormat::Tiff},
    };
    // An extension that begins with one of these ("tiff") chooses it, as the name-wide search did.
    for (const auto& [known, format] : kExtensions)
        if (extension.rfind(known, 0) == 0) return format;
    return ImageFormat::Unknown;
}

namespace {

// Every writer's code for a file it cannot open; used as well when the new file cannot be put in place.
constexpr int kCannotCreate = 1;

int WriteAs(ImageFormat format, const ColorImage& source, const std::string& path)
{
    switch (format) {
    case ImageFormat::Bmp: return WriteBmp(source, path);
    case ImageFormat::Jpeg: return WriteJpeg(source, path, 75);
    case ImageFormat::Pcx: return WritePcx(source, path);
    case ImageFormat::Pgm: return WritePgm(source, path, true);
    case ImageFormat::Png: return WritePng(source, path);
    case ImageFormat::SunRaster: return WriteSunRaster(source, path);
    case ImageFormat::Tiff: return WriteTiff(source, path, 0, 75, TiffPlanes::Interleaved);
    case ImageFormat::Unknown: break;
    }
    return -1;
}

}  // namespace

int WriteImage(const ColorImage& source, const std::string& path)
{
    const ImageFormat format = FormatForFileName(path);
    if (format == ImageFormat::Unknown) return -1;
    // Written whole under a temporary name, then renamed over the old file: a full disk or a failing writer
    // leaves the old file as it was.
    ReplacementFile file(path);
    if (!file.is_open()) return kCannotCreate;
    if (const int code = WriteAs(format, source, file.temporary_path()); code != 0) return code;
    return file.commit() ? 0 : kCannotCreate;
}

std::string DescribeReadResult(ImageFormat format, int code)
{
    if (code == 0) return "success";
    if (code < 0) return "unrecognised file format";
    switch (format) {
    case ImageFormat::Bmp: {
        static const char* const kTexts[] = {"cannot open", "header rejected", "palette unreadable",
                                             "pixel data unreadable", "unsupported pixel layout"};
        if (code <= 5) return kTexts[code - 1];
        break;
    }
    case ImageFormat::Pcx: {
        static const char* const kTexts[] = {"cannot open", "header rejected", "palette rejected", "row data rejected"};
        if (code <= 4) return kTexts[code - 1];
        break;
    }
    case ImageFormat::Pgm: {
        static const char* const kTexts[] = {"cannot open", "header rejected", "pixel data rejected"};
        if (code <= 3) return kTexts[code - 1];
        break;
    }
    case ImageFormat::SunRaster: {
        static const char* const kTexts[] = {"cannot open", "header rejected", "colour map rejected",
                                             "pixel data unreadable", "unsupported depth"};
        if (code <= 5) return kTexts[code - 1];
        break;
    }
    case ImageFormat::Jpeg: {
        static const char* const kTexts[] = {"cannot open", "corrupt or unreadable JPEG data"};
        if (code <= 2) return kTexts[code - 1];
        break;
    }
    case ImageFormat::Png: {
        static const char* const kTexts[] = {"cannot open", "not a PNG signature", "library structures not created",
                                             "corrupt or unreadable PNG data", "picture too large (over 268 million pixels)"};
        if (code <= 5) return kTexts[code - 1];
        break;
    }
    case ImageFormat::Tiff: {
        static const char* const kTexts[] = {"not a TIFF file", "cannot open", "image data unreadable"};
        if (code <= 3) return kTexts[code - 1];
        break;
    }
    case ImageFormat::Unknown: break;
    }
    return "error";
}

std::string DescribeWriteResult(ImageFormat format, int code)
{
    if (code == 0) return "success";
    if (code < 0) return "unsupported file format";
    if (code == 1) return "cannot open for writing";
    switch (format) {
    case ImageFormat::Pcx:
    case ImageFormat::Pgm: return code == 2 ? "header write failed" : "row write failed";
    case ImageFormat::Png: return code == 4 ? "write failed" : "library structures not created";
    case ImageFormat::SunRaster: return "row write failed";
    default: return "write failed";
    }
}

}  // namespace tp
