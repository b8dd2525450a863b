#include "ui/image_reduction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace tp {

namespace {

// Two of a pixel's four channels, each in a 16-bit lane, so one multiply weighs both and a sum of weights up
// to 256 never carries into the next lane.
constexpr std::uint32_t kLanes = 0x00FF00FFu;
constexpr std::uint32_t kLaneHalf = 0x00800080u;

// The source pixels each output pixel covers along an axis: output i starts at source first[i] and has
// weights[offset[i] .. offset[i + 1]), in 1/256 that sum to 256.
struct Taps {
    std::vector<int> first;
    std::vector<std::size_t> offset{0};
    std::vector<std::uint32_t> weights;
    std::size_t count(std::size_t i) const { return offset[i + 1] - offset[i]; }
    const std::uint32_t* of(std::size_t i) const { return weights.data() + offset[i]; }
};

// Taps of output pixels [begin, end) when `source_length` pixels become `length`.
Taps AreaTaps(int source_length, int length, int begin, int end)
{
    Taps taps;
    const double step = static_cast<double>(source_length) / length;
    for (int i = begin; i < end; ++i) {
        const double from = i * step, to = std::min((i + 1) * step, static_cast<double>(source_length));
        const int first = static_cast<int>(from);
        const int last = std::min(source_length - 1, static_cast<int>(std::ceil(to)) - 1);
        const std::size_t start = taps.weights.size();
        std::uint32_t sum = 0;
        std::size_t largest = start;
        for (int s = first; s <= last; ++s) {
            const double covered = std::min(to, s + 1.0) - std::max(from, static_cast<double>(s));
            taps.weights.push_back(static_cast<std::uint32_t>(covered / step * 256.0 + 0.5));
            sum += taps.weights.back();
            if (taps.weights.back() > taps.weights[largest]) largest = taps.weights.size() - 1;
        }
        // Rounding may miss 256 by a little; the largest share absorbs it so that flat areas stay flat.
        taps.weights[largest] += 256 - sum;
        taps.first.push_back(first);
        taps.offset.push_back(taps.weights.size());
    }
    return taps;
}

const std::uint32_t* Row(const QImage& image, int y) { return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y)); }

// Source rows weighed together (`count` weights from row `first`), over source columns [x0, x0 + width),
// rounded back to 8 bits per channel.
void MixRows(const QImage& image, int first, std::size_t count, const std::uint32_t* weights, int x0,
             std::vector<std::uint32_t>& rb, std::vector<std::uint32_t>& ag, std::uint32_t* out)
{
    const std::size_t width = rb.size();
    std::fill(rb.begin(), rb.end(), 0u);
    std::fill(ag.begin(), ag.end(), 0u);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t* in = Row(image, first + static_cast<int>(k)) + x0;
        const std::uint32_t w = weights[k];
        for (std::size_t x = 0; x < width; ++x) {
            rb[x] += (in[x] & kLanes) * w;
            ag[x] += ((in[x] >> 8) & kLanes) * w;
        }
    }
    for (std::size_t x = 0; x < width; ++x)
        out[x] = (((rb[x] + kLaneHalf) >> 8) & kLanes) | ((((ag[x] + kLaneHalf) >> 8) & kLanes) << 8);
}

}  // namespace

QImage NewRgb32Image(QSize size)
{
    if (size.isEmpty()) return {};
    const auto bytes_per_line = static_cast<qsizetype>(size.width()) * 4;
    auto block = std::make_unique<PixelBlock>(AllocateZeroedBlock(static_cast<std::size_t>(bytes_per_line) * size.height()));
    if (!*block) return {};
    auto* pixels = reinterpret_cast<uchar*>(block->get());
    // The image owns the block from here on and frees it with its last copy.
    return QImage(pixels, size.width(), size.height(), bytes_per_line, QImage::Format_RGB32,
                  [](void* owned) { delete static_cast<PixelBlock*>(owned); }, block.release());
}

QImage ToRgb32(const ColorImage& image)
{
    QImage out = NewRgb32Image({image.width(), image.height()});
    if (out.isNull()) return {};
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.row(y);
        auto* pixel = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < image.width(); ++x, in += 3) {
            // Four bytes at once: the fourth is the next pixel's, the row padding or the block's spare bytes.
            std::uint32_t bgr;
            std::memcpy(&bgr, in, sizeof bgr);
            pixel[x] = bgr | 0xFF000000u;
        }
    }
    return out;
}

QImage HalveByBoxFilter(const QImage& image)
{
    const int width = image.width() / 2, height = image.height() / 2;
    QImage out = NewRgb32Image({width, height});
    if (out.isNull()) return {};
    constexpr std::uint32_t kQuarterHalf = 0x00020002u;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* a = Row(image, 2 * y);
        const std::uint32_t* b = Row(image, 2 * y + 1);
        auto* o = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p0 = a[2 * x], p1 = a[2 * x + 1], p2 = b[2 * x], p3 = b[2 * x + 1];
            const std::uint32_t rb = (p0 & kLanes) + (p1 & kLanes) + (p2 & kLanes) + (p3 & kLanes) + kQuarterHalf;
            const std::uint32_t ag = ((p0 >> 8) & kLanes) + ((p1 >> 8) & kLanes) + ((p2 >> 8) & kLanes) +
                                     ((p3 >> 8) & kLanes) + kQuarterHalf;
            o[x] = ((rb >> 2) & kLanes) | (((ag >> 2) & kLanes) << 8);
        }
    }
    return out;
}

void ReduceByArea(const QImage& image, QImage& into, const QRect& part)
{
    const QSize size = into.size();
    const QRect wanted = part.intersected(into.rect());
    if (wanted.isEmpty() || image.isNull() || size.width() > image.width() || size.height() > image.height()) return;
    const Taps columns = AreaTaps(image.width(), size.width(), wanted.left(), wanted.right() + 1);
    const Taps rows = AreaTaps(image.height(), size.height(), wanted.top(), wanted.bottom() + 1);
    // Rows first, over just the source columns this part needs; then columns.
    const int x0 = columns.first.front();
    const std::size_t last = columns.first.size() - 1;
    const auto width = static_cast<std::size_t>(columns.first.back() + static_cast<int>(columns.count(last)) - x0);
    std::vector<std::uint32_t> rb(width), ag(width), mixed(width);
    for (int y = 0; y < wanted.height(); ++y) {
        const auto r = static_cast<std::size_t>(y);
        MixRows(image, rows.first[r], rows.count(r), rows.of(r), x0, rb, ag, mixed.data());
        auto* o = reinterpret_cast<std::uint32_t*>(into.scanLine(wanted.top() + y)) + wanted.left();
        for (std::size_t x = 0; x < columns.first.size(); ++x) {
            const std::uint32_t* in = mixed.data() + (columns.first[x] - x0);
            const std::uint32_t* w = columns.of(x);
            std::uint32_t sum_rb = kLaneHalf, sum_ag = kLaneHalf;
            for (std::size_t k = 0; k < columns.count(x); ++k) {
                sum_rb += (in[k] & kLanes) * w[k];
                sum_ag += ((in[k] >> 8) & kLanes) * w[k];
            }
            o[x] = ((sum_rb >> 8) & kLanes) | (((sum_ag >> 8) & kLanes) << 8);
        }
    }
}

QImage ReduceByArea(const QImage& image, QSize size)
{
    QImage out = NewRgb32Image(size.boundedTo(image.size()));
    ReduceByArea(image, out, out.rect());
    return out;
}

}  // namespace tp
