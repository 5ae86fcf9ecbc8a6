// The national systems' EPSG codes against PROJ's own database (read through
// GDAL, not against the converter's table), the WKT written for other systems
// read back by GDAL, and the check of a layer's declared system.
#include "convert/gis_systems.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <ogr_spatialref.h>

namespace coordconv {
namespace {

OGRSpatialReference Read(const std::string& definition) {
    OGRSpatialReference srs;
    EXPECT_EQ(srs.SetFromUserInput(definition.c_str()), OGRERR_NONE) << definition;
    return srs;
}

// The system GDAL describes, in the converter's terms: the zone number taken
// from the millions of the false easting.
CoordinateSystem SystemOf(const OGRSpatialReference& srs) {
    CoordinateSystem system;
    system.a = srs.GetSemiMajor();
    system.inverse_flattening = srs.GetInvFlattening();
    if (!srs.IsProjected()) {
        system.kind = CoordinateKind::Geodetic;
        return system;
    }
    system.central_meridian = srs.GetNormProjParm(SRS_PP_CENTRAL_MERIDIAN);
    system.scale_factor = srs.GetNormProjParm(SRS_PP_SCALE_FACTOR);
    const double easting = srs.GetNormProjParm(SRS_PP_FALSE_EASTING);
    system.zone_number = static_cast<int>(easting / 1000000);
    system.false_easting = easting - 1000000.0 * system.zone_number;
    system.false_northing = srs.GetNormProjParm(SRS_PP_FALSE_NORTHING);
    return system;
}

CoordinateSystem Gauss(long double a, long double inverse_flattening, long double cm, int zone = 0) {
    CoordinateSystem system;
    system.a = a;
    system.inverse_flattening = inverse_flattening;
    system.central_meridian = cm;
    system.zone_number = zone;
    return system;
}
const CoordinateSystem kCgcs2000 = {CoordinateKind::Geodetic, 6378137, 298.257222101L};
const CoordinateSystem kXian80 = {CoordinateKind::Geodetic, 6378140, 298.257L};
const CoordinateSystem kBeijing54 = {CoordinateKind::Geodetic, 6378245, 298.3L};

// Every code of the national Gauss-Krüger series and a sample of the WGS 84
// UTM codes: the system GDAL defines for the code gets the code back. The
// 6° series without zone numbers shares its definitions with the 3° series,
// whose code comes back; that it is the same system is checked by GDAL.
TEST(GisSystems, NationalCodesOfPROJsDefinitions) {
    std::vector<int> codes = {4490, 4610, 4214, 4326};
    for (int first : {2327, 4491, 21413}) for (int i = 0; i < 11; ++i) codes.push_back(first + i);
    for (int first : {2338, 4502, 21453}) for (int i = 0; i < 11; ++i) codes.push_back(first + i);
    for (int first : {2349, 2370, 4513, 4534, 2401, 2422}) for (int i = 0; i < 21; ++i) codes.push_back(first + i);
    for (int code : {32601, 32617, 32650, 32660, 32701, 32733, 32760}) codes.push_back(code);
    for (int code : codes) {
        const OGRSpatialReference srs = Read("EPSG:" + std::to_string(code));
        const int found = StandardEpsgCode(SystemOf(srs));
        ASSERT_NE(found, 0) << code;
        if (found != code) {
            const OGRSpatialReference other = Read("EPSG:" + std::to_string(found));
            const char* criteria[] = {"CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", "IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};
            EXPECT_TRUE(srs.IsSame(&other, criteria)) << code << " -> " << found;
        }
        EXPECT_EQ(SystemDefinition(SystemOf(srs)), "EPSG:" + std::to_string(found));
    }
}

// Typical national systems and systems that are none.
TEST(GisSystems, CodesOfTypicalAndOtherSystems) {
    EXPECT_EQ(StandardEpsgCode(Gauss(6378137, 298.257222101L, 117, 39)), 4527);
    EXPECT_EQ(StandardEpsgCode(Gauss(6378137, 298.257222101L, 117)), 4548);
    EXPECT_EQ(StandardEpsgCode(Gauss(6378140, 298.257L, 117, 20)), 2334);
    EXPECT_EQ(StandardEpsgCode(Gauss(6378245, 298.3L, 120, 40)), 2416);
    const struct {
        CoordinateSystem system;
        const char* why;
    } others[] = {
        {Gauss(6378137, 298.257223563L, 117), "WGS 84 has no Gauss-Krüger code"},
        {Gauss(6378000, 298.3L, 117), "custom ellipsoid"},
        {Gauss(6378137, 298.257222101L, 117.5L), "meridian not whole"},
        {Gauss(6378137, 298.257222101L, 118), "meridian not of a zone"},
        {Gauss(6378137, 298.257222101L, 117, 38), "zone number not the meridian's"},
        {Gauss(6378137, 298.257222101L, 72), "meridian outside China"},
        {[] { auto s = Gauss(6378137, 298.257222101L, 117); s.false_easting = 400000; return s; }(), "false easting"},
        {[] { auto s = Gauss(6378137, 298.257222101L, 117); s.scale_factor = 0.9996L; return s; }(), "scale"},
        {[] { auto s = Gauss(6378137, 298.257222101L, 117); s.central_meridian_known = false; return s; }(), "meridian unknown"},
        {[] { auto s = Gauss(6378137, 298.257223563L, 117); s.scale_factor = 0.9996L; s.false_northing = 5; return s; }(), "UTM false northing"},
    };
    for (const auto& other : others) EXPECT_EQ(StandardEpsgCode(other.system), 0) << other.why;
}

// Systems without a code are written as WKT that GDAL reads back with the
// tool's ellipsoid, meridian, scale, false easting (zone number included)
// and false northing.
TEST(GisSystems, WktOfOtherSystemsReadBackByGdal) {
    std::vector<CoordinateSystem> systems = {
        Gauss(6378140, 298.257L, 117.5L), Gauss(6378245, 298.3L, 117, 38), Gauss(6378000.5L, 297.5L, 105.25L, 35),
        [] { auto s = Gauss(6378137, 298.257222101L, 111); s.scale_factor = 0.9996L; s.false_northing = 10000000; return s; }(),
        {CoordinateKind::Geodetic, 6378500, 299},
    };
    for (const CoordinateSystem& system : systems) {
        const std::string wkt = SystemDefinition(system);
        ASSERT_EQ(wkt.rfind("EPSG:", 0), std::string::npos) << wkt;
        const CoordinateSystem read = SystemOf(Read(wkt));
        EXPECT_EQ(read.kind, system.kind) << wkt;
        EXPECT_NEAR(read.a, system.a, 1e-6) << wkt;
        EXPECT_NEAR(read.inverse_flattening, system.inverse_flattening, 1e-9) << wkt;
        if (system.kind == CoordinateKind::Geodetic) continue;
        EXPECT_NEAR(read.central_meridian, system.central_meridian, 1e-12) << wkt;
        EXPECT_NEAR(read.scale_factor, system.scale_factor, 1e-15) << wkt;
        EXPECT_EQ(read.zone_number, system.zone_number) << wkt;
        EXPECT_NEAR(read.false_easting, system.false_easting, 1e-6) << wkt;
        EXPECT_NEAR(read.false_northing, system.false_northing, 1e-6) << wkt;
        EXPECT_EQ(CheckDeclaredSystem(wkt, system), "") << wkt;
    }
    // A compensation side without a meridian: nothing to write until the
    // layer's declared meridian is put in.
    CoordinateSystem compensated = Gauss(6378567.25L, 298.257L, 0);
    compensated.central_meridian_known = false;
    EXPECT_EQ(SystemDefinition(compensated), "");
    const ConversionSystems filled = WithDeclaredMeridian({compensated, compensated}, "EPSG:2384");
    ASSERT_TRUE(filled.target);
    EXPECT_EQ(SystemOf(Read(SystemDefinition(*filled.target))).central_meridian, 117);
}

// A declared system passes when it is the expected one, in any of the texts
// GDAL reads, and is refused with a message naming what differs.
TEST(GisSystems, DeclaredSystemChecked) {
    const CoordinateSystem cgcs_117 = Gauss(6378137, 298.257222101L, 117);
    const CoordinateSystem xian_117_zone = Gauss(6378140, 298.257L, 117, 39);
    const struct {
        std::string declared;
        CoordinateSystem expected;
        std::vector<std::string> message_parts;  // empty: accepted
    } cases[] = {
        {"EPSG:4548", cgcs_117, {}},
        {"EPSG:4527", cgcs_117, {}},  // zone 39 is that of 117°
        {"+proj=tmerc +lon_0=117 +k=1 +x_0=500000 +ellps=GRS80 +units=m", cgcs_117, {}},
        {"PROJCS[\"CGCS2000_3_Degree_GK_Zone_39\",GEOGCS[\"GCS_China_Geodetic_Coordinate_System_2000\","
         "DATUM[\"D_China_2000\",SPHEROID[\"CGCS2000\",6378137.0,298.257222101]],PRIMEM[\"Greenwich\",0.0],"
         "UNIT[\"Degree\",0.0174532925199433]],PROJECTION[\"Gauss_Kruger\"],PARAMETER[\"False_Easting\",39500000.0],"
         "PARAMETER[\"False_Northing\",0.0],PARAMETER[\"Central_Meridian\",117.0],PARAMETER[\"Scale_Factor\",1.0],"
         "PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]",
         cgcs_117, {}},
        {"EPSG:2363", xian_117_zone, {}},
        {"EPSG:4490", kCgcs2000, {}},
        {"EPSG:4527", xian_117_zone, {"已是2000国家大地坐标系", "1980西安坐标系"}},
        {"EPSG:4490", kXian80, {"已是2000国家大地坐标系"}},
        {"EPSG:4326", kCgcs2000, {"已是WGS84大地坐标系"}},
        {"EPSG:4549", cgcs_117, {"另一中央子午线", "120°", "117°"}},
        {"EPSG:2364", xian_117_zone, {"120°", "带号是40, 而不是39"}},
        {"+proj=tmerc +lon_0=117 +k=1 +x_0=38500000 +ellps=GRS80 +units=m", cgcs_117, {"带号38"}},
        {"+proj=tmerc +lon_0=117 +k=0.9996 +x_0=500000 +ellps=GRS80 +units=m", cgcs_117, {"比例因子是0.9996"}},
        {"+proj=tmerc +lon_0=117 +k=1 +x_0=400000 +ellps=GRS80 +units=m", cgcs_117, {"Y常数)是400000米"}},
        {"+proj=tmerc +lon_0=117 +k=1 +x_0=500000 +y_0=100 +ellps=GRS80 +units=m", cgcs_117, {"X常数)是100米"}},
        {"+proj=tmerc +lon_0=117 +k=1 +x_0=500000 +ellps=GRS80 +units=ft", cgcs_117, {"长度单位"}},
        {"+proj=merc +lon_0=117 +ellps=GRS80 +units=m", cgcs_117, {"Mercator_1SP", "不是高斯-克吕格"}},
        {"+proj=tmerc +lon_0=117 +k=1 +x_0=500000 +a=6378000 +rf=298.3 +units=m", cgcs_117, {"椭球a=6378000, 1/f=298.3"}},
        {"EPSG:4548", kCgcs2000, {"平面(投影)坐标系", "大地坐标"}},
        {"EPSG:4214", kBeijing54, {}},
        {"EPSG:4214", Gauss(6378245, 298.3L, 117), {"大地坐标(经纬度), 而转换的源坐标应为平面坐标"}},
        {"not a system", cgcs_117, {"无法识别"}},
    };
    for (const auto& c : cases) {
        const std::string message = CheckDeclaredSystem(c.declared, c.expected);
        if (c.message_parts.empty()) {
            EXPECT_EQ(message, "") << c.declared;
            continue;
        }
        EXPECT_EQ(message.substr(message.size() - 3), "。") << message;
        for (const std::string& part : c.message_parts) EXPECT_NE(message.find(part), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace coordconv
