#include "tools/datum/bursa_wolf.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "tests/tools/datum/datum_test_support.h"

namespace coordconv {
namespace {

using testing::GridFromConversion;
using testing::Number;
using testing::RecordingDialogs;
using testing::Shift;
using testing::SourcePoint;

// Beijing 1954 (source, default) to Xi'an 1980 (target, default), both as
// Gauss-Krüger planes on the meridian 114 E of the 3-degree zone 38.
DatumFields Beijing54ToXian80() {
    DatumFields fields;
    fields.central_meridian1 = "114";
    fields.central_meridian2 = "114";
    return fields;
}

const SevenParameterFields kKnownSet = {"-12.5", "85.2", "40.7", "0.8", "-1.2", "2.1", "3.5E-6"};

// Ten points of a network of about 1.2 x 1.3 degrees around 30.5 N 114 E,
// plane coordinates of the 1954 ellipsoid with the zone number 38 in y.
std::vector<SourcePoint> PlaneNetwork() {
    std::vector<SourcePoint> points;
    for (int i = 0; i < 10; ++i) {
        const long double B = 30.0L + 0.11L * i;
        const long double L = 113.4L + 0.13L * ((i * 7) % 10);
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, B, L - 114);
        points.push_back({"P" + std::to_string(i), FloatToFixed(p.x, 4), FloatToFixed(p.y + 38500000, 4),
                          FloatToFixed(20 + 30.0L * i, 4)});
    }
    return points;
}

TEST(BursaWolfSolve, RecoversAKnownSetFromAPlaneNetwork) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    PointTable grid = GridFromConversion(BursaWolfLayout(), PlaneNetwork(), BursaWolfConversion(settings, kKnownSet));
    grid.Cell(12, 10) = "No";  // one check point
    SevenParameterFields solved;
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveBursaWolf(settings, solved, grid, dialogs);

    EXPECT_TRUE(report.solved);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(report.adopted_rows, 9);
    // The targets carry 4 decimals; the local network still pins the set.
    EXPECT_NEAR(Number(solved.tx), -12.5, 0.01);
    EXPECT_NEAR(Number(solved.ty), 85.2, 0.01);
    EXPECT_NEAR(Number(solved.tz), 40.7, 0.01);
    EXPECT_NEAR(Number(solved.rx), 0.8, 0.001);   // arc seconds in the edits
    EXPECT_NEAR(Number(solved.ry), -1.2, 0.001);
    EXPECT_NEAR(Number(solved.rz), 2.1, 0.001);
    EXPECT_NEAR(Number(solved.d), 3.5e-6, 1e-9);
    EXPECT_NE(solved.d.find("E-6"), std::string::npos) << solved.d;  // general number format
    EXPECT_EQ(solved.tx.size() <= 17, true) << solved.tx;          // at most 15 digits
    for (int row = 1; row <= 10; ++row) {
        for (int col = 7; col <= 10; ++col) EXPECT_LE(std::fabs(Number(grid.Cell(col, row))), 0.0002) << row << "," << col;
        EXPECT_EQ(grid.Cell(7, row).find('.') + 5, grid.Cell(7, row).size());  // 4 decimals (metres)
    }
    EXPECT_LT(report.internal_accuracy, 0.0002L);
    EXPECT_LT(report.external_accuracy, 0.0002L);
}

TEST(BursaWolfSolve, NoisyPointsShowInTheResidualsAccuracyAndFlags) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    PointTable grid = GridFromConversion(BursaWolfLayout(), PlaneNetwork(), BursaWolfConversion(settings, kKnownSet));
    Shift(grid, 4, 4, 0.050);   // P3: target x 5 cm off
    Shift(grid, 6, 7, -0.040);  // P6: target height 4 cm off
    Shift(grid, 5, 10, 1.0);    // P9, a check point 1 m off in y
    grid.Cell(12, 10) = "No";
    SevenParameterFields solved;
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveBursaWolf(settings, solved, grid, dialogs);

    // The internal accuracy is the point-count mean of the squared components
    // in the grid; the single check point alone makes the external one.
    long double internal_sum = 0;
    for (int row = 1; row <= 9; ++row)
        for (int col = 7; col <= 9; ++col) internal_sum += TextToNumber(grid.Cell(col, row)) * TextToNumber(grid.Cell(col, row));
    EXPECT_NEAR(static_cast<double>(report.internal_accuracy), std::sqrt(static_cast<double>(internal_sum) / 8), 2e-4);
    EXPECT_NEAR(static_cast<double>(report.external_accuracy), Number(grid.Cell(10, 10)), 1e-4);
    EXPECT_NEAR(Number(grid.Cell(8, 10)), -1.0, 0.05);
    EXPECT_EQ(grid.Cell(11, 10), "No");
    EXPECT_GT(std::fabs(Number(grid.Cell(7, 4))), 0.02);
    EXPECT_GT(std::fabs(Number(grid.Cell(9, 7))), 0.02);
    EXPECT_EQ(report.tolerance, 3 * report.internal_accuracy);
    for (int row = 1; row <= 10; ++row)
        EXPECT_EQ(grid.Cell(11, row), TextToNumber(grid.Cell(10, row)) < report.tolerance ? "Yes" : "No") << row;
    EXPECT_EQ(report.accuracy_line, AccuracyLine(report.internal_accuracy, report.tolerance, report.external_accuracy));
    EXPECT_EQ(report.accuracy_line.rfind("内符合精度=", 0), 0u);
}

TEST(BursaWolfSolve, TooFewPointsKeepsTheFieldsAndJudgesThem) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    PointTable grid = GridFromConversion(BursaWolfLayout(), PlaneNetwork(), BursaWolfConversion(settings, kKnownSet));
    for (int row = 3; row <= 10; ++row) grid.Cell(12, row) = "";
    SevenParameterFields fields = kKnownSet;
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveBursaWolf(settings, fields, grid, dialogs);
    EXPECT_FALSE(report.solved);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "布尔沙模型至少需要3个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(dialogs.titles[0], "坐标转换");
    EXPECT_EQ(SevenParameterLines(fields), SevenParameterLines(kKnownSet));
    // The residuals judge the typed set, which made the targets.
    for (int row = 1; row <= 10; ++row) {
        EXPECT_LE(std::fabs(Number(grid.Cell(10, row))), 0.0002);
        EXPECT_FALSE(grid.Cell(11, row).empty());
    }
}

TEST(BursaWolfSolve, ZeroColumnStopsTheSolveBeforeAnythingIsWritten) {
    const FloatingPointScope scope;
    // Three adopted empty rows in the geodetic form are the point B = 0, L = 0
    // on the X axis: the column of Rx (0, Z, -Y) is all zero.
    DatumFields settings;
    settings.form1 = CoordinateForm::Geodetic;
    PointTable grid = NewCommonPointGrid(BursaWolfLayout(), CommonPointTitles(true, false));
    grid.SetRowCount(4);
    for (int row = 1; row <= 3; ++row) grid.Cell(12, row) = "Yes";
    grid.Cell(7, 1) = "old";
    const PointTable before = grid;
    SevenParameterFields fields;
    fields.tx = "typed";
    RecordingDialogs dialogs;
    try {
        SolveBursaWolf(settings, fields, grid, dialogs);
        FAIL() << "the zero pivot must end the solve";
    } catch (const CommandError& error) {
        const std::string text = error.what();
        EXPECT_TRUE(text == kDivisionByZeroText || text == kInvalidOperationText) << text;
    }
    EXPECT_EQ(grid, before);
    EXPECT_EQ(fields.tx, "typed");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(BursaWolfSolve, GeodeticTargetResidualsAreArcSecondsAndThePointResidualMetres) {
    const FloatingPointScope scope;
    DatumFields settings = Beijing54ToXian80();
    settings.form2 = CoordinateForm::Geodetic;
    PointTable grid = GridFromConversion(BursaWolfLayout(), PlaneNetwork(), BursaWolfConversion(settings, kKnownSet));
    EXPECT_EQ(grid.Cell(4, 1).size(), std::string("30.0000000000").size()) << grid.Cell(4, 1);
    // P2 becomes a check point whose given latitude is 0.1" too far north.
    grid.Cell(4, 3) = FloatToFixed(TextToNumber(grid.Cell(4, 3)) + 0.00001L, 10);
    grid.Cell(12, 3) = "No";
    SevenParameterFields solved;
    RecordingDialogs dialogs;
    SolveBursaWolf(settings, solved, grid, dialogs);
    EXPECT_NEAR(Number(grid.Cell(7, 3)), -0.1, 1e-4);
    EXPECT_NEAR(Number(grid.Cell(8, 3)), 0.0, 1e-4);
    EXPECT_EQ(grid.Cell(7, 3).size() - grid.Cell(7, 3).find('.'), 7u);  // 6 decimals
    EXPECT_NEAR(Number(grid.Cell(10, 3)), 3.08, 0.01);  // 0.1" of latitude in metres
    EXPECT_EQ(grid.Cell(11, 3), "No");
}

TEST(BursaWolfConvert, IdenticalEllipsoidsAndZeroParametersGiveTheInputBack) {
    const FloatingPointScope scope;
    DatumFields settings = Beijing54ToXian80();
    settings.a2 = settings.a1;
    settings.inverse_flattening2 = settings.inverse_flattening1;
    const RowConversion plane = BursaWolfConversion(settings, SevenParameterFields{});
    const std::string source[4] = {"P", "3320323.9745", "38442106.7255", "20.5"};
    std::string result[4];
    plane(source, result);
    EXPECT_EQ(result[0], "P");
    EXPECT_NEAR(Number(result[1]), 3320323.9745, 2e-4);
    EXPECT_NEAR(Number(result[2]), 442106.7255, 2e-4);  // zone number dropped
    EXPECT_NEAR(Number(result[3]), 20.5, 2e-4);

    settings.form1 = settings.form2 = CoordinateForm::Geodetic;
    settings.central_meridian1 = settings.central_meridian2 = "0";
    const RowConversion geodetic = BursaWolfConversion(settings, SevenParameterFields{});
    const std::string east[4] = {"Q", "30.3015", "114.0000", "100"};
    geodetic(east, result);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[1])), static_cast<double>(DmsToDegrees(30.3015L)), 5e-10);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[2])), 114.0, 5e-10);
    EXPECT_EQ(result[2].size(), std::string("114.0000000000").size()) << result[2];
    EXPECT_EQ(result[3], "100.0000");
}

TEST(BursaWolfConvert, RotationAboutZTurnsLongitudesWestAndScaleLiftsHeights) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.a2 = settings.a1;
    settings.inverse_flattening2 = settings.inverse_flattening1;
    settings.form1 = settings.form2 = CoordinateForm::Geodetic;
    SevenParameterFields rotation;
    rotation.rz = "1";
    const std::string source[4] = {"R", "30.3000", "114.0000", "0"};
    std::string result[4];
    BursaWolfConversion(settings, rotation)(source, result);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[2])), 114.0 - 1.0 / 3600, 1e-9);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[1])), 30.5, 1e-9);

    SevenParameterFields scale;
    scale.d = "1E-6";  // one part per million of the geocentric radius, about 6.4 m
    BursaWolfConversion(settings, scale)(source, result);
    EXPECT_NEAR(Number(result[3]), 6.37, 0.02);
}

TEST(BursaWolfConvert, SettingsFailBeforeAnyRowIsConverted) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.inverse_flattening2 = "0";
    EXPECT_THROW(
        {
            try {
                BursaWolfConversion(settings, SevenParameterFields{});
            } catch (const CommandError& error) {
                EXPECT_STREQ(error.what(), kDivisionByZeroText);
                throw;
            }
        },
        CommandError);
    SevenParameterFields bad;
    bad.ry = "1,5";
    EXPECT_THROW(BursaWolfConversion(DatumFields{}, bad), CommandError);
}

TEST(BursaWolfFields, ParameterLinesRoundTripAndShortFilesLeaveEmptyEdits) {
    EXPECT_EQ(SevenParameterLines(SevenParameterFieldsFromLines(SevenParameterLines(kKnownSet))),
              SevenParameterLines(kKnownSet));
    const SevenParameterFields short_file = SevenParameterFieldsFromLines({"1", "2"});
    EXPECT_EQ(short_file.ty, "2");
    EXPECT_EQ(short_file.tz, "");
    EXPECT_EQ(short_file.d, "");
    EXPECT_EQ(ReduceEasting(38512345.678L, 500000), 38512345.678L - 38000000 - 500000);
    EXPECT_NEAR(static_cast<double>(ReduceEasting(38512345.678L, 500000)), 12345.678, 1e-9);
    DatumFields fields;
    fields.central_meridian1 = "117";
    SourceCentralMeridianChanged(fields);
    EXPECT_EQ(fields.central_meridian2, "117");
    EXPECT_STREQ(kSevenParameterSpecs[3].label, "Rx(\")=");
    EXPECT_EQ(DatumPointGridTitles(CoordinateForm::Geodetic)[1], "纬度B(dms)");
    EXPECT_EQ(DatumPointGridTitles(CoordinateForm::Plane)[2], "横坐标y(m)");
}

}  // namespace
}  // namespace coordconv
