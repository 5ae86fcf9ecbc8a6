#include "ui/kit/fitting_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "convert/spreadsheet.h"
#include "core/proj_pipeline.h"
#include "table/coordinate_file.h"
#include "core/number_text.h"
#include "table/regular_file.h"
#include "ui/kit/point_table_commands.h"
#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

// Lets the grid see the events of every cell editor it opens (the double
// click lands on the open editor, not on the grid).
class EditorWatchingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor != nullptr) editor->installEventFilter(this->parent());
        return editor;
    }
};

constexpr int kCommonPointColumnWidth = 60;

}  // namespace

// ---------------------------------------------------------------------------

CommonPointGrid::CommonPointGrid(std::vector<std::string> titles, int default_column_width, QWidget* parent)
    : PointGrid(std::move(titles), default_column_width, parent) {
    setItemDelegate(new EditorWatchingDelegate(this));
    connect(this, &QAbstractItemView::doubleClicked, this, [this] { emit CellDoubleClicked(); });
}

int CommonPointGrid::CurrentColumn() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.column() : 0;
}

bool CommonPointGrid::eventFilter(QObject* watched, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonDblClick && editor != nullptr && editor != viewport() &&
        editor->parentWidget() == viewport()) {
        commitData(editor);  // the typed text counts, as in the grid itself
        emit CellDoubleClicked();
        return true;
    }
    return PointGrid::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------

ConversionWindowLayout FittingPointLayout(const std::string& caption, int width, int height) {
    ConversionWindowLayout layout;
    layout.caption = caption;
    layout.width = width;
    layout.height = height;
    layout.source_group_caption = "原坐标";
    layout.result_group_caption = "新坐标";
    layout.column_shares = {0.16L, 0.32L, 0.32L, 0.20L};
    layout.split = FieldSplit::Fitting;
    layout.written_columns = 4;
    layout.clear_empties_result = true;
    layout.source_group_name = "GroupBox5";
    layout.result_group_name = "GroupBox6";
    return layout;
}

void StyleParameterEdit(QLineEdit* edit) {
    edit->setFrame(false);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    palette.setColor(QPalette::Text, Qt::blue);
    edit->setPalette(palette);
}

void SetGridTitles(PointGrid& grid, const std::vector<std::string>& titles) {
    PointTable& table = grid.Table();
    const int count = std::min(table.ColCount(), static_cast<int>(titles.size()));
    for (int col = 0; col < count; ++col) table.Cell(col, 0) = titles[static_cast<std::size_t>(col)];
    if (count > 0) grid.horizontalHeader()->headerDataChanged(Qt::Horizontal, 0, count - 1);
}

void RefreshGrid(PointGrid& grid) { grid.Refresh(); }

// ---------------------------------------------------------------------------

FittingWindow::FittingWindow(QWidget* owner, UserDialogs& dialogs, const FittingWindowLayout& layout)
    : ConversionWindow(owner, dialogs, layout.points), layout_(layout) {
    SourceToolBar()->setObjectName("ToolBar1");
    ResultToolBar()->setObjectName("ToolBar2");

    // The point tables move below the common points, each area on a splitter.
    auto* outer = static_cast<QVBoxLayout*>(QWidget::layout());
    QSplitter* points = PointSplitter();
    outer->removeWidget(points);
    vertical_ = new QSplitter(Qt::Vertical, this);
    vertical_->setObjectName("Splitter2");
    vertical_->setChildrenCollapsible(false);
    outer->addWidget(vertical_, 1);
    upper_ = new QSplitter(Qt::Horizontal, vertical_);
    upper_->setObjectName("Splitter3");
    upper_->setChildrenCollapsible(false);
    vertical_->addWidget(upper_);
    vertical_->addWidget(points);

    // "公共点坐标": the common points above their tool bar.
    common_group_ = new QGroupBox(ToQString(layout.common_group_caption), upper_);
    common_group_->setObjectName("GroupBox3");
    common_box_ = new QVBoxLayout(common_group_);
    common_box_->setContentsMargins(2, 2, 2, 2);
    common_ = new CommonPointGrid(layout.common_point_titles, kCommonPointColumnWidth, common_group_);
    common_->setObjectName("StringGrid3");
    common_->SetDialogs(dialogs_);
    common_->setToolTip(ToQString(layout.common_point_hint));
    common_->Edit([&](PointTable& table) { table = NewCommonPointGrid(layout.common_points, layout.common_point_titles); });
    common_->SetCurrentRow(1);
    common_->SetColumnShares(layout.common_point_shares, layout.common_point_width_offset);
    connect(common_, &CommonPointGrid::CellDoubleClicked, this, [this] { ToggleAdoptionAtCurrentCell(); });
    common_box_->addWidget(common_, 1);

    common_bar_ = new QToolBar(common_group_);
    common_bar_->setObjectName("ToolBar3");
    common_bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    common_bar_->installEventFilter(this);
    common_box_->addWidget(common_bar_);
    AddButton(common_bar_, "ToolButton8", " 追加 ", [this] { AppendCommonPoint(); });
    AddButton(common_bar_, "ToolButton9", " 插入 ", [this] { InsertCommonPoint(); });
    AddButton(common_bar_, "ToolButton10", "文件导入", [this] { ImportCommonPointFile(); });
    AddButton(common_bar_, "ToolButton11", " 删除 ", [this] { DeleteCommonPoint(); });
    AddButton(common_bar_, "ToolButton12", " 清空 ", [this] { ClearCommonPoints(); });
    AddButton(common_bar_, "ToolButton16", "保存公共点", [this] { SaveCommonPointFile(); });
    QToolButton* solve = AddButton(common_bar_, "ToolButton13", ToQString(layout.solve_caption),
                                   [this] { SolveParameters(); });
    solve_action_ = nullptr;
    for (QAction* action : common_bar_->actions())
        if (common_bar_->widgetForAction(action) == solve) solve_action_ = action;
    accuracy_edit_ = new QLineEdit(common_bar_);
    accuracy_edit_->setObjectName("EditMp");
    StyleParameterEdit(accuracy_edit_);
    accuracy_edit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    common_bar_->addWidget(accuracy_edit_);
    AddButton(common_bar_, "ToolButton19", "精度报告", [this] { ShowPrecisionReport(); });

    // The parameter group, its tool bar at its foot.
    parameter_group_ = new QGroupBox(ToQString(layout.parameter_group_caption), upper_);
    parameter_group_->setObjectName("GroupBox4");
    auto* parameter_box = new QVBoxLayout(parameter_group_);
    parameter_box->setContentsMargins(2, 2, 2, 2);
    parameter_area_ = new QVBoxLayout;
    parameter_box->addLayout(parameter_area_, 1);
    parameter_bar_ = new QToolBar(parameter_group_);
    parameter_bar_->setObjectName("ToolBar4");
    parameter_bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    parameter_box->addWidget(parameter_bar_);
    AddButton(parameter_bar_, "ToolButton14", "保存参数", [this] { SaveParameters(); });
    AddButton(parameter_bar_, "ToolButton15", "导入参数", [this] { LoadParameters(); });

    upper_->addWidget(common_group_);
    upper_->addWidget(parameter_group_);
    upper_->setStretchFactor(0, 1);
    upper_->setStretchFactor(1, 0);
    vertical_->setStretchFactor(0, 1);
    vertical_->setStretchFactor(1, 1);
}

QLineEdit* FittingWindow::AddParameterEdit(const QString& name, const QString& label, const QString& hint,
                                           const QString& text) {
    if (parameter_form_ == nullptr) {
        parameter_form_ = new QGridLayout;
        parameter_form_->setContentsMargins(4, 4, 4, 4);
        parameter_form_->setVerticalSpacing(6);
        parameter_form_->setColumnStretch(1, 1);
        parameter_area_->addLayout(parameter_form_);
        parameter_area_->addStretch(1);
    }
    auto* caption = new QLabel(label, parameter_group_);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = new QLineEdit(text, parameter_group_);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    StyleParameterEdit(edit);
    caption->setBuddy(edit);
    const int row = static_cast<int>(parameter_edits_.size());
    parameter_form_->addWidget(caption, row, 0);
    parameter_form_->addWidget(edit, row, 1);
    parameter_edits_.push_back(edit);
    return edit;
}

QLineEdit* FittingWindow::AddParameterEdit(const ParameterEditSpec& spec) {
    return AddParameterEdit(spec.object_name, QString::fromUtf8(spec.label), QString::fromUtf8(spec.hint));
}

std::vector<std::string> FittingWindow::ParameterTexts() const {
    std::vector<std::string> texts;
    texts.reserve(parameter_edits_.size());
    for (const QLineEdit* edit : parameter_edits_) texts.push_back(ToStdString(edit->text()));
    return texts;
}

void FittingWindow::SetParameterTexts(const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < parameter_edits_.size(); ++i)
        parameter_edits_[i]->setText(i < texts.size() ? ToQString(texts[i]) : QString());
}

QToolButton* FittingWindow::AddCommonPointButton(const QString& name, const QString& caption,
                                                 std::function<void()> click) {
    return AddButton(common_bar_, name, caption, std::move(click), solve_action_);
}

void FittingWindow::AddAboveCommonPoints(QWidget* widget) {
    widget->setParent(common_group_);
    common_box_->insertWidget(common_box_->indexOf(common_), widget);
}

void FittingWindow::SetSettingsGroups(QWidget* source, QWidget* target) {
    settings_panel_ = new QWidget(vertical_);
    settings_panel_->setObjectName("Panel1");
    auto* row = new QHBoxLayout(settings_panel_);
    row->setContentsMargins(0, 0, 0, 0);
    source->setParent(settings_panel_);
    target->setParent(settings_panel_);
    row->addWidget(source);
    row->addWidget(target, 1);
    settings_source_ = source;
    vertical_->insertWidget(0, settings_panel_);
    vertical_->setStretchFactor(0, 0);
    vertical_->setStretchFactor(1, 1);
    vertical_->setStretchFactor(2, 1);
    panels_sized_ = false;
}

void FittingWindow::SetCommonPointTitles(const std::vector<std::string>& titles) { SetGridTitles(*common_, titles); }

void FittingWindow::AppendCommonPoint() { AppendRow(*common_); }
void FittingWindow::InsertCommonPoint() { InsertRow(*common_); }
void FittingWindow::DeleteCommonPoint() { DeleteRow(*common_); }
void FittingWindow::ClearCommonPoints() { ClearRows(*common_, nullptr); }

void FittingWindow::ImportCommonPointFile() {
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    Run([this, shift] {
        const std::optional<std::string> path = dialogs_.AskOpenFile(OpenCoordinateFileDialog());
        if (!path) return;
        RequireRegularFile(*path);
        // A common-point file in another layout (or any file with Shift held)
        // goes through the import dialog; its fields up to the point residual
        // are numbers in the program's own files. Every point read is adopted.
        const bool sheet = IsSpreadsheetPath(*path);
        const bool mapped =
            shift || (sheet ? !SpreadsheetFits(*path, layout_.common_points.usable_column, common_->Table().ColCount())
                            : NeedsImportDialog(*path, layout_.common_points.usable_column));
        if (mapped) {
            ImportMappedIntoGrid(*common_, dialogs_, FieldSplit::Fitting, *path, CheckSettings());
            const int adoption = layout_.common_points.adoption_column;
            common_->Edit([adoption](PointTable& table) {
                for (int row = 1; row < table.RowCount(); ++row)
                    if (TrimBlanks(table.Cell(adoption, row)).empty()) table.Cell(adoption, row) = kAdoptedText;
            });
            return;
        }
        // The rows are replaced only once the whole file has been read.
        common_->Edit([&](PointTable& table) {
            if (!sheet) {
                ImportCommonPoints(*path, FileEncoding::Gbk, layout_.common_points, table);
                return;
            }
            // A spreadsheet's rows as the lines of a common-point file: a
            // point whose adoption cell is empty is adopted.
            ImportPointFile(*path, FieldSplit::Fitting, table);
            const int adoption = layout_.common_points.adoption_column;
            for (int row = 1; row < table.RowCount(); ++row)
                if (TrimBlanks(table.Cell(adoption, row)).empty()) table.Cell(adoption, row) = kAdoptedText;
        });
        common_->SetCurrentRow(common_->Table().RowCount() - 1);
    });
}

void FittingWindow::SaveCommonPointFile() {
    Run([this] {
        const std::optional<std::string> path = AskSavePath(dialogs_);
        if (!path) return;
        SaveCommonPoints(*path, FileEncoding::Gbk, layout_.common_points, common_->Table());
    });
}

void FittingWindow::SolveParameters() {
    if (!solve_) return;
    // The messages show over the window as it was before the command; the
    // grids are redrawn once it has ended, also after a failure.
    Run([this] {
        PointTable grid = common_->Table();
        const FittingRun run = solve_(grid);
        // The window's side of ApplyFitOutcome.
        class WindowView : public FitOutcomeView {
        public:
            WindowView(FittingWindow& window, PointTable& grid, const FittingRun& run)
                : window_(window), grid_(grid), run_(run) {}
            void ShowMessage(const std::string& text) override {
                window_.dialogs_.ShowMessage(kMessageTitle, text, MessageIcon::None);
            }
            void ShowFieldsAndTable() override {
                window_.common_->Table() = std::move(grid_);
                run_.show_fields();
            }
            void ShowCompleted(const FitOutcome& outcome) override {
                if (outcome.precision) {
                    window_.report_ = outcome.precision;
                    if (window_.report_window_ != nullptr) window_.report_window_->ShowReport(*window_.report_);
                }
                window_.accuracy_edit_->setText(ToQString(outcome.report.accuracy_line));
            }

        private:
            FittingWindow& window_;
            PointTable& grid_;
            const FittingRun& run_;
        };
        WindowView view(*this, grid, run);
        ApplyFitOutcome(run.outcome, view);
    });
}

void FittingWindow::ShowPrecisionReport() {
    if (!report_) {
        dialogs_.ShowMessage(kMessageTitle, "请先解算参数, 精度报告由解算得出。", MessageIcon::Information);
        return;
    }
    if (report_window_ == nullptr) report_window_ = new PrecisionReportWindow(this, dialogs_);
    report_window_->ShowReport(*report_);
    report_window_->show();
    report_window_->raise();
    report_window_->activateWindow();
}

QToolButton* FittingWindow::AddProjExportButton(std::function<std::string()> make_export) {
    return AddButton(parameter_bar_, "ToolButton18", "导出PROJ", [this, make_export = std::move(make_export)] {
        Run([&] {
            std::string text;
            try {
                text = make_export();
            } catch (const NotExportableError& refusal) {
                dialogs_.ShowMessage(kMessageTitle, refusal.what(), MessageIcon::Information);
                return;
            }
            if (!dialogs_.ShowTextAskSave(kProjExportTitle, text)) return;
            const std::optional<std::string> path = AskSavePath(dialogs_);
            if (!path) return;
            SaveTextLines(*path, FileEncoding::Gbk, text);
        });
    });
}

void FittingWindow::RefreshGrids() {
    ConversionWindow::RefreshGrids();
    common_->Refresh();
}

void FittingWindow::ToggleAdoptionAtCurrentCell() {
    const int col = common_->CurrentColumn();
    const int row = common_->CurrentRow();
    if (ToggleAdoption(layout_.common_points, common_->Table(), col, row)) RefreshGrid(*common_);
}

void FittingWindow::SaveParameters() {
    Run([this] {
        const std::optional<std::string> path = AskSavePath(dialogs_);
        if (!path) return;
        SaveParameterFile(*path, FileEncoding::Gbk, ParameterTexts());
    });
}

void FittingWindow::LoadParameters() {
    Run([this] {
        const std::optional<std::string> path = dialogs_.AskOpenFile(OpenCoordinateFileDialog());
        if (!path) return;
        RequireRegularFile(*path);
        SetParameterTexts(LoadParameterFile(*path, FileEncoding::Gbk, static_cast<int>(parameter_edits_.size())));
    });
}

bool FittingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == common_bar_ && event->type() == QEvent::Resize) SizeAccuracyLine();
    return ConversionWindow::eventFilter(watched, event);
}

void FittingWindow::SizeAccuracyLine() {
    // Where the buttons leave less room than the width rule asks for, the line
    // takes the room, so it never drops into the tool bar's overflow menu.
    // "精度报告" after it never takes the line's width: where both do not fit,
    // it waits in the overflow menu, whose arrow takes its own few pixels.
    const QList<QAction*> items = common_bar_->actions();
    const QWidget* first = items.empty() ? nullptr : common_bar_->widgetForAction(items.front());
    const QWidget* solve = Button(13);
    const QWidget* report = Button(19);
    const int margin = first != nullptr ? first->x() : 0;
    const QStyle* style = common_bar_->style();
    const int spacing = style->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, common_bar_);
    const int room = common_bar_->width() - (solve->geometry().right() + 1) - spacing - margin;
    const int rule = common_bar_->width() - layout_.accuracy_line_offset;
    const bool report_fits = rule + spacing + report->sizeHint().width() <= room;
    const int overflow_arrow = style->pixelMetric(QStyle::PM_ToolBarExtensionExtent, nullptr, common_bar_) + spacing;
    const int width = std::max(0, report_fits ? rule : std::min(rule, room - overflow_arrow));
    if (width == accuracy_edit_->width() && accuracy_edit_->isVisible()) return;
    accuracy_edit_->setFixedWidth(width);
    // A line that the tool bar had moved into its overflow menu does not ask
    // for a new layout by itself.
    common_bar_->layout()->invalidate();
}

void FittingWindow::resizeEvent(QResizeEvent* event) {
    ConversionWindow::resizeEvent(event);
    if (settings_source_ != nullptr) settings_source_->setFixedWidth(SourceGroupWidth(frameGeometry().width()));
    if (!panels_sized_ && isVisible()) SizePanels();
}

void FittingWindow::showEvent(QShowEvent* event) {
    ConversionWindow::showEvent(event);
    if (!panels_sized_) SizePanels();
    SizeAccuracyLine();
}

void FittingWindow::SizePanels() {
    panels_sized_ = true;
    // The point tables' splitter is laid out only now that it is shown.
    QSplitter* points = PointSplitter();
    const int source_width = SourceGroupWidth(frameGeometry().width());
    points->setSizes({source_width, std::max(0, points->width() - source_width - points->handleWidth())});

    const int handle = upper_->handleWidth();
    const int parameter_width = layout_.parameter_group_width;
    upper_->setSizes({std::max(0, upper_->width() - parameter_width - handle), parameter_width});

    // The common points and the point tables share what the settings leave.
    const int settings = settings_panel_ != nullptr ? settings_panel_->sizeHint().height() : 0;
    const int handles = vertical_->handleWidth() * (vertical_->count() - 1);
    const int rest = std::max(0, vertical_->height() - settings - handles);
    QList<int> sizes;
    if (settings_panel_ != nullptr) sizes << settings;
    sizes << rest / 2 << rest - rest / 2;
    vertical_->setSizes(sizes);
}

}  // namespace coordconv
