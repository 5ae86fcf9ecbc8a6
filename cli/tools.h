// The tools of coordconv-cli, one list per family of windows; each family
// keeps its tools in its own cli/<family>_commands.cpp.
#pragma once

#include <vector>

#include "cli/cli_common.h"

namespace coordconv::cli {

std::vector<Tool> ProjectionTools();  // gauss-*, utm-*, zone-change, compensation
std::vector<Tool> DatumTools();       // bursa-wolf, seven-3d, seven-2d, four-3d
std::vector<Tool> PlaneTools();       // plane-four, polynomial
std::vector<Tool> HeightTools();      // height-fit
std::vector<Tool> MapSheetTools();    // map-sheet

}  // namespace coordconv::cli
