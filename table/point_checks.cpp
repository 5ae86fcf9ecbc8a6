#include "table/point_checks.h"

#include <cmath>
#include <map>
#include <utility>

#include "core/errors.h"
#include "core/number_text.h"
#include "core/zone_number.h"
#include "table/point_file_layout.h"

namespace coordconv {

namespace {

constexpr long double kMinLatitude = 3, kMaxLatitude = 54;
constexpr long double kMinLongitude = 73, kMaxLongitude = 136;

// The cell's number, or nothing for a text that is no number.
std::optional<long double> NumberOf(const std::string& text) {
    try {
        const long double value = TextToNumber(text);
        if (!std::isfinite(value)) return std::nullopt;
        return value;
    } catch (const CommandError&) {
        return std::nullopt;
    }
}

int ColumnOf(const std::vector<std::string>& roles, const char* role) {
    for (std::size_t i = 0; i < roles.size(); ++i)
        if (roles[i] == role) return static_cast<int>(i);
    return -1;
}

// A northing carried into the easting column: millions 1 to 12 are no zone
// number of China (its northings reach 6 000 km).
bool LooksLikeNorthing(long double y) { return y >= 1000000 && y < 13000000; }
// An easting with a zone number of China in the northing column.
bool LooksLikeEastingWithZone(long double x) { return x >= 13000000 && x < 46000000; }

// Minutes of 60 or more, or seconds of 60 or more beyond the hair the
// program's own DegreesToDms leaves (30.2960000000 for 30°30′): a packed
// text that is really decimal degrees.
bool HasMinutesOrSecondsOf60(const std::string& cell) {
    const std::string_view text = TrimBlanks(cell);
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) return false;
    std::string decimals;
    for (std::size_t i = dot + 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;  // an exponent: not judged
        decimals.push_back(text[i]);
    }
    while (decimals.size() < 4) decimals.push_back('0');
    const int minutes = (decimals[0] - '0') * 10 + (decimals[1] - '0');
    if (minutes >= 60) return true;
    const long double seconds = std::stold("0" + decimals.substr(2, 2) + "." + decimals.substr(4));
    return seconds >= 60.001L;
}

std::string DegreesText(long double degrees) {
    std::string text = FormatFixed(degrees, 4);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text + "°";
}

// A number with the decimals the text `like` had.
std::string WithDecimalsOf(long double value, const std::string& like) {
    const std::string_view text = TrimBlanks(like);
    const std::size_t dot = text.find('.');
    const int decimals = dot == std::string_view::npos ? 0 : static_cast<int>(text.size() - dot - 1);
    return FormatFixed(value, decimals);
}

class Collector {
public:
    void Add(int row, const std::string& what, const std::string& fix_text, PointFix fix) {
        auto& entry = entries_[what];
        if (entry.rows.empty()) order_.push_back(what);
        entry.rows.push_back(row);
        entry.fix_text = fix_text;
        entry.fix = fix;
    }
    std::vector<PlausibilityWarning> Warnings() const {
        std::vector<PlausibilityWarning> warnings;
        for (const std::string& what : order_) {
            const Entry& e = entries_.at(what);
            PlausibilityWarning w;
            w.rows = e.rows;
            w.fix = e.fix;
            w.text = "第" + RowListText(e.rows) + "行: " + what + "; " + e.fix_text;
            warnings.push_back(std::move(w));
        }
        return warnings;
    }

private:
    struct Entry {
        std::vector<int> rows;
        std::string fix_text;
        PointFix fix = PointFix::None;
    };
    std::map<std::string, Entry> entries_;
    std::vector<std::string> order_;
};

std::string ZoneText(long double zone) { return std::to_string(static_cast<long long>(zone)); }

}  // namespace

PlausibilitySettings ReadPlausibilitySettings(const std::string& central_meridian, const std::string& y_constant,
                                              const std::string& x_constant, bool gauss_zones) {
    PlausibilitySettings settings;
    settings.gauss_zones = gauss_zones;
    if (NumberOf(central_meridian)) settings.central_meridian = DmsTextToDegrees(central_meridian);
    settings.y_constant = NumberOf(y_constant);
    settings.x_constant = NumberOf(x_constant).value_or(0);
    return settings;
}

std::optional<long double> ZoneMeridian(long double zone) {
    if (zone >= 13 && zone <= 23) return 6 * zone - 3;
    if (zone >= 24 && zone <= 45) return 3 * zone;
    return std::nullopt;
}

std::vector<PlausibilityWarning> CheckPointRows(const std::vector<std::vector<std::string>>& rows,
                                                const std::vector<std::string>& roles,
                                                const PlausibilitySettings& settings) {
    Collector found;
    const int x_col = ColumnOf(roles, "x");
    const int y_col = ColumnOf(roles, "y");
    const int b_col = ColumnOf(roles, "B");
    const int l_col = ColumnOf(roles, "L");
    const bool has_constant = settings.y_constant.has_value();
    const long double constant_zone = has_constant ? ZoneNumber(*settings.y_constant) : 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        const std::vector<std::string>& cells = rows[r];
        auto cell = [&](int col) -> const std::string& {
            static const std::string empty;
            return col >= 0 && static_cast<std::size_t>(col) < cells.size() ? cells[static_cast<std::size_t>(col)] : empty;
        };
        // Plane coordinates.
        const std::optional<long double> x = x_col >= 0 ? NumberOf(cell(x_col)) : std::nullopt;
        const std::optional<long double> y = y_col >= 0 ? NumberOf(cell(y_col)) : std::nullopt;
        bool swapped = false;
        if (x && y) {
            const long double northing = *x - settings.x_constant;
            swapped = LooksLikeEastingWithZone(northing) ||
                      (LooksLikeNorthing(*y) && northing >= 0 && northing < 1000000);
            if (swapped)
                found.Add(row, "纵坐标x与横坐标y像是对调了(横坐标列中是纵坐标)", "改正: 对调x和y", PointFix::SwapXY);
        }
        if (y && !swapped && *y >= 0) {
            const long double zone = ZoneNumber(*y);
            if (has_constant && constant_zone > 0 && zone == 0) {
                found.Add(row, "横坐标y没有带号, 而Y坐标加常数带有带号" + ZoneText(constant_zone),
                          "改正: 加上带号" + ZoneText(constant_zone), PointFix::AddZoneNumber);
            } else if (has_constant && constant_zone == 0 && zone > 0 && !LooksLikeNorthing(*y)) {
                found.Add(row, "横坐标y带有带号" + ZoneText(zone) + ", 而Y坐标加常数没有带号", "改正: 去掉带号",
                          PointFix::RemoveZoneNumber);
            } else if (has_constant && constant_zone > 0 && zone > 0 && zone != constant_zone) {
                found.Add(row, "横坐标y的带号" + ZoneText(zone) + "与Y坐标加常数的带号" + ZoneText(constant_zone) + "不符",
                          "改正: Y坐标加常数改用带号" + ZoneText(zone), PointFix::None);
            }
            if (settings.gauss_zones && settings.central_meridian && zone > 0) {
                const std::optional<long double> meridian = ZoneMeridian(zone);
                if (meridian && std::fabs(*meridian - *settings.central_meridian) > 1e-9L)
                    found.Add(row,
                              "横坐标y的带号" + ZoneText(zone) + "属于中央子午线" + DegreesText(*meridian) +
                                  ", 与中央子午线" + DegreesText(*settings.central_meridian) + "不符",
                              "改正: 中央子午线改为" + DegreesText(*meridian), PointFix::None);
            }
        }
        // Latitude and longitude (packed ddd.mmss texts).
        bool sixty = false;
        for (const int col : {b_col, l_col})
            if (col >= 0 && HasMinutesOrSecondsOf60(cell(col))) sixty = true;
        if (sixty)
            found.Add(row, "度分秒(ddd.mmss)的分或秒不小于60, 像是十进制度", "改正: 按十进制度读",
                      PointFix::ReadAsDecimalDegrees);
        std::optional<long double> b, l;
        if (b_col >= 0 && NumberOf(cell(b_col))) b = DmsTextToDegrees(cell(b_col));
        if (l_col >= 0 && NumberOf(cell(l_col))) l = DmsTextToDegrees(cell(l_col));
        auto in = [](std::optional<long double> v, long double low, long double high) {
            return v && *v >= low && *v <= high;
        };
        if (b && l && in(b, kMinLongitude, kMaxLongitude) && in(l, kMinLatitude, kMaxLatitude)) {
            found.Add(row, "纬度B与经度L像是对调了", "改正: 对调B和L", PointFix::SwapBL);
        } else if (!sixty && ((b && !in(b, kMinLatitude, kMaxLatitude)) || (l && !in(l, kMinLongitude, kMaxLongitude)))) {
            found.Add(row, "纬度B或经度L在中国范围(B 3°至54°, L 73°至136°)以外", "请检查这些点的纬度和经度",
                      PointFix::None);
        }
    }
    return found.Warnings();
}

void ApplyPointFix(const PlausibilityWarning& warning, const std::vector<std::string>& roles,
                   const PlausibilitySettings& settings, std::vector<std::vector<std::string>>& rows) {
    const int x_col = ColumnOf(roles, "x");
    const int y_col = ColumnOf(roles, "y");
    const int b_col = ColumnOf(roles, "B");
    const int l_col = ColumnOf(roles, "L");
    auto at = [&](std::size_t r, int col) -> std::string* {
        if (r >= rows.size() || col < 0 || static_cast<std::size_t>(col) >= rows[r].size()) return nullptr;
        return &rows[r][static_cast<std::size_t>(col)];
    };
    if (warning.fix == PointFix::ReadAsDecimalDegrees) {
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (const int col : {b_col, l_col})
                if (std::string* c = at(r, col)) *c = AngleToPackedText(*c, AngleForm::DecimalDegrees);
        return;
    }
    for (const int row : warning.rows) {
        const std::size_t r = static_cast<std::size_t>(row - 1);
        switch (warning.fix) {
            case PointFix::SwapXY:
                if (at(r, x_col) && at(r, y_col)) std::swap(*at(r, x_col), *at(r, y_col));
                break;
            case PointFix::SwapBL:
                if (at(r, b_col) && at(r, l_col)) std::swap(*at(r, b_col), *at(r, l_col));
                break;
            case PointFix::AddZoneNumber:
            case PointFix::RemoveZoneNumber:
                if (std::string* c = at(r, y_col)) {
                    const std::optional<long double> y = NumberOf(*c);
                    if (!y) break;
                    const long double zone = warning.fix == PointFix::AddZoneNumber
                                                 ? ZoneNumber(settings.y_constant.value_or(0))
                                                 : -ZoneNumber(*y);
                    *c = WithDecimalsOf(*y + 1000000 * zone, *c);
                }
                break;
            default:
                break;
        }
    }
}

std::string RowListText(const std::vector<int>& rows) {
    std::string text;
    int items = 0;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        if (items == 12) return text + ", …(共" + std::to_string(rows.size()) + "点)";
        if (!text.empty()) text += ", ";
        text += std::to_string(rows[i]);
        if (j > i) text += "-" + std::to_string(rows[j]);
        ++items;
        i = j + 1;
    }
    return text;
}

std::string PointFixCaption(PointFix fix) {
    switch (fix) {
        case PointFix::SwapXY: return "对调x和y";
        case PointFix::AddZoneNumber: return "加上带号";
        case PointFix::RemoveZoneNumber: return "去掉带号";
        case PointFix::SwapBL: return "对调B和L";
        case PointFix::ReadAsDecimalDegrees: return "按十进制度读";
        case PointFix::None: return "";
    }
    return "";
}

}  // namespace coordconv
