// The Gauss-Krüger projection: transverse Mercator with scale 1 on the
// central meridian and no false easting, as Chinese surveying uses it.
//
// Series used: the meridian arc X(B) in powers of e^2 up to e^14; the
// forward projection is the classical Gauss-Krüger power series in
// m = l cos B, x to m^6 and y to m^5; the inverse takes the footpoint
// latitude Bf by fixed-point iteration on the meridian arc (X(Bf) = x, to
// 1e-10 rad) and then the classical power series in u = y / N(Bf), B to u^6
// and l to u^5.
//
// Angles enter and leave in decimal degrees; inside they are radians.
// Lengths are metres. The arithmetic is long double throughout and follows the
// written order of the series, because users compare stored results digit by
// digit.
//
// Domain and accuracy (forward, latitudes 0-60 deg, the four preset
// ellipsoids, against an exact transverse Mercator): within 1.5 deg of the
// central meridian 0.01 mm, within 3 deg 0.2 mm, at 4.5 deg 2 mm, at 6 deg
// 15 mm (the truncated series). The inverse, as a distance on the ground:
// within 1.5 deg 0.01 mm, within 3 deg 0.5 mm, at 4.5 deg 8 mm, at 6 deg
// 50 mm. Checked against GeographicLib's TransverseMercatorProj and PROJ's
// exact tmerc. The domain is a 3 or 6 deg zone (up to 3 deg from the central
// meridian); points farther out are computed with the errors above.
#pragma once

#include "core/projection_points.h"

namespace coordconv {

// Coefficients of the meridian arc in powers of e^2 (up to e^14).
struct MeridianArcCoefficients {
    long double A, B1, C1, D1, E1;
};
MeridianArcCoefficients MeridianArc(long double e2);

// The constants of one ellipsoid that the series use: e^2 = 2f - f^2 and the
// meridian-arc coefficients. A command computes them once for all its rows;
// the results are the same as per call. (e'^2 is formed where the series
// need it, so that a degenerate ellipsoid faults where it would per call.)
struct GaussKrugerEllipsoid {
    long double a, f, e2;
    MeridianArcCoefficients arc;
};
GaussKrugerEllipsoid MakeGaussKrugerEllipsoid(long double a, long double f);

PlanePoint GaussForward(const GaussKrugerEllipsoid& ellipsoid, long double latitude, long double longitude_difference);
GeodeticOffset GaussInverse(const GaussKrugerEllipsoid& ellipsoid, long double x, long double y);

// Gauss-Krüger forward: latitude B and longitude difference l (degrees) on the
// ellipsoid (a in metres, flattening f) to northing x and easting y (metres).
PlanePoint GaussForward(long double a, long double f, long double latitude, long double longitude_difference);

// Gauss-Krüger inverse: northing x and easting y (metres, false easting and
// zone number already removed) to latitude B and longitude difference l
// (degrees). The footpoint latitude is iterated to 1e-10 rad; a northing so far
// off the ellipsoid that the iteration cannot settle ends the command with a
// CommandError (a floating-point error if one was raised on the way).
GeodeticOffset GaussInverse(long double a, long double f, long double x, long double y);

// Most footpoint iterations GaussInverse takes before it gives up. Points of
// the ellipsoid need three or four.
inline constexpr int kMaxFootpointIterations = 100;
inline constexpr const char* kFootpointNotConvergingText = "纵坐标超出椭球范围，底点纬度迭代不收敛";

}  // namespace coordconv
