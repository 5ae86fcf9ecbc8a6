// Cell ranges as the clipboard carries them between the point tables and
// spreadsheet programs (LibreOffice Calc, WPS, Excel): lines of cells
// separated by tabs; a cell holding a tab, a line break or a quote is quoted
// ("..." with "" for a quote).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "table/point_table.h"

namespace coordconv {

using CellRange = std::vector<std::vector<std::string>>;

// Splits clipboard text into rows of cells. Lines end with CR LF, LF or CR;
// one line end after the last line is no further row. The cells are split at
// tabs when the text holds a tab anywhere, otherwise at commas (a CSV copy);
// quoted cells keep their separators and line breaks. UTF-8 in, UTF-8 out.
// A cell longer than the import's line limit (kMaxLineBytes) is no point's
// field: it fails with CommandError "Cell longer than 4 MB" as soon as it
// is met.
CellRange ParseClipboardText(std::string_view text);

// True when `text` pastes as more than one cell: it holds a tab or a line
// break (a cell editor hands such a paste to the table).
bool HoldsSeveralCells(std::string_view text);

// The rows as tab-separated lines, each ended by "\n", cells quoted where
// needed (see above).
std::string ClipboardText(const CellRange& rows);

// Writes `rows` into the data rows of `table` from (first_col, first_row)
// (row 1 = the first data row) to the right and down, adding rows at the end
// as needed; cells beyond the last column are dropped. The title row never
// changes: first_row must be at least 1. Returns the last row written.
int PasteCells(PointTable& table, int first_col, int first_row, const CellRange& rows);

}  // namespace coordconv
