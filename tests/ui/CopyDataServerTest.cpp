// The running window's receiver of a second copy's message, driven by a local client as the
// second copy will be.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <cstring>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "core/Cp1251.h"
#include "ui/CopyDataServer.h"
#include "ui/LineListBox.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"
#include "ui/ROFMenu.h"
#include "support/Fixtures.h"

using ui::test::ScriptedWindowDialogs;

namespace {

QString UniqueName() {
    return QStringLiteral("tavik-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A record written by hand, so that the format is checked apart from CopyDataServer::Record.
QByteArray RawRecord(quint64 identifier, quint32 length, const QByteArray& data) {
    QByteArray record;
    for (int i = 0; i < 8; ++i) record += char((identifier >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i) record += char((length >> (8 * i)) & 0xFF);
    return record + data;
}

class Client {
public:
    explicit Client(const QString& name) {
        socket.connectToServer(name);
        EXPECT_TRUE(socket.waitForConnected(5000)) << socket.errorString().toStdString();
    }
    void Send(const QByteArray& bytes) {
        socket.write(bytes);
        socket.flush();
    }
    // Waits (processing the receiver's events) for the answers to that many records.
    QByteArray Answers(int count) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return answers.size() + socket.bytesAvailable() >= count; }, 10000));
        answers += socket.readAll();
        return answers;
    }

    QLocalSocket socket;
    QByteArray answers;
};

struct Received {
    quint64 identifier;
    QByteArray data;
};

class CopyDataServerTest : public ::testing::Test {
protected:
    CopyDataServerTest()
        : server([this](quint64 identifier, const QByteArray& data) {
              received.push_back({identifier, data});
              return identifier == 22;
          }) {
        EXPECT_TRUE(server.Listen(name));
    }

    QString name = UniqueName();
    std::vector<Received> received;
    CopyDataServer server;
};

TEST_F(CopyDataServerTest, TheDefaultNameIsTheWindowClassAndTheUser) {
    const QString defaultName = QFileInfo(CopyDataServer::DefaultName()).fileName();
    EXPECT_TRUE(defaultName.startsWith(QStringLiteral("TavikMainClass#-"))) << defaultName.toStdString();
    EXPECT_GT(defaultName.size(), QStringLiteral("TavikMainClass#-").size());
    EXPECT_EQ(QFileInfo(CopyDataServer::DefaultName()).path(), CopyDataServer::PrivateFolder());
    EXPECT_EQ(server.ServerName(), name);
}

TEST_F(CopyDataServerTest, RecordsAreTakenByTheirLengthAndAnsweredOneOctetEach) {
    Client client(name);
    QByteArray stream = RawRecord(22, 9, QByteArray("/a/b.bin\0", 9));
    stream += RawRecord(21, 3, "abc");
    stream += RawRecord(23, 0, {});
    // The length counts, not a zero: the record ends after its 4 octets, and what follows is the
    // next record.
    stream += RawRecord(22, 4, "/c/dXYZ");
    stream.chop(3);
    stream += RawRecord(0xFFFFFFFF00000016ull, 2, "/e");   // 22 in the low half only
    client.Send(stream);
    EXPECT_EQ(client.Answers(5), QByteArray("\1\0\0\1\0", 5));
    ASSERT_EQ(received.size(), 5u);
    EXPECT_EQ(received[0].identifier, 22u);
    EXPECT_EQ(received[0].data, QByteArray("/a/b.bin\0", 9));
    EXPECT_EQ(received[1].identifier, 21u);
    EXPECT_EQ(received[2].data, QByteArray());
    EXPECT_EQ(received[3].data, QByteArray("/c/d"));
    EXPECT_EQ(received[4].identifier, 0xFFFFFFFF00000016ull);
    EXPECT_EQ(CopyDataServer::Record(22, "/c/d"), RawRecord(22, 4, "/c/d"));
}

TEST_F(CopyDataServerTest, ARecordArrivingInPiecesIsTakenWhenComplete) {
    Client client(name);
    const QByteArray record = RawRecord(22, 6, "/x/y.b");
    for (const char octet : record) {
        EXPECT_TRUE(received.empty());
        client.Send(QByteArray(1, octet));
        QTest::qWait(1);
    }
    EXPECT_EQ(client.Answers(1), QByteArray("\1"));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].data, QByteArray("/x/y.b"));
}

TEST_F(CopyDataServerTest, ARecordTooLongForAPathIsSkippedAndTheNextOneStillTaken) {
    Client client(name);
    const QByteArray longest(CopyDataServer::MaxDataLength, 'p');
    const QByteArray tooLong(CopyDataServer::MaxDataLength + 1, 'q');
    client.Send(RawRecord(22, tooLong.size(), tooLong) + RawRecord(22, longest.size(), longest) +
                RawRecord(22, 2, "/z"));
    EXPECT_EQ(client.Answers(3), QByteArray("\0\1\1", 3));
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].data, longest);
    EXPECT_EQ(received[1].data, QByteArray("/z"));
}

TEST_F(CopyDataServerTest, ASecondServerDoesNotTakeALiveNameButTakesOverOneLeftBehind) {
    CopyDataServer second([](quint64, const QByteArray&) { return true; });
    EXPECT_FALSE(second.Listen(name)) << "a live copy listens there";

    // A socket file whose process is gone: bound, never listening.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("left-behind"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), native.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
    CopyDataServer third([this](quint64 identifier, const QByteArray& data) {
        received.push_back({identifier, data});
        return true;
    });
    ASSERT_TRUE(third.Listen(path));
    Client client(path);
    client.Send(RawRecord(22, 1, "/"));
    EXPECT_EQ(client.Answers(1), QByteArray("\1"));
}

TEST_F(CopyDataServerTest, TheSocketIsForItsUserOnly) {
    const QString probeName = UniqueName();
    // The receiver asks for user-only access; the socket file shows it.
    CopyDataServer own([](quint64, const QByteArray&) { return true; });
    ASSERT_TRUE(own.Listen(probeName));
    const QString file = QDir(QDir::tempPath()).filePath(probeName);
    ASSERT_TRUE(QFile::exists(file)) << file.toStdString();
    const QFile::Permissions permissions = QFile::permissions(file);
    EXPECT_FALSE(permissions & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
}

// The window's side: the message loads the primary file, other identifiers change nothing.
class CopyDataWindowTest : public ::testing::Test {
protected:
    CopyDataWindowTest() {
        workDir = QDir::currentPath();
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), QStringList());
        window->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(window->ListenForRunningCopies(name));
        sample = data.filePath(QStringLiteral("Ветер & Т.bufr"));
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr"), sample));
    }
    ~CopyDataWindowTest() override {
        window.reset();
        QDir::setCurrent(workDir);
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
    }

    QString name = UniqueName();
    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QString workDir;
    QString sample;
    std::unique_ptr<TfmMainFrm> window;
};

TEST_F(CopyDataWindowTest, Identifier22LoadsTheNameUpToItsFirstZeroAndOthersAreIgnored) {
    window->PageControlTU->SetActivePage(window->tsZ);
    Client client(name);
    const QByteArray path = QFile::encodeName(sample);
    client.Send(RawRecord(21, path.size() + 1, path + '\0'));
    client.Send(RawRecord(23, path.size() + 1, path + '\0'));
    EXPECT_EQ(client.Answers(2), QByteArray("\0\0", 2));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик"));
    EXPECT_TRUE(PrimaryFileName.empty());

    client.Send(RawRecord(22, path.size() + 5, path + QByteArray("\0junk", 5)));
    EXPECT_EQ(client.Answers(3), QByteArray("\0\0\1", 3));
    EXPECT_EQ(PrimaryFileName, path.toStdString());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик:27612_20231010110637"));
    EXPECT_EQ(window->PageControlTU->ActivePage(), window->tsZ) << "the page stays";
    EXPECT_EQ(Cp1251ToUtf8(window->lbPrim->Lines().at(0)), sample.toStdString());
    EXPECT_TRUE(dialogs.messages.empty());

    // A relative name is taken from this copy's current directory.
    QDir::setCurrent(data.path());
    client.Send(CopyDataServer::Record(22, QFile::encodeName(QStringLiteral("нет.bin")) + '\0'));
    EXPECT_EQ(client.Answers(4), QByteArray("\0\0\1\1", 4));
    EXPECT_EQ(PrimaryFileName, QFile::encodeName(QStringLiteral("нет.bin")).toStdString());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("нет.bin")));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик:нет.bin"));
}

TEST_F(CopyDataWindowTest, AMessageArrivingWhileALoadAsksItsQuestionWaitsForThatLoad) {
    TAVIK_REQUIRE_PATH(fs::path(TAVIK_SHARED_DIR) / "fixtures/temp52_3subsets.bufr");
    const QString three = data.filePath(QStringLiteral("three.bufr"));
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SHARED_DIR "/fixtures/temp52_3subsets.bufr"), three));
    Client client(name);
    std::vector<QString> captionsAsked;
    bool sent = false;
    dialogs.whileShown = [&] {
        captionsAsked.push_back(window->windowTitle());
        if (sent) return;
        sent = true;
        // The second copy's message comes in while the subset question is up.
        client.Send(CopyDataServer::Record(22, QFile::encodeName(sample) + '\0'));
        // Taken at once; its load waits for the running one.
        EXPECT_TRUE(QTest::qWaitFor([&] { return client.socket.bytesAvailable() > 0; }, 10000));
        EXPECT_TRUE(PrimaryFileName.find("three.bufr") != std::string::npos);
    };
    dialogs.prompts.Answer("2");
    window->RecentFiles->Add(three);
    window->RecentFiles->Item(0)->trigger();
    EXPECT_EQ(captionsAsked, std::vector<QString>{QStringLiteral("Тавик:three.bufr")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик:26063_20231010110103")) << "the first load ran to its end";
    EXPECT_EQ(client.Answers(1), QByteArray("\1"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return PrimaryFileName == QFile::encodeName(sample).toStdString(); }, 10000));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Тавик:27612_20231010110637"));
    EXPECT_EQ(dialogs.prompts.Unused(), 0u);
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
