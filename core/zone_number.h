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

// A false easting c (metres) as the inverse conversions take it: the zone
// number that a constant copied from a forward window carries (39 500 000 m)
// is dropped like that of the eastings, so 39 500 000 and 500 000 both
// subtract 500 000 from an easting whose zone number is already gone.
inline long double FalseEastingWithoutZone(long double false_easting) {
    return false_easting - 1000000 * ZoneNumber(false_easting);
}

}  // namespace coordconv
