// ColorButton: the swatch that opens the colour chooser, with the chooser
// answered by the headless backend's script.

#include "ui/color_button.h"

#include <vector>

#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "tests/ui/widget_fixture.h"

namespace pirn_test {
namespace {

class ColorButtonTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        headless::ResetScriptedDialogs();
        SetNativeDialogBackend(OsNativeDialogBackend());
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{100, 100, 400, 300});
        button_ = new ColorButton(owner_);
        button_->SetPosition(10, 10);
        ConnectSignal(button_->colorChanged, nullptr, [](SignalListener*, void* color) {
            Reported().push_back(*static_cast<const u32*>(color));
        });
        Reported().clear();
    }
    void TearDown() override {
        SetNativeDialogBackend(nullptr);
        headless::ResetScriptedDialogs();
        WidgetTest::TearDown();
    }
    static std::vector<u32>& Reported() {
        static std::vector<u32> colors;
        return colors;
    }
    InputEvent KeyEvent(i32 code, u32 action) { return InputEvent::Key(code, action); }

    ProbeWindow* owner_ = nullptr;
    ColorButton* button_ = nullptr;
};

TEST_F(ColorButtonTest, StartsUnsetAsAnOpaqueWhiteSwatchThatTakesFocus) {
    EXPECT_STREQ(button_->GetClassName(), "ColorButton");
    EXPECT_EQ(button_->GetFlags() & 0xFFFF, 0x8023u);
    EXPECT_EQ(button_->GetWidth(), 42);
    EXPECT_EQ(button_->GetHeight(), 20);
    EXPECT_EQ(button_->GetColor(), 0xFFFFFFFFu);

    RecordingDrawTarget target;
    DrawTarget* previous = SetDrawTarget(&target);
    button_->DrawContents();
    ASSERT_EQ(target.fills.size(), 1u);
    EXPECT_EQ(target.fills[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(target.fills[0].rect, button_->GetClientRect());
    // Focused, an outline goes round it.
    ActivateWindow(button_, kFocusByProgram);
    target.fills.clear();
    button_->DrawContents();
    EXPECT_GT(target.fills.size(), 1u);
    SetDrawTarget(previous);
}

TEST_F(ColorButtonTest, AcceptedColoursAreStoredAndReportedCancelAndSetColorAreSilent) {
    const u32 preset = PackRgba(1, 2, 3, 255);
    button_->SetColor(&preset);
    EXPECT_EQ(button_->GetColor(), preset);
    EXPECT_TRUE(Reported().empty());

    headless::QueueDialogCancel();
    EXPECT_EQ(button_->ChooseColor(), 0);
    EXPECT_EQ(button_->GetColor(), preset);
    EXPECT_TRUE(Reported().empty());

    headless::QueueColorAnswer(ColorRgb{200, 100, 50});
    EXPECT_EQ(button_->ChooseColor(), 1);
    EXPECT_EQ(button_->GetColor(), PackRgba(200, 100, 50, 255));
    EXPECT_EQ(Reported(), (std::vector<u32>{PackRgba(200, 100, 50, 255)}));
    EXPECT_EQ(headless::ColorDialogCount(), 2);
}

TEST_F(ColorButtonTest, MousePressesEnterAndSpaceChooseOtherInputDoesNot) {
    const struct {
        const char* what;
        std::function<int(ColorButton*)> send;
        int handled;
        bool opens;
    } cases[] = {
        {"Enter", [](ColorButton* b) { auto e = InputEvent::Key(kKeyEnter, 1); return b->OnKey(e); }, 1, true},
        {"Space", [](ColorButton* b) { auto e = InputEvent::Key(kKeySpace, 1); return b->OnKey(e); }, 1, true},
        {"Enter released", [](ColorButton* b) { auto e = InputEvent::Key(kKeyEnter, 0); return b->OnKey(e); }, 0,
         false},
        {"another key", [](ColorButton* b) { auto e = InputEvent::Key('A', 1); return b->OnKey(e); }, 0, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        const int before = headless::ColorDialogCount();
        headless::QueueColorAnswer(ColorRgb{9, 8, 7});
        EXPECT_EQ(k.send(button_), k.handled);
        EXPECT_EQ(headless::ColorDialogCount() - before, k.opens ? 1 : 0);
        headless::ResetScriptedDialogs();
    }
    // A click: the press opens the chooser, the release does nothing more.
    headless::QueueColorAnswer(ColorRgb{4, 5, 6});
    const Rect& f = button_->GetFrameScreenRect();
    MoveTo((f.left + f.right) / 2, (f.top + f.bottom) / 2);
    Press();
    EXPECT_EQ(button_->GetColor(), PackRgba(4, 5, 6, 255));
    Release();
    EXPECT_EQ(headless::ColorDialogCount(), 1);
}

}  // namespace
}  // namespace pirn_test
