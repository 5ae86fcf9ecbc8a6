#include "tools/cad/settings.h"

#include <algorithm>

namespace coordconv {

BzblSettings ReadBzblSettings(const std::string& path) {
    const IniFile ini(path);
    const BzblSettings defaults;
    BzblSettings s;
    s.system_index = ini.ReadListIndex("CADBZBL", "ZBX", 5, defaults.system_index);
    s.x_shift = ini.ReadString("CADBZBL", "Xo", defaults.x_shift);
    s.y_shift = ini.ReadString("CADBZBL", "Yo", defaults.y_shift);
    s.zone_index = ini.ReadListIndex("CADBZBL", "TYD", 2, defaults.zone_index);
    s.font_height = ini.ReadString("CADBZBL", "FontHeight", defaults.font_height);
    s.circle_radius = ini.ReadString("CADBZBL", "CircleR", defaults.circle_radius);
    s.second_decimals = std::clamp(ini.ReadInteger("CADBZBL", "sDec", defaults.second_decimals), 0, 6);
    s.draw_circle = ini.ReadBool("CADBZBL", "bzCircle", defaults.draw_circle);
    s.draw_leader = ini.ReadBool("CADBZBL", "bzLine", defaults.draw_leader);
    return s;
}

void WriteBzblSettings(const std::string& path, const BzblSettings& s) {
    IniFile ini(path);
    ini.WriteInteger("CADBZBL", "ZBX", s.system_index);
    ini.WriteString("CADBZBL", "Xo", s.x_shift);
    ini.WriteString("CADBZBL", "Yo", s.y_shift);
    ini.WriteInteger("CADBZBL", "TYD", s.zone_index);
    ini.WriteString("CADBZBL", "FontHeight", s.font_height);
    ini.WriteString("CADBZBL", "CircleR", s.circle_radius);
    ini.WriteInteger("CADBZBL", "sDec", s.second_decimals);
    ini.WriteBool("CADBZBL", "bzCircle", s.draw_circle);
    ini.WriteBool("CADBZBL", "bzLine", s.draw_leader);
    ini.Save();
}

}  // namespace coordconv
