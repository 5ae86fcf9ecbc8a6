// Reference ellipsoids: the coordinate-system presets of the ellipsoid boxes
// and the reading of the boxes' texts a and 1/f. The projections on them are
// in core/gauss_kruger.h and core/utm.h.
#pragma once

#include <array>
#include <string>

namespace coordconv {

// One item of the coordinate-system list and the texts it puts into the a and
// 1/f boxes. The last item, "自定义", leaves the boxes as they are.
struct CoordinateSystemPreset {
    const char* name;
    const char* semi_major_axis_text;   // empty for the custom item
    const char* inverse_flattening_text;
};

inline constexpr int kCustomSystemIndex = 4;
inline constexpr std::array<CoordinateSystemPreset, 5> kCoordinateSystemPresets = {{
    {"1980西安坐标系", "6378140.0000000000", "298.257"},
    {"2000国家大地坐标系", "6378137.0000000000", "298.257222101"},
    {"1954北京坐标系", "6378245.0000000000", "298.3"},
    {"WGS84大地坐标系", "6378137.0000000000", "298.257223563"},
    {"自定义", "", ""},
}};

// Semi-major axis a (metres) and flattening f = 1 / (1/f) as read from the
// texts of the boxes "a=" and "f=1/". A text that is not a number raises
// CommandError; a 1/f of 0 only sets the division-by-zero flag, for the
// caller's next check.
struct EllipsoidAxes {
    long double a;
    long double f;
};
EllipsoidAxes ReadEllipsoidTexts(const std::string& a, const std::string& inverse_flattening);

// The same, and a floating-point fault of the ellipsoid (a 1/f of 0) is
// reported at once, before any later box is read.
EllipsoidAxes ReadEllipsoid(const std::string& a, const std::string& inverse_flattening);

}  // namespace coordconv
