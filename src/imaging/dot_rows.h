// Sum of products of two blocks of 16-bit rows, for the correlation searches. Rows are padded with zeros to a
// multiple of 8 samples; the sum is the exact integer whatever the instruction set, so callers get the same
// results everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tp {

namespace detail {

#if defined(__SSE2__)
// Multiply-add of 8 pairs at a time into 4 lanes, summed once at the end. A row length known when compiling
// unrolls the inner loop.
template <int kPadded>
std::int32_t DotRowsSse2(const std::int16_t* a, std::size_t a_stride, const std::int16_t* b, std::size_t b_stride,
                         int rows, int padded)
{
    const int length = kPadded > 0 ? kPadded : padded;
    __m128i acc = _mm_setzero_si128();
    for (int r = 0; r < rows; ++r, a += a_stride, b += b_stride)
        for (int i = 0; i < length; i += 8) {
            const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
            const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(va, vb));
        }
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(acc);
}
#endif

}  // namespace detail

// sum over r < rows, i < padded of a[r * a_stride + i] * b[r * b_stride + i], `padded` a multiple of 8. Exact
// while the values are bytes and rows * padded stays below 2^15: the whole sum then fits 32 bits.
inline std::int32_t DotRows(const std::int16_t* a, std::size_t a_stride, const std::int16_t* b, std::size_t b_stride,
                            int rows, int padded)
{
#if defined(__SSE2__)
    switch (padded) {
    case 8: return detail::DotRowsSse2<8>(a, a_stride, b, b_stride, rows, padded);
    case 16: return detail::DotRowsSse2<16>(a, a_stride, b, b_stride, rows, padded);
    case 24: return detail::DotRowsSse2<24>(a, a_stride, b, b_stride, rows, padded);
    default: return detail::DotRowsSse2<0>(a, a_stride, b, b_stride, rows, padded);
    }
#else
    std::int32_t sum = 0;
    for (int r = 0; r < rows; ++r, a += a_stride, b += b_stride)
        for (int i = 0; i < padded; ++i) sum += std::int32_t{a[i]} * b[i];
    return sum;
#endif
}

}  // namespace tp
