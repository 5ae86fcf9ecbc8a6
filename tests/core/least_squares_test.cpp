#include "core/least_squares.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace coordconv {
namespace {

TEST(SolveLeastSquares, SquareRegularSystemIsReproduced) {
    const Matrix A = {{2, 1, 0}, {1, 3, 1}, {0, 1, 4}};
    const Vector L = {3, 5, 5};
    const Vector X = SolveLeastSquares(A, L);
    ASSERT_EQ(X.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(static_cast<double>(X[k]), 1.0, 1e-15);
}

TEST(SolveLeastSquares, OverdeterminedLineFitAndZeroRows) {
    // y = 2 + 0.5 t observed with symmetric noise; zero rows add nothing.
    Matrix A = {{1, 0}, {1, 1}, {1, 2}, {1, 3}};
    Vector L = {2.1L, 2.4L, 3.1L, 3.4L};
    const Vector X = SolveLeastSquares(A, L);
    A.push_back({0, 0});
    L.push_back(0);
    const Vector with_zero_row = SolveLeastSquares(A, L);
    EXPECT_NEAR(static_cast<double>(X[0]), 2.06, 1e-15);
    EXPECT_NEAR(static_cast<double>(X[1]), 0.46, 1e-15);
    EXPECT_EQ(X, with_zero_row);
}

TEST(SolveLeastSquares, ZeroColumnIsAFloatingPointError) {
    const FloatingPointScope scope;
    const Matrix A = {{0, 1}, {0, 2}, {0, 3}};
    SolveLeastSquares(A, {1, 2, 3});
    try {
        RaiseFloatingPointErrors();
        FAIL();
    } catch (const CommandError& e) {
        const std::string text = e.what();
        EXPECT_TRUE(text == kDivisionByZeroText || text == kInvalidOperationText) << text;
    }
}

}  // namespace
}  // namespace coordconv
