#include "tools/projection/zone_change_tools.h"

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tools/projection/gauss_tools.h"

namespace coordconv {

ZoneChangeSettings ReadZoneChangeSettings(const ZoneChangeFields& fields) {
    ZoneChangeSettings s{};
    const EllipsoidAxes axes = ReadEllipsoid(fields.a, fields.inverse_flattening);
    s.a = axes.a;
    s.f = axes.f;
    s.central_meridian = DmsTextToDegrees(fields.central_meridian);
    s.y_constant = TextToNumber(fields.y_constant);
    s.new_central_meridian = DmsTextToDegrees(fields.new_central_meridian);
    s.new_y_constant = TextToNumber(fields.new_y_constant);
    s.ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    return s;
}

ZonePoint ChangeZone(const ZoneChangeSettings& s, long double x, long double y) {
    const long double y_old = StripZoneAndFalseEasting(y, s.y_constant);
    const GeodeticOffset g = GaussInverse(s.ellipsoid, x, y_old);
    // Longitude difference from the new central meridian.
    const long double l_new = g.longitude + s.central_meridian - s.new_central_meridian;
    const PlanePoint p = GaussForward(s.ellipsoid, g.latitude, l_new);
    return {p.x, p.y + s.new_y_constant};
}

PointConversion ZoneChangePointConversion(const ZoneChangeFields& fields) {
    const ZoneChangeSettings s = ReadZoneChangeSettings(fields);
    PointConversion conversion(
        [s](const PointXYH& point) {
            const ZonePoint p = ChangeZone(s, point.x, point.y);
            return PointXYH{p.x, p.y, point.H};
        },
        CoordinateKind::Plane, CoordinateKind::Plane, GaussPlaneCheck(s.y_constant));
    conversion.SetSystems({GaussKrugerSystem(s.a, s.f, s.central_meridian, s.y_constant),
                           GaussKrugerSystem(s.a, s.f, s.new_central_meridian, s.new_y_constant)});
    return conversion;
}

RowConversion ZoneChangeConversion(const ZoneChangeFields& fields) {
    return PlaneRowConversion(ZoneChangePointConversion(fields));
}

}  // namespace coordconv
