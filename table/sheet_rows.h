// Point tables from the rows of a spreadsheet's sheet: each row a list of
// cell texts (UTF-8) as the sheet shows them. The same imports as for a text
// file apply: the rows read directly when their columns are the program's
// own (name first, then the table's columns), otherwise through a column
// mapping, over the rows joined into tab-separated lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "table/coordinate_file.h"
#include "table/point_file_layout.h"
#include "table/point_table.h"

namespace coordconv {

using CellRows = std::vector<std::vector<std::string>>;

// A number cell's text with the digits a spreadsheet shows: a number written
// in exponent form or with more than 15 digits from its first non-zero one
// (a writer's binary expansion, 3376500.1735999998636544 for 3376500.1736,
// 32.0000000000000000 for 32) becomes the shortest plain decimal that reads
// back as the same double; every other text (names, angle texts, numbers of
// up to 15 digits as typed) is kept.
std::string SpreadsheetCellText(std::string_view text);

// Where the data start: after the first non-empty row when it is a header,
// else 0. A header holds, in some column after the first (the name), a text
// that is no number where the next non-empty row holds a number, or a text
// without any digit where that row's cell has digits (an angle text such as
// 30°30′15″ below "纬度"). Empty rows above or below it do not count.
int FirstDataRow(const CellRows& rows);

// True when the rows from `first_row` on read as the program's own layout
// into a table of `column_count` columns: no row has more cells, and the
// cells after the name up to column `numeric_columns` - 1 are numbers or
// empty (the first 20 rows looked at).
bool FitsProgramColumns(const CellRows& rows, int first_row, int numeric_columns, int column_count);

// The rows as the lines the import dialog and the mapping read: cells joined
// by tabs (FieldSeparator::Tab), a tab or line break inside a cell read as a
// blank.
std::vector<std::string> TabSeparatedLines(const CellRows& rows);

// The rows from `first_row` on, cell by cell into the table's columns (a
// missing cell "0" in the projection tools, empty in the fitting windows).
// Empty rows are left out. The table is changed only when all rows fit.
void ImportCellRows(const CellRows& rows, int first_row, FieldSplit split, PointTable& table);

}  // namespace coordconv
