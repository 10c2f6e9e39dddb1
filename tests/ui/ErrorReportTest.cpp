// The error box: its text rule, what reaches it, and the application's last-line handler.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "UiTestApp.h"
#include "core/Errors.h"
#include "ui/ErrorReport.h"
#include "ui/TavikApplication.h"

using ui::test::ScriptedWindowDialogs;

namespace {

struct DotCase {
    const char* message;
    const char* shown;
};

TEST(ErrorBoxText, AppendsDotAfterCharactersThatComeAfterIt) {
    const DotCase cases[] = {
        {"Файл не найден", "Файл не найден."},         // Cyrillic letter
        {"Section 3 length 0", "Section 3 length 0."},  // digit
        {"no data", "no data."},
        {"path /tmp/", "path /tmp/."},                  // '/' follows '.' directly
        // A file error: the full stop stands apart from the name in «».
        {"Нет такого файла или папки: «/data/x.bufr»", "Нет такого файла или папки: «/data/x.bufr»."},
        {"Ну и что?", "Ну и что?."},                    // '?' comes after '.' too
        {"27612.BIN ашипка!", "27612.BIN ашипка!"},    // '!' comes before '.'
        {"Готово.", "Готово."},
        {"a,", "a,"},
        {"a-", "a-"},
        {"trailing blank ", "trailing blank "},
        {"", ""},
    };
    for (const DotCase& c : cases)
        EXPECT_EQ(ErrorBoxText(QString::fromUtf8(c.message)).toStdString(), c.shown) << c.message;
}

TEST(ReportException, ShowsErrorsTitledWithTheProgramAndIgnoresTheSilentAbort) {
    ScriptedWindowDialogs dialogs;
    RunGuarded(dialogs, nullptr, [] { throw TavikError("Нет данных BUFR"); });
    RunGuarded(dialogs, nullptr, [] { throw SilentAbort(); });
    RunGuarded(dialogs, nullptr, [] { throw std::runtime_error("bad_alloc somewhere!"); });
    RunGuarded(dialogs, nullptr, [] {});
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Тавик"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Нет данных BUFR."));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("bad_alloc somewhere!"));
}

// An object whose event handler raises what it is told to at a user event.
class ThrowingObject : public QObject {
public:
    int handled = 0;
    std::function<void()> raise;
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ++handled;
        if (raise) raise();
        return true;
    }
};

TEST(TavikApplication, ShowsAnErrorThatEscapesAnEventHandlerAndGoesOn) {
    ScriptedWindowDialogs& dialogs = ui::test::AppDialogs();
    dialogs.messages.clear();
    ThrowingObject object;

    object.raise = [] { throw TavikError("Ошибка в обработчике"); };
    QEvent sent(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &sent));
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&object);

    object.raise = [] { throw SilentAbort(); };
    QCoreApplication::postEvent(&object, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&object);

    object.raise = nullptr;
    QEvent quiet(QEvent::User);
    EXPECT_TRUE(QCoreApplication::sendEvent(&object, &quiet));

    EXPECT_EQ(object.handled, 4);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const auto& message : dialogs.messages) {
        EXPECT_EQ(message.title, QStringLiteral("Тавик"));
        EXPECT_EQ(message.text, QStringLiteral("Ошибка в обработчике."));
        EXPECT_EQ(message.icon, MessageIcon::Error);
    }
}

}  // namespace
