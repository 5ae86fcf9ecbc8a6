// The coefficient table of the polynomial and height-fitting windows (object
// name StringGrid4, set by each window) as a widget: two columns, no title row; column 0 is the fixed
// label column (button-face cells, the label centred both ways), column 1
// holds the editable coefficient texts in blue. Rows are 20 pixels high.
// Also the two commands of its file, "保存参数" and "导入参数".
#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "ui/kit/point_grid.h"
#include "table/user_dialogs.h"
#include "fitting/coefficient_table.h"

namespace coordconv {

class CoefficientTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CoefficientTableModel(CoefficientTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // How a cell is drawn: the labels of column 0 are centred on the fixed
    // cells' colour; the coefficients of column 1 are blue.
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }

private:
    CoefficientTable& table_;
};

class CoefficientGrid : public ColumnShareView {
    Q_OBJECT
public:
    CoefficientGrid(CoefficientTable table, QWidget* parent = nullptr);

    CoefficientTable& Table() { return table_; }
    const CoefficientTable& Table() const { return table_; }

    // Runs `change` on the table and shows the result.
    template <typename Change>
    auto Edit(Change&& change) {
        return EditThroughModel(model_, table_, std::forward<Change>(change));
    }

    // The current row (0 = first row); SetCurrentRow selects the value cell.
    int CurrentRow() const;
    void SetCurrentRow(int row);

    std::vector<int> ColumnWidths() const;

protected:
    void KeepUndo() override { undo_ = table_; }
    void RestoreUndo() override;

private:
    CoefficientTable table_;
    CoefficientTableModel model_;
    std::optional<CoefficientTable> undo_;
};

// "保存参数": the save dialog (".txt" added, overwrite question), then the
// coefficient file of every row.
void SaveCoefficients(const CoefficientGrid& grid, UserDialogs& dialogs);
// "导入参数": the open dialog, then the file's lines become the rows (the
// table is replaced only once the whole file is read); the last row becomes
// current.
void LoadCoefficients(CoefficientGrid& grid, UserDialogs& dialogs);

}  // namespace coordconv
