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
#include "tests/ui/box_answers.h"
#include "tests/ui/widget_fixture.h"

namespace pirn_test {

class CodexWindowTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        pirn::UnloadCodex();
        pirn::SetLocalFolder(Local());
        AskedBoxes().clear();
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
    // `input` into an input box's field first.
    static void Answer(int button) { Then(AnswerTopBox(button)); }
    static void AnswerInput(int button, const std::string& text) { Then(AnswerTopBox(button, &text)); }

    // Runs frames until the scripted answers are used up (a safety limit).
    static void RunScript() {
        for (int i = 0; i < 50 && !script_.empty(); ++i) ScriptedFrame();
    }

    TempDir dir_;
    pirn::ScopedLogCapture quietLog_;
    std::vector<AskedBox>& asked_ = AskedBoxes();
};

}  // namespace pirn_test
