#include "table/point_table.h"

#include <algorithm>
#include <utility>

namespace coordconv {

PointTable::PointTable(std::vector<std::string> titles) : columns_(static_cast<int>(titles.size())) {
    cells_ = std::move(titles);
    cells_.resize(static_cast<std::size_t>(columns_) * 2);
}

void PointTable::SetRowCount(int rows) {
    rows_ = std::max(rows, 2);
    cells_.resize(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_));
}


int PointTable::Append() {
    SetRowCount(rows_ + 1);
    return rows_ - 1;
}

int PointTable::Insert(int current) {
    current = std::clamp(current, 1, rows_ - 1);
    SetRowCount(rows_ + 1);
    const auto row_begin = cells_.begin() + static_cast<std::ptrdiff_t>(Index(0, current));
    std::rotate(row_begin, cells_.end() - columns_, cells_.end());
    return current;
}

int PointTable::Delete(int current) {
    current = std::clamp(current, 1, rows_ - 1);
    const auto row_begin = cells_.begin() + static_cast<std::ptrdiff_t>(Index(0, current));
    std::rotate(row_begin, row_begin + columns_, cells_.end());
    for (int col = 0; col < columns_; ++col) Cell(col, rows_ - 1).clear();
    if (rows_ >= 3) SetRowCount(rows_ - 1);
    return std::min(current, rows_ - 1);
}

void PointTable::Clear() {
    SetRowCount(2);
    for (int col = 0; col < columns_; ++col) Cell(col, 1).clear();
}

void PointTable::AssignDataRows(std::vector<std::string> cells, int row_count) {
    std::vector<std::string> titles(cells_.begin(), cells_.begin() + columns_);
    cells_ = std::move(titles);
    cells_.reserve(static_cast<std::size_t>(row_count + 1) * static_cast<std::size_t>(columns_));
    for (auto& cell : cells) cells_.push_back(std::move(cell));
    rows_ = row_count + 1;
    SetRowCount(rows_);
}

}  // namespace coordconv
