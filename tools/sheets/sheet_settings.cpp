#include "tools/sheets/sheet_settings.h"

#include "tools/sheets/sheet_scales.h"

namespace coordconv {

TfhSettings ReadTfhSettings(const std::string& path) {
    const IniFile ini(path);
    const TfhSettings defaults;
    TfhSettings s;
    s.by_new_form = ini.ReadBool("TFH", "BYNEWTFH", defaults.by_new_form);
    s.input_old_form = ini.ReadBool("TFH", "INPOLDTFH", defaults.input_old_form);
    s.x_shift = ini.ReadString("TFH", "Xo", defaults.x_shift);
    s.y_shift = ini.ReadString("TFH", "Yo", defaults.y_shift);
    s.system_index = ini.ReadListIndex("TFH", "TQT", 5, defaults.system_index);
    s.zone_index = ini.ReadListIndex("TFH", "TYD", 2, defaults.zone_index);
    return s;
}

void WriteTfhSettings(const std::string& path, const TfhSettings& s) {
    IniFile ini(path);
    ini.WriteBool("TFH", "BYNEWTFH", s.by_new_form);
    ini.WriteBool("TFH", "INPOLDTFH", s.input_old_form);
    ini.WriteString("TFH", "Xo", s.x_shift);
    ini.WriteString("TFH", "Yo", s.y_shift);
    ini.WriteInteger("TFH", "TQT", s.system_index);
    ini.WriteInteger("TFH", "TYD", s.zone_index);
    ini.Save();
}

TfhScaleSettings ReadTfhScaleSettings(const std::string& path) {
    const IniFile ini(path);
    TfhScaleSettings s;
    const int denominator = ini.ReadInteger("TFH", "SCALE", static_cast<int>(s.scale));
    for (const SheetScale& scale : kSheetScales)
        if (scale.denominator == denominator) s.scale = denominator;
    s.rectangular = ini.ReadBool("TFH", "RECT", s.rectangular) && (s.scale == 500 || s.scale == 1000 || s.scale == 2000);
    return s;
}

void WriteTfhScaleSettings(const std::string& path, const TfhScaleSettings& s) {
    IniFile ini(path);
    ini.WriteInteger("TFH", "SCALE", static_cast<int>(s.scale));
    ini.WriteBool("TFH", "RECT", s.rectangular);
    ini.Save();
}

}  // namespace coordconv
