// The zone change window "坐标换带" (object name "FormZBHD"): Gauss plane
// coordinates from the old zone (its central meridian and false easting) to
// the new zone on one ellipsoid. The old zone's parameter group and the old
// zone's table group sit on the left of their splitters and share one width,
// (W - 13) / 2 rounded half to even.
#pragma once

#include <QLineEdit>
#include <QSplitter>

#include "ui/kit/conversion_window.h"
#include "ui/kit/ellipsoid_boxes.h"
#include "ui/windows/projection_layout.h"
#include "tools/projection/zone_change_tools.h"

namespace coordconv {

class ZoneChangeWindow : public ConversionWindow {
    Q_OBJECT
public:
    ZoneChangeWindow(QWidget* owner, UserDialogs& dialogs);

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    QLineEdit* CentralMeridian() const { return central_meridian_; }
    QLineEdit* YConstant() const { return y_constant_; }
    QLineEdit* NewCentralMeridian() const { return new_central_meridian_; }
    QLineEdit* NewYConstant() const { return new_y_constant_; }
    // The texts of the six boxes as the convert command reads them.
    ZoneChangeFields Fields() const;
    // The old zone's meridian and constant, for the import dialog's checks.
    PlausibilitySettings CheckSettings() const override;

    // The coordinate system list's preset, also applied when the window is shown.
    void ApplySystemPreset() { ellipsoid_->ApplyPreset(); }
    // "转换计算": the source table from the old zone into the new one.
    void Convert();

    int SourceGroupWidth(int outer_width) const override { return ZoneChangeLeftGroupWidth(outer_width); }

protected:
    void OnShow() override { ApplySystemPreset(); }
    // The table groups and columns as every conversion window,
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
