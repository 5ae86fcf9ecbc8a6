#include "companion/companion_server.h"

#include <algorithm>

#include <QFile>
#include <QLocalSocket>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <QPointer>

#include "cadlink/cad_companion_protocol.h"

namespace coordconv::companion {

CompanionServer::CompanionServer(DrawingSession& session, QObject* parent)
    : QObject(parent), session_(session), server_(this) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &CompanionServer::OnNewConnection);
}

bool CompanionServer::Listen(const QString& name, QString& error) {
    const QString path = cad_protocol::ServerPath(name);
    {
        // A server that answers: another companion runs under this name.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(500)) {
            error = "另一个 coordconv-cad 已在 " + path + " 上运行";
            return false;
        }
    }
#ifdef Q_OS_UNIX
    // Nobody answers: a socket left behind by a crash may be removed, but
    // never a file of another kind that happens to carry the name.
    struct stat status {};
    if (lstat(QFile::encodeName(path).constData(), &status) == 0) {
        if (!S_ISSOCK(status.st_mode)) {
            error = path + " 已存在且不是套接字";
            return false;
        }
        QLocalServer::removeServer(path);
    }
#else
    QLocalServer::removeServer(path);
#endif
    if (!server_.listen(path)) {
        error = server_.errorString();
        return false;
    }
    return true;
}

void CompanionServer::OnNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        // Only programs of this user may draw and pick here.
        if (!cad_protocol::PeerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            --clients_;
            // Requests of a client that left are not answered.
            std::erase_if(queue_, [socket](const Pending& p) { return p.socket == socket; });
            if (busy_ && current_ == socket) session_.AbortInput();
            socket->deleteLater();
            emit ClientDisconnected(clients_);
        });
        emit ClientConnected();
    }
}

namespace {

// One request is a line of a few hundred bytes; the replies a client leaves
// unread pile up in the companion. A client beyond either bound is dropped,
// so that one client cannot stall the drawing or exhaust memory.
constexpr qint64 kMaxRequestBytes = 1 << 20;
constexpr qint64 kMaxUnsentReplyBytes = 4 << 20;
constexpr qint64 kMaxQueuedRequests = 1000;

}  // namespace

void CompanionServer::OnReadyRead(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxRequestBytes + 1);
        if (line.size() > kMaxRequestBytes || !line.endsWith('\n')) {
            socket->abort();
            return;
        }
        queue_.push_back({socket, line});
    }
    const auto queued = std::count_if(queue_.begin(), queue_.end(), [socket](const Pending& p) { return p.socket == socket; });
    if (socket->bytesAvailable() > kMaxRequestBytes || queued > kMaxQueuedRequests) {
        socket->abort();
        return;
    }
    ProcessNext();
}

void CompanionServer::ProcessNext() {
    if (busy_ || queue_.empty()) return;
    busy_ = true;
    const Pending next = queue_.front();
    queue_.pop_front();
    current_ = next.socket;
    QPointer<QLocalSocket> socket(next.socket);
    auto reply = [this, socket](const QJsonObject& message) {
        if (socket && socket->state() == QLocalSocket::ConnectedState) {
            socket->write(cad_protocol::EncodeMessage(message));
            socket->flush();
            if (socket->bytesToWrite() > kMaxUnsentReplyBytes) socket->abort();
        }
        busy_ = false;
        current_ = nullptr;
        // Later requests run from the event loop, not inside this reply.
        QMetaObject::invokeMethod(this, &CompanionServer::ProcessNext, Qt::QueuedConnection);
    };
    try {
        session_.Handle(cad_protocol::DecodeMessage(next.line), reply);
    } catch (const CommandError& error) {
        reply(QJsonObject{{"error", QString::fromStdString(error.what())}});
    }
}

}  // namespace coordconv::companion
