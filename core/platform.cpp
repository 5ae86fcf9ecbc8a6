#include "core/platform.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <locale.h>
#endif

namespace coordconv {

#ifdef _WIN32

// mingw-w64's strtold reads the decimal point of the runtime's current
// locale and has no per-call locale; the "." is put in that locale's spelling
// before reading, and the end is mapped back onto the caller's text.
long double ReadDecimalLongDouble(const char* text, const char** end) {
    const char* const point = std::localeconv()->decimal_point;
    const std::string local_point = (point != nullptr && *point != '\0') ? point : ".";
    const char* const dot = std::strchr(text, '.');
    if (dot == nullptr || local_point == ".") {
        char* stop = nullptr;
        const long double value = std::strtold(text, &stop);
        *end = stop;
        return value;
    }
    const std::size_t dot_offset = static_cast<std::size_t>(dot - text);
    std::string local(text, dot_offset);
    local += local_point;
    local += dot + 1;
    char* stop = nullptr;
    const long double value = std::strtold(local.c_str(), &stop);
    std::size_t read = static_cast<std::size_t>(stop - local.c_str());
    if (read > dot_offset) read = read < dot_offset + local_point.size() ? dot_offset : read - local_point.size() + 1;
    *end = text + read;
    return value;
}

#else

// glibc reads under an explicit "C" locale object, created once.
long double ReadDecimalLongDouble(const char* text, const char** end) {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* stop = nullptr;
    const long double value = strtold_l(text, &stop, classic);
    *end = stop;
    return value;
}

#endif

}  // namespace coordconv
