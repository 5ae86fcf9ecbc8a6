#include "tools/sheets/rectangular_sheets.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "table/coordinate_file.h"
#include "table/safe_file.h"

namespace coordconv {
namespace {

// Kilometre decimals of a name: 0.01 km at 1:500, 0.1 km at 1:1,000 and 1:2,000.
int NameDecimals(long denominator) { return denominator == 500 ? 2 : 1; }

std::int64_t GridIndex(long double metres, long double side) {
    if (!std::isfinite(metres)) throw CommandError(kInvalidOperationText);
    return static_cast<std::int64_t>(std::floor(metres / side));
}

std::string ScaleName(long denominator) { return "1:" + std::to_string(denominator); }

}  // namespace

bool HasRectangularSheets(long denominator) { return denominator == 500 || denominator == 1000 || denominator == 2000; }

long double RectangularSheetSide(long denominator) { return static_cast<long double>(denominator) / 2; }

RectangularSheet RectangularSheetAt(long denominator, long double x, long double y) {
    const long double side = RectangularSheetSide(denominator);
    return {denominator, GridIndex(x, side), GridIndex(y, side)};
}

std::string RectangularSheetText(const RectangularSheet& sheet) {
    const long double side = RectangularSheetSide(sheet.denominator);
    const int decimals = NameDecimals(sheet.denominator);
    return FormatFixed(static_cast<long double>(sheet.row) * side / 1000, decimals) + "-" +
           FormatFixed(static_cast<long double>(sheet.column) * side / 1000, decimals);
}

RectangularSheet ParseRectangularSheetText(long denominator, const std::string& typed) {
    const std::string text(TrimBlanks(typed));
    const auto not_a_sheet = [&] { return CommandError("'" + text + "' 不是有效的图幅号"); };
    // The "-" between the two kilometre values (x itself may carry a sign).
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string::npos) throw not_a_sheet();
    long double x = 0;
    long double y = 0;
    try {
        x = TextToNumber(text.substr(0, dash)) * 1000;
        y = TextToNumber(text.substr(dash + 1)) * 1000;
    } catch (const CommandError&) {
        throw not_a_sheet();
    }
    const long double side = RectangularSheetSide(denominator);
    const long double row = std::round(x / side);
    const long double column = std::round(y / side);
    // A corner off the grid by more than a millimetre names no sheet.
    if (std::fabs(row * side - x) > 0.001L || std::fabs(column * side - y) > 0.001L) throw not_a_sheet();
    return {denominator, static_cast<std::int64_t>(row), static_cast<std::int64_t>(column)};
}

std::array<std::string, 9> RectangularJunction(const RectangularSheet& sheet) {
    std::array<std::string, 9> fields;
    std::size_t field = 0;
    for (const int rows : {1, 0, -1})
        for (const int columns : {-1, 0, 1})
            fields[field++] = RectangularSheetText({sheet.denominator, sheet.row + rows, sheet.column + columns});
    return fields;
}

std::array<PlanePoint, 4> RectangularCorners(const RectangularSheet& sheet) {
    const long double side = RectangularSheetSide(sheet.denominator);
    const long double south = static_cast<long double>(sheet.row) * side;
    const long double west = static_cast<long double>(sheet.column) * side;
    return {{{south, west}, {south, west + side}, {south + side, west + side}, {south + side, west}}};
}

std::vector<RectangularSheet> RectangularSheetsOverlapping(long denominator, const PlanePolygon& polygon) {
    if (polygon.size() < 3) throw CommandError(kTooFewVerticesText);
    const long double side = RectangularSheetSide(denominator);
    // The clipping works on (north, east) pairs: x as the latitude, y as the longitude.
    GeodeticPolygon ring;
    long double south = polygon[0].x, north = south, west = polygon[0].y, east = west;
    for (const PlanePoint& p : polygon) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) throw CommandError(kInvalidOperationText);
        ring.push_back({p.x, p.y});
        south = std::min(south, p.x);
        north = std::max(north, p.x);
        west = std::min(west, p.y);
        east = std::max(east, p.y);
    }
    const std::int64_t first_row = GridIndex(south, side);
    const auto last_row = static_cast<std::int64_t>(std::ceil(north / side)) - 1;
    const std::int64_t first_column = GridIndex(west, side);
    const auto last_column = static_cast<std::int64_t>(std::ceil(east / side)) - 1;
    if (static_cast<long double>(last_row - first_row + 1) * static_cast<long double>(last_column - first_column + 1) >
        kMaxIndexSheets)
        throw CommandError(kTooManySheetsText);
    std::vector<RectangularSheet> sheets;
    for (std::int64_t row = last_row; row >= first_row; --row) {
        const long double south = static_cast<long double>(row) * side;
        const long double north = static_cast<long double>(row + 1) * side;
        const GeodeticPolygon band = ClipToLatitudes(ring, south, north);
        if (band.size() < 3) continue;
        for (std::int64_t column = first_column; column <= last_column; ++column) {
            const SheetBounds bounds{south, north, static_cast<long double>(column) * side,
                                     static_cast<long double>(column + 1) * side};
            // A sliver below a millionth of the sheet is a shared outline, not an overlap.
            if (OverlapArea(band, bounds) > side * side * 1e-6L) sheets.push_back({denominator, row, column});
        }
    }
    return sheets;
}

RectangularSheet RectangularSheetFromPlane(long denominator, const PlaneSheetFields& fields) {
    const long double x = TextToNumber(fields.x) + TextToNumber(fields.x_shift);
    const long double y = TextToNumber(fields.y) + TextToNumber(fields.y_shift);
    RaiseFloatingPointErrors();
    return RectangularSheetAt(denominator, x, y);
}

std::string RectangularCornerText(const RectangularSheet& sheet) {
    std::string text = "图幅号：" + RectangularSheetText(sheet) + "  比例尺" + ScaleName(sheet.denominator) +
                       "（50cm×50cm矩形分幅）\n";
    const char* names[] = {"西南角", "东南角", "东北角", "西北角"};
    const auto corners = RectangularCorners(sheet);
    for (std::size_t i = 0; i < corners.size(); ++i)
        text += std::string(names[i]) + "  x=" + FormatFixed(corners[i].x, 4) + "  y=" + FormatFixed(corners[i].y, 4) +
                "\n";
    return text;
}

std::string RectangularListText(const std::vector<RectangularSheet>& sheets) {
    std::string text = "图幅号,比例尺";
    for (const char* corner : {"西南", "东南", "东北", "西北"})
        for (const char* field : {"x", "y"}) text += std::string(",") + corner + "角" + field;
    text += "\n";
    for (const RectangularSheet& sheet : sheets) {
        text += RectangularSheetText(sheet) + "," + ScaleName(sheet.denominator);
        for (const PlanePoint& p : RectangularCorners(sheet))
            text += "," + FormatFixed(p.x, 4) + "," + FormatFixed(p.y, 4);
        text += "\n";
    }
    return text;
}

std::string RectangularIndexDrawing(const std::vector<RectangularSheet>& sheets) {
    std::vector<IndexFrame> frames;
    frames.reserve(sheets.size());
    for (const RectangularSheet& sheet : sheets) {
        const auto corners = RectangularCorners(sheet);
        frames.push_back({"TK_" + std::to_string(sheet.denominator), PlanePolygon(corners.begin(), corners.end()),
                          RectangularSheetText(sheet)});
    }
    return IndexDrawingText(frames);
}

void SaveRectangularIndex(const std::string& path, const std::vector<RectangularSheet>& sheets,
                          FileEncoding encoding) {
    std::string extension = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".csv") {
        SaveTextLines(path, encoding, RectangularListText(sheets));
        return;
    }
    const std::string drawing = RectangularIndexDrawing(sheets);
    SafeFileWriter file(path);
    file.Write(drawing);
    file.Commit();
}

}  // namespace coordconv
