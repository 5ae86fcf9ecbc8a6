// The remembered choices of the map sheet window (section "TFH") in the
// settings file (table/settings_file.h).
#pragma once

#include <string>

#include "table/settings_file.h"

namespace coordconv {

// Section "TFH": the map sheet window; each field's key first.
struct MapSheetSettings {
    bool by_new_form = true;       // BYNEWTFH: sheet numbers shown in the new form (else the old)
    bool input_old_form = true;    // INPOLDTFH: a typed sheet number is read in the old form (else the new)
    std::string x_shift = "0";     // Xo: added to the plane x
    std::string y_shift = "0";     // Yo: added to the plane y
    int system_index = 0;          // TQT: the coordinate system preset, 0..4
    int zone_index = 0;            // TYD: zone width, 0 "3度带", 1 "6度带"
};

// Choices added to the window after its first version, kept in new keys of
// section "TFH" so the first version's keys stay as they were.
struct MapSheetScaleSettings {
    long scale = 10000;        // SCALE: the scale drop-down, as the denominator N of 1:N
    bool rectangular = false;  // RECT: the 50 cm rectangular sheets of that scale (1:500..1:2000)
};

// Read when the window is created. A list index outside its list reads as the
// default.
MapSheetSettings ReadMapSheetSettings(const std::string& path);

// Written when the window is destroyed, all keys in the order above.
void WriteMapSheetSettings(const std::string& path, const MapSheetSettings& settings);

// The added keys; a scale the series lacks reads as 1:10,000.
MapSheetScaleSettings ReadMapSheetScaleSettings(const std::string& path);
void WriteMapSheetScaleSettings(const std::string& path, const MapSheetScaleSettings& settings);

}  // namespace coordconv
