// Zone change ("坐标换带"): Gauss-Krüger plane coordinates name,x,y from one
// central meridian to another on the same ellipsoid, by the inverse
// projection on the old meridian and the forward projection on the new one.
#pragma once

#include <string>

#include "core/ellipsoid.h"
#include "core/gauss_kruger.h"
#include "core/point_conversion.h"
#include "table/row_conversion.h"

namespace coordconv {

// The window opens on "1980西安坐标系".
inline constexpr int kZoneChangeInitialSystemIndex = 0;

// The texts of the ellipsoid box and of the old and new zone groups.
struct ZoneChangeFields {
    std::string a = kCoordinateSystemPresets[kZoneChangeInitialSystemIndex].semi_major_axis_text;  // semi-major axis, metres
    std::string inverse_flattening = kCoordinateSystemPresets[kZoneChangeInitialSystemIndex].inverse_flattening_text;  // 1/f
    std::string central_meridian = "0";           // old zone, packed ddd.mmss
    std::string y_constant = "500000";            // old false easting in metres
    std::string new_central_meridian = "0";       // new zone, packed ddd.mmss
    std::string new_y_constant = "500000";        // new false easting (may carry a zone number)
};

struct ZoneChangeSettings {
    long double a;
    long double f;
    long double central_meridian;      // L1, decimal degrees
    long double y_constant;            // c1, metres
    long double new_central_meridian;  // L2, decimal degrees
    long double new_y_constant;        // c2, metres
    GaussKrugerEllipsoid ellipsoid;    // the series constants of (a, f), once per command
};

// Reads the six boxes in the order a, 1/f, L1, c1, L2, c2; a text that is not
// a number or a 1/f of 0 fails here, before the result table is touched.
ZoneChangeSettings ReadZoneChangeSettings(const ZoneChangeFields& fields);

// Northing x and easting y (metres; zone number and old false easting included) in the
// old zone to x2, y2 in the new zone (new false easting included).
struct ZonePoint {
    long double x;
    long double y;
};
ZonePoint ChangeZone(const ZoneChangeSettings& s, long double x, long double y);

// The conversion as numbers: x, y in the old zone (zone number allowed) to
// x2, y2 by ChangeZone; H is kept. Plane to plane, the source checked as
// Gauss-Krüger coordinates of the old zone. Its systems: Gauss-Krüger on the
// ellipsoid on the old and on the new meridian, each with its Y constant.
PointConversion ZoneChangePointConversion(const ZoneChangeFields& fields);

// x2 and y2 rounded to 4 decimals; the name is copied; the
// zone number of the input is dropped and none is written.
RowConversion ZoneChangeConversion(const ZoneChangeFields& fields);

}  // namespace coordconv
