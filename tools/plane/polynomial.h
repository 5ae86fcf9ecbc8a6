// Plane polynomial model ("坐标转换--二维多项式拟合模型"):
// corrections of the first to third order in two variables p, q,
//   p' = p + sum a_i t_i(p, q),   q' = q + sum b_i t_i(p, q),   H' = H + dH,
// with the terms 1, p, q, pq, p^2, q^2, p^2 q, p q^2, p^3, q^3 (the first m of
// them). The variables are plane x, y in metres or geodetic B, L in radians;
// they enter raw, without centroid reduction or scaling.
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

// Where the polynomial is fitted ("坐标形式").
enum class PolynomialForm {
    Plane = 0,      // "平面上拟合": x, y in metres
    Ellipsoid = 1,  // "椭球面上拟合": B, L packed ddd.mmss, computed in radians
};

inline constexpr int kPolynomialOrders = 3;  // first to third order
// Mean Earth radius that turns the geodetic residuals (radians) into metres.
inline constexpr long double kMeanEarthRadius = 6371000;

// The names of the orders ("一次多项式" ...) and of the forms, by index.
const std::vector<std::string>& PolynomialOrderNames();
const std::vector<std::string>& PolynomialFormNames();

// Terms per coordinate m of the order index 0, 1, 2 ("一次" to "三次"): 3, 6, 10.
// The coefficient count u is 2m.
int PolynomialTermCount(int order_index);

// The coefficient labels: a0..a(m-1), then b0..b(m-1).
std::vector<std::string> PolynomialCoefficientLabels(int order_index);

// t0..t(m-1) at (p, q).
Vector PolynomialTerms(long double p, long double q, int term_count);

// A coordinate cell as a polynomial variable: the number itself in the plane
// form; in the geodetic form the packed angle in decimal degrees divided by
// 180/pi, that is radians.
long double PolynomialVariable(const std::string& text, PolynomialForm form);
// The same of a cell's number: metres, or decimal degrees in the geodetic form.
long double PolynomialVariableOf(long double cell_number, PolynomialForm form);

// The two observation equations of one adopted common point, each u wide: the
// terms at (p1, q1) in columns 0..m-1 with observation p2 - p1, then in
// columns m..u-1 with observation q2 - q1.
void AppendPolynomialEquations(long double p1, long double q1, long double p2, long double q2, int term_count,
                               Matrix& A, Vector& L);

struct PolynomialPoint {
    long double p;
    long double q;
};

// p' = p + a0 t0 + a1 t1 + ..., q' = q + b0 t0 + ..., added left to right;
// coefficients holds a0..a(m-1), b0..b(m-1).
PolynomialPoint ApplyPolynomial(const Vector& coefficients, int term_count, long double p, long double q);

// The message of a solve with fewer adopted points than terms, e.g. for the
// third order "3次多项式模型至少需要10个公共点。参数未重新计算。" and the
// second line on the residuals.
std::string PolynomialTooFewPointsText(int order_index);

// The settings that the commands read.
struct PolynomialFields {
    int order_index = 0;                          // 0..2: first to third order
    PolynomialForm form = PolynomialForm::Plane;
    std::string height_shift = "0";               // dH, metres
};

// A fresh coefficient table of the order: labels a0.., b0.. and empty texts.
CoefficientTable NewPolynomialCoefficientTable(int order_index);

// The common-point table: 13 columns, three empty data rows to start with,
// tolerance 3 m_in, external accuracy over the number of check points less
// one; in the geodetic form both accuracies, summed in square radians, are
// scaled by the mean Earth radius.
CommonPointLayout PolynomialLayout(PolynomialForm form);
// Titles of the common-point table for the form (source and target together).
std::vector<std::string> PolynomialCommonPointTitles(PolynomialForm form);
// Titles of the source and converted point tables.
std::vector<std::string> PolynomialPointTitles(PolynomialForm form);

// "解算系数". From the adopted rows: the mean height
// difference goes to the height shift text (4 decimals, whenever a row is
// adopted); with at least m adopted rows the 2m coefficients go into rows
// 0..2m-1 of the table in the general number format. Otherwise the message
// PolynomialTooFewPointsText is returned and the table's texts are judged.
// Residuals: plane form x, y, H and the point residual in metres; geodetic
// form B, L in arc seconds, H in metres and the point residual as
// 6371000 * sqrt(vp^2 + vq^2) metres; all with 4 decimals.
// The fields the solve rewrites: the height shift (in `fields`) and the coefficients.
struct PolynomialParameters {
    PolynomialFields fields;
    CoefficientTable coefficients;
};
FitResult<PolynomialParameters> SolvePolynomial(const PolynomialFields& fields, const CoefficientTable& coefficients,
                                                PointTable& grid);

// The conversion as numbers: plane form x, y in metres, geodetic form B, L
// in decimal degrees (radians inside the polynomial); H' = H + dH. Reads dH
// and the first u coefficients.
PointConversion PolynomialPointConversion(const PolynomialFields& fields, const CoefficientTable& coefficients);

// "转换计算": name unchanged; H' with 4 decimals; p', q' with 4 decimals in
// the plane form, or as packed ddd.mmss (DegreesToDms of p' * 180/pi) with
// 10 decimals in the geodetic form. Reads dH and the first u coefficients.
RowConversion PolynomialConversion(const PolynomialFields& fields, const CoefficientTable& coefficients);

}  // namespace coordconv
