// Helpers of the datum model tests: common-point grids made from known
// transformations.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "table/point_table.h"
#include "fitting/common_points.h"
#include "table/row_conversion.h"
#include "tools/datum/bursa_wolf.h"

namespace coordconv {

// A realistic seven-parameter set (metres, arc seconds, scale difference) the
// datum tests move their networks with.
inline const SevenParameterFields kKnownSet = {"-12.5", "85.2", "40.7", "0.8", "-1.2", "2.1", "3.5E-6"};

}  // namespace coordconv

namespace coordconv::testing {

// Beijing 1954 (source, default) to Xi'an 1980 (target, default), both as
// Gauss-Krüger planes on the meridian 114 E of the 3-degree zone 38.
inline DatumFields Beijing54ToXian80() {
    DatumFields fields;
    fields.central_meridian1 = "114";
    SourceCentralMeridianChanged(fields);
    return fields;
}

// The packed ddd.mm text of an angle on whole minutes: -2.75 is -2°45′, "-2.45".
inline std::string PackedWholeMinutes(long double degrees) {
    const long double size = std::fabs(degrees);
    const long double whole = std::floor(size);
    return FormatGeneral(std::copysign(whole + std::round((size - whole) * 60) / 100, degrees));
}

// A source point's four cells: name, x|B, y|L, H.
struct SourcePoint {
    std::string name, p, q, h;
};

// A 13-column grid whose rows hold `points` as sources and, as targets, the
// cells that `convert` (a window's "转换计算") makes of them; every row
// adopted.
inline PointTable GridFromConversion(const CommonPointLayout& layout, const std::vector<SourcePoint>& points,
                                     const RowConversion& convert) {
    PointTable grid = NewCommonPointGrid(layout, CommonPointTitles(false, false));
    grid.SetRowCount(static_cast<int>(points.size()) + 1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        const std::string source[4] = {points[i].name, points[i].p, points[i].q, points[i].h};
        std::string result[4];
        convert(source, result);
        for (int col = 0; col < 4; ++col) grid.Cell(col, row) = source[col];
        for (int col = 1; col < 4; ++col) grid.Cell(col + 3, row) = result[col];
        grid.Cell(layout.adoption_column, row) = "Yes";
    }
    return grid;
}

// Adds `delta` to the number in a cell, keeping 4 decimals.
inline void Shift(PointTable& grid, int col, int row, long double delta) {
    grid.Cell(col, row) = FormatFixed(TextToNumber(grid.Cell(col, row)) + delta, 4);
}

inline double Number(const std::string& text) { return static_cast<double>(TextToNumber(text)); }

}  // namespace coordconv::testing
