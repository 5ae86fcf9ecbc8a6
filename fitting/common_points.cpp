#include "fitting/common_points.h"

#include <algorithm>
#include <cfenv>
#include <cstdio>
#include <cmath>
#include <set>
#include <string_view>

#include "core/errors.h"
#include "core/number_text.h"
#include "table/coordinate_file.h"

namespace coordconv {
std::vector<std::string> CommonPointTitles(bool source_geodetic, bool target_geodetic) {
    return {"点号",
            source_geodetic ? "原纬度B(dms)" : "原坐标x(m)",
            source_geodetic ? "原经度L(dms)" : "原坐标y(m)",
            "原高程H(m)",
            target_geodetic ? "新纬度B(dms)" : "新坐标x(m)",
            target_geodetic ? "新经度L(dms)" : "新坐标y(m)",
            "新高程H(m)",
            target_geodetic ? "残差B(\")" : "残差x(m)",
            target_geodetic ? "残差L(\")" : "残差y(m)",
            "残差H(m)",
            "点位残差(m)",
            "可用",
            "采用"};
}

PointTable NewCommonPointGrid(const CommonPointLayout& layout, std::vector<std::string> titles) {
    titles.resize(static_cast<std::size_t>(layout.column_count));
    PointTable grid(std::move(titles));
    grid.SetRowCount(layout.initial_row_count);
    return grid;
}

bool IsAdoptedText(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return TrimBlanks(upper) == "YES";
}

bool ToggleAdoption(const CommonPointLayout& layout, PointTable& grid, int col, int row) {
    if (col != layout.adoption_column || row < 1 || row >= grid.RowCount()) return false;
    std::string& cell = grid.Cell(col, row);
    cell = cell == kAdoptedText ? kNotAdoptedText : kAdoptedText;
    return true;
}

void ImportCommonPoints(const std::string& path, FileEncoding encoding, const CommonPointLayout& layout, PointTable& grid) {
    LineReader reader(path, encoding);
    std::vector<std::string> cells;
    int rows = 0;
    std::string line;
    while (reader.Next(line)) {
        std::vector<std::string> fields = SplitFields(line, layout.column_count);
        std::string& adoption = fields[static_cast<std::size_t>(layout.adoption_column)];
        if (TrimBlanks(adoption).empty()) adoption = kAdoptedText;
        for (auto& field : fields) cells.push_back(std::move(field));
        ++rows;
    }
    grid.AssignDataRows(std::move(cells), rows);
}

void SaveCommonPoints(const std::string& path, FileEncoding encoding, const CommonPointLayout& layout, const PointTable& grid) {
    AtomicLineWriter writer(path, encoding);
    for (int row = 1; row < grid.RowCount(); ++row) writer.WriteLine(JoinRow(grid.Row(row), layout.saved_fields));
    writer.Commit();
}

void SaveParameterFile(const std::string& path, FileEncoding encoding, const std::vector<std::string>& texts) {
    AtomicLineWriter writer(path, encoding);
    for (const auto& text : texts) writer.WriteLine(text);
    writer.Commit();
}

std::vector<std::string> LoadParameterFile(const std::string& path, FileEncoding encoding, int count) {
    LineReader reader(path, encoding);
    std::vector<std::string> texts(static_cast<std::size_t>(count));
    std::string line;
    for (auto& text : texts) {
        if (!reader.Next(line)) break;
        text = line;
    }
    return texts;
}

std::string ResidualCell::Text() const { return FormatFixed(value, decimals); }

long double ResidualCell::Shown() const { return TextToNumber(Text()); }

const ResidualCell* RowResiduals::Cell(int column) const {
    for (const ResidualCell& cell : cells)
        if (cell.column == column) return &cell;
    return nullptr;
}

CommonPoint ReadCommonPoint(const std::string* row, const CommonPointCells& cells) {
    const auto read_side = [row](int first_column, int count, bool geodetic) {
        std::vector<long double> numbers;
        for (int k = 0; k < count; ++k) {
            const std::string& text = row[first_column + k];
            numbers.push_back(geodetic && k < 2 ? DmsTextToDegrees(text) : TextToNumber(text));
        }
        return numbers;
    };
    CommonPoint point;
    point.source = read_side(1, cells.source_cells, cells.source_geodetic);
    point.target = read_side(1 + cells.source_cells, cells.target_cells, cells.target_geodetic);
    return point;
}

std::string TooFewPointsMessage(const std::string& head) {
    return head + "个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";
}

MeanHeight MeanHeightShift(long double height_sum, int adopted_rows, const std::string& field) {
    if (adopted_rows < 1) return {TextToNumber(field), std::nullopt};
    const long double shift = height_sum / adopted_rows;
    RaiseFloatingPointErrors();
    return {shift, FormatFixed(shift, 4)};
}

void RaiseFitFailure(const FitOutcome& outcome) {
    if (outcome.failure) throw *outcome.failure;
}

void ApplyFitOutcome(const FitOutcome& outcome, FitOutcomeView& view) {
    for (const std::string& text : outcome.messages) view.ShowMessage(text);
    view.ShowFieldsAndTable();
    RaiseFitFailure(outcome);
    view.ShowCompleted(outcome);
}

std::string RankDeficientMessage(long double smallest_pivot) {
    char pivot[32];
    if (smallest_pivot > 0) {
        std::snprintf(pivot, sizeof pivot, "%.1e", static_cast<double>(smallest_pivot));
    } else {
        std::snprintf(pivot, sizeof pivot, "0");
    }
    return std::string("公共点的分布不能确定全部参数 (点位共线、位于同一曲线上或分布范围过小, 法方程秩亏: 比例化法方程的最小主元") +
           pivot + " < 1e-10)。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。";
}

std::string AccuracyLine(long double internal_accuracy, long double tolerance, long double external_accuracy) {
    return "内符合精度=" + FormatFixed(internal_accuracy, 4) + "m，限差=" + FormatFixed(tolerance, 4) + "m；" +
           "外符合精度=" + FormatFixed(external_accuracy, 4) + "m";
}

namespace {

// The equations of the solve, kept for the precision report.
struct Equations {
    Matrix design;
    Vector observations;
    std::vector<int> rows;  // the data row (1-based) of each equation
    Vector solution;        // empty: too few points or a refused layout
    std::string refusal;    // the message when no solution was computed
    std::optional<EquationBasis> basis;  // the model's conditioned basis
    int per_point = 1;                   // equations of one adopted row
};

// The report of a solve that ran to its end. Its arithmetic cannot end the
// command: the floating-point flags are saved around it, and statistics
// that fault are left out with a note.
PrecisionReport BuildPrecisionReport(const CommonPointLayout& layout, const FittingModel& model, const PointTable& grid,
                                     const std::vector<std::optional<CommonPoint>>& points, const Equations& equations,
                                     const FitOutcome& outcome) {
    PrecisionReport precision;
    precision.description = model.Describe();
    precision.accuracy_line = outcome.report.accuracy_line;
    for (const int col : layout.residual_columns) precision.residual_titles.push_back(grid.Cell(col, 0));
    for (int row = 1; row < grid.RowCount(); ++row) {
        const RowResiduals& residuals = outcome.residuals[static_cast<std::size_t>(row - 1)];
        const auto shown = [&residuals](int column) -> std::optional<long double> {
            const ResidualCell* cell = column >= 0 ? residuals.Cell(column) : nullptr;
            if (cell == nullptr) return std::nullopt;
            return cell->Shown();
        };
        PointPrecision point;
        point.name = grid.Cell(0, row);
        point.adopted = IsAdoptedText(grid.Cell(layout.adoption_column, row));
        for (const int col : layout.residual_columns) {
            const ResidualCell* cell = residuals.Cell(col);
            point.residuals.push_back(cell != nullptr ? cell->Text() : grid.Cell(col, row));
        }
        point.usable = grid.Cell(layout.usable_column, row);
        // The source position in the units of its cells: metres, or degrees
        // for geodetic positions.
        if (const std::optional<CommonPoint>& read = points[static_cast<std::size_t>(row)]; read && read->source.size() >= 2) {
            point.first = read->source[0];
            point.second = read->source[1];
        }
        point.north_residual = shown(layout.north_residual_column);
        point.east_residual = shown(layout.east_residual_column);
        point.height_residual = shown(layout.height_residual_column);
        precision.points.push_back(std::move(point));
    }
    if (equations.solution.empty()) {
        precision.message = equations.refusal;
        for (const ReportedParameter& parameter : model.ReportedParameters({}))
            precision.parameters.push_back({parameter.name, parameter.text, parameter.unit, std::nullopt});
        return precision;
    }

    std::vector<int> equation_points;
    for (const int row : equations.rows) equation_points.push_back(row - 1);
    std::fexcept_t saved;
    std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
    PrecisionReport statistics = precision;
    const EquationBasis basis = equations.basis ? *equations.basis
                                                : CentredOnMeanPoint(equations.design, equations.per_point);
    ComputeFitStatistics(equations.design, equations.observations, equations.solution, equation_points,
                         model.ReportedParameters(equations.solution), statistics, &basis);
    const bool faulted = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) != 0;
    std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
    if (!faulted) {
        // Written parameters that miss the least-squares fit by more than a
        // hundredth of sigma0 are not what the statistics describe: say so.
        if (statistics.sigma0 && statistics.solve_residual_gap > *statistics.sigma0 / 100) {
            char gap[32];
            std::snprintf(gap, sizeof gap, "%.2g", static_cast<double>(statistics.solve_residual_gap));
            statistics.message = std::string("法方程病态: 解算参数的残差与最小二乘残差最多相差") + gap + " " +
                                 statistics.description.observation_unit +
                                 ", 超过σ0的1%。以上统计属于最小二乘解, 不完全代表写出的参数。";
        }
        return statistics;
    }
    precision.solved = true;
    precision.message = "法方程病态, 精度统计无法计算。";
    for (const ReportedParameter& parameter : model.ReportedParameters(equations.solution))
        precision.parameters.push_back({parameter.name, parameter.text, parameter.unit, std::nullopt});
    return precision;
}

// The solve's steps; an error ends them, leaving what was written.
void RunSolve(const CommonPointLayout& layout, FittingModel& model, PointTable& grid, FitOutcome& outcome) {
    AccuracyReport& report = outcome.report;
    report.data_rows = grid.RowCount() - 1;

    Equations equations;
    Matrix& design = equations.design;
    Vector& observations = equations.observations;
    // Each row is read once, when a step first needs it.
    std::vector<std::optional<CommonPoint>> points(static_cast<std::size_t>(grid.RowCount()));
    const CommonPointCells cells = model.Cells();
    const auto point_at = [&](int row) -> const CommonPoint& {
        std::optional<CommonPoint>& point = points[static_cast<std::size_t>(row)];
        if (!point) point = ReadCommonPoint(grid.Row(row), cells);
        return *point;
    };

    std::set<std::vector<long double>> source_positions;
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (!IsAdoptedText(grid.Cell(layout.adoption_column, row))) continue;
        ++report.adopted_rows;
        const CommonPoint& point = point_at(row);
        model.AddEquations(point, design, observations);
        equations.rows.resize(design.size(), row);
        const std::size_t used = std::min(point.source.size(), static_cast<std::size_t>(model.SourceColumns()));
        source_positions.emplace(point.source.begin(), point.source.begin() + static_cast<std::ptrdiff_t>(used));
    }
    RaiseFloatingPointErrors();
    outcome.height_shift = model.AfterEquations(report.adopted_rows);

    std::optional<long double> smallest_pivot;
    if (static_cast<int>(source_positions.size()) >= model.MinimumPoints()) {
        equations.basis = model.ConditionedBasis(design);
        equations.per_point = report.adopted_rows > 0 ? static_cast<int>(design.size()) / report.adopted_rows : 1;
        const Vector pivots = ScaledNormalPivots(equations.basis ? equations.basis->design
                                                                 : CentredOnMeanPoint(design, equations.per_point).design);
        RaiseFloatingPointErrors();
        smallest_pivot = pivots.empty() ? 0 : pivots.back();
    }
    if (smallest_pivot && *smallest_pivot >= kRankDeficientPivot) {
        const Vector solution = SolveLeastSquares(design, observations);
        RaiseFloatingPointErrors();
        model.TakeSolution(solution);
        report.solved = true;
        equations.solution = solution;
    } else {
        equations.refusal = smallest_pivot ? RankDeficientMessage(*smallest_pivot) : model.TooFewPointsText();
        outcome.messages.push_back(equations.refusal);
        model.TakeFieldParameters();
    }

    // Residual pass: transformed minus given, every row, adopted or not.
    long double internal_sum = 0;
    long double external_sum = 0;
    for (int row = 1; row < grid.RowCount(); ++row) {
        RowResiduals residuals = model.Residuals(point_at(row));
        RaiseFloatingPointErrors();
        for (const ResidualCell& cell : residuals.cells) grid.Cell(cell.column, row) = cell.Text();
        long double& sum = IsAdoptedText(grid.Cell(layout.adoption_column, row)) ? internal_sum : external_sum;
        for (const long double square : residuals.squared_components) sum += square;
        outcome.residuals.push_back(std::move(residuals));
    }

    // The divisors are point counts, not degrees of freedom of the adjustment.
    const int adopted = report.adopted_rows;
    const int check_points = report.data_rows - adopted;
    if (adopted >= 2) report.internal_accuracy = std::sqrt(internal_sum / (adopted - 1)) * layout.accuracy_scale;
    if (layout.external_divisor == ExternalDivisor::CheckPoints) {
        if (check_points > 0) report.external_accuracy = std::sqrt(external_sum / check_points) * layout.accuracy_scale;
    } else if (check_points >= 2) {
        report.external_accuracy = std::sqrt(external_sum / (check_points - 1)) * layout.accuracy_scale;
    }
    report.tolerance = layout.tolerance_factor * report.internal_accuracy;
    RaiseFloatingPointErrors();
    report.accuracy_line = AccuracyLine(report.internal_accuracy, report.tolerance, report.external_accuracy);

    // Usable pass on the point residual as the table shows it.
    for (int row = 1; row < grid.RowCount(); ++row) {
        const ResidualCell* cell = outcome.residuals[static_cast<std::size_t>(row - 1)].Cell(layout.point_residual_column);
        const long double residual = cell != nullptr ? cell->Shown() : TextToNumber(grid.Cell(layout.point_residual_column, row));
        grid.Cell(layout.usable_column, row) = std::fabs(residual) < report.tolerance ? kAdoptedText : kNotAdoptedText;
    }
    outcome.precision = BuildPrecisionReport(layout, model, grid, points, equations, outcome);
}

}  // namespace

FitOutcome SolveCommonPoints(const CommonPointLayout& layout, FittingModel& model, PointTable& grid) {
    FitOutcome outcome;
    try {
        RunSolve(layout, model, grid, outcome);
    } catch (const CommandError& error) {
        outcome.failure = error;
    }
    return outcome;
}

}  // namespace coordconv
