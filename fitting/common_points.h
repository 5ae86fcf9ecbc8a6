// The common-point workflow of every fitting model (datum, plane and height
// models), written once: the common-point table as a PointTable, its
// adoption and usable flags, its file, the solve command's skeleton with the
// residual pass and the accuracy report, and the parameter file.
//
// A model differs from the others only by
//   - a CommonPointLayout (columns, flags, file fields, tolerance factor,
//     divisor of the external accuracy), and
//   - a FittingModel: the model's observation equations, how it takes the
//     solved or the typed parameters, and the residuals of one row.
//
// A model's solve (bursa_wolf.h, seven_3d.h, seven_2d.h, four_3d.h,
// plane_four.h, polynomial.h, height_fit.h) takes copies of the field texts
// and returns a FitResult: the fields as the command left them and a
// FitOutcome with the accuracy report, the messages to show and, when the
// command ended early, its error. The residual cells go into the grid it is
// given as they are computed.
//
// The caller then shows the messages (title kMessageTitle, no icon), the
// fields and the table, and reports the failure if there is one, or shows
// the accuracy line. The windows answer a message with a message box,
// coordconv-cli prints it to standard error. Line breaks inside message texts
// are "\n".
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "core/least_squares.h"
#include "fitting/precision_report.h"
#include "table/point_table.h"
#include "table/text_codec.h"

namespace coordconv {

inline constexpr const char* kMessageTitle = "坐标转换";
inline constexpr const char* kAdoptedText = "Yes";
inline constexpr const char* kNotAdoptedText = "No";

// How the external accuracy divides its sum of squares.
enum class ExternalDivisor {
    CheckPoints,          // N - n: datum and plane windows
    CheckPointsLessOne,   // N - n - 1: polynomial and height-fitting windows
};

// Everything in which one model's common-point table differs from another's.
// The defaults are those of the 13-column datum table.
struct CommonPointLayout {
    int column_count = 13;
    int adoption_column = 12;        // "采用", set by the user
    int usable_column = 11;          // "可用", written by the solve
    int point_residual_column = 10;  // read back (4 decimals) for the usable flag, by magnitude
    int saved_fields = 12;           // "保存公共点" writes columns 0..saved_fields-1
    int initial_row_count = 4;       // header included
    long double tolerance_factor = 3;  // tolerance = factor * internal accuracy
    ExternalDivisor external_divisor = ExternalDivisor::CheckPoints;
    // Both accuracies are multiplied by this after the square root (the
    // polynomial window's geodetic form sums square radians and scales by
    // the mean Earth radius 6371000 m).
    long double accuracy_scale = 1;
    // The residual columns the precision report shows, and those its plot
    // draws (-1: none): x or B, y or L, H.
    std::vector<int> residual_columns = {7, 8, 9, 10};
    int north_residual_column = 7;
    int east_residual_column = 8;
    int height_residual_column = 9;
};

// The 13 titles of the datum and plane common-point tables for the two coordinate forms:
// the source form titles columns 1-2, the target form columns 4-5 and the
// residual columns 7-8 (arc seconds for a geodetic target).
std::vector<std::string> CommonPointTitles(bool source_geodetic, bool target_geodetic);

// A new table: the titles and layout.initial_row_count - 1 empty data rows.
PointTable NewCommonPointGrid(const CommonPointLayout& layout, std::vector<std::string> titles);

// The adoption rule: the text upper-cased (ASCII), then trimmed of bytes up to
// the blank, equals "YES". "Yes", " yes " adopt; "", "No", "Y" do not.
bool IsAdoptedText(const std::string& text);

// A double click on the adoption column of a data row, "Yes" (exactly)
// becomes "No" and any other text "Yes". Returns false (nothing changed) for
// any other cell.
bool ToggleAdoption(const CommonPointLayout& layout, PointTable& grid, int col, int row);

// The row commands are PointTable's own: Append, Insert(current),
// Delete(current), Clear.

// "文件导入": each line split into column_count fields (SplitFields), an
// adoption field that trims to nothing becomes "Yes". The grid is replaced
// only when the whole file was read; a failure leaves it as it was.
void ImportCommonPoints(const std::string& path, FileEncoding encoding, const CommonPointLayout& layout, PointTable& grid);

// "保存公共点": columns 0..saved_fields-1 of every data row, empty rows
// included, joined by ",". Written to a temporary file renamed over the target.
void SaveCommonPoints(const std::string& path, FileEncoding encoding, const CommonPointLayout& layout, const PointTable& grid);

// "保存参数": one field text per line, unchanged, atomically written.
void SaveParameterFile(const std::string& path, FileEncoding encoding, const std::vector<std::string>& texts);
// "导入参数": the first `count` lines' texts; fields without a line are empty.
// Throws before returning anything when the file cannot be read, so the
// caller's fields stay as they were.
std::vector<std::string> LoadParameterFile(const std::string& path, FileEncoding encoding, int count);

// The too-few-points message: `head` (e.g. "布尔沙模型至少需要3") followed by
// "个公共点。参数未重新计算。", a line break and
// "下面计算的公共点残差可用于评定当前参数的精度。".
std::string TooFewPointsMessage(const std::string& head);

// One value of a residual column, kept as a number; it becomes text only
// where it is shown, in the common-point table and the files written from it.
struct ResidualCell {
    int column;
    long double value;
    int decimals;

    // The cell's text: FormatFixed(value, decimals).
    std::string Text() const;
    // The value as the table shows it, rounded to its decimals: the number
    // its text reads as, so that a rule applied to it (the usable flag)
    // agrees with the figure the user sees.
    long double Shown() const;
};

// The residual pass's result for one row.
struct RowResiduals {
    std::vector<ResidualCell> cells;  // written in this order (point residual included)
    // The squared metric components, each added in turn to the internal sum
    // (adopted row) or the external sum (check point).
    std::vector<long double> squared_components;

    // The cell of a column, or null when the model gives that column none.
    const ResidualCell* Cell(int column) const;
};

// A common point as numbers, read once from its table row for every step of
// the solve (equations, residuals, the distinct-point test, the precision
// report). Coordinates are in the units of their cells: metres, or decimal
// degrees for a packed ddd.mmss latitude or longitude.
struct CommonPoint {
    std::vector<long double> source;  // x|B, y|L, H (height fitting: x, y, Hg)
    std::vector<long double> target;  // x|B, y|L, H (height fitting: Hl)
};

// Which cells of a row a model reads: `source_cells` from column 1, then
// `target_cells`; the first two of a side are a packed latitude and
// longitude when that side is geodetic.
struct CommonPointCells {
    int source_cells = 3;
    bool source_geodetic = false;
    int target_cells = 3;
    bool target_geodetic = false;
};

// The row's numbers, read in column order (TextToNumber, DmsTextToDegrees
// for a geodetic latitude or longitude); a cell that is not a number fails.
CommonPoint ReadCommonPoint(const std::string* row, const CommonPointCells& cells);

// The model's part of the solve command. One object serves one command run:
// it is made from copies of the window's field texts (reading the settings,
// failing before anything is computed), keeps the parameters in memory
// between the solve and the residual pass, and rewrites its own copies of
// the field texts as the command goes; the model's solve returns them.
class FittingModel {
public:
    virtual ~FittingModel() = default;

    // Minimum adopted rows for the solve, counted by distinct source
    // positions.
    virtual int MinimumPoints() const = 0;
    // The source coordinates of a point that its equations use: the first
    // SourceColumns() (x, y, H of the three-dimensional models; x, y or B, L
    // of the plane ones). Points alike in them give the same equations.
    virtual int SourceColumns() const { return 3; }
    // The cells of a row the model reads into a CommonPoint.
    virtual CommonPointCells Cells() const { return {}; }
    // The whole too-few-points message (see TooFewPointsMessage).
    virtual std::string TooFewPointsText() const = 0;

    // Appends the observation equations of one adopted point to the design
    // matrix and observation vector.
    virtual void AddEquations(const CommonPoint& point, Matrix& design, Vector& observations) = 0;

    // After the equations, before the point-count test: models with a mean
    // height shift compute it here and return the text their field took
    // (none when no row was adopted and the field kept its text).
    virtual std::optional<std::string> AfterEquations(int adopted_rows) {
        (void)adopted_rows;
        return std::nullopt;
    }

    // Enough points: keeps `solution` as the parameters and rewrites the
    // parameter texts. Raises any floating-point fault before writing.
    virtual void TakeSolution(const Vector& solution) = 0;
    // Too few points: takes the parameters from the fields' texts.
    virtual void TakeFieldParameters() = 0;

    // Residuals of one point, adopted or not, with the parameters held.
    virtual RowResiduals Residuals(const CommonPoint& point) const = 0;

    // For the precision report: the model's name, units and settings, and
    // its parameter fields with their gradients with respect to the unknowns
    // of `solution` (empty when the fields' parameters were used).
    virtual ReportDescription Describe() const = 0;
    virtual std::vector<ReportedParameter> ReportedParameters(const Vector& solution) const = 0;

    // The adopted rows' equations (as AddEquations made them, `design`) in
    // a well-conditioned basis (see EquationBasis), for the rank test and the
    // statistics. None (the default): both use the equations centred on
    // their mean point (CentredOnMeanPoint). The polynomial and height
    // surface models give their centred, scaled powers.
    virtual std::optional<EquationBasis> ConditionedBasis(const Matrix& design) const {
        (void)design;
        return std::nullopt;
    }
};

// The smallest pivot of the scaled normal matrix (ScaledNormalPivots) of the
// conditioned equations that a solve accepts. Below it the common points
// leave a combination of the parameters undetermined: collinear points for
// a rotation about their line or a tilt across it, points on one conic for
// the quadratic surface, too small an area for the 2D seven-parameter model
// (its seventh parameter comes from the Earth's curvature alone). For the
// linear models the pivot of a network of width w across its line and
// length s along it is about (w/s)^2, so 1e-10 refuses a network narrower
// than about 10 ppm of its length (1 cm over 1 km), where the weakest
// combination is 1e5 times worse determined than in a square network of the
// same size. Square networks give 0.04 to 1; the 2D seven-parameter model
// gives 1e-8 at 1 km and 6e-11 at 100 m, so it needs about 130 m.
inline constexpr long double kRankDeficientPivot = 1e-10L;

// The message of a refused solve: the points' layout leaves the normal
// equations rank-deficient; the fields' parameters are used as with too few
// points.
std::string RankDeficientMessage(long double smallest_pivot);

// AfterEquations of the models that move heights by one constant (2D
// seven-parameter, plane four-parameter, polynomial): with at least one
// adopted row the mean height difference height_sum / adopted_rows, its
// field text rewritten with 4 decimals (raising any floating-point fault
// first); with none the value of the field's text, which stays as it is.
struct MeanHeight {
    long double shift = 0;            // metres, unrounded: the residual pass uses it
    std::optional<std::string> text;  // the field's new text
};
MeanHeight MeanHeightShift(long double height_sum, int adopted_rows, const std::string& field);

// The solve command's figures, in metres.
struct AccuracyReport {
    int data_rows = 0;
    int adopted_rows = 0;
    bool solved = false;  // false: too few points, the fields' parameters were used
    long double internal_accuracy = 0;
    long double tolerance = 0;
    long double external_accuracy = 0;
    std::string accuracy_line;  // the accuracy line under the common points
};

// "内符合精度=" m_in "m，限差=" tolerance "m；外符合精度=" m_out "m", 4 decimals each.
std::string AccuracyLine(long double internal_accuracy, long double tolerance, long double external_accuracy);

// What the solve command produced, also when it ended early.
struct FitOutcome {
    AccuracyReport report;              // complete only without a failure
    std::vector<std::string> messages;  // texts that let the command go on, in order
    std::optional<std::string> height_shift;  // the mean height shift's new field text
    // The residuals of the data rows in table order, as numbers, as far as
    // the residual pass came.
    std::vector<RowResiduals> residuals;
    // The error that ended the command; the grid and the fields hold what
    // was written before it.
    std::optional<CommandError> failure;
    // The precision report of a command that ran to its end.
    std::optional<PrecisionReport> precision;
};

// A model's solve: its parameter texts as the command left them, and the outcome.
template <typename Fields>
struct FitResult {
    Fields fields;
    FitOutcome outcome;
};

// A model that holds copies of its parameter field texts, rewrites them as
// the solve goes and hands them back with the outcome (SolveModel).
template <typename ParameterFields>
class FieldsModel : public FittingModel {
public:
    explicit FieldsModel(const ParameterFields& fields) : fields_(fields) {}
    const ParameterFields& Fields() const { return fields_; }

protected:
    ParameterFields fields_;
};

// Throws the outcome's failure, if any.
void RaiseFitFailure(const FitOutcome& outcome);

// Where a solve's outcome is shown: a window's message boxes, parameter
// boxes and tables, or coordconv-cli's standard error and output files.
class FitOutcomeView {
public:
    virtual ~FitOutcomeView() = default;
    // A message that let the command go on (too few points, a refused layout).
    virtual void ShowMessage(const std::string& text) = 0;
    // The parameter fields and the common points as the command left them;
    // also after a failure, when they hold what was written before it.
    virtual void ShowFieldsAndTable() = 0;
    // A command that ran to its end: its accuracy line, precision report and
    // (when the model shifts heights) the mean height shift.
    virtual void ShowCompleted(const FitOutcome& outcome) = 0;
};

// Applies a solve's outcome in the one order the windows and coordconv-cli
// share: the messages in turn, the fields and table, then the failure, which
// is thrown, or the completed command.
void ApplyFitOutcome(const FitOutcome& outcome, FitOutcomeView& view);

// The solve command:
//  1. equations of the adopted rows in table order (all rows, empty ones
//     too, count as data rows N), each row read into a CommonPoint once,
//     when a step first needs it (the adopted rows here, the others in the
//     residual pass), so a cell that is not a number fails where it did;
//  2. AfterEquations; with at least MinimumPoints adopted rows of distinct
//     source coordinates (repeated points add no information: the normal
//     equations of three copies of one point are singular, and only rounding
//     would give them pivots) and the conditioned equations' smallest scaled
//     pivot at least kRankDeficientPivot, SolveLeastSquares and TakeSolution;
//     otherwise the message (too few points, or RankDeficientMessage) is
//     kept, then TakeFieldParameters;
//  3. residual pass over all rows: each row's residuals are kept in the
//     outcome and their cells written as soon as they are computed, its
//     squared components summed;
//  4. m_in = sqrt(internal / (n - 1)) for n >= 2, else 0; m_out by the
//     layout's divisor; tolerance = factor * m_in;
//  5. the usable pass: the point residual as the table shows it
//     (ResidualCell::Shown), "Yes" when its magnitude is below the
//     tolerance, else "No".
// A zero pivot, a text that is not a number or any floating-point fault ends
// the command: the outcome's failure holds its CommandError, and what was
// written before stays.
FitOutcome SolveCommonPoints(const CommonPointLayout& layout, FittingModel& model, PointTable& grid);

// SolveCommonPoints, then the model's fields as the command left them.
template <typename Model>
auto SolveModel(const CommonPointLayout& layout, Model& model, PointTable& grid) {
    FitOutcome outcome = SolveCommonPoints(layout, model, grid);
    using ParameterFields = std::decay_t<decltype(model.Fields())>;
    return FitResult<ParameterFields>{model.Fields(), std::move(outcome)};
}

}  // namespace coordconv
