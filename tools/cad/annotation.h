// Annotation of picked drawing points in a running CAD program:
//   - geodetic coordinates ("CAD标注地理坐标", the geodetic annotation window's
//     "开始标注"): the
//     drawing point is shifted to national Gauss coordinates, its zone found
//     from the easting's millions, and latitude and longitude written with a
//     filled dot and an optional leader;
//   - plane coordinates ("CAD标注平面坐标", a main menu command): the
//     drawing's own y and x written as "X=" and "Y=" on a shelf line.
// The user picks a point, then a label position, until cancelling; a
// cancelled pick (or any failure while picking) ends the loop quietly and
// what was drawn stays. Failures before the first pick end the command with
// a CommandError for the common error box.
#pragma once

#include <string>

#include "core/ellipsoid.h"
#include "tools/cad/cad_automation.h"

namespace coordconv {

enum class CadCommandOutcome {
    kCadNotRunning,  // no CAD program runs (its box is the caller's); nothing was done
    kFinished,       // the picking loop ended
};

// The title of the plane annotation's box for kCadNotRunning: "坐标转换"
// without icon and with the single button OK (the windows' commands show
// their own box).
inline constexpr const char* kPlaneAnnotationTitle = "坐标转换";

inline constexpr const char* kPickPointPrompt = "请点取坐标点位:";
inline constexpr const char* kPickLabelPrompt = "请点取标注位置:";
inline constexpr const char* kTextHeightPrompt = "注记字高:";

// The fields of the geodetic annotation as "开始标注" reads them, with the
// defaults of a first run (the window fills a and 1/f from preset 0 when shown).
struct GeodeticAnnotationFields {
    std::string a = kCoordinateSystemPresets[0].semi_major_axis_text;                      // semi-major axis, metres
    std::string inverse_flattening = kCoordinateSystemPresets[0].inverse_flattening_text;  // 1/f
    bool six_degree_zones = false;     // 6° zones ("6度带"), else 3° zones
    std::string x_shift = "0";         // added to the drawing's y (northing)
    std::string y_shift = "0";         // added to the drawing's x (easting)
    std::string text_height = "6";     // label text height, drawing units
    std::string circle_radius = "2.4"; // radius of the point's dot, drawing units
    int second_decimals = 0;           // decimals of the seconds, 0..6
    bool draw_circle = true;           // draw the dot ("标注园点")
    bool draw_leader = false;          // draw the leader ("标注引线")
};

// The label of one annotated point: longitude above, latitude below.
struct GeodeticLabel {
    std::string longitude;  // "E" + FormatDms(L, d)
    std::string latitude;   // "N " + FormatDms(B, d)
};

// The width of a two-line label: 0.7 * h per character of the longer line,
// characters counted as bytes of the GBK code page (the marks ° ′ ″ count 2).
long double GeodeticLabelWidth(const GeodeticLabel& label, long double text_height);

// The geodetic annotation's picking loop ("开始标注"): each picked drawing
// point, shifted into the national Gauss zone its easting's millions name
// (6n - 3 or 3n, false easting 500000 m), labelled with its latitude and
// longitude on the ellipsoid of `fields`.
CadCommandOutcome AnnotateGeodetic(const CadAttach& attach, const GeodeticAnnotationFields& fields);

// The plane annotation's picking loop: text height asked at the CAD command line
// (default 4 * LtScale), then "X=" and "Y=" labels on shelf lines.
CadCommandOutcome AnnotatePlane(const CadAttach& attach);

}  // namespace coordconv
