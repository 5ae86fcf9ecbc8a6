// GPS height fitting ("GPS高程拟合"): the difference d = Hl - Hg
// between levelling and geodetic height modelled as a surface over the raw
// plane coordinates x, y (metres, no centroid reduction):
//   u = 3  a0 + a1 x + a2 y                       "平面拟合(3参)"
//   u = 4  ... + a3 x y                           "平面相关拟合(4参)"
//   u = 6  ... + a3 x y + a4 x^2 + a5 y^2         "二次曲面拟合(6参)"
// A point's levelling height is Hg + f(x, y).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/least_squares.h"
#include "core/point_conversion.h"
#include "table/point_table.h"
#include "fitting/coefficient_table.h"
#include "fitting/common_points.h"
#include "table/row_conversion.h"

namespace coordconv {

// The names of the surface models ("拟合模型"), by index.
const std::vector<std::string>& HeightSurfaceNames();

// Coefficients u of the model index 0, 1, 2: 3, 4, 6.
int HeightSurfaceCoefficientCount(int model_index);

// The coefficient labels: "a0=", "a1=", ..., one per coefficient.
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

// A fresh coefficient table of the model: labels a0=.. and empty texts.
CoefficientTable NewHeightFitCoefficientTable(int model_index);

// The 8-column common-point table:
//   0 "点号", 1 "坐标x(m)", 2 "坐标y(m)", 3 "大地高H(m)", 4 "水准高H(m)",
//   5 "残差H(m)", 6 "可用", 7 "采用";
// three empty data rows to start with; all eight columns saved (the adoption
// flag included); tolerance 2 m_in; external accuracy over the number of
// check points less one; the usable flag from the magnitude of column 5.
CommonPointLayout HeightFitLayout();
std::vector<std::string> HeightFitCommonPointTitles();
// Titles of the source ("大地高H(m)") and converted ("水准高H(m)") point tables.
std::vector<std::string> HeightFitSourceTitles();
std::vector<std::string> HeightFitResultTitles();

// "解算参数". One equation per adopted row, observation
// Hl - Hg; with at least u adopted rows the u coefficients go into rows
// 0..u-1 of the returned table in the general number format, otherwise the
// message HeightFitTooFewPointsText is returned and the table's texts are
// judged. Column 5 gets Hg + f(x, y) - Hl with 4 decimals for every row.
FitResult<CoefficientTable> SolveHeightFit(int model_index, const CoefficientTable& coefficients, PointTable& grid);

// "转换计算": name, x and y copied as their source texts, Hg + f(x, y) with 4
// decimals. Reads the first u coefficients of the table.
RowConversion HeightFitConversion(int model_index, const CoefficientTable& coefficients);

// The conversion as numbers, for drawings and layers: x and y (metres) kept,
// the geodetic height H to the levelling height H + f(x, y). Plane to plane;
// the systems are unknown (the surface is fitted to the raw coordinates of
// whatever system the common points were in). Reads the coefficients as
// HeightFitConversion does.
PointConversion HeightFitPointConversion(int model_index, const CoefficientTable& coefficients);

}  // namespace coordconv
