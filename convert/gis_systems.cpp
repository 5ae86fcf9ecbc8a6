#include "convert/gis_systems.h"

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include <cpl_conv.h>
#include <ogr_spatialref.h>

#include "core/ellipsoid.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

// Tolerances of "the same" parameter. The national ellipsoids differ far
// more than these (CGCS2000 and WGS 84 by 1.5e-6 in 1/f); text and WKT
// round trips of a double stay far below them.
constexpr long double kAxisTolerance = 1e-3;               // metres
constexpr long double kInverseFlatteningTolerance = 1e-7;  // in 1/f
constexpr long double kAngleTolerance = 1e-9;              // degrees
constexpr long double kScaleTolerance = 1e-12;
constexpr long double kOffsetTolerance = 1e-4;             // metres

bool Near(long double a, long double b, long double tolerance) { return std::fabs(a - b) <= tolerance; }

// The EPSG codes of a national datum: its geographic system and the four
// series of Gauss-Krüger systems, each numbered consecutively by zone (6°
// zones 13-23 with central meridians 75°-135°, 3° zones 25-45 with 75°-135°),
// as PROJ's database numbers them.
struct NationalCodes {
    int preset;                 // index in kCoordinateSystemPresets
    const char* datum_label;    // the datum as projected system names begin
    int geographic;
    int six_degree_zone;        // zone 13 with the zone number in the easting
    int six_degree_meridian;    // central meridian 75°E, easting without zone number
    int three_degree_zone;      // zone 25
    int three_degree_meridian;  // central meridian 75°E
};

constexpr NationalCodes kNationalCodes[] = {
    {0, "Xian 1980", 4610, 2327, 2338, 2349, 2370},
    {1, "CGCS2000", 4490, 4491, 4502, 4513, 4534},
    {2, "Beijing 1954", 4214, 21413, 21453, 2401, 2422},
    {3, "WGS 84", 4326, 0, 0, 0, 0},
};
constexpr int kWgs84Preset = 3;

constexpr int kFirstSixDegreeZone = 13, kLastSixDegreeZone = 23;
constexpr int kFirstThreeDegreeZone = 25, kLastThreeDegreeZone = 45;
// WGS 84 / UTM zone n: EPSG 32600 + n north, 32700 + n south, n = 1..60.
constexpr int kUtmNorthBase = 32600, kUtmSouthBase = 32700;
constexpr long double kUtmScale = 0.9996L;
constexpr long double kUtmSouthFalseNorthing = 10000000;
constexpr long double kStandardFalseEasting = 500000;

// The preset whose ellipsoid is (a, 1/f), or -1 for another ellipsoid. The
// preset texts are read as the boxes are (locale-free, whatever LC_NUMERIC
// the desktop runs with).
int PresetOfEllipsoid(long double a, long double inverse_flattening) {
    for (int i = 0; i < kCustomSystemIndex; ++i) {
        const CoordinateSystemPreset& preset = kCoordinateSystemPresets[i];
        const EllipsoidNumbers numbers = ReadEllipsoidNumbers(preset.semi_major_axis_text, preset.inverse_flattening_text);
        if (Near(a, numbers.a, kAxisTolerance) && Near(inverse_flattening, numbers.inverse_flattening, kInverseFlatteningTolerance))
            return i;
    }
    return -1;
}

const NationalCodes* CodesOfEllipsoid(long double a, long double inverse_flattening) {
    const int preset = PresetOfEllipsoid(a, inverse_flattening);
    for (const NationalCodes& codes : kNationalCodes)
        if (codes.preset == preset) return &codes;
    return nullptr;
}

// The whole degree `degrees` is, if it is one.
std::optional<int> WholeDegrees(long double degrees) {
    const long double whole = std::round(degrees);
    if (!Near(degrees, whole, kAngleTolerance) || std::fabs(whole) > 360) return std::nullopt;
    return static_cast<int>(whole);
}

// True when zone `zone` of the 3° or 6° series has central meridian `cm` (°E).
bool ZoneHasMeridian(int zone, int cm) {
    if (zone >= 1 && zone <= 60 && 6 * zone - 3 == cm) return true;
    return zone >= 1 && zone <= 120 && 3 * zone == cm;
}

int GaussKrugerCode(const NationalCodes& codes, const CoordinateSystem& system) {
    if (codes.geographic == 4326) return 0;
    if (!Near(system.scale_factor, 1, kScaleTolerance) || !Near(system.false_northing, 0, kOffsetTolerance) ||
        !Near(system.false_easting, kStandardFalseEasting, kOffsetTolerance))
        return 0;
    const std::optional<int> cm = WholeDegrees(system.central_meridian);
    if (!cm) return 0;
    const int zone = system.zone_number;
    if (zone == 0) {
        // Every 6° meridian (75°, 81°, ..., 135°) is a 3° one as well and the
        // two EPSG definitions are identical; the 3° series names them all.
        if (*cm % 3 != 0) return 0;
        const int three_degree_zone = *cm / 3;
        if (three_degree_zone < kFirstThreeDegreeZone || three_degree_zone > kLastThreeDegreeZone) return 0;
        return codes.three_degree_meridian + three_degree_zone - kFirstThreeDegreeZone;
    }
    if (zone >= kFirstThreeDegreeZone && zone <= kLastThreeDegreeZone && 3 * zone == *cm)
        return codes.three_degree_zone + zone - kFirstThreeDegreeZone;
    if (zone >= kFirstSixDegreeZone && zone <= kLastSixDegreeZone && 6 * zone - 3 == *cm)
        return codes.six_degree_zone + zone - kFirstSixDegreeZone;
    return 0;
}

int UtmCode(const CoordinateSystem& system) {
    if (!Near(system.scale_factor, kUtmScale, kScaleTolerance) || system.zone_number != 0 ||
        !Near(system.false_easting, kStandardFalseEasting, kOffsetTolerance))
        return 0;
    int base = 0;
    if (Near(system.false_northing, 0, kOffsetTolerance)) base = kUtmNorthBase;
    if (Near(system.false_northing, kUtmSouthFalseNorthing, kOffsetTolerance)) base = kUtmSouthBase;
    const std::optional<int> cm = WholeDegrees(system.central_meridian);
    if (base == 0 || !cm || (*cm + 183) % 6 != 0) return 0;
    const int zone = (*cm + 183) / 6;
    if (zone < 1 || zone > 60) return 0;
    return base + zone;
}

// ---- Texts -------------------------------------------------------------
// Every message of the system check, in the program's words.

std::string NumberText(long double value) { return ShortestDoubleText(value); }
// Degrees to 1e-9° (0.1 mm on the Earth), so a Paris meridian reads 2.33722917°.
std::string DegreesText(long double degrees) { return ShortestDoubleText(std::round(degrees * 1e9L) / 1e9L) + "°"; }

// "2000国家大地坐标系" for a preset ellipsoid, else "椭球a=…, 1/f=…".
std::string EllipsoidText(long double a, long double inverse_flattening) {
    const int preset = PresetOfEllipsoid(a, inverse_flattening);
    const std::string numbers = "a=" + NumberText(a) + ", 1/f=" + NumberText(inverse_flattening);
    if (preset >= 0) return std::string(kCoordinateSystemPresets[preset].name) + "(" + numbers + ")";
    return "椭球" + numbers;
}

std::string UnreadableSystemText(const std::string& declared) {
    return "图层声明的坐标系无法识别: " + declared.substr(0, 200) + "。";
}
std::string LocalSystemText() { return "图层声明的是无椭球的局部坐标系, 与转换的源坐标系不符。"; }
std::string ProjectedNotGeodeticText() {
    return "图层是平面(投影)坐标系, 而转换的源坐标应为大地坐标(经纬度)。";
}
std::string GeodeticNotProjectedText() {
    return "图层是大地坐标(经纬度), 而转换的源坐标应为平面坐标。";
}
std::string NotGeographicOrProjectedText() {
    return "图层声明的既不是大地坐标系也不是平面(投影)坐标系, 与转换的源坐标系不符。";
}
std::string EllipsoidDiffersText(const std::string& declared, const std::string& expected, bool declared_is_preset) {
    if (declared_is_preset) return "图层已是" + declared + ", 而转换的源坐标系是" + expected;
    return "图层的" + declared + ", 而转换的源坐标系是" + expected;
}
std::string PrimeMeridianText(long double degrees) {
    return "图层的本初子午线在格林尼治以东" + DegreesText(degrees) + ", 不是格林尼治子午线";
}
std::string AngularUnitText(const std::string& name) { return "图层的角度单位是" + name + ", 不是度"; }
std::string LinearUnitText(const std::string& name, long double metres) {
    return "图层的长度单位是" + name + "(" + NumberText(metres) + "米), 不是米";
}
std::string ProjectionText(const std::string& name) {
    return "图层的投影是" + name + ", 不是高斯-克吕格(横轴墨卡托)投影";
}
std::string LatitudeOfOriginText(long double degrees) {
    return "图层投影的原点纬度是" + DegreesText(degrees) + ", 不是赤道";
}
std::string MeridianDiffersText(long double declared, long double expected) {
    return "图层在另一中央子午线上: " + DegreesText(declared) + ", 而不是" + DegreesText(expected);
}
std::string ScaleDiffersText(long double declared, long double expected) {
    return "图层中央子午线上的比例因子是" + NumberText(declared) + ", 而不是" + NumberText(expected);
}
std::string FalseEastingDiffersText(long double declared, long double expected) {
    return "图层的东偏移(Y常数)是" + NumberText(declared) + "米, 而不是" + NumberText(expected) + "米";
}
std::string ZoneDiffersText(int declared, int expected) {
    return "图层横坐标中的带号是" + std::to_string(declared) + ", 而不是" + std::to_string(expected);
}
std::string ZoneNotOfMeridianText(int zone, long double cm) {
    return "图层横坐标中的带号" + std::to_string(zone) + "不是中央子午线" + DegreesText(cm) + "的带号";
}
std::string FalseNorthingDiffersText(long double declared, long double expected) {
    return "图层的北偏移(X常数)是" + NumberText(declared) + "米, 而不是" + NumberText(expected) + "米";
}
std::string JoinedDifferences(const std::vector<std::string>& differences) {
    std::string text;
    for (const std::string& difference : differences) text += (text.empty() ? "" : "; ") + difference;
    return text + "。";
}

// ---- Reading a declared system -------------------------------------------

struct DeclaredSystem {
    OGRSpatialReference srs;
    bool read = false;
};

std::unique_ptr<DeclaredSystem> ReadDeclared(const std::string& declared) {
    auto system = std::make_unique<DeclaredSystem>();
    system->srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    system->read = !declared.empty() && system->srs.SetFromUserInput(declared.c_str()) == OGRERR_NONE;
    return system;
}

// The differences of a transverse Mercator projection from `expected`.
void CompareProjection(const OGRSpatialReference& srs, const CoordinateSystem& expected,
                       std::vector<std::string>& differences) {
    const char* unit_name = nullptr;
    const long double metres = srs.GetLinearUnits(&unit_name);
    if (!Near(metres, 1, 1e-12)) differences.push_back(LinearUnitText(unit_name ? unit_name : "", metres));

    const char* projection = srs.GetAttrValue("PROJECTION");
    const std::string method = projection ? projection : "";
    if (method != SRS_PT_TRANSVERSE_MERCATOR) {
        differences.push_back(ProjectionText(method.empty() ? "?" : method));
        return;
    }
    const long double origin = srs.GetNormProjParm(SRS_PP_LATITUDE_OF_ORIGIN, 0);
    if (!Near(origin, 0, kAngleTolerance)) differences.push_back(LatitudeOfOriginText(origin));

    const long double cm = srs.GetNormProjParm(SRS_PP_CENTRAL_MERIDIAN, 0);
    const bool same_meridian = !expected.central_meridian_known || Near(cm, expected.central_meridian, kAngleTolerance);
    if (!same_meridian) differences.push_back(MeridianDiffersText(cm, expected.central_meridian));

    const long double scale = srs.GetNormProjParm(SRS_PP_SCALE_FACTOR, 1);
    if (!Near(scale, expected.scale_factor, kScaleTolerance))
        differences.push_back(ScaleDiffersText(scale, expected.scale_factor));

    // The easting's millions carry the zone number; the conversions drop it
    // from every easting before the false easting, so a zone number on one
    // side only is the same system when it is the zone of the meridian.
    const long double easting = srs.GetNormProjParm(SRS_PP_FALSE_EASTING, 0);
    const long double zone_millions = std::trunc(easting / 1000000);
    const int zone = std::fabs(zone_millions) < 1000 ? static_cast<int>(zone_millions) : 0;
    const long double false_easting = easting - 1000000 * static_cast<long double>(zone);
    if (!Near(false_easting, expected.false_easting, kOffsetTolerance))
        differences.push_back(FalseEastingDiffersText(false_easting, expected.false_easting));
    if (zone != expected.zone_number) {
        if (zone != 0 && expected.zone_number != 0) {
            differences.push_back(ZoneDiffersText(zone, expected.zone_number));
        } else if (same_meridian) {
            const int numbered = zone != 0 ? zone : expected.zone_number;
            const std::optional<int> whole = WholeDegrees(cm);
            if (!whole || !ZoneHasMeridian(numbered, *whole)) differences.push_back(ZoneNotOfMeridianText(numbered, cm));
        }
    }

    const long double northing = srs.GetNormProjParm(SRS_PP_FALSE_NORTHING, 0);
    if (!Near(northing, expected.false_northing, kOffsetTolerance))
        differences.push_back(FalseNorthingDiffersText(northing, expected.false_northing));
}

// ---- Writing a system -----------------------------------------------------

std::string ProjectedName(const char* datum_label, const CoordinateSystem& system) {
    std::string name = std::string(datum_label) + " / ";
    name += Near(system.scale_factor, 1, kScaleTolerance) ? "Gauss-Kruger" : "Transverse Mercator";
    if (system.zone_number != 0) name += " zone " + std::to_string(system.zone_number);
    name += " CM " + ShortestDoubleText(system.central_meridian) + "E";
    return name;
}

std::string ExportedWkt(const OGRSpatialReference& srs) {
    char* wkt = nullptr;
    std::string text;
    if (srs.exportToWkt(&wkt) == OGRERR_NONE && wkt) text = wkt;
    CPLFree(wkt);
    return text;
}

}  // namespace

int StandardEpsgCode(const CoordinateSystem& system) {
    const NationalCodes* codes = CodesOfEllipsoid(system.a, system.inverse_flattening);
    if (!codes) return 0;
    if (system.kind == CoordinateKind::Geodetic) return codes->geographic;
    if (!system.central_meridian_known) return 0;
    if (codes->preset == kWgs84Preset) return UtmCode(system);
    return GaussKrugerCode(*codes, system);
}

std::string SystemDefinition(const CoordinateSystem& system) {
    const int code = StandardEpsgCode(system);
    if (code != 0) return "EPSG:" + std::to_string(code);
    if (system.kind == CoordinateKind::Plane && !system.central_meridian_known) return {};

    const NationalCodes* codes = CodesOfEllipsoid(system.a, system.inverse_flattening);
    const double a = static_cast<double>(system.a);
    const double inverse_flattening = static_cast<double>(system.inverse_flattening);
    OGRSpatialReference srs;
    if (system.kind == CoordinateKind::Plane) {
        srs.SetProjCS(ProjectedName(codes ? codes->datum_label : "Custom ellipsoid", system).c_str());
    }
    if (codes) {
        srs.SetWellKnownGeogCS(("EPSG:" + std::to_string(codes->geographic)).c_str());
    } else {
        const std::string name = "Custom ellipsoid a=" + ShortestDoubleText(system.a) +
                                 " 1/f=" + ShortestDoubleText(system.inverse_flattening);
        srs.SetGeogCS(name.c_str(), name.c_str(), name.c_str(), a, inverse_flattening);
    }
    if (system.kind == CoordinateKind::Plane) {
        const long double false_easting = system.false_easting + 1000000 * static_cast<long double>(system.zone_number);
        srs.SetTM(0, static_cast<double>(system.central_meridian), static_cast<double>(system.scale_factor),
                  static_cast<double>(false_easting), static_cast<double>(system.false_northing));
        srs.SetLinearUnits(SRS_UL_METER, 1.0);
    }
    return ExportedWkt(srs);
}

std::string CheckDeclaredSystem(const std::string& declared, const CoordinateSystem& expected) {
    const std::unique_ptr<DeclaredSystem> system = ReadDeclared(declared);
    if (!system->read) return UnreadableSystemText(declared);
    const OGRSpatialReference& srs = system->srs;
    if (srs.IsLocal()) return LocalSystemText();

    const bool projected = srs.IsProjected();
    if (!projected && !srs.IsGeographic()) return NotGeographicOrProjectedText();
    if (expected.kind == CoordinateKind::Geodetic && projected) return ProjectedNotGeodeticText();
    if (expected.kind == CoordinateKind::Plane && !projected) return GeodeticNotProjectedText();

    std::vector<std::string> differences;
    const long double a = srs.GetSemiMajor();
    const long double inverse_flattening = srs.GetInvFlattening();
    if (!Near(a, expected.a, kAxisTolerance) ||
        !Near(inverse_flattening, expected.inverse_flattening, kInverseFlatteningTolerance)) {
        differences.push_back(EllipsoidDiffersText(EllipsoidText(a, inverse_flattening),
                                                   EllipsoidText(expected.a, expected.inverse_flattening),
                                                   PresetOfEllipsoid(a, inverse_flattening) >= 0));
    }
    const long double prime_meridian = srs.GetPrimeMeridian();
    if (!Near(prime_meridian, 0, kAngleTolerance)) differences.push_back(PrimeMeridianText(prime_meridian));
    if (!projected) {
        const char* unit_name = nullptr;
        const double radians = srs.GetAngularUnits(&unit_name);
        if (!Near(radians, CPLAtof(SRS_UA_DEGREE_CONV), 1e-15))
            differences.push_back(AngularUnitText(unit_name ? unit_name : ""));
    } else {
        CompareProjection(srs, expected, differences);
    }
    if (differences.empty()) return {};
    return JoinedDifferences(differences);
}

ConversionSystems WithDeclaredMeridian(const ConversionSystems& systems, const std::string& declared) {
    ConversionSystems filled = systems;
    const std::unique_ptr<DeclaredSystem> system = ReadDeclared(declared);
    if (!system->read || !system->srs.IsProjected()) return filled;
    const char* projection = system->srs.GetAttrValue("PROJECTION");
    if (!projection || std::string(projection) != SRS_PT_TRANSVERSE_MERCATOR) return filled;
    const long double cm = system->srs.GetNormProjParm(SRS_PP_CENTRAL_MERIDIAN, 0);
    for (std::optional<CoordinateSystem>* side : {&filled.source, &filled.target}) {
        if (*side && (*side)->kind == CoordinateKind::Plane && !(*side)->central_meridian_known) {
            (*side)->central_meridian = cm;
            (*side)->central_meridian_known = true;
        }
    }
    return filled;
}

}  // namespace coordconv
