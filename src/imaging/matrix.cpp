#include "imaging/matrix.h"

#include <algorithm>
#include <cmath>

#include "imaging/fatal_error.h"
#include "imaging/lu.h"

namespace tp {

Matrix Matrix::Identity(int size)
{
    Matrix m(size, size);
    m.set_identity();
    return m;
}

void Matrix::reallocate(int rows, int columns)
{
    if (rows <= 0 || columns <= 0) {
        rows_ = columns_ = 0;
        data_.clear();
        return;
    }
    rows_ = rows;
    columns_ = columns;
    data_.assign(static_cast<std::size_t>(rows) * columns, 0.0);
}

void Matrix::set_identity()
{
    std::fill(data_.begin(), data_.end(), 0.0);
    for (int i = 0; i < std::min(rows_, columns_); ++i) (*this)[i][i] = 1.0;
}

Matrix operator*(double scalar, const Matrix& m)
{
    Matrix result = m;
    for (int i = 0; i < m.rows() * m.columns(); ++i) result.data()[i] *= scalar;
    return result;
}

Matrix operator*(const Matrix& a, const Matrix& b)
{
    if (a.rows() == 1 && a.columns() == 1) return a[0][0] * b;
    if (b.rows() == 1 && b.columns() == 1) return b[0][0] * a;
    Matrix result(a.rows(), b.columns());
    const int inner = std::min(a.columns(), b.rows());
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < b.columns(); ++j) {
            double sum = 0.0;
            for (int k = 0; k < inner; ++k) sum += a[i][k] * b[k][j];
            result[i][j] = sum;
        }
    return result;
}

Matrix Transpose(const Matrix& m)
{
    Matrix result(m.columns(), m.rows());
    for (int i = 0; i < m.rows(); ++i)
        for (int j = 0; j < m.columns(); ++j) result[j][i] = m[i][j];
    return result;
}

double Trace(const Matrix& m)
{
    double sum = 0.0;
    for (int i = 0; i < std::min(m.rows(), m.columns()); ++i) sum += m[i][i];
    return sum;
}

namespace {

// Inverse through LU, column by column; `regular` tells whether the factorisation met no zero row or pivot.
Matrix InverseByLU(const Matrix& m, bool& regular)
{
    const int n = m.rows();
    Matrix work = m;
    std::vector<int> pivots;
    double parity = 1.0;
    regular = LUDecompose(work, pivots, parity);
    Matrix inverse(n, n);
    std::vector<double> column(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        std::fill(column.begin(), column.end(), 0.0);
        column[static_cast<std::size_t>(i)] = 1.0;
        LUSolve(work, pivots, column);
        for (int r = 0; r < n; ++r) inverse[r][i] = column[static_cast<std::size_t>(r)];
    }
    return inverse;
}

}  // namespace

Matrix Inverse(const Matrix& m)
{
    if (m.rows() == 2 && m.columns() == 2) {
        const double det = m[1][1] * m[0][0] - m[0][1] * m[1][0];
        if (det == 0.0) FatalError("Inv(): The input matrix is singular.");
        Matrix inverse(2, 2);
        inverse[0][0] = m[1][1];
        inverse[0][1] = -m[0][1];
        inverse[1][0] = -m[1][0];
        inverse[1][1] = m[0][0];
        return (1.0 / det) * inverse;
    }
    bool regular = true;
    return InverseByLU(m, regular);
}

bool TryInverse(const Matrix& m, Matrix& inverse)
{
    if (m.rows() != m.columns() || m.empty()) return false;
    if (m.rows() == 2) {
        const double det = m[1][1] * m[0][0] - m[0][1] * m[1][0];
        if (det == 0.0) return false;
        inverse = Inverse(m);
    } else {
        bool regular = true;
        inverse = InverseByLU(m, regular);
        if (!regular) return false;
    }
    for (int i = 0; i < inverse.rows() * inverse.columns(); ++i)
        if (!std::isfinite(inverse.data()[i])) return false;
    return true;
}

}  // namespace tp
