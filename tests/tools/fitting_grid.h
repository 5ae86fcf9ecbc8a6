// Fills a common-point grid for the solve tests of the fitting models.
#pragma once

#include <string>
#include <vector>

#include "table/point_table.h"

namespace coordconv::testing {

// Each row: the texts of columns 0, 1, 2, ..., and last the adoption flag,
// which goes into `adoption_column`.
inline void FillCommonPoints(PointTable& grid, int adoption_column, const std::vector<std::vector<std::string>>& rows) {
    grid.SetRowCount(static_cast<int>(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        for (std::size_t c = 0; c + 1 < rows[r].size(); ++c) grid.Cell(static_cast<int>(c), row) = rows[r][c];
        grid.Cell(adoption_column, row) = rows[r].back();
    }
}

// A residual of zero to rounding, at 4 decimals.
inline bool ShowsZero(const std::string& text) { return text == "0.0000" || text == "-0.0000"; }

}  // namespace coordconv::testing
