#include "core/ellipsoid.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

EllipsoidNumbers ReadEllipsoidNumbers(const std::string& a, const std::string& inverse_flattening) {
    EllipsoidNumbers numbers{};
    numbers.a = TextToNumber(a);
    numbers.inverse_flattening = TextToNumber(inverse_flattening);
    return numbers;
}

EllipsoidAxes MakeEllipsoidAxes(const EllipsoidNumbers& numbers) {
    EllipsoidAxes axes{};
    axes.a = numbers.a;
    axes.f = 1 / numbers.inverse_flattening;
    RaiseFloatingPointErrors();
    return axes;
}

EllipsoidAxes ReadEllipsoid(const std::string& a, const std::string& inverse_flattening) {
    return MakeEllipsoidAxes(ReadEllipsoidNumbers(a, inverse_flattening));
}

}  // namespace coordconv
