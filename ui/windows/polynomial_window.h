// "坐标转换--二维多项式拟合模型" (`TFormPoly`): polynomial corrections of the
// first to third order, fitted in the plane or on the ellipsoid, with the
// coefficient table StringGrid4 and the height shift EditDH.
#pragma once

#include <QComboBox>
#include <QLineEdit>

#include "ui/kit/coefficient_grid_window.h"
#include "ui/kit/fitting_window.h"
#include "tools/plane/polynomial.h"

namespace coordconv {

class TFormPoly : public FittingWindow {
    Q_OBJECT
public:
    TFormPoly(QWidget* owner, UserDialogs& dialogs);

    CoefficientGrid& Coefficients() { return *coefficients_; }  // StringGrid4
    QComboBox* OrderBox() const { return order_; }               // ComboBox1
    QComboBox* FormBox() const { return form_; }                 // ComboBox2
    QLineEdit* HeightShiftEdit() const { return height_shift_; }  // EditDH

    // Order, coordinate form and EditDH as the commands read them.
    PolynomialFields Fields() const;

    // The order changed: StringGrid4 gets the rows and labels of the order,
    // keeping the texts of the rows that remain.
    void ComboBox1Change();
    // The coordinate form changed: the titles of StringGrid3, StringGrid1 and
    // StringGrid2 follow it; no cell is converted.
    void ComboBox2Change();
    // "转换计算".
    void ToolButton6Click();
    // The coefficient file.
    void ToolButton14Click() override;
    void ToolButton15Click() override;

protected:
    void OnShow() override;

private:
    // "解算系数" on the common points.
    FittingRun Solve(PointTable& common_points);

    QComboBox* order_;
    QComboBox* form_;
    QLineEdit* height_shift_;
    CoefficientGrid* coefficients_;
};

}  // namespace coordconv
