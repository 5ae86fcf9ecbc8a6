// "椭球变换--三维四参数模型" (`TFormEllCon3d4p`): three translations and one
// horizontal rotation R about the region centre (EditBB0, EditLL0), which the
// button "区域中心" (ToolButton17) proposes as the mean source position of
// the common points.
#pragma once

#include "ui/windows/datum_window.h"
#include "tools/datum/four_3d.h"

namespace coordconv {

class TFormEllCon3d4p : public DatumWindow {
    Q_OBJECT
public:
    TFormEllCon3d4p(QWidget* owner, UserDialogs& dialogs);

    // The texts of EditTx, EditTy, EditTz, EditR, EditBB0, EditLL0.
    FourParameterFields Parameters() const;

    // "转换计算" with the parameters and region centre standing in the edits.
    void ToolButton6Click();
    // "区域中心": EditBB0 and EditLL0 from the common points' source columns.
    void ToolButton17Click();

private:
    // "解算四参数" on the common points; the edits show what it wrote.
    FittingRun Solve(PointTable& common_points);
};

}  // namespace coordconv
