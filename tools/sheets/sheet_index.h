// The sheet index (接合表) of an area: every sheet of a scale that overlaps a
// polygon given in latitude and longitude or in Gauss plane coordinates, its
// list with the corners (CSV) and its drawing (DXF).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "table/text_codec.h"

#include "tools/sheets/map_sheet.h"
#include "tools/sheets/sheet_grid.h"

namespace coordconv {

// The most sheets one index lists.
inline constexpr std::size_t kMaxIndexSheets = 20000;
inline constexpr const char* kTooFewVerticesText = "区域至少要有三个顶点";
inline constexpr const char* kTooManySheetsText = "区域内图幅超过20000幅，请缩小区域或选用较小的比例尺";

// Vertices (x northing, y easting with the plane's y constant) in metres.
using PlanePolygon = std::vector<PlanePoint>;
// Vertices in arc seconds; edges are straight in latitude and longitude.
using GeodeticPolygon = std::vector<SheetPoint>;

// The plane polygon as a latitude-longitude polygon: every edge followed in
// steps of at most 50 m and each step point taken back through the Gauss
// inverse on `plane`, so the outline stays within a millimetre of the
// straight plane edge.
GeodeticPolygon GeodeticOutline(const PlanePolygon& polygon, const FramePlane& plane);

// The sheets of `scale` whose area overlaps the polygon's (sheets that only
// touch its outline are left out), from the north-west row by row. The
// polygon is simple, has at least three vertices, lies between the equator
// and 88° N and does not cross the 180° meridian (its longitudes are taken
// as they are, in −180°..180°). Fails with kTooManySheetsText beyond
// kMaxIndexSheets candidates.
std::vector<MapSheet> SheetsOverlapping(int scale, const GeodeticPolygon& polygon);

// Area of the part of a polygon inside an axis-aligned rectangle (latitude
// between south and north, longitude between west and east), in the square
// of the polygon's unit; the polygon is simple and may be concave.
long double OverlapArea(const GeodeticPolygon& polygon, const SheetBounds& rectangle);
// The part of a polygon between two latitudes, as a ring (empty or degenerate
// when they do not meet); OverlapArea of it equals that of the polygon for
// every rectangle of that band.
GeodeticPolygon ClipToLatitudes(const GeodeticPolygon& polygon, long double south, long double north);

// A sheet's frame on the plane: the corners and, along each edge, evenly
// spaced points at most 1' of arc apart (at most 32 steps an edge), so that
// the curved images of the meridians and parallels stay within about 0.15 m
// of the polyline down to 1:100,000 and within a few metres on the sheets of
// 1:250,000 to 1:1,000,000; closed
// from the last point back to the first, starting at the south-west corner and
// running anticlockwise (south edge first). Neighbouring frames of one scale
// share their edge points exactly.
PlanePolygon SheetFrame(const MapSheet& sheet, const FramePlane& plane);

// The list of the sheets: a title line, then per sheet the new number, the
// old number (empty where none), the scale, and for the corners south-west,
// south-east, north-east, north-west B and L (packed ddd.mmss) and x and y
// (metres, 4 decimals). Lines end with "\n".
std::string SheetListText(const std::vector<MapSheet>& sheets, const FramePlane& plane);

// One frame of an index drawing: its layer, its outline (x northing, y
// easting, closed back to the first point) and the label centred in it.
struct IndexFrame {
    std::string layer;
    PlanePolygon outline;
    std::string label;
};
// The DXF text (AutoCAD R12, in metres) of the frames: a layer table of the
// frames' layers, each frame a closed polyline (drawing X the easting y,
// drawing Y the northing x) and its label centred in it, at a tenth of the
// frame's height or less, so that it fits across.
std::string IndexDrawingText(const std::vector<IndexFrame>& frames);

// The index drawing as DXF text (AutoCAD R12, in metres): per scale a layer
// "TK_<denominator>" holding each frame as a closed polyline (drawing X the
// easting y, drawing Y the northing x) and its new number centred in it, at a
// height of a tenth of the frame's smaller side or less, so that it fits.
std::string SheetIndexDrawing(const std::vector<MapSheet>& sheets, const FramePlane& plane);

// An index as the window and coordconv-cli make it: the area's vertices as
// texts (B, L packed ddd.mmss, or plane x, y with the zone number in y), the
// scales, and the plane of the frames: `central_meridian` (degrees) when
// given, with y constant 500000; otherwise the zone (3° or 6°) of the first
// vertex's y for a plane area, of the area's middle longitude for a
// geodetic one.
struct SheetIndexRequest {
    std::vector<int> scales;
    bool plane_area = false;
    std::vector<std::pair<std::string, std::string>> vertices;
    long double a = 0;
    long double f = 0;
    bool six_degree_zones = false;
    std::optional<long double> central_meridian;
};
struct SheetIndex {
    std::vector<MapSheet> sheets;  // smallest scale first, each from the north-west
    FramePlane plane;
};
SheetIndex MakeSheetIndex(const SheetIndexRequest& request);

// Writes the index: a list (CSV, `encoding`, CR LF) when `path` ends in
// ".csv" (any case), otherwise the DXF drawing.
void SaveSheetIndex(const std::string& path, const SheetIndex& index, FileEncoding encoding);

}  // namespace coordconv
