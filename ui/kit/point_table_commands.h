// The commands of the point tables' tool bars, shared by every conversion
// window: " 追加 ", " 插入 ", " 删除 ", " 清空 ", "文件导入" and "数据另存".
#pragma once

#include "table/coordinate_file.h"
#include "ui/kit/point_grid.h"
#include "table/user_dialogs.h"

namespace coordconv {

// The open dialog "打开坐标数据文件" and the save dialog "坐标数据另存为...":
// text files first, then spreadsheets (.xlsx and .ods to open, .xlsx to save).
inline constexpr const char* kSpreadsheetFilter = "Spreadsheets (*.xlsx *.ods)";
inline constexpr const char* kXlsxFilter = "Excel (*.xlsx)";
FileDialogSpec OpenCoordinateFileDialog();
FileDialogSpec SaveCoordinateFileDialog();

inline constexpr const char* kOverwriteQuestion = "文件已存在,覆盖吗?";
inline constexpr const char* kOverwriteTitle = "Information";

void AppendRow(PointGrid& grid);
void InsertRow(PointGrid& grid);
void DeleteRow(PointGrid& grid);
// Empties the source table and, when given, the result table.
void ClearRows(PointGrid& source, PointGrid* result);

// Asks for a file and reads it into the grid, the last row becoming current.
// A cancelled dialog or a failed read leaves the table as it was.
void ImportIntoGrid(PointGrid& grid, UserDialogs& dialogs, FieldSplit split);
// The same import of a file already chosen (a file dropped onto the grid).
void ImportFileIntoGrid(PointGrid& grid, const std::string& path, FieldSplit split);
// The import itself: a text file line by line, a spreadsheet's first sheet
// (.xlsx, .ods) row by row, a header row left out.
void ImportPointFile(const std::string& path, FieldSplit split, PointTable& table);

// Asks for a file to write with the save dialog: ".txt" is added to a name
// without extension, and an existing file is overwritten only after Yes to
// "文件已存在,覆盖吗?". Nothing when the user cancels or answers No.
std::optional<std::string> AskSavePath(UserDialogs& dialogs);
// The same with another dialog; a name without extension gets its default extension.
std::optional<std::string> AskSavePath(UserDialogs& dialogs, const FileDialogSpec& spec);

// Whether "文件导入" of `path` goes through the import dialog: a .dat or
// .txt file whose first lines do not fit the program's layout for a table
// of `column_count` columns, or a spreadsheet whose columns do not.
bool NeedsImportDialog(const std::string& path, int column_count);
// Whether a spreadsheet's rows (a header row left out) fit a table of
// `column_count` columns whose columns 1..numeric_columns-1 hold numbers.
// True for a file that cannot be read: the direct import reports it.
bool SpreadsheetFits(const std::string& path, int numeric_columns, int column_count);
// "文件导入" of a file in another layout: the import dialog on the file's
// first lines (a CASS .dat opens with the CASS preset); the chosen mapping
// reads the whole file, and each chosen fix is applied to the rows the
// checks name. Cancel, or a file that fails to read, leaves the table. A
// spreadsheet opens as tab-separated lines, its header row skipped.
void ImportMappedIntoGrid(PointGrid& grid, UserDialogs& dialogs, FieldSplit split, const std::string& path,
                          const PlausibilitySettings& settings);

// Asks for a file name (AskSavePath) and writes columns
// 0..written_columns-1 of every data row; a name ending in .dat of a table
// of plane coordinates gets the CASS layout (name, empty code, y, x, H), a
// name ending in .xlsx a spreadsheet (titles, then the rows).
void SaveGrid(const PointGrid& grid, UserDialogs& dialogs, int written_columns);

}  // namespace coordconv
