// Whole CAD drawings (ASCII DXF, R12 to R2018) through a tool's plane
// conversion, as a stream of group-code/value pairs.
//
// Only the values that hold converted geometry are rewritten; every other
// line (handles, layers, styles, texts in any code page, comments, XDATA,
// extension dictionaries, the OBJECTS section, unknown entities) is copied
// byte for byte, and a value whose number does not change keeps its text, so
// the identity conversion gives the input back unchanged. New numbers are
// written with the shortest text that reads back as the same double.
//
// Axes: in the drawing X is the easting (the program's y) and Y the northing
// (the program's x); `swap_xy` takes a drawing drawn the other way. The
// drawing's z is its elevation: it is kept and enters the conversion as H.
//
// Model space and the anonymous dimension blocks (*D...) are converted point
// by point; angles, text heights, radii and block scales follow the local
// similarity (rotation and scale) of the conversion at the entity's anchor
// point (insertion point, centre). Circles and arcs stay circles and arcs:
// centre converted, radius and angles by the similarity at the centre; the
// summary keeps the largest distance of a sampled point of such a curve from
// its exactly converted position. Block definitions stay in their own
// coordinates (inserts are converted), paper space is not converted (but the
// model-space view centres of its viewports are). ACIS entities, proxies,
// entity types without rules and entities whose extrusion is not +Z or -Z
// are left as they were and listed.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/point_conversion.h"

namespace coordconv {

struct DxfConversionOptions {
    bool swap_xy = false;
    // Called now and then with the share of the input read (0..1); returning
    // false cancels the conversion (CommandError kDxfCancelledText, no file).
    std::function<bool(double)> progress;
};

inline constexpr const char* kDxfCancelledText = "图形转换已取消";

struct DxfExtents {
    bool empty = true;
    double min_x = 0, min_y = 0, max_x = 0, max_y = 0;  // drawing X, Y
    void Add(double x, double y);
};

struct DxfLeftEntity {
    std::string type;
    std::string handle;
    std::string reason;
};

struct DxfSummary {
    std::map<std::string, long> converted;  // entity type -> count
    std::vector<DxfLeftEntity> left;
    long arcs = 0;                           // circles, arcs, ellipses and hatch arc edges measured
    double largest_arc_deviation_mm = 0;     // largest sampled distance from the exact conversion
    DxfExtents before;                       // of the converted points, drawing units
    DxfExtents after;
};

// True when the file name ends in .dxf (any case).
bool IsDxfPath(const std::string& path);

// Converts `input` into `output` (written through the safe writer: the
// target appears only when the whole drawing converted). Raises CommandError
// for a DWG file, a binary DXF, a conversion that is not plane to plane, a
// drawing point that is not a plane point of the conversion's source, a
// value that is not a number, a floating-point fault, or a cancel.
DxfSummary ConvertDxfFile(const std::string& input, const std::string& output, const PointConversion& conversion,
                          const DxfConversionOptions& options = {});

// The summary as lines of text (UTF-8), and as a JSON object.
std::string DxfSummaryText(const DxfSummary& summary);
std::string DxfSummaryJson(const DxfSummary& summary);

}  // namespace coordconv
