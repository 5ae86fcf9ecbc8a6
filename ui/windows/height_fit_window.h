// "GPS高程拟合" (object name FormGCNH): the difference between levelling and
// geodetic heights fitted as a plane, twisted plane or quadratic surface
// over x, y; the coefficients stand in the coefficient table.
#pragma once

#include <QComboBox>

#include "ui/kit/coefficient_grid_window.h"
#include "ui/kit/fitting_window.h"
#include "tools/height/height_fit.h"

namespace coordconv {

class HeightFitWindow : public FittingWindow {
    Q_OBJECT
public:
    HeightFitWindow(QWidget* owner, UserDialogs& dialogs);

    CoefficientGrid& Coefficients() { return *coefficients_; }
    QComboBox* SurfaceBox() const { return surface_; }

    // The surface model changed: the coefficient table gets u rows labelled
    // a0=.., keeping the texts of the rows that remain.
    void SurfaceModelChanged();
    // "转换计算".
    void ConvertPoints();
    // The coefficient file.
    void SaveParameters() override;
    void LoadParameters() override;

protected:
    void OnShow() override { SurfaceModelChanged(); }

private:
    // "解算参数" on the common points.
    FittingRun Solve(PointTable& common_points);

    QComboBox* surface_;             // ComboBox2
    CoefficientGrid* coefficients_;  // StringGrid4
};

}  // namespace coordconv
