// GPS height fitting ("GPS高程拟合", TFormGCNH): the difference d = Hl - Hg
// between levelling and geodetic height modelled as a surface over the raw
// plane coordinates x, y (metres, no centroid reduction):
//   u = 3  a0 + a1 x + a2 y                       "平面拟合(3参)"
//   u = 4  ... + a3 x y                           "平面相关拟合(4参)"
//   u = 6  ... + a3 x y + a4 x^2 + a5 y^2         "二次曲面拟合(6参)"
// A point's levelling height is Hg + f(x, y).
#pragma once

#include <string>
#include <vector>

#include "core/least_squares.h"
#include "tools/datum/coefficient_table.h"
#include "tools/projection/row_conversion.h"

namespace coordconv {

// The texts of ComboBox2 ("拟合模型"), by index.
const std::vector<std::string>& HeightSurfaceItems();

// Coefficients u of the model index 0, 1, 2: 3, 4, 6.
int HeightSurfaceCoefficientCount(int model_index);

// The labels of StringGrid4: "a0=", "a1=", ..., one per coefficient.
std::vector<std::string> HeightSurfaceLabels(int model_index);

// The terms of one observation equation: (1, x, y), (1, x, y, xy) or
// (1, x, y, xy, x^2, y^2).
Vector HeightSurfaceTerms(long double x, long double y, int coefficient_count);

// f(x, y) = sum a_i t_i, summed from i = 0 upwards.
long double HeightSurface(const Vector& coefficients, long double x, long double y);

// The message of a solve with fewer adopted points than coefficients: the
// model's item text, "模型至少需要", u, "个公共点。参数未重新计算。" and the
// second line on the residuals.
std::string HeightFitTooFewPointsText(int model_index);

// "转换计算": name, x and y copied as their source texts, Hg + f(x, y) with 4
// decimals. Reads the first u coefficients of the table.
RowConversion HeightFitConversion(int model_index, const CoefficientTable& coefficients);

}  // namespace coordconv
