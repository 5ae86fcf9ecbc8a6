// The remembered choices of the geodetic annotation window (section
// "CADBZBL") in the settings file (table/settings_file.h).
#pragma once

#include <string>

#include "table/settings_file.h"

namespace coordconv {

// Section "CADBZBL": the geodetic annotation window; each field's key first.
struct GeodeticAnnotationSettings {
    int system_index = 0;              // ZBX: the coordinate system preset, 0..4
    std::string x_shift = "0";         // Xo: added to the drawing's northing
    std::string y_shift = "0";         // Yo: added to the drawing's easting
    int zone_index = 0;                // TYD: zone width, 0 "3度带", 1 "6度带"
    std::string font_height = "6";     // FontHeight: label text height
    std::string circle_radius = "2.4"; // CircleR: radius of the point's dot
    int second_decimals = 0;           // sDec: decimals of the seconds, 0..6
    bool draw_circle = true;           // bzCircle: draw the dot
    bool draw_leader = false;          // bzLine: draw the leader
};

// Read when the window is created. A list index outside its list reads as the
// default; the decimals are brought into 0..6 as the spin edit does.
GeodeticAnnotationSettings ReadGeodeticAnnotationSettings(const std::string& path);

// Written when the window is destroyed, all keys in the order above.
void WriteGeodeticAnnotationSettings(const std::string& path, const GeodeticAnnotationSettings& settings);

}  // namespace coordconv
