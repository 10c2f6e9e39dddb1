#pragma once
// The receiving end of the message a second copy of the program sends to the running one: a
// local socket named after the window class and the user, in a folder only the user can enter,
// which only the same user can reach.
//
// A record on the socket: the identifier as 8 octets, then the length of the data as 4 octets
// (both little-endian), then the data. The copy that starts with a file name sends identifier
// CopyDataOpenFile and the name's octets, ended by a zero octet. Every record is answered with
// one octet once the window has handled it: 1 when the window took it, 0 when it ignored it; so
// the sender can wait, as it waits for a sent window message.
// A record with more data than MaxDataLength is skipped unread and answered 0.
#include <functional>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QLocalSocket;
class QSocketNotifier;

class CopyDataServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint64 CopyDataOpenFile = 22;
    // Our own additions, outside the range the window messages ever used: "are you there" (taken
    // by any live window, no data) and "come to the front" (no data).
    static constexpr quint64 CopyDataProbe = 0x5441564B00000001ull;
    static constexpr quint64 CopyDataRaise = 0x5441564B00000002ull;
    // No path this system opens is longer (with its terminating zero).
    static constexpr quint32 MaxDataLength = 4096;
    static constexpr int HeaderLength = 12;
    // Clients served at once; the rest are refused, so that a flood of idle connections cannot
    // use up the window's descriptors.
    static constexpr int MaxConnections = 32;

    // Handles one record; true when it was taken. May run a nested event loop (a modal dialog):
    // records that arrive meanwhile wait until it returns.
    using Handler = std::function<bool(quint64 identifier, const QByteArray& data)>;

    CopyDataServer(Handler handler, QObject* parent = nullptr);
    ~CopyDataServer() override;

    // Starts listening under the name (a path, or a name in the temporary folder). A socket left
    // behind by a copy that is gone is taken over; false when a live copy already listens there or
    // the socket cannot be made.
    bool Listen(const QString& name);
    QString ServerName() const;
    bool IsListening() const { return listener >= 0; }
    int ConnectionCount() const { return static_cast<int>(connections.size()); }

    // The socket the running window listens on: "TavikMainClass#" and the user's name, in the
    // user's private runtime folder. Empty when there is no such folder to be had.
    static QString DefaultName();
    // The user's private runtime folder: $XDG_RUNTIME_DIR when it is a folder of this user's that
    // nobody else may enter, else "tavik-<uid>" in the temporary folder, created so and checked
    // the same way. Empty when neither will do (another user's folder of that name, say).
    static QString PrivateFolder();
    // The file a name stands for: the name itself when it is a path, else the name in the
    // temporary folder (as QLocalSocket takes it).
    static QString SocketPath(const QString& name);
    // The record for an identifier and its data (the sending side's half of the format).
    static QByteArray Record(quint64 identifier, const QByteArray& data);

private:
    struct Connection {
        QLocalSocket* socket;
        QByteArray buffer;     // octets read and not yet taken
        quint64 skip = 0;      // octets still to be dropped from a record that is too long
    };
    bool LiveCopyThere() const;
    bool OpenListener();
    void CloseListener();
    void ReopenLater();   // tries again until the listener is back
    void Accept();
    bool RefuseOne();   // accepts and closes one waiting connection; false when even that failed
    void Dispatch();
    bool TakeRecord(Connection& connection);

    Handler handler;
    QString name;
    QString path;
    int listener = -1;
    quint64 boundInode = 0;   // of the socket file, which is removed with the listener only if still ours
    int spare = -1;   // held so that one connection can still be refused when descriptors run out
    QSocketNotifier* notifier = nullptr;
    QList<Connection> connections;
    bool dispatching = false;
};
