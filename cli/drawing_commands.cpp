#include "cli/drawing_commands.h"

#include <iostream>

#include "convert/dxf_converter.h"
#include "table/safe_file.h"

namespace coordconv::cli {

std::vector<OptionHelp> WithDrawingOptions(std::vector<OptionHelp> options) {
    options.push_back({"format", "points|dxf  kind of the input: a point file or a DXF drawing (default: dxf for a "
                                 "name ending in .dxf, points otherwise)"});
    options.push_back({"swap-xy", "  drawing: X is the northing x and Y the easting y (default: X easting, Y northing)",
                       true});
    options.push_back({"summary", "FILE  drawing: the conversion's summary as JSON"});
    return options;
}

bool ConvertsDrawing(const Arguments& args) {
    if (args.Has("format")) {
        const std::string format = args.Get("format", "");
        if (format == "dxf") return true;
        if (format == "points") return false;
        throw UsageError("--format takes points or dxf, not '" + format + "'");
    }
    if (args.Has("swap-xy") || args.Has("summary")) {
        if (!IsDxfPath(args.input)) throw UsageError("--swap-xy and --summary belong to a drawing (-i FILE.dxf or --format dxf)");
    }
    std::string lower = args.input;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return IsDxfPath(args.input) || (lower.size() >= 4 && lower.substr(lower.size() - 4) == ".dwg");
}

int RunDrawingConversion(const Arguments& args, const PointConversion& conversion) {
    if (args.input == "-") throw UsageError("a drawing is read from a file: give -i FILE.dxf");
    DxfConversionOptions options;
    options.swap_xy = args.Has("swap-xy");
    const std::string output = args.output == "-" ? "/dev/stdout" : args.output;
    const DxfSummary summary = ConvertDxfFile(args.input, output, conversion, options);
    if (args.Has("summary")) {
        SafeFileWriter json(args.Get("summary", ""));
        json.Write(DxfSummaryJson(summary));
        json.Commit();
    }
    std::cerr << DxfSummaryText(summary);
    return 0;
}

}  // namespace coordconv::cli
