// Zone numbers in plane eastings. A Gauss-Krüger easting may carry the
// number of its zone in its millions (38 500 000 m: zone 38, 500 000 m); the
// inverse conversions drop it before they take off the false easting, and no
// conversion writes one.
#pragma once

#include <cmath>

namespace coordconv {

// The zone number carried by easting y (metres): trunc(y / 1 000 000).
inline long double ZoneNumber(long double y) { return std::trunc(y / 1000000); }

// Easting y (metres) without its zone number and without the false easting
// c (metres): y − 1 000 000 · trunc(y / 1 000 000) − c.
inline long double StripZoneAndFalseEasting(long double y, long double false_easting) {
    return y - 1000000 * ZoneNumber(y) - false_easting;
}

}  // namespace coordconv
