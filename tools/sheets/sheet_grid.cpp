#include "tools/sheets/sheet_grid.h"

#include <cctype>
#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "core/zone_number.h"

namespace coordconv {
namespace {

constexpr long double kFullTurnSeconds = 1296000;  // 360°
constexpr long double kHalfTurnSeconds = 648000;   // 180°
constexpr long double kSeriesNorthSeconds = kMillionRows * 14400.0L;  // 88°

std::int64_t RowsInSeries(const SheetScale& s) { return std::int64_t{kMillionRows} * s.per_million; }
std::int64_t ColumnsInSeries(const SheetScale& s) { return std::int64_t{kMillionColumns} * s.per_million; }

// Floored remainder: the result has the sign of `divisor`.
std::int64_t FloorMod(std::int64_t value, std::int64_t divisor) {
    const std::int64_t r = value % divisor;
    return r < 0 ? r + divisor : r;
}

std::string Padded(std::int64_t value, int digits) {
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

// The parts of a sheet inside its 1:1,000,000 sheet.
struct MillionPlace {
    std::int64_t million_row;     // 1 = A
    std::int64_t million_column;  // 1..60
    std::int64_t row_from_north;  // 1..per_million
    std::int64_t column_from_west;  // 1..per_million
};

MillionPlace PlaceOf(const MapSheet& sheet) {
    const std::int64_t per = kSheetScales[static_cast<std::size_t>(sheet.scale)].per_million;
    return {sheet.row / per + 1, sheet.column / per + 1, per - sheet.row % per, sheet.column % per + 1};
}

MapSheet FromPlace(int scale, std::int64_t million_row, std::int64_t million_column, std::int64_t row_from_north,
                   std::int64_t column_from_west) {
    const std::int64_t per = kSheetScales[static_cast<std::size_t>(scale)].per_million;
    return {scale, (million_row - 1) * per + (per - row_from_north), (million_column - 1) * per + column_from_west - 1};
}

// Position (1-based, from the north-west, row by row) of `sheet` among the
// sheets of its scale inside its containing sheet of `parent` scale, and the
// side of that square.
struct PlaceInParent {
    std::int64_t number;
    std::int64_t side;
};

PlaceInParent NumberInParent(const MapSheet& sheet, int parent) {
    const std::int64_t side = kSheetScales[static_cast<std::size_t>(sheet.scale)].per_million /
                              kSheetScales[static_cast<std::size_t>(parent)].per_million;
    const std::int64_t row_from_north = side - 1 - sheet.row % side;
    const std::int64_t column_from_west = sheet.column % side;
    return {row_from_north * side + column_from_west + 1, side};
}

// `sheet` is the child number `number` (1-based from the north-west) of a
// `side` x `side` division of `parent`.
MapSheet ChildOf(const MapSheet& parent, int scale, std::int64_t number, std::int64_t side) {
    const std::int64_t row_from_north = (number - 1) / side;
    const std::int64_t column_from_west = (number - 1) % side;
    return {scale, parent.row * side + (side - 1 - row_from_north), parent.column * side + column_from_west};
}

[[noreturn]] void NotASheet(const std::string& text) { throw CommandError("'" + text + "' 不是有效的图幅号"); }

// A whole number of 1..max_digits decimal digits, nothing else.
std::optional<std::int64_t> Digits(const std::string& text, std::size_t max_digits) {
    if (text.empty() || text.size() > max_digits) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string> SplitAtHyphens(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find('-', start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// Index 1..4 of a single letter among first..first+3 ("A".."D", "a".."d").
std::optional<std::int64_t> QuarterLetter(const std::string& part, char first) {
    if (part.size() != 1 || part[0] < first || part[0] > first + 3) return std::nullopt;
    return part[0] - first + 1;
}

// "(15)" or "[2]": the number between the brackets.
std::optional<std::int64_t> Bracketed(const std::string& part, char open, char close) {
    if (part.size() < 3 || part.front() != open || part.back() != close) return std::nullopt;
    return Digits(part.substr(1, part.size() - 2), 3);
}

MapSheet ParseOldForm(const std::string& text, std::int64_t million_row) {
    const std::vector<std::string> parts = SplitAtHyphens(text.substr(2));
    const auto column = Digits(parts[0], 2);
    if (!column || *column < 1 || *column > kMillionColumns) NotASheet(text);
    const MapSheet million = FromPlace(kMillionScale, million_row, *column, 1, 1);
    const std::size_t count = parts.size();
    if (count == 1) return million;
    const auto in_range = [&](std::optional<std::int64_t> value, std::int64_t max) {
        if (!value || *value < 1 || *value > max) NotASheet(text);
        return *value;
    };
    if (count == 2 && QuarterLetter(parts[1], 'A')) return ChildOf(million, 1, *QuarterLetter(parts[1], 'A'), 2);
    if (count == 2 && Bracketed(parts[1], '[', ']'))
        return ChildOf(million, 2, in_range(Bracketed(parts[1], '[', ']'), 16), 4);
    const MapSheet hundred = ChildOf(million, 3, in_range(Digits(parts[1], 3), 144), 12);
    if (count == 2) return hundred;
    if (const auto quarter = QuarterLetter(parts[2], 'A')) {
        const MapSheet fifty = ChildOf(hundred, 4, *quarter, 2);
        if (count == 3) return fifty;
        if (count == 4) return ChildOf(fifty, 5, in_range(Digits(parts[3], 1), 4), 2);
        NotASheet(text);
    }
    const MapSheet ten = ChildOf(hundred, kTenThousandScale, in_range(Bracketed(parts[2], '(', ')'), 64), 8);
    if (count == 3) return ten;
    if (count == 4) return ChildOf(ten, 7, in_range(QuarterLetter(parts[3], 'a'), 4), 2);
    NotASheet(text);
}

MapSheet ParseNewForm(const std::string& text, std::int64_t million_row) {
    std::size_t at = 1;
    while (at < text.size() && at < 3 && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    const auto column = Digits(text.substr(1, at - 1), 2);
    if (!column || *column < 1 || *column > kMillionColumns) NotASheet(text);
    if (at == text.size()) return FromPlace(kMillionScale, million_row, *column, 1, 1);
    const std::optional<int> scale = ScaleOfLetter(text[at]);
    if (!scale) NotASheet(text);
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(*scale)];
    const std::string rest = text.substr(at + 1);
    const std::size_t digits = static_cast<std::size_t>(s.digits);
    if (rest.size() != 2 * digits) NotASheet(text);
    const auto row = Digits(rest.substr(0, digits), digits);
    const auto col = Digits(rest.substr(digits), digits);
    if (!row || !col || *row < 1 || *row > s.per_million || *col < 1 || *col > s.per_million) NotASheet(text);
    return FromPlace(*scale, million_row, *column, *row, *col);
}

}  // namespace

std::optional<int> FindSheetScale(const std::string& text) {
    std::string t;
    for (const char c : text)
        if (c != ',' && c != ' ') t += c;
    if (t.rfind("1:", 0) == 0) t.erase(0, 2);
    for (int i = 0; i < static_cast<int>(kSheetScales.size()); ++i) {
        const SheetScale& s = kSheetScales[static_cast<std::size_t>(i)];
        if (t == std::to_string(s.denominator) || "1:" + t == s.name) return i;
    }
    return std::nullopt;
}

std::optional<int> ScaleOfLetter(char letter) {
    for (int i = 1; i < static_cast<int>(kSheetScales.size()); ++i)
        if (kSheetScales[static_cast<std::size_t>(i)].letter == letter) return i;
    return std::nullopt;
}

MapSheet SheetContaining(int scale, long double latitude, long double longitude) {
    if (!std::isfinite(latitude) || !std::isfinite(longitude)) throw CommandError(kInvalidOperationText);
    if (!(latitude >= 0 && latitude < kSeriesNorthSeconds)) throw CommandError(kOutsideSeriesText);
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(scale)];
    // Longitude from 180° W in 0..360°.
    long double from_west = std::fmod(longitude + kHalfTurnSeconds, kFullTurnSeconds);
    if (from_west < 0) from_west += kFullTurnSeconds;
    const auto row = static_cast<std::int64_t>(std::floor(latitude / s.latitude_seconds));
    const auto column = static_cast<std::int64_t>(std::floor(from_west / s.longitude_seconds));
    return {scale, row, FloorMod(column, ColumnsInSeries(s))};
}

std::string NewSheetText(const MapSheet& sheet) {
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(sheet.scale)];
    const MillionPlace p = PlaceOf(sheet);
    std::string text = std::string(1, static_cast<char>('A' + p.million_row - 1)) + std::to_string(p.million_column);
    if (sheet.scale == kMillionScale) return text;
    return text + s.letter + Padded(p.row_from_north, s.digits) + Padded(p.column_from_west, s.digits);
}

std::optional<std::string> OldSheetText(const MapSheet& sheet) {
    if (!kSheetScales[static_cast<std::size_t>(sheet.scale)].old_form) return std::nullopt;
    const MillionPlace p = PlaceOf(sheet);
    const std::string million =
        std::string(1, static_cast<char>('A' + p.million_row - 1)) + "-" + std::to_string(p.million_column);
    switch (sheet.scale) {
        case 0:
            return million;
        case 1:
            return million + "-" + static_cast<char>('A' + NumberInParent(sheet, 0).number - 1);
        case 2:
            return million + "-[" + std::to_string(NumberInParent(sheet, 0).number) + "]";
        default:
            break;
    }
    const std::string hundred =
        million + "-" + std::to_string(NumberInParent(ContainingSheet(sheet, 3), 0).number);
    switch (sheet.scale) {
        case 3:
            return hundred;
        case 4:
            return hundred + "-" + static_cast<char>('A' + NumberInParent(sheet, 3).number - 1);
        case 5:
            return hundred + "-" + static_cast<char>('A' + NumberInParent(ContainingSheet(sheet, 4), 3).number - 1) +
                   "-" + std::to_string(NumberInParent(sheet, 4).number);
        default:
            break;
    }
    const std::string ten =
        hundred + "-(" + std::to_string(NumberInParent(ContainingSheet(sheet, kTenThousandScale), 3).number) + ")";
    if (sheet.scale == kTenThousandScale) return ten;
    return ten + "-" + static_cast<char>('a' + NumberInParent(sheet, kTenThousandScale).number - 1);
}

MapSheet ParseSheetText(const std::string& typed) {
    const std::string text(TrimBlanks(typed));
    if (text.size() < 2) NotASheet(text);
    const char letter = text[0];
    if (letter < 'A' || letter >= 'A' + kMillionRows) NotASheet(text);
    const std::int64_t million_row = letter - 'A' + 1;
    return text[1] == '-' ? ParseOldForm(text, million_row) : ParseNewForm(text, million_row);
}

std::optional<MapSheet> ShiftedSheet(const MapSheet& sheet, int rows, int columns) {
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(sheet.scale)];
    const std::int64_t row = sheet.row + rows;
    if (row < 0 || row >= RowsInSeries(s)) return std::nullopt;
    return MapSheet{sheet.scale, row, FloorMod(sheet.column + columns, ColumnsInSeries(s))};
}

std::array<std::optional<MapSheet>, 9> SheetNeighbourhood(const MapSheet& sheet) {
    std::array<std::optional<MapSheet>, 9> fields;
    std::size_t field = 0;
    for (const int rows : {1, 0, -1})
        for (const int columns : {-1, 0, 1}) fields[field++] = ShiftedSheet(sheet, rows, columns);
    return fields;
}

SheetBounds BoundsOf(const MapSheet& sheet) {
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(sheet.scale)];
    const long double south = static_cast<long double>(sheet.row) * s.latitude_seconds;
    const long double west = static_cast<long double>(sheet.column) * s.longitude_seconds - kHalfTurnSeconds;
    return {south, south + s.latitude_seconds, west, west + s.longitude_seconds};
}

MapSheet ContainingSheet(const MapSheet& sheet, int scale) {
    if (scale > sheet.scale) throw CommandError("小比例尺图幅不在大比例尺图幅之内");
    const std::int64_t ratio = kSheetScales[static_cast<std::size_t>(sheet.scale)].per_million /
                               kSheetScales[static_cast<std::size_t>(scale)].per_million;
    return {scale, sheet.row / ratio, sheet.column / ratio};
}

std::vector<MapSheet> ContainedSheets(const MapSheet& sheet, int scale) {
    if (scale < sheet.scale) throw CommandError("大比例尺图幅不包含小比例尺图幅");
    const std::int64_t ratio = kSheetScales[static_cast<std::size_t>(scale)].per_million /
                               kSheetScales[static_cast<std::size_t>(sheet.scale)].per_million;
    std::vector<MapSheet> sheets;
    sheets.reserve(static_cast<std::size_t>(ratio * ratio));
    for (std::int64_t i = ratio - 1; i >= 0; --i)
        for (std::int64_t j = 0; j < ratio; ++j) sheets.push_back({scale, sheet.row * ratio + i, sheet.column * ratio + j});
    return sheets;
}

FramePlane ZonePlane(long double a, long double f, bool six_degree_zones, long double longitude) {
    long double east = std::fmod(longitude, 360.0L);
    if (east < 0) east += 360;
    const long double zone = six_degree_zones ? std::trunc(east / 6) + 1 : std::trunc((east + 1.5L) / 3);
    const long double meridian = six_degree_zones ? 6 * zone - 3 : 3 * zone;
    return {MakeGaussKrugerEllipsoid(a, f), meridian, zone * 1000000 + 500000};
}

FramePlane NumberedZonePlane(long double a, long double f, bool six_degree_zones, long double y) {
    const long double zone = ZoneNumber(y);
    return {MakeGaussKrugerEllipsoid(a, f), six_degree_zones ? 6 * zone - 3 : 3 * zone, zone * 1000000 + 500000};
}

PlanePoint FramePoint(const FramePlane& plane, long double latitude, long double longitude) {
    long double difference = longitude / 3600 - plane.central_meridian;
    difference -= 360 * std::floor((difference + 180) / 360);
    const PlanePoint p = GaussForward(plane.ellipsoid, latitude / 3600, difference);
    return {p.x, p.y + plane.y_constant};
}

std::array<SheetCorner, 4> SheetCorners(const MapSheet& sheet, const FramePlane& plane) {
    const SheetBounds b = BoundsOf(sheet);
    const std::array<std::pair<long double, long double>, 4> points = {
        {{b.south, b.west}, {b.south, b.east}, {b.north, b.east}, {b.north, b.west}}};
    std::array<SheetCorner, 4> corners{};
    for (std::size_t i = 0; i < 4; ++i)
        corners[i] = {points[i].first, points[i].second, FramePoint(plane, points[i].first, points[i].second)};
    return corners;
}

std::string PackedSecondsText(long double seconds) {
    const auto units = static_cast<std::int64_t>(std::llround(std::fabs(seconds) * 10000));  // 0.0001"
    const std::int64_t degrees = units / 36000000;
    const std::int64_t minutes = units % 36000000 / 600000;
    std::string decimals = Padded(minutes, 2) + Padded(units % 600000, 6);
    while (decimals.size() > 4 && decimals.back() == '0') decimals.pop_back();
    return (seconds < 0 && units != 0 ? "-" : "") + std::to_string(degrees) + "." + decimals;
}

}  // namespace coordconv
