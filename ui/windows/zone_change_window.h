// The zone change window "坐标换带" (`TFormZBHD`): Gauss plane coordinates
// from the old zone (central meridian EditLL, false easting EditYY) to the
// new zone (EditLL2, EditYY2) on one ellipsoid. The old zone's parameter
// group (`GroupBox1`) and the old zone's table group (`GroupBox2`) sit on the
// left of their splitters and share one width, (W - 13) / 2 rounded half to
// even.
#pragma once

#include <QLineEdit>
#include <QSplitter>

#include "ui/kit/conversion_window.h"
#include "ui/kit/ellipsoid_boxes.h"
#include "ui/windows/projection_layout.h"
#include "tools/projection/zone_change_tools.h"

namespace coordconv {

class TFormZBHD : public ConversionWindow {
    Q_OBJECT
public:
    TFormZBHD(QWidget* owner, UserDialogs& dialogs);

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    QLineEdit* CentralMeridian() const { return central_meridian_; }
    QLineEdit* YConstant() const { return y_constant_; }
    QLineEdit* NewCentralMeridian() const { return new_central_meridian_; }
    QLineEdit* NewYConstant() const { return new_y_constant_; }
    // The texts of the six boxes as the convert command reads them.
    ZoneChangeFields Fields() const;
    // The old zone's meridian and constant, for the import dialog's checks.
    PlausibilitySettings CheckSettings() const override;

    // The preset handler, also the show handler.
    void ComboBox1Change() { ellipsoid_->ApplyPreset(); }
    // "转换计算".
    void ToolButton6Click();

    int SourceGroupWidth(int outer_width) const override { return ZoneChangeLeftGroupWidth(outer_width); }

protected:
    void OnShow() override { ComboBox1Change(); }
    // FormResize: the table groups and columns as every conversion window,
    // then the old zone's parameter group to the same width as its table group.
    void resizeEvent(QResizeEvent* event) override;

private:
    EllipsoidBoxes* ellipsoid_;
    QSplitter* zone_splitter_;
    QLineEdit* central_meridian_;
    QLineEdit* y_constant_;
    QLineEdit* new_central_meridian_;
    QLineEdit* new_y_constant_;
};

}  // namespace coordconv
