#include "tools/cad/settings.h"

#include <algorithm>

#include "core/ellipsoid.h"

namespace coordconv {
namespace {

constexpr const char* kSection = "CADBZBL";

// Every key of the section, in the order written.
template <class Keys, class Settings>
void GeodeticAnnotationKeys(Keys& keys, Settings& s) {
    keys.ListIndex("ZBX", s.system_index, static_cast<int>(kCoordinateSystemPresets.size()));
    keys.String("Xo", s.x_shift);
    keys.String("Yo", s.y_shift);
    keys.ListIndex("TYD", s.zone_index, 2);
    keys.String("FontHeight", s.font_height);
    keys.String("CircleR", s.circle_radius);
    keys.Integer("sDec", s.second_decimals);
    keys.Bool("bzCircle", s.draw_circle);
    keys.Bool("bzLine", s.draw_leader);
}

}  // namespace

GeodeticAnnotationSettings ReadGeodeticAnnotationSettings(const std::string& path) {
    const IniFile ini(path);
    GeodeticAnnotationSettings s;
    SettingsSectionReader keys(ini, kSection);
    GeodeticAnnotationKeys(keys, s);
    s.second_decimals = std::clamp(s.second_decimals, 0, 6);
    return s;
}

void WriteGeodeticAnnotationSettings(const std::string& path, const GeodeticAnnotationSettings& s) {
    IniFile ini(path);
    SettingsSectionWriter keys(ini, kSection);
    GeodeticAnnotationKeys(keys, s);
    ini.Save();
}

}  // namespace coordconv
