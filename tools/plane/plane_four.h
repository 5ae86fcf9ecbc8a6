// Plane four-parameter model ("平面坐标转换--二维四参数模型"):
// a two-dimensional similarity transformation about the coordinate origin
// plus a constant height shift,
//   x' = dx + a x - b y,   y' = dy + b x + a y,   H' = H + dH,
// with a = (1 + m) cos R and b = (1 + m) sin R. Coordinates enter raw (no
// centroid reduction), x north and y east in metres.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/least_squares.h"
#include "core/point_conversion.h"
#include "table/point_table.h"
#include "fitting/common_points.h"
#include "table/row_conversion.h"

namespace coordconv {

// The texts of the parameters, each starting as "0". They are the only
// store of the parameters between commands.
struct PlaneFourFields {
    std::string dx = "0";            // shift of x, metres
    std::string dy = "0";            // shift of y, metres
    std::string rotation = "0";      // rotation R about the origin, arc seconds
    std::string scale = "0";         // scale change m (factor 1 + m), pure number
    std::string height_shift = "0";  // dH, metres
};

inline constexpr const char* kPlaneFourCaption = "平面坐标转换--二维四参数模型";
inline constexpr int kPlaneFourParameterCount = 5;
inline constexpr int kPlaneFourMinimumPoints = 2;
inline constexpr const char* kPlaneFourTooFewPointsText =
    "二维四参数模型至少需要2个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";

// The working form of the similarity: the shifts, the coefficient pair
// (a, b) and the height shift.
struct PlaneFourParameters {
    long double dx = 0;
    long double dy = 0;
    long double a = 1;
    long double b = 0;
    long double dH = 0;
};

struct PlanePointH {
    long double x;
    long double y;
    long double H;
};

// a = (1 + m) cos R, b = (1 + m) sin R with R in arc seconds turned into
// radians as R / 3600 * pi / 180.
void SetRotationAndScale(long double rotation_seconds, long double scale_change, PlaneFourParameters& p);

// The one reading of the five texts: TextToNumber (blank reads 0) in the
// order dx, dy, R, m, dH, then a and b from R and m.
PlaneFourParameters ReadPlaneFourParameters(const PlaneFourFields& fields);

// x' = dx + a x - b y; y' = dy + b x + a y; H' = H + dH.
PlanePointH TransformPlaneFour(const PlaneFourParameters& p, long double x, long double y, long double H);

// The two observation equations of one adopted common point, unknowns in
// the order (dx, dy, a, b): x row (1, 0, x1, -y1) = x2, then y row
// (0, 1, y1, x1) = y2.
void AppendPlaneFourEquations(long double x1, long double y1, long double x2, long double y2, Matrix& A, Vector& L);

// The rotation of the solved pair (a, b) in arc seconds: the direction of the
// vector (a, b) from the a axis towards the b axis, the azimuth of the point
// x = a, y = b reduced into (-pi, pi], then R * 180 / pi * 3600.
long double RotationSeconds(long double a, long double b);

// The scale change of the solved pair: sqrt(a^2 + b^2) - 1.
long double ScaleChange(long double a, long double b);

// The conversion as numbers: TransformPlaneFour with the texts' parameters,
// plane to plane, any finite coordinates accepted (a local grid is a plane).
PointConversion PlaneFourPointConversion(const PlaneFourFields& fields);

// "转换计算": name unchanged, x', y', H' with 4 decimals. An empty source row
// gives a nameless row holding dx, dy and dH.
RowConversion PlaneFourConversion(const PlaneFourFields& fields);

// Titles of the source and converted point tables: "点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)".
std::vector<std::string> PlaneFourPointTitles();

// The common-point table: the 13 plane-titled columns, two empty data rows
// to start with, tolerance 3 m_in, external accuracy over the number of
// check points.
CommonPointLayout PlaneFourLayout();
std::vector<std::string> PlaneFourCommonPointTitles();

// "解算四参数". From the adopted rows: the mean height difference becomes dH
// (4 decimals, also with one adopted point); with two or more, dx, dy, R
// (arc seconds) and m take the solved values in the general number format. Then residuals x, y, H and the point residual
// (4 decimals) of every row, the accuracy report and the usable flags. With
// fewer than two adopted points the message kPlaneFourTooFewPointsText is
// returned and the typed dx, dy, R and m are judged instead. The
// returned fields and `grid` hold whatever was written also when a failure
// ends the command.
FitResult<PlaneFourFields> SolvePlaneFour(const PlaneFourFields& fields, PointTable& grid);

// The parameter file's lines: the five texts in the order dx, dy, R, m, dH,
// unchanged.
std::vector<std::string> PlaneFourParameterLines(const PlaneFourFields& fields);
// The five texts from the file's first lines in that order; texts without a
// line become empty.
PlaneFourFields PlaneFourFieldsFromLines(const std::vector<std::string>& lines);

}  // namespace coordconv
