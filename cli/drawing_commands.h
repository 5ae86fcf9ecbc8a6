// Whole files through a tool's conversion: DXF drawings (`coordconv-cli
// zone-change -i plan.dxf -o plan120.dxf`) and GIS layers (`<tool> convert
// -i parcels.shp -o parcels2000.gpkg`). The input kind follows the extension
// of -i (.dxf; .shp, .gpkg, .geojson, ... as IsGisPath names them), and
// --format points|dxf|gis overrides it; point files go on as before.
#pragma once

#include <vector>

#include "cli/cli_common.h"
#include "core/point_conversion.h"

namespace coordconv::cli {

// `options` with --format, --swap-xy, --summary and --force appended; the
// tools whose conversion is not plane to plane take no drawing
// (`drawings` false: --format points|gis, no --swap-xy).
std::vector<OptionHelp> WithDrawingOptions(std::vector<OptionHelp> options, bool drawings = true);

enum class InputKind { Points, Drawing, Layers };

// The kind of the input: by --format, else by the extension of -i.
// UsageError for the options of one kind given with another.
InputKind InputKindOf(const Arguments& args);

// True when the run converts a whole drawing or GIS dataset rather than a
// point file.
bool ConvertsDrawing(const Arguments& args);

// Converts the drawing or dataset -i into -o with `conversion`; the summary
// on standard error and, with --summary FILE, as JSON in that file.
int RunDrawingConversion(const Arguments& args, const PointConversion& conversion);

}  // namespace coordconv::cli
