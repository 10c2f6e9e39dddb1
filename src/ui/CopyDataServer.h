#pragma once
// The receiving end of the message a second copy of the program sends to the running one: a
// local socket named after the window class and the user, which only the same user can reach.
//
// A record on the socket: the identifier as 8 octets, then the length of the data as 4 octets
// (both little-endian), then the data. The copy that starts with a file name sends identifier
// CopyDataOpenFile and the name's octets, as its command line gave them, ended by a zero octet.
// Every record is answered with one octet once the window has handled it: 1 when the window took
// it, 0 when it ignored it; so the sender can wait, as it waits for a sent window message.
// A record with more data than MaxDataLength is skipped unread and answered 0.
#include <functional>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class CopyDataServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint64 CopyDataOpenFile = 22;
    // No path this system opens is longer (with its terminating zero).
    static constexpr quint32 MaxDataLength = 4096;
    static constexpr int HeaderLength = 12;

    // Handles one record; true when it was taken. May run a nested event loop (a modal dialog):
    // records that arrive meanwhile wait until it returns.
    using Handler = std::function<bool(quint64 identifier, const QByteArray& data)>;

    CopyDataServer(Handler handler, QObject* parent = nullptr);
    ~CopyDataServer() override;

    // Starts listening under the name. A socket left behind by a copy that is gone is taken over;
    // false when a live copy already listens there or the socket cannot be made.
    bool Listen(const QString& name);
    QString ServerName() const;

    // "TavikMainClass#" and the user's name: the name the running window listens under.
    static QString DefaultName();
    // The record for an identifier and its data (the sending side's half of the format).
    static QByteArray Record(quint64 identifier, const QByteArray& data);

private:
    struct Connection {
        QLocalSocket* socket;
        QByteArray buffer;     // octets read and not yet taken
        quint64 skip = 0;      // octets still to be dropped from a record that is too long
    };
    void Accept();
    void Dispatch();
    bool TakeRecord(Connection& connection);

    Handler handler;
    QLocalServer* server;
    QList<Connection> connections;
    bool dispatching = false;
};
