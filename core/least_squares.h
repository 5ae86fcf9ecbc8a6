// Unweighted least squares A X ~ L through the normal equations, solved by
// Gaussian elimination without pivoting (the normal matrix of a well-posed fit
// is symmetric positive definite). Sums run from index 0 upwards so that the
// digits of solved parameters are reproducible.
//
// Accuracy: rounding grows with the condition of the normal matrix, which
// reaches 1e15 and more for raw Gauss-Krüger coordinates (no centroid
// reduction). On the fitting models' synthetic networks the solved sets
// reproduce their known values to the 4-decimal noise of the targets (the
// datum and plane tests), and the cofactor matrix gives parameter standard
// deviations within 15 % of the spread of 200 noisy solves.
#pragma once

#include <vector>

namespace coordconv {

using Matrix = std::vector<std::vector<long double>>;
using Vector = std::vector<long double>;

// A: m rows of n unknowns (n from the first row), L: m observations, m >= 1.
// Returns X (n). A zero pivot divides by zero; the caller's floating-point
// check turns that into the command's error before anything is written.
Vector SolveLeastSquares(const Matrix& A, const Vector& L);

// (A^T A)^-1, the cofactor matrix of the unknowns of the same fit. The
// normal matrix is first scaled to a unit diagonal (its columns differ by
// many orders of magnitude when coordinates enter raw), then inverted by
// Gauss-Jordan elimination with partial pivoting, and scaled back. A
// singular matrix divides by zero (the caller's floating-point check).
Matrix InverseNormalMatrix(const Matrix& A);

}  // namespace coordconv
