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

// The form of one side's coordinates.
enum class CoordinateForm { Plane = 0, Geodetic = 1 };

// The texts of both sides' settings (source "原椭球及坐标系参数设置", target
// "新椭球及坐标系参数设置") as the commands read them, with the initial
// texts: the source preset "1954北京坐标系", the target preset
// "1980西安坐标系". The target central meridian follows the source one
// (SourceCentralMeridianChanged).
struct DatumFields {
    std::string a1 = "6378245.0000000000";  // source semi-major axis a, metres
    std::string inverse_flattening1 = "298.3";  // source 1/f
    std::string central_meridian1 = "0";  // source central meridian, ddd.mmss
    std::string y_constant1 = "500000";  // source Y constant (false easting), metres
    CoordinateForm form1 = CoordinateForm::Plane;
    std::string a2 = "6378140.0000000000";  // target semi-major axis a, metres
    std::string inverse_flattening2 = "298.257";  // target 1/f
    std::string central_meridian2 = "0";  // target central meridian, ddd.mmss
    std::string y_constant2 = "500000";  // target Y constant, metres
    CoordinateForm form2 = CoordinateForm::Plane;
};

// Every change of the source central meridian is copied into the target's,
// which thus follows it unless edited afterwards.
void SourceCentralMeridianChanged(DatumFields& fields);

// The ellipsoid presets each side starts with.
inline constexpr int kDatumSourcePresetIndex = 2;  // "1954北京坐标系"
inline constexpr int kDatumTargetPresetIndex = 0;  // "1980西安坐标系"

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

    // x|B, y|L, H of each side, in the side's form.
    CommonPointCells Cells() const override {
        return {3, settings_.source.form == CoordinateForm::Geodetic, 3, settings_.target.form == CoordinateForm::Geodetic};
    }

protected:
    DatumSettings settings_;
};

// Titles of a point table in the side's form (source points, or the
// converted points in the target form): "点号", x and y or B and L, "高程H(m)".
std::vector<std::string> DatumPointGridTitles(CoordinateForm form);

// The common-point table of a datum model: 13 columns, `initial_rows` rows
// (header included), `saved_fields` fields per saved line.
CommonPointLayout DatumCommonPointLayout(int initial_rows, int saved_fields);

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

// The source point of a common point in geocentric coordinates of the
// source ellipsoid, longitudes counted from L01.
Cartesian SourceCartesian(const DatumSide& source, const CommonPoint& point);
// The target point of a common point in geocentric coordinates of the
// target ellipsoid, longitudes counted from L02.
Cartesian TargetCartesian(const DatumSide& target, const CommonPoint& point);

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

// The horizontal residuals of a transformed common point against its given
// target position: geodetic target form (B' - B2) * 3600 and (l'' - l2) * 3600 in
// arc seconds (6 decimals) with the metric dx, dy from GaussForward of both
// points; plane target form dx = x' - x2, dy = y' - y2 in metres (4 decimals).
struct HorizontalResiduals {
    ResidualCell first;   // column 7
    ResidualCell second;  // column 8
    long double dx;       // metres
    long double dy;       // metres
};
HorizontalResiduals HorizontalResidualsOf(const DatumSide& target, const TransformedPoint& point, const CommonPoint& given);

// Residual columns 7-10 of the three-dimensional models: the horizontal
// residuals, dH = H' - H2 (column 9) and sqrt(dx^2 + dy^2 + dH^2) (column
// 10), with dx^2, dy^2, dH^2 for the accuracy sums.
RowResiduals ThreeDimensionalResiduals(const DatumSide& target, const TransformedPoint& point, const CommonPoint& given);

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
