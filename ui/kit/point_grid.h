// An editable grid over a PointTable: row 0 of the table is the fixed title
// row, the data rows are edited in place (editor opened by any key or
// click), ranges can be selected, rows are 20 pixels high. A model/view grid,
// so a table of a million points costs only its cell texts.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "table/clipboard_text.h"
#include "table/column_shares.h"
#include "table/point_table.h"
#include "table/user_dialogs.h"

namespace coordconv {

class PointTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PointTableModel(PointTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // True when the index names a cell of the table as it now is.
    bool Holds(const QModelIndex& index) const;

    // Call around any change of the table made outside the model.
    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }

private:
    PointTable& table_;
};

// Runs `change` on `table` and shows the result: `model` is reset around the
// change, also when the change throws.
template <typename Model, typename Table, typename Change>
auto EditThroughModel(Model& model, Table& table, Change&& change) {
    struct Refresh {
        Model& model;
        ~Refresh() { model.EndChange(); }
    };
    model.BeginChange();
    const Refresh refresh{model};
    return change(table);
}

// A table view whose column widths are shares of (width - width_offset),
// applied whenever its width changes, with the keys of a spreadsheet:
// Ctrl+C copies the selected range as tab-separated lines, Ctrl+V pastes
// tab- or comma-separated text at the current cell, Ctrl+A selects every
// data row, Delete empties the selected cells, and Ctrl+Z takes back the
// last paste, delete or clear (one level). Ctrl+V in an open cell editor
// pastes into the editor when the clipboard holds one cell, and hands a
// paste of several cells (or of a cell too long for any point) to the table.
class ColumnShareView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    using QTableView::edit;

    // Empty shares keep the default column width.
    void SetColumnShares(std::vector<long double> shares, int width_offset = 34);

    // Where a refused paste ("Cell longer than 4 MB") is reported; without
    // one the paste is refused silently.
    void SetDialogs(UserDialogs& dialogs) { dialogs_ = &dialogs; }

    void CopySelection() const;
    // Fails with CommandError for a cell longer than the import's line limit;
    // the table is then unchanged.
    void PasteClipboard();
    void DeleteSelection();
    void Undo();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The grid's table before a change, restored by Undo.
    virtual void KeepUndo() {}
    virtual void RestoreUndo() {}
    // Writes `cells` from the model cell (first_row, first_col) on; the
    // default writes the editable cells the model has, a point grid adds rows.
    virtual void PasteCellsAt(int first_row, int first_col, const CellRange& cells);

private:
    void ApplyColumnShares();
    // PasteClipboard, a failure in the common error box.
    void PasteFromKey();

    UserDialogs* dialogs_ = nullptr;
    std::vector<long double> column_shares_;
    int width_offset_ = 34;
};

class PointGrid : public ColumnShareView {
    Q_OBJECT
public:
    PointGrid(std::vector<std::string> titles, int default_column_width, QWidget* parent = nullptr);
    // Closes an open cell editor first: it must not commit into a table that
    // is already gone.
    ~PointGrid() override;

    // Shows the table as it now is (after a command changed it), keeping the
    // current cell where the table still has it.
    void Refresh();

    PointTable& Table() { return table_; }
    const PointTable& Table() const { return table_; }

    // Runs `change` on the table and shows the result.
    template <typename Change>
    auto Edit(Change&& change) {
        return EditThroughModel(model_, table_, std::forward<Change>(change));
    }

    // The current row as the table counts it (1 = first data row).
    int CurrentRow() const;
    void SetCurrentRow(int row);

    std::vector<int> ColumnWidths() const;

    // The table as it is now becomes what Ctrl+Z brings back (the row
    // commands that empty a table call it).
    void KeepUndo() override { undo_ = table_; }

    // A text file dropped onto the grid goes to `import` (its local path);
    // without a handler the grid takes no drops.
    void SetFileDropHandler(std::function<void(const std::string& path)> import);

protected:
    void RestoreUndo() override;
    void PasteCellsAt(int first_row, int first_col, const CellRange& cells) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    PointTable table_;
    PointTableModel model_;
    std::optional<PointTable> undo_;
    std::function<void(const std::string&)> import_dropped_;
};


}  // namespace coordconv
