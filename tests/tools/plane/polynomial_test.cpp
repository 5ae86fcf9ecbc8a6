#include "tools/plane/polynomial.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "tests/tools/fitting_grid.h"

namespace coordconv {
namespace {

using testing::ShowsZero;

TEST(PolynomialModel, TermOrderAndLabels) {
    EXPECT_EQ(PolynomialTerms(2, 3, 10), (Vector{1, 2, 3, 6, 4, 9, 12, 18, 8, 27}));
    Matrix A;
    Vector L;
    AppendPolynomialEquations(2, 3, 2.5L, 2.75L, 3, A, L);
    EXPECT_EQ(A, (Matrix{{1, 2, 3, 0, 0, 0}, {0, 0, 0, 1, 2, 3}}));
    EXPECT_EQ(L, (Vector{0.5L, -0.25L}));
    const std::vector<std::string> third = PolynomialCoefficientLabels(2);
    ASSERT_EQ(third.size(), 20u);
    EXPECT_EQ(third[9] + third[10] + third[19], "a9b0b9");
}

TEST(PolynomialConvert, PlaneAndEllipsoidForms) {
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    table.Value(0) = "0.5";  // a0: +0.5 m in x
    table.Value(3) = "-1";   // b0: -1 m in y
    PolynomialFields fields;
    fields.height_shift = "1.5";
    std::string r[4];
    const std::string plane_row[4] = {"P", "3380000", "500000", "10"};
    PolynomialConversion(fields, table)(plane_row, r);
    EXPECT_EQ(r[0] + "," + r[1] + "," + r[2] + "," + r[3], "P,3380000.5000,499999.0000,11.5000");
    const std::string empty[4] = {};
    PolynomialConversion(fields, table)(empty, r);
    EXPECT_EQ(r[0] + "," + r[3], ",1.5000");

    // On the ellipsoid a0 of one arc second in radians moves B by 1".
    table.Value(0) = "4.84813681109536E-6";
    table.Value(3) = "";
    fields.form = PolynomialForm::Ellipsoid;
    const std::string geodetic_row[4] = {"Q", "30.3", "114.15", ""};
    PolynomialConversion(fields, table)(geodetic_row, r);
    EXPECT_EQ(r[0] + "," + r[1] + "," + r[2] + "," + r[3], "Q,30.3001000000,114.1500000000,1.5000");

    // Rows the table lacks (a short file was loaded) read as 0.
    table.AssignFileLines({"a0,2"});
    fields.form = PolynomialForm::Plane;
    fields.order_index = 1;
    const std::string row[4] = {"P", "10", "20", "0"};
    PolynomialConversion(fields, table)(row, r);
    EXPECT_EQ(r[1] + "," + r[2], "12.0000,20.0000");
}

class PolynomialSolve : public ::testing::Test {
protected:
    PointTable Grid(PolynomialForm form, const std::vector<std::vector<std::string>>& rows) {
        PointTable grid = NewCommonPointGrid(PolynomialLayout(form), PolynomialCommonPointTitles(form));
        testing::FillCommonPoints(grid, 12, rows);
        return grid;
    }
    // The solve; `fields`, `table` and `messages` take what it returned.
    AccuracyReport Solve(CoefficientTable& table, PointTable& grid) {
        const FitResult<PolynomialParameters> fit = SolvePolynomial(fields, table, grid);
        fields = fit.fields.fields;
        table = fit.fields.coefficients;
        messages = fit.outcome.messages;
        RaiseFitFailure(fit.outcome);
        return fit.outcome.report;
    }
    const FloatingPointScope scope;
    PolynomialFields fields;
    std::vector<std::string> messages;
};

TEST_F(PolynomialSolve, FirstOrderThroughThreeAdoptedPointsLeavesNoResidual) {
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    PointTable grid = Grid(PolynomialForm::Plane, {{"A", "3380000", "500000", "10", "3380000.8", "499998.8", "10.5", "Yes"},
                                                   {"B", "3390000", "505000", "20", "3390000.83", "504998.81", "20.5", "Yes"},
                                                   {"C", "3384000", "515000", "30", "3384000.85", "514998.77", "30.5", "Yes"}});
    const AccuracyReport report = Solve(table, grid);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(fields.height_shift, "0.5000");
    for (int row = 1; row <= 3; ++row)
        for (int col = 7; col <= 10; ++col) EXPECT_TRUE(ShowsZero(grid.Cell(col, row))) << grid.Cell(col, row);
    EXPECT_LT(report.internal_accuracy, 1e-6L);
    EXPECT_EQ(report.external_accuracy, 0);
    EXPECT_NE(table.Value(5), "");
}

// Column 9 is H1 + dH - H2: a check point 1 m higher than its source, with
// dH = 0.5 from the adopted points, shows -0.5.
TEST_F(PolynomialSolve, HeightResidualIsTheShiftedSourceLessTheTarget) {
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    PointTable grid = Grid(PolynomialForm::Plane, {{"A", "3380000", "500000", "10", "3380000", "500000", "10.5", "Yes"},
                                                   {"B", "3390000", "505000", "20", "3390000", "505000", "20.5", "Yes"},
                                                   {"C", "3384000", "515000", "30", "3384000", "515000", "30.5", "Yes"},
                                                   {"D", "3386000", "508000", "40", "3386000", "508000", "41", "No"}});
    Solve(table, grid);
    EXPECT_EQ(grid.Cell(9, 1), "0.0000");
    EXPECT_EQ(grid.Cell(9, 4), "-0.5000");
}

TEST_F(PolynomialSolve, GeodeticResidualsInArcSecondsAndMetres) {
    // No adopted point: the typed a0 = 1e-6 rad shifts every latitude.
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    table.Value(0) = "0.000001";
    fields.form = PolynomialForm::Ellipsoid;
    PointTable grid = Grid(PolynomialForm::Ellipsoid, {{"A", "30.3", "114.15", "0", "30.3", "114.15", "0", "No"},
                                                       {"B", "31", "115", "0", "31", "115", "0", "No"},
                                                       {"C", "32", "116", "0", "32", "116", "0", "No"}});
    const AccuracyReport report = Solve(table, grid);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(table.Value(0), "0.000001");
    EXPECT_EQ(grid.Cell(7, 1), "0.2063");
    EXPECT_TRUE(ShowsZero(grid.Cell(8, 1)));
    EXPECT_EQ(grid.Cell(10, 1), "6.3710");
    // Three check points, divisor 3 - 1, square radians scaled to metres.
    EXPECT_NEAR(static_cast<double>(report.external_accuracy), std::sqrt(1.5) * 6.371, 1e-9);
}

TEST_F(PolynomialSolve, TooFewPointsForTheThirdOrder) {
    fields.order_index = 2;
    CoefficientTable table = NewPolynomialCoefficientTable(2);
    PointTable grid = Grid(PolynomialForm::Plane, {{"A", "1", "2", "3", "1", "2", "4", "Yes"}});
    Solve(table, grid);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "3次多项式模型至少需要10个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(fields.height_shift, "1.0000");
    EXPECT_EQ(table.Value(0), "");
}

// A known distortion over a 30 km square of raw Gauss-Krüger coordinates
// (x about 3 380 km, y about 500 km): a shift, a rotation and scale of some
// ppm, and quadratic (and for the third order cubic) terms in the distances
// from the square's corner that reach 0.1 to 0.3 m at the far side. Such a
// distortion is a polynomial of that order in x and y themselves, so the solve
// must recover it: 25 common points on a 7.5 km grid, targets to the
// micrometre, and 16 points between them converted within 1 mm of the truth.
TEST_F(PolynomialSolve, SecondAndThirdOrderRecoverAKnownDistortionOverThirtyKilometres) {
    const long double x0 = 3380000, y0 = 500000;
    for (const int order_index : {1, 2}) {
        const auto truth = [&](long double x, long double y) {
            const long double u = x - x0, v = y - y0;
            long double dx = 0.5L + 2e-5L * u - 1e-5L * v + 3e-10L * u * u - 2e-10L * u * v + 1e-10L * v * v;
            long double dy = -1.2L + 1e-5L * u + 2e-5L * v - 1e-10L * u * u + 3e-10L * u * v + 2e-10L * v * v;
            if (order_index == 2) {
                dx += 5e-15L * u * u * u - 3e-15L * u * v * v;
                dy += 4e-15L * v * v * v + 2e-15L * u * u * v;
            }
            return PolynomialPoint{x + dx, y + dy};
        };
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i <= 4; ++i)
            for (int j = 0; j <= 4; ++j) {
                const long double x = x0 + 7500.0L * i, y = y0 + 7500.0L * j;
                const PolynomialPoint t = truth(x, y);
                rows.push_back({"G" + std::to_string(i) + std::to_string(j), FormatFixed(x, 4), FormatFixed(y, 4), "0",
                                FormatFixed(t.p, 6), FormatFixed(t.q, 6), "0", "Yes"});
            }
        fields.order_index = order_index;
        CoefficientTable table = NewPolynomialCoefficientTable(order_index);
        PointTable grid = Grid(PolynomialForm::Plane, rows);
        Solve(table, grid);
        EXPECT_TRUE(messages.empty()) << order_index;
        const RowConversion convert = PolynomialConversion(fields, table);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                const long double x = x0 + 3750 + 7500.0L * i, y = y0 + 3750 + 7500.0L * j;
                const std::string source[4] = {"Q", FormatFixed(x, 4), FormatFixed(y, 4), "0"};
                std::string result[4];
                convert(source, result);
                const PolynomialPoint t = truth(x, y);
                EXPECT_NEAR(static_cast<double>(TextToNumber(result[1])), static_cast<double>(t.p), 1e-3)
                    << "order " << order_index + 1 << " at " << source[1] << "," << source[2];
                EXPECT_NEAR(static_cast<double>(TextToNumber(result[2])), static_cast<double>(t.q), 1e-3)
                    << "order " << order_index + 1 << " at " << source[1] << "," << source[2];
            }
    }
}

}  // namespace
}  // namespace coordconv
