// Push button: states, mouse tracking, keyboard, drawing.

#include "ui/button.h"

#include <algorithm>

#include "platform/os/key_codes.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"

namespace pirn {

namespace {

bool IsActionKey(i32 code) { return code == kKeySpace || code == kKeyEnter; }
}  // namespace

Button::Button(Window* parent, i32 id) : Window(kStyle, parent) { SetId(id); }

Button::~Button() = default;

i32 GetButtonHeight(i32 textHeight) {
    i32 minHeight = 0;
    GetButtonMinimumSize(GetSkin(), nullptr, &minHeight);
    return std::max(textHeight, minHeight);
}

void Button::GetMinimumSize(Point* out, Point content) {
    i32 padX = 0, padY = 0;
    GetButtonPadding(GetSkin(), &padX, &padY);
    Window::GetMinimumSize(out, Point{content.x + padX, content.y + padY});
}

void Button::SetState(u32 state, bool silent) {
    const bool click = state == kChecked || (state == kUp && toggles_);
    if (!toggles_ && state == kChecked) state = kUp;
    if (state_ != state) {
        InvalidateFrame();
        state_ = state;
    }
    if (click && !silent) {
        // Slots may close the dialog this button sits in; the window itself
        // is only deleted by the next frame step, so the second emission is
        // still safe.
        clickedWithId.Emit(GetId());
        clicked.Emit();
    }
}

void Button::SizeToFit() {
    i32 minWidth = 0, minHeight = 0;
    GetButtonMinimumSize(GetSkin(), &minWidth, &minHeight);
    const i32 textWidth = GetTextWidth(GetTitle());
    const i32 width = (std::max(minWidth, textWidth) + kSizeToFitExtra) & ~15;
    const i32 height = std::max(minHeight, GetLineHeight());
    SetSize(width, height);
}

void Button::OnMouseButton(InputEvent& e) {
    if (!IsEnabled()) return;
    const Point at{e.X(), e.Y()};
    if (e.ButtonAction()) {
        stateAtPress_ = toggles_ ? state_ : kUp;
        if (StartDrag(this, ForwardMouseDrag)) return;
        // Only one drag runs at a time: when a message box was opened from a
        // drop handler, the drag that dropped still holds the pointer and the
        // box's buttons must still be clickable.
        pressedWithoutDrag_ = true;
        OnMouseDrag(at, at, 0);
    } else if (pressedWithoutDrag_) {
        pressedWithoutDrag_ = false;
        OnMouseDrag(at, at, 2);
    }
}

void Button::OnMouseLeave() {
    if (!pressedWithoutDrag_) return;
    // Released elsewhere: the state at press comes back.
    pressedWithoutDrag_ = false;
    SetState(stateAtPress_, false);
}

void Button::OnMouseDrag(Point start, Point pos, int phase) {
    const bool inside = HitTest(pos) == kPartClient;
    const u32 pressedLook = stateAtPress_ == kChecked ? kPressedChecked : kPressedUnchecked;
    switch (phase) {
        case 0:
            SetState(pressedLook, false);
            break;
        case 1:
            SetState(inside ? pressedLook : stateAtPress_, false);
            break;
        default:
            if (inside) SetState(stateAtPress_ == kChecked ? kUp : kChecked, false);
            else SetState(stateAtPress_, false);
            break;
    }
}

void Button::KeyPress() {
    if (state_ == kUp) SetState(kPressedUnchecked, false);
    else if (toggles_ && state_ == kChecked) SetState(kPressedChecked, false);
}

void Button::KeyRelease() {
    if (state_ == kPressedUnchecked) SetState(kChecked, false);
    else if (toggles_ && state_ == kPressedChecked) SetState(kUp, false);
}

void Button::KeyCancel() {
    // A push button goes back up (which reports nothing); a toggle keeps its
    // state.
    if (!toggles_) SetState(kUp, false);
}

int Button::OnKey(InputEvent& e) {
    if (!IsEnabled()) return 0;
    if (IsActionKey(e.Code())) {
        if (e.IsPress()) KeyPress();
        else KeyRelease();
    } else {
        KeyCancel();
    }
    // Never marks the key as handled: parents (a dialog) see it too.
    return 0;
}

void Button::OnFocusLost(Window* newFocus, int reason) {
    if (state_ == kPressedChecked) SetState(kChecked, false);
    else if (state_ == kPressedUnchecked) SetState(kUp, false);
}

void Button::DrawContents() {
    if (BeginWindowDraw(this, 0, 0)) {
        const Rect face{0, 0, GetWidth(), GetHeight() - kFaceBottomGap};
        const bool focused = HasFocus();
        DrawButtonFace(GetSkin(), face, state_ == kPressedUnchecked, focused, IsEnabled());
        if (const char* title = GetTitle()) {
            SetDrawColor(IsEnabled() ? kColorWhite : kSkinDisabledLabelColor);
            DrawTextInRect(title, 0, kTextCenter | kTextCenterVertically, face);
        }
        if (focused) DrawHighlight(Rect{face.left, face.top, face.right - 2, face.bottom},
                                   kHighlightStrong | kHighlightOutline);
    }
    EndWindowDraw(this);
}

}  // namespace pirn
