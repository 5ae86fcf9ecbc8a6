#include "tools/plane/plane_four.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

// Source points of a typical 3-degree zone: millions of metres enter raw.
constexpr long double kX1 = 3380000.0L, kY1 = 500000.0L;
constexpr long double kX2 = 3392000.0L, kY2 = 512000.0L;

TEST(PlaneFourModel, TwoPointsDetermineTheParametersAndARotationOfOneArcSecond) {
    PlaneFourParameters truth;
    truth.dx = 12.5L;
    truth.dy = -40.25L;
    SetRotationAndScale(1, 0, truth);
    const PlanePointH t1 = TransformPlaneFour(truth, kX1, kY1, 0);
    const PlanePointH t2 = TransformPlaneFour(truth, kX2, kY2, 0);

    Matrix A;
    Vector L;
    AppendPlaneFourEquations(kX1, kY1, t1.x, t1.y, A, L);
    AppendPlaneFourEquations(kX2, kY2, t2.x, t2.y, A, L);
    ASSERT_EQ(A.size(), 4u);
    EXPECT_EQ(A[0], (Vector{1, 0, kX1, -kY1}));
    EXPECT_EQ(A[1], (Vector{0, 1, kY1, kX1}));
    const Vector X = SolveLeastSquares(A, L);

    // The raw normal equations lose digits; a millimetre over 12 km is still 1e-7.
    EXPECT_NEAR(static_cast<double>(X[0]), 12.5, 1e-3);
    EXPECT_NEAR(static_cast<double>(X[1]), -40.25, 1e-3);
    EXPECT_NEAR(static_cast<double>(RotationSeconds(X[2], X[3])), 1.0, 1e-4);
    EXPECT_NEAR(static_cast<double>(ScaleChange(X[2], X[3])), 0.0, 1e-10);
    // Positive R turns the x axis towards the y axis: b > 0.
    EXPECT_GT(X[3], 0);
}

TEST(PlaneFourModel, RotationIsReducedIntoTheHalfOpenInterval) {
    // A small clockwise rotation reads as -1", not as 1295999".
    EXPECT_NEAR(static_cast<double>(RotationSeconds(std::cos(-1.0L / 206264.806L), std::sin(-1.0L / 206264.806L))),
                -1.0, 1e-6);
    // Half a turn stays +180 degrees.
    EXPECT_NEAR(static_cast<double>(RotationSeconds(-1, 0)), 648000.0, 1e-9);
    EXPECT_EQ(RotationSeconds(1, 0), 0);
    EXPECT_NEAR(static_cast<double>(ScaleChange(3, 4)), 4.0, 1e-18);
}

TEST(PlaneFourModel, ConvertWritesFourDecimalsAndAnEmptyRowHoldsTheShifts) {
    PlaneFourFields fields;
    fields.dx = "100";
    fields.dy = "-50";
    fields.scale = "1E-5";
    fields.height_shift = "2.5";
    const RowConversion convert = PlaneFourConversion(fields);
    std::string result[4];
    const std::string source[4] = {"P1", "1000", "2000", "10"};
    convert(source, result);
    EXPECT_EQ(result[0], "P1");
    EXPECT_EQ(result[1], "1100.0100");
    EXPECT_EQ(result[2], "1950.0200");
    EXPECT_EQ(result[3], "12.5000");
    const std::string empty[4] = {};
    convert(empty, result);
    EXPECT_EQ(result[0], "");
    EXPECT_EQ(result[1], "100.0000");
    EXPECT_EQ(result[2], "-50.0000");
    EXPECT_EQ(result[3], "2.5000");
}

TEST(PlaneFourModel, BadTextEndsTheConversion) {
    PlaneFourFields fields;
    fields.rotation = "1..0";
    EXPECT_THROW(PlaneFourConversion(fields), CommandError);
    const RowConversion convert = PlaneFourConversion(PlaneFourFields{});
    std::string result[4] = {"keep", "keep", "keep", "keep"};
    const std::string source[4] = {"P", "12,5", "0", "0"};
    EXPECT_THROW(convert(source, result), CommandError);
    EXPECT_EQ(result[0], "keep");
}

TEST(PlaneFourModel, ParameterLinesRestoreTheTextsAndShortFilesLeaveEmptyEdits) {
    PlaneFourFields fields;
    fields.dx = "-12.3456789012345";
    fields.dy = " 7 ";
    fields.rotation = "1.00000000001";
    fields.scale = "2.5E-6";
    fields.height_shift = "0.1250";
    const PlaneFourFields back = PlaneFourFieldsFromLines(PlaneFourParameterLines(fields));
    EXPECT_EQ(PlaneFourParameterLines(back), PlaneFourParameterLines(fields));
    const PlaneFourFields short_file = PlaneFourFieldsFromLines({"1", "2"});
    EXPECT_EQ(short_file.rotation, "");
    EXPECT_EQ(short_file.height_shift, "");
    const PlaneFourParameters p = ReadPlaneFourParameters(short_file);
    EXPECT_EQ(p.a, 1);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(p.dH, 0);
}

TEST(PlaneFourParameterFile, SavedAndLoadedTextsAreTheSameCharacters) {
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
}

// A common-point grid of TForm2d4p with the given rows (columns 0..6 and the
// adoption flag in column 12).
PointTable PlaneFourGrid(const std::vector<std::vector<std::string>>& rows) {
    PointTable grid = NewCommonPointGrid(PlaneFourLayout(), PlaneFourCommonPointTitles());
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c + 1 < rows[r].size(); ++c) grid.Cell(static_cast<int>(c), static_cast<int>(r) + 1) = rows[r][c];
        grid.Cell(12, static_cast<int>(r) + 1) = rows[r].back();
    }
    return grid;
}

bool ShowsZero(const std::string& text) { return text == "0.0000" || text == "-0.0000"; }

class PlaneFourSolve : public ::testing::Test {
protected:
    const FloatingPointScope scope;
    testing::FakeDialogs dialogs;
    PlaneFourFields fields;
};

TEST_F(PlaneFourSolve, TwoAdoptedPointsFitExactlyAndAnExactCheckPointGivesZeroExternalAccuracy) {
    // Target = source rotated by +1" about the origin, shifted and with heights +2 m.
    PlaneFourParameters truth;
    truth.dx = 25;
    truth.dy = -13;
    SetRotationAndScale(1, 0, truth);
    const long double source[3][2] = {{kX1, kY1}, {kX2, kY2}, {3386000, 506000}};
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 3; ++i) {
        const PlanePointH t = TransformPlaneFour(truth, source[i][0], source[i][1], 0);
        rows.push_back({"P" + std::to_string(i), FloatToFixed(source[i][0], 4), FloatToFixed(source[i][1], 4), "10",
                        FloatToFixed(t.x, 6), FloatToFixed(t.y, 6), "12", i < 2 ? "Yes" : "No"});
    }
    PointTable grid = PlaneFourGrid(rows);
    const AccuracyReport report = SolvePlaneFour(fields, grid, dialogs);

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(report.solved);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.rotation)), 1.0, 1e-4);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.dx)), 25.0, 1e-3);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.scale)), 0.0, 1e-9);
    EXPECT_EQ(fields.height_shift, "2.0000");
    for (int row = 1; row <= 3; ++row) {
        for (int col = 7; col <= 10; ++col) EXPECT_TRUE(ShowsZero(grid.Cell(col, row))) << col << "," << row << " " << grid.Cell(col, row);
    }
    EXPECT_LT(report.internal_accuracy, 1e-6L);  // zero to rounding
    EXPECT_LT(report.external_accuracy, 1e-6L);  // the targets were written with 6 decimals
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");

    // Without check points the external accuracy is exactly 0.
    grid.SetRowCount(3);
    EXPECT_EQ(SolvePlaneFour(fields, grid, dialogs).external_accuracy, 0);
}

TEST_F(PlaneFourSolve, IdenticalSystemsGiveZeroParameters) {
    PointTable grid = PlaneFourGrid({{"A", "1000", "2000", "0", "1000", "2000", "0", "Yes"},
                                     {"B", "3000", "1000", "0", "3000", "1000", "0", "yes"},
                                     {"C", "2000", "5000", "0", "2000", "5000", "0", " YES "}});
    SolvePlaneFour(fields, grid, dialogs);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.dx)), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.dy)), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.rotation)), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(TextToNumber(fields.scale)), 0.0, 1e-12);
    EXPECT_EQ(fields.height_shift, "0.0000");
}

TEST_F(PlaneFourSolve, OneAdoptedPointWritesTheHeightShiftButJudgesTheTypedParameters) {
    fields.dx = "1";
    fields.dy = "2";
    fields.rotation = "0";
    fields.scale = "0";
    PointTable grid = PlaneFourGrid({{"A", "100", "200", "10", "101", "202", "10.75", "Yes"},
                                     {"B", "300", "400", "5", "301.3", "402.4", "0", "No"}});
    const AccuracyReport report = SolvePlaneFour(fields, grid, dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], std::string("坐标转换|") + kPlaneFourTooFewPointsText);
    EXPECT_FALSE(report.solved);
    EXPECT_EQ(fields.height_shift, "0.7500");
    EXPECT_EQ(fields.dx, "1");
    EXPECT_EQ(fields.rotation, "0");
    EXPECT_EQ(grid.Cell(7, 1), "0.0000");
    EXPECT_EQ(grid.Cell(7, 2), "-0.3000");
    EXPECT_EQ(grid.Cell(8, 2), "-0.4000");
    EXPECT_EQ(grid.Cell(9, 2), "5.7500");
    EXPECT_EQ(grid.Cell(10, 2), "0.5000");
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.5000m");
    EXPECT_EQ(grid.Cell(11, 1), "No");
    EXPECT_EQ(grid.Cell(11, 2), "No");
}

TEST_F(PlaneFourSolve, NoAdoptedPointKeepsTheHeightShiftAndAnEmptyRowIsACheckPoint) {
    fields.height_shift = "1.5";
    PointTable grid = PlaneFourGrid({{"A", "100", "200", "10", "100", "200", "11.5", "No"}});
    grid.Append();  // an empty row: all coordinates 0, not adopted
    const AccuracyReport report = SolvePlaneFour(fields, grid, dialogs);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(fields.height_shift, "1.5");
    EXPECT_EQ(grid.Cell(9, 1), "0.0000");
    EXPECT_EQ(grid.Cell(9, 2), "1.5000");
    EXPECT_EQ(report.data_rows, 2);
    EXPECT_EQ(report.adopted_rows, 0);
}

TEST_F(PlaneFourSolve, SingularPointsEndTheSolveAfterTheHeightShift) {
    fields.dx = "7";
    PointTable grid = PlaneFourGrid({{"O1", "0", "0", "1", "5", "5", "2", "Yes"}, {"O2", "0", "0", "1", "5", "5", "4", "Yes"}});
    try {
        SolvePlaneFour(fields, grid, dialogs);
        FAIL() << "a singular system must fail";
    } catch (const CommandError& error) {
        const std::string text = error.what();
        EXPECT_TRUE(text == kDivisionByZeroText || text == kInvalidOperationText) << text;
    }
    EXPECT_EQ(fields.height_shift, "2.0000");
    EXPECT_EQ(fields.dx, "7");
    EXPECT_EQ(grid.Cell(7, 1), "");
}

TEST_F(PlaneFourSolve, BadCellEndsTheSolve) {
    PointTable grid = PlaneFourGrid({{"A", "1O0", "200", "0", "100", "200", "0", "Yes"}});
    EXPECT_THROW(SolvePlaneFour(fields, grid, dialogs), CommandError);
    EXPECT_EQ(grid.Cell(7, 1), "");
}

}  // namespace
}  // namespace coordconv
