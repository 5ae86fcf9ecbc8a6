// The Gauss-Krüger and UTM windows' conversions as numbers: geodetic B, L
// (decimal degrees) to plane x, y (metres, false easting added) and back; H
// is kept. The windows' row conversions are text adapters over them; they
// carry the systems of both
// sides: geodetic on the ellipsoid, and the transverse Mercator plane (scale
// 1 or 0.9996, the Y constant's zone number and false easting, the UTM X
// constant as false northing).
#pragma once

#include "core/point_conversion.h"
#include "tools/projection/gauss_tools.h"
#include "tools/projection/utm_tools.h"

namespace coordconv {

PointConversion GaussForwardPointConversion(const GaussFields& fields);
// A zone number in the millions of y is dropped before the false easting.
PointConversion GaussInversePointConversion(const GaussFields& fields);
PointConversion UtmForwardPointConversion(const UtmFields& fields);
PointConversion UtmInversePointConversion(const UtmFields& fields);

}  // namespace coordconv
