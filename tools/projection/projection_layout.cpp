#include "tools/projection/projection_layout.h"

#include <cmath>

namespace coordconv {

ThreeColumnWidths PointTableColumnWidths(int table_width, ColumnShares shares) {
    const long double usable = table_width - 34;
    const int coordinate = static_cast<int>(std::trunc(usable * shares.coordinate));
    return {static_cast<int>(std::trunc(usable * shares.name)), coordinate, coordinate};
}

int LeftGroupWidth(int window_width) {
    return static_cast<int>(std::trunc((window_width - 13) / 2.0L));
}

int ZoneChangeLeftGroupWidth(int window_width) {
    // Rounding half to even, independent of the floating-point rounding mode:
    // an odd W - 13 lies halfway between two integers.
    const int doubled = window_width - 13;
    const int lower = static_cast<int>(std::floor(doubled / 2.0L));
    if (doubled % 2 == 0) return lower;
    return lower % 2 == 0 ? lower : lower + 1;
}

}  // namespace coordconv
