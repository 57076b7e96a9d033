// Input boxes: the field's place and start, Enter through the field's commit
// signal, the text handed back only when a button was pressed.

#include "ui/input_box.h"

#include <string>

#include "tests/ui/widget_fixture.h"
#include "ui/button.h"
#include "ui/message_box_window.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

class InputBoxTest : public WidgetTest {
protected:
    static MessageBoxWindow* TopBox() { return dynamic_cast<MessageBoxWindow*>(GetTopModalWindow()); }
    static TextBox* Field() {
        MessageBoxWindow* box = TopBox();
        return box ? dynamic_cast<TextBox*>(box->GetField()) : nullptr;
    }
    static void Type(const char* text) {
        for (const char* c = text; *c; c++) HandleCharInput(static_cast<u8>(*c), 1);
    }
};

TEST_F(InputBoxTest, FieldStartsSelectedAndTheButtonHandsTheTextBack) {
    std::string name = "old name";
    Then([] {
        MessageBoxWindow* box = TopBox();
        TextBox* field = Field();
        ASSERT_NE(field, nullptr);
        EXPECT_STREQ(box->GetTitle(), "Enter Name for Duplicate Tag");
        EXPECT_EQ(field->GetKind(), TextBox::kTextField);
        EXPECT_EQ(field->GetText(), "old name");
        EXPECT_EQ(field->GetSelectedText(), "old name");
        EXPECT_EQ(GetFocusWindow(), field);
        // Buttons 96 + 24 + 96 wide; the field stands where a text would.
        EXPECT_EQ(field->GetFrame(), MakeRect(32, 32, 216, field->GetHeight()));
        EXPECT_EQ(box->GetButton(0)->GetFrame().top, field->GetHeight() + 24 + 32);
        Type("copy");  // replaces the selection
    });
    Then([] {
        EXPECT_EQ(Field()->GetText(), "copy");
        PostClick(TopBox()->GetButton(0));
    });
    EXPECT_EQ(ShowInputBox("Enter Name for Duplicate Tag", &name, "OK", "Cancel", nullptr), 0);
    EXPECT_EQ(name, "copy");
}

TEST_F(InputBoxTest, EnterInTheFieldPressesTheFirstButton) {
    std::string name = "abc";
    Then([] {
        HandleKeyInput(kKeyEnter, 1);
    });
    Then([] {
        EXPECT_EQ(TopBox()->GetButton(0)->GetState(), Button::kPressedUnchecked);
        HandleKeyInput(kKeyEnter, 0);
    });
    EXPECT_EQ(ShowInputBox("Enter Name for Tag", &name, "Create Tag", "Cancel", nullptr), 0);
    EXPECT_EQ(name, "abc");
}

TEST_F(InputBoxTest, TheReleaseOfAnEnterPressedBeforeTheBoxDoesNotAnswerIt) {
    // A menu item chosen with Enter asks for a name: the key's release comes
    // to the new field and must not accept the name unseen.
    std::string name = "untouched";
    HandleKeyInput(kKeyEnter, 1);
    DrainEventQueue();
    Then([] { HandleKeyInput(kKeyEnter, 0); });
    Then([] {
        ASSERT_NE(TopBox(), nullptr) << "the box was answered by the release";
        EXPECT_EQ(TopBox()->GetButton(0)->GetState(), Button::kUp);
        Type("new");
    });
    Then([] { PostClick(TopBox()->GetButton(0)); });
    EXPECT_EQ(ShowInputBox("Enter Name for Tag", &name, "Create Tag", "Cancel", nullptr), 0);
    EXPECT_EQ(name, "new");
}

TEST_F(InputBoxTest, UnansweredBoxLeavesTheTextAlone) {
    std::string name = "keep";
    Then([] { Type("xyz"); });
    frames_ = 0;
    frameLimit_ = 4;
    EXPECT_EQ(ShowInputBox("Enter Name", &name, "OK", "Cancel", nullptr), 1);
    EXPECT_EQ(name, "keep");
    frameLimit_ = 1000;
}

}  // namespace
}  // namespace pirn_test
