// The scales of the national topographic map series and their sheet sizes.
//
// Source: GB/T 13989-2012 "国家基本比例尺地形图分幅和编号", table 1 (sheet
// sizes in latitude and longitude, the number of rows and columns of each
// scale in a 1:1,000,000 sheet, the scale letters) and its extension of the
// new numbers to 1:2,000, 1:1,000 and 1:500. Every smaller sheet divides the
// next larger one evenly, so the counts per 1:1,000,000 sheet form a chain
// 1, 2, 4, 12, 24, 48, 96, 192, 576, 1152, 2304 in which each divides the next.
//
// The 1:1,000,000 sheet is 6° of longitude (columns 1..60 eastwards from 180°)
// by 4° of latitude (rows A..V northwards from the equator up to 88°).
#pragma once

#include <array>
#include <optional>
#include <string>

namespace coordconv {

struct SheetScale {
    long denominator;             // 1:N
    char letter;                  // scale letter of the new number; '\0' for 1:1,000,000
    const char* name;             // as the window lists it
    long double latitude_seconds;   // sheet height, arc seconds
    long double longitude_seconds;  // sheet width, arc seconds
    int per_million;              // rows (and columns) in one 1:1,000,000 sheet
    int digits;                   // digits of row and column in the new number
    bool old_form;                // the old national number exists at this scale
};

inline constexpr std::array<SheetScale, 11> kSheetScales = {{
    {1000000, '\0', "1:100万", 14400, 21600, 1, 0, true},    // 4° x 6°
    {500000, 'B', "1:50万", 7200, 10800, 2, 3, true},         // 2° x 3°
    {250000, 'C', "1:25万", 3600, 5400, 4, 3, true},          // 1° x 1°30'
    {100000, 'D', "1:10万", 1200, 1800, 12, 3, true},         // 20' x 30'
    {50000, 'E', "1:5万", 600, 900, 24, 3, true},             // 10' x 15'
    {25000, 'F', "1:2.5万", 300, 450, 48, 3, true},           // 5' x 7'30"
    {10000, 'G', "1:1万", 150, 225, 96, 3, true},             // 2'30" x 3'45"
    {5000, 'H', "1:5000", 75, 112.5L, 192, 3, true},          // 1'15" x 1'52.5"
    {2000, 'I', "1:2000", 25, 37.5L, 576, 3, false},          // 25" x 37.5"
    {1000, 'J', "1:1000", 12.5L, 18.75L, 1152, 4, false},     // 12.5" x 18.75"
    {500, 'K', "1:500", 6.25L, 9.375L, 2304, 4, false},       // 6.25" x 9.375"
}};

// Index of 1:10,000 in kSheetScales, the scale of the window's first version.
inline constexpr int kTenThousandScale = 6;
inline constexpr int kMillionScale = 0;

// Rows of 1:1,000,000 sheets north of the equator (A..V, up to 88°).
inline constexpr int kMillionRows = 22;
inline constexpr int kMillionColumns = 60;

// The index in kSheetScales of a scale written "1:50000", "1:50,000",
// "50000", "1:5万" or "1:2.5万"; nothing for any other text.
std::optional<int> FindSheetScale(const std::string& text);

// The index of the scale with letter `letter` (B..K); nothing otherwise.
std::optional<int> ScaleOfLetter(char letter);

}  // namespace coordconv
