// Geodetic <-> geocentric Cartesian coordinates (closed form, no iteration)
// and the plane azimuth of surveying axes.
//
// Accuracy, heights -10 km to +10 km, latitudes to 89.9 deg: geodetic to
// Cartesian 0.1 mm; the closed-form inverse returns the height to 0.5 mm.
// That is the inverse's domain: its height error grows with the distance
// from the ellipsoid (0.55 mm at 20 km, 9 mm at 100 km).
#pragma once

namespace coordconv {

struct Cartesian {
    long double X, Y, Z;  // metres, geocentric
};

struct Geodetic {
    long double B;  // latitude, decimal degrees
    long double L;  // longitude, decimal degrees, (-180, 180]
    long double H;  // ellipsoidal height, metres
};

// X = (N+H) cos B cos L, Y = (N+H) cos B sin L, Z = (N(1-e^2)+H) sin B.
// a in metres, f the flattening.
Cartesian GeodeticToCartesian(long double a, long double f, long double B, long double L, long double H);

// Closed-form inverse through the geocentric latitude: latitude to 2e-11
// degree, height to 0.5 mm (0.21 mm the largest measured) for heights within
// 10 km of the ellipsoid. A point
// on the Z axis divides by zero; the origin is an invalid operation (both left
// to the caller's floating-point check).
Geodetic CartesianToGeodetic(long double a, long double f, long double X, long double Y, long double Z);

// Azimuth of the direction from (x1, y1) to (x2, y2), x north and y east,
// radians in [0, 2 pi). The arctangent always divides by the larger
// coordinate difference; two equal points are 0/0.
long double Azimuth(long double x1, long double y1, long double x2, long double y2);

}  // namespace coordconv
