// "GPS高程拟合" (`TFormGCNH`): the difference between levelling and geodetic
// heights fitted as a plane, twisted plane or quadratic surface over x, y;
// the coefficients stand in StringGrid4.
#pragma once

#include <QComboBox>

#include "ui/kit/coefficient_grid_window.h"
#include "ui/kit/fitting_window.h"
#include "tools/height/height_fit.h"

namespace coordconv {

class TFormGCNH : public FittingWindow {
    Q_OBJECT
public:
    TFormGCNH(QWidget* owner, UserDialogs& dialogs);

    CoefficientGrid& Coefficients() { return *coefficients_; }  // StringGrid4
    QComboBox* SurfaceBox() const { return surface_; }           // ComboBox2

    // The surface model changed: StringGrid4 gets u rows labelled a0=..,
    // keeping the texts of the rows that remain.
    void ComboBox2Change();
    // "转换计算".
    void ToolButton6Click();
    // The coefficient file.
    void ToolButton14Click() override;
    void ToolButton15Click() override;

protected:
    void OnShow() override { ComboBox2Change(); }

private:
    // "解算参数" on the common points.
    FittingRun Solve(PointTable& common_points);

    QComboBox* surface_;
    CoefficientGrid* coefficients_;
};

}  // namespace coordconv
