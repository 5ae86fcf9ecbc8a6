#include "tools/datum/bursa_wolf.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

std::vector<std::string> SevenParameterLines(const SevenParameterFields& fields) {
    return {fields.tx, fields.ty, fields.tz, fields.rx, fields.ry, fields.rz, fields.d};
}

SevenParameterFields SevenParameterFieldsFromLines(const std::vector<std::string>& lines) {
    std::vector<std::string> texts = lines;
    texts.resize(kSevenParameterCount);
    SevenParameterFields fields;
    fields.tx = texts[0];
    fields.ty = texts[1];
    fields.tz = texts[2];
    fields.rx = texts[3];
    fields.ry = texts[4];
    fields.rz = texts[5];
    fields.d = texts[6];
    return fields;
}

SevenParameters ReadSevenParameters(const SevenParameterFields& fields) {
    return {TextToNumber(fields.tx), TextToNumber(fields.ty), TextToNumber(fields.tz), TextToNumber(fields.rx),
            TextToNumber(fields.ry), TextToNumber(fields.rz), TextToNumber(fields.d)};
}

SevenParameterFields SevenParameterTexts(const SevenParameters& p) {
    SevenParameterFields fields;
    fields.tx = FormatGeneral(p[0]);
    fields.ty = FormatGeneral(p[1]);
    fields.tz = FormatGeneral(p[2]);
    fields.rx = FormatGeneral(p[3]);
    fields.ry = FormatGeneral(p[4]);
    fields.rz = FormatGeneral(p[5]);
    fields.d = FormatGeneral(p[6]);
    return fields;
}

std::vector<ReportedParameter> SevenReportedParameters(const SevenParameterFields& fields, int unknowns,
                                                       long double rotation_factor) {
    const std::vector<std::string> texts = SevenParameterLines(fields);
    static const char* const kNames[kSevenParameterCount] = {"Tx", "Ty", "Tz", "Rx", "Ry", "Rz", "D"};
    static const char* const kUnits[kSevenParameterCount] = {"m", "m", "m", "\"", "\"", "\"", ""};
    std::vector<ReportedParameter> parameters;
    for (int i = 0; i < kSevenParameterCount; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        if (unknowns == 0) {
            parameters.push_back({kNames[k], texts[k], kUnits[k], {}});
        } else {
            parameters.push_back(UnknownField(kNames[k], texts[k], kUnits[k], i, unknowns, i >= 3 && i <= 5 ? rotation_factor : 1));
        }
    }
    return parameters;
}

CommonPointLayout BursaWolfLayout() { return DatumCommonPointLayout(4, 12); }

BursaWolfParameters ReadBursaWolfParameters(const SevenParameterFields& fields) {
    const SevenParameters v = ReadSevenParameters(fields);
    BursaWolfParameters p;
    p.tx = v[0];
    p.ty = v[1];
    p.tz = v[2];
    p.rx = v[3] / kArcSecondsPerRadian;
    p.ry = v[4] / kArcSecondsPerRadian;
    p.rz = v[5] / kArcSecondsPerRadian;
    p.d = v[6];
    return p;
}

Cartesian BursaWolfTransform(const BursaWolfParameters& p, const Cartesian& c) {
    return {c.X + p.tx + p.d * c.X - p.ry * c.Z + p.rz * c.Y,
            c.Y + p.ty + p.d * c.Y + p.rx * c.Z - p.rz * c.X,
            c.Z + p.tz + p.d * c.Z - p.rx * c.Y + p.ry * c.X};
}

PointConversion BursaWolfPointConversion(const DatumFields& settings_fields, const SevenParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const BursaWolfParameters p = ReadBursaWolfParameters(parameter_fields);
    return DatumPointConversion(settings, [settings, p](const GeodeticOffset& position, long double H) {
        const DatumSide& s = settings.source;
        const Cartesian source = GeodeticToCartesian(s.a, s.f, position.latitude, position.longitude, H);
        return TargetFromCartesian(settings, BursaWolfTransform(p, source));
    });
}

RowConversion BursaWolfConversion(const DatumFields& settings_fields, const SevenParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const PointConversion conversion = BursaWolfPointConversion(settings_fields, parameter_fields);
    RaiseFloatingPointErrors();
    return DatumConversion(settings, conversion);
}

namespace {

class BursaWolfModel : public DatumModel<SevenParameterFields> {
public:
    using DatumModel::DatumModel;
    int MinimumPoints() const override { return kBursaWolfMinimumPoints; }
    std::string TooFewPointsText() const override { return TooFewPointsMessage("布尔沙模型至少需要3"); }

    void AddEquations(const CommonPoint& point, Matrix& A, Vector& L) override {
        const Cartesian s = SourceCartesian(settings_.source, point);
        const Cartesian t = TargetCartesian(settings_.target, point);
        A.push_back({1, 0, 0, 0, -s.Z, s.Y, s.X});
        L.push_back(t.X - s.X);
        A.push_back({0, 1, 0, s.Z, 0, -s.X, s.Y});
        L.push_back(t.Y - s.Y);
        A.push_back({0, 0, 1, -s.Y, s.X, 0, s.Z});
        L.push_back(t.Z - s.Z);
    }

    void TakeSolution(const Vector& x) override {
        p_ = {x[0], x[1], x[2], x[3], x[4], x[5], x[6]};
        const long double rx = p_.rx * kArcSecondsPerRadian;
        const long double ry = p_.ry * kArcSecondsPerRadian;
        const long double rz = p_.rz * kArcSecondsPerRadian;
        RaiseFloatingPointErrors();
        fields_ = SevenParameterTexts({p_.tx, p_.ty, p_.tz, rx, ry, rz, p_.d});
    }

    void TakeFieldParameters() override { p_ = ReadBursaWolfParameters(fields_); }

    ReportDescription Describe() const override {
        return DatumReportDescription("bursa-wolf", kBursaWolfCaption, settings_, "m",
                                      TurnedFrameLine(settings_, ", 旋转为coordinate frame约定, 弧度换算为秒"));
    }
    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        return SevenReportedParameters(fields_, solution.empty() ? 0 : 7, kArcSecondsPerRadian);
    }

    RowResiduals Residuals(const CommonPoint& given) const override {
        const Cartesian moved = BursaWolfTransform(p_, SourceCartesian(settings_.source, given));
        const TransformedPoint point = TargetFromCartesian(settings_, moved);
        return ThreeDimensionalResiduals(settings_.target, point, given);
    }

private:
    BursaWolfParameters p_;
};

}  // namespace

FitResult<SevenParameterFields> SolveBursaWolf(const DatumFields& settings, const SevenParameterFields& parameters,
                                               PointTable& grid) {
    BursaWolfModel model(settings, parameters);
    return SolveModel(BursaWolfLayout(), model, grid);
}

}  // namespace coordconv
