#include "core/least_squares.h"

#include <cmath>
#include <cstddef>
#include <utility>

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

namespace {

// N = A'A of the m x n design matrix A.
Matrix NormalMatrix(const Matrix& A, std::size_t m, std::size_t n) {
    Matrix N(n, Vector(n, 0.0L));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            long double sum = 0;
            for (std::size_t k = 0; k < m; ++k) sum += A[k][i] * A[k][j];
            N[i][j] = sum;
        }
    return N;
}

}  // namespace

Matrix InverseNormalMatrix(const Matrix& A) {
    const std::size_t m = A.size();
    const std::size_t n = m == 0 ? 0 : A[0].size();
    Matrix N = NormalMatrix(A, m, n);
    Vector scale(n);
    for (std::size_t i = 0; i < n; ++i) scale[i] = 1 / std::sqrt(N[i][i]);
    // [S N S | I] -> [I | (S N S)^-1], then N^-1 = S (S N S)^-1 S.
    Matrix inverse(n, Vector(n, 0.0L));
    for (std::size_t i = 0; i < n; ++i) {
        inverse[i][i] = 1;
        for (std::size_t j = 0; j < n; ++j) N[i][j] *= scale[i] * scale[j];
    }
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::fabs(N[row][col]) > std::fabs(N[pivot][col])) pivot = row;
        std::swap(N[col], N[pivot]);
        std::swap(inverse[col], inverse[pivot]);
        const long double divisor = N[col][col];
        for (std::size_t j = 0; j < n; ++j) {
            N[col][j] /= divisor;
            inverse[col][j] /= divisor;
        }
        for (std::size_t row = 0; row < n; ++row) {
            if (row == col) continue;
            const long double factor = N[row][col];
            for (std::size_t j = 0; j < n; ++j) {
                N[row][j] -= factor * N[col][j];
                inverse[row][j] -= factor * inverse[col][j];
            }
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) inverse[i][j] *= scale[i] * scale[j];
    return inverse;
}

Vector ScaledNormalPivots(const Matrix& A) {
    const std::size_t m = A.size();
    const std::size_t n = m == 0 ? 0 : A[0].size();
    Matrix N = NormalMatrix(A, m, n);
    Vector scale(n, 0.0L);
    for (std::size_t i = 0; i < n; ++i) scale[i] = N[i][i] > 0 ? 1 / std::sqrt(N[i][i]) : 0;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) N[i][j] *= scale[i] * scale[j];
    std::vector<bool> taken(n, false);
    Vector pivots;
    for (std::size_t step = 0; step < n; ++step) {
        std::size_t best = n;
        for (std::size_t i = 0; i < n; ++i)
            if (!taken[i] && (best == n || N[i][i] > N[best][best])) best = i;
        const long double pivot = N[best][best];
        taken[best] = true;
        pivots.push_back(pivot > 0 ? pivot : 0);
        if (!(pivot > 0)) {
            // The rest is dependent at the working precision.
            for (std::size_t rest = step + 1; rest < n; ++rest) pivots.push_back(0);
            break;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (taken[i]) continue;
            const long double factor = N[i][best] / pivot;
            for (std::size_t j = 0; j < n; ++j)
                if (!taken[j]) N[i][j] -= factor * N[best][j];
        }
    }
    return pivots;
}

}  // namespace coordconv
