// The running copy: the socket's private folder, the second copy's check and hand-over against a
// real window, and the channel's defences (another user, a socket left behind, a copy that never
// answers, descriptors run out).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "ui/CopyDataServer.h"
#include "ui/MainFrm.h"
#include "ui/RunningCopy.h"

using ui::test::ScriptedWindowDialogs;

namespace {

constexpr uid_t Nobody = 65534;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char* name;
    bool had;
    QByteArray old;
};

sockaddr_un Address(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), native.size());
    return address;
}

// A socket bound at the path; listening when asked, but never accepting.
int BoundSocket(const QString& path, bool listening) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = Address(path);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0) << path.toStdString();
    if (listening) {
        EXPECT_EQ(::listen(fd, 8), 0);
    }
    return fd;
}

// Runs body in a child process as an unprivileged user (the tests run as root, whom permissions do
// not stop); the child's exit status is body's result.
int InChildAsNobody(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0))
            ::_exit(90);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// Every running-copy test gets a private runtime folder of its own, so that the default name is
// its own too.
class RunningCopyTest : public ::testing::Test {
protected:
    RunningCopyTest() : runtimeEnv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path())) {
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        name = CopyDataServer::DefaultName();
    }

    QTemporaryDir runtime;
    ScopedEnv runtimeEnv;
    QString name;
    ScriptedWindowDialogs dialogs;
};

TEST_F(RunningCopyTest, TheSocketLivesInAFolderOnlyItsUserMayEnter) {
    EXPECT_TRUE(name.startsWith(runtime.path() + QStringLiteral("/TavikMainClass#-"))) << name.toStdString();

    QTemporaryDir temp;   // the fallback folder goes into the temporary folder
    const ScopedEnv tempEnv("TMPDIR", QFile::encodeName(temp.path()));
    const QString fallback = temp.path() + QStringLiteral("/tavik-") + QString::number(::getuid());
    QTemporaryDir open;
    ::chmod(QFile::encodeName(open.path()).constData(), 0755);
    struct Case {
        const char* what;
        QByteArray runtimeDir;
        QString expected;
    } const cases[] = {
        {"private runtime folder", QFile::encodeName(runtime.path()), runtime.path()},
        {"no runtime folder", QByteArray(), fallback},
        {"a runtime folder others may enter", QFile::encodeName(open.path()), fallback},
        {"a relative runtime folder", QByteArray("run"), fallback},
    };
    for (const Case& c : cases) {
        const ScopedEnv env("XDG_RUNTIME_DIR", c.runtimeDir);
        EXPECT_EQ(CopyDataServer::PrivateFolder(), c.expected) << c.what;
    }
    struct stat status{};
    ASSERT_EQ(::lstat(QFile::encodeName(fallback).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    // A fallback folder of that name that another user made first, or one others may enter, is not
    // taken: no socket rather than one another user controls.
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", QByteArray());
    ASSERT_EQ(::chown(QFile::encodeName(fallback).constData(), Nobody, Nobody), 0);
    EXPECT_EQ(CopyDataServer::PrivateFolder(), QString());
    EXPECT_EQ(CopyDataServer::DefaultName(), QString());
    ASSERT_EQ(::chown(QFile::encodeName(fallback).constData(), ::getuid(), ::getgid()), 0);
    ::chmod(QFile::encodeName(fallback).constData(), 0777);
    EXPECT_EQ(CopyDataServer::PrivateFolder(), QString());
    CopyDataServer server([](quint64, const QByteArray&) { return true; });
    EXPECT_FALSE(server.Listen(CopyDataServer::DefaultName()));
}

TEST_F(RunningCopyTest, ARelativeArgumentIsResolvedInTheSendersFolder) {
    const QString here = QDir::currentPath();
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    EXPECT_EQ(OpenFileData(QStringLiteral("Ветер.bufr")), QFile::encodeName(folder.path() + QStringLiteral("/Ветер.bufr")) + '\0');
    EXPECT_EQ(OpenFileData(QStringLiteral("/a/b.bin")), QByteArray("/a/b.bin\0", 9));
    QDir::setCurrent(here);
}

TEST_F(RunningCopyTest, NoCopyASocketLeftBehindAndACopyThatNeverAnswersLetTheStartGoOn) {
    // Nobody there.
    EXPECT_FALSE(SwitchToRunningCopy(dialogs, name, {}));

    // A socket file whose process is gone.
    ::close(BoundSocket(name, false));
    ASSERT_TRUE(QFile::exists(name));
    EXPECT_FALSE(SwitchToRunningCopy(dialogs, name, {QStringLiteral("a.bufr")}));

    // A copy that hangs: its socket accepts connections, nobody answers.
    QTemporaryDir hungFolder;
    const QString hung = hungFolder.filePath(QStringLiteral("hung"));
    const int fd = BoundSocket(hung, true);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(SwitchToRunningCopy(dialogs, hung, {QStringLiteral("a.bufr")}));
    EXPECT_LT(clock.elapsed(), RunningCopyAnswerMs + 2000);
    EXPECT_TRUE(dialogs.okCancelQuestions.empty()) << "nobody to switch to";
    // Its socket is not taken over: a live process holds it.
    CopyDataServer server([](quint64, const QByteArray&) { return true; });
    EXPECT_FALSE(server.Listen(hung));
    ::close(fd);

    // The window takes over the one left behind.
    TfmMainFrm window(dialogs, runtime.path(), {});
    EXPECT_TRUE(window.ListenForRunningCopies(name));
}

TEST_F(RunningCopyTest, AnotherUsersSocketIsNeverTakenForTheRunningCopy) {
    // Another user cannot put a socket where the window listens.
    const QByteArray native = QFile::encodeName(name);
    EXPECT_EQ(InChildAsNobody([&] {
                  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                  const sockaddr_un address = Address(name);
                  return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ? 1 : 0;
              }),
              0);
    TfmMainFrm window(dialogs, runtime.path(), {});
    EXPECT_TRUE(window.ListenForRunningCopies(name));

    // Where another user listens (a folder open to all), a second copy finds no running copy and
    // hands it nothing: the listener reports on a pipe what it was sent.
    QTemporaryDir shared;
    ::chmod(QFile::encodeName(shared.path()).constData(), 01777);
    const QString foreign = shared.filePath(QStringLiteral("TavikMainClass#-root"));
    int ready[2];
    int report[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(report), 0);
    std::thread child([&] {
        EXPECT_EQ(InChildAsNobody([&] {
                      const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                      const sockaddr_un address = Address(foreign);
                      if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
                          ::chmod(address.sun_path, 0777) != 0 || ::listen(fd, 8) != 0)
                          return 1;
                      (void)!::write(ready[1], "r", 1);
                      // Answers 1 to whatever comes, and tells the parent how much came.
                      pollfd waiting{fd, POLLIN, 0};
                      if (::poll(&waiting, 1, 5000) != 1) return 0;
                      const int client = ::accept(fd, nullptr, nullptr);
                      char buffer[8192];
                      long total = 0;
                      for (pollfd in{client, POLLIN, 0}; ::poll(&in, 1, 2000) == 1;) {
                          const ssize_t got = ::read(client, buffer, sizeof buffer);
                          if (got <= 0) break;
                          total += got;
                          (void)!::write(client, "\1", 1);
                      }
                      (void)!::write(report[1], &total, sizeof total);
                      return 0;
                  }),
                  0);
    });
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    dialogs.prompts.AnswerYesNo(true);   // were it asked, OK
    EXPECT_FALSE(SwitchToRunningCopy(dialogs, foreign, {QStringLiteral("/tmp/secret.bufr")}));
    EXPECT_TRUE(dialogs.okCancelQuestions.empty());
    child.join();
    long received = -1;
    EXPECT_EQ(::read(report[0], &received, sizeof received), static_cast<ssize_t>(sizeof received));
    EXPECT_EQ(received, 0) << "the other user's process was sent something";
    for (const int fd : {ready[0], ready[1], report[0], report[1]}) ::close(fd);
}

TEST_F(RunningCopyTest, RunningOutOfDescriptorsRefusesClientsAndKeepsListening) {
    TfmMainFrm window(dialogs, runtime.path(), {});
    ASSERT_TRUE(window.ListenForRunningCopies(name));
    CopyDataServer& server = *window.RunningCopyServer();

    // Idle clients beyond what the window serves at once are refused.
    std::vector<int> idle;
    auto connectOne = [&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (fd < 0) return false;
        const sockaddr_un address = Address(name);
        (void)::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        idle.push_back(fd);
        return true;
    };
    for (int i = 0; i < CopyDataServer::MaxConnections + 8; ++i) ASSERT_TRUE(connectOne());
    QTest::qWait(200);
    EXPECT_EQ(server.ConnectionCount(), CopyDataServer::MaxConnections);

    // Now with the descriptors used up, by more idle clients.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit lowered = saved;
    const int lowestFree = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    lowered.rlim_cur = static_cast<rlim_t>(lowestFree) + 16;   // a few left, soon used up
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    while (connectOne()) QCoreApplication::processEvents();
    for (int i = 0; i < 10; ++i) {
        connectOne();
        QTest::qWait(20);
    }
    EXPECT_TRUE(server.IsListening());
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    for (const int fd : idle) ::close(fd);
    QTest::qWait(200);

    // Once released, a second copy reaches the window again.
    const QString sample = runtime.filePath(QStringLiteral("s.bufr"));
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr"), sample));
    QLocalSocket client;
    client.connectToServer(name);
    ASSERT_TRUE(client.waitForConnected(5000));
    client.write(CopyDataServer::Record(CopyDataServer::CopyDataOpenFile, QFile::encodeName(sample) + '\0'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return client.bytesAvailable() > 0; }, 10000));
    EXPECT_EQ(client.readAll(), QByteArray("\1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Тавик:27612_20231010110637"));
    PrimaryFileName.clear();
    PrimaryBaseName.clear();
}

// A first copy with its window in this process, a second copy as a process of its own whose
// question is answered by its first argument.
class TwoCopiesTest : public RunningCopyTest {
protected:
    TwoCopiesTest() {
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
        window = std::make_unique<TfmMainFrm>(dialogs, config.path(), QStringList());
        window->showMinimized();
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->ListenForRunningCopies(name));
        sample = data.filePath(QStringLiteral("Ветер & Т.bufr"));
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr"), sample));
        second.setWorkingDirectory(data.path());   // not this process's: a relative name is resolved there
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(environment);
    }
    ~TwoCopiesTest() override {
        if (second.state() != QProcess::NotRunning) {
            second.kill();
            second.waitForFinished(5000);
        }
        window.reset();
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
    }
    void Start(const QStringList& arguments) { second.start(QStringLiteral(TAVIK_SECOND_COPY), arguments); }
    // Serves the first copy's window until the second copy ends.
    bool SecondEnds() {
        return QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000);
    }
    // Serves the first copy's window until the second copy's output holds the line's start.
    bool SecondSays(const QString& start) {
        return QTest::qWaitFor(
            [&] {
                output += QString::fromUtf8(second.readAllStandardOutput());
                return output.contains(QLatin1Char('\n') + start) || output.startsWith(start);
            },
            20000);
    }

    QTemporaryDir config;
    QTemporaryDir data;
    QString sample;
    std::unique_ptr<TfmMainFrm> window;
    QProcess second;
    QString output;
};

const QString Question = QStringLiteral("okcancel\tТAVIK уже запущена!\tПерейти к запущенной копии?\n");

TEST_F(TwoCopiesTest, OkHandsTheFileToTheRunningCopyAndEndsWithoutAWindow) {
    Start({QStringLiteral("ok"), QStringLiteral("Ветер & Т.bufr")});
    ASSERT_TRUE(SecondEnds());
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    // The question, and nothing after it but the end: no window, so no load and no message.
    EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()), Question + QStringLiteral("ended\t\t\n"));
    EXPECT_EQ(PrimaryFileName, QFile::encodeName(sample).toStdString());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик:27612_20231010110637"));
    EXPECT_FALSE(window->isMinimized()) << "the running copy came to the front";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TwoCopiesTest, OkWithoutOneArgumentOnlyBringsTheRunningCopyToTheFront) {
    const QStringList cases[] = {{}, {QStringLiteral("open"), QStringLiteral("Ветер & Т.bufr")}};
    for (const QStringList& arguments : cases) {
        window->showMinimized();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window->isMinimized());
        Start(QStringList{QStringLiteral("ok")} + arguments);
        ASSERT_TRUE(SecondEnds()) << arguments.join(' ').toStdString();
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()), Question + QStringLiteral("ended\t\t\n"));
        EXPECT_FALSE(window->isMinimized());
        EXPECT_TRUE(PrimaryFileName.empty()) << "nothing handed over";
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик"));
    }
}

TEST_F(TwoCopiesTest, CancelStartsASecondCopy) {
    // The second copy opens its argument itself, in its own window: a name that is not there
    // gives its own message.
    Start({QStringLiteral("cancel"), QStringLiteral("нет.bufr")});
    ASSERT_TRUE(SecondSays(Question));
    ASSERT_TRUE(SecondSays(QStringLiteral("message\t")));
    EXPECT_TRUE(output.contains(QStringLiteral("нет.bufr"))) << output.toStdString();
    EXPECT_EQ(second.state(), QProcess::Running) << "its window runs";
    EXPECT_TRUE(PrimaryFileName.empty());
    EXPECT_TRUE(window->isMinimized()) << "the first copy was left alone";
}

}  // namespace
