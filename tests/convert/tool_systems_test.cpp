// The systems every tool's conversion carries, for one typical setting each,
// named by the EPSG codes PROJ gives those systems (4527: CGCS2000 3° zone 39,
// 117°E with the zone number; 2383: Xi'an 80 3° 114°E; 32650: WGS 84 UTM
// zone 50N; ...), and the height fit's conversion by hand.
#include <optional>
#include <string>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include "convert/gis_layers.h"
#include "convert/gis_systems.h"
#include "core/errors.h"
#include "tests/test_support.h"
#include "tools/datum/bursa_wolf.h"
#include "tools/datum/four_3d.h"
#include "tools/datum/seven_2d.h"
#include "tools/datum/seven_3d.h"
#include "tools/height/height_fit.h"
#include "tools/plane/plane_four.h"
#include "tools/plane/polynomial.h"
#include "tools/projection/compensation_tools.h"
#include "tools/projection/projection_point_conversions.h"
#include "tools/projection/zone_change_tools.h"

namespace coordconv {
namespace {

struct Ellipsoid {
    const char* a;
    const char* inverse_flattening;
};
constexpr Ellipsoid kXian80 = {"6378140.0000000000", "298.257"};
constexpr Ellipsoid kCgcs2000 = {"6378137.0000000000", "298.257222101"};
constexpr Ellipsoid kBeijing54 = {"6378245.0000000000", "298.3"};
constexpr Ellipsoid kWgs84 = {"6378137.0000000000", "298.257223563"};

// One datum window's settings groups: source and target ellipsoid, form,
// central meridian (ddd.mmss) and Y constant.
DatumFields Datum(Ellipsoid source, CoordinateForm source_form, const char* cm1, const char* y1, Ellipsoid target,
                  CoordinateForm target_form, const char* cm2, const char* y2) {
    DatumFields fields;
    fields.a1 = source.a;
    fields.inverse_flattening1 = source.inverse_flattening;
    fields.form1 = source_form;
    fields.central_meridian1 = cm1;
    fields.y_constant1 = y1;
    fields.a2 = target.a;
    fields.inverse_flattening2 = target.inverse_flattening;
    fields.form2 = target_form;
    fields.central_meridian2 = cm2;
    fields.y_constant2 = y2;
    return fields;
}

// The EPSG code of a side, -1 where the tool does not know the system.
int CodeOf(const std::optional<CoordinateSystem>& system) { return system ? StandardEpsgCode(*system) : -1; }

TEST(ToolSystems, EveryToolCarriesItsSystems) {
    const auto gauss = [](Ellipsoid e, const char* cm, const char* y) {
        GaussFields f;
        f.a = e.a;
        f.inverse_flattening = e.inverse_flattening;
        f.central_meridian = cm;
        f.y_constant = y;
        return f;
    };
    const auto utm = [](const char* cm, const char* x) {
        UtmFields f;
        f.central_meridian = cm;
        f.x_constant = x;
        return f;
    };
    ZoneChangeFields zone;
    zone.a = kBeijing54.a;
    zone.inverse_flattening = kBeijing54.inverse_flattening;
    zone.central_meridian = "114";
    zone.y_constant = "500000";  // the eastings may carry zone 38: it is dropped
    zone.new_central_meridian = "117";
    zone.new_y_constant = "39500000";
    using F = CoordinateForm;
    const struct {
        const char* tool;
        PointConversion conversion;
        int source;  // EPSG code, 0 for a system without one, -1 unknown
        int target;
    } cases[] = {
        {"gauss-forward", GaussForwardPointConversion(gauss(kCgcs2000, "117", "39500000")), 4490, 4527},
        {"gauss-inverse", GaussInversePointConversion(gauss(kXian80, "114", "500000")), 2383, 4610},
        {"utm-forward", UtmForwardPointConversion(utm("117", "0")), 4326, 32650},
        {"utm-inverse", UtmInversePointConversion(utm("147", "10000000")), 32755, 4326},
        {"zone-change", ZoneChangePointConversion(zone), 2435, 2415},
        {"bursa-wolf",
         BursaWolfPointConversion(Datum(kBeijing54, F::Plane, "117", "500000", kCgcs2000, F::Geodetic, "117", "500000"), {}),
         2436, 4490},
        {"seven-3d",
         Seven3dPointConversion(Datum(kXian80, F::Geodetic, "120", "500000", kCgcs2000, F::Plane, "120", "40500000"), {}),
         4610, 4528},
        {"seven-2d",
         Seven2dPointConversion(Datum(kBeijing54, F::Geodetic, "111", "500000", kXian80, F::Plane, "111", "500000"), {}),
         4214, 2382},
        {"four-3d",
         Four3dPointConversion(Datum(kWgs84, F::Geodetic, "117", "500000", kCgcs2000, F::Plane, "117", "20500000"), {}),
         4326, 4498},
        {"plane-four", PlaneFourPointConversion({}), -1, -1},
        {"polynomial", PolynomialPointConversion({}, NewPolynomialCoefficientTable(0)), -1, -1},
        {"height-fit", HeightFitPointConversion(0, NewHeightFitCoefficientTable(0)), -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodeOf(c.conversion.Systems().source), c.source) << c.tool;
        EXPECT_EQ(CodeOf(c.conversion.Systems().target), c.target) << c.tool;
    }
}

// Compensation: Gauss-Krüger on a1 and on the enlarged a2 about a meridian no
// box names; the layer's meridian completes both sides.
TEST(ToolSystems, CompensationTakesTheLayersMeridian) {
    CompensationFields fields;  // Xi'an 80
    fields.y_constant = "39500000";
    fields.a2 = "6378500.25";
    const ConversionSystems systems = CompensationPointConversion(fields).Systems();
    ASSERT_TRUE(systems.source && systems.target);
    EXPECT_FALSE(systems.target->central_meridian_known);
    EXPECT_EQ(static_cast<double>(systems.target->a), 6378500.25);
    EXPECT_EQ(systems.target->zone_number, 39);
    EXPECT_EQ(CheckDeclaredSystem("EPSG:2363", *systems.source), "");  // Xi'an 80 3° zone 39
    const ConversionSystems filled = WithDeclaredMeridian(systems, "EPSG:2363");
    EXPECT_EQ(StandardEpsgCode(*filled.source), 2363);
    EXPECT_EQ(static_cast<double>(filled.target->central_meridian), 117);
}

// A compensation layer's output: Gauss-Krüger on a2 about the meridian the
// input layer declares (Xi'an 80 3° 117°E, EPSG:2384), as GDAL reads it.
TEST(ToolSystems, CompensationLayerWrittenOnTheLayersMeridian) {
    GDALAllRegister();
    testing::ScratchDir dir;
    {
        OGRSpatialReference xian_117;
        xian_117.importFromEPSG(2384);
        GDALDataset* dataset = GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
            dir.Path("in.gpkg").c_str(), 0, 0, 0, GDT_Unknown, nullptr);
        ASSERT_NE(dataset, nullptr);
        OGRLayer* layer = dataset->CreateLayer("points", &xian_117, wkbPoint);
        OGRFeature feature(layer->GetLayerDefn());
        OGRPoint point(510000, 3400000);
        feature.SetGeometry(&point);
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
        GDALClose(dataset);
    }
    CompensationFields fields;  // Xi'an 80, Y constant 500000
    fields.a2 = "6378500";
    const FloatingPointScope command;  // as a command starts: GDAL's own flags cleared
    ConvertGisDataset(dir.Path("in.gpkg"), dir.Path("out.gpkg"), CompensationPointConversion(fields));
    GDALDataset* out = static_cast<GDALDataset*>(GDALOpenEx(dir.Path("out.gpkg").c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
    ASSERT_NE(out, nullptr);
    const OGRSpatialReference* written = out->GetLayer(0)->GetSpatialRef();
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->GetSemiMajor(), 6378500);
    EXPECT_EQ(written->GetNormProjParm(SRS_PP_CENTRAL_MERIDIAN), 117);
    EXPECT_EQ(written->GetNormProjParm(SRS_PP_FALSE_EASTING), 500000);
    GDALClose(out);
}

// The height fit keeps x and y and adds the surface a0 + a1 x + a2 y + a3 xy
// to H: at (1000, 2000) with 0.5, 1e-4, -2e-4, 1e-8, 10 + 0.5 + 0.1 - 0.4 + 0.02.
TEST(ToolSystems, HeightFitConversionAddsTheSurface) {
    CoefficientTable coefficients = NewHeightFitCoefficientTable(1);
    const char* values[] = {"0.5", "1e-4", "-2e-4", "1e-8"};
    for (int i = 0; i < 4; ++i) coefficients.Value(i) = values[i];
    const PointXYH p = HeightFitPointConversion(1, coefficients).Convert(1000, 2000, 10);
    EXPECT_EQ(static_cast<double>(p.x), 1000);
    EXPECT_EQ(static_cast<double>(p.y), 2000);
    EXPECT_NEAR(static_cast<double>(p.H), 10.22, 1e-12);
}

// A Y constant copied from a forward window (zone number 39) is dropped like
// the eastings' zone number, as the window's rows do.
TEST(ToolSystems, GaussInverseDropsTheZoneOfTheYConstant) {
    GaussFields with_zone;
    with_zone.central_meridian = "117";
    with_zone.y_constant = "39500000";
    GaussFields without = with_zone;
    without.y_constant = "500000";
    const PointXYH a = GaussInversePointConversion(with_zone).Convert(3400000, 39612345.678, 0);
    const PointXYH b = GaussInversePointConversion(without).Convert(3400000, 39612345.678, 0);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(GaussInversePointConversion(with_zone).CheckSource(3400000, 39612345.678), "");
}

}  // namespace
}  // namespace coordconv
