#include "tools/sheets/map_sheet.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/errors.h"
#include "core/number_text.h"
#include "core/zone_number.h"

namespace coordconv {
namespace {

// The integer part (rounded toward zero) as a 64-bit integer; a value beyond
// that range (or not a number) is an invalid operation, as the FPU's integer
// store reports it.
std::int64_t IntegerPart(long double value) {
    constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
    if (!(value > -kLimit && value < kLimit)) throw CommandError(kInvalidOperationText);
    return static_cast<std::int64_t>(value);
}

// The letter of million-sheet row r: the r-th capital letter (A = 1). Rows
// outside the printable range (latitudes far beyond the poles) show "?".
char RowLetter(std::int64_t row) {
    const std::int64_t code = 64 + row;
    return code > 32 && code < 127 ? static_cast<char>(code) : '?';
}

struct MillionSheet {
    std::int64_t row;     // r, 1 = A, counted from the equator
    std::int64_t column;  // c, 1..60 from 180° W
    long double south;    // B0, seconds
    long double west;     // L0, seconds
};

MillionSheet MillionSheetOf(long double latitude, long double longitude) {
    MillionSheet sheet{};
    sheet.row = IntegerPart(latitude / kMillionSheetLatitudeSeconds) + 1;
    sheet.column = IntegerPart(longitude / kMillionSheetLongitudeSeconds) + 31;
    // The south-west corner from the column before it wraps from 61 to 1: a
    // longitude past 180° lies in column 1, whose west edge is 180°, and the
    // wrapped column would put that edge 360° away.
    sheet.south = static_cast<long double>(sheet.row - 1) * kMillionSheetLatitudeSeconds;
    sheet.west = static_cast<long double>(sheet.column - 31) * kMillionSheetLongitudeSeconds;
    if (sheet.column > 60) sheet.column = sheet.column - 60;
    return sheet;
}

std::string ThreeDigits(std::int64_t value) {
    const std::string text = "000" + std::to_string(value);
    return text.substr(text.size() - 3);
}

// The bytes of a field cut out of a sheet number, as UTF-8 text for a
// message: a character cut by the field's bounds shows as U+FFFD.
std::string ShownField(const std::string& bytes) {
    std::string shown;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        bool whole = length > 0 && i + length <= bytes.size();
        for (std::size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
        if (whole) {
            shown += bytes.substr(i, length);
            i += length;
        } else {
            shown += "\xEF\xBF\xBD";
            ++i;
            while (i < bytes.size() && (static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80) ++i;
        }
    }
    return shown;
}

// A whole number of a sheet number's part: optional leading blanks, an
// optional sign and decimal digits within the 32-bit range, nothing after.
std::int64_t SheetNumberPart(const std::string& bytes) {
    std::size_t i = 0;
    while (i < bytes.size() && bytes[i] == ' ') ++i;
    bool negative = false;
    if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) negative = bytes[i++] == '-';
    std::int64_t value = 0;
    bool any_digit = false;
    bool in_range = true;
    for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
        any_digit = true;
        value = value * 10 + (bytes[i] - '0');
        if (value > 2147483648LL) in_range = false, value = 2147483648LL;
    }
    if (negative) value = -value;
    if (!any_digit || i != bytes.size() || !in_range || value > 2147483647LL)
        throw CommandError("'" + ShownField(bytes) + "' is not a valid integer value");
    return value;
}

// The text before the first `separator` of `text` (empty when there is none,
// as the position 0 of a failed search cuts it), and the position found.
std::string TextBefore(const std::string& text, char separator, std::size_t& position) {
    position = text.find(separator);
    return position == std::string::npos ? std::string() : text.substr(0, position);
}

// Characters first..first+count-1 (1-based) of `text`, shorter near its end.
std::string CharactersAt(const std::string& text, std::size_t first, std::size_t count) {
    return first - 1 < text.size() ? text.substr(first - 1, count) : std::string();
}

}  // namespace

std::string OldSheetNumber(long double latitude, long double longitude) {
    const MillionSheet million = MillionSheetOf(latitude, longitude);
    // 1:100,000 sheet: i, j counted from the south and west; n numbered from the north-west.
    const std::int64_t i = IntegerPart((latitude - million.south) / 1200) + 1;
    const std::int64_t j = IntegerPart((longitude - million.west) / 1800) + 1;
    const std::int64_t n = (12 - i) * 12 + j;
    const long double south = million.south + static_cast<long double>(i - 1) * 1200;
    const long double west = million.west + static_cast<long double>(j - 1) * 1800;
    // 1:10,000 sheet within it: p, q from the south and west; m from the north-west.
    const std::int64_t p = IntegerPart((latitude - south) / kSheetLatitudeSeconds) + 1;
    const std::int64_t q = IntegerPart((longitude - west) / kSheetLongitudeSeconds) + 1;
    const std::int64_t m = (8 - p) * 8 + q;
    return std::string(1, RowLetter(million.row)) + "-" + std::to_string(million.column) + "-" + std::to_string(n) +
           "-(" + std::to_string(m) + ")";
}

std::string NewSheetNumber(long double latitude, long double longitude) {
    const MillionSheet million = MillionSheetOf(latitude, longitude);
    const std::int64_t row = 96 - IntegerPart((latitude - million.south) / kSheetLatitudeSeconds);
    const std::int64_t column = IntegerPart((longitude - million.west) / kSheetLongitudeSeconds) + 1;
    return std::string(1, RowLetter(million.row)) + std::to_string(million.column) + "G" + ThreeDigits(row) +
           ThreeDigits(column);
}

SheetJunctionTable SheetJunctionAt(bool new_form, long double latitude, long double longitude) {
    SheetJunctionTable table;
    int field = 0;
    for (const long double row_shift : {kSheetLatitudeSeconds, 0.0L, -kSheetLatitudeSeconds})
        for (const long double column_shift : {-kSheetLongitudeSeconds, 0.0L, kSheetLongitudeSeconds}) {
            const long double b = latitude + row_shift;
            const long double l = longitude + column_shift;
            table.fields[static_cast<std::size_t>(field++)] = new_form ? NewSheetNumber(b, l) : OldSheetNumber(b, l);
        }
    return table;
}

long double PackedAngleSeconds(long double packed) {
    // The fields of the packed angle come from its digits, as DmsToDegrees
    // reads them. Taking the minutes as the integer part of 100 times the
    // fraction instead loses a whole minute whenever the binary value of v
    // lies a hair below its decimal text (1.01 would read as 1°00').
    const PackedAngleFields f = SplitPackedAngle(packed);
    const long double result = f.degrees * 3600 + f.minutes * 60 + f.seconds;
    return packed < 0 ? -result : result;
}

SheetPoint GeodeticSheetPoint(const std::string& longitude_text, const std::string& latitude_text) {
    const long double longitude = PackedAngleSeconds(TextToNumber(longitude_text)) + 0.0000001L;
    const long double latitude = PackedAngleSeconds(TextToNumber(latitude_text)) + 0.0000001L;
    RaiseFloatingPointErrors();
    return {latitude, longitude};
}

SheetPoint PlaneSheetPoint(const PlaneSheetFields& fields) {
    const auto [a, f] = ReadEllipsoid(fields.a, fields.inverse_flattening);
    const long double x = TextToNumber(fields.x) + TextToNumber(fields.x_shift);
    const long double y = TextToNumber(fields.y) + TextToNumber(fields.y_shift);
    RaiseFloatingPointErrors();
    const long double zone = ZoneNumber(y);
    const long double central_meridian = fields.six_degree_zones ? 6 * zone - 3 : 3 * zone;
    const long double easting = StripZoneAndFalseEasting(y, 500000);
    const GeodeticOffset g = GaussInverse(a, f, x, easting);
    const long double latitude = g.latitude * 3600;
    const long double longitude = (g.longitude + central_meridian) * 3600;
    RaiseFloatingPointErrors();
    return {latitude, longitude};
}

SheetJunctionTable SheetsFromSheetNumber(bool new_form, bool input_old_form, const std::string& sheet_text) {
    // Sheet numbers are read byte by byte: a sheet number is ASCII, where the
    // UTF-8 text and its GBK bytes agree; any other character makes a field
    // that is not an integer, or a row letter beyond the last row.
    std::string s = sheet_text;
    s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
    if (s.empty()) throw CommandError(kEmptySheetNumberText);
    const std::int64_t row = static_cast<unsigned char>(s[0]) - 64;
    const long double south = static_cast<long double>(row - 1) * kMillionSheetLatitudeSeconds;
    long double latitude = 0;
    long double longitude = 0;
    if (input_old_form) {
        std::size_t at = 0;
        s.erase(0, 2);
        const std::int64_t column = SheetNumberPart(TextBefore(s, '-', at));
        s.erase(0, at + 1);
        const std::int64_t hundred_thousand = SheetNumberPart(TextBefore(s, '-', at));
        s.erase(0, at + 2);
        const std::int64_t ten_thousand = SheetNumberPart(TextBefore(s, ')', at));
        const long double west = static_cast<long double>(column - 31) * kMillionSheetLongitudeSeconds;
        const std::int64_t g = (hundred_thousand - 1) / 12;  // row from the north
        const std::int64_t j = hundred_thousand - 12 * g;    // column from the west
        const long double south1 = south + static_cast<long double>(11 - g) * 1200;
        const long double west1 = west + static_cast<long double>(j - 1) * 1800;
        const std::int64_t o = (ten_thousand - 1) / 8;
        const std::int64_t q = ten_thousand - 8 * o;
        latitude = south1 + static_cast<long double>(7 - o) * kSheetLatitudeSeconds + 1;
        longitude = west1 + static_cast<long double>(q - 1) * kSheetLongitudeSeconds + 1;
    } else {
        // Character 4, the scale letter, is not examined.
        const std::int64_t column = SheetNumberPart(CharactersAt(s, 2, 2));
        const std::int64_t row_from_north = SheetNumberPart(CharactersAt(s, 5, 3));
        const std::int64_t column_from_west = SheetNumberPart(CharactersAt(s, 8, 3));
        const long double west = static_cast<long double>(column - 31) * kMillionSheetLongitudeSeconds;
        latitude = south + static_cast<long double>(96 - row_from_north) * kSheetLatitudeSeconds + 1;
        longitude = west + static_cast<long double>(column_from_west - 1) * kSheetLongitudeSeconds + 1;
    }
    return SheetJunctionAt(new_form, latitude, longitude);
}

SheetJunctionTable JunctionOfSheet(const MapSheet& sheet, bool new_form) {
    if (!new_form && !OldSheetText(sheet)) throw CommandError(kNoOldFormText);
    SheetJunctionTable table;
    const auto neighbourhood = SheetNeighbourhood(sheet);
    for (std::size_t i = 0; i < neighbourhood.size(); ++i)
        if (neighbourhood[i])
            table.fields[i] = new_form ? NewSheetText(*neighbourhood[i]) : *OldSheetText(*neighbourhood[i]);
    return table;
}

namespace {

// The 1:10,000 sheet of a point the first version's table was made for; none
// outside the series (its table still shows what that arithmetic gives).
std::optional<MapSheet> TenThousandSheet(const SheetPoint& p) {
    if (!(p.latitude >= 0 && p.latitude < kMillionRows * 14400.0L) || !std::isfinite(p.longitude)) return std::nullopt;
    return SheetContaining(kTenThousandScale, p.latitude, p.longitude);
}

ScaledJunction JunctionAtPoint(int scale, bool new_form, const SheetPoint& p) {
    if (scale == kTenThousandScale) return {SheetJunctionAt(new_form, p.latitude, p.longitude), TenThousandSheet(p)};
    const MapSheet sheet = SheetContaining(scale, p.latitude, p.longitude);
    return {JunctionOfSheet(sheet, new_form), sheet};
}

}  // namespace

std::string SheetCornerText(const MapSheet& sheet, const FramePlane& plane) {
    const SheetScale& scale = kSheetScales[static_cast<std::size_t>(sheet.scale)];
    // Second decimals that write the sheet's edges exactly: 0 down to 1:10,000, 3 at 1:500.
    int decimals = 0;
    for (long double size = scale.longitude_seconds; size != std::floor(size) && decimals < 4; size *= 10) ++decimals;
    std::string text = "图幅号：" + NewSheetText(sheet);
    if (const auto old = OldSheetText(sheet)) text += "（旧图幅号：" + *old + "）";
    text += "  比例尺" + std::string(scale.name) + "\n";
    text += "中央子午线：" + FormatGeneral(plane.central_meridian) + "°  Y加常数：" + FormatGeneral(plane.y_constant) + "\n";
    const char* names[] = {"西南角", "东南角", "东北角", "西北角"};
    const auto corners = SheetCorners(sheet, plane);
    RaiseFloatingPointErrors();
    for (std::size_t i = 0; i < corners.size(); ++i)
        text += std::string(names[i]) + "  B=" + FormatDms(corners[i].latitude_seconds / 3600, decimals) +
                "  L=" + FormatDms(corners[i].longitude_seconds / 3600, decimals) +
                "  x=" + FormatFixed(corners[i].plane.x, 4) + "  y=" + FormatFixed(corners[i].plane.y, 4) + "\n";
    return text;
}

ScaledJunction ScaledSheetsFromGeodetic(int scale, bool new_form, const std::string& longitude_text,
                                        const std::string& latitude_text) {
    return JunctionAtPoint(scale, new_form, GeodeticSheetPoint(longitude_text, latitude_text));
}

ScaledJunction ScaledSheetsFromPlane(int scale, bool new_form, const PlaneSheetFields& fields) {
    return JunctionAtPoint(scale, new_form, PlaneSheetPoint(fields));
}

ScaledJunction ScaledSheetsFromSheetNumber(int scale, bool new_form, bool input_old_form,
                                           const std::string& sheet_text) {
    if (scale == kTenThousandScale) {
        ScaledJunction result{SheetsFromSheetNumber(new_form, input_old_form, sheet_text), std::nullopt};
        try {
            const MapSheet typed = ParseSheetText(sheet_text);
            if (typed.scale == kTenThousandScale) result.sheet = typed;
        } catch (const CommandError&) {
            // A number the first version reads its own way: the table stands, no sheet for the corners.
        }
        return result;
    }
    if (TrimBlanks(sheet_text).empty()) throw CommandError(kEmptySheetNumberText);
    const MapSheet sheet = ParseSheetText(sheet_text);
    if (sheet.scale != scale)
        throw CommandError("图幅号" + std::string(TrimBlanks(sheet_text)) + "的比例尺为" +
                           kSheetScales[static_cast<std::size_t>(sheet.scale)].name + "，不是所选的" +
                           kSheetScales[static_cast<std::size_t>(scale)].name);
    return {JunctionOfSheet(sheet, new_form), sheet};
}

}  // namespace coordconv
