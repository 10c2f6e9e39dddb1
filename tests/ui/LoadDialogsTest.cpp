// The real dialogs of a load: the open dialog as it is set up, the decode driver's three kinds of
// question shown with Qt, and the driver's questions handed to the window's dialogs.
#include <gtest/gtest.h>
#include <utime.h>

#include <algorithm>

#include <QApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QToolButton>
#include <QTranslator>
#include <QTreeView>

#include "UiTestApp.h"
#include "support/Fixtures.h"
#include "ui/QtPrompts.h"
#include "ui/QtTranslation.h"
#include "ui/WindowDialogs.h"

using ui::test::ScriptedWindowDialogs;

namespace {

// Runs check on the next modal dialog once it is up (it answers or closes the dialog there).
void WhenModalShows(std::function<void(QWidget*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        check(modal);
    });
    timer->start();
}

TEST(LoadDialogsTest, TheOpenDialogIsSetUpForExistingSoundingFilesInTheDetailsView) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    FileDialogSettings settings;
    settings.title = QStringLiteral("Выбор сообщения");
    settings.filter = QStringLiteral("Данные зондирования в коде BUFR (*.bufr *.bin *.bfr *.b)");
    settings.defaultSuffix = QStringLiteral("bin");
    settings.initialDir = dir.path();
    const std::unique_ptr<QFileDialog> dialog = CreateOpenDialog(nullptr, settings);
    EXPECT_EQ(dialog->windowTitle(), settings.title);
    EXPECT_EQ(dialog->nameFilters(), QStringList{settings.filter});
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("bin"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_TRUE(dialog->isSizeGripEnabled());
    EXPECT_TRUE(dialog->testOption(QFileDialog::ReadOnly)) << "no new folder from the dialog";
    EXPECT_EQ(dialog->viewMode(), QFileDialog::Detail);

    dialog->show();
    auto* newFolder = dialog->findChild<QToolButton*>(QStringLiteral("newFolderButton"));
    ASSERT_NE(newFolder, nullptr);
    EXPECT_FALSE(newFolder->isVisible());
    // The user switches to the list view; the next folder shows details again.
    dialog->setViewMode(QFileDialog::List);
    emit dialog->directoryEntered(dir.filePath(QStringLiteral("sub")));
    EXPECT_EQ(dialog->viewMode(), QFileDialog::Detail);
    dialog->hide();

    // A name field from the last use starts the dialog on that file.
    settings.fileName = dir.filePath(QStringLiteral("sub/a.bin"));
    const std::unique_ptr<QFileDialog> again = CreateOpenDialog(nullptr, settings);
    EXPECT_EQ(QDir(again->directory()).canonicalPath(), QDir(dir.filePath(QStringLiteral("sub"))).canonicalPath());
}

// Sizes, types and dates in Russian whatever the session's locale (Qt words them by the system
// locale, English under C), in the open and in the save dialog.
TEST(LoadDialogsTest, TheFileDialogsShowSizesTypesAndDatesInRussian) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QDateTime stamp(QDate(2024, 3, 5), QTime(7, 8));
    struct Row {
        QString name;
        qint64 size;
        QString sizeText;
        QString type;
    };
    const Row rows[] = {
        {QStringLiteral("small.bufr"), 766, QStringLiteral("766 байт"), QStringLiteral("Файл BUFR")},
        {QStringLiteral("middle.bin"), 5079, QStringLiteral("4,96 КБ"), QStringLiteral("Файл BIN")},
        {QStringLiteral("large"), 5000000, QStringLiteral("4,77 МБ"), QStringLiteral("Файл")},
        {QStringLiteral("sub"), -1, QString(), QStringLiteral("Папка")},
    };
    for (const Row& row : rows) {
        const QByteArray path = QFile::encodeName(dir.filePath(row.name));
        if (row.size >= 0) {
            QFile file(dir.filePath(row.name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_TRUE(file.resize(row.size));
        }
        const utimbuf times{stamp.toSecsSinceEpoch(), stamp.toSecsSinceEpoch()};
        ASSERT_EQ(::utime(path.constData(), &times), 0) << row.name.toStdString();
    }
    FileDialogSettings settings;
    settings.initialDir = dir.path();
    for (const std::unique_ptr<QFileDialog>& dialog : {CreateOpenDialog(nullptr, settings), CreateSaveDialog(nullptr, settings)}) {
        dialog->setViewMode(QFileDialog::Detail);
        dialog->show();
        auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(files, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return files->model()->rowCount(files->rootIndex()) == 4; }, 10000));
        for (int at = 0; at < 4; ++at) {
            const auto text = [&](int column) { return files->model()->index(at, column, files->rootIndex()).data().toString(); };
            const auto row = std::find_if(std::begin(rows), std::end(rows), [&](const Row& r) { return r.name == text(0); });
            ASSERT_NE(row, std::end(rows)) << text(0).toStdString();
            EXPECT_EQ(text(1).toStdString(), row->sizeText.toStdString()) << text(0).toStdString();
            EXPECT_EQ(text(2).toStdString(), row->type.toStdString()) << text(0).toStdString();
            EXPECT_EQ(text(3).toStdString(), "05.03.2024 07:08") << text(0).toStdString();
        }
        dialog->hide();
    }
}

// Qt's translation in place for one test, as the window path installs it.
class QtTranslationInstalled {
public:
    QtTranslationInstalled() { loaded = InstallQtTranslation(translator); }
    ~QtTranslationInstalled() { QCoreApplication::removeTranslator(&translator); }
    bool loaded = false;

private:
    QTranslator translator;
};

QString WithoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

TEST(LoadDialogsTest, QtsOwnButtonsSpeakRussian) {
    const QtTranslationInstalled russian;
    ASSERT_TRUE(russian.loaded) << "qtbase_ru is not in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
    FileDialogSettings settings;
    settings.initialDir = QDir::tempPath();
    const std::unique_ptr<QFileDialog> dialog = CreateOpenDialog(nullptr, settings);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog)) << "Qt's dialog, with Qt's texts";
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(WithoutMnemonic(buttons->button(QDialogButtonBox::Open)->text()), QStringLiteral("Открыть"));
    EXPECT_EQ(WithoutMnemonic(buttons->button(QDialogButtonBox::Cancel)->text()), QStringLiteral("Отмена"));

    QtWindowDialogs dialogs;
    QStringList answers;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        answers << WithoutMnemonic(box->button(QMessageBox::Yes)->text())
                << WithoutMnemonic(box->button(QMessageBox::No)->text());
        box->button(QMessageBox::No)->click();
    });
    dialogs.AskYesNo(nullptr, QStringLiteral("Тавик"), QStringLiteral("Игнорировать?"));
    EXPECT_EQ(answers, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
}

// At its first size the open dialog shows the whole name, size, type and date of every sounding
// file of a real data folder.
TEST(LoadDialogsTest, TheOpenDialogShowsWholeNamesAndSizesOfARealDataFolder) {
    TAVIK_REQUIRE_PATH(SharedDir() / "realdata");
    FileDialogSettings settings;
    settings.filter = QStringLiteral("Данные зондирования в коде BUFR (*.bufr *.bin *.bfr *.b)");
    settings.initialDir = QString::fromStdString((SharedDir() / "realdata").string());
    const std::unique_ptr<QFileDialog> dialog = CreateOpenDialog(nullptr, settings);
    dialog->show();
    EXPECT_EQ(dialog->size(), OpenDialogSize);
    auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(files, nullptr);
    const int expected = QDir(settings.initialDir, QStringLiteral("*.bufr *.bin *.bfr *.b")).count();
    ASSERT_GT(expected, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return files->model()->rowCount(files->rootIndex()) == expected; }, 10000));
    QCoreApplication::processEvents();
    const QFontMetrics metrics(files->font());
    // The icon and the margins around the text.
    const int decoration = files->iconSize().width() + 4 * files->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    for (int row = 0; row < expected; ++row) {
        for (const int column : {0, 1, 2, 3}) {
            const QString text = files->model()->index(row, column, files->rootIndex()).data().toString();
            const int needed = metrics.horizontalAdvance(text) + (column == 0 ? decoration : 8);
            EXPECT_LE(needed, files->header()->sectionSize(column)) << text.toStdString();
            EXPECT_LE(files->header()->sectionViewportPosition(column) + needed, files->viewport()->width())
                << text.toStdString() << " runs out of the view";
        }
    }
}

TEST(LoadDialogsTest, TheYesNoQuestionHasTheWarningIconAndBreaksTheLineAtTheDriversCr) {
    QtWindowDialogs dialogs;
    struct AnswerCase {
        QMessageBox::StandardButton button;
        bool yes;
    };
    for (const AnswerCase& c : {AnswerCase{QMessageBox::Yes, true}, AnswerCase{QMessageBox::No, false}}) {
        bool seen = false;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Тавик"));
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            EXPECT_EQ(box->text(), QStringLiteral("T.BIN\nКоличество поднаборов данных равно нулю! Игнорировать?"));
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor) << "not the hourglass";
            box->button(c.button)->click();
        });
        QApplication::setOverrideCursor(Qt::WaitCursor);   // as a load has it
        EXPECT_EQ(dialogs.AskYesNo(nullptr, QStringLiteral("Тавик"),
                                   QStringLiteral("T.BIN\rКоличество поднаборов данных равно нулю! Игнорировать?")),
                  c.yes);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
        EXPECT_TRUE(seen);
    }
}

TEST(LoadDialogsTest, TheInputBoxShowsCaptionPromptAndPresetAndGivesTheTextOrNothing) {
    QtWindowDialogs dialogs;
    for (const bool ok : {true, false}) {
        bool seen = false;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), QStringLiteral("В сообщении несколько поднаборов данных!"));
            EXPECT_EQ(box->labelText(), QStringLiteral("Какой поднабор из 3 выбрать?"));
            EXPECT_EQ(box->textValue(), QStringLiteral("1"));
            box->setTextValue(QStringLiteral("2"));
            ok ? box->accept() : box->reject();
        });
        const std::optional<QString> answer =
            dialogs.InputBox(nullptr, QStringLiteral("В сообщении несколько поднаборов данных!"),
                             QStringLiteral("Какой поднабор из 3 выбрать?"), QStringLiteral("1"));
        EXPECT_TRUE(seen);
        EXPECT_EQ(answer, ok ? std::optional<QString>(QStringLiteral("2")) : std::nullopt);
    }
}

TEST(LoadDialogsTest, TheInformationBoxHasOnlyAnOkButtonAndShowsTheTextAsItIs) {
    QtWindowDialogs dialogs;
    bool seen = false;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Тавик"));
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), QStringLiteral("<b>x</b>.bin нет данных BUFR!"));
        box->button(QMessageBox::Ok)->click();
    });
    dialogs.ShowMessage(nullptr, QStringLiteral("Тавик"), QStringLiteral("<b>x</b>.bin нет данных BUFR!"),
                        MessageIcon::None);
    EXPECT_TRUE(seen);
}

TEST(LoadDialogsTest, TheDriversQuestionsGoToTheWindowsDialogsTitledWithTheProgramsTitle) {
    ScriptedWindowDialogs dialogs;
    WindowPrompts prompts(dialogs, nullptr);
    dialogs.prompts.AnswerYesNo(true).Answer("3").Cancel();
    prompts.ShowMessage("ТЕМП.BIN нет данных BUFR!");
    EXPECT_TRUE(prompts.AskYesNo("ТЕМП.BIN\rКоличество поднаборов данных равно нулю! Игнорировать?"));
    EXPECT_EQ(prompts.InputBox("В сообщении несколько поднаборов данных!", "Какой поднабор из 3 выбрать?", "1"),
              std::optional<std::string>("3"));
    EXPECT_EQ(prompts.InputBox("В сообщении несколько поднаборов данных!", "Какой поднабор из 3 выбрать?", "1"),
              std::nullopt);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Тавик"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("ТЕМП.BIN нет данных BUFR!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(dialogs.questionTitles, std::vector<QString>{QStringLiteral("Тавик")});
    ASSERT_EQ(dialogs.prompts.Asked.size(), 3u);
    EXPECT_EQ(dialogs.prompts.Asked[0].Text, "ТЕМП.BIN\rКоличество поднаборов данных равно нулю! Игнорировать?");
    EXPECT_EQ(dialogs.prompts.Asked[1].Caption, "В сообщении несколько поднаборов данных!");
    EXPECT_EQ(dialogs.prompts.Asked[1].Preset, "1");
}

}  // namespace
