// One zlib stream compressed in pieces that separate threads can make at the same time.
//
// Each piece is raw deflate data for one stretch of the input. Every piece but the last ends with a sync
// flush, so it stops on a byte boundary and the next piece can follow it directly; the last one ends the
// stream. A piece is primed with up to 32 KiB of the input before it (its preset dictionary), so matches
// reaching back across the cut are still found and the stream comes out nearly as small as one made in a
// single pass. The zlib header, the pieces in order and the big-endian Adler-32 of the whole input make a
// valid zlib stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tp {

// How far back deflate can refer: the most of the preceding input a piece can use.
inline constexpr std::size_t kDeflateWindow = 32768;

struct DeflateSettings {
    int level;     // zlib's compression level, Z_DEFAULT_COMPRESSION included
    int strategy;  // zlib's strategy
};

// The two header bytes of a zlib stream with a 32 KiB window, naming the level group of `level`.
std::vector<std::uint8_t> ZlibHeader(int level);

// Appends the compressed piece for data[0, size) to `out`. `before` points to the `before_size` input bytes
// that precede the piece (only the last kDeflateWindow of them are used). False when zlib fails (memory).
bool DeflatePiece(const std::uint8_t* data, std::size_t size, const std::uint8_t* before, std::size_t before_size,
                  bool last, const DeflateSettings& settings, std::vector<std::uint8_t>& out);

// Adler-32 bookkeeping: the checksum of some bytes, and of two stretches joined (the second `second_size` long).
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);
std::uint32_t JoinAdler32(std::uint32_t first, std::uint32_t second, std::size_t second_size);

}  // namespace tp
