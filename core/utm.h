// Transverse Mercator in UTM form: the series of the UTM tables (meridian
// distance in e² to e⁶, forward in powers of A = l·cos B to the sixth, a
// closed footpoint series for the inverse), scale 0.9996 on the central
// meridian, no false northing or easting. Angles in decimal degrees, lengths
// in metres, long double in the written order of the series.
//
// Accuracy (forward, latitudes 0-60 deg, the four preset ellipsoids, against an
// exact transverse Mercator): 1 mm within 3 deg of the central meridian (the
// meridian distance stops at e^6), 5 mm at 4.5 deg, 20 mm at 6 deg. The
// inverse, as a distance on the ground: 0.5 mm within 3 deg, 8 mm at 4.5 deg,
// 50 mm at 6 deg.
#pragma once

#include "core/projection_points.h"

namespace coordconv {

// Scale factor on the central meridian.
inline constexpr long double kUtmScaleFactor = 0.9996L;

// The ellipsoid quantities the series use.
struct UtmEllipsoid {
    long double a;    // semi-major axis, metres
    long double f;    // flattening
    long double e;    // first eccentricity sqrt(2f - f^2)
    long double e2;   // e^2
    long double ep2;  // second eccentricity squared e^2 / (1 - f)^2
    long double e1;   // f / (2 - f), for the footpoint latitude series
};
UtmEllipsoid MakeUtmEllipsoid(long double a, long double f);

// Latitude B and longitude difference l = L − L0 (decimal degrees) to
// northing x from the equator and easting y from the central meridian
// (metres, scale 0.9996 applied).
PlanePoint UtmSeriesForward(const UtmEllipsoid& ellipsoid, long double latitude, long double longitude_difference);

// Northing from the equator and easting from the central meridian (metres)
// to latitude B and longitude difference l (decimal degrees).
GeodeticOffset UtmSeriesInverse(const UtmEllipsoid& ellipsoid, long double northing, long double easting);

}  // namespace coordconv
