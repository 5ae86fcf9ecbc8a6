// Column widths of the point tables as shares of the table's width: every
// window sizes its columns as trunc((table width − offset) · share), the
// offset leaving room for the row header and the scroll bar.
#pragma once

#include <vector>

namespace coordconv {

// Widths in pixels of the columns with the given shares of a table
// `grid_width` pixels wide, `width_offset` pixels of which are not shared.
std::vector<int> ShareColumnWidths(int grid_width, const std::vector<long double>& shares, int width_offset = 34);

}  // namespace coordconv
