// The trajectory exports on the real window, offscreen: the shared save dialog with the proposed
// name and title of each export, the file written whole, and the one message.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "products/StaticMapPages.h"
#include "products/TrajectoryKml.h"
#include "support/Fixtures.h"
#include "ui/MainFrm.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;
using ui::test::WriteFile;

namespace {

QString Q(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

struct ExportCase {
    const char* name;
    QAction* TfmMainFrm::*item;
    const char* suffix;      // of the proposed name
    const char* title;       // of the save dialog
    const char* okText;
    const char* failureText;
    std::string (*document)();
};

void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.name; }

std::string Kml() { return TrajectoryKml(UAPrimary, PrimaryBaseName, PrimaryFileName); }
std::string Google() { return GoogleStaticMapPage(UAPrimary, PrimaryBaseName, PrimaryFileName); }
std::string Yandex() { return YandexStaticMapPage(UAPrimary, PrimaryFileName).bytes; }

const ExportCase Exports[] = {
    {"KML", &TfmMainFrm::idKML, ".kml", "Сохранить траекторию на Google Земля", "KML OK!", "KML ашипка!", Kml},
    {"Google", &TfmMainFrm::idGMStatic, "g.htm", "Сохранить траекторию на Google.Карты(статика)",
     "Google статика  OK!", "Google статика ашипка!", Google},
    {"Yandex", &TfmMainFrm::idYMStatic, "y.htm", "Сохранить траекторию на Яндекс.Карты(статика)",
     "Yандекс статика OK!", "Yандекс статика ашипка!", Yandex},
};

class TrajectoryExportsTest : public ::testing::TestWithParam<ExportCase> {
protected:
    TrajectoryExportsTest() : workDir(QDir::currentPath()) {}
    ~TrajectoryExportsTest() override {
        window.reset();
        QDir::setCurrent(workDir);
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
    }

    TfmMainFrm& OpenOn(const fs::path& file) {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), QStringList());
        window->show();
        QCoreApplication::processEvents();
        const QString copy = data.filePath(Q(file.filename()));
        EXPECT_TRUE(QFile::copy(Q(file), copy));
        dialogs.Choose(copy);
        window->idPrimary->trigger();
        dialogs.messages.clear();
        return *window;
    }
    TfmMainFrm& OpenSmall() { return OpenOn(fs::path(TAVIK_SOURCE_DIR) / "tests/decoder/data/temp52_ed4_small.bufr"); }

    std::vector<QString> Texts() const { return dialogs.MessageTexts(); }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QTemporaryDir out;
    QString workDir;
    std::unique_ptr<TfmMainFrm> window;
};

TEST_P(TrajectoryExportsTest, WritesTheDocumentWhereTheSaveDialogSaysAndReportsOk) {
    const ExportCase& c = GetParam();
    TfmMainFrm& w = OpenSmall();
    ASSERT_TRUE((w.*c.item)->isEnabled());
    const QString target = out.filePath(QStringLiteral("trajectory"));
    WriteFile(target, "an older file of that name");
    dialogs.SaveAs(target);
    (w.*c.item)->trigger();

    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].fileName, QStringLiteral("27612_20231010110637") + QString::fromUtf8(c.suffix));
    EXPECT_EQ(dialogs.saveDialogs[0].title, QString::fromUtf8(c.title));
    EXPECT_TRUE(dialogs.saveDialogs[0].filter.isEmpty());
    EXPECT_TRUE(dialogs.saveDialogs[0].defaultSuffix.isEmpty());
    const std::string expected = c.document();
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(ReadFile(target).toStdString(), expected);
    EXPECT_EQ(Texts(), std::vector<QString>{QString::fromUtf8(c.okText)});
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Тавик"));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left";
}

TEST_P(TrajectoryExportsTest, ACancelledDialogWritesAndSaysNothing) {
    const ExportCase& c = GetParam();
    TfmMainFrm& w = OpenSmall();
    const QString existing = QDir(QDir::currentPath()).filePath(QStringLiteral("27612_20231010110637") +
                                                               QString::fromUtf8(c.suffix));
    WriteFile(existing, "kept");
    dialogs.CancelSave();
    (w.*c.item)->trigger();
    EXPECT_EQ(ReadFile(existing), QByteArray("kept"));
    EXPECT_TRUE(dialogs.messages.empty());
    QFile::remove(existing);
}

// A name the system refuses: the export's own failure message, then the error's own text through
// the window's general reporting; the folder is left as it was.
TEST_P(TrajectoryExportsTest, AFailedWriteShowsTheFailureMessageAndThenTheError) {
    const ExportCase& c = GetParam();
    TfmMainFrm& w = OpenSmall();
    const QString folderAsTarget = out.filePath(QStringLiteral("a folder"));
    ASSERT_TRUE(QDir().mkpath(folderAsTarget));
    dialogs.SaveAs(folderAsTarget);
    (w.*c.item)->trigger();

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromUtf8(c.failureText));
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Error);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("a folder"))) << dialogs.messages[1].text.toStdString();
    EXPECT_TRUE(QFileInfo(folderAsTarget).isDir());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 0) << "no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(Exports, TrajectoryExportsTest, ::testing::ValuesIn(Exports),
                         [](const auto& info) { return std::string(info.param.name); });

class TrajectoryExportsOnceTest : public TrajectoryExportsTest {};

// The one save dialog keeps the folder of its last file for the next export of any kind.
TEST_F(TrajectoryExportsOnceTest, TheSaveDialogOpensInTheFolderOfItsLastFile) {
    TfmMainFrm& w = OpenSmall();
    const QString first = out.filePath(QStringLiteral("first.kml"));
    dialogs.SaveAs(first).SaveAs(out.filePath(QStringLiteral("second.htm")));
    w.idKML->trigger();
    w.idGMStatic->trigger();
    ASSERT_EQ(dialogs.saveDialogs.size(), 2u);
    EXPECT_EQ(QDir(dialogs.saveDialogs[1].initialDir), QDir(out.path()));
}

// The 8000-level sounding has more than 99 levels a step apart: the Yandex page stops there.
TEST_F(TrajectoryExportsOnceTest, TheYandexExportSaysWhenItStoppedShort) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_ed4_hires.bufr");
    TfmMainFrm& w = OpenOn(FixturesDir() / "temp52_ed4_hires.bufr");
    dialogs.SaveAs(out.filePath(QStringLiteral("hires.htm")));
    w.idYMStatic->trigger();
    EXPECT_EQ(Texts(), std::vector<QString>{QStringLiteral("Yандекс статика - экспорт неполный!")});
    EXPECT_TRUE(YandexStaticMapPage(UAPrimary, PrimaryFileName).incomplete);
}

}  // namespace
