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
#include "tools/cad/annotation.h"

namespace coordconv {
namespace {

constexpr const char* kShiftHint = "CAD坐标转为国家统一坐标所加的数值";

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

TFormTFH::TFormTFH(QWidget* owner, UserDialogs& dialogs, CadAttach attach, std::string settings_path)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      attach_(std::move(attach)),
      settings_path_(std::move(settings_path)) {
    setObjectName("FormTFH");
    setWindowTitle(QString::fromUtf8("1:1万图幅号计算"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);
    outer->addWidget(BuildJunctionTable());
    outer->addWidget(BuildOutputForm());
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->addTab(BuildGeodeticPage(), QString::fromUtf8("根据经纬度计算"));
    pages_->addTab(BuildPlanePage(), QString::fromUtf8("根据平面坐标计算"));
    pages_->addTab(BuildSheetNumberPage(), QString::fromUtf8("根据图幅号计算"));
    pages_->setCurrentIndex(1);  // the plane-coordinate page comes up first
    outer->addWidget(pages_);

    FormCreate();
    // A single, fixed border: the layout decides the size once.
    setFixedSize(sizeHint());
}

TFormTFH::~TFormTFH() { FormDestroy(); }

QWidget* TFormTFH::BuildJunctionTable() {
    auto* group = new QGroupBox(QString::fromUtf8("图幅结合表"), this);
    group->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(10, 8, 10, 10);
    grid->setSpacing(4);
    QFont font;
    font.setFamilies({QString::fromUtf8("宋体"), "SimSun", "WenQuanYi Micro Hei Mono", "WenQuanYi Micro Hei"});
    font.setPixelSize(17);
    for (int i = 0; i < 9; ++i) {
        auto* field = NewEdit(group, QString("Edit%1").arg(i + 1), QString());
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

QWidget* TFormTFH::BuildOutputForm() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 0, 10, 0);
    radio_new_ = new QRadioButton(QString::fromUtf8("按新图幅标准编号"), panel);
    radio_new_->setObjectName("RadioButton1");
    radio_old_ = new QRadioButton(QString::fromUtf8("按旧图幅标准编号"), panel);
    radio_old_->setObjectName("RadioButton2");
    row->addWidget(radio_new_);
    row->addSpacing(30);
    row->addWidget(radio_old_);
    row->addStretch(1);
    return panel;
}

QWidget* TFormTFH::BuildGeodeticPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setVerticalSpacing(10);
    edit_e_ = NewEdit(page, "EditE", "0");
    edit_n_ = NewEdit(page, "EditN", "0");
    AddLabelled(grid, 0, 0, QString::fromUtf8("经度E="), edit_e_);
    AddLabelled(grid, 0, 2, QString::fromUtf8("纬度N="), edit_n_);
    auto* compute = NewButton(page, "Button4", QString::fromUtf8("计算"));
    connect(compute, &QPushButton::clicked, this, [this] { Button4Click(); });
    grid->addWidget(compute, 0, 4);
    auto* note = new QLabel(QString::fromUtf8("说明：角度单位为“度.分分秒秒”。如33.3026就是33度30分26秒。"), page);
    note->setObjectName("Label1");
    grid->addWidget(note, 1, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* TFormTFH::BuildPlanePage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet2");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 10, 12, 10);

    auto* point = new QGridLayout;
    edit_x_ = NewEdit(page, "EditX", "0");
    edit_y_ = NewEdit(page, "EditY", "0");
    AddLabelled(point, 0, 0, "X=", edit_x_);
    AddLabelled(point, 0, 2, "Y=", edit_y_);
    point->setColumnStretch(1, 1);
    point->setColumnStretch(3, 1);
    layout->addLayout(point);

    auto* buttons = new QHBoxLayout;
    auto* pick = NewButton(page, "Button1", QString::fromUtf8("CAD图上获取点位坐标..."));
    connect(pick, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* compute = NewButton(page, "Button2", QString::fromUtf8("计算"));
    connect(compute, &QPushButton::clicked, this, [this] { Button2Click(); });
    buttons->addWidget(pick);
    buttons->addStretch(1);
    buttons->addWidget(compute);
    layout->addLayout(buttons);

    auto* group = new QGroupBox(QString::fromUtf8("坐标系设置"), page);
    group->setObjectName("GroupBox2");
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 6, 8, 8);
    ellipsoid_ = new EllipsoidBoxes(group, "ComboBox1", "EditA", "EditF", 0);
    zone_ = new QComboBox(group);
    zone_->setObjectName("ComboBox2");
    zone_->addItems({QString::fromUtf8("3度带"), QString::fromUtf8("6度带")});
    edit_xx_ = NewEdit(group, "EditXX", "0");
    edit_yy_ = NewEdit(group, "EditYY", "0");
    for (QLineEdit* shift : {edit_xx_, edit_yy_}) shift->setToolTip(QString::fromUtf8(kShiftHint));
    AddLabelled(grid, 0, 0, QString::fromUtf8("参考椭球"), ellipsoid_->List());
    AddLabelled(grid, 0, 2, QString::fromUtf8("投影带"), zone_);
    AddLabelled(grid, 1, 0, "a=", ellipsoid_->A());
    AddLabelled(grid, 1, 2, "f=1/", ellipsoid_->InverseFlattening());
    AddLabelled(grid, 2, 0, QString::fromUtf8("X加常数(m)"), edit_xx_);
    AddLabelled(grid, 2, 2, QString::fromUtf8("Y加常数(m)"), edit_yy_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(group);
    return page;
}

QWidget* TFormTFH::BuildSheetNumberPage() {
    auto* page = new QWidget;
    page->setObjectName("TabSheet3");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    auto* forms = new QHBoxLayout;
    radio_input_old_ = new QRadioButton(QString::fromUtf8("输入旧图幅标准编号"), page);
    radio_input_old_->setObjectName("RadioButton3");
    radio_input_new_ = new QRadioButton(QString::fromUtf8("输入新图幅标准编号"), page);
    radio_input_new_->setObjectName("RadioButton4");
    forms->addWidget(radio_input_old_);
    forms->addSpacing(30);
    forms->addWidget(radio_input_new_);
    forms->addStretch(1);
    layout->addLayout(forms);

    auto* number = new QHBoxLayout;
    edit_t_ = NewEdit(page, "EditT", QString());
    SetTextColour(edit_t_, Qt::blue);
    auto* compute = NewButton(page, "Button3", QString::fromUtf8("计算"));
    connect(compute, &QPushButton::clicked, this, [this] { Button3Click(); });
    number->addWidget(edit_t_, 1);
    number->addWidget(compute);
    layout->addLayout(number);

    auto* tip = new QLabel(QString::fromUtf8("小技巧：将图幅结合表中的某图幅号复制到该文本框可以查询相邻图幅。"), page);
    tip->setObjectName("Label2");
    layout->addWidget(tip);
    layout->addStretch(1);
    return page;
}

void TFormTFH::FormCreate() {
    const TfhSettings settings = ReadTfhSettings(settings_path_);
    radio_new_->setChecked(settings.by_new_form);
    radio_old_->setChecked(!settings.by_new_form);
    radio_input_old_->setChecked(settings.input_old_form);
    radio_input_new_->setChecked(!settings.input_old_form);
    edit_xx_->setText(ToQString(settings.x_shift));
    edit_yy_->setText(ToQString(settings.y_shift));
    ellipsoid_->SelectQuietly(settings.system_index);
    zone_->setCurrentIndex(settings.zone_index);
}

void TFormTFH::FormDestroy() {
    const TfhSettings settings = CurrentSettings();
    RunCommand(dialogs_, [&] { WriteTfhSettings(settings_path_, settings); });
}

TfhSettings TFormTFH::CurrentSettings() const {
    TfhSettings settings;
    settings.by_new_form = radio_new_->isChecked();
    settings.input_old_form = radio_input_old_->isChecked();
    settings.x_shift = ToStdString(edit_xx_->text());
    settings.y_shift = ToStdString(edit_yy_->text());
    settings.system_index = ellipsoid_->List()->currentIndex();
    settings.zone_index = zone_->currentIndex();
    return settings;
}

PlaneSheetFields TFormTFH::PlaneFields() const {
    PlaneSheetFields fields;
    fields.a = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.x = ToStdString(edit_x_->text());
    fields.y = ToStdString(edit_y_->text());
    fields.six_degree_zones = zone_->currentIndex() == 1;
    fields.x_shift = ToStdString(edit_xx_->text());
    fields.y_shift = ToStdString(edit_yy_->text());
    return fields;
}

void TFormTFH::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ComboBox1Change();
}

void TFormTFH::Show(const SheetJunctionTable& table) {
    for (std::size_t i = 0; i < junction_.size(); ++i) junction_[i]->setText(ToQString(table.fields[i]));
}

void TFormTFH::Button1Click() {
    RunCommand(dialogs_, [this] {
        const std::optional<PickedPlaneTexts> picked = PickSheetPoint(attach_);
        if (!picked) {
            dialogs_.ShowMessageWithButton(kCadNotRunningInformationTitle, kCadNotRunningText,
                                           MessageIcon::Information, MessageButton::Yes);
            return;
        }
        // EditX takes the drawing's y (northing), EditY its x (easting).
        edit_x_->setText(ToQString(picked->x));
        edit_y_->setText(ToQString(picked->y));
    });
}

void TFormTFH::Button2Click() {
    RunCommand(dialogs_, [this] { Show(SheetsFromPlane(NewForm(), PlaneFields())); });
}

void TFormTFH::Button3Click() {
    RunCommand(dialogs_, [this] {
        Show(SheetsFromSheetNumber(NewForm(), radio_input_old_->isChecked(), ToStdString(edit_t_->text())));
    });
}

void TFormTFH::Button4Click() {
    RunCommand(dialogs_, [this] {
        Show(SheetsFromGeodetic(NewForm(), ToStdString(edit_e_->text()), ToStdString(edit_n_->text())));
    });
}

}  // namespace coordconv
