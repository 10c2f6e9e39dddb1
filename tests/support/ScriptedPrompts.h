#pragma once
// TDecodePrompts answered from a script, with a record of every question in the order asked.
//
//   TScriptedPrompts prompts;
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

enum class TPromptKind { Message, YesNo, Input };

struct TPromptRecord {
    TPromptKind Kind = TPromptKind::Message;
    std::string Caption;  // input box only
    std::string Text;     // the message, the question or the input box's prompt
    std::string Preset;   // input box only
};

class TScriptedPrompts : public TDecodePrompts {
public:
    // The next Yes/No question is answered Yes (true) or No.
    TScriptedPrompts& AnswerYesNo(bool Yes);
    // The next input box is answered with OK and Text.
    TScriptedPrompts& Answer(const std::string& Text);
    // The next input box is cancelled.
    TScriptedPrompts& Cancel();

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& preset) override;

    // Answers the script still holds.
    std::size_t Unused() const { return script.size(); }
    // The texts of the information boxes shown, in order.
    std::vector<std::string> Messages() const;
    std::size_t CountOf(TPromptKind Kind) const;

    std::vector<TPromptRecord> Asked;

private:
    struct TAnswer {
        TPromptKind Kind;
        bool Yes = false;
        std::optional<std::string> Text;
    };
    std::optional<TAnswer> Next(TPromptKind Kind, const std::string& question);

    std::deque<TAnswer> script;
};
