// LU factorisation (Crout's method with implicit pivoting) and the matching substitution.
#pragma once

#include <vector>

#include "imaging/matrix.h"

namespace tp {

// Factorises the square matrix `a` in place. `pivots` receives the row chosen for every column and `parity`
// +1 or -1 by the number of interchanges. A zero pivot is replaced by 1e-20 and the factorisation goes on.
// Returns false when the matrix is singular: a row entirely zero or a zero pivot.
bool LUDecompose(Matrix& a, std::vector<int>& pivots, double& parity);

// Solves a x = b for a factorised `a`; `b` holds the right-hand side on entry and the solution on return.
void LUSolve(const Matrix& a, const std::vector<int>& pivots, std::vector<double>& b);

}  // namespace tp
