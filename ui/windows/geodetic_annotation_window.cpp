#include "ui/windows/geodetic_annotation_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/kit/command_runner.h"
#include "ui/kit/parameter_group.h"
#include "ui/kit/qt_text.h"
#include "ui/windows/cad_not_running.h"

namespace coordconv {
namespace {

constexpr int kMaxSecondDecimals = 6;

// The object names of the window's widgets, by what each widget is: the
// names the window has always had, by which accessibility tools, users'
// automation and the window tests find the widgets.
namespace object_name {
constexpr const char* kWindow = "FormBZBL";
constexpr const char* kSystemGroup = "GroupBox1";
constexpr const char* kSystemList = "ComboBox1";
constexpr const char* kSemiMajorAxis = "EditA";
constexpr const char* kInverseFlattening = "EditF";
constexpr const char* kZoneWidth = "ComboBox2";
constexpr const char* kShiftCaption = "Label1";
constexpr const char* kXShift = "EditXX";
constexpr const char* kYShift = "EditYY";
constexpr const char* kStyleGroup = "GroupBox2";
constexpr const char* kTextHeight = "EditTxtH";
constexpr const char* kSecondDecimals = "SpinEdit1";
constexpr const char* kDrawCircle = "CheckBox1";
constexpr const char* kCircleRadius = "EditCR";
constexpr const char* kDrawLeader = "CheckBox2";
constexpr const char* kStartButton = "Button1";
}  // namespace object_name

QLineEdit* NewEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

}  // namespace

GeodeticAnnotationWindow::GeodeticAnnotationWindow(QWidget* owner, UserDialogs& dialogs, CadAttach attach, std::string settings_path)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      attach_(std::move(attach)),
      settings_path_(std::move(settings_path)) {
    setObjectName(object_name::kWindow);
    setWindowTitle(QString::fromUtf8("CAD标注地理坐标"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(8);
    outer->addWidget(BuildCoordinateSystemGroup());
    outer->addWidget(BuildStyleGroup());
    auto* start = new QPushButton(QString::fromUtf8("开始标注"), this);
    start->setObjectName(object_name::kStartButton);
    start->setMinimumWidth(100);
    connect(start, &QPushButton::clicked, this, [this] { StartAnnotation(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(start);
    outer->addLayout(buttons);

    LoadSettings();
    setFixedSize(sizeHint());
    // Opens where it was designed to, not centred on the screen.
    move(kDesignedPosition);
}

GeodeticAnnotationWindow::~GeodeticAnnotationWindow() { SaveSettings(); }

QWidget* GeodeticAnnotationWindow::BuildCoordinateSystemGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("坐标系"), this);
    group->setObjectName(object_name::kSystemGroup);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setVerticalSpacing(6);
    ellipsoid_ = new EllipsoidBoxes(group, object_name::kSystemList, object_name::kSemiMajorAxis,
                                    object_name::kInverseFlattening, 0);
    zone_ = new QComboBox(group);
    zone_->setObjectName(object_name::kZoneWidth);
    zone_->addItems({QString::fromUtf8("3度带"), QString::fromUtf8("6度带")});
    x_shift_ = NewEdit(group, object_name::kXShift);
    y_shift_ = NewEdit(group, object_name::kYShift);
    AddLabelled(grid, 0, 0, QString::fromUtf8("参考椭球"), ellipsoid_->List());
    AddLabelled(grid, 0, 2, QString::fromUtf8("投影带"), zone_);
    AddLabelled(grid, 1, 0, "a=", ellipsoid_->A());
    AddLabelled(grid, 1, 2, "f=1/", ellipsoid_->InverseFlattening());
    auto* shifts = new QLabel(QString::fromUtf8("CAD自定义坐标转为统一坐标的平移量："), group);
    shifts->setObjectName(object_name::kShiftCaption);
    grid->addWidget(shifts, 2, 0, 1, 4);
    AddLabelled(grid, 3, 0, QString::fromUtf8("X坐标加常数(m)"), x_shift_);
    AddLabelled(grid, 3, 2, QString::fromUtf8("Y坐标加常数(m)"), y_shift_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

namespace {

// The seconds' decimals box: any text may be typed; when the field is left a
// whole number outside the range is brought into it and any other text
// counts as 0. (A plain spin box would refuse the keystroke "9" of a 0..6
// box, and turn "12" into "1".)
class SecondDecimalsBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

    QValidator::State validate(QString& text, int&) const override {
        bool whole = false;
        const int value = text.trimmed().toInt(&whole);
        return whole && value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }

    void fixup(QString& text) const override {
        bool whole = false;
        const int value = text.trimmed().toInt(&whole);
        text = QString::number(whole ? std::clamp(value, minimum(), maximum()) : 0);
    }
};

}  // namespace

QWidget* GeodeticAnnotationWindow::BuildStyleGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("标注样式"), this);
    group->setObjectName(object_name::kStyleGroup);
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setVerticalSpacing(6);
    text_height_ = NewEdit(group, object_name::kTextHeight);
    decimals_ = new SecondDecimalsBox(group);
    decimals_->setObjectName(object_name::kSecondDecimals);
    decimals_->setRange(0, kMaxSecondDecimals);
    decimals_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    draw_circle_ = new QCheckBox(QString::fromUtf8("标注园点"), group);
    draw_circle_->setObjectName(object_name::kDrawCircle);
    circle_radius_ = NewEdit(group, object_name::kCircleRadius);
    draw_leader_ = new QCheckBox(QString::fromUtf8("标注引线"), group);
    draw_leader_->setObjectName(object_name::kDrawLeader);
    AddLabelled(grid, 0, 0, QString::fromUtf8("标注字高(CAD图形单位)"), text_height_);
    AddLabelled(grid, 0, 2, QString::fromUtf8("秒值小数位"), decimals_);
    grid->addWidget(draw_circle_, 1, 0, Qt::AlignRight);
    AddLabelled(grid, 1, 2, QString::fromUtf8("园点半径"), circle_radius_);
    grid->addWidget(draw_leader_, 2, 0, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

void GeodeticAnnotationWindow::LoadSettings() {
    const GeodeticAnnotationSettings settings = ReadGeodeticAnnotationSettings(settings_path_);
    ellipsoid_->SelectQuietly(settings.system_index);
    x_shift_->setText(ToQString(settings.x_shift));
    y_shift_->setText(ToQString(settings.y_shift));
    zone_->setCurrentIndex(settings.zone_index);
    text_height_->setText(ToQString(settings.font_height));
    circle_radius_->setText(ToQString(settings.circle_radius));
    decimals_->setValue(settings.second_decimals);
    draw_circle_->setChecked(settings.draw_circle);
    draw_leader_->setChecked(settings.draw_leader);
}

void GeodeticAnnotationWindow::SaveSettings() {
    const GeodeticAnnotationSettings settings = CurrentSettings();
    RunCommand(dialogs_, [&] { WriteGeodeticAnnotationSettings(settings_path_, settings); });
}

int GeodeticAnnotationWindow::SecondDecimals() const {
    bool whole = false;
    const int value = decimals_->cleanText().trimmed().toInt(&whole);
    return whole ? std::clamp(value, 0, kMaxSecondDecimals) : 0;
}

GeodeticAnnotationSettings GeodeticAnnotationWindow::CurrentSettings() const {
    GeodeticAnnotationSettings settings;
    settings.system_index = ellipsoid_->List()->currentIndex();
    settings.x_shift = ToStdString(x_shift_->text());
    settings.y_shift = ToStdString(y_shift_->text());
    settings.zone_index = zone_->currentIndex();
    settings.font_height = ToStdString(text_height_->text());
    settings.circle_radius = ToStdString(circle_radius_->text());
    settings.second_decimals = SecondDecimals();
    settings.draw_circle = draw_circle_->isChecked();
    settings.draw_leader = draw_leader_->isChecked();
    return settings;
}

GeodeticAnnotationFields GeodeticAnnotationWindow::Fields() const {
    GeodeticAnnotationFields fields;
    fields.second_decimals = SecondDecimals();
    fields.a = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.six_degree_zones = zone_->currentIndex() == 1;
    fields.x_shift = ToStdString(x_shift_->text());
    fields.y_shift = ToStdString(y_shift_->text());
    fields.text_height = ToStdString(text_height_->text());
    fields.circle_radius = ToStdString(circle_radius_->text());
    fields.draw_circle = draw_circle_->isChecked();
    fields.draw_leader = draw_leader_->isChecked();
    return fields;
}

void GeodeticAnnotationWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ApplySystemPreset();
}

void GeodeticAnnotationWindow::StartAnnotation() {
    // The fields are read once, before the first pick.
    const GeodeticAnnotationFields fields = Fields();
    RunCommand(dialogs_, [&] {
        if (AnnotateGeodetic(attach_, fields) == CadCommandOutcome::kCadNotRunning)
            ShowCadNotRunning(dialogs_);
    });
}

}  // namespace coordconv
