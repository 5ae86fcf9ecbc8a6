#include "table/clipboard_text.h"

#include <algorithm>

#include "core/errors.h"
#include "table/coordinate_file.h"

namespace coordconv {

CellRange ParseClipboardText(std::string_view text) {
    // Checked per cell as it grows, so a huge cell is refused before it is copied whole.
    const auto check_length = [](const std::string& cell) {
        if (cell.size() > kMaxLineBytes)
            throw CommandError("Cell longer than " + std::to_string(kMaxLineBytes / (1 << 20)) + " MB");
    };
    const char separator = text.find('\t') != std::string_view::npos ? '\t' : ',';
    CellRange rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false;
    bool cell_started = false;  // something of the current line was read
    const auto end_cell = [&] {
        row.push_back(std::move(cell));
        cell.clear();
    };
    const auto end_line = [&] {
        end_cell();
        rows.push_back(std::move(row));
        row.clear();
        cell_started = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
                check_length(cell);
            }
            continue;
        }
        if (c == '"' && cell.empty()) {
            quoted = true;
            cell_started = true;
        } else if (c == separator) {
            end_cell();
            cell_started = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            end_line();
        } else {
            cell += c;
            cell_started = true;
            check_length(cell);
        }
    }
    if (cell_started || !row.empty() || !cell.empty()) end_line();
    return rows;
}

bool HoldsSeveralCells(std::string_view text) { return text.find_first_of("\t\r\n") != std::string_view::npos; }

namespace {

std::string QuotedIfNeeded(const std::string& cell) {
    if (cell.find_first_of("\t\r\n\"") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string ClipboardText(const CellRange& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t col = 0; col < row.size(); ++col) {
            if (col > 0) text += '\t';
            text += QuotedIfNeeded(row[col]);
        }
        text += '\n';
    }
    return text;
}

int PasteCells(PointTable& table, int first_col, int first_row, const CellRange& rows) {
    const int first = std::max(first_row, 1);
    const int last = first + static_cast<int>(rows.size()) - 1;
    if (rows.empty()) return first;
    if (last >= table.RowCount()) table.SetRowCount(last + 1);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const int col = first_col + static_cast<int>(c);
            if (col >= table.ColCount()) break;
            table.Cell(col, first + static_cast<int>(r)) = rows[r][c];
        }
    return last;
}

}  // namespace coordconv
