#include "cadlink/cad_companion_client.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocalSocket>

#include "cadlink/cad_companion_protocol.h"

namespace coordconv {
namespace {

using cad_protocol::PointToJson;

inline constexpr const char* kConnectionLostText = "与CAD程序的连接已断开";
inline constexpr const char* kNoReplyText = "CAD程序没有应答";

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

class CompanionClient : public CadAutomation {
public:
    explicit CompanionClient(std::unique_ptr<QLocalSocket> socket) : socket_(std::move(socket)) {}
    ~CompanionClient() override {
        socket_->disconnectFromServer();
        if (socket_->state() != QLocalSocket::UnconnectedState) socket_->waitForDisconnected(1000);
    }

    void SetVisible(bool visible) override { Call({{"call", "SetVisible"}, {"value", visible}}); }
    CadObject ActiveDocument() override { return Handle(Call({{"call", "ActiveDocument"}})); }
    CadObject ModelSpace(CadObject document) override {
        return Handle(Call({{"call", "ModelSpace"}, {"object", Id(document)}}));
    }
    CadObject Utility(CadObject document) override {
        return Handle(Call({{"call", "Utility"}, {"object", Id(document)}}));
    }
    CadValue GetVariable(CadObject document, const std::string& name) override {
        const QJsonObject reply = Call({{"call", "GetVariable"}, {"object", Id(document)}, {"name", Q(name)}});
        const QJsonValue result = reply.value("result");
        if (result.isString()) return result.toString().toStdString();
        if (reply.value("integer").toBool()) return static_cast<std::int32_t>(result.toInt());
        return result.toDouble();
    }
    std::string GetString(CadObject utility, bool allow_blanks, const std::string& prompt) override {
        const QJsonObject reply = Call(
            {{"call", "GetString"}, {"object", Id(utility)}, {"allow_blanks", allow_blanks}, {"prompt", Q(prompt)}},
            -1);
        return reply.value("result").toString().toStdString();
    }
    CadPoint GetPoint(CadObject utility, const std::string& prompt) override {
        return cad_protocol::PointFromJson(
            Call({{"call", "GetPoint"}, {"object", Id(utility)}, {"prompt", Q(prompt)}}, -1).value("result"));
    }
    CadPoint GetPoint(CadObject utility, const CadPoint& base, const std::string& prompt) override {
        return cad_protocol::PointFromJson(
            Call({{"call", "GetPoint"}, {"object", Id(utility)}, {"prompt", Q(prompt)}, {"base", PointToJson(base)}},
                 -1)
                .value("result"));
    }
    CadObject AddHatch(CadObject model_space, int pattern_type, const std::string& pattern_name,
                       bool associative) override {
        return Handle(Call({{"call", "AddHatch"},
                            {"object", Id(model_space)},
                            {"pattern_type", pattern_type},
                            {"pattern_name", Q(pattern_name)},
                            {"associative", associative}}));
    }
    CadObject AddCircle(CadObject model_space, const CadPoint& centre, double radius) override {
        return Handle(Call(
            {{"call", "AddCircle"}, {"object", Id(model_space)}, {"centre", PointToJson(centre)}, {"radius", radius}}));
    }
    void AppendOuterLoop(CadObject hatch, const std::vector<CadObject>& loop) override {
        QJsonArray handles;
        for (const auto& object : loop) handles.append(Id(object));
        Call({{"call", "AppendOuterLoop"}, {"object", Id(hatch)}, {"loop", handles}});
    }
    CadObject AddLightWeightPolyLine(CadObject model_space, const std::vector<double>& vertices) override {
        QJsonArray numbers;
        for (const double v : vertices) numbers.append(v);
        return Handle(Call({{"call", "AddLightWeightPolyLine"}, {"object", Id(model_space)}, {"vertices", numbers}}));
    }
    CadObject AddLine(CadObject model_space, const CadPoint& start, const CadPoint& end) override {
        return Handle(Call({{"call", "AddLine"},
                            {"object", Id(model_space)},
                            {"start", PointToJson(start)},
                            {"end", PointToJson(end)}}));
    }
    void Update(CadObject entity) override { Call({{"call", "Update"}, {"object", Id(entity)}}); }
    CadObject AddText(CadObject model_space, const std::string& text, const CadPoint& insertion,
                      double height) override {
        return Handle(Call({{"call", "AddText"},
                            {"object", Id(model_space)},
                            {"text", Q(text)},
                            {"insertion", PointToJson(insertion)},
                            {"height", height}}));
    }

private:
    static qint64 Id(CadObject object) { return object.id; }
    static CadObject Handle(const QJsonObject& reply) {
        return {static_cast<std::uint32_t>(reply.value("result").toInteger())};
    }

    // Sends one request and waits for its reply; timeout_ms -1 waits for the
    // user as long as it takes.
    QJsonObject Call(const QJsonObject& request, int timeout_ms = kReplyTimeoutMs) {
        if (socket_->state() != QLocalSocket::ConnectedState) throw CadError(kConnectionLostText);
        socket_->write(cad_protocol::EncodeMessage(request));
        if (!socket_->waitForBytesWritten(kReplyTimeoutMs) && socket_->bytesToWrite() > 0)
            throw CadError(socket_->state() == QLocalSocket::ConnectedState ? kNoReplyText : kConnectionLostText);
        while (!socket_->canReadLine()) {
            if (socket_->state() != QLocalSocket::ConnectedState) throw CadError(kConnectionLostText);
            if (!socket_->waitForReadyRead(timeout_ms) && !socket_->canReadLine()) {
                if (socket_->state() != QLocalSocket::ConnectedState) throw CadError(kConnectionLostText);
                if (timeout_ms >= 0) throw CadError(kNoReplyText);
            }
        }
        const QJsonObject reply = cad_protocol::DecodeMessage(socket_->readLine());
        if (reply.contains("error")) throw CadError(reply.value("error").toString().toStdString());
        return reply;
    }

    std::unique_ptr<QLocalSocket> socket_;
};

}  // namespace

std::unique_ptr<CadAutomation> ConnectToCadCompanion(const std::string& server_name) {
    auto socket = std::make_unique<QLocalSocket>();
    const QString path = cad_protocol::ServerPath(Q(server_name));
    socket->connectToServer(path);
    if (!socket->waitForConnected(kCompanionConnectTimeoutMs)) return nullptr;
    // Drawing requests and picks go only to a companion of this user.
    if (!cad_protocol::PeerIsThisUser(socket->socketDescriptor()))
        throw CadError("套接字 " + path.toStdString() + " 不属于当前用户");
    return std::make_unique<CompanionClient>(std::move(socket));
}

}  // namespace coordconv
