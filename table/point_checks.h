// Plausibility of point rows for China before anything is converted: the
// silent mistakes of point files (x and y swapped, a missing or extra zone
// number, a zone number of another meridian, decimal degrees read as
// ddd.mmss, B and L swapped) each give a warning that names the rows and the
// fix. Nothing is changed here; a fix is applied only when asked for.
//
// Ranges: China lies between latitudes 3° and 54° N and longitudes 73° and
// 136° E, so a Gauss-Krüger northing lies between 330 km and 6 000 km, an
// easting without zone number within 500 km ± 340 km, and the zone numbers
// of China are 13 to 23 (6° zones, meridian 6n − 3) and 24 to 45 (3° zones,
// meridian 3n): a "zone number" of 1 to 12 in an easting is the millions of a
// northing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace coordconv {

// The window's boxes the checks need; a box the window lacks stays empty.
struct PlausibilitySettings {
    std::optional<long double> central_meridian;  // decimal degrees
    std::optional<long double> y_constant;        // metres, as typed (may carry a zone number)
    long double x_constant = 0;                   // false northing in metres
    bool gauss_zones = true;                      // zone numbers of the 3° and 6° Gauss-Krüger zones
};

// The settings from the boxes' texts (central meridian ddd.mmss, Y and X
// constants in metres); a box that is no number is left out (the convert
// command reports it).
PlausibilitySettings ReadPlausibilitySettings(const std::string& central_meridian, const std::string& y_constant,
                                              const std::string& x_constant, bool gauss_zones);

enum class PointFix {
    None,                  // the settings, not the rows, need changing
    SwapXY,                // exchange the x and y cells
    AddZoneNumber,         // put the Y constant's zone number into the eastings
    RemoveZoneNumber,      // take the zone number out of the eastings
    SwapBL,                // exchange the B and L cells
    ReadAsDecimalDegrees,  // read the angle columns as decimal degrees
};

struct PlausibilityWarning {
    std::vector<int> rows;  // data rows, counted from 1
    std::string text;       // names the rows, what is wrong and the fix
    PointFix fix = PointFix::None;
};

// The central meridian (decimal degrees) of a Gauss-Krüger zone number of
// China: 6n − 3 for 13..23, 3n for 24..45; nothing for another number.
std::optional<long double> ZoneMeridian(long double zone);

// Checks rows of cells whose columns have `roles` (as RolesFromTitles
// gives them; angles as packed ddd.mmss text). A cell that is no number is
// not judged here (the convert command reports it).
std::vector<PlausibilityWarning> CheckPointRows(const std::vector<std::vector<std::string>>& rows,
                                                const std::vector<std::string>& roles,
                                                const PlausibilitySettings& settings);

// Applies a warning's fix to its rows (ReadAsDecimalDegrees: to every row's
// angle cells, since a file writes all its angles one way). A number keeps
// the decimals it had.
void ApplyPointFix(const PlausibilityWarning& warning, const std::vector<std::string>& roles,
                   const PlausibilitySettings& settings, std::vector<std::vector<std::string>>& rows);

// The rows as a short list: "1-3, 7, 9" (at most 12 items, then "…").
std::string RowListText(const std::vector<int>& rows);

// The caption of a fix's button ("对调x和y", "加上带号", ...); empty for None.
std::string PointFixCaption(PointFix fix);

}  // namespace coordconv
