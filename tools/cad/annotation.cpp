#include "tools/cad/annotation.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/gbk_length.h"
#include "core/number_text.h"
#include "core/zone_number.h"

namespace coordconv {
namespace {

// The ellipsoid, shifts and zone width as read once per start of the loop.
struct GeodeticSettings {
    long double a;
    long double f;
    long double x_shift;  // Xs, metres added to the drawing's y
    long double y_shift;  // Ys, metres added to the drawing's x
    int zone_width;       // 3 or 6 degrees
};

GeodeticSettings ReadGeodeticSettings(const GeodeticAnnotationFields& fields) {
    GeodeticSettings s{};
    const EllipsoidAxes axes = ReadEllipsoid(fields.a, fields.inverse_flattening);
    s.a = axes.a;
    s.f = axes.f;
    s.y_shift = TextToNumber(fields.y_shift);
    s.x_shift = TextToNumber(fields.x_shift);
    s.zone_width = fields.six_degree_zones ? 6 : 3;
    return s;
}

// Latitude and longitude texts of a drawing point (x easting, y northing):
// zone n, the whole millions of metres of the national easting, central
// meridian 6n - 3 (6° zones) or 3n, false easting 500000 m, then the Gauss
// inverse.
GeodeticLabel LabelOf(const GeodeticSettings& s, int second_decimals, double drawing_x, double drawing_y) {
    const long double easting = drawing_x + s.y_shift;
    const long double northing = drawing_y + s.x_shift;
    const long double zone = ZoneNumber(easting);
    const long double central_meridian = s.zone_width == 6 ? 6 * zone - 3 : 3 * zone;
    const long double y = StripZoneAndFalseEasting(easting, 500000);
    const GeodeticOffset g = GaussInverse(s.a, s.f, northing, y);
    const long double longitude = g.longitude + central_meridian;
    RaiseFloatingPointErrors();
    return {"E" + FormatDms(longitude, second_decimals), "N " + FormatDms(g.latitude, second_decimals)};
}

std::size_t CharacterCount(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

CadPoint Moved(const CadPoint& p, long double x, long double y) {
    return {static_cast<double>(x), static_cast<double>(y), p.z};
}

}  // namespace

long double GeodeticLabelWidth(const GeodeticLabel& label, long double text_height) {
    const std::size_t length = std::max(GbkByteCount(label.longitude), GbkByteCount(label.latitude));
    return 0.7L * static_cast<long double>(length) * text_height;
}

CadCommandOutcome AnnotateGeodetic(const CadAttach& attach, const GeodeticAnnotationFields& fields) {
    const int decimals = std::clamp(fields.second_decimals, 0, 6);
    const std::unique_ptr<CadAutomation> cad = attach();
    if (!cad) return CadCommandOutcome::kCadNotRunning;

    const GeodeticSettings settings = ReadGeodeticSettings(fields);
    const long double h = TextToNumber(fields.text_height);
    const long double r = TextToNumber(fields.circle_radius);

    cad->SetVisible(true);
    const CadObject document = cad->ActiveDocument();
    const CadObject model_space = cad->ModelSpace(document);
    const CadObject utility = cad->Utility(document);

    try {
        for (;;) {
            const CadPoint p = cad->GetPoint(utility, kPickPointPrompt);
            if (fields.draw_circle) {
                // A filled dot: a solid hatch bounded by a circle of radius r at P.
                const CadObject hatch = cad->AddHatch(model_space, 0, "solid", true);
                const CadObject circle = cad->AddCircle(model_space, p, static_cast<double>(r));
                cad->AppendOuterLoop(hatch, {circle});
            }
            const GeodeticLabel label = LabelOf(settings, decimals, p.x, p.y);
            const CadPoint q = cad->GetPoint(utility, p, kPickLabelPrompt);
            const long double w = GeodeticLabelWidth(label, h);
            const bool to_the_left = q.x < p.x;
            if (fields.draw_leader) {
                const long double end_x = to_the_left ? q.x - w : q.x + w;
                const CadObject leader = cad->AddLightWeightPolyLine(
                    model_space, {p.x, p.y, q.x, q.y, static_cast<double>(end_x), q.y});
                cad->Update(leader);
            }
            const long double tx = to_the_left ? q.x + 0.3L * h - w : q.x + 0.3L * h;
            const CadPoint above = Moved(p, tx, q.y + 0.3L * h);
            const CadPoint below = Moved(p, tx, q.y - 1.3L * h);
            RaiseFloatingPointErrors();
            cad->AddText(model_space, label.longitude, above, static_cast<double>(h));
            cad->AddText(model_space, label.latitude, below, static_cast<double>(h));
        }
    } catch (const std::exception&) {
        // A cancelled pick, or any failure while picking, ends the annotation.
        ClearFloatingPointFlags();
    }
    return CadCommandOutcome::kFinished;
}

CadCommandOutcome AnnotatePlane(const CadAttach& attach) {
    const std::unique_ptr<CadAutomation> cad = attach();
    if (!cad) return CadCommandOutcome::kCadNotRunning;

    cad->SetVisible(true);
    const CadObject document = cad->ActiveDocument();
    const CadObject model_space = cad->ModelSpace(document);
    const CadObject utility = cad->Utility(document);

    long double h = 4 * CadValueToNumber(cad->GetVariable(document, "LtScale"));
    const std::string answer = cad->GetString(utility, true, kTextHeightPrompt);
    // Blank answers keep the default; anything else must be a number.
    const auto is_text = [](char c) { return static_cast<unsigned char>(c) > ' '; };
    const auto first = std::find_if(answer.begin(), answer.end(), is_text);
    if (first != answer.end()) {
        const auto last = std::find_if(answer.rbegin(), answer.rend(), is_text).base();
        h = TextToNumber(std::string(first, last));
    }
    RaiseFloatingPointErrors();

    try {
        for (;;) {
            const CadPoint p = cad->GetPoint(utility, kPickPointPrompt);
            const long double px = p.x;
            const long double py = p.y;
            const std::string easting = "Y=" + FormatFixed(px, 3);
            const std::string northing = "X=" + FormatFixed(py, 3);
            const std::size_t length = std::max(CharacterCount(easting), CharacterCount(northing));
            const long double w = 0.7L * static_cast<long double>(length) * h;
            const CadPoint q = cad->GetPoint(utility, p, kPickLabelPrompt);
            const CadObject leader = cad->AddLine(model_space, p, q);
            cad->Update(leader);
            const bool to_the_left = q.x < px;
            const CadPoint shelf_end = Moved(p, to_the_left ? q.x - w : q.x + w, q.y);
            RaiseFloatingPointErrors();
            const CadObject shelf = cad->AddLine(model_space, q, shelf_end);
            cad->Update(shelf);
            const long double tx = to_the_left ? q.x - w : q.x;
            const CadPoint above = Moved(p, tx, q.y + 0.3L * h);
            const CadPoint below = Moved(p, tx, q.y - 1.3L * h);
            RaiseFloatingPointErrors();
            cad->AddText(model_space, northing, above, static_cast<double>(h));
            cad->AddText(model_space, easting, below, static_cast<double>(h));
        }
    } catch (const std::exception&) {
        // A cancelled pick, or any failure while picking, ends the annotation.
        ClearFloatingPointFlags();
    }
    return CadCommandOutcome::kFinished;
}

}  // namespace coordconv
