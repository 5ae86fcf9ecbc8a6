// The remembered choices of the map sheet window (section "TFH") in the
// settings file (table/settings_file.h).
#pragma once

#include <string>

#include "table/settings_file.h"

namespace coordconv {

// Section "TFH": the map sheet window TFormTFH.
struct TfhSettings {
    bool by_new_form = true;       // BYNEWTFH: RadioButton1 (RadioButton2 the opposite)
    bool input_old_form = true;    // INPOLDTFH: RadioButton3 (RadioButton4 the opposite)
    std::string x_shift = "0";     // Xo: EditXX
    std::string y_shift = "0";     // Yo: EditYY
    int system_index = 0;          // TQT: ComboBox1, 0..4
    int zone_index = 0;            // TYD: ComboBox2, 0 "3度带", 1 "6度带"
};

// Choices added to the window after its first version, kept in new keys of
// section "TFH" so the first version's keys stay as they were.
struct TfhScaleSettings {
    long scale = 10000;        // SCALE: the scale drop-down, as the denominator N of 1:N
    bool rectangular = false;  // RECT: the 50 cm rectangular sheets of that scale (1:500..1:2000)
};

// Read when the window is created. A list index outside its list reads as the
// default.
TfhSettings ReadTfhSettings(const std::string& path);

// Written when the window is destroyed, all keys in the order above.
void WriteTfhSettings(const std::string& path, const TfhSettings& settings);

// The added keys; a scale the series lacks reads as 1:10,000.
TfhScaleSettings ReadTfhScaleSettings(const std::string& path);
void WriteTfhScaleSettings(const std::string& path, const TfhScaleSettings& settings);

}  // namespace coordconv
