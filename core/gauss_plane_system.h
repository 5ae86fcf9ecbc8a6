// A Gauss-Krüger plane coordinate system as its four settings are typed: the
// ellipsoid's a and 1/f, the central meridian and the Y constant. The
// projection windows and both sides of a datum transformation read it alike.
#pragma once

#include <string>

namespace coordconv {

struct GaussPlaneSystem {
    long double a;                 // semi-major axis, metres
    long double f;                 // flattening, 1 / (1/f text)
    long double central_meridian;  // decimal degrees
    long double y_constant;        // false easting, metres (a zone number in its millions allowed)
};

// Reads the texts in the order a, 1/f, central meridian (packed ddd.mmss),
// Y constant; a text that is not a number fails at its turn (CommandError).
// The ellipsoid is made and checked (MakeEllipsoidAxes) after all four are
// read, so a 1/f of 0 is reported only when every text is a number.
GaussPlaneSystem ReadGaussPlaneSystem(const std::string& a, const std::string& inverse_flattening,
                                      const std::string& central_meridian, const std::string& y_constant);

}  // namespace coordconv
