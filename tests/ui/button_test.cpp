// Push buttons and check boxes: states and signals, mouse tracking,
// keyboard, focus loss, sizing.

#include "ui/button.h"

#include <string>
#include <vector>

#include "tests/ui/widget_fixture.h"
#include "ui/check_box.h"

namespace pirn_test {
namespace {

// Records the two signals of a button in the order they come.
struct ClickLog : SignalListener {
    void Watch(Button* b) {
        ConnectSignal<&ClickLog::OnId>(b->clickedWithId, this);
        ConnectSignal<&ClickLog::OnClick>(b->clicked, this);
    }
    void OnId(i32 id) { log.push_back("id" + std::to_string(id)); }
    void OnClick() { log.push_back("click"); }
    std::vector<std::string> log;
};

class ButtonTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{100, 100, 400, 300});
        push_ = new Button(owner_, 7);
        push_->SetTitle("Push");
        SetFrame(push_, Rect{10, 10, 90, 34});
        check_ = new CheckBox(owner_, 9);
        check_->SetTitle("Check");
        SetFrame(check_, Rect{10, 60, 150, 80});
        log_.Watch(push_);
        checkLog_.Watch(check_);
    }
    Point Center(const Window* w) const {
        const Rect& f = w->GetFrameScreenRect();
        return Point{(f.left + f.right) / 2, (f.top + f.bottom) / 2};
    }

    ProbeWindow* owner_ = nullptr;
    Button* push_ = nullptr;
    CheckBox* check_ = nullptr;
    ClickLog log_, checkLog_;
};

TEST_F(ButtonTest, SetStateReportsClicksIdFirst) {
    push_->SetState(Button::kChecked, false);
    EXPECT_EQ(push_->GetState(), Button::kUp);  // a push button never stays down
    EXPECT_EQ(log_.log, (std::vector<std::string>{"id7", "click"}));
    push_->SetState(Button::kUp, false);  // 0 is no click on a push button
    EXPECT_EQ(log_.log.size(), 2u);

    check_->SetState(Button::kChecked, true);  // silent
    EXPECT_TRUE(check_->IsChecked());
    EXPECT_TRUE(checkLog_.log.empty());
    // A toggle reports every non-silent 0 or 1, also when nothing changes.
    check_->SetState(Button::kChecked, false);
    check_->SetState(Button::kUp, false);
    check_->SetState(Button::kUp, false);
    EXPECT_EQ(checkLog_.log, (std::vector<std::string>{"id9", "click", "id9", "click", "id9", "click"}));
    check_->SetState(Button::kPressedUnchecked, false);
    EXPECT_EQ(checkLog_.log.size(), 6u);
}

TEST_F(ButtonTest, MouseClickCompletesOnlyOnReleaseInside) {
    const Point c = Center(push_);
    MoveTo(c.x, c.y);
    Press();
    EXPECT_EQ(push_->GetState(), Button::kPressedUnchecked);
    MoveTo(c.x + 200, c.y);  // out: back to the state at press
    EXPECT_EQ(push_->GetState(), Button::kUp);
    MoveTo(c.x, c.y);  // in again: pressed
    EXPECT_EQ(push_->GetState(), Button::kPressedUnchecked);
    Release();
    EXPECT_EQ(push_->GetState(), Button::kUp);
    EXPECT_EQ(log_.log, (std::vector<std::string>{"id7", "click"}));

    headless::AdvanceTime(1.0);
    MoveTo(c.x, c.y);
    Press();
    MoveTo(c.x + 200, c.y);
    Release();
    EXPECT_EQ(log_.log.size(), 2u);  // released outside: no click
    EXPECT_FALSE(IsDragRunning());
}

TEST_F(ButtonTest, CheckBoxDraggedOutAndBackTogglesOnce) {
    const Point c = Center(check_);
    MoveTo(c.x, c.y);
    Press();
    EXPECT_EQ(check_->GetState(), Button::kPressedUnchecked);
    MoveTo(c.x, c.y + 100);
    EXPECT_EQ(check_->GetState(), Button::kUp);
    MoveTo(c.x, c.y);
    Release();
    EXPECT_TRUE(check_->IsChecked());

    headless::AdvanceTime(1.0);
    Press();
    EXPECT_EQ(check_->GetState(), Button::kPressedChecked);
    MoveTo(c.x, c.y + 100);
    Release();  // outside: stays checked
    EXPECT_TRUE(check_->IsChecked());
    headless::AdvanceTime(1.0);
    MoveTo(c.x, c.y);
    Press();
    Release();
    EXPECT_EQ(check_->GetState(), Button::kUp);
}

TEST_F(ButtonTest, KeysActOnPressAndReleaseOtherKeysCancel) {
    ActivateWindow(push_, kFocusByProgram);
    Key(kKeySpace);
    EXPECT_EQ(log_.log, (std::vector<std::string>{"id7", "click"}));
    HandleKeyInput(kKeyEnter, 1);
    DrainEventQueue();
    EXPECT_EQ(push_->GetState(), Button::kPressedUnchecked);
    Key('A');  // cancels: back up, nothing reported
    EXPECT_EQ(push_->GetState(), Button::kUp);
    HandleKeyInput(kKeyEnter, 0);
    DrainEventQueue();
    EXPECT_EQ(log_.log.size(), 2u);

    ActivateWindow(check_, kFocusByProgram);
    Key(kKeyEnter);
    EXPECT_TRUE(check_->IsChecked());
    HandleKeyInput(kKeySpace, 1);
    DrainEventQueue();
    EXPECT_EQ(check_->GetState(), Button::kPressedChecked);
    Key('A');  // a toggle is left alone by other keys
    EXPECT_EQ(check_->GetState(), Button::kPressedChecked);
    HandleKeyInput(kKeySpace, 0);
    DrainEventQueue();
    EXPECT_EQ(check_->GetState(), Button::kUp);
}

TEST_F(ButtonTest, FocusLossRestoresAPressedButton) {
    ActivateWindow(push_, kFocusByProgram);
    HandleKeyInput(kKeySpace, 1);
    DrainEventQueue();
    ActivateWindow(check_, kFocusByProgram);
    EXPECT_EQ(push_->GetState(), Button::kUp);
    EXPECT_TRUE(log_.log.empty());

    check_->SetState(Button::kPressedChecked, true);
    ActivateWindow(push_, kFocusByProgram);
    EXPECT_EQ(check_->GetState(), Button::kChecked);
}

TEST_F(ButtonTest, DisabledButtonsIgnorePressesAndKeys) {
    push_->SetEnabled(false);
    const Point c = Center(push_);
    MoveTo(c.x, c.y);
    Press();
    EXPECT_FALSE(IsDragRunning());
    Release();
    ActivateWindow(push_, kFocusByProgram);
    Key(kKeySpace);
    EXPECT_EQ(push_->GetState(), Button::kUp);
    EXPECT_TRUE(log_.log.empty());
}

TEST_F(ButtonTest, LabelColoursAndFocusOutline) {
    // The label's colour is set just before the text is laid out: white, or
    // the theme's disabled label colour; focus adds a 2-px outline inside
    // the face.
    RecordingDrawTarget target;
    DrawTarget* previous = SetDrawTarget(&target);
    push_->DrawContents();
    EXPECT_EQ(target.color, 0xFFFFFFFFu);
    EXPECT_TRUE(target.fills.empty());
    push_->SetEnabled(false);
    push_->DrawContents();
    EXPECT_EQ(target.color, kSkinDisabledLabelColor);
    push_->SetEnabled(true);
    ActivateWindow(push_, kFocusByProgram);
    push_->DrawContents();
    // Face 80 x 18 (24 less 6), outline 2 px in from the right edge.
    ASSERT_EQ(target.fills.size(), 4u);
    EXPECT_EQ(target.fills[0].rect, (Rect{0, 0, 78, 2}));
    EXPECT_EQ(target.fills[1].rect, (Rect{0, 16, 78, 18}));
    SetDrawTarget(previous);
}

TEST_F(ButtonTest, SizesFollowTheSkinAndTheTitle) {
    // Minimum width 6 + 6 + 24 = 36, cap height 24; 8 px a character.
    struct Case {
        const char* title;
        i32 width;
    } cases[] = {{"OK", 64}, {"Cancel", 64}, {"Don't Quit", 96}, {"A rather long title", 176}};
    for (const Case& c : cases) {
        push_->SetTitle(c.title);
        push_->SizeToFit();
        EXPECT_EQ(push_->GetWidth(), c.width) << c.title;
        EXPECT_EQ(push_->GetHeight(), 24) << c.title;
    }
    EXPECT_EQ(GetButtonHeight(kLineHeight), 24);
    EXPECT_EQ(GetButtonHeight(30), 30);

    check_->SizeToFit();  // box 13 + 8 + "Check" 40, the line height
    EXPECT_EQ(check_->GetWidth(), 61);
    EXPECT_EQ(check_->GetHeight(), kLineHeight);
    EXPECT_STREQ(push_->GetClassName(), "Button");
    EXPECT_STREQ(check_->GetClassName(), "CheckBox");
    EXPECT_EQ(push_->GetFlags(), 0x8003u);
}

}  // namespace
}  // namespace pirn_test
