// Drop-down choice widget: field, button and the modal drop-down list.

#include "ui/combo_box.h"

#include <algorithm>

#include "platform/os/key_codes.h"
#include "ui/frame_step.h"
#include "ui/skin.h"
#include "ui/text_box.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kDropdownModalFlags = kModalKeysOutside | kModalMouseOutside | kModalEndOnClose;  // 11
constexpr int kDefaultDropdownRows = 8;

i64 AreaOnScreen(const Rect& r) {
    Rect a = r;
    if (!RectIntersect(&a, GetScreenRect())) return 0;
    return static_cast<i64>(a.Width()) * a.Height();
}

}  // namespace

// ---- DropdownButton ----

ComboBox::DropdownButton::DropdownButton(Window* parent) : Button(parent, 0) { Window::SetTitle("ComboBox Button"); }

void ComboBox::DropdownButton::GetMinimumSize(Point* out, Point content) {
    out->x = std::max(content.x, kButtonWidth);
    out->y = std::max(content.y, kButtonWidth);
}

void ComboBox::DropdownButton::DrawContents() {
    if (BeginWindowDraw(this, 0, 0)) DrawComboBoxArrow(GetSkin(), GetLocalFrameRect(), IsEnabled(), GetState() != kUp);
    EndWindowDraw(this);
}

FocusAnswer ComboBox::DropdownButton::OnFocusGained(Window* oldFocus, int reason) {
    return GetParent() ? PassFocusTo(GetParent()) : kFocusAccept;
}

// ---- ComboBox ----

ComboBox::ComboBox(Window* parent, u32 flags) : Window(kStyle, parent), flags_box_(flags) {
    SetTitle("ComboBox");
    field_ = new TextBox(IsEditable() ? TextBox::kTextField : TextBox::kLabel, this);
    field_->SetTitle("ComboBox Textfield");
    button_ = new DropdownButton(this);
    list_ = new ListWindow(kListFlags, kBackground | kThinBorder, this);
    list_->SetTitle("ComboBox List");
    list_->RemoveFlags(kTakesFocus);
    pirn::SetVisible(list_, false);
    if (IsEditable()) {
        SetFocusProxy(field_);
        list_->SetFocusProxy(field_);
    }
    ConnectSignal<&ComboBox::OnListSelection>(list_->selectionChanged, this);
    ConnectSignal<&ComboBox::OnListActivated>(list_->activated, this);
    ConnectSignal<&ComboBox::OnButtonClicked>(button_->clicked, this);
    SetWidth(kDefaultWidth);
}

ComboBox::~ComboBox() = default;

i32 ComboBox::ClosedHeight() const { return std::max(kMinimumHeight, GetLineHeight()); }

void ComboBox::PlaceChildren(bool open) {
    const i32 h = ClosedHeight();
    const i32 w = width_;
    const i32 fieldTop = open && above_ ? listHeight_ : 0;
    SetFrame(field_, Rect{0, fieldTop, w - kButtonWidth, fieldTop + h});
    SetFrame(button_, Rect{w - kButtonWidth, fieldTop, w, fieldTop + h});
    const i32 listTop = open && above_ ? 0 : h;
    SetFrame(list_, Rect{0, listTop, w - kButtonWidth, listTop + listHeight_});
}

void ComboBox::Layout() { PlaceChildren(open_); }

void ComboBox::SetWidth(i32 w) {
    width_ = std::max(w, kButtonWidth);
    pirn::SetSize(this, width_, open_ ? ClosedHeight() + listHeight_ : ClosedHeight());
    PlaceChildren(open_);
}

void ComboBox::FitDropdown(int rows, bool widen) {
    const i32 itemRows = list_->GetRowCount();
    fitted_ = true;
    listHeight_ = GetLineHeight() * std::min<i32>(itemRows + 1, std::max(rows, 1));
    if (widen) {
        i32 widest = 0;
        for (ListItem* it = list_->GetFirstItem(); it; it = it->next)
            widest = std::max(widest, list_->GetTextWidth(it->text.c_str()));
        width_ = WidthToShowText(widest);
    }
    SetWidth(width_);
}

i32 ComboBox::WidthToShowText(i32 textWidth) const {
    // The open list has a scroll bar beside its rows whenever it is at
    // least a row high: it takes its width from the names.
    return list_->FrameWidthForRowText(textWidth) + kButtonWidth;
}

ListItem* ComboBox::AddItem(void* data, const char* text, bool atFront) {
    itemsAdded_ = true;
    return list_->AddItem(nullptr, 0, ListItem::kTextItem | (atFront ? ListItem::kInsertFirst : 0u), data, text);
}

void ComboBox::Clear() {
    suppress_ = true;
    list_->RemoveAllItems();
    field_->SetText("");
    suppress_ = false;
}

void ComboBox::SelectItem(ListItem* item) {
    if (!item) return;
    suppress_ = true;
    list_->SelectItem(item, false);
    list_->RevealItem(item);
    field_->SetText(item->text);
    if (IsEditable() && HasFocus()) field_->SelectAll();
    suppress_ = false;
    Invalidate();
}

void ComboBox::SelectByData(const void* value) {
    if (ListItem* item = list_->FindItemByData(value, nullptr)) SelectItem(item);
}

void* ComboBox::GetSelectedData() const {
    const ListItem* item = list_->GetCurrentItem();
    return item ? item->userData : nullptr;
}

ListItem* ComboBox::GetTopItem() const { return list_->GetTopRow(); }

void ComboBox::SortItems() { list_->Sort(); }

void ComboBox::OpenDropdown(bool typed) {
    if (typed && field_->HasFocus()) {
        const std::string text = field_->GetText();
        if (!text.empty()) list_->TypeAhead(text);
    }
    if (!open_) {
        open_ = true;
        typed_ = typed;
        if (IsEditable()) {
            ActivateWindow(field_, kFocusByProgram);
            if (!typed) field_->SelectAll();
        }
        // Until an owner fits the list, it follows the items it has now.
        if (!fitted_)
            listHeight_ = GetLineHeight() * std::min<i32>(list_->GetRowCount() + 1, kDefaultDropdownRows);
        closedFrame_ = GetFrame();
        const Rect& f = GetFrameScreenRect();
        const i32 h = ClosedHeight();
        const Rect below{f.left, f.top, f.right, f.top + h + listHeight_};
        const Rect aboveRect{f.left, f.top - listHeight_, f.right, f.top + h};
        // Above only when strictly more of it is on screen.
        above_ = AreaOnScreen(aboveRect) > AreaOnScreen(below);
        const i32 dy = above_ ? -listHeight_ : 0;
        SetFrame(this, Rect{closedFrame_.left, closedFrame_.top + dy, closedFrame_.right,
                            closedFrame_.top + dy + h + listHeight_});
        PlaceChildren(true);
        RaiseWindow(this);
        if (itemsAdded_) {
            list_->UpdateScrollRange();
            itemsAdded_ = false;
        }
        AddFlags(kShadow);
        pirn::SetVisible(list_, true);
        if (ListItem* current = list_->GetCurrentItem()) list_->RevealItem(current);
    }
    if (!IsModal(this, false)) {
        RunModal(this, kDropdownModalFlags, nullptr);
        CloseDropdown();
    }
}

void ComboBox::CloseDropdown() {
    if (!open_) return;
    open_ = false;
    pirn::SetVisible(list_, false);
    RemoveFlags(kShadow);
    InvalidateFrame();
    SetFrame(this, Rect{closedFrame_.left, closedFrame_.top, closedFrame_.left + width_,
                        closedFrame_.top + ClosedHeight()});
    PlaceChildren(false);
    // An emptied editable field falls back to the first row in view; a label
    // always shows what was picked.
    ListItem* pick = IsEditable() && field_->GetText().empty() ? list_->GetTopRow() : list_->GetCurrentItem();
    if (!pick) pick = list_->GetTopRow();
    SelectItem(pick);
    if (IsModal(this, false)) EndModal(this, 0);
}

void ComboBox::OnListSelection() {
    if (suppress_) return;
    if (IsEditable() && !field_->HasFocus()) CloseDropdown();
    ListItem* item = list_->GetCurrentItem();
    selectionChanged.Emit(reinterpret_cast<intptr_t>(item), reinterpret_cast<intptr_t>(item ? item->userData : nullptr));
}

void ComboBox::OnListActivated(void*) { CloseDropdown(); }

void ComboBox::OnButtonClicked() {
    if (open_) CloseDropdown();
    else OpenDropdown(false);
}

void ComboBox::MoveFocusByTab(bool backwards) {
    Window* w = backwards ? GetTabPrev() : GetTabNext();
    for (Window* start = w; w && w != this; w = backwards ? w->GetTabPrev() : w->GetTabNext()) {
        if (w->IsEnabled() && w->IsShownOnScreen()) {
            ActivateWindow(w, kFocusByTab);
            return;
        }
        if ((backwards ? w->GetTabPrev() : w->GetTabNext()) == start) break;
    }
}

int ComboBox::HandleEvent(Window* target, u32 type, InputEvent& e) {
    const bool ours = target == this || target == field_;
    if (ours && type == kEventKey) {
        const bool press = e.IsPress();
        switch (e.Code()) {
            case kKeyTab:
                if (press) {
                    CloseDropdown();
                    const TextBox::TextPos caret = field_->GetCaret();
                    field_->SetSelection(caret, caret);
                    MoveFocusByTab((e.KeyModifiers() & kModShift) != 0);
                }
                return 1;
            case kKeyEsc:
            case kKeyEnter:
                if (press) {
                    swallowRelease_ = open_ ? e.Code() : 0;
                    // A closed box leaves these keys to the dialog or
                    // window around it.
                    if (!open_) break;
                    CloseDropdown();
                    return 1;
                }
                // The release of a press that went on goes on too: whoever
                // took the press (a button, the field's commit) waits for it.
                if (!open_ && swallowRelease_ != e.Code()) break;
                swallowRelease_ = 0;
                return 1;
            case kKeyUp:
            case kKeyDown:
                if (press) {
                    if (!open_) OpenDropdown(false);
                    else list_->OnKey(e);
                }
                return 1;
            default:
                break;
        }
    }
    if (target == field_ && type == kEventChar && IsEditable() && IsEnabled()) {
        field_->OnChar(e);
        OpenDropdown(true);
        return 1;
    }
    if (target == field_ && type == kEventButton && e.ButtonAction() && !IsEditable()) {
        if (!HasFocus()) ActivateWindow(this, kFocusByClick);
    }
    return Window::HandleEvent(target, type, e);
}

void ComboBox::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction()) return;
    const Rect& f = GetFrameScreenRect();
    const bool inside = e.X() >= f.left && e.X() < f.right && e.Y() >= f.top && e.Y() < f.bottom;
    if (open_ && IsModal(this, false) && !inside) {
        // Meant for whatever lies under the pointer.
        InputEvent again = e;
        PostEvent(kEventButton, &again);
        EndModal(this, 0);
    }
}

FocusAnswer ComboBox::OnFocusGained(Window* oldFocus, int reason) {
    Invalidate();
    if (IsEditable()) {
        if (!typed_) field_->SelectAll();
        return PassFocusTo(field_);
    }
    return kFocusAccept;
}

void ComboBox::OnFocusLost(Window* newFocus, int reason) {
    Invalidate();
    if (reason == kFocusByTab) {
        CloseDropdown();
        const TextBox::TextPos caret = field_->GetCaret();
        field_->SetSelection(caret, caret);
    }
}

void ComboBox::OnFlagsChanged(u32 changed) {
    Window::OnFlagsChanged(changed);
    if ((changed & kEnabled) && field_) {
        const bool on = IsEnabled();
        field_->SetEnabled(on);
        list_->SetEnabled(on);
        button_->SetEnabled(on);
    }
}

void ComboBox::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const i32 top = open_ && above_ ? listHeight_ : 0;
        const Rect fieldRect{0, top, GetClientWidth(), top + ClosedHeight()};
        if (!open_ && HasFocus()) DrawHighlight(fieldRect, kHighlightStrong | kHighlightOutline);
        else DrawComboBoxFrame(GetSkin(), fieldRect);
    }
    EndWindowDraw(this);
}

}  // namespace pirn
