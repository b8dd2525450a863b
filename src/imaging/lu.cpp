#include "imaging/lu.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tp {

namespace {
constexpr double kTinyPivot = 1e-20;
}

bool LUDecompose(Matrix& a, std::vector<int>& pivots, double& parity)
{
    const int n = a.rows();
    bool regular = true;
    pivots.assign(static_cast<std::size_t>(n), 0);
    std::vector<double> scale(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double largest = 0.0;
        for (int j = 0; j < n; ++j) largest = std::max(largest, std::fabs(a[i][j]));
        if (largest == 0.0) regular = false;
        scale[static_cast<std::size_t>(i)] = 1.0 / largest;
    }
    parity = 1.0;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = a[i][j];
            for (int k = 0; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double largest = 0.0;
        int pivot = j;
        for (int i = j; i < n; ++i) {
            double sum = a[i][j];
            for (int k = 0; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            const double magnitude = scale[static_cast<std::size_t>(i)] * std::fabs(sum);
            if (magnitude >= largest) {  // a later row with an equal value wins
                largest = magnitude;
                pivot = i;
            }
        }
        if (pivot != j) {
            for (int k = 0; k < n; ++k) std::swap(a[pivot][k], a[j][k]);
            parity = -parity;
            scale[static_cast<std::size_t>(pivot)] = scale[static_cast<std::size_t>(j)];
        }
        pivots[static_cast<std::size_t>(j)] = pivot;
        if (a[j][j] == 0.0) {
            a[j][j] = kTinyPivot;
            regular = false;
        }
        for (int i = j + 1; i < n; ++i) a[i][j] /= a[j][j];
    }
    return regular;
}

void LUSolve(const Matrix& a, const std::vector<int>& pivots, std::vector<double>& b)
{
    const int n = a.rows();
    int first_nonzero = -1;
    for (int i = 0; i < n; ++i) {
        const std::size_t ip = static_cast<std::size_t>(pivots[static_cast<std::size_t>(i)]);
        double sum = b[ip];
        b[ip] = b[static_cast<std::size_t>(i)];
        if (first_nonzero >= 0) {
            for (int j = first_nonzero; j < i; ++j) sum -= a[i][j] * b[static_cast<std::size_t>(j)];
        } else if (sum != 0.0) {
            first_nonzero = i;
        }
        b[static_cast<std::size_t>(i)] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < n; ++j) sum -= a[i][j] * b[static_cast<std::size_t>(j)];
        b[static_cast<std::size_t>(i)] = sum / a[i][i];
    }
}

}  // namespace tp
