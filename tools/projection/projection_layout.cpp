#include "tools/projection/projection_layout.h"

namespace coordconv {

int ZoneChangeLeftGroupWidth(int window_width) {
    // An odd W - 13 lies halfway between two integers; take the even one.
    // Integer arithmetic keeps this independent of the rounding mode.
    const int doubled = window_width - 13;
    const int lower = doubled >= 0 ? doubled / 2 : -((-doubled + 1) / 2);  // floor(doubled / 2)
    if (doubled % 2 == 0) return lower;
    return lower % 2 == 0 ? lower : lower + 1;
}

}  // namespace coordconv
