// Dialog base: OK / Cancel buttons, their keyboard shortcuts, vetoes and the
// modal result.

#include "ui/dialog_window.h"

#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "ui/window_system.h"

namespace pirn {

DialogWindow::DialogWindow() : Window(kStyle, nullptr) {
    ok_ = new Button(this, kOkId);
    ok_->SetTitle("OK");
    ok_->SizeToFit();
    ok_->SetWidth(kButtonWidth);
    cancel_ = new Button(this, kCancelId);
    cancel_->SetTitle("Cancel");
    cancel_->SizeToFit();
    cancel_->SetWidth(kButtonWidth);
    ConnectSignal<&DialogWindow::OnButtonClicked>(ok_->clickedWithId, this);
    ConnectSignal<&DialogWindow::OnButtonClicked>(cancel_->clickedWithId, this);
    Layout();
}

DialogWindow::~DialogWindow() = default;

i32 DialogWindow::ButtonHeight() const { return ok_ ? ok_->GetHeight() : 0; }

int DialogWindow::CloseWithButton(i32 id) {
    int answer = 0;
    if (id == kOkId) answer = OnOK();
    else if (id == kCancelId) answer = OnCancel();
    else return 0;
    if (!answer) {
        OsBeep();
        return 0;
    }
    result_ = id == kOkId ? 1 : 0;
    SetVisible(false);
    // Only this dialog's own run ends, wherever it is on the modal stack.
    if (IsModal(this, false)) EndModal(this, result_);
    return answer;
}

i64 DialogWindow::RunDialog(u32 flags) {
    result_ = -1;
    if (!IsVisible()) SetVisible(true);
    RunModal(this, flags, nullptr);
    return result_ == 1 ? 1 : 0;
}

int DialogWindow::HandleEvent(Window* target, u32 type, InputEvent& e) {
    if (type != kEventKey || !IsModal(this, true)) return Window::HandleEvent(target, type, e);
    if (e.IsPress()) {
        if (e.Code() == kKeyEsc) keyboardButton_ = cancel_;
        else if (e.Code() == kKeyEnter) keyboardButton_ = ok_;
        else if (keyboardButton_) {
            keyboardButton_->KeyCancel();
            keyboardButton_ = nullptr;
            return 1;
        }
        if (!keyboardButton_) return Window::HandleEvent(target, type, e);
        keyboardButton_->KeyPress();
        return 1;
    }
    if (!keyboardButton_) return Window::HandleEvent(target, type, e);
    // The next release clicks the button (which may close the dialog).
    Button* button = keyboardButton_;
    keyboardButton_ = nullptr;
    button->KeyRelease();
    return 1;
}

void DialogWindow::GetMinimumSize(Point* out, Point) {
    // Room for the two buttons whatever content size is asked about.
    Window::GetMinimumSize(out, Point{kMargin + kButtonWidth + kButtonGap + kButtonWidth + kMargin,
                                      ButtonHeight() + 2 * kMargin});
}

int DialogWindow::OnCloseRequest(int byUser) {
    if (!OnCancel()) {
        OsBeep();
        return 0;
    }
    result_ = 0;
    SetVisible(false);
    if (IsModal(this, false)) EndModal(this, 0);
    return 1;
}

void DialogWindow::Layout() {
    if (!ok_ || !cancel_) return;
    const i32 cw = GetClientWidth();
    const i32 ch = GetClientHeight();
    const i32 y = ch - ok_->GetHeight() - kButtonGap;
    const i32 cancelX = cw - kMargin - cancel_->GetWidth();
    cancel_->SetPosition(cancelX, y);
    ok_->SetPosition(cancelX - kButtonGap - ok_->GetWidth(), y);
}

Rect DialogWindow::GetClientRect() const {
    return Rect{kMargin, kMargin, GetClientWidth() - kMargin, GetClientHeight() - ButtonHeight() - kMargin};
}

Point DialogWindow::GetClientSize() const {
    return Point{GetClientWidth() - 2 * kMargin, GetClientHeight() - ButtonHeight() - 2 * kMargin};
}

void DialogWindow::SetClientSize(i32 w, i32 h) {
    Window::SetClientSize(w + 2 * kMargin, h + ButtonHeight() + 2 * kMargin);
}

void DialogWindow::LinkButtonsAfter(Window* control) {
    if (!control) return;
    Window* former = control->GetTabNext();
    control->SetTabNext(ok_);
    ok_->SetTabNext(cancel_);
    // A control that was in no ring closes one with the two buttons.
    cancel_->SetTabNext(former ? former : control);
}

}  // namespace pirn
