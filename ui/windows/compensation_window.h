// The compensation height plane window "抵偿高程面确定及投影变换"
// (`TFormGCDC`): three steps, each usable at any time and reading the boxes as
// they stand:
//   Button2 "计算" (group "确定抵偿面"): deformation per km (EditDs) and the
//     compensation plane's geodetic height (EditHd);
//   Button1 "计算" (group "新椭球参数"): the new semi-major axis (EditA2);
//   ToolButton6 "转换计算": the source table on the source ellipsoid to the
//     result table on the new ellipsoid.
// EditF2 always shows the text of EditF1 (the new ellipsoid keeps the
// flattening). The Y constant EditYY1 is a false easting only; no other box
// follows its text. " 清空 " empties both tables.
#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "ui/kit/conversion_window.h"
#include "ui/kit/ellipsoid_boxes.h"
#include "tools/projection/compensation_tools.h"

namespace coordconv {

class TFormGCDC : public ConversionWindow {
    Q_OBJECT
public:
    TFormGCDC(QWidget* owner, UserDialogs& dialogs);

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    // The texts of the boxes as the three commands read them.
    CompensationFields Fields() const;

    // The preset handler.
    void ComboBox1Change() { ellipsoid_->ApplyPreset(); }
    // EditF2 takes the text of EditF1.
    void EditF1Change();
    // Deformation per km and compensation plane height.
    void Button2Click();
    // New semi-major axis.
    void Button1Click();
    // "转换计算".
    void ToolButton6Click();

protected:
    // FormShow: the preset, then the copy of 1/f.
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
