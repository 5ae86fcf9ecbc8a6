// Three-dimensional seven-parameter model ("椭球变换--三维七参数模型"): the differential formulas of geodetic coordinates. The
// changes of latitude, longitude and height caused by the seven parameters
// p = (Tx, Ty, Tz, ex, ey, ez, m) and by the change of ellipsoid (da, df) are
// evaluated at the source point on the source ellipsoid and added to it:
//   dL = row_L . p            (arc seconds)
//   dB = row_B . p + E_B      (arc seconds)
//   dH = row_H . p + E_H      (metres)
// No Cartesian coordinates are formed. Rotations are arc seconds as typed,
// translations metres, m a pure scale difference; nothing is converted.
#pragma once

#include <array>
#include <string>

#include "tools/datum/bursa_wolf.h"
#include "fitting/common_points.h"
#include "tools/datum/datum_settings.h"
#include "table/row_conversion.h"

namespace coordconv {

inline constexpr const char* kSeven3dCaption = "椭球变换--三维七参数模型";
inline constexpr int kSeven3dMinimumPoints = 3;

// The common-point table: 4 rows at the start, 12 fields saved.
CommonPointLayout Seven3dLayout();

// A row of the formulas (per unit of each parameter) or the parameters themselves.
using SevenCoefficients = SevenParameters;

// The quantities both differential models evaluate at a source point (B and
// l in degrees, l from L01) on the source ellipsoid a = a1, f = f1, with the
// ellipsoid change da = a2 - a1, df = f2 - f1: e2 = 2f - f^2,
// W = sqrt(1 - e2 sin^2 B), N = a / W, M = a (1 - e2) / W^3 and
//   E_B = rho N e2 sin B cos B da/(M a) + rho sin B cos B (2 - e2 sin^2 B) df/(1 - f)
// in arc seconds. Members in this order, for structured bindings.
struct DifferentialTerms {
    long double a;
    long double f;
    long double da;
    long double df;
    long double sinB;
    long double cosB;
    long double tanB;
    long double sinl;
    long double cosl;
    long double sin2B;  // sin^2 B
    long double e2;
    long double N;
    long double M;
    long double latitude_change;  // E_B
};
DifferentialTerms DifferentialTermsAt(const DatumSettings& settings, long double B, long double l);

// The rows of the differential formulas at one source point and the
// ellipsoid-change terms. Point: B and l in degrees (l from L01), H metres.
struct DifferentialRows3d {
    SevenCoefficients longitude;  // dL, arc seconds per unit of each parameter
    SevenCoefficients latitude;   // dB, arc seconds
    SevenCoefficients height;     // dH, metres
    long double latitude_change;  // E_B, arc seconds
    long double height_change;    // E_H, metres
};

// With the terms above, Q = N + H - N e2 sin^2 B, P = (N (1 - e2) + H) / (N + H):
//   dL: -rho sin l/((N+H) cos B), rho cos l/((N+H) cos B), 0, P tan B cos l, P tan B sin l, -1, 0
//   dB: -rho sin B cos l/(M+H), -rho sin B sin l/(M+H), rho cos B/(M+H), -Q sin l/(M+H), Q cos l/(M+H), 0,
//       -rho N e2 sin B cos B/M
//   dH: cos B cos l, cos B sin l, sin B, -N e2 sin B cos B sin l/rho, N e2 sin B cos B cos l/rho, 0, Q
//   E_H = -N (1 - e2 sin^2 B) da/a + M (1 - e2 sin^2 B) sin^2 B df/(1 - f)
DifferentialRows3d Seven3dRows(const DatumSettings& settings, long double B, long double l, long double H);

// row . p, summed from the first parameter upwards.
long double DotParameters(const SevenCoefficients& row, const SevenCoefficients& p);


// The source point of a common point moved by the formulas: B' = B + dB/3600,
// l'' = l + dL/3600 + L01 - L02, H' = H + dH.
TransformedPoint Seven3dTransform(const DatumSettings& settings, const SevenCoefficients& p, const CommonPoint& point);

// The same from the source position and height.
TransformedPoint Seven3dTransformAt(const DatumSettings& settings, const SevenCoefficients& p,
                                    const GeodeticOffset& source, long double H);
// The conversion as numbers in the two sides' forms.
PointConversion Seven3dPointConversion(const DatumFields& settings, const SevenParameterFields& parameters);

// "转换计算" as in the Bursa-Wolf window with the differential formulas.
RowConversion Seven3dConversion(const DatumFields& settings, const SevenParameterFields& parameters);

// "解算七参数": per adopted row the dL row with observation (l2 - l1) * 3600,
// the dB row with (B2 - B1) * 3600 - E_B and the dH row with (H2 - H1) - E_H;
// at least 3 adopted rows, else "三维七参数模型至少需要3个公共点。..." and the
// typed values. The returned fields take the solved parameters with
// FormatGeneral, unconverted.
FitResult<SevenParameterFields> SolveSeven3d(const DatumFields& settings, const SevenParameterFields& parameters,
                                             PointTable& grid);

}  // namespace coordconv
