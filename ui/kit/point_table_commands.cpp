#include "ui/kit/point_table_commands.h"

#include <QFileInfo>
#include <algorithm>

#include "convert/spreadsheet.h"
#include "core/errors.h"
#include "table/point_checks.h"
#include "table/point_file_layout.h"
#include "table/regular_file.h"
#include "table/sheet_rows.h"
#include "ui/kit/qt_text.h"

namespace coordconv {

FileDialogSpec OpenCoordinateFileDialog() {
    FileDialogSpec spec;
    spec.title = "打开坐标数据文件";
    spec.more_filters = {kSpreadsheetFilter};
    return spec;
}

FileDialogSpec SaveCoordinateFileDialog() {
    FileDialogSpec spec;
    spec.title = "坐标数据另存为...";
    spec.more_filters = {kXlsxFilter};
    return spec;
}

void AppendRow(PointGrid& grid) {
    const int row = grid.Edit([](PointTable& table) { return table.Append(); });
    grid.SetCurrentRow(row);
}

void InsertRow(PointGrid& grid) {
    const int current = grid.CurrentRow();
    const int row = grid.Edit([current](PointTable& table) { return table.Insert(current); });
    grid.SetCurrentRow(row);
}

void DeleteRow(PointGrid& grid) {
    const int current = grid.CurrentRow();
    const int row = grid.Edit([current](PointTable& table) { return table.Delete(current); });
    grid.SetCurrentRow(row);
}

void ClearRows(PointGrid& source, PointGrid* result) {
    source.KeepUndo();
    source.Edit([](PointTable& table) { table.Clear(); });
    source.SetCurrentRow(1);
    if (result != nullptr) {
        result->KeepUndo();
        result->Edit([](PointTable& table) { table.Clear(); });
        result->SetCurrentRow(1);
    }
}

void ImportIntoGrid(PointGrid& grid, UserDialogs& dialogs, FieldSplit split) {
    const std::optional<std::string> path = dialogs.AskOpenFile(OpenCoordinateFileDialog());
    if (!path) return;
    ImportFileIntoGrid(grid, *path, split);
}

void ImportFileIntoGrid(PointGrid& grid, const std::string& path, FieldSplit split) {
    // The import replaces the rows only once the whole file has been read, so a
    // file that cannot be read leaves the typed points as they were. A FIFO or
    // a device (dropped or chosen) is refused before it is opened.
    RequireRegularFile(path);
    grid.Edit([&](PointTable& table) { ImportPointFile(path, split, table); });
    grid.SetCurrentRow(grid.Table().RowCount() - 1);
}

void ImportPointFile(const std::string& path, FieldSplit split, PointTable& table) {
    if (!IsSpreadsheetPath(path)) {
        ImportCoordinateFile(path, split, FileEncoding::Gbk, table);
        return;
    }
    const CellRows rows = ReadSpreadsheetRows(path);
    ImportCellRows(rows, FirstDataRow(rows), split, table);
}

namespace {

std::vector<std::string> Titles(const PointTable& table) {
    return std::vector<std::string>(table.Row(0), table.Row(0) + table.ColCount());
}

// Lines the import dialog shows and checks.
constexpr int kDialogLines = 60;

}  // namespace

bool SpreadsheetFits(const std::string& path, int numeric_columns, int column_count) {
    try {
        const CellRows rows = ReadSpreadsheetRows(path);
        return FitsProgramColumns(rows, FirstDataRow(rows), numeric_columns, column_count);
    } catch (const CommandError&) {
        return true;  // the direct import reports the file's failure
    }
}

bool NeedsImportDialog(const std::string& path, int column_count) {
    if (IsSpreadsheetPath(path)) return !SpreadsheetFits(path, column_count, column_count);
    const QString suffix = QFileInfo(ToQString(path)).suffix().toLower();
    if (suffix != "dat" && suffix != "txt") return false;
    try {
        RequireRegularFile(path);  // before the first lines are read: a FIFO would block
        return !FitsProgramLayout(ReadFirstLines(path, FileEncoding::Gbk, kDialogLines), column_count, suffix == "dat");
    } catch (const CommandError&) {
        return false;  // the direct import reports the file's failure
    }
}

void ImportMappedIntoGrid(PointGrid& grid, UserDialogs& dialogs, FieldSplit split, const std::string& path,
                          const PlausibilitySettings& settings) {
    RequireRegularFile(path);
    ImportMappingRequest request;
    request.path = path;
    // A spreadsheet's rows are shown and read as tab-separated lines, a
    // header row found in them skipped.
    const bool sheet = IsSpreadsheetPath(path);
    std::vector<std::string> sheet_lines;
    int skip = 0;
    if (sheet) {
        const CellRows sheet_rows = ReadSpreadsheetRows(path);
        skip = FirstDataRow(sheet_rows);
        sheet_lines = TabSeparatedLines(sheet_rows);
        request.lines.assign(sheet_lines.begin(),
                             sheet_lines.begin() + std::min<std::ptrdiff_t>(kDialogLines, sheet_lines.size()));
        request.spreadsheet = true;
    } else {
        request.lines = ReadFirstLines(path, FileEncoding::Gbk, kDialogLines);
    }
    request.titles = Titles(grid.Table());
    const std::vector<std::string> roles = RolesFromTitles(request.titles);
    if (sheet) {
        for (const std::string& role : roles) request.mapping.columns.push_back(role.empty() ? "-" : role);
        request.mapping.separator = FieldSeparator::Tab;
        request.mapping.skip_lines = skip;
    } else if (IsCassFileName(path) && !FitsProgramLayout(request.lines, grid.Table().ColCount(), true)) {
        request.mapping = CassMapping();
        request.mapping_from_file = true;
    } else {
        for (const std::string& role : roles) request.mapping.columns.push_back(role.empty() ? "-" : role);
    }
    request.settings = settings;
    request.missing = split == FieldSplit::Projection ? "0" : "";
    const std::optional<ImportMappingChoice> choice = dialogs.AskImportMapping(request);
    if (!choice) return;

    PointTable read(request.titles);
    if (sheet) {
        ImportMappedLines(sheet_lines, choice->mapping, split, read);
    } else {
        ImportMappedFile(path, choice->mapping, split, FileEncoding::Gbk, read);
    }
    std::vector<std::vector<std::string>> rows;
    for (int row = 1; row < read.RowCount(); ++row) rows.emplace_back(read.Row(row), read.Row(row) + read.ColCount());
    // The fixes in a fixed order, each on the warnings of the rows as the
    // fixes before it left them.
    for (const PointFix fix : {PointFix::ReadAsDecimalDegrees, PointFix::SwapXY, PointFix::SwapBL,
                               PointFix::AddZoneNumber, PointFix::RemoveZoneNumber}) {
        if (std::find(choice->fixes.begin(), choice->fixes.end(), fix) == choice->fixes.end()) continue;
        for (const PlausibilityWarning& w : CheckPointRows(rows, roles, settings))
            if (w.fix == fix) ApplyPointFix(w, roles, settings, rows);
    }
    std::vector<std::string> cells;
    for (auto& row : rows)
        for (auto& cell : row) cells.push_back(std::move(cell));
    const int row_count = static_cast<int>(rows.size());
    grid.Edit([&](PointTable& table) { table.AssignDataRows(std::move(cells), row_count); });
    grid.SetCurrentRow(grid.Table().RowCount() - 1);
}

std::optional<std::string> AskSavePath(UserDialogs& dialogs) { return AskSavePath(dialogs, SaveCoordinateFileDialog()); }

std::optional<std::string> AskSavePath(UserDialogs& dialogs, const FileDialogSpec& spec) {
    std::optional<std::string> path = dialogs.AskSaveFile(spec);
    if (!path) return std::nullopt;
    const QFileInfo info(ToQString(*path));
    if (info.suffix().isEmpty() && !info.fileName().isEmpty()) *path += "." + spec.default_extension;
    if (QFileInfo::exists(ToQString(*path)) &&
        !dialogs.AskYesNo(kOverwriteTitle, kOverwriteQuestion, MessageIcon::Information))
        return std::nullopt;
    return path;
}

void SaveGrid(const PointGrid& grid, UserDialogs& dialogs, int written_columns) {
    const std::optional<std::string> path = AskSavePath(dialogs);
    if (!path) return;
    if (IsXlsxPath(*path)) {
        SaveSpreadsheet(*path, grid.Table(), written_columns);
        return;
    }
    if (IsCassFileName(*path) && CassColumnsOf(RolesFromTitles(Titles(grid.Table())))) {
        SaveCassFile(*path, grid.Table(), FileEncoding::Gbk);
        return;
    }
    SaveCoordinateFile(*path, grid.Table(), written_columns, FileEncoding::Gbk);
}

}  // namespace coordconv
