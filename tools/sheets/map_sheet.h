// The commands of the map sheet window ("1:1万图幅号计算"): numbers of the
// 1:10,000 topographic map sheets in the old national form (J-50-5-(15)) and
// the new one (J50G002039), with the eight neighbouring sheets, as the
// window's first version computes them; the same at the other scales of the
// series (sheet_grid.h) for its scale drop-down; and the corners' text.
//
// The sheet grid: a 1:1,000,000 sheet spans 4° of latitude by 6° of
// longitude (rows A, B, ... from the equator, columns 1..60 from 180° W); a
// 1:100,000 sheet 20' by 30' (12 x 12 per million sheet); a 1:10,000 sheet
// 2'30" by 3'45" (8 x 8 per 1:100,000 sheet, 96 x 96 per million sheet).
// All sheet arithmetic works on latitude B and longitude L in arc seconds.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/ellipsoid.h"
#include "tools/sheets/sheet_grid.h"

namespace coordconv {

inline constexpr long double kMillionSheetLatitudeSeconds = 14400;   // 4°
inline constexpr long double kMillionSheetLongitudeSeconds = 21600;  // 6°
inline constexpr long double kSheetLatitudeSeconds = 150;             // 2'30"
inline constexpr long double kSheetLongitudeSeconds = 225;            // 3'45"

// The 1:10,000 sheet containing (B, L), in seconds of arc: "J-50-5-(15)".
std::string OldSheetNumber(long double latitude_seconds, long double longitude_seconds);
// The same sheet in the new form: "J50G002039" (row and column from the
// north-west corner of the million sheet, three digits each).
std::string NewSheetNumber(long double latitude_seconds, long double longitude_seconds);

// The sheet junction table ("图幅结合表"): fields[0..8] are Edit1..Edit9, three
// rows of three with north at the top and west at the left; fields[4]
// (Edit5, shown in blue) is the sheet itself.
struct SheetJunctionTable {
    static constexpr int kCentre = 4;
    std::array<std::string, 9> fields;
};

// Fills the table for the point (B, L) in seconds: each field holds the sheet
// of the point moved by whole sheets, in the new form when `new_form`.
SheetJunctionTable SheetJunctionAt(bool new_form, long double latitude_seconds, long double longitude_seconds);

// A packed ddd.mmss angle in arc seconds, from its digits: degrees * 3600 +
// minutes * 60 + seconds (with their decimals), signed like the angle. Whole
// seconds come out exact.
long double PackedAngleSeconds(long double packed);

// The boxes of the page "根据平面坐标计算", with their initial texts.
struct PlaneSheetFields {
    std::string a = kCoordinateSystemPresets[0].semi_major_axis_text;            // semi-major axis, metres
    std::string inverse_flattening = kCoordinateSystemPresets[0].inverse_flattening_text;  // 1/f
    std::string x = "0";  // northing (m)
    std::string y = "0";  // easting with zone number (m)
    bool six_degree_zones = false;  // zone width: "3度带" (false) or "6度带" (true)
    std::string x_shift = "0";  // added to X
    std::string y_shift = "0";  // added to Y
};

// "根据图幅号计算": the sheet number typed in the old form
// (`input_old_form`) or the new one; the point one second inside
// the sheet's south-west corner. A number part that is not an integer fails
// with "'%s' is not a valid integer value"; an empty text fails with
// kEmptySheetNumberText.
SheetJunctionTable SheetsFromSheetNumber(bool new_form, bool input_old_form, const std::string& sheet_text);

inline constexpr const char* kEmptySheetNumberText = "图幅号为空，请输入要查询的图幅号";

// A point in arc seconds of latitude and longitude.
struct SheetPoint {
    long double latitude;
    long double longitude;
};

// The point of "根据经纬度计算": the longitude and latitude texts (packed
// ddd.mmss) in seconds, nudged north-east by 0.0000001" so that a point on a
// sheet corner falls into the sheet to its north-east.
SheetPoint GeodeticSheetPoint(const std::string& longitude_text, const std::string& latitude_text);
// The point of "根据平面坐标计算": zone z = the integer part of Y / 1000000,
// central meridian 3z (3° zones) or 6z - 3 (6° zones), false easting
// 500000 m, then the Gauss inverse on the ellipsoid of the a and 1/f boxes.
SheetPoint PlaneSheetPoint(const PlaneSheetFields& fields);

// The junction table of `sheet` at its own scale: the sheet in the centre and
// its neighbours around it. A neighbour beyond the equator or 88° N leaves its
// field empty. The old form at 1:2,000 and larger fails with kNoOldFormText.
SheetJunctionTable JunctionOfSheet(const MapSheet& sheet, bool new_form);

inline constexpr const char* kNoOldFormText = "该比例尺没有旧图幅编号";

// The junction table at a chosen scale (index in kSheetScales) and the sheet
// in its centre. At 1:10,000 the table is exactly SheetJunctionAt's of the
// point (or SheetsFromSheetNumber's), and the sheet is there only where the
// series numbers the point. At other scales a typed number is read
// in either form and must be of the chosen scale.
struct ScaledJunction {
    SheetJunctionTable table;
    std::optional<MapSheet> sheet;
};
ScaledJunction ScaledSheetsFromGeodetic(int scale, bool new_form, const std::string& longitude_text,
                                        const std::string& latitude_text);
ScaledJunction ScaledSheetsFromPlane(int scale, bool new_form, const PlaneSheetFields& fields);
ScaledJunction ScaledSheetsFromSheetNumber(int scale, bool new_form, bool input_old_form,
                                           const std::string& sheet_text);


// "角点坐标": the sheet's numbers and scale, the plane's central meridian and
// y constant, then one line per corner (south-west, south-east, north-east,
// north-west) with B and L in degrees, minutes and seconds (as many second
// decimals as the scale's sheet size needs) and x, y in metres; lines end
// with "\n".
std::string SheetCornerText(const MapSheet& sheet, const FramePlane& plane);

// "角点坐标" before any sheet was computed.
inline constexpr const char* kNoSheetShownText = "请先计算图幅号";

}  // namespace coordconv
