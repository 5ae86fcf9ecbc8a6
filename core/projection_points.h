// The two sides of a transverse Mercator projection (Gauss-Krüger, UTM): a
// plane point and a geodetic point given relative to the central meridian.
#pragma once

namespace coordconv {

struct PlanePoint {
    long double x;  // northing, metres
    long double y;  // easting from the central meridian, metres
};

struct GeodeticOffset {
    long double latitude;   // B, decimal degrees
    long double longitude;  // l = L - L0, decimal degrees
};

}  // namespace coordconv
