#include "ui/RunningCopy.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <QDir>
#include <QFile>

#include "ui/CopyDataServer.h"
#include "ui/WindowDialogs.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the socket to become ready for events until the deadline (none when waitMs < 0).
bool WaitFor(int fd, short events, Clock::time_point deadline, bool unbounded) {
    for (;;) {
        int timeout = -1;
        if (!unbounded) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return false;
            timeout = static_cast<int>(left);
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, timeout);
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

// Whether the process that listens at the other end runs as this user.
bool PeerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

}  // namespace

RunningCopyLink::RunningCopyLink(const QString& serverName) {
    if (serverName.isEmpty()) return;
    const QByteArray native = QFile::encodeName(CopyDataServer::SocketPath(serverName));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<size_t>(native.size()) >= sizeof address.sun_path) return;
    std::memcpy(address.sun_path, native.constData(), native.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) return;
    // A local connection is made at once or not at all.
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        !PeerIsThisUser(socket)) {
        ::close(socket);
        return;
    }
    fd = socket;
}

RunningCopyLink::~RunningCopyLink() {
    if (fd >= 0) ::close(fd);
}

bool RunningCopyLink::Send(quint64 identifier, const QByteArray& data, int waitMs) {
    if (fd < 0) return false;
    const bool unbounded = waitMs < 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(unbounded ? 0 : waitMs);
    const QByteArray record = CopyDataServer::Record(identifier, data);
    for (qsizetype sent = 0; sent < record.size();) {
        if (!WaitFor(fd, POLLOUT, deadline, unbounded)) return false;
        const ssize_t written = ::send(fd, record.constData() + sent, record.size() - sent, MSG_NOSIGNAL);
        if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (written > 0) sent += written;
    }
    for (;;) {
        if (!WaitFor(fd, POLLIN, deadline, unbounded)) return false;
        char answer = 0;
        const ssize_t got = ::recv(fd, &answer, 1, 0);
        if (got == 1) return answer == 1;
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) return false;
    }
}

QByteArray OpenFileData(const QString& argument) {
    return QFile::encodeName(QDir::current().absoluteFilePath(argument)) + '\0';
}

bool SwitchToRunningCopy(WindowDialogs& dialogs, const QString& serverName, const QStringList& arguments) {
    if (!RunningCopyLink(serverName).Send(CopyDataServer::CopyDataProbe, {}, RunningCopyAnswerMs)) return false;
    if (!dialogs.AskOkCancel(nullptr, QStringLiteral("ТAVIK уже запущена!"), QStringLiteral("Перейти к запущенной копии?")))
        return false;
    // The second look: the copy may have ended while the question was up.
    RunningCopyLink copy(serverName);
    if (!copy.Send(CopyDataServer::CopyDataRaise, {}, RunningCopyAnswerMs)) return false;
    if (arguments.size() == 1) copy.Send(CopyDataServer::CopyDataOpenFile, OpenFileData(arguments.constFirst()), -1);
    return true;
}
