#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

#include "imaging/fft2d.h"

namespace tp {
namespace {

ComplexImage RandomComplex(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(-100.0f, 100.0f);
    ComplexImage c(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            c.real.at(x, y) = u(rng);
            c.imag.at(x, y) = u(rng);
        }
    return c;
}

TEST(FFT2DTest, ImpulseAtOriginGivesOneInEveryBin)
{
    ComplexImage c(16, 16);
    c.real.at(0, 0) = 1.0f;
    ASSERT_TRUE(FFT2D(c, FftDirection::Forward, c));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_NEAR(c.real.at(x, y), 1.0f, 1e-6);
            EXPECT_NEAR(c.imag.at(x, y), 0.0f, 1e-6);
        }
}

TEST(FFT2DTest, MatchesTheDirectSumInBothDirections)
{
    const int n = 8;
    const ComplexImage input = RandomComplex(n, 3);
    for (FftDirection direction : {FftDirection::Forward, FftDirection::Inverse}) {
        ComplexImage output;
        ASSERT_TRUE(FFT2D(input, direction, output));
        const double sign = direction == FftDirection::Forward ? -1.0 : 1.0;
        const double scale = direction == FftDirection::Forward ? 1.0 : 1.0 / (n * n);
        for (int l = 0; l < n; ++l)
            for (int k = 0; k < n; ++k) {
                std::complex<double> sum = 0;
                for (int y = 0; y < n; ++y)
                    for (int x = 0; x < n; ++x)
                        sum += std::complex<double>(input.real.at(x, y), input.imag.at(x, y)) *
                               std::polar(1.0, sign * 2 * M_PI * (k * x + l * y) / n);
                sum *= scale;
                EXPECT_NEAR(output.real.at(k, l), sum.real(), 1e-3) << k << "," << l;
                EXPECT_NEAR(output.imag.at(k, l), sum.imag(), 1e-3) << k << "," << l;
            }
    }
}

TEST(FFT2DTest, ForwardThenInverseReturnsTheInput)
{
    for (int n : {1, 2, 4, 64, 256}) {
        const ComplexImage input = RandomComplex(n, static_cast<unsigned>(n));
        ComplexImage work = input;
        ASSERT_TRUE(FFT2D(work, FftDirection::Forward, work));
        ASSERT_TRUE(FFT2D(work, FftDirection::Inverse, work));
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                ASSERT_NEAR(work.real.at(x, y), input.real.at(x, y), 2e-3) << n;
                ASSERT_NEAR(work.imag.at(x, y), input.imag.at(x, y), 2e-3) << n;
            }
    }
}

TEST(FFT2DTest, RefusesSizesThatAreNotSquarePowersOfTwo)
{
    ComplexImage out;
    EXPECT_FALSE(FFT2D(ComplexImage(12, 12), FftDirection::Forward, out));
    EXPECT_FALSE(FFT2D(ComplexImage(16, 8), FftDirection::Forward, out));
    EXPECT_FALSE(FFT2D(ComplexImage(), FftDirection::Forward, out));
    EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace tp
