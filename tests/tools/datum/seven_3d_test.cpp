#include "tools/datum/seven_3d.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "tests/tools/datum/datum_test_support.h"

namespace coordconv {
namespace {

using testing::GridFromConversion;
using testing::Number;
using testing::RecordingDialogs;
using testing::SourcePoint;

const SevenParameterFields kKnownSet = {"-12.5", "85.2", "40.7", "0.8", "-1.2", "2.1", "3.5E-6"};

std::vector<SourcePoint> PlaneNetwork() {
    std::vector<SourcePoint> points;
    for (int i = 0; i < 8; ++i) {
        const long double B = 36.0L + 0.09L * i;
        const long double L = 116.6L + 0.17L * ((i * 3) % 8);
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, B, L - 117);
        points.push_back({"G" + std::to_string(i), FloatToFixed(p.x, 4), FloatToFixed(p.y + 500000, 4),
                          FloatToFixed(50 + 45.0L * i, 4)});
    }
    return points;
}

DatumFields GeodeticBothSides() {
    DatumFields fields;
    fields.form1 = fields.form2 = CoordinateForm::Geodetic;
    return fields;
}

double Seconds(const std::string& packed_text) { return static_cast<double>(DmsTextToDegrees(packed_text)) * 3600; }

// The differential formulas are the first-order form of the geocentric
// similarity and of the change of ellipsoid: both must agree with the
// Bursa-Wolf window's exact route through Cartesian coordinates.
TEST(Seven3dConvert, AgreesWithTheGeocentricRouteToAFewMillimetres) {
    const FloatingPointScope scope;
    DatumFields ellipsoid_change = GeodeticBothSides();  // 1954 -> 1980, no parameters
    DatumFields same_ellipsoid = GeodeticBothSides();
    same_ellipsoid.a2 = same_ellipsoid.a1;
    same_ellipsoid.inverse_flattening2 = same_ellipsoid.inverse_flattening1;
    const std::array<std::array<std::string, 4>, 3> points = {{{"A", "30.3015", "114.2030", "150"},
                                                               {"B", "45.1000", "87.3000", "1200"},
                                                               {"C", "20.0000", "120.0000", "0"}}};
    for (const auto& [settings, parameters] :
         {std::pair{ellipsoid_change, SevenParameterFields{}}, std::pair{same_ellipsoid, kKnownSet}}) {
        const RowConversion differential = Seven3dConversion(settings, parameters);
        const RowConversion geocentric = BursaWolfConversion(settings, parameters);
        for (const auto& source : points) {
            std::string d[4], g[4];
            differential(source.data(), d);
            geocentric(source.data(), g);
            EXPECT_NEAR(Seconds(d[1]), Seconds(g[1]), 1e-4) << source[0];
            EXPECT_NEAR(Seconds(d[2]), Seconds(g[2]), 1e-4) << source[0];
            EXPECT_NEAR(Number(d[3]), Number(g[3]), 0.003) << source[0];
        }
    }
}

TEST(Seven3dConvert, EllipsoidChangeAloneKeepsLongitudesAndRotationsAreUsedAsTyped) {
    const FloatingPointScope scope;
    const std::string source[4] = {"A", "30.3015", "114.2030", "150"};
    std::string result[4];
    Seven3dConversion(GeodeticBothSides(), SevenParameterFields{})(source, result);
    EXPECT_EQ(result[2], "114.2030000000");
    EXPECT_GT(std::fabs(Seconds(result[1]) - Seconds("30.3015")), 0.01);  // E_B
    EXPECT_GT(std::fabs(Number(result[3]) - 150), 50.0);                 // E_H, mostly the 105 m of da

    DatumFields same = GeodeticBothSides();
    same.a2 = same.a1;
    same.inverse_flattening2 = same.inverse_flattening1;
    SevenParameterFields rotation;
    rotation.rz = "1";  // arc seconds, no conversion
    Seven3dConversion(same, rotation)(source, result);
    EXPECT_NEAR(Seconds(result[2]), Seconds("114.2030") - 1, 2e-6);
    EXPECT_EQ(result[1], "30.3015000000");
    EXPECT_EQ(result[3], "150.0000");

    // Plane on both sides, nothing to change: the input comes back.
    DatumFields plane;
    plane.a2 = plane.a1;
    plane.inverse_flattening2 = plane.inverse_flattening1;
    plane.central_meridian1 = plane.central_meridian2 = "117";
    const std::string xy[4] = {"P", "3985521.1234", "39512345.6780", "12.3"};
    Seven3dConversion(plane, SevenParameterFields{})(xy, result);
    EXPECT_NEAR(Number(result[1]), 3985521.1234, 2e-4);
    EXPECT_NEAR(Number(result[2]), 512345.6780, 2e-4);
    EXPECT_EQ(result[3], "12.3000");
}

TEST(Seven3dSolve, RecoversAKnownSetFromAPlaneNetwork) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.central_meridian1 = settings.central_meridian2 = "117";
    PointTable grid = GridFromConversion(Seven3dLayout(), PlaneNetwork(), Seven3dConversion(settings, kKnownSet));
    SevenParameterFields solved;
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveSeven3d(settings, solved, grid, dialogs);
    EXPECT_TRUE(report.solved);
    EXPECT_NEAR(Number(solved.tx), -12.5, 0.01);
    EXPECT_NEAR(Number(solved.ty), 85.2, 0.01);
    EXPECT_NEAR(Number(solved.tz), 40.7, 0.01);
    EXPECT_NEAR(Number(solved.rx), 0.8, 0.001);
    EXPECT_NEAR(Number(solved.ry), -1.2, 0.001);
    EXPECT_NEAR(Number(solved.rz), 2.1, 0.001);
    EXPECT_NEAR(Number(solved.d), 3.5e-6, 1e-9);
    EXPECT_LT(report.internal_accuracy, 0.0002L);
    EXPECT_EQ(report.external_accuracy, 0.0L);  // no check point
    for (int row = 1; row <= 8; ++row) EXPECT_EQ(grid.Cell(11, row).empty(), false);
}

TEST(Seven3dSolve, TwoAdoptedPointsShowTheModelsMessage) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.central_meridian1 = settings.central_meridian2 = "117";
    PointTable grid = GridFromConversion(Seven3dLayout(), PlaneNetwork(), Seven3dConversion(settings, kKnownSet));
    for (int row = 3; row <= 8; ++row) grid.Cell(12, row) = "No";
    SevenParameterFields fields;  // all "0"
    RecordingDialogs dialogs;
    const AccuracyReport report = SolveSeven3d(settings, fields, grid, dialogs);
    EXPECT_FALSE(report.solved);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "三维七参数模型至少需要3个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(fields.tx, "0");
    // The zero set leaves the datum shift itself in the residuals.
    EXPECT_GT(Number(grid.Cell(10, 1)), 10.0);
    EXPECT_GT(report.internal_accuracy, 1.0L);
    EXPECT_GT(report.external_accuracy, 10.0L);
}

TEST(Seven3dRows, LongitudeRowHasNoHeightOrScaleTerm) {
    const FloatingPointScope scope;
    DatumSettings settings{};
    settings.source = {6378245.0L, 1 / 298.3L, 0, 500000, CoordinateForm::Geodetic};
    settings.target = settings.source;
    const DifferentialRows3d rows = Seven3dRows(settings, 30, 1.5, 100);
    EXPECT_EQ(rows.longitude[2], 0.0L);
    EXPECT_EQ(rows.longitude[5], -1.0L);
    EXPECT_EQ(rows.longitude[6], 0.0L);
    EXPECT_EQ(rows.latitude[5], 0.0L);
    EXPECT_EQ(rows.height[5], 0.0L);
    EXPECT_EQ(rows.latitude_change, 0.0L);
    EXPECT_EQ(rows.height_change, 0.0L);
    // A shift along Z moves a point at 30 N up by sin B and north by
    // rho cos B / (M + H) arc seconds per metre.
    EXPECT_NEAR(static_cast<double>(rows.height[2]), 0.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(rows.latitude[2]), 206264.806 * std::cos(M_PI / 6) / 6.351588e6, 1e-6);
}

}  // namespace
}  // namespace coordconv
