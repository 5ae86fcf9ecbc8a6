#include "ui/kit/coefficient_grid_window.h"

#include <QBrush>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPalette>
#include <algorithm>

#include "table/regular_file.h"
#include "ui/kit/point_table_commands.h"
#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

constexpr int kLabelColumn = 0;
constexpr int kValueColumn = 1;

}  // namespace

CoefficientTableModel::CoefficientTableModel(CoefficientTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int CoefficientTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.RowCount(); }

int CoefficientTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant CoefficientTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= table_.RowCount()) return {};
    const bool label = index.column() == kLabelColumn;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return ToQString(label ? table_.Label(index.row()) : table_.Value(index.row()));
        case Qt::TextAlignmentRole:
            return label ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            return label ? QVariant(QGuiApplication::palette().brush(QPalette::Button)) : QVariant();
        case Qt::ForegroundRole:
            return label ? QVariant() : QVariant(QBrush(Qt::blue));
        default:
            return {};
    }
}

bool CoefficientTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() != kValueColumn) return false;
    table_.Value(index.row()) = ToStdString(value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags CoefficientTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // The label column is fixed: neither selected nor edited.
    if (index.column() == kLabelColumn) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

// ---------------------------------------------------------------------------

CoefficientGrid::CoefficientGrid(CoefficientTable table, QWidget* parent)
    : ColumnShareView(parent), table_(std::move(table)), model_(table_) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
}

int CoefficientGrid::CurrentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : 0;
}

void CoefficientGrid::SetCurrentRow(int row) {
    if (table_.RowCount() == 0) return;
    setCurrentIndex(model_.index(std::clamp(row, 0, table_.RowCount() - 1), kValueColumn));
}

void CoefficientGrid::RestoreUndo() {
    if (!undo_) return;
    Edit([this](CoefficientTable& table) { table = std::move(*undo_); });
    undo_.reset();
}

std::vector<int> CoefficientGrid::ColumnWidths() const { return {columnWidth(0), columnWidth(1)}; }

// ---------------------------------------------------------------------------

void SaveCoefficients(const CoefficientGrid& grid, UserDialogs& dialogs) {
    const std::optional<std::string> path = AskSavePath(dialogs);
    if (!path) return;
    SaveCoefficientFile(*path, grid.Table(), FileEncoding::Gbk);
}

void LoadCoefficients(CoefficientGrid& grid, UserDialogs& dialogs) {
    const std::optional<std::string> path = dialogs.AskOpenFile(OpenCoordinateFileDialog());
    if (!path) return;
    RequireRegularFile(*path);
    grid.Edit([&](CoefficientTable& table) { LoadCoefficientFile(*path, FileEncoding::Gbk, table); });
    grid.SetCurrentRow(grid.Table().RowCount() - 1);
}

}  // namespace coordconv
