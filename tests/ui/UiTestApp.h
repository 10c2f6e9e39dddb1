#pragma once
// The application object of the window tests and the dialogs that answer in the user's place.
#include <vector>

#include <QByteArray>
#include <QString>

#include "ui/WindowDialogs.h"

class TavikApplication;

namespace ui::test {

// Records every message box and beep instead of showing them.
class ScriptedWindowDialogs : public WindowDialogs {
public:
    struct Message {
        QString title;
        QString text;
        MessageIcon icon;
    };
    void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon) override {
        messages.push_back({title, text, icon});
    }
    void Beep() override { ++beeps; }

    std::vector<Message> messages;
    int beeps = 0;
};

// The one application object of the test binary (a TavikApplication on the offscreen platform).
TavikApplication& App();
// The dialogs the application's last-line error handler reports to.
ScriptedWindowDialogs& AppDialogs();

// Whole-file helpers for the configuration tests.
QByteArray ReadFile(const QString& fileName);
void WriteFile(const QString& fileName, const QByteArray& content);

}  // namespace ui::test
