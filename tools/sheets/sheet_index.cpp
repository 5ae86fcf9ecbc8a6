#include "tools/sheets/sheet_index.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"
#include "table/coordinate_file.h"
#include "table/safe_file.h"

namespace coordconv {
namespace {

constexpr long double kPlaneStepMetres = 50;
constexpr long double kFrameStepSeconds = 60;  // 1'

// Twice the signed area of a ring of (latitude, longitude) points.
long double TwiceArea(const std::vector<SheetPoint>& ring) {
    long double sum = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const SheetPoint& p = ring[i];
        const SheetPoint& q = ring[(i + 1) % ring.size()];
        sum += p.longitude * q.latitude - q.longitude * p.latitude;
    }
    return sum;
}

// Sutherland-Hodgman: the part of `ring` on the inner side of one edge of an
// axis-aligned rectangle. `inside` tells a point's side, `cut` the crossing
// of a segment with the edge's line.
template <typename Inside, typename Cut>
std::vector<SheetPoint> ClipEdge(const std::vector<SheetPoint>& ring, Inside inside, Cut cut) {
    std::vector<SheetPoint> out;
    out.reserve(ring.size() + 4);
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const SheetPoint& p = ring[i];
        const SheetPoint& q = ring[(i + 1) % ring.size()];
        const bool p_in = inside(p);
        const bool q_in = inside(q);
        if (p_in) out.push_back(p);
        if (p_in != q_in) out.push_back(cut(p, q));
    }
    return out;
}

}  // namespace

namespace {

SheetPoint AtLatitude(const SheetPoint& p, const SheetPoint& q, long double latitude) {
    const long double t = (latitude - p.latitude) / (q.latitude - p.latitude);
    return {latitude, p.longitude + t * (q.longitude - p.longitude)};
}

SheetPoint AtLongitude(const SheetPoint& p, const SheetPoint& q, long double longitude) {
    const long double t = (longitude - p.longitude) / (q.longitude - p.longitude);
    return {p.latitude + t * (q.latitude - p.latitude), longitude};
}

}  // namespace

// A band and a rectangle are convex, so clipping a simple polygon against
// their edges in turn leaves a ring whose area is that of the overlap.
GeodeticPolygon ClipToLatitudes(const GeodeticPolygon& polygon, long double south, long double north) {
    GeodeticPolygon ring = ClipEdge(
        polygon, [&](const SheetPoint& p) { return p.latitude >= south; },
        [&](const SheetPoint& p, const SheetPoint& q) { return AtLatitude(p, q, south); });
    return ClipEdge(
        ring, [&](const SheetPoint& p) { return p.latitude <= north; },
        [&](const SheetPoint& p, const SheetPoint& q) { return AtLatitude(p, q, north); });
}

long double OverlapArea(const GeodeticPolygon& polygon, const SheetBounds& b) {
    GeodeticPolygon ring = ClipToLatitudes(polygon, b.south, b.north);
    ring = ClipEdge(
        ring, [&](const SheetPoint& p) { return p.longitude >= b.west; },
        [&](const SheetPoint& p, const SheetPoint& q) { return AtLongitude(p, q, b.west); });
    ring = ClipEdge(
        ring, [&](const SheetPoint& p) { return p.longitude <= b.east; },
        [&](const SheetPoint& p, const SheetPoint& q) { return AtLongitude(p, q, b.east); });
    return ring.size() < 3 ? 0 : std::fabs(TwiceArea(ring)) / 2;
}

namespace {

// A packed ddd.mmss text in arc seconds, read as the latitude and longitude
// boxes read theirs.
long double PackedTextSeconds(const std::string& text) { return PackedAngleSeconds(TextToNumber(text)); }

std::string Fixed4(long double value) { return FormatFixed(value, 4); }

// The edge points of a frame per edge: steps of at most 1', and no more than
// 32 along an edge of the largest sheets, whose drawings need no finer line.
int Steps(long double seconds) {
    return std::clamp(static_cast<int>(std::ceil(seconds / kFrameStepSeconds)), 1, 32);
}

void DxfPair(std::string& out, int code, const std::string& value) {
    out += std::to_string(code);
    out += "\r\n";
    out += value;
    out += "\r\n";
}


}  // namespace

GeodeticPolygon GeodeticOutline(const PlanePolygon& polygon, const FramePlane& plane) {
    GeodeticPolygon outline;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const PlanePoint& p = polygon[i];
        const PlanePoint& q = polygon[(i + 1) % polygon.size()];
        const long double length = std::hypot(q.x - p.x, q.y - p.y);
        const long double steps = std::max(1.0L, std::ceil(length / kPlaneStepMetres));
        for (long double k = 0; k < steps; ++k) {
            const long double x = p.x + (q.x - p.x) * k / steps;
            const long double y = p.y + (q.y - p.y) * k / steps;
            const GeodeticOffset g = GaussInverse(plane.ellipsoid, x, y - plane.y_constant);
            outline.push_back({g.latitude * 3600, (g.longitude + plane.central_meridian) * 3600});
        }
    }
    RaiseFloatingPointErrors();
    return outline;
}

std::vector<MapSheet> SheetsOverlapping(int scale, const GeodeticPolygon& polygon) {
    if (polygon.size() < 3) throw CommandError(kTooFewVerticesText);
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(scale)];
    long double south = polygon[0].latitude, north = south, west = polygon[0].longitude, east = west;
    for (const SheetPoint& p : polygon) {
        if (!std::isfinite(p.latitude) || !std::isfinite(p.longitude)) throw CommandError(kInvalidOperationText);
        south = std::min(south, p.latitude);
        north = std::max(north, p.latitude);
        west = std::min(west, p.longitude);
        east = std::max(east, p.longitude);
    }
    if (south < 0 || north > kMillionRows * 14400.0L) throw CommandError(kOutsideSeriesText);
    // Rows and columns of the polygon's bounding box, columns counted from
    // 180° W without wrapping (the polygon lies within one turn).
    const auto first_row = static_cast<std::int64_t>(std::floor(south / s.latitude_seconds));
    const auto last_row = static_cast<std::int64_t>(std::ceil(north / s.latitude_seconds)) - 1;
    const auto first_column = static_cast<std::int64_t>(std::floor((west + 648000) / s.longitude_seconds));
    const auto last_column = static_cast<std::int64_t>(std::ceil((east + 648000) / s.longitude_seconds)) - 1;
    const long double candidates = static_cast<long double>(last_row - first_row + 1) *
                                   static_cast<long double>(last_column - first_column + 1);
    if (candidates > kMaxIndexSheets) throw CommandError(kTooManySheetsText);
    const std::int64_t columns_in_series = std::int64_t{kMillionColumns} * s.per_million;
    const long double sheet_area = s.latitude_seconds * s.longitude_seconds;
    std::vector<MapSheet> sheets;
    for (std::int64_t row = last_row; row >= first_row; --row) {
        const long double sheet_south = static_cast<long double>(row) * s.latitude_seconds;
        const long double sheet_north = sheet_south + s.latitude_seconds;
        // The row's band first: each sheet then clips only the band's few vertices.
        const GeodeticPolygon band = ClipToLatitudes(polygon, sheet_south, sheet_north);
        if (band.size() < 3) continue;
        for (std::int64_t column = first_column; column <= last_column; ++column) {
            const long double sheet_west = static_cast<long double>(column) * s.longitude_seconds - 648000;
            const SheetBounds bounds{sheet_south, sheet_north, sheet_west, sheet_west + s.longitude_seconds};
            // A sliver below a millionth of the sheet is a shared outline, not an overlap.
            if (OverlapArea(band, bounds) > sheet_area * 1e-6L)
                sheets.push_back({scale, row, ((column % columns_in_series) + columns_in_series) % columns_in_series});
        }
    }
    return sheets;
}

PlanePolygon SheetFrame(const MapSheet& sheet, const FramePlane& plane) {
    const SheetScale& s = kSheetScales[static_cast<std::size_t>(sheet.scale)];
    const SheetBounds b = BoundsOf(sheet);
    const int across = Steps(s.longitude_seconds);
    const int up = Steps(s.latitude_seconds);
    // The same parameter values for an edge seen from either of its sheets.
    const auto longitude_at = [&](int k) { return b.west + s.longitude_seconds * k / across; };
    const auto latitude_at = [&](int k) { return b.south + s.latitude_seconds * k / up; };
    PlanePolygon frame;
    for (int k = 0; k < across; ++k) frame.push_back(FramePoint(plane, b.south, longitude_at(k)));
    for (int k = 0; k < up; ++k) frame.push_back(FramePoint(plane, latitude_at(k), b.east));
    for (int k = across; k > 0; --k) frame.push_back(FramePoint(plane, b.north, longitude_at(k)));
    for (int k = up; k > 0; --k) frame.push_back(FramePoint(plane, latitude_at(k), b.west));
    RaiseFloatingPointErrors();
    return frame;
}

std::string SheetListText(const std::vector<MapSheet>& sheets, const FramePlane& plane) {
    std::string text = "图幅号,旧图幅号,比例尺";
    for (const char* corner : {"西南", "东南", "东北", "西北"})
        for (const char* field : {"B", "L", "x", "y"}) text += std::string(",") + corner + "角" + field;
    text += "\n";
    for (const MapSheet& sheet : sheets) {
        text += NewSheetText(sheet) + "," + OldSheetText(sheet).value_or("") + "," +
                kSheetScales[static_cast<std::size_t>(sheet.scale)].name;
        for (const SheetCorner& c : SheetCorners(sheet, plane))
            text += "," + PackedSecondsText(c.latitude_seconds) + "," + PackedSecondsText(c.longitude_seconds) + "," +
                    Fixed4(c.plane.x) + "," + Fixed4(c.plane.y);
        text += "\n";
    }
    RaiseFloatingPointErrors();
    return text;
}

std::string IndexDrawingText(const std::vector<IndexFrame>& frames) {
    std::string out;
    DxfPair(out, 0, "SECTION");
    DxfPair(out, 2, "HEADER");
    DxfPair(out, 9, "$ACADVER");
    DxfPair(out, 1, "AC1009");
    DxfPair(out, 0, "ENDSEC");

    std::vector<std::string> layers;  // in the order the frames bring them
    for (const IndexFrame& frame : frames)
        if (std::find(layers.begin(), layers.end(), frame.layer) == layers.end()) layers.push_back(frame.layer);
    DxfPair(out, 0, "SECTION");
    DxfPair(out, 2, "TABLES");
    DxfPair(out, 0, "TABLE");
    DxfPair(out, 2, "LTYPE");
    DxfPair(out, 70, "1");
    DxfPair(out, 0, "LTYPE");
    DxfPair(out, 2, "CONTINUOUS");
    DxfPair(out, 70, "0");
    DxfPair(out, 3, "Solid line");
    DxfPair(out, 72, "65");
    DxfPair(out, 73, "0");
    DxfPair(out, 40, "0.0");
    DxfPair(out, 0, "ENDTAB");
    DxfPair(out, 0, "TABLE");
    DxfPair(out, 2, "LAYER");
    DxfPair(out, 70, std::to_string(layers.size()));
    int colour = 1;
    for (const std::string& name : layers) {
        DxfPair(out, 0, "LAYER");
        DxfPair(out, 2, name);
        DxfPair(out, 70, "0");
        DxfPair(out, 62, std::to_string(colour));
        DxfPair(out, 6, "CONTINUOUS");
        colour = colour % 6 + 1;
    }
    DxfPair(out, 0, "ENDTAB");
    DxfPair(out, 0, "ENDSEC");

    DxfPair(out, 0, "SECTION");
    DxfPair(out, 2, "ENTITIES");
    for (const IndexFrame& frame : frames) {
        DxfPair(out, 0, "POLYLINE");
        DxfPair(out, 8, frame.layer);
        DxfPair(out, 66, "1");
        DxfPair(out, 10, "0.0");
        DxfPair(out, 20, "0.0");
        DxfPair(out, 30, "0.0");
        DxfPair(out, 70, "1");  // closed
        long double west = frame.outline[0].y, east = west, south = frame.outline[0].x, north = south;
        for (const PlanePoint& p : frame.outline) {
            DxfPair(out, 0, "VERTEX");
            DxfPair(out, 8, frame.layer);
            DxfPair(out, 10, Fixed4(p.y));
            DxfPair(out, 20, Fixed4(p.x));
            DxfPair(out, 30, "0.0");
            west = std::min(west, p.y);
            east = std::max(east, p.y);
            south = std::min(south, p.x);
            north = std::max(north, p.x);
        }
        DxfPair(out, 0, "SEQEND");
        DxfPair(out, 8, frame.layer);

        // The label in the middle of the frame, at a tenth of its height,
        // narrowed so that its characters (about 0.8 of the height wide each)
        // take at most three quarters of the width.
        const long double width = east - west;
        const long double height = north - south;
        const long double text_height =
            std::min(height / 10, width * 0.75L / (0.8L * static_cast<long double>(frame.label.size())));
        const std::string centre_x = Fixed4((west + east) / 2);
        const std::string centre_y = Fixed4((south + north) / 2);
        DxfPair(out, 0, "TEXT");
        DxfPair(out, 8, frame.layer);
        DxfPair(out, 10, centre_x);
        DxfPair(out, 20, centre_y);
        DxfPair(out, 30, "0.0");
        DxfPair(out, 40, Fixed4(text_height));
        DxfPair(out, 1, frame.label);
        DxfPair(out, 72, "1");  // centred
        DxfPair(out, 11, centre_x);
        DxfPair(out, 21, centre_y);
        DxfPair(out, 31, "0.0");
        DxfPair(out, 73, "2");  // middle
    }
    DxfPair(out, 0, "ENDSEC");
    DxfPair(out, 0, "EOF");
    RaiseFloatingPointErrors();
    return out;
}

std::string SheetIndexDrawing(const std::vector<MapSheet>& sheets, const FramePlane& plane) {
    std::vector<IndexFrame> frames;
    frames.reserve(sheets.size());
    for (const MapSheet& sheet : sheets)
        frames.push_back({"TK_" + std::to_string(kSheetScales[static_cast<std::size_t>(sheet.scale)].denominator),
                          SheetFrame(sheet, plane), NewSheetText(sheet)});
    return IndexDrawingText(frames);
}

SheetIndex MakeSheetIndex(const SheetIndexRequest& request) {
    if (request.vertices.size() < 3) throw CommandError(kTooFewVerticesText);
    SheetIndex index{};
    GeodeticPolygon outline;
    if (request.plane_area) {
        PlanePolygon polygon;
        for (const auto& [x, y] : request.vertices) polygon.push_back({TextToNumber(x), TextToNumber(y)});
        RaiseFloatingPointErrors();
        index.plane = request.central_meridian
                          ? FramePlane{MakeGaussKrugerEllipsoid(request.a, request.f), *request.central_meridian, 500000}
                          : NumberedZonePlane(request.a, request.f, request.six_degree_zones, polygon[0].y);
        outline = GeodeticOutline(polygon, index.plane);
    } else {
        for (const auto& [b, l] : request.vertices)
            outline.push_back({PackedTextSeconds(b), PackedTextSeconds(l)});
        RaiseFloatingPointErrors();
        long double west = outline[0].longitude, east = west;
        for (const SheetPoint& p : outline) west = std::min(west, p.longitude), east = std::max(east, p.longitude);
        index.plane = request.central_meridian
                          ? FramePlane{MakeGaussKrugerEllipsoid(request.a, request.f), *request.central_meridian, 500000}
                          : ZonePlane(request.a, request.f, request.six_degree_zones, (west + east) / 2 / 3600);
    }
    std::vector<int> scales = request.scales;
    std::sort(scales.begin(), scales.end());
    for (const int scale : scales) {
        const std::vector<MapSheet> sheets = SheetsOverlapping(scale, outline);
        index.sheets.insert(index.sheets.end(), sheets.begin(), sheets.end());
        if (index.sheets.size() > kMaxIndexSheets) throw CommandError(kTooManySheetsText);
    }
    RaiseFloatingPointErrors();
    return index;
}

void SaveSheetIndex(const std::string& path, const SheetIndex& index, FileEncoding encoding) {
    std::string extension = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".csv") {
        SaveTextLines(path, encoding, SheetListText(index.sheets, index.plane));
        return;
    }
    const std::string drawing = SheetIndexDrawing(index.sheets, index.plane);
    SafeFileWriter file(path);
    file.Write(drawing);
    file.Commit();
}

}  // namespace coordconv
