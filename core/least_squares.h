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

// The pivots of the normal matrix A^T A scaled to a unit diagonal
// (S N S, S = diag(N_ii^-1/2)), eliminated symmetrically taking the largest
// remaining diagonal each time (Cholesky with diagonal pivoting), in the
// order taken. Each pivot is the share of its column's squared length that
// the columns taken before it leave unexplained: 1 for a column orthogonal
// to them, 0 for one in their span. Their product is the determinant of
// S N S; the last (smallest) pivot says how close the columns come to a
// dependence, whatever the units of the unknowns. A zero column gives a
// zero pivot. Needs no floating-point check: no division by a pivot below
// the smallest already found.
Vector ScaledNormalPivots(const Matrix& A);

}  // namespace coordconv
