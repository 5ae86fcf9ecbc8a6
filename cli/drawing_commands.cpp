#include "cli/drawing_commands.h"

#include <iostream>

#include "convert/dxf_converter.h"
#include "convert/gis_layers.h"
#include "table/safe_file.h"

namespace coordconv::cli {

std::vector<OptionHelp> WithDrawingOptions(std::vector<OptionHelp> options, bool drawings) {
    if (drawings) {
        options.push_back({"format", "points|dxf|gis  kind of the input: a point file, a DXF drawing or GIS layers "
                                     "(default: dxf for a name ending in .dxf, gis for .shp .gpkg .geojson .json "
                                     ".kml .gml .tab .mif .fgb .gdb (.tab and .json when they start as a MapInfo "
                                     "table or GeoJSON), points otherwise)"});
        options.push_back(
            {"swap-xy", "  drawing: X is the northing x and Y the easting y (default: X easting, Y northing)", true});
    } else {
        options.push_back({"format", "points|gis  kind of the input: a point file or GIS layers (default: gis for "
                                     "a name ending in .shp .gpkg .geojson .json .kml .gml .tab .mif .fgb .gdb (.tab "
                                     "and .json when they start as a MapInfo table or GeoJSON), points otherwise)"});
    }
    options.push_back({"summary", "FILE  drawing or layers: the conversion's summary as JSON"});
    options.push_back({"force", "  layers: convert a layer whose declared coordinate system is not the source "
                                "system set here",
                       true});
    return options;
}

InputKind InputKindOf(const Arguments& args) {
    if (args.Has("format")) {
        const std::string format = args.Get("format", "");
        if (format == "dxf") return InputKind::Drawing;
        if (format == "gis") return InputKind::Layers;
        if (format == "points") return InputKind::Points;
        throw UsageError("--format takes points, dxf or gis, not '" + format + "'");
    }
    std::string lower = args.input;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool gis = IsGisDataset(args.input);
    if (args.Has("swap-xy") || (args.Has("summary") && !gis)) {
        if (!IsDxfPath(args.input)) throw UsageError("--swap-xy and --summary belong to a drawing (-i FILE.dxf or --format dxf)");
    }
    if (args.Has("force") && !gis) throw UsageError("--force belongs to GIS layers (-i FILE.shp, FILE.gpkg, ... or --format gis)");
    if (IsDxfPath(args.input) || (lower.size() >= 4 && lower.substr(lower.size() - 4) == ".dwg")) return InputKind::Drawing;
    return gis ? InputKind::Layers : InputKind::Points;
}

bool ConvertsDrawing(const Arguments& args) { return InputKindOf(args) != InputKind::Points; }

namespace {

int RunLayerConversion(const Arguments& args, const PointConversion& conversion) {
    if (args.input == "-") throw UsageError("GIS layers are read from a file: give -i FILE.shp, FILE.gpkg, ...");
    if (args.output == "-") throw UsageError("GIS layers are written to a file: give -o FILE.gpkg, FILE.shp, ...");
    GisConversionOptions options;
    options.encoding = args.encoding == FileEncoding::Utf8 ? "UTF-8" : "GBK";
    options.force = args.Has("force");
    GisSummary summary;
    try {
        summary = ConvertGisDataset(args.input, args.output, conversion, options);
    } catch (const GisSystemRefusal& refusal) {
        throw CommandError(std::string(refusal.what()) + "\n(确认无误时用--force转换)");
    }
    if (args.Has("summary")) {
        SafeFileWriter json(args.Get("summary", ""));
        json.Write(GisSummaryJson(summary));
        json.Commit();
    }
    std::cerr << GisSummaryText(summary);
    return 0;
}

}  // namespace

int RunDrawingConversion(const Arguments& args, const PointConversion& conversion) {
    if (InputKindOf(args) == InputKind::Layers) return RunLayerConversion(args, conversion);
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
