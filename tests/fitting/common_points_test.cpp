#include "fitting/common_points.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "tests/test_support.h"
#include "tests/tools/datum/datum_test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

// One unknown p fitted to c * p = v (v in column 1, c in column 2); the
// residual c * p - v goes to column 7, its magnitude to column 10.
class ScaledValueModel : public FittingModel {
public:
    explicit ScaledValueModel(const std::string& field) : field_(field) {}
    const std::string& Field() const { return field_; }
    int MinimumPoints() const override { return 2; }
    std::string TooFewPointsText() const override { return TooFewPointsMessage("测试模型至少需要2"); }
    void AddEquations(const CommonPoint& point, Matrix& A, Vector& L) override {
        A.push_back({point.source[1]});
        L.push_back(point.source[0]);
    }
    void TakeSolution(const Vector& x) override { field_ = FormatGeneral(p_ = x[0]); }
    void TakeFieldParameters() override { p_ = TextToNumber(field_); }
    RowResiduals Residuals(const CommonPoint& point) const override {
        const long double v = point.source[1] * p_ - point.source[0];
        return {{{7, v, 4}, {10, std::fabs(v), 4}}, {v * v}};
    }

    ReportDescription Describe() const override { return {"scaled-value", "测试", "m", "m", false, {}}; }
    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        return {{"p", field_, "", solution.empty() ? Vector{} : Vector{1}}};
    }

private:
    std::string field_;
    long double p_ = 0;
};

// Rows of (v, c, adoption flag).
PointTable Grid(const std::vector<std::array<std::string, 3>>& rows) {
    PointTable grid = NewCommonPointGrid(CommonPointLayout{}, CommonPointTitles(false, false));
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        grid.Cell(1, row) = rows[r][0];
        grid.Cell(2, row) = rows[r][1];
        grid.Cell(12, row) = rows[r][2];
    }
    return grid;
}

// The solve with the field's text `field`; `field` takes the text the model left.
FitOutcome Solve(PointTable& grid, std::string& field, const CommonPointLayout& layout = CommonPointLayout{}) {
    ScaledValueModel model(field);
    FitOutcome outcome = SolveCommonPoints(layout, model, grid);
    field = model.Field();
    return outcome;
}

TEST(CommonPointFlags, AdoptionRuleAndDoubleClick) {
    for (const char* text : {"Yes", "yes", "  YES \t"}) EXPECT_TRUE(IsAdoptedText(text)) << text;
    for (const char* text : {"", "No", "Y", "YES!"}) EXPECT_FALSE(IsAdoptedText(text)) << text;
    const CommonPointLayout layout;
    PointTable grid = Grid({{"", "", "yes"}, {"", "", "Yes"}, {"", "", ""}});
    for (int row = 1; row <= 3; ++row) EXPECT_TRUE(ToggleAdoption(layout, grid, 12, row));
    EXPECT_EQ(grid.Cell(12, 1), "Yes");  // only the exact "Yes" turns into "No"
    EXPECT_EQ(grid.Cell(12, 2), "No");
    EXPECT_EQ(grid.Cell(12, 3), "Yes");
    EXPECT_FALSE(ToggleAdoption(layout, grid, 11, 1));
    EXPECT_FALSE(ToggleAdoption(layout, grid, 12, 0));
}

TEST(CommonPointLayoutTest, TitlesFollowTheFormsAndWidthsTheShares) {
    const auto titles = CommonPointTitles(true, false);
    EXPECT_EQ(titles[1], "原纬度B(dms)");
    EXPECT_EQ(titles[4], "新坐标x(m)");
    EXPECT_EQ(CommonPointTitles(false, true)[7], "残差B(\")");
    const CommonPointLayout layout;
    EXPECT_EQ(NewCommonPointGrid(layout, titles).RowCount(), 4);
}

TEST(CommonPointFiles, ImportAdoptsBlankFlagsAndAFailureKeepsTheGrid) {
    const ScratchDir dir;
    const CommonPointLayout layout;
    WriteBytes(dir.Path("cp.txt"), "A,1,2,3,4,5,6,r7,r8,r9,r10,Yes,No\r\nB,1,2\r\n\r\nC,1,2,3,4,5,6,7,8,9,10,11, \t,x\n");
    PointTable grid = Grid({{"9", "9", ""}});
    ImportCommonPoints(dir.Path("cp.txt"), FileEncoding::Gbk, layout, grid);
    ASSERT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(7, 1), "r7");
    EXPECT_EQ(grid.Cell(12, 1), "No");
    EXPECT_EQ(grid.Cell(3, 2), "");
    for (int row = 2; row <= 4; ++row) EXPECT_EQ(grid.Cell(12, row), "Yes") << row;  // an empty line too
    const PointTable before = grid;
    EXPECT_THROW(ImportCommonPoints(dir.Path("missing.txt"), FileEncoding::Gbk, layout, grid), CommandError);
    EXPECT_EQ(grid, before);
}

TEST(CommonPointFiles, SavesAreAtomicAndDropTheAdoptionFlag) {
    const ScratchDir dir;
    CommonPointLayout layout;
    PointTable grid = Grid({{"1.5", "1", "No"}, {"", "", ""}});
    grid.Cell(11, 1) = "Yes";
    SaveCommonPoints(dir.Path("cp.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(ReadBytes(dir.Path("cp.txt")), ",1.5,1,,,,,,,,,Yes\r\n,,,,,,,,,,,\r\n");
    layout.saved_fields = 11;
    SaveCommonPoints(dir.Path("cp.txt"), FileEncoding::Gbk, layout, grid);
    EXPECT_EQ(ReadBytes(dir.Path("cp.txt")), ",1.5,1,,,,,,,,\r\n,,,,,,,,,,\r\n");
    EXPECT_THROW(SaveCommonPoints(dir.Path("no/dir.txt"), FileEncoding::Gbk, layout, grid), CommandError);

    const std::vector<std::string> texts = {"-15.5", "2.5E-6", "", " 0 "};
    SaveParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, texts);
    EXPECT_EQ(ReadBytes(dir.Path("p.txt")), "-15.5\r\n2.5E-6\r\n\r\n 0 \r\n");
    EXPECT_EQ(LoadParameterFile(dir.Path("p.txt"), FileEncoding::Gbk, 5),
              (std::vector<std::string>{"-15.5", "2.5E-6", "", " 0 ", ""}));
    EXPECT_THROW(LoadParameterFile(dir.Path("missing.txt"), FileEncoding::Gbk, 5), CommandError);
}

TEST(SolveCommonPoints, UsableFlagsCompareTheResidualTextWithTheTolerance) {
    const FloatingPointScope scope;
    // Adopted -1, 0, 1: p = 0, residuals 1, 0, -1, m_in = 1, tolerance 3.
    PointTable grid = Grid({{"-1", "1", "Yes"}, {"0", "1", "yes"}, {"1", "1", " YES"}, {"-3", "1", "No"}, {"-2.99994", "1", ""}});
    std::string field = "7";
    const FitOutcome outcome = Solve(grid, field);
    const AccuracyReport& report = outcome.report;
    EXPECT_TRUE(report.solved);
    EXPECT_TRUE(outcome.messages.empty());
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(field, "0");
    EXPECT_EQ(report.tolerance, 3.0L);
    EXPECT_EQ(grid.Cell(7, 3), "-1.0000");
    EXPECT_EQ(grid.Cell(11, 4), "No");   // "3.0000" equals the tolerance
    EXPECT_EQ(grid.Cell(10, 5), "2.9999");
    EXPECT_EQ(grid.Cell(11, 5), "Yes");  // read back from the text, not 2.99994
    const long double m_out = std::sqrt((9.0L + 2.99994L * 2.99994L) / 2);
    EXPECT_EQ(report.accuracy_line, "内符合精度=1.0000m，限差=3.0000m；外符合精度=" + FormatFixed(m_out, 4) + "m");
}

TEST(SolveCommonPoints, OneAdoptedPointReturnsTheMessageAndJudgesTheField) {
    const FloatingPointScope scope;
    PointTable grid = Grid({{"2", "1", "Yes"}, {"5", "1", "No"}});
    std::string field = "2.5";
    const FitOutcome outcome = Solve(grid, field);
    const AccuracyReport& report = outcome.report;
    EXPECT_FALSE(report.solved);
    EXPECT_EQ(outcome.messages, (std::vector<std::string>{"测试模型至少需要2个公共点。参数未重新计算。\n"
                                                          "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(field, "2.5");
    EXPECT_EQ(grid.Cell(7, 2), "-2.5000");
    EXPECT_EQ(grid.Cell(11, 1), "No");
    EXPECT_EQ(grid.Cell(11, 2), "No");
    EXPECT_EQ(report.accuracy_line, "内符合精度=0.0000m，限差=0.0000m；外符合精度=2.5000m");
}

TEST(SolveCommonPoints, EmptyRowsAreCheckPointsAndTheExternalDivisorFollowsTheLayout) {
    const FloatingPointScope scope;
    std::string field;
    PointTable grid = Grid({{"1", "1", "Yes"}, {"3", "1", "Yes"}, {"", "", ""}});
    EXPECT_EQ(Solve(grid, field).report.accuracy_line, "内符合精度=1.4142m，限差=4.2426m；外符合精度=0.0000m");
    EXPECT_EQ(grid.Cell(7, 3), "0.0000");
    grid = Grid({{"1", "1", "Yes"}, {"3", "1", "Yes"}, {"5", "1", "Yes"}});
    EXPECT_EQ(Solve(grid, field).report.external_accuracy, 0.0L);

    CommonPointLayout less_one;
    less_one.external_divisor = ExternalDivisor::CheckPointsLessOne;
    less_one.tolerance_factor = 2;
    grid = Grid({{"1", "1", "Yes"}, {"3", "1", "Yes"}, {"5", "1", "No"}});
    EXPECT_EQ(Solve(grid, field, less_one).report.external_accuracy, 0.0L);  // one check point
    grid = Grid({{"1", "1", "Yes"}, {"3", "1", "Yes"}, {"5", "1", "No"}, {"-1", "1", "No"}});
    const AccuracyReport report = Solve(grid, field, less_one).report;
    EXPECT_EQ(report.external_accuracy, std::sqrt(18.0L));
    EXPECT_EQ(report.tolerance, 2 * report.internal_accuracy);
}

TEST(SolveCommonPoints, FailuresKeepWhatWasWrittenBefore) {
    const FloatingPointScope scope;
    // A zero column leaves the normal equations rank-deficient: refused,
    // and the field's text, which is no number, ends the command before
    // anything is written.
    PointTable grid = Grid({{"1", "0", "Yes"}, {"3", "0", "Yes"}, {"3", "0", "No"}});
    const PointTable before = grid;
    std::string field = "keep";
    FitOutcome outcome = Solve(grid, field);
    ASSERT_TRUE(outcome.failure) << "a text that is no number must end the solve";
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_NE(outcome.messages[0].find("法方程秩亏"), std::string::npos);
    EXPECT_THROW(RaiseFitFailure(outcome), CommandError);
    EXPECT_EQ(grid, before);
    EXPECT_EQ(field, "keep");
    // A check row that is not a number: the parameters and the rows above stay.
    grid = Grid({{"1", "1", "Yes"}, {"3", "1", "Yes"}, {"x", "1", "No"}});
    outcome = Solve(grid, field);
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(std::string(outcome.failure->what()), "'x' is not a valid floating point value");
    EXPECT_EQ(field, "2");
    EXPECT_EQ(grid.Cell(7, 2), "-1.0000");
    EXPECT_EQ(grid.Cell(7, 3), "");
    EXPECT_EQ(grid.Cell(11, 1), "");
}

// Copies of one point, however many, are one point: every model takes the
// too-few-points path (its message, the fields' parameters) instead of
// solving equations that only rounding makes non-singular. Zero rows alike.
TEST(SolveCommonPoints, RepeatedPointsCountOnce) {
    const ScratchDir dir;
    struct Case {
        std::vector<std::string> tool;
        int copies;
    };
    const std::vector<Case> cases = {{{"bursa-wolf"}, 3},          {{"seven-3d"}, 3},
                                     {{"seven-2d"}, 12},           {{"four-3d"}, 3},
                                     {{"plane-four"}, 12},         {{"polynomial", "--order", "2"}, 6},
                                     {{"height-fit", "--model", "2"}, 12}};
    for (const std::string row : {"3376500.1,38500000.2,50,3376400.3,38500100.4,55", "0,0,0,0,0,0"}) {
        for (const Case& c : cases) {
            std::string file;
            for (int i = 0; i < c.copies; ++i) file += "P" + std::to_string(i) + "," + row + ",,,,,,Yes\r\n";
            WriteBytes(dir.Path("same.txt"), file);
            std::vector<std::string> args = {c.tool[0], "solve"};
            args.insert(args.end(), c.tool.begin() + 1, c.tool.end());
            args.insert(args.end(), {"-i", dir.Path("same.txt")});
            const auto run = testing::RunCli(args);
            EXPECT_EQ(run.status, 0) << c.tool[0];
            EXPECT_NE(run.err.find("参数未重新计算"), std::string::npos) << c.tool[0] << " " << row;
        }
    }
}

// Layouts that leave the normal equations rank-deficient are refused like
// too few points (the message, the fields' parameters, exit 0), for every
// model the layout starves; networks that determine the model are solved.
// The layouts: points on one straight line of the map (for a plane
// similarity that is enough, for the 2D and 3D differential models, the
// polynomials and the height surfaces it is not), the same line with the
// points 1 mm off it alternately (nearly collinear), one plumb line (points
// at one position and four heights: collinear in space, which starves
// Bursa-Wolf and the 3D models, while a flat network, all points in one
// plane of space, does not), points on one circle (a conic: the quadratic
// surfaces' x^2 + y^2 is then a constant), and square grids of 10 km and
// 1 km.
TEST(SolveCommonPoints, RankDeficientLayoutsAreRefused) {
    const ScratchDir dir;
    struct Point {
        long double x, y, h;
    };
    const auto line = [](long double offset) {
        std::vector<Point> points;
        for (int i = 0; i < 12; ++i) {
            const long double t = 2000.0L * i / 11, side = (i % 2 ? 1 : -1) * offset;
            points.push_back({3380000 + 0.6L * t - 0.8L * side, 500000 + 0.8L * t + 0.6L * side, 50});
        }
        return points;
    };
    const auto grid = [](long double size, bool flat) {
        std::vector<Point> points;
        for (int i = 0; i < 16; ++i)
            points.push_back({3380000 + size * (i % 4) / 3 + size * 0.013L * (i % 3),
                              500000 + size * (i / 4) / 3 + size * 0.021L * (i % 2), flat ? 50.0L : 50 + 40.0L * (i % 3)});
        return points;
    };
    std::vector<Point> plumb;
    for (const long double h : {0.0L, 100.0L, 500.0L, 1000.0L}) plumb.push_back({3380000, 500000, h});
    std::vector<Point> circle;
    for (int i = 0; i < 12; ++i)
        circle.push_back({3380000 + 5000 * std::cos(kPi * i / 6), 500000 + 5000 * std::sin(kPi * i / 6), 50});

    const std::vector<std::vector<std::string>> tools = {
        {"bursa-wolf", "--cm", "114"},  {"seven-3d", "--cm", "114"},  {"seven-2d", "--cm", "114"},
        {"four-3d", "--cm", "114"},     {"plane-four"},               {"polynomial", "--order", "1"},
        {"polynomial", "--order", "2"}, {"polynomial", "--order", "3"}, {"height-fit", "--model", "0"},
        {"height-fit", "--model", "1"}, {"height-fit", "--model", "2"}};
    struct Layout {
        std::string name;
        std::vector<Point> points;
        std::string refused_by;  // per tool: R refused, . solved, - too few points, ? either
    };
    const std::vector<Layout> layouts = {{"line", line(0), ".RR..RRRRRR"},
                                         {"nearly collinear", line(0.001L), ".RR..RRRRRR"},
                                         {"plumb line", plumb, "RR-?-------"},
                                         {"circle", circle, "......RR..R"},
                                         {"flat 10 km", grid(10000, true), "..........."},
                                         {"grid 10 km", grid(10000, false), "..........."},
                                         {"grid 1 km", grid(1000, false), "..........."}};
    for (const Layout& layout : layouts) {
        for (std::size_t t = 0; t < tools.size(); ++t) {
            const char expected = t < layout.refused_by.size() ? layout.refused_by[t] : '-';
            const bool height = tools[t][0] == "height-fit";
            std::string file;
            for (std::size_t i = 0; i < layout.points.size(); ++i) {
                const Point& p = layout.points[i];
                file += "P" + std::to_string(i) + "," + FormatFixed(p.x, 4) + "," + FormatFixed(p.y, 4) + "," +
                        FormatFixed(p.h, 4) + ",";
                file += height ? FormatFixed(p.h - 12.5L + 0.001L * (i % 3), 4) + ",,,Yes\r\n"
                               : FormatFixed(p.x + 10 + 0.001L * (i % 3), 4) + "," + FormatFixed(p.y - 20, 4) + "," +
                                     FormatFixed(p.h + 1.5L, 4) + ",,,,,,Yes\r\n";
            }
            WriteBytes(dir.Path("common.txt"), file);
            std::vector<std::string> args = {tools[t][0], "solve"};
            args.insert(args.end(), tools[t].begin() + 1, tools[t].end());
            args.insert(args.end(), {"-i", dir.Path("common.txt"), "-o", dir.Path("p.txt")});
            const auto run = testing::RunCli(args);
            const std::string context = layout.name + ": " + tools[t][0] + (tools[t].size() > 1 ? " " + tools[t][2] : "");
            ASSERT_EQ(run.status, 0) << context << "\n" << run.err;
            const bool refused = run.err.find("法方程秩亏") != std::string::npos;
            const bool too_few = run.err.find("至少需要") != std::string::npos;
            if (expected == '?') continue;
            if (expected == 'R') {
                EXPECT_TRUE(refused) << context << "\n" << run.err;
                EXPECT_NE(run.err.find("参数未重新计算"), std::string::npos) << context;
            } else if (expected == '-') {
                EXPECT_TRUE(too_few || refused) << context << "\n" << run.err;
            } else {
                EXPECT_FALSE(refused || too_few) << context << "\n" << run.err;
            }
        }
    }
}

}  // namespace
}  // namespace coordconv
