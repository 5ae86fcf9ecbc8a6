#include "ui/kit/point_table_commands.h"

#include <QFileInfo>

#include "table/regular_file.h"
#include "ui/kit/qt_text.h"

namespace coordconv {

FileDialogSpec OpenCoordinateFileDialog() {
    FileDialogSpec spec;
    spec.title = "打开坐标数据文件";
    return spec;
}

FileDialogSpec SaveCoordinateFileDialog() {
    FileDialogSpec spec;
    spec.title = "坐标数据另存为...";
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
    grid.Edit([&](PointTable& table) { ImportCoordinateFile(path, split, FileEncoding::Gbk, table); });
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
    SaveCoordinateFile(*path, grid.Table(), written_columns, FileEncoding::Gbk);
}

}  // namespace coordconv
