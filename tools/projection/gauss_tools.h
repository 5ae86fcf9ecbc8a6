// Gauss projection forward ("高斯投影正算") and inverse ("高斯投影反算"):
// source rows name,B,L (packed ddd.mmss) <-> result rows name,x,y (metres).
#pragma once

#include <string>

#include "core/gauss_plane_system.h"
#include "core/zone_number.h"
#include "table/row_conversion.h"

namespace coordconv {

// The texts of the boxes of the reference-ellipsoid group.
struct GaussFields {
    std::string a = "6378140.0000000000";  // semi-major axis, metres
    std::string inverse_flattening = "298.257";  // 1/f
    std::string central_meridian = "0";  // packed ddd.mmss
    std::string y_constant = "500000";  // false easting in metres (may include a zone number)
};

// The ellipsoid and meridian as the convert commands read them.
using GaussSettings = GaussPlaneSystem;

// Reads the boxes; a text that is not a number or a 1/f of 0 fails here,
// before the result table is touched.
GaussSettings ReadGaussSettings(const GaussFields& fields);

// Forward: x = FormatFixed(x, 4), y = FormatFixed(y + c, 4); the name is copied.
RowConversion GaussForwardConversion(const GaussFields& fields);
// Inverse: B, L = FormatFixed(DegreesToDms(.), 10); the zone number is
// dropped from every easting and from the Y constant.
RowConversion GaussInverseConversion(const GaussFields& fields);

}  // namespace coordconv
