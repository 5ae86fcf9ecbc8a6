#include "cli/cli_common.h"

#include <thread>

#include <iostream>

#include "core/ellipsoid.h"
#include "core/errors.h"

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
        if (text.size() != 1 || text[0] < '0' || text[0] > '4')
            throw UsageError("--" + system_option + " takes 0 to 4, not '" + text + "'");
        const int index = text[0] - '0';
        if (index != kCustomSystemIndex) {
            texts.a = kCoordinateSystemPresets[static_cast<std::size_t>(index)].semi_major_axis_text;
            texts.inverse_flattening = kCoordinateSystemPresets[static_cast<std::size_t>(index)].inverse_flattening_text;
        }
    }
    texts.a = args.Get("a" + suffix, texts.a);
    texts.inverse_flattening = args.Get("invf" + suffix, texts.inverse_flattening);
    return texts;
}

void StandardErrorDialogs::ShowError(const std::string& message) {
    std::cerr << "coordconv-cli: " << ErrorBoxText(message) << "\n";
}

void StandardErrorDialogs::ShowMessage(const std::string&, const std::string& text, MessageIcon) {
    std::cerr << text << "\n";
}

void WriteSolveResults(const Arguments& args, const PointTable& grid, int saved_fields,
                       const std::vector<std::string>& parameter_lines, const std::string& accuracy_line,
                       const std::string* height_shift) {
    std::optional<AtomicLineWriter> residuals;
    if (args.Has("residuals")) {
        residuals.emplace(args.Get("residuals", ""), args.encoding);
        for (int row = 1; row < grid.RowCount(); ++row) residuals->WriteLine(JoinRow(grid.Row(row), saved_fields));
    }
    AtomicLineWriter parameters(args.output, args.encoding);
    for (const std::string& line : parameter_lines) parameters.WriteLine(line);
    if (residuals) residuals->Commit();
    parameters.Commit();
    std::cerr << accuracy_line << "\n";
    if (height_shift != nullptr) std::cerr << "dH=" << *height_shift << "\n";
}

std::vector<OptionHelp> EllipsoidOptionHelp(const std::string& suffix) {
    return {{"system" + suffix, "N  coordinate system 0..4 (1980西安, 2000国家, 1954北京, WGS84, 自定义)"},
            {"a" + suffix, "TEXT  semi-major axis a (m)"},
            {"invf" + suffix, "TEXT  inverse flattening 1/f"}};
}

namespace {

// One batch of input lines converted on one thread: the encoded output lines,
// or the index of the first line that failed and its message.
struct BatchPart {
    std::string output;
    std::ptrdiff_t failed_at = -1;
    std::string failure;
};

void ConvertLines(const RowConversion& convert, FieldSplit split, int read_columns, int written_columns,
                  FileEncoding encoding, const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                  BatchPart& part) {
    const FloatingPointScope floating_point;  // each thread has its own status flags
    std::vector<std::string> source;
    std::vector<std::string> result(static_cast<std::size_t>(std::max(read_columns, written_columns)));
    part.output.clear();
    for (std::size_t i = begin; i < end; ++i) {
        try {
            SplitLineInto(lines[i], read_columns, split, source);
            convert(source.data(), result.data());
        } catch (const std::exception& error) {
            part.failed_at = static_cast<std::ptrdiff_t>(i);
            part.failure = error.what();
            return;
        }
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
    LineReader reader(args.input, args.encoding);
    AtomicLineWriter writer(args.output, args.encoding);
    // Rows are independent, so each batch of lines is split between two
    // threads; the output keeps the input's order, and a failure is reported
    // for the first failing line, as a row-by-row run would.
    // A fault the conversion's set-up left in the status flags belongs to the
    // first row, where the window would meet it.
    try {
        RaiseFloatingPointErrors();
    } catch (const CommandError& error) {
        throw InputLineError(error.what(), 1);
    }
    constexpr std::size_t kBatchLines = 1 << 14;
    std::vector<std::string> lines(kBatchLines);
    BatchPart parts[2];
    long lines_before = 0;
    bool any_line = false;
    for (;;) {
        std::size_t count = 0;
        while (count < kBatchLines && reader.Next(lines[count])) ++count;
        if (count == 0 && any_line) break;
        if (count == 0) {
            // The window keeps one empty data row after importing an empty file.
            lines[0].clear();
            count = 1;
            any_line = true;
            split = FieldSplit::Fitting;  // an empty row of empty cells
        }
        any_line = true;
        const std::size_t middle = count > 64 ? count / 2 : count;
        std::thread second;
        if (middle < count)
            second = std::thread(ConvertLines, std::cref(convert), split, read_columns, written_columns, args.encoding,
                                 std::cref(lines), middle, count, std::ref(parts[1]));
        ConvertLines(convert, split, read_columns, written_columns, args.encoding, lines, 0, middle, parts[0]);
        if (second.joinable()) second.join();
        for (std::size_t p = 0; p < (middle < count ? 2u : 1u); ++p) {
            writer.WriteBytes(parts[p].output);
            if (parts[p].failed_at >= 0)
                throw InputLineError(parts[p].failure, lines_before + static_cast<long>(parts[p].failed_at) + 1);
        }
        lines_before += static_cast<long>(count);
        if (count < kBatchLines) break;
    }
    writer.Commit();
    return 0;
}

}  // namespace coordconv::cli
