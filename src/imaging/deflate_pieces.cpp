#include "imaging/deflate_pieces.h"

#include <algorithm>
#include <limits>
#include <new>

#include <zlib.h>

namespace tp {
namespace {

// Owns a deflate stream for the lifetime of one piece.
class RawDeflater {
public:
    explicit RawDeflater(const DeflateSettings& settings)
    {
        // Negative window bits: raw deflate data, no header or checksum of the piece's own.
        ready_ = deflateInit2(&stream_, settings.level, Z_DEFLATED, -15, 8, settings.strategy) == Z_OK;
    }
    ~RawDeflater()
    {
        if (ready_) deflateEnd(&stream_);
    }
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;

    bool ready() const { return ready_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool ready_ = false;
};

// zlib counts in unsigned int; larger inputs are fed in slices.
constexpr std::size_t kMaxSlice = std::numeric_limits<unsigned>::max() / 2;

}  // namespace

std::vector<std::uint8_t> ZlibHeader(int level)
{
    // Compression method 8 with a 32 KiB window; the level group as zlib's own deflate writes it.
    const int group = level == Z_DEFAULT_COMPRESSION ? 2 : level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    const unsigned cmf = 0x78;
    unsigned flg = static_cast<unsigned>(group) << 6;
    flg += 31 - (cmf * 256 + flg) % 31;
    return {static_cast<std::uint8_t>(cmf), static_cast<std::uint8_t>(flg)};
}

bool DeflatePiece(const std::uint8_t* data, std::size_t size, const std::uint8_t* before, std::size_t before_size,
                  bool last, const DeflateSettings& settings, std::vector<std::uint8_t>& out)
{
    RawDeflater deflater(settings);
    if (!deflater.ready()) return false;
    z_stream& stream = deflater.stream();
    if (before_size > 0) {
        const std::size_t used = std::min(before_size, kDeflateWindow);
        if (deflateSetDictionary(&stream, before + (before_size - used), static_cast<uInt>(used)) != Z_OK) return false;
    }
    try {
        const std::size_t start = out.size();
        out.resize(start + deflateBound(&stream, static_cast<uLong>(std::min(size, kMaxSlice))) + 16);
        std::size_t written = start;
        std::size_t consumed = 0;
        for (;;) {
            const std::size_t slice = std::min(size - consumed, kMaxSlice);
            const bool final_slice = consumed + slice == size;
            stream.next_in = const_cast<Bytef*>(data + consumed);
            stream.avail_in = static_cast<uInt>(slice);
            const int flush = !final_slice ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
            int result;
            do {
                if (out.size() - written < 64) out.resize(out.size() + out.size() / 2 + 4096);
                stream.next_out = out.data() + written;
                stream.avail_out = static_cast<uInt>(std::min(out.size() - written, kMaxSlice));
                result = deflate(&stream, flush);
                if (result == Z_STREAM_ERROR) return false;
                written = static_cast<std::size_t>(stream.next_out - out.data());
            } while (stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
            consumed += slice;
            if (final_slice) break;
        }
        out.resize(written);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size)
{
    return static_cast<std::uint32_t>(adler32_z(adler32(0, nullptr, 0), data, size));
}

std::uint32_t JoinAdler32(std::uint32_t first, std::uint32_t second, std::size_t second_size)
{
    return static_cast<std::uint32_t>(adler32_combine(first, second, static_cast<z_off_t>(second_size)));
}

}  // namespace tp
