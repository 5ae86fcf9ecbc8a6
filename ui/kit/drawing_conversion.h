// "图形转换" of the conversion windows: DXF drawings and GIS datasets
// (Shapefile, GeoPackage, GeoJSON, KML, GML, MapInfo, FlatGeobuf, FileGDB
// folders) converted file by file with a tool's conversion into an output
// folder, under the same name and in the same format, with one cancellable
// progress bar for the whole run and one summary at its end.
#pragma once

#include <string>
#include <vector>

#include "core/point_conversion.h"
#include "table/user_dialogs.h"

namespace coordconv {

// The file dialog of "图形转换": DXF drawings and GIS layers, or GIS layers
// alone for a window whose conversion cannot take drawings.
FileDialogSpec DrawingFileDialog(bool dxf_drawings);

// The datasets in `folder` that "图形转换" takes, sorted by name: every GIS
// layer file and FileGDB folder (.gdb) in it, and with `dxf_drawings` every
// DXF drawing; sub-folders are not searched. A folder that is itself a
// .gdb dataset is that one dataset.
std::vector<std::string> ConvertibleFilesInFolder(const std::string& folder, bool dxf_drawings);

// Converts `files` with `conversion`: asks for the output folder (and
// whether to overwrite when it holds an input), then converts each file.
// A drawing's failure ends the run; a GIS dataset's failure is shown and the
// next file follows. A layer whose declared system is not the tool's source
// is converted only when the user answers Yes to converting it anyway.
// Shapefiles without a .cpg are read as GBK. A cancel removes every file
// this run has made in the output folder (not the ones it replaced) and
// raises the cancel's CommandError. The summary of every file shows at the
// end.
void ConvertFilesIntoFolder(UserDialogs& dialogs, const PointConversion& conversion,
                            const std::vector<std::string>& files);

}  // namespace coordconv
