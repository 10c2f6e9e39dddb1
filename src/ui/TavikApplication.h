#pragma once
// The application object of the window path. Its notify() is the last line of error handling:
// an exception that escapes an event handler is shown in the error box and the loop goes on.
// Commands of the window catch their own errors before they reach Qt (RunGuarded), so this
// catches what other handlers let through.
#include <QApplication>

class WindowDialogs;

class TavikApplication : public QApplication {
    Q_OBJECT
public:
    TavikApplication(int& argc, char** argv, WindowDialogs* dialogs);
    void SetDialogs(WindowDialogs* dialogs) { this->dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    WindowDialogs* dialogs;
};
