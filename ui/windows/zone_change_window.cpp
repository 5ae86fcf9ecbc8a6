#include "ui/windows/zone_change_window.h"

#include "ui/kit/parameter_group.h"
#include "ui/kit/qt_text.h"
#include "ui/windows/projection_layout.h"

namespace coordconv {
namespace {

// The object names of the window's widgets, by what each widget is: the
// names the window has always had, by which accessibility tools, users'
// automation and the window tests find the widgets.
namespace object_name {
constexpr const char* kWindow = "FormZBHD";
constexpr const char* kEllipsoidGroup = "GroupBox5";
constexpr const char* kSystemList = "ComboBox1";
constexpr const char* kSemiMajorAxis = "EditA";
constexpr const char* kInverseFlattening = "EditF";
constexpr const char* kZoneSplitter = "Splitter2";
constexpr const char* kOldZoneGroup = "GroupBox1";
constexpr const char* kCentralMeridian = "EditLL";
constexpr const char* kYConstant = "EditYY";
constexpr const char* kNewZoneGroup = "GroupBox3";
constexpr const char* kNewCentralMeridian = "EditLL2";
constexpr const char* kNewYConstant = "EditYY2";
constexpr const char* kSourceGroup = "GroupBox2";
constexpr const char* kResultGroup = "GroupBox4";
}  // namespace object_name

ConversionWindowLayout ZoneChangeLayout() {
    ConversionWindowLayout layout;
    layout.caption = "坐标换带";
    layout.width = 717;
    layout.height = 508;
    layout.source_group_caption = "原投影带坐标(x,y)";
    layout.result_group_caption = "新投影带坐标(x,y)";
    layout.source_titles = kPlaneTitles;
    layout.result_titles = kPlaneTitles;  // the result table carries the source's titles
    layout.source_group_name = object_name::kSourceGroup;
    layout.result_group_name = object_name::kResultGroup;
    return layout;
}

}  // namespace

ZoneChangeWindow::ZoneChangeWindow(QWidget* owner, UserDialogs& dialogs)
    : ConversionWindow(owner, dialogs, ZoneChangeLayout()) {
    setObjectName(object_name::kWindow);
    const ZoneChangeFields initial;

    ParameterGroup ellipsoid_group(this, "参考椭球及坐标系参数设置", object_name::kEllipsoidGroup);
    ellipsoid_ = new EllipsoidBoxes(ellipsoid_group.Box(), object_name::kSystemList, object_name::kSemiMajorAxis,
                                    object_name::kInverseFlattening, kZoneChangeInitialSystemIndex);
    ellipsoid_group.AddRow(
        {{"坐标系", ellipsoid_->List()}, {"a=", ellipsoid_->A()}, {"f=1/", ellipsoid_->InverseFlattening()}});
    TopArea()->addWidget(ellipsoid_group.Box());

    zone_splitter_ = new QSplitter(Qt::Horizontal, this);
    zone_splitter_->setObjectName(object_name::kZoneSplitter);
    zone_splitter_->setChildrenCollapsible(false);
    ParameterGroup old_zone(zone_splitter_, "原投影带参数", object_name::kOldZoneGroup);
    central_meridian_ = old_zone.AddEdit(object_name::kCentralMeridian, ToQString(initial.central_meridian));
    y_constant_ = old_zone.AddEdit(object_name::kYConstant, ToQString(initial.y_constant));
    old_zone.AddRow({{"中央子午线(dms)", central_meridian_}});
    old_zone.AddRow({{"Y坐标包含加常数(m)", y_constant_}});
    ParameterGroup new_zone(zone_splitter_, "新投影带参数", object_name::kNewZoneGroup);
    new_central_meridian_ = new_zone.AddEdit(object_name::kNewCentralMeridian, ToQString(initial.new_central_meridian));
    new_y_constant_ = new_zone.AddEdit(object_name::kNewYConstant, ToQString(initial.new_y_constant));
    new_zone.AddRow({{"中央子午线(dms)", new_central_meridian_}});
    new_zone.AddRow({{"Y坐标包含加常数(m)", new_y_constant_}});
    zone_splitter_->addWidget(old_zone.Box());
    zone_splitter_->addWidget(new_zone.Box());
    TopArea()->addWidget(zone_splitter_);

    SetConvertCommand([this] { Convert(); });
    EnableDrawingConversion([this] { return ZoneChangePointConversion(Fields()); });
}

PlausibilitySettings ZoneChangeWindow::CheckSettings() const {
    const ZoneChangeFields fields = Fields();
    return ReadPlausibilitySettings(fields.central_meridian, fields.y_constant, "0", true);
}

ZoneChangeFields ZoneChangeWindow::Fields() const {
    ZoneChangeFields fields;
    fields.a = ToStdString(ellipsoid_->A()->text());
    fields.inverse_flattening = ToStdString(ellipsoid_->InverseFlattening()->text());
    fields.central_meridian = ToStdString(central_meridian_->text());
    fields.y_constant = ToStdString(y_constant_->text());
    fields.new_central_meridian = ToStdString(new_central_meridian_->text());
    fields.new_y_constant = ToStdString(new_y_constant_->text());
    return fields;
}

void ZoneChangeWindow::Convert() { ConvertSourceRows(ZoneChangeConversion(Fields())); }

void ZoneChangeWindow::resizeEvent(QResizeEvent* event) {
    ConversionWindow::resizeEvent(event);
    const int left = SourceGroupWidth(frameGeometry().width());
    const int total = zone_splitter_->width();
    zone_splitter_->setSizes({left, std::max(0, total - left - zone_splitter_->handleWidth())});
}

}  // namespace coordconv
