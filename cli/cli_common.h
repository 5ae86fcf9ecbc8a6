// Shared machinery of coordconv-cli's tools: the parsed command line and a
// tool's description, the coordinate-system options, the streaming row
// conversion, the outputs of a solve and the writing of every output. The
// parser and the list of tools are in main.cpp.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/errors.h"
#include "table/coordinate_file.h"
#include "table/point_table.h"
#include "fitting/common_points.h"
#include "table/point_file_layout.h"
#include "table/row_conversion.h"

namespace coordconv::cli {

// A usage mistake: printed with the tool's usage, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of the command at one line of the input file.
class InputLineError : public CommandError {
public:
    InputLineError(const std::string& message, long line) : CommandError(message), line_(line) {}
    long line() const { return line_; }

private:
    long line_;
};

struct OptionHelp {
    std::string name;  // without the leading dashes, e.g. "cm"
    std::string help;
    bool flag = false;  // takes no value; given, it reads "1"
};

// The parsed command line of one tool run.
class Arguments {
public:
    std::optional<std::string> command;  // e.g. "solve"
    std::string input = "-";
    std::string output = "-";
    FileEncoding encoding = FileEncoding::Gbk;
    // Point files in other layouts (point_file_options.cpp): the tool's
    // name, the input's column mapping when one of --preset, --columns,
    // --separator, --skip, --angles is given, --check, --output-preset.
    std::string tool;
    std::optional<ColumnMapping> input_mapping;
    bool check = false;
    std::optional<std::string> output_preset;

    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    // The option's text, or `fallback` (the window field's initial text).
    std::string Get(const std::string& name, const std::string& fallback) const;
    void Set(const std::string& name, std::string value) { values_[name] = std::move(value); }

private:
    std::map<std::string, std::string> values_;
};

struct Tool {
    std::string name;
    std::string summary;
    std::vector<std::string> commands;  // empty when the tool has none
    std::vector<OptionHelp> options;    // besides -i, -o, --encoding, --help
    std::function<int(const Arguments&)> run;
    bool command_optional = false;      // runs without a command too
};

// The ellipsoid's a and 1/f texts from the options: `--system` fills both
// with the preset of that number or name (the custom item keeps the window's
// initial texts, those of preset `window_default_index`); then --a and --invf
// (or the options with `suffix`, of the target system) replace them.
struct EllipsoidTexts {
    std::string a;
    std::string inverse_flattening;
};
EllipsoidTexts ReadEllipsoidOptions(const Arguments& args, int window_default_index, const std::string& suffix = "");

// Streams a coordinate file through a row conversion, as "文件导入",
// "转换计算" and "数据另存" would: `read_columns` fields per line, the first
// `written_columns` result cells written. An input without lines converts the
// one empty row the window would hold. The output appears only when the whole
// file converted; a failure names the input line.
int RunRowConversion(const Arguments& args, const RowConversion& convert, FieldSplit split, int read_columns,
                     int written_columns);

// The options of point files in other layouts, which every tool takes:
// their names (values kept by Set until FinishPointFileOptions), the help
// lines, and the mapping built from them (UsageError for a wrong value).
bool IsPointFileOption(const std::string& name);
std::vector<OptionHelp> PointFileOptionHelp();
void FinishPointFileOptions(Arguments& args);

// --check: the plausibility warnings of the rows, one a line on standard
// output; thrown as the run's end with exit status 1 when there is one,
// 0 when there is none.
class CheckFinished : public std::exception {
public:
    explicit CheckFinished(int status) : status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

// RunRowConversion with a column mapping, --check or --output-preset: the
// input read whole, line by line.
int RunMappedRowConversion(const Arguments& args, const RowConversion& convert, FieldSplit split, int read_columns,
                           int written_columns);

// "文件导入" of a common-point table from -i: the program's layout, or
// through the column mapping (columns x2, y2, H2 ... of the target system);
// --check ends the run here with the warnings of the source columns.
void ImportCommonPointInput(const Arguments& args, const CommonPointLayout& layout, PointTable& grid);

// The options of a fitting tool's solve outputs beside -o: --residuals and
// --report, appended to `options`.
std::vector<OptionHelp> WithSolveOutputs(std::vector<OptionHelp> options);

// The checks of the file options that no single option can make, before the
// tool runs (UsageError): --residuals and --report belong to solve only, and
// no two of -i, -o, --residuals, --report and a drawing's --summary name the
// same file (links followed; hard links are one file).
void CheckFileOptions(const Arguments& args);

// The end of a fitting tool's `solve`: the outcome's messages (too few
// common points, ...) on standard error, each text with a line end; the
// outcome's failure, if any, ends the command here, with no file written.
// Otherwise the precision report to --report FILE (.pdf, .html or .json by
// the extension), the common points with residuals and flags as "保存公共点"
// writes them (columns 0..saved_fields-1) to --residuals when given, and the
// parameter or coefficient file's lines to -o: all of them written and
// synced before any replaces its file, so a failure leaves every file as it
// was. Then the accuracy line and, when the solve found a height shift, "dH=" and its
// text on standard error, one line each.

void FinishSolve(const Arguments& args, const CommonPointLayout& layout, const PointTable& grid,
                 const std::vector<std::string>& parameter_lines, const FitOutcome& outcome);

// The texts of a command that computes boxes rather than rows, one a line
// (UTF-8, LF line ends, as the map sheet table): on standard output, or with
// -o the same bytes in that file, written as every output is.
void WriteBoxTexts(const Arguments& args, const std::vector<std::string>& texts);

// A text made of whole lines (an export) on standard output, or with -o in
// that file; returns the exit status 0.
int WriteExport(const Arguments& args, const std::string& text);

// `text` with control characters other than the line feed (messages of
// several lines) shown as \xHH, so that a message quoting
// the input cannot drive the terminal (clear the screen, move the cursor).
std::string Printable(const std::string& text);

// "coordconv-cli: " and the error box's text of `message` (full stop rule),
// printable; the line end is the caller's.
std::string ErrorLine(const std::string& message);

// The common coordinate-system options for the help text.
std::vector<OptionHelp> EllipsoidOptionHelp(const std::string& suffix = "");

}  // namespace coordconv::cli
