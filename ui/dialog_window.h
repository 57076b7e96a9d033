#pragma once
// DialogWindow: the base of the system's dialogs. A top-level window in the
// popup layer with an OK and a Cancel button in its bottom-right corner, a
// 16-px margin around the area for its own controls, and a modal result
// (1 for OK, 0 for Cancel). Enter presses OK and Esc presses Cancel while the
// dialog is the top modal window; subclasses may refuse either.

#include "platform/types.h"
#include "ui/button.h"
#include "ui/window.h"

namespace pirn {

class DialogWindow : public Window {
public:
    // Visible, enabled, title bar, shadow, thick border, resizable,
    // background, large minimum, popup layer.
    static constexpr u32 kStyle = 0x402EF;
    static constexpr i32 kMargin = 16;
    static constexpr i32 kButtonWidth = 64;
    static constexpr i32 kButtonGap = 8;
    static constexpr i32 kOkId = 0;
    static constexpr i32 kCancelId = 1;

    DialogWindow();
    ~DialogWindow() override;

    const char* GetClassName() const override { return "DialogWindow"; }
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;
    void GetMinimumSize(Point* out, Point content) override;
    int OnCloseRequest(int byUser) override;
    void Layout() override;

    // Non-zero lets OK (resp. Cancel or a close request) close the dialog.
    virtual int OnOK() { return 1; }
    virtual int OnCancel() { return 1; }

    // 0 asks OnOK, 1 asks OnCancel, other ids do nothing and return 0. A
    // refusal beeps and keeps the dialog; otherwise it is hidden and its own
    // modal run (if any) ends with 1 for OK, 0 for Cancel. Returns the answer.
    int CloseWithButton(i32 id);

    // Runs the dialog modally and returns its own answer: 1 when OK closed
    // it, 0 otherwise. The window system keeps one modal result for all
    // runs, which a nested run that ends later overwrites; the dialog's own
    // record cannot be.
    i64 RunDialog(u32 flags);
    // 1 after OK, 0 after Cancel or a close request, -1 before either.
    i64 GetResult() const { return result_; }

    // The area for the dialog's own controls, in client coordinates: the
    // client area less the margins and the button row. (These hide Window's
    // client-area helpers of the same names on purpose.)
    Rect GetClientRect() const;
    Point GetClientSize() const;
    // Sizes the dialog so that that area is w x h.
    void SetClientSize(i32 w, i32 h);
    // Tab order control -> OK -> Cancel -> the control's former next.
    void LinkButtonsAfter(Window* control);

    Button* GetOkButton() const { return ok_; }
    Button* GetCancelButton() const { return cancel_; }
    // The button Enter or Esc is pressing now (null when none).
    Button* GetKeyboardButton() const { return keyboardButton_; }

private:
    void OnButtonClicked(i32 id) { CloseWithButton(id); }
    i32 ButtonHeight() const;

    Button* ok_ = nullptr;
    Button* cancel_ = nullptr;
    Button* keyboardButton_ = nullptr;
    i64 result_ = -1;
};

}  // namespace pirn
