// The point pick of the map sheet window: a point picked in the drawing of
// the running CAD program, as the texts of the plane-coordinate boxes.
#pragma once

#include <optional>
#include <string>

#include "tools/cad/cad_automation.h"

namespace coordconv {

// "CAD图上获取点位坐标...": the texts for the plane x box (the picked y) and
// the plane y box (the picked x) in the general number format; nothing when no CAD
// program runs (the window shows its box).
// A cancelled pick fails with the CAD program's text.
struct PickedPlaneTexts {
    std::string x;  // northing, the drawing's y
    std::string y;  // easting, the drawing's x
};
std::optional<PickedPlaneTexts> PickSheetPoint(const CadAttach& attach);

inline constexpr const char* kPickSheetPointPrompt = "请从屏幕取点";

}  // namespace coordconv
