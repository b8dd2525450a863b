// Portable grey maps, raw ("P5") or decimal text ("P2") samples. Grey values are read into all three channels;
// written grey values are the luminance of each pixel.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/codec_support.h"
#include "imaging/codecs.h"
#include "imaging/file_stream.h"
#include "imaging/image_ops.h"
#include "imaging/row_sink.h"

namespace tp {
namespace {

enum PgmReadCode { kCannotOpen = 1, kHeaderRejected = 2, kPixelDataRejected = 3 };

// Larger decimal numbers are not needed for any field; stopping here keeps the arithmetic in range.
constexpr long long kNumberCeiling = 1LL << 40;

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Decimal text read byte by byte, with one byte of look-back. Every call consumes at least one byte or fails,
// so junk cannot make the reader loop without end.
class TextScanner {
public:
    explicit TextScanner(FileStream& file) : file_(file) {}

    int next()
    {
        if (pending_) {
            pending_ = false;
            return last_;
        }
        last_ = file_.get_byte();
        return last_;
    }
    // The byte just read is read again by the next call (never called after the end of the file).
    void back() { pending_ = true; }
    // Moves the file itself back over a byte still held, so that raw reading can take over.
    bool hand_over()
    {
        if (!pending_) return true;
        pending_ = false;
        return file_.seek(-1, SEEK_CUR);
    }
    // Leaves the position at the first non-blank byte; false at the end of the file.
    bool skip_blanks()
    {
        for (;;) {
            const int c = next();
            if (c < 0) return false;
            if (!IsBlank(c)) {
                back();
                return true;
            }
        }
    }
    void skip_line()
    {
        for (int c = next(); c >= 0 && c != '\n'; c = next()) {
        }
    }
    // Blanks, an optional sign and at least one digit. Values beyond kNumberCeiling are held at it.
    bool number(long long& value)
    {
        if (!skip_blanks()) return false;
        int c = next();
        const bool negative = c == '-';
        if (c == '-' || c == '+') c = next();
        if (c < '0' || c > '9') return false;
        value = 0;
        for (; c >= '0' && c <= '9'; c = next()) value = std::min(value * 10 + (c - '0'), kNumberCeiling);
        if (c >= 0) back();
        if (negative) value = -value;
        return true;
    }

private:
    FileStream& file_;
    int last_ = -1;
    bool pending_ = false;
};

struct PgmHeader {
    bool raw = true;
    long long width = 0;
    long long height = 0;
    long long maximum = 0;
};

int ReadHeader(TextScanner& text, PgmHeader& header)
{
    if (text.next() != 'P') return kHeaderRejected;
    const int kind = text.next();
    if (kind != '2' && kind != '5') return kHeaderRejected;
    header.raw = kind == '5';
    // One comment line is understood, right after the magic.
    if (!text.skip_blanks()) return kHeaderRejected;
    if (text.next() == '#') text.skip_line();
    else text.back();
    if (!text.number(header.width) || !text.number(header.height) || !text.number(header.maximum))
        return kHeaderRejected;
    // A maximum of 0 would divide by zero; raw samples are single bytes.
    if (header.maximum <= 0 || (header.raw && header.maximum >= 256)) return kHeaderRejected;
    if (header.raw) {
        // Raw samples start right after the one blank that ends the header: a first sample that happens to be
        // a blank byte value (9-13, 32) must not be skipped.
        const int c = text.next();
        if (c < 0) return kPixelDataRejected;
        if (!IsBlank(c)) text.back();
        if (!text.hand_over()) return kPixelDataRejected;
    } else if (!text.skip_blanks()) {
        return kPixelDataRejected;
    }
    return 0;
}

// v x (255 / maximum) truncated toward zero, the factor in single precision.
// Samples above the maximum are held at it, so the result stays within a byte.
class GreyScale {
public:
    explicit GreyScale(long long maximum)
        : maximum_(maximum), factor_(255.0f / static_cast<float>(maximum)), identity_(maximum == 255)
    {
    }
    std::uint8_t operator()(long long v) const
    {
        v = std::clamp(v, 0LL, maximum_);
        if (identity_) return static_cast<std::uint8_t>(v);
        return static_cast<std::uint8_t>(std::min(static_cast<float>(v) * factor_, 255.0f));
    }

private:
    long long maximum_;
    float factor_;
    bool identity_;
};

void PutGrey(std::uint8_t grey, std::uint8_t* bgr) { std::fill_n(bgr, 3, grey); }

int ReadRawRows(FileStream& file, const GreyScale& scale, int width, int height, RowSink& sink)
{
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = sink.Row(y);
        if (!out) return kHeaderRejected;
        if (!file.read(row.data(), row.size())) return kPixelDataRejected;
        for (std::size_t x = 0; x < row.size(); ++x) PutGrey(scale(row[x]), out + 3 * x);
        sink.RowsWritten(y + 1);
    }
    return 0;
}

int ReadTextRows(TextScanner& text, const GreyScale& scale, int width, int height, RowSink& sink)
{
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = sink.Row(y);
        if (!out) return kHeaderRejected;
        for (int x = 0; x < width; ++x) {
            long long v = 0;
            if (!text.number(v)) return kPixelDataRejected;
            PutGrey(scale(v), out + 3 * x);
        }
        sink.RowsWritten(y + 1);
    }
    return 0;
}

int ReadPgmFile(FileStream& file, RowSink& sink)
{
    TextScanner text(file);
    PgmHeader header;
    if (const int code = ReadHeader(text, header); code != 0) return code;
    // Every sample takes at least one byte of the file, raw or text.
    if (!PlausibleImageSize(header.width, header.height, file.size(), 1)) return kHeaderRejected;
    if (header.raw) {
        const long long remaining = BytesRemaining(file);
        if (remaining < 0 || header.width * header.height > remaining) return kPixelDataRejected;
    }
    const int width = static_cast<int>(header.width);
    const int height = static_cast<int>(header.height);
    if (!sink.Begin(width, height, 0)) return kHeaderRejected;
    const GreyScale scale(header.maximum);
    return header.raw ? ReadRawRows(file, scale, width, height, sink) : ReadTextRows(text, scale, width, height, sink);
}

bool WriteText(FileStream& file, const char* text) { return file.write(text, std::char_traits<char>::length(text)); }

}  // namespace

int DecodePgm(const std::string& path, RowSink& sink)
{
    // Memory that cannot be had for a header's size counts as a rejected header.
    return CatchOutOfMemory(kHeaderRejected, [&] {
        FileStream file(path, "rb");
        if (!file.is_open()) return static_cast<int>(kCannotOpen);
        return ReadPgmFile(file, sink);
    });
}

int ReadPgm(ColorImage& destination, const std::string& path)
{
    return DecodeWhole(destination, [&](RowSink& sink) { return DecodePgm(path, sink); });
}

int WritePgm(const ColorImage& source, const std::string& path, bool raw_samples)
{
    constexpr int kWriteCannotOpen = 1;
    constexpr int kHeaderWriteFailed = 2;
    constexpr int kRowWriteFailed = 3;

    return CatchOutOfMemory(kRowWriteFailed, [&] {
        // A grey map without pixels is refused here, as the reader refuses one.
        if (source.empty()) return kHeaderWriteFailed;

        FileStream file(path, "wb");
        if (!file.is_open()) return kWriteCannotOpen;

        char size_line[32];
        std::snprintf(size_line, sizeof size_line, "%d %d\n", source.width(), source.height());
        if (!WriteText(file, raw_samples ? "P5\n" : "P2\n") || !WriteText(file, "# Portable Gray Map\n") ||
            !WriteText(file, size_line) || !WriteText(file, "255\n"))
            return kHeaderWriteFailed;

        const std::size_t width = static_cast<std::size_t>(source.width());
        std::vector<std::uint8_t> grey(width);
        std::string line;
        for (int y = 0; y < source.height(); ++y) {
            const std::uint8_t* in = source.row(y);
            for (std::size_t x = 0; x < width; ++x) grey[x] = GrayOf(in + 3 * x);
            bool written = false;
            if (raw_samples) {
                written = file.write(grey.data(), grey.size());
            } else {
                line.clear();
                char sample[8];
                for (const std::uint8_t g : grey) {
                    std::snprintf(sample, sizeof sample, "%03d ", g);
                    line += sample;
                }
                line += '\n';
                written = file.write(line.data(), line.size());
            }
            if (!written) return kRowWriteFailed;
        }
        return file.close() ? 0 : kRowWriteFailed;
    });
}

}  // namespace tp
