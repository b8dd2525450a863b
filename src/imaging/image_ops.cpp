#include "imaging/image_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "imaging/area_reducer.h"
#include "imaging/image_file.h"
#include "imaging/reduced_read.h"
#include "imaging/pixel.h"

namespace tp {

namespace {

constexpr float kRedWeight = 0.299f;
constexpr float kGreenWeight = 0.587f;
constexpr float kBlueWeight = 0.114f;

// Row pass of the separable smoothing at every kStep-th position: out[o] = sum over taps t of
// kernel[t] * in[kStep o + t - half] for o < outputs, samples outside the row counting as zero. Taps are
// summed in ascending order for every output.
template <int kStep, typename In>
void SmoothRowSampled(const In* in, int width, int outputs, const std::vector<float>& kernel, float* out)
{
    const int taps = static_cast<int>(kernel.size());
    const int half = taps / 2;
    // Near the ends some taps fall outside the row and are left out.
    auto one = [&](int o) {
        const int x = kStep * o;
        float acc = 0.0f;
        const int first = std::max(0, half - x);
        const int last = std::min(taps, width - x + half);
        for (int t = first; t < last; ++t) acc += kernel[static_cast<std::size_t>(t)] * static_cast<float>(in[x + t - half]);
        out[o] = acc;
    };
    // Outputs whose taps all fall inside the row: [inner_begin, inner_end).
    const int inner_begin = std::min((half + kStep - 1) / kStep, outputs);
    const int inner_end =
        width - 1 - half < 0 ? inner_begin : std::max(inner_begin, std::min(outputs, (width - 1 - half) / kStep + 1));
    for (int o = 0; o < inner_begin; ++o) one(o);
    for (int o = inner_end; o < outputs; ++o) one(o);
    // Inside, the taps go outermost so that the loop over outputs vectorises, each output still summing its
    // taps in ascending order from 0.
    std::fill(out + inner_begin, out + inner_end, 0.0f);
    for (int t = 0; t < taps; ++t) {
        const float w = kernel[static_cast<std::size_t>(t)];
        const int shift = t - half;
        for (int o = inner_begin; o < inner_end; ++o) out[o] += w * static_cast<float>(in[kStep * o + shift]);
    }
}

template <typename In>
void SmoothRowOf(const In* in, int width, const std::vector<float>& kernel, float* out)
{
    SmoothRowSampled<1>(in, width, width, kernel, out);
}

// Column pass with a callback: `store` receives the finished row.
template <typename Store>
void SmoothColumns(const FloatImage& rows, const std::vector<float>& kernel, int y, std::vector<float>& acc,
                   Store store)
{
    SmoothColumn(rows, kernel, y, acc.data());
    store(acc);
}

template <typename Image, typename Finish>
void SmoothSeparable(const Image& image, float sigma, Image& destination, Finish finish)
{
    const std::vector<float> kernel = GaussianKernel(sigma);
    FloatImage rows(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) SmoothRowOf(image.row(y), image.width(), kernel, rows.row(y));
    if (!destination.same_size(image.width(), image.height())) destination.allocate(image.width(), image.height());
    std::vector<float> acc(static_cast<std::size_t>(image.width()));
    for (int y = 0; y < image.height(); ++y)
        SmoothColumns(rows, kernel, y, acc, [&](const std::vector<float>& values) { finish(values, destination.row(y)); });
}

}  // namespace

void SmoothRow(const float* in, int width, const std::vector<float>& kernel, float* out)
{
    SmoothRowSampled<1>(in, width, width, kernel, out);
}

void SmoothRowAtEvenColumns(const float* in, int width, const std::vector<float>& kernel, float* out)
{
    SmoothRowSampled<2>(in, width, width / 2, kernel, out);
}

void SmoothColumn(const FloatImage& rows, const std::vector<float>& kernel, int y, float* out)
{
    const int taps = static_cast<int>(kernel.size());
    const int half = taps / 2;
    const int width = rows.width();
    std::fill(out, out + width, 0.0f);
    for (int t = 0; t < taps; ++t) {
        const int source_row = y + t - half;
        if (source_row < 0 || source_row >= rows.height()) continue;
        const float w = kernel[static_cast<std::size_t>(t)];
        const float* in = rows.row(source_row);
        for (int x = 0; x < width; ++x) out[x] += w * in[x];
    }
}

std::uint8_t GrayOf(const std::uint8_t* bgr)
{
    const float v = kRedWeight * bgr[2] + kGreenWeight * bgr[1] + kBlueWeight * bgr[0] + 0.5f;
    return static_cast<std::uint8_t>(v);
}

void ToGray(const ColorImage& color, GrayImage& gray)
{
    const int width = std::min(color.width(), gray.width());
    const int height = std::min(color.height(), gray.height());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = color.row(y);
        std::uint8_t* out = gray.row(y);
        for (int x = 0; x < width; ++x) out[x] = GrayOf(in + 3 * x);
    }
}

GrayImage ToGray(const ColorImage& color)
{
    GrayImage gray(color.width(), color.height());
    ToGray(color, gray);
    return gray;
}

std::vector<float> GaussianKernel(float sigma)
{
    if (sigma == 0.0f) return {};
    const int taps = 1 + 2 * (static_cast<int>(4.0f * sigma) / 2);
    const int half = taps / 2;
    std::vector<double> weights(static_cast<std::size_t>(taps));
    double sum = 0.0;
    for (int t = -half; t <= half; ++t) {
        const double w = std::exp(-static_cast<double>(t) * t / (2.0 * sigma * sigma));
        weights[static_cast<std::size_t>(t + half)] = w;
        sum += w;
    }
    std::vector<float> kernel(weights.size());
    for (std::size_t i = 0; i < weights.size(); ++i) kernel[i] = static_cast<float>(weights[i] / sum);
    return kernel;
}

void GaussianSmooth(const GrayImage& image, float sigma, GrayImage& destination)
{
    if (sigma == 0.0f) {
        destination = image;
        return;
    }
    SmoothSeparable(image, sigma, destination, [&](const std::vector<float>& values, std::uint8_t* out) {
        for (std::size_t x = 0; x < values.size(); ++x) out[x] = TruncateToByte(values[x]);
    });
}

void GaussianSmooth(const FloatImage& image, float sigma, FloatImage& destination)
{
    if (sigma == 0.0f) {
        destination = image;
        return;
    }
    SmoothSeparable(image, sigma, destination, [&](const std::vector<float>& values, float* out) {
        std::copy(values.begin(), values.end(), out);
    });
}

void ReduceByTwo(const GrayImage& source, GrayImage& destination)
{
    // Same arithmetic as smoothing the whole image and sampling it, but only the samples that are kept
    // are computed: the row pass at even columns, the column pass at even rows.
    const int out_width = source.width() / 2;
    const int out_height = source.height() / 2;
    if (!destination.same_size(out_width, out_height)) destination.allocate(out_width, out_height);
    if (destination.empty()) return;
    const std::vector<float> kernel = GaussianKernel(1.0f);
    FloatImage rows(out_width, source.height());
    for (int y = 0; y < source.height(); ++y)
        SmoothRowSampled<2>(source.row(y), source.width(), out_width, kernel, rows.row(y));
    std::vector<float> acc(static_cast<std::size_t>(out_width));
    for (int oy = 0; oy < out_height; ++oy) {
        SmoothColumns(rows, kernel, 2 * oy, acc, [&](const std::vector<float>& values) {
            std::uint8_t* out = destination.row(oy);
            for (std::size_t x = 0; x < values.size(); ++x) out[x] = TruncateToByte(values[x]);
        });
    }
}

void AreaResample(const ColorImage& source, ColorImage& destination)
{
    if (source.empty() || destination.empty()) return;
    AreaReducer reducer(source.width(), source.height(), destination);
    for (int y = 0; y < source.height(); ++y) reducer.AddRow(source.row(y));
}

GrayImage CutToEvenSize(const GrayImage& image)
{
    const int width = image.width() & ~1;
    const int height = image.height() & ~1;
    if (width == image.width() && height == image.height()) return image;
    GrayImage even(width, height);
    for (int y = 0; y < height; ++y) std::copy_n(image.row(y), width, even.row(y));
    return even;
}

ColorImage Crop(const ColorImage& image, int left, int top, int width, int height)
{
    ColorImage result(std::max(0, width), std::max(0, height));
    const int x0 = std::max(left, 0);
    const int x1 = std::min(left + width, image.width());
    for (int y = std::max(top, 0); y < std::min(top + height, image.height()); ++y) {
        if (x1 <= x0) break;
        std::copy(image.pixel(x0, y), image.pixel(x1, y), result.pixel(x0 - left, y - top));
    }
    return result;
}

void CropInPlace(ColorImage& image, int left, int top, int width, int height)
{
    const int x0 = std::clamp(left, 0, image.width()), y0 = std::clamp(top, 0, image.height());
    const int x1 = std::clamp(left + std::max(width, 0), x0, image.width());
    const int y1 = std::clamp(top + std::max(height, 0), y0, image.height());
    if (x0 == 0 && y0 == 0 && x1 == image.width() && y1 == image.height()) return;
    if (x1 == x0 || y1 == y0) {
        image.release();
        return;
    }
    const int cut_width = x1 - x0, cut_height = y1 - y0;
    const std::size_t stride = ColorImage::StrideFor(cut_width);
    const std::size_t bytes = static_cast<std::size_t>(cut_width) * 3;
    PixelStorage<std::uint8_t> storage = image.take_storage();
    std::uint8_t* block = reinterpret_cast<std::uint8_t*>(storage.block.get());
    std::vector<std::uint8_t*> rows(static_cast<std::size_t>(cut_height));
    // Each row lands at or before where it was read, and ahead of every row still to be read.
    for (int y = 0; y < cut_height; ++y) {
        std::uint8_t* target = block + stride * static_cast<std::size_t>(y);
        std::memmove(target, storage.rows[static_cast<std::size_t>(y0 + y)] + 3 * static_cast<std::size_t>(x0), bytes);
        std::fill(target + bytes, target + stride, std::uint8_t{0});
        rows[static_cast<std::size_t>(y)] = target;
    }
    storage.rows = std::move(rows);
    image.adopt(std::move(storage), cut_width, cut_height);
}

void ToFloat(const GrayImage& plane, FloatImage& destination)
{
    if (!destination.same_size(plane.width(), plane.height())) destination.allocate(plane.width(), plane.height());
    for (int y = 0; y < plane.height(); ++y) {
        const std::uint8_t* in = plane.row(y);
        float* out = destination.row(y);
        for (int x = 0; x < plane.width(); ++x) out[x] = static_cast<float>(in[x]);
    }
}

void ToBytes(const FloatImage& plane, GrayImage& destination)
{
    if (!destination.same_size(plane.width(), plane.height())) destination.allocate(plane.width(), plane.height());
    for (int y = 0; y < plane.height(); ++y) {
        const float* in = plane.row(y);
        std::uint8_t* out = destination.row(y);
        for (int x = 0; x < plane.width(); ++x) out[x] = TruncateToByte(in[x]);
    }
}

FittedSize FitWithin(int width, int height, int bound_width, int bound_height)
{
    if (width <= bound_width && height <= bound_height) return {width, height};
    FittedSize size{};
    if (static_cast<double>(bound_height) / height >= static_cast<double>(bound_width) / width) {
        size.width = bound_width;
        size.height = static_cast<int>(static_cast<std::int64_t>(bound_width) * height / width);
    } else {
        size.height = bound_height;
        size.width = static_cast<int>(static_cast<std::int64_t>(bound_height) * width / height);
    }
    // A sliver (say 1 x 5000) would otherwise shrink to nothing and read as an unreadable file.
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    return size;
}

ColorImage FitImage(ColorImage image, int bound_width, int bound_height)
{
    const FittedSize target = FitWithin(image.width(), image.height(), bound_width, bound_height);
    if (target.width == image.width() && target.height == image.height()) return image;
    ColorImage reduced(target.width, target.height);
    AreaResample(image, reduced);
    return reduced;
}

bool LoadFitted(ColorImage& destination, const std::string& path, int bound_width, int bound_height, MemoryBudget* budget)
{
    // Reduced while it is read: the same rows into the same reduction as FitImage of the whole picture.
    ReducedPicture picture;
    if (ReadReduced(path, ReductionRequest{bound_width, bound_height, -1}, picture, budget) != 0) return false;
    destination = std::move(picture.fitted);
    return true;
}

}  // namespace tp
