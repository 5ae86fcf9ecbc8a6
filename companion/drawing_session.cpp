#include "companion/drawing_session.h"

#include <QJsonArray>

#include "cadlink/cad_companion_protocol.h"

namespace coordconv::companion {
namespace {

using cad_protocol::PointFromJson;

QJsonObject Result(const QJsonValue& value) { return QJsonObject{{"result", value}}; }
QJsonObject Error(const QString& text) { return QJsonObject{{"error", text}}; }

void Expect(const QJsonObject& request, std::uint32_t handle, const char* what) {
    if (request.value("object").toInteger() != handle) throw CadError(std::string("对象不是") + what);
}

double Number(const QJsonObject& request, const char* key) {
    const QJsonValue value = request.value(key);
    if (!value.isDouble()) throw CadError(std::string("缺少数值参数 ") + key);
    return value.toDouble();
}

}  // namespace

void DrawingSession::Handle(const QJsonObject& request, std::function<void(QJsonObject)> reply) {
    const QString call = request.value("call").toString();
    try {
        if (call == "GetPoint") {
            Expect(request, kUtility, "输入工具");
            std::optional<CadPoint> base;
            if (request.contains("base")) base = PointFromJson(request.value("base"));
            input_.RequestPoint(request.value("prompt").toString(), base, [reply](std::optional<CadPoint> point) {
                reply(point ? Result(cad_protocol::PointToJson(*point)) : Error(kCancelText));
            });
            return;
        }
        if (call == "GetString") {
            Expect(request, kUtility, "输入工具");
            input_.RequestString(request.value("prompt").toString(), request.value("allow_blanks").toBool(),
                                 [reply](std::optional<QString> text) {
                                     reply(text ? Result(*text) : Error(kCancelText));
                                 });
            return;
        }
        reply(Immediate(call, request));
    } catch (const CommandError& error) {
        reply(Error(QString::fromStdString(error.what())));
    }
}

QJsonObject DrawingSession::Immediate(const QString& call, const QJsonObject& request) {
    if (call == "SetVisible") {
        input_.SetVisible(request.value("value").toBool());
        return Result(QJsonValue());
    }
    if (call == "ActiveDocument") return Result(static_cast<qint64>(kDocument));
    if (call == "ModelSpace") {
        Expect(request, kDocument, "图形");
        return Result(static_cast<qint64>(kModelSpace));
    }
    if (call == "Utility") {
        Expect(request, kDocument, "图形");
        return Result(static_cast<qint64>(kUtility));
    }
    if (call == "GetVariable") {
        Expect(request, kDocument, "图形");
        const CadValue value = drawing_.Variable(request.value("name").toString().toStdString());
        if (const auto* text = std::get_if<std::string>(&value)) return Result(QString::fromStdString(*text));
        if (const auto* integer = std::get_if<std::int32_t>(&value))
            return QJsonObject{{"result", *integer}, {"integer", true}};
        return Result(std::get<double>(value));
    }
    if (call == "Update") {
        Entity(request);
        input_.DrawingChanged();
        return Result(QJsonValue());
    }
    if (call == "AppendOuterLoop") {
        auto* hatch = std::get_if<HatchEntity>(&Entity(request).shape);
        if (hatch == nullptr) throw CadError("对象不是填充");
        std::vector<HatchEdge> loop;
        double boundary_z = 0;
        for (const QJsonValue handle : request.value("loop").toArray()) {
            const QJsonObject member{{"object", handle}};
            const auto* circle = std::get_if<CircleEntity>(&Entity(member).shape);
            if (circle == nullptr) throw CadError("填充边界只能是圆");
            if (loop.empty()) boundary_z = circle->centre.z;
            HatchEdge edge;
            edge.is_arc = true;
            edge.x1 = circle->centre.x;
            edge.y1 = circle->centre.y;
            edge.radius = circle->radius;
            edge.start_degrees = 0;
            edge.end_degrees = 360;
            loop.push_back(edge);
        }
        if (loop.empty()) throw CadError("填充边界为空");
        // The hatch lies in the plane of its outer boundary.
        if (hatch->loops.empty()) hatch->elevation = boundary_z;
        hatch->loops.push_back(loop);
        input_.DrawingChanged();
        return Result(QJsonValue());
    }

    Expect(request, kModelSpace, "模型空间");
    std::uint32_t handle = 0;
    if (call == "AddLine") {
        handle = Add(LineEntity{PointFromJson(request.value("start")), PointFromJson(request.value("end"))});
    } else if (call == "AddCircle") {
        handle = Add(CircleEntity{PointFromJson(request.value("centre")), Number(request, "radius")});
    } else if (call == "AddLightWeightPolyLine") {
        const QJsonArray numbers = request.value("vertices").toArray();
        if (numbers.size() < 4 || numbers.size() % 2 != 0) throw CadError("多段线顶点数组无效");
        PolylineEntity polyline;
        for (qsizetype i = 0; i + 1 < numbers.size(); i += 2)
            polyline.vertices.push_back({numbers[i].toDouble(), numbers[i + 1].toDouble(), 0});
        handle = Add(polyline);
    } else if (call == "AddHatch") {
        HatchEntity hatch;
        hatch.pattern = request.value("pattern_name").toString().toUpper().toStdString();
        hatch.solid = hatch.pattern == "SOLID";
        hatch.associative = request.value("associative").toBool();
        handle = Add(hatch);
    } else if (call == "AddText") {
        TextEntity text;
        text.text = request.value("text").toString().toStdString();
        text.insertion = PointFromJson(request.value("insertion"));
        text.height = Number(request, "height");
        handle = Add(text);
    } else {
        throw CadError("未知的方法 " + call.toStdString());
    }
    input_.DrawingChanged();
    return Result(static_cast<qint64>(handle));
}

DrawingEntity& DrawingSession::Entity(const QJsonObject& request) {
    const qint64 handle = request.value("object").toInteger();
    if (handle < kFirstEntity || handle - kFirstEntity >= static_cast<qint64>(drawing_.entities.size()))
        throw CadError("无效的对象");
    return drawing_.entities[static_cast<std::size_t>(handle - kFirstEntity)];
}

std::uint32_t DrawingSession::Add(EntityShape shape) {
    if (!NumbersWritable(shape)) throw CadError("数值超出图形范围");
    drawing_.entities.push_back({EntityAttributes{}, std::move(shape)});
    return kFirstEntity + static_cast<std::uint32_t>(drawing_.entities.size() - 1);
}

}  // namespace coordconv::companion
