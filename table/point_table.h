// The point table as data: a grid of cell texts whose row 0 holds the column
// titles and whose rows 1..RowCount()-1 are data rows (always at least one).
// Cells hold UTF-8 text exactly as typed or imported; nothing is parsed here.
// Cell(col, row) follows the grid's own (column, row) order.
//
// The row commands return the row that becomes current, so the window only
// moves its cursor.
#pragma once

#include <string>
#include <vector>

namespace coordconv {

class PointTable {
public:
    // A new table: the titles in row 0 and one empty data row.
    explicit PointTable(std::vector<std::string> titles);

    int ColCount() const { return columns_; }
    int RowCount() const { return rows_; }

    const std::string& Cell(int col, int row) const { return cells_[Index(col, row)]; }
    std::string& Cell(int col, int row) { return cells_[Index(col, row)]; }
    // The cells of one row, ColCount() of them.
    const std::string* Row(int row) const { return &cells_[Index(0, row)]; }
    std::string* Row(int row) { return &cells_[Index(0, row)]; }

    // Grows with empty rows or drops rows from the end; never below 2.
    void SetRowCount(int rows);

    // " 追加 ": one empty row at the end; returns it.
    int Append();
    // " 插入 ": an empty row before `current`, which moves down; returns `current`.
    int Insert(int current);
    // " 删除 ": removes `current` (with one data row only empties it); returns
    // the row that becomes current.
    int Delete(int current);
    // " 清空 ": empties every data row and leaves one.
    void Clear();

    // Replaces all data rows by `rows` (each ColCount() wide), at least one.
    void AssignDataRows(std::vector<std::string> cells, int row_count);

    bool operator==(const PointTable&) const = default;

private:
    std::size_t Index(int col, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(col);
    }

    int columns_;
    int rows_ = 2;
    std::vector<std::string> cells_;
};

}  // namespace coordconv
