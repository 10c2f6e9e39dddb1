#pragma once
// The questions the decode driver asks the user. The window answers them with Qt dialogs; tests
// answer them from a script. Texts are UTF-8.
#include <optional>
#include <string>

class DecodePrompts {
public:
    virtual ~DecodePrompts() = default;
    // An information box with an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A question with Yes and No and a warning icon; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // An input box; the text on OK, nothing on Cancel.
    virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& preset) = 0;
};
