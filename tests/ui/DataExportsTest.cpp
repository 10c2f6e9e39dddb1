// The data exports on the real window, offscreen: «Экспорт данных» enabled by a primary load, the
// shared save dialog with the proposed name and title, the document of the primary sounding
// written whole, the one message, a cancel, a refused name; and the JSON keeps the primary's
// message header after a secondary load has taken the message buffer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "products/SoundingCsv.h"
#include "products/SoundingJson.h"
#include "support/Fixtures.h"
#include "ui/MainFrm.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;
using ui::test::WriteFile;

namespace {

QString Q(const fs::path& path) { return QFile::decodeName(QByteArray::fromStdString(path.string())); }

struct DataExportCase {
    const char* name;
    QAction* TfmMainFrm::*item;
    const char* suffix;
    const char* title;
    const char* okText;
    const char* failureText;
    std::string (*document)();
};

void PrintTo(const DataExportCase& c, std::ostream* out) { *out << c.name; }

std::string Json() { return SoundingJsonText(UAPrimary, PrimarySource); }
std::string Csv() { return SoundingCsvText(UAPrimary); }

const DataExportCase Exports[] = {
    {"JSON", &TfmMainFrm::idJSON, ".json", "Сохранить данные зондирования в JSON", "JSON OK!", "JSON ашипка!", Json},
    {"CSV", &TfmMainFrm::idCSV, ".csv", "Сохранить уровни зондирования в CSV", "CSV OK!", "CSV ашипка!", Csv},
};

class DataExportsTest : public ::testing::TestWithParam<DataExportCase> {
protected:
    DataExportsTest() : workDir(QDir::currentPath()) {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), QStringList());
        window->show();
        QCoreApplication::processEvents();
    }
    ~DataExportsTest() override {
        window.reset();
        QDir::setCurrent(workDir);
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
    }

    void Load(const fs::path& file, QAction* TfmMainFrm::*item) {
        const QString copy = data.filePath(Q(file.filename()));
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(Q(file), copy));
        dialogs.Choose(copy);
        (window.get()->*item)->trigger();
        dialogs.messages.clear();
    }
    void LoadSmall() {
        Load(fs::path(TAVIK_SOURCE_DIR) / "tests/decoder/data/temp52_ed4_small.bufr", &TfmMainFrm::idPrimary);
    }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QTemporaryDir out;
    QString workDir;
    std::unique_ptr<TfmMainFrm> window;
};

TEST_P(DataExportsTest, EnabledByAPrimaryLoadThenWritesTheDocumentAndReportsOk) {
    const DataExportCase& c = GetParam();
    EXPECT_FALSE(window->idDataExport->isEnabled()) << "nothing to export before a load";
    LoadSmall();
    ASSERT_TRUE(window->idDataExport->isEnabled());
    ASSERT_TRUE((window.get()->*c.item)->isEnabled());
    EXPECT_EQ(window->idDataExport->text(), QStringLiteral("Экспорт данных"));
    const QString target = out.filePath(QStringLiteral("sounding"));
    WriteFile(target, "an older file of that name");
    dialogs.SaveAs(target);
    (window.get()->*c.item)->trigger();

    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].fileName, QStringLiteral("27612_20231010110637") + QString::fromUtf8(c.suffix));
    EXPECT_EQ(dialogs.saveDialogs[0].title, QString::fromUtf8(c.title));
    const std::string expected = c.document();
    EXPECT_GT(expected.size(), 1000u) << "30 levels";
    EXPECT_EQ(ReadFile(target).toStdString(), expected);
    EXPECT_EQ(dialogs.MessageTexts(), std::vector<QString>{QString::fromUtf8(c.okText)});
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left";
}

TEST_P(DataExportsTest, ACancelledDialogWritesAndSaysNothing) {
    const DataExportCase& c = GetParam();
    LoadSmall();
    dialogs.CancelSave();
    (window.get()->*c.item)->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_P(DataExportsTest, AFailedWriteShowsTheFailureMessageAndThenTheError) {
    const DataExportCase& c = GetParam();
    LoadSmall();
    const QString folderAsTarget = out.filePath(QStringLiteral("a folder"));
    ASSERT_TRUE(QDir().mkpath(folderAsTarget));
    dialogs.SaveAs(folderAsTarget);
    (window.get()->*c.item)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromUtf8(c.failureText));
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Error);
    EXPECT_TRUE(QFileInfo(folderAsTarget).isDir());
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 0) << "no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(Exports, DataExportsTest, ::testing::ValuesIn(Exports),
                         [](const auto& info) { return std::string(info.param.name); });

class DataExportsOnceTest : public DataExportsTest {};

// An edition 3 secondary takes the message buffer: the JSON still gives the primary's header.
TEST_F(DataExportsOnceTest, TheJsonKeepsThePrimarysHeaderAfterASecondaryLoad) {
    const fs::path secondary = FixturesDir() / "temp52_ed3.bufr";
    TAVIK_REQUIRE_PATH(secondary);
    LoadSmall();
    Load(secondary, &TfmMainFrm::idSecondary);
    ASSERT_EQ(BUFRMessage.Edition(), 3) << "the secondary was not loaded";
    const QString target = out.filePath(QStringLiteral("primary.json"));
    dialogs.SaveAs(target);
    window->idJSON->trigger();
    const nlohmann::json j = nlohmann::json::parse(ReadFile(target).toStdString());
    EXPECT_EQ(j["message"]["edition"], 4);
    EXPECT_EQ(j["message"]["typicalTime"], "2023-10-10T12:00:00Z");
    EXPECT_EQ(j["source"]["file"], "temp52_ed4_small.bufr");
    EXPECT_EQ(j["station"]["stationNumber"], 612);
}

// A failed primary load after a good one: the decoder may hold part of the new file while the
// kept header is the old one's, so the data exports wait for the next good load.
TEST_F(DataExportsOnceTest, AFailedPrimaryLoadTurnsTheDataExportsOffUntilTheNextGoodOne) {
    LoadSmall();
    ASSERT_TRUE(window->idJSON->isEnabled());
    const QString broken = data.filePath(QStringLiteral("broken.bufr"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BUFR\0\0\x40\x04 truncated");
    file.close();
    dialogs.Choose(broken);
    window->idPrimary->trigger();
    EXPECT_FALSE(dialogs.messages.empty()) << "the failure was reported";
    for (QAction* item : {window->idDataExport, window->idJSON, window->idCSV}) EXPECT_FALSE(item->isEnabled());
    EXPECT_TRUE(window->idSave->isEnabled()) << "the other items keep their state";
    LoadSmall();
    for (QAction* item : {window->idDataExport, window->idJSON, window->idCSV}) EXPECT_TRUE(item->isEnabled());
}

}  // namespace
