#include "ui/windows/utm_window.h"

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
constexpr const char* kForwardWindow = "FormUTMZS";
constexpr const char* kInverseWindow = "FormUTMFS";
constexpr const char* kParameterGroup = "GroupBox1";
constexpr const char* kSystemList = "ComboBox1";
constexpr const char* kSemiMajorAxis = "EditA";
constexpr const char* kInverseFlattening = "EditF";
constexpr const char* kCentralMeridian = "EditLL";
constexpr const char* kXConstant = "EditXX";
constexpr const char* kYConstant = "EditYY";
}  // namespace object_name

ConversionWindowLayout UtmLayout(UtmWindow::Direction direction) {
    const bool forward = direction == UtmWindow::Direction::Forward;
    return GeodeticPlaneLayout(forward ? "墨卡托投影正算" : "墨卡托投影反算", forward, 715, 448);
}

}  // namespace

UtmWindow::UtmWindow(QWidget* owner, UserDialogs& dialogs, Direction direction)
    : ConversionWindow(owner, dialogs, UtmLayout(direction)), direction_(direction) {
    setObjectName(direction == Direction::Forward ? object_name::kForwardWindow : object_name::kInverseWindow);
    const UtmFields initial;
    ParameterGroup group(this, "参考椭球及坐标系参数设置", object_name::kParameterGroup);
    ellipsoid_ = new EllipsoidBoxes(group.Box(), object_name::kSystemList, object_name::kSemiMajorAxis,
                                    object_name::kInverseFlattening, kUtmInitialSystemIndex);
    group.AddRow({{"坐标系", ellipsoid_->List()}, {"a=", ellipsoid_->A()}, {"f=1/", ellipsoid_->InverseFlattening()}});
    central_meridian_ = group.AddEdit(object_name::kCentralMeridian, ToQString(initial.central_meridian));
    x_constant_ = group.AddEdit(object_name::kXConstant, ToQString(initial.x_constant));
    // South of the equator the northings carry a false northing of 10000 km.
    x_constant_->setToolTip("南半球=10000000");
    y_constant_ = group.AddEdit(object_name::kYConstant, ToQString(initial.y_constant));
    group.AddRow({{"中央子午线(dfm)", central_meridian_}, {"X坐标加常数(m)", x_constant_}, {"Y坐标加常数(m)", y_constant_}});
    TopArea()->addWidget(group.Box());
    SetConvertCommand([this] { Convert(); });
    // Layers between geodetic and plane coordinates; drawings need plane ones on both sides.
    EnableDrawingConversion(
        [this] { return direction_ == Direction::Forward ? UtmForwardPointConversion(Fields()) : UtmInversePointConversion(Fields()); },
        false);
}

UtmFields UtmWindow::Fields() const {
    UtmFields fields;
    fields.a = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.central_meridian = ToStdString(central_meridian_->text());
    fields.x_constant = ToStdString(x_constant_->text());
    fields.y_constant = ToStdString(y_constant_->text());
    return fields;
}

PlausibilitySettings UtmWindow::CheckSettings() const {
    const UtmFields fields = Fields();
    return ReadPlausibilitySettings(fields.central_meridian, fields.y_constant, fields.x_constant, false);
}

void UtmWindow::Convert() {
    const RowConversion convert =
        direction_ == Direction::Forward ? UtmForwardConversion(Fields()) : UtmInverseConversion(Fields());
    ConvertSourceRows(convert);
}

}  // namespace coordconv
