#include "ui/kit/point_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>
#include <cmath>

#include "table/coordinate_file.h"
#include "ui/kit/command_runner.h"
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

void ColumnShareView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::Paste)) {
        PasteFromKey();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Undo)) {
        Undo();
    } else if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        DeleteSelection();
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool ColumnShareView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool editing = QTableView::edit(index, trigger, event);
    // The view sees the editor's keys before the editor does (a filter added
    // later runs first): see eventFilter.
    if (editing)
        if (QWidget* editor = indexWidget(index)) editor->installEventFilter(this);
    return editing;
}

bool ColumnShareView::eventFilter(QObject* watched, QEvent* event) {
    // A click opens the cell editor, so Ctrl+V reaches the editor. A block
    // copied from a spreadsheet would become one cell's text there: the
    // editor is closed without committing (the paste overwrites its cell
    // anyway) and the table takes the paste.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) &&
        watched == indexWidget(currentIndex())) {
        const std::string text = ToStdString(QApplication::clipboard()->text());
        if (HoldsSeveralCells(text) || text.size() > kMaxLineBytes) {
            closeEditor(static_cast<QWidget*>(watched), QAbstractItemDelegate::NoHint);
            PasteFromKey();
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ColumnShareView::PasteFromKey() {
    const std::optional<std::string> failure = TryCommand([this] { PasteClipboard(); });
    if (failure && dialogs_ != nullptr) dialogs_->ShowError(*failure);
}

void ColumnShareView::CopySelection() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    int top = selected.front().row(), bottom = top, left = selected.front().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    CellRange cells;
    for (int row = top; row <= bottom; ++row) {
        std::vector<std::string> line;
        for (int col = left; col <= right; ++col)
            line.push_back(ToStdString(model()->data(model()->index(row, col), Qt::DisplayRole).toString()));
        cells.push_back(std::move(line));
    }
    QApplication::clipboard()->setText(ToQString(ClipboardText(cells)));
}

void ColumnShareView::PasteClipboard() {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;  // only data cells take a paste, never the title row
    const CellRange cells = ParseClipboardText(ToStdString(QApplication::clipboard()->text()));
    if (cells.empty()) return;
    KeepUndo();
    PasteCellsAt(current.row(), current.column(), cells);
    // The pasted range becomes the selection.
    std::size_t widest = 0;
    for (const auto& row : cells) widest = std::max(widest, row.size());
    const QModelIndex last = model()->index(
        std::min(current.row() + static_cast<int>(cells.size()), model()->rowCount()) - 1,
        std::min(current.column() + static_cast<int>(widest), model()->columnCount()) - 1);
    setCurrentIndex(model()->index(current.row(), current.column()));
    selectionModel()->select(QItemSelection(model()->index(current.row(), current.column()), last),
                             QItemSelectionModel::ClearAndSelect);
}

void ColumnShareView::PasteCellsAt(int first_row, int first_col, const CellRange& cells) {
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            const QModelIndex index = model()->index(first_row + static_cast<int>(r), first_col + static_cast<int>(c));
            if (index.isValid() && (model()->flags(index) & Qt::ItemIsEditable))
                model()->setData(index, ToQString(cells[r][c]), Qt::EditRole);
        }
}

void ColumnShareView::DeleteSelection() {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    KeepUndo();
    for (const QModelIndex& index : selected)
        if (model()->flags(index) & Qt::ItemIsEditable) model()->setData(index, QString(), Qt::EditRole);
}

void ColumnShareView::Undo() { RestoreUndo(); }

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

void PointGrid::RestoreUndo() {
    if (!undo_) return;
    const int row = CurrentRow();
    Edit([this](PointTable& table) {
        table = std::move(*undo_);
    });
    undo_.reset();
    SetCurrentRow(row);
}

void PointGrid::PasteCellsAt(int first_row, int first_col, const CellRange& cells) {
    // Model row r is table row r + 1; rows are added as the text needs them.
    Edit([&](PointTable& table) { PasteCells(table, first_col, first_row + 1, cells); });
}

void PointGrid::SetFileDropHandler(std::function<void(const std::string& path)> import) {
    import_dropped_ = std::move(import);
    setAcceptDrops(static_cast<bool>(import_dropped_));
    viewport()->setAcceptDrops(static_cast<bool>(import_dropped_));
}

namespace {

// The first local file of a drag, or nothing.
std::optional<std::string> DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return std::nullopt;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return ToStdString(url.toLocalFile());
    return std::nullopt;
}

}  // namespace

void PointGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (import_dropped_ && DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    ColumnShareView::dragEnterEvent(event);
}

void PointGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (import_dropped_ && DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
        return;
    }
    ColumnShareView::dragMoveEvent(event);
}

void PointGrid::dropEvent(QDropEvent* event) {
    const std::optional<std::string> path = DroppedFile(event->mimeData());
    if (!import_dropped_ || !path) {
        ColumnShareView::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    import_dropped_(*path);
}

std::vector<int> PointGrid::ColumnWidths() const {
    std::vector<int> widths;
    for (int col = 0; col < table_.ColCount(); ++col) widths.push_back(columnWidth(col));
    return widths;
}

}  // namespace coordconv
