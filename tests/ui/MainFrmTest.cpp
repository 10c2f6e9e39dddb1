// The real main window, offscreen, with its dialogs answered by the test and its configuration
// file in a temporary folder.
#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestApp.h"
#include "app/DecodeDriver.h"
#include "ui/IniFile.h"
#include "ui/LineListBox.h"
#include "ui/MainFrm.h"
#include "ui/PageControl.h"
#include "ui/ROFMenu.h"
#include "ui/WindowIdentity.h"

using ui::test::ReadFile;
using ui::test::ScriptedWindowDialogs;
using ui::test::WriteFile;

namespace {

class MainFrmTest : public ::testing::Test {
protected:
    MainFrmTest() { workDir = QDir::currentPath(); }
    ~MainFrmTest() override {
        window.reset();
        QDir::setCurrent(workDir);
    }

    TfmMainFrm& Open(const QStringList& arguments = {}) {
        window = std::make_unique<TfmMainFrm>(dialogs, configDir.path(), arguments);
        window->resize(900, 600);
        window->show();
        return *window;
    }
    // Closes the window as the user does and opens a new one on the same configuration.
    TfmMainFrm& Reopen() {
        window->close();
        return Open();
    }
    QString Cnf() const { return configDir.filePath(QStringLiteral("TAVIK.CNF")); }

    ScriptedWindowDialogs dialogs;
    QTemporaryDir configDir;
    QString workDir;
    std::unique_ptr<TfmMainFrm> window;
};

// One line per menu entry: indent, object name, caption, then what is set of shortcut, state,
// check mark, tag and hint; "---" for a separator.
void DescribeMenu(const QList<QAction*>& actions, int depth, QString& out) {
    for (QAction* a : actions) {
        out += QString(depth * 2, QLatin1Char(' '));
        if (a->isSeparator()) {
            out += QStringLiteral("---\n");
            continue;
        }
        out += a->objectName() + " \"" + a->text() + '"';
        if (!a->shortcut().isEmpty()) out += ' ' + a->shortcut().toString();
        if (!a->isEnabled()) out += QStringLiteral(" off");
        if (a->isCheckable()) out += a->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
        if (a->data().toInt() != 0) out += QStringLiteral(" tag ") + a->data().toString();
        // Without a hint of its own an item's tool tip is its caption without '&' and "...".
        if (a->toolTip() != a->text().remove('&').remove(QStringLiteral("...")))
            out += QStringLiteral(" hint \"") + a->toolTip() + '"';
        out += '\n';
        if (a->menu()) DescribeMenu(a->menu()->actions(), depth + 1, out);
    }
}

QString Describe(const QList<QAction*>& actions) {
    QString out;
    DescribeMenu(actions, 0, out);
    return out;
}

TEST_F(MainFrmTest, FirstRunWithoutConfigurationShowsTheMenusWithTheirDefaults) {
    TfmMainFrm& w = Open();
    EXPECT_EQ(Describe(w.menuBar()->actions()).toStdString(),
              R"MENU(idRelease "&Выпуск" hint "Загрузка данных"
  idPrimary "Открыть" Alt+O
  idReload "Загрузить повторно" Alt+R off
  idRecent "Недавние файлы" off
  idSave "Сохранить" Ctrl+S off
  idSaveAs "Сохранить как..." off
  idPrint "Печать" Ctrl+P off
  idPrintSelected "Печатать выделение" off
  ---
  idSecondary "Вторичный" Alt+S off
  idSecEol "Вторичный ТАЕ" Alt+E off
  ---
  idExit "Вы&ход" Alt+X hint "Выход из программы"
idEdit "Правка"
  idFind "Найти" Ctrl+F off
  idFindAgain "Продолжить поиск..." F3 off
  idCopy "Копировать" Ctrl+Ins off
  idCopySelected "Копировать выделение" Ctrl+Shift+Ins off
  ---
  idEditChart "Редактировать диаграмму (DblClk)" off
idService "Сервис"
  idClearSecondary "Очистить вторичный" Ctrl+D off
  idSaveChart "Экспорт диаграммы" off
    idSaveGIF "GIF" off tag 1
    idSaveWMF "WMF" off tag 2
  idTraj "Экспорт траектории" off
    idKML "Планета Земля" off
    idGMStatic "Карты Google (Статика)" off
    idYMStatic "Карты Яндекс (Статика)" off
  idDataExport "Экспорт данных" off
    idJSON "JSON" off
    idCSV "CSV" off
  ---
  idSigPoints "Особые точки"
    idShowSig "Показывать особые точки" [ ]
    idCombineTU "Объединять особые точки температуры и влажности" off [ ]
    idLeftAxisP "Давление по оси ординат" [x]
    idSortYAxis "Сортировка вертикальной оси" [ ]
---
idHelp "Помощь"
  idUsage "Подсказка"
  idAbout "О программе"
)MENU");
    EXPECT_EQ(Describe(w.PopupMenu1->actions()).toStdString(),
              R"MENU(pidFind "Найти" Ctrl+F off
pidFindAgain "Продолжить поиск..." F3 off
pidCopy "Копировать" Ctrl+Ins off
pidCopySelected "Копировать выделение" Ctrl+Shift+Ins off
---
pidEditChart "Редактировать диаграмму (DblClk)" off
)MENU");
    EXPECT_FALSE(w.ShowSig);
    EXPECT_FALSE(w.CombineTU);
    EXPECT_TRUE(w.LeftAxisP);
    EXPECT_FALSE(w.SortYAxis);
    EXPECT_EQ(w.RecentFiles->Count(), 0);
    EXPECT_EQ(w.OpnDlgFlights.initialDir, workDir);
    EXPECT_EQ(QDir::currentPath(), workDir);
    EXPECT_EQ(w.LastFoundPrimary, -1);
    EXPECT_EQ(w.LastFoundSecondary, -1);
    EXPECT_TRUE(w.acceptDrops());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QFile::exists(Cnf())) << "nothing is written before the window closes";
    // The components are found under their names.
    for (const char* name : {"idPrimary", "idRecent", "idSaveWMF", "idAbout", "pidEditChart"})
        EXPECT_NE(w.findChild<QAction*>(name), nullptr) << name;
    for (const char* name : {"PageControlTU", "tsPrimary", "ts3D", "lbPrim", "lbSec", "PopupMenu1", "MainMenu1"})
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
}

// What the menu tree above does not show: a hint is also the status-bar text (and only a hint
// is), every menu shows its items' hints, the popup's keys work only through the main menu.
TEST_F(MainFrmTest, MenuHintsStatusTextsAndPopupKeys) {
    TfmMainFrm& w = Open();
    QStringList withStatus;
    const std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (a->isSeparator()) continue;
            if (!a->statusTip().isEmpty()) {
                withStatus << a->objectName();
                EXPECT_EQ(a->statusTip(), a->toolTip()) << a->objectName().toStdString();
            }
            EXPECT_EQ(a->shortcutContext(), Qt::WindowShortcut) << a->objectName().toStdString();
            if (a->menu()) {
                EXPECT_TRUE(a->menu()->toolTipsVisible()) << a->objectName().toStdString();
                walk(a->menu()->actions());
            }
        }
    };
    walk(w.menuBar()->actions());
    EXPECT_EQ(withStatus, QStringList({"idRelease", "idExit"}));
    for (QAction* a : w.PopupMenu1->actions()) {
        if (a->isSeparator()) continue;
        EXPECT_EQ(a->shortcutContext(), Qt::WidgetShortcut) << a->objectName().toStdString();
        EXPECT_TRUE(a->statusTip().isEmpty());
    }
}

TEST_F(MainFrmTest, TheWindowHasItsCaptionMinimumSizeAndHelpMenuAtTheRightEnd) {
    TfmMainFrm& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Тавик"));
    EXPECT_EQ(w.minimumSize(), QSize(600, 460));
    w.resize(300, 200);
    EXPECT_EQ(w.size(), QSize(600, 460));
    w.resize(1000, 700);
    QMenuBar* bar = w.menuBar();
    const QRect help = bar->actionGeometry(w.idHelp);
    const QRect service = bar->actionGeometry(w.findChild<QMenu*>("idService")->menuAction());
    EXPECT_GT(help.left(), service.right() + 300);
    EXPECT_GE(help.right(), bar->width() - 20);
    EXPECT_EQ(std::strcmp(WindowClassName, "TavikMainClass#"), 0);
    EXPECT_EQ(sizeof(WindowClassName), 64u);
}

TEST_F(MainFrmTest, PagesStandInAColumnOnTheLeftWithTheirCaptionsHintsAndLists) {
    TfmMainFrm& w = Open();
    PageControl* pages = w.PageControlTU;
    EXPECT_EQ(w.centralWidget(), pages);
    EXPECT_EQ(pages->ActivePage(), w.tsPrimary);
    const QString hint = QStringLiteral("Выбирайте мышкой закладки по левой стороне или используйте клавиши Ctrl-Tab");
    EXPECT_EQ(pages->toolTip(), hint);
    EXPECT_EQ(pages->TabBar()->toolTip(), hint);
    const QFont tabFont = pages->TabBar()->font();
    EXPECT_TRUE(tabFont.bold());
    EXPECT_EQ(tabFont.pixelSize(), 15);
    EXPECT_LT(pages->TabBar()->geometry().right(), w.tsPrimary->mapTo(pages, QPoint(0, 0)).x());

    struct PageCase {
        QWidget* page;
        const char* caption;
        const char* hint;
    };
    const PageCase expected[] = {
        {w.tsPrimary, "Первичный", "Щелкни меня"},
        {w.tsTemp, "Температура и Влажность", "Щелкни меня"},
        {w.tsWind, "Ветер", "Щелкни меня"},
        {w.tsXY, "Траектория", ""},
        {w.tsZ, "Скорость подъема", ""},
        {w.ts3D, "3D", ""},
        {w.tsDiagram, "Аэрологическая диаграмма", ""},
        {w.tsSec, "Вторичный", "Вторичный выпуск"},
    };
    ASSERT_EQ(pages->PageCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(pages->Pages(i), expected[i].page) << i;
        EXPECT_EQ(pages->Caption(i).toStdString(), expected[i].caption);
        EXPECT_EQ(expected[i].page->toolTip().toStdString(), expected[i].hint);
    }
    EXPECT_EQ(w.lbPrim->parentWidget(), w.tsPrimary);
    EXPECT_EQ(w.lbSec->parentWidget(), w.tsSec);
    EXPECT_EQ(w.lbPrim->toolTip(), QStringLiteral("Раскодированное сообщение"));
    EXPECT_EQ(w.lbSec->toolTip(), QStringLiteral("Раскодированное сообщение для вторичного выпуска"));
    EXPECT_EQ(w.lbPrim->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(w.lbSec->palette().color(QPalette::Text), QColor(0, 255, 255));
    EXPECT_EQ(w.lbPrim->palette().color(QPalette::Base), QColor(0, 0, 128));
    // The list fills its page.
    EXPECT_EQ(w.lbPrim->size(), w.tsPrimary->size());
}

TEST_F(MainFrmTest, ClosingWithoutALoadWritesRecentAndOptionsButNoFolder) {
    WriteFile(Cnf(), "[RECENT]\nN=1\n0=/data/a.bin\n[OPTIONS]\nShowSplash=0\nShowSig=1\n");
    Open();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->RecentFiles, nullptr);
    EXPECT_FALSE(window->acceptDrops());
    EXPECT_EQ(ReadFile(Cnf()).toStdString(),
              "[RECENT]\r\nN=1\r\n0=/data/a.bin\r\n"
              "[OPTIONS]\r\nShowSplash=0\r\nShowSig=1\r\nCombineTU=0\r\nLeftAxisP=1\r\nSortYAxis=0\r\n");
    window->close();   // a second close changes nothing
    EXPECT_TRUE(dialogs.messages.empty());

    QFile::remove(Cnf());
    Open().idExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ReadFile(Cnf()).toStdString(),
              "[RECENT]\r\nN=0\r\n[OPTIONS]\r\nShowSig=0\r\nCombineTU=0\r\nLeftAxisP=1\r\nSortYAxis=0\r\n");
}

struct OptionsCase {
    const char* name;
    QByteArray options;
    bool showSig, combineTU, leftAxisP, sortYAxis;
};

TEST_F(MainFrmTest, ReadsTheOptionsAtCreationAndSetsTheCheckMarks) {
    const OptionsCase cases[] = {
        {"all on", "ShowSig=1\nCombineTU=1\nLeftAxisP=1\nSortYAxis=1\n", true, true, true, true},
        {"all off", "showsig=0\ncombinetu=0\nleftaxisp=0\nsortyaxis=0\n", false, false, false, false},
        {"other integers", "ShowSig=$10\nCombineTU=-1\nLeftAxisP=0x0\nSortYAxis=7\n", true, true, false, true},
        {"not integers", "ShowSig=yes\nCombineTU=true\nLeftAxisP=no\nSortYAxis=\n", false, false, true, false},
        {"combine without show", "CombineTU=1\n", false, true, true, false},
    };
    for (const OptionsCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(Cnf(), "[Options]\n" + c.options);
        TfmMainFrm& w = Open();
        EXPECT_EQ(w.ShowSig, c.showSig);
        EXPECT_EQ(w.CombineTU, c.combineTU);
        EXPECT_EQ(w.LeftAxisP, c.leftAxisP);
        EXPECT_EQ(w.SortYAxis, c.sortYAxis);
        EXPECT_EQ(w.idShowSig->isChecked(), c.showSig);
        EXPECT_EQ(w.idCombineTU->isChecked(), c.combineTU);
        EXPECT_EQ(w.idCombineTU->isEnabled(), c.showSig);
        EXPECT_EQ(w.idLeftAxisP->isChecked(), c.leftAxisP);
        EXPECT_EQ(w.idSortYAxis->isChecked(), c.sortYAxis);
        window.reset();
    }
}

TEST_F(MainFrmTest, OptionCommandsTurnTheirOptionAndReachTheFileAtClose) {
    TfmMainFrm& w = Open();
    w.idShowSig->trigger();
    EXPECT_TRUE(w.ShowSig);
    EXPECT_TRUE(w.idShowSig->isChecked());
    EXPECT_TRUE(w.idCombineTU->isEnabled());
    w.idCombineTU->trigger();
    EXPECT_TRUE(w.CombineTU);
    w.idShowSig->trigger();   // CombineTU keeps its value while its item is disabled
    EXPECT_FALSE(w.idCombineTU->isEnabled());
    EXPECT_TRUE(w.idCombineTU->isChecked());
    w.idLeftAxisP->trigger();
    w.idSortYAxis->trigger();
    w.idSortYAxis->trigger();
    w.idSortYAxis->trigger();
    EXPECT_FALSE(QFile::exists(Cnf())) << "options stay in memory until the window closes";

    TfmMainFrm& again = Reopen();
    EXPECT_EQ(ReadFile(Cnf()).toStdString(),
              "[RECENT]\r\nN=0\r\n[OPTIONS]\r\nShowSig=0\r\nCombineTU=1\r\nLeftAxisP=0\r\nSortYAxis=1\r\n");
    EXPECT_FALSE(again.ShowSig);
    EXPECT_TRUE(again.CombineTU);
    EXPECT_TRUE(again.idCombineTU->isChecked());
    EXPECT_FALSE(again.idCombineTU->isEnabled());
    EXPECT_FALSE(again.LeftAxisP);
    EXPECT_FALSE(again.idLeftAxisP->isChecked());
    EXPECT_TRUE(again.SortYAxis);
    EXPECT_TRUE(again.idSortYAxis->isChecked());
}

TEST_F(MainFrmTest, TheDataFolderBecomesTheCurrentDirectoryAndStaysInTheFile) {
    QTemporaryDir data;
    const QString folder = data.path() + '/';
    WriteFile(Cnf(), "[PATHS]\nDATA=" + folder.toUtf8() + "\n");
    TfmMainFrm& w = Open();
    EXPECT_EQ(QDir::currentPath(), QDir(data.path()).canonicalPath());
    EXPECT_EQ(w.OpnDlgFlights.initialDir, folder);
    w.close();
    EXPECT_TRUE(ReadFile(Cnf()).startsWith("[PATHS]\r\nDATA=" + folder.toUtf8() + "\r\n[RECENT]\r\nN=0\r\n"));

    // A folder that is gone leaves the current directory; the open dialog is still given it.
    QDir::setCurrent(workDir);
    const QString gone = configDir.filePath(QStringLiteral("gone/"));
    WriteFile(Cnf(), "[PATHS]\nDATA=" + gone.toUtf8() + "\n");
    EXPECT_EQ(Open().OpnDlgFlights.initialDir, gone);
    EXPECT_EQ(QDir::currentPath(), workDir);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainFrmTest, TheFolderOfTheLastPrimaryNameIsWrittenAtClose) {
    struct NameCase {
        const char* name;
        std::string primaryFileName;   // as the primary load left it, whether it succeeded or not
        QString folder;                // PATHS/DATA afterwards
    };
    QTemporaryDir data;
    const QString cwd = QDir(data.path()).canonicalPath();
    const NameCase cases[] = {
        {"bare name", "27612.BIN", cwd + '/'},
        {"relative path", "sub/../Данные/27612.BIN", cwd + QStringLiteral("/Данные/")},
        {"full path", "/srv/soundings/a b/34122.bufr", QStringLiteral("/srv/soundings/a b/")},
        {"file in the root", "/27612.bin", QStringLiteral("/")},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(Cnf(), "[PATHS]\nDATA=" + data.path().toUtf8() + "\n");
        Open();
        PrimaryFileName = c.primaryFileName;
        window->close();
        PrimaryFileName.clear();
        EXPECT_EQ(IniFile(Cnf()).ReadString(QStringLiteral("PATHS"), QStringLiteral("DATA"), {}), c.folder);
    }
}

TEST_F(MainFrmTest, TheRecentListIsReadRotatedAndPersistedThroughCloseAndANewWindow) {
    QByteArray recent = "[RECENT]\nN=11\n";
    for (int i = 0; i < 11; ++i) recent += QByteArray::number(i) + "=/data/F" + QByteArray::number(i) + ".bin\n";
    WriteFile(Cnf(), recent);
    TfmMainFrm& w = Open();
    EXPECT_TRUE(w.idRecent->isEnabled());
    QMenu* submenu = w.idRecent->menu();
    ASSERT_EQ(submenu->actions().size(), 9);
    EXPECT_EQ(submenu->actions()[0]->text(), QStringLiteral("&1./data/F0.bin"));
    EXPECT_EQ(submenu->actions()[8]->text(), QStringLiteral("&9./data/F8.bin"));
    EXPECT_EQ(submenu->actions()[8]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+8")));

    w.RecentFiles->Add(QStringLiteral("/data/new & more.bin"));
    w.RecentFiles->Add(QStringLiteral("/data/F4.bin"));   // listed: stays where it is
    submenu->actions()[3]->trigger();                     // a load that fails leaves the list
    ASSERT_EQ(dialogs.messages.size(), 1u);   // the loader's error for a file that is gone
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("/data/F4.bin"))) << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Тавик:F4.bin"));
    dialogs.messages.clear();
    TfmMainFrm& again = Reopen();
    QByteArray saved = "[RECENT]\r\nN=9\r\n";
    for (int i = 0; i < 8; ++i) saved += QByteArray::number(i) + "=/data/F" + QByteArray::number(i + 1) + ".bin\r\n";
    saved += "8=/data/new & more.bin\r\n9=/data/F9.bin\r\n10=/data/F10.bin\r\n";
    EXPECT_TRUE(ReadFile(Cnf()).startsWith(saved)) << ReadFile(Cnf()).toStdString();

    QMenu* reread = again.idRecent->menu();
    ASSERT_EQ(reread->actions().size(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(reread->actions()[i]->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_0 + i)));
        EXPECT_TRUE(reread->actions()[i]->text().startsWith(QStringLiteral("&%1.").arg(i + 1)));
    }
    EXPECT_EQ(again.RecentFiles->Path(0), QStringLiteral("/data/F1.bin"));
    EXPECT_EQ(again.RecentFiles->Path(8), QStringLiteral("/data/new & more.bin"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainFrmTest, AConfigurationFileThatCannotBeWrittenIsReportedAndTheWindowStillCloses) {
    window = std::make_unique<TfmMainFrm>(dialogs, configDir.filePath(QStringLiteral("missing folder")), QStringList());
    window->show();
    window->idShowSig->trigger();
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->RecentFiles, nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Тавик"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(dialogs.messages[0].text,
              "Unable to write to " + configDir.filePath(QStringLiteral("missing folder/TAVIK.CNF")) + '.');
}

// The page rule: which of its items are on, page by page, by what is loaded.
struct PageRuleCase {
    const char* name;
    bool primary;       // a primary sounding has been loaded
    bool secondary;     // a secondary sounding is loaded
    QString findText;
    std::vector<const char*> textPages;    // items on while tsPrimary is active
    std::vector<const char*> secPage;      // items on while tsSec is active
    std::vector<const char*> chartPages;   // items on while a chart page is active
};

TEST_F(MainFrmTest, ThePageRuleSetsTheItemsOfEveryPage) {
    const std::vector<const char*> text = {"idPrintSelected", "idFind",   "idCopySelected",
                                           "pidFind",         "pidCopySelected"};
    std::vector<const char*> textAgain = text;
    textAgain.insert(textAgain.end(), {"idFindAgain", "pidFindAgain"});
    const std::vector<const char*> chart = {"idEditChart", "pidEditChart", "idSaveGIF", "idSaveWMF"};
    const PageRuleCase cases[] = {
        {"nothing loaded", false, false, QStringLiteral("850"), {}, {}, {}},
        {"primary", true, false, QString(), text, {}, chart},
        {"primary and secondary", true, true, QString(), text, text, chart},
        {"primary with a search text", true, false, QStringLiteral("850"), textAgain, {}, chart},
        {"both with a search text", true, true, QStringLiteral("850"), textAgain, textAgain, chart},
    };
    const char* ruled[] = {"idPrintSelected", "idFind",    "idFindAgain",  "idCopySelected",
                           "idEditChart",     "pidFind",   "pidFindAgain", "pidCopySelected",
                           "pidEditChart",    "idSaveGIF", "idSaveWMF"};
    for (const PageRuleCase& c : cases) {
        TfmMainFrm& w = Open();
        // What a successful primary and secondary load leave behind.
        w.idSecondary->setEnabled(c.primary);
        w.idClearSecondary->setEnabled(c.secondary);
        w.fdlLists.findText = c.findText;
        for (int round = 0; round < 2; ++round) {   // every page, then back through them again
            for (int i = 0; i < w.PageControlTU->PageCount(); ++i) {
                const int count = w.PageControlTU->PageCount();
                const int page = round == 0 ? (i + 1) % count : count - 1 - i;   // a change each time
                w.PageControlTU->SetActivePageIndex(page);
                if (round == 1) w.PageControlTUChange();   // as at the end of a load, without a page change
                QWidget* active = w.PageControlTU->ActivePage();
                const auto& on = active == w.tsPrimary ? c.textPages : active == w.tsSec ? c.secPage : c.chartPages;
                for (const char* item : ruled) {
                    const bool expected = std::find_if(on.begin(), on.end(), [item](const char* n) {
                                              return std::strcmp(n, item) == 0;
                                          }) != on.end();
                    EXPECT_EQ(w.findChild<QAction*>(item)->isEnabled(), expected)
                        << c.name << ", page " << w.PageControlTU->Caption(page).toStdString() << ", " << item;
                }
                EXPECT_FALSE(w.idSecEol->isEnabled());
                EXPECT_FALSE(w.pidCopy->isEnabled());
            }
        }
        window.reset();
    }
}

TEST_F(MainFrmTest, PopupItemsFollowTheirTwinsAndRunTheirCommands) {
    TfmMainFrm& w = Open();
    w.idCopy->setEnabled(true);   // as the first primary load does
    EXPECT_TRUE(w.pidCopy->isEnabled());
    w.idCopy->setEnabled(false);
    EXPECT_FALSE(w.pidCopy->isEnabled());

    int copies = 0;
    QObject::connect(w.idCopy, &QAction::triggered, [&copies] { ++copies; });
    w.idCopy->setEnabled(true);
    w.pidCopy->trigger();
    EXPECT_EQ(copies, 1);

    // The popup belongs to the page control and comes up over what fills its pages.
    const QPoint at(40, 30);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, w.lbPrim->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(w.lbPrim->viewport(), &click);
    EXPECT_TRUE(w.PopupMenu1->isVisible());
    w.PopupMenu1->hide();
}

TEST_F(MainFrmTest, ATabClickedOrSteppedToWithCtrlTabActivatesItsPageAndRunsThePageRule) {
    TfmMainFrm& w = Open();
    w.idSecondary->setEnabled(true);   // a primary sounding loaded
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    SideTabBar* tabs = w.PageControlTU->TabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->TabRect(4).center());
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsZ);
    EXPECT_TRUE(w.idEditChart->isEnabled());
    EXPECT_FALSE(w.idFind->isEnabled());

    w.lbPrim->setFocus();
    QTest::keyClick(w.lbPrim, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.ts3D);
    QTest::keyClick(w.lbPrim, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsDiagram);
    QTest::keyClick(w.lbPrim, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(w.lbPrim, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsPrimary) << "from the last page to the first";
    EXPECT_TRUE(w.idFind->isEnabled());
    EXPECT_FALSE(w.idEditChart->isEnabled());
    QTest::keyClick(w.lbPrim, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.PageControlTU->ActivePage(), w.tsSec);
}

// Ctrl+Shift+Tab as the platforms deliver it: X11 and Wayland send Backtab with Ctrl and Shift,
// and their shortcut map offers it as Ctrl+Shift+Tab and Ctrl+Backtab (the keys of the unshifted
// and of the shifted level), never as Ctrl+Shift+Backtab; the offscreen platform offers the event
// as it is and then, for Shift+Backtab, the same with Tab. QTest sends each through the shortcut map.
TEST_F(MainFrmTest, CtrlShiftTabStepsBackOnePageAsEveryPlatformOffersIt) {
    TfmMainFrm& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.lbPrim->setFocus();
    const QKeyCombination offered[] = {
        Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Tab,       // X11, Wayland
        Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Backtab,   // the event itself, offscreen
    };
    const int pages = w.PageControlTU->TabBar()->Count();
    for (const QKeyCombination keys : offered) {
        w.PageControlTU->SetActivePage(w.tsPrimary);
        QTest::keyClick(w.lbPrim, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(w.PageControlTU->ActivePageIndex(), pages - 1) << keys.toCombined();
        QTest::keyClick(w.lbPrim, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(w.PageControlTU->ActivePageIndex(), pages - 2) << keys.toCombined();
    }
}

TEST_F(MainFrmTest, AtTheSmallestSizeTheTabsWrapIntoColumnsAndShowTheirWholeCaptions) {
    TfmMainFrm& w = Open();
    w.resize(600, 460);
    QCoreApplication::processEvents();
    SideTabBar* tabs = w.PageControlTU->TabBar();
    int columns = 0;
    for (int i = 0; i < tabs->Count(); ++i) {
        const QRect tab = tabs->TabRect(i);
        EXPECT_GE(tab.height(), tabs->TabLength(i)) << i;
        EXPECT_TRUE(tabs->rect().contains(tab)) << i;
        for (int k = 0; k < i; ++k) EXPECT_FALSE(tab.intersects(tabs->TabRect(k))) << i << " and " << k;
        columns = std::max(columns, tab.right() / tab.width() + 1);
    }
    EXPECT_GT(columns, 1);
    EXPECT_EQ(tabs->width(), columns * tabs->TabRect(0).width());
    // The active tab's column stands next to the pages.
    w.PageControlTU->SetActivePage(w.tsSec);
    EXPECT_EQ(tabs->TabRect(6).right(), tabs->width() - 1);
    w.PageControlTU->SetActivePage(w.tsPrimary);
    EXPECT_EQ(tabs->TabRect(0).right(), tabs->width() - 1);
}

TEST_F(MainFrmTest, TheExitShortcutClosesTheWindow) {
    TfmMainFrm& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_X, Qt::AltModifier);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(QFile::exists(Cnf()));
}

}  // namespace
