#pragma once
// One tag editor over a scratch Codex: bound to its group as start-up binds
// it, with the native dialogs answered by the headless script and the
// preferences fresh, all undone afterwards.

#include "codex/ui/tag_editor_registry.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/codex_window_fixture.h"

namespace pirn_test {

class TagEditorTest : public CodexWindowTest {
protected:
    // bindEditor: the editor's Bind function (BindSoundEdit, ...).
    explicit TagEditorTest(void (*bindEditor)()) : bindEditor_(bindEditor) {}

    void SetUp() override {
        CodexWindowTest::SetUp();
        headless::ResetScriptedDialogs();
        pirn::Prefs().Clear();
        pirn::SetNativeDialogBackend(pirn::OsNativeDialogBackend());
        bindEditor_();
        pirn::RegisterTagEditors();
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::UnbindTagEditors();
        pirn::ClearTagGroupEditors();
        pirn::SetNativeDialogBackend(nullptr);
        headless::ResetScriptedDialogs();
        pirn::Prefs().Clear();
    }

private:
    void (*bindEditor_)();
};

}  // namespace pirn_test
