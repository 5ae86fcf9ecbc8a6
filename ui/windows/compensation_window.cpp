#include "ui/windows/compensation_window.h"

#include <QGridLayout>

#include "ui/kit/parameter_group.h"
#include "ui/kit/qt_text.h"
#include "ui/windows/projection_layout.h"

namespace coordconv {
namespace {

// The object names of the window's widgets, by what each widget is: the
// names the window has always had, by which accessibility tools, users'
// automation and the window tests find the widgets.
namespace object_name {
constexpr const char* kWindow = "FormGCDC";
constexpr const char* kSourceEllipsoidGroup = "GroupBox1";
constexpr const char* kSystemList = "ComboBox1";
constexpr const char* kSemiMajorAxis = "EditA1";
constexpr const char* kInverseFlattening = "EditF1";
constexpr const char* kYConstant = "EditYY1";
constexpr const char* kAreaGroup = "GroupBox2";
constexpr const char* kMeanLatitude = "EditXm";
constexpr const char* kMeanHeight = "EditHm";
constexpr const char* kMeanDistance = "EditYm";
constexpr const char* kPlaneGroup = "GroupBox3";
constexpr const char* kDeformation = "EditDs";
constexpr const char* kPlaneHeight = "EditHd";
constexpr const char* kPlaneButton = "Button2";
constexpr const char* kNewEllipsoidGroup = "GroupBox4";
constexpr const char* kNewSemiMajorAxis = "EditA2";
constexpr const char* kNewInverseFlattening = "EditF2";
constexpr const char* kAxisButton = "Button1";
constexpr const char* kSourceGroup = "GroupBox5";
constexpr const char* kResultGroup = "GroupBox6";
}  // namespace object_name

ConversionWindowLayout CompensationLayout() {
    ConversionWindowLayout layout;
    layout.caption = "抵偿高程面确定及投影变换";
    layout.width = 717;
    layout.height = 560;
    layout.source_group_caption = "原椭球坐标数据";
    layout.result_group_caption = "新椭球坐标数据";
    layout.source_titles = kPlaneTitles;
    layout.result_titles = kPlaneTitles;  // the result table carries the source's titles
    layout.column_shares.assign(kCompensationColumnShares.begin(), kCompensationColumnShares.end());
    layout.clear_empties_result = true;
    layout.append_caption = " 追加记录";
    layout.import_first = true;
    layout.source_group_name = object_name::kSourceGroup;
    layout.result_group_name = object_name::kResultGroup;
    return layout;
}

// A box the window writes and the user only reads.
QLineEdit* MakeReadOnly(QLineEdit* edit) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

CompensationWindow::CompensationWindow(QWidget* owner, UserDialogs& dialogs)
    : ConversionWindow(owner, dialogs, CompensationLayout()) {
    setObjectName(object_name::kWindow);
    const CompensationFields initial;

    ParameterGroup source(this, "原椭球参数", object_name::kSourceEllipsoidGroup);
    ellipsoid_ = new EllipsoidBoxes(source.Box(), object_name::kSystemList, object_name::kSemiMajorAxis,
                                    object_name::kInverseFlattening, kCompensationInitialSystemIndex);
    y_constant_ = source.AddEdit(object_name::kYConstant, ToQString(initial.y_constant));
    y_constant_->setToolTip("通常是带号及500公里");
    source.AddRow({{"参考椭球", ellipsoid_->List()}});
    source.AddRow({{"a1=", ellipsoid_->A()}});
    source.AddRow({{"f1=1/", ellipsoid_->InverseFlattening()}});
    source.AddRow({{"Y坐标加常数", y_constant_}});

    ParameterGroup area(this, "测区条件", object_name::kAreaGroup);
    mean_latitude_ = area.AddEdit(object_name::kMeanLatitude, ToQString(initial.mean_latitude));
    mean_height_ = area.AddEdit(object_name::kMeanHeight, ToQString(initial.mean_height));
    mean_distance_ = area.AddEdit(object_name::kMeanDistance, ToQString(initial.mean_distance));
    area.AddRow({{"平均纬度(dms)", mean_latitude_}});
    area.AddRow({{"平均大地高", mean_height_}});
    area.AddRow({{"距中央子午线平均距离(m)", mean_distance_}});

    ParameterGroup plane(this, "确定抵偿面", object_name::kPlaneGroup);
    deformation_ = MakeReadOnly(plane.AddEdit(object_name::kDeformation, QString()));
    deformation_->setStyleSheet("QLineEdit { color: blue; background-color: palette(button); }");
    plane_height_ = plane.AddEdit(object_name::kPlaneHeight, ToQString(initial.plane_height));
    auto* plane_button = MakeButton(plane.Box(), object_name::kPlaneButton, "计算");
    plane_button->setToolTip("计算每公里投影变形及抵偿面大地高");
    plane.AddRow({{"每公里投影变形=", deformation_}});
    plane.AddRow({{"抵偿面大地高", plane_height_}});
    plane.AddRow({{QString(), plane_button}});

    ParameterGroup axis(this, "新椭球参数", object_name::kNewEllipsoidGroup);
    a2_ = axis.AddEdit(object_name::kNewSemiMajorAxis, ToQString(initial.a2));
    f2_ = MakeReadOnly(axis.AddEdit(object_name::kNewInverseFlattening, QString()));
    auto* axis_button = MakeButton(axis.Box(), object_name::kAxisButton, "计算");
    axis.AddRow({{"a2=", a2_}});
    axis.AddRow({{"f2=1/", f2_}});
    axis.AddRow({{QString(), axis_button}});

    // Two rows of two groups: the source ellipsoid beside the survey area,
    // the compensation plane beside the new ellipsoid.
    auto* groups = new QGridLayout;
    groups->addWidget(source.Box(), 0, 0);
    groups->addWidget(area.Box(), 0, 1);
    groups->addWidget(plane.Box(), 1, 0);
    groups->addWidget(axis.Box(), 1, 1);
    groups->setColumnStretch(0, 1);
    groups->setColumnStretch(1, 1);
    TopArea()->addLayout(groups);

    connect(ellipsoid_->InverseFlattening(), &QLineEdit::textChanged, this, [this] { CopyFlattening(); });
    connect(plane_button, &QPushButton::clicked, this, [this] { DeterminePlane(); });
    connect(axis_button, &QPushButton::clicked, this, [this] { ComputeNewSemiMajorAxis(); });
    SetConvertCommand([this] { Convert(); });
    EnableDrawingConversion([this] { return CompensationPointConversion(Fields()); });
}

CompensationFields CompensationWindow::Fields() const {
    CompensationFields fields;
    fields.a1 = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.y_constant = ToStdString(y_constant_->text());
    fields.mean_latitude = ToStdString(mean_latitude_->text());
    fields.mean_height = ToStdString(mean_height_->text());
    fields.mean_distance = ToStdString(mean_distance_->text());
    fields.plane_height = ToStdString(plane_height_->text());
    fields.a2 = ToStdString(a2_->text());
    return fields;
}

void CompensationWindow::OnShow() {
    ApplySystemPreset();
    CopyFlattening();
}

void CompensationWindow::CopyFlattening() { f2_->setText(ellipsoid_->InverseFlattening()->text()); }

void CompensationWindow::DeterminePlane() {
    Run([this] {
        const CompensationPlaneTexts texts = ComputeCompensationPlaneTexts(Fields());
        deformation_->setText(ToQString(texts.deformation));
        plane_height_->setText(ToQString(texts.height));
    });
}

void CompensationWindow::ComputeNewSemiMajorAxis() {
    Run([this] { a2_->setText(ToQString(ComputeNewSemiMajorAxisText(Fields()))); });
}

void CompensationWindow::Convert() {
    ConvertSourceRows(CompensationConversion(Fields()));
}

}  // namespace coordconv
