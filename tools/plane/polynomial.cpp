#include "tools/plane/polynomial.h"

#include <cmath>

#include "core/angles.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

const std::vector<std::string>& PolynomialOrderNames() {
    static const std::vector<std::string> items = {"一次多项式模型", "二次多项式模型", "三次多项式模型"};
    return items;
}

const std::vector<std::string>& PolynomialFormNames() {
    static const std::vector<std::string> items = {"平面上拟合", "椭球面上拟合"};
    return items;
}

int PolynomialTermCount(int order_index) {
    static constexpr int kTerms[kPolynomialOrders] = {3, 6, 10};
    return kTerms[order_index];
}

std::vector<std::string> PolynomialCoefficientLabels(int order_index) {
    const int m = PolynomialTermCount(order_index);
    std::vector<std::string> labels;
    for (int i = 0; i < m; ++i) labels.push_back("a" + std::to_string(i));
    for (int i = 0; i < m; ++i) labels.push_back("b" + std::to_string(i));
    return labels;
}

Vector PolynomialTerms(long double p, long double q, int term_count) {
    const Vector all = {1, p, q, p * q, p * p, q * q, p * p * q, p * q * q, p * p * p, q * q * q};
    return Vector(all.begin(), all.begin() + term_count);
}

long double PolynomialVariable(const std::string& text, PolynomialForm form) {
    if (form == PolynomialForm::Plane) return TextToNumber(text);
    return DmsTextToDegrees(text) / kRadiansToDegrees;
}

long double PolynomialVariableOf(long double cell_number, PolynomialForm form) {
    return form == PolynomialForm::Plane ? cell_number : cell_number / kRadiansToDegrees;
}

void AppendPolynomialEquations(long double p1, long double q1, long double p2, long double q2, int term_count,
                               Matrix& A, Vector& L) {
    const Vector terms = PolynomialTerms(p1, q1, term_count);
    const std::size_t m = terms.size();
    Vector first(2 * m, 0.0L);
    Vector second(2 * m, 0.0L);
    for (std::size_t i = 0; i < m; ++i) {
        first[i] = terms[i];
        second[m + i] = terms[i];
    }
    A.push_back(std::move(first));
    L.push_back(p2 - p1);
    A.push_back(std::move(second));
    L.push_back(q2 - q1);
}

PolynomialPoint ApplyPolynomial(const Vector& coefficients, int term_count, long double p, long double q) {
    const Vector terms = PolynomialTerms(p, q, term_count);
    const std::size_t m = terms.size();
    // p + a0 t0 + a1 t1 + ..., added left to right onto the coordinate itself.
    long double moved_p = p;
    long double moved_q = q;
    for (std::size_t i = 0; i < m; ++i) {
        moved_p += coefficients[i] * terms[i];
        moved_q += coefficients[m + i] * terms[i];
    }
    return {moved_p, moved_q};
}

std::string PolynomialTooFewPointsText(int order_index) {
    return std::to_string(order_index + 1) + "次多项式模型至少需要" + std::to_string(PolynomialTermCount(order_index)) +
           "个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";
}

namespace {

// Arc seconds per radian, 180/pi * 3600.
constexpr long double kSecondsPerRadian = kRadiansToDegrees * 3600;

// The model steps of the solve: two equations per adopted row in the chosen
// variables, the mean height shift, the solved or typed coefficients, and
// the residuals p' - p2, q' - q2, H' - H2 of a row.
class PolynomialModel : public FieldsModel<PolynomialParameters> {
public:
    PolynomialModel(const PolynomialFields& fields, const CoefficientTable& coefficients)
        : FieldsModel({fields, coefficients}), term_count_(PolynomialTermCount(fields.order_index)) {}

    int MinimumPoints() const override { return term_count_; }

    int SourceColumns() const override { return 2; }
    std::string TooFewPointsText() const override { return PolynomialTooFewPointsText(fields_.fields.order_index); }

    CommonPointCells Cells() const override {
        const bool geodetic = form_ == PolynomialForm::Ellipsoid;
        return {3, geodetic, 3, geodetic};
    }

    void AddEquations(const CommonPoint& point, Matrix& design, Vector& observations) override {
        const auto [p1, q1, h1, p2, q2, h2] = VariablesOf(point);
        height_sum_ += h2 - h1;
        AppendPolynomialEquations(p1, q1, p2, q2, term_count_, design, observations);
        adopted_p_.push_back(p1);
        adopted_q_.push_back(q1);
    }

    // The terms in centred, scaled p and q (two blocks: the a and the b
    // coefficients): on raw Gauss coordinates the cubic's normal matrix is
    // singular at the working precision.
    std::optional<EquationBasis> ConditionedBasis(const Matrix&) const override {
        static const std::vector<Monomial> kTerms = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0},
                                                     {0, 2}, {2, 1}, {1, 2}, {3, 0}, {0, 3}};
        return CentredPolynomialBasis(std::vector<Monomial>(kTerms.begin(), kTerms.begin() + term_count_), adopted_p_,
                                      adopted_q_, 2);
    }

    std::optional<std::string> AfterEquations(int adopted_rows) override {
        const MeanHeight mean = MeanHeightShift(height_sum_, adopted_rows, fields_.fields.height_shift);
        height_shift_ = mean.shift;
        if (mean.text) fields_.fields.height_shift = *mean.text;
        return mean.text;
    }

    void TakeSolution(const Vector& solution) override {
        coefficients_in_use_ = solution;
        fields_.coefficients.WriteValues(solution, PolynomialCoefficientLabels(fields_.fields.order_index));
    }

    void TakeFieldParameters() override { coefficients_in_use_ = fields_.coefficients.ReadValues(2 * term_count_); }

    ReportDescription Describe() const override {
        ReportDescription description;
        description.model = "polynomial";
        description.caption = "坐标转换--二维多项式拟合模型";
        const bool plane = form_ == PolynomialForm::Plane;
        description.observation_unit = plane ? "m" : "rad";
        description.residual_unit = plane ? "m" : "\"";
        description.geodetic_positions = !plane;
        description.settings = {PolynomialOrderNames()[static_cast<std::size_t>(fields_.fields.order_index)] + ", " +
                                    PolynomialFormNames()[plane ? 0 : 1] + ", 坐标不作重心化",
                                "系数的中误差以系数本身的单位给出; dH=" + fields_.fields.height_shift +
                                    " m为采用点高差的平均值, 不参与平差"};
        return description;
    }

    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        std::vector<ReportedParameter> parameters;
        const int count = 2 * term_count_;
        for (int i = 0; i < count && i < fields_.coefficients.RowCount(); ++i) {
            ReportedParameter parameter{fields_.coefficients.Label(i), fields_.coefficients.Value(i), "", {}};
            if (!solution.empty()) {
                parameter.gradient.assign(static_cast<std::size_t>(count), 0.0L);
                parameter.gradient[static_cast<std::size_t>(i)] = 1;
            }
            parameters.push_back(parameter);
        }
        return parameters;
    }

    RowResiduals Residuals(const CommonPoint& point) const override {
        const auto [p1, q1, h1, p2, q2, h2] = VariablesOf(point);
        const PolynomialPoint moved = ApplyPolynomial(coefficients_in_use_, term_count_, p1, q1);
        const long double vp = moved.p - p2;
        const long double vq = moved.q - q2;
        const long double vh = h1 + height_shift_ - h2;
        const long double squared = vp * vp + vq * vq;
        if (form_ == PolynomialForm::Plane)
            return {{{7, vp, 4}, {8, vq, 4}, {9, vh, 4}, {10, std::sqrt(squared), 4}}, {squared}};
        return {{{7, vp * kSecondsPerRadian, 4},
                 {8, vq * kSecondsPerRadian, 4},
                 {9, vh, 4},
                 {10, std::sqrt(squared) * kMeanEarthRadius, 4}},
                {squared}};
    }

private:
    // A row's variables p, q (in the model's form) and height, source then target.
    struct RowVariables {
        long double p1, q1, h1, p2, q2, h2;
    };
    RowVariables VariablesOf(const CommonPoint& point) const {
        return {PolynomialVariableOf(point.source[0], form_), PolynomialVariableOf(point.source[1], form_),
                point.source[2],
                PolynomialVariableOf(point.target[0], form_), PolynomialVariableOf(point.target[1], form_),
                point.target[2]};
    }

    const PolynomialForm form_ = fields_.fields.form;
    const int term_count_;
    Vector coefficients_in_use_;
    long double height_sum_ = 0;
    long double height_shift_ = 0;
    Vector adopted_p_;  // the adopted rows' source variables
    Vector adopted_q_;
};

}  // namespace

CoefficientTable NewPolynomialCoefficientTable(int order_index) {
    return CoefficientTable(PolynomialCoefficientLabels(order_index));
}

CommonPointLayout PolynomialLayout(PolynomialForm form) {
    CommonPointLayout layout;
    layout.initial_row_count = 4;
    layout.external_divisor = ExternalDivisor::CheckPointsLessOne;
    layout.accuracy_scale = form == PolynomialForm::Ellipsoid ? kMeanEarthRadius : 1;
    return layout;
}

std::vector<std::string> PolynomialCommonPointTitles(PolynomialForm form) {
    const bool geodetic = form == PolynomialForm::Ellipsoid;
    return CommonPointTitles(geodetic, geodetic);
}

std::vector<std::string> PolynomialPointTitles(PolynomialForm form) {
    if (form == PolynomialForm::Plane) return {"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"};
    return {"点号", "纬度B(dms)", "经度L(dms)", "高程H(m)"};
}

FitResult<PolynomialParameters> SolvePolynomial(const PolynomialFields& fields, const CoefficientTable& coefficients,
                                                PointTable& grid) {
    PolynomialModel model(fields, coefficients);
    return SolveModel(PolynomialLayout(fields.form), model, grid);
}

PointConversion PolynomialPointConversion(const PolynomialFields& fields, const CoefficientTable& coefficients) {
    const int m = PolynomialTermCount(fields.order_index);
    const long double dH = TextToNumber(fields.height_shift);
    const Vector c = coefficients.ReadValues(2 * m);
    const PolynomialForm form = fields.form;
    const CoordinateKind kind = form == PolynomialForm::Plane ? CoordinateKind::Plane : CoordinateKind::Geodetic;
    return PointConversion(
        [m, dH, c, form](const PointXYH& point) {
            const bool plane = form == PolynomialForm::Plane;
            const long double p = plane ? point.x : point.x / kRadiansToDegrees;
            const long double q = plane ? point.y : point.y / kRadiansToDegrees;
            const PolynomialPoint moved = ApplyPolynomial(c, m, p, q);
            const long double height = point.H + dH;
            if (plane) return PointXYH{moved.p, moved.q, height};
            return PointXYH{moved.p * kRadiansToDegrees, moved.q * kRadiansToDegrees, height};
        },
        kind, kind);
}

RowConversion PolynomialConversion(const PolynomialFields& fields, const CoefficientTable& coefficients) {
    const PolynomialForm form = fields.form;
    const PointConversion conversion = PolynomialPointConversion(fields, coefficients);
    return [form, conversion](const std::string* source, std::string* result) {
        const bool plane = form == PolynomialForm::Plane;
        const long double p = plane ? TextToNumber(source[1]) : DmsTextToDegrees(source[1]);
        const long double q = plane ? TextToNumber(source[2]) : DmsTextToDegrees(source[2]);
        const long double H = TextToNumber(source[3]);
        const PointXYH moved = conversion.Convert(p, q, H);
        if (plane) {
            RaiseFloatingPointErrors();
            result[1] = FormatFixed(moved.x, 4);
            result[2] = FormatFixed(moved.y, 4);
        } else {
            const PackedDmsCells cells = PackedDmsCellsOf(moved.x, moved.y);
            result[1] = cells.latitude;
            result[2] = cells.longitude;
        }
        result[0] = source[0];
        result[3] = FormatFixed(moved.H, 4);
    };
}

}  // namespace coordconv
