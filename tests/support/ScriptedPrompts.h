#pragma once
// DecodePrompts answered from a script, with a record of every question in the order asked.
//
//   ScriptedPrompts prompts;
//   prompts.Answer("0").Answer("2");   // two input boxes: a bad answer, then subset 2
//   DecodeFile(name, true, lines, prompts);
//   EXPECT_EQ(prompts.Asked.size(), 2u);
//
// A question that finds no answer of its kind next in the script fails the running test and is
// answered with No or Cancel, so a driver that keeps asking ends instead of looping.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/Prompts.h"

enum class PromptKind { Message, YesNo, Input };

struct PromptRecord {
    PromptKind Kind = PromptKind::Message;
    std::string Caption;  // input box only
    std::string Text;     // the message, the question or the input box's prompt
    std::string Preset;   // input box only
};

class ScriptedPrompts : public DecodePrompts {
public:
    // The next Yes/No question is answered Yes (true) or No.
    ScriptedPrompts& AnswerYesNo(bool Yes);
    // The next input box is answered with OK and Text.
    ScriptedPrompts& Answer(const std::string& Text);
    // The next input box is cancelled.
    ScriptedPrompts& Cancel();

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& preset) override;

    // Answers the script still holds.
    std::size_t Unused() const { return script.size(); }
    // The texts of the information boxes shown, in order.
    std::vector<std::string> Messages() const;
    std::size_t CountOf(PromptKind Kind) const;

    std::vector<PromptRecord> Asked;

private:
    struct ScriptedAnswer {
        PromptKind Kind;
        bool Yes = false;
        std::optional<std::string> Text;
    };
    std::optional<ScriptedAnswer> Next(PromptKind Kind, const std::string& question);

    std::deque<ScriptedAnswer> script;
};
