// What the four datum windows (Bursa-Wolf, 3D and 2D seven-parameter, 3D
// four-parameter) share around their models: the source and target
// ellipsoid and coordinate-system fields, the reading of a point in either
// coordinate form, the output of a transformed point, and the horizontal
// residuals of a common point.
//
// Longitudes inside the models are counted from a central meridian: a source
// longitude l = L - L01, a target longitude l'' = L - L02. Plane y values may
// carry a zone number in their millions; it is dropped before the Y constant
// is subtracted, and never written.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ellipsoid.h"
#include "core/gauss_kruger.h"
#include "core/gauss_plane_system.h"
#include "core/geocentric.h"
#include "core/point_conversion.h"
#include "core/zone_number.h"
#include "fitting/common_points.h"
#include "table/row_conversion.h"

namespace coordconv {

// Arc seconds per radian, 180 * 3600 / pi.
inline constexpr long double kArcSecondsPerRadian = 206264.806247096355L;

// ComboBoxO / ComboBoxN item index.
enum class CoordinateForm { Plane = 0, Geodetic = 1 };

// The texts of the two settings group boxes ("原椭球及坐标系参数设置",
// "新椭球及坐标系参数设置") with the windows' initial texts: the source preset
// "1954北京坐标系", the target preset "1980西安坐标系". EditLL2 follows
// EditLL1 (EditLL1Change copies every change).
struct DatumFields {
    std::string a1 = "6378245.0000000000";  // EditA1
    std::string inverse_flattening1 = "298.3";  // EditF1
    std::string central_meridian1 = "0";  // EditLL1, ddd.mmss
    std::string y_constant1 = "500000";  // EditYY1, metres
    CoordinateForm form1 = CoordinateForm::Plane;  // ComboBoxO
    std::string a2 = "6378140.0000000000";  // EditA2
    std::string inverse_flattening2 = "298.257";  // EditF2
    std::string central_meridian2 = "0";  // EditLL2, ddd.mmss
    std::string y_constant2 = "500000";  // EditYY2, metres
    CoordinateForm form2 = CoordinateForm::Plane;  // ComboBoxN
};

// EditLL1Change: every change of the source central meridian is copied into
// EditLL2, which thus follows it unless edited afterwards.
void SourceCentralMeridianChanged(DatumFields& fields);

// A parameter edit of the group box "转换参数": its right-aligned label and hint.
struct ParameterFieldSpec {
    const char* name;   // the edit's name, e.g. "EditTx"
    const char* label;  // e.g. "Tx="
    const char* hint;   // e.g. "X平移"
};

inline constexpr int kDatumSourcePresetIndex = 2;  // "1954北京坐标系"
inline constexpr int kDatumTargetPresetIndex = 0;  // "1980西安坐标系"

// The items of ComboBoxO and ComboBoxN in the 3D windows, and their hint.
inline constexpr const char* kDatumFormItems3d[2] = {"平面坐标及大地高(x,y,H)", "大地坐标及大地高(B,L,H)"};
// The items in the two-dimensional seven-parameter window (no hint there).
inline constexpr const char* kDatumFormItems2d[2] = {"平面坐标(x,y)", "大地坐标(B,L)"};
inline constexpr const char* kDatumFormHint = "注意：大地高=正高+高程异常。若无法确定大地高，可将大地高置零。";

// One side's settings as the commands read them.
struct DatumSide : GaussPlaneSystem {
    CoordinateForm form;
};

struct DatumSettings {
    DatumSide source;
    DatumSide target;
};

// Reads one side's boxes; a text that is not a number or a 1/f of 0 fails
// here, before anything is written.
DatumSide ReadSourceSide(const DatumFields& fields);
DatumSide ReadTargetSide(const DatumFields& fields);
DatumSettings ReadDatumSettings(const DatumFields& fields);

// A datum model: both sides' settings, read when the model is made (a box
// that fails ends the command before anything is computed), and its
// parameter fields.
template <typename ParameterFields>
class DatumModel : public FieldsModel<ParameterFields> {
public:
    DatumModel(const DatumFields& settings, const ParameterFields& fields)
        : FieldsModel<ParameterFields>(fields), settings_(ReadDatumSettings(settings)) {}

protected:
    DatumSettings settings_;
};

// Titles of StringGrid1 (source form) or StringGrid2 (target form):
// "点号", x and y or B and L, "高程H(m)".
std::vector<std::string> DatumPointGridTitles(CoordinateForm form);
// Column shares of StringGrid1 and StringGrid2 of (grid width - 34) in the
// 3D windows.
inline constexpr long double kDatumPointGridShares[4] = {0.16L, 0.32L, 0.32L, 0.20L};

// The common-point grid of a datum window: 13 columns, `initial_rows`
// rows (header included), `saved_fields` fields per saved line, EditMp =
// ToolBar3 width - `toolbar_offset`.
CommonPointLayout DatumCommonPointLayout(int initial_rows, int saved_fields, int toolbar_offset);

// A point's latitude B and longitude l (degrees, l from the side's central
// meridian) from its two coordinate cells: geodetic form B = dms(p),
// l = dms(q) - L0; plane form GaussInverse(a, f, p, reduced q).
GeodeticOffset PointOnSide(const DatumSide& side, const std::string& p, const std::string& q);

// A coordinate cell as the number of the side's form: geodetic DMS text in
// decimal degrees, plane text in metres.
long double SideNumber(const DatumSide& side, const std::string& text);
// PointOnSide of the numbers: geodetic B and L (decimal degrees) give B,
// l = L - L0; plane x, y give GaussInverse(a, f, x, reduced y).
GeodeticOffset PositionOnSide(const DatumSide& side, long double first, long double second);

// The source point of a row (cells 1-3) in geocentric coordinates of the
// source ellipsoid, longitudes counted from L01.
Cartesian SourceCartesian(const DatumSide& source, const std::string* row);
// The target point of a common-point row (cells 4-6) in geocentric
// coordinates of the target ellipsoid, longitudes counted from L02.
Cartesian TargetCartesian(const DatumSide& target, const std::string* row);

// A transformed point: latitude B', longitude l'' from the target central
// meridian (degrees), height H' (metres).
struct TransformedPoint {
    long double B;
    long double l;
    long double H;
};

// Geocentric coordinates of the target ellipsoid (longitudes from L01) back
// to B', l'' = l' + L01 - L02 and H'.
TransformedPoint TargetFromCartesian(const DatumSettings& settings, const Cartesian& point);

// The numbers of a transformed point in the target form: geodetic B' and
// L' = l'' + L02 (decimal degrees), plane GaussForward x and y + Y2 (metres,
// no zone number); H'.
PointXYH TargetNumbers(const DatumSide& target, const TransformedPoint& point);

// The coordinate system of one side: geodetic on its ellipsoid, or
// Gauss-Krüger on it with its central meridian and Y constant.
CoordinateSystem SystemOfSide(const DatumSide& side);

// A datum model as numbers: the source position and height moved to the
// target's B', l'' and H'.
using DatumTransform = std::function<TransformedPoint(const GeodeticOffset& source, long double H)>;
// The model's conversion as numbers: PositionOnSide of the source numbers,
// `transform`, TargetNumbers. A plane source is checked as Gauss-Krüger
// coordinates of its zone. The systems of both sides are SystemOfSide.
PointConversion DatumPointConversion(const DatumSettings& settings, DatumTransform transform);

// Writes cells 1-3 of a result row: geodetic target B and L + L02 as
// ddd.mmss with 10 decimals, plane target GaussForward x and y + Y2 with 4
// decimals (no zone number); the height `height` with 4 decimals. Raises any
// floating-point fault before the first cell is written.
void WriteTargetPoint(const DatumSide& target, const TransformedPoint& point, long double height, std::string* result_row);

// "转换计算" of a datum window: per row cells 1-3 read as numbers of the
// source form (SideNumber, the height TextToNumber), converted, written as
// WriteTargetPoint writes them, then the name of cell 0 copied.
RowConversion DatumConversion(const DatumSettings& settings, const PointConversion& conversion);

// The horizontal residuals of a transformed common point against its target
// cells 4-5: geodetic target form (B' - B2) * 3600 and (l'' - l2) * 3600 in
// arc seconds (6 decimals) with the metric dx, dy from GaussForward of both
// points; plane target form dx = x' - x2, dy = y' - y2 in metres (4 decimals).
struct HorizontalResiduals {
    ResidualCell first;   // column 7
    ResidualCell second;  // column 8
    long double dx;       // metres
    long double dy;       // metres
};
HorizontalResiduals HorizontalResidualsOf(const DatumSide& target, const TransformedPoint& point, const std::string* row);

// Residual columns 7-10 of the three-dimensional models: the horizontal
// residuals, dH = H' - H2 (column 9) and sqrt(dx^2 + dy^2 + dH^2) (column
// 10), with dx^2, dy^2, dH^2 for the accuracy sums.
RowResiduals ThreeDimensionalResiduals(const DatumSide& target, const TransformedPoint& point, const std::string* row);

// The precision report's description of a datum model: the two groups'
// settings (form, a, 1/f, central meridian, Y constant) and `frame`, the
// line that says in which frame and convention the parameters hold.
ReportDescription DatumReportDescription(const std::string& model, const std::string& caption,
                                         const DatumSettings& settings, const std::string& observation_unit,
                                         const std::string& frame);

// The report line of the models whose geocentric coordinates count
// longitudes from the source central meridian: the frame of their parameters,
// then `more` (rotation units and conventions).
std::string TurnedFrameLine(const DatumSettings& settings, const std::string& more);

// The field of unknown `index` of `count`, scaled by `factor` (field units
// per unknown unit), for ReportedParameters.
ReportedParameter UnknownField(const std::string& name, const std::string& text, const std::string& unit, int index,
                               int count, long double factor = 1);

}  // namespace coordconv
