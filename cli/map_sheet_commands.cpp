// coordconv-cli tools of the map sheet windows.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "cli/tools.h"
#include "core/number_text.h"
#include "core/zone_number.h"
#include "table/coordinate_file.h"
#include "tools/sheets/map_sheet.h"
#include "tools/sheets/rectangular_sheets.h"
#include "tools/sheets/sheet_index.h"

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
    options.push_back({"scale", "1:N  scale of the sheets, 1:1000000 to 1:500 (default 1:10000); index: "
                                "several joined by commas"});
    options.push_back({"corners", " print the sheet's number and its corners SW, SE, NE, NW: B, L (ddd.mmss), "
                                  "x, y (on the zone of the plane input, of the sheet's centre, or --cm)",
                       true});
    options.push_back({"cm", "DDD.MMSS  central meridian for corners and frames (y then carries 500000 only)"});
    options.push_back({"within", "1:N  print the sheet of that smaller scale containing the sheet"});
    options.push_back({"inside", "1:N  print the sheets of that larger scale inside the sheet"});
    options.push_back({"rectangular", " 50 cm x 50 cm sheets of a plane grid at 1:500, 1:1000 or 1:2000, named by "
                                      "the south-west corner in km (3410.0-39.5); plane input or --sheet only",
                       true});
    options.push_back({"bbox", "S,W,N,E|XMIN,YMIN,XMAX,YMAX  index: the area as a rectangle"});
    options.push_back({"area", "FILE  index: the area as a polygon, a point file of name,B,L or name,x,y lines"});
    options.push_back({"area-form", "geodetic|plane  index: --bbox and --area in B, L (default) or plane x, y"});
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

int ReadScale(const std::string& option, const std::string& text) {
    const std::optional<int> scale = FindSheetScale(text);
    if (!scale) throw UsageError("--" + option + " takes a scale 1:1000000 to 1:500, not '" + text + "'");
    return *scale;
}

bool SixDegreeZones(const Arguments& args) {
    const std::string zone = args.Get("zone", "3");
    if (zone != "3" && zone != "6") throw UsageError("--zone takes 3 or 6, not '" + zone + "'");
    return zone == "6";
}

PlaneSheetFields ReadPlaneFields(const Arguments& args) {
    const EllipsoidTexts ellipsoid = ReadEllipsoidOptions(args, 0);
    PlaneSheetFields fields;
    fields.a = ellipsoid.a;
    fields.inverse_flattening = ellipsoid.inverse_flattening;
    fields.x = args.Get("x", fields.x);
    fields.y = args.Get("y", fields.y);
    fields.six_degree_zones = SixDegreeZones(args);
    fields.x_shift = args.Get("xconst", fields.x_shift);
    fields.y_shift = args.Get("yconst", fields.y_shift);
    return fields;
}

// The plane of corners and frames: --cm when given (y constant 500000),
// otherwise the zone of `plane_y` (a plane input's easting with its zone
// number) or of the longitude `centre_degrees`.
FramePlane ChosenPlane(const Arguments& args, std::optional<long double> plane_y, long double centre_degrees) {
    const EllipsoidTexts texts = ReadEllipsoidOptions(args, 0);
    const auto [a, f] = ReadEllipsoid(texts.a, texts.inverse_flattening);
    const bool six = SixDegreeZones(args);
    if (args.Has("cm")) {
        const long double meridian = DmsTextToDegrees(args.Get("cm", "0"));
        RaiseFloatingPointErrors();
        return {MakeGaussKrugerEllipsoid(a, f), meridian, 500000};
    }
    return plane_y ? NumberedZonePlane(a, f, six, *plane_y) : ZonePlane(a, f, six, centre_degrees);
}

long double CentreLongitudeDegrees(const MapSheet& sheet) {
    const SheetBounds b = BoundsOf(sheet);
    return (b.west + b.east) / 2 / 3600;
}

std::vector<std::string> TableRows(const SheetJunctionTable& table) {
    std::vector<std::string> rows;
    for (int row = 0; row < 3; ++row)
        rows.push_back(table.fields[row * 3] + "," + table.fields[row * 3 + 1] + "," + table.fields[row * 3 + 2]);
    return rows;
}

std::string SheetText(const MapSheet& sheet, bool new_form) {
    if (new_form) return NewSheetText(sheet);
    const std::optional<std::string> old = OldSheetText(sheet);
    if (!old) throw CommandError(kNoOldFormText);
    return *old;
}

std::vector<std::string> CornerLines(const MapSheet& sheet, bool new_form, const FramePlane& plane) {
    std::vector<std::string> lines = {SheetText(sheet, new_form)};
    const char* names[] = {"SW", "SE", "NE", "NW"};
    const auto corners = SheetCorners(sheet, plane);
    RaiseFloatingPointErrors();
    for (std::size_t i = 0; i < corners.size(); ++i)
        lines.push_back(std::string(names[i]) + "," + PackedSecondsText(corners[i].latitude_seconds) + "," +
                        PackedSecondsText(corners[i].longitude_seconds) + "," + FormatFixed(corners[i].plane.x, 4) +
                        "," + FormatFixed(corners[i].plane.y, 4));
    return lines;
}

// The vertex texts of `index`: the corners of --bbox or the points of --area.
std::vector<std::pair<std::string, std::string>> IndexVertices(const Arguments& args) {
    if (args.Has("bbox") == args.Has("area")) throw UsageError("index needs --bbox or --area");
    if (args.Has("bbox")) {
        const std::vector<std::string> f = SplitFields(args.Get("bbox", ""), 4);
        if (f.size() != 4 || f[3].empty()) throw UsageError("--bbox takes four numbers joined by commas");
        return {{f[0], f[1]}, {f[0], f[3]}, {f[2], f[3]}, {f[2], f[1]}};
    }
    PointTable table({"点名", "1", "2"});
    ImportCoordinateFile(args.Get("area", ""), FieldSplit::Fitting, args.encoding, table);
    std::vector<std::pair<std::string, std::string>> vertices;
    for (int row = 1; row < table.RowCount(); ++row)
        if (!table.Cell(1, row).empty() || !table.Cell(2, row).empty())
            vertices.push_back({table.Cell(1, row), table.Cell(2, row)});
    return vertices;
}

long RectangularScale(const std::string& text) {
    const int scale = ReadScale("scale", text);
    const long denominator = kSheetScales[static_cast<std::size_t>(scale)].denominator;
    if (!HasRectangularSheets(denominator)) throw UsageError("--rectangular takes --scale 1:500, 1:1000 or 1:2000");
    return denominator;
}

// index --rectangular: the sheets of a plane area at one or more of the plan scales.
int RunRectangularIndex(const Arguments& args) {
    if (args.Get("area-form", "plane") != "plane") throw UsageError("--rectangular takes a plane area");
    PlanePolygon polygon;
    for (const auto& [x, y] : IndexVertices(args)) polygon.push_back({TextToNumber(x), TextToNumber(y)});
    RaiseFloatingPointErrors();
    std::vector<long> denominators;
    for (const std::string& text : SplitFields(args.Get("scale", ""), 64))
        if (!text.empty()) denominators.push_back(RectangularScale(text));
    if (denominators.empty()) throw UsageError("--rectangular takes --scale 1:500, 1:1000 or 1:2000");
    std::sort(denominators.rbegin(), denominators.rend());
    std::vector<RectangularSheet> sheets;
    for (const long denominator : denominators) {
        const auto of_scale = RectangularSheetsOverlapping(denominator, polygon);
        sheets.insert(sheets.end(), of_scale.begin(), of_scale.end());
        if (sheets.size() > kMaxIndexSheets) throw CommandError(kTooManySheetsText);
    }
    SaveRectangularIndex(args.output, sheets, args.encoding);
    return 0;
}

// map-sheet --rectangular: the junction table, or with --corners the name and
// the corners' x and y.
int RunRectangular(const Arguments& args) {
    const long denominator = RectangularScale(args.Get("scale", ""));
    const bool plane = HasAny(args, {"x", "y", "xconst", "yconst"});
    if (plane == args.Has("sheet") || HasAny(args, {"lat", "lon"}))
        throw UsageError("--rectangular takes --x/--y or --sheet");
    RectangularSheet sheet{};
    if (plane) {
        const long double x = TextToNumber(args.Get("x", "0")) + TextToNumber(args.Get("xconst", "0"));
        const long double y = TextToNumber(args.Get("y", "0")) + TextToNumber(args.Get("yconst", "0"));
        RaiseFloatingPointErrors();
        sheet = RectangularSheetAt(denominator, x, y);
    } else {
        sheet = ParseRectangularSheetText(denominator, args.Get("sheet", ""));
    }
    std::vector<std::string> lines;
    if (args.Has("corners")) {
        lines.push_back(RectangularSheetText(sheet));
        const char* names[] = {"SW", "SE", "NE", "NW"};
        const auto corners = RectangularCorners(sheet);
        for (std::size_t i = 0; i < corners.size(); ++i)
            lines.push_back(std::string(names[i]) + "," + FormatFixed(corners[i].x, 4) + "," +
                            FormatFixed(corners[i].y, 4));
    } else {
        SheetJunctionTable table;
        table.fields = RectangularJunction(sheet);
        lines = TableRows(table);
    }
    WriteBoxTexts(args, lines);
    return 0;
}

int RunIndex(const Arguments& args) {
    if (HasAny(args, {"lat", "lon", "x", "y", "xconst", "yconst", "sheet", "input-form", "output-form", "corners",
                      "within", "inside"}))
        throw UsageError("index takes an area (--bbox or --area), not a point or a sheet");
    if (args.Has("rectangular")) {
        const std::string& output = args.output;
        std::string extension = output.size() >= 4 ? output.substr(output.size() - 4) : std::string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension != ".dxf" && extension != ".csv") throw UsageError("index writes -o FILE.dxf or FILE.csv");
        return RunRectangularIndex(args);
    }
    SheetIndexRequest request;
    for (const std::string& text : SplitFields(args.Get("scale", "1:10000"), 64))
        if (!text.empty()) request.scales.push_back(ReadScale("scale", text));
    const std::string& output = args.output;
    std::string extension = output.size() >= 4 ? output.substr(output.size() - 4) : std::string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != ".dxf" && extension != ".csv") throw UsageError("index writes -o FILE.dxf or FILE.csv");
    const std::string form = args.Get("area-form", "geodetic");
    if (form != "geodetic" && form != "plane")
        throw UsageError("--area-form takes geodetic or plane, not '" + form + "'");
    request.plane_area = form == "plane";
    request.six_degree_zones = SixDegreeZones(args);
    request.vertices = IndexVertices(args);
    const EllipsoidTexts texts = ReadEllipsoidOptions(args, 0);
    const EllipsoidAxes axes = ReadEllipsoid(texts.a, texts.inverse_flattening);
    request.a = axes.a;
    request.f = axes.f;
    if (args.Has("cm")) {
        request.central_meridian = DmsTextToDegrees(args.Get("cm", "0"));
        RaiseFloatingPointErrors();
    }
    SaveSheetIndex(output, MakeSheetIndex(request), args.encoding);
    return 0;
}

int RunMapSheet(const Arguments& args) {
    if (args.command) return RunIndex(args);
    if (HasAny(args, {"bbox", "area", "area-form"})) throw UsageError("--bbox, --area and --area-form belong to index");
    if (args.Has("rectangular")) return RunRectangular(args);
    const bool new_form = ReadForm(args, "output-form", "new");
    const int scale = ReadScale("scale", args.Get("scale", "1:10000"));
    const bool corners = args.Has("corners");
    const bool geodetic = HasAny(args, {"lat", "lon"});
    // The coordinate system also gives the corners' plane; only a point makes a plane input then.
    const bool plane = corners || args.Has("within") || args.Has("inside")
                           ? HasAny(args, {"x", "y", "xconst", "yconst"})
                           : HasAny(args, {"x", "y", "system", "a", "invf", "zone", "xconst", "yconst"});
    const bool sheet = HasAny(args, {"sheet", "input-form"});
    if (geodetic + plane + sheet != 1)
        throw UsageError("give one input: --lat/--lon, --x/--y (with the coordinate system), or --sheet");

    ScaledJunction found;
    std::optional<long double> plane_y;
    if (geodetic) {
        found = ScaledSheetsFromGeodetic(scale, new_form, args.Get("lon", "0"), args.Get("lat", "0"));
    } else if (plane) {
        const PlaneSheetFields fields = ReadPlaneFields(args);
        found = ScaledSheetsFromPlane(scale, new_form, fields);
        plane_y = TextToNumber(fields.y) + TextToNumber(fields.y_shift);
    } else {
        const bool input_old_form = !ReadForm(args, "input-form", "old");
        found = ScaledSheetsFromSheetNumber(scale, new_form, input_old_form, args.Get("sheet", ""));
    }

    std::vector<std::string> lines;
    if (corners || args.Has("within") || args.Has("inside")) {
        if (!found.sheet) throw CommandError(kOutsideSeriesText);
        if (corners) {
            const FramePlane frame_plane = ChosenPlane(args, plane_y, CentreLongitudeDegrees(*found.sheet));
            lines = CornerLines(*found.sheet, new_form, frame_plane);
        }
        if (args.Has("within"))
            lines.push_back(SheetText(ContainingSheet(*found.sheet, ReadScale("within", args.Get("within", ""))),
                                      new_form));
        if (args.Has("inside")) {
            const int inner = ReadScale("inside", args.Get("inside", ""));
            const std::int64_t side = kSheetScales[static_cast<std::size_t>(inner)].per_million /
                                      kSheetScales[static_cast<std::size_t>(found.sheet->scale)].per_million;
            if (inner >= found.sheet->scale && static_cast<std::size_t>(side * side) > kMaxIndexSheets)
                throw CommandError(kTooManySheetsText);
            const std::vector<MapSheet> inside = ContainedSheets(*found.sheet, inner);
            // One line per row of sheets, north first.
            for (std::size_t i = 0; i < inside.size(); i += static_cast<std::size_t>(side)) {
                std::string row;
                for (std::size_t j = 0; j < static_cast<std::size_t>(side); ++j)
                    row += (j ? "," : "") + SheetText(inside[i + j], new_form);
                lines.push_back(row);
            }
        }
    } else {
        lines = TableRows(found.table);
    }
    WriteBoxTexts(args, lines);
    return 0;
}

}  // namespace

std::vector<Tool> MapSheetTools() {
    return {{"map-sheet",
             "1:1万图幅号计算: the sheet junction table of a point or a sheet number; index: the sheets of an area",
             {"index"},
             MapSheetOptionHelp(),
             RunMapSheet,
             true}};
}

}  // namespace coordconv::cli
