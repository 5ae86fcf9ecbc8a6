#include "tools/projection/projection_point_conversions.h"

#include "core/gauss_kruger.h"
#include "core/zone_number.h"

namespace coordconv {

namespace {

// The UTM window's plane system: transverse Mercator of scale 0.9996 with the
// Y constant as false easting (a zone number in its millions split off) and
// the X constant as false northing.
CoordinateSystem UtmPlaneSystem(const UtmSettings& s) {
    CoordinateSystem system = GaussKrugerSystem(s.ellipsoid.a, s.ellipsoid.f, s.central_meridian, s.y_constant);
    system.scale_factor = kUtmScaleFactor;
    system.false_northing = s.x_constant;
    return system;
}

}  // namespace

PointConversion GaussForwardPointConversion(const GaussFields& fields) {
    const GaussSettings s = ReadGaussSettings(fields);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    PointConversion conversion(
        [s, ellipsoid](const PointXYH& point) {
            const PlanePoint p = GaussForward(ellipsoid, point.x, point.y - s.central_meridian);
            return PointXYH{p.x, p.y + s.y_constant, point.H};
        },
        CoordinateKind::Geodetic, CoordinateKind::Plane);
    conversion.SetSystems({GeodeticSystem(s.a, s.f), GaussKrugerSystem(s.a, s.f, s.central_meridian, s.y_constant)});
    return conversion;
}

PointConversion GaussInversePointConversion(const GaussFields& fields) {
    const GaussSettings s = ReadGaussSettings(fields);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    // A Y constant copied from a forward window (39 500 000) carries the zone
    // number, which the eastings lose before it is subtracted, as in the rows.
    const long double false_easting = FalseEastingWithoutZone(s.y_constant);
    PointConversion conversion(
        [s, ellipsoid, false_easting](const PointXYH& point) {
            const GeodeticOffset g = GaussInverse(ellipsoid, point.x, StripZoneAndFalseEasting(point.y, false_easting));
            return PointXYH{g.latitude, g.longitude + s.central_meridian, point.H};
        },
        CoordinateKind::Plane, CoordinateKind::Geodetic, GaussPlaneCheck(false_easting));
    conversion.SetSystems({GaussKrugerSystem(s.a, s.f, s.central_meridian, s.y_constant), GeodeticSystem(s.a, s.f)});
    return conversion;
}

PointConversion UtmForwardPointConversion(const UtmFields& fields) {
    const UtmSettings s = ReadUtmSettings(fields);
    PointConversion conversion(
        [s](const PointXYH& point) {
            const UtmPoint p = UtmForward(s, point.x, point.y);
            return PointXYH{p.x, p.y, point.H};
        },
        CoordinateKind::Geodetic, CoordinateKind::Plane);
    conversion.SetSystems({GeodeticSystem(s.ellipsoid.a, s.ellipsoid.f), UtmPlaneSystem(s)});
    return conversion;
}

PointConversion UtmInversePointConversion(const UtmFields& fields) {
    const UtmSettings s = ReadUtmSettings(fields);
    PointConversion conversion(
        [s](const PointXYH& point) {
            const UtmGeodetic g = UtmInverse(s, point.x, point.y);
            return PointXYH{g.latitude, g.longitude, point.H};
        },
        CoordinateKind::Plane, CoordinateKind::Geodetic);
    conversion.SetSystems({UtmPlaneSystem(s), GeodeticSystem(s.ellipsoid.a, s.ellipsoid.f)});
    return conversion;
}

}  // namespace coordconv
