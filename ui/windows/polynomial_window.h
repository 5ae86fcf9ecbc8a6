// "坐标转换--二维多项式拟合模型" (object name FormPoly): polynomial
// corrections of the first to third order, fitted in the plane or on the
// ellipsoid, with the coefficient table and the height shift dH.
#pragma once

#include <QComboBox>
#include <QLineEdit>

#include "ui/kit/coefficient_grid_window.h"
#include "ui/kit/fitting_window.h"
#include "tools/plane/polynomial.h"

namespace coordconv {

class PolynomialWindow : public FittingWindow {
    Q_OBJECT
public:
    PolynomialWindow(QWidget* owner, UserDialogs& dialogs);

    CoefficientGrid& Coefficients() { return *coefficients_; }
    QComboBox* OrderBox() const { return order_; }
    QComboBox* FormBox() const { return form_; }
    QLineEdit* HeightShiftEdit() const { return height_shift_; }

    // Order, coordinate form and dH as the commands read them.
    PolynomialFields Fields() const;

    // The order changed: the coefficient table gets the rows and labels of
    // the order, keeping the texts of the rows that remain.
    void OrderChanged();
    // The coordinate form changed: the titles of the common points, the
    // source and the converted points follow it; no cell is converted.
    void FormChanged();
    // "转换计算".
    void ConvertPoints();
    // The coefficient file.
    void SaveParameters() override;
    void LoadParameters() override;

protected:
    void OnShow() override;

private:
    // "解算系数" on the common points.
    FittingRun Solve(PointTable& common_points);

    QComboBox* order_;                // ComboBox1
    QComboBox* form_;                 // ComboBox2
    QLineEdit* height_shift_;         // EditDH
    CoefficientGrid* coefficients_;   // StringGrid4
};

}  // namespace coordconv
