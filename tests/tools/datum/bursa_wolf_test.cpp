#include "tools/datum/bursa_wolf.h"

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
using testing::Shift;
using testing::SourcePoint;

using testing::Beijing54ToXian80;

// Ten points of about 1.2 x 1.3 degrees around 30.5 N 114 E, 1954 plane
// coordinates with the zone number 38 in y; targets by the known set.
PointTable KnownGrid(const DatumFields& settings) {
    std::vector<SourcePoint> points;
    for (int i = 0; i < 10; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 30.0L + 0.11L * i, -0.6L + 0.13L * ((i * 7) % 10));
        points.push_back({"P" + std::to_string(i), FormatFixed(p.x, 4), FormatFixed(p.y + 38500000, 4), FormatFixed(20 + 30.0L * i, 4)});
    }
    PointTable grid = GridFromConversion(BursaWolfLayout(), points, BursaWolfConversion(settings, kKnownSet));
    grid.Cell(12, 10) = "No";  // one check point
    return grid;
}

TEST(BursaWolfSolve, RecoversAKnownSetFromAPlaneNetwork) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    PointTable grid = KnownGrid(settings);
    const FitResult<SevenParameterFields> fit = SolveBursaWolf(settings, SevenParameterFields{}, grid);
    const SevenParameterFields& solved = fit.fields;
    const AccuracyReport& report = fit.outcome.report;
    EXPECT_TRUE(report.solved);
    EXPECT_TRUE(fit.outcome.messages.empty());
    // The targets carry 4 decimals; the local network still pins the set.
    const double truth[7] = {-12.5, 85.2, 40.7, 0.8, -1.2, 2.1, 3.5e-6};
    const double tolerance[7] = {0.01, 0.01, 0.01, 0.001, 0.001, 0.001, 1e-9};  // m, arc seconds, 1
    const std::vector<std::string> lines = SevenParameterLines(solved);
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(Number(lines[static_cast<std::size_t>(i)]), truth[i], tolerance[i]) << i;
    EXPECT_NE(solved.d.find("E-6"), std::string::npos) << solved.d;  // general number format
    for (int row = 1; row <= 10; ++row)
        for (int col = 7; col <= 10; ++col) EXPECT_LE(std::fabs(Number(grid.Cell(col, row))), 0.0002) << row << "," << col;
    EXPECT_LT(report.internal_accuracy, 0.0002L);
    EXPECT_LT(report.external_accuracy, 0.0002L);
}

TEST(BursaWolfSolve, NoisyPointsShowInTheResidualsAccuracyAndFlags) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    PointTable grid = KnownGrid(settings);
    Shift(grid, 4, 4, 0.050);   // P3: target x 5 cm off
    Shift(grid, 6, 7, -0.040);  // P6: target height 4 cm off
    Shift(grid, 5, 10, 1.0);    // P9, the check point, 1 m off in y
    const AccuracyReport report = SolveBursaWolf(settings, SevenParameterFields{}, grid).outcome.report;
    long double internal_sum = 0;  // the squares of the written components
    for (int row = 1; row <= 9; ++row)
        for (int col = 7; col <= 9; ++col) internal_sum += TextToNumber(grid.Cell(col, row)) * TextToNumber(grid.Cell(col, row));
    EXPECT_NEAR(static_cast<double>(report.internal_accuracy), std::sqrt(static_cast<double>(internal_sum) / 8), 2e-4);
    EXPECT_NEAR(static_cast<double>(report.external_accuracy), Number(grid.Cell(10, 10)), 1e-4);
    EXPECT_NEAR(Number(grid.Cell(8, 10)), -1.0, 0.05);
    EXPECT_GT(std::fabs(Number(grid.Cell(7, 4))), 0.02);
    EXPECT_GT(std::fabs(Number(grid.Cell(9, 7))), 0.02);
    for (int row = 1; row <= 10; ++row)
        EXPECT_EQ(grid.Cell(11, row), TextToNumber(grid.Cell(10, row)) < 3 * report.internal_accuracy ? "Yes" : "No") << row;
    EXPECT_EQ(grid.Cell(11, 10), "No");
}

TEST(BursaWolfSolve, TooFewPointsKeepTheFieldsAndZeroColumnsWriteNothing) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    PointTable grid = KnownGrid(settings);
    for (int row = 3; row <= 10; ++row) grid.Cell(12, row) = "";
    SevenParameterFields fields = kKnownSet;
    const FitResult<SevenParameterFields> few = SolveBursaWolf(settings, fields, grid);
    EXPECT_FALSE(few.outcome.report.solved);
    EXPECT_EQ(few.outcome.messages, (std::vector<std::string>{"布尔沙模型至少需要3个公共点。参数未重新计算。\n"
                                                              "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(SevenParameterLines(few.fields), SevenParameterLines(kKnownSet));
    for (int row = 1; row <= 10; ++row) EXPECT_LE(Number(grid.Cell(10, row)), 0.0002);  // the typed set judged

    // Adopted empty rows in the geodetic form are B = 0, L = 0 on the X axis:
    // the column of Rx (0, Z, -Y) is all zero.
    DatumFields geodetic;
    geodetic.form1 = CoordinateForm::Geodetic;
    grid = NewCommonPointGrid(BursaWolfLayout(), CommonPointTitles(true, false));
    for (int row = 1; row <= 3; ++row) grid.Cell(12, row) = "Yes";
    const PointTable before = grid;
    fields.tx = "typed";
    const FitResult<SevenParameterFields> singular = SolveBursaWolf(geodetic, fields, grid);
    EXPECT_TRUE(singular.outcome.failure);
    EXPECT_EQ(grid, before);
    EXPECT_EQ(singular.fields.tx, "typed");
}

TEST(BursaWolfSolve, GeodeticTargetResidualsAreArcSecondsAndThePointResidualMetres) {
    const FloatingPointScope scope;
    DatumFields settings = Beijing54ToXian80();
    settings.form2 = CoordinateForm::Geodetic;
    PointTable grid = KnownGrid(settings);
    grid.Cell(4, 3) = FormatFixed(TextToNumber(grid.Cell(4, 3)) + 0.00001L, 10);  // 0.1" north
    grid.Cell(12, 3) = "No";
    SolveBursaWolf(settings, SevenParameterFields{}, grid);
    EXPECT_NEAR(Number(grid.Cell(7, 3)), -0.1, 1e-4);
    EXPECT_NEAR(Number(grid.Cell(8, 3)), 0.0, 1e-4);
    EXPECT_EQ(grid.Cell(7, 3).size() - grid.Cell(7, 3).find('.'), 7u);  // 6 decimals
    EXPECT_NEAR(Number(grid.Cell(10, 3)), 3.08, 0.01);  // 0.1" of latitude in metres
}

TEST(BursaWolfConvert, IdentityRotationAndScale) {
    const FloatingPointScope scope;
    DatumFields same = Beijing54ToXian80();
    same.a2 = same.a1;
    same.inverse_flattening2 = same.inverse_flattening1;
    const std::string plane[4] = {"P", "3320323.9745", "38442106.7255", "20.5"};
    std::string result[4];
    BursaWolfConversion(same, SevenParameterFields{})(plane, result);
    EXPECT_EQ(result[0], "P");
    EXPECT_NEAR(Number(result[1]), 3320323.9745, 2e-4);
    EXPECT_NEAR(Number(result[2]), 442106.7255, 2e-4);  // zone number dropped
    EXPECT_NEAR(Number(result[3]), 20.5, 2e-4);

    same.form1 = same.form2 = CoordinateForm::Geodetic;
    same.central_meridian1 = same.central_meridian2 = "0";
    const std::string east[4] = {"Q", "30.3000", "114.0000", "0"};
    BursaWolfConversion(same, SevenParameterFields{})(east, result);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[2])), 114.0, 5e-10);  // quadrant of X, Y
    SevenParameterFields turn;
    turn.rz = "1";
    BursaWolfConversion(same, turn)(east, result);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[2])), 114.0 - 1.0 / 3600, 1e-9);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(result[1])), 30.5, 1e-9);
    SevenParameterFields scale;
    scale.d = "1E-6";  // a millionth of the geocentric radius
    BursaWolfConversion(same, scale)(east, result);
    EXPECT_NEAR(Number(result[3]), 6.37, 0.02);

    same.inverse_flattening2 = "0";
    try {
        BursaWolfConversion(same, SevenParameterFields{});
        FAIL();
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), kDivisionByZeroText);
    }
}

}  // namespace
}  // namespace coordconv

namespace coordconv {
namespace {

// The model against PROJ's helmert (coordinate-frame convention) on three
// ellipsoid pairs and frames, three realistic sets (tests/data, generated by
// generate_references.py; the file's header says how the PROJ side is made
// to count longitudes from L0 and to leave out the scale-rotation term).
TEST(BursaWolfReference, AgreesWithProjHelmertInTheFrameTurnedByTheCentralMeridian) {
    const auto rows = testing::ReadReferenceVectors("bursa_wolf_references.txt");
    ASSERT_GE(rows.size(), 100u);
    for (const auto& r : rows) {  // B L H L0 a1 1/f1 a2 1/f2 Tx Ty Tz Rx Ry Rz D -> B' L' H' tol_mm
        const BursaWolfParameters p{r[8], r[9], r[10], r[11] / kArcSecondsPerRadian, r[12] / kArcSecondsPerRadian,
                                    r[13] / kArcSecondsPerRadian, r[14]};
        const Cartesian moved = BursaWolfTransform(p, GeodeticToCartesian(r[4], 1 / r[5], r[0], r[1] - r[3], r[2]));
        const Geodetic g = CartesianToGeodetic(r[6], 1 / r[7], moved.X, moved.Y, moved.Z);
        const long double north = (g.B - r[15]) * 111320;
        const long double east = (g.L + r[3] - r[16]) * 111320 * std::cos(r[15] * kDegreesToRadians);
        const long double tolerance = r[18] / 1000;
        EXPECT_LE(static_cast<double>(std::hypot(north, east)), static_cast<double>(tolerance))
            << "B=" << static_cast<double>(r[0]) << " L0=" << static_cast<double>(r[3]);
        EXPECT_NEAR(static_cast<double>(g.H), static_cast<double>(r[17]), static_cast<double>(tolerance));
    }
}

}  // namespace
}  // namespace coordconv
