#include "tools/datum/seven_3d.h"

#include <gtest/gtest.h>

#include <array>
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


double Seconds(const std::string& packed_text) { return static_cast<double>(DmsTextToDegrees(packed_text)) * 3600; }

DatumFields GeodeticBothSides(bool same_ellipsoid) {
    DatumFields fields;
    fields.form1 = fields.form2 = CoordinateForm::Geodetic;
    if (same_ellipsoid) {
        fields.a2 = fields.a1;
        fields.inverse_flattening2 = fields.inverse_flattening1;
    }
    return fields;
}

// The differential formulas are the first-order form of the geocentric
// similarity and of the change of ellipsoid: they must agree with the
// Bursa-Wolf window's route through Cartesian coordinates.
TEST(Seven3dConvert, AgreesWithTheGeocentricRouteToAFewMillimetres) {
    const FloatingPointScope scope;
    const std::array<std::array<std::string, 4>, 3> points = {
        {{"A", "30.3015", "114.2030", "150"}, {"B", "45.1000", "87.3000", "1200"}, {"C", "20.0000", "120.0000", "0"}}};
    for (const bool same : {false, true}) {
        const DatumFields settings = GeodeticBothSides(same);
        const SevenParameterFields parameters = same ? kKnownSet : SevenParameterFields{};
        for (const auto& source : points) {
            std::string d[4], g[4];
            Seven3dConversion(settings, parameters)(source.data(), d);
            BursaWolfConversion(settings, parameters)(source.data(), g);
            EXPECT_NEAR(Seconds(d[1]), Seconds(g[1]), 1e-4) << source[0];
            EXPECT_NEAR(Seconds(d[2]), Seconds(g[2]), 1e-4) << source[0];
            EXPECT_NEAR(Number(d[3]), Number(g[3]), 0.003) << source[0];
        }
    }
}

TEST(Seven3dConvert, EllipsoidChangeKeepsLongitudesAndRotationsAreArcSecondsAsTyped) {
    const FloatingPointScope scope;
    const std::string source[4] = {"A", "30.3015", "114.2030", "150"};
    std::string result[4];
    Seven3dConversion(GeodeticBothSides(false), SevenParameterFields{})(source, result);
    EXPECT_EQ(result[2], "114.2030000000");
    EXPECT_GT(std::fabs(Seconds(result[1]) - Seconds("30.3015")), 0.01);  // E_B
    EXPECT_GT(std::fabs(Number(result[3]) - 150), 50.0);                 // E_H, mostly da

    SevenParameterFields rotation;
    rotation.rz = "1";
    Seven3dConversion(GeodeticBothSides(true), rotation)(source, result);
    EXPECT_NEAR(Seconds(result[2]), Seconds("114.2030") - 1, 2e-6);
    EXPECT_EQ(result[1], "30.3015000000");
    EXPECT_EQ(result[3], "150.0000");
}

TEST(Seven3dSolve, RecoversAKnownSetAndFallsBackToTheFieldsWithTwoPoints) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.central_meridian1 = settings.central_meridian2 = "117";
    std::vector<SourcePoint> points;
    for (int i = 0; i < 8; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 36.0L + 0.09L * i, -0.4L + 0.17L * ((i * 3) % 8));
        points.push_back({"G" + std::to_string(i), FormatFixed(p.x, 4), FormatFixed(p.y + 500000, 4), FormatFixed(50 + 45.0L * i, 4)});
    }
    PointTable grid = GridFromConversion(Seven3dLayout(), points, Seven3dConversion(settings, kKnownSet));
    const FitResult<SevenParameterFields> fit = SolveSeven3d(settings, SevenParameterFields{}, grid);
    const SevenParameterFields& solved = fit.fields;
    AccuracyReport report = fit.outcome.report;
    EXPECT_TRUE(report.solved);
    const double truth[7] = {-12.5, 85.2, 40.7, 0.8, -1.2, 2.1, 3.5e-6};
    const double tolerance[7] = {0.01, 0.01, 0.01, 0.001, 0.001, 0.001, 1e-9};
    const std::vector<std::string> lines = SevenParameterLines(solved);
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(Number(lines[static_cast<std::size_t>(i)]), truth[i], tolerance[i]) << i;
    EXPECT_LT(report.internal_accuracy, 0.0002L);
    EXPECT_EQ(report.external_accuracy, 0.0L);  // no check point

    for (int row = 3; row <= 8; ++row) grid.Cell(12, row) = "No";
    const FitResult<SevenParameterFields> few = SolveSeven3d(settings, SevenParameterFields{}, grid);
    report = few.outcome.report;
    EXPECT_FALSE(report.solved);
    EXPECT_EQ(few.outcome.messages, (std::vector<std::string>{"三维七参数模型至少需要3个公共点。参数未重新计算。\n"
                                                              "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(few.fields.tx, "0");
    EXPECT_GT(report.external_accuracy, 10.0L);  // the zero set leaves the datum shift
}

// The differential formulas are the first-order terms of the exact
// Bursa-Wolf transformation with a change of ellipsoid, so they meet PROJ's
// helmert between the two ellipsoids (tests/data/bursa_wolf_references.txt)
// up to second-order terms: at most s^2 / a, where s adds up the largest
// shift each parameter and the change of a can cause (|T|, |R| a, |D| a,
// |da|). A wrong sign or coefficient of any parameter moves a point by tens
// of metres. The sources lie on whole minutes, so their texts are exact.
TEST(Seven3dReference, AgreesWithTheExactBursaWolfTransformationToSecondOrder) {
    const auto rows = testing::ReadReferenceVectors("bursa_wolf_references.txt");
    ASSERT_GE(rows.size(), 100u);
    const auto packed = testing::PackedWholeMinutes;
    for (const auto& r : rows) {  // B L H L0 a1 1/f1 a2 1/f2 Tx Ty Tz Rx Ry Rz D -> B' L' H' tol_mm
        DatumFields fields;
        fields.a1 = FormatGeneral(r[4]);
        fields.inverse_flattening1 = FormatGeneral(r[5]);
        fields.a2 = FormatGeneral(r[6]);
        fields.inverse_flattening2 = FormatGeneral(r[7]);
        fields.central_meridian1 = fields.central_meridian2 = FormatGeneral(r[3]);
        fields.form1 = fields.form2 = CoordinateForm::Geodetic;
        const SevenParameterFields set = {FormatGeneral(r[8]),  FormatGeneral(r[9]),  FormatGeneral(r[10]), FormatGeneral(r[11]),
                                          FormatGeneral(r[12]), FormatGeneral(r[13]), FormatGeneral(r[14])};
        const std::string source[4] = {"P", packed(r[0]), packed(r[1]), FormatGeneral(r[2])};
        std::string result[4];
        Seven3dConversion(fields, set)(source, result);
        const long double B = DmsTextToDegrees(result[1]);
        const long double L = DmsTextToDegrees(result[2]);
        const long double north = (B - r[15]) * 111320;
        const long double east = (L - r[16]) * 111320 * std::cos(r[15] * kDegreesToRadians);
        const long double a = r[4];
        const long double shift = std::hypot(r[8], std::hypot(r[9], r[10])) +
                                  std::hypot(r[11], std::hypot(r[12], r[13])) / kArcSecondsPerRadian * a +
                                  std::fabs(r[14]) * a + std::fabs(r[6] - r[4]);
        const long double tolerance = shift * shift / a;
        EXPECT_LE(static_cast<double>(std::hypot(north, east)), static_cast<double>(tolerance))
            << "B=" << source[1] << " L=" << source[2] << " L0=" << static_cast<double>(r[3]);
        EXPECT_NEAR(static_cast<double>(TextToNumber(result[3])), static_cast<double>(r[17]), static_cast<double>(tolerance));
    }
}

}  // namespace
}  // namespace coordconv
