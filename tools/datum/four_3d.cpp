#include "tools/datum/four_3d.h"

#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

CommonPointLayout Four3dLayout() { return DatumCommonPointLayout(3, 12); }

std::vector<std::string> FourParameterLines(const FourParameterFields& fields) {
    return {fields.tx, fields.ty, fields.tz, fields.r, fields.b0, fields.l0};
}

FourParameterFields FourParameterFieldsFromLines(const std::vector<std::string>& lines) {
    std::vector<std::string> texts = lines;
    texts.resize(kFour3dParameterCount);
    FourParameterFields fields;
    fields.tx = texts[0];
    fields.ty = texts[1];
    fields.tz = texts[2];
    fields.r = texts[3];
    fields.b0 = texts[4];
    fields.l0 = texts[5];
    return fields;
}

RegionCentre ReadRegionCentre(const FourParameterFields& fields, const DatumSide& source) {
    const long double b0 = DmsTextToDegrees(fields.b0) * kPi / 180;
    const long double l0 = (DmsTextToDegrees(fields.l0) - source.central_meridian) * kPi / 180;
    return {std::cos(b0) * std::cos(l0), std::cos(b0) * std::sin(l0), std::sin(b0)};
}

FourParameters ReadFourParameters(const FourParameterFields& fields) {
    FourParameters p;
    p.tx = TextToNumber(fields.tx);
    p.ty = TextToNumber(fields.ty);
    p.tz = TextToNumber(fields.tz);
    p.r = TextToNumber(fields.r) / kArcSecondsPerRadian;
    return p;
}

void WriteFourParameters(const FourParameters& p, FourParameterFields& fields) {
    const long double r_seconds = p.r * kArcSecondsPerRadian;
    RaiseFloatingPointErrors();
    fields.tx = FormatGeneral(p.tx);
    fields.ty = FormatGeneral(p.ty);
    fields.tz = FormatGeneral(p.tz);
    fields.r = FormatGeneral(r_seconds);
}

Cartesian FourParameterTransform(const FourParameters& p, const RegionCentre& n, const Cartesian& c) {
    return {c.X + p.tx + p.r * (n.cos_b0_sin_l0 * c.Z - n.sin_b0 * c.Y),
            c.Y + p.ty + p.r * (n.sin_b0 * c.X - n.cos_b0_cos_l0 * c.Z),
            c.Z + p.tz + p.r * (n.cos_b0_cos_l0 * c.Y - n.cos_b0_sin_l0 * c.X)};
}

PointConversion Four3dPointConversion(const DatumFields& settings_fields, const FourParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const FourParameters p = ReadFourParameters(parameter_fields);
    const RegionCentre centre = ReadRegionCentre(parameter_fields, settings.source);
    return DatumPointConversion(settings, [settings, p, centre](const GeodeticOffset& position, long double H) {
        const DatumSide& s = settings.source;
        const Cartesian source = GeodeticToCartesian(s.a, s.f, position.latitude, position.longitude, H);
        return TargetFromCartesian(settings, FourParameterTransform(p, centre, source));
    });
}

RowConversion Four3dConversion(const DatumFields& settings_fields, const FourParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const PointConversion conversion = Four3dPointConversion(settings_fields, parameter_fields);
    RaiseFloatingPointErrors();
    return DatumConversion(settings, conversion);
}

namespace {

class Four3dModel : public DatumModel<FourParameterFields> {
public:
    Four3dModel(const DatumFields& settings, const FourParameterFields& fields)
        : DatumModel(settings, fields), centre_(ReadRegionCentre(fields, settings_.source)) {}

    int MinimumPoints() const override { return kFour3dMinimumPoints; }
    std::string TooFewPointsText() const override { return TooFewPointsMessage("三维四参数模型至少需要2"); }

    void AddEquations(const CommonPoint& point, Matrix& A, Vector& L) override {
        const Cartesian s = SourceCartesian(settings_.source, point);
        const Cartesian t = TargetCartesian(settings_.target, point);
        const RegionCentre& n = centre_;
        A.push_back({1, 0, 0, n.cos_b0_sin_l0 * s.Z - n.sin_b0 * s.Y});
        L.push_back(t.X - s.X);
        A.push_back({0, 1, 0, n.sin_b0 * s.X - n.cos_b0_cos_l0 * s.Z});
        L.push_back(t.Y - s.Y);
        A.push_back({0, 0, 1, n.cos_b0_cos_l0 * s.Y - n.cos_b0_sin_l0 * s.X});
        L.push_back(t.Z - s.Z);
    }

    void TakeSolution(const Vector& x) override {
        p_ = {x[0], x[1], x[2], x[3]};
        WriteFourParameters(p_, fields_);
    }

    void TakeFieldParameters() override { p_ = ReadFourParameters(fields_); }

    ReportDescription Describe() const override {
        return DatumReportDescription("four-3d", kFour3dCaption, settings_, "m",
                                      TurnedFrameLine(settings_, "; R绕区域中心法线旋转, 单位为秒; B0, L0为区域中心, 不参与平差"));
    }

    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        const int n = solution.empty() ? 0 : 4;
        const auto field = [&](const char* name, const std::string& text, const char* unit, int index, long double factor) {
            return n == 0 ? ReportedParameter{name, text, unit, {}} : UnknownField(name, text, unit, index, n, factor);
        };
        return {field("Tx", fields_.tx, "m", 0, 1),
                field("Ty", fields_.ty, "m", 1, 1),
                field("Tz", fields_.tz, "m", 2, 1),
                field("R", fields_.r, "\"", 3, kArcSecondsPerRadian),
                {"B0", fields_.b0, "ddd.mmss", {}},
                {"L0", fields_.l0, "ddd.mmss", {}}};
    }

    RowResiduals Residuals(const CommonPoint& given) const override {
        const Cartesian moved = FourParameterTransform(p_, centre_, SourceCartesian(settings_.source, given));
        const TransformedPoint point = TargetFromCartesian(settings_, moved);
        return ThreeDimensionalResiduals(settings_.target, point, given);
    }

private:
    RegionCentre centre_;
    FourParameters p_;
};

}  // namespace

FitResult<FourParameterFields> SolveFour3d(const DatumFields& settings, const FourParameterFields& parameters,
                                           PointTable& grid) {
    Four3dModel model(settings, parameters);
    return SolveModel(Four3dLayout(), model, grid);
}

RegionCentreTexts ComputeRegionCentre(const DatumFields& settings, const PointTable& grid) {
    const DatumSide source = ReadSourceSide(settings);
    long double latitude_sum = 0;
    long double longitude_sum = 0;
    for (int row = 1; row < grid.RowCount(); ++row) {
        long double B = 0;
        long double L = 0;
        if (source.form == CoordinateForm::Geodetic) {
            B = DmsTextToDegrees(grid.Cell(1, row));
            L = DmsTextToDegrees(grid.Cell(2, row));
        } else {
            const GeodeticOffset point = PointOnSide(source, grid.Cell(1, row), grid.Cell(2, row));
            B = point.latitude;
            L = point.longitude + source.central_meridian;
        }
        latitude_sum += B;
        longitude_sum += L;
    }
    const int rows = grid.RowCount() - 1;
    const long double latitude = DegreesToDms(latitude_sum / rows);
    const long double longitude = DegreesToDms(longitude_sum / rows);
    RaiseFloatingPointErrors();
    return {FormatFixed(latitude, 4), FormatFixed(longitude, 4)};
}

}  // namespace coordconv
