#include "companion/companion_server.h"

#include <QLocalSocket>
#include <QPointer>

#include "cadlink/cad_companion_protocol.h"

namespace coordconv::companion {

CompanionServer::CompanionServer(DrawingSession& session, QObject* parent)
    : QObject(parent), session_(session), server_(this) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &CompanionServer::OnNewConnection);
}

bool CompanionServer::Listen(const QString& name, QString& error) {
    {
        // A server that answers: another companion runs under this name.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500)) {
            error = "另一个 coordconv-cad 已在 " + name + " 上运行";
            return false;
        }
    }
    // Nobody answers: a socket file left behind by a crash may be removed.
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) {
        error = server_.errorString();
        return false;
    }
    return true;
}

void CompanionServer::OnNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
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

void CompanionServer::OnReadyRead(QLocalSocket* socket) {
    while (socket->canReadLine()) queue_.push_back({socket, socket->readLine()});
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
