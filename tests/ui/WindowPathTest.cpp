// The real window path in a process of its own (window_path_probe, a copy beside its TAVIK.CNF):
// how it reads the command line it was started with, and that Qt's texts are Russian there.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "UiTestApp.h"

namespace {

const QString Sample = QStringLiteral(TAVIK_SOURCE_DIR "/samples/temp52_sample.bufr");
const QString SampleCaption = QStringLiteral("Тавик:27612_20231010110637");

class WindowPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::test::App();
        ASSERT_TRUE(QDir().mkpath(Folder("program")) && QDir().mkpath(Folder("start")) && QDir().mkpath(Folder("data")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAVIK_WINDOW_PATH_PROBE), Folder("program/probe")));
        QFile::setPermissions(Folder("program/probe"), QFile::permissions(QStringLiteral(TAVIK_WINDOW_PATH_PROBE)));
        ASSERT_TRUE(QFile::copy(Sample, Folder("start/temp.bufr")));
        // The last data folder is another one: the window makes it the current directory.
        ui::test::WriteFile(Folder("program/TAVIK.CNF"), "[OPTIONS]\r\nShowSplash=0\r\n[PATHS]\r\nDATA=" +
                                                             QFile::encodeName(Folder("data")) + "/\r\n");
    }
    QString Folder(const char* name) const { return root.filePath(QString::fromLatin1(name)); }

    // The probe's report lines, started in the folder start with those arguments.
    QStringList Run(const QStringList& arguments) {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());   // no running copy to meet
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        probe.setProcessEnvironment(env);
        probe.setWorkingDirectory(Folder("start"));
        probe.start(Folder("program/probe"), arguments);
        EXPECT_TRUE(probe.waitForFinished(30000));
        EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
        return QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir root;
    QTemporaryDir runtime;
};

TEST_F(WindowPathTest, ARelativeNameIsTheFileInTheFolderTheProgramWasStartedIn) {
    EXPECT_EQ(Run({QStringLiteral("temp.bufr")}),
              (QStringList{QStringLiteral("caption\t") + SampleCaption, QStringLiteral("cancel\tОтмена")}));
}

// Qt takes -reverse (and -style, -platform, ...) out of argv; the window counts what was typed,
// and two arguments open no file.
TEST_F(WindowPathTest, ArgumentsAreCountedAsTyped) {
    EXPECT_EQ(Run({QStringLiteral("-reverse"), QStringLiteral("temp.bufr")}),
              (QStringList{QStringLiteral("caption\tТавик"), QStringLiteral("cancel\tОтмена")}));
}

}  // namespace
