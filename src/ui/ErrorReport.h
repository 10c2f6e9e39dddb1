#pragma once
// How the window shows an error that ends a command: a message box with the error icon titled
// with the program's title. A cancelled operation (SilentAbort) shows nothing.
#include <exception>
#include <utility>

#include <QString>

class QWidget;
class WindowDialogs;

// The program's title: the caption of the window at creation and of its message boxes.
inline const QString ApplicationTitle = QStringLiteral("Тавик");

// The text of the error box: the message with a '.' appended when its last character comes after
// '.' in character order (a letter or a digit does; '!', ' ' or ',' do not).
QString ErrorBoxText(const QString& message);

// Shows the error box for a message.
void ReportError(WindowDialogs& dialogs, QWidget* parent, const QString& message);

// Shows the error box for the exception in flight: TavikError and other standard exceptions show
// their UTF-8 message, SilentAbort shows nothing. Anything else is rethrown.
void ReportException(WindowDialogs& dialogs, QWidget* parent, std::exception_ptr error);

// Runs one command; an exception it raises is reported as above and goes no further, so the
// event loop never sees it.
template <class Command>
void RunGuarded(WindowDialogs& dialogs, QWidget* parent, Command&& command) {
    try {
        std::forward<Command>(command)();
    } catch (...) {
        ReportException(dialogs, parent, std::current_exception());
    }
}
