#include "tools/datum/seven_2d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "tests/reference_vectors.h"
#include "tests/tools/datum/datum_test_support.h"

namespace coordconv {
namespace {

using testing::GridFromConversion;
using testing::Number;
using testing::SourcePoint;

const char* const kTooFew = "二维七参数模型至少需要4个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";

DatumFields Plane117() {
    DatumFields fields;
    fields.central_meridian1 = fields.central_meridian2 = "117";
    return fields;
}

// Six points around 36.3 N 117 E of the 1954 plane; targets made with the
// known set and heights 2.5 m higher.
PointTable KnownGrid() {
    std::vector<SourcePoint> points;
    for (int i = 0; i < 6; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 36.0L + 0.1L * i, -0.5L + 0.2L * ((i * 5) % 6));
        points.push_back({"S" + std::to_string(i), FormatFixed(p.x, 4), FormatFixed(p.y + 500000, 4), FormatFixed(100 + 10.0L * i, 4)});
    }
    return GridFromConversion(Seven2dLayout(), points, Seven2dConversion(Plane117(), {kKnownSet, "2.5"}));
}

TEST(Seven2dSolve, FitsALocalNetworkAndKeepsHeightsOutOfTheAccuracy) {
    const FloatingPointScope scope;
    PointTable grid = KnownGrid();
    grid.Cell(12, 6) = "No";
    grid.Cell(6, 2) = FormatFixed(TextToNumber(grid.Cell(6, 2)) + 5, 4);  // an adopted height 5 m off
    const FitResult<Seven2dFields> fit = SolveSeven2d(Plane117(), Seven2dFields{}, grid);
    const AccuracyReport& report = fit.outcome.report;
    EXPECT_TRUE(report.solved);
    EXPECT_EQ(fit.fields.height_change, "3.5000");
    EXPECT_EQ(fit.outcome.height_shift, "3.5000");  // (5 * 2.5 + 7.5) / 5
    EXPECT_EQ(grid.Cell(9, 2), "-4.0000");
    EXPECT_EQ(grid.Cell(9, 1), "1.0000");
    // Horizontal data of a small area cannot separate the seven parameters,
    // but the fitted set reproduces every point, the check point included.
    for (int row = 1; row <= 6; ++row) EXPECT_LE(Number(grid.Cell(10, row)), 0.0003) << row;
    EXPECT_LT(report.internal_accuracy, 0.0002L);
    EXPECT_LT(report.external_accuracy, 0.0003L);
}

// Over a whole country the latitude and longitude shifts pin all seven.
TEST(Seven2dSolve, RecoversTheSetFromAWideGeodeticNetwork) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.form1 = settings.form2 = CoordinateForm::Geodetic;
    std::vector<SourcePoint> points;
    for (int i = 0; i < 12; ++i)
        points.push_back({"W", FormatFixed(DegreesToDms(20 + 2.5L * i), 10), FormatFixed(DegreesToDms(80 + 4.5L * ((i * 5) % 12)), 10), "0"});
    PointTable grid = GridFromConversion(Seven2dLayout(), points, Seven2dConversion(settings, {kKnownSet, "0"}));
    const FitResult<Seven2dFields> fit = SolveSeven2d(settings, {SevenParameterFields{}, "7"}, grid);
    const SevenParameterFields& solved = fit.fields.seven;
    EXPECT_TRUE(fit.outcome.report.solved);
    EXPECT_EQ(fit.fields.height_change, "0.0000");
    const double truth[7] = {-12.5, 85.2, 40.7, 0.8, -1.2, 2.1, 3.5e-6};
    const double tolerance[7] = {0.01, 0.01, 0.01, 0.001, 0.001, 0.001, 1e-9};
    const std::vector<std::string> lines = SevenParameterLines(solved);
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(Number(lines[static_cast<std::size_t>(i)]), truth[i], tolerance[i]) << i;
    EXPECT_EQ(grid.Cell(7, 1).size() - grid.Cell(7, 1).find('.'), 7u) << grid.Cell(7, 1);  // arc seconds, 6 decimals
}

TEST(Seven2dSolve, ThreeAdoptedPointsStillWriteTheMeanHeightChange) {
    const FloatingPointScope scope;
    PointTable grid = NewCommonPointGrid(Seven2dLayout(), CommonPointTitles(false, false));
    EXPECT_EQ(grid.RowCount(), 5);
    // Height differences 1, 2, 3.00012 (mean 2.00004) adopted; a check row with 1.99998.
    const char* rows[4][7] = {{"A", "3985000", "500000", "10", "3985000", "500000", "11"},
                              {"B", "3986000", "501000", "10", "3986000", "501000", "12"},
                              {"C", "3987000", "502000", "10", "3987000", "502000", "13.00012"},
                              {"D", "3988000", "503000", "10", "3988000", "503000", "11.99998"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 7; ++c) grid.Cell(c, r + 1) = rows[r][c];
    for (int r = 1; r <= 3; ++r) grid.Cell(12, r) = "Yes";
    const FitResult<Seven2dFields> fit = SolveSeven2d(Plane117(), {kKnownSet, "9"}, grid);
    EXPECT_FALSE(fit.outcome.report.solved);
    EXPECT_EQ(fit.outcome.messages, std::vector<std::string>{kTooFew});
    EXPECT_EQ(fit.fields.height_change, "2.0000");
    EXPECT_EQ(SevenParameterLines(fit.fields.seven), SevenParameterLines(kKnownSet));
    EXPECT_EQ(grid.Cell(9, 4), "0.0001");  // 2.00004 - 1.99998: the mean, not its text
    EXPECT_GT(Number(grid.Cell(10, 1)), 1.0);  // the typed set moves every point
}

TEST(Seven2dSolve, NoAdoptedPointKeepsEveryField) {
    const FloatingPointScope scope;
    PointTable grid = KnownGrid();
    for (int row = 1; row <= 6; ++row) grid.Cell(12, row) = "";
    const FitResult<Seven2dFields> fit = SolveSeven2d(Plane117(), {kKnownSet, "1.5"}, grid);
    const AccuracyReport& report = fit.outcome.report;
    EXPECT_EQ(fit.outcome.messages.size(), 1u);
    EXPECT_EQ(fit.fields.height_change, "1.5");
    EXPECT_FALSE(fit.outcome.height_shift);  // no adopted row: EditDH keeps its text
    EXPECT_EQ(SevenParameterLines(fit.fields.seven), SevenParameterLines(kKnownSet));
    EXPECT_EQ(grid.Cell(9, 1), "-1.0000");  // (H + 1.5) - (H + 2.5)
    EXPECT_EQ(report.internal_accuracy, 0.0L);
    EXPECT_LT(report.external_accuracy, 0.0002L);
    for (int row = 1; row <= 6; ++row) EXPECT_EQ(grid.Cell(11, row), "No");
}

TEST(Seven2dConvert, IdenticalEllipsoidsMoveOnlyTheHeightByDh) {
    const FloatingPointScope scope;
    DatumFields settings = Plane117();
    settings.a2 = settings.a1;
    settings.inverse_flattening2 = settings.inverse_flattening1;
    const std::string source[4] = {"P", "3985521.1234", "39512345.6780", "12.3"};
    std::string result[4];
    Seven2dConversion(settings, {SevenParameterFields{}, "-1.25"})(source, result);
    EXPECT_NEAR(Number(result[1]), 3985521.1234, 2e-4);
    EXPECT_NEAR(Number(result[2]), 512345.6780, 2e-4);
    EXPECT_EQ(result[3], "11.0500");

    EXPECT_EQ(Seven2dParameterLines(Seven2dFieldsFromLines({"1", "2", "3", "4", "5", "6", "7", "8", "9"})),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
}

// Latitude and longitude against a derivation of the model's differential
// formulas of its own (tests/data/generate_references.py): three frames,
// three parameter sets with rotations of up to 5 arc seconds of both signs.
TEST(Seven2dReference, AgreesWithAnIndependentDerivationOfTheModel) {
    const FloatingPointScope scope;
    const auto rows = testing::ReadReferenceVectors("seven_2d_references.txt");
    ASSERT_EQ(rows.size(), 81u);
    for (const auto& r : rows) {  // B L L0 a1 1/f1 a2 1/f2 Tx Ty Tz Rx Ry Rz D -> B' L' tol_mm
        DatumFields fields;
        fields.a1 = FormatGeneral(r[3]);
        fields.inverse_flattening1 = FormatGeneral(r[4]);
        fields.a2 = FormatGeneral(r[5]);
        fields.inverse_flattening2 = FormatGeneral(r[6]);
        fields.central_meridian1 = fields.central_meridian2 = FormatGeneral(r[2]);
        fields.form1 = fields.form2 = CoordinateForm::Geodetic;
        std::vector<std::string> parameter_file;  // Tx Ty Tz Rx Ry Rz D dH
        for (int i = 7; i <= 13; ++i) parameter_file.push_back(FormatGeneral(r[static_cast<std::size_t>(i)]));
        parameter_file.push_back("0");
        const std::string source[4] = {"P", testing::PackedWholeMinutes(r[0]), testing::PackedWholeMinutes(r[1]), "0"};
        std::string result[4];
        Seven2dConversion(fields, Seven2dFieldsFromLines(parameter_file))(source, result);
        const long double north = (DmsTextToDegrees(result[1]) - r[14]) * kDegreesToRadians * r[5];
        const long double east = (DmsTextToDegrees(result[2]) - r[15]) * kDegreesToRadians * r[5] * std::cos(r[14] * kDegreesToRadians);
        EXPECT_LE(static_cast<double>(std::hypot(north, east)) * 1000, static_cast<double>(r[16]))
            << "B=" << source[1] << " L=" << source[2] << " L0=" << static_cast<double>(r[2]) << " Rx=" << static_cast<double>(r[10]);
    }
}

}  // namespace
}  // namespace coordconv
