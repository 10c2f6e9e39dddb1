#pragma once
// The check for a copy of the program that is already running, made before anything of the window
// is built: when one answers on its socket (ui/CopyDataServer), the user is asked whether to switch
// to it; the running copy then comes to the front and takes over the file named on the command
// line, and this process ends.
#include <QByteArray>
#include <QString>
#include <QStringList>

class WindowDialogs;

// How long a running copy may take to answer the first question before it counts as none: a hung
// copy, or a socket left behind by a crash, must not hang the start.
inline constexpr int RunningCopyAnswerMs = 3000;

// One connection to the running copy's socket: records sent one at a time, each answered by one
// octet.
class RunningCopyLink {
public:
    // Connects without waiting. Not connected when nobody listens there, when the queue of the
    // socket is full, or when the process listening runs as another user.
    explicit RunningCopyLink(const QString& serverName);
    ~RunningCopyLink();
    RunningCopyLink(const RunningCopyLink&) = delete;
    RunningCopyLink& operator=(const RunningCopyLink&) = delete;

    bool Connected() const { return fd >= 0; }
    // Sends a record and waits for its answer: true when the copy took it. With waitMs negative it
    // waits as long as the copy keeps the connection (a load there may ask the user first).
    bool Send(quint64 identifier, const QByteArray& data, int waitMs);

private:
    int fd = -1;
};

// The record 22's data for the argument: the name resolved against this process's current folder
// (the running copy's is another), as octets of the local encoding ended by a zero octet.
QByteArray OpenFileData(const QString& argument);

// The whole check; arguments are those after the program name. True when this process is to end
// (status 0, no window): a copy answered, the user chose OK, and the copy was still there to be
// brought to the front; with exactly one argument it has also taken the file. False when the
// window start goes on: no copy answered, the user chose Cancel, or the copy was gone meanwhile.
bool SwitchToRunningCopy(WindowDialogs& dialogs, const QString& serverName, const QStringList& arguments);
