#include "ui/kit/conversion_window.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "convert/dxf_converter.h"
#include "convert/gis_layers.h"
#include "core/errors.h"
#include "ui/kit/command_runner.h"
#include "ui/kit/drawing_conversion.h"
#include "ui/kit/point_table_commands.h"
#include "ui/kit/qt_text.h"
#include "table/regular_file.h"

namespace coordconv {
namespace {

// The object names of the frame's widgets, by what each widget is: the names
// the conversion windows have always had, by which accessibility tools,
// users' automation and the window tests find the widgets. The tool buttons
// named ToolButtonN are also reached by their number N (Button()).
namespace object_name {
constexpr const char* kPointSplitter = "Splitter1";
constexpr const char* kSourceGrid = "StringGrid1";
constexpr const char* kResultGrid = "StringGrid2";
constexpr const char* kAppendButton = "ToolButton1";
constexpr const char* kInsertButton = "ToolButton2";
constexpr const char* kImportButton = "ToolButton3";
constexpr const char* kDeleteButton = "ToolButton4";
constexpr const char* kClearButton = "ToolButton5";
constexpr const char* kConvertButton = "ToolButton6";
constexpr const char* kSaveButton = "ToolButton7";
constexpr const char* kImportSettingsButton = "ImportSettingsButton";
constexpr const char* kDrawingButton = "ButtonDrawing";
constexpr const char* kDrawingMenu = "MenuDrawing";
constexpr const char* kDrawingFilesItem = "ActionDrawingFiles";
constexpr const char* kLayerFolderItem = "ActionLayerFolder";
constexpr const char* kNumberedButtonPrefix = "ToolButton";
}  // namespace object_name

}  // namespace

ConversionWindow::ConversionWindow(QWidget* owner, UserDialogs& dialogs, const ConversionWindowLayout& layout)
    : QWidget(owner, Qt::Window), dialogs_(dialogs), layout_(layout) {
    setWindowTitle(ToQString(layout.caption));
    resize(layout.width, layout.height);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    top_area_ = new QVBoxLayout;
    outer->addLayout(top_area_);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(object_name::kPointSplitter);
    splitter_->setChildrenCollapsible(false);
    outer->addWidget(splitter_, 1);

    const auto make_group = [this](const std::string& caption, const std::string& name,
                                   const std::vector<std::string>& titles, const QString& grid_name, PointGrid*& grid,
                                   QToolBar*& bar) {
        auto* group = new QGroupBox(ToQString(caption), splitter_);
        group->setObjectName(ToQString(name));
        auto* box = new QVBoxLayout(group);
        box->setContentsMargins(2, 2, 2, 2);
        grid = new PointGrid(titles, layout_.default_column_width, group);
        grid->setObjectName(grid_name);
        grid->SetColumnShares(layout_.column_shares, layout_.column_width_offset);
        grid->SetDialogs(dialogs_);
        box->addWidget(grid, 1);
        bar = new QToolBar(group);
        bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        box->addWidget(bar);
        splitter_->addWidget(group);
        return group;
    };
    source_group_ = make_group(layout.source_group_caption, layout.source_group_name, layout.source_titles,
                               object_name::kSourceGrid, source_, source_bar_);
    result_group_ = make_group(layout.result_group_caption, layout.result_group_name, layout.result_titles,
                               object_name::kResultGrid, result_, result_bar_);

    const auto add_import = [this] {
        AddButton(source_bar_, object_name::kImportButton, "文件导入", [this] { ImportSource(false); });
    };
    if (layout.import_first) add_import();
    // A text file dropped onto the source table is imported as "文件导入" would.
    source_->SetFileDropHandler([this](const std::string& path) {
        const bool drawing = dxf_drawings_ && IsDxfPath(path);
        if (drawing_conversion_ && (drawing || IsGisDataset(path))) {
            if (dialogs_.AskYesNo("图形转换", (drawing ? "转换图形 " : "转换图层 ") + path + " ?", MessageIcon::Question))
                Run([this, &path] { ConvertDrawingFiles({path}); });
            return;
        }
        Run([this, &path] { ImportFile(path, false); });
    });
    AddButton(source_bar_, object_name::kAppendButton, ToQString(layout.append_caption), [this] { AppendRow(*source_); });
    AddButton(source_bar_, object_name::kInsertButton, " 插入 ", [this] { InsertRow(*source_); });
    if (!layout.import_first) add_import();
    AddButton(source_bar_, object_name::kDeleteButton, " 删除 ", [this] { DeleteRow(*source_); });
    AddButton(source_bar_, object_name::kClearButton, " 清空 ",
              [this] { ClearRows(*source_, layout_.clear_empties_result ? result_ : nullptr); });
    // Point files in other layouts, through the import dialog.
    AddButton(source_bar_, object_name::kImportSettingsButton, "导入设置…", [this] { ImportSource(true); });
    AddButton(result_bar_, object_name::kConvertButton, "转换计算", [this] { ConvertClicked(); });
    AddButton(result_bar_, object_name::kSaveButton, "数据另存",
              [this] { Run([this] { SaveGrid(*result_, dialogs_, layout_.written_columns); }); });
}

QToolButton* ConversionWindow::Button(int number) const {
    const auto it = buttons_.find(number);
    return it == buttons_.end() ? nullptr : it->second;
}

QToolButton* ConversionWindow::AddButton(QToolBar* bar, const QString& name, const QString& caption,
                                         std::function<void()> click, QAction* before) {
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(caption);  // set directly: an action's icon text would lose the blanks
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Taking the focus on a click closes an open cell editor first, so its
    // text is in the table before the command reads the table.
    button->setFocusPolicy(Qt::ClickFocus);
    connect(button, &QToolButton::clicked, this, [click = std::move(click)] { click(); });
    if (before != nullptr)
        bar->insertWidget(before, button);
    else
        bar->addWidget(button);
    const QString numbered = object_name::kNumberedButtonPrefix;
    if (name.startsWith(numbered)) buttons_[name.mid(numbered.size()).toInt()] = button;
    return button;
}

void ConversionWindow::EnableDrawingConversion(std::function<PointConversion()> conversion, bool dxf_drawings) {
    drawing_conversion_ = std::move(conversion);
    dxf_drawings_ = dxf_drawings;
    const auto choose_files = [this] {
        Run([this] {
            const std::vector<std::string> files = dialogs_.AskOpenFiles(DrawingFileDialog(dxf_drawings_));
            if (!files.empty()) ConvertDrawingFiles(files);
        });
    };
    QToolButton* button = AddButton(source_bar_, object_name::kDrawingButton, "图形转换", choose_files);
    // The button's arrow offers the files again and a whole folder of layers.
    auto* menu = new QMenu(button);
    menu->setObjectName(object_name::kDrawingMenu);
    QAction* files = menu->addAction("图形文件…", this, choose_files);
    files->setObjectName(object_name::kDrawingFilesItem);
    QAction* folder = menu->addAction("图层文件夹…", this, [this] {
        Run([this] {
            const std::optional<std::string> chosen = dialogs_.AskFolder("图形转换: 选择图层所在的文件夹");
            if (!chosen) return;
            const std::vector<std::string> files = ConvertibleFilesInFolder(*chosen, dxf_drawings_);
            if (files.empty()) throw CommandError("文件夹中没有可转换的图形或图层");
            ConvertDrawingFiles(files);
        });
    });
    folder->setObjectName(object_name::kLayerFolderItem);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
}

void ConversionWindow::ConvertDrawingFiles(const std::vector<std::string>& files) {
    // The fields are read first: a wrong setting is reported before any dialog.
    const PointConversion conversion = drawing_conversion_();
    ConvertFilesIntoFolder(dialogs_, conversion, files);
}

bool ConversionWindow::Run(const std::function<void()>& command) {
    const std::optional<std::string> failure = TryCommand(command);
    RefreshGrids();
    if (failure) dialogs_.ShowError(*failure);
    return !failure;
}

void ConversionWindow::RefreshGrids() {
    source_->Refresh();
    result_->Refresh();
}

void ConversionWindow::ImportSource(bool always_ask) {
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    Run([this, always_ask, shift] {
        const std::optional<std::string> path = dialogs_.AskOpenFile(OpenCoordinateFileDialog());
        if (path) ImportFile(*path, always_ask || shift);
    });
}

void ConversionWindow::ImportFile(const std::string& path, bool always_ask) {
    if (always_ask || NeedsImportDialog(path, source_->Table().ColCount())) {
        ImportMappedIntoGrid(*source_, dialogs_, layout_.split, path, CheckSettings());
        return;
    }
    ImportFileIntoGrid(*source_, path, layout_.split);
}

void ConversionWindow::ConvertClicked() {
    if (convert_) Run(convert_);
}

void ConversionWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int outer_width = frameGeometry().width();
    const int source_width = SourceGroupWidth(outer_width);
    const int total = splitter_->width();
    splitter_->setSizes({source_width, std::max(0, total - source_width - splitter_->handleWidth())});
}

void ConversionWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    OnShow();
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - window->rect().center());
}

}  // namespace coordconv
