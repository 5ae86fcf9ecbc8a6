#include "cli/cli_common.h"

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

int RunRowConversion(const Arguments& args, const RowConversion& convert, FieldSplit split, int read_columns,
                     int written_columns) {
    LineReader reader(args.input, args.encoding);
    AtomicLineWriter writer(args.output, args.encoding);
    std::vector<std::string> result(static_cast<std::size_t>(std::max(read_columns, written_columns)));
    std::string line;
    std::vector<std::string> source;
    bool any_line = false;
    try {
        while (reader.Next(line)) {
            any_line = true;
            SplitLineInto(line, read_columns, split, source);
            convert(source.data(), result.data());
            writer.WriteRow(result.data(), written_columns);
        }
        if (!any_line) {
            // The window keeps one empty data row after importing an empty file.
            const std::vector<std::string> empty_row(static_cast<std::size_t>(read_columns));
            convert(empty_row.data(), result.data());
            writer.WriteRow(result.data(), written_columns);
        }
    } catch (const CommandError& error) {
        const long line_number = any_line ? reader.LineNumber() : 1;
        throw InputLineError(error.what(), line_number);
    }
    writer.Commit();
    return 0;
}

}  // namespace coordconv::cli
