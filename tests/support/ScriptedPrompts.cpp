#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

TScriptedPrompts& TScriptedPrompts::AnswerYesNo(bool Yes) {
    script.push_back({TPromptKind::YesNo, Yes, std::nullopt});
    return *this;
}

TScriptedPrompts& TScriptedPrompts::Answer(const std::string& Text) {
    script.push_back({TPromptKind::Input, false, Text});
    return *this;
}

TScriptedPrompts& TScriptedPrompts::Cancel() {
    script.push_back({TPromptKind::Input, false, std::nullopt});
    return *this;
}

std::optional<TScriptedPrompts::TAnswer> TScriptedPrompts::Next(TPromptKind Kind, const std::string& question) {
    if (script.empty()) {
        ADD_FAILURE() << "a question the script does not answer: " << question;
        return std::nullopt;
    }
    if (script.front().Kind != Kind) {
        ADD_FAILURE() << "the script expects another kind of question than: " << question;
        return std::nullopt;
    }
    TAnswer answer = script.front();
    script.pop_front();
    return answer;
}

void TScriptedPrompts::ShowMessage(const std::string& text) {
    Asked.push_back({TPromptKind::Message, "", text, ""});
}

bool TScriptedPrompts::AskYesNo(const std::string& text) {
    Asked.push_back({TPromptKind::YesNo, "", text, ""});
    const std::optional<TAnswer> answer = Next(TPromptKind::YesNo, text);
    return answer && answer->Yes;
}

std::optional<std::string> TScriptedPrompts::InputBox(const std::string& caption, const std::string& prompt,
                                                      const std::string& preset) {
    Asked.push_back({TPromptKind::Input, caption, prompt, preset});
    const std::optional<TAnswer> answer = Next(TPromptKind::Input, prompt);
    return answer ? answer->Text : std::nullopt;
}

std::vector<std::string> TScriptedPrompts::Messages() const {
    std::vector<std::string> texts;
    for (const TPromptRecord& record : Asked)
        if (record.Kind == TPromptKind::Message) texts.push_back(record.Text);
    return texts;
}

std::size_t TScriptedPrompts::CountOf(TPromptKind Kind) const {
    std::size_t n = 0;
    for (const TPromptRecord& record : Asked)
        if (record.Kind == Kind) ++n;
    return n;
}
