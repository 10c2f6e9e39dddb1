// Loading primary and secondary soundings into the real window, offscreen, with the open dialog,
// the decode driver's questions and the message boxes answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/Series.h"
#include "core/Cp1251.h"
#include "support/Fixtures.h"
#include "support/TemplateWriter.h"
#include "ui/IniFile.h"
#include "ui/LineListBox.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"
#include "ui/ProfileCharts.h"
#include "ui/ROFMenu.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;
using ui::test::WriteFile;

namespace {

const QString Small = QStringLiteral("27612_20231010110637");       // base name of temp52_ed4_small
const QString Subset2 = QStringLiteral("26063_20231010110103");     // second subset of temp52_3subsets
const QString Subset3 = QStringLiteral("34122_20231010105850");     // third subset
const QString Pilot = QStringLiteral("27612_20231010053000");       // pilot50_ed4

fs::path InRepoSmall() {
    return fs::path(TAVIK_SOURCE_DIR) / "tests/decoder/data/temp52_ed4_small.bufr";
}

QString Q(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

// The lines of a list as UTF-8.
std::vector<std::string> Utf8Lines(const LineListBox* list) {
    std::vector<std::string> out;
    for (const std::string& line : list->Lines()) out.push_back(Cp1251ToUtf8(line));
    return out;
}

bool HasLine(const LineListBox* list, const std::string& utf8) {
    const auto lines = Utf8Lines(list);
    return std::find(lines.begin(), lines.end(), utf8) != lines.end();
}

std::vector<QString> Texts(const std::vector<ScriptedWindowDialogs::Message>& messages) {
    std::vector<QString> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

class LoadTest : public ::testing::Test {
public:   // the cases of a table reach the fixture
    LoadTest() {
        workDir = QDir::currentPath();
        PrimaryFileName.clear();
        SecondaryFileName.clear();
        PrimaryBaseName.clear();
        SecondaryBaseName.clear();
    }
    ~LoadTest() override {
        window.reset();
        QDir::setCurrent(workDir);
        PrimaryFileName.clear();
        SecondaryFileName.clear();
        PrimaryBaseName.clear();
        SecondaryBaseName.clear();
    }

    TfmMainFrm& Open(const QStringList& arguments = {}) {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), arguments);
        window->resize(900, 640);
        window->show();
        QCoreApplication::processEvents();   // the first show's step runs once the window is up
        return *window;
    }
    TfmMainFrm& Reopen() {
        window->close();
        return Open();
    }

    // A copy of a file under a name of the test's choosing in the data folder (or a subfolder).
    QString Copy(const fs::path& from, const QString& name, const QString& folder = QString()) {
        const QString dir = folder.isEmpty() ? data.path() : folder;
        QDir().mkpath(dir);
        const QString to = QDir(dir).filePath(name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(Q(from), to)) << from << " to " << to.toStdString();
        return to;
    }
    QString Write(const QString& name, const ByteVector& bytes) {
        const QString to = data.filePath(name);
        WriteFileBytes(fs::path(QFile::encodeName(to).toStdString()), bytes);
        return to;
    }
    QString SmallFile(const QString& name = QStringLiteral("Temp52_Small.bufr")) { return Copy(InRepoSmall(), name); }
    QString Fixture(const char* name, const QString& as = QString()) {
        return Copy(FixturesDir() / name, as.isEmpty() ? QString::fromLatin1(name) : as);
    }

    // Opens a primary file through the open dialog.
    bool OpenPrimary(const QString& path) {
        dialogs.Choose(path);
        const int before = dialogs.beeps;
        window->idPrimary->trigger();
        return dialogs.beeps == before && !PrimaryBaseName.empty();
    }
    void OpenSecondary(const QString& path) {
        dialogs.Choose(path);
        window->idSecondary->trigger();
    }
    void NoOtherQuestions() {
        EXPECT_EQ(dialogs.prompts.Unused(), 0u);
        EXPECT_TRUE(dialogs.openAnswers.empty());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";
    }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QString workDir;
    std::unique_ptr<TfmMainFrm> window;
};

TEST_F(LoadTest, OpenLoadsTheChosenFileByItsBareNameKeepingItsCase) {
    TfmMainFrm& w = Open();
    const QString path = SmallFile();
    w.PageControlTU->SetActivePage(w.tsWind);
    dialogs.Choose(path);
    w.idPrimary->trigger();

    ASSERT_EQ(dialogs.openDialogs.size(), 1u);
    const FileDialogSettings& shown = dialogs.openDialogs[0];
    EXPECT_EQ(shown.title, QStringLiteral("Выбор сообщения"));
    EXPECT_EQ(shown.filter, QStringLiteral("Данные зондирования в коде BUFR (*.bufr *.bin *.bfr *.b)"));
    EXPECT_EQ(shown.defaultSuffix, QStringLiteral("bin"));
    EXPECT_EQ(shown.initialDir, workDir);
    EXPECT_TRUE(shown.fileName.isEmpty());

    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.beeps, 0);
    EXPECT_EQ(PrimaryFileName, "Temp52_Small.bufr");
    EXPECT_EQ(QDir::currentPath(), QDir(data.path()).canonicalPath()) << "the dialog's folder became current";
    EXPECT_EQ(w.OpnDlgFlights.initialDir, QDir(data.path()).absolutePath());
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Small);
    ASSERT_FALSE(w.lbPrim->Lines().empty());
    EXPECT_EQ(Utf8Lines(w.lbPrim)[0], QDir(data.path()).canonicalPath().toStdString() + "/Temp52_Small.bufr");
    EXPECT_EQ(Utf8Lines(w.lbPrim)[1], "Размер файла(Бт):766");
    EXPECT_TRUE(HasLine(w.lbPrim, "Набор 1/1:"));
    EXPECT_EQ(w.RecentFiles->Count(), 1);
    EXPECT_EQ(w.RecentFiles->Path(0), QDir(data.path()).canonicalPath() + "/Temp52_Small.bufr");
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsPrimary);
    EXPECT_TRUE(w.lbPrim->hasFocus() || QApplication::focusWidget() == nullptr);
    EXPECT_GT(w.Charts->TSeries->Count(), 0);
    EXPECT_GT(w.Charts->XYSeries->Count(), 1);
    NoOtherQuestions();

    // Cancelling the dialog changes nothing; the name field is emptied before each Open.
    dialogs.CancelOpen();
    w.OpnDlgFlights.fileName = QStringLiteral("/left/over.bin");
    w.idPrimary->trigger();
    EXPECT_TRUE(dialogs.openDialogs.back().fileName.isEmpty());
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Small);
    EXPECT_EQ(dialogs.beeps, 0);
    NoOtherQuestions();
}

// The other ways to a primary file: each loads by the full path and leaves the active page.
struct WayCase {
    const char* name;
    std::function<void(LoadTest&, TfmMainFrm&, const QString& path)> load;
};

TEST_F(LoadTest, EveryOtherWayLoadsTheFullPathAndLeavesTheActivePage) {
    const WayCase ways[] = {
        {"recent file",
         [](LoadTest&, TfmMainFrm& w, const QString& path) {
             w.RecentFiles->Add(path);
             w.idRecent->menu()->actions().constLast()->trigger();
         }},
        {"dropped files, the first of them",
         [](LoadTest& t, TfmMainFrm& w, const QString& path) {
             const QString other = t.Copy(InRepoSmall(), QStringLiteral("other.bin"));
             QMimeData mime;
             mime.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(other)});
             QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(&w, &enter);
             EXPECT_TRUE(enter.isAccepted());
             QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(&w, &drop);
             EXPECT_TRUE(drop.isAccepted());
             QCoreApplication::processEvents();
         }},
        {"second copy's message",
         [](LoadTest&, TfmMainFrm& w, const QString& path) {
             EXPECT_TRUE(w.WMCopyData(22, QFile::encodeName(path) + '\0'));
         }},
        {"the one command-line argument",
         [](LoadTest& t, TfmMainFrm& w, const QString& path) {
             const QString relative = QDir::current().relativeFilePath(path);
             t.window.reset();
             t.Open({relative});
             (void)w;
         }},
    };
    for (const WayCase& way : ways) {
        SCOPED_TRACE(way.name);
        Open();
        const QString path = SmallFile(QStringLiteral("Ствол 1.bufr"));
        window->PageControlTU->SetActivePage(window->tsXY);
        way.load(*this, *window, path);
        TfmMainFrm& w = *window;
        const bool atStart = std::string(way.name) == "the one command-line argument";
        EXPECT_TRUE(dialogs.messages.empty()) << (dialogs.messages.empty() ? "" : dialogs.messages[0].text.toStdString());
        EXPECT_EQ(PrimaryFileName, QFile::encodeName(path).toStdString());
        EXPECT_EQ(w.windowTitle(), "Тавик:" + Small);
        ASSERT_FALSE(w.lbPrim->Lines().empty());
        EXPECT_EQ(Utf8Lines(w.lbPrim)[0], path.toStdString());
        EXPECT_EQ(w.RecentFiles->Path(w.RecentFiles->Count() - 1), path);
        EXPECT_EQ(w.PageControlTU->ActivePage(), atStart ? w.tsPrimary : w.tsXY);
        EXPECT_TRUE(w.idSecondary->isEnabled());
        NoOtherQuestions();
        window.reset();
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
    }
}

TEST_F(LoadTest, TheCommandLineArgumentThatIsNoFileIsReportedAndNothingLoads) {
    const QString missing = data.filePath(QStringLiteral("нет такого.bin"));
    struct ArgumentCase {
        const char* name;
        QStringList arguments;
        std::vector<QString> messages;
    };
    const ArgumentCase cases[] = {
        {"missing file", {missing}, {missing + " не найден!"}},
        {"a folder", {data.path() + "/"}, {data.path() + " не найден!"}},
        {"relative and missing", {QStringLiteral("a/../b.bin")}, {QDir::currentPath() + "/b.bin не найден!"}},
        {"two arguments", {SmallFile(), SmallFile()}, {}},
        {"none", {}, {}},
    };
    for (const ArgumentCase& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        TfmMainFrm& w = Open(c.arguments);
        EXPECT_EQ(Texts(dialogs.messages), c.messages);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Тавик"));
        EXPECT_TRUE(PrimaryFileName.empty());
        EXPECT_FALSE(w.idSecondary->isEnabled());
        window.reset();
    }
}

TEST_F(LoadTest, TheCaptionOfEveryMoment) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_3subsets.bufr");
    TfmMainFrm& w = Open();
    const QString three = Fixture("temp52_3subsets.bufr", QStringLiteral("Три.Набора.bufr"));
    const QString small = SmallFile();
    const QString none = Write(QStringLiteral("nobufr.bin"), BytesOf("no message in here"));
    std::vector<QString> captions;
    dialogs.whileShown = [&] { captions.push_back(w.windowTitle()); };
    auto moment = [&] { return w.windowTitle(); };

    EXPECT_EQ(moment(), "Тавик");
    dialogs.prompts.Answer("3");
    ASSERT_TRUE(OpenPrimary(three));
    EXPECT_EQ(captions, std::vector<QString>{"Тавик:Три.Набора.bufr"}) << "while the load runs";
    EXPECT_EQ(moment(), "Тавик:" + Subset3);

    OpenPrimary(none);
    EXPECT_EQ(moment(), "Тавик:nobufr.bin") << "after a failed load";
    ASSERT_TRUE(OpenPrimary(small));
    EXPECT_EQ(moment(), "Тавик:" + Small);

    dialogs.prompts.Answer("2");
    OpenSecondary(three);
    EXPECT_EQ(moment(), "Тавик-" + Small + "/" + Subset2) << "after a secondary load";

    captions.clear();
    dialogs.prompts.Answer("1");
    ASSERT_EQ(w.RecentFiles->Path(0), QDir(data.path()).canonicalPath() + "/Три.Набора.bufr");
    w.RecentFiles->Item(0)->trigger();
    EXPECT_EQ(captions, std::vector<QString>{"Тавик:Три.Набора.bufr"});
    EXPECT_EQ(moment(), "Тавик:27612_20231010110637/Три.Набора") << "primary with a secondary";

    w.idClearSecondary->trigger();
    EXPECT_EQ(moment(), "Тавик:" + Small);
    NoOtherQuestions();
}

// A descent (3-09-056) loaded as the secondary sounding beside its ascent (3-09-057): both fill
// their charts as a 3-09-052 pair does.
TEST_F(LoadTest, DescentBesideItsAscent) {
    TfmMainFrm& w = Open();
    const fs::path own = fs::path(TAVIK_SOURCE_DIR) / "tests/decoder/data";
    const QString ascent = Copy(own / "hires57_missing.bufr", QStringLiteral("ascent.bufr"));
    const QString descent = Copy(own / "hires56_descent.bufr", QStringLiteral("descent.bufr"));
    ASSERT_TRUE(OpenPrimary(ascent));
    EXPECT_EQ(w.windowTitle(), "Тавик:01001_20260106051128");
    EXPECT_TRUE(HasLine(w.lbPrim, "Идентификатор ВИГОС(001125 001126 001127 001128):0-20000-0-01001"));
    OpenSecondary(descent);
    EXPECT_EQ(w.windowTitle(), "Тавик-01001_20260106051128/01001_20260106051128");
    EXPECT_TRUE(HasLine(w.lbSec, "Начало спуска(008091 005001 006001 007007):004 71.30211   -7.93301 29870"));
    EXPECT_GT(w.Charts->TSeries->Count(), 100);
    EXPECT_GT(w.Charts->TSecSeries->Count(), 70);
    EXPECT_GT(w.Charts->XYSecSeries->Count(), 1);
    EXPECT_EQ(dialogs.beeps, 0);
    NoOtherQuestions();
}

// The enabled menu items, sorted by name, as one line.
QString EnabledItems(TfmMainFrm& w) {
    QStringList names;
    for (QAction* a : w.findChildren<QAction*>()) {
        const QString name = a->objectName();
        if (!(name.startsWith(QStringLiteral("id")) || name.startsWith(QStringLiteral("pid")))) continue;
        if (a->isEnabled()) names << name;
    }
    names.sort();
    return names.join(' ');
}

QString Sorted(const QString& names) {
    QStringList list = names.split(' ', Qt::SkipEmptyParts);
    list.sort();
    return list.join(' ');
}

TEST_F(LoadTest, MenuStatesAfterTheFirstLoadAndOnEveryPage) {
    TfmMainFrm& w = Open();
    const QString before = EnabledItems(w);
    EXPECT_EQ(before, Sorted("idRelease idPrimary idExit idEdit idService idSigPoints idShowSig idLeftAxisP idSortYAxis "
                             "idHelp idUsage idAbout"));
    ASSERT_TRUE(OpenPrimary(SmallFile()));
    // The list page is active after Open.
    EXPECT_EQ(EnabledItems(w),
              Sorted("idRelease idPrimary idRecent idSave idSaveAs idPrint idPrintSelected idSecondary idExit idEdit "
                     "idFind idCopy idCopySelected idService idSaveChart idTraj idKML idGMStatic idYMStatic "
                     "idDataExport idJSON idCSV idSigPoints idShowSig idLeftAxisP idSortYAxis idHelp idUsage idAbout pidFind pidCopy "
                     "pidCopySelected"));

    const QString always =
        "idRelease idPrimary idRecent idSave idSaveAs idPrint idSecondary idExit idEdit idCopy idService idSaveChart "
        "idTraj idKML idGMStatic idYMStatic idDataExport idJSON idCSV idSigPoints idShowSig idLeftAxisP idSortYAxis "
        "idHelp idUsage idAbout pidCopy ";
    for (int i = 0; i < w.PageControlTU->PageCount(); ++i) {
        w.PageControlTU->SetActivePageIndex(i);
        QWidget* page = w.PageControlTU->ActivePage();
        QStringList expected = always.split(' ', Qt::SkipEmptyParts);
        if (page == w.tsPrimary)
            expected << "idPrintSelected" << "idFind" << "idCopySelected" << "pidFind" << "pidCopySelected";
        else if (page != w.tsSec)
            expected << "idSaveGIF" << "idSaveWMF" << "idEditChart" << "pidEditChart";
        expected.sort();
        EXPECT_EQ(EnabledItems(w), expected.join(' ')) << w.PageControlTU->Caption(i).toStdString();
    }
    NoOtherQuestions();
}

// A sounding with one level: one trajectory point.
ByteVector OneLevelSounding() {
    UASubsetRaw subset;
    subset.Levels.resize(1);
    BitWriter bits;
    WriteUASubset(bits, subset);
    bits.PadToOctet();
    return BufrBuilder().Descriptors({309052}).Data(bits).Build();
}

TEST_F(LoadTest, TheTrajectoryExportsNeedTwoTrajectoryPoints) {
    TfmMainFrm& w = Open();
    ASSERT_TRUE(OpenPrimary(SmallFile()));
    EXPECT_TRUE(w.idKML->isEnabled());
    ASSERT_TRUE(OpenPrimary(Write(QStringLiteral("one.bin"), OneLevelSounding())));
    EXPECT_EQ(w.Charts->XYSeries->Count(), 1);
    EXPECT_TRUE(w.idTraj->isEnabled());
    for (QAction* item : {w.idKML, w.idGMStatic, w.idYMStatic}) EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    NoOtherQuestions();
}

TEST_F(LoadTest, ReloadAsksForAnotherSubsetOfTheFileItCameFrom) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_3subsets.bufr");
    TfmMainFrm& w = Open();
    const QString three = Fixture("temp52_3subsets.bufr");
    ASSERT_TRUE(OpenPrimary(SmallFile()));
    EXPECT_FALSE(w.idReload->isEnabled()) << "one subset";

    dialogs.prompts.Answer("0").Answer("4").Answer("zwei").Answer("2");
    ASSERT_TRUE(OpenPrimary(three));
    ASSERT_EQ(dialogs.prompts.Asked.size(), 4u);
    for (const PromptRecord& asked : dialogs.prompts.Asked) {
        EXPECT_EQ(asked.Caption, "В сообщении несколько поднаборов данных!");
        EXPECT_EQ(asked.Text, "Какой поднабор из 3 выбрать?");
        EXPECT_EQ(asked.Preset, "1");
    }
    EXPECT_TRUE(HasLine(w.lbPrim, "Набор 2/3:"));
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Subset2);
    EXPECT_TRUE(w.idReload->isEnabled());

    // A secondary file from another folder moves the current directory; Reload still finds the
    // primary file in its own folder.
    QTemporaryDir elsewhere;
    const QString secondary = Copy(InRepoSmall(), QStringLiteral("temp52_3subsets.bufr"), elsewhere.path());
    OpenSecondary(secondary);
    EXPECT_EQ(QDir::currentPath(), QDir(elsewhere.path()).canonicalPath());
    dialogs.prompts.Asked.clear();
    dialogs.prompts.Answer("3");
    w.idReload->trigger();
    EXPECT_EQ(dialogs.prompts.Asked.size(), 1u);
    EXPECT_EQ(PrimaryFileName, "temp52_3subsets.bufr");
    EXPECT_TRUE(HasLine(w.lbPrim, "Набор 3/3:"));
    EXPECT_EQ(Utf8Lines(w.lbPrim)[0], QDir(data.path()).canonicalPath().toStdString() + "/temp52_3subsets.bufr");
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Subset3 + "/temp52_3subsets");
    EXPECT_TRUE(w.idReload->isEnabled());
    EXPECT_EQ(w.RecentFiles->Count(), 2);

    // The close step writes the primary file's folder, not the current directory.
    w.close();
    EXPECT_EQ(IniFile(window->ConfigFileName()).ReadString(QStringLiteral("PATHS"), QStringLiteral("DATA"), {}),
              QDir(data.path()).canonicalPath() + "/");
    EXPECT_TRUE(dialogs.messages.empty());
    NoOtherQuestions();
}

TEST_F(LoadTest, TheRecentListRotatesKeepsItsShortcutsAndOutlivesTheWindow) {
    TfmMainFrm& w = Open();
    std::vector<QString> paths;
    for (int i = 0; i < 10; ++i) paths.push_back(SmallFile(QStringLiteral("s%1.bufr").arg(i)));
    // Names differ in case only: two files here.
    paths.push_back(SmallFile(QStringLiteral("S9.bufr")));
    for (const QString& path : paths) ASSERT_TRUE(OpenPrimary(path)) << path.toStdString();
    ASSERT_TRUE(OpenPrimary(paths[5]));   // listed: stays where it is
    const QString folder = QDir(data.path()).canonicalPath();
    ASSERT_EQ(w.RecentFiles->Count(), 9);
    QMenu* menu = w.idRecent->menu();
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const QString expected = folder + "/" + QFileInfo(paths[i + 2]).fileName();
        EXPECT_EQ(w.RecentFiles->Path(i), expected);
        EXPECT_EQ(menu->actions()[i]->text(), QStringLiteral("&%1.").arg(i + 1) + expected);
        EXPECT_EQ(menu->actions()[i]->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_0 + i)));
    }

    // Ctrl+Alt+0 loads the oldest entry.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(PrimaryFileName, (folder + "/s2.bufr").toStdString());

    TfmMainFrm& again = Reopen();
    ASSERT_EQ(again.RecentFiles->Count(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(again.RecentFiles->Path(i), folder + "/" + QFileInfo(paths[i + 2]).fileName());
    EXPECT_TRUE(again.idRecent->isEnabled());
    const QByteArray cnf = ReadFile(again.ConfigFileName());
    EXPECT_TRUE(cnf.startsWith("[RECENT]\r\nN=9\r\n0=" + folder.toUtf8() + "/s2.bufr\r\n")) << cnf.toStdString();
    EXPECT_TRUE(cnf.contains("8=" + folder.toUtf8() + "/S9.bufr\r\n"));
    EXPECT_TRUE(cnf.contains("[PATHS]\r\nDATA=" + folder.toUtf8() + "/\r\n"));
    NoOtherQuestions();
}

TEST_F(LoadTest, TheOptionCommandsRefillTheChartsOfTheLoadedSoundingsAndPersist) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_ed4_hires.bufr");
    TfmMainFrm& w = Open();
    // Nothing loaded: the commands only turn their options.
    w.idShowSig->trigger();
    w.idShowSig->trigger();
    EXPECT_EQ(w.Charts->TSigSeries->Count(), 0);

    ASSERT_TRUE(OpenPrimary(SmallFile()));
    OpenSecondary(Fixture("temp52_ed4_hires.bufr"));
    const ProfileCharts& c = *w.Charts;
    const int secondaryPoints = c.TSecSeries->Count();
    ASSERT_GT(secondaryPoints, 1000);
    EXPECT_TRUE(c.p3D2->active);
    EXPECT_EQ(c.TSigSeries->Count(), 0);

    w.idShowSig->trigger();
    EXPECT_GT(c.TSigSeries->Count(), 0);
    EXPECT_EQ(c.TSecSeries->Count(), secondaryPoints);
    const int sigHumidity = c.USigSeries->Count();
    w.idCombineTU->trigger();
    EXPECT_GT(c.USigSeries->Count(), sigHumidity);
    w.idShowSig->trigger();
    EXPECT_EQ(c.TSigSeries->Count(), 0);
    EXPECT_EQ(c.USigSeries->Count(), 0);

    // Pressure (hPa) or height (thousands of metres) on the vertical axis.
    const double pressureTop = c.TSeries->Point(c.TSeries->Count() - 1).y;
    EXPECT_LT(pressureTop, 50.0);
    w.idLeftAxisP->trigger();
    EXPECT_GT(c.TSeries->Point(c.TSeries->Count() - 1).y, 25.0);
    EXPECT_EQ(c.ChrtTemp->Model().AxisOf(chart::AxisId::Left).title, QStringLiteral("H/1000, гпм"));
    EXPECT_GT(c.TSecSeries->Count(), 1000);
    w.idLeftAxisP->trigger();
    EXPECT_EQ(c.ChrtTemp->Model().AxisOf(chart::AxisId::Left).title, QStringLiteral("P, гПа"));
    EXPECT_DOUBLE_EQ(c.TSeries->Point(c.TSeries->Count() - 1).y, pressureTop);

    // Sorting by the vertical value and back to level order.
    std::vector<double> levelOrder;
    for (const chart::ChartPoint& p : c.TSecSeries->Points()) levelOrder.push_back(p.y);
    ASSERT_FALSE(std::is_sorted(levelOrder.begin(), levelOrder.end())) << "the balloon sinks late in the flight";
    w.idSortYAxis->trigger();
    std::vector<double> sorted;
    for (const chart::ChartPoint& p : c.TSecSeries->Points()) sorted.push_back(p.y);
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    w.idSortYAxis->trigger();
    std::vector<double> again;
    for (const chart::ChartPoint& p : c.TSecSeries->Points()) again.push_back(p.y);
    EXPECT_EQ(again, levelOrder);

    w.idShowSig->trigger();
    w.idSortYAxis->trigger();
    TfmMainFrm& next = Reopen();
    EXPECT_TRUE(next.ShowSig);
    EXPECT_TRUE(next.CombineTU);
    EXPECT_TRUE(next.LeftAxisP);
    EXPECT_TRUE(next.SortYAxis);
    EXPECT_TRUE(dialogs.messages.empty());
    NoOtherQuestions();
}

struct AxisCase {
    const char* name;
    QByteArray options;
    QString title;
    bool logarithmic;
};

TEST_F(LoadTest, AtCreationTheVerticalAxesFollowLeftAxisP) {
    const AxisCase cases[] = {
        {"no file", "", QStringLiteral("P, гПа"), true},
        {"pressure", "[OPTIONS]\r\nLeftAxisP=1\r\n", QStringLiteral("P, гПа"), true},
        {"height", "[OPTIONS]\r\nLeftAxisP=0\r\n", QStringLiteral("H/1000, гпм"), false},
    };
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(configDir.filePath(QStringLiteral("TAVIK.CNF")));
        if (!c.options.isEmpty()) WriteFile(configDir.filePath(QStringLiteral("TAVIK.CNF")), c.options);
        TfmMainFrm& w = Open();
        const chart::Axis& left = w.Charts->ChrtTemp->Model().AxisOf(chart::AxisId::Left);
        EXPECT_EQ(left.title, c.title);
        EXPECT_EQ(left.logarithmic, c.logarithmic);
        EXPECT_EQ(left.inverted, c.logarithmic);
        // The charts stand on their pages.
        EXPECT_EQ(w.Charts->ChrtTemp->parentWidget(), w.tsTemp);
        EXPECT_EQ(w.Charts->Chrt3D->parentWidget(), w.ts3D);
        EXPECT_FALSE(w.Charts->p3D2->active);
        window.reset();
    }
}

TEST_F(LoadTest, ASecondarySoundingIsLoadedKeptByPrimaryLoadsAndCleared) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "pilot50_ed4.bufr");
    TfmMainFrm& w = Open();
    ASSERT_TRUE(OpenPrimary(SmallFile()));
    const QString secondary = Fixture("pilot50_ed4.bufr", QStringLiteral("Pilot.Wind.bufr"));
    w.PageControlTU->SetActivePage(w.tsTemp);
    OpenSecondary(secondary);
    ASSERT_EQ(dialogs.openDialogs.size(), 2u);
    EXPECT_EQ(dialogs.openDialogs[1].fileName, QDir(data.path()).absoluteFilePath("Temp52_Small.bufr"))
        << "the secondary command keeps the name field";
    EXPECT_EQ(SecondaryFileName, "Pilot.Wind.bufr");
    EXPECT_EQ(SecondaryBaseName, Pilot.toStdString());
    EXPECT_EQ(Utf8Lines(w.lbSec)[0], secondary.toStdString());
    EXPECT_TRUE(w.idClearSecondary->isEnabled());
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsSec);
    EXPECT_TRUE(w.Charts->p3D2->active);
    EXPECT_GT(w.Charts->VSecSeries->Count(), 0);
    EXPECT_GT(w.Charts->XYSecSeries->Count(), 0);
    EXPECT_EQ(w.RecentFiles->Count(), 1) << "no recent entry for a secondary file";
    EXPECT_EQ(w.OpnDlgFlights.initialDir, QDir(data.path()).absolutePath());

    // The page rule on the secondary page, now with a secondary sounding.
    w.PageControlTU->SetActivePage(w.tsTemp);
    w.PageControlTU->SetActivePage(w.tsSec);
    EXPECT_TRUE(w.idFind->isEnabled());
    EXPECT_TRUE(w.idCopySelected->isEnabled());

    // A primary load keeps the secondary sounding.
    const LineList secondaryText = w.lbSec->Lines();
    const int windPoints = w.Charts->VSecSeries->Count();
    ASSERT_TRUE(OpenPrimary(SmallFile(QStringLiteral("again.bufr"))));
    EXPECT_EQ(w.lbSec->Lines(), secondaryText);
    EXPECT_EQ(w.Charts->VSecSeries->Count(), windPoints);
    EXPECT_TRUE(w.idClearSecondary->isEnabled());

    // A failed secondary load keeps the earlier series; its list shows what the decode wrote.
    OpenSecondary(Write(QStringLiteral("broken.bin"), BytesOf("BUFR but nothing else")));
    EXPECT_EQ(Texts(dialogs.messages).back(), data.filePath("broken.bin") + " ашипка!");
    EXPECT_EQ(w.Charts->VSecSeries->Count(), windPoints);
    EXPECT_TRUE(w.idClearSecondary->isEnabled());
    EXPECT_EQ(SecondaryFileName, "Pilot.Wind.bufr") << "the name of the sounding still shown";
    dialogs.messages.clear();
    ASSERT_TRUE(OpenPrimary(SmallFile(QStringLiteral("third.bufr"))));
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Small + "/Pilot.Wind");

    w.idClearSecondary->trigger();
    EXPECT_TRUE(w.lbSec->Lines().empty());
    EXPECT_EQ(w.Charts->VSecSeries->Count(), 0);
    EXPECT_EQ(w.Charts->XYSecSeries->Count(), 0);
    EXPECT_FALSE(w.Charts->p3D2->active);
    EXPECT_TRUE(SecondaryFileName.empty());
    EXPECT_TRUE(SecondaryBaseName.empty());
    EXPECT_FALSE(w.idClearSecondary->isEnabled());
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Small);
    w.PageControlTU->SetActivePage(w.tsTemp);
    w.PageControlTU->SetActivePage(w.tsSec);
    EXPECT_FALSE(w.idFind->isEnabled());
    EXPECT_TRUE(w.idCopy->isEnabled());
    NoOtherQuestions();
}

// The page rule follows the page shown also when a secondary load or its clearing changes what
// «Вторичный» shows without a change of page.
TEST_F(LoadTest, ThePageRuleRunsAfterASecondaryLoadAndItsClearingOnTheSecondaryPage) {
    TfmMainFrm& w = Open();
    ASSERT_TRUE(OpenPrimary(SmallFile()));
    w.PageControlTU->SetActivePage(w.tsSec);
    EXPECT_FALSE(w.idFind->isEnabled()) << "an empty page";
    OpenSecondary(SmallFile(QStringLiteral("second.bufr")));
    ASSERT_TRUE(w.idClearSecondary->isEnabled());
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsSec);
    EXPECT_TRUE(w.idFind->isEnabled());
    EXPECT_TRUE(w.idCopySelected->isEnabled());
    w.idClearSecondary->trigger();
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsSec);
    EXPECT_FALSE(w.idFind->isEnabled());
    EXPECT_FALSE(w.idCopySelected->isEnabled());
    NoOtherQuestions();
}

// After a cancelled choice of subset Reload asks again, in the file's own folder.
TEST_F(LoadTest, ReloadChoosesAgainAfterTheSubsetQuestionWasCancelled) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_3subsets.bufr");
    TfmMainFrm& w = Open();
    dialogs.prompts.Cancel();
    dialogs.Choose(Fixture("temp52_3subsets.bufr"));
    w.idPrimary->trigger();
    ASSERT_TRUE(w.idReload->isEnabled());
    dialogs.prompts.Answer("2");
    w.idReload->trigger();
    EXPECT_TRUE(HasLine(w.lbPrim, "Набор 2/3:"));
    EXPECT_EQ(w.windowTitle(), "Тавик:" + Subset2);
    EXPECT_TRUE(w.idReload->isEnabled());
    NoOtherQuestions();
}

// A failed primary load after a successful one: what it shows and what stays.
struct FailureCase {
    const char* name;
    std::function<ByteVector()> bytes;
    std::function<void(ScriptedWindowDialogs&)> answers;
    std::vector<QString> messages;     // the driver's and the window's, in order
    bool raised;                       // an error reached the window: one error box, nothing else
    std::vector<std::string> lines;    // what lbPrim holds after the path and size lines
    bool reload = false;               // «Загрузить повторно» stays to choose again
};

ByteVector FixtureBytes(const char* name) {
    return ReadFileBytes(FixturesDir() / name);
}

// The section dump of the message in a file.
std::vector<std::string> HeaderDump(const QString& file) {
    std::uint32_t length = 0;
    EXPECT_TRUE(LoadBUFRFile(QFile::encodeName(file).toStdString(), MessageBuffer, length));
    EXPECT_TRUE(BUFRMessage.Parse(MessageBuffer, length));
    LineList lines;
    BUFRMessage.DumpSections(&lines);
    std::vector<std::string> out;
    for (const std::string& line : lines) out.push_back(Cp1251ToUtf8(line));
    return out;
}

TEST_F(LoadTest, FailedPrimaryLoadsLeaveTheStateOfTheirKind) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_3subsets.bufr");
    const FailureCase cases[] = {
        {"no BUFR", [] { return BytesOf("plain text, no message"); }, [](ScriptedWindowDialogs&) {},
         {"failing.bin нет данных BUFR!", "failing.bin ашипка!"}, false, {}},
        {"no subset, declined", [] { return BufrBuilder().Subsets(0).Build(); },
         [](ScriptedWindowDialogs& d) { d.prompts.AnswerYesNo(false); }, {"failing.bin ашипка!"}, false, {"dump"}},
        {"an error of the decoder", [] { return BufrBuilder().Build(); }, [](ScriptedWindowDialogs&) {}, {}, true,
         {"dump", "Набор 1/1:"}},
        {"cancel of the subset question", [] { return FixtureBytes("temp52_3subsets.bufr"); },
         [](ScriptedWindowDialogs& d) { d.prompts.Cancel(); }, {}, false, {"dump"}, true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        TfmMainFrm& w = Open();
        ASSERT_TRUE(OpenPrimary(SmallFile()));
        w.PageControlTU->SetActivePage(w.tsWind);
        const ByteVector bytes = c.bytes();
        const QString path = Write(QStringLiteral("failing.bin"), bytes);
        c.answers(dialogs);
        dialogs.messages.clear();
        std::vector<Qt::CursorShape> shapes;
        dialogs.whileShown = [&] {
            shapes.push_back(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
        };
        dialogs.Choose(path);
        w.idPrimary->trigger();
        dialogs.whileShown = nullptr;

        if (c.raised) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
            EXPECT_EQ(shapes, std::vector<Qt::CursorShape>{Qt::ArrowCursor}) << "the hourglass is gone before the box";
        } else {
            EXPECT_EQ(Texts(dialogs.messages), c.messages);
            for (const Qt::CursorShape shape : shapes) EXPECT_EQ(shape, Qt::WaitCursor) << "the hourglass while it runs";
        }
        for (const auto& m : dialogs.messages) EXPECT_EQ(m.title, QStringLiteral("Тавик"));
        // A load that returned false makes Open beep and show the list; an error or Cancel skips that.
        const bool returnedFalse = !c.messages.empty();
        EXPECT_EQ(dialogs.beeps, returnedFalse ? 1 : 0);
        EXPECT_EQ(w.PageControlTU->ActivePage(), returnedFalse ? w.tsPrimary : w.tsWind);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Тавик:failing.bin"));
        EXPECT_EQ(PrimaryFileName, "failing.bin");
        EXPECT_EQ(PrimaryBaseName, Small.toStdString());
        EXPECT_EQ(w.idReload->isEnabled(), c.reload);
        EXPECT_EQ(w.Charts->TSeries->Count(), 0);
        EXPECT_EQ(w.Charts->XYSeries->Count(), 0);
        EXPECT_EQ(w.RecentFiles->Count(), 1);
        for (QAction* item : {w.idSave, w.idSecondary, w.idCopy, w.pidCopy, w.idKML, w.idTraj})
            EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();

        std::vector<std::string> expected;
        if (!c.lines.empty()) {
            expected = {QDir(data.path()).canonicalPath().toStdString() + "/failing.bin",
                        "Размер файла(Бт):" + std::to_string(bytes.size())};
            for (const std::string& line : c.lines) {
                if (line != "dump") {
                    expected.push_back(line);
                    continue;
                }
                for (const std::string& dumped : HeaderDump(path)) expected.push_back(dumped);
            }
        }
        EXPECT_EQ(Utf8Lines(w.lbPrim), expected);
        NoOtherQuestions();
        window.reset();
        dialogs.beeps = 0;
    }
}

TEST_F(LoadTest, UnknownDescriptorsAfterTheFirstSubsetAreReportedAndTheTextStillShown) {
    TAVIK_REQUIRE_PATH(FixturesDir() / "temp52_unsupported.bufr");
    TfmMainFrm& w = Open();
    // One subset: decoded without a word.
    ASSERT_TRUE(OpenPrimary(Fixture("temp52_unsupported.bufr")));
    EXPECT_TRUE(dialogs.messages.empty());

    // Three subsets of a message with an unknown descriptor: the second is not reached.
    UASubsetRaw subset;
    subset.Levels.resize(3);
    BitWriter bits;
    for (int i = 0; i < 3; ++i) {
        WriteUASubset(bits, subset);
        bits.Bits(27, 7);   // 0 01 001
    }
    bits.PadToOctet();
    const QString three = Write(QStringLiteral("unknown3.bin"),
                                BufrBuilder().Subsets(3).Descriptors({309052, 1001}).Data(bits).Build());
    dialogs.prompts.Answer("2");
    EXPECT_TRUE(OpenPrimary(three));
    EXPECT_EQ(Texts(dialogs.messages),
              std::vector<QString>{"unknown3.bin часть дескрипторов неизвестна, декодирование прервано!"});
    EXPECT_TRUE(HasLine(w.lbPrim, "Набор 2/3:"));
    EXPECT_EQ(w.RecentFiles->Count(), 2);
    NoOtherQuestions();
}

TEST_F(LoadTest, TheChartEditorOpensFromADoubleClickAndFromTheMenuWithTheWindowAndPageCaption) {
    TfmMainFrm& w = Open();
    ASSERT_TRUE(OpenPrimary(SmallFile()));
    w.PageControlTU->SetActivePage(w.tsWind);
    QCoreApplication::processEvents();
    QTest::mouseDClick(w.Charts->ChrtWind, Qt::LeftButton, {}, QPoint(100, 80));
    ASSERT_EQ(dialogs.chartEditors.size(), 1u);
    EXPECT_EQ(dialogs.chartEditors[0].view, w.Charts->ChrtWind);
    EXPECT_EQ(dialogs.chartEditors[0].pos, QPoint(100, 80));
    EXPECT_EQ(dialogs.chartEditors[0].caption, "Тавик:" + Small + ":Ветер");
    EXPECT_EQ(dialogs.chartEditors[0].owner, &w);

    w.PageControlTU->SetActivePage(w.tsXY);
    w.idEditChart->trigger();
    ASSERT_EQ(dialogs.chartEditors.size(), 2u);
    EXPECT_EQ(dialogs.chartEditors[1].view, w.Charts->ChrtXY);
    EXPECT_EQ(dialogs.chartEditors[1].caption, "Тавик:" + Small + ":Траектория");
    w.PageControlTU->SetActivePage(w.ts3D);
    w.pidEditChart->trigger();
    ASSERT_EQ(dialogs.chartEditors.size(), 3u);
    EXPECT_EQ(dialogs.chartEditors[2].view, w.Charts->Chrt3D);

    // On a text page the command only beeps.
    w.PageControlTU->SetActivePage(w.tsPrimary);
    w.idEditChartClick();
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(dialogs.chartEditors.size(), 3u);

    // A view that is not one of the charts opens nothing.
    chart::ChartView stranger;
    w.chtDblClick(&stranger, QPoint(10, 10));
    w.chtDblClick(nullptr, QPoint(10, 10));
    EXPECT_EQ(dialogs.chartEditors.size(), 3u);

    // Before any load, a double click still opens the editor.
    window.reset();
    TfmMainFrm& fresh = Open();
    fresh.PageControlTU->SetActivePage(fresh.tsTemp);
    QCoreApplication::processEvents();
    QTest::mouseDClick(fresh.Charts->ChrtTemp, Qt::LeftButton, {}, QPoint(60, 60));
    ASSERT_EQ(dialogs.chartEditors.size(), 4u);
    EXPECT_EQ(dialogs.chartEditors[3].caption, QStringLiteral("Тавик:Температура и Влажность"));
    NoOtherQuestions();
}

}  // namespace
