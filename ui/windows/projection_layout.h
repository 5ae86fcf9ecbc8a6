// Table titles of the projection windows, and the resize arithmetic that
// differs from the common rule of the conversion windows (left group
// trunc((W - 13) / 2), columns trunc((table width - 34) * share) with the
// shares 0.18, 0.41, 0.41).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ui/kit/conversion_window.h"

namespace coordconv {

// Titles of a table of geodetic points (B, L as ddd.mmss) and of plane points
// (x, y in metres).
inline const std::vector<std::string> kGeodeticTitles = {"点号", "纬度B(dms)", "经度L(dms)"};
inline const std::vector<std::string> kPlaneTitles = {"点号", "纵坐标x(m)", "横坐标y(m)"};

// Column shares of the compensation height plane window's two tables.
inline constexpr std::array<long double, 3> kCompensationColumnShares = {0.20L, 0.40L, 0.40L};

// Zone change window, both left groups (old zone parameters "原投影带参数"
// and old zone table "原投影带坐标(x,y)") for an outer window width W:
// (W - 13) / 2 rounded to the nearest integer, an exact half to the even
// neighbour (W = 700 gives 344, W = 704 gives 346); the right groups take
// the rest.
int ZoneChangeLeftGroupWidth(int window_width);

// The layout of a window converting geodetic B,L ("大地坐标(B,L)") to plane x,y
// ("平面坐标(x,y)") when `forward`, or back: the Gauss and UTM windows.
ConversionWindowLayout GeodeticPlaneLayout(const std::string& caption, bool forward, int width, int height);

}  // namespace coordconv
