// The image family: two-dimensional pixel containers with one zero-filled block per image and a row table.
//
// Every member stores its rows back to back in one block (row y starts at y * stride bytes), allocated
// zero-filled with 3 spare bytes after the last row, plus a table with one pointer per row. GrayImage and
// ColorImage pad their rows to 4 bytes, so their rows match 8- and 24-bit bitmap rows byte for byte.
// An image with zero width or height owns nothing and is a valid empty image.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace tp {

template <typename Sample, int Channels, bool PaddedRows, bool WithCompanion>
class ImageBuffer;

// 8-bit grey levels, rows padded to 4 bytes.
using GrayImage = ImageBuffer<std::uint8_t, 1, true, true>;
// Blue, green, red bytes per pixel, rows padded to 4 bytes.
using ColorImage = ImageBuffer<std::uint8_t, 3, true, true>;
// Three bytes per pixel without row padding.
using TripleImage = ImageBuffer<std::uint8_t, 3, false, false>;
// Raw row buffers of the file codecs.
using BytePlane = ImageBuffer<std::uint8_t, 1, false, false>;
using FloatImage = ImageBuffer<float, 1, false, false>;
using IntImage = ImageBuffer<std::int32_t, 1, false, false>;

// Zero-filled pixel blocks. Small ones come from calloc; large ones are mapped directly in huge pages where
// the system offers them, because touching a fresh large block page by page costs more than filling it.
struct ReleaseBlock {
    std::size_t mapped_bytes = 0;  // 0 for calloc'd blocks
    void operator()(std::byte* block) const;
};
using PixelBlock = std::unique_ptr<std::byte[], ReleaseBlock>;

// A zero-filled block of `bytes` bytes, or null when memory cannot be had.
PixelBlock AllocateZeroedBlock(std::size_t bytes);

// Storage taken out of one image and handed to another without copying.
template <typename Sample>
struct PixelStorage {
    PixelBlock block;
    std::vector<Sample*> rows;
};

template <typename Sample, int Channels, bool PaddedRows, bool WithCompanion>
class ImageBuffer {
public:
    using SampleType = Sample;
    static constexpr int kChannels = Channels;
    static constexpr bool kHasCompanion = WithCompanion;

    // Bytes from one row start to the next for a given width.
    static constexpr std::size_t StrideFor(int width)
    {
        const std::size_t bytes = static_cast<std::size_t>(width) * Channels * sizeof(Sample);
        return PaddedRows ? (bytes + 3) & ~static_cast<std::size_t>(3) : bytes;
    }

    ImageBuffer() = default;
    ImageBuffer(int width, int height) { allocate(width, height); }
    ImageBuffer(const ImageBuffer& other) { assign(other); }
    ImageBuffer(ImageBuffer&& other) noexcept { take(other); }
    ~ImageBuffer() = default;

    ImageBuffer& operator=(const ImageBuffer& other)
    {
        if (this != &other) assign(other);
        return *this;
    }
    ImageBuffer& operator=(ImageBuffer&& other) noexcept
    {
        if (this != &other) take(other);
        return *this;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t stride() const { return stride_; }
    bool empty() const { return rows_.empty(); }
    bool same_size(int width, int height) const { return width_ == width && height_ == height; }

    Sample* row(int y) { return rows_[static_cast<std::size_t>(y)]; }
    const Sample* row(int y) const { return rows_[static_cast<std::size_t>(y)]; }
    Sample* pixel(int x, int y) { return row(y) + static_cast<std::ptrdiff_t>(x) * Channels; }
    const Sample* pixel(int x, int y) const { return row(y) + static_cast<std::ptrdiff_t>(x) * Channels; }
    Sample& at(int x, int y, int channel = 0) { return pixel(x, y)[channel]; }
    Sample at(int x, int y, int channel = 0) const { return pixel(x, y)[channel]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    // Whole block: stride * height bytes plus the 3 spare bytes.
    std::byte* block() { return block_.get(); }
    const std::byte* block() const { return block_.get(); }
    std::size_t block_size() const { return empty() ? 0 : stride_ * static_cast<std::size_t>(height_) + 3; }

    // Zero-fills stride * height bytes.
    void clear();
    // Drops the companion plane and the old storage, then allocates zero-filled storage. Width or height 0
    // leaves the image empty. Returns false (image empty) when memory cannot be had.
    bool allocate(int width, int height);
    // Drops the companion plane and the storage; width and height become 0.
    void release();

    // Hands the storage over (the image becomes empty) or takes storage over without copying or checking.
    PixelStorage<Sample> take_storage();
    void adopt(PixelStorage<Sample>&& storage, int width, int height);

    // Companion plane: an optional GrayImage of the same size, created on demand and carried along on copies.
    bool has_companion() const { return companion_ != nullptr; }
    GrayImage& companion();
    const GrayImage* companion_plane() const { return companion_.get(); }
    void drop_companion() { companion_.reset(); }

private:
    void assign(const ImageBuffer& other);
    void take(ImageBuffer& other) noexcept;

    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    PixelBlock block_;
    std::vector<Sample*> rows_;
    std::unique_ptr<GrayImage> companion_;
};

// A pair of float planes of one size: the input and output of the 2-D FFT.
struct ComplexImage {
    ComplexImage() = default;
    ComplexImage(int width, int height) { allocate(width, height); }

    bool allocate(int width, int height);
    void release();
    int width() const { return real.width(); }
    int height() const { return real.height(); }
    bool empty() const { return real.empty(); }

    FloatImage real;
    FloatImage imag;
};

// --- implementation ---------------------------------------------------------------------------------------

template <typename S, int C, bool P, bool W>
void ImageBuffer<S, C, P, W>::clear()
{
    if (!empty()) std::fill_n(block_.get(), stride_ * static_cast<std::size_t>(height_), std::byte{0});
}

template <typename S, int C, bool P, bool W>
bool ImageBuffer<S, C, P, W>::allocate(int width, int height)
{
    release();
    if (width <= 0 || height <= 0) return width == 0 || height == 0;
    const std::size_t stride = StrideFor(width);
    try {
        PixelStorage<S> storage;
        storage.block = AllocateZeroedBlock(stride * static_cast<std::size_t>(height) + 3);
        if (!storage.block) return false;
        storage.rows.resize(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            storage.rows[static_cast<std::size_t>(y)] =
                reinterpret_cast<S*>(storage.block.get() + stride * static_cast<std::size_t>(y));
        adopt(std::move(storage), width, height);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

template <typename S, int C, bool P, bool W>
void ImageBuffer<S, C, P, W>::release()
{
    companion_.reset();
    block_.reset();
    rows_.clear();
    rows_.shrink_to_fit();
    width_ = height_ = 0;
    stride_ = 0;
}

template <typename S, int C, bool P, bool W>
PixelStorage<S> ImageBuffer<S, C, P, W>::take_storage()
{
    PixelStorage<S> storage{std::move(block_), std::move(rows_)};
    release();
    return storage;
}

template <typename S, int C, bool P, bool W>
void ImageBuffer<S, C, P, W>::adopt(PixelStorage<S>&& storage, int width, int height)
{
    release();
    block_ = std::move(storage.block);
    rows_ = std::move(storage.rows);
    width_ = width;
    height_ = height;
    stride_ = StrideFor(width);
}

template <typename S, int C, bool P, bool W>
GrayImage& ImageBuffer<S, C, P, W>::companion()
{
    static_assert(W, "this member of the image family has no companion plane");
    if (!companion_) companion_ = std::make_unique<GrayImage>(width_, height_);
    return *companion_;
}

template <typename S, int C, bool P, bool W>
void ImageBuffer<S, C, P, W>::assign(const ImageBuffer& other)
{
    if (!same_size(other.width_, other.height_)) allocate(other.width_, other.height_);
    if (!empty() && !other.empty()) {
        const std::size_t row_bytes = static_cast<std::size_t>(width_) * C * sizeof(S);
        for (int y = 0; y < height_; ++y) std::copy_n(other.row(y), row_bytes / sizeof(S), row(y));
    }
    if constexpr (W) {
        if (other.companion_) companion() = *other.companion_;
    }
}

template <typename S, int C, bool P, bool W>
void ImageBuffer<S, C, P, W>::take(ImageBuffer& other) noexcept
{
    companion_ = std::move(other.companion_);
    block_ = std::move(other.block_);
    rows_ = std::move(other.rows_);
    width_ = other.width_;
    height_ = other.height_;
    stride_ = other.stride_;
    other.rows_.clear();
    other.width_ = other.height_ = 0;
    other.stride_ = 0;
}

}  // namespace tp
