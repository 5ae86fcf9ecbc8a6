#include "cli/cli_common.h"

#include "report/precision_report_document.h"

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <iostream>
#include <new>
#include <thread>
#include <utility>

#include "convert/spreadsheet.h"
#include "core/ellipsoid.h"
#include "core/errors.h"
#include "table/safe_file.h"

namespace coordconv::cli {

std::string Arguments::Get(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

EllipsoidTexts ReadEllipsoidOptions(const Arguments& args, int window_default_index, const std::string& suffix) {
    const auto& initial = kCoordinateSystemPresets[static_cast<std::size_t>(window_default_index)];
    EllipsoidTexts texts{initial.semi_major_axis_text, initial.inverse_flattening_text};
    const std::string system_option = "system" + suffix;
    if (args.Has(system_option)) {
        const std::string text = args.Get(system_option, "");
        // The list's items by number or by name, in the list's order.
        std::string lower = text;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        int index = -1;
        for (std::size_t i = 0; i < kCoordinateSystemPresets.size(); ++i)
            if (text == std::to_string(i) || lower == kCoordinateSystemPresets[i].option_name) index = static_cast<int>(i);
        if (index < 0) {
            std::string names;
            for (const auto& preset : kCoordinateSystemPresets) names += std::string(preset.option_name) + ", ";
            throw UsageError("--" + system_option + " takes 0 to " + std::to_string(kCustomSystemIndex) + " or " + names +
                             "not '" + text + "'");
        }
        if (index != kCustomSystemIndex) {
            texts.a = kCoordinateSystemPresets[static_cast<std::size_t>(index)].semi_major_axis_text;
            texts.inverse_flattening = kCoordinateSystemPresets[static_cast<std::size_t>(index)].inverse_flattening_text;
        }
    }
    texts.a = args.Get("a" + suffix, texts.a);
    texts.inverse_flattening = args.Get("invf" + suffix, texts.inverse_flattening);
    return texts;
}

std::string Printable(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n') || byte == 0x7f) {
            shown += "\\x";
            shown.push_back(kHex[byte >> 4]);
            shown.push_back(kHex[byte & 15]);
        } else {
            shown.push_back(c);
        }
    }
    return shown;
}

std::string ErrorLine(const std::string& message) { return "coordconv-cli: " + Printable(ErrorBoxText(message)); }

std::vector<OptionHelp> WithSolveOutputs(std::vector<OptionHelp> options) {
    options.push_back({"residuals", "FILE  solve: the common points with residuals and flags, as \"保存公共点\" writes them"});
    options.push_back({"report", "FILE  solve: the precision report (parameter sigmas, outlier test, residual plot), "
                                 "as .pdf, .html or .json by the name's extension"});
    return options;
}

namespace {

// Whether two paths of the command line name one file: the same path once
// links are followed and the path is made absolute and plain, or two names
// (hard links) of one regular file. Device and process paths (/dev/stdout)
// are compared as written, since they stand for whatever is open.
bool SameFile(const std::string& first, const std::string& second) {
    const auto plain = [](const std::string& path) {
        std::string target = path;
        try {
            target = ResolveWriteTarget(path);
        } catch (const CommandError&) {
            // A loop of links: the run itself will report it.
        }
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(target, error).lexically_normal();
        if (target.rfind("/dev/", 0) == 0 || target.rfind("/proc/", 0) == 0) return absolute;
        const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
        return error ? absolute : canonical;
    };
    if (plain(first) == plain(second)) return true;
    struct stat first_status {};
    struct stat second_status {};
    return stat(first.c_str(), &first_status) == 0 && stat(second.c_str(), &second_status) == 0 &&
           S_ISREG(first_status.st_mode) && S_ISREG(second_status.st_mode) &&
           first_status.st_dev == second_status.st_dev && first_status.st_ino == second_status.st_ino;
}

}  // namespace

void CheckFileOptions(const Arguments& args) {
    for (const char* output : {"residuals", "report"})
        if (args.Has(output) && args.command && *args.command != "solve")
            throw UsageError("option --" + std::string(output) + " is an output of solve, not of " + *args.command);
    // "-" is standard input or output, no file.
    std::vector<std::pair<std::string, std::string>> files;
    if (args.input != "-") files.emplace_back("-i", args.input);
    if (args.output != "-") files.emplace_back("-o", args.output);
    for (const char* output : {"residuals", "report", "summary"})
        if (args.Has(output) && args.Get(output, "") != "-") files.emplace_back("--" + std::string(output), args.Get(output, ""));
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (SameFile(files[i].second, files[j].second))
                throw UsageError("options " + files[i].first + " and " + files[j].first + " name the same file '" +
                                 files[j].second + "'");
}

namespace {

// coordconv-cli's side of ApplyFitOutcome: messages on standard error, and
// the files only once the command ran to its end.
class CliOutcomeView : public FitOutcomeView {
public:
    CliOutcomeView(const Arguments& args, const CommonPointLayout& layout, const PointTable& grid,
                   const std::vector<std::string>& parameter_lines)
        : args_(args), layout_(layout), grid_(grid), parameter_lines_(parameter_lines) {}
    void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
    void ShowFieldsAndTable() override {}
    void ShowCompleted(const FitOutcome& outcome) override;

private:
    const Arguments& args_;
    const CommonPointLayout& layout_;
    const PointTable& grid_;
    const std::vector<std::string>& parameter_lines_;
};

void CliOutcomeView::ShowCompleted(const FitOutcome& outcome) {
    const Arguments& args = args_;
    const PointTable& grid = grid_;
    // Every output is written out and synced first; only then do they
    // replace their files, one rename each.
    std::optional<SafeFileWriter> report;
    if (args.Has("report") && outcome.precision) {
        const std::string path = args.Get("report", "");
        const std::string bytes = PrecisionReportFileBytes(path, *outcome.precision);
        report.emplace(path);
        report->Write(bytes);
    }
    const int saved_fields = layout_.saved_fields;
    std::optional<AtomicLineWriter> residuals;
    if (args.Has("residuals")) {
        residuals.emplace(args.Get("residuals", ""), args.encoding);
        for (int row = 1; row < grid.RowCount(); ++row) residuals->WriteLine(JoinRow(grid.Row(row), saved_fields));
    }
    AtomicLineWriter parameters(args.output, args.encoding);
    for (const std::string& line : parameter_lines_) parameters.WriteLine(line);
    if (report) report->Finish();
    if (residuals) residuals->Finish();
    parameters.Finish();
    // Standard output, when -o is "-", is flushed first: a failure there
    // still leaves the files as they were.
    parameters.Commit();
    if (residuals) residuals->Commit();
    if (report) report->Commit();
    std::cerr << outcome.report.accuracy_line << "\n";
    if (outcome.height_shift) std::cerr << "dH=" << *outcome.height_shift << "\n";
}

}  // namespace

void FinishSolve(const Arguments& args, const CommonPointLayout& layout, const PointTable& grid,
                 const std::vector<std::string>& parameter_lines, const FitOutcome& outcome) {
    CliOutcomeView view(args, layout, grid, parameter_lines);
    ApplyFitOutcome(outcome, view);
}

void WriteBoxTexts(const Arguments& args, const std::vector<std::string>& texts) {
    std::string lines;
    for (const std::string& text : texts) lines += text + "\n";
    WriteExport(args, lines);
}

int WriteExport(const Arguments& args, const std::string& lines) {
    if (args.output == "-") {
        std::cout << lines;
        return 0;
    }
    SafeFileWriter file(args.output);
    file.Write(lines);
    file.Commit();
    return 0;
}

std::vector<OptionHelp> EllipsoidOptionHelp(const std::string& suffix) {
    std::string systems = "N|NAME  coordinate system: ";
    for (std::size_t i = 0; i < kCoordinateSystemPresets.size(); ++i) {
        const CoordinateSystemPreset& preset = kCoordinateSystemPresets[i];
        if (i > 0) systems += ", ";
        systems += std::to_string(i) + " " + preset.option_name;
        std::string gloss = preset.option_gloss;
        if (static_cast<int>(i) == kCustomSystemIndex) gloss += ": give --a and --invf";
        if (!gloss.empty()) systems += " (" + gloss + ")";
    }
    return {{"system" + suffix, systems},
            {"a" + suffix, "TEXT  semi-major axis a (m)"},
            {"invf" + suffix, "TEXT  inverse flattening 1/f"}};
}

namespace {

// One part of a chunk of input lines converted on one thread: the encoded
// output lines, the number of lines converted, or where the first failure
// came and its message.
struct ChunkPart {
    std::string output;
    long lines = 0;
    bool failed = false;
    bool out_of_memory = false;
    std::string failure;
};

void ConvertChunkPart(const RowConversion& convert, FieldSplit split, int read_columns, int written_columns,
                      FileEncoding encoding, std::string_view bytes, ChunkPart& part) {
    const FloatingPointScope floating_point;  // each thread has its own status flags
    std::vector<std::string> source;
    std::vector<std::string> result(static_cast<std::size_t>(std::max(read_columns, written_columns)));
    std::string line;
    std::string_view raw_line;
    part = ChunkPart{};
    while (TakeLine(bytes, raw_line)) {
        try {
            CleanLine(raw_line, encoding, line);
            SplitLineInto(line, read_columns, split, source);
            convert(source.data(), result.data());
        } catch (const std::bad_alloc&) {
            part.failed = true;
            part.out_of_memory = true;
            return;
        } catch (const std::exception& error) {
            part.failed = true;
            part.failure = error.what();
            return;
        }
        ++part.lines;
        for (int col = 0; col < written_columns; ++col) {
            if (col > 0) part.output.push_back(',');
            AppendEncoded(result[static_cast<std::size_t>(col)], encoding, part.output);
        }
        part.output += "\r\n";
    }
}

}  // namespace

int RunRowConversion(const Arguments& args, const RowConversion& convert, FieldSplit split, int read_columns,
                     int written_columns) {
    if (args.input_mapping || args.check || args.output_preset || IsSpreadsheetPath(args.input) ||
        IsXlsxPath(args.output))
        return RunMappedRowConversion(args, convert, split, read_columns, written_columns);
    // A fault the conversion's set-up left in the status flags belongs to the
    // first row, where the window would meet it.
    try {
        RaiseFloatingPointErrors();
    } catch (const CommandError& error) {
        throw InputLineError(error.what(), 1);
    }
    LineReader reader(args.input, args.encoding);
    AtomicLineWriter writer(args.output, args.encoding);
    // Rows are independent, so each chunk of whole lines is cut in two at a
    // line end and the halves are read, converted and formatted on two
    // threads; the output keeps the input's order, and a failure is reported
    // for the first failing line, as a row-by-row run would.
    constexpr std::size_t kChunkBytes = 1 << 21;
    std::string chunk;
    ChunkPart parts[2];
    long lines_before = 0;
    bool any_line = false;
    for (;;) {
        reader.NextChunk(chunk, kChunkBytes);
        if (chunk.empty()) {
            if (any_line) break;
            // The window keeps one empty data row after importing an empty
            // file: a row of empty cells.
            split = FieldSplit::Fitting;
        }
        any_line = true;
        const std::string_view bytes(chunk);
        std::size_t cut = bytes.size() > 4096 ? bytes.find('\n', bytes.size() / 2) : std::string_view::npos;
        cut = cut == std::string_view::npos ? bytes.size() : cut + 1;
        std::thread second;
        if (cut < bytes.size())
            second = std::thread(ConvertChunkPart, std::cref(convert), split, read_columns, written_columns,
                                 args.encoding, bytes.substr(cut), std::ref(parts[1]));
        ConvertChunkPart(convert, split, read_columns, written_columns, args.encoding,
                         chunk.empty() ? std::string_view("\n") : bytes.substr(0, cut), parts[0]);
        if (second.joinable()) second.join();
        for (std::size_t p = 0; p < (cut < bytes.size() ? 2u : 1u); ++p) {
            if (parts[p].out_of_memory) throw std::bad_alloc();
            writer.WriteBytes(parts[p].output);
            if (parts[p].failed) throw InputLineError(parts[p].failure, lines_before + parts[p].lines + 1);
            lines_before += parts[p].lines;
        }
        if (chunk.empty()) break;
    }
    writer.Commit();
    return 0;
}

}  // namespace coordconv::cli
