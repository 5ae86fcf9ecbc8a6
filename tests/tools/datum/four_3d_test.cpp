#include "tools/datum/four_3d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/geocentric.h"
#include "core/number_text.h"
#include "tests/reference_vectors.h"
#include "tests/tools/datum/datum_test_support.h"

namespace coordconv {
namespace {

using testing::GridFromConversion;
using testing::Number;
using testing::SourcePoint;

DatumFields Plane114() {
    DatumFields fields;
    fields.central_meridian1 = fields.central_meridian2 = "114";
    return fields;
}

std::vector<SourcePoint> Network(int count) {
    std::vector<SourcePoint> points;
    for (int i = 0; i < count; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 30.2L + 0.07L * i, -0.3L + 0.11L * ((i * 3) % 7));
        points.push_back({"F" + std::to_string(i), FormatFixed(p.x, 4), FormatFixed(p.y + 500000, 4), FormatFixed(30 + 12.5L * i, 4)});
    }
    return points;
}

FourParameterFields KnownSet() { return {"-35.2", "118.6", "52.9", "2.5", "30.2500", "114.0000"}; }

TEST(Four3dSolve, RecoversTranslationsAndTheRotationAboutTheRegionNormal) {
    const FloatingPointScope scope;
    const DatumFields settings = Plane114();
    PointTable grid = GridFromConversion(Four3dLayout(), Network(7), Four3dConversion(settings, KnownSet()));
    grid.Cell(12, 7) = "No";
    FourParameterFields typed;
    typed.b0 = KnownSet().b0;
    typed.l0 = KnownSet().l0;
    const FitResult<FourParameterFields> fit = SolveFour3d(settings, typed, grid);
    const FourParameterFields& solved = fit.fields;
    const AccuracyReport& report = fit.outcome.report;
    EXPECT_TRUE(report.solved);
    EXPECT_NEAR(Number(solved.tx), -35.2, 0.001);
    EXPECT_NEAR(Number(solved.ty), 118.6, 0.001);
    EXPECT_NEAR(Number(solved.tz), 52.9, 0.001);
    EXPECT_NEAR(Number(solved.r), 2.5, 0.002);  // arc seconds
    EXPECT_EQ(solved.b0, "30.2500");
    EXPECT_EQ(solved.l0, "114.0000");
    EXPECT_LT(report.internal_accuracy, 0.0002L);
    EXPECT_LT(report.external_accuracy, 0.0002L);
}

TEST(Four3dSolve, TwoPointsSolveAndOnePointShowsTheMessage) {
    const FloatingPointScope scope;
    const DatumFields settings = Plane114();
    PointTable grid = GridFromConversion(Four3dLayout(), Network(3), Four3dConversion(settings, KnownSet()));
    grid.Cell(12, 3) = "No";
    FourParameterFields fields = KnownSet();
    fields.tx = fields.ty = fields.tz = fields.r = "0";
    const FitResult<FourParameterFields> two = SolveFour3d(settings, fields, grid);
    EXPECT_TRUE(two.outcome.report.solved);
    EXPECT_NEAR(Number(two.fields.tx), -35.2, 0.05);
    EXPECT_NEAR(Number(two.fields.r), 2.5, 0.01);

    grid.Cell(12, 2) = "No";
    const FitResult<FourParameterFields> one = SolveFour3d(settings, KnownSet(), grid);
    const AccuracyReport& report = one.outcome.report;
    EXPECT_FALSE(report.solved);
    EXPECT_EQ(one.outcome.messages, (std::vector<std::string>{"三维四参数模型至少需要2个公共点。参数未重新计算。\n"
                                                              "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(FourParameterLines(one.fields), FourParameterLines(KnownSet()));
    EXPECT_EQ(report.internal_accuracy, 0.0L);
    for (int row = 1; row <= 3; ++row) {
        EXPECT_LE(Number(grid.Cell(10, row)), 0.0002);  // the typed set made the targets
        EXPECT_EQ(grid.Cell(11, row), "No");
    }
}

TEST(Four3dConvert, TheRegionCentreStandingInTheFieldsIsUsed) {
    const FloatingPointScope scope;
    DatumFields settings = Plane114();
    settings.a2 = settings.a1;
    settings.inverse_flattening2 = settings.inverse_flattening1;
    const std::string source[4] = {"P", "3385521.1234", "38512345.6780", "12.3"};
    std::string identity[4];
    Four3dConversion(settings, FourParameterFields{})(source, identity);
    EXPECT_NEAR(Number(identity[1]), 3385521.1234, 2e-4);
    EXPECT_NEAR(Number(identity[2]), 512345.6780, 2e-4);
    EXPECT_EQ(identity[3], "12.3000");

    // With R = 0 the centre does not matter: a pure translation.
    FourParameterFields shift;
    shift.tz = "10";
    std::string a[4], b[4];
    Four3dConversion(settings, shift)(source, a);
    shift.b0 = "45";
    shift.l0 = "100";
    Four3dConversion(settings, shift)(source, b);
    for (int col = 0; col < 4; ++col) EXPECT_EQ(a[col], b[col]);
    EXPECT_NEAR(Number(a[3]) - 12.3, 10 * std::sin(30.6 * M_PI / 180), 0.01);  // Z shift seen as height

    // With R set, moving the centre moves the converted point.
    FourParameterFields turned = KnownSet();
    Four3dConversion(settings, turned)(source, a);
    turned.b0 = "31.0000";
    Four3dConversion(settings, turned)(source, b);
    EXPECT_GT(std::fabs(Number(a[2]) - Number(b[2])) + std::fabs(Number(a[1]) - Number(b[1])), 0.01);
}

TEST(Four3dRegionCentre, MeanOfEveryRowEmptyRowsIncluded) {
    const FloatingPointScope scope;
    DatumFields settings;
    settings.form1 = CoordinateForm::Geodetic;
    settings.central_meridian1 = "114";  // not used for geodetic sources
    PointTable grid = NewCommonPointGrid(Four3dLayout(), CommonPointTitles(true, false));
    grid.SetRowCount(4);
    grid.Cell(1, 1) = "30.3000";
    grid.Cell(2, 1) = "114.3000";
    grid.Cell(12, 1) = "Yes";
    grid.Cell(1, 2) = "31";
    grid.Cell(2, 2) = "115";
    RegionCentreTexts centre = ComputeRegionCentre(settings, grid);
    EXPECT_EQ(centre.b0, "20.3000");  // (30.5 + 31 + 0) / 3 = 20.5 degrees
    EXPECT_EQ(centre.l0, "76.3000");  // (114.5 + 115 + 0) / 3 = 76.5 degrees

    // Plane sources go through the inverse projection; whole seconds are kept.
    const DatumFields plane = Plane114();
    const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 30.5L, 0.25L);
    const PlanePoint q = GaussForward(6378245.0L, 1 / 298.3L, 31.005L, -0.2L);
    grid = NewCommonPointGrid(Four3dLayout(), CommonPointTitles(false, false));
    grid.Cell(1, 1) = FormatFixed(p.x, 4);
    grid.Cell(2, 1) = FormatFixed(p.y + 38500000, 4);
    grid.Cell(1, 2) = FormatFixed(q.x, 4);
    grid.Cell(2, 2) = FormatFixed(q.y + 500000, 4);
    centre = ComputeRegionCentre(plane, grid);
    EXPECT_EQ(centre.b0, "30.4509");  // 30.7525 degrees
    EXPECT_EQ(centre.l0, "114.0130");  // 114.025 degrees

    DatumFields broken = plane;
    broken.inverse_flattening1 = "0";
    broken.inverse_flattening2 = "x";  // the target side is not read
    EXPECT_THROW(ComputeRegionCentre(broken, grid), CommandError);
    broken.inverse_flattening1 = "298.3";
    EXPECT_NO_THROW(ComputeRegionCentre(broken, grid));
    EXPECT_EQ(FourParameterLines(FourParameterFieldsFromLines({"1", "2", "3", "4", "5"})),
              (std::vector<std::string>{"1", "2", "3", "4", "5", ""}));
}

// The model against PROJ's helmert (tests/data/four_3d_references.txt, made
// by generate_references.py): the rotation R about the region centre's normal
// n is the rotation vector -R n of the coordinate-frame convention, without
// scale. The region centre goes in as the typed ddd.mmss texts.
TEST(Four3dReference, AgreesWithProjHelmertAboutTheRegionNormal) {
    const auto rows = testing::ReadReferenceVectors("four_3d_references.txt");
    ASSERT_GE(rows.size(), 40u);
    const auto packed = testing::PackedWholeMinutes;
    for (const auto& r : rows) {  // B L H L0 a1 1/f1 a2 1/f2 Tx Ty Tz R B0 L0c -> B' L' H' tol_mm
        FourParameterFields fields;
        fields.tx = FormatGeneral(r[8]);
        fields.ty = FormatGeneral(r[9]);
        fields.tz = FormatGeneral(r[10]);
        fields.r = FormatGeneral(r[11]);
        fields.b0 = packed(r[12]);
        fields.l0 = packed(r[13]);
        DatumSide source{};
        source.central_meridian = r[3];
        const Cartesian moved = FourParameterTransform(ReadFourParameters(fields), ReadRegionCentre(fields, source),
                                                       GeodeticToCartesian(r[4], 1 / r[5], r[0], r[1] - r[3], r[2]));
        const Geodetic g = CartesianToGeodetic(r[6], 1 / r[7], moved.X, moved.Y, moved.Z);
        const long double north = (g.B - r[14]) * 111320;
        const long double east = (g.L + r[3] - r[15]) * 111320 * std::cos(r[14] * kDegreesToRadians);
        const long double tolerance = r[17] / 1000;
        EXPECT_LE(static_cast<double>(std::hypot(north, east)), static_cast<double>(tolerance))
            << "B=" << static_cast<double>(r[0]) << " L=" << static_cast<double>(r[1]) << " R=" << fields.r;
        EXPECT_NEAR(static_cast<double>(g.H), static_cast<double>(r[16]), static_cast<double>(tolerance));
    }
}

}  // namespace
}  // namespace coordconv
