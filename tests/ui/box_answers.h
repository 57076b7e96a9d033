#pragma once
// Answers for the message and input boxes that code under test runs
// modally: an action for WidgetTest::Then that presses a button of the box
// on top of the modal stack (typing into an input box's field first) and
// records what the box showed.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/button.h"
#include "ui/message_box_window.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn_test {

struct AskedBox {
    std::string caption;
    std::string text;  // the message, or the input field's text as shown
    std::vector<std::string> buttons;
};

// Every box answered since the last clear, in order.
inline std::vector<AskedBox>& AskedBoxes() {
    static std::vector<AskedBox> asked;
    return asked;
}

inline std::function<void()> AnswerTopBox(int button, const std::string* input = nullptr) {
    const std::string typed = input ? *input : std::string();
    const bool hasInput = input != nullptr;
    return [button, typed, hasInput] {
        auto* box = dynamic_cast<pirn::MessageBoxWindow*>(pirn::GetTopModalWindow());
        ASSERT_NE(box, nullptr) << "no box to answer";
        AskedBox asked;
        asked.caption = box->GetTitle() ? box->GetTitle() : "";
        if (auto* field = dynamic_cast<pirn::TextBox*>(box->GetField())) {
            asked.text = field->GetText();
            if (hasInput) field->SetText(typed);
        } else {
            asked.text = box->GetText();
        }
        for (int i = 0; i < box->GetButtonCount(); ++i) asked.buttons.push_back(box->GetButton(i)->GetTitle());
        AskedBoxes().push_back(asked);
        ASSERT_LT(button, box->GetButtonCount());
        box->PressButton(button);
    };
}

}  // namespace pirn_test
