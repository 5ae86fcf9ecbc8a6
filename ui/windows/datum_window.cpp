#include "ui/windows/datum_window.h"

#include "ui/kit/parameter_group.h"
#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

FittingWindowLayout DatumLayout(const DatumWindowSpec& spec) {
    FittingWindowLayout layout;
    layout.points = FittingPointLayout(spec.caption, spec.width, spec.height);
    layout.points.source_titles = DatumPointGridTitles(CoordinateForm::Plane);
    layout.points.result_titles = DatumPointGridTitles(CoordinateForm::Plane);
    layout.points.column_shares = spec.point_shares;
    layout.points.written_columns = spec.written_result_columns;
    layout.common_points = spec.common_points;
    layout.accuracy_line_offset = spec.accuracy_line_offset;
    layout.common_point_titles = CommonPointTitles(false, false);
    layout.common_point_hint = spec.common_point_hint;
    layout.solve_caption = spec.solve_caption;
    layout.parameter_group_width = spec.parameter_group_width;
    return layout;
}

CoordinateForm FormOf(const QComboBox* box) {
    return box->currentIndex() == static_cast<int>(CoordinateForm::Geodetic) ? CoordinateForm::Geodetic
                                                                              : CoordinateForm::Plane;
}

}  // namespace

DatumWindow::DatumWindow(QWidget* owner, UserDialogs& dialogs, const DatumWindowSpec& spec)
    : FittingWindow(owner, dialogs, DatumLayout(spec)) {
    QWidget* source = MakeSettingsGroup("原椭球及坐标系参数设置", "GroupBox1", true);
    QWidget* target = MakeSettingsGroup("新椭球及坐标系参数设置", "GroupBox2", false);
    for (QComboBox* form : {source_form_, target_form_}) {
        for (int item = 0; item < 2; ++item) form->addItem(QString::fromUtf8(spec.form_items[item]));
        form->setCurrentIndex(0);
        if (!spec.form_hint.empty()) form->setToolTip(ToQString(spec.form_hint));
    }
    SetSettingsGroups(source, target);
    if (!spec.result_hint.empty()) Result().setToolTip(ToQString(spec.result_hint));

    connect(source_form_, &QComboBox::currentIndexChanged, this, [this] { SourceFormChanged(); });
    connect(target_form_, &QComboBox::currentIndexChanged, this, [this] { TargetFormChanged(); });
    connect(central_meridian1_, &QLineEdit::textChanged, this, [this] { SourceCentralMeridianEdited(); });
}

QWidget* DatumWindow::MakeSettingsGroup(const QString& caption, const QString& group_name, bool source) {
    const QString side = source ? "1" : "2";
    ParameterGroup group(this, caption, group_name);
    auto* ellipsoid = new EllipsoidBoxes(group.Box(), "ComboBox" + side, "EditA" + side, "EditF" + side,
                                         source ? kDatumSourcePresetIndex : kDatumTargetPresetIndex);
    auto* form = new QComboBox(group.Box());
    form->setObjectName(source ? "ComboBoxO" : "ComboBoxN");
    QLineEdit* central_meridian = group.AddEdit("EditLL" + side, "0");
    QLineEdit* y_constant = group.AddEdit("EditYY" + side, "500000");
    group.AddRow({{"坐标系", ellipsoid->List()}, {"坐标形式", form}});
    group.AddRow({{"a=", ellipsoid->A()}, {"f=1/", ellipsoid->InverseFlattening()}});
    group.AddRow({{"中央子午线(dms)", central_meridian}, {"Y常数(m)", y_constant}});
    (source ? source_ellipsoid_ : target_ellipsoid_) = ellipsoid;
    (source ? source_form_ : target_form_) = form;
    (source ? central_meridian1_ : central_meridian2_) = central_meridian;
    (source ? y_constant1_ : y_constant2_) = y_constant;
    return group.Box();
}

PlausibilitySettings DatumWindow::CheckSettings() const {
    const DatumFields fields = Fields();
    return ReadPlausibilitySettings(fields.central_meridian1, fields.y_constant1, "0", true);
}

DatumFields DatumWindow::Fields() const {
    DatumFields fields;
    fields.a1 = ToStdString(source_ellipsoid_->A()->text());
    fields.inverse_flattening1 = ToStdString(source_ellipsoid_->InverseFlattening()->text());
    fields.central_meridian1 = ToStdString(central_meridian1_->text());
    fields.y_constant1 = ToStdString(y_constant1_->text());
    fields.form1 = FormOf(source_form_);
    fields.a2 = ToStdString(target_ellipsoid_->A()->text());
    fields.inverse_flattening2 = ToStdString(target_ellipsoid_->InverseFlattening()->text());
    fields.central_meridian2 = ToStdString(central_meridian2_->text());
    fields.y_constant2 = ToStdString(y_constant2_->text());
    fields.form2 = FormOf(target_form_);
    return fields;
}

void DatumWindow::ApplyAllSettings() {
    ApplySourcePreset();
    ApplyTargetPreset();
    SourceFormChanged();
    TargetFormChanged();
}

void DatumWindow::SourceFormChanged() {
    SetGridTitles(Source(), DatumPointGridTitles(FormOf(source_form_)));
    TitleCommonPoints();
}

void DatumWindow::TargetFormChanged() {
    SetGridTitles(Result(), DatumPointGridTitles(FormOf(target_form_)));
    TitleCommonPoints();
}

void DatumWindow::TitleCommonPoints() {
    SetCommonPointTitles(CommonPointTitles(FormOf(source_form_) == CoordinateForm::Geodetic,
                                           FormOf(target_form_) == CoordinateForm::Geodetic));
}

void DatumWindow::SourceCentralMeridianEdited() {
    DatumFields fields = Fields();
    SourceCentralMeridianChanged(fields);
    central_meridian2_->setText(ToQString(fields.central_meridian2));
}

void DatumWindow::AddParameterEdits(const ParameterEditSpec* specs, int count) {
    for (int i = 0; i < count; ++i) AddParameterEdit(specs[i]);
}

}  // namespace coordconv
