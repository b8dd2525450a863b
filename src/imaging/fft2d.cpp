// Vector-radix 2 x 2 decimation in time: both axes are put in bit-reversed order, then 2 x 2 butterflies
// combine blocks of side 2m from four blocks of side m, for m = 1, 2, ..., N/2. Samples are stored as floats
// between stages; each butterfly is computed in double precision.
#include "imaging/fft2d.h"

#include <cmath>
#include <utility>
#include <vector>

namespace tp {

namespace {

constexpr double kTwoPi = 6.28318530717959;

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

std::vector<int> BitReversal(int n)
{
    std::vector<int> reversed(static_cast<std::size_t>(n), 0);
    int bits = 0;
    while ((1 << bits) < n) ++bits;
    for (int i = 0; i < n; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (1 << b)) r |= 1 << (bits - 1 - b);
        reversed[static_cast<std::size_t>(i)] = r;
    }
    return reversed;
}

void PermuteBitReversed(FloatImage& plane, const std::vector<int>& reversed)
{
    const int n = plane.width();
    for (int i = 0; i < n; ++i) {
        const int j = reversed[static_cast<std::size_t>(i)];
        if (j > i) std::swap_ranges(plane.row(i), plane.row(i) + n, plane.row(j));
    }
    for (int y = 0; y < n; ++y) {
        float* row = plane.row(y);
        for (int i = 0; i < n; ++i) {
            const int j = reversed[static_cast<std::size_t>(i)];
            if (j > i) std::swap(row[i], row[j]);
        }
    }
}

struct Twiddles {
    // cos and sin of sign * 2 pi k / N for k = 0 .. N/2.
    std::vector<double> cosine;
    std::vector<double> sine;
    int n = 0;

    // W^k for any 0 <= k < N, using W^(k + N/2) = -W^k.
    void at(int k, double& c, double& s) const
    {
        const int half = n / 2;
        if (k <= half) {
            c = cosine[static_cast<std::size_t>(k)];
            s = sine[static_cast<std::size_t>(k)];
        } else {
            c = -cosine[static_cast<std::size_t>(k - half)];
            s = -sine[static_cast<std::size_t>(k - half)];
        }
    }
};

Twiddles MakeTwiddles(int n, double sign)
{
    Twiddles t;
    t.n = n;
    for (int k = 0; k <= n / 2; ++k) {
        const double theta = sign * kTwoPi * k / n;
        t.cosine.push_back(std::cos(theta));
        t.sine.push_back(std::sin(theta));
    }
    return t;
}

void Butterflies(ComplexImage& image, const Twiddles& w)
{
    const int n = image.width();
    std::vector<double> column_cos, column_sin;
    for (int m = 1; m < n; m *= 2) {
        const int step = n / (2 * m);
        column_cos.resize(static_cast<std::size_t>(m));
        column_sin.resize(static_cast<std::size_t>(m));
        for (int j = 0; j < m; ++j) w.at(j * step, column_cos[static_cast<std::size_t>(j)], column_sin[static_cast<std::size_t>(j)]);
        for (int i0 = 0; i0 < n; i0 += 2 * m) {
            for (int i = 0; i < m; ++i) {
                double row_c, row_s;
                w.at(i * step, row_c, row_s);
                float* re0 = image.real.row(i0 + i);
                float* im0 = image.imag.row(i0 + i);
                float* re1 = image.real.row(i0 + i + m);
                float* im1 = image.imag.row(i0 + i + m);
                for (int j0 = 0; j0 < n; j0 += 2 * m) {
                    for (int j = 0; j < m; ++j) {
                        const int c0 = j0 + j;
                        const int c1 = c0 + m;
                        const double col_c = column_cos[static_cast<std::size_t>(j)];
                        const double col_s = column_sin[static_cast<std::size_t>(j)];
                        double both_c, both_s;
                        w.at((i + j) * step, both_c, both_s);
                        const double ar = re0[c0], ai = im0[c0];
                        const double br = re0[c1] * col_c - im0[c1] * col_s;
                        const double bi = re0[c1] * col_s + im0[c1] * col_c;
                        const double cr = re1[c0] * row_c - im1[c0] * row_s;
                        const double ci = re1[c0] * row_s + im1[c0] * row_c;
                        const double dr = re1[c1] * both_c - im1[c1] * both_s;
                        const double di = re1[c1] * both_s + im1[c1] * both_c;
                        const double sum_ac_r = ar + cr, sum_ac_i = ai + ci;
                        const double dif_ac_r = ar - cr, dif_ac_i = ai - ci;
                        const double sum_bd_r = br + dr, sum_bd_i = bi + di;
                        const double dif_bd_r = br - dr, dif_bd_i = bi - di;
                        re0[c0] = static_cast<float>(sum_ac_r + sum_bd_r);
                        im0[c0] = static_cast<float>(sum_ac_i + sum_bd_i);
                        re0[c1] = static_cast<float>(sum_ac_r - sum_bd_r);
                        im0[c1] = static_cast<float>(sum_ac_i - sum_bd_i);
                        re1[c0] = static_cast<float>(dif_ac_r + dif_bd_r);
                        im1[c0] = static_cast<float>(dif_ac_i + dif_bd_i);
                        re1[c1] = static_cast<float>(dif_ac_r - dif_bd_r);
                        im1[c1] = static_cast<float>(dif_ac_i - dif_bd_i);
                    }
                }
            }
        }
    }
}

}  // namespace

bool FFT2D(const ComplexImage& input, FftDirection direction, ComplexImage& output)
{
    const int n = input.width();
    if (!IsPowerOfTwo(n) || input.height() != n || input.imag.width() != n || input.imag.height() != n) return false;
    if (&input != &output) output = input;
    const std::vector<int> reversed = BitReversal(n);
    PermuteBitReversed(output.real, reversed);
    PermuteBitReversed(output.imag, reversed);
    const double sign = direction == FftDirection::Forward ? -1.0 : 1.0;
    Butterflies(output, MakeTwiddles(n, sign));
    if (direction == FftDirection::Inverse) {
        const double scale = 1.0 / (static_cast<double>(n) * n);
        for (FloatImage* plane : {&output.real, &output.imag})
            for (int y = 0; y < n; ++y) {
                float* row = plane->row(y);
                for (int x = 0; x < n; ++x) row[x] = static_cast<float>(row[x] * scale);
            }
    }
    return true;
}

}  // namespace tp
