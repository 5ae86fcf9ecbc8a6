#include "tools/plane/plane_four.h"

#include <cmath>

#include "core/angles.h"
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

PointConversion PlaneFourPointConversion(const PlaneFourFields& fields) {
    const PlaneFourParameters p = ReadPlaneFourParameters(fields);
    PointConversion conversion(
        [p](const PointXYH& point) {
            const PlanePointH moved = TransformPlaneFour(p, point.x, point.y, point.H);
            return PointXYH{moved.x, moved.y, moved.H};
        },
        CoordinateKind::Plane, CoordinateKind::Plane);
    conversion.MarkSimilarity();
    return conversion;
}

RowConversion PlaneFourConversion(const PlaneFourFields& fields) {
    const PointConversion conversion = PlaneFourPointConversion(fields);
    RaiseFloatingPointErrors();
    return [conversion](const std::string* source, std::string* result) {
        const long double x = TextToNumber(source[1]);
        const long double y = TextToNumber(source[2]);
        const long double H = TextToNumber(source[3]);
        const PointXYH moved = conversion.Convert(x, y, H);
        RaiseFloatingPointErrors();
        result[0] = source[0];
        result[1] = FormatFixed(moved.x, 4);
        result[2] = FormatFixed(moved.y, 4);
        result[3] = FormatFixed(moved.H, 4);
    };
}

namespace {

// The model steps of the solve: observation equations (dx, dy, a, b) and the
// height sum from the adopted rows, the mean height shift, the solved or
// typed parameters, and the residuals x' - x2, y' - y2, H' - H2 of a row.
class PlaneFourModel : public FieldsModel<PlaneFourFields> {
public:
    using FieldsModel::FieldsModel;

    int MinimumPoints() const override { return kPlaneFourMinimumPoints; }

    int SourceColumns() const override { return 2; }
    std::string TooFewPointsText() const override { return kPlaneFourTooFewPointsText; }

    void AddEquations(const CommonPoint& point, Matrix& design, Vector& observations) override {
        const auto [x1, y1, h1] = Coordinates(point.source);
        const auto [x2, y2, h2] = Coordinates(point.target);
        AppendPlaneFourEquations(x1, y1, x2, y2, design, observations);
        height_sum_ += h2 - h1;
    }

    std::optional<std::string> AfterEquations(int adopted_rows) override {
        const MeanHeight mean = MeanHeightShift(height_sum_, adopted_rows, fields_.height_shift);
        parameters_.dH = mean.shift;
        if (mean.text) fields_.height_shift = *mean.text;
        return mean.text;
    }

    void TakeSolution(const Vector& solution) override {
        parameters_.dx = solution[0];
        parameters_.dy = solution[1];
        parameters_.a = solution[2];
        parameters_.b = solution[3];
        const long double rotation = RotationSeconds(parameters_.a, parameters_.b);
        const long double scale = ScaleChange(parameters_.a, parameters_.b);
        RaiseFloatingPointErrors();
        fields_.dx = FormatGeneral(parameters_.dx);
        fields_.dy = FormatGeneral(parameters_.dy);
        fields_.rotation = FormatGeneral(rotation);
        fields_.scale = FormatGeneral(scale);
    }

    // The typed dx, dy, R and m; the height shift stays the one the
    // equations left (the unrounded mean of the adopted points).
    void TakeFieldParameters() override {
        const long double height_shift = parameters_.dH;
        parameters_ = ReadPlaneFourParameters(fields_);
        parameters_.dH = height_shift;
    }

    ReportDescription Describe() const override {
        ReportDescription description;
        description.model = "plane-four";
        description.caption = kPlaneFourCaption;
        description.observation_unit = "m";
        description.residual_unit = "m";
        description.settings = {"x' = dx + (1+m)(cos R x - sin R y), y' = dy + (1+m)(sin R x + cos R y), 坐标不作重心化",
                                "R与m的中误差由a = (1+m) cos R, b = (1+m) sin R的协方差传播; dH为采用点高差的平均值, 不参与平差"};
        return description;
    }

    // dx, dy are unknowns; R = atan2(b, a) and m = sqrt(a^2 + b^2) - 1 carry
    // the covariance of a and b through their gradients.
    std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const override {
        std::vector<ReportedParameter> parameters = {{"dx", fields_.dx, "m", {}},
                                                     {"dy", fields_.dy, "m", {}},
                                                     {"R", fields_.rotation, "\"", {}},
                                                     {"m", fields_.scale, "", {}},
                                                     {"dH", fields_.height_shift, "m", {}}};
        if (solution.empty()) return parameters;
        const long double a = solution[2];
        const long double b = solution[3];
        const long double squared = a * a + b * b;
        const long double length = std::sqrt(squared);
        const long double seconds = 180 / kPi * 3600;
        parameters[0].gradient = {1, 0, 0, 0};
        parameters[1].gradient = {0, 1, 0, 0};
        parameters[2].gradient = {0, 0, -b / squared * seconds, a / squared * seconds};
        parameters[3].gradient = {0, 0, a / length, b / length};
        return parameters;
    }

    RowResiduals Residuals(const CommonPoint& point) const override {
        const auto [x1, y1, h1] = Coordinates(point.source);
        const auto [x2, y2, h2] = Coordinates(point.target);
        const PlanePointH moved = TransformPlaneFour(parameters_, x1, y1, h1);
        const long double vx = moved.x - x2;
        const long double vy = moved.y - y2;
        const long double vh = moved.H - h2;
        const long double squared = vx * vx + vy * vy;
        return {{{7, vx, 4}, {8, vy, 4}, {9, vh, 4}, {10, std::sqrt(squared), 4}}, {squared}};
    }

private:
    static PlanePointH Coordinates(const std::vector<long double>& side) { return {side[0], side[1], side[2]}; }

    PlaneFourParameters parameters_;
    long double height_sum_ = 0;
};

}  // namespace

CommonPointLayout PlaneFourLayout() {
    CommonPointLayout layout;
    layout.initial_row_count = 3;
    return layout;
}

std::vector<std::string> PlaneFourPointTitles() { return {"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"}; }

std::vector<std::string> PlaneFourCommonPointTitles() { return CommonPointTitles(false, false); }

FitResult<PlaneFourFields> SolvePlaneFour(const PlaneFourFields& fields, PointTable& grid) {
    PlaneFourModel model(fields);
    return SolveModel(PlaneFourLayout(), model, grid);
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
