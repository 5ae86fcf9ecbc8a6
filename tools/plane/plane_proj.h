// The plane transformations of the windows ("转换计算" with the current
// parameters) as PROJ pipelines. Input and output are the program's
// columns: x (northing), y (easting), H, in metres.
//
// Four parameters. The program's x' = dx + a x - b y, y' = dy + b x + a y
// with a = (1 + m) cos R, b = (1 + m) sin R reads, with easting first,
//   E' = dy + (1 + m) (cos R E + sin R N),  N' = dx + (1 + m) (-sin R E + cos R N),
// which is PROJ's two-dimensional helmert with x = dy, y = dx, theta = R
// (arc seconds, same sign) and s = 1 + m (a factor, not ppm, in PROJ's 2D
// form), between two axis swaps; the height shift dH is an affine z offset.
//
// Polynomial (plane form). The program's p' = p + sum a_k t_k(p, q) is a
// full polynomial of degree 1 to 3 in the raw coordinates, which PROJ's
// horner evaluates with the same coefficients: origin 0, the terms in
// horner's order (for p' powers of q outer and of p inner, for q' the
// other way round), 1 added to the
// coefficient of p in p' and of q in q'. PROJ evaluates in double
// precision; the exported pipeline agrees with the program within 0.1 mm
// on fits of 1 to 3 orders over 30 km areas (measured against cct). The
// geodetic form (variables in radians, differences in arc seconds) is not
// exported.
#pragma once

#include <string>

#include "fitting/coefficient_table.h"
#include "tools/plane/plane_four.h"
#include "tools/plane/polynomial.h"

namespace coordconv {

// The export of the four-parameter window: comment lines, then the pipeline
// on the last line; lines end with "\n". Throws CommandError when a
// parameter cannot be read, NotExportableError when the scale factor 1 + m
// is not above zero (RequirePositiveScaleFactor).
std::string PlaneFourProjExport(const PlaneFourFields& fields);

// The message instead of an export of the polynomial's geodetic form.
inline constexpr const char* kPolynomialGeodeticNotExported =
    "椭球面上拟合的多项式(以弧度为变量)无法用PROJ准确表达, 未导出。请在平面上拟合后导出。";

// The export of the polynomial window in the plane form, as above. Throws
// NotExportableError with kPolynomialGeodeticNotExported for the geodetic form.
std::string PolynomialProjExport(const PolynomialFields& fields, const CoefficientTable& coefficients);

}  // namespace coordconv
