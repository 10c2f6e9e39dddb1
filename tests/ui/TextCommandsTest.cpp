// Saving, copying, printing and finding on the real window, offscreen: the .PRN bytes against
// the batch mode, the clipboard and the printer as the window's dialogs receive them, and the
// find over both lists.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>

#include "UiTestApp.h"
#include "app/BatchMode.h"
#include "app/DecodeDriver.h"
#include "chart/ChartView.h"
#include "chart/Export.h"
#include "core/Cp1251.h"
#include "products/TextSearch.h"
#include "ui/LineListBox.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;
using ui::test::WriteFile;

namespace {

const QString SmallName = QStringLiteral("Temp52_Small.bufr");

class TextCommandsTest : public ::testing::Test {
protected:
    TextCommandsTest() : workDir(QDir::currentPath()) {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), QStringList());
        window->show();
        QCoreApplication::processEvents();
    }
    ~TextCommandsTest() override {
        window.reset();
        QDir::setCurrent(workDir);
        PrimaryFileName.clear();
        PrimaryBaseName.clear();
        SecondaryFileName.clear();
    }

    QString Copy(const QString& name) {
        const QString to = data.filePath(name);
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(TAVIK_SOURCE_DIR "/tests/decoder/data/temp52_ed4_small.bufr"), to));
        return to;
    }
    // The primary through the open dialog (a bare name) or by its full path.
    TfmMainFrm& OpenPrimary() {
        dialogs.Choose(Copy(SmallName));
        window->idPrimary->trigger();
        dialogs.messages.clear();
        return *window;
    }
    TfmMainFrm& LoadPrimaryByPath() {
        EXPECT_TRUE(window->LoadPrimary(Copy(SmallName)));
        dialogs.messages.clear();
        return *window;
    }
    void OpenSecondary() {
        dialogs.Choose(Copy(QStringLiteral("second.bufr")));
        window->idSecondary->trigger();
        dialogs.messages.clear();
    }
    std::vector<QString> Texts() const { return dialogs.MessageTexts(); }
    static void Select(LineListBox& list, std::initializer_list<int> rows) {
        list.selectionModel()->clearSelection();
        for (int row : rows) list.selectionModel()->select(list.Model().index(row, 0), QItemSelectionModel::Select);
    }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QTemporaryDir data;
    QTemporaryDir out;
    QString workDir;
    std::unique_ptr<TfmMainFrm> window;
};

// --- Save ------------------------------------------------------------------------------------

TEST_F(TextCommandsTest, SaveWritesTheBatchModesBytesBesideThePrimary) {
    TfmMainFrm& w = LoadPrimaryByPath();
    const QString source = data.filePath(SmallName);
    w.idSave->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray saved = ReadFile(source + QStringLiteral(".PRN"));
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_EQ(saved.toStdString(), LinesText(w.lbPrim->Lines()));

    ASSERT_EQ(RunBatchCommand({"DECODE", QFile::encodeName(source).toStdString(),
                               QFile::encodeName(out.path()).toStdString()},
                              false),
              0);
    EXPECT_EQ(saved, ReadFile(QDir(out.path()).filePath(SmallName + QStringLiteral(".PRN"))));
}

// A bare name stands in the folder it was opened from, wherever the current folder is now.
TEST_F(TextCommandsTest, SaveUnderABareNameWritesIntoTheFolderOfTheLoad) {
    TfmMainFrm& w = OpenPrimary();
    ASSERT_EQ(PrimaryFileName, SmallName.toStdString());
    QDir::setCurrent(out.path());
    w.idSave->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(ReadFile(data.filePath(SmallName + QStringLiteral(".PRN"))).toStdString(), LinesText(w.lbPrim->Lines()));
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(TextCommandsTest, SaveReplacesAnOlderListingKeepingItsPermissions) {
    TfmMainFrm& w = OpenPrimary();
    const QString target = data.filePath(SmallName + QStringLiteral(".PRN"));
    WriteFile(target, "older listing");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    w.idSave->trigger();
    EXPECT_EQ(ReadFile(target).toStdString(), LinesText(w.lbPrim->Lines()));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// A target that cannot be replaced: the one message, the old contents untouched, no temporary
// file left behind.
TEST_F(TextCommandsTest, AFailedSaveSaysSoAndLeavesTheOldFile) {
    TfmMainFrm& w = OpenPrimary();
    const QString target = data.filePath(SmallName + QStringLiteral(".PRN"));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/inside")));
    const auto before = QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    w.idSave->trigger();
    EXPECT_EQ(Texts(), std::vector<QString>{SmallName + QStringLiteral(".PRNашипка")});
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/inside")));
    EXPECT_EQ(QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
}

TEST_F(TextCommandsTest, ASaveIntoAReadOnlyFolderLeavesTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "as root a read-only folder does not refuse the file";
    TfmMainFrm& w = OpenPrimary();
    const QString target = data.filePath(SmallName + QStringLiteral(".PRN"));
    WriteFile(target, "older listing");
    ASSERT_EQ(::chmod(QFile::encodeName(data.path()).constData(), 0555), 0);
    dialogs.messages.clear();
    w.idSave->trigger();
    ::chmod(QFile::encodeName(data.path()).constData(), 0755);
    EXPECT_EQ(Texts(), std::vector<QString>{SmallName + QStringLiteral(".PRNашипка")});
    EXPECT_EQ(ReadFile(target), QByteArray("older listing"));
}

TEST_F(TextCommandsTest, SaveAsProposesTheBaseNameAndWritesTheSameBytes) {
    TfmMainFrm& w = OpenPrimary();
    w.PageControlTU->SetActivePage(w.tsWind);   // always the primary text
    const QString target = out.filePath(QStringLiteral("chosen.prn"));
    dialogs.SaveAs(target);
    w.idSaveAs->trigger();
    ASSERT_EQ(dialogs.saveDialogs.size(), 1u);
    EXPECT_EQ(dialogs.saveDialogs[0].fileName, QStringLiteral("27612_20231010110637.PRN"));
    EXPECT_EQ(dialogs.saveDialogs[0].title, QStringLiteral("Сохранить раскодированное сообщение"));
    EXPECT_EQ(ReadFile(target).toStdString(), LinesText(w.lbPrim->Lines()));
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.CancelSave();
    w.idSaveAs->trigger();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("chosen.prn")});
}

// --- Copy and print ---------------------------------------------------------------------------

TEST_F(TextCommandsTest, CopyPutsTheActiveListOnTheClipboard) {
    TfmMainFrm& w = OpenPrimary();
    w.idCopy->trigger();
    ASSERT_EQ(dialogs.copiedTexts.size(), 1u);
    EXPECT_EQ(dialogs.copiedTexts[0], LinesText(w.lbPrim->Lines()));

    w.PageControlTU->SetActivePage(w.tsSec);   // no secondary sounding: the clipboard stays
    w.idCopy->trigger();
    w.idCopySelected->trigger();
    EXPECT_EQ(dialogs.copiedTexts.size(), 1u);

    OpenSecondary();
    w.PageControlTU->SetActivePage(w.tsSec);
    ASSERT_FALSE(w.lbSec->Lines().empty());
    w.idCopy->trigger();
    ASSERT_EQ(dialogs.copiedTexts.size(), 2u);
    EXPECT_EQ(dialogs.copiedTexts[1], LinesText(w.lbSec->Lines()));
    EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(TextCommandsTest, CopySelectionTakesTheSelectedLinesInOrder) {
    TfmMainFrm& w = OpenPrimary();
    const LineList& lines = w.lbPrim->Lines();
    ASSERT_GT(lines.size(), 5u);
    Select(*w.lbPrim, {4, 1});
    w.idCopySelected->trigger();
    Select(*w.lbPrim, {});
    w.idCopySelected->trigger();
    ASSERT_EQ(dialogs.copiedTexts.size(), 2u);
    EXPECT_EQ(dialogs.copiedTexts[0], lines[1] + "\r\n" + lines[4] + "\r\n");
    EXPECT_EQ(dialogs.copiedTexts[1], "");

    w.PageControlTU->SetActivePage(w.tsTemp);
    w.idCopySelectedClick();
    w.idPrintSelectedClick();
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(dialogs.copiedTexts.size(), 2u);
    EXPECT_TRUE(dialogs.printedTexts.empty());
}

TEST_F(TextCommandsTest, PrintSendsTheTextAsOneJobWithALineEndMore) {
    TfmMainFrm& w = OpenPrimary();
    w.idPrint->trigger();
    Select(*w.lbPrim, {2, 0});
    w.idPrintSelected->trigger();
    Select(*w.lbPrim, {});
    w.idPrintSelected->trigger();
    ASSERT_EQ(dialogs.printedTexts.size(), 3u);
    const LineList& lines = w.lbPrim->Lines();
    QStringList all;
    for (const std::string& line : lines) all << QString::fromStdString(Cp1251ToUtf8(line));
    EXPECT_EQ(dialogs.printedTexts[0], all + QStringList{QString()});
    EXPECT_EQ(dialogs.printedTexts[1], (QStringList{all[0], all[2]}));
    EXPECT_TRUE(dialogs.printedTexts[2].isEmpty()) << "an empty job all the same";
}

// The picture and the print carry the title and clip the series; the chart on screen stays
// without either, before and after.
TEST_F(TextCommandsTest, ChartsCarryTheirTitleOnlyInTheCopyAndThePrint) {
    TfmMainFrm& w = OpenPrimary();
    OpenSecondary();
    for (chart::ChartView* view : w.Charts->Views()) {
        QWidget* page = view->parentWidget();
        w.PageControlTU->SetActivePage(page);
        ASSERT_EQ(w.PageControlTU->ActivePage(), page);
        const QImage screenBefore = chart::RenderImage(view->Model(), view->size());
        w.idCopy->trigger();
        w.idPrint->trigger();
        const QImage screenAfter = chart::RenderImage(view->Model(), view->size());
        EXPECT_EQ(screenBefore, screenAfter);
        ASSERT_FALSE(dialogs.copiedCharts.empty());
        ASSERT_FALSE(dialogs.printedCharts.empty());
        for (const auto* picture : {&dialogs.copiedCharts.back(), &dialogs.printedCharts.back()}) {
            EXPECT_EQ(picture->title.value_or(QString()).toStdString(),
                      (w.windowTitle() + QStringLiteral("(Temp52_Small.bufr/second.bufr)")).toStdString());
            EXPECT_EQ(picture->clipSeries, true);
            EXPECT_EQ(picture->image.size(), view->size());
            EXPECT_NE(picture->image, screenBefore) << "the title line shows";
        }
    }
    EXPECT_EQ(dialogs.copiedCharts.size(), 5u);
    EXPECT_EQ(dialogs.printedCharts.size(), 5u);
    EXPECT_TRUE(dialogs.copiedTexts.empty());
}

// --- Find ------------------------------------------------------------------------------------

const LineList FindLines = {
    Utf8ToCp1251("ВЕТЕР 10 м/с"), "1000 0.0", "10000 5", "P 850.0, T", Utf8ToCp1251("ветер слабый"), "end",
};

class FindTest : public TextCommandsTest {
protected:
    FindTest() {
        OpenPrimary();
        window->lbPrim->SetLines(FindLines);
    }
    void Ask(const char* text, bool down = true, bool matchCase = false, bool wholeWord = false) {
        window->fdlLists = {.findText = QString::fromUtf8(text), .down = down, .matchCase = matchCase,
                            .wholeWord = wholeWord};
    }
    // The find-next button of the open dialog.
    void FindNext() {
        window->idFind->trigger();
        ASSERT_TRUE(dialogs.findShown);
        ASSERT_TRUE(dialogs.findNext);
        dialogs.findNext();
    }
    int Caret(const LineListBox& list) const { return list.currentIndex().isValid() ? list.currentIndex().row() : -1; }
    std::vector<QString> TakeTexts() {
        auto texts = Texts();
        dialogs.messages.clear();
        return texts;
    }
    const std::vector<QString> Finished{QStringLiteral("Поиск закончен!")};
    const std::vector<QString> NotFound{QStringLiteral("Ничего не найдено!")};
};

TEST_F(FindTest, TheDialogFindsTheCaretLineAgainAndClosesFindAgainMovesOn) {
    TfmMainFrm& w = *window;
    w.lbPrim->setCurrentIndex(w.lbPrim->Model().index(1, 0));
    Select(*w.lbPrim, {5});
    Ask("0.0");
    EXPECT_FALSE(w.idFindAgain->isEnabled());
    FindNext();
    EXPECT_EQ(Caret(*w.lbPrim), 1);
    EXPECT_EQ(w.LastFoundPrimary, 1);
    EXPECT_FALSE(dialogs.findShown) << "closed after the find";
    EXPECT_TRUE(w.idFindAgain->isEnabled());
    EXPECT_TRUE(w.pidFindAgain->isEnabled());
    EXPECT_EQ(w.lbPrim->selectionModel()->selectedIndexes().size(), 1) << "the selection stays";
    EXPECT_TRUE(w.lbPrim->selectionModel()->isSelected(w.lbPrim->Model().index(5, 0)));

    w.idFindAgain->trigger();
    EXPECT_EQ(Caret(*w.lbPrim), 3);
    w.idFindAgain->trigger();
    EXPECT_EQ(TakeTexts(), NotFound);
    EXPECT_EQ(w.LastFoundPrimary, 3) << "unchanged when nothing is found";
}

TEST_F(FindTest, FindAgainFromNothingFoundSkipsLineZeroAndNeverWraps) {
    TfmMainFrm& w = *window;
    Ask("ветер");
    w.idFindAgainClick();
    EXPECT_EQ(w.LastFoundPrimary, 4) << "line 0 holds it too, but is skipped";
    w.idFindAgainClick();
    EXPECT_EQ(TakeTexts(), NotFound);

    w.LastFoundPrimary = -1;
    Ask("ветер", false);
    w.idFindAgainClick();
    EXPECT_EQ(TakeTexts(), Finished);

    Ask("end");
    w.LastFoundPrimary = 5;
    w.idFindAgainClick();
    EXPECT_EQ(TakeTexts(), Finished) << "down after the last line";
    Ask("ВЕТЕР", false);
    w.LastFoundPrimary = 0;
    w.idFindAgainClick();
    EXPECT_EQ(TakeTexts(), Finished) << "up after line 0";
    w.LastFoundPrimary = 40;   // beyond a shorter text
    Ask("end");
    w.idFindAgainClick();
    EXPECT_EQ(TakeTexts(), Finished);
}

TEST_F(FindTest, TheDialogStaysOpenWhenTheSearchIsFinished) {
    TfmMainFrm& w = *window;
    w.lbPrim->SetLines({});
    Ask("x");
    FindNext();
    EXPECT_EQ(TakeTexts(), Finished);
    EXPECT_TRUE(dialogs.findShown);
    w.idFindAgainClick();
    EXPECT_EQ(TakeTexts(), Finished);

    Ask("");   // an empty text does nothing at all
    FindNext();
    w.idFindAgainClick();
    EXPECT_TRUE(TakeTexts().empty());
}

struct OptionCase {
    const char* text;
    bool matchCase;
    bool wholeWord;
    int found;   // -1: nothing found
};

TEST_F(FindTest, MatchCaseAndWholeWord) {
    constexpr OptionCase Cases[] = {
        {"ветер", false, false, 0}, {"ветер", true, false, 4}, {"ВЕТЕР", true, false, 0},
        {"1000", false, true, 1},   {"10000", false, true, 2}, {"1000", false, false, 1},
        {"850.0", false, true, -1}, {"850.0,", false, true, 3}, {"10 м/с", false, true, -1},
        {"СЛАБЫЙ", false, true, 4}, {"Слабый", true, false, -1},
    };
    TfmMainFrm& w = *window;
    for (const OptionCase& c : Cases) {
        SCOPED_TRACE(c.text);
        w.lbPrim->setCurrentIndex(w.lbPrim->Model().index(0, 0));
        Ask(c.text, true, c.matchCase, c.wholeWord);
        FindNext();
        if (c.found < 0) {
            EXPECT_EQ(TakeTexts(), NotFound);
        } else {
            EXPECT_TRUE(TakeTexts().empty());
            EXPECT_EQ(Caret(*w.lbPrim), c.found);
        }
    }
}

// The find dialog opens on the text pages only; a search started while a chart page is active
// goes through the secondary list.
TEST_F(FindTest, AChartPageSearchesTheSecondaryList) {
    TfmMainFrm& w = *window;
    w.PageControlTU->SetActivePage(w.tsSec);
    w.idFindClick();
    EXPECT_EQ(dialogs.findShows, 0) << "no secondary sounding";
    OpenSecondary();
    w.lbSec->SetLines({"a", "b", "target"});
    w.PageControlTU->SetActivePage(w.tsWind);
    w.idFindClick();
    EXPECT_EQ(dialogs.findShows, 0) << "a chart page";

    w.PageControlTU->SetActivePage(w.tsSec);
    Ask("target");
    FindNext();
    EXPECT_EQ(w.LastFoundSecondary, 2);
    w.PageControlTU->SetActivePage(w.tsWind);
    Ask("a", false);
    w.idFindAgainClick();
    EXPECT_EQ(w.LastFoundSecondary, 0);
    EXPECT_EQ(Caret(*w.lbSec), 0);
    EXPECT_EQ(w.LastFoundPrimary, -1);
}

}  // namespace
