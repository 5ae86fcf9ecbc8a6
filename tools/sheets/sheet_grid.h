// Sheets of the national topographic series at every scale from 1:1,000,000
// to 1:500 (sheet_scales.h): the sheet of a point, its numbers in the new form
// (J50E017016) and the old form (J-50-104-B), reading a number back,
// neighbours, corners and the sheets of other scales that contain or lie in
// it.
//
// A sheet is held as its scale and its row and column counted over the whole
// northern hemisphere: row 0 starts at the equator, column 0 at 180° W. The
// new number writes the 1:1,000,000 sheet (row letter, column 1..60), the
// scale letter, and the row from the north and column from the west inside the
// 1:1,000,000 sheet, each with the scale's digit count.
//
// The series numbers the northern hemisphere between the equator and 88° N;
// a point outside has no sheet, and a sheet next to that edge has no
// neighbour there. East and west wrap round the 180° meridian (column 60 is
// followed by column 1).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/gauss_kruger.h"
#include "tools/sheets/sheet_scales.h"

namespace coordconv {

struct MapSheet {
    int scale;           // index in kSheetScales
    std::int64_t row;    // from the equator, 0-based, at this scale
    std::int64_t column; // from 180° W, 0-based, at this scale
    bool operator==(const MapSheet&) const = default;
};

// The sheet of `scale` containing (B, L), in arc seconds; a point on a sheet
// edge lies in the sheet to its north and east. L may be given in any turn
// (−180°..180° or 0..360°). Fails with kOutsideSeriesText for B < 0 or B ≥ 88°.
MapSheet SheetContaining(int scale, long double latitude_seconds, long double longitude_seconds);

inline constexpr const char* kOutsideSeriesText = "该点不在图幅编号范围内（北纬0°～88°）";

// "J50", "J50B001002", "J50K00010001".
std::string NewSheetText(const MapSheet& sheet);
// "J-50", "J-50-A", "J-50-[2]", "J-50-5", "J-50-5-B", "J-50-5-B-4",
// "J-50-5-(15)", "J-50-5-(15)-a"; nothing at 1:2,000 and larger.
std::optional<std::string> OldSheetText(const MapSheet& sheet);

// Reads a sheet number in either form (the form is told by the "-" after the
// row letter); blanks at either end are ignored. Fails with
// "'<text>' 不是有效的图幅号" for any other text.
MapSheet ParseSheetText(const std::string& text);

// The sheet `rows` to the north and `columns` to the east, wrapping round
// the 180° meridian; nothing beyond the equator or 88° N.
std::optional<MapSheet> ShiftedSheet(const MapSheet& sheet, int rows, int columns);

// The eight neighbours and the sheet itself, in the junction table's order
// (north-west, north, north-east, west, itself, east, south-west, south,
// south-east); a missing neighbour is nothing.
std::array<std::optional<MapSheet>, 9> SheetNeighbourhood(const MapSheet& sheet);

// Edges of a sheet in arc seconds; west in −648000..648000 (−180°..180°),
// east = west + the sheet's width (may pass 180°).
struct SheetBounds {
    long double south, north, west, east;
};
SheetBounds BoundsOf(const MapSheet& sheet);

// The sheet of `scale` (smaller than or equal to the sheet's, e.g. 1:100,000
// for a 1:10,000 sheet) that contains it.
MapSheet ContainingSheet(const MapSheet& sheet, int scale);
// The sheets of `scale` (larger than or equal to the sheet's) inside it, from
// the north-west row by row.
std::vector<MapSheet> ContainedSheets(const MapSheet& sheet, int scale);

// A Gauss-Krüger plane for the frames: ellipsoid, central meridian, and the
// constant added to y (500000 m, plus the zone number times 1000000 when the
// meridian is that of a numbered zone).
struct FramePlane {
    GaussKrugerEllipsoid ellipsoid;
    long double central_meridian;  // degrees
    long double y_constant;        // metres
};

// The plane of the 3° or 6° zone containing longitude L (degrees): zone n
// = the integer part of L / 6, plus 1, with meridian 6n − 3, or n = the
// integer part of (L + 1.5) / 3 with
// meridian 3n, L taken in 0..360°; y carries n × 1000000 + 500000.
FramePlane ZonePlane(long double a, long double f, bool six_degree_zones, long double longitude_degrees);

// The plane of the zone whose number easting y (metres) carries, as the plane
// input reads it: z = the integer part of y / 1000000, meridian 3z or 6z − 3, y constant
// z × 1000000 + 500000.
FramePlane NumberedZonePlane(long double a, long double f, bool six_degree_zones, long double y);

// Gauss-Krüger x, y (metres) of the point (B, L) in arc seconds on `plane`.
PlanePoint FramePoint(const FramePlane& plane, long double latitude_seconds, long double longitude_seconds);

// The four corners of a sheet, south-west, south-east, north-east, north-west.
struct SheetCorner {
    long double latitude_seconds;
    long double longitude_seconds;
    PlanePoint plane;
};
std::array<SheetCorner, 4> SheetCorners(const MapSheet& sheet, const FramePlane& plane);

// Arc seconds as a packed ddd.mmss angle text, the seconds rounded to four
// decimals and trailing zeros dropped down to whole seconds: 39°30' gives
// "39.3000", 114°01'52.5" gives "114.01525", 9.375" gives "0.0009375".
std::string PackedSecondsText(long double seconds);

}  // namespace coordconv
