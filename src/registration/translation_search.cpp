#include "registration/translation_search.h"

#include <algorithm>
#include <cmath>

#include "imaging/fft2d.h"

namespace tp {

namespace {

constexpr int kPeakSpacing = 3;

int PowerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

template <typename Image>
double Mean(const Image& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) sum += image.at(x, y);
    return image.empty() ? 0.0 : sum / (static_cast<double>(image.width()) * image.height());
}

// The image less its mean (unless `keep_mean`), times `weight(x, y)`, in the top-left corner of an n x n plane.
template <typename Image, typename Weight>
ComplexImage Embed(const Image& image, int n, Weight weight, bool keep_mean = false)
{
    ComplexImage plane(n, n);
    const double mean = keep_mean ? 0.0 : Mean(image);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) plane.real.at(x, y) = static_cast<float>((image.at(x, y) - mean) * weight(x, y));
    return plane;
}

// conj(FA) FB, optionally divided by its magnitude, transformed back: the (phase) cross-correlation with the
// shift (x, y) at bin (x mod n, y mod n).
bool CrossCorrelate(ComplexImage& fa, ComplexImage& fb, bool phase_only)
{
    if (!FFT2D(fa, FftDirection::Forward, fa) || !FFT2D(fb, FftDirection::Forward, fb)) return false;
    const int n = fa.real.width();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double ar = fa.real.at(x, y), ai = fa.imag.at(x, y), br = fb.real.at(x, y), bi = fb.imag.at(x, y);
            double re = ar * br + ai * bi, im = ar * bi - ai * br;
            if (phase_only) {
                const double m = std::hypot(re, im);
                if (m > 0) {
                    re /= m;
                    im /= m;
                } else {
                    re = im = 0;
                }
            }
            fa.real.at(x, y) = static_cast<float>(re);
            fa.imag.at(x, y) = static_cast<float>(im);
        }
    return FFT2D(fa, FftDirection::Inverse, fa);
}

// Summed-area table of f(pixel) with a zero first row and column.
template <typename F>
std::vector<double> Integral(const FloatImage& image, F f)
{
    const int w = image.width(), h = image.height();
    std::vector<double> table(static_cast<std::size_t>(w + 1) * (h + 1), 0.0);
    for (int y = 0; y < h; ++y) {
        double row = 0;
        for (int x = 0; x < w; ++x) {
            row += f(image.at(x, y));
            table[static_cast<std::size_t>(y + 1) * (w + 1) + x + 1] = table[static_cast<std::size_t>(y) * (w + 1) + x + 1] + row;
        }
    }
    return table;
}

double RectangleSum(const std::vector<double>& table, int w, int x0, int y0, int x1, int y1)
{
    const auto at = [&](int x, int y) { return table[static_cast<std::size_t>(y) * (w + 1) + x]; };
    return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
}

// A surface over the shifts (-w < x < w, -h < y < h); NaN where a shift does not count.
struct ShiftSurface {
    int w = 0, h = 0;
    std::vector<float> values;
    float& at(int x, int y) { return values[static_cast<std::size_t>(y + h) * (2 * w + 1) + (x + w)]; }
    float at(int x, int y) const { return values[static_cast<std::size_t>(y + h) * (2 * w + 1) + (x + w)]; }
};

// Local maxima (ties broken by scan order), strongest first, none within kPeakSpacing of a stronger one.
std::vector<ShiftCandidate> StrongestPeaks(const ShiftSurface& s, int count)
{
    std::vector<ShiftCandidate> maxima;
    for (int y = -s.h + 1; y < s.h; ++y)
        for (int x = -s.w + 1; x < s.w; ++x) {
            const float v = s.at(x, y);
            if (!(v > 0.0f)) continue;
            bool is_max = true;
            for (int dy = -1; dy <= 1 && is_max; ++dy)
                for (int dx = -1; dx <= 1 && is_max; ++dx) {
                    const float u = s.at(x + dx, y + dy);
                    if ((dx || dy) && (u > v || (u == v && (dy < 0 || (dy == 0 && dx < 0))))) is_max = false;
                }
            if (is_max) maxima.push_back({x, y, v});
        }
    std::stable_sort(maxima.begin(), maxima.end(), [](const ShiftCandidate& l, const ShiftCandidate& r) { return l.strength > r.strength; });
    std::vector<ShiftCandidate> peaks;
    for (const ShiftCandidate& m : maxima) {
        if (static_cast<int>(peaks.size()) >= count) break;
        const bool near = std::any_of(peaks.begin(), peaks.end(), [&](const ShiftCandidate& p) {
            return std::abs(p.x - m.x) < kPeakSpacing && std::abs(p.y - m.y) < kPeakSpacing;
        });
        if (!near) peaks.push_back(m);
    }
    return peaks;
}

ShiftSurface EmptySurface(int w, int h)
{
    ShiftSurface s;
    s.w = w;
    s.h = h;
    s.values.assign(static_cast<std::size_t>(2 * w + 1) * (2 * h + 1), std::nanf(""));
    return s;
}

}  // namespace

std::vector<ShiftCandidate> CorrelationPeaks(const FloatImage& a, const FloatImage& b, double minimum_overlap, int count)
{
    const int w = a.width(), h = a.height();
    if (w < 4 || h < 4 || b.width() != w || b.height() != h) return {};
    const int n = PowerOfTwoAtLeast(2 * std::max(w, h));
    const auto one = [](int, int) { return 1.0; };
    ComplexImage fa = Embed(a, n, one), fb = Embed(b, n, one);
    if (!CrossCorrelate(fa, fb, false)) return {};

    const double mean_a = Mean(a), mean_b = Mean(b);
    const std::vector<double> ia = Integral(a, [&](double v) { return v - mean_a; });
    const std::vector<double> iaa = Integral(a, [&](double v) { return (v - mean_a) * (v - mean_a); });
    const std::vector<double> ib = Integral(b, [&](double v) { return v - mean_b; });
    const std::vector<double> ibb = Integral(b, [&](double v) { return (v - mean_b) * (v - mean_b); });
    const double least_area = minimum_overlap * w * h;
    ShiftSurface surface = EmptySurface(w, h);
    for (int dy = -h + 1; dy < h; ++dy)
        for (int dx = -w + 1; dx < w; ++dx) {
            // A's part that lands in B: x in [x0, x1), y in [y0, y1).
            const int x0 = std::max(0, -dx), x1 = std::min(w, w - dx), y0 = std::max(0, -dy), y1 = std::min(h, h - dy);
            const double area = static_cast<double>(x1 - x0) * (y1 - y0);
            if (area < least_area || area < 16) continue;
            const double sa = RectangleSum(ia, w, x0, y0, x1, y1), saa = RectangleSum(iaa, w, x0, y0, x1, y1);
            const double sb = RectangleSum(ib, w, x0 + dx, y0 + dy, x1 + dx, y1 + dy);
            const double sbb = RectangleSum(ibb, w, x0 + dx, y0 + dy, x1 + dx, y1 + dy);
            const double sab = fa.real.at((dx + n) % n, (dy + n) % n);
            const double va = saa - sa * sa / area, vb = sbb - sb * sb / area;
            if (va <= 1e-6 * area || vb <= 1e-6 * area) continue;
            surface.at(dx, dy) = static_cast<float>((sab - sa * sb / area) / std::sqrt(va * vb));
        }
    return StrongestPeaks(surface, count);
}

std::vector<ShiftCandidate> TaperedPhasePeaks(const GrayImage& a, const GrayImage& b, int count)
{
    const int w = a.width(), h = a.height();
    if (w < 4 || h < 4 || b.width() != w || b.height() != h) return {};
    const int n = PowerOfTwoAtLeast(2 * std::max(w, h));
    // A cosine taper over the outer eighth of each side, so that the image edges do not correlate.
    const auto taper = [](int i, int size) {
        const double margin = std::max(size / 8.0, 1.0);
        const double d = std::min(i + 0.5, size - i - 0.5);
        return d >= margin ? 1.0 : 0.5 - 0.5 * std::cos(M_PI * d / margin);
    };
    const auto weight = [&](int x, int y) { return taper(x, w) * taper(y, h); };
    ComplexImage fa = Embed(a, n, weight), fb = Embed(b, n, weight);
    if (!CrossCorrelate(fa, fb, true)) return {};
    ShiftSurface surface = EmptySurface(w, h);
    for (int dy = -h + 1; dy < h; ++dy)
        for (int dx = -w + 1; dx < w; ++dx)
            if (std::abs(dx) > 1 || std::abs(dy) > 1) surface.at(dx, dy) = fa.real.at((dx + n) % n, (dy + n) % n);
    return StrongestPeaks(surface, count);
}

std::vector<ShiftCandidate> PhaseCorrelationPeaks(const GrayImage& a, const GrayImage& b, int count)
{
    const int w = a.width(), h = a.height();
    if (w < 4 || h < 4 || b.width() != w || b.height() != h) return {};
    int n = 1;
    while (n <= std::max(w, h)) n *= 2;
    const auto one = [](int, int) { return 1.0; };
    ComplexImage fa = Embed(a, n, one, true), fb = Embed(b, n, one, true);
    if (!CrossCorrelate(fa, fb, true)) return {};
    // Every bin once, read as the shift it stands for (bins past the middle are negative shifts).
    ShiftSurface surface = EmptySurface(w, h);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int dx = x > n / 2 ? x - n : x, dy = y > n / 2 ? y - n : y;
            if (std::abs(dx) < w && std::abs(dy) < h && (std::abs(dx) > 1 || std::abs(dy) > 1)) surface.at(dx, dy) = fa.real.at(x, y);
        }
    return StrongestPeaks(surface, count);
}

}  // namespace tp
