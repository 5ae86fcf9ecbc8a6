#include "tools/sheets/sheet_settings.h"

#include "core/ellipsoid.h"
#include "tools/sheets/sheet_scales.h"

namespace coordconv {
namespace {

constexpr const char* kSection = "TFH";

// The keys of the window's first version, in the order written.
template <class Keys, class Settings>
void TfhKeys(Keys& keys, Settings& s) {
    keys.Bool("BYNEWTFH", s.by_new_form);
    keys.Bool("INPOLDTFH", s.input_old_form);
    keys.String("Xo", s.x_shift);
    keys.String("Yo", s.y_shift);
    keys.ListIndex("TQT", s.system_index, static_cast<int>(kCoordinateSystemPresets.size()));
    keys.ListIndex("TYD", s.zone_index, 2);
}

// The keys added later, in the order written.
template <class Keys, class Settings>
void TfhScaleKeys(Keys& keys, Settings& s) {
    keys.Integer("SCALE", s.scale);
    keys.Bool("RECT", s.rectangular);
}

}  // namespace

TfhSettings ReadTfhSettings(const std::string& path) {
    const IniFile ini(path);
    TfhSettings s;
    SettingsSectionReader keys(ini, kSection);
    TfhKeys(keys, s);
    return s;
}

void WriteTfhSettings(const std::string& path, const TfhSettings& s) {
    IniFile ini(path);
    SettingsSectionWriter keys(ini, kSection);
    TfhKeys(keys, s);
    ini.Save();
}

TfhScaleSettings ReadTfhScaleSettings(const std::string& path) {
    const IniFile ini(path);
    const TfhScaleSettings defaults;
    TfhScaleSettings s;
    SettingsSectionReader keys(ini, kSection);
    TfhScaleKeys(keys, s);
    bool in_series = false;
    for (const SheetScale& scale : kSheetScales) in_series = in_series || scale.denominator == s.scale;
    if (!in_series) s.scale = defaults.scale;
    s.rectangular = s.rectangular && (s.scale == 500 || s.scale == 1000 || s.scale == 2000);
    return s;
}

void WriteTfhScaleSettings(const std::string& path, const TfhScaleSettings& s) {
    IniFile ini(path);
    SettingsSectionWriter keys(ini, kSection);
    TfhScaleKeys(keys, s);
    ini.Save();
}

}  // namespace coordconv
