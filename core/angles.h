// π and the factors between degrees and radians, in long double.
#pragma once

namespace coordconv {

inline constexpr long double kPi = 3.141592653589793238462643383279502884L;
inline constexpr long double kDegreesToRadians = kPi / 180;
inline constexpr long double kRadiansToDegrees = 180 / kPi;

}  // namespace coordconv
