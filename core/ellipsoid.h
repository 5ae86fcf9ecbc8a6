// Reference ellipsoids, the coordinate-system presets and the Gauss-Krüger
// projection (sixth-order series, scale 1 on the central meridian, no false
// easting).
//
// Angles enter and leave in decimal degrees; inside they are radians.
// Lengths are metres. The arithmetic is long double throughout and follows the
// written order of the series, because users compare stored results digit by
// digit.
//
// Accuracy (forward, latitudes 0-60 deg, the four preset ellipsoids, against an
// exact transverse Mercator): within 1.5 deg of the central meridian 0.01 mm,
// within 3 deg 0.2 mm, at 4.5 deg 2 mm, at 6 deg 15 mm (the truncated series).
// The inverse, as a distance on the ground: within 1.5 deg 0.01 mm, within
// 3 deg 0.5 mm, at 4.5 deg 8 mm, at 6 deg 50 mm. Checked against
// GeographicLib's TransverseMercatorProj and PROJ's exact tmerc.
#pragma once

#include <array>
#include <string>

namespace coordconv {

inline constexpr long double kPi = 3.141592653589793238462643383279502884L;
inline constexpr long double kDegreesToRadians = kPi / 180;
inline constexpr long double kRadiansToDegrees = 180 / kPi;

// One item of the coordinate-system list and the texts it puts into the a and
// 1/f boxes. The last item, "自定义", leaves the boxes as they are. The
// command line names an item by its number or by `option_name`; its help
// shows `option_gloss` beside the name where the name alone does not say it.
struct CoordinateSystemPreset {
    const char* name;
    const char* semi_major_axis_text;   // empty for the custom item
    const char* inverse_flattening_text;
    const char* option_name;
    const char* option_gloss;           // empty where the option name says it
};

inline constexpr auto kCoordinateSystemPresets = std::to_array<CoordinateSystemPreset>({
    {"1980西安坐标系", "6378140.0000000000", "298.257", "xian80", "1980西安"},
    {"2000国家大地坐标系", "6378137.0000000000", "298.257222101", "cgcs2000", "2000国家"},
    {"1954北京坐标系", "6378245.0000000000", "298.3", "beijing54", "1954北京"},
    {"WGS84大地坐标系", "6378137.0000000000", "298.257223563", "wgs84", ""},
    {"自定义", "", "", "custom", "自定义"},
});
inline constexpr int kCustomSystemIndex = static_cast<int>(kCoordinateSystemPresets.size()) - 1;

struct PlanePoint {
    long double x;  // northing, metres
    long double y;  // easting from the central meridian, metres
};

struct GeodeticOffset {
    long double latitude;   // B, decimal degrees
    long double longitude;  // l = L - L0, decimal degrees
};

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

// The numbers typed into the boxes "a=" (metres) and "f=1/", each read as a
// number (a text that is not a number raises CommandError). No arithmetic is
// done on them yet, so reading them cannot raise a floating-point fault.
struct EllipsoidNumbers {
    long double a;
    long double inverse_flattening;
};
EllipsoidNumbers ReadEllipsoidNumbers(const std::string& a, const std::string& inverse_flattening);

// Semi-major axis a (metres) and flattening f = 1 / (1/f), made only by
// MakeEllipsoidAxes, which checks them: a floating-point fault of the
// ellipsoid (a 1/f of 0) is reported there and then, as a CommandError. A
// command that reads more boxes before it checks makes the axes after them.
struct EllipsoidAxes {
    long double a;
    long double f;
};
EllipsoidAxes MakeEllipsoidAxes(const EllipsoidNumbers& numbers);

// Both steps at once: the ellipsoid is checked before any later box is read.
EllipsoidAxes ReadEllipsoid(const std::string& a, const std::string& inverse_flattening);

}  // namespace coordconv
