#include <gtest/gtest.h>

#include <random>

#include "imaging/lu.h"
#include "imaging/matrix.h"

namespace tp {
namespace {

Matrix FromRows(std::initializer_list<std::initializer_list<double>> rows)
{
    Matrix m(static_cast<int>(rows.size()), static_cast<int>(rows.begin()->size()));
    int i = 0;
    for (const auto& row : rows) {
        int j = 0;
        for (double v : row) m[i][j++] = v;
        ++i;
    }
    return m;
}

void ExpectNear(const Matrix& a, const Matrix& b, double tolerance)
{
    ASSERT_EQ(a.rows(), b.rows());
    ASSERT_EQ(a.columns(), b.columns());
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.columns(); ++j) EXPECT_NEAR(a[i][j], b[i][j], tolerance) << "(" << i << ", " << j << ")";
}

TEST(MatrixTest, ConstructionIsZeroAndIdentityHasOnesOnTheDiagonal)
{
    Matrix m(2, 3);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(m[i][j], 0.0);
    m[1][2] = 5;
    m.set_identity();
    EXPECT_EQ(m[0][0], 1.0);
    EXPECT_EQ(m[1][1], 1.0);
    EXPECT_EQ(m[1][2], 0.0);
    EXPECT_TRUE(Matrix(0, 3).empty());
}

TEST(MatrixTest, ProductsTransposeAndTrace)
{
    const Matrix a = FromRows({{1, 2}, {3, 4}, {5, 6}});
    const Matrix b = FromRows({{7, 8, 9}, {10, 11, 12}});
    ExpectNear(a * b, FromRows({{27, 30, 33}, {61, 68, 75}, {95, 106, 117}}), 0);
    ExpectNear(Transpose(a), FromRows({{1, 3, 5}, {2, 4, 6}}), 0);
    EXPECT_EQ(Trace(a * b), 27 + 68 + 117);
    // A 1 x 1 factor on either side scales the other matrix.
    const Matrix three = FromRows({{3}});
    ExpectNear(three * a, FromRows({{3, 6}, {9, 12}, {15, 18}}), 0);
    ExpectNear(b * three, FromRows({{21, 24, 27}, {30, 33, 36}}), 0);
    ExpectNear(0.5 * b, FromRows({{3.5, 4, 4.5}, {5, 5.5, 6}}), 0);
}

TEST(MatrixInverseTest, KnownInverses)
{
    ExpectNear(Inverse(Matrix::Identity(3)), Matrix::Identity(3), 0);
    ExpectNear(Inverse(FromRows({{2, 0, 0}, {0, 4, 0}, {0, 0, 8}})), FromRows({{0.5, 0, 0}, {0, 0.25, 0}, {0, 0, 0.125}}), 0);
    ExpectNear(Inverse(FromRows({{4, 7}, {2, 6}})), FromRows({{0.6, -0.7}, {-0.2, 0.4}}), 1e-15);
}

TEST(MatrixInverseTest, RandomHomographiesTimesTheirInverseAreIdentity)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 20; ++trial) {
        Matrix h = Matrix::Identity(3);
        for (int i = 0; i < 9; ++i) h.data()[i] += 0.3 * u(rng);
        h[0][2] = 200 * u(rng);
        h[1][2] = 200 * u(rng);
        h[2][0] = 1e-3 * u(rng);
        ExpectNear(h * Inverse(h), Matrix::Identity(3), 1e-9);
        Matrix checked;
        EXPECT_TRUE(TryInverse(h, checked));
        ExpectNear(checked, Inverse(h), 0);
    }
}

TEST(MatrixInverseDeathTest, SingularTwoByTwoEndsTheProcessWithTheToolkitMessage)
{
    EXPECT_EXIT(Inverse(FromRows({{1, 2}, {2, 4}})), ::testing::ExitedWithCode(255), "Inv\\(\\): The input matrix is singular\\.");
}

TEST(MatrixInverseTest, TryInverseReportsSingularMatricesInsteadOfStopping)
{
    Matrix out;
    EXPECT_FALSE(TryInverse(FromRows({{1, 2}, {2, 4}}), out));
    EXPECT_FALSE(TryInverse(FromRows({{1, 2, 3}, {0, 0, 0}, {4, 5, 6}}), out));
    EXPECT_FALSE(TryInverse(FromRows({{1, 2, 3}, {2, 4, 6}, {4, 5, 6}}), out));
    EXPECT_FALSE(TryInverse(Matrix(2, 3), out));
}

TEST(LUTest, SolvesALinearSystem)
{
    Matrix a = FromRows({{2, 1, 1}, {4, -6, 0}, {-2, 7, 2}});
    std::vector<int> pivots;
    double parity = 0;
    ASSERT_TRUE(LUDecompose(a, pivots, parity));
    std::vector<double> b = {5, -2, 9};
    LUSolve(a, pivots, b);
    EXPECT_NEAR(b[0], 1, 1e-12);
    EXPECT_NEAR(b[1], 1, 1e-12);
    EXPECT_NEAR(b[2], 2, 1e-12);
}

TEST(LUTest, EqualScaledPivotsPickTheLaterRow)
{
    Matrix a = FromRows({{1, 0}, {1, 1}});
    std::vector<int> pivots;
    double parity = 0;
    ASSERT_TRUE(LUDecompose(a, pivots, parity));
    EXPECT_EQ(pivots[0], 1);
    EXPECT_EQ(parity, -1.0);
}

TEST(LUTest, ImplicitScalingChoosesTheRowThatIsLargestRelativeToItsOwnScale)
{
    // Row 0 has the larger entry in column 0 but is dominated by its own 1000; row 1 wins after scaling.
    Matrix a = FromRows({{2, 1000}, {1, 1}});
    std::vector<int> pivots;
    double parity = 0;
    LUDecompose(a, pivots, parity);
    EXPECT_EQ(pivots[0], 1);
}

TEST(LUTest, ZeroRowAndZeroPivotAreReportedButTheFactorisationFinishes)
{
    Matrix zero_row = FromRows({{1, 2}, {0, 0}});
    std::vector<int> pivots;
    double parity = 0;
    EXPECT_FALSE(LUDecompose(zero_row, pivots, parity));
    Matrix singular = FromRows({{1, 2, 3}, {2, 4, 6}, {1, 1, 1}});
    EXPECT_FALSE(LUDecompose(singular, pivots, parity));
    bool tiny_found = false;
    for (int i = 0; i < 3; ++i) tiny_found |= singular[i][i] == 1e-20;
    EXPECT_TRUE(tiny_found);
}

}  // namespace
}  // namespace tp
