#include "tools/height/height_fit.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

const std::vector<std::string>& HeightSurfaceItems() {
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
    return HeightSurfaceItems()[static_cast<std::size_t>(model_index)] + "模型至少需要" +
           std::to_string(HeightSurfaceCoefficientCount(model_index)) +
           "个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";
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
        result[3] = FloatToFixed(levelling_height, 4);
    };
}

}  // namespace coordconv
