#include "tools/height/height_fit.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

const std::vector<std::string>& HeightSurfaceNames() {
    static const std::vector<std::string> items = {"平面拟合(3参)", "平面相关拟合(4参)", "二次曲面拟合(6参)"};
    return items;
}

int HeightSurfaceCoefficientCount(int model_index) {
    static constexpr int kCounts[3] = {3, 4, 6};
    return kCounts[model_index];
}

std::vector<std::string> HeightSurfaceLabels(int model_index) {
    std::vector<std::string> labels;
    for (int i = 0; i < HeightSurfaceCoefficientCount(model_index); ++i) labels.push_back("a" + std::to_string(i) + "=");
    return labels;
}

Vector HeightSurfaceTerms(long double x, long double y, int coefficient_count) {
    const Vector all = {1, x, y, x * y, x * x, y * y};
    return Vector(all.begin(), all.begin() + coefficient_count);
}

long double HeightSurface(const Vector& coefficients, long double x, long double y) {
    const Vector terms = HeightSurfaceTerms(x, y, static_cast<int>(coefficients.size()));
    long double sum = 0;
    for (std::size_t i = 0; i < terms.size(); ++i) sum += coefficients[i] * terms[i];
    return sum;
}

std::string HeightFitTooFewPointsText(int model_index) {
    return HeightSurfaceNames()[static_cast<std::size_t>(model_index)] + "模型至少需要" +
           std::to_string(HeightSurfaceCoefficientCount(model_index)) +
           "个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";
}

namespace {

// The model steps of the solve: one equation per adopted row, the solved or
// typed coefficients, and the residual Hg + f(x, y) - Hl of a row.
class HeightFitModel : public FittingModel {
public:
    HeightFitModel(int model_index, const CoefficientTable& coefficients)
        : model_index_(model_index),
          coefficient_count_(HeightSurfaceCoefficientCount(model_index)),
          coefficients_(coefficients) {}

    const CoefficientTable& Fields() const { return coefficients_; }

    int MinimumPoints() const override { return coefficient_count_; }

    int SourceColumns() const override { return 2; }
    std::string TooFewPointsText() const override { return HeightFitTooFewPointsText(model_index_); }

    // x, y, Hg, then Hl.
    CommonPointCells Cells() const override { return {3, false, 1, false}; }

    void AddEquations(const CommonPoint& point, Matrix& design, Vector& observations) override {
        const long double x = point.source[0];
        const long double y = point.source[1];
        const long double geodetic_height = point.source[2];
        const long double levelling_height = point.target[0];
        design.push_back(HeightSurfaceTerms(x, y, coefficient_count_));
        observations.push_back(levelling_height - geodetic_height);
        adopted_x_.push_back(x);
        adopted_y_.push_back(y);
    }

    // The surface's terms in centred, scaled x and y: on raw Gauss
    // coordinates the normal matrix of x^2, xy, y^2 beside 1, x, y is
    // singular at the working precision.
    std::optional<EquationBasis> ConditionedBasis(const Matrix&) const override {
        static const std::vector<Monomial> kTerms = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}};
        return CentredPolynomialBasis(std::vector<Monomial>(kTerms.begin(), kTerms.begin() + coefficient_count_),
                                      adopted_x_, adopted_y_, 1);
    }

    void TakeSolution(const Vector& solution) override {
        coefficients_in_use_ = solution;
        coefficients_.WriteValues(solution, HeightSurfaceLabels(model_index_));
    }

    void TakeFieldParameters() override { coefficients_in_use_ = coefficients_.ReadValues(coefficient_count_); }

    ReportDescription Describe() const override {
        ReportDescription description;
        description.model = "height-fit";
        description.caption = "GPS高程拟合";
        description.observation_unit = "m";
        description.residual_unit = "m";
        description.settings = {HeightSurfaceNames()[static_cast<std::size_t>(model_index_)] +
                                ", 高程异常 Hl - Hg = f(x, y), 坐标不作重心化; 系数的中误差以系数本身的单位给出"};
        return description;
    }

    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        std::vector<ReportedParameter> parameters;
        for (int i = 0; i < coefficient_count_ && i < coefficients_.RowCount(); ++i) {
            std::string name = coefficients_.Label(i);
            if (!name.empty() && name.back() == '=') name.pop_back();  // the label "a0=" names a0
            ReportedParameter parameter{name, coefficients_.Value(i), "", {}};
            if (!solution.empty()) {
                parameter.gradient.assign(static_cast<std::size_t>(coefficient_count_), 0.0L);
                parameter.gradient[static_cast<std::size_t>(i)] = 1;
            }
            parameters.push_back(parameter);
        }
        return parameters;
    }

    RowResiduals Residuals(const CommonPoint& point) const override {
        const long double x = point.source[0];
        const long double y = point.source[1];
        const long double geodetic_height = point.source[2];
        const long double computed = geodetic_height + HeightSurface(coefficients_in_use_, x, y);
        const long double levelling_height = point.target[0];
        const long double residual = computed - levelling_height;
        return {{{5, residual, 4}}, {residual * residual}};
    }

private:
    const int model_index_;
    const int coefficient_count_;
    CoefficientTable coefficients_;
    Vector coefficients_in_use_;
    Vector adopted_x_;  // the adopted rows' x and y, metres
    Vector adopted_y_;
};

}  // namespace

CoefficientTable NewHeightFitCoefficientTable(int model_index) {
    return CoefficientTable(HeightSurfaceLabels(model_index));
}

CommonPointLayout HeightFitLayout() {
    CommonPointLayout layout;
    layout.column_count = 8;
    layout.adoption_column = 7;
    layout.usable_column = 6;
    layout.point_residual_column = 5;
    layout.saved_fields = 8;
    layout.initial_row_count = 4;
    layout.tolerance_factor = 2;
    layout.external_divisor = ExternalDivisor::CheckPointsLessOne;
    layout.residual_columns = {5};
    layout.north_residual_column = -1;
    layout.east_residual_column = -1;
    layout.height_residual_column = 5;
    return layout;
}

std::vector<std::string> HeightFitCommonPointTitles() {
    return {"点号", "坐标x(m)", "坐标y(m)", "大地高H(m)", "水准高H(m)", "残差H(m)", "可用", "采用"};
}

std::vector<std::string> HeightFitSourceTitles() { return {"点号", "坐标x(m)", "坐标y(m)", "大地高H(m)"}; }
std::vector<std::string> HeightFitResultTitles() { return {"点号", "坐标x(m)", "坐标y(m)", "水准高H(m)"}; }

FitResult<CoefficientTable> SolveHeightFit(int model_index, const CoefficientTable& coefficients, PointTable& grid) {
    HeightFitModel model(model_index, coefficients);
    return SolveModel(HeightFitLayout(), model, grid);
}

RowConversion HeightFitConversion(int model_index, const CoefficientTable& coefficients) {
    const Vector c = coefficients.ReadValues(HeightSurfaceCoefficientCount(model_index));
    return [c](const std::string* source, std::string* result) {
        const long double x = TextToNumber(source[1]);
        const long double y = TextToNumber(source[2]);
        const long double geodetic_height = TextToNumber(source[3]);
        const long double levelling_height = geodetic_height + HeightSurface(c, x, y);
        RaiseFloatingPointErrors();
        result[0] = source[0];
        result[1] = source[1];
        result[2] = source[2];
        result[3] = FormatFixed(levelling_height, 4);
    };
}

PointConversion HeightFitPointConversion(int model_index, const CoefficientTable& coefficients) {
    const Vector c = coefficients.ReadValues(HeightSurfaceCoefficientCount(model_index));
    return PointConversion(
        [c](const PointXYH& point) { return PointXYH{point.x, point.y, point.H + HeightSurface(c, point.x, point.y)}; },
        CoordinateKind::Plane, CoordinateKind::Plane);
}

}  // namespace coordconv
