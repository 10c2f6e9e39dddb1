#include "ui/CopyDataServer.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QtEndian>

#include "ui/WindowIdentity.h"

namespace {

// After a listener failed for good, the next try to open it again.
constexpr int ReopenDelayMs = 1000;
// When descriptors ran out and not even a refusal was possible, the pause before accepting again.
constexpr int AcceptPauseMs = 200;

QString UserName() {
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(getuid());
}

// Whether the process at the other end of the socket runs as this user.
bool SameUser(int socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return peer.uid == getuid();
}

// A folder (not a link to one) of this user's that nobody else may enter or read.
bool IsPrivateFolder(const QByteArray& path) {
    struct stat status{};
    if (::lstat(path.constData(), &status) != 0) return false;
    return S_ISDIR(status.st_mode) && status.st_uid == getuid() && (status.st_mode & 077) == 0;
}

int OpenSpare() {
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

}  // namespace

CopyDataServer::CopyDataServer(Handler handler, QObject* parent)
    : QObject(parent), handler(std::move(handler)), spare(OpenSpare()) {}

CopyDataServer::~CopyDataServer() {
    CloseListener();
    if (spare >= 0) ::close(spare);
}

QString CopyDataServer::PrivateFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && IsPrivateFolder(runtime)) return QFile::decodeName(runtime);
    const QByteArray own = QFile::encodeName(QDir::tempPath() + QStringLiteral("/tavik-") + QString::number(getuid()));
    ::mkdir(own.constData(), 0700);   // fails harmlessly when it is there; checked below either way
    return IsPrivateFolder(own) ? QFile::decodeName(own) : QString();
}

QString CopyDataServer::DefaultName() {
    const QString folder = PrivateFolder();
    if (folder.isEmpty()) return {};
    return folder + QLatin1Char('/') + QString::fromLatin1(WindowClassName) + QLatin1Char('-') + UserName();
}

QString CopyDataServer::SocketPath(const QString& name) {
    return name.startsWith(QLatin1Char('/')) ? name : QDir(QDir::tempPath()).filePath(name);
}

QString CopyDataServer::ServerName() const {
    return name;
}

QByteArray CopyDataServer::Record(quint64 identifier, const QByteArray& data) {
    QByteArray record(HeaderLength, '\0');
    qToLittleEndian<quint64>(identifier, record.data());
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), record.data() + 8);
    return record + data;
}

bool CopyDataServer::Listen(const QString& serverName) {
    CloseListener();
    name = serverName;
    path = serverName.isEmpty() ? QString() : SocketPath(serverName);
    return !path.isEmpty() && !LiveCopyThere() && OpenListener();
}

bool CopyDataServer::LiveCopyThere() const {
    // Listening would replace the socket of a live copy too: ask first whether one is there. A
    // copy that accepts but never answers still counts as live.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (!probe.waitForConnected(1000)) return false;
    probe.abort();
    return true;
}

bool CopyDataServer::OpenListener() {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(native.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, native.constData(), native.size());
    // A socket left behind by a copy that is gone is replaced; any other file is not ours to remove.
    struct stat status{};
    if (::lstat(native.constData(), &status) == 0) {
        if (!S_ISSOCK(status.st_mode)) return false;
        ::unlink(native.constData());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    // Owner-only before it listens: until then nobody can connect.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(native.constData(), 0600) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        ::close(fd);
        return false;
    }
    boundInode = ::lstat(native.constData(), &status) == 0 ? status.st_ino : 0;
    listener = fd;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &CopyDataServer::Accept);
    return true;
}

void CopyDataServer::CloseListener() {
    if (listener < 0) return;
    // It may be the notifier's own signal that brought us here.
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
    // The file goes with the listener, unless another copy has put its own in its place.
    struct stat there{};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &there) == 0 && S_ISSOCK(there.st_mode) && there.st_ino == boundInode)
        ::unlink(native.constData());
    ::close(listener);
    listener = -1;
}

void CopyDataServer::ReopenLater() {
    QTimer::singleShot(ReopenDelayMs, this, [this] {
        // Another copy may have taken the name meanwhile: it keeps it.
        if (listener < 0 && !path.isEmpty() && !LiveCopyThere() && !OpenListener()) ReopenLater();
    });
}

bool CopyDataServer::RefuseOne() {
    if (spare < 0) return false;
    ::close(spare);
    const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0) ::close(fd);
    spare = OpenSpare();
    return fd >= 0;
}

// Without the dynamic-type check of the undefined-behaviour sanitizer: this runs when the process
// may be out of descriptors, and that check's own probe of memory then needs a descriptor and
// reports a sound object as having no valid type.
__attribute__((no_sanitize("vptr"))) void CopyDataServer::Accept() {
    while (listener >= 0) {
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: the waiting client is refused, the listener stays.
                if (RefuseOne()) continue;
                notifier->setEnabled(false);
                QTimer::singleShot(AcceptPauseMs, this, [this] {
                    if (notifier != nullptr) notifier->setEnabled(true);
                });
                break;
            }
            // The listener itself failed: open it again a little later.
            CloseListener();
            ReopenLater();
            break;
        }
        if (!SameUser(fd) || connections.size() >= MaxConnections) {
            ::close(fd);
            continue;
        }
        auto* socket = new QLocalSocket(this);
        socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState, QIODevice::ReadWrite);
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
