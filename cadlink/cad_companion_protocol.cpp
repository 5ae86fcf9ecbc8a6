#include "cadlink/cad_companion_protocol.h"

#include <QJsonDocument>
#include <QStandardPaths>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace coordconv::cad_protocol {

QString DefaultServerName() {
    const QByteArray from_environment = qgetenv(kServerEnvironmentVariable);
    return from_environment.isEmpty() ? QString::fromUtf8(kDefaultServerName) : QString::fromUtf8(from_environment);
}

QString ServerPath(const QString& name) {
#ifdef Q_OS_UNIX
    if (name.contains('/')) return name;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) return name;
    return folder + "/" + name;
#else
    return name;
#endif
}

bool PeerIsThisUser(qintptr socket_descriptor) {
#ifdef Q_OS_LINUX
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(socket_descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return peer.uid == getuid();
#else
    (void)socket_descriptor;
    return true;
#endif
}

QJsonArray PointToJson(const CadPoint& point) { return QJsonArray{point.x, point.y, point.z}; }

CadPoint PointFromJson(const QJsonValue& value) {
    const QJsonArray array = value.toArray();
    if (array.size() != 3 || !array[0].isDouble() || !array[1].isDouble() || !array[2].isDouble())
        throw CadError("点坐标必须是三个数");
    return {array[0].toDouble(), array[1].toDouble(), array[2].toDouble()};
}

QByteArray EncodeMessage(const QJsonObject& message) {
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject DecodeMessage(const QByteArray& line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw CadError("无法识别的消息: " + line.trimmed().left(80).toStdString());
    return document.object();
}

}  // namespace coordconv::cad_protocol
