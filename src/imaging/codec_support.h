// Small pieces shared by the BMP, PCX, PGM and Sun raster codecs: the size checks made before anything is
// allocated, a bounded output position for run-length decoders, colour tables, and the wrapper that turns a
// failed allocation into a result code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "imaging/file_stream.h"
#include "imaging/image_buffer.h"

namespace tp {

// How many pixels one byte of a file can describe at most, per kind of pixel data. A header asking for more
// pixels than file size x this ratio cannot belong to that file and is rejected before any allocation.
// Raw rows: at most 8 pixels per byte (1-bit rows).
inline constexpr std::int64_t kRawPixelsPerByte = 8;
// Run-length data: generous, above what any single run gives (a 2-byte PCX run is at most 504 one-bit pixels,
// a 3-byte Sun raster run at most 2048). Only BMP files that leave nearly all their pixels to row ends, moves
// and the end mark get denser than this, and those are refused.
inline constexpr std::int64_t kRunLengthPixelsPerByte = 1024;

// True when width x height is positive, within kMaxImagePixels and at most `pixels_per_byte` times the file
// size. All arithmetic in 64 bits, so any pair of header values is safe to pass.
bool PlausibleImageSize(std::int64_t width, std::int64_t height, long long file_size,
                        std::int64_t pixels_per_byte);

// Bytes left between the current position and the end of the file; -1 when it cannot be told.
long long BytesRemaining(const FileStream& file);

// A write position in one fixed buffer. A run that does not fit is refused as a whole and nothing of it is
// written, so a hostile run length can never reach past the buffer.
class BoundedOutput {
public:
    BoundedOutput(std::uint8_t* begin, std::size_t size) : begin_(begin), size_(size) {}

    bool put(std::uint8_t value) { return fill(1, value); }
    bool fill(std::size_t count, std::uint8_t value);
    std::size_t room() const { return size_ - used_; }
    bool full() const { return used_ == size_; }

private:
    std::uint8_t* begin_;
    std::size_t size_;
    std::size_t used_ = 0;
};

// 256 colours as blue, green, red. Entries a file does not define stay black, so any 8-bit index is safe.
using ColourTable = std::array<std::uint8_t, 3 * 256>;

inline void SetColour(ColourTable& table, std::size_t index, std::uint8_t red, std::uint8_t green,
                      std::uint8_t blue)
{
    table[3 * index] = blue;
    table[3 * index + 1] = green;
    table[3 * index + 2] = red;
}

inline void PutColour(const ColourTable& table, std::uint8_t index, std::uint8_t* bgr)
{
    bgr[0] = table[3 * std::size_t{index}];
    bgr[1] = table[3 * std::size_t{index} + 1];
    bgr[2] = table[3 * std::size_t{index} + 2];
}

// Runs a reader's or writer's body; a buffer that cannot be had ends it with `out_of_memory_code`.
template <typename Write>
int CatchOutOfMemory(int out_of_memory_code, Write&& write)
{
    try {
        return write();
    } catch (const std::bad_alloc&) {
        return out_of_memory_code;
    } catch (const std::length_error&) {
        return out_of_memory_code;
    }
}

}  // namespace tp
