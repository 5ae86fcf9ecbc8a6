// The convert command ("转换计算") of the point-table windows: a conversion of
// one source row into one result row, built from the texts of the window's
// boxes, applied to every data row in order. The windows and coordconv-cli
// run the very same conversions.
#pragma once

#include <functional>
#include <string>

#include "core/point_conversion.h"
#include "table/point_table.h"

namespace coordconv {

// Converts the cells of one source row into the cells of one result row.
// Raises CommandError for a cell that is not a number or a floating-point
// fault, before any cell of the result row is written. A conversion keeps no
// state between rows: coordconv-cli converts rows on several threads.
using RowConversion = std::function<void(const std::string* source_row, std::string* result_row)>;

// Sets the result table's row count to the source's, then converts the data
// rows from 1 upwards. A failing row ends the command there: the rows above
// hold their new results, that row and the rows below are untouched.
void ConvertTable(const RowConversion& convert, const PointTable& source, PointTable& result);

// Rows name, x, y (metres) through a conversion of plane points to rows
// name, x', y' with 4 decimals; no height is read (0 goes in).
RowConversion PlaneRowConversion(const PointConversion& conversion);

// Rows name, B, L (packed ddd.mmss) through a conversion of geodetic to plane
// points to rows name, x, y with 4 decimals; no height is read (0 goes in).
RowConversion GeodeticToPlaneRowConversion(const PointConversion& conversion);

// Rows name, x, y (metres) through a conversion of plane to geodetic points
// to rows name, B, L in packed ddd.mmss (PackedDmsCellsOf); no height is read.
RowConversion PlaneToGeodeticRowConversion(const PointConversion& conversion);

}  // namespace coordconv
