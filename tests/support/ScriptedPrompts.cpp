#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

ScriptedPrompts& ScriptedPrompts::AnswerYesNo(bool Yes) {
    script.push_back({PromptKind::YesNo, Yes, std::nullopt});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::Answer(const std::string& Text) {
    script.push_back({PromptKind::Input, false, Text});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::Cancel() {
    script.push_back({PromptKind::Input, false, std::nullopt});
    return *this;
}

std::optional<ScriptedPrompts::ScriptedAnswer> ScriptedPrompts::Next(PromptKind Kind, const std::string& question) {
    if (script.empty()) {
        ADD_FAILURE() << "a question the script does not answer: " << question;
        return std::nullopt;
    }
    if (script.front().Kind != Kind) {
        ADD_FAILURE() << "the script expects another kind of question than: " << question;
        return std::nullopt;
    }
    ScriptedAnswer answer = script.front();
    script.pop_front();
    return answer;
}

void ScriptedPrompts::ShowMessage(const std::string& text) {
    Asked.push_back({PromptKind::Message, "", text, ""});
}

bool ScriptedPrompts::AskYesNo(const std::string& text) {
    Asked.push_back({PromptKind::YesNo, "", text, ""});
    const std::optional<ScriptedAnswer> answer = Next(PromptKind::YesNo, text);
    return answer && answer->Yes;
}

std::optional<std::string> ScriptedPrompts::InputBox(const std::string& caption, const std::string& prompt,
                                                      const std::string& preset) {
    Asked.push_back({PromptKind::Input, caption, prompt, preset});
    const std::optional<ScriptedAnswer> answer = Next(PromptKind::Input, prompt);
    return answer ? answer->Text : std::nullopt;
}

std::vector<std::string> ScriptedPrompts::Messages() const {
    std::vector<std::string> texts;
    for (const PromptRecord& record : Asked)
        if (record.Kind == PromptKind::Message) texts.push_back(record.Text);
    return texts;
}

std::size_t ScriptedPrompts::CountOf(PromptKind Kind) const {
    std::size_t n = 0;
    for (const PromptRecord& record : Asked)
        if (record.Kind == Kind) ++n;
    return n;
}
