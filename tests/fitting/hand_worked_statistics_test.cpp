// The precision report's statistics on networks small enough to work by hand:
// the mean of four observations and a straight line y = a + b t. Each expected
// value is derived in the comment above it.
#include <gtest/gtest.h>

#include <cmath>

#include "fitting/precision_report.h"

namespace coordconv {
namespace {

PrecisionReport Statistics(const Matrix& A, const Vector& l, const Vector& x,
                           const std::vector<ReportedParameter>& parameters) {
    PrecisionReport report;
    std::vector<int> rows;
    for (std::size_t i = 0; i < A.size(); ++i) {
        rows.push_back(static_cast<int>(i));
        PointPrecision point;
        point.name = "P" + std::to_string(i + 1);
        point.adopted = true;
        report.points.push_back(point);
    }
    ComputeFitStatistics(A, l, x, rows, parameters, report);
    return report;
}

// One unknown, the mean of l = 1, 2, 3, 10: x = 4, v = x - l = 3, 2, 1, -6,
// v'v = 50, r = 3, sigma0^2 = 50/3. Qxx = 1/4, so every r_i = 3/4 and
// w_i = v_i / (sigma0 sqrt(r_i)) = v_i / sqrt(12.5): w_4 = -1.6970563.
// The outlier test for P4: its own share of v'v is v_4^2 / r_4 = 48, the
// others keep (50 - 48) / (3 - 1) = 1 on 2 degrees of freedom, and
// t_4 = -6 / sqrt(1 * 3/4) = -6.9282032. Student's t with 2 degrees of
// freedom has the two-sided tail 1 - t / sqrt(2 + t^2) = 0.0202041, whose
// normal deviate is 2.3225358.
TEST(HandWorkedStatistics, StandardizedResidualsAndTheLeaveOneOutTestOfAMean) {
    const Matrix A = {{1}, {1}, {1}, {1}};
    const PrecisionReport report = Statistics(A, {1, 2, 3, 10}, {4}, {{"x", "4", "m", {1}}});
    ASSERT_TRUE(report.sigma0);
    EXPECT_NEAR(static_cast<double>(*report.sigma0), std::sqrt(50.0 / 3), 1e-12);
    ASSERT_TRUE(report.parameters[0].sigma);
    EXPECT_NEAR(static_cast<double>(*report.parameters[0].sigma), std::sqrt(50.0 / 3 / 4), 1e-12);
    for (const PointPrecision& point : report.points) EXPECT_NEAR(static_cast<double>(point.r[0]), 0.75, 1e-15);
    ASSERT_TRUE(report.points[3].w[0]);
    EXPECT_NEAR(static_cast<double>(*report.points[3].w[0]), -1.6970563, 1e-7);
    EXPECT_NEAR(static_cast<double>(*report.points[0].w[0]), 3 / std::sqrt(12.5), 1e-12);
    ASSERT_TRUE(report.points[3].t[0]);
    EXPECT_NEAR(static_cast<double>(*report.points[3].t[0]), -2.3225358, 1e-6);
    EXPECT_FALSE(report.suspected_outlier);  // 2.32 < 3.29
}

// The line through t = 0, 1, 2, 3: A'A = [[4, 6], [6, 14]], Qxx = [[14, -6],
// [-6, 4]] / 20, so the correlation of a and b is -6 / sqrt(14 * 4) =
// -0.8017837, whatever units the fields give them: b is reported here in
// thousandths, a gradient of 1000.
TEST(HandWorkedStatistics, CorrelationsAreThoseOfTheCofactorMatrixAndBoundedByOne) {
    const Matrix A = {{1, 0}, {1, 1}, {1, 2}, {1, 3}};
    const PrecisionReport report =
        Statistics(A, {0.1L, 0.9L, 2.2L, 2.9L}, {0.07L, 0.97L}, {{"a", "", "m", {1, 0}}, {"b", "", "", {0, 1000}}});
    ASSERT_EQ(report.correlation.size(), 2u);
    EXPECT_NEAR(static_cast<double>(report.correlation[0][1]), -0.8017837, 1e-7);
    EXPECT_NEAR(static_cast<double>(report.correlation[1][0]), -0.8017837, 1e-7);
    for (const Vector& row : report.correlation)
        for (const long double rho : row) EXPECT_LE(std::fabs(static_cast<double>(rho)), 1 + 1e-15);
}

// The same line with a fifth point at t = 100000: its leverage is
// 1/5 + (t - mean)^2 / sum (t - mean)^2, so r_5 = 5.0e-10. Its residual is
// forced to almost nothing and tells nothing; it is uncontrolled, has no w
// and no test value, and is never named the outlier.
TEST(HandWorkedStatistics, AnUncontrolledPointHasNoTestValue) {
    const Matrix A = {{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 100000}};
    const Vector l = {0, 0.02L, -0.01L, 0.5L, 0};
    // The least-squares line, from the normal equations worked exactly.
    const long double n = 5, st = 100006, stt = 10000000014.0L, sy = 0.51L, sty = 1.48L;
    const long double b = (n * sty - st * sy) / (n * stt - st * st);
    const long double a = (sy - b * st) / n;
    const PrecisionReport report = Statistics(A, l, {a, b}, {{"a", "", "m", {1, 0}}, {"b", "", "", {0, 1}}});
    const PointPrecision& far = report.points[4];
    EXPECT_NEAR(static_cast<double>(far.r[0]), 5.0e-10, 1e-12);
    EXPECT_TRUE(far.uncontrolled);
    EXPECT_FALSE(far.w[0]);
    EXPECT_FALSE(far.t[0]);
    EXPECT_NE(report.suspected_outlier.value_or(""), "P5");
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(report.points[static_cast<std::size_t>(i)].uncontrolled);
}

}  // namespace
}  // namespace coordconv
