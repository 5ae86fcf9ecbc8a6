// "平面坐标转换--二维四参数模型" (object name Form2d4p): the plane similarity
// with four parameters and a height shift, solved from common points or
// typed, converting the source points into the converted points.
#pragma once

#include <array>

#include <QLineEdit>

#include "ui/kit/fitting_window.h"
#include "tools/plane/plane_four.h"

namespace coordconv {

// The source and converted point tables of the plane windows (also the
// polynomial window): column k gets trunc((table width - 32) * share k).
inline constexpr int kPlanePointGridOffset = 32;
inline constexpr std::array<long double, 4> kPlanePointColumnShares = {0.16L, 0.32L, 0.32L, 0.2L};

class PlaneFourWindow : public FittingWindow {
    Q_OBJECT
public:
    PlaneFourWindow(QWidget* owner, UserDialogs& dialogs);

    // The texts of the five parameters.
    PlaneFourFields Fields() const;
    void ShowFields(const PlaneFourFields& fields);

    // "转换计算".
    void ConvertPoints();

private:
    // "解算四参数" on the common points.
    FittingRun Solve(PointTable& common_points);

    QLineEdit* dx_;            // EditA
    QLineEdit* dy_;            // EditB
    QLineEdit* rotation_;      // EditC
    QLineEdit* scale_;         // EditD
    QLineEdit* height_shift_;  // EditDH
};

}  // namespace coordconv
