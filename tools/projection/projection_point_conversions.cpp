#include "tools/projection/projection_point_conversions.h"

#include "core/gauss_kruger.h"
#include "core/zone_number.h"

namespace coordconv {

PointConversion GaussForwardPointConversion(const GaussFields& fields) {
    const GaussSettings s = ReadGaussSettings(fields);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    return PointConversion(
        [s, ellipsoid](const PointXYH& point) {
            const PlanePoint p = GaussForward(ellipsoid, point.x, point.y - s.central_meridian);
            return PointXYH{p.x, p.y + s.y_constant, point.H};
        },
        CoordinateKind::Geodetic, CoordinateKind::Plane);
}

PointConversion GaussInversePointConversion(const GaussFields& fields) {
    const GaussSettings s = ReadGaussSettings(fields);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    return PointConversion(
        [s, ellipsoid](const PointXYH& point) {
            const GeodeticOffset g = GaussInverse(ellipsoid, point.x, StripZoneAndFalseEasting(point.y, s.y_constant));
            return PointXYH{g.latitude, g.longitude + s.central_meridian, point.H};
        },
        CoordinateKind::Plane, CoordinateKind::Geodetic, GaussPlaneCheck(s.y_constant));
}

PointConversion UtmForwardPointConversion(const UtmFields& fields) {
    const UtmSettings s = ReadUtmSettings(fields);
    return PointConversion(
        [s](const PointXYH& point) {
            const UtmPoint p = UtmForward(s, point.x, point.y);
            return PointXYH{p.x, p.y, point.H};
        },
        CoordinateKind::Geodetic, CoordinateKind::Plane);
}

PointConversion UtmInversePointConversion(const UtmFields& fields) {
    const UtmSettings s = ReadUtmSettings(fields);
    return PointConversion(
        [s](const PointXYH& point) {
            const UtmGeodetic g = UtmInverse(s, point.x, point.y);
            return PointXYH{g.latitude, g.longitude, point.H};
        },
        CoordinateKind::Plane, CoordinateKind::Geodetic);
}

}  // namespace coordconv
