#include "tools/plane/polynomial.h"

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

const std::vector<std::string>& PolynomialOrderItems() {
    static const std::vector<std::string> items = {"一次多项式模型", "二次多项式模型", "三次多项式模型"};
    return items;
}

const std::vector<std::string>& PolynomialFormItems() {
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
    long double dp = 0;
    long double dq = 0;
    for (std::size_t i = 0; i < m; ++i) {
        dp += coefficients[i] * terms[i];
        dq += coefficients[m + i] * terms[i];
    }
    return {p + dp, q + dq};
}

std::string PolynomialTooFewPointsText(int order_index) {
    return std::to_string(order_index + 1) + "次多项式模型至少需要" + std::to_string(PolynomialTermCount(order_index)) +
           "个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";
}

RowConversion PolynomialConversion(const PolynomialFields& fields, const CoefficientTable& coefficients) {
    const int m = PolynomialTermCount(fields.order_index);
    const long double dH = TextToNumber(fields.height_shift);
    const Vector c = coefficients.ReadValues(2 * m);
    const PolynomialForm form = fields.form;
    return [m, dH, c, form](const std::string* source, std::string* result) {
        const long double p = PolynomialVariable(source[1], form);
        const long double q = PolynomialVariable(source[2], form);
        const long double H = TextToNumber(source[3]);
        const PolynomialPoint moved = ApplyPolynomial(c, m, p, q);
        const long double height = H + dH;
        if (form == PolynomialForm::Plane) {
            RaiseFloatingPointErrors();
            result[1] = FloatToFixed(moved.p, 4);
            result[2] = FloatToFixed(moved.q, 4);
        } else {
            const long double packed_p = DegreesToDms(moved.p * kRadiansToDegrees);
            const long double packed_q = DegreesToDms(moved.q * kRadiansToDegrees);
            RaiseFloatingPointErrors();
            result[1] = FloatToFixed(packed_p, 10);
            result[2] = FloatToFixed(packed_q, 10);
        }
        result[0] = source[0];
        result[3] = FloatToFixed(height, 4);
    };
}

}  // namespace coordconv
