#include "companion/cad_drawing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <set>

#include <QFile>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include "table/safe_file.h"
#include "table/text_codec.h"

namespace coordconv {
namespace {

// A number the DXF writer can put down as a number (see kMaxDrawingNumber).
bool Writable(double value) { return std::isfinite(value) && std::fabs(value) <= kMaxDrawingNumber; }
bool Writable(const CadPoint& p) { return Writable(p.x) && Writable(p.y) && Writable(p.z); }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

constexpr double kPiDouble = 3.14159265358979323846;

// Entity types the drawing keeps; every other type of the ENTITIES section
// is counted as skipped.
const std::set<std::string> kKeptTypes = {"POINT", "LINE", "CIRCLE", "ARC", "LWPOLYLINE",
                                          "POLYLINE", "TEXT", "MTEXT", "HATCH"};

class Reader : public DL_CreationAdapter {
public:
    explicit Reader(CadDrawing& drawing) : drawing_(drawing) {}

    void processCodeValuePair(unsigned int code, const std::string& value) override {
        if (code == 0) {
            last_zero_ = value;
            if (value == "ENDSEC" || value == "EOF") {
                section_.clear();
            } else if (section_ == "ENTITIES" && value != "SEQEND" && value != "VERTEX" && kKeptTypes.count(value) == 0) {
                ++drawing_.skipped[value];
            }
        } else if (code == 2 && last_zero_ == "SECTION") {
            section_ = value;
        }
    }

    void setVariableString(const std::string& key, const std::string& value, int code) override {
        if (Upper(key) == "$DWGCODEPAGE") code_page_ = Upper(value);
        StoreVariable(key, value, code);
    }
    void setVariableInt(const std::string& key, int value, int code) override {
        StoreVariable(key, static_cast<std::int32_t>(value), code);
    }
    void setVariableDouble(const std::string& key, double value, int code) override { StoreVariable(key, value, code); }

    void addLayer(const DL_LayerData& data) override {
        DrawingLayer layer{Text(data.name), attributes.getColor(), attributes.getLinetype()};
        // A layer that is off keeps its colour negated.
        if (data.off && layer.color > 0) layer.color = -layer.color;
        auto same = std::find_if(drawing_.layers.begin(), drawing_.layers.end(),
                                 [&](const DrawingLayer& l) { return Upper(l.name) == Upper(layer.name); });
        if (same != drawing_.layers.end()) {
            *same = layer;
        } else {
            drawing_.layers.push_back(layer);
        }
    }
    void addLinetype(const DL_LinetypeData& data) override {
        drawing_.linetypes.push_back({data.name, data.description, data.flags, data.patternLength, {}});
    }
    void addLinetypeDash(double length) override {
        if (!drawing_.linetypes.empty()) drawing_.linetypes.back().dashes.push_back(length);
    }
    void addTextStyle(const DL_StyleData& data) override {
        drawing_.text_styles.push_back({data.name, data.flags, data.fixedTextHeight, data.widthFactor,
                                        data.obliqueAngle, data.textGenerationFlags, data.lastHeightUsed,
                                        data.primaryFontFile, data.bigFontFile});
    }

    void addBlock(const DL_BlockData& data) override {
        in_block_ = true;
        block_name_ = data.name;
    }
    void endBlock() override { in_block_ = false; }

    void addPoint(const DL_PointData& d) override { Add(PointEntity{{d.x, d.y, d.z}}, "POINT"); }
    void addLine(const DL_LineData& d) override { Add(LineEntity{{d.x1, d.y1, d.z1}, {d.x2, d.y2, d.z2}}, "LINE"); }
    void addCircle(const DL_CircleData& d) override { Add(CircleEntity{{d.cx, d.cy, d.cz}, d.radius}, "CIRCLE"); }
    void addArc(const DL_ArcData& d) override {
        Add(ArcEntity{{d.cx, d.cy, d.cz}, d.radius, d.angle1, d.angle2}, "ARC");
    }
    void addPolyline(const DL_PolylineData& d) override {
        polyline_open_ = false;
        // 3D polylines and meshes are not plane figures of model space.
        if (d.flags & (8 | 16 | 64)) {
            if (!in_block_ && !attributes.isInPaperSpace()) ++drawing_.skipped["POLYLINE (3D)"];
            return;
        }
        PolylineEntity polyline;
        polyline.closed = (d.flags & 1) != 0;
        polyline.elevation = d.elevation;
        polyline_open_ = Add(polyline, "POLYLINE");
    }
    void addVertex(const DL_VertexData& d) override {
        if (!polyline_open_) return;
        std::get<PolylineEntity>(drawing_.entities.back().shape).vertices.push_back({d.x, d.y, d.bulge});
    }
    void addText(const DL_TextData& d) override {
        TextEntity text;
        text.text = Text(d.text);
        text.insertion = {d.ipx, d.ipy, d.ipz};
        // A text without its second alignment point (left-justified) reads
        // it as "not a number": it is the insertion point then.
        text.alignment = std::isnan(d.apx) || std::isnan(d.apy) ? text.insertion : CadPoint{d.apx, d.apy, d.apz};
        if (std::isnan(text.alignment.z)) text.alignment.z = text.insertion.z;
        text.height = d.height;
        text.rotation_degrees = d.angle * 180 / kPiDouble;
        text.width_factor = d.xScaleFactor;
        text.horizontal_justification = d.hJustification;
        text.vertical_justification = d.vJustification;
        text.style = d.style;
        Add(text, "TEXT");
    }
    void addMTextChunk(const std::string& chunk) override { mtext_chunks_ += chunk; }
    void addMText(const DL_MTextData& d) override {
        MTextEntity text;
        text.text = Text(mtext_chunks_ + d.text);
        mtext_chunks_.clear();
        text.insertion = {d.ipx, d.ipy, d.ipz};
        text.height = d.height;
        text.width = d.width;
        text.attachment_point = d.attachmentPoint;
        text.rotation_degrees = d.angle * 180 / kPiDouble;
        text.line_spacing_factor = d.lineSpacingFactor;
        text.style = d.style;
        Add(text, "MTEXT");
    }
    void addHatch(const DL_HatchData& d) override {
        HatchEntity hatch;
        hatch.solid = d.solid;
        hatch.pattern = d.pattern;
        hatch.scale = d.scale;
        hatch.angle_degrees = d.angle;
        hatch_open_ = Add(hatch, "HATCH");
    }
    void addHatchLoop(const DL_HatchLoopData&) override {
        if (hatch_open_) std::get<HatchEntity>(drawing_.entities.back().shape).loops.emplace_back();
    }
    void addHatchEdge(const DL_HatchEdgeData& d) override {
        if (!hatch_open_) return;
        auto& hatch = std::get<HatchEntity>(drawing_.entities.back().shape);
        if (hatch.loops.empty()) hatch.loops.emplace_back();
        HatchEdge edge;
        if (d.type == 1) {
            edge = {false, d.x1, d.y1, d.x2, d.y2, 0, 0, 0, true};
        } else if (d.type == 2) {
            edge.is_arc = true;
            edge.x1 = d.cx;
            edge.y1 = d.cy;
            edge.radius = d.radius;
            edge.start_degrees = d.angle1 * 180 / kPiDouble;
            edge.end_degrees = d.angle2 * 180 / kPiDouble;
            edge.counter_clockwise = d.ccw;
        } else {
            // Elliptic and spline edges are not kept: the hatch goes with them.
            drawing_.entities.pop_back();
            hatch_open_ = false;
            ++drawing_.skipped["HATCH (curved boundary)"];
            return;
        }
        hatch.loops.back().push_back(edge);
    }

    // Strings of the file: \U+XXXX escapes, then the file's code page.
    std::string Text(const std::string& raw) const {
        std::string text = raw;
        if (!IsValidUtf8(text)) {
            if (code_page_ == "ANSI_1252") {
                std::string latin;
                for (const char c : text) AppendUtf8(latin, static_cast<unsigned char>(c));
                text = latin;
            } else {
                text = DecodeFileText(text, FileEncoding::Gbk);
            }
        }
        return UnescapeDxfText(text);
    }

private:
    // Adds a model space entity; blocks' contents and paper space are not kept.
    bool Add(EntityShape shape, const char* type) {
        if (in_block_) return false;
        if (attributes.isInPaperSpace()) {
            ++drawing_.skipped[std::string(type) + " (paper space)"];
            return false;
        }
        if (!NumbersWritable(shape)) {
            ++drawing_.skipped[std::string(type) + " (number out of range)"];
            return false;
        }
        EntityAttributes kept;
        kept.layer = Text(attributes.getLayer().empty() ? "0" : attributes.getLayer());
        kept.color = attributes.getColor();
        kept.linetype = attributes.getLinetype();
        drawing_.entities.push_back({kept, std::move(shape)});
        return true;
    }

    void StoreVariable(const std::string& key, CadValue value, int code) {
        const std::string name = Upper(key.size() > 1 && key[0] == '$' ? key.substr(1) : key);
        if (const auto* real = std::get_if<double>(&value); real != nullptr && !Writable(*real)) return;
        drawing_.variables[name] = {std::move(value), code};
    }

    CadDrawing& drawing_;
    std::string last_zero_;
    std::string section_;
    std::string code_page_;
    std::string mtext_chunks_;
    std::string block_name_;
    bool in_block_ = false;
    bool polyline_open_ = false;
    bool hatch_open_ = false;
};

// Header variables that the writer sets itself.
const std::set<std::string> kWrittenByWriter = {"ACADVER", "HANDSEED", "DWGCODEPAGE"};

DL_Attributes WriteAttributes(const EntityAttributes& a) {
    return DL_Attributes(EscapeDxfText(a.layer), a.color, -1, a.linetype, 1.0);
}

// The head of a HATCH entity (AutoCAD 2000 form), as the DXF library writes
// it but with the hatch's elevation: a dot's hatch lies in the plane of its
// circle, not at z = 0. The hatch is written non-associative (71 = 0): an
// associative one would have to name its boundary objects' handles.
void WriteHatchStart(DL_WriterA& dw, const DL_HatchData& data, double elevation, const DL_Attributes& attributes) {
    dw.entity("HATCH");
    dw.dxfString(100, "AcDbEntity");
    dw.entityAttributes(attributes);
    dw.dxfString(100, "AcDbHatch");
    dw.dxfReal(10, 0.0);  // elevation point: only its z counts
    dw.dxfReal(20, 0.0);
    dw.dxfReal(30, elevation);
    dw.dxfReal(210, 0.0);  // extrusion direction
    dw.dxfReal(220, 0.0);
    dw.dxfReal(230, 1.0);
    dw.dxfString(2, data.solid ? std::string("SOLID") : data.pattern);
    dw.dxfInt(70, data.solid ? 1 : 0);
    dw.dxfInt(71, 0);
    dw.dxfInt(91, data.numLoops);
}

void WriteEntity(DL_Dxf& dxf, DL_WriterA& dw, const DrawingEntity& entity) {
    const DL_Attributes attributes = WriteAttributes(entity.attributes);
    std::visit(
        [&](const auto& shape) {
            using T = std::decay_t<decltype(shape)>;
            if constexpr (std::is_same_v<T, PointEntity>) {
                dxf.writePoint(dw, DL_PointData(shape.position.x, shape.position.y, shape.position.z), attributes);
            } else if constexpr (std::is_same_v<T, LineEntity>) {
                dxf.writeLine(dw,
                              DL_LineData(shape.start.x, shape.start.y, shape.start.z, shape.end.x, shape.end.y,
                                          shape.end.z),
                              attributes);
            } else if constexpr (std::is_same_v<T, CircleEntity>) {
                dxf.writeCircle(dw, DL_CircleData(shape.centre.x, shape.centre.y, shape.centre.z, shape.radius),
                                attributes);
            } else if constexpr (std::is_same_v<T, ArcEntity>) {
                dxf.writeArc(dw,
                             DL_ArcData(shape.centre.x, shape.centre.y, shape.centre.z, shape.radius,
                                        shape.start_degrees, shape.end_degrees),
                             attributes);
            } else if constexpr (std::is_same_v<T, PolylineEntity>) {
                dxf.writePolyline(dw,
                                  DL_PolylineData(static_cast<int>(shape.vertices.size()), 0, 0, shape.closed ? 1 : 0,
                                                  shape.elevation),
                                  attributes);
                for (const auto& v : shape.vertices) dxf.writeVertex(dw, DL_VertexData(v.x, v.y, 0, v.bulge));
                dxf.writePolylineEnd(dw);
            } else if constexpr (std::is_same_v<T, TextEntity>) {
                dxf.writeText(dw,
                              DL_TextData(shape.insertion.x, shape.insertion.y, shape.insertion.z, shape.alignment.x,
                                          shape.alignment.y, shape.alignment.z, shape.height, shape.width_factor, 0,
                                          shape.horizontal_justification, shape.vertical_justification,
                                          EscapeDxfText(shape.text), shape.style,
                                          shape.rotation_degrees * kPiDouble / 180),
                              attributes);
            } else if constexpr (std::is_same_v<T, MTextEntity>) {
                dxf.writeMText(dw,
                               DL_MTextData(shape.insertion.x, shape.insertion.y, shape.insertion.z, 0, 0, 0,
                                            shape.height, shape.width, shape.attachment_point, 1, 1,
                                            shape.line_spacing_factor, EscapeDxfText(shape.text), shape.style,
                                            shape.rotation_degrees * kPiDouble / 180),
                               attributes);
            } else if constexpr (std::is_same_v<T, HatchEntity>) {
                if (shape.loops.empty()) return;  // a hatch without boundary is not a valid entity
                const DL_HatchData data(static_cast<int>(shape.loops.size()), shape.solid, shape.scale,
                                        shape.angle_degrees, shape.pattern);
                WriteHatchStart(dw, data, shape.elevation, attributes);
                for (const auto& loop : shape.loops) {
                    const DL_HatchLoopData loop_data(static_cast<int>(loop.size()));
                    dxf.writeHatchLoop1(dw, loop_data);
                    for (const auto& e : loop) {
                        if (e.is_arc) {
                            dxf.writeHatchEdge(dw, DL_HatchEdgeData(e.x1, e.y1, e.radius,
                                                                    e.start_degrees * kPiDouble / 180,
                                                                    e.end_degrees * kPiDouble / 180,
                                                                    e.counter_clockwise));
                        } else {
                            dxf.writeHatchEdge(dw, DL_HatchEdgeData(e.x1, e.y1, e.x2, e.y2));
                        }
                    }
                    dxf.writeHatchLoop2(dw, loop_data);
                }
                dxf.writeHatch2(dw, data, attributes);
            }
        },
        entity.shape);
}

}  // namespace

CadDrawing::CadDrawing() {
    layers.push_back({"0", 7, "CONTINUOUS"});
    variables["LTSCALE"] = {1.0, 40};
}

CadValue CadDrawing::Variable(const std::string& name) const {
    const auto found = variables.find(Upper(name));
    if (found == variables.end()) throw CadError("未知的系统变量名: " + name);
    return found->second.value;
}

bool CadDrawing::Extents(double box[4]) const {
    bool any = false;
    auto take = [&](double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) return;
        if (!any) {
            box[0] = box[2] = x;
            box[1] = box[3] = y;
            any = true;
        }
        box[0] = std::min(box[0], x);
        box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x);
        box[3] = std::max(box[3], y);
    };
    for (const auto& entity : entities) {
        std::visit(
            [&](const auto& s) {
                using T = std::decay_t<decltype(s)>;
                if constexpr (std::is_same_v<T, PointEntity>) {
                    take(s.position.x, s.position.y);
                } else if constexpr (std::is_same_v<T, LineEntity>) {
                    take(s.start.x, s.start.y);
                    take(s.end.x, s.end.y);
                } else if constexpr (std::is_same_v<T, CircleEntity> || std::is_same_v<T, ArcEntity>) {
                    take(s.centre.x - s.radius, s.centre.y - s.radius);
                    take(s.centre.x + s.radius, s.centre.y + s.radius);
                } else if constexpr (std::is_same_v<T, PolylineEntity>) {
                    for (const auto& v : s.vertices) take(v.x, v.y);
                } else if constexpr (std::is_same_v<T, TextEntity>) {
                    // The insertion point and a rough box of the glyphs.
                    take(s.insertion.x, s.insertion.y);
                    take(s.insertion.x + 0.7 * s.height * static_cast<double>(s.text.size()),
                         s.insertion.y + s.height);
                } else if constexpr (std::is_same_v<T, MTextEntity>) {
                    take(s.insertion.x, s.insertion.y);
                    take(s.insertion.x + std::max(s.width, s.height), s.insertion.y - s.height);
                } else if constexpr (std::is_same_v<T, HatchEntity>) {
                    for (const auto& loop : s.loops)
                        for (const auto& e : loop) {
                            if (e.is_arc) {
                                take(e.x1 - e.radius, e.y1 - e.radius);
                                take(e.x1 + e.radius, e.y1 + e.radius);
                            } else {
                                take(e.x1, e.y1);
                                take(e.x2, e.y2);
                            }
                        }
                }
            },
            entity.shape);
    }
    return any;
}

CadDrawing LoadDxf(const std::string& path) {
    CadDrawing drawing;
    drawing.layers.clear();
    Reader reader(drawing);
    DL_Dxf dxf;
    if (!dxf.in(path, &reader)) throw CommandError("无法读取DXF文件 " + path);
    if (drawing.layers.empty()) drawing.layers.push_back({"0", 7, "CONTINUOUS"});
    if (drawing.variables.count("LTSCALE") == 0) drawing.variables["LTSCALE"] = {1.0, 40};
    return drawing;
}

bool NumbersWritable(const EntityShape& shape) {
    return std::visit(
        [](const auto& s) {
            using T = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<T, PointEntity>) {
                return Writable(s.position);
            } else if constexpr (std::is_same_v<T, LineEntity>) {
                return Writable(s.start) && Writable(s.end);
            } else if constexpr (std::is_same_v<T, CircleEntity>) {
                return Writable(s.centre) && Writable(s.radius);
            } else if constexpr (std::is_same_v<T, ArcEntity>) {
                return Writable(s.centre) && Writable(s.radius) && Writable(s.start_degrees) && Writable(s.end_degrees);
            } else if constexpr (std::is_same_v<T, PolylineEntity>) {
                return Writable(s.elevation) && std::all_of(s.vertices.begin(), s.vertices.end(), [](const auto& v) {
                           return Writable(v.x) && Writable(v.y) && Writable(v.bulge);
                       });
            } else if constexpr (std::is_same_v<T, TextEntity>) {
                return Writable(s.insertion) && Writable(s.alignment) && Writable(s.height) &&
                       Writable(s.rotation_degrees) && Writable(s.width_factor);
            } else if constexpr (std::is_same_v<T, MTextEntity>) {
                return Writable(s.insertion) && Writable(s.height) && Writable(s.width) &&
                       Writable(s.rotation_degrees) && Writable(s.line_spacing_factor);
            } else {
                if (!Writable(s.scale) || !Writable(s.angle_degrees) || !Writable(s.elevation)) return false;
                for (const auto& loop : s.loops)
                    for (const auto& e : loop)
                        for (const double v : {e.x1, e.y1, e.x2, e.y2, e.radius, e.start_degrees, e.end_degrees})
                            if (!Writable(v)) return false;
                return true;
            }
        },
        shape);
}

void SaveDxf(const CadDrawing& drawing, const std::string& path) {
    // Checked before the file is opened: a number out of range would not be a
    // DXF number (and overruns the writer's fixed-size buffer).
    const auto writable_variable = [](const auto& entry) {
        const auto* real = std::get_if<double>(&entry.second.value);
        return real == nullptr || Writable(*real);
    };
    const bool writable =
        std::all_of(drawing.entities.begin(), drawing.entities.end(),
                    [](const DrawingEntity& e) { return NumbersWritable(e.shape); }) &&
        std::all_of(drawing.variables.begin(), drawing.variables.end(), writable_variable) &&
        std::all_of(drawing.linetypes.begin(), drawing.linetypes.end(),
                    [](const CadDrawing::Linetype& l) {
                        return Writable(l.pattern_length) && std::all_of(l.dashes.begin(), l.dashes.end(),
                                                                         [](double d) { return Writable(d); });
                    }) &&
        std::all_of(drawing.text_styles.begin(), drawing.text_styles.end(), [](const CadDrawing::TextStyle& t) {
            return Writable(t.fixed_height) && Writable(t.width_factor) && Writable(t.oblique_angle) &&
                   Writable(t.last_height);
        });
    if (!writable) throw CommandError("图形中有超出DXF数值范围的数，无法保存 " + path);
    // The DXF library writes to a file of its own naming: a scratch file,
    // whose bytes then reach the target through the program's safe writer
    // (atomic, links followed, devices written directly).
    // It is removed also when a signal ends the program during the save.
    std::unique_ptr<ScratchFile> scratch;
    try {
        scratch = std::make_unique<ScratchFile>("coordconv-cad", ".dxf");
    } catch (const CommandError&) {
        throw CommandError("无法写入DXF文件 " + path);
    }
    const std::string& temporary = scratch->Path();
    {
        DL_Dxf dxf;
        std::unique_ptr<DL_WriterA> dw(dxf.out(temporary.c_str(), DL_Codes::AC1015));
        if (!dw) throw CommandError("无法写入DXF文件 " + path);
        DL_WriterA& w = *dw;

        dxf.writeHeader(w);
        w.dxfString(9, "$DWGCODEPAGE");
        w.dxfString(3, "ANSI_936");
        for (const auto& [name, variable] : drawing.variables) {
            if (kWrittenByWriter.count(name)) continue;
            w.dxfString(9, "$" + name);
            if (const auto* text = std::get_if<std::string>(&variable.value)) {
                w.dxfString(variable.group_code, EscapeDxfText(*text));
            } else if (const auto* integer = std::get_if<std::int32_t>(&variable.value)) {
                w.dxfInt(variable.group_code, *integer);
            } else {
                w.dxfReal(variable.group_code, std::get<double>(variable.value));
            }
        }
        w.sectionEnd();

        w.sectionTables();
        dxf.writeVPort(w);

        std::vector<CadDrawing::Linetype> linetypes = {
            {"BYBLOCK", "", 0, 0, {}}, {"BYLAYER", "", 0, 0, {}}, {"CONTINUOUS", "Solid line", 0, 0, {}}};
        for (const auto& linetype : drawing.linetypes)
            if (std::none_of(linetypes.begin(), linetypes.end(),
                             [&](const auto& l) { return Upper(l.name) == Upper(linetype.name); }))
                linetypes.push_back(linetype);
        w.tableLinetypes(static_cast<int>(linetypes.size()));
        for (const auto& l : linetypes) {
            std::vector<double> dashes = l.dashes;
            dxf.writeLinetype(w, DL_LinetypeData(l.name, l.description, l.flags, static_cast<int>(dashes.size()),
                                                 l.pattern_length, dashes.empty() ? nullptr : dashes.data()));
        }
        w.tableEnd();

        w.tableLayers(static_cast<int>(drawing.layers.size()));
        for (const auto& layer : drawing.layers)
            dxf.writeLayer(w, DL_LayerData(EscapeDxfText(layer.name), 0),
                           DL_Attributes("", layer.color, 100, layer.linetype, 1.0));
        w.tableEnd();

        std::vector<CadDrawing::TextStyle> styles = {{"Standard", 0, 0, 1, 0, 0, 2.5, "txt", ""}};
        for (const auto& style : drawing.text_styles)
            if (Upper(style.name) != "STANDARD") styles.push_back(style);
        w.tableStyle(static_cast<int>(styles.size()));
        for (const auto& s : styles)
            dxf.writeStyle(w, DL_StyleData(s.name, s.flags, s.fixed_height, s.width_factor, s.oblique_angle,
                                           s.generation_flags, s.last_height, s.font_file, s.big_font_file));
        w.tableEnd();

        dxf.writeView(w);
        dxf.writeUcs(w);
        w.tableAppid(1);
        dxf.writeAppid(w, "ACAD");
        w.tableEnd();
        dxf.writeDimStyle(w, 2.5, 0.625, 0.625, 0.625, 2.5);
        dxf.writeBlockRecord(w);
        w.tableEnd();
        w.sectionEnd();

        w.sectionBlocks();
        dxf.writeBlock(w, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, "*Model_Space");
        dxf.writeBlock(w, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, "*Paper_Space");
        dxf.writeBlock(w, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, "*Paper_Space0");
        w.sectionEnd();

        w.sectionEntities();
        for (const auto& entity : drawing.entities) WriteEntity(dxf, w, entity);
        w.sectionEnd();

        dxf.writeObjects(w);
        dxf.writeObjectsEnd(w);
        w.dxfEOF();
        w.close();
    }
    QFile written(QFile::decodeName(temporary.c_str()));
    if (!written.open(QIODevice::ReadOnly)) throw CommandError("无法写入DXF文件 " + path);
    const QByteArray bytes = written.readAll();
    try {
        SafeFileWriter target(path);
        target.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        target.Commit();
    } catch (const CommandError&) {
        throw CommandError("无法写入DXF文件 " + path);
    }
}

std::string EscapeDxfText(const std::string& utf8) {
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        unsigned code = 0;
        std::size_t length = (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (length == 1 || i + length > utf8.size()) {
            out.push_back('?');
            ++i;
            continue;
        }
        code = c & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (code > 0xFFFF) {
            out.push_back('?');  // beyond the escapes' four hex digits
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\U+%04X", code);
        out += escape;
    }
    return out;
}

std::string UnescapeDxfText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 6 < text.size() && (text[i + 1] == 'U' || text[i + 1] == 'u') &&
            text[i + 2] == '+' && std::all_of(text.begin() + static_cast<long>(i) + 3,
                                              text.begin() + static_cast<long>(i) + 7,
                                              [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
            AppendUtf8(out, static_cast<unsigned>(std::stoul(text.substr(i + 3, 4), nullptr, 16)));
            i += 6;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace coordconv
