#include "tools/plane/polynomial.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "tests/fake_dialogs.h"

namespace coordconv {
namespace {

TEST(PolynomialModel, OrdersLabelsAndMessages) {
    EXPECT_EQ(PolynomialTermCount(0), 3);
    EXPECT_EQ(PolynomialTermCount(1), 6);
    EXPECT_EQ(PolynomialTermCount(2), 10);
    EXPECT_EQ(PolynomialCoefficientLabels(0), (std::vector<std::string>{"a0", "a1", "a2", "b0", "b1", "b2"}));
    const std::vector<std::string> third = PolynomialCoefficientLabels(2);
    ASSERT_EQ(third.size(), 20u);
    EXPECT_EQ(third[9], "a9");
    EXPECT_EQ(third[10], "b0");
    EXPECT_EQ(third[19], "b9");
    EXPECT_EQ(PolynomialTooFewPointsText(2),
              "3次多项式模型至少需要10个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(PolynomialTooFewPointsText(0).rfind("1次多项式模型至少需要3个公共点。", 0), 0u);
}

TEST(PolynomialModel, TermsComeInTheirFixedOrder) {
    EXPECT_EQ(PolynomialTerms(2, 3, 10), (Vector{1, 2, 3, 6, 4, 9, 12, 18, 8, 27}));
    EXPECT_EQ(PolynomialTerms(2, 3, 3), (Vector{1, 2, 3}));
    Matrix A;
    Vector L;
    AppendPolynomialEquations(2, 3, 2.5L, 2.75L, 3, A, L);
    EXPECT_EQ(A, (Matrix{{1, 2, 3, 0, 0, 0}, {0, 0, 0, 1, 2, 3}}));
    EXPECT_EQ(L, (Vector{0.5L, -0.25L}));
}

TEST(PolynomialModel, FirstOrderThroughThreePointsIsExact) {
    // An affine correction of plane coordinates in the millions.
    const Vector truth = {0.8L, 2e-6L, -1e-6L, -1.2L, 1e-6L, 3e-6L};
    const long double points[3][2] = {{3380000, 500000}, {3390000, 505000}, {3384000, 515000}};
    Matrix A;
    Vector L;
    for (const auto& point : points) {
        const PolynomialPoint moved = ApplyPolynomial(truth, 3, point[0], point[1]);
        AppendPolynomialEquations(point[0], point[1], moved.p, moved.q, 3, A, L);
    }
    const Vector X = SolveLeastSquares(A, L);
    for (const auto& point : points) {
        const PolynomialPoint expected = ApplyPolynomial(truth, 3, point[0], point[1]);
        const PolynomialPoint fitted = ApplyPolynomial(X, 3, point[0], point[1]);
        EXPECT_NEAR(static_cast<double>(fitted.p - expected.p), 0.0, 1e-6);
        EXPECT_NEAR(static_cast<double>(fitted.q - expected.q), 0.0, 1e-6);
    }
}

TEST(PolynomialModel, GeodeticVariablesAreRadiansOfThePackedAngle) {
    EXPECT_NEAR(static_cast<double>(PolynomialVariable("30.3", PolynomialForm::Ellipsoid)),
                static_cast<double>(30.5L * kDegreesToRadians), 1e-17);
    EXPECT_EQ(PolynomialVariable("30.3", PolynomialForm::Plane), 30.3L);
}

TEST(PolynomialModel, ConvertInBothForms) {
    CoefficientTable table(PolynomialCoefficientLabels(0));
    table.Value(0) = "0.5";   // a0: +0.5 m in x
    table.Value(3) = "-1";    // b0: -1 m in y
    PolynomialFields fields;
    fields.height_shift = "1.5";
    std::string result[4];
    const std::string plane_row[4] = {"P", "3380000", "500000", "10"};
    PolynomialConversion(fields, table)(plane_row, result);
    EXPECT_EQ(result[1], "3380000.5000");
    EXPECT_EQ(result[2], "499999.0000");
    EXPECT_EQ(result[3], "11.5000");

    // On the ellipsoid a0 of one arc second in radians moves B by 1".
    CoefficientTable geodetic(PolynomialCoefficientLabels(0));
    geodetic.Value(0) = "4.84813681109536E-6";
    fields.form = PolynomialForm::Ellipsoid;
    const std::string geodetic_row[4] = {"Q", "30.3", "114.15", ""};
    PolynomialConversion(fields, geodetic)(geodetic_row, result);
    EXPECT_EQ(result[0], "Q");
    EXPECT_EQ(result[1], "30.3001000000");
    EXPECT_EQ(result[2], "114.1500000000");
    EXPECT_EQ(result[3], "1.5000");

    const std::string empty[4] = {};
    fields.form = PolynomialForm::Plane;
    PolynomialConversion(fields, table)(empty, result);
    EXPECT_EQ(result[0], "");
    EXPECT_EQ(result[1], "0.5000");
    EXPECT_EQ(result[3], "1.5000");
}

TEST(PolynomialModel, CoefficientsMissingFromAShortTableReadAsZero) {
    CoefficientTable table(PolynomialCoefficientLabels(0));
    table.AssignFileLines({"a0,2"});
    PolynomialFields fields;
    fields.order_index = 1;  // twelve coefficients wanted, one row present
    std::string result[4];
    const std::string row[4] = {"P", "10", "20", "0"};
    PolynomialConversion(fields, table)(row, result);
    EXPECT_EQ(result[1], "12.0000");
    EXPECT_EQ(result[2], "20.0000");
}

PointTable PolynomialGrid(PolynomialForm form, const std::vector<std::vector<std::string>>& rows) {
    PointTable grid = NewCommonPointGrid(PolynomialLayout(form), PolynomialCommonPointTitles(form));
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c + 1 < rows[r].size(); ++c) grid.Cell(static_cast<int>(c), static_cast<int>(r) + 1) = rows[r][c];
        grid.Cell(12, static_cast<int>(r) + 1) = rows[r].back();
    }
    return grid;
}

bool ShowsZero(const std::string& text) { return text == "0.0000" || text == "-0.0000"; }

class PolynomialSolve : public ::testing::Test {
protected:
    const FloatingPointScope scope;
    testing::FakeDialogs dialogs;
    PolynomialFields fields;
};

TEST_F(PolynomialSolve, FirstOrderThroughThreeAdoptedPointsLeavesNoResidual) {
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    PointTable grid = PolynomialGrid(PolynomialForm::Plane,
                                     {{"A", "3380000", "500000", "10", "3380000.8", "499998.8", "10.5", "Yes"},
                                      {"B", "3390000", "505000", "20", "3390000.83", "504998.81", "20.5", "Yes"},
                                      {"C", "3384000", "515000", "30", "3384000.85", "514998.77", "30.5", "Yes"}});
    // Any three points off one line are fitted exactly by six coefficients.
    const AccuracyReport report = SolvePolynomial(fields, table, grid, dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(report.solved);
    EXPECT_EQ(fields.height_shift, "0.5000");
    for (int row = 1; row <= 3; ++row)
        for (int col = 7; col <= 10; ++col) EXPECT_TRUE(ShowsZero(grid.Cell(col, row))) << grid.Cell(col, row);
    EXPECT_LT(report.internal_accuracy, 1e-6L);
    EXPECT_EQ(report.external_accuracy, 0);
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");
    // The six coefficients stand in the table in the general number format.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(table.Value(i), FloatToStr(TextToNumber(table.Value(i))));
    EXPECT_NE(table.Value(0), "");
}

TEST_F(PolynomialSolve, GeodeticResidualsInArcSecondsAndMetres) {
    // No adopted point: the typed a0 = 1e-6 rad shifts every latitude.
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    table.Value(0) = "0.000001";
    fields.form = PolynomialForm::Ellipsoid;
    PointTable grid = PolynomialGrid(PolynomialForm::Ellipsoid,
                                     {{"A", "30.3", "114.15", "0", "30.3", "114.15", "0", "No"},
                                      {"B", "31", "115", "0", "31", "115", "0", "No"},
                                      {"C", "32", "116", "0", "32", "116", "0", "No"}});
    const AccuracyReport report = SolvePolynomial(fields, table, grid, dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(table.Value(0), "0.000001");  // not recomputed
    EXPECT_EQ(grid.Cell(7, 1), "0.2063");
    EXPECT_TRUE(ShowsZero(grid.Cell(8, 1)));
    EXPECT_EQ(grid.Cell(10, 1), "6.3710");
    // Three check points, divisor 3 - 1: sqrt(3e-12 / 2) * 6371000 m.
    EXPECT_NEAR(static_cast<double>(report.external_accuracy), std::sqrt(1.5) * 6.371, 1e-9);
    EXPECT_EQ(report.internal_accuracy, 0);
}

TEST_F(PolynomialSolve, TooFewPointsForTheThirdOrder) {
    fields.order_index = 2;
    CoefficientTable table = NewPolynomialCoefficientTable(2);
    PointTable grid = PolynomialGrid(PolynomialForm::Plane, {{"A", "1", "2", "3", "1", "2", "4", "Yes"}});
    const AccuracyReport report = SolvePolynomial(fields, table, grid, dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("坐标转换|3次多项式模型至少需要10个公共点。", 0), 0u);
    EXPECT_FALSE(report.solved);
    EXPECT_EQ(fields.height_shift, "1.0000");
    EXPECT_EQ(table.RowCount(), 20);
    EXPECT_EQ(table.Value(0), "");
}

TEST_F(PolynomialSolve, ExternalAccuracyDividesByCheckPointsLessOne) {
    CoefficientTable table = NewPolynomialCoefficientTable(0);
    PointTable grid = PolynomialGrid(PolynomialForm::Plane,
                                     {{"A", "0", "0", "0", "0.3", "0", "0", "No"}, {"B", "0", "0", "0", "0", "0.4", "0", "No"}});
    EXPECT_EQ(SolvePolynomial(fields, table, grid, dialogs).accuracy_line,
              "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.5000m");
    grid.SetRowCount(2);  // one check point only
    EXPECT_EQ(SolvePolynomial(fields, table, grid, dialogs).external_accuracy, 0);
}

}  // namespace
}  // namespace coordconv
