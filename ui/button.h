#pragma once
// Button: the push button of the toolkit, and the base of the check box and
// the combo box's drop-down button. It takes the keyboard focus, shows its
// title as the label and reports a click through two signals: first the one
// carrying its id (the window id given to the constructor), then the one
// without arguments.

#include "platform/types.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class Button : public Window {
public:
    // States. A push button only ever rests in kUp; a toggle rests in kUp
    // (unchecked) or kChecked.
    enum : u32 {
        kUp = 0,
        kChecked = 1,
        kPressedChecked = 2,
        kPressedUnchecked = 3,
    };
    static constexpr u32 kStyle = kVisible | kEnabled | kTakesFocus;  // 0x8003
    // Width the title gets beyond its text in SizeToFit.
    static constexpr i32 kSizeToFitExtra = 28;
    // The face stops this far above the bottom of the button.
    static constexpr i32 kFaceBottomGap = 6;

    Button(Window* parent, i32 id);
    ~Button() override;

    const char* GetClassName() const override { return "Button"; }
    void CalcClientRect(const Rect& frame, Rect* out) override { Window::CalcClientRect(frame, out); }
    void GetMinimumSize(Point* out, Point content) override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnFocusLost(Window* newFocus, int reason) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    void OnMouseLeave() override;

    // Stores the state and reports a click when asked for state 1, or for
    // state 0 on a toggle; silent suppresses the signals. A push button never
    // stays in state 1.
    virtual void SetState(u32 state, bool silent);
    // Width: the larger of the minimum button width and the title's width,
    // plus 28, rounded down to a multiple of 16; height: the larger of the
    // minimum button height and the line height.
    virtual void SizeToFit();

    u32 GetState() const { return state_; }
    bool IsToggle() const { return toggles_ != 0; }
    bool IsChecked() const { return state_ == kChecked; }

    // Keyboard handling shared with dialogs, which press their OK and Cancel
    // buttons for Enter and Esc: a press shows the button pressed, a release
    // completes the click, a cancel puts it back.
    void KeyPress();
    void KeyRelease();
    void KeyCancel();

    SignalInt clickedWithId;  // emitted first, with the button's id
    SignalNone clicked;       // emitted second

protected:
    u32 toggles_ = 0;
    u32 state_ = kUp;
    u32 stateAtPress_ = kUp;
    // A press that came while another drag held the pointer (a box opened by
    // a drop handler): followed through the button's own events instead.
    bool pressedWithoutDrag_ = false;
};

// The larger of the text height and the skin's minimum button height.
i32 GetButtonHeight(i32 textHeight);

}  // namespace pirn
