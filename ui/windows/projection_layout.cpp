#include "ui/windows/projection_layout.h"

namespace coordconv {

int ZoneChangeLeftGroupWidth(int window_width) {
    // An odd W - 13 lies halfway between two integers; take the even one.
    // Integer arithmetic keeps this independent of the rounding mode.
    const int doubled = window_width - 13;
    const int lower = doubled >= 0 ? doubled / 2 : -((-doubled + 1) / 2);  // floor(doubled / 2)
    if (doubled % 2 == 0) return lower;
    return lower % 2 == 0 ? lower : lower + 1;
}

ConversionWindowLayout GeodeticPlaneLayout(const std::string& caption, bool forward, int width, int height) {
    ConversionWindowLayout layout;
    layout.caption = caption;
    layout.width = width;
    layout.height = height;
    layout.source_group_caption = forward ? "大地坐标(B,L)" : "平面坐标(x,y)";
    layout.result_group_caption = forward ? "平面坐标(x,y)" : "大地坐标(B,L)";
    layout.source_titles = forward ? kGeodeticTitles : kPlaneTitles;
    layout.result_titles = forward ? kPlaneTitles : kGeodeticTitles;
    return layout;
}

}  // namespace coordconv
