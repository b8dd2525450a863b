// Where a decoder puts the rows of a picture as it decodes them, so that a reader which wants the picture
// reduced never has to hold it at full size.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/image_buffer.h"

namespace tp {

// How many rows a decoder may ask room for before it reports them written.
inline constexpr int kSinkBandRows = 8;

class RowSink {
public:
    virtual ~RowSink() = default;

    // The picture is width x height and, while decoding it, the decoder holds `decoder_bytes` of buffers of
    // its own that grow with the picture (anything beyond a few rows). Called once, before any row. False
    // when the sink cannot take it; the decoder then fails as it does when memory runs out.
    virtual bool Begin(int width, int height, std::size_t decoder_bytes) = 0;
    // Room for row y: 3 x width bytes of blue, green, red. Rows are asked for from the top, at most
    // kSinkBandRows beyond the last one reported written; asking again for a row not yet reported gives the
    // same room. Null when memory cannot be had.
    virtual std::uint8_t* Row(int y) = 0;
    // Every row above `end` is written.
    virtual void RowsWritten(int end) = 0;
};

// Keeps the picture whole: rows are decoded straight into `destination`, allocated when the first row is
// asked for (decoders that can ask once that row has decoded, so that a small file claiming a huge picture
// fails before taking the memory).
class ImageRowSink final : public RowSink {
public:
    explicit ImageRowSink(ColorImage& destination) : destination_(destination) {}
    bool Begin(int width, int height, std::size_t decoder_bytes) override;
    std::uint8_t* Row(int y) override;
    void RowsWritten(int) override {}

private:
    ColorImage& destination_;
    int width_ = 0;
    int height_ = 0;
    bool allocated_ = false;
};

// Runs a decoder into `destination`, which is left empty unless the decoder returns 0.
template <typename Decode>
int DecodeWhole(ColorImage& destination, Decode&& decode)
{
    ImageRowSink sink(destination);
    const int code = decode(sink);
    if (code != 0) destination.release();
    return code;
}

}  // namespace tp
