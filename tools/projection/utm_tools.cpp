#include "tools/projection/utm_tools.h"

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "core/zone_number.h"

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
    const UtmSettings s = ReadUtmSettings(fields);
    return [s](const std::string* source, std::string* result) {
        const long double b = DmsTextToDegrees(source[1]);
        const long double l = DmsTextToDegrees(source[2]);
        const UtmPoint p = UtmForward(s, b, l);
        RaiseFloatingPointErrors();
        result[0] = source[0];
        result[1] = FormatFixed(p.x, 4);
        result[2] = FormatFixed(p.y, 4);
    };
}

RowConversion UtmInverseConversion(const UtmFields& fields) {
    const UtmSettings s = ReadUtmSettings(fields);
    return [s](const std::string* source, std::string* result) {
        const long double x = TextToNumber(source[1]);
        const long double y = TextToNumber(source[2]);
        const UtmGeodetic g = UtmInverse(s, x, y);
        const PackedDmsCells cells = PackedDmsCellsOf(g.latitude, g.longitude);
        result[0] = source[0];
        result[1] = cells.latitude;
        result[2] = cells.longitude;
    };
}

}  // namespace coordconv
