// Two-dimensional seven-parameter model ("椭球变换--二维七参数模型"): the latitude and longitude rows of the differential
// formulas, evaluated without heights, with the same seven parameters as the
// 3D model (translations in metres, rotations in arc seconds, scale
// difference), all used as typed. Heights take no part in the fit; they move
// by one constant dH, the mean height difference of the adopted common
// points, kept as the eighth parameter dH.
#pragma once

#include <string>
#include <vector>

#include "tools/datum/bursa_wolf.h"
#include "fitting/common_points.h"
#include "tools/datum/datum_settings.h"
#include "tools/datum/seven_3d.h"
#include "table/row_conversion.h"

namespace coordconv {

inline constexpr const char* kSeven2dCaption = "椭球变换--二维七参数模型";
inline constexpr int kSeven2dMinimumPoints = 4;
inline constexpr int kSeven2dParameterCount = 8;
// The result table "数据另存" writes name and the two coordinates only.
inline constexpr int kSeven2dSavedResultColumns = 3;

// The eight parameter texts: the seven parameters and the height change dH (metres).
struct Seven2dFields {
    SevenParameterFields seven;
    std::string height_change = "0";
};

// The common-point table: 5 rows at the start, 11 fields saved (no usable flag).
CommonPointLayout Seven2dLayout();

// The parameter file's 8 lines: the seven texts, then dH (metres).
std::vector<std::string> Seven2dParameterLines(const Seven2dFields& fields);
// Splits 8 parameter-file lines into the seven texts and dH.
Seven2dFields Seven2dFieldsFromLines(const std::vector<std::string>& lines);

// The two rows of the formulas at a source point (B, l degrees, l from L01)
// on the source ellipsoid:
//   dL: -rho sin l/(N cos B), rho cos l/(N cos B), 0, tan B cos l, tan B sin l, -1, 0
//   dB: -rho sin B cos l/M, -rho sin B sin l/M, rho cos B/M, -sin l, cos l, 0, -rho N e2 sin B cos B/M
// and E_B as in the 3D model.
struct DifferentialRows2d {
    SevenCoefficients longitude;
    SevenCoefficients latitude;
    long double latitude_change;  // E_B, arc seconds
};
DifferentialRows2d Seven2dRows(const DatumSettings& settings, long double B, long double l);

// The source point of a common point moved horizontally: B' = B + dB/3600,
// l'' = l + dL/3600 + L01 - L02; H' is the source height plus `height_change`.
TransformedPoint Seven2dTransform(const DatumSettings& settings, const SevenCoefficients& p, long double height_change,
                                  const CommonPoint& point);

// The same from the source position and height.
TransformedPoint Seven2dTransformAt(const DatumSettings& settings, const SevenCoefficients& p, long double height_change,
                                    const GeodeticOffset& source, long double H);
// The conversion as numbers in the two sides' forms.
PointConversion Seven2dPointConversion(const DatumFields& settings, const Seven2dFields& parameters);

// "转换计算": horizontal output as the 3D windows, height = H + dH.
RowConversion Seven2dConversion(const DatumFields& settings, const Seven2dFields& parameters);

// "解算七参数": two equations per adopted row (dL with (l2 - l1) * 3600, dB with
// (B2 - B1) * 3600 - E_B). Before the point-count test, with at least one
// adopted row, dH gets the mean of (column 6 - column 3) over the adopted
// rows with 4 decimals; with none it keeps its text and value. At least 4
// adopted rows, else "二维七参数模型至少需要4个公共点。..." and the typed
// values. Column 9 gets (column 3 + dH) - column 6 (dH unrounded); only dx
// and dy enter column 10 and the accuracy.
FitResult<Seven2dFields> SolveSeven2d(const DatumFields& settings, const Seven2dFields& parameters, PointTable& grid);

}  // namespace coordconv
