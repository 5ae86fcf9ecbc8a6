// Point tables in spreadsheets (.xlsx, .ods) through GDAL's XLSX and ODS
// drivers.
//
// Reading takes the first sheet as rows of cell texts (table/sheet_rows.h
// decides about a header row and the columns): GDAL is told neither to take
// a header nor to guess column types, so every row arrives as it stands and
// every cell as text; number cells get the digits the sheet shows
// (SpreadsheetCellText).
//
// Writing makes an .xlsx of one sheet: the table's titles as its first row,
// then the data rows. A column whose cells are all numbers (or empty) is
// written as number cells, any other as text cells; the name column is always
// text, so a name such as 007 keeps its zeros. Name bytes that are no GBK
// character are written as U+FFFD, as are control characters, which the
// format cannot hold.
#pragma once

#include <string>
#include <string_view>

#include "table/point_table.h"
#include "table/sheet_rows.h"

namespace coordconv {

// True for a name ending in .xlsx or .ods, any case.
bool IsSpreadsheetPath(std::string_view path);

// The rows of the first sheet, each without its trailing empty cells.
// Raises CommandError: the program's file error texts ("File not found",
// "File access denied" for anything but a regular file), or
// "'<path>' is no spreadsheet GDAL can read".
CellRows ReadSpreadsheetRows(const std::string& path);

// The table's titles and columns 0..written_columns-1 of every data row as
// an .xlsx file, written through SafeFileWriter (the old file stays until the
// new one is complete).
void SaveSpreadsheet(const std::string& path, const PointTable& table, int written_columns);

// True when a name ending in .xlsx is asked for ("数据另存" and -o write a
// spreadsheet then; .ods is read only).
bool IsXlsxPath(std::string_view path);

}  // namespace coordconv
