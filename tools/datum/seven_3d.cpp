#include "tools/datum/seven_3d.h"

#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

CommonPointLayout Seven3dLayout() { return DatumCommonPointLayout(4, 12); }

DifferentialTerms DifferentialTermsAt(const DatumSettings& settings, long double B_degrees, long double l_degrees) {
    const long double rho = kArcSecondsPerRadian;
    const long double a = settings.source.a;
    const long double f = settings.source.f;
    const long double da = settings.target.a - settings.source.a;
    const long double df = settings.target.f - settings.source.f;
    const long double B = B_degrees * kPi / 180;
    const long double l = l_degrees * kPi / 180;
    const long double sinB = std::sin(B);
    const long double cosB = std::cos(B);
    const long double tanB = std::tan(B);
    const long double sinl = std::sin(l);
    const long double cosl = std::cos(l);
    const long double sin2B = sinB * sinB;
    const long double e2 = 2 * f - f * f;
    const long double W = std::sqrt(1 - e2 * sin2B);
    const long double N = a / W;
    const long double M = a * (1 - e2) / (W * W * W);
    const long double latitude_change =
        rho * N * e2 * sinB * cosB * da / (M * a) + rho * sinB * cosB * (2 - e2 * sin2B) * df / (1 - f);
    return {a, f, da, df, sinB, cosB, tanB, sinl, cosl, sin2B, e2, N, M, latitude_change};
}

DifferentialRows3d Seven3dRows(const DatumSettings& settings, long double B_degrees, long double l_degrees, long double H) {
    const long double rho = kArcSecondsPerRadian;
    const auto [a, f, da, df, sinB, cosB, tanB, sinl, cosl, sin2B, e2, N, M, latitude_change] =
        DifferentialTermsAt(settings, B_degrees, l_degrees);
    const long double NH = N + H;
    const long double MH = M + H;
    const long double Q = N + H - N * e2 * sin2B;
    const long double P = (N * (1 - e2) + H) / (N + H);

    DifferentialRows3d rows{};
    rows.longitude = {-rho * sinl / (NH * cosB), rho * cosl / (NH * cosB), 0, P * tanB * cosl, P * tanB * sinl, -1, 0};
    rows.latitude = {-rho * sinB * cosl / MH, -rho * sinB * sinl / MH, rho * cosB / MH, -Q * sinl / MH, Q * cosl / MH, 0,
                     -rho * N * e2 * sinB * cosB / M};
    rows.height = {cosB * cosl, cosB * sinl, sinB, -N * e2 * sinB * cosB * sinl / rho, N * e2 * sinB * cosB * cosl / rho, 0, Q};
    rows.latitude_change = latitude_change;
    rows.height_change = -N * (1 - e2 * sin2B) * da / a + M * (1 - e2 * sin2B) * sin2B * df / (1 - f);
    return rows;
}

long double DotParameters(const SevenCoefficients& row, const SevenCoefficients& p) {
    long double sum = 0;
    for (std::size_t i = 0; i < row.size(); ++i) sum += row[i] * p[i];
    return sum;
}

TransformedPoint Seven3dTransform(const DatumSettings& settings, const SevenCoefficients& p, const CommonPoint& point) {
    const GeodeticOffset source = PositionOnSide(settings.source, point.source[0], point.source[1]);
    return Seven3dTransformAt(settings, p, source, point.source[2]);
}

TransformedPoint Seven3dTransformAt(const DatumSettings& settings, const SevenCoefficients& p,
                                    const GeodeticOffset& source, long double H) {
    const DifferentialRows3d rows = Seven3dRows(settings, source.latitude, source.longitude, H);
    const long double dL = DotParameters(rows.longitude, p);
    const long double dB = DotParameters(rows.latitude, p) + rows.latitude_change;
    const long double dH = DotParameters(rows.height, p) + rows.height_change;
    return {source.latitude + dB / 3600,
            source.longitude + dL / 3600 + settings.source.central_meridian - settings.target.central_meridian, H + dH};
}

PointConversion Seven3dPointConversion(const DatumFields& settings_fields, const SevenParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const SevenCoefficients p = ReadSevenParameters(parameter_fields);
    return DatumPointConversion(settings, [settings, p](const GeodeticOffset& source, long double H) {
        return Seven3dTransformAt(settings, p, source, H);
    });
}

RowConversion Seven3dConversion(const DatumFields& settings_fields, const SevenParameterFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    return DatumConversion(settings, Seven3dPointConversion(settings_fields, parameter_fields));
}

namespace {

class Seven3dModel : public DatumModel<SevenParameterFields> {
public:
    using DatumModel::DatumModel;
    int MinimumPoints() const override { return kSeven3dMinimumPoints; }
    std::string TooFewPointsText() const override { return TooFewPointsMessage("三维七参数模型至少需要3"); }

    void AddEquations(const CommonPoint& point, Matrix& A, Vector& L) override {
        const GeodeticOffset source = PositionOnSide(settings_.source, point.source[0], point.source[1]);
        const long double H1 = point.source[2];
        const GeodeticOffset target = PositionOnSide(settings_.target, point.target[0], point.target[1]);
        const long double H2 = point.target[2];
        const DifferentialRows3d rows = Seven3dRows(settings_, source.latitude, source.longitude, H1);
        A.emplace_back(rows.longitude.begin(), rows.longitude.end());
        L.push_back((target.longitude - source.longitude) * 3600);
        A.emplace_back(rows.latitude.begin(), rows.latitude.end());
        L.push_back((target.latitude - source.latitude) * 3600 - rows.latitude_change);
        A.emplace_back(rows.height.begin(), rows.height.end());
        L.push_back((H2 - H1) - rows.height_change);
    }

    void TakeSolution(const Vector& x) override {
        for (std::size_t i = 0; i < p_.size(); ++i) p_[i] = x[i];
        fields_ = SevenParameterTexts(p_);
    }

    void TakeFieldParameters() override { p_ = ReadSevenParameters(fields_); }

    ReportDescription Describe() const override {
        return DatumReportDescription("seven-3d", kSeven3dCaption, settings_,
                                      "\" (dL, dB方程) 与 m (dH方程) 混合, 与方程相同",
                                      "参数: 三维微分公式的七参数, 旋转单位为秒, 与输入框相同");
    }
    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        return SevenReportedParameters(fields_, solution.empty() ? 0 : 7, 1);
    }

    RowResiduals Residuals(const CommonPoint& given) const override {
        const TransformedPoint point = Seven3dTransform(settings_, p_, given);
        return ThreeDimensionalResiduals(settings_.target, point, given);
    }

private:
    SevenCoefficients p_{};
};

}  // namespace

FitResult<SevenParameterFields> SolveSeven3d(const DatumFields& settings, const SevenParameterFields& parameters,
                                             PointTable& grid) {
    Seven3dModel model(settings, parameters);
    return SolveModel(Seven3dLayout(), model, grid);
}

}  // namespace coordconv
