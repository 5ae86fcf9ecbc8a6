// Point files in other layouts on the command line: --preset cass,
// --columns, --separator, --skip, --angles for every tool's input, --check
// for the plausibility warnings, --output-preset for the output's layout.
// Without them every tool reads and writes the program's own files as before.
// A spreadsheet (-i .xlsx or .ods, -o .xlsx) is read and written row by row
// as the windows' "文件导入" and "数据另存" take it.
#include <iostream>

#include "cli/cli_common.h"
#include "convert/spreadsheet.h"
#include "core/number_text.h"
#include "fitting/common_points.h"
#include "table/point_checks.h"

namespace coordconv::cli {

namespace {

constexpr const char* kMappingOptions[] = {"preset", "columns", "separator", "skip", "angles"};

bool Starts(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

bool IsDatumTool(const std::string& tool) {
    return tool == "bursa-wolf" || tool == "seven-3d" || tool == "seven-2d" || tool == "four-3d";
}

std::vector<std::string> FormRoles(bool geodetic) {
    return geodetic ? std::vector<std::string>{"name", "B", "L", "H"} : std::vector<std::string>{"name", "x", "y", "H"};
}

// The columns of the table a tool's convert reads, and of the one it writes.
std::vector<std::string> InputRoles(const Arguments& args) {
    const std::string& t = args.tool;
    if (t == "gauss-forward" || t == "utm-forward") return {"name", "B", "L"};
    if (t == "gauss-inverse" || t == "utm-inverse" || t == "zone-change" || t == "compensation")
        return {"name", "x", "y"};
    if (IsDatumTool(t)) return FormRoles(args.Get("form", "plane") == "geodetic");
    if (t == "polynomial") return FormRoles(args.Get("form", "plane") == "ellipsoid");
    return {"name", "x", "y", "H"};  // plane-four, height-fit
}

std::vector<std::string> OutputRoles(const Arguments& args) {
    const std::string& t = args.tool;
    if (t == "gauss-inverse" || t == "utm-inverse") return {"name", "B", "L"};
    if (Starts(t, "gauss") || Starts(t, "utm") || t == "zone-change" || t == "compensation") return {"name", "x", "y"};
    if (IsDatumTool(t)) return FormRoles(args.Get("form2", "plane") == "geodetic");
    if (t == "polynomial") return FormRoles(args.Get("form", "plane") == "ellipsoid");
    return {"name", "x", "y", "H"};
}

// The boxes the checks read: the source zone's meridian and Y constant
// where the tool has them (their defaults when not given).
PlausibilitySettings CheckSettings(const Arguments& args) {
    PlausibilitySettings settings;
    const std::string& t = args.tool;
    const bool has_meridian = Starts(t, "gauss") || Starts(t, "utm") || t == "zone-change" || IsDatumTool(t);
    try {
        if (has_meridian) settings.central_meridian = DmsTextToDegrees(args.Get("cm", "0"));
        if (has_meridian || t == "compensation") settings.y_constant = TextToNumber(args.Get("yconst", "500000"));
        if (Starts(t, "utm")) settings.x_constant = TextToNumber(args.Get("xconst", "0"));
    } catch (const CommandError&) {
        // A box that is no number fails in the command itself.
        settings.central_meridian.reset();
        settings.y_constant.reset();
    }
    settings.gauss_zones = !Starts(t, "utm");
    return settings;
}

[[noreturn]] void FinishCheck(const Arguments& args, const std::vector<std::vector<std::string>>& rows,
                              const std::vector<std::string>& roles) {
    const std::vector<PlausibilityWarning> warnings = CheckPointRows(rows, roles, CheckSettings(args));
    for (const PlausibilityWarning& w : warnings) std::cout << Printable(w.text) << "\n";
    throw CheckFinished(warnings.empty() ? 0 : 1);
}

// The titles of a result table of `count` columns in the windows' words.
std::vector<std::string> ResultTitles(const std::vector<std::string>& roles, int count) {
    std::vector<std::string> titles;
    for (int i = 0; i < count; ++i) {
        const std::string role = i < static_cast<int>(roles.size()) ? roles[static_cast<std::size_t>(i)] : "";
        titles.push_back(role == "name" ? "点号"
                         : role == "x"  ? "纵坐标x(m)"
                         : role == "y"  ? "横坐标y(m)"
                         : role == "H"  ? "高程H(m)"
                         : role == "B"  ? "纬度B(dms)"
                         : role == "L"  ? "经度L(dms)"
                                        : "");
    }
    return titles;
}

std::string_view MissingText(FieldSplit split) { return split == FieldSplit::Projection ? "0" : ""; }

// A mapping over a spreadsheet's tab-separated rows: its header row skipped
// unless --skip says otherwise.
ColumnMapping SheetMapping(const Arguments& args, const CellRows& sheet) {
    ColumnMapping mapping = *args.input_mapping;
    mapping.separator = FieldSeparator::Tab;
    if (!args.Has("skip")) mapping.skip_lines = FirstDataRow(sheet);
    return mapping;
}

// The first sheet of a spreadsheet as the rows "文件导入" gives the table.
std::vector<std::vector<std::string>> ReadSheetRows(const Arguments& args, FieldSplit split, int read_columns,
                                                    const std::vector<std::string>& roles) {
    const CellRows sheet = ReadSpreadsheetRows(args.input);
    std::vector<std::vector<std::string>> rows;
    if (args.input_mapping) {
        const ColumnMapping mapping = SheetMapping(args, sheet);
        const std::vector<std::string> lines = TabSeparatedLines(sheet);
        std::vector<std::string> cells;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const long number = static_cast<long>(i) + 1;
            if (number <= mapping.skip_lines || TrimBlanks(lines[i]).empty()) continue;
            try {
                MapLineInto(lines[i], mapping, roles, MissingText(split), cells);
            } catch (const CommandError& error) {
                throw InputLineError(error.what(), number);
            }
            cells.resize(static_cast<std::size_t>(read_columns));
            rows.push_back(cells);
        }
    } else {
        PointTable table(std::vector<std::string>(static_cast<std::size_t>(read_columns)));
        ImportCellRows(sheet, FirstDataRow(sheet), split, table);
        for (int row = 1; row < table.RowCount(); ++row)
            rows.emplace_back(table.Row(row), table.Row(row) + read_columns);
    }
    if (rows.empty()) rows.emplace_back(static_cast<std::size_t>(read_columns));
    return rows;
}

// The input's rows as the table would hold them after "文件导入" (or the
// mapped import): at least one row, as the window keeps one empty data row.
std::vector<std::vector<std::string>> ReadInputRows(const Arguments& args, FieldSplit split, int read_columns,
                                                    const std::vector<std::string>& roles) {
    if (IsSpreadsheetPath(args.input)) return ReadSheetRows(args, split, read_columns, roles);
    LineReader reader(args.input, args.encoding);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> cells;
    std::string line;
    long number = 0;
    while (reader.Next(line)) {
        ++number;
        if (args.input_mapping) {
            if (number <= args.input_mapping->skip_lines || TrimBlanks(line).empty()) continue;
            try {
                MapLineInto(line, *args.input_mapping, roles, MissingText(split), cells);
            } catch (const CommandError& error) {
                throw InputLineError(error.what(), number);
            }
        } else {
            SplitLineInto(line, read_columns, split, cells);
        }
        cells.resize(static_cast<std::size_t>(read_columns));
        rows.push_back(cells);
    }
    if (rows.empty()) rows.emplace_back(static_cast<std::size_t>(read_columns));
    return rows;
}

}  // namespace

bool IsPointFileOption(const std::string& name) {
    for (const char* option : kMappingOptions)
        if (name == option) return true;
    return name == "output-preset";
}

std::vector<OptionHelp> PointFileOptionHelp() {
    return {{"preset", "cass  read CASS .dat files: name,code,easting,northing,height (code skipped)"},
            {"columns", "LIST  what each input column holds, e.g. name,-,y,x,H (- skips; name x y H B L, "
                        "x2 y2 H2 B2 L2 for a common-point file's target)"},
            {"separator", "comma|blank|tab|semicolon  input field separator (default comma)"},
            {"skip", "N  header lines to skip at the input's start"},
            {"angles", "dms|deg|text  input latitudes and longitudes as ddd.mmss, decimal degrees or 30°30'15\" text"},
            {"check", "      print implausible rows (swapped x/y or B/L, zone numbers, decimal degrees read as "
                      "ddd.mmss) and exit 1 when there is one; nothing is converted"},
            {"output-preset", "cass  write the result as a CASS .dat file: name,,y,x,H"}};
}

void FinishPointFileOptions(Arguments& args) {
    bool mapped = false;
    for (const char* option : kMappingOptions) mapped = mapped || args.Has(option);
    if (mapped) {
        ColumnMapping mapping;
        if (args.Has("preset")) {
            if (args.Get("preset", "") != "cass") throw UsageError("--preset takes cass");
            mapping = CassMapping();
        }
        if (args.Has("columns")) {
            try {
                mapping.columns = ParseRoleList(args.Get("columns", ""));
            } catch (const std::invalid_argument& error) {
                throw UsageError(std::string("--columns: ") + error.what());
            }
        }
        if (args.Has("separator")) {
            const auto separator = SeparatorFromName(args.Get("separator", ""));
            if (!separator) throw UsageError("--separator takes comma, blank, tab or semicolon");
            mapping.separator = *separator;
        }
        if (args.Has("skip")) {
            const std::string text = args.Get("skip", "");
            if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
                throw UsageError("--skip takes a number of lines");
            mapping.skip_lines = std::stoi(text);
        }
        if (args.Has("angles")) {
            const auto form = AngleFormFromName(args.Get("angles", ""));
            if (!form) throw UsageError("--angles takes dms, deg or text");
            mapping.angles = *form;
        }
        // Without --columns the program's own order: name and the table's columns.
        if (mapping.columns.empty()) mapping.columns = InputRoles(args);
        args.input_mapping = mapping;
    }
    if (args.Has("output-preset")) {
        const std::string preset = args.Get("output-preset", "");
        if (preset != "cass") throw UsageError("--output-preset takes cass");
        if (!CassColumnsOf(OutputRoles(args)))
            throw UsageError("--output-preset cass needs a result of plane coordinates x, y");
        args.output_preset = preset;
    }
}

int RunMappedRowConversion(const Arguments& args, const RowConversion& convert, FieldSplit split, int read_columns,
                           int written_columns) {
    try {
        RaiseFloatingPointErrors();
    } catch (const CommandError& error) {
        throw InputLineError(error.what(), 1);
    }
    const std::vector<std::string> roles = InputRoles(args);
    const std::vector<std::vector<std::string>> rows = ReadInputRows(args, split, read_columns, roles);
    if (args.check) FinishCheck(args, rows, roles);
    std::optional<std::vector<int>> cass;
    if (args.output_preset) cass = CassColumnsOf(OutputRoles(args));
    // An .xlsx output collects the rows under the result table's titles and
    // is written once all are converted.
    const bool sheet = IsXlsxPath(args.output);
    std::optional<AtomicLineWriter> writer;
    if (!sheet) writer.emplace(args.output, args.encoding);
    std::vector<std::string> sheet_cells;
    const auto write = [&](const std::string* cells, int count) {
        if (writer) {
            writer->WriteRow(cells, count);
        } else {
            sheet_cells.insert(sheet_cells.end(), cells, cells + count);
        }
    };
    std::vector<std::string> result(static_cast<std::size_t>(std::max(read_columns, written_columns)));
    std::string cells[5];
    for (std::size_t r = 0; r < rows.size(); ++r) {
        try {
            convert(rows[r].data(), result.data());
        } catch (const CommandError& error) {
            throw InputLineError(error.what(), static_cast<long>(r) + 1);
        }
        if (!cass) {
            write(result.data(), written_columns);
            continue;
        }
        const std::vector<int>& c = *cass;
        cells[0] = result[static_cast<std::size_t>(c[0])];
        cells[1].clear();
        cells[2] = result[static_cast<std::size_t>(c[1])];
        cells[3] = result[static_cast<std::size_t>(c[2])];
        cells[4] = c[3] >= 0 && c[3] < written_columns ? result[static_cast<std::size_t>(c[3])] : std::string();
        write(cells, 5);
    }
    if (writer) {
        writer->Commit();
        return 0;
    }
    const std::vector<std::string> titles = cass ? std::vector<std::string>{"点名", "编码", "东坐标", "北坐标", "高程"}
                                                 : ResultTitles(OutputRoles(args), written_columns);
    PointTable table(titles);
    const int columns = static_cast<int>(titles.size());
    table.AssignDataRows(std::move(sheet_cells), static_cast<int>(rows.size()));
    SaveSpreadsheet(args.output, table, columns);
    return 0;
}

void ImportCommonPointInput(const Arguments& args, const CommonPointLayout& layout, PointTable& grid) {
    const std::vector<std::string> roles =
        RolesFromTitles(std::vector<std::string>(grid.Row(0), grid.Row(0) + grid.ColCount()));
    if (IsSpreadsheetPath(args.input)) {
        const CellRows sheet = ReadSpreadsheetRows(args.input);
        if (args.input_mapping) {
            ImportMappedLines(TabSeparatedLines(sheet), SheetMapping(args, sheet), FieldSplit::Fitting, grid);
        } else {
            ImportCellRows(sheet, FirstDataRow(sheet), FieldSplit::Fitting, grid);
        }
        // A point whose adoption cell is empty is adopted, as in a text file.
        for (int row = 1; row < grid.RowCount(); ++row)
            if (TrimBlanks(grid.Cell(layout.adoption_column, row)).empty())
                grid.Cell(layout.adoption_column, row) = kAdoptedText;
    } else if (args.input_mapping) {
        ImportMappedFile(args.input, *args.input_mapping, FieldSplit::Fitting, args.encoding, grid);
        // Every imported point is adopted, as "文件导入" of the program's own files
        // adopts a point whose flag field is empty.
        for (int row = 1; row < grid.RowCount(); ++row) grid.Cell(layout.adoption_column, row) = kAdoptedText;
    } else {
        ImportCommonPoints(args.input, args.encoding, layout, grid);
    }
    if (!args.check) return;
    std::vector<std::vector<std::string>> rows;
    for (int row = 1; row < grid.RowCount(); ++row)
        rows.emplace_back(grid.Row(row), grid.Row(row) + grid.ColCount());
    FinishCheck(args, rows, roles);
}

}  // namespace coordconv::cli
