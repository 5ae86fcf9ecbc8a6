#include "tools/datum/bursa_wolf_proj.h"

#include <cmath>
#include <vector>

#include "core/angles.h"
#include "core/errors.h"
#include "core/geocentric.h"
#include "core/number_text.h"
#include "core/proj_pipeline.h"

namespace coordconv {
namespace {

// Q^T v: a vector of the frame turned by `longitude` degrees in Earth-fixed axes.
void TurnToEarthFixed(long double longitude, long double& x, long double& y) {
    const long double c = std::cos(longitude * kDegreesToRadians);
    const long double s = std::sin(longitude * kDegreesToRadians);
    const long double turned_x = c * x - s * y;
    const long double turned_y = s * x + c * y;
    x = turned_x;
    y = turned_y;
}

// The steps from the program's columns of one side to geocentric X, Y, Z.
std::vector<std::string> StepsToGeocentric(const DatumSide& side) {
    std::vector<std::string> steps = {kProjSwapAxes};
    if (side.form == CoordinateForm::Plane)
        steps.push_back("+inv " + ProjGaussKruger(side.a, side.f, side.central_meridian, side.y_constant));
    else
        steps.push_back("+proj=unitconvert +xy_in=deg +xy_out=rad");
    steps.push_back("+proj=cart " + ProjEllipsoid(side.a, side.f));
    return steps;
}

// The steps from geocentric X, Y, Z to the program's columns of one side.
std::vector<std::string> StepsFromGeocentric(const DatumSide& side) {
    std::vector<std::string> steps = {"+inv +proj=cart " + ProjEllipsoid(side.a, side.f)};
    if (side.form == CoordinateForm::Plane)
        steps.push_back(ProjGaussKruger(side.a, side.f, side.central_meridian, side.y_constant));
    else
        steps.push_back("+proj=unitconvert +xy_in=rad +xy_out=deg");
    steps.push_back(kProjSwapAxes);
    return steps;
}

std::string Columns(const DatumSide& side) {
    if (side.form == CoordinateForm::Plane) return "x(北), y(东, 不带带号), H(m)";
    return "纬度B, 经度L(十进制度, 非度分秒), H(m)";
}

std::string SevenTexts(long double tx, long double ty, long double tz, long double rx, long double ry, long double rz,
                       long double scale_ppm) {
    return "Tx=" + ShortestDoubleText(tx) + " Ty=" + ShortestDoubleText(ty) + " Tz=" + ShortestDoubleText(tz) +
           " (m), Rx=" + ShortestDoubleText(rx) + " Ry=" + ShortestDoubleText(ry) + " Rz=" + ShortestDoubleText(rz) +
           " (\"), 尺度=" + ShortestDoubleText(scale_ppm) + " ppm";
}

}  // namespace

EarthFixedSevenParameters EarthFixedParameters(const BursaWolfParameters& p, long double frame_longitude) {
    EarthFixedSevenParameters e;
    e.tx = p.tx;
    e.ty = p.ty;
    e.tz = p.tz;
    e.rx = p.rx * kArcSecondsPerRadian;
    e.ry = p.ry * kArcSecondsPerRadian;
    e.rz = p.rz * kArcSecondsPerRadian;
    e.scale_ppm = p.d * 1000000;
    TurnToEarthFixed(frame_longitude, e.tx, e.ty);
    TurnToEarthFixed(frame_longitude, e.rx, e.ry);
    return e;
}

std::string ProjHelmert(const EarthFixedSevenParameters& p) {
    return "+proj=helmert +x=" + ShortestDoubleText(p.tx) + " +y=" + ShortestDoubleText(p.ty) +
           " +z=" + ShortestDoubleText(p.tz) + " +rx=" + ShortestDoubleText(p.rx) + " +ry=" + ShortestDoubleText(p.ry) +
           " +rz=" + ShortestDoubleText(p.rz) + " +s=" + ShortestDoubleText(p.scale_ppm) +
           " +convention=coordinate_frame";
}

std::string BursaWolfProjExport(const DatumFields& settings_fields, const SevenParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const BursaWolfParameters p = ReadBursaWolfParameters(parameter_fields);
    const long double frame_longitude = settings.source.central_meridian;
    const EarthFixedSevenParameters earth_fixed = EarthFixedParameters(p, frame_longitude);
    RaiseFloatingPointErrors();
    RequirePositiveScaleFactor("1+D", 1 + p.d);

    // Rotations over (1 + D): PROJ scales the rotated vector, the program does not.
    EarthFixedSevenParameters pipeline_set = earth_fixed;
    pipeline_set.rx /= 1 + p.d;
    pipeline_set.ry /= 1 + p.d;
    pipeline_set.rz /= 1 + p.d;
    RaiseFloatingPointErrors();
    std::vector<std::string> steps = StepsToGeocentric(settings.source);
    steps.push_back(ProjHelmert(pipeline_set));
    for (const std::string& step : StepsFromGeocentric(settings.target)) steps.push_back(step);

    std::string text = "# 椭球变换--布尔沙模型 的PROJ管道 (cct, cs2cs, QGIS, GDAL, pyproj)\n";
    text += "# 输入: " + Columns(settings.source) + "; 输出: " + Columns(settings.target) + "; H为大地高\n";
    text += "# 本程序参数 (绕极轴转过中央子午线L0=" + ShortestDoubleText(frame_longitude) +
            "°的地心坐标系, coordinate frame旋转约定): " +
            SevenTexts(p.tx, p.ty, p.tz, p.rx * kArcSecondsPerRadian, p.ry * kArcSecondsPerRadian,
                       p.rz * kArcSecondsPerRadian, p.d * 1000000) +
            "\n";
    text += "# 地固地心坐标系参数 (X轴指向格林尼治, coordinate frame旋转约定): " +
            SevenTexts(earth_fixed.tx, earth_fixed.ty, earth_fixed.tz, earth_fixed.rx, earth_fixed.ry, earth_fixed.rz,
                       earth_fixed.scale_ppm) +
            "\n";
    text += "# 管道中的旋转参数已除以(1+D), 以与本程序不含尺度与旋转乘积项的公式一致\n";
    text += ProjPipeline(steps) + "\n";
    return text;
}

}  // namespace coordconv
