#include "tools/projection/utm_window.h"

#include "shell/ui/parameter_group.h"
#include "shell/ui/qt_text.h"

namespace coordconv {
namespace {

const std::vector<std::string> kGeodeticTitles = {"点号", "纬度B(dms)", "经度L(dms)"};
const std::vector<std::string> kPlaneTitles = {"点号", "纵坐标x(m)", "横坐标y(m)"};

ConversionWindowLayout UtmLayout(UtmWindow::Direction direction) {
    const bool forward = direction == UtmWindow::Direction::Forward;
    ConversionWindowLayout layout;
    layout.caption = forward ? "墨卡托投影正算" : "墨卡托投影反算";
    layout.width = 715;
    layout.height = 448;
    layout.source_group_caption = forward ? "大地坐标(B,L)" : "平面坐标(x,y)";
    layout.result_group_caption = forward ? "平面坐标(x,y)" : "大地坐标(B,L)";
    layout.source_titles = forward ? kGeodeticTitles : kPlaneTitles;
    layout.result_titles = forward ? kPlaneTitles : kGeodeticTitles;
    return layout;
}

}  // namespace

UtmWindow::UtmWindow(QWidget* owner, UserDialogs& dialogs, Direction direction)
    : ConversionWindow(owner, dialogs, UtmLayout(direction)), direction_(direction) {
    setObjectName(direction == Direction::Forward ? "FormUTMZS" : "FormUTMFS");
    const UtmFields initial;
    ParameterGroup group(this, "参考椭球及坐标系参数设置", "GroupBox1");
    ellipsoid_ = new EllipsoidBoxes(group.Box(), "ComboBox1", "EditA", "EditF", kUtmInitialSystemIndex);
    group.AddRow({{"坐标系", ellipsoid_->List()}, {"a=", ellipsoid_->A()}, {"f=1/", ellipsoid_->InverseFlattening()}});
    central_meridian_ = group.AddEdit("EditLL", ToQString(initial.central_meridian));
    x_constant_ = group.AddEdit("EditXX", ToQString(initial.x_constant));
    // South of the equator the northings carry a false northing of 10000 km.
    x_constant_->setToolTip("南半球=10000000");
    y_constant_ = group.AddEdit("EditYY", ToQString(initial.y_constant));
    group.AddRow({{"中央子午线(dfm)", central_meridian_}, {"X坐标加常数(m)", x_constant_}, {"Y坐标加常数(m)", y_constant_}});
    TopArea()->addWidget(group.Box());
    SetConvertCommand([this] { ToolButton6Click(); });
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

void UtmWindow::ToolButton6Click() {
    const RowConversion convert =
        direction_ == Direction::Forward ? UtmForwardConversion(Fields()) : UtmInverseConversion(Fields());
    ConvertTable(convert, Source().Table(), Result().Table());
}

}  // namespace coordconv
