#include "registration/phase_correlation.h"

#include <algorithm>
#include <cmath>

#include "imaging/fft2d.h"

namespace tp {

namespace {

constexpr float kPeakThreshold = 0.0005f;

int PlaneSize(const GrayImage& a)
{
    const int largest = std::max(a.width(), a.height());
    int n = 1;
    while (n <= largest) n *= 2;
    return n;
}

// The image in the top-left corner of an n x n real plane; whatever does not fit is left out.
ComplexImage Embed(const GrayImage& image, int n)
{
    ComplexImage plane(n, n);
    const int width = std::min(image.width(), n);
    const int height = std::min(image.height(), n);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = image.row(y);
        float* out = plane.real.row(y);
        for (int x = 0; x < width; ++x) out[x] = in[x];
    }
    return plane;
}

bool IsCornerBin(int x, int y, int n) { return (x == 0 || x == n - 1) && (y == 0 || y == n - 1); }

}  // namespace

PhaseCorrelation PhaseCorrelate(const GrayImage& a, const GrayImage& b)
{
    const int n = PlaneSize(a);
    ComplexImage fa = Embed(a, n);
    ComplexImage fb = Embed(b, n);
    FFT2D(fa, FftDirection::Forward, fa);
    FFT2D(fb, FftDirection::Forward, fb);

    // Normalised cross-power spectrum conj(FA) FB / |FA FB|, written over FA.
    for (int y = 0; y < n; ++y) {
        float* ar = fa.real.row(y);
        float* ai = fa.imag.row(y);
        const float* br = fb.real.row(y);
        const float* bi = fb.imag.row(y);
        for (int x = 0; x < n; ++x) {
            const double re_a = ar[x], re_b = br[x];
            const bool corner = IsCornerBin(x, y, n);
            const double im_a = corner ? 0.0 : ai[x];
            const double im_b = corner ? 0.0 : bi[x];
            const double pr = re_a * re_b - im_a * im_b;
            const double pi = re_a * im_b + im_a * re_b;
            const double magnitude = std::sqrt(pr * pr + pi * pi);
            if (magnitude == 0.0) {
                ar[x] = ai[x] = 0.0f;
            } else {
                ar[x] = static_cast<float>((re_a * re_b + im_a * im_b) / magnitude);
                ai[x] = corner ? 0.0f : static_cast<float>((re_a * im_b - im_a * re_b) / magnitude);
            }
        }
    }
    FFT2D(fa, FftDirection::Inverse, fa);

    PhaseCorrelation result;
    float best = 0.0f;
    int peak_x = 0, peak_y = 0;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            if (x == 0 && y == 0) continue;
            const float v = fa.real.at(x, y);
            if (v > best && v > kPeakThreshold) {
                best = v;
                peak_x = x;
                peak_y = y;
            }
        }
    if (peak_x > n / 2) peak_x -= n;
    if (peak_y > n / 2) peak_y -= n;
    result.x = static_cast<float>(peak_x);
    result.y = static_cast<float>(peak_y);
    result.peak = best;
    return result;
}

}  // namespace tp
