#include "core/coordinate_system.h"

#include <cmath>

#include "core/zone_number.h"

namespace coordconv {

CoordinateSystem GeodeticSystem(long double a, long double f) {
    CoordinateSystem system;
    system.kind = CoordinateKind::Geodetic;
    system.a = a;
    // A sphere (f = 0) has no finite 1/f; 0 stands for it as in the boxes.
    system.inverse_flattening = f != 0 ? 1 / f : 0;
    return system;
}

CoordinateSystem GaussKrugerSystem(long double a, long double f, long double central_meridian, long double y_constant) {
    CoordinateSystem system = GeodeticSystem(a, f);
    system.kind = CoordinateKind::Plane;
    system.central_meridian = central_meridian;
    system.scale_factor = 1;
    // Zone numbers have two digits; a Y constant of more than a billion
    // metres is kept whole as the false easting rather than cut into an int.
    const long double zone = ZoneNumber(y_constant);
    if (std::fabs(zone) < 1000) {
        system.zone_number = static_cast<int>(zone);
        system.false_easting = FalseEastingWithoutZone(y_constant);
    } else {
        system.false_easting = y_constant;
    }
    system.false_northing = 0;
    return system;
}

}  // namespace coordconv
