#include "table/point_file_layout.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "core/errors.h"
#include "core/number_text.h"
#include "table/settings_file.h"

namespace coordconv {

namespace {

constexpr const char* kRoles[] = {"name", "x", "y", "H", "B", "L", "x2", "y2", "H2", "B2", "L2"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }

[[noreturn]] void ThrowNoAngle(std::string_view text) {
    throw CommandError("'" + std::string(text) + "' is not a valid angle");
}

// The separator texts that may stand between the numbers of a d°m′s″ text
// (UTF-8), and the hemisphere words that make it negative or leave it
// positive.
// (Letters d, m, s lower case only: upper-case S is the southern hemisphere.)
constexpr const char* kDmsMarks[] = {"°", "′", "″", "'", "\"", "’", "”", "度", "分", "秒", "d", "m", "s",
                                     ":", " ", "\t", "º", "˚"};
constexpr const char* kNegativeWords[] = {"S", "W", "南纬", "西经", "南", "西"};
constexpr const char* kPositiveWords[] = {"N", "E", "北纬", "东经", "北", "东"};

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    return true;
}

bool TakeSuffix(std::string_view& text, std::string_view suffix) {
    if (text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix) return false;
    text.remove_suffix(suffix.size());
    return true;
}

// A hemisphere word at either end of the text: -1 south or west, +1 north or
// east, 0 none.
int TakeHemisphere(std::string_view& text) {
    for (const char* word : kNegativeWords)
        if (TakePrefix(text, word) || TakeSuffix(text, word)) return -1;
    for (const char* word : kPositiveWords)
        if (TakePrefix(text, word) || TakeSuffix(text, word)) return 1;
    return 0;
}

// Packed text of an angle of `micro_seconds` millionths of an arc second:
// d.mmss followed by the second's decimals, trailing zeros dropped.
std::string PackedText(bool negative, std::int64_t micro_seconds) {
    const std::int64_t degrees = micro_seconds / 3600000000LL;
    const std::int64_t minutes = micro_seconds / 60000000LL % 60;
    const std::int64_t seconds = micro_seconds / 1000000 % 60;
    const std::int64_t micro = micro_seconds % 1000000;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02lld%02lld%06lld", static_cast<long long>(minutes),
                  static_cast<long long>(seconds), static_cast<long long>(micro));
    std::string fraction = digits;
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string text = (negative && micro_seconds != 0 ? "-" : "") + std::to_string(degrees);
    if (!fraction.empty()) text += "." + fraction;
    return text;
}

// Millionths of an arc second in `degrees` (magnitude), rounded half away.
std::int64_t MicroSeconds(long double degrees, std::string_view text) {
    if (!(degrees < 1e6L)) ThrowNoAngle(text);
    return static_cast<std::int64_t>(std::llround(degrees * 3600000000.0L));
}

bool IsNumberByte(char c) { return (c >= '0' && c <= '9') || c == '.'; }

std::string DmsTextToPacked(std::string_view original) {
    std::string_view text = TrimBlanks(original);
    bool negative = false;
    if (TakePrefix(text, "-") || TakePrefix(text, "−")) {
        negative = true;
    } else {
        TakePrefix(text, "+");
    }
    text = TrimBlanks(text);
    const int hemisphere = TakeHemisphere(text);
    if (hemisphere < 0) negative = !negative;
    text = TrimBlanks(text);
    // Numbers and the marks between them.
    std::vector<std::string_view> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsNumberByte(text[i])) {
            std::size_t end = i;
            while (end < text.size() && IsNumberByte(text[end])) ++end;
            numbers.push_back(text.substr(i, end - i));
            i = end;
            continue;
        }
        bool mark = false;
        for (const char* m : kDmsMarks) {
            const std::string_view sv(m);
            if (text.substr(i, sv.size()) == sv) {
                i += sv.size();
                mark = true;
                break;
            }
        }
        if (!mark) ThrowNoAngle(original);
    }
    if (numbers.empty() || numbers.size() > 3) ThrowNoAngle(original);
    long double parts[3] = {0, 0, 0};
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const std::string_view n = numbers[k];
        const std::size_t dot = n.find('.');
        if (n == "." || (dot != std::string_view::npos && n.find('.', dot + 1) != std::string_view::npos))
            ThrowNoAngle(original);
        // Only the last number may have decimals: 30.5°15′ is no angle.
        if (dot != std::string_view::npos && k + 1 < numbers.size()) ThrowNoAngle(original);
        parts[k] = TextToNumber(n);
    }
    if (parts[1] >= 60 || parts[2] >= 60) ThrowNoAngle(original);
    // Seconds first, so that whole degrees, minutes and seconds stay exact.
    const long double seconds = (parts[0] * 60 + parts[1]) * 60 + parts[2];
    if (!(seconds < 3.6e9L)) ThrowNoAngle(original);
    return PackedText(negative, static_cast<std::int64_t>(std::llround(seconds * 1000000)));
}

}  // namespace

ColumnMapping CassMapping() {
    ColumnMapping mapping;
    mapping.separator = FieldSeparator::Comma;
    mapping.columns = {"name", "-", "y", "x", "H"};
    return mapping;
}

bool IsAngleRole(std::string_view role) { return role == "B" || role == "L" || role == "B2" || role == "L2"; }

std::vector<std::string> RolesFromTitles(const std::vector<std::string>& titles) {
    std::vector<std::string> roles;
    auto contains = [](const std::string& s, const char* part) { return s.find(part) != std::string::npos; };
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const std::string& t = titles[i];
        std::string role;
        if (i == 0) {
            role = "name";
        } else if (contains(t, "残差") || contains(t, "可用") || contains(t, "采用")) {
            role = "";
        } else if (contains(t, "纬度") || contains(t, "B(")) {
            role = "B";
        } else if (contains(t, "经度") || contains(t, "L(")) {
            role = "L";
        } else if (contains(t, "x(") || contains(t, "X(")) {
            role = "x";
        } else if (contains(t, "y(") || contains(t, "Y(")) {
            role = "y";
        } else if (contains(t, "H(") || contains(t, "高")) {
            role = "H";
        }
        // A second system's columns (common points) get the suffix 2.
        if (!role.empty() && role != "name")
            for (const std::string& earlier : roles)
                if (earlier == role) role += "2";
        roles.push_back(role);
    }
    return roles;
}

std::vector<std::string> ParseRoleList(std::string_view text) {
    std::vector<std::string> roles;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string role = Trimmed(text.substr(0, comma));
        bool known = role == "-";
        for (const char* r : kRoles) known = known || role == r;
        if (!known)
            throw std::invalid_argument("unknown column '" + role + "' (name, x, y, H, B, L, x2, y2, H2, B2, L2 or -)");
        if (role != "-")
            for (const std::string& earlier : roles)
                if (earlier == role) throw std::invalid_argument("column '" + role + "' named twice");
        roles.push_back(role);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return roles;
}

std::string RoleListText(const std::vector<std::string>& roles) {
    std::string text;
    for (std::size_t i = 0; i < roles.size(); ++i) text += (i ? "," : "") + roles[i];
    return text;
}

std::vector<std::string> SplitAtSeparator(std::string_view line, FieldSeparator separator) {
    std::vector<std::string> fields;
    if (separator == FieldSeparator::Blanks) {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && IsBlank(line[i])) ++i;
            if (i == line.size()) break;
            std::size_t end = i;
            while (end < line.size() && !IsBlank(line[end])) ++end;
            fields.emplace_back(line.substr(i, end - i));
            i = end;
        }
        return fields;
    }
    const char mark = separator == FieldSeparator::Comma ? ',' : separator == FieldSeparator::Tab ? '\t' : ';';
    while (true) {
        const std::size_t at = line.find(mark);
        fields.emplace_back(line.substr(0, at));
        if (at == std::string_view::npos) break;
        line.remove_prefix(at + 1);
    }
    return fields;
}

std::string AngleToPackedText(std::string_view text, AngleForm form) {
    if (form == AngleForm::PackedDms || TrimBlanks(text).empty()) return std::string(text);
    if (form == AngleForm::DmsText) return DmsTextToPacked(text);
    std::string_view trimmed = TrimBlanks(text);
    const int hemisphere = TakeHemisphere(trimmed);
    const long double degrees = TextToNumber(TrimBlanks(trimmed));
    const bool negative = (degrees < 0) != (hemisphere < 0);
    return PackedText(negative, MicroSeconds(std::fabs(degrees), text));
}

void MapLineInto(std::string_view line, const ColumnMapping& mapping, const std::vector<std::string>& table_roles,
                 std::string_view missing, std::vector<std::string>& cells) {
    const std::vector<std::string> fields = SplitAtSeparator(line, mapping.separator);
    cells.assign(table_roles.size(), std::string(missing));
    for (std::size_t col = 0; col < table_roles.size(); ++col) {
        const std::string& role = table_roles[col];
        if (role == "name") cells[col].clear();
        if (role.empty()) continue;
        for (std::size_t i = 0; i < mapping.columns.size() && i < fields.size(); ++i) {
            if (mapping.columns[i] != role) continue;
            const std::string field = Trimmed(fields[i]);
            cells[col] = IsAngleRole(role) ? AngleToPackedText(field, mapping.angles) : field;
        }
    }
}

std::vector<std::string> UnmappedRoles(const ColumnMapping& mapping, const std::vector<std::string>& table_roles) {
    std::vector<std::string> unmapped;
    for (const std::string& role : table_roles) {
        if (role.empty()) continue;
        bool found = false;
        for (const std::string& c : mapping.columns) found = found || c == role;
        if (!found) unmapped.push_back(role);
    }
    return unmapped;
}

namespace {

std::string_view MissingText(FieldSplit split) { return split == FieldSplit::Projection ? "0" : ""; }

std::vector<std::string> TableTitles(const PointTable& table) {
    return std::vector<std::string>(table.Row(0), table.Row(0) + table.ColCount());
}

}  // namespace

namespace {

// The mapped import over lines handed out by `next_line` (false at the end).
template <class NextLine>
void ImportMappedLineSource(NextLine&& next_line, const ColumnMapping& mapping, FieldSplit split, PointTable& table) {
    const std::vector<std::string> roles = RolesFromTitles(TableTitles(table));
    std::vector<std::string> cells;
    std::vector<std::string> row;
    std::string line;
    int rows = 0;
    long number = 0;
    while (next_line(line)) {
        ++number;
        if (number <= mapping.skip_lines || TrimBlanks(line).empty()) continue;
        try {
            MapLineInto(line, mapping, roles, MissingText(split), row);
        } catch (const CommandError& error) {
            throw CommandError(std::string(error.what()) + " (line " + std::to_string(number) + ")");
        }
        for (auto& cell : row) cells.push_back(std::move(cell));
        ++rows;
    }
    table.AssignDataRows(std::move(cells), rows);
}

}  // namespace

void ImportMappedFile(const std::string& path, const ColumnMapping& mapping, FieldSplit split, FileEncoding encoding,
                      PointTable& table) {
    LineReader reader(path, encoding);
    ImportMappedLineSource([&reader](std::string& line) { return reader.Next(line); }, mapping, split, table);
}

void ImportMappedLines(const std::vector<std::string>& lines, const ColumnMapping& mapping, FieldSplit split,
                       PointTable& table) {
    std::size_t next = 0;
    ImportMappedLineSource(
        [&lines, &next](std::string& line) {
            if (next >= lines.size()) return false;
            line = lines[next++];
            return true;
        },
        mapping, split, table);
}

std::vector<std::vector<std::string>> MapLines(const std::vector<std::string>& lines, const ColumnMapping& mapping,
                                               const std::vector<std::string>& table_roles, std::string_view missing,
                                               int max_rows) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    for (std::size_t i = static_cast<std::size_t>(std::max(0, mapping.skip_lines)); i < lines.size(); ++i) {
        if (static_cast<int>(rows.size()) >= max_rows) break;
        if (TrimBlanks(lines[i]).empty()) continue;
        MapLineInto(lines[i], mapping, table_roles, missing, row);
        rows.push_back(row);
    }
    return rows;
}

std::optional<std::vector<int>> CassColumnsOf(const std::vector<std::string>& table_roles) {
    int x = -1, y = -1, h = -1;
    for (std::size_t i = 0; i < table_roles.size(); ++i) {
        if (table_roles[i] == "x" && x < 0) x = static_cast<int>(i);
        if (table_roles[i] == "y" && y < 0) y = static_cast<int>(i);
        if (table_roles[i] == "H" && h < 0) h = static_cast<int>(i);
    }
    if (x < 0 || y < 0) return std::nullopt;
    return std::vector<int>{0, y, x, h};
}

bool IsCassFileName(std::string_view path) {
    if (path.size() < 4) return false;
    std::string end(path.substr(path.size() - 4));
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".dat";
}

void SaveCassFile(const std::string& path, const PointTable& table, FileEncoding encoding) {
    const std::optional<std::vector<int>> columns = CassColumnsOf(RolesFromTitles(TableTitles(table)));
    if (!columns) throw CommandError("The table has no plane coordinates x, y for a CASS file");
    const std::vector<int>& c = *columns;
    AtomicLineWriter writer(path, encoding);
    std::string cells[5];
    for (int row = 1; row < table.RowCount(); ++row) {
        cells[0] = table.Cell(c[0], row);
        cells[1].clear();  // 编码: no code
        cells[2] = table.Cell(c[1], row);
        cells[3] = table.Cell(c[2], row);
        cells[4] = c[3] >= 0 ? table.Cell(c[3], row) : std::string();
        writer.WriteRow(cells, 5);
    }
    writer.Commit();
}

// Section of the remembered column mappings, one key per kind of window.
constexpr const char* kImportSection = "Import";

std::optional<ColumnMapping> RememberedMapping(const std::string& settings_path, const std::string& kind) {
    if (settings_path.empty() || kind.empty()) return std::nullopt;
    return MappingFromText(IniFile(settings_path).ReadString(kImportSection, kind, ""));
}

void RememberMapping(const std::string& settings_path, const std::string& kind, const ColumnMapping& mapping) {
    if (settings_path.empty() || kind.empty()) return;
    try {
        IniFile file(settings_path);
        file.WriteString(kImportSection, kind, MappingToText(mapping));
        file.Save();
    } catch (const std::exception&) {
        // Not remembered this time.
    }
}

bool FitsProgramLayout(const std::vector<std::string>& lines, int column_count, bool dat_file) {
    int looked_at = 0;
    for (const std::string& line : lines) {
        if (TrimBlanks(line).empty()) continue;
        if (++looked_at > 20) break;
        const std::vector<std::string> fields = SplitAtSeparator(line, FieldSeparator::Comma);
        if (fields.size() < 2 &&
            (SplitAtSeparator(line, FieldSeparator::Blanks).size() >= 2 || line.find(';') != std::string::npos))
            return false;
        if (dat_file && fields.size() == 5 && TrimBlanks(fields[1]).empty() && column_count < 5) return false;
        for (std::size_t i = 1; i < fields.size() && i < static_cast<std::size_t>(column_count); ++i) {
            try {
                TextToNumber(fields[i]);
            } catch (const CommandError&) {
                return false;
            }
        }
    }
    return true;
}

std::vector<std::string> ReadFirstLines(const std::string& path, FileEncoding encoding, int count) {
    LineReader reader(path, encoding);
    std::vector<std::string> lines;
    std::string line;
    while (static_cast<int>(lines.size()) < count && reader.Next(line)) lines.push_back(line);
    return lines;
}

std::optional<FieldSeparator> SeparatorFromName(std::string_view name) {
    if (name == "comma" || name == ",") return FieldSeparator::Comma;
    if (name == "blank" || name == "blanks" || name == "space" || name == " ") return FieldSeparator::Blanks;
    if (name == "tab" || name == "\t") return FieldSeparator::Tab;
    if (name == "semicolon" || name == ";") return FieldSeparator::Semicolon;
    return std::nullopt;
}

std::optional<AngleForm> AngleFormFromName(std::string_view name) {
    if (name == "dms") return AngleForm::PackedDms;
    if (name == "deg") return AngleForm::DecimalDegrees;
    if (name == "text") return AngleForm::DmsText;
    return std::nullopt;
}

std::string SeparatorName(FieldSeparator separator) {
    switch (separator) {
        case FieldSeparator::Comma: return "comma";
        case FieldSeparator::Blanks: return "blank";
        case FieldSeparator::Tab: return "tab";
        case FieldSeparator::Semicolon: return "semicolon";
    }
    return "comma";
}

std::string AngleFormName(AngleForm form) {
    switch (form) {
        case AngleForm::PackedDms: return "dms";
        case AngleForm::DecimalDegrees: return "deg";
        case AngleForm::DmsText: return "text";
    }
    return "dms";
}

std::string MappingToText(const ColumnMapping& mapping) {
    return "sep=" + SeparatorName(mapping.separator) + ";skip=" + std::to_string(mapping.skip_lines) +
           ";cols=" + RoleListText(mapping.columns) + ";angles=" + AngleFormName(mapping.angles);
}

std::optional<ColumnMapping> MappingFromText(std::string_view text) {
    ColumnMapping mapping;
    bool has_columns = false;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = item.substr(0, equals);
        const std::string_view value = item.substr(equals + 1);
        try {
            if (key == "sep") {
                const auto separator = SeparatorFromName(value);
                if (!separator) return std::nullopt;
                mapping.separator = *separator;
            } else if (key == "skip") {
                mapping.skip_lines = std::stoi(std::string(value));
                if (mapping.skip_lines < 0 || mapping.skip_lines > 1000) return std::nullopt;
            } else if (key == "cols") {
                mapping.columns = ParseRoleList(value);
                has_columns = true;
            } else if (key == "angles") {
                const auto form = AngleFormFromName(value);
                if (!form) return std::nullopt;
                mapping.angles = *form;
            }
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    if (!has_columns) return std::nullopt;
    return mapping;
}

}  // namespace coordconv
