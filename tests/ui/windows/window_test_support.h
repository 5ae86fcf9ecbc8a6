// Driving a conversion window through its widgets: typing into cells and
// boxes, reading cells back.
#pragma once

#include <QLineEdit>
#include <array>
#include <initializer_list>
#include <string>

#include "ui/kit/conversion_window.h"

namespace coordconv::testing {

// Types `text` into the cell (col, row) of the grid as the in-place editor does.
inline void TypeCell(PointGrid& grid, int row, int col, const char* text) {
    grid.model()->setData(grid.model()->index(row - 1, col), QString::fromUtf8(text));
}

// Types the rows into the source table from row 1 on, appending a row with
// " 追加 " before each row after the first.
inline void TypeRows(ConversionWindow& window, std::initializer_list<std::array<const char*, 3>> rows) {
    int r = 1;
    for (const auto& row : rows) {
        if (r > 1) window.Button(1)->click();
        for (int c = 0; c < 3; ++c) TypeCell(window.Source(), r, c, row[c]);
        ++r;
    }
}

inline std::string Cell(const PointGrid& grid, int col, int row) { return grid.Table().Cell(col, row); }

// The edit box named `name`, or null.
inline QLineEdit* Box(const QWidget& window, const char* name) { return window.findChild<QLineEdit*>(name); }

}  // namespace coordconv::testing
