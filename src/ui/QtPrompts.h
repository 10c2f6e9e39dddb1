#pragma once
// The decode driver's questions asked through the window's dialogs, over the window: the
// information box and the Yes/No question titled with the program's title, the input box with
// the driver's caption. The driver's texts are UTF-8.
#include "app/Prompts.h"

class QWidget;
class WindowDialogs;

class WindowPrompts : public DecodePrompts {
public:
    WindowPrompts(WindowDialogs& dialogs, QWidget* parent) : dialogs(dialogs), parent(parent) {}

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& preset) override;

private:
    WindowDialogs& dialogs;
    QWidget* parent;
};
