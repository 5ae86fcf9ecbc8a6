#include "tools/projection/gauss_tools.h"

#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"

namespace coordconv {

GaussSettings ReadGaussSettings(const GaussFields& fields) {
    return ReadGaussPlaneSystem(fields.a, fields.inverse_flattening, fields.central_meridian, fields.y_constant);
}

RowConversion GaussForwardConversion(const GaussFields& fields) {
    const GaussSettings s = ReadGaussSettings(fields);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    return [s, ellipsoid](const std::string* source, std::string* result) {
        const long double b = DmsTextToDegrees(source[1]);
        const long double l = DmsTextToDegrees(source[2]);
        PlanePoint p = GaussForward(ellipsoid, b, l - s.central_meridian);
        p.y = p.y + s.y_constant;
        RaiseFloatingPointErrors();
        result[0] = source[0];
        result[1] = FormatFixed(p.x, 4);
        result[2] = FormatFixed(p.y, 4);
    };
}

RowConversion GaussInverseConversion(const GaussFields& fields) {
    const GaussSettings s = ReadGaussSettings(fields);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(s.a, s.f);
    const long double false_easting = FalseEastingWithoutZone(s.y_constant);
    return [s, ellipsoid, false_easting](const std::string* source, std::string* result) {
        const long double x = TextToNumber(source[1]);
        const long double y = StripZoneAndFalseEasting(TextToNumber(source[2]), false_easting);
        const GeodeticOffset g = GaussInverse(ellipsoid, x, y);
        const long double latitude = g.latitude;
        const long double longitude = g.longitude + s.central_meridian;
        const PackedDmsCells cells = PackedDmsCellsOf(latitude, longitude);
        result[0] = source[0];
        result[1] = cells.latitude;
        result[2] = cells.longitude;
    };
}

}  // namespace coordconv
