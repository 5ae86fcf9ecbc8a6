#include "core/ellipsoid.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

EllipsoidAxes ReadEllipsoidTexts(const std::string& a, const std::string& inverse_flattening) {
    EllipsoidAxes axes{};
    axes.a = TextToNumber(a);
    axes.f = 1 / TextToNumber(inverse_flattening);
    return axes;
}

EllipsoidAxes ReadEllipsoid(const std::string& a, const std::string& inverse_flattening) {
    const EllipsoidAxes axes = ReadEllipsoidTexts(a, inverse_flattening);
    RaiseFloatingPointErrors();
    return axes;
}

}  // namespace coordconv
