// Resize arithmetic of the projection windows: the width of the left group
// box of the two side-by-side table groups, and the widths of the three
// columns of a point table. Pixels throughout.
#pragma once

namespace coordconv {

// Shares of a point table's usable width (its width less 34 pixels of frame
// and scroll bar) for the name column and for each coordinate column.
struct ColumnShares {
    long double name;
    long double coordinate;
};
// Gauss forward/inverse, UTM forward/inverse and zone change windows.
inline constexpr ColumnShares kProjectionColumnShares{0.18L, 0.41L};
// Compensation height plane window.
inline constexpr ColumnShares kCompensationColumnShares{0.20L, 0.40L};

struct ThreeColumnWidths {
    int name;    // column 0
    int first;   // column 1
    int second;  // column 2
};
// w = table_width - 34; name = trunc(w * shares.name), each coordinate
// column trunc(w * shares.coordinate).
ThreeColumnWidths PointTableColumnWidths(int table_width, ColumnShares shares);

// Left table group (and, in the compensation window, GroupBox5) for a window
// of outer width W: trunc((W - 13) / 2); the right group takes the rest.
int LeftGroupWidth(int window_width);

// Zone change window, both left groups (old zone parameters and old zone
// table): (W - 13) / 2 rounded to the nearest integer, an exact half to the
// even neighbour (W = 700 gives 344).
int ZoneChangeLeftGroupWidth(int window_width);

}  // namespace coordconv
