// Menu bar and popup menus: entries, columns, placement, keys, initial
// letters, mouse and drawing.

#include "ui/menu.h"

#include <algorithm>
#include <cctype>

#include "platform/os/key_codes.h"
#include "platform/os/os_beep.h"
#include "ui/frame_step.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kDisabledTextColor = 0xFF808080u;
constexpr const char* kSeparatorTitle = "<---separator--->";

i64 VisibleArea(const Rect& r) {
    Rect a = r;
    if (!RectIntersect(&a, GetScreenRect())) return 0;
    return static_cast<i64>(a.Width()) * a.Height();
}

// The candidate with the most area on screen, the earlier one on ties.
Rect MostOnScreen(const Rect (&candidates)[4]) {
    int best = 0;
    i64 bestArea = VisibleArea(candidates[0]);
    for (int i = 1; i < 4; ++i) {
        const i64 area = VisibleArea(candidates[i]);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return candidates[best];
}

// The first entry that can be chosen, or null.
MenuItem* FirstSelectable(const std::vector<MenuItem*>& entries) {
    for (MenuItem* e : entries)
        if (e->IsSelectable()) return e;
    return nullptr;
}

int IndexOf(const std::vector<MenuItem*>& entries, const MenuItem* e) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == e) return static_cast<int>(i);
    return -1;
}

bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Whether a window pointer still names a live window of the tree (compared,
// never followed, until found).
bool IsLiveWindow(const Window* target) {
    Window* root = GetLayerWindow(-1);
    if (!target || !root) return false;
    std::vector<Window*> stack{root};
    while (!stack.empty()) {
        Window* w = stack.back();
        stack.pop_back();
        if (w == target) return !w->IsDestroyed();
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) stack.push_back(c);
    }
    return false;
}

}  // namespace

// ---- MenuItem ----

MenuItem::MenuItem(u32 flags, Window* parent) : Window(flags, parent) {}

MenuItem::~MenuItem() = default;

Rect MenuItem::ContentRect() const {
    // Entries of a column span the column's frame edges; their highlight
    // stays inside them.
    const i32 inset = place_ == Place::kBarTitle ? 0 : GetMenuFrameSize();
    return Rect{inset, padTop_, GetWidth() - inset, GetHeight() - padBottom_};
}

void MenuItem::Adopt(MenuItem* entry) {
    entry->root_ = root_;
    entry->parentEntry_ = this;
    entries_.push_back(entry);
    if (this == root_) {
        entry->place_ = root_->IsMenuBar() ? Place::kBarTitle : Place::kPopupColumn;
    } else {
        entry->place_ = Place::kSubmenuColumn;
        // A submenu shows only while its entry is open.
        pirn::SetVisible(entry, open_);
    }
    LayoutColumn();
    Invalidate();
}

void MenuItem::OnChildRemoved(Window* child) {
    // The child may be half destroyed: compare pointers only.
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [child](MenuItem* e) { return static_cast<Window*>(e) == child; });
    if (it == entries_.end()) return;
    if (openChild_ == *it) openChild_ = nullptr;
    if (highlighted_ == *it) highlighted_ = nullptr;
    entries_.erase(it);
    // The entries below close up (menus refilled on opening remove theirs).
    LayoutColumn();
    Invalidate();
}

void MenuItem::SetTitle(const char* text) {
    Window::SetTitle(text);
    if (parentEntry_) parentEntry_->LayoutColumn();
}

Point MenuItem::ColumnSize() const {
    const i32 frame = GetMenuFrameSize();
    const i32 line = GetLineHeight();
    i32 width = Menu::kMinimumEntryWidth;
    i32 height = 0;
    for (const MenuItem* e : entries_) {
        if (e->IsSeparator()) {
            height += Menu::kSeparatorHeight;
            continue;
        }
        width = std::max(width, e->GetTextWidth(e->GetTitle()) + Menu::kTitleExtraWidth);
        height += line + Menu::kEntryExtraHeight;
    }
    return Point{width, height + 2 * frame};
}

void MenuItem::LayoutColumn() {
    if (this == root_ && root_->IsMenuBar()) {
        root_->LayoutBar();
        return;
    }
    const Point size = ColumnSize();
    const i32 frame = GetMenuFrameSize();
    const i32 line = GetLineHeight();
    i32 y = frame;
    for (size_t i = 0; i < entries_.size(); ++i) {
        MenuItem* e = entries_[i];
        const i32 h = e->IsSeparator() ? Menu::kSeparatorHeight : line + Menu::kEntryExtraHeight;
        if (this == root_) {
            e->padTop_ = e->padBottom_ = 0;
            SetFrame(e, Rect{0, y, size.x, y + h});
        } else {
            // Each entry paints its slice of the column, the first and the
            // last with the frame strip beside them.
            e->padTop_ = i == 0 ? frame : 0;
            e->padBottom_ = i + 1 == entries_.size() ? frame : 0;
            const i32 top = columnOrigin_.y + y - e->padTop_;
            const i32 bottom = columnOrigin_.y + y + h + e->padBottom_;
            SetFrame(e, Rect{columnOrigin_.x, top, columnOrigin_.x + size.x, bottom});
        }
        y += h;
    }
    if (this == root_) pirn::SetSize(this, size.x, size.y);
}

void MenuItem::Open() {
    if (entries_.empty() || this == root_) return;
    MenuItem* column = parentEntry_;
    if (column && column->openChild_ && column->openChild_ != this) column->openChild_->Close();
    const Point size = ColumnSize();
    const i32 frame = GetMenuFrameSize();
    const Rect& f = GetFrameScreenRect();
    Rect candidates[4];
    if (place_ == Place::kBarTitle) {
        candidates[0] = MakeRect(f.left, f.bottom, size.x, size.y);
        candidates[1] = MakeRect(f.left, f.top - size.y, size.x, size.y);
        candidates[2] = MakeRect(f.right - size.x, f.bottom, size.x, size.y);
        candidates[3] = MakeRect(f.right - size.x, f.top - size.y, size.x, size.y);
    } else {
        candidates[0] = MakeRect(f.right, f.top - frame, size.x, size.y);
        candidates[1] = MakeRect(f.right, f.bottom + frame - size.y, size.x, size.y);
        candidates[2] = MakeRect(f.left - size.x, f.top - frame, size.x, size.y);
        candidates[3] = MakeRect(f.left - size.x, f.bottom + frame - size.y, size.x, size.y);
    }
    const Rect best = MostOnScreen(candidates);
    columnOrigin_ = Point{best.left - GetClientScreenRect().left, best.top - GetClientScreenRect().top};
    LayoutColumn();
    for (MenuItem* e : entries_) pirn::SetVisible(e, true);
    open_ = true;
    if (column) {
        column->openChild_ = this;
        column->Invalidate();
    }
    Invalidate();
    if (root_) root_->highlight.Emit(this);
}

void MenuItem::Close() {
    if (openChild_) openChild_->Close();
    highlighted_ = nullptr;
    if (this == root_) return;
    const bool wasOpen = open_;
    open_ = false;
    for (MenuItem* e : entries_) pirn::SetVisible(e, false);
    if (parentEntry_ && parentEntry_->openChild_ == this) parentEntry_->openChild_ = nullptr;
    Invalidate();
    if (wasOpen && root_) root_->highlight.Emit(this);
}

void MenuItem::Highlight(MenuItem* entry) {
    MenuItem* target = entry && entry->IsSelectable() && entry->parentEntry_ == this ? entry : nullptr;
    if (openChild_ && openChild_ != target) openChild_->Close();
    if (highlighted_ == target) return;
    if (highlighted_) highlighted_->Invalidate();
    highlighted_ = target;
    if (target) target->Invalidate();
}

void MenuItem::Choose() {
    if (!IsSelectable() || !root_ || this == root_) return;
    Menu* root = root_;
    if (HasSubmenu()) {
        if (open_) {
            Close();
        } else if (place_ == Place::kBarTitle && !root->IsRunning()) {
            root->RunBar(this);
        } else {
            if (parentEntry_) parentEntry_->Highlight(this);
            Open();
        }
        return;
    }
    if (root->IsRunning()) EndModal(root, static_cast<i64>(reinterpret_cast<intptr_t>(this)));
    else root->command.Emit(this);
}

MenuItem* MenuItem::DeepestOpen() {
    MenuItem* it = this;
    while (it->openChild_) it = it->openChild_;
    return it;
}

int MenuItem::HandleEvent(Window* target, u32 type, InputEvent& event) {
    if (type == kEventScreenResized && this == root_ && root_->IsMenuBar()) root_->LayoutBar();
    return Window::HandleEvent(target, type, event);
}

int MenuItem::OnKey(InputEvent& e) {
    if (!root_ || !e.IsPress()) return 0;
    Menu* root = root_;
    MenuItem* column = root->DeepestOpen();
    const std::vector<MenuItem*>& entries = column->entries_;
    const bool barLevel = root->IsMenuBar() && column == root;
    const std::vector<MenuItem*>& titles = root->entries_;

    auto openTitle = [&](int index) {
        if (titles.empty()) return;
        MenuItem* title = titles[size_t((index % int(titles.size()) + int(titles.size())) % int(titles.size()))];
        root->Highlight(title);
        if (root->highlighted_ == title && title->HasSubmenu()) {
            title->Open();
            title->Highlight(FirstSelectable(title->entries_));
        }
    };
    auto barTitleOf = [&](MenuItem* item) {
        while (item && item->parentEntry_ != root) item = item->parentEntry_;
        return item;
    };
    // Empty or wholly disabled columns give nothing to move to.
    auto previous = [&] {
        if (entries.empty()) return;
        const int at = IndexOf(entries, column->highlighted_);
        if (at <= 0) {
            column->Highlight(entries.back());
            return;
        }
        for (int i = at - 1; i >= 0; --i)
            if (entries[size_t(i)]->IsSelectable()) {
                column->Highlight(entries[size_t(i)]);
                return;
            }
    };
    auto next = [&] {
        if (entries.empty()) return;
        const int at = IndexOf(entries, column->highlighted_);
        if (at < 0 || at + 1 >= int(entries.size())) {
            column->Highlight(entries.front());
            return;
        }
        for (size_t i = size_t(at) + 1; i < entries.size(); ++i)
            if (entries[i]->IsSelectable()) {
                column->Highlight(entries[i]);
                return;
            }
    };
    auto open = [&] {
        MenuItem* h = column->highlighted_;
        if (h && h->HasSubmenu()) {
            h->Open();
            h->Highlight(FirstSelectable(h->entries_));
        } else if (root->IsMenuBar() && !barLevel) {
            openTitle(IndexOf(titles, barTitleOf(column)) + 1);
        }
    };
    auto close = [&] {
        if (column == root) return;
        if (root->IsMenuBar() && column->parentEntry_ == root) {
            openTitle(IndexOf(titles, column) - 1);
            return;
        }
        MenuItem* parent = column->parentEntry_;
        column->Close();
        if (parent) parent->Highlight(column);
    };

    switch (e.Code()) {
        case kKeyUp:
            barLevel ? close() : previous();
            return 1;
        case kKeyDown:
            barLevel ? open() : next();
            return 1;
        case kKeyLeft:
            barLevel ? previous() : close();
            return 1;
        case kKeyRight:
            barLevel ? next() : open();
            return 1;
        case kKeyEnter:
            if (column->highlighted_) column->highlighted_->Choose();
            return 1;
        case kKeyEsc:
            if (root->IsRunning()) EndModal(root, 0);
            else root->command.Emit(nullptr);
            return 1;
        default:
            return 0;
    }
}

void MenuItem::OnChar(InputEvent& e) {
    if (!root_ || !e.IsPress()) return;
    const int c = e.Code();
    if (c < 0 || c > 127 || !std::isalnum(c)) return;
    MenuItem* column = root_->DeepestOpen();
    const std::vector<MenuItem*>& entries = column->entries_;
    if (entries.empty()) return;
    const int n = static_cast<int>(entries.size());
    const int at = IndexOf(entries, column->highlighted_);
    for (int k = 0; k < n; ++k) {
        MenuItem* candidate = entries[size_t((at + 1 + k) % n)];
        const char* title = candidate->GetTitle();
        if (!candidate->IsSelectable() || !title || !title[0]) continue;
        if (std::tolower(static_cast<unsigned char>(title[0])) != std::tolower(c)) continue;
        column->Highlight(candidate);
        if (candidate->HasSubmenu()) {
            if (candidate->place_ == Place::kBarTitle && !root_->IsRunning()) root_->RunBar(candidate);
            else candidate->Open();
        }
        return;
    }
    OsBeep();
}

void MenuItem::ChooseAt(const InputEvent& e) {
    if (!root_) return;
    Menu* root = root_;
    if (MenuItem* entry = root->EntryAt(Point{e.X(), e.Y()})) {
        entry->Choose();
        return;
    }
    if (root->IsRunning()) {
        // A press beside the menu is meant for the window under the pointer.
        InputEvent again = e;
        PostEvent(kEventButton, &again);
        EndModal(root, 0);
    }
}

void MenuItem::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction()) return;
    ChooseAt(e);
}

void MenuItem::OnMouseMove(InputEvent& e) {
    if (!root_ || this == root_ || !parentEntry_) return;
    parentEntry_->Highlight(this);
    if (root_->IsRunning() && HasSubmenu() && !open_ && IsSelectable()) Open();
}

void MenuItem::OnMouseLeave() {
    if (place_ == Place::kBarTitle && root_ && !root_->IsRunning() && root_->highlighted_ == this)
        root_->Highlight(nullptr);
}

void MenuItem::DrawBackground() {
    if (place_ != Place::kSubmenuColumn || this == root_) return;
    if (BeginWindowDraw(this, 0, 0)) {
        Skin* skin = GetSkin();
        const Rect r = GetLocalFrameRect();
        DrawMenuBackground(skin, r);
        u32 edges = kFrameLeft | kFrameRight;
        if (padTop_) edges |= kFrameTop | kFrameTopLeft | kFrameTopRight;
        if (padBottom_) edges |= kFrameBottom | kFrameBottomLeft | kFrameBottomRight;
        DrawSkinFrame(skin, r, edges);
    }
    EndWindowDraw(this);
}

Rect MenuItem::ColumnScreenRect() const {
    Rect column{};
    for (const MenuItem* e : entries_) RectUnion(column, e->GetFrameScreenRect(), &column);
    return column;
}

void MenuItem::DrawFrame() {
    // A column casts one shadow: each of its entries draws the slice of the
    // column's shadow beside it (and the last one the part below), so that
    // redrawing any part of the shadow finds the entry that covers it. The
    // entries of a popup's own column stand on the popup, which casts its
    // own; the menu bar casts none.
    if (!TestFlags(kShadow) || place_ != Place::kSubmenuColumn || !parentEntry_) return;
    const Rect column = parentEntry_->ColumnScreenRect();
    Rect band = GetFrameScreenRect();
    band.right += kShadowSize;
    if (!parentEntry_->entries_.empty() && parentEntry_->entries_.back() == this) band.bottom += kShadowSize;
    DrawShadowUnder(column, ComputeFrameLayout(this).active, band);
}

void MenuItem::DrawContents() {
    if (this == root_) return;
    if (BeginWindowDraw(this, 1, 0)) {
        Skin* skin = GetSkin();
        const Rect c = ContentRect();
        if (IsSeparator()) {
            const i32 mid = (c.top + c.bottom) / 2;
            DrawSkinSeparator(skin, Rect{4, mid - kSeparatorThickness / 2, c.right - 4, mid + 1}, 2);
        } else {
            const bool lit = open_ || (parentEntry_ && parentEntry_->highlighted_ == this);
            if (lit) DrawHighlight(c, kHighlightStrong | kHighlightFill);
            if (IsEnabled()) SetSkinTextColor(false);
            else SetDrawColor(kDisabledTextColor);
            const i32 x = place_ == Place::kBarTitle ? 2 : Menu::kTitleIndent;  // from the entry's left edge
            if (const char* title = GetTitle())
                DrawTextInRect(title, 0, kTextCenterVertically, Rect{x, c.top, c.right, c.bottom});
            if (place_ != Place::kBarTitle && HasSubmenu()) {
                i32 aw = 0, ah = 0;
                GetSubmenuArrowSize(skin, &aw, &ah);
                DrawSubmenuArrow(skin, Point{c.right - aw - 6, c.top + (c.Height() - ah) / 2});
            }
        }
    }
    EndWindowDraw(this);
}

// ---- Menu ----

Menu::Menu(bool menuBar)
    : MenuItem(menuBar ? (kPopup | kVisible) : (kPopup | kShadow | kTakesFocus), nullptr), menuBar_(menuBar) {
    root_ = this;
    place_ = Place::kPopupColumn;
    Window::SetTitle(menuBar ? "Menu Bar" : "Popup Menu");
    if (menuBar) LayoutBar();
    else LayoutColumn();
}

Menu::~Menu() = default;

bool Menu::IsRunning() const { return IsModal(this, false); }

MenuItem* Menu::AddItem(Menu* menu, const char* title, MenuItem* parentEntry, i32 commandId, bool enabled) {
    if (!menu) return nullptr;
    MenuItem* owner = parentEntry ? parentEntry : menu;
    auto* entry = new MenuItem(kVisible | kShadow, owner);
    entry->SetId(commandId);
    entry->Window::SetTitle(title);
    entry->SetEnabled(enabled);
    owner->Adopt(entry);
    if (owner->parentEntry_) owner->parentEntry_->LayoutColumn();
    return entry;
}

MenuItem* Menu::AddSeparator(Menu* menu, MenuItem* parentEntry) {
    return AddItem(menu, kSeparatorTitle, parentEntry, -1, true);
}

Rect Menu::PlaceAtPoint(Point p, Point size) {
    const Rect candidates[4] = {
        MakeRect(p.x, p.y, size.x, size.y),
        MakeRect(p.x, p.y - size.y, size.x, size.y),
        MakeRect(p.x - size.x, p.y, size.x, size.y),
        MakeRect(p.x - size.x, p.y - size.y, size.x, size.y),
    };
    return MostOnScreen(candidates);
}

i32 Menu::Popup(Menu* menu, Point p) {
    if (!menu || menu->menuBar_ || menu->IsRunning()) return -1;
    menu->LayoutColumn();
    Rect r = PlaceAtPoint(p, menu->GetSize());
    if (Window* parent = menu->GetParent()) parent->ScreenToClientRects(&r, 1);
    SetFrame(menu, r);
    menu->Close();
    pirn::SetVisible(menu, true);
    RaiseWindow(menu);
    Window* focusBefore = GetFocusWindow();
    const i64 result = RunModal(menu, kModalKeysOutside | kModalMouseOutside | kModalEndOnClose, nullptr);
    menu->Close();
    pirn::SetVisible(menu, false);
    // The keys go back to where they went before the popup took them.
    if (GetFocusWindow() == menu && focusBefore != menu && IsLiveWindow(focusBefore))
        ActivateWindow(focusBefore, kFocusByProgram);
    const auto* chosen = reinterpret_cast<const MenuItem*>(static_cast<intptr_t>(result));
    return chosen ? chosen->GetId() : -1;
}

void Menu::LayoutBar() {
    const i32 frame = GetMenuFrameSize();
    const i32 line = GetLineHeight();
    i32 x = kBarStartX;
    for (MenuItem* title : entries_) {
        const i32 w = title->GetTextWidth(title->GetTitle()) + 4;
        SetFrame(title, Rect{x, frame, x + w, frame + line + kEntryExtraHeight});
        x += w + kBarTitleGap;
    }
    const i32 width = GetParent() ? GetParent()->GetClientWidth() : GetScreenSize().x;
    pirn::SetSize(this, width, 2 * frame + line + kEntryExtraHeight);
}

MenuItem* Menu::EntryAt(Point p) {
    for (MenuItem* column = this; column; column = column->openChild_) {
        if (column != this && !column->open_) break;
        for (MenuItem* e : column->entries_)
            if (e->IsVisible() && Contains(e->GetFrameScreenRect(), p)) return e;
    }
    return nullptr;
}

void Menu::RunBar(MenuItem* title) {
    if (!menuBar_ || IsRunning()) return;
    Highlight(title);
    if (title && title->HasSubmenu()) title->Open();
    const i64 result = RunModal(this, kModalKeysOutside | kModalMouseOutside | kModalEndOnClose, nullptr);
    Close();
    Invalidate();
    if (result) command.Emit(reinterpret_cast<void*>(static_cast<intptr_t>(result)));
}

void Menu::DrawBackground() {
    if (BeginWindowDraw(this, 0, 0)) {
        Skin* skin = GetSkin();
        const Rect r = GetLocalFrameRect();
        DrawMenuBackground(skin, r);
        DrawSkinFrame(skin, r, menuBar_ ? u32(kFrameBottom) : u32(kFrameAll));
    }
    EndWindowDraw(this);
}

}  // namespace pirn
