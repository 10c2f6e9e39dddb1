// The recent-files menu on its own, in a host window with a menu bar.
#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestApp.h"
#include "ui/IniFile.h"
#include "ui/ROFMenu.h"

using ui::test::ReadFile;
using ui::test::WriteFile;

namespace {

class ROFMenuTest : public ::testing::Test {
protected:
    ROFMenuTest() {
        submenu = host.menuBar()->addMenu(QStringLiteral("Файл"))->addMenu(QStringLiteral("Недавние файлы"));
        recent = std::make_unique<TROFMenu>(submenu, [this](QObject* sender) { clicked.push_back(sender); });
    }
    static QString P(int i) { return QStringLiteral("/data/sounding %1.bin").arg(i); }

    // Captions and shortcuts of the entries, checked against the submenu's own list.
    std::vector<std::string> Entries() const {
        std::vector<std::string> out;
        EXPECT_EQ(submenu->actions().size(), recent->Count());
        for (int i = 0; i < recent->Count(); ++i) {
            EXPECT_EQ(submenu->actions().value(i), recent->Item(i));
            out.push_back((recent->Item(i)->text() + " | " + recent->Item(i)->shortcut().toString()).toStdString());
        }
        return out;
    }

    QMainWindow host;
    QMenu* submenu;
    std::unique_ptr<TROFMenu> recent;
    std::vector<QObject*> clicked;
    QTemporaryDir dir;
    QString cnf = dir.filePath(QStringLiteral("TAVIK.CNF"));
};

TEST_F(ROFMenuTest, NumbersEntriesFromOneWithCtrlAltDigitsFromZero) {
    recent->Add(P(1));
    recent->Add(QString());
    recent->Add(P(2));
    recent->Add(P(3));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"&1./data/sounding 1.bin | Ctrl+Alt+0",
                                                   "&2./data/sounding 2.bin | Ctrl+Alt+1",
                                                   "&3./data/sounding 3.bin | Ctrl+Alt+2"}));
    EXPECT_EQ(recent->Path(1), P(2));
    EXPECT_EQ(TROFMenu::PathOf(recent->Item(2)), P(3));
}

TEST_F(ROFMenuTest, AListedPathKeepsItsPlaceAndCaseMakesADifferentFile) {
    recent->Add(QStringLiteral("/data/A.BIN"));
    recent->Add(QStringLiteral("/data/b.bin"));
    recent->Add(QStringLiteral("/data/A.BIN"));
    recent->Add(QStringLiteral("/data/a.bin"));
    ASSERT_EQ(recent->Count(), 3);
    EXPECT_EQ(recent->Path(0), QStringLiteral("/data/A.BIN"));
    EXPECT_EQ(recent->Path(1), QStringLiteral("/data/b.bin"));
    EXPECT_EQ(recent->Path(2), QStringLiteral("/data/a.bin"));
}

TEST_F(ROFMenuTest, ATenthFileDropsTheOldestAndTheOthersMoveUp) {
    for (int i = 1; i <= 9; ++i) recent->Add(P(i));
    std::vector<QAction*> items;
    for (int i = 0; i < 9; ++i) items.push_back(recent->Item(i));

    recent->Add(P(10));
    recent->Add(P(5));   // still listed: nothing moves
    ASSERT_EQ(recent->Count(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(recent->Item(i), items[i]) << "the menu items stay where they are";
        EXPECT_EQ(recent->Item(i)->text(), QStringLiteral("&%1.").arg(i + 1) + P(i + 2));
        EXPECT_EQ(recent->Item(i)->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key(Qt::Key_0 + i)));
    }
    recent->Add(P(1));   // dropped before, so new again
    EXPECT_EQ(recent->Path(0), P(3));
    EXPECT_EQ(recent->Path(8), P(1));
    EXPECT_EQ(submenu->actions().size(), 9);
}

struct LoadCase {
    const char* name;
    QByteArray section;
    std::vector<QString> paths;   // the list after loading
    QByteArray saved;             // the section after saving it again
};

TEST_F(ROFMenuTest, LoadsThroughAddAndSavesTheCountAndItsKeys) {
    QByteArray twelve = "N=12\n";
    for (int i = 0; i < 12; ++i) twelve += QByteArray::number(i) + "=" + P(i).toUtf8() + "\n";
    std::vector<QString> firstNine;
    for (int i = 0; i < 9; ++i) firstNine.push_back(P(i));
    QByteArray twelveSaved = "N=9\n" + twelve.mid(twelve.indexOf('\n') + 1);

    const LoadCase cases[] = {
        {"twelve keys", twelve, firstNine, twelveSaved},
        {"empty key", "N=3\n0=/a\n1=\n2=/c\n", {"/a", "/c"}, "N=2\n0=/a\n1=/c\n2=/c\n"},
        {"repeated key", "N=3\n0=/a\n1=/a\n2=/c\n", {"/a", "/c"}, "N=2\n0=/a\n1=/c\n2=/c\n"},
        {"fewer keys than N", "N=4\n1=/b\n", {"/b"}, "N=1\n1=/b\n0=/b\n"},
        {"N zero", "N=0\n0=/a\n", {}, "N=0\n0=/a\n"},
        {"N negative", "N=-1\n0=/a\n", {}, "N=0\n0=/a\n"},
        {"N not a number", "N=two\n0=/a\n", {}, "N=0\n0=/a\n"},
        {"N in hexadecimal", "N=$2\n0=/a\n1=/b & c\n", {"/a", "/b & c"}, "N=2\n0=/a\n1=/b & c\n"},
        {"no section", "", {}, "N=0\n"},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(cnf, (c.section.isEmpty() ? QByteArray() : "[RECENT]\n" + c.section) + "[OTHER]\nx=1\n");
        TROFMenu list(new QMenu(&host), [](QObject*) {});
        list.LoadFromIni(IniFile(cnf), QStringLiteral("RECENT"));
        std::vector<QString> paths;
        for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Path(i));
        EXPECT_EQ(paths, c.paths);

        IniFile ini(cnf);
        list.SaveToIni(ini, QStringLiteral("RECENT"));
        ini.UpdateFile();
        QByteArray expected = c.section.isEmpty() ? "[OTHER]\nx=1\n[RECENT]\n" + c.saved
                                                  : "[RECENT]\n" + c.saved + "[OTHER]\nx=1\n";
        EXPECT_EQ(ReadFile(cnf).toStdString(), expected.replace("\n", "\r\n").toStdString());
    }
}

TEST_F(ROFMenuTest, AnEntryHandsItselfToTheClickHandlerByMenuAndByShortcut) {
    for (int i = 1; i <= 9; ++i) recent->Add(P(i));
    recent->Item(2)->trigger();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], recent->Item(2));

    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    QTest::keyClick(&host, Qt::Key_8, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(&host, Qt::Key_0, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(&host, Qt::Key_9, Qt::ControlModifier | Qt::AltModifier);   // no tenth entry
    ASSERT_EQ(clicked.size(), 3u);
    EXPECT_EQ(TROFMenu::PathOf(static_cast<QAction*>(clicked[1])), P(9));
    EXPECT_EQ(TROFMenu::PathOf(static_cast<QAction*>(clicked[2])), P(1));
}

TEST_F(ROFMenuTest, AnAmpersandOfAPathIsShownAsItIsAndReadBackUnchanged) {
    const QString paths[] = {QStringLiteral("/data/Москва & область.bufr"), QStringLiteral("/a&&b/&c&"),
                             QStringLiteral("&")};
    for (const QString& path : paths) recent->Add(path);
    EXPECT_EQ(recent->Item(0)->text(), QStringLiteral("&1./data/Москва && область.bufr"));
    EXPECT_EQ(recent->Item(1)->text(), QStringLiteral("&2./a&&&&b/&&c&&"));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(recent->Path(i), paths[i]);
    // What the menu shows: the digit as the accelerator, the path as it is.
    EXPECT_EQ(recent->Item(0)->iconText(), QStringLiteral("1./data/Москва & область.bufr"));

    IniFile ini(cnf);
    recent->SaveToIni(ini, QStringLiteral("RECENT"));
    ini.UpdateFile();
    EXPECT_TRUE(ReadFile(cnf).contains("1=/a&&b/&c&\r\n2=&\r\n"));
    TROFMenu reread(new QMenu(&host), [](QObject*) {});
    reread.LoadFromIni(IniFile(cnf), QStringLiteral("RECENT"));
    ASSERT_EQ(reread.Count(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(reread.Path(i), paths[i]);
    reread.Add(paths[1]);
    EXPECT_EQ(reread.Count(), 3) << "the path read back is the same path";
}

TEST_F(ROFMenuTest, ReleasingTheListLeavesItsEntriesInTheMenu) {
    recent->Add(P(1));
    recent->Add(P(2));
    recent.reset();
    ASSERT_EQ(submenu->actions().size(), 2);
    EXPECT_EQ(submenu->actions()[1]->text(), "&2." + P(2));
}

}  // namespace
