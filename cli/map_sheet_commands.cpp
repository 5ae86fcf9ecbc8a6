// coordconv-cli tools of the map sheet windows.
#include <string>
#include <vector>

#include "cli/tools.h"
#include "table/coordinate_file.h"
#include "tools/cad/map_sheet.h"

namespace coordconv::cli {
namespace {

std::vector<OptionHelp> MapSheetOptionHelp() {
    std::vector<OptionHelp> options = {
        {"lat", "TEXT  latitude of the point, ddd.mmss (根据经纬度计算)"},
        {"lon", "TEXT  longitude of the point, ddd.mmss"},
        {"x", "TEXT  plane x, the northing in metres (根据平面坐标计算)"},
        {"y", "TEXT  plane y, the easting with its zone number in metres"},
    };
    for (auto& option : EllipsoidOptionHelp()) options.push_back(option);
    options.push_back({"zone", "3|6  zone width in degrees (default 3)"});
    options.push_back({"xconst", "TEXT  constant added to x, e.g. from a local grid (default 0)"});
    options.push_back({"yconst", "TEXT  constant added to y (default 0)"});
    options.push_back({"sheet", "TEXT  a 1:10,000 sheet number (根据图幅号计算)"});
    options.push_back({"input-form", "old|new  form of --sheet (default old)"});
    options.push_back({"output-form", "new|old  form of the printed numbers (default new)"});
    return options;
}

bool ReadForm(const Arguments& args, const std::string& option, const std::string& fallback) {
    const std::string form = args.Get(option, fallback);
    if (form != "new" && form != "old") throw UsageError("--" + option + " takes new or old, not '" + form + "'");
    return form == "new";
}

bool HasAny(const Arguments& args, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (args.Has(name)) return true;
    return false;
}

int RunMapSheet(const Arguments& args) {
    const bool new_form = ReadForm(args, "output-form", "new");
    const bool geodetic = HasAny(args, {"lat", "lon"});
    const bool plane = HasAny(args, {"x", "y", "system", "a", "invf", "zone", "xconst", "yconst"});
    const bool sheet = HasAny(args, {"sheet", "input-form"});
    if (geodetic + plane + sheet != 1)
        throw UsageError("give one input: --lat/--lon, --x/--y (with the coordinate system), or --sheet");

    SheetJunctionTable table;
    if (geodetic) {
        table = SheetsFromGeodetic(new_form, args.Get("lon", "0"), args.Get("lat", "0"));
    } else if (plane) {
        const EllipsoidTexts ellipsoid = ReadEllipsoidOptions(args, 0);
        PlaneSheetFields fields;
        fields.a = ellipsoid.a;
        fields.inverse_flattening = ellipsoid.inverse_flattening;
        fields.x = args.Get("x", fields.x);
        fields.y = args.Get("y", fields.y);
        const std::string zone = args.Get("zone", "3");
        if (zone != "3" && zone != "6") throw UsageError("--zone takes 3 or 6, not '" + zone + "'");
        fields.six_degree_zones = zone == "6";
        fields.x_shift = args.Get("xconst", fields.x_shift);
        fields.y_shift = args.Get("yconst", fields.y_shift);
        table = SheetsFromPlane(new_form, fields);
    } else {
        const bool input_old_form = !ReadForm(args, "input-form", "old");
        table = SheetsFromSheetNumber(new_form, input_old_form, args.Get("sheet", ""));
    }

    std::vector<std::string> rows;
    for (int row = 0; row < 3; ++row)
        rows.push_back(table.fields[row * 3] + "," + table.fields[row * 3 + 1] + "," + table.fields[row * 3 + 2]);
    WriteBoxTexts(args, rows);
    return 0;
}

}  // namespace

std::vector<Tool> MapSheetTools() {
    return {{"map-sheet", "1:1万图幅号计算: the sheet junction table of a point or a sheet number", {},
             MapSheetOptionHelp(), RunMapSheet}};
}

}  // namespace coordconv::cli
