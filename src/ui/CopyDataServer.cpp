#include "ui/CopyDataServer.h"

#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtEndian>

#include "ui/WindowIdentity.h"

namespace {

QString UserName() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(getuid());
}

// Whether the process at the other end of the socket runs as this user.
bool SameUser(const QLocalSocket& socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == getuid();
}

}  // namespace

CopyDataServer::CopyDataServer(Handler handler, QObject* parent)
    : QObject(parent), handler(std::move(handler)), server(new QLocalServer(this)) {
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &CopyDataServer::Accept);
}

CopyDataServer::~CopyDataServer() = default;

QString CopyDataServer::DefaultName() {
    return QString::fromLatin1(WindowClassName) + QLatin1Char('-') + UserName();
}

QString CopyDataServer::ServerName() const {
    return server->serverName();
}

QByteArray CopyDataServer::Record(quint64 identifier, const QByteArray& data) {
    QByteArray record(HeaderLength, '\0');
    qToLittleEndian<quint64>(identifier, record.data());
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), record.data() + 8);
    return record + data;
}

bool CopyDataServer::Listen(const QString& name) {
    // Listening would replace the socket of a live copy too: ask first whether one answers.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(name);   // left behind by a copy that is gone
    return server->listen(name);
}

void CopyDataServer::Accept() {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        if (!SameUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections.append({socket, {}, 0});
        connect(socket, &QLocalSocket::readyRead, this, &CopyDataServer::Dispatch);
        connect(socket, &QLocalSocket::disconnected, this, &CopyDataServer::Dispatch);
    }
    Dispatch();
}

bool CopyDataServer::TakeRecord(Connection& connection) {
    QByteArray& buffer = connection.buffer;
    if (connection.skip > 0) {
        const qsizetype dropped = std::min<quint64>(connection.skip, static_cast<quint64>(buffer.size()));
        buffer.remove(0, dropped);
        connection.skip -= static_cast<quint64>(dropped);
        if (connection.skip > 0) return false;
    }
    if (buffer.size() < HeaderLength) return false;
    const quint64 identifier = qFromLittleEndian<quint64>(buffer.constData());
    const quint32 length = qFromLittleEndian<quint32>(buffer.constData() + 8);
    if (length > MaxDataLength) {
        buffer.remove(0, HeaderLength);
        connection.skip = length;
        connection.socket->write(QByteArray(1, '\0'));
        return true;
    }
    if (buffer.size() < HeaderLength + static_cast<qsizetype>(length)) return false;
    const QByteArray data = buffer.mid(HeaderLength, length);
    buffer.remove(0, HeaderLength + length);
    const QPointer<QLocalSocket> socket = connection.socket;
    const bool taken = handler(identifier, data);
    if (socket) socket->write(QByteArray(1, taken ? '\1' : '\0'));
    return true;
}

void CopyDataServer::Dispatch() {
    // A record is handled to its end before the next: the handler may wait in a dialog, and a
    // record arriving meanwhile is taken up after it.
    if (dispatching) return;
    dispatching = true;
    for (bool progress = true; progress;) {
        progress = false;
        for (qsizetype i = 0; i < connections.size();) {
            QLocalSocket* socket = connections[i].socket;
            connections[i].buffer += socket->readAll();
            if (TakeRecord(connections[i])) {
                progress = true;   // the list may have changed meanwhile: start over
                break;
            }
            if (socket->state() != QLocalSocket::ConnectedState && socket->bytesAvailable() == 0) {
                connections.removeAt(i);
                socket->deleteLater();
                continue;
            }
            ++i;
        }
    }
    dispatching = false;
}
