#include "convert/dxf_converter.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/angles.h"
#include "convert/summary_json.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "table/safe_file.h"

namespace coordconv {

void DxfExtents::Add(double x, double y) {
    if (empty) {
        min_x = max_x = x;
        min_y = max_y = y;
        empty = false;
        return;
    }
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
    min_y = std::min(min_y, y);
    max_y = std::max(max_y, y);
}

bool IsDxfPath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".dxf";
}

namespace {

constexpr double kDegrees = 180 / 3.14159265358979323846;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// One group: the code line and the value line, as offsets into the
// record's bytes. `value`, `value_length` exclude the line end.
struct Pair {
    int code;
    std::uint32_t start;
    std::uint32_t value;
    std::uint32_t value_length;
    std::uint32_t end;
};

// The pairs from one code-0 pair up to the next.
struct Record {
    std::string bytes;
    std::vector<Pair> pairs;
    long first_line = 0;

    std::string_view Value(std::size_t i) const {
        return std::string_view(bytes).substr(pairs[i].value, pairs[i].value_length);
    }
    std::string_view LineEnd(std::size_t i) const {
        const Pair& p = pairs[i];
        return std::string_view(bytes).substr(p.value + p.value_length, p.end - p.value - p.value_length);
    }
    std::string_view CodeLine(std::size_t i) const {
        return std::string_view(bytes).substr(pairs[i].start, pairs[i].value - pairs[i].start);
    }
};

// Reads the file's lines through a buffer.
class LineSource {
public:
    explicit LineSource(const std::string& path) {
        file_ = std::fopen(path.c_str(), "rb");
        if (file_ == nullptr) throw CommandError(FileErrorText(errno));
        if (std::fseek(file_, 0, SEEK_END) == 0) {
            const long size = std::ftell(file_);
            total_ = size > 0 ? static_cast<double>(size) : 0;
            std::fseek(file_, 0, SEEK_SET);
        }
        buffer_.resize(1 << 22);
    }
    ~LineSource() {
        if (file_ != nullptr) std::fclose(file_);
    }
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line with its line end; false at the end of the file.
    bool Next(std::string_view& line) {
        for (;;) {
            const char* begin = buffer_.data() + position_;
            const void* newline = std::memchr(begin, '\n', length_ - position_);
            if (newline != nullptr) {
                const std::size_t size = static_cast<const char*>(newline) - begin + 1;
                line = std::string_view(begin, size);
                position_ += size;
                ++line_number_;
                return true;
            }
            if (end_of_file_) {
                if (position_ == length_) return false;
                line = std::string_view(begin, length_ - position_);
                position_ = length_;
                ++line_number_;
                return true;
            }
            Refill();
        }
    }

    // The first bytes of the file (for the DWG and binary checks).
    std::string_view Peek(std::size_t size) {
        while (length_ - position_ < size && !end_of_file_) Refill();
        return std::string_view(buffer_.data() + position_, std::min(size, length_ - position_));
    }

    long LineNumber() const { return line_number_; }
    double Share() const { return total_ > 0 ? read_ / total_ : 0; }

private:
    void Refill() {
        std::memmove(buffer_.data(), buffer_.data() + position_, length_ - position_);
        length_ -= position_;
        position_ = 0;
        if (length_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
        const std::size_t got = std::fread(buffer_.data() + length_, 1, buffer_.size() - length_, file_);
        if (got == 0) {
            if (std::ferror(file_)) throw CommandError(FileErrorText(errno != 0 ? errno : EIO));
            end_of_file_ = true;
        }
        length_ += got;
        read_ += static_cast<double>(got);
    }

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t length_ = 0;
    bool end_of_file_ = false;
    long line_number_ = 0;
    double total_ = 0;
    double read_ = 0;
};

// Cuts the stream into records.
class RecordReader {
public:
    explicit RecordReader(LineSource& source) : source_(source) {}

    // The next record; false at the end of the file.
    bool Next(Record& record) {
        record.bytes.clear();
        record.pairs.clear();
        if (!has_pending_ && !ReadPair()) return false;
        has_pending_ = false;
        record.first_line = pending_line_;
        Append(record);
        while (ReadPair()) {
            if (pending_code_ == 0) {
                has_pending_ = true;
                return true;
            }
            Append(record);
        }
        return true;
    }

private:
    bool ReadPair() {
        std::string_view code_line;
        if (!source_.Next(code_line)) return false;
        pending_line_ = source_.LineNumber();
        const std::string_view code_text = Trim(StripLineEnd(code_line));
        if (code_text.empty() && !source_.Peek(1).empty()) throw Malformed(pending_line_);
        int code = 0;
        const auto parsed = std::from_chars(code_text.data(), code_text.data() + code_text.size(), code);
        if (!code_text.empty() && (parsed.ec != std::errc() || parsed.ptr != code_text.data() + code_text.size()))
            throw Malformed(pending_line_);
        std::string_view value_line;
        if (!source_.Next(value_line)) {
            if (code_text.empty()) return false;  // blank lines after EOF
            throw Malformed(pending_line_);
        }
        pending_code_ = code;
        pending_bytes_.assign(code_line);
        pending_code_length_ = code_line.size();
        pending_bytes_.append(value_line);
        pending_value_length_ = StripLineEnd(value_line).size();
        return true;
    }

    static std::string_view StripLineEnd(std::string_view line) {
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    static CommandError Malformed(long line) {
        return CommandError("DXF文件第" + std::to_string(line) + "行不是组码，文件不是ASCII DXF或已损坏");
    }

    void Append(Record& record) {
        const auto start = static_cast<std::uint32_t>(record.bytes.size());
        record.bytes += pending_bytes_;
        const auto value = static_cast<std::uint32_t>(start + pending_code_length_);
        record.pairs.push_back({pending_code_, start, value, static_cast<std::uint32_t>(pending_value_length_),
                                static_cast<std::uint32_t>(record.bytes.size())});
    }

    LineSource& source_;
    bool has_pending_ = false;
    int pending_code_ = 0;
    long pending_line_ = 0;
    std::string pending_bytes_;
    std::size_t pending_code_length_ = 0;
    std::size_t pending_value_length_ = 0;
};

// A change to a record: a new value for pair `index`, or (insert) a new
// pair with `code` after it.
struct Edit {
    std::size_t index;
    bool insert;
    int code;
    std::string text;
};

// A point that is no plane point of the conversion's source.
class NotPlanePoint : public CommandError {
public:
    using CommandError::CommandError;
};

// The similarity at an anchor in the drawing's frame: lengths times
// `scale`, directions turned counter-clockwise by `rotation` radians.
struct DrawingSimilarity {
    double scale = 1;
    double rotation = 0;
    double cos_r = 1;
    double sin_r = 0;
};

struct Normal {
    bool plain = true;      // +Z or -Z
    bool mirrored = false;  // -Z: the object coordinate system's x is the world's -X
};

// The entity types with conversion rules, looked up once per record.
enum class Kind { kOther, kPoint, kLine, kXline, kRay, kLwpolyline, kPolyline, kVertex, kSolid, kTrace, kFace3d, kCircle, kArc, kEllipse, kSpline, kText, kMtext, kAttrib, kAttdef, kInsert, kHatch, kDimension, kLeader, kImage, kWipeout };

Kind KindOf(const std::string& type) {
    static const std::pair<const char*, Kind> kKinds[] = {{"POINT", Kind::kPoint}, {"LINE", Kind::kLine}, {"XLINE", Kind::kXline}, {"RAY", Kind::kRay}, {"LWPOLYLINE", Kind::kLwpolyline}, {"POLYLINE", Kind::kPolyline}, {"VERTEX", Kind::kVertex}, {"SOLID", Kind::kSolid}, {"TRACE", Kind::kTrace}, {"3DFACE", Kind::kFace3d}, {"CIRCLE", Kind::kCircle}, {"ARC", Kind::kArc}, {"ELLIPSE", Kind::kEllipse}, {"SPLINE", Kind::kSpline}, {"TEXT", Kind::kText}, {"MTEXT", Kind::kMtext}, {"ATTRIB", Kind::kAttrib}, {"ATTDEF", Kind::kAttdef}, {"INSERT", Kind::kInsert}, {"HATCH", Kind::kHatch}, {"DIMENSION", Kind::kDimension}, {"LEADER", Kind::kLeader}, {"IMAGE", Kind::kImage}, {"WIPEOUT", Kind::kWipeout}};
    for (const auto& [name, kind] : kKinds)
        if (type == name) return kind;
    return Kind::kOther;
}

enum class Role {
    None,
    PointWorld,          // a point in world coordinates
    PointObject,         // a point in the entity's object coordinate system
    SoftPointObject,     // as PointObject, left when it is no plane point (dimension clone points)
    VectorWorld,         // a direction in world coordinates: turned
    ScaledVectorWorld,   // an offset in world coordinates: turned and scaled
    ScaledVectorObject,  // an offset in object coordinates: turned and scaled
    VectorObject,        // a direction in object coordinates: turned
    Length,              // a length or a scale factor: times the scale
    AngleObject,         // an angle in degrees about the normal
};

class DrawingConverter {
public:
    DrawingConverter(const PointConversion& conversion, const DxfConversionOptions& options, DxfSummary& summary)
        : conversion_(conversion), swap_(options.swap_xy), summary_(summary) {}

    // Converts one record (the edits go into `edits`).
    void Convert(const Record& record, std::vector<Edit>& edits);

private:
    // Drawing point -> converted drawing point; with `strict` a point that is
    // no plane point of the source fails the conversion, otherwise it is
    // reported by the false return.
    bool Map(double X, double Y, double Z, double& X2, double& Y2, bool strict) {
        const long double x = swap_ ? X : Y;
        const long double y = swap_ ? Y : X;
        const std::string problem = conversion_.CheckSource(x, y);
        if (!problem.empty()) {
            if (!strict) return false;
            throw NotPlanePoint("图形坐标不是原坐标系的平面坐标 (" + type_ + (handle_.empty() ? "" : " " + handle_) +
                               ", X=" + ShortestDoubleText(X) + ", Y=" + ShortestDoubleText(Y) + ": " + problem +
                               ")，请检查中央子午线、Y常数和坐标轴 (图中X为横坐标y，Y为纵坐标x；否则用--swap-xy)");
        }
        const PointXYH p = conversion_.Convert(x, y, Z);
        X2 = static_cast<double>(swap_ ? p.x : p.y);
        Y2 = static_cast<double>(swap_ ? p.y : p.x);
        if (!std::isfinite(X2) || !std::isfinite(Y2)) RaiseFloatingPointErrors();
        if (!std::isfinite(X2) || !std::isfinite(Y2)) throw CommandError(kInvalidOperationText);
        return true;
    }

    DrawingSimilarity SimilarityAt(double X, double Y, double Z) {
        // A similarity conversion has one similarity: taken at the first point.
        if (conversion_.IsSimilarity() && has_global_similarity_) return global_similarity_;
        const long double x = swap_ ? X : Y;
        const long double y = swap_ ? Y : X;
        const LocalSimilarity s = conversion_.SimilarityAt(x, y, Z);
        DrawingSimilarity d;
        d.scale = static_cast<double>(s.scale);
        // The program's rotation runs from x towards y: counter-clockwise in
        // a drawing whose X is x, clockwise in one whose X is y.
        d.rotation = static_cast<double>(swap_ ? s.rotation : -s.rotation);
        d.cos_r = std::cos(d.rotation);
        d.sin_r = std::sin(d.rotation);
        if (conversion_.IsSimilarity()) {
            global_similarity_ = d;
            has_global_similarity_ = true;
        }
        return d;
    }
    bool has_global_similarity_ = false;
    DrawingSimilarity global_similarity_;

    // The record being converted.
    double Number(std::size_t i) const;
    void SetNumber(std::size_t i, double value);
    // The same where the pair's number is known: `original`.
    void SetNumber(std::size_t i, double original, double value) {
        if (value != original) edits_->push_back({i, false, record_->pairs[i].code, ShortestDoubleText(value)});
    }
    void InsertAfter(std::size_t i, int code, double value);
    bool PointAt(std::size_t i, double& x, double& y, double& z, std::size_t& y_index) const;

    void ConvertHeader();
    void ConvertViewTable(bool view);
    void ConvertViewport();
    void ConvertEntity();
    void ConvertHatch();
    void ConvertWithRoles();
    Role RoleOf(int code) const;
    Normal ReadNormal() const;
    const DrawingSimilarity& Similarity();
    void Leave(const std::string& reason);
    void Count() { ++summary_.converted[type_]; }

    // Converts the point at pair i (code c, the y at i + 1) in the role's
    // coordinate system; false when it was left (soft roles only).
    bool ConvertPoint(std::size_t i, bool object, bool strict, double default_z);
    void ConvertVector(std::size_t i, bool object, bool scaled);
    void ConvertAngle(std::size_t i);
    void ConvertLength(std::size_t i);
    // The circle or arc (object coordinates, degrees counter-clockwise
    // about the normal) as converted: see ConvertCircle below.
    struct CircleImage {
        double cx, cy, radius, start, end;
    };
    CircleImage ConvertCircle(double cx, double cy, double cz, double radius, double start, double end, bool full);
    bool MapObject(double x, double y, double z, double& x2, double& y2, bool strict) {
        const bool mirrored = normal_.mirrored;
        double X2 = 0;
        if (!Map(mirrored ? -x : x, y, mirrored ? -z : z, X2, y2, strict)) return false;
        x2 = mirrored ? -X2 : X2;
        return true;
    }
    void MeasureEllipse(double cx, double cy, double cz, double mx, double my, double ratio, double start, double end);

    const PointConversion& conversion_;
    bool swap_;
    DxfSummary& summary_;

    // Where the stream is.
    std::string section_;
    bool in_block_ = false;
    bool block_converts_ = false;
    struct PolylineState {
        bool convert = false;
        bool world = false;     // 3D polyline or mesh: vertices in world coordinates
        bool polyface = false;  // polyface mesh: face records carry no point
        Normal normal;
        double elevation = 0;
    } polyline_;
    bool attributes_left_ = false;
    // A dimension block whose space is not known yet: the blocks of paper
    // space dimensions hold sheet coordinates. Its first entity with a point
    // decides: a plane point of the source converts the block, another
    // leaves it.
    bool dimension_block_pending_ = false;
    long points_converted_ = 0;

    // The record.
    const Record* record_ = nullptr;
    std::vector<Edit>* edits_ = nullptr;
    std::string type_;
    Kind kind_ = Kind::kOther;
    std::string handle_;
    std::size_t stop_ = 0;  // the first pair of XDATA
    Normal normal_;
    bool has_anchor_ = false;
    double anchor_[3] = {0, 0, 0};
    bool has_similarity_ = false;
    DrawingSimilarity similarity_;
    bool embedded_text_ = false;  // after 101 in ATTRIB/ATTDEF
    int dimension_type_ = 0;
    bool hatch_paths_ = false;
};

double DrawingConverter::Number(std::size_t i) const {
    std::string_view text = Trim(record_->Value(i));
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || text.empty())
        throw CommandError("DXF文件第" + std::to_string(record_->first_line + 2 * static_cast<long>(i) + 1) +
                           "行: 组码" + std::to_string(record_->pairs[i].code) + "的值'" +
                           std::string(record_->Value(i)) + "'不是数");
    return value;
}

void DrawingConverter::SetNumber(std::size_t i, double value) {
    if (value == Number(i)) return;  // unchanged numbers keep their text
    edits_->push_back({i, false, record_->pairs[i].code, ShortestDoubleText(value)});
}

void DrawingConverter::InsertAfter(std::size_t i, int code, double value) {
    edits_->push_back({i, true, code, ShortestDoubleText(value)});
}

bool DrawingConverter::PointAt(std::size_t i, double& x, double& y, double& z, std::size_t& y_index) const {
    const int code = record_->pairs[i].code;
    if (i + 1 >= stop_ || record_->pairs[i + 1].code != code + 10) return false;
    x = Number(i);
    y = Number(i + 1);
    y_index = i + 1;
    z = std::nan("");
    if (i + 2 < stop_ && record_->pairs[i + 2].code == code + 20) z = Number(i + 2);
    return true;
}

Normal DrawingConverter::ReadNormal() const {
    double n[3] = {0, 0, 1};
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = record_->pairs[i].code;
        if (code == 210 || code == 220 || code == 230) n[(code - 210) / 10] = Number(i);
    }
    Normal normal;
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    normal.plain = length > 0 && std::fabs(n[0]) / length < 1e-12 && std::fabs(n[1]) / length < 1e-12;
    normal.mirrored = normal.plain && n[2] < 0;
    return normal;
}

const DrawingSimilarity& DrawingConverter::Similarity() {
    if (!has_similarity_) {
        similarity_ = has_anchor_ ? SimilarityAt(anchor_[0], anchor_[1], anchor_[2]) : DrawingSimilarity{};
        has_similarity_ = true;
    }
    return similarity_;
}

void DrawingConverter::Leave(const std::string& reason) { summary_.left.push_back({type_, handle_, reason}); }

bool DrawingConverter::ConvertPoint(std::size_t i, bool object, bool strict, double default_z) {
    double x = 0, y = 0, z = 0;
    std::size_t y_index = 0;
    if (!PointAt(i, x, y, z, y_index)) return false;
    if (std::isnan(z)) z = default_z;
    // Object coordinates of a -Z normal: X = -x, Y = y, Z = -z.
    const bool mirrored = object && normal_.mirrored;
    const double X = mirrored ? -x : x;
    const double Z = mirrored ? -z : z;
    double X2 = 0, Y2 = 0;
    if (!Map(X, y, Z, X2, Y2, strict)) return false;
    if (!has_anchor_) {
        has_anchor_ = true;
        anchor_[0] = X;
        anchor_[1] = y;
        anchor_[2] = Z;
    }
    ++points_converted_;
    summary_.before.Add(X, y);
    summary_.after.Add(X2, Y2);
    SetNumber(i, x, mirrored ? -X2 : X2);
    SetNumber(y_index, y, Y2);
    return true;
}

void DrawingConverter::ConvertVector(std::size_t i, bool object, bool scaled) {
    double x = 0, y = 0, z = 0;
    std::size_t y_index = 0;
    if (!PointAt(i, x, y, z, y_index)) return;
    const DrawingSimilarity& s = Similarity();
    // In object coordinates of a -Z normal the turn runs the other way.
    const double sin_r = object && normal_.mirrored ? -s.sin_r : s.sin_r;
    const double factor = scaled ? s.scale : 1;
    SetNumber(i, x, factor * (s.cos_r * x - sin_r * y));
    SetNumber(y_index, y, factor * (sin_r * x + s.cos_r * y));
}

void DrawingConverter::ConvertAngle(std::size_t i) {
    const double turn = Similarity().rotation * kDegrees;
    const double original = Number(i);
    const double angle = original + (normal_.mirrored ? -turn : turn);
    SetNumber(i, original, turn == 0 ? original : std::fmod(std::fmod(angle, 360) + 360, 360));
}

void DrawingConverter::ConvertLength(std::size_t i) {
    const double original = Number(i);
    SetNumber(i, original, original * Similarity().scale);
}

// A circle's image under a conformal conversion is a circle up to third-
// order terms (r^3 / R^2 / 6: micrometres at 1 km), but its centre is not
// the image of the old centre: the second-order term f''(c) r^2 / 2 (3.6 mm
// for a radius of 1 km across a 3° zone change) moves it. So the centre and
// the radius are fitted (least squares, Kasa's algebraic fit) to the exact
// images of 12 points around the whole circle, and an arc's end angles are
// those of the exactly converted end points seen from the new centre, so
// that the arc still meets the lines drawn to its ends. Where the local
// similarity at the centre already reproduces the exact points (a similarity
// conversion, the identity) its circle (centre converted, radius times the
// scale, angles turned) is kept as it is. The summary keeps the largest
// distance of 9 exactly converted points along the arc from the new circle.
DrawingConverter::CircleImage DrawingConverter::ConvertCircle(double cx, double cy, double cz, double radius,
                                                              double start, double end, bool full) {
    double cx2 = 0, cy2 = 0;
    MapObject(cx, cy, cz, cx2, cy2, true);
    const DrawingSimilarity s = SimilarityAt(normal_.mirrored ? -cx : cx, cy, normal_.mirrored ? -cz : cz);
    const double turn = (normal_.mirrored ? -s.rotation : s.rotation) * kDegrees;
    const auto normalised = [](double angle) { return std::fmod(std::fmod(angle, 360) + 360, 360); };
    CircleImage image{cx2, cy2, radius * s.scale, turn == 0 ? start : normalised(start + turn),
                      turn == 0 ? end : normalised(end + turn)};

    if (conversion_.IsSimilarity()) {  // circles go exactly onto circles
        ++summary_.arcs;
        for (const double t : {start, full ? start + 180 : end}) {
            const double x = cx + radius * std::cos(t / kDegrees), y = cy + radius * std::sin(t / kDegrees);
            double x2 = 0, y2 = 0;
            MapObject(x, y, cz, x2, y2, true);
            summary_.before.Add(normal_.mirrored ? -x : x, y);
            summary_.after.Add(normal_.mirrored ? -x2 : x2, y2);
        }
        return image;
    }
    // The exact images around the whole circle, relative to the image of the centre.
    constexpr int kRound = 12;
    long double points[kRound][2];
    long double similarity_gap = 0;
    for (int k = 0; k < kRound; ++k) {
        const double t = 2 * kPi * k / kRound;
        double x2 = 0, y2 = 0;
        MapObject(cx + radius * std::cos(t), cy + radius * std::sin(t), cz, x2, y2, true);
        points[k][0] = static_cast<long double>(x2) - cx2;
        points[k][1] = static_cast<long double>(y2) - cy2;
        similarity_gap = std::max(similarity_gap, std::fabs(std::hypot(points[k][0], points[k][1]) - image.radius));
    }
    double centre_x = cx2, centre_y = cy2, fitted_radius = image.radius;
    if (similarity_gap > 1e-9 * std::max(1.0, radius)) {
        // x^2 + y^2 + a x + b y + c = 0 by least squares: the normal equations.
        long double n[3][4] = {};
        for (const auto& p : points) {
            const long double row[3] = {p[0], p[1], 1};
            const long double rhs = -(p[0] * p[0] + p[1] * p[1]);
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 3; ++j) n[i][j] += row[i] * row[j];
                n[i][3] += row[i] * rhs;
            }
        }
        // Gauss-Jordan; the matrix is well conditioned for points around a circle.
        for (int i = 0; i < 3; ++i) {
            for (int r = 0; r < 3; ++r) {
                if (r == i) continue;
                const long double factor = n[r][i] / n[i][i];
                for (int c = i; c < 4; ++c) n[r][c] -= factor * n[i][c];
            }
        }
        const long double a = n[0][3] / n[0][0], b = n[1][3] / n[1][1], c = n[2][3] / n[2][2];
        centre_x = static_cast<double>(cx2 - a / 2);
        centre_y = static_cast<double>(cy2 - b / 2);
        fitted_radius = static_cast<double>(std::sqrt(a * a / 4 + b * b / 4 - c));
        image.cx = centre_x;
        image.cy = centre_y;
        image.radius = fitted_radius;
        if (!full) {
            double sx = 0, sy = 0, ex = 0, ey = 0;
            MapObject(cx + radius * std::cos(start / kDegrees), cy + radius * std::sin(start / kDegrees), cz, sx, sy, true);
            MapObject(cx + radius * std::cos(end / kDegrees), cy + radius * std::sin(end / kDegrees), cz, ex, ey, true);
            image.start = normalised(std::atan2(sy - centre_y, sx - centre_x) * kDegrees);
            image.end = normalised(std::atan2(ey - centre_y, ex - centre_x) * kDegrees);
        }
    }

    double span = full ? 360 : std::fmod(std::fmod(end - start, 360) + 360, 360);
    if (span == 0) span = 360;
    constexpr int kSamples = 8;
    double largest = 0;
    for (int k = 0; k <= kSamples; ++k) {
        const double t = (start + span * k / kSamples) / kDegrees;
        const double x = cx + radius * std::cos(t), y = cy + radius * std::sin(t);
        double x2 = 0, y2 = 0;
        MapObject(x, y, cz, x2, y2, true);
        largest = std::max(largest, std::fabs(std::hypot(x2 - centre_x, y2 - centre_y) - fitted_radius));
        summary_.before.Add(normal_.mirrored ? -x : x, y);
        summary_.after.Add(normal_.mirrored ? -x2 : x2, y2);
    }
    ++summary_.arcs;
    summary_.largest_arc_deviation_mm = std::max(summary_.largest_arc_deviation_mm, largest * 1000);
    return image;
}

// The same for an ellipse of world centre (cx, cy), major axis (mx, my),
// axis ratio and parameters (radians).
void DrawingConverter::MeasureEllipse(double cx, double cy, double cz, double mx, double my, double ratio, double start,
                                      double end) {
    double cX2 = 0, cY2 = 0;
    if (!Map(cx, cy, cz, cX2, cY2, true)) return;
    const DrawingSimilarity s = SimilarityAt(cx, cy, cz);
    const double sign = normal_.mirrored ? -1 : 1;
    double span = std::fmod(std::fmod(end - start, 2 * kPi) + 2 * kPi, 2 * kPi);
    if (span == 0) span = 2 * kPi;
    constexpr int kSamples = 8;
    double largest = 0;
    for (int k = 0; k <= kSamples; ++k) {
        const double t = start + span * k / kSamples;
        const double dx = mx * std::cos(t) - sign * ratio * my * std::sin(t);
        const double dy = my * std::cos(t) + sign * ratio * mx * std::sin(t);
        double X2 = 0, Y2 = 0;
        Map(cx + dx, cy + dy, cz, X2, Y2, true);
        const double ax = cX2 + s.scale * (s.cos_r * dx - s.sin_r * dy);
        const double ay = cY2 + s.scale * (s.sin_r * dx + s.cos_r * dy);
        largest = std::max(largest, std::hypot(X2 - ax, Y2 - ay));
    }
    ++summary_.arcs;
    summary_.largest_arc_deviation_mm = std::max(summary_.largest_arc_deviation_mm, largest * 1000);
}

void DrawingConverter::Convert(const Record& record, std::vector<Edit>& edits) {
    record_ = &record;
    edits_ = &edits;
    const std::string type = Upper(Trim(record.Value(0)));
    type_ = type;
    kind_ = KindOf(type);
    handle_.clear();
    stop_ = record.pairs.size();
    for (std::size_t i = 1; i < record.pairs.size(); ++i) {
        if (record.pairs[i].code >= 1000) {
            stop_ = i;
            break;
        }
    }
    for (std::size_t i = 1; i < stop_; ++i)
        if (record.pairs[i].code == 5) {
            handle_ = std::string(Trim(record.Value(i)));
            break;
        }
    has_anchor_ = false;
    has_similarity_ = false;
    embedded_text_ = false;

    if (type == "SECTION") {
        section_.clear();
        for (std::size_t i = 1; i < record.pairs.size(); ++i)
            if (record.pairs[i].code == 2) {
                section_ = Upper(Trim(record.Value(i)));
                break;
            }
        if (section_ == "HEADER") ConvertHeader();
        return;
    }
    if (type == "ENDSEC") {
        section_.clear();
        return;
    }
    if (section_ == "TABLES") {
        if (type == "VPORT") ConvertViewTable(false);
        if (type == "VIEW") ConvertViewTable(true);
        return;
    }
    if (section_ == "BLOCKS") {
        if (type == "BLOCK") {
            std::string name;
            for (std::size_t i = 1; i < stop_; ++i)
                if (record.pairs[i].code == 2) {
                    name = Upper(Trim(record.Value(i)));
                    break;
                }
            in_block_ = true;
            // The anonymous dimension blocks hold the dimension's picture in
            // world coordinates; the model space block (empty in files that
            // keep model space in ENTITIES) is world coordinates too.
            const bool dimension = name.size() >= 3 && name[0] == '*' && name[1] == 'D' &&
                                   std::isdigit(static_cast<unsigned char>(name[2]));
            block_converts_ = dimension || name == "*MODEL_SPACE" || name == "$MODEL_SPACE";
            dimension_block_pending_ = dimension;
            return;
        }
        if (type == "ENDBLK") {
            in_block_ = false;
            block_converts_ = false;
            return;
        }
        if (!block_converts_) {
            if (type == "VIEWPORT") ConvertViewport();
            return;
        }
        if (dimension_block_pending_) {
            const long before = points_converted_;
            const DxfSummary kept = summary_;
            try {
                ConvertEntity();
            } catch (const NotPlanePoint&) {
                // Sheet coordinates: the block of a paper space dimension.
                edits.clear();
                summary_ = kept;
                block_converts_ = false;
                dimension_block_pending_ = false;
                return;
            }
            if (points_converted_ != before) dimension_block_pending_ = false;
            return;
        }
        ConvertEntity();
        return;
    }
    if (section_ == "ENTITIES") {
        bool paper = false;
        for (std::size_t i = 1; i < stop_; ++i)
            if (record.pairs[i].code == 67) paper = paper || Trim(record.Value(i)) == "1";
        if (type == "VIEWPORT") {
            ConvertViewport();
            return;
        }
        if (paper) return;
        ConvertEntity();
    }
}

void DrawingConverter::ConvertHeader() {
    // $EXTMIN, $EXTMAX, $LIMMIN, $LIMMAX: boxes, converted by their four
    // corners; $INSBASE: a point. Values that are no plane points (the
    // "empty drawing" extents 1e20, limits at 0,0) stay.
    std::map<std::string, std::size_t> points;
    std::string variable;
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = record_->pairs[i].code;
        if (code == 9) variable = Upper(Trim(record_->Value(i)));
        if (code == 10 && !variable.empty()) {
            points[variable] = i;
            variable.clear();
        }
    }
    const auto plane = [this](std::size_t i, double& x, double& y, double& z) {
        std::size_t y_index = 0;
        if (!PointAt(i, x, y, z, y_index)) return false;
        if (std::isnan(z)) z = 0;
        double X2 = 0, Y2 = 0;
        return std::fabs(x) < 1e19 && std::fabs(y) < 1e19 && Map(x, y, z, X2, Y2, false);
    };
    const auto box = [&](const char* low_name, const char* high_name) {
        if (!points.count(low_name) || !points.count(high_name)) return;
        const std::size_t low = points[low_name], high = points[high_name];
        double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
        if (!plane(low, x0, y0, z0) || !plane(high, x1, y1, z1)) return;
        DxfExtents box;
        const double corners[4][2] = {{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}};
        for (const auto& corner : corners) {
            double X2 = 0, Y2 = 0;
            if (!Map(corner[0], corner[1], z0, X2, Y2, false)) return;
            box.Add(X2, Y2);
        }
        SetNumber(low, box.min_x);
        SetNumber(low + 1, box.min_y);
        SetNumber(high, box.max_x);
        SetNumber(high + 1, box.max_y);
    };
    box("$EXTMIN", "$EXTMAX");
    box("$LIMMIN", "$LIMMAX");
    if (points.count("$INSBASE")) {
        const std::size_t i = points["$INSBASE"];
        double x = 0, y = 0, z = 0, X2 = 0, Y2 = 0;
        if (plane(i, x, y, z) && Map(x, y, z, X2, Y2, false)) {
            SetNumber(i, X2);
            SetNumber(i + 1, Y2);
        }
    }
}

// VPORT: centre 12/22 and snap base 13/23 (with the target 17/27/37),
// height 40; VIEW (model space views): centre 10/20 with the target
// 12/22/32, height 40 and width 41.
void DrawingConverter::ConvertViewTable(bool view) {
    const int centre_code = view ? 10 : 12;
    const int target_code = view ? 12 : 17;
    double target[3] = {0, 0, 0};
    std::size_t centre = 0;
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = record_->pairs[i].code;
        if (code == target_code || code == target_code + 10 || code == target_code + 20)
            target[(code - target_code) / 10] = Number(i);
        if (code == centre_code) centre = i;
        if (view && code == 70 && (static_cast<long>(Number(i)) & 1)) return;  // a paper space view
    }
    double x = 0, y = 0, z = 0, X2 = 0, Y2 = 0;
    std::size_t y_index = 0;
    if (centre == 0 || !PointAt(centre, x, y, z, y_index)) return;
    if (!Map(x + target[0], y + target[1], target[2], X2, Y2, false)) return;
    const DrawingSimilarity s = SimilarityAt(x + target[0], y + target[1], target[2]);
    SetNumber(centre, X2 - target[0]);
    SetNumber(y_index, Y2 - target[1]);
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = record_->pairs[i].code;
        if (code == 40 || (view && code == 41)) SetNumber(i, Number(i) * s.scale);
        if (!view && code == 13) {
            double sx = 0, sy = 0, sz = 0, SX = 0, SY = 0;
            std::size_t sy_index = 0;
            if (PointAt(i, sx, sy, sz, sy_index) && Map(sx, sy, 0, SX, SY, false)) {
                SetNumber(i, SX);
                SetNumber(sy_index, SY);
            }
        }
    }
}

// A paper space viewport: the model space point at its centre (view centre
// 12/22 plus target 17/27/37) converted and its view height 45 scaled; the
// paper space itself (viewport 1) and everything on the sheet stay.
void DrawingConverter::ConvertViewport() {
    double target[3] = {0, 0, 0};
    std::size_t centre = 0;
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = record_->pairs[i].code;
        if (code == 17 || code == 27 || code == 37) target[(code - 17) / 10] = Number(i);
        if (code == 12) centre = i;
        if (code == 69 && Trim(record_->Value(i)) == "1") return;
    }
    double x = 0, y = 0, z = 0, X2 = 0, Y2 = 0;
    std::size_t y_index = 0;
    if (centre == 0 || !PointAt(centre, x, y, z, y_index)) return;
    if (!Map(x + target[0], y + target[1], target[2], X2, Y2, false)) return;
    const DrawingSimilarity s = SimilarityAt(x + target[0], y + target[1], target[2]);
    SetNumber(centre, X2 - target[0]);
    SetNumber(y_index, Y2 - target[1]);
    for (std::size_t i = 1; i < stop_; ++i)
        if (record_->pairs[i].code == 45) SetNumber(i, Number(i) * s.scale);
    Count();
}

void DrawingConverter::ConvertEntity() {
    const std::string& type = type_;
    if (type == "SEQEND") {
        polyline_ = PolylineState{};
        attributes_left_ = false;
        return;
    }
    if (type == "VERTEX") {
        if (!polyline_.convert) return;
        normal_ = polyline_.normal;
        // A face record of a polyface mesh holds vertex numbers, no point.
        for (std::size_t i = 1; i < stop_; ++i)
            if (record_->pairs[i].code == 70) {
                const long flags = static_cast<long>(Number(i));
                if (polyline_.polyface && (flags & 128) && !(flags & 64)) return;
            }
        ConvertWithRoles();
        return;
    }
    if (type == "ATTRIB" && attributes_left_) return;
    if (type == "REGION" || type == "3DSOLID" || type == "BODY") {
        Leave("ACIS实体不能精确转换");
        return;
    }
    if (type == "ACAD_PROXY_ENTITY") {
        Leave("代理实体不能转换");
        return;
    }
    if (kind_ == Kind::kOther) {
        Leave("不支持的实体类型");
        if (type == "POLYLINE") polyline_ = PolylineState{};
        return;
    }
    normal_ = ReadNormal();
    if (!normal_.plain) {
        Leave("拉伸方向不是±Z");
        if (type == "POLYLINE") polyline_ = PolylineState{};
        if (type == "INSERT") attributes_left_ = true;
        return;
    }
    if (type == "INSERT") attributes_left_ = false;
    if (type == "HATCH") {
        ConvertHatch();
    } else {
        ConvertWithRoles();
    }
    Count();
}

Role DrawingConverter::RoleOf(int code) const {
    if (embedded_text_) {  // the MTEXT inside an ATTRIB or ATTDEF
        if (code == 10) return Role::PointWorld;
        if (code == 11) return Role::VectorWorld;
        if (code == 40 || code == 41 || code == 46) return Role::Length;
        return Role::None;
    }
    if (kind_ == Kind::kPoint) return code == 10 ? Role::PointWorld : Role::None;
    if (kind_ == Kind::kLine) return code == 10 || code == 11 ? Role::PointWorld : Role::None;
    if (kind_ == Kind::kXline || kind_ == Kind::kRay) return code == 10 ? Role::PointWorld : code == 11 ? Role::VectorWorld : Role::None;
    if (kind_ == Kind::kLwpolyline) {
        if (code == 10) return Role::PointObject;
        if (code == 40 || code == 41 || code == 43) return Role::Length;
        return Role::None;
    }
    if (kind_ == Kind::kPolyline) return code == 40 || code == 41 ? Role::Length : Role::None;
    if (kind_ == Kind::kVertex) {
        if (code == 10) return polyline_.world ? Role::PointWorld : Role::PointObject;
        if (code == 40 || code == 41) return Role::Length;
        if (code == 50) return Role::AngleObject;
        return Role::None;
    }
    if (kind_ == Kind::kSolid || kind_ == Kind::kTrace) return code >= 10 && code <= 13 ? Role::PointObject : Role::None;
    if (kind_ == Kind::kFace3d) return code >= 10 && code <= 13 ? Role::PointWorld : Role::None;
    if (kind_ == Kind::kCircle || kind_ == Kind::kArc) return Role::None;  // ConvertCircle
    if (kind_ == Kind::kEllipse) return code == 10 ? Role::PointWorld : code == 11 ? Role::ScaledVectorWorld : Role::None;
    if (kind_ == Kind::kSpline) {
        if (code == 10 || code == 11) return Role::PointWorld;
        if (code == 12 || code == 13) return Role::VectorWorld;
        return Role::None;
    }
    if (kind_ == Kind::kText || kind_ == Kind::kAttrib || kind_ == Kind::kAttdef) {
        if (code == 10) return Role::PointObject;
        // The second alignment point, 0,0 where the justification needs none.
        if (code == 11) return Role::SoftPointObject;
        if (code == 40) return Role::Length;
        if (code == 50) return Role::AngleObject;
        return Role::None;
    }
    if (kind_ == Kind::kMtext) {
        if (code == 10) return Role::PointWorld;
        if (code == 11) return Role::VectorWorld;
        if (code == 40 || code == 41 || code == 42 || code == 43 || code == 46 || code == 48 || code == 49)
            return Role::Length;
        if (code == 50) return Role::AngleObject;
        return Role::None;
    }
    if (kind_ == Kind::kInsert) {
        if (code == 10) return Role::PointObject;
        if (code == 41 || code == 42 || code == 44 || code == 45) return Role::Length;
        if (code == 50) return Role::AngleObject;
        return Role::None;
    }
    if (kind_ == Kind::kDimension) {
        if (code == 10 || code == 13 || code == 14) return Role::PointWorld;
        if (code == 11) return Role::PointObject;
        // Clone insertion point and the points only some types use: writers
        // leave them at 0,0 in the others.
        if (code == 12 || code == 15 || code == 16) return Role::SoftPointObject;
        if (code == 40) return Role::Length;
        if (code == 42) return dimension_type_ <= 1 || dimension_type_ == 3 || dimension_type_ == 4 ? Role::Length : Role::None;
        if (code == 50 || code == 51) return Role::AngleObject;
        return Role::None;
    }
    if (kind_ == Kind::kLeader) {
        if (code == 10) return Role::PointWorld;
        if (code == 40 || code == 41) return Role::Length;
        if (code == 211) return Role::VectorWorld;
        if (code == 212 || code == 213) return Role::ScaledVectorWorld;
        return Role::None;
    }
    if (kind_ == Kind::kImage || kind_ == Kind::kWipeout) {
        if (code == 10) return Role::PointWorld;
        if (code == 11 || code == 12) return Role::ScaledVectorWorld;
        return Role::None;
    }
    return Role::None;
}

void DrawingConverter::ConvertWithRoles() {
    const Record& r = *record_;
    // What the roles need to know first: the elevation of 2D polylines and
    // the dimension's type.
    double elevation = 0;
    dimension_type_ = 0;
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = r.pairs[i].code;
        if (code == 38 && kind_ == Kind::kLwpolyline) elevation = Number(i);
        if (code == 70 && kind_ == Kind::kDimension) dimension_type_ = static_cast<int>(Number(i)) & 7;
    }
    if (kind_ == Kind::kPolyline) {
        long flags = 0;
        double z = 0;
        for (std::size_t i = 1; i < stop_; ++i) {
            if (r.pairs[i].code == 70) flags = static_cast<long>(Number(i));
            if (r.pairs[i].code == 30) z = Number(i);
        }
        polyline_.convert = true;
        polyline_.world = (flags & (8 | 16 | 64)) != 0;
        polyline_.polyface = (flags & 64) != 0;
        polyline_.normal = normal_;
        polyline_.elevation = z;
        // The header's own point is (0, 0, elevation), not a vertex.
    }
    if (kind_ == Kind::kVertex) elevation = polyline_.elevation;

    // The anchor first, so that lengths and angles before the points (a
    // polyline's widths) use the similarity at the entity's first point.
    bool in_group = false;
    for (std::size_t i = 1; i < stop_ && !has_anchor_; ++i) {
        const int code = r.pairs[i].code;
        if (code == 102) in_group = !in_group && Trim(r.Value(i)).substr(0, 1) == "{";
        if (in_group || code == 102) continue;
        if (code == 101) break;
        const Role role = RoleOf(code);
        if (role == Role::PointWorld || role == Role::PointObject) {
            double x = 0, y = 0, z = 0;
            std::size_t y_index = 0;
            if (!PointAt(i, x, y, z, y_index)) continue;
            if (std::isnan(z)) z = elevation;
            const bool mirrored = role == Role::PointObject && normal_.mirrored;
            anchor_[0] = mirrored ? -x : x;
            anchor_[1] = y;
            anchor_[2] = mirrored ? -z : z;
            has_anchor_ = true;
        }
    }

    std::size_t text_value = 0, angle = 0, last_point_pair = 0, height = 0;
    bool has_x_scale = false, has_y_scale = false, has_direction = false;
    std::size_t arc_centre = 0, arc_radius = 0, arc_start = 0, arc_end = 0;
    std::size_t ellipse_axis = 0, ellipse_ratio = 0, ellipse_start = 0, ellipse_end = 0;
    double centre[3] = {0, 0, 0};
    in_group = false;
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = r.pairs[i].code;
        if (code == 102) {
            in_group = !in_group && Trim(r.Value(i)).substr(0, 1) == "{";
            continue;
        }
        if (in_group) continue;
        if (code == 101) {
            if (kind_ == Kind::kAttrib || kind_ == Kind::kAttdef) embedded_text_ = true;
            continue;
        }
        const bool embedded = embedded_text_;
        if (!embedded) {
            if (code == 1 && text_value == 0) text_value = i;
            if (code == 50) angle = i;
            if (code == 41) has_x_scale = true;
            if (code == 42) has_y_scale = true;
            if (code == 40 && height == 0) height = i;
            if ((code == 11 || code == 50) && kind_ == Kind::kMtext) has_direction = true;
            if (code >= 10 && code <= 18) last_point_pair = i;
            if (code >= 20 && code <= 38) last_point_pair = std::max(last_point_pair, i);
            if (code == 41 || code == 42 || code == 43) last_point_pair = std::max(last_point_pair, i);
        }
        const bool circular = kind_ == Kind::kCircle || kind_ == Kind::kArc;
        if (!embedded && (circular || kind_ == Kind::kEllipse) && code == 10) {
            double z = 0;
            std::size_t y_index = 0;
            PointAt(i, centre[0], centre[1], z, y_index);
            centre[2] = std::isnan(z) ? 0 : z;
            arc_centre = i;
        }
        if (!embedded && circular) {
            if (code == 40) arc_radius = i;
            if (code == 50) arc_start = i;
            if (code == 51) arc_end = i;
        }
        if (!embedded && kind_ == Kind::kEllipse) {
            if (code == 11) ellipse_axis = i;
            if (code == 40) ellipse_ratio = i;
            if (code == 41) ellipse_start = i;
            if (code == 42) ellipse_end = i;
        }
        const Role role = RoleOf(code);
        switch (role) {
            case Role::None:
                break;
            case Role::PointWorld:
                ConvertPoint(i, false, true, 0);
                break;
            case Role::PointObject:
                ConvertPoint(i, true, true, elevation);
                break;
            case Role::SoftPointObject:
                ConvertPoint(i, true, false, elevation);
                break;
            case Role::VectorWorld:
                ConvertVector(i, false, false);
                break;
            case Role::ScaledVectorWorld:
                ConvertVector(i, false, true);
                break;
            case Role::ScaledVectorObject:
                ConvertVector(i, true, true);
                break;
            case Role::VectorObject:
                ConvertVector(i, true, false);
                break;
            case Role::Length:
                ConvertLength(i);
                break;
            case Role::AngleObject:
                ConvertAngle(i);
                break;
        }
    }

    // Values that are absent because they hold their default: a rotation of
    // 0, a scale of 1, the MTEXT direction along x.
    const DrawingSimilarity& s = Similarity();
    const double turn = (normal_.mirrored ? -s.rotation : s.rotation) * kDegrees;
    const double turned = std::fmod(std::fmod(turn, 360) + 360, 360);
    if ((kind_ == Kind::kText || kind_ == Kind::kAttrib || kind_ == Kind::kAttdef) && angle == 0 && turn != 0) {
        const std::size_t after = text_value != 0 ? text_value : height;
        if (after != 0) InsertAfter(after, 50, turned);
    }
    if (kind_ == Kind::kInsert && last_point_pair != 0) {
        if (!has_x_scale && s.scale != 1) InsertAfter(last_point_pair, 41, s.scale);
        if (!has_y_scale && s.scale != 1) InsertAfter(last_point_pair, 42, s.scale);
        if (angle == 0 && turn != 0) InsertAfter(last_point_pair, 50, turned);
    }
    if (kind_ == Kind::kDimension && dimension_type_ == 0 && angle == 0 && turn != 0 && last_point_pair != 0)
        InsertAfter(last_point_pair, 50, turned);
    if (kind_ == Kind::kMtext && !has_direction && s.rotation != 0 && height != 0) {
        const double x = normal_.mirrored ? -1 : 1;
        InsertAfter(height, 11, s.cos_r * x);
        InsertAfter(height, 21, s.sin_r * x);
        InsertAfter(height, 31, 0);
    }

    if ((kind_ == Kind::kCircle || kind_ == Kind::kArc) && arc_centre != 0 && arc_radius != 0) {
        const double start = arc_start != 0 ? Number(arc_start) : 0;
        const double end = arc_end != 0 ? Number(arc_end) : 360;
        const CircleImage image =
            ConvertCircle(centre[0], centre[1], centre[2], Number(arc_radius), start, end, kind_ == Kind::kCircle);
        SetNumber(arc_centre, image.cx);
        SetNumber(arc_centre + 1, image.cy);
        SetNumber(arc_radius, image.radius);
        if (arc_start != 0) SetNumber(arc_start, image.start);
        if (arc_end != 0) SetNumber(arc_end, image.end);
    }
    if (kind_ == Kind::kEllipse && arc_centre != 0 && ellipse_axis != 0 && ellipse_ratio != 0) {
        double mx = 0, my = 0, mz = 0;
        std::size_t y_index = 0;
        PointAt(ellipse_axis, mx, my, mz, y_index);
        MeasureEllipse(centre[0], centre[1], centre[2], mx, my, Number(ellipse_ratio),
                       ellipse_start != 0 ? Number(ellipse_start) : 0,
                       ellipse_end != 0 ? Number(ellipse_end) : 2 * kPi);
    }
}

// HATCH: the elevation point (10, before the paths) stays; boundary paths
// (polyline vertices; line, arc, ellipse and spline edges) and seed points
// are points in object coordinates at the elevation; the pattern's angle,
// scale and definition lines follow the similarity at the first boundary
// point; arc edges keep their sense (clockwise edges store 360 - angle).
void DrawingConverter::ConvertHatch() {
    const Record& r = *record_;
    double elevation = 0;
    for (std::size_t i = 1; i < stop_; ++i)
        if (r.pairs[i].code == 30) {
            elevation = Number(i);
            break;
        }
    enum class Part { Head, Paths, Pattern } part = Part::Head;
    bool polyline_path = false;
    int edge = 0;
    // The arc edge being read: centre, radius, start, end, and its sense.
    std::size_t arc_centre = 0, arc_radius = 0, arc_start = 0, arc_end = 0;
    double arc_centre_xy[2] = {0, 0};
    double arc_radius_value = 0, arc_start_value = 0, arc_end_value = 0;
    const auto finish_arc = [&](bool counter_clockwise) {
        if (arc_centre == 0 || arc_radius == 0 || arc_start == 0 || arc_end == 0) return;
        // A clockwise edge stores 360 - angle, its ends swapped.
        const double start = counter_clockwise ? arc_start_value : 360 - arc_end_value;
        const double end = counter_clockwise ? arc_end_value : 360 - arc_start_value;
        const bool full = std::fabs(end - start) >= 360;
        if (!has_anchor_) {
            has_anchor_ = true;
            anchor_[0] = normal_.mirrored ? -arc_centre_xy[0] : arc_centre_xy[0];
            anchor_[1] = arc_centre_xy[1];
            anchor_[2] = normal_.mirrored ? -elevation : elevation;
        }
        const CircleImage image = ConvertCircle(arc_centre_xy[0], arc_centre_xy[1], elevation, arc_radius_value,
                                                start, end, full);
        SetNumber(arc_centre, image.cx);
        SetNumber(arc_centre + 1, image.cy);
        SetNumber(arc_radius, image.radius);
        const auto stored = [&](double angle) {
            return counter_clockwise ? angle : std::fmod(std::fmod(360 - angle, 360) + 360, 360);
        };
        if (!full) {
            SetNumber(arc_start, stored(counter_clockwise ? image.start : image.end));
            SetNumber(arc_end, stored(counter_clockwise ? image.end : image.start));
        }
        arc_centre = arc_radius = arc_start = arc_end = 0;
    };
    bool in_group = false;
    for (std::size_t i = 1; i < stop_; ++i) {
        const int code = r.pairs[i].code;
        if (code == 102) {
            in_group = !in_group && Trim(r.Value(i)).substr(0, 1) == "{";
            continue;
        }
        if (in_group) continue;
        if (part == Part::Head) {
            if (code == 91) part = Part::Paths;
            continue;
        }
        if (part == Part::Paths) {
            if (code == 75) {
                finish_arc(true);
                part = Part::Pattern;
                continue;
            }
            if (code == 92) {
                finish_arc(true);
                polyline_path = (static_cast<long>(Number(i)) & 2) != 0;
                edge = 0;
                continue;
            }
            if (polyline_path) {
                if (code == 10) ConvertPoint(i, true, true, elevation);
                continue;
            }
            if (code == 72) {
                finish_arc(true);
                edge = static_cast<int>(Number(i));
                continue;
            }
            if (edge == 2) {
                if (code == 10) {
                    double z = 0;
                    std::size_t y_index = 0;
                    PointAt(i, arc_centre_xy[0], arc_centre_xy[1], z, y_index);
                    arc_centre = i;
                }
                if (code == 40) arc_radius = i, arc_radius_value = Number(i);
                if (code == 50) arc_start = i, arc_start_value = Number(i);
                if (code == 51) arc_end = i, arc_end_value = Number(i);
                if (code == 73) finish_arc(Trim(r.Value(i)) != "0");
                continue;
            }
            if (code == 10 || (code == 11 && edge != 3)) ConvertPoint(i, true, true, elevation);
            if (code == 11 && edge == 3) ConvertVector(i, true, true);
            if ((code == 12 || code == 13) && edge == 4) ConvertVector(i, true, false);
            continue;
        }
        // The pattern and the seed points.
        if (code == 52 || code == 53) ConvertAngle(i);
        if (code == 41 || code == 49) ConvertLength(i);
        if (code == 43 || code == 45) {
            if (i + 1 < stop_ && r.pairs[i + 1].code == code + 1) {
                const DrawingSimilarity& s = Similarity();
                const double sin_r = normal_.mirrored ? -s.sin_r : s.sin_r;
                const double x = Number(i), y = Number(i + 1);
                SetNumber(i, s.scale * (s.cos_r * x - sin_r * y));
                SetNumber(i + 1, s.scale * (sin_r * x + s.cos_r * y));
            }
        }
        if (code == 10) ConvertPoint(i, true, true, elevation);
    }
}

// Writes the record with its edits into `out`.
void WriteRecord(const Record& record, std::vector<Edit>& edits, std::string& out) {
    if (edits.empty()) {
        out += record.bytes;
        return;
    }
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.index < b.index; });
    std::size_t next = 0;
    for (std::size_t i = 0; i < record.pairs.size(); ++i) {
        const Pair& pair = record.pairs[i];
        bool replaced = false;
        std::size_t first_insert = next;
        while (first_insert < edits.size() && edits[first_insert].index == i && !edits[first_insert].insert) {
            out.append(record.CodeLine(i));
            out += edits[first_insert].text;
            out.append(record.LineEnd(i));
            replaced = true;
            ++first_insert;
        }
        if (!replaced) out.append(record.bytes, pair.start, pair.end - pair.start);
        std::size_t k = first_insert;
        while (k < edits.size() && edits[k].index == i) {
            if (edits[k].insert) {
                std::string_view line_end = record.LineEnd(i);
                if (line_end.empty()) line_end = "\n";
                std::string code = std::to_string(edits[k].code);
                // Codes right-aligned in three columns when the file pads them.
                if (!record.CodeLine(i).empty() && record.CodeLine(i).front() == ' ' && code.size() < 3)
                    code.insert(0, 3 - code.size(), ' ');
                if (line_end.empty() && i + 1 == record.pairs.size()) out += "\n";
                out += code;
                out.append(line_end);
                out += edits[k].text;
                out.append(line_end);
            }
            ++k;
        }
        next = k;
    }
}

}  // namespace

DxfSummary ConvertDxfFile(const std::string& input, const std::string& output, const PointConversion& conversion,
                          const DxfConversionOptions& options) {
    std::string lower = input;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string kDwgText = "DWG图形文件不能直接转换，请先在CAD中另存为DXF";
    if (lower.size() >= 4 && lower.substr(lower.size() - 4) == ".dwg") throw CommandError(kDwgText);
    if (!conversion.PlaneToPlane())
        throw CommandError("图形只能在平面坐标之间转换，请把原坐标和新坐标都设为平面坐标");
    LineSource source(input);
    const std::string_view head = source.Peek(22);
    if (head.substr(0, 18) == "AutoCAD Binary DXF")
        throw CommandError("二进制DXF文件不能转换，请先在CAD中另存为ASCII DXF");
    if (head.size() >= 6 && head.substr(0, 4) == "AC10" && std::isdigit(static_cast<unsigned char>(head[4])))
        throw CommandError(kDwgText);

    DxfSummary summary;
    DrawingConverter converter(conversion, options, summary);
    RecordReader reader(source);
    SafeFileWriter writer(output);
    Record record;
    std::vector<Edit> edits;
    std::string out;
    out.reserve(1 << 21);
    double reported = 0;
    bool first = true;
    while (reader.Next(record)) {
        if (first && record.pairs.front().code != 0 && record.pairs.front().code != 999)
            throw CommandError("文件不是ASCII DXF图形");
        first = false;
        edits.clear();
        if (record.pairs.front().code == 0) converter.Convert(record, edits);
        RaiseFloatingPointErrors();
        WriteRecord(record, edits, out);
        if (out.size() >= (1u << 20)) {
            writer.Write(out);
            out.clear();
            if (options.progress && source.Share() - reported >= 0.01) {
                reported = source.Share();
                if (!options.progress(reported)) throw CommandError(kDxfCancelledText);
            }
        }
    }
    if (first) throw CommandError("文件不是ASCII DXF图形");
    writer.Write(out);
    if (options.progress && !options.progress(1)) throw CommandError(kDxfCancelledText);
    writer.Commit();
    return summary;
}

namespace {

std::string Millimetres(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string ExtentsText(const DxfExtents& e) {
    if (e.empty) return "-";
    return "X " + ShortestDoubleText(e.min_x) + " .. " + ShortestDoubleText(e.max_x) + ", Y " +
           ShortestDoubleText(e.min_y) + " .. " + ShortestDoubleText(e.max_y);
}

std::string JsonExtents(const DxfExtents& e) {
    if (e.empty) return "null";
    return "{\"min_x\": " + ShortestDoubleText(e.min_x) + ", \"min_y\": " + ShortestDoubleText(e.min_y) +
           ", \"max_x\": " + ShortestDoubleText(e.max_x) + ", \"max_y\": " + ShortestDoubleText(e.max_y) + "}";
}

}  // namespace

std::string DxfSummaryText(const DxfSummary& summary) {
    std::string text = "已转换实体:";
    long total = 0;
    for (const auto& [type, count] : summary.converted) {
        text += " " + type + " " + std::to_string(count);
        total += count;
    }
    text += total == 0 ? " 无\n" : "\n";
    text += "未转换实体: " + std::to_string(summary.left.size()) + "\n";
    constexpr std::size_t kListed = 50;
    for (std::size_t i = 0; i < summary.left.size() && i < kListed; ++i) {
        const DxfLeftEntity& left = summary.left[i];
        text += "  " + left.type + " " + (left.handle.empty() ? "-" : left.handle) + " " + left.reason + "\n";
    }
    if (summary.left.size() > kListed)
        text += "  ... 另有" + std::to_string(summary.left.size() - kListed) + "个\n";
    text += "圆弧最大偏差: " + Millimetres(summary.largest_arc_deviation_mm) + " mm (" +
            std::to_string(summary.arcs) + "个圆、圆弧和椭圆)\n";
    text += "转换前范围: " + ExtentsText(summary.before) + "\n";
    text += "转换后范围: " + ExtentsText(summary.after) + "\n";
    return text;
}

std::string DxfSummaryJson(const DxfSummary& summary) {
    std::string json = "{\n  \"converted\": {";
    bool first = true;
    for (const auto& [type, count] : summary.converted) {
        json += (first ? "" : ", ") + JsonString(type) + ": " + std::to_string(count);
        first = false;
    }
    json += "},\n  \"left\": [";
    for (std::size_t i = 0; i < summary.left.size(); ++i) {
        const DxfLeftEntity& left = summary.left[i];
        json += std::string(i ? ",\n    " : "\n    ") + "{\"type\": " + JsonString(left.type) +
                ", \"handle\": " + JsonString(left.handle) + ", \"reason\": " + JsonString(left.reason) + "}";
    }
    json += summary.left.empty() ? "],\n" : "\n  ],\n";
    json += "  \"arcs\": " + std::to_string(summary.arcs) + ",\n";
    json += "  \"largest_arc_deviation_mm\": " + ShortestDoubleText(summary.largest_arc_deviation_mm) + ",\n";
    json += "  \"extents_before\": " + JsonExtents(summary.before) + ",\n";
    json += "  \"extents_after\": " + JsonExtents(summary.after) + "\n}\n";
    return json;
}

}  // namespace coordconv
