#include "core/gauss_plane_system.h"

#include "core/ellipsoid.h"
#include "core/number_text.h"

namespace coordconv {

GaussPlaneSystem ReadGaussPlaneSystem(const std::string& a, const std::string& inverse_flattening,
                                      const std::string& central_meridian, const std::string& y_constant) {
    GaussPlaneSystem system{};
    const EllipsoidNumbers numbers = ReadEllipsoidNumbers(a, inverse_flattening);
    system.central_meridian = DmsTextToDegrees(central_meridian);
    system.y_constant = TextToNumber(y_constant);
    const EllipsoidAxes axes = MakeEllipsoidAxes(numbers);
    system.a = axes.a;
    system.f = axes.f;
    return system;
}

}  // namespace coordconv
