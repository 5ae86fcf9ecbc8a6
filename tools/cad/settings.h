// The remembered choices of the geodetic annotation window (section
// "CADBZBL") in the settings file (table/settings_file.h).
#pragma once

#include <string>

#include "table/settings_file.h"

namespace coordconv {

// Section "CADBZBL": the geodetic annotation window TFormBZBL.
struct BzblSettings {
    int system_index = 0;              // ZBX: ComboBox1, 0..4
    std::string x_shift = "0";         // Xo: EditXX
    std::string y_shift = "0";         // Yo: EditYY
    int zone_index = 0;                // TYD: ComboBox2, 0 "3度带", 1 "6度带"
    std::string font_height = "6";     // FontHeight: EditTxtH
    std::string circle_radius = "2.4"; // CircleR: EditCR
    int second_decimals = 0;           // sDec: SpinEdit1, 0..6
    bool draw_circle = true;           // bzCircle: CheckBox1
    bool draw_leader = false;          // bzLine: CheckBox2
};

// Read when the window is created. A list index outside its list reads as the
// default; the decimals are brought into 0..6 as the spin edit does.
BzblSettings ReadBzblSettings(const std::string& path);

// Written when the window is destroyed, all keys in the order above.
void WriteBzblSettings(const std::string& path, const BzblSettings& settings);

}  // namespace coordconv
