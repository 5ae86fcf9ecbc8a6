#include "tools/plane/plane_four.h"

#include <cmath>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/geocentric.h"
#include "core/number_text.h"

namespace coordconv {

void SetRotationAndScale(long double rotation_seconds, long double scale_change, PlaneFourParameters& p) {
    const long double rotation = rotation_seconds / 3600 * kPi / 180;
    p.a = (1 + scale_change) * std::cos(rotation);
    p.b = (1 + scale_change) * std::sin(rotation);
}

PlaneFourParameters ReadPlaneFourParameters(const PlaneFourFields& fields) {
    PlaneFourParameters p;
    p.dx = TextToNumber(fields.dx);
    p.dy = TextToNumber(fields.dy);
    const long double rotation_seconds = TextToNumber(fields.rotation);
    const long double scale_change = TextToNumber(fields.scale);
    p.dH = TextToNumber(fields.height_shift);
    SetRotationAndScale(rotation_seconds, scale_change, p);
    return p;
}

PlanePointH TransformPlaneFour(const PlaneFourParameters& p, long double x, long double y, long double H) {
    return {p.dx + p.a * x - p.b * y, p.dy + p.b * x + p.a * y, H + p.dH};
}

void AppendPlaneFourEquations(long double x1, long double y1, long double x2, long double y2, Matrix& A, Vector& L) {
    A.push_back({1, 0, x1, -y1});
    L.push_back(x2);
    A.push_back({0, 1, y1, x1});
    L.push_back(y2);
}

long double RotationSeconds(long double a, long double b) {
    long double rotation = Azimuth(0, 0, a, b);
    if (rotation > kPi) rotation = rotation - 2 * kPi;
    return rotation * 180 / kPi * 3600;
}

long double ScaleChange(long double a, long double b) { return std::sqrt(a * a + b * b) - 1; }

RowConversion PlaneFourConversion(const PlaneFourFields& fields) {
    const PlaneFourParameters p = ReadPlaneFourParameters(fields);
    RaiseFloatingPointErrors();
    return [p](const std::string* source, std::string* result) {
        const long double x = TextToNumber(source[1]);
        const long double y = TextToNumber(source[2]);
        const long double H = TextToNumber(source[3]);
        const PlanePointH moved = TransformPlaneFour(p, x, y, H);
        RaiseFloatingPointErrors();
        result[0] = source[0];
        result[1] = FloatToFixed(moved.x, 4);
        result[2] = FloatToFixed(moved.y, 4);
        result[3] = FloatToFixed(moved.H, 4);
    };
}

std::vector<std::string> PlaneFourParameterLines(const PlaneFourFields& fields) {
    return {fields.dx, fields.dy, fields.rotation, fields.scale, fields.height_shift};
}

PlaneFourFields PlaneFourFieldsFromLines(const std::vector<std::string>& lines) {
    const auto line = [&lines](std::size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    PlaneFourFields fields;
    fields.dx = line(0);
    fields.dy = line(1);
    fields.rotation = line(2);
    fields.scale = line(3);
    fields.height_shift = line(4);
    return fields;
}

}  // namespace coordconv
