#include "tools/height/height_fit.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/number_text.h"
#include "tests/test_support.h"
#include "tests/tools/fitting_grid.h"

namespace coordconv {
namespace {

class HeightFitSolve : public ::testing::Test {
protected:
    PointTable Grid(const std::vector<std::vector<std::string>>& rows) {
        PointTable grid = NewCommonPointGrid(HeightFitLayout(), HeightFitCommonPointTitles());
        testing::FillCommonPoints(grid, 7, rows);
        return grid;
    }
    // The solve; `table` and `messages` take what it returned.
    AccuracyReport Solve(int model, CoefficientTable& table, PointTable& grid) {
        const FitResult<CoefficientTable> fit = SolveHeightFit(model, table, grid);
        table = fit.fields;
        messages = fit.outcome.messages;
        RaiseFitFailure(fit.outcome);
        return fit.outcome.report;
    }
    const FloatingPointScope scope;
    std::vector<std::string> messages;
};

TEST_F(HeightFitSolve, EachSurfaceThroughExactlyItsNumberOfPoints) {
    // Differences from a quadratic surface over a 10 km area of raw coordinates.
    const Vector truth = {-12.5L, 2e-6L, -3e-6L, 1e-12L, 2e-12L, -1e-12L};
    const long double xy[6][2] = {{3380000, 500000}, {3390000, 502000}, {3383000, 510000},
                                  {3388000, 507000}, {3381000, 505500}, {3386500, 501000}};
    for (int model = 0; model < 3; ++model) {
        const int u = HeightSurfaceCoefficientCount(model);
        const Vector surface(truth.begin(), truth.begin() + u);
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < u; ++i) {
            const long double hg = 50 + i;
            rows.push_back({"G", FormatFixed(xy[i][0], 3), FormatFixed(xy[i][1], 3), FormatFixed(hg, 3),
                            FormatFixed(hg + HeightSurface(surface, xy[i][0], xy[i][1]), 12), "Yes"});
        }
        PointTable grid = Grid(rows);
        CoefficientTable table = NewHeightFitCoefficientTable(model);
        const AccuracyReport report = Solve(model, table, grid);
        for (int row = 1; row <= u; ++row) EXPECT_TRUE(testing::ShowsZero(grid.Cell(5, row))) << model << grid.Cell(5, row);
        EXPECT_LT(report.internal_accuracy, 1e-6L) << model;
        EXPECT_EQ(report.external_accuracy, 0) << model;
        EXPECT_NEAR(static_cast<double>(TextToNumber(table.Value(0))), -12.5, 1e-4) << model;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(HeightFitSolve, UsableRuleWithToleranceOfTwiceTheInternalAccuracy) {
    // Two adopted points, fewer than three: the typed a0 = 0 is judged;
    // residuals 0.01 and 0 give m_in = 0.01 and the tolerance 0.02.
    CoefficientTable table = NewHeightFitCoefficientTable(0);
    table.Value(0) = "0";
    PointTable grid = Grid({{"A", "0", "0", "100", "99.99", "Yes"},
                            {"B", "0", "0", "100", "100", "Yes"},
                            {"C", "0", "0", "100", "100.5", "No"},
                            {"D", "0", "0", "100", "99.985", "No"}});
    const AccuracyReport report = Solve(0, table, grid);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "平面拟合(3参)模型至少需要3个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(grid.Cell(5, 3) + "," + grid.Cell(6, 3), "-0.5000,No");
    EXPECT_EQ(grid.Cell(5, 4) + "," + grid.Cell(6, 4), "0.0150,Yes");
    // Two check points, divisor 2 - 1.
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0100m，限差=0.0200m；外符合精度=0.5002m");
    grid.SetRowCount(4);  // one check point: m_out = 0
    EXPECT_EQ(Solve(0, table, grid).external_accuracy, 0);
}

TEST_F(HeightFitSolve, CollinearPointsAreRefused) {
    // Three points on one line carry no tilt across it: the message, the
    // fields' coefficients kept (empty: zero) and judging the points.
    CoefficientTable table = NewHeightFitCoefficientTable(0);
    PointTable grid = Grid({{"A", "0", "0", "1", "2", "Yes"}, {"B", "1", "1", "1", "2", "Yes"}, {"C", "2", "2", "1", "2", "Yes"}});
    EXPECT_FALSE(Solve(0, table, grid).solved);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("法方程秩亏"), std::string::npos);
    EXPECT_EQ(grid.Cell(5, 1), "-1.0000");
    EXPECT_EQ(table.Value(0), "");
}

TEST(HeightFitFiles, TheAdoptionFlagIsSavedAndReadBack) {
    const testing::ScratchDir dir;
    const CommonPointLayout layout = HeightFitLayout();
    PointTable grid = NewCommonPointGrid(layout, HeightFitCommonPointTitles());
    testing::FillCommonPoints(grid, 7, {{"A", "1", "2", "3", "4", "0.1000", "No", "No"}, {"B", "5", "6", "7", "8", "Yes"}});
    SaveCommonPoints(dir.Path("g.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(testing::ReadBytes(dir.Path("g.txt")), "A,1,2,3,4,0.1000,No,No\r\nB,5,6,7,8,,,Yes\r\n");
    testing::WriteBytes(dir.Path("h.txt"), "C,1,2,3,4\r\nD,1,2,3,4,,,No,extra\r\n");
    ImportCommonPoints(dir.Path("h.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(grid.Cell(7, 1) + "," + grid.Cell(7, 2), "Yes,No");
}

TEST(HeightFitConvert, CopiesCoordinateTextsAndReadsOnlyTheModelsCoefficients) {
    // Six lines loaded under the plane model: a3..a5 are not read, even when bad.
    CoefficientTable table = NewHeightFitCoefficientTable(0);
    table.AssignFileLines({"a0=,-20.5", "a1=,1E-6", "a2=,0", "a3=,x", "a4=,5", "a5=,5"});
    std::string r[4];
    const std::string row[4] = {"G1", " 3380000.00 ", "500000", "52.125"};
    HeightFitConversion(0, table)(row, r);
    EXPECT_EQ(r[0] + "," + r[1] + "," + r[2] + "," + r[3], "G1, 3380000.00 ,500000,35.0050");
    EXPECT_THROW(HeightFitConversion(1, table), CommandError);
}

TEST(HeightFitConvert, TheQuadraticSurfaceTakesEachTermWithItsOwnCoefficient) {
    // f = a0 + a1 x + a2 y + a3 xy + a4 x^2 + a5 y^2 at x = 1000, y = 2000:
    // 0.5 + 1 + 4 + 2 + 2e-6 * 1e6 + 3e-6 * 4e6 = 21.5 (with x^2 and y^2 taken
    // the other way round it would be 18.5).
    CoefficientTable table = NewHeightFitCoefficientTable(2);
    table.AssignFileLines({"a0=,0.5", "a1=,0.001", "a2=,0.002", "a3=,1E-6", "a4=,2E-6", "a5=,3E-6"});
    std::string r[4];
    const std::string row[4] = {"G1", "1000", "2000", "100"};
    HeightFitConversion(2, table)(row, r);
    EXPECT_EQ(r[3], "121.5000");
}

}  // namespace
}  // namespace coordconv
