// Bursa-Wolf model ("椭球变换--布尔沙模型"): the
// seven-parameter similarity of geocentric Cartesian coordinates in its
// linearised (small-angle) form,
//   X' = X + Tx + D X - Ry Z + Rz Y
//   Y' = Y + Ty + D Y + Rx Z - Rz X
//   Z' = Z + Tz + D Z - Rx Y + Ry X
// with the rotations in radians. Points enter and leave as Gauss-Krüger
// plane coordinates or ddd.mmss geodetic coordinates with ellipsoidal height,
// independently on each side; longitudes are counted from each side's
// central meridian.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/geocentric.h"
#include "fitting/common_points.h"
#include "tools/datum/datum_settings.h"
#include "table/row_conversion.h"

namespace coordconv {

// The texts of the seven parameters of the Bursa-Wolf and 3D
// seven-parameter models, in parameter (and parameter file) order, each
// starting as "0".
struct SevenParameterFields {
    std::string tx = "0";  // translation along X, metres
    std::string ty = "0";  // translation along Y, metres
    std::string tz = "0";  // translation along Z, metres
    std::string rx = "0";  // rotation about X, arc seconds
    std::string ry = "0";  // rotation about Y, arc seconds
    std::string rz = "0";  // rotation about Z, arc seconds
    std::string d = "0";   // scale difference (pure number, not ppm)
};

inline constexpr int kSevenParameterCount = 7;

// The seven parameters as numbers in the units of their texts, in parameter
// order: Tx, Ty, Tz (metres), Rx, Ry, Rz (arc seconds), D (pure number).
using SevenParameters = std::array<long double, kSevenParameterCount>;
// The one conversion between the texts and the numbers: TextToNumber of each
// text in parameter order (blank reads 0), FormatGeneral of each number.
SevenParameters ReadSevenParameters(const SevenParameterFields& fields);
SevenParameterFields SevenParameterTexts(const SevenParameters& parameters);

// The parameter file's lines: the seven texts in order, unchanged.
std::vector<std::string> SevenParameterLines(const SevenParameterFields& fields);
// The texts from a parameter file's lines (LoadParameterFile with 7 lines).
SevenParameterFields SevenParameterFieldsFromLines(const std::vector<std::string>& lines);

inline constexpr const char* kBursaWolfCaption = "椭球变换--布尔沙模型";
inline constexpr int kBursaWolfMinimumPoints = 3;

// The common-point table: 4 rows at the start, 12 fields saved.
CommonPointLayout BursaWolfLayout();

// The parameters in the units of the formulas: rotations in radians.
struct BursaWolfParameters {
    long double tx = 0, ty = 0, tz = 0;  // metres
    long double rx = 0, ry = 0, rz = 0;  // radians
    long double d = 0;                   // scale difference
};

// The seven fields for the precision report: with `unknowns` (7) the
// gradients of Tx..D with respect to the unknowns, the rotations' scaled by
// `rotation_factor` (arc seconds per unit of the rotation unknowns).
std::vector<ReportedParameter> SevenReportedParameters(const SevenParameterFields& fields, int unknowns,
                                                       long double rotation_factor);

// ReadSevenParameters, rotations divided by rho (arc seconds per radian).
BursaWolfParameters ReadBursaWolfParameters(const SevenParameterFields& fields);

// The linearised Bursa-Wolf transformation above.
Cartesian BursaWolfTransform(const BursaWolfParameters& p, const Cartesian& point);

// The conversion as numbers in the two sides' forms.
PointConversion BursaWolfPointConversion(const DatumFields& settings, const SevenParameterFields& parameters);
// "转换计算": source rows name, x|B, y|L, H to name, x|B, y|L, H' in the
// target form. Reads the settings and parameters first.
RowConversion BursaWolfConversion(const DatumFields& settings, const SevenParameterFields& parameters);

// "解算七参数": three equations per adopted row in the unknowns
// Tx, Ty, Tz, Rx, Ry, Rz, D; with at least 3 adopted rows the solved values
// become the returned fields' texts with FormatGeneral (rotations * rho),
// otherwise the message "布尔沙模型至少需要3个公共点。参数未重新计算。" (and its
// second line) and the typed values are used. Then the residual pass,
// accuracy and usable flags (common_points.h). Throws only when the settings
// cannot be read.
FitResult<SevenParameterFields> SolveBursaWolf(const DatumFields& settings, const SevenParameterFields& parameters,
                                               PointTable& grid);

}  // namespace coordconv
