// The few calls that differ between the C runtimes the program is built on
// (glibc on Linux, mingw-w64's on Windows). Nothing else in the program calls
// locale- or file-system-specific functions of the C library.
#pragma once

#include <limits>

namespace coordconv {

// Every computation is carried in the x87 80-bit format (64-bit mantissa);
// a compiler whose long double is the 64-bit double would change the digits.
static_assert(std::numeric_limits<long double>::digits == 64, "long double must be the 80-bit extended format");

// strtold on `text` with "." as the decimal point whatever locale the C
// runtime has been set to (a desktop program runs in the user's locale, where
// the decimal point may be ","). `end` receives the first byte not read.
// Correctly rounded to the 64-bit mantissa.
long double ReadDecimalLongDouble(const char* text, const char** end);

}  // namespace coordconv
