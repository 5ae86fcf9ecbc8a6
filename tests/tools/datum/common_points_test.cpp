#include "tools/datum/common_points.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "tests/test_support.h"
#include "tests/tools/datum/datum_test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::RecordingDialogs;
using testing::ScratchDir;
using testing::WriteBytes;

// One unknown p fitted to c * p = v, c from column 2 and v from column 1;
// the residual c * p - v goes to column 7 and its magnitude to column 10.
class ScaledValueModel : public FittingModel {
public:
    explicit ScaledValueModel(std::string& field) : field_(field) {}
    int MinimumPoints() const override { return 2; }
    std::string TooFewPointsText() const override { return TooFewPointsMessage("测试模型至少需要2"); }
    void AddEquations(const std::string* row, Matrix& design, Vector& observations) override {
        design.push_back({TextToNumber(row[2])});
        observations.push_back(TextToNumber(row[1]));
    }
    void TakeSolution(const Vector& solution) override {
        p_ = solution[0];
        field_ = FloatToStr(p_);
    }
    void TakeFieldParameters() override { p_ = TextToNumber(field_); }
    RowResiduals Residuals(const std::string* row) const override {
        const long double v = TextToNumber(row[2]) * p_ - TextToNumber(row[1]);
        return {{{7, v, 4}, {10, std::fabs(v), 4}}, {v * v}};
    }

private:
    std::string& field_;
    long double p_ = 0;
};

PointTable GridOf(const std::vector<std::vector<std::string>>& rows) {
    const CommonPointLayout layout;
    PointTable grid = NewCommonPointGrid(layout, CommonPointTitles(false, false));
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[static_cast<std::size_t>(r)].size()); ++c)
            grid.Cell(c, r + 1) = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
    return grid;
}

// A row with value v, coefficient c and adoption text `adopt`.
std::vector<std::string> Point(const std::string& v, const std::string& c, const std::string& adopt) {
    std::vector<std::string> row(13);
    row[0] = "P";
    row[1] = v;
    row[2] = c;
    row[12] = adopt;
    return row;
}

TEST(CommonPointFlags, AdoptionRuleUpperCasesThenTrims) {
    EXPECT_TRUE(IsAdoptedText("Yes"));
    EXPECT_TRUE(IsAdoptedText("yes"));
    EXPECT_TRUE(IsAdoptedText("  YES \t"));
    EXPECT_FALSE(IsAdoptedText(""));
    EXPECT_FALSE(IsAdoptedText("No"));
    EXPECT_FALSE(IsAdoptedText("Y"));
    EXPECT_FALSE(IsAdoptedText("YES!"));
    EXPECT_FALSE(IsAdoptedText("是"));
}

TEST(CommonPointFlags, DoubleClickTogglesOnlyTheAdoptionColumn) {
    const CommonPointLayout layout;
    PointTable grid = GridOf({Point("1", "1", "yes"), Point("1", "1", "Yes"), Point("1", "1", "")});
    EXPECT_TRUE(ToggleAdoption(layout, grid, 12, 1));
    EXPECT_EQ(grid.Cell(12, 1), "Yes");  // "yes" adopts, but only the exact "Yes" turns into "No"
    EXPECT_TRUE(ToggleAdoption(layout, grid, 12, 2));
    EXPECT_EQ(grid.Cell(12, 2), "No");
    EXPECT_TRUE(ToggleAdoption(layout, grid, 12, 3));
    EXPECT_EQ(grid.Cell(12, 3), "Yes");
    EXPECT_FALSE(ToggleAdoption(layout, grid, 11, 1));
    EXPECT_FALSE(ToggleAdoption(layout, grid, 12, 0));
    EXPECT_EQ(grid.Cell(12, 0), "采用");
}

TEST(CommonPointLayoutTest, TitlesFollowTheCoordinateFormsAndWidthsTheShares) {
    const auto plane = CommonPointTitles(false, false);
    const auto mixed = CommonPointTitles(true, false);
    const auto geodetic_target = CommonPointTitles(false, true);
    ASSERT_EQ(plane.size(), 13u);
    EXPECT_EQ(plane[1], "原坐标x(m)");
    EXPECT_EQ(mixed[1], "原纬度B(dms)");
    EXPECT_EQ(mixed[4], "新坐标x(m)");
    EXPECT_EQ(geodetic_target[5], "新经度L(dms)");
    EXPECT_EQ(geodetic_target[7], "残差B(\")");
    EXPECT_EQ(geodetic_target[8], "残差L(\")");
    EXPECT_EQ(geodetic_target[10], "点位残差(m)");

    const CommonPointLayout layout;
    long double total = 0;
    for (const long double share : layout.column_shares) total += share;
    EXPECT_NEAR(static_cast<double>(total), 1.0, 1e-15);
    const std::vector<int> widths = CommonPointColumnWidths(layout, 1034);  // w = 1000
    EXPECT_EQ(widths[0], 50);
    EXPECT_EQ(widths[1], 100);
    EXPECT_EQ(widths[3], 70);
    EXPECT_EQ(widths[12], 60);
    EXPECT_EQ(AccuracyLineWidth(layout, 900), 525);
    EXPECT_EQ(NewCommonPointGrid(layout, plane).RowCount(), 4);
}

TEST(CommonPointFiles, ImportAdoptsBlankFlagsAndKeepsTheGridOnFailure) {
    const ScratchDir dir;
    const CommonPointLayout layout;
    WriteBytes(dir.Path("cp.txt"),
               "A,1,2,3,4,5,6,r7,r8,r9,r10,Yes,No\r\n"
               "B,1,2\r\n"
               "\r\n"
               "C,1,2,3,4,5,6,7,8,9,10,11, \t,extra\n");
    PointTable grid = GridOf({Point("9", "9", "")});
    ImportCommonPoints(dir.Path("cp.txt"), FileEncoding::Gbk, layout, grid);
    ASSERT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(7, 1), "r7");
    EXPECT_EQ(grid.Cell(12, 1), "No");
    EXPECT_EQ(grid.Cell(2, 2), "2");
    EXPECT_EQ(grid.Cell(3, 2), "");
    EXPECT_EQ(grid.Cell(12, 2), "Yes");
    EXPECT_EQ(grid.Cell(0, 3), "");
    EXPECT_EQ(grid.Cell(12, 3), "Yes");  // an empty line is an adopted empty row
    EXPECT_EQ(grid.Cell(12, 4), "Yes");  // blank flag, text after the 13th field dropped
    EXPECT_EQ(grid.Cell(0, 0), "点号");

    const PointTable before = grid;
    EXPECT_THROW(ImportCommonPoints(dir.Path("missing.txt"), FileEncoding::Gbk, layout, grid), CommandError);
    EXPECT_EQ(grid, before);

    WriteBytes(dir.Path("empty.txt"), "");
    ImportCommonPoints(dir.Path("empty.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST(CommonPointFiles, SaveWritesTheLayoutsFieldsAndLosesTheAdoptionFlags) {
    const ScratchDir dir;
    CommonPointLayout layout;
    PointTable grid = GridOf({Point("1.5", "1", "No"), {}});
    grid.Cell(11, 1) = "Yes";
    SaveCommonPoints(dir.Path("cp.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(ReadBytes(dir.Path("cp.txt")), "P,1.5,1,,,,,,,,,Yes\r\n,,,,,,,,,,,\r\n");

    PointTable reread = GridOf({});
    ImportCommonPoints(dir.Path("cp.txt"), FileEncoding::Gbk, layout, reread);
    EXPECT_EQ(reread.Cell(12, 1), "Yes");
    EXPECT_EQ(reread.Cell(11, 1), "Yes");

    layout.saved_fields = 11;  // the two-dimensional seven-parameter window
    SaveCommonPoints(dir.Path("cp11.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(ReadBytes(dir.Path("cp11.txt")), "P,1.5,1,,,,,,,,\r\n,,,,,,,,,,\r\n");

    // A save that cannot be completed leaves the old file as it was.
    EXPECT_THROW(SaveCommonPoints(dir.Path("no/such/dir.txt"), FileEncoding::Gbk, layout, grid), CommandError);
    EXPECT_EQ(ReadBytes(dir.Path("cp11.txt")), "P,1.5,1,,,,,,,,\r\n,,,,,,,,,,\r\n");
}

TEST(CommonPointFiles, ParameterFileRoundTripShortFileAndFailure) {
    const ScratchDir dir;
    const std::vector<std::string> texts = {"-15.5", "2.5E-6", "", " 0 ", "abc"};
    SaveParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, texts);
    EXPECT_EQ(ReadBytes(dir.Path("p.txt")), "-15.5\r\n2.5E-6\r\n\r\n 0 \r\nabc\r\n");
    EXPECT_EQ(LoadParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, 5), texts);
    EXPECT_EQ(LoadParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, 7),
              (std::vector<std::string>{"-15.5", "2.5E-6", "", " 0 ", "abc", "", ""}));
    EXPECT_EQ(LoadParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, 2), (std::vector<std::string>{"-15.5", "2.5E-6"}));
    EXPECT_THROW(LoadParameterFile(dir.Path("missing.txt"), FileEncoding::Gbk, 7), CommandError);
}

TEST(SolveCommonPoints, AccuracyLineAndUsableFlagsAtTheTolerance) {
    const FloatingPointScope scope;
    const CommonPointLayout layout;
    // Adopted values -1, 0, 1 with c = 1: p = 0, residuals 1, 0, -1, m_in = 1.
    PointTable grid = GridOf({Point("-1", "1", "Yes"), Point("0", "1", "yes"), Point("1", "1", " YES"),
                              Point("-3", "1", "No"), Point("-2.99994", "1", "")});
    std::string field = "7";
    ScaledValueModel model(field);
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveCommonPoints(layout, model, grid, dialogs);
    EXPECT_TRUE(report.solved);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(field, "0");
    EXPECT_EQ(report.data_rows, 5);
    EXPECT_EQ(report.adopted_rows, 3);
    EXPECT_EQ(report.internal_accuracy, 1.0L);
    EXPECT_EQ(report.tolerance, 3.0L);
    EXPECT_EQ(grid.Cell(7, 1), "1.0000");
    EXPECT_EQ(grid.Cell(7, 3), "-1.0000");
    EXPECT_EQ(grid.Cell(10, 3), "1.0000");
    // 3.0000 equals the tolerance: not usable; 2.9999 (read back from the
    // text, not the unrounded 2.99994) is.
    EXPECT_EQ(grid.Cell(10, 4), "3.0000");
    EXPECT_EQ(grid.Cell(11, 4), "No");
    EXPECT_EQ(grid.Cell(10, 5), "2.9999");
    EXPECT_EQ(grid.Cell(11, 5), "Yes");
    for (int row = 1; row <= 3; ++row) EXPECT_EQ(grid.Cell(11, row), "Yes");
    const long double m_out = std::sqrt((9.0L + 2.99994L * 2.99994L) / 2);
    EXPECT_EQ(report.accuracy_line, "内符合精度=1.0000m，限差=3.0000m；外符合精度=" + FloatToFixed(m_out, 4) + "m");
}

TEST(SolveCommonPoints, TooFewPointsShowsTheMessageAndJudgesTheFieldParameters) {
    const FloatingPointScope scope;
    const CommonPointLayout layout;
    // One adopted point: no solve, p from the field, m_in = 0, every row "No".
    PointTable grid = GridOf({Point("2", "1", "Yes"), Point("5", "1", "No")});
    std::string field = "2.5";
    ScaledValueModel model(field);
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveCommonPoints(layout, model, grid, dialogs);
    EXPECT_FALSE(report.solved);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.titles[0], "坐标转换");
    EXPECT_EQ(dialogs.messages[0],
              "测试模型至少需要2个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(field, "2.5");
    EXPECT_EQ(grid.Cell(7, 1), "0.5000");
    EXPECT_EQ(grid.Cell(7, 2), "-2.5000");
    EXPECT_EQ(grid.Cell(11, 1), "No");
    EXPECT_EQ(grid.Cell(11, 2), "No");
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=2.5000m");
}

TEST(SolveCommonPoints, EmptyRowIsACheckPointAndAllAdoptedGivesNoExternalAccuracy) {
    const FloatingPointScope scope;
    const CommonPointLayout layout;
    std::string field = "0";
    RecordingDialogs dialogs;
    {
        // The empty row reads v = 0, c = 0: residual 0, enters the external sum.
        PointTable grid = GridOf({Point("1", "1", "Yes"), Point("3", "1", "Yes"), {}});
        ScaledValueModel model(field);
        const AccuracyReport report = SolveCommonPoints(layout, model, grid, dialogs);
        EXPECT_EQ(field, "2");
        EXPECT_EQ(grid.Cell(7, 3), "0.0000");
        EXPECT_EQ(grid.Cell(11, 3), "Yes");
        EXPECT_EQ(report.data_rows, 3);
        EXPECT_EQ(report.accuracy_line, "内符合精度=1.4142m，限差=4.2426m；外符合精度=0.0000m");
    }
    {
        PointTable grid = GridOf({Point("1", "1", "Yes"), Point("3", "1", "Yes"), Point("5", "1", "Yes")});
        ScaledValueModel model(field);
        const AccuracyReport report = SolveCommonPoints(layout, model, grid, dialogs);
        EXPECT_EQ(report.external_accuracy, 0.0L);
        EXPECT_EQ(report.internal_accuracy, 2.0L);
    }
    {
        // The divisor of the polynomial and height windows: check points - 1.
        CommonPointLayout fewer = layout;
        fewer.external_divisor = ExternalDivisor::CheckPointsLessOne;
        fewer.tolerance_factor = 2;
        PointTable grid = GridOf({Point("1", "1", "Yes"), Point("3", "1", "Yes"), Point("5", "1", "No")});
        ScaledValueModel model(field);
        AccuracyReport report = SolveCommonPoints(fewer, model, grid, dialogs);
        EXPECT_EQ(report.external_accuracy, 0.0L);  // one check point
        EXPECT_EQ(report.tolerance, 2 * report.internal_accuracy);
        grid = GridOf({Point("1", "1", "Yes"), Point("3", "1", "Yes"), Point("5", "1", "No"), Point("-1", "1", "No")});
        report = SolveCommonPoints(fewer, model, grid, dialogs);
        EXPECT_EQ(report.external_accuracy, std::sqrt(18.0L));
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(SolveCommonPoints, ZeroColumnEndsTheCommandBeforeAnythingIsWritten) {
    const FloatingPointScope scope;
    const CommonPointLayout layout;
    PointTable grid = GridOf({Point("1", "0", "Yes"), Point("3", "0", "Yes"), Point("3", "0", "No")});
    grid.Cell(11, 1) = "old";
    const PointTable before = grid;
    std::string field = "keep";
    ScaledValueModel model(field);
    RecordingDialogs dialogs;
    try {
        SolveCommonPoints(layout, model, grid, dialogs);
        FAIL() << "a zero pivot must end the solve";
    } catch (const CommandError& error) {
        const std::string text = error.what();
        EXPECT_TRUE(text == kDivisionByZeroText || text == kInvalidOperationText) << text;
    }
    EXPECT_EQ(grid, before);
    EXPECT_EQ(field, "keep");
}

TEST(SolveCommonPoints, TextThatIsNotANumberKeepsTheRowsAlreadyWritten) {
    const FloatingPointScope scope;
    const CommonPointLayout layout;
    PointTable grid = GridOf({Point("1", "1", "Yes"), Point("3", "1", "Yes"), Point("x", "1", "No")});
    std::string field = "0";
    ScaledValueModel model(field);
    RecordingDialogs dialogs;
    EXPECT_THROW(SolveCommonPoints(layout, model, grid, dialogs), CommandError);
    EXPECT_EQ(field, "2");
    EXPECT_EQ(grid.Cell(7, 2), "-1.0000");
    EXPECT_EQ(grid.Cell(7, 3), "");
    EXPECT_EQ(grid.Cell(11, 1), "");
}

}  // namespace
}  // namespace coordconv
