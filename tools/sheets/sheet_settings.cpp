#include "tools/sheets/sheet_settings.h"

#include "core/ellipsoid.h"
#include "tools/sheets/sheet_scales.h"

namespace coordconv {
namespace {

constexpr const char* kSection = "TFH";

// The keys of the window's first version, in the order written.
template <class Keys, class Settings>
void MapSheetKeys(Keys& keys, Settings& s) {
    keys.Bool("BYNEWTFH", s.by_new_form);
    keys.Bool("INPOLDTFH", s.input_old_form);
    keys.String("Xo", s.x_shift);
    keys.String("Yo", s.y_shift);
    keys.ListIndex("TQT", s.system_index, static_cast<int>(kCoordinateSystemPresets.size()));
    keys.ListIndex("TYD", s.zone_index, 2);
}

// The keys added later, in the order written.
template <class Keys, class Settings>
void MapSheetScaleKeys(Keys& keys, Settings& s) {
    keys.Integer("SCALE", s.scale);
    keys.Bool("RECT", s.rectangular);
}

}  // namespace

MapSheetSettings ReadMapSheetSettings(const std::string& path) {
    const IniFile ini(path);
    MapSheetSettings s;
    SettingsSectionReader keys(ini, kSection);
    MapSheetKeys(keys, s);
    return s;
}

void WriteMapSheetSettings(const std::string& path, const MapSheetSettings& s) {
    IniFile ini(path);
    SettingsSectionWriter keys(ini, kSection);
    MapSheetKeys(keys, s);
    ini.Save();
}

MapSheetScaleSettings ReadMapSheetScaleSettings(const std::string& path) {
    const IniFile ini(path);
    const MapSheetScaleSettings defaults;
    MapSheetScaleSettings s;
    SettingsSectionReader keys(ini, kSection);
    MapSheetScaleKeys(keys, s);
    bool in_series = false;
    for (const SheetScale& scale : kSheetScales) in_series = in_series || scale.denominator == s.scale;
    if (!in_series) s.scale = defaults.scale;
    s.rectangular = s.rectangular && (s.scale == 500 || s.scale == 1000 || s.scale == 2000);
    return s;
}

void WriteMapSheetScaleSettings(const std::string& path, const MapSheetScaleSettings& s) {
    IniFile ini(path);
    SettingsSectionWriter keys(ini, kSection);
    MapSheetScaleKeys(keys, s);
    ini.Save();
}

}  // namespace coordconv
