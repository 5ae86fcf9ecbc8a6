#include "tools/projection/compensation_tools.h"

#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tools/projection/gauss_tools.h"

namespace coordconv {

long double MeanRadiusOfCurvature(long double a, long double f, long double latitude) {
    const long double e2 = 2 * f - f * f;
    const long double sin_b = std::sin(latitude);
    const long double w = std::sqrt(1 - e2 * sin_b * sin_b);
    const long double m = (1 - e2) * a / std::pow(1 - e2 * sin_b * sin_b, 1.5L);
    const long double n = a / w;
    return std::sqrt(m * n);
}

CompensationPlane ComputeCompensationPlane(long double mean_radius, long double mean_height, long double mean_distance) {
    const long double r = mean_radius;
    // Height reduction per kilometre (negative above the ellipsoid) and the
    // Gauss scale excess ym^2 / (2 R^2) on the reduced kilometre.
    const long double d1 = mean_height * (-1000) / r;
    const long double ratio = mean_distance / r;
    const long double d2 = ratio * ratio * (d1 + 1000) / 2;
    CompensationPlane plane{};
    plane.deformation = (d1 + d2) * 1000;
    plane.height = mean_height - mean_distance * mean_distance / (2 * r);
    return plane;
}

long double CompensatedSemiMajorAxis(long double f, long double latitude, long double mean_radius, long double plane_height) {
    const long double e2 = 2 * f - f * f;
    const long double sin_b = std::sin(latitude);
    const long double raised_radius = plane_height + mean_radius;
    return (1 - e2 * sin_b * sin_b) * raised_radius / std::sqrt(1 - e2);
}

namespace {

// The source ellipsoid boxes: a1 and f = 1 / (1/f); a 1/f of 0 is reported
// before a later box is read.
struct SourceEllipsoid {
    long double a;
    long double f;
};
SourceEllipsoid ReadSourceEllipsoid(const CompensationFields& fields) {
    const EllipsoidAxes axes = ReadEllipsoid(fields.a1, fields.inverse_flattening);
    return {axes.a, axes.f};
}

// The mean latitude box in radians.
long double ReadMeanLatitude(const CompensationFields& fields) {
    return DmsTextToDegrees(fields.mean_latitude) * kPi / 180;
}

}  // namespace

CompensationPlaneTexts ComputeCompensationPlaneTexts(const CompensationFields& fields) {
    const SourceEllipsoid source = ReadSourceEllipsoid(fields);
    const long double latitude = ReadMeanLatitude(fields);
    const long double mean_distance = TextToNumber(fields.mean_distance);
    const long double mean_height = TextToNumber(fields.mean_height);
    const long double r = MeanRadiusOfCurvature(source.a, source.f, latitude);
    const CompensationPlane plane = ComputeCompensationPlane(r, mean_height, mean_distance);
    RaiseFloatingPointErrors();
    return {FormatFixed(plane.deformation, 2) + "mm", FormatFixed(plane.height, 0)};
}

std::string ComputeNewSemiMajorAxisText(const CompensationFields& fields) {
    const SourceEllipsoid source = ReadSourceEllipsoid(fields);
    const long double latitude = ReadMeanLatitude(fields);
    const long double r = MeanRadiusOfCurvature(source.a, source.f, latitude);
    // A fault of the radius is reported before the plane height box is read.
    RaiseFloatingPointErrors();
    const long double plane_height = TextToNumber(fields.plane_height);
    const long double a2 = CompensatedSemiMajorAxis(source.f, latitude, r, plane_height);
    RaiseFloatingPointErrors();
    return FormatFixed(a2, 10);
}

PointConversion CompensationPointConversion(const CompensationFields& fields) {
    const SourceEllipsoid source = ReadSourceEllipsoid(fields);
    const long double a1 = source.a;
    const long double f = source.f;
    const long double e2 = 2 * f - f * f;
    const long double y_constant = TextToNumber(fields.y_constant);
    const long double a2 = TextToNumber(fields.a2);
    const long double delta_a = a2 - a1;
    const GaussKrugerEllipsoid source_ellipsoid = MakeGaussKrugerEllipsoid(a1, f);
    const GaussKrugerEllipsoid new_ellipsoid = MakeGaussKrugerEllipsoid(a2, f);
    PointConversion conversion(
        [=](const PointXYH& point) {
            const long double y_reduced = StripZoneAndFalseEasting(point.y, y_constant);
            const GeodeticOffset g = GaussInverse(source_ellipsoid, point.x, y_reduced);
            // Latitude change of a point of fixed position when the semi-major
            // axis grows by delta_a at constant flattening.
            const long double phi = g.latitude * kPi / 180;
            const long double sin_phi = std::sin(phi);
            const long double cos_phi = std::cos(phi);
            const long double w = std::sqrt(1 - e2 * sin_phi * sin_phi);
            const long double m = (1 - e2) * a1 / (w * w * w);
            const long double delta_b = e2 * sin_phi * cos_phi * delta_a / (m * w);
            const long double b2 = g.latitude + delta_b * 180 / kPi;
            PlanePoint p = GaussForward(new_ellipsoid, b2, g.longitude);
            p.y = p.y + y_constant;
            return PointXYH{p.x, p.y, point.H};
        },
        CoordinateKind::Plane, CoordinateKind::Plane, GaussPlaneCheck(y_constant));
    // Gauss-Krüger on a1 and on a2 about the same meridian, which no box names:
    // the longitudes stay offsets from it.
    CoordinateSystem source_system = GaussKrugerSystem(a1, f, 0, y_constant);
    CoordinateSystem target_system = GaussKrugerSystem(a2, f, 0, y_constant);
    source_system.central_meridian_known = false;
    target_system.central_meridian_known = false;
    conversion.SetSystems({source_system, target_system});
    return conversion;
}

RowConversion CompensationConversion(const CompensationFields& fields) {
    return PlaneRowConversion(CompensationPointConversion(fields));
}

}  // namespace coordconv
