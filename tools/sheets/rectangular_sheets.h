// Rectangular sheets of large-scale plans: 50 cm x 50 cm sheets on a plane
// grid (250 m at 1:500, 500 m at 1:1,000, 1 km at 1:2,000), named by the plane
// coordinates of the south-west corner in kilometres, x first: "3410.0-39.5"
// (0.1 km at 1:1,000 and 1:2,000, 0.01 km at 1:500). The coordinates are
// those of the plane the user works in (national with or without the zone
// number in y, or a local grid); nothing is projected.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/projection_points.h"
#include "table/text_codec.h"
#include "tools/sheets/sheet_index.h"

namespace coordconv {

struct RectangularSheet {
    long denominator;      // 500, 1000 or 2000
    std::int64_t row;      // floor(x / side), northwards
    std::int64_t column;   // floor(y / side), eastwards
    bool operator==(const RectangularSheet&) const = default;
};

// The scales of rectangular sheets, smallest first.
inline constexpr std::array<long, 3> kRectangularScales = {2000, 1000, 500};
inline constexpr const char* kRectangularNeedsPlaneText = "矩形分幅按平面坐标计算，请使用平面坐标";

// Whether 1:`denominator` has rectangular sheets here (500, 1000, 2000).
bool HasRectangularSheets(long denominator);
// Side of a sheet in metres: 0.5 m of paper at the scale.
long double RectangularSheetSide(long denominator);

// The sheet containing plane point (x, y) in metres; a point on an edge lies
// in the sheet to its north and east.
RectangularSheet RectangularSheetAt(long denominator, long double x, long double y);
// "3410.0-39.5".
std::string RectangularSheetText(const RectangularSheet& sheet);
// Reads a name back; the corner must lie on the scale's grid. Fails with
// "'<text>' 不是有效的图幅号".
RectangularSheet ParseRectangularSheetText(long denominator, const std::string& text);

// The sheet itself and its eight neighbours in the junction table's order
// (north-west first, row by row); the grid has no edges.
std::array<std::string, 9> RectangularJunction(const RectangularSheet& sheet);

// South-west, south-east, north-east, north-west corners (x, y in metres).
std::array<PlanePoint, 4> RectangularCorners(const RectangularSheet& sheet);

// The sheets overlapping a plane polygon (x, y metres), from the north-west
// row by row. Fails with kTooManySheetsText beyond kMaxIndexSheets candidates.
std::vector<RectangularSheet> RectangularSheetsOverlapping(long denominator, const PlanePolygon& polygon);

// "根据平面坐标计算" at a rectangular scale: the sheet of (X + X constant,
// Y + Y constant) as typed, without projecting.
RectangularSheet RectangularSheetFromPlane(long denominator, const PlaneSheetFields& fields);

// "角点坐标" of a rectangular sheet: its name and scale, then one line per
// corner (south-west, south-east, north-east, north-west) with x, y in metres.
std::string RectangularCornerText(const RectangularSheet& sheet);

// The list (title line, then name, scale, the four corners' x and y) and the
// DXF drawing (layer "TK_<denominator>", frames and names as SheetIndexDrawing
// draws them) of rectangular sheets; SaveRectangularIndex chooses by the
// extension as SaveSheetIndex does.
std::string RectangularListText(const std::vector<RectangularSheet>& sheets);
std::string RectangularIndexDrawing(const std::vector<RectangularSheet>& sheets);
void SaveRectangularIndex(const std::string& path, const std::vector<RectangularSheet>& sheets,
                          FileEncoding encoding);

}  // namespace coordconv
