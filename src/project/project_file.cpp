#include "project/project_file.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "imaging/file_stream.h"
#include "imaging/replacement_file.h"

namespace tp {

namespace {

// A project with even 100 000 sources is a few megabytes; anything far larger is not a project file.
constexpr long long kLargestProjectFile = 64LL * 1024 * 1024;

// Length prefixes: one byte below 255, else 255 and a 16-bit length below 65534, else 255, 65535 and a
// 32-bit length. A 16-bit 65534 announced a wide-character string in the old writer; we never write one.
constexpr std::uint32_t kShortLengthLimit = 255;
constexpr std::uint32_t kMediumLengthLimit = 65534;
constexpr std::uint32_t kLongLengthMarker = 65535;

constexpr int kMatrixSize = 3;

std::int32_t RecordCount(std::size_t source_count, std::int32_t state)
{
    if (state == 2 || source_count < 2) return 0;
    return static_cast<std::int32_t>(source_count - 1);
}

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void u8(std::uint32_t value) { out_.push_back(static_cast<std::uint8_t>(value)); }
    void u16(std::uint32_t value)
    {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) u8(value >> shift);
    }
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void f32(float value) { u32(std::bit_cast<std::uint32_t>(value)); }
    void f64(double value)
    {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        u32(static_cast<std::uint32_t>(bits));
        u32(static_cast<std::uint32_t>(bits >> 32));
    }
    void string(const std::string& text)
    {
        const auto length = static_cast<std::uint32_t>(text.size());
        if (length < kShortLengthLimit) {
            u8(length);
        } else if (length < kMediumLengthLimit) {
            u8(kShortLengthLimit);
            u16(length);
        } else {
            u8(kShortLengthLimit);
            u16(kLongLengthMarker);
            u32(length);
        }
        out_.insert(out_.end(), text.begin(), text.end());
    }

private:
    std::vector<std::uint8_t>& out_;
};

// Reads fields front to back; every read checks what is left, so a short or lying file only gives false.
class ByteReader {
public:
    explicit ByteReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - position_; }

    bool u8(std::uint32_t& value)
    {
        if (remaining() < 1) return false;
        value = bytes_[position_++];
        return true;
    }
    bool u16(std::uint32_t& value)
    {
        if (remaining() < 2) return false;
        value = LoadLe16(&bytes_[position_]);
        position_ += 2;
        return true;
    }
    bool u32(std::uint32_t& value)
    {
        if (remaining() < 4) return false;
        value = LoadLe32(&bytes_[position_]);
        position_ += 4;
        return true;
    }
    bool i32(std::int32_t& value)
    {
        std::uint32_t bits = 0;
        if (!u32(bits)) return false;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    bool f32(float& value)
    {
        std::uint32_t bits = 0;
        if (!u32(bits)) return false;
        value = std::bit_cast<float>(bits);
        return true;
    }
    bool f64(double& value)
    {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        if (!u32(low) || !u32(high)) return false;
        value = std::bit_cast<double>((static_cast<std::uint64_t>(high) << 32) | low);
        return true;
    }
    bool string(std::string& text)
    {
        std::uint32_t length = 0;
        if (!u8(length)) return false;
        if (length == kShortLengthLimit) {
            if (!u16(length) || length == kMediumLengthLimit) return false;
            if (length == kLongLengthMarker && !u32(length)) return false;
        }
        if (length > remaining()) return false;
        const auto* first = reinterpret_cast<const char*>(&bytes_[position_]);
        if (std::memchr(first, '\0', length) != nullptr) return false;
        text.assign(first, length);
        position_ += length;
        return true;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t position_ = 0;
};

bool IsThreeByThree(const Matrix& m) { return m.rows() == kMatrixSize && m.columns() == kMatrixSize; }

void WritePair(ByteWriter& out, const StoredPair& pair)
{
    out.i32(pair.method);
    out.f32(pair.translation_hint.x);
    out.f32(pair.translation_hint.y);
    for (std::size_t j = 0; j < pair.first_points.size(); ++j) {
        out.f32(pair.first_points[j].x);
        out.f32(pair.first_points[j].y);
        out.f32(pair.second_points[j].x);
        out.f32(pair.second_points[j].y);
    }
    // The record has room for a 3 x 3 matrix only; anything else is stored as "no motion".
    const Matrix matrix = IsThreeByThree(pair.to_next) ? pair.to_next : Matrix::Identity(kMatrixSize);
    for (int r = 0; r < kMatrixSize; ++r)
        for (int c = 0; c < kMatrixSize; ++c) out.f64(matrix.at(r, c));
}

bool ReadPair(ByteReader& in, StoredPair& pair)
{
    if (!in.i32(pair.method) || !in.f32(pair.translation_hint.x) || !in.f32(pair.translation_hint.y)) return false;
    for (std::size_t j = 0; j < pair.first_points.size(); ++j) {
        if (!in.f32(pair.first_points[j].x) || !in.f32(pair.first_points[j].y) ||
            !in.f32(pair.second_points[j].x) || !in.f32(pair.second_points[j].y))
            return false;
    }
    pair.to_next = Matrix(kMatrixSize, kMatrixSize);
    for (int r = 0; r < kMatrixSize; ++r)
        for (int c = 0; c < kMatrixSize; ++c) {
            double value = 0.0;
            // The matrix is inverted on reading; a NaN or infinity there could only spread.
            if (!in.f64(value) || !std::isfinite(value)) return false;
            pair.to_next.at(r, c) = value;
        }
    return true;
}

bool DecodeInto(const std::vector<std::uint8_t>& bytes, ProjectFileContents& decoded)
{
    ByteReader in(bytes);
    std::int32_t count = 0;
    if (!in.i32(count) || count < 0 || count > kMaxSourceImages) return false;
    // Every path takes at least its one-byte length.
    if (static_cast<std::size_t>(count) > in.remaining()) return false;
    // Grown path by path, so what is held never runs ahead of what was actually read.
    for (std::int32_t i = 0; i < count; ++i) {
        std::string path;
        if (!in.string(path) || path.empty()) return false;  // an empty path names no file
        decoded.stored_paths.push_back(std::move(path));
    }

    if (!in.i32(decoded.state) || decoded.state < 0 || decoded.state > 2) return false;
    // Nothing can have been stitched from no sources.
    if (decoded.stored_paths.empty() && decoded.state != 2) return false;

    const std::int32_t records = RecordCount(decoded.stored_paths.size(), decoded.state);
    if (static_cast<std::size_t>(records) > in.remaining() / kPairRecordBytes) return false;
    decoded.pairs.resize(static_cast<std::size_t>(records));
    for (StoredPair& pair : decoded.pairs)
        if (!ReadPair(in, pair)) return false;
    // Bytes after the last record are ignored: nothing we write puts any there, and they change nothing read.
    return true;
}

// Contents that would not read back are refused instead of written.
bool CanBeReadBack(const ProjectFileContents& contents)
{
    if (contents.stored_paths.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    if (contents.state < 0 || contents.state > 2) return false;
    for (const std::string& path : contents.stored_paths)
        if (path.empty() || path.size() > std::numeric_limits<std::uint32_t>::max() || path.find('\0') != std::string::npos)
            return false;
    const auto records = static_cast<std::size_t>(RecordCount(contents.stored_paths.size(), contents.state));
    for (std::size_t i = 0; i < records && i < contents.pairs.size(); ++i) {
        const Matrix& m = contents.pairs[i].to_next;
        if (!IsThreeByThree(m)) continue;
        for (int k = 0; k < kMatrixSize * kMatrixSize; ++k)
            if (!std::isfinite(m.data()[k])) return false;
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeProjectFile(const ProjectFileContents& contents)
{
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    out.i32(static_cast<std::int32_t>(contents.stored_paths.size()));
    for (const std::string& path : contents.stored_paths) out.string(path);
    out.i32(contents.state);
    const std::int32_t records = RecordCount(contents.stored_paths.size(), contents.state);
    const StoredPair never_registered;
    for (std::int32_t i = 0; i < records; ++i) {
        const auto index = static_cast<std::size_t>(i);
        WritePair(out, index < contents.pairs.size() ? contents.pairs[index] : never_registered);
    }
    return bytes;
}

bool DecodeProjectFile(const std::vector<std::uint8_t>& bytes, ProjectFileContents& contents)
{
    try {
        ProjectFileContents decoded;
        if (!DecodeInto(bytes, decoded)) return false;
        contents = std::move(decoded);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool WriteProjectFile(const std::string& path, const ProjectFileContents& contents)
{
    try {
        if (path.empty() || !CanBeReadBack(contents)) return false;
        const std::vector<std::uint8_t> bytes = EncodeProjectFile(contents);
        ReplacementFile file(path);
        return file.is_open() && file.write_all(bytes) && file.commit();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ReadProjectFile(const std::string& path, ProjectFileContents& contents)
{
    try {
        FileStream file(path, "rb");
        if (!file.is_open()) return false;
        const long long size = file.size();
        if (size < 0 || size > kLargestProjectFile) return false;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        if (!file.read(bytes.data(), bytes.size())) return false;
        return DecodeProjectFile(bytes, contents);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace tp
