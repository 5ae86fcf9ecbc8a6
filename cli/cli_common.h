// Shared machinery of coordconv-cli: the option parser, the tool registry,
// the coordinate-system options, and the streaming row conversion.
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
    bool flag = false;  // an option without a value (set to "1" when given)
};

// The parsed command line of one tool run.
class Arguments {
public:
    std::optional<std::string> command;  // e.g. "solve"
    std::string input = "-";
    std::string output = "-";
    FileEncoding encoding = FileEncoding::Gbk;

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
};

// The text for `--system`: fills a and 1/f with preset `index` (0..3); index 4,
// the custom item, keeps the texts the window had. Then --a/--invf (or the
// suffixed options of the target system) replace them.
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

// The end of a fitting tool's `solve`: the outcome's messages (too few
// common points, ...) on standard error, each text with a line end; the
// outcome's failure, if any, ends the command here, with no file written.
// Otherwise the common points with residuals and flags as "保存公共点"
// writes them (columns 0..saved_fields-1) to --residuals when given, the
// parameter or coefficient file's lines to -o (both committed only once both
// are written), then the accuracy line and, when the solve wrote EditDH,
// "dH=" and its text on standard error, one line each. --report FILE writes
// the precision report first (.pdf, .html or .json by the extension).
// The options of a fitting tool's solve outputs beside -o: --residuals and
// --report, appended to `options`.
std::vector<OptionHelp> WithSolveOutputs(std::vector<OptionHelp> options);

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
