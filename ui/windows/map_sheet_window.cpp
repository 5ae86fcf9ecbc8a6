#include "ui/windows/map_sheet_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/kit/command_runner.h"
#include "ui/kit/parameter_group.h"
#include "ui/kit/qt_text.h"
#include "ui/windows/cad_not_running.h"
#include "core/number_text.h"
#include "table/coordinate_file.h"
#include "tools/sheets/sheet_index.h"

namespace coordconv {
namespace {

constexpr const char* kShiftHint = "CAD坐标转为国家统一坐标所加的数值";

// The object names of the window's widgets, by what each widget is: the
// names the window has always had, by which accessibility tools, users'
// automation and the window tests find the widgets.
namespace object_name {
constexpr const char* kWindow = "FormTFH";
constexpr const char* kJunctionGroup = "GroupBox1";
constexpr const char* kJunctionFieldPrefix = "Edit";  // Edit1..Edit9, row by row from the north-west
constexpr const char* kOutputFormPanel = "Panel1";
constexpr const char* kNewOutputForm = "RadioButton1";
constexpr const char* kOldOutputForm = "RadioButton2";
constexpr const char* kScaleList = "ComboBoxScale";
constexpr const char* kPages = "PageControl1";
constexpr const char* kGeodeticPage = "TabSheet1";
constexpr const char* kLongitude = "EditE";
constexpr const char* kLatitude = "EditN";
constexpr const char* kFromGeodeticButton = "Button4";
constexpr const char* kAngleNote = "Label1";
constexpr const char* kPlanePage = "TabSheet2";
constexpr const char* kPlaneX = "EditX";
constexpr const char* kPlaneY = "EditY";
constexpr const char* kPickButton = "Button1";
constexpr const char* kFromPlaneButton = "Button2";
constexpr const char* kSystemGroup = "GroupBox2";
constexpr const char* kSystemList = "ComboBox1";
constexpr const char* kSemiMajorAxis = "EditA";
constexpr const char* kInverseFlattening = "EditF";
constexpr const char* kZoneWidth = "ComboBox2";
constexpr const char* kXShift = "EditXX";
constexpr const char* kYShift = "EditYY";
constexpr const char* kSheetNumberPage = "TabSheet3";
constexpr const char* kOldInputForm = "RadioButton3";
constexpr const char* kNewInputForm = "RadioButton4";
constexpr const char* kSheetNumber = "EditT";
constexpr const char* kFromSheetNumberButton = "Button3";
constexpr const char* kSheetNumberTip = "Label2";
constexpr const char* kSheetToolsPanel = "PanelSheetTools";
constexpr const char* kCornersButton = "ButtonCorners";
constexpr const char* kIndexButton = "ButtonIndex";
}  // namespace object_name

QLineEdit* NewEdit(QWidget* parent, const QString& name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

}  // namespace

MapSheetWindow::MapSheetWindow(QWidget* owner, UserDialogs& dialogs, CadAttach attach, std::string settings_path)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      attach_(std::move(attach)),
      settings_path_(std::move(settings_path)) {
    setObjectName(object_name::kWindow);
    setWindowTitle(QString::fromUtf8("1:1万图幅号计算"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);
    outer->addWidget(BuildJunctionTable());
    outer->addWidget(BuildOutputForm());
    pages_ = new QTabWidget(this);
    pages_->setObjectName(object_name::kPages);
    pages_->addTab(BuildGeodeticPage(), QString::fromUtf8("根据经纬度计算"));
    pages_->addTab(BuildPlanePage(), QString::fromUtf8("根据平面坐标计算"));
    pages_->addTab(BuildSheetNumberPage(), QString::fromUtf8("根据图幅号计算"));
    pages_->setCurrentIndex(1);  // the plane-coordinate page comes up first
    outer->addWidget(pages_);
    outer->addWidget(BuildSheetTools());

    LoadSettings();
    // A single, fixed border: the layout decides the size once.
    setFixedSize(sizeHint());
}

MapSheetWindow::~MapSheetWindow() { SaveSettings(); }

QWidget* MapSheetWindow::BuildJunctionTable() {
    auto* group = new QGroupBox(QString::fromUtf8("图幅结合表"), this);
    group->setObjectName(object_name::kJunctionGroup);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(10, 8, 10, 10);
    grid->setSpacing(4);
    QFont font;
    font.setFamilies({QString::fromUtf8("宋体"), "SimSun", "WenQuanYi Micro Hei Mono", "WenQuanYi Micro Hei"});
    font.setPixelSize(17);
    for (int i = 0; i < 9; ++i) {
        auto* field = NewEdit(group, QString(object_name::kJunctionFieldPrefix) + QString::number(i + 1), QString());
        field->setReadOnly(true);
        // Reached by the mouse for copying a number, not by the tab key.
        field->setFocusPolicy(Qt::ClickFocus);
        field->setFont(font);
        field->setAlignment(Qt::AlignCenter);
        field->setMinimumWidth(150);
        grid->addWidget(field, i / 3, i % 3);
        junction_[static_cast<std::size_t>(i)] = field;
    }
    // The sheet itself stands out in blue among its neighbours.
    SetTextColour(junction_[SheetJunctionTable::kCentre], Qt::blue);
    return group;
}

QWidget* MapSheetWindow::BuildOutputForm() {
    auto* panel = new QWidget(this);
    panel->setObjectName(object_name::kOutputFormPanel);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 0, 10, 0);
    radio_new_ = new QRadioButton(QString::fromUtf8("按新图幅标准编号"), panel);
    radio_new_->setObjectName(object_name::kNewOutputForm);
    radio_old_ = new QRadioButton(QString::fromUtf8("按旧图幅标准编号"), panel);
    radio_old_->setObjectName(object_name::kOldOutputForm);
    row->addWidget(radio_new_);
    row->addSpacing(30);
    row->addWidget(radio_old_);
    row->addStretch(1);
    // Added after the first version: the scale of the sheets, 1:10,000 first chosen.
    auto* scale_label = new QLabel(QString::fromUtf8("比例尺"), panel);
    scale_ = new QComboBox(panel);
    scale_->setObjectName(object_name::kScaleList);
    for (const SheetScale& scale : kSheetScales) scale_->addItem(QString::fromUtf8(scale.name));
    for (const long denominator : kRectangularScales)
        scale_->addItem(QString::fromUtf8("1:") + QString::number(denominator) + QString::fromUtf8("矩形分幅"));
    scale_->setCurrentIndex(kTenThousandScale);
    scale_label->setBuddy(scale_);
    row->addWidget(scale_label);
    row->addWidget(scale_);
    return panel;
}

QWidget* MapSheetWindow::BuildGeodeticPage() {
    auto* page = new QWidget;
    page->setObjectName(object_name::kGeodeticPage);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setVerticalSpacing(10);
    longitude_ = NewEdit(page, object_name::kLongitude, "0");
    latitude_ = NewEdit(page, object_name::kLatitude, "0");
    AddLabelled(grid, 0, 0, QString::fromUtf8("经度E="), longitude_);
    AddLabelled(grid, 0, 2, QString::fromUtf8("纬度N="), latitude_);
    auto* compute = NewButton(page, object_name::kFromGeodeticButton, QString::fromUtf8("计算"));
    connect(compute, &QPushButton::clicked, this, [this] { SheetsFromLatitudeLongitude(); });
    grid->addWidget(compute, 0, 4);
    auto* note = new QLabel(QString::fromUtf8("说明：角度单位为“度.分分秒秒”。如33.3026就是33度30分26秒。"), page);
    note->setObjectName(object_name::kAngleNote);
    grid->addWidget(note, 1, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* MapSheetWindow::BuildPlanePage() {
    auto* page = new QWidget;
    page->setObjectName(object_name::kPlanePage);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 10, 12, 10);

    auto* point = new QGridLayout;
    plane_x_ = NewEdit(page, object_name::kPlaneX, "0");
    plane_y_ = NewEdit(page, object_name::kPlaneY, "0");
    AddLabelled(point, 0, 0, "X=", plane_x_);
    AddLabelled(point, 0, 2, "Y=", plane_y_);
    point->setColumnStretch(1, 1);
    point->setColumnStretch(3, 1);
    layout->addLayout(point);

    auto* buttons = new QHBoxLayout;
    auto* pick = NewButton(page, object_name::kPickButton, QString::fromUtf8("CAD图上获取点位坐标..."));
    connect(pick, &QPushButton::clicked, this, [this] { PickPointInCad(); });
    auto* compute = NewButton(page, object_name::kFromPlaneButton, QString::fromUtf8("计算"));
    connect(compute, &QPushButton::clicked, this, [this] { SheetsFromPlaneCoordinates(); });
    buttons->addWidget(pick);
    buttons->addStretch(1);
    buttons->addWidget(compute);
    layout->addLayout(buttons);

    auto* group = new QGroupBox(QString::fromUtf8("坐标系设置"), page);
    group->setObjectName(object_name::kSystemGroup);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 6, 8, 8);
    ellipsoid_ = new EllipsoidBoxes(group, object_name::kSystemList, object_name::kSemiMajorAxis,
                                    object_name::kInverseFlattening, 0);
    zone_ = new QComboBox(group);
    zone_->setObjectName(object_name::kZoneWidth);
    zone_->addItems({QString::fromUtf8("3度带"), QString::fromUtf8("6度带")});
    x_shift_ = NewEdit(group, object_name::kXShift, "0");
    y_shift_ = NewEdit(group, object_name::kYShift, "0");
    for (QLineEdit* shift : {x_shift_, y_shift_}) shift->setToolTip(QString::fromUtf8(kShiftHint));
    AddLabelled(grid, 0, 0, QString::fromUtf8("参考椭球"), ellipsoid_->List());
    AddLabelled(grid, 0, 2, QString::fromUtf8("投影带"), zone_);
    AddLabelled(grid, 1, 0, "a=", ellipsoid_->A());
    AddLabelled(grid, 1, 2, "f=1/", ellipsoid_->InverseFlattening());
    AddLabelled(grid, 2, 0, QString::fromUtf8("X加常数(m)"), x_shift_);
    AddLabelled(grid, 2, 2, QString::fromUtf8("Y加常数(m)"), y_shift_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(group);
    return page;
}

QWidget* MapSheetWindow::BuildSheetNumberPage() {
    auto* page = new QWidget;
    page->setObjectName(object_name::kSheetNumberPage);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    auto* forms = new QHBoxLayout;
    radio_input_old_ = new QRadioButton(QString::fromUtf8("输入旧图幅标准编号"), page);
    radio_input_old_->setObjectName(object_name::kOldInputForm);
    radio_input_new_ = new QRadioButton(QString::fromUtf8("输入新图幅标准编号"), page);
    radio_input_new_->setObjectName(object_name::kNewInputForm);
    forms->addWidget(radio_input_old_);
    forms->addSpacing(30);
    forms->addWidget(radio_input_new_);
    forms->addStretch(1);
    layout->addLayout(forms);

    auto* number = new QHBoxLayout;
    sheet_number_ = NewEdit(page, object_name::kSheetNumber, QString());
    SetTextColour(sheet_number_, Qt::blue);
    auto* compute = NewButton(page, object_name::kFromSheetNumberButton, QString::fromUtf8("计算"));
    connect(compute, &QPushButton::clicked, this, [this] { SheetsFromSheetNumberText(); });
    number->addWidget(sheet_number_, 1);
    number->addWidget(compute);
    layout->addLayout(number);

    auto* tip = new QLabel(QString::fromUtf8("小技巧：将图幅结合表中的某图幅号复制到该文本框可以查询相邻图幅。"), page);
    tip->setObjectName(object_name::kSheetNumberTip);
    layout->addWidget(tip);
    layout->addStretch(1);
    return page;
}

QWidget* MapSheetWindow::BuildSheetTools() {
    auto* panel = new QWidget(this);
    panel->setObjectName(object_name::kSheetToolsPanel);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 0, 10, 0);
    auto* corners = NewButton(panel, object_name::kCornersButton, QString::fromUtf8("角点坐标"));
    connect(corners, &QPushButton::clicked, this, [this] { ShowCorners(); });
    auto* index = NewButton(panel, object_name::kIndexButton, QString::fromUtf8("接合表导出…"));
    connect(index, &QPushButton::clicked, this, [this] { ExportIndex(); });
    row->addStretch(1);
    row->addWidget(corners);
    row->addWidget(index);
    return panel;
}

std::optional<long> MapSheetWindow::RectangularScale() const {
    const int past_series = scale_->currentIndex() - static_cast<int>(kSheetScales.size());
    if (past_series < 0) return std::nullopt;
    return kRectangularScales[static_cast<std::size_t>(past_series)];
}

int MapSheetWindow::Scale() const {
    if (const auto denominator = RectangularScale()) return *FindSheetScale(std::to_string(*denominator));
    return scale_->currentIndex();
}

void MapSheetWindow::LoadSettings() {
    const MapSheetSettings settings = ReadMapSheetSettings(settings_path_);
    radio_new_->setChecked(settings.by_new_form);
    radio_old_->setChecked(!settings.by_new_form);
    radio_input_old_->setChecked(settings.input_old_form);
    radio_input_new_->setChecked(!settings.input_old_form);
    x_shift_->setText(ToQString(settings.x_shift));
    y_shift_->setText(ToQString(settings.y_shift));
    ellipsoid_->SelectQuietly(settings.system_index);
    zone_->setCurrentIndex(settings.zone_index);
    const MapSheetScaleSettings added = ReadMapSheetScaleSettings(settings_path_);
    for (int i = 0; i < static_cast<int>(kSheetScales.size()); ++i)
        if (kSheetScales[static_cast<std::size_t>(i)].denominator == added.scale) scale_->setCurrentIndex(i);
    for (std::size_t i = 0; i < kRectangularScales.size(); ++i)
        if (added.rectangular && kRectangularScales[i] == added.scale)
            scale_->setCurrentIndex(static_cast<int>(kSheetScales.size() + i));
}

void MapSheetWindow::SaveSettings() {
    const MapSheetSettings settings = CurrentSettings();
    MapSheetScaleSettings added;
    added.scale = kSheetScales[static_cast<std::size_t>(Scale())].denominator;
    added.rectangular = RectangularScale().has_value();
    // One command: a file that cannot be written is reported once.
    RunCommand(dialogs_, [&] {
        WriteMapSheetSettings(settings_path_, settings);
        WriteMapSheetScaleSettings(settings_path_, added);
    });
}

MapSheetSettings MapSheetWindow::CurrentSettings() const {
    MapSheetSettings settings;
    settings.by_new_form = radio_new_->isChecked();
    settings.input_old_form = radio_input_old_->isChecked();
    settings.x_shift = ToStdString(x_shift_->text());
    settings.y_shift = ToStdString(y_shift_->text());
    settings.system_index = ellipsoid_->List()->currentIndex();
    settings.zone_index = zone_->currentIndex();
    return settings;
}

PlaneSheetFields MapSheetWindow::PlaneFields() const {
    PlaneSheetFields fields;
    fields.a = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.x = ToStdString(plane_x_->text());
    fields.y = ToStdString(plane_y_->text());
    fields.six_degree_zones = zone_->currentIndex() == 1;
    fields.x_shift = ToStdString(x_shift_->text());
    fields.y_shift = ToStdString(y_shift_->text());
    return fields;
}

void MapSheetWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ApplySystemPreset();
}

void MapSheetWindow::Show(const SheetJunctionTable& table) {
    for (std::size_t i = 0; i < junction_.size(); ++i) junction_[i]->setText(ToQString(table.fields[i]));
}

void MapSheetWindow::PickPointInCad() {
    RunCommand(dialogs_, [this] {
        const std::optional<PickedPlaneTexts> picked = PickSheetPoint(attach_);
        if (!picked) {
            ShowCadNotRunning(dialogs_);
            return;
        }
        // The plane x box takes the drawing's y (northing), the y box its x (easting).
        plane_x_->setText(ToQString(picked->x));
        plane_y_->setText(ToQString(picked->y));
    });
}

void MapSheetWindow::Show(const ScaledJunction& found, std::optional<long double> plane_y) {
    Show(found.table);
    shown_sheet_ = found.sheet;
    shown_plane_y_ = plane_y;
    shown_rectangular_.reset();
}

void MapSheetWindow::Show(const RectangularSheet& sheet) {
    SheetJunctionTable table;
    table.fields = RectangularJunction(sheet);
    Show(table);
    shown_sheet_.reset();
    shown_plane_y_.reset();
    shown_rectangular_ = sheet;
}

void MapSheetWindow::SheetsFromPlaneCoordinates() {
    RunCommand(dialogs_, [this] {
        const PlaneSheetFields fields = PlaneFields();
        if (const auto denominator = RectangularScale()) return Show(RectangularSheetFromPlane(*denominator, fields));
        const ScaledJunction found = ScaledSheetsFromPlane(Scale(), NewForm(), fields);
        Show(found, TextToNumber(fields.y) + TextToNumber(fields.y_shift));
    });
}

void MapSheetWindow::SheetsFromSheetNumberText() {
    RunCommand(dialogs_, [this] {
        if (const auto denominator = RectangularScale())
            return Show(ParseRectangularSheetText(*denominator, ToStdString(sheet_number_->text())));
        Show(ScaledSheetsFromSheetNumber(Scale(), NewForm(), radio_input_old_->isChecked(),
                                         ToStdString(sheet_number_->text())),
             std::nullopt);
    });
}

void MapSheetWindow::SheetsFromLatitudeLongitude() {
    RunCommand(dialogs_, [this] {
        if (RectangularScale()) throw CommandError(kRectangularNeedsPlaneText);
        Show(ScaledSheetsFromGeodetic(Scale(), NewForm(), ToStdString(longitude_->text()), ToStdString(latitude_->text())),
             std::nullopt);
    });
}

FramePlane MapSheetWindow::CornerPlane(const MapSheet& sheet) const {
    const PlaneSheetFields fields = PlaneFields();
    const auto [a, f] = ReadEllipsoid(fields.a, fields.inverse_flattening);
    if (shown_plane_y_) return NumberedZonePlane(a, f, fields.six_degree_zones, *shown_plane_y_);
    const SheetBounds b = BoundsOf(sheet);
    return ZonePlane(a, f, fields.six_degree_zones, (b.west + b.east) / 2 / 3600);
}

void MapSheetWindow::ShowCorners() {
    RunCommand(dialogs_, [this] {
        if (!shown_sheet_ && !shown_rectangular_) throw CommandError(kNoSheetShownText);
        const std::string text = shown_rectangular_ ? RectangularCornerText(*shown_rectangular_)
                                                    : SheetCornerText(*shown_sheet_, CornerPlane(*shown_sheet_));
        if (!dialogs_.ShowTextAskSave("角点坐标", text)) return;
        FileDialogSpec spec;
        spec.title = "角点坐标";
        const std::optional<std::string> path = dialogs_.AskSaveFile(spec);
        if (path) SaveTextLines(*path, FileEncoding::Gbk, text);
    });
}

void MapSheetWindow::ExportIndex() {
    RunCommand(dialogs_, [this] {
        SheetIndexRequest request;
        request.scales = {Scale()};
        request.plane_area = pages_->currentIndex() != 0;
        const std::optional<long> rectangular = RectangularScale();
        if (rectangular && !request.plane_area) throw CommandError(kRectangularNeedsPlaneText);
        FileDialogSpec area_spec;
        area_spec.title = request.plane_area ? "接合表区域（点名,X,Y）" : "接合表区域（点名,纬度,经度）";
        const std::optional<std::string> area_path = dialogs_.AskOpenFile(area_spec);
        if (!area_path) return;
        PointTable area({"点名", "1", "2"});
        ImportCoordinateFile(*area_path, FieldSplit::Fitting, FileEncoding::Gbk, area);
        for (int row = 1; row < area.RowCount(); ++row)
            if (!area.Cell(1, row).empty() || !area.Cell(2, row).empty())
                request.vertices.push_back({area.Cell(1, row), area.Cell(2, row)});
        SheetIndex index;
        std::vector<RectangularSheet> rectangular_sheets;
        if (rectangular) {
            PlanePolygon polygon;
            for (const auto& [x, y] : request.vertices) polygon.push_back({TextToNumber(x), TextToNumber(y)});
            RaiseFloatingPointErrors();
            rectangular_sheets = RectangularSheetsOverlapping(*rectangular, polygon);
        } else {
            const PlaneSheetFields fields = PlaneFields();
            const auto [a, f] = ReadEllipsoid(fields.a, fields.inverse_flattening);
            request.a = a;
            request.f = f;
            request.six_degree_zones = fields.six_degree_zones;
            index = MakeSheetIndex(request);
        }

        FileDialogSpec spec;
        spec.title = "接合表导出";
        spec.filter_name = "DXF, CSV (*.dxf *.csv)";
        spec.filter_pattern = "*.dxf *.csv";
        spec.default_extension = "dxf";
        const std::optional<std::string> path = dialogs_.AskSaveFile(spec);
        if (!path) return;
        if (rectangular)
            SaveRectangularIndex(*path, rectangular_sheets, FileEncoding::Gbk);
        else
            SaveSheetIndex(*path, index, FileEncoding::Gbk);
        const std::size_t count = rectangular ? rectangular_sheets.size() : index.sheets.size();
        dialogs_.ShowMessage("接合表导出", "共" + std::to_string(count) + "幅图", MessageIcon::Information);
    });
}

}  // namespace coordconv
