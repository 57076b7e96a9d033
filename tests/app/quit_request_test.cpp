// The quit hook on the headless window system: the confirmation comes
// first, then every top-level window must agree to close.

#include "app/ui/quit_request.h"

#include <gtest/gtest.h>

#include "tests/ui/widget_fixture.h"
#include "ui/button.h"
#include "ui/message_box_window.h"

namespace pirn_test {
namespace {

class QuitRequestTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        SetQuitHook(HandleQuitRequest);
    }

    // Answers the box on top of the modal stack by clicking one of its
    // buttons; records its caption and labels.
    static void Answer(int button) {
        Then([button] {
            auto* box = dynamic_cast<MessageBoxWindow*>(GetTopModalWindow());
            ASSERT_NE(box, nullptr);
            asked_++;
            caption_ = box->GetTitle() ? box->GetTitle() : "";
            ASSERT_EQ(box->GetButtonCount(), 2);
            EXPECT_STREQ(box->GetButton(0)->GetTitle(), "Quit");
            EXPECT_STREQ(box->GetButton(1)->GetTitle(), "Don't Quit");
            PostClick(box->GetButton(button));
        });
    }

    ProbeWindow* MakeTopLevel(const char* name) {
        auto* w = new ProbeWindow(Window::kVisible | Window::kBackground, nullptr, name);
        SetFrame(w, Rect{40, 40, 240, 200});
        return w;
    }

    inline static int asked_ = 0;
    inline static std::string caption_;
};

TEST_F(QuitRequestTest, DontQuitKeepsEverythingRunning) {
    asked_ = 0;
    ProbeWindow* editor = MakeTopLevel("editor");
    Answer(1);
    RequestQuit();
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(caption_, "Really Quit Pirn?");
    EXPECT_TRUE(IsRunning());
    EXPECT_EQ(editor->closeRequests, 0);  // never asked
    EXPECT_FALSE(editor->IsDestroyed());
}

TEST_F(QuitRequestTest, QuitClosesEveryTopLevelWindowAndEndsTheLoop) {
    asked_ = 0;
    int deleted = 0;
    ProbeWindow* first = MakeTopLevel("first");
    ProbeWindow* second = MakeTopLevel("second");
    first->destroyedCount = &deleted;
    second->destroyedCount = &deleted;
    Answer(0);
    RequestQuit();
    EXPECT_EQ(asked_, 1);
    EXPECT_FALSE(IsRunning());
    EXPECT_EQ(deleted, 2);
}

TEST_F(QuitRequestTest, AWindowThatRefusesToCloseKeepsTheProgramRunning) {
    // An editor whose save question was cancelled: asked after the
    // confirmation, and its refusal stands.
    asked_ = 0;
    ProbeWindow* editor = MakeTopLevel("unsaved editor");
    editor->allowClose = false;
    Answer(0);
    RequestQuit();
    EXPECT_EQ(asked_, 1);
    EXPECT_EQ(editor->closeRequests, 1);
    EXPECT_FALSE(editor->IsDestroyed());
    EXPECT_TRUE(IsRunning());

    // The main window's close box takes the same path.
    editor->allowClose = true;
    Answer(0);
    HandleWindowCloseRequest();
    IdleFrame();
    EXPECT_EQ(asked_, 2);
    EXPECT_FALSE(IsRunning());
}

}  // namespace
}  // namespace pirn_test
