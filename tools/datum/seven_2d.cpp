#include "tools/datum/seven_2d.h"

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

CommonPointLayout Seven2dLayout() { return DatumCommonPointLayout(5, 11); }

std::vector<std::string> Seven2dParameterLines(const Seven2dFields& fields) {
    std::vector<std::string> lines = SevenParameterLines(fields.seven);
    lines.push_back(fields.height_change);
    return lines;
}

Seven2dFields Seven2dFieldsFromLines(const std::vector<std::string>& lines) {
    std::vector<std::string> texts = lines;
    texts.resize(kSeven2dParameterCount);
    return {SevenParameterFieldsFromLines(texts), texts[7]};
}

DifferentialRows2d Seven2dRows(const DatumSettings& settings, long double B_degrees, long double l_degrees) {
    const long double rho = kArcSecondsPerRadian;
    const auto [a, f, da, df, sinB, cosB, tanB, sinl, cosl, sin2B, e2, N, M, latitude_change] =
        DifferentialTermsAt(settings, B_degrees, l_degrees);

    DifferentialRows2d rows{};
    rows.longitude = {-rho * sinl / (N * cosB), rho * cosl / (N * cosB), 0, tanB * cosl, tanB * sinl, -1, 0};
    rows.latitude = {-rho * sinB * cosl / M, -rho * sinB * sinl / M, rho * cosB / M, -sinl, cosl, 0,
                     -rho * N * e2 * sinB * cosB / M};
    rows.latitude_change = latitude_change;
    return rows;
}

TransformedPoint Seven2dTransform(const DatumSettings& settings, const SevenCoefficients& p, long double height_change,
                                  const CommonPoint& point) {
    const GeodeticOffset source = PositionOnSide(settings.source, point.source[0], point.source[1]);
    return Seven2dTransformAt(settings, p, height_change, source, point.source[2]);
}

TransformedPoint Seven2dTransformAt(const DatumSettings& settings, const SevenCoefficients& p, long double height_change,
                                    const GeodeticOffset& source, long double H) {
    const DifferentialRows2d rows = Seven2dRows(settings, source.latitude, source.longitude);
    const long double dL = DotParameters(rows.longitude, p);
    const long double dB = DotParameters(rows.latitude, p) + rows.latitude_change;
    return {source.latitude + dB / 3600,
            source.longitude + dL / 3600 + settings.source.central_meridian - settings.target.central_meridian,
            H + height_change};
}

PointConversion Seven2dPointConversion(const DatumFields& settings_fields, const Seven2dFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    const SevenCoefficients p = ReadSevenParameters(parameter_fields.seven);
    const long double height_change = TextToNumber(parameter_fields.height_change);
    return DatumPointConversion(settings, [settings, p, height_change](const GeodeticOffset& source, long double H) {
        return Seven2dTransformAt(settings, p, height_change, source, H);
    });
}

RowConversion Seven2dConversion(const DatumFields& settings_fields, const Seven2dFields& parameter_fields) {
    const DatumSettings settings = ReadDatumSettings(settings_fields);
    return DatumConversion(settings, Seven2dPointConversion(settings_fields, parameter_fields));
}

namespace {

class Seven2dModel : public DatumModel<Seven2dFields> {
public:
    using DatumModel::DatumModel;

    int MinimumPoints() const override { return kSeven2dMinimumPoints; }

    int SourceColumns() const override { return 2; }
    std::string TooFewPointsText() const override { return TooFewPointsMessage("二维七参数模型至少需要4"); }

    void AddEquations(const CommonPoint& point, Matrix& A, Vector& L) override {
        const GeodeticOffset source = PositionOnSide(settings_.source, point.source[0], point.source[1]);
        const GeodeticOffset target = PositionOnSide(settings_.target, point.target[0], point.target[1]);
        height_sum_ += point.target[2] - point.source[2];
        const DifferentialRows2d rows = Seven2dRows(settings_, source.latitude, source.longitude);
        A.emplace_back(rows.longitude.begin(), rows.longitude.end());
        L.push_back((target.longitude - source.longitude) * 3600);
        A.emplace_back(rows.latitude.begin(), rows.latitude.end());
        L.push_back((target.latitude - source.latitude) * 3600 - rows.latitude_change);
    }

    // The mean height change is written before the point-count test, so also
    // when too few points are adopted to solve the seven parameters.
    std::optional<std::string> AfterEquations(int adopted_rows) override {
        const MeanHeight mean = MeanHeightShift(height_sum_, adopted_rows, fields_.height_change);
        height_change_ = mean.shift;
        if (mean.text) fields_.height_change = *mean.text;
        return mean.text;
    }

    void TakeSolution(const Vector& x) override {
        for (std::size_t i = 0; i < p_.size(); ++i) p_[i] = x[i];
        fields_.seven = SevenParameterTexts(p_);
    }

    void TakeFieldParameters() override { p_ = ReadSevenParameters(fields_.seven); }

    ReportDescription Describe() const override {
        return DatumReportDescription("seven-2d", kSeven2dCaption, settings_, "\"",
                                      "参数: 二维微分公式的七参数, 旋转单位为秒; dH为采用点高差的平均值, 不参与平差");
    }

    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        std::vector<ReportedParameter> parameters = SevenReportedParameters(fields_.seven, solution.empty() ? 0 : 7, 1);
        parameters.push_back({"dH", fields_.height_change, "m", {}});
        return parameters;
    }

    RowResiduals Residuals(const CommonPoint& given) const override {
        const TransformedPoint point = Seven2dTransform(settings_, p_, height_change_, given);
        const HorizontalResiduals horizontal = HorizontalResidualsOf(settings_.target, point, given);
        const long double height_residual = (given.source[2] + height_change_) - given.target[2];
        const long double dx2 = horizontal.dx * horizontal.dx;
        const long double dy2 = horizontal.dy * horizontal.dy;
        return {{horizontal.first, horizontal.second, {9, height_residual, 4}, {10, std::sqrt(dx2 + dy2), 4}}, {dx2, dy2}};
    }

private:
    SevenCoefficients p_{};
    long double height_sum_ = 0;
    long double height_change_ = 0;
};

}  // namespace

FitResult<Seven2dFields> SolveSeven2d(const DatumFields& settings, const Seven2dFields& parameters, PointTable& grid) {
    Seven2dModel model(settings, parameters);
    return SolveModel(Seven2dLayout(), model, grid);
}

}  // namespace coordconv
