// Transverse Mercator in UTM form, forward ("墨卡托投影正算") and inverse
// ("墨卡托投影反算"): source rows name,B,L (packed ddd.mmss) <-> result rows
// name,x,y (metres). Scale 0.9996 on the central meridian, a false northing
// and a false easting; no zone logic, the central meridian is the one typed.
#pragma once

#include <string>

#include "core/ellipsoid.h"
#include "core/utm.h"
#include "table/row_conversion.h"

namespace coordconv {

// The windows open on "WGS84大地坐标系".
inline constexpr int kUtmInitialSystemIndex = 3;

// The texts of the boxes of the reference-ellipsoid group.
struct UtmFields {
    std::string a = kCoordinateSystemPresets[kUtmInitialSystemIndex].semi_major_axis_text;  // semi-major axis, metres
    std::string inverse_flattening = kCoordinateSystemPresets[kUtmInitialSystemIndex].inverse_flattening_text;  // 1/f
    std::string central_meridian = "0";  // packed ddd.mmss
    std::string x_constant = "0";        // false northing in metres (10000000 south of the equator)
    std::string y_constant = "500000";   // false easting in metres
};

// The ellipsoid and constants as the convert commands read them.
struct UtmSettings {
    UtmEllipsoid ellipsoid;
    long double central_meridian;  // decimal degrees
    long double y_constant;        // metres
    long double x_constant;        // metres
};

// Reads the boxes in the order a, 1/f, central meridian, Y constant,
// X constant; a text that is not a number, a 1/f of 0 or a flattening
// without a real eccentricity fails here, before the result table is touched.
UtmSettings ReadUtmSettings(const UtmFields& fields);

// Latitude B and longitude L (decimal degrees) to northing x and easting y
// (metres), false northing and false easting included.
struct UtmPoint {
    long double x;
    long double y;
};
UtmPoint UtmForward(const UtmSettings& s, long double latitude, long double longitude);

// Northing x and easting y as typed (metres, false northing and false easting
// included; a zone number in the millions of y, and one in the Y constant, is
// dropped) to latitude B and
// longitude L (decimal degrees, central meridian added). Closed footpoint
// series, no iteration.
struct UtmGeodetic {
    long double latitude;
    long double longitude;
};
UtmGeodetic UtmInverse(const UtmSettings& s, long double x, long double y);

// Forward: x and y rounded to 4 decimals; the name is copied.
RowConversion UtmForwardConversion(const UtmFields& fields);
// Inverse: the zone number (millions of y) is dropped; B, L packed ddd.mmss
// rounded to 10 decimals.
RowConversion UtmInverseConversion(const UtmFields& fields);

}  // namespace coordconv
