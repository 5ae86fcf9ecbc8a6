// "平面坐标转换--二维四参数模型" (`TForm2d4p`): the plane similarity with
// four parameters and a height shift, solved from common points or typed,
// converting StringGrid1 into StringGrid2.
#pragma once

#include <QLineEdit>

#include "ui/kit/fitting_window.h"
#include "tools/plane/plane_four.h"

namespace coordconv {

class TForm2d4p : public FittingWindow {
    Q_OBJECT
public:
    TForm2d4p(QWidget* owner, UserDialogs& dialogs);

    // The texts of EditA, EditB, EditC, EditD and EditDH.
    PlaneFourFields Fields() const;
    void ShowFields(const PlaneFourFields& fields);

    // "转换计算".
    void ToolButton6Click();

private:
    // "解算四参数" on the common points.
    FittingRun Solve(PointTable& common_points);

    QLineEdit* dx_;
    QLineEdit* dy_;
    QLineEdit* rotation_;
    QLineEdit* scale_;
    QLineEdit* height_shift_;
};

}  // namespace coordconv
