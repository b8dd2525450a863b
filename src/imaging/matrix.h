// Dense row-major matrix of doubles. A 3 x 3 Matrix is a homography.
#pragma once

#include <vector>

namespace tp {

class Matrix {
public:
    Matrix() = default;
    Matrix(int rows, int columns) { reallocate(rows, columns); }
    static Matrix Identity(int size);

    // Discards the contents; every element becomes 0.
    void reallocate(int rows, int columns);
    void set_identity();

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    bool empty() const { return data_.empty(); }

    double* operator[](int row) { return data_.data() + static_cast<std::size_t>(row) * columns_; }
    const double* operator[](int row) const { return data_.data() + static_cast<std::size_t>(row) * columns_; }
    double& at(int row, int column) { return (*this)[row][column]; }
    double at(int row, int column) const { return (*this)[row][column]; }
    // The whole block, row after row.
    double* data() { return data_.data(); }
    const double* data() const { return data_.data(); }

    bool operator==(const Matrix& other) const = default;

private:
    int rows_ = 0;
    int columns_ = 0;
    std::vector<double> data_;
};

// A 1 x 1 factor scales the other operand; otherwise the ordinary product (dimensions are not checked
// beyond what is needed to stay inside both matrices).
Matrix operator*(const Matrix& a, const Matrix& b);
Matrix operator*(double scalar, const Matrix& m);
Matrix Transpose(const Matrix& m);
double Trace(const Matrix& m);

// Inverse of a square matrix. A singular 2 x 2 matrix is a fatal error ("Inv(): The input matrix is
// singular."); larger matrices go through LUDecompose, whose 1e-20 pivot yields huge values instead.
Matrix Inverse(const Matrix& m);

// Inverse for callers that must not stop the program: false when the matrix is singular (a zero pivot or a
// row of zeros) or the inverse is not finite.
bool TryInverse(const Matrix& m, Matrix& inverse);

}  // namespace tp
