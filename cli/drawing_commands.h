// Whole drawings through a tool's conversion: `coordconv-cli zone-change -i
// plan.dxf -o plan120.dxf` and `<tool> convert ... -i plan.dxf`. The input
// kind follows the extension of -i (.dxf), --format points|dxf overrides it;
// point files go on as before.
#pragma once

#include <vector>

#include "cli/cli_common.h"
#include "core/point_conversion.h"

namespace coordconv::cli {

// `options` with --format, --swap-xy and --summary appended.
std::vector<OptionHelp> WithDrawingOptions(std::vector<OptionHelp> options);

// True when the run converts a drawing rather than a point file.
bool ConvertsDrawing(const Arguments& args);

// Converts the drawing -i into -o with `conversion`; the summary on standard
// error and, with --summary FILE, as JSON in that file.
int RunDrawingConversion(const Arguments& args, const PointConversion& conversion);

}  // namespace coordconv::cli
