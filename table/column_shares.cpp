#include "table/column_shares.h"

#include <cmath>

namespace coordconv {

std::vector<int> ShareColumnWidths(int grid_width, const std::vector<long double>& shares, int width_offset) {
    std::vector<int> widths;
    widths.reserve(shares.size());
    const long double usable = grid_width - width_offset;
    for (const long double share : shares) widths.push_back(static_cast<int>(std::trunc(usable * share)));
    return widths;
}

}  // namespace coordconv
