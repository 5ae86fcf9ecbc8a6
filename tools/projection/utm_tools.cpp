#include "tools/projection/utm_tools.h"

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "core/zone_number.h"
#include "tools/projection/projection_point_conversions.h"

namespace coordconv {

UtmSettings ReadUtmSettings(const UtmFields& fields) {
    UtmSettings s{};
    const EllipsoidAxes axes = ReadEllipsoid(fields.a, fields.inverse_flattening);
    s.ellipsoid = MakeUtmEllipsoid(axes.a, axes.f);
    // A flattening without a real eccentricity (1/f below 0.5) is reported
    // before a later box is read.
    RaiseFloatingPointErrors();
    s.central_meridian = DmsTextToDegrees(fields.central_meridian);
    s.y_constant = TextToNumber(fields.y_constant);
    s.x_constant = TextToNumber(fields.x_constant);
    return s;
}

UtmPoint UtmForward(const UtmSettings& s, long double latitude, long double longitude) {
    const PlanePoint p = UtmSeriesForward(s.ellipsoid, latitude, longitude - s.central_meridian);
    return {p.x + s.x_constant, p.y + s.y_constant};
}

UtmGeodetic UtmInverse(const UtmSettings& s, long double x, long double y) {
    const long double false_easting = FalseEastingWithoutZone(s.y_constant);
    const GeodeticOffset g = UtmSeriesInverse(s.ellipsoid, x - s.x_constant, StripZoneAndFalseEasting(y, false_easting));
    return {g.latitude, g.longitude + s.central_meridian};
}

RowConversion UtmForwardConversion(const UtmFields& fields) {
    return GeodeticToPlaneRowConversion(UtmForwardPointConversion(fields));
}

RowConversion UtmInverseConversion(const UtmFields& fields) {
    return PlaneToGeodeticRowConversion(UtmInversePointConversion(fields));
}

}  // namespace coordconv
