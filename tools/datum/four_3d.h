// Three-dimensional four-parameter model ("椭球变换--三维四参数模型"):
// geocentric Cartesian coordinates moved by three
// translations and one rotation R about the ellipsoid normal
// n = (cos b0 cos l0, cos b0 sin l0, sin b0) of the region centre (b0, l0),
// the Bursa-Wolf formula without scale and with (Rx, Ry, Rz) = -R n:
//   X' = X + Tx + R (cos b0 sin l0 Z - sin b0 Y)
//   Y' = Y + Ty + R (sin b0 X - cos b0 cos l0 Z)
//   Z' = Z + Tz + R (cos b0 cos l0 Y - cos b0 sin l0 X)
// R in radians, b0 and l0 in radians with l0 counted from L01 like every
// longitude entering the Cartesian coordinates.
#pragma once

#include <string>
#include <vector>

#include "core/geocentric.h"
#include "fitting/common_points.h"
#include "tools/datum/datum_settings.h"
#include "table/row_conversion.h"

namespace coordconv {

inline constexpr const char* kFour3dCaption = "椭球变换--三维四参数模型";
inline constexpr int kFour3dMinimumPoints = 2;
inline constexpr int kFour3dParameterCount = 6;

// The common-point table: 3 rows at the start, 12 fields saved.
CommonPointLayout Four3dLayout();

// The parameter texts in parameter (and parameter file) order, each "0" at the start.
struct FourParameterFields {
    std::string tx = "0";  // translation along X, metres
    std::string ty = "0";  // translation along Y, metres
    std::string tz = "0";  // translation along Z, metres
    std::string r = "0";   // rotation about the region centre's normal, arc seconds
    std::string b0 = "0";  // region centre latitude B0, ddd.mmss
    std::string l0 = "0";  // region centre longitude L0, ddd.mmss from Greenwich
};

std::vector<std::string> FourParameterLines(const FourParameterFields& fields);
FourParameterFields FourParameterFieldsFromLines(const std::vector<std::string>& lines);

// The parameters in the units of the formulas.
struct FourParameters {
    long double tx = 0, ty = 0, tz = 0;  // metres
    long double r = 0;                   // radians
};

// The region centre's normal as the formulas use it: b0 = dms(B0) * pi / 180,
// l0 = (dms(L0) - L01) * pi / 180.
struct RegionCentre {
    long double cos_b0_cos_l0;
    long double cos_b0_sin_l0;
    long double sin_b0;
};
RegionCentre ReadRegionCentre(const FourParameterFields& fields, const DatumSide& source);

// The one conversion between the texts and the numbers: Tx, Ty, Tz from
// their texts, R = text / rho; back, FormatGeneral of Tx, Ty, Tz and R * rho
// (any floating-point fault raised before a text changes), the region
// centre's texts left as they are.
FourParameters ReadFourParameters(const FourParameterFields& fields);
void WriteFourParameters(const FourParameters& p, FourParameterFields& fields);

Cartesian FourParameterTransform(const FourParameters& p, const RegionCentre& centre, const Cartesian& point);

// The conversion as numbers in the two sides' forms.
PointConversion Four3dPointConversion(const DatumFields& settings, const FourParameterFields& parameters);
// "转换计算": as the Bursa-Wolf window with the four-parameter transformation;
// R and the region centre are read from their texts each time.
RowConversion Four3dConversion(const DatumFields& settings, const FourParameterFields& parameters);

// "解算四参数": unknowns Tx, Ty, Tz, R; per adopted row
//   (1, 0, 0, cos b0 sin l0 Z1 - sin b0 Y1) = X2 - X1
//   (0, 1, 0, sin b0 X1 - cos b0 cos l0 Z1) = Y2 - Y1
//   (0, 0, 1, cos b0 cos l0 Y1 - cos b0 sin l0 X1) = Z2 - Z1.
// At least 2 adopted rows: the returned Tx, Ty, Tz and R * rho texts with
// FormatGeneral (the region centre unchanged); else "三维四参数模型至少需要2个公共点。..."
// and the typed values.
FitResult<FourParameterFields> SolveFour3d(const DatumFields& settings, const FourParameterFields& parameters,
                                           PointTable& grid);

// "区域中心": the mean source latitude and longitude (from Greenwich) of every
// data row, adopted or not, empty rows included (an empty geodetic row is
// B = 0, L = 0), as the region centre's texts: ddd.mmss with 4
// decimals. Only the source settings are read.
struct RegionCentreTexts {
    std::string b0;
    std::string l0;
};
RegionCentreTexts ComputeRegionCentre(const DatumFields& settings, const PointTable& grid);

}  // namespace coordconv
