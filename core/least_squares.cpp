#include "core/least_squares.h"

#include <cstddef>

namespace coordconv {

Vector SolveLeastSquares(const Matrix& A, const Vector& L) {
    const std::size_t m = A.size();
    const std::size_t n = m == 0 ? 0 : A[0].size();
    Matrix N(n, Vector(n, 0.0L));
    Vector U(n, 0.0L);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) {
            long double sum = 0;
            for (std::size_t k = 0; k < m; ++k) sum += A[k][i] * A[k][j];
            N[i][j] = sum;
        }
        long double sum = 0;
        for (std::size_t k = 0; k < m; ++k) sum += A[k][i] * L[k];
        U[i] = sum;
    }
    // Forward elimination.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const long double factor = N[j][i] / N[i][i];
            for (std::size_t k = i; k < n; ++k) N[j][k] = N[j][k] - N[i][k] * factor;
            U[j] = U[j] - U[i] * factor;
        }
    }
    // Back substitution.
    Vector X(n, 0.0L);
    if (n == 0) return X;
    X[n - 1] = U[n - 1] / N[n - 1][n - 1];
    for (std::size_t i = n - 1; i-- > 0;) {
        long double s = 0;
        for (std::size_t j = i + 1; j < n; ++j) s += N[i][j] * X[j];
        X[i] = (U[i] - s) / N[i][i];
    }
    return X;
}

}  // namespace coordconv
