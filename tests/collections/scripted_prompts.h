#pragma once
// Prompts for tests: errors are recorded, questions are answered from a
// queue (the last button when it runs out) and recorded too.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/user_prompts.h"

namespace pirn {

class ScriptedPrompts : public UserPrompts {
public:
    void ShowError(const std::string& text) override { errors.push_back(text); }
    int Ask(const std::string& caption, const std::string& text, const std::vector<std::string>& buttons) override {
        if (on_ask) on_ask();
        questions.push_back(caption + "|" + text);
        asked_buttons = buttons;
        if (answers.empty()) return int(buttons.size()) - 1;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::vector<std::string> asked_buttons;
    std::deque<int> answers;
    // Runs while a question is open (what another program might do then).
    std::function<void()> on_ask;
};

}  // namespace pirn
