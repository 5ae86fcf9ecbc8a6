// The coordinate system on one side of a tool's conversion, as far as the
// tool's settings say it: an ellipsoid and, for plane coordinates, the
// transverse Mercator (Gauss-Krüger or UTM) projection on it. The file
// converters write it into the layers they make and check a layer's own
// declared system against the tool's source before converting.
#pragma once

#include <optional>

namespace coordconv {

enum class CoordinateKind { Plane, Geodetic };

struct CoordinateSystem {
    CoordinateKind kind = CoordinateKind::Plane;
    long double a = 0;                   // semi-major axis, metres
    long double inverse_flattening = 0;  // 1/f
    // Plane only: transverse Mercator on the ellipsoid.
    long double central_meridian = 0;    // decimal degrees east of Greenwich
    long double scale_factor = 1;        // on the central meridian: 1 Gauss-Krüger, 0.9996 UTM
    long double false_easting = 500000;  // metres, without the zone number
    long double false_northing = 0;      // metres (10000000 for UTM south of the equator)
    // The zone number carried in the millions of the easting (y = zone *
    // 1000000 + false_easting + ...), 0 when the eastings carry none.
    int zone_number = 0;
    // False where the tool's settings do not name the central meridian: the
    // compensation tool works in longitudes from the zone's own meridian,
    // whichever it is, so the layer's declared meridian holds on both sides.
    bool central_meridian_known = true;
};

// The systems of both sides of a conversion; std::nullopt where the tool
// does not know it (the local grids of the plane four-parameter and
// polynomial fits).
struct ConversionSystems {
    std::optional<CoordinateSystem> source;
    std::optional<CoordinateSystem> target;
};

// Latitude and longitude on the ellipsoid of semi-major axis a (metres) and
// flattening f; 1/f is kept as 1 / f (0 for a sphere).
CoordinateSystem GeodeticSystem(long double a, long double f);

// Gauss-Krüger plane coordinates on the ellipsoid (a, f): transverse Mercator
// of scale 1 on the central meridian (decimal degrees), no false northing,
// the Y constant `y_constant` (metres) split into the zone number of its
// millions and the false easting below them (39 500 000: zone 39, 500 000).
CoordinateSystem GaussKrugerSystem(long double a, long double f, long double central_meridian, long double y_constant);

}  // namespace coordconv
