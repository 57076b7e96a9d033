#pragma once
// Windows over the Codex: the headless widget harness with a game folder
// in a scratch directory, a fresh Codex whose local folder is the game's
// "local", and answers for the message and input boxes the code under test
// runs modally.

#include <functional>
#include <string>
#include <vector>

#include "codex/codex.h"
#include "platform/log_capture.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"
#include "tests/ui/widget_fixture.h"
#include "ui/button.h"
#include "ui/message_box_window.h"
#include "ui/text_box.h"

namespace pirn_test {

// What a box showed before it was answered.
struct AskedBox {
    std::string caption;
    std::string text;  // the message, or the input field's text
    std::vector<std::string> buttons;
};

class CodexWindowTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        pirn::UnloadCodex();
        pirn::SetLocalFolder(Local());
        asked_.clear();
    }

    void TearDown() override {
        ResetWindowSystem();  // editors detach from their tags as they go
        EXPECT_EQ(pirn::UnloadCodex(), 1) << "a tag was left in use";
        WidgetTest::TearDown();
    }

    std::string Game() const { return dir_.path() + "/"; }
    std::string Local() const { return Game() + "local/"; }
    std::string LocalFile(const std::string& label, const std::string& name) const {
        return Local() + label + "/" + name;
    }
    std::string WriteLocal(const std::string& label, const std::string& name, const std::vector<u8>& bytes) {
        WriteAll(LocalFile(label, name), bytes);
        return LocalFile(label, name);
    }
    pirn::Archive* AddArchiveBytes(const std::string& file, const std::vector<u8>& bytes) {
        WriteAll(Game() + "tags/" + file, bytes);
        return pirn::AddArchive(Game() + "tags/" + file);
    }

    // Answers the next modal box with the button of that index, typing
    // `input` into an input box's field first. Records what the box showed.
    static void Answer(int button, const std::string* input = nullptr) {
        std::string typed = input ? *input : std::string();
        const bool hasInput = input != nullptr;
        Then([button, typed, hasInput] {
            auto* box = dynamic_cast<MessageBoxWindow*>(GetTopModalWindow());
            ASSERT_NE(box, nullptr) << "no box to answer";
            AskedBox asked;
            asked.caption = box->GetTitle() ? box->GetTitle() : "";
            if (auto* field = dynamic_cast<TextBox*>(box->GetField())) {
                asked.text = field->GetText();
                if (hasInput) field->SetText(typed);
            } else {
                asked.text = box->GetText();
            }
            for (int i = 0; i < box->GetButtonCount(); ++i) asked.buttons.push_back(box->GetButton(i)->GetTitle());
            asked_.push_back(asked);
            ASSERT_LT(button, box->GetButtonCount());
            box->PressButton(button);
        });
    }
    static void AnswerInput(int button, const std::string& text) { Answer(button, &text); }

    // Runs frames until the scripted answers are used up (a safety limit).
    static void RunScript() {
        for (int i = 0; i < 50 && !script_.empty(); ++i) ScriptedFrame();
    }

    TempDir dir_;
    pirn::ScopedLogCapture quietLog_;
    inline static std::vector<AskedBox> asked_;
};

}  // namespace pirn_test
