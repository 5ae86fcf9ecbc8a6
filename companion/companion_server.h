// The local socket server of coordconv-cad: reads request lines from each
// connected client and answers them in order, one request at a time across
// all clients (a pending pick holds the others back, as in a CAD program
// with one command line).
#pragma once

#include <QLocalServer>
#include <QObject>
#include <deque>

#include "companion/drawing_session.h"

class QLocalSocket;

namespace coordconv::companion {

class CompanionServer : public QObject {
    Q_OBJECT
public:
    CompanionServer(DrawingSession& session, QObject* parent = nullptr);

    // Listens under `name`; false with `error` set when another companion
    // already answers there or the name cannot be taken.
    bool Listen(const QString& name, QString& error);
    QString FullServerName() const { return server_.fullServerName(); }
    int ClientCount() const { return clients_; }

signals:
    void ClientConnected();
    void ClientDisconnected(int remaining_clients);

private:
    struct Pending {
        QLocalSocket* socket;
        QByteArray line;
    };
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    void ProcessNext();

    DrawingSession& session_;
    QLocalServer server_;
    std::deque<Pending> queue_;
    bool busy_ = false;
    QLocalSocket* current_ = nullptr;  // the client of the request being answered
    int clients_ = 0;
};

}  // namespace coordconv::companion
