#include "table/sheet_rows.h"

#include <cfenv>
#include <charconv>
#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits of a plain number text [sign] digits [. digits] [e [sign]
// digits] from its first non-zero digit on, trailing zeros included (as
// written, 32.0000000000000000 has 18), and whether it has an exponent; -1
// for any other text.
int WrittenDigits(std::string_view text, bool& exponent) {
    exponent = false;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    int digits = 0;
    int mantissa_digits = 0;
    bool dot = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !dot) {
            dot = true;
            continue;
        }
        if (!IsDigit(c)) break;
        ++mantissa_digits;
        if (c != '0' || digits > 0) ++digits;
    }
    if (mantissa_digits == 0) return -1;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        exponent = true;
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        const std::size_t first = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i == first) return -1;
    }
    return i == text.size() ? digits : -1;
}

bool IsNumberCell(std::string_view text) {
    if (TrimBlanks(text).empty()) return false;
    try {
        TextToNumber(text);
        return true;
    } catch (const CommandError&) {
        return false;
    }
}

bool HasDigit(std::string_view text) {
    for (const char c : text)
        if (IsDigit(c)) return true;
    return false;
}

const std::string& CellOf(const std::vector<std::string>& row, std::size_t col) {
    static const std::string kEmpty;
    return col < row.size() ? row[col] : kEmpty;
}

bool IsEmptyRow(const std::vector<std::string>& row) {
    for (const std::string& cell : row)
        if (!TrimBlanks(cell).empty()) return false;
    return true;
}

}  // namespace

std::string SpreadsheetCellText(std::string_view text) {
    bool exponent = false;
    const int digits = WrittenDigits(text, exponent);
    if (digits < 0 || (digits <= 15 && !exponent)) return std::string(text);
    // Reading and printing a double must not leave a status flag for the
    // command's own floating-point check.
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    double value = 0;
    const auto read = std::from_chars(first, text.data() + text.size(), value);
    std::string result(text);
    if (read.ec == std::errc() && read.ptr == text.data() + text.size() && std::isfinite(value)) {
        char buffer[400];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        if (written.ec == std::errc()) result.assign(buffer, written.ptr);
        if (result == "-0") result = "0";
    }
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    return result;
}

int FirstDataRow(const CellRows& rows) {
    std::size_t first = 0;
    while (first < rows.size() && IsEmptyRow(rows[first])) ++first;
    std::size_t second = first + 1;
    while (second < rows.size() && IsEmptyRow(rows[second])) ++second;
    if (second >= rows.size()) return 0;
    const std::vector<std::string>& titles = rows[first];
    const std::vector<std::string>& below = rows[second];
    for (std::size_t col = 1; col < titles.size(); ++col) {
        const std::string& title = titles[col];
        const std::string& cell = CellOf(below, col);
        if (TrimBlanks(title).empty() || IsNumberCell(title)) continue;
        if (IsNumberCell(cell) || (!HasDigit(title) && HasDigit(cell))) return static_cast<int>(first) + 1;
    }
    return 0;
}

bool FitsProgramColumns(const CellRows& rows, int first_row, int numeric_columns, int column_count) {
    int looked_at = 0;
    for (std::size_t r = static_cast<std::size_t>(std::max(0, first_row)); r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        if (IsEmptyRow(row)) continue;
        if (++looked_at > 20) break;
        if (row.size() > static_cast<std::size_t>(column_count)) return false;
        for (std::size_t col = 1; col < row.size() && col < static_cast<std::size_t>(numeric_columns); ++col)
            if (!TrimBlanks(row[col]).empty() && !IsNumberCell(row[col])) return false;
    }
    return true;
}

std::vector<std::string> TabSeparatedLines(const CellRows& rows) {
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (const std::vector<std::string>& row : rows) {
        std::string line;
        for (std::size_t col = 0; col < row.size(); ++col) {
            if (col > 0) line += '\t';
            for (const char c : row[col]) line += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void ImportCellRows(const CellRows& rows, int first_row, FieldSplit split, PointTable& table) {
    const std::size_t columns = static_cast<std::size_t>(table.ColCount());
    const std::string missing = split == FieldSplit::Projection ? "0" : "";
    std::vector<std::string> cells;
    int row_count = 0;
    for (std::size_t r = static_cast<std::size_t>(std::max(0, first_row)); r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        if (IsEmptyRow(row)) continue;
        for (std::size_t col = 0; col < columns; ++col)
            cells.push_back(col < row.size() ? row[col] : col == 0 ? std::string() : missing);
        ++row_count;
    }
    table.AssignDataRows(std::move(cells), row_count);
}

}  // namespace coordconv
