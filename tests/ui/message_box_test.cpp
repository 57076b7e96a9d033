// Message boxes: layout from the labels and the text, answers by mouse and
// keyboard, ShowError's bound, ConfirmQuit's texts, and runs that a close
// request or another box cannot answer.

#include "ui/message_box_window.h"

#include <string>
#include <vector>

#include "tests/ui/widget_fixture.h"
#include "ui/button.h"

namespace pirn_test {
namespace {

class MessageBoxTest : public WidgetTest {
protected:
    static MessageBoxWindow* TopBox() { return dynamic_cast<MessageBoxWindow*>(GetTopModalWindow()); }
    static std::vector<std::string> Labels(const MessageBoxWindow* box) {
        std::vector<std::string> out;
        for (int i = 0; i < box->GetButtonCount(); i++) out.push_back(box->GetButton(i)->GetTitle());
        return out;
    }
    // Clicks button i of the box on top of the modal stack.
    static void ClickButton(int i) {
        MessageBoxWindow* box = TopBox();
        ASSERT_NE(box, nullptr);
        PostClick(box->GetButton(i));
    }
};

TEST_F(MessageBoxTest, ButtonRowOnly) {
    auto* box = new MessageBoxWindow("Caption", nullptr, {"OK"});
    EXPECT_EQ(box->GetParent(), GetLayerWindow(1));
    EXPECT_EQ(box->GetFlags(), 0x402AFu);
    EXPECT_STREQ(box->GetTitle(), "Caption");
    // A 16-px label still gets a 96-px button; margins of 32 all round.
    EXPECT_EQ(box->GetClientSize().x, 96 + 64);
    EXPECT_EQ(box->GetClientSize().y, 24 + 64);
    EXPECT_EQ(box->GetButton(0)->GetFrame(), MakeRect(32, 32, 96, 24));
    // Centred in the screen.
    const Rect& f = box->GetFrameScreenRect();
    EXPECT_EQ(f.left, (kWidth - f.Width()) / 2);
    EXPECT_EQ(f.top, (kHeight - f.Height()) / 2);
    EXPECT_EQ(GetFocusWindow(), box->GetButton(0));
}

TEST_F(MessageBoxTest, AtMostFourButtonsInOneCentredRow) {
    auto* box = new MessageBoxWindow("Caption", nullptr, {"A", "B", "C", "D", "E"});
    EXPECT_EQ(Labels(box), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(box->GetClientSize().x, 4 * 96 + 3 * 24 + 64);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(box->GetButton(i)->GetId(), i);
        EXPECT_EQ(box->GetButton(i)->GetFrame().left, 32 + i * (96 + 24));
        EXPECT_EQ(box->GetButton(i)->GetTabNext(), box->GetButton((i + 1) % 4));
    }

    // "A much longer label" is 152 px: its button is 184; the row is centred.
    auto* wide = new MessageBoxWindow("Caption", "Hello", {"A much longer label", "OK"});
    const i32 row = 184 + 24 + 96;
    EXPECT_EQ(wide->GetClientSize().x, row + 64);
    EXPECT_EQ(wide->GetButton(0)->GetFrame(), MakeRect(32, 14 + 24 + 32, 184, 24));
    EXPECT_EQ(wide->GetButton(1)->GetFrame().left, 32 + 184 + 24);
    EXPECT_EQ(wide->GetTextRect(), MakeRect(32, 32, row, kLineHeight));
    EXPECT_EQ(wide->GetClientSize().y, 14 + 24 + 24 + 64);
}

TEST_F(MessageBoxTest, LongTextWrapsAt512) {
    std::string text = "words";
    for (int i = 1; i < 20; i++) text += " words";  // 1,912 px in one line
    auto* box = new MessageBoxWindow("Caption", text.c_str(), {"OK"});
    // Ten words (480 px) a line at 512: two lines.
    EXPECT_EQ(box->GetTextRect(), MakeRect(32, 32, 512, 2 * kLineHeight));
    EXPECT_EQ(box->GetClientSize().x, 512 + 64);
    EXPECT_EQ(box->GetClientSize().y, 2 * kLineHeight + 24 + 24 + 64);
    EXPECT_EQ(box->GetButton(0)->GetFrame().top, 2 * kLineHeight + 24 + 32);
}

TEST_F(MessageBoxTest, ReturnsTheButtonPressed) {
    Then([] {});
    Then([] { ClickButton(2); });
    EXPECT_EQ(ShowMessageBox("Save?", "Do you wish to save your changes to 'x'?", "Save", "Discard", "Cancel",
                             nullptr),
              2);
    EXPECT_EQ(GetTopModalWindow(), nullptr);
    EXPECT_TRUE(TopFilterIsDefault());
    StepFrame();
    EXPECT_EQ(GetLayerWindow(1)->GetChildCount(), 0);  // the box is gone

    // Enter, or Space, presses the first button, which has the focus.
    Then([] { PostKey(kKeyEnter); });
    EXPECT_EQ(ShowMessageBox("Message", "Text", "First", "Second", nullptr), 0);
    Then([] { PostKey(kKeySpace); });
    EXPECT_EQ(ShowMessageBox("Message", "Text", "First", "Second", nullptr), 0);

    // No keyboard cancel: Esc does nothing.
    Then([] { PostKey(kKeyEsc); });
    Then([] {
        ASSERT_NE(TopBox(), nullptr);
        ClickButton(1);
    });
    EXPECT_EQ(ShowMessageBox("Message", nullptr, "First", "Second", nullptr), 1);
}

TEST_F(MessageBoxTest, TheKeysGoBackWhereTheyWentBeforeTheBox) {
    auto* owner = new ProbeWindow(Window::kVisible, nullptr, "owner");
    SetFrame(owner, Rect{10, 10, 200, 200});
    auto* field = new ProbeWindow(Window::kVisible | Window::kTakesFocus, owner, "field");
    SetFrame(field, Rect{0, 0, 50, 20});
    ActivateWindow(field, kFocusByProgram);
    Window* focusDuring = nullptr;
    Then([&focusDuring] {
        focusDuring = GetFocusWindow();
        ClickButton(0);
    });
    EXPECT_EQ(ShowMessageBox("Caption", "Text", "OK", nullptr), 0);
    EXPECT_NE(focusDuring, field);  // the box had the keys
    IdleFrame();                    // the box is deleted at the next frame
    EXPECT_EQ(GetFocusWindow(), field);
    Key('X');
    ASSERT_EQ(field->keys.size(), 2u);  // press and release reach the field again

    // A box that outlived the window which had the keys leaves them alone.
    Then([field] { DestroyWindow(field); });
    Then([] { ClickButton(0); });
    ShowMessageBox("Caption", "Text", "OK", nullptr);
    EXPECT_NE(GetFocusWindow(), field);
}

TEST_F(MessageBoxTest, ShowErrorAndConfirmQuitTexts) {
    const std::string longText(2000, 'x');
    Then([] {
        MessageBoxWindow* box = TopBox();
        ASSERT_NE(box, nullptr);
        EXPECT_STREQ(box->GetTitle(), "Error");
        EXPECT_EQ(box->GetText().size(), 1023u);
        EXPECT_EQ(Labels(box), (std::vector<std::string>{"OK"}));
        ClickButton(0);
    });
    ShowError("%s", longText.c_str());

    Then([] {
        MessageBoxWindow* box = TopBox();
        ASSERT_NE(box, nullptr);
        EXPECT_STREQ(box->GetTitle(), "Really Quit Pirn?");
        EXPECT_TRUE(box->GetText().empty());
        EXPECT_EQ(Labels(box), (std::vector<std::string>{"Quit", "Don't Quit"}));
        ClickButton(1);
    });
    EXPECT_EQ(ConfirmQuit(), 1);
    Then([] { ClickButton(0); });
    EXPECT_EQ(ConfirmQuit(), 0);
}

TEST_F(MessageBoxTest, ClosingTheMainWindowNeverAnswersTheBox) {
    const int beeps = Beeps();
    Then([] { HandleWindowCloseRequest(); });
    Then([] {});
    Then([beeps] {
        ASSERT_NE(TopBox(), nullptr);  // still asking
        EXPECT_EQ(Beeps(), beeps + 1);
        EXPECT_TRUE(IsRunning());
        ClickButton(1);
    });
    EXPECT_EQ(ShowMessageBox("Confirm Deletion", "Are you sure you want to delete 'x'?", "Delete", "Don't Delete",
                             nullptr),
              1);

    // When the program stops running frames under the box, the answer is
    // the last, harmless button, never the first.
    frames_ = 0;
    frameLimit_ = 5;
    EXPECT_EQ(ShowMessageBox("Confirm Deletion", "Are you sure you want to delete 'x'?", "Delete", "Don't Delete",
                             nullptr),
              1);
    EXPECT_EQ(GetTopModalWindow(), nullptr);
    frameLimit_ = 1000;
    StepFrame();
    EXPECT_EQ(GetLayerWindow(1)->GetChildCount(), 0);
}

TEST_F(MessageBoxTest, ClickableWhileTheDragThatOpenedItHoldsThePointer) {
    // As when a drop handler reports an error: the drag is still running.
    auto* source = new ProbeWindow(Window::kVisible, nullptr, "source");
    SetFrame(source, Rect{0, 0, 50, 50});
    MoveTo(10, 10);
    ASSERT_TRUE(StartDrag(source, ForwardMouseDrag));
    Then([] { ClickButton(0); });
    EXPECT_EQ(ShowMessageBox("Error", "The drop failed.", "OK", "Details", nullptr), 0);
    EXPECT_TRUE(IsDragRunning());
    Release();
    EXPECT_FALSE(IsDragRunning());
}

TEST_F(MessageBoxTest, NestedBoxesEachGetTheirOwnAnswer) {
    int inner = -1;
    Then([&] {
        Then([] { ClickButton(1); });
        inner = ShowMessageBox("Inner", nullptr, "A", "B", nullptr);
        Then([] { ClickButton(0); });  // then the outer box
    });
    const int outer = ShowMessageBox("Outer", nullptr, "X", "Y", "Z", nullptr);
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(outer, 0);

    // The outer box answered from inside the inner box's run: both runs keep
    // their own answers although the inner one ends last.
    inner = -1;
    Then([&] {
        MessageBoxWindow* outerBox = TopBox();
        Then([outerBox] { outerBox->PressButton(2); });
        Then([] { ClickButton(0); });
        inner = ShowMessageBox("Inner", nullptr, "A", "B", nullptr);
    });
    EXPECT_EQ(ShowMessageBox("Outer", nullptr, "X", "Y", "Z", nullptr), 2);
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(GetTopModalWindow(), nullptr);
}

}  // namespace
}  // namespace pirn_test
