#include "ui/kit/point_grid.h"

#include <QHeaderView>
#include <cmath>

#include "ui/kit/qt_text.h"

namespace coordconv {

PointTableModel::PointTableModel(PointTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {}

int PointTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.RowCount() - 1;
}

int PointTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.ColCount(); }

bool PointTableModel::Holds(const QModelIndex& index) const {
    return index.isValid() && index.row() + 1 < table_.RowCount() && index.column() < table_.ColCount();
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
    // A message box shown while a command runs may repaint the grid before it
    // has been told of new row counts: cells beyond the table are blank.
    if (!Holds(index) || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return ToQString(table_.Cell(index.column(), index.row() + 1));
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!Holds(index) || role != Qt::EditRole) return false;
    table_.Cell(index.column(), index.row() + 1) = ToStdString(value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return ToQString(table_.Cell(section, 0));
    return section + 1;
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

// ---------------------------------------------------------------------------

void ColumnShareView::SetColumnShares(std::vector<long double> shares, int width_offset) {
    column_shares_ = std::move(shares);
    width_offset_ = width_offset;
    ApplyColumnShares();
}

void ColumnShareView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    ApplyColumnShares();
}

void ColumnShareView::ApplyColumnShares() {
    if (column_shares_.empty()) return;
    const std::vector<int> widths = ShareColumnWidths(width(), column_shares_, width_offset_);
    for (std::size_t col = 0; col < widths.size(); ++col) setColumnWidth(static_cast<int>(col), widths[col]);
}

// ---------------------------------------------------------------------------

PointGrid::PointGrid(std::vector<std::string> titles, int default_column_width, QWidget* parent)
    : ColumnShareView(parent), table_(std::move(titles)), model_(table_) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(default_column_width);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    SetCurrentRow(1);
}

PointGrid::~PointGrid() {
    // Releases any open editor without committing it; the model and table,
    // members of this class, are destroyed before the base class's widgets.
    setModel(nullptr);
}

void PointGrid::Refresh() {
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    const int row = CurrentRow();
    Edit([](PointTable&) {});
    setCurrentIndex(model_.index(std::min(row, table_.RowCount() - 1) - 1, column));
}

int PointGrid::CurrentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 1;
}

void PointGrid::SetCurrentRow(int row) {
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const int clamped = std::clamp(row, 1, table_.RowCount() - 1);
    setCurrentIndex(model_.index(clamped - 1, column));
}

std::vector<int> PointGrid::ColumnWidths() const {
    std::vector<int> widths;
    for (int col = 0; col < table_.ColCount(); ++col) widths.push_back(columnWidth(col));
    return widths;
}

}  // namespace coordconv
