#include "ui/windows/gauss_window.h"

#include "ui/kit/parameter_group.h"
#include "ui/kit/qt_text.h"
#include "tools/projection/projection_point_conversions.h"
#include "ui/windows/projection_layout.h"

namespace coordconv {
namespace {

// The object names of the window's widgets, by what each widget is: the
// names the window has always had, by which accessibility tools, users'
// automation and the window tests find the widgets.
namespace object_name {
constexpr const char* kForwardWindow = "FormGSZS";
constexpr const char* kInverseWindow = "FormGSFS";
constexpr const char* kParameterGroup = "GroupBox1";
constexpr const char* kSystemList = "ComboBox1";
constexpr const char* kSemiMajorAxis = "EditA";
constexpr const char* kInverseFlattening = "EditF";
constexpr const char* kCentralMeridian = "EditLL";
constexpr const char* kYConstant = "EditYY";
}  // namespace object_name

ConversionWindowLayout GaussLayout(GaussWindow::Direction direction) {
    const bool forward = direction == GaussWindow::Direction::Forward;
    return forward ? GeodeticPlaneLayout("高斯投影正算", true, 715, 448) : GeodeticPlaneLayout("高斯投影反算", false, 709, 473);
}

}  // namespace

GaussWindow::GaussWindow(QWidget* owner, UserDialogs& dialogs, Direction direction)
    : ConversionWindow(owner, dialogs, GaussLayout(direction)), direction_(direction) {
    setObjectName(direction == Direction::Forward ? object_name::kForwardWindow : object_name::kInverseWindow);
    ParameterGroup group(this, "参考椭球及坐标系参数设置", object_name::kParameterGroup);
    ellipsoid_ = new EllipsoidBoxes(group.Box(), object_name::kSystemList, object_name::kSemiMajorAxis,
                                    object_name::kInverseFlattening, 0);
    group.AddRow({{"坐标系", ellipsoid_->List()}, {"a=", ellipsoid_->A()}, {"f=1/", ellipsoid_->InverseFlattening()}});
    central_meridian_ = group.AddEdit(object_name::kCentralMeridian, "0");
    y_constant_ = group.AddEdit(object_name::kYConstant, "500000");
    group.AddRow({{"中央子午线(dfm)", central_meridian_}, {"Y坐标加常数(m)", y_constant_}});
    TopArea()->addWidget(group.Box());
    SetConvertCommand([this] { Convert(); });
    // Layers between geodetic and plane coordinates; drawings need plane ones on both sides.
    EnableDrawingConversion(
        [this] { return direction_ == Direction::Forward ? GaussForwardPointConversion(Fields()) : GaussInversePointConversion(Fields()); },
        false);
}

GaussFields GaussWindow::Fields() const {
    GaussFields fields;
    fields.a = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.central_meridian = ToStdString(central_meridian_->text());
    fields.y_constant = ToStdString(y_constant_->text());
    return fields;
}

PlausibilitySettings GaussWindow::CheckSettings() const {
    const GaussFields fields = Fields();
    return ReadPlausibilitySettings(fields.central_meridian, fields.y_constant, "0", true);
}

void GaussWindow::Convert() {
    const RowConversion convert =
        direction_ == Direction::Forward ? GaussForwardConversion(Fields()) : GaussInverseConversion(Fields());
    ConvertSourceRows(convert);
}

}  // namespace coordconv
