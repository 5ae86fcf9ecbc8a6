#include "tools/height/height_fit.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

TEST(HeightSurface, ModelsLabelsAndMessages) {
    EXPECT_EQ(HeightSurfaceCoefficientCount(0), 3);
    EXPECT_EQ(HeightSurfaceCoefficientCount(1), 4);
    EXPECT_EQ(HeightSurfaceCoefficientCount(2), 6);
    EXPECT_EQ(HeightSurfaceLabels(1), (std::vector<std::string>{"a0=", "a1=", "a2=", "a3="}));
    EXPECT_EQ(HeightSurfaceTerms(2, 3, 6), (Vector{1, 2, 3, 6, 4, 9}));
    EXPECT_EQ(HeightSurfaceTerms(2, 3, 4), (Vector{1, 2, 3, 6}));
    EXPECT_EQ(HeightFitTooFewPointsText(2),
              "二次曲面拟合(6参)模型至少需要6个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(HeightSurface({1, 0.5L, 0.25L}, 2, 4), 3);
}

TEST(HeightSurface, ConvertCopiesTheCoordinateTexts) {
    CoefficientTable table(HeightSurfaceLabels(0));
    table.Value(0) = "-20.5";
    table.Value(1) = "1E-6";
    std::string result[4];
    const std::string row[4] = {"G1", " 3380000.00 ", "500000", "52.125"};
    HeightFitConversion(0, table)(row, result);
    EXPECT_EQ(result[0], "G1");
    EXPECT_EQ(result[1], " 3380000.00 ");
    EXPECT_EQ(result[2], "500000");
    EXPECT_EQ(result[3], "35.0050");
    const std::string empty[4] = {};
    HeightFitConversion(0, table)(empty, result);
    EXPECT_EQ(result[1], "");
    EXPECT_EQ(result[3], "-20.5000");
}

TEST(HeightSurface, OnlyTheModelsCoefficientsAreRead) {
    // Six lines loaded under the plane model: a3..a5 are ignored, also when bad.
    CoefficientTable table(HeightSurfaceLabels(0));
    table.AssignFileLines({"a0=,1", "a1=,0", "a2=,0", "a3=,x", "a4=,5", "a5=,5"});
    std::string result[4];
    const std::string row[4] = {"P", "10", "20", "100"};
    HeightFitConversion(0, table)(row, result);
    EXPECT_EQ(result[3], "101.0000");
    EXPECT_THROW(HeightFitConversion(1, table), CommandError);
}

// Rows of the 8-column grid: name, x, y, Hg, Hl, then the adoption flag.
PointTable HeightGrid(const std::vector<std::vector<std::string>>& rows) {
    PointTable grid = NewCommonPointGrid(HeightFitLayout(), HeightFitCommonPointTitles());
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c + 1 < rows[r].size(); ++c) grid.Cell(static_cast<int>(c), static_cast<int>(r) + 1) = rows[r][c];
        grid.Cell(7, static_cast<int>(r) + 1) = rows[r].back();
    }
    return grid;
}

class HeightFitSolve : public ::testing::Test {
protected:
    const FloatingPointScope scope;
    testing::FakeDialogs dialogs;
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
            rows.push_back({"G" + std::to_string(i), FloatToFixed(xy[i][0], 3), FloatToFixed(xy[i][1], 3),
                            FloatToFixed(hg, 3), FloatToFixed(hg + HeightSurface(surface, xy[i][0], xy[i][1]), 12), "Yes"});
        }
        PointTable grid = HeightGrid(rows);
        CoefficientTable table = NewHeightFitCoefficientTable(model);
        const AccuracyReport report = SolveHeightFit(model, table, grid, dialogs);
        EXPECT_TRUE(report.solved) << model;
        for (int row = 1; row <= u; ++row)
            EXPECT_TRUE(grid.Cell(5, row) == "0.0000" || grid.Cell(5, row) == "-0.0000") << model << " " << grid.Cell(5, row);
        EXPECT_LT(report.internal_accuracy, 1e-6L) << model;
        EXPECT_EQ(report.external_accuracy, 0) << model;
        EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");
        EXPECT_NEAR(static_cast<double>(TextToNumber(table.Value(0))), -12.5, 1e-4) << model;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HeightFitSolve, UsableRuleWithToleranceOfTwiceTheInternalAccuracy) {
    // Two adopted points (fewer than three): the typed a0 = 0 is judged;
    // residuals 0.01 and 0 give m_in = 0.01 and the tolerance 0.02.
    CoefficientTable table = NewHeightFitCoefficientTable(0);
    table.Value(0) = "0";
    PointTable grid = HeightGrid({{"A", "0", "0", "100", "99.99", "Yes"},
                                  {"B", "0", "0", "100", "100", "Yes"},
                                  {"C", "0", "0", "100", "100.5", "No"},
                                  {"D", "0", "0", "100", "99.985", "No"}});
    const AccuracyReport report = SolveHeightFit(0, table, grid, dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "坐标转换|平面拟合(3参)模型至少需要3个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(grid.Cell(5, 3), "-0.5000");
    EXPECT_EQ(grid.Cell(5, 4), "0.0150");
    EXPECT_EQ(grid.Cell(6, 3), "No");
    EXPECT_EQ(grid.Cell(6, 4), "Yes");
    EXPECT_EQ(grid.Cell(6, 1), "Yes");
    // Two check points, divisor 2 - 1.
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0100m，限差=0.0200m；外符合精度=0.5002m");
    EXPECT_EQ(table.Value(0), "0");
}

TEST_F(HeightFitSolve, ZeroInternalAccuracyMarksEveryRowNotUsable) {
    CoefficientTable table = NewHeightFitCoefficientTable(1);
    PointTable grid = HeightGrid({{"A", "1", "2", "3", "3", "Yes"}, {"B", "1", "2", "3", "3", "No"}});
    const AccuracyReport report = SolveHeightFit(1, table, grid, dialogs);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("坐标转换|平面相关拟合(4参)模型至少需要4个", 0), 0u);
    EXPECT_EQ(report.external_accuracy, 0);  // one check point only
    EXPECT_EQ(grid.Cell(6, 1), "No");
    EXPECT_EQ(grid.Cell(6, 2), "No");
}

TEST_F(HeightFitSolve, AllAdoptedPointsAtTheOriginAreSingular) {
    CoefficientTable table = NewHeightFitCoefficientTable(0);
    PointTable grid = HeightGrid({{"A", "0", "0", "1", "2", "Yes"}, {"B", "0", "0", "1", "2", "Yes"}, {"C", "0", "0", "1", "2", "Yes"}});
    EXPECT_THROW(SolveHeightFit(0, table, grid, dialogs), CommandError);
    EXPECT_EQ(grid.Cell(5, 1), "");
    EXPECT_EQ(table.Value(0), "");
}

TEST(HeightFitCommonPointFile, TheAdoptionFlagIsSavedAndReadBack) {
    const testing::ScratchDir dir;
    const CommonPointLayout layout = HeightFitLayout();
    PointTable grid = HeightGrid({{"A", "1", "2", "3", "4", "No"}, {"B", "5", "6", "7", "8", "Yes"}});
    grid.Cell(5, 1) = "0.1000";
    grid.Cell(6, 1) = "No";
    SaveCommonPoints(dir.Path("g.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(testing::ReadBytes(dir.Path("g.txt")), "A,1,2,3,4,0.1000,No,No\r\nB,5,6,7,8,,,Yes\r\n");
    testing::WriteBytes(dir.Path("h.txt"), "C,1,2,3,4\r\nD,1,2,3,4,,,No,extra\r\n");
    PointTable imported = NewCommonPointGrid(layout, HeightFitCommonPointTitles());
    ImportCommonPoints(dir.Path("h.txt"), FileEncoding::Gbk, layout, imported);
    ASSERT_EQ(imported.RowCount(), 3);
    EXPECT_EQ(imported.Cell(7, 1), "Yes");
    EXPECT_EQ(imported.Cell(7, 2), "No");
}

}  // namespace
}  // namespace coordconv
