// The compensation height plane window "抵偿高程面确定及投影变换"
// (object name "FormGCDC"): three steps, each usable at any time and reading
// the boxes as they stand:
//   "计算" of the group "确定抵偿面": deformation per km and the compensation
//     plane's geodetic height;
//   "计算" of the group "新椭球参数": the new semi-major axis;
//   "转换计算": the source table on the source ellipsoid to the result table
//     on the new ellipsoid.
// The new ellipsoid's 1/f box always shows the text of the source's (the new
// ellipsoid keeps the flattening). The Y constant is a false easting only; no
// other box follows its text. " 清空 " empties both tables.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "ui/kit/conversion_window.h"
#include "ui/kit/ellipsoid_boxes.h"
#include "tools/projection/compensation_tools.h"

namespace coordconv {

class CompensationWindow : public ConversionWindow {
    Q_OBJECT
public:
    CompensationWindow(QWidget* owner, UserDialogs& dialogs);

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    // The texts of the boxes as the three commands read them.
    CompensationFields Fields() const;

    // The coordinate system list's preset.
    void ApplySystemPreset() { ellipsoid_->ApplyPreset(); }
    // The new ellipsoid's 1/f box takes the text of the source's.
    void CopyFlattening();
    // Deformation per km and compensation plane height.
    void DeterminePlane();
    // New semi-major axis.
    void ComputeNewSemiMajorAxis();
    // "转换计算": the source table onto the new ellipsoid.
    void Convert();

protected:
    // When shown: the preset, then the copy of 1/f.
    void OnShow() override;

private:
    EllipsoidBoxes* ellipsoid_;
    QLineEdit* y_constant_;
    QLineEdit* mean_latitude_;
    QLineEdit* mean_height_;
    QLineEdit* mean_distance_;
    QLineEdit* deformation_;
    QLineEdit* plane_height_;
    QLineEdit* a2_;
    QLineEdit* f2_;
};

}  // namespace coordconv
