#include "tools/datum/datum_settings.h"

#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

DatumSide ReadSide(const std::string& a, const std::string& inverse_flattening, const std::string& central_meridian,
                   const std::string& y_constant, CoordinateForm form) {
    return {ReadGaussPlaneSystem(a, inverse_flattening, central_meridian, y_constant), form};
}

}  // namespace

DatumSide ReadSourceSide(const DatumFields& fields) {
    return ReadSide(fields.a1, fields.inverse_flattening1, fields.central_meridian1, fields.y_constant1, fields.form1);
}

DatumSide ReadTargetSide(const DatumFields& fields) {
    return ReadSide(fields.a2, fields.inverse_flattening2, fields.central_meridian2, fields.y_constant2, fields.form2);
}

DatumSettings ReadDatumSettings(const DatumFields& fields) {
    const DatumSide source = ReadSourceSide(fields);
    const DatumSide target = ReadTargetSide(fields);
    return {source, target};
}

void SourceCentralMeridianChanged(DatumFields& fields) { fields.central_meridian2 = fields.central_meridian1; }

std::vector<std::string> DatumPointGridTitles(CoordinateForm form) {
    if (form == CoordinateForm::Geodetic) return {"点号", "纬度B(dms)", "经度L(dms)", "高程H(m)"};
    return {"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"};
}

CommonPointLayout DatumCommonPointLayout(int initial_rows, int saved_fields) {
    CommonPointLayout layout;
    layout.initial_row_count = initial_rows;
    layout.saved_fields = saved_fields;
    return layout;
}

long double SideNumber(const DatumSide& side, const std::string& text) {
    return side.form == CoordinateForm::Geodetic ? DmsTextToDegrees(text) : TextToNumber(text);
}

GeodeticOffset PositionOnSide(const DatumSide& side, long double first, long double second) {
    if (side.form == CoordinateForm::Geodetic) return {first, second - side.central_meridian};
    return GaussInverse(side.a, side.f, first, StripZoneAndFalseEasting(second, side.y_constant));
}

GeodeticOffset PointOnSide(const DatumSide& side, const std::string& p, const std::string& q) {
    const long double first = SideNumber(side, p);
    const long double second = SideNumber(side, q);
    return PositionOnSide(side, first, second);
}

Cartesian SourceCartesian(const DatumSide& source, const CommonPoint& point) {
    const GeodeticOffset position = PositionOnSide(source, point.source[0], point.source[1]);
    return GeodeticToCartesian(source.a, source.f, position.latitude, position.longitude, point.source[2]);
}

Cartesian TargetCartesian(const DatumSide& target, const CommonPoint& point) {
    const GeodeticOffset position = PositionOnSide(target, point.target[0], point.target[1]);
    return GeodeticToCartesian(target.a, target.f, position.latitude, position.longitude, point.target[2]);
}

TransformedPoint TargetFromCartesian(const DatumSettings& settings, const Cartesian& point) {
    const Geodetic g = CartesianToGeodetic(settings.target.a, settings.target.f, point.X, point.Y, point.Z);
    return {g.B, g.L + settings.source.central_meridian - settings.target.central_meridian, g.H};
}

PointXYH TargetNumbers(const DatumSide& target, const TransformedPoint& point) {
    if (target.form == CoordinateForm::Geodetic) return {point.B, point.l + target.central_meridian, point.H};
    const PlanePoint plane = GaussForward(target.a, target.f, point.B, point.l);
    return {plane.x, plane.y + target.y_constant, point.H};
}

CoordinateSystem SystemOfSide(const DatumSide& side) {
    if (side.form == CoordinateForm::Geodetic) return GeodeticSystem(side.a, side.f);
    return GaussKrugerSystem(side.a, side.f, side.central_meridian, side.y_constant);
}

PointConversion DatumPointConversion(const DatumSettings& settings, DatumTransform transform) {
    const DatumSide source = settings.source;
    const DatumSide target = settings.target;
    const auto kind = [](const DatumSide& side) {
        return side.form == CoordinateForm::Geodetic ? CoordinateKind::Geodetic : CoordinateKind::Plane;
    };
    PointConversion::SourceCheck check;
    if (source.form == CoordinateForm::Plane) check = GaussPlaneCheck(source.y_constant);
    PointConversion conversion(
        [source, target, transform](const PointXYH& point) {
            const GeodeticOffset position = PositionOnSide(source, point.x, point.y);
            return TargetNumbers(target, transform(position, point.H));
        },
        kind(source), kind(target), check);
    conversion.SetSystems({SystemOfSide(source), SystemOfSide(target)});
    return conversion;
}

namespace {

// Cells 1 and 2 of a result row: latitude and longitude (decimal degrees) in
// packed form, or x and y (metres) with 4 decimals; a floating-point fault
// fails the row before either is written.
void WritePositionCells(CoordinateForm form, long double first, long double second, std::string* row) {
    if (form == CoordinateForm::Geodetic) {
        const PackedDmsCells cells = PackedDmsCellsOf(first, second);
        row[1] = cells.latitude;
        row[2] = cells.longitude;
        return;
    }
    RaiseFloatingPointErrors();
    row[1] = FormatFixed(first, 4);
    row[2] = FormatFixed(second, 4);
}

}  // namespace

RowConversion DatumConversion(const DatumSettings& settings, const PointConversion& conversion) {
    const DatumSide source = settings.source;
    const CoordinateForm target_form = settings.target.form;
    return [source, target_form, conversion](const std::string* row, std::string* result) {
        const long double first = SideNumber(source, row[1]);
        const long double second = SideNumber(source, row[2]);
        const long double H = TextToNumber(row[3]);
        const PointXYH point = conversion.Convert(first, second, H);
        WritePositionCells(target_form, point.x, point.y, result);
        result[3] = FormatFixed(point.H, 4);
        result[0] = row[0];
    };
}

void WriteTargetPoint(const DatumSide& target, const TransformedPoint& point, long double height, std::string* result_row) {
    if (target.form == CoordinateForm::Geodetic) {
        WritePositionCells(target.form, point.B, point.l + target.central_meridian, result_row);
    } else {
        const PlanePoint plane = GaussForward(target.a, target.f, point.B, point.l);
        WritePositionCells(target.form, plane.x, plane.y + target.y_constant, result_row);
    }
    result_row[3] = FormatFixed(height, 4);
}

HorizontalResiduals HorizontalResidualsOf(const DatumSide& target, const TransformedPoint& point, const CommonPoint& given) {
    const PlanePoint transformed = GaussForward(target.a, target.f, point.B, point.l);
    if (target.form == CoordinateForm::Geodetic) {
        const long double B2 = given.target[0];
        const long double l2 = given.target[1] - target.central_meridian;
        const PlanePoint given = GaussForward(target.a, target.f, B2, l2);
        return {{7, (point.B - B2) * 3600, 6}, {8, (point.l - l2) * 3600, 6}, transformed.x - given.x, transformed.y - given.y};
    }
    const long double x2 = given.target[0];
    const long double y2 = StripZoneAndFalseEasting(given.target[1], target.y_constant);
    const long double dx = transformed.x - x2;
    const long double dy = transformed.y - y2;
    return {{7, dx, 4}, {8, dy, 4}, dx, dy};
}

RowResiduals ThreeDimensionalResiduals(const DatumSide& target, const TransformedPoint& point, const CommonPoint& given) {
    const HorizontalResiduals horizontal = HorizontalResidualsOf(target, point, given);
    const long double dH = point.H - given.target[2];
    const long double dx2 = horizontal.dx * horizontal.dx;
    const long double dy2 = horizontal.dy * horizontal.dy;
    const long double dH2 = dH * dH;
    return {{horizontal.first, horizontal.second, {9, dH, 4}, {10, std::sqrt(dx2 + dy2 + dH2), 4}}, {dx2, dy2, dH2}};
}

namespace {

std::string SideLine(const char* group, const DatumSide& side) {
    std::string line = std::string(group) + ": " +
                       (side.form == CoordinateForm::Geodetic ? "大地坐标B, L" : "高斯平面坐标x, y") +
                       ", a=" + ShortestDoubleText(side.a) + " m, 1/f=" + ShortestDoubleText(1 / side.f) +
                       ", 中央子午线 " + ShortestDoubleText(side.central_meridian) + "°";
    if (side.form == CoordinateForm::Plane) line += ", Y常数 " + ShortestDoubleText(side.y_constant) + " m";
    return line;
}

}  // namespace

ReportDescription DatumReportDescription(const std::string& model, const std::string& caption,
                                         const DatumSettings& settings, const std::string& observation_unit,
                                         const std::string& frame) {
    ReportDescription description;
    description.model = model;
    description.caption = caption;
    description.observation_unit = observation_unit;
    description.residual_unit = settings.target.form == CoordinateForm::Geodetic ? "\"" : "m";
    description.geodetic_positions = settings.source.form == CoordinateForm::Geodetic;
    description.settings = {SideLine("原坐标", settings.source), SideLine("新坐标", settings.target), frame};
    return description;
}

std::string TurnedFrameLine(const DatumSettings& settings, const std::string& more) {
    return "参数所在坐标系: 地心坐标系绕极轴转过原坐标中央子午线 " + ShortestDoubleText(settings.source.central_meridian) +
           "° (经度自中央子午线起算)" + more;
}

ReportedParameter UnknownField(const std::string& name, const std::string& text, const std::string& unit, int index,
                               int count, long double factor) {
    Vector gradient(static_cast<std::size_t>(count), 0.0L);
    gradient[static_cast<std::size_t>(index)] = factor;
    return {name, text, unit, gradient};
}

}  // namespace coordconv
