#include "ui/QtPrompts.h"

#include "ui/ErrorReport.h"
#include "ui/WindowDialogs.h"

namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

void WindowPrompts::ShowMessage(const std::string& text) {
    dialogs.ShowMessage(parent, ApplicationTitle, Text(text), MessageIcon::None);
}

bool WindowPrompts::AskYesNo(const std::string& text) {
    return dialogs.AskYesNo(parent, ApplicationTitle, Text(text));
}

std::optional<std::string> WindowPrompts::InputBox(const std::string& caption, const std::string& prompt,
                                                    const std::string& preset) {
    const std::optional<QString> answer = dialogs.InputBox(parent, Text(caption), Text(prompt), Text(preset));
    if (!answer) return std::nullopt;
    return answer->toStdString();
}
