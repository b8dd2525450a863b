#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "imaging/dot_rows.h"

namespace tp {
namespace {

// Every row length the searches use and one the fast paths do not name, at unaligned starts, against the
// plain double loop; the largest block the bound allows, all 255, must not overflow.
TEST(DotRowsTest, EqualsThePlainSumForEveryRowLength)
{
    std::mt19937 rng(3);
    for (const int padded : {8, 16, 24, 40}) {
        const int rows = 19;
        const std::size_t a_stride = static_cast<std::size_t>(padded) + 5, b_stride = static_cast<std::size_t>(padded) + 11;
        std::vector<std::int16_t> a(rows * a_stride + 1), b(rows * b_stride + 3);
        for (std::int16_t& v : a) v = static_cast<std::int16_t>(rng() % 256);
        for (std::int16_t& v : b) v = static_cast<std::int16_t>(rng() % 256);
        std::int64_t expected = 0;
        for (int r = 0; r < rows; ++r)
            for (int i = 0; i < padded; ++i) expected += std::int64_t{a[1 + r * a_stride + i]} * b[3 + r * b_stride + i];
        EXPECT_EQ(DotRows(a.data() + 1, a_stride, b.data() + 3, b_stride, rows, padded), expected) << padded;
    }
    const int rows = 1024, padded = 24;  // 24576 products, just below 2^15
    const std::vector<std::int16_t> full(static_cast<std::size_t>(rows) * padded, 255);
    EXPECT_EQ(DotRows(full.data(), padded, full.data(), padded, rows, padded), 24576 * 65025);
}

}  // namespace
}  // namespace tp
