// The drawing kept by the companion CAD program coordconv-cad: model space
// entities, drawing variables and layers, read from and written to ASCII DXF
// (AutoCAD 2000 format, through dxflib).
//
// Kept entity kinds: point, line, arc, circle, 2D polyline (LWPOLYLINE and
// 2D POLYLINE, with bulges), text, multiline text and hatch (solid or named
// pattern; boundaries of lines and arcs). Other entities of an opened file
// (blocks and their inserts, dimensions, splines, ...) are counted by type and
// not kept; the companion tells the user which.
#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "tools/cad/cad_automation.h"

namespace coordconv {

struct EntityAttributes {
    std::string layer = "0";
    int color = 256;  // AutoCAD colour index; 256 = by layer, 0 = by block
    std::string linetype = "BYLAYER";
};

struct PointEntity {
    CadPoint position;
};
struct LineEntity {
    CadPoint start;
    CadPoint end;
};
struct CircleEntity {
    CadPoint centre;
    double radius = 0;
};
struct ArcEntity {
    CadPoint centre;
    double radius = 0;
    double start_degrees = 0;  // counter-clockwise from the x axis
    double end_degrees = 0;
};
struct PolylineVertex {
    double x = 0;
    double y = 0;
    double bulge = 0;  // tan(included angle / 4) of the segment to the next vertex
};
struct PolylineEntity {
    std::vector<PolylineVertex> vertices;
    bool closed = false;
    double elevation = 0;
};
// Single-line text, placed by its insertion point (left end of the baseline
// for the default justification).
struct TextEntity {
    std::string text;  // UTF-8
    CadPoint insertion;
    double height = 0;
    double rotation_degrees = 0;
    double width_factor = 1;
    int horizontal_justification = 0;
    int vertical_justification = 0;
    CadPoint alignment;  // second point of justified texts
    std::string style = "Standard";
};
struct MTextEntity {
    std::string text;  // UTF-8 with the MTEXT formatting codes
    CadPoint insertion;
    double height = 0;
    double width = 0;
    int attachment_point = 1;  // 1 = top left ... 9 = bottom right
    double rotation_degrees = 0;
    double line_spacing_factor = 1;
    std::string style = "Standard";
};
struct HatchEdge {
    bool is_arc = false;
    // Line: (x1, y1) to (x2, y2). Arc: centre (x1, y1), radius, angles in degrees.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double radius = 0;
    double start_degrees = 0, end_degrees = 0;
    bool counter_clockwise = true;
};
struct HatchEntity {
    bool solid = true;
    std::string pattern = "SOLID";
    double scale = 1;
    double angle_degrees = 0;
    bool associative = false;
    double elevation = 0;  // z of the hatch's plane, that of its boundary
    std::vector<std::vector<HatchEdge>> loops;
};

using EntityShape = std::variant<PointEntity, LineEntity, CircleEntity, ArcEntity, PolylineEntity, TextEntity,
                                 MTextEntity, HatchEntity>;

struct DrawingEntity {
    EntityAttributes attributes;
    EntityShape shape;
};

struct DrawingLayer {
    std::string name;
    int color = 7;
    std::string linetype = "CONTINUOUS";
};

// A header variable and the DXF group code its value is written with.
struct DrawingVariable {
    CadValue value;
    int group_code = 40;
};

class CadDrawing {
public:
    // A new drawing: layer "0", LTSCALE 1.
    CadDrawing();

    struct Linetype {
        std::string name;
        std::string description;
        int flags = 0;
        double pattern_length = 0;
        std::vector<double> dashes;
    };
    struct TextStyle {
        std::string name;
        int flags = 0;
        double fixed_height = 0;
        double width_factor = 1;
        double oblique_angle = 0;
        int generation_flags = 0;
        double last_height = 2.5;
        std::string font_file;
        std::string big_font_file;
    };

    std::vector<DrawingEntity> entities;
    std::vector<DrawingLayer> layers;
    std::vector<Linetype> linetypes;     // besides BYBLOCK, BYLAYER and CONTINUOUS
    std::vector<TextStyle> text_styles;  // besides Standard
    // Header variables by upper-case name without "$" (LTSCALE, TEXTSIZE, ...).
    std::map<std::string, DrawingVariable> variables;
    // Entities of an opened file that are not kept, by DXF type name.
    std::map<std::string, int> skipped;

    // GetVariable semantics: names are case-blind; an unknown name fails.
    CadValue Variable(const std::string& name) const;
    // The smallest box around all entities (x0, y0, x1, y1); false when empty.
    bool Extents(double box[4]) const;
};

// The largest magnitude of a number the drawing keeps: a DXF number is
// written in fixed notation with 16 decimals, and beyond this its text would
// no longer be a number DXF readers (and the writer's buffers) take. Far
// beyond any drawing of survey coordinates.
inline constexpr double kMaxDrawingNumber = 1e15;

// True when every number of `shape` is finite and within ±kMaxDrawingNumber.
bool NumbersWritable(const EntityShape& shape);

// Reads an ASCII DXF file; a file that cannot be read or parsed fails with a
// CommandError naming it.
CadDrawing LoadDxf(const std::string& path);

// Writes the drawing as an AutoCAD 2000 ASCII DXF file (temporary file beside
// the target, renamed over it). A number the DXF cannot hold (see
// kMaxDrawingNumber) fails the save before anything is written. Non-ASCII characters of texts are written as
// \U+XXXX, which AutoCAD and the common DXF readers decode.
void SaveDxf(const CadDrawing& drawing, const std::string& path);

// The \U+XXXX escape form of a UTF-8 text, and back.
std::string EscapeDxfText(const std::string& utf8);
std::string UnescapeDxfText(const std::string& text);

}  // namespace coordconv
