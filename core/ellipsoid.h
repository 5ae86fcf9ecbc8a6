// Reference ellipsoids: the coordinate-system presets of the ellipsoid boxes
// and the reading of the boxes' texts a and 1/f. The projections on them are
// in core/gauss_kruger.h and core/utm.h.
#pragma once

#include <array>
#include <string>

namespace coordconv {

// One item of the coordinate-system list and the texts it puts into the a and
// 1/f boxes. The last item, "自定义", leaves the boxes as they are. The
// command line names an item by its number or by `option_name`; its help
// shows `option_gloss` beside the name where the name alone does not say it.
struct CoordinateSystemPreset {
    const char* name;
    const char* semi_major_axis_text;   // empty for the custom item
    const char* inverse_flattening_text;
    const char* option_name;
    const char* option_gloss;           // empty where the option name says it
};

inline constexpr auto kCoordinateSystemPresets = std::to_array<CoordinateSystemPreset>({
    {"1980西安坐标系", "6378140.0000000000", "298.257", "xian80", "1980西安"},
    {"2000国家大地坐标系", "6378137.0000000000", "298.257222101", "cgcs2000", "2000国家"},
    {"1954北京坐标系", "6378245.0000000000", "298.3", "beijing54", "1954北京"},
    {"WGS84大地坐标系", "6378137.0000000000", "298.257223563", "wgs84", ""},
    {"自定义", "", "", "custom", "自定义"},
});
inline constexpr int kCustomSystemIndex = static_cast<int>(kCoordinateSystemPresets.size()) - 1;

// The numbers typed into the boxes "a=" (metres) and "f=1/", each read as a
// number (a text that is not a number raises CommandError). No arithmetic is
// done on them yet, so reading them cannot raise a floating-point fault.
struct EllipsoidNumbers {
    long double a;
    long double inverse_flattening;
};
EllipsoidNumbers ReadEllipsoidNumbers(const std::string& a, const std::string& inverse_flattening);

// Semi-major axis a (metres) and flattening f = 1 / (1/f), made only by
// MakeEllipsoidAxes, which checks them: a floating-point fault of the
// ellipsoid (a 1/f of 0) is reported there and then, as a CommandError. A
// command that reads more boxes before it checks makes the axes after them.
struct EllipsoidAxes {
    long double a;
    long double f;
};
EllipsoidAxes MakeEllipsoidAxes(const EllipsoidNumbers& numbers);

// Both steps at once: the ellipsoid is checked before any later box is read.
EllipsoidAxes ReadEllipsoid(const std::string& a, const std::string& inverse_flattening);

}  // namespace coordconv
