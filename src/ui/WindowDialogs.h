#pragma once
// Everything of the window that talks to the user outside the window itself: message boxes, the
// beep, and (as the commands that need them arrive) the file dialogs, the find dialog, the
// clipboard, the printer and the shell's "open". The window reaches them only through this
// interface, so that tests run the real window and answer in its place.
#include <QString>

class QWidget;

enum class MessageIcon { None, Information, Warning, Error };

class WindowDialogs {
public:
    virtual ~WindowDialogs() = default;
    // A modal message box with one OK button; returns when the user closes it.
    virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) = 0;
    // The system's default beep.
    virtual void Beep() = 0;
};

// State of a file dialog the window keeps between uses: what the next showing starts with and
// what the last one chose.
struct FileDialogSettings {
    QString title;
    QString filter;          // "Description (*.a *.b)"; empty for no filter
    QString defaultSuffix;   // without the dot; empty for none
    QString initialDir;
    QString fileName;
};

// State of the find dialog the window keeps between uses.
struct FindDialogSettings {
    QString findText;
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
};

// The real dialogs.
class QtWindowDialogs : public WindowDialogs {
public:
    void ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) override;
    void Beep() override;
};
