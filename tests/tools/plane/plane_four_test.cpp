#include "tools/plane/plane_four.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "tests/test_support.h"
#include "tests/tools/fitting_grid.h"

namespace coordconv {
namespace {

using testing::ShowsZero;

class PlaneFourSolve : public ::testing::Test {
protected:
    PointTable Grid(const std::vector<std::vector<std::string>>& rows) {
        PointTable grid = NewCommonPointGrid(PlaneFourLayout(), PlaneFourCommonPointTitles());
        testing::FillCommonPoints(grid, 12, rows);
        return grid;
    }
    // The solve; `fields` and `messages` take what it returned.
    AccuracyReport Solve(PointTable& grid) {
        const FitResult<PlaneFourFields> fit = SolvePlaneFour(fields, grid);
        fields = fit.fields;
        messages = fit.outcome.messages;
        RaiseFitFailure(fit.outcome);
        return fit.outcome.report;
    }
    const FloatingPointScope scope;
    PlaneFourFields fields;
    std::vector<std::string> messages;
};

TEST_F(PlaneFourSolve, TwoPointsRecoverARotationOfOneArcSecondExactly) {
    // Targets rotated by +1" about the origin and shifted; raw zone coordinates.
    PlaneFourParameters truth;
    truth.dx = 25;
    truth.dy = -13;
    SetRotationAndScale(1, 0, truth);
    const long double source[3][2] = {{3380000, 500000}, {3392000, 512000}, {3386000, 506000}};
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 3; ++i) {
        const PlanePointH t = TransformPlaneFour(truth, source[i][0], source[i][1], 0);
        rows.push_back({"P", FormatFixed(source[i][0], 4), FormatFixed(source[i][1], 4), "10", FormatFixed(t.x, 6),
                        FormatFixed(t.y, 6), "12", i < 2 ? "Yes" : "No"});
    }
    PointTable grid = Grid(rows);
    const AccuracyReport report = Solve(grid);

    EXPECT_TRUE(messages.empty());
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.rotation)), 1.0, 1e-4);
    EXPECT_GT(TextToNumber(fields.rotation), 0);  // x turned towards y
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.dx)), 25.0, 1e-3);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.scale)), 0.0, 1e-9);
    EXPECT_EQ(fields.height_shift, "2.0000");
    for (int row = 1; row <= 3; ++row)
        for (int col = 7; col <= 10; ++col) EXPECT_TRUE(ShowsZero(grid.Cell(col, row))) << grid.Cell(col, row);
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");

    grid.SetRowCount(3);  // without check points m_out is exactly 0
    EXPECT_EQ(Solve(grid).external_accuracy, 0);
}

TEST_F(PlaneFourSolve, ARotationOfTenArcMinutesKeepsTheScaleApartFromTheRotation) {
    // a = (1 + m) cos R, b = (1 + m) sin R with R = 600", m = 5 ppm: the solve
    // must give back m = sqrt(a^2 + b^2) - 1, not a - 1, which would be off by
    // about (1 + m)(1 - cos R) = 4.2 ppm, 14 m at 3380 km from the origin.
    const long double rotation = 600.0L / 206264.80624709635515647L;
    const long double scale = 1 + 5e-6L;
    const long double a = scale * std::cos(rotation);
    const long double b = scale * std::sin(rotation);
    const long double source[4][2] = {{3380000, 500000}, {3392000, 512000}, {3386000, 498000}, {3375000, 507000}};
    std::vector<std::vector<std::string>> rows;
    for (const auto& p : source) {
        const long double x2 = 10 + a * p[0] - b * p[1];
        const long double y2 = -20 + b * p[0] + a * p[1];
        rows.push_back({"P", FormatFixed(p[0], 4), FormatFixed(p[1], 4), "0", FormatFixed(x2, 6),
                        FormatFixed(y2, 6), "0", "Yes"});
    }
    PointTable grid = Grid(rows);
    Solve(grid);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.rotation)), 600.0, 1e-5);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.scale)), 5e-6, 1e-9);

    // The solved fields carry a source point onto its target within 1 mm.
    std::string result[4];
    const std::string point[4] = {"Q", "3390000", "505000", "0"};
    PlaneFourConversion(fields)(point, result);
    EXPECT_NEAR(static_cast<double>(TextToNumber(result[1])), static_cast<double>(10 + a * 3390000 - b * 505000), 1e-3);
    EXPECT_NEAR(static_cast<double>(TextToNumber(result[2])), static_cast<double>(-20 + b * 3390000 + a * 505000), 1e-3);
}

TEST_F(PlaneFourSolve, IdenticalSystemsGiveZeroParametersAndClockwiseIsNegative) {
    PointTable grid = Grid({{"A", "1000", "2000", "0", "1000", "2000", "0", "Yes"},
                            {"B", "3000", "1000", "0", "3000", "1000", "0", "yes"}});
    Solve(grid);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.dx)), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.rotation)), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.scale)), 0.0, 1e-12);
    // A rotation just below a full turn reads as a small negative angle.
    EXPECT_NEAR(static_cast<double>(RotationSeconds(std::cos(-1 / 206264.806L), std::sin(-1 / 206264.806L))), -1.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(RotationSeconds(-1, 0)), 648000.0, 1e-9);
}

TEST_F(PlaneFourSolve, OneAdoptedPointWritesTheHeightShiftButJudgesTheTypedParameters) {
    fields.dx = "1";
    fields.dy = "2";
    PointTable grid = Grid({{"A", "100", "200", "10", "101", "202", "10.75", "Yes"},
                            {"B", "300", "400", "5", "301.3", "402.4", "0", "No"}});
    const AccuracyReport report = Solve(grid);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], kPlaneFourTooFewPointsText);
    EXPECT_EQ(fields.height_shift, "0.7500");
    EXPECT_EQ(fields.dx, "1");
    EXPECT_EQ(fields.rotation, "0");
    EXPECT_EQ(grid.Row(2)[7] + "," + grid.Row(2)[8] + "," + grid.Row(2)[9] + "," + grid.Row(2)[10],
              "-0.3000,-0.4000,5.7500,0.5000");
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.5000m");
    EXPECT_EQ(grid.Cell(11, 1), "No");  // tolerance 0
    EXPECT_EQ(grid.Cell(11, 2), "No");
}

TEST_F(PlaneFourSolve, NoAdoptedPointKeepsTheHeightShiftAndAnEmptyRowIsACheckPoint) {
    fields.height_shift = "1.5";
    PointTable grid = Grid({{"A", "100", "200", "10", "100", "200", "11.5", "No"}});
    grid.Append();
    Solve(grid);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(fields.height_shift, "1.5");
    EXPECT_EQ(grid.Cell(9, 1), "0.0000");
    EXPECT_EQ(grid.Cell(9, 2), "1.5000");
}

TEST_F(PlaneFourSolve, OnePointTwiceIsTooFewAfterTheHeightShift) {
    fields.dx = "7";
    PointTable grid = Grid({{"O1", "0", "0", "1", "5", "5", "2", "Yes"}, {"O2", "0", "0", "1", "5", "5", "4", "Yes"}});
    const AccuracyReport report = Solve(grid);
    EXPECT_FALSE(report.solved);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(fields.height_shift, "2.0000");
    EXPECT_EQ(fields.dx, "7");          // the field's parameters are kept
    EXPECT_NE(grid.Cell(7, 1), "");     // and judge the points
}

TEST(PlaneFourConvert, FourDecimalsAndAnEmptyRowHoldsTheShifts) {
    PlaneFourFields fields;
    fields.dx = "100";
    fields.dy = "-50";
    fields.scale = "1E-5";
    fields.height_shift = "2.5";
    const RowConversion convert = PlaneFourConversion(fields);
    std::string result[4];
    const std::string source[4] = {"P1", "1000", "2000", "10"};
    convert(source, result);
    EXPECT_EQ(result[0] + "," + result[1] + "," + result[2] + "," + result[3], "P1,1100.0100,1950.0200,12.5000");
    const std::string empty[4] = {};
    convert(empty, result);
    EXPECT_EQ(result[0] + "," + result[1] + "," + result[2] + "," + result[3], ",100.0000,-50.0000,2.5000");
}

TEST(PlaneFourParameterFile, TextsComeBackCharacterForCharacter) {
    const testing::ScratchDir dir;
    PlaneFourFields fields;
    fields.dx = "-10.8333333333333";
    fields.dy = " 160.8 ";
    fields.rotation = "-8.59436692198879";
    fields.scale = "8.6805555517093E-10";
    fields.height_shift = "";
    SaveParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, PlaneFourParameterLines(fields));
    EXPECT_EQ(testing::ReadBytes(dir.Path("p.txt")),
              "-10.8333333333333\r\n 160.8 \r\n-8.59436692198879\r\n8.6805555517093E-10\r\n\r\n");
    const PlaneFourFields back =
        PlaneFourFieldsFromLines(LoadParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, kPlaneFourParameterCount));
    EXPECT_EQ(PlaneFourParameterLines(back), PlaneFourParameterLines(fields));
    // A short file leaves the last edits empty, which read as 0.
    const PlaneFourParameters p = ReadPlaneFourParameters(PlaneFourFieldsFromLines({"1", "2"}));
    EXPECT_EQ(p.a, 1);
    EXPECT_EQ(p.dH, 0);
}

}  // namespace
}  // namespace coordconv
