// In-place editing popup of text boxes.

#include "ui/text_popup.h"

#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

TextPopup::TextPopup(Window* owner, TextBox* box) : Window(kStyle, owner), box_(box) {
    if (!box_) return;
    boxParent_ = box_->GetParent();
    boxFrame_ = box_->GetFrame();
    SetParent(box_, this);
    ConnectSignal<&TextPopup::OnCommit>(box_->commit, this);
}

TextPopup::~TextPopup() { ReleaseBox(); }

void TextPopup::OnCommit(i32 pressed) {
    if (pressed && IsModal(this, false)) EndModal(this, 1);
}

void TextPopup::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction()) return;
    const Rect& f = GetFrameScreenRect();
    const bool inside = e.X() >= f.left && e.X() < f.right && e.Y() >= f.top && e.Y() < f.bottom;
    if (inside) return;
    // The press is meant for whatever lies under the pointer: post it again
    // so that it arrives there once the run has ended.
    InputEvent again = e;
    PostEvent(kEventButton, &again);
    if (IsModal(this, false)) EndModal(this, 1);
}

void TextPopup::ReleaseBox() {
    if (!box_) return;
    TextBox* box = box_;
    box_ = nullptr;
    DisconnectSignal(box->commit, this);
    if (box->GetParent() != this) return;
    SetParent(box, boxParent_);
    if (boxParent_) SetFrame(box, boxFrame_);
}

void TextPopup::OnDestroy() { ReleaseBox(); }

void TextBox::EditInPopup(Window* owner, const Rect& rect, TextBox* box) {
    if (!owner || !box) return;
    auto* popup = new TextPopup(owner, box);
    Rect r = rect;
    owner->ScreenToClientRects(&r, 1);
    SetFrame(popup, r);
    RaiseWindow(popup);
    SetFrame(box, Rect{0, 0, popup->GetClientWidth(), popup->GetClientHeight()});
    box->SelectAll();
    RunModal(popup, kModalMouseOutside, nullptr);
    DestroyWindow(popup);
}

}  // namespace pirn
