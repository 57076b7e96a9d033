// Dialog base: buttons and layout, Enter / Esc, vetoes, close requests, and
// modal runs that end only their own dialog.

#include "ui/dialog_window.h"

#include "tests/ui/widget_fixture.h"

namespace pirn_test {
namespace {

class TestDialog : public DialogWindow {
public:
    int OnOK() override {
        okAsks++;
        return allowOk;
    }
    int OnCancel() override {
        cancelAsks++;
        return allowCancel;
    }
    int okAsks = 0, cancelAsks = 0;
    int allowOk = 1, allowCancel = 1;
};

class DialogWindowTest : public WidgetTest {
protected:
    TestDialog* MakeDialog() {
        auto* d = new TestDialog();
        d->SetClientSize(200, 100);
        d->CenterInParent();
        return d;
    }
};

TEST_F(DialogWindowTest, ButtonsAndLayout) {
    TestDialog* d = MakeDialog();
    EXPECT_EQ(d->GetParent(), GetLayerWindow(1));
    EXPECT_EQ(d->GetFlags(), 0x402EFu);
    Button* ok = d->GetOkButton();
    Button* cancel = d->GetCancelButton();
    EXPECT_EQ(ok->GetId(), 0);
    EXPECT_EQ(cancel->GetId(), 1);
    EXPECT_STREQ(ok->GetTitle(), "OK");
    EXPECT_STREQ(cancel->GetTitle(), "Cancel");
    EXPECT_EQ(ok->GetWidth(), 64);
    EXPECT_EQ(cancel->GetWidth(), 64);
    const i32 bh = ok->GetHeight();
    EXPECT_EQ(bh, 24);

    // The controls' area is 200 x 100 inside 16-px margins above the buttons.
    EXPECT_EQ(d->Window::GetClientSize().x, 232);
    EXPECT_EQ(d->Window::GetClientSize().y, 100 + bh + 32);
    EXPECT_EQ(d->GetClientRect(), (Rect{16, 16, 216, 116}));
    EXPECT_EQ(d->GetClientSize().x, 200);
    EXPECT_EQ(d->GetClientSize().y, 100);
    const i32 ch = d->Window::GetClientHeight();
    EXPECT_EQ(cancel->GetFrame(), MakeRect(232 - 16 - 64, ch - bh - 8, 64, bh));
    EXPECT_EQ(ok->GetFrame(), MakeRect(232 - 16 - 64 - 8 - 64, ch - bh - 8, 64, bh));

    // Never smaller than the button row.
    SetSize(d, 10, 10);
    Point minimum;
    d->GetMinimumSize(&minimum, Point{0, 0});
    EXPECT_EQ(d->GetWidth(), minimum.x);
    EXPECT_EQ(d->Window::GetClientWidth(), 168 + 64);  // the style's large minimum adds 64

    auto* field = new ProbeWindow(Window::kVisible | Window::kTakesFocus, d, "field");
    d->LinkButtonsAfter(field);
    EXPECT_EQ(field->GetTabNext(), ok);
    EXPECT_EQ(ok->GetTabNext(), cancel);
    EXPECT_EQ(cancel->GetTabNext(), field);
}

TEST_F(DialogWindowTest, EnterAndEscPressOkAndCancel) {
    struct Case {
        int key;
        i64 result;
    } cases[] = {{kKeyEnter, 1}, {kKeyEsc, 0}};
    for (const Case& c : cases) {
        TestDialog* d = MakeDialog();
        Then([] {});
        Then([&] {
            HandleKeyInput(c.key, 1);
        });
        Then([&] {
            Button* b = c.key == kKeyEnter ? d->GetOkButton() : d->GetCancelButton();
            EXPECT_EQ(b->GetState(), Button::kPressedUnchecked);  // shown pressed until the release
            HandleKeyInput(c.key, 0);
        });
        EXPECT_EQ(RunModal(d, 0, nullptr), c.result) << c.key;
        EXPECT_FALSE(d->IsVisible());
        EXPECT_EQ(GetTopModalWindow(), nullptr);
        DestroyWindow(d);
    }
}

TEST_F(DialogWindowTest, AnotherKeyCancelsTheKeyboardButton) {
    TestDialog* d = MakeDialog();
    Then([] { HandleKeyInput(kKeyEnter, 1); });
    Then([] { HandleKeyInput('A', 1); });  // cancel: OK back up
    Then([d] {
        EXPECT_EQ(d->GetOkButton()->GetState(), Button::kUp);
        EXPECT_EQ(d->GetKeyboardButton(), nullptr);
        HandleKeyInput(kKeyEnter, 0);
        HandleKeyInput('A', 0);
    });
    Then([] {});
    Then([d] {
        EXPECT_TRUE(IsModal(d, true));  // nothing was clicked
        PostClick(d->GetCancelButton());
    });
    EXPECT_EQ(RunModal(d, 0, nullptr), 0);
    EXPECT_EQ(d->okAsks, 0);
    EXPECT_EQ(d->cancelAsks, 1);
}

TEST_F(DialogWindowTest, RefusedOkBeepsAndStaysModal) {
    TestDialog* d = MakeDialog();
    d->allowOk = 0;
    const int beeps = Beeps();
    Then([] { PostKey(kKeyEnter); });
    Then([d] { PostClick(d->GetOkButton()); });
    Then([d] {
        EXPECT_TRUE(IsModal(d, true));
        EXPECT_TRUE(d->IsVisible());
        PostKey(kKeyEsc);
    });
    EXPECT_EQ(RunModal(d, 0, nullptr), 0);
    EXPECT_EQ(d->okAsks, 2);
    EXPECT_EQ(Beeps(), beeps + 2);
    EXPECT_EQ(d->CloseWithButton(5), 0);  // other ids do nothing
}

TEST_F(DialogWindowTest, CloseRequestAsksCancel) {
    TestDialog* d = MakeDialog();
    d->allowCancel = 0;
    BeginModal(d, 0);
    const int beeps = Beeps();
    EXPECT_FALSE(d->Close(1));
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_TRUE(IsModal(d, true));
    d->allowCancel = 1;
    EXPECT_TRUE(d->Close(1));
    EXPECT_FALSE(IsModal(d, false));
    EXPECT_TRUE(d->IsDestroyed());
}

TEST_F(DialogWindowTest, EachDialogEndsItsOwnRun) {
    TestDialog* outer = MakeDialog();
    TestDialog* inner = MakeDialog();
    i64 innerResult = -1;
    Then([&] {
        // A dialog opened from inside the outer one's run.
        Then([&] {
            // The outer dialog is pressed by the program while the inner
            // one is on top: only the outer run ends.
            outer->CloseWithButton(DialogWindow::kOkId);
            EXPECT_TRUE(IsModal(inner, true));
        });
        Then([&] { PostKey(kKeyEsc); });
        innerResult = inner->RunDialog(0);
    });
    const i64 outerResult = outer->RunDialog(0);
    EXPECT_EQ(innerResult, 0);
    EXPECT_EQ(outerResult, 1);
    EXPECT_EQ(GetTopModalWindow(), nullptr);
    EXPECT_TRUE(TopFilterIsDefault());
}

}  // namespace
}  // namespace pirn_test
