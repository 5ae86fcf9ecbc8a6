// "椭球变换--三维四参数模型" (object name FormEllCon3d4p): three translations
// and one horizontal rotation R about the region centre B0, L0, which the
// button "区域中心" (ToolButton17) proposes as the mean source position of
// the common points. The parameter edits, in parameter-file order: EditTx,
// EditTy, EditTz, EditR, EditBB0, EditLL0.
#pragma once

#include "ui/windows/datum_window.h"
#include "tools/datum/four_3d.h"

namespace coordconv {

// The hint of "区域中心".
inline constexpr const char* kRegionCentreHint = "计算公共点原坐标平均值，可以作为区域中心的参考值使用。";

class Four3dWindow : public DatumWindow {
    Q_OBJECT
public:
    Four3dWindow(QWidget* owner, UserDialogs& dialogs);

    // The texts of the six parameters.
    FourParameterFields Parameters() const;

    // "转换计算" with the parameters and region centre standing in the edits.
    void ConvertPoints();
    // "区域中心": the region centre from the common points' source columns.
    void ProposeRegionCentre();

private:
    // "解算四参数" on the common points; the edits show what it wrote.
    FittingRun Solve(PointTable& common_points);
};

}  // namespace coordconv
