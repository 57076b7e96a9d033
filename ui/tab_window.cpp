// Tabbed pages: headers, selection, Ctrl cycling, drawing.

#include "ui/tab_window.h"

#include "platform/os/key_codes.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {
bool Contains(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
}  // namespace

TabWindow::TabWindow(u32 flags, Window* parent) : Window(flags, parent) {}

TabWindow::~TabWindow() = default;

Window* TabWindow::GetPage(i32 index) const {
    if (index < 0 || index >= GetTabCount()) return nullptr;
    return tabs_[size_t(index)].page;
}

void TabWindow::LayoutTabs() {
    i32 x = kFirstTabX;
    for (Tab& tab : tabs_) {
        const char* title = tab.page->GetTitle();
        const Rect r = GetTabRect(GetSkin(), GetTextWidth(title ? title : ""));
        tab.header = OffsetRect(r, x, 0);
        x = tab.header.right - GetTabOverlap();
    }
}

Rect TabWindow::PageRect() const {
    const i32 top = tabs_.empty() ? 0 : tabs_.front().header.bottom + kPageGap;
    return Rect{0, top, GetClientWidth(), std::max(GetClientHeight(), top)};
}

void TabWindow::PlacePage(Window* page) {
    const Rect r = PageRect();
    if (page->GetFrame() != r) SetFrame(page, r);
}

void TabWindow::OnChildAdded(Window* child) {
    tabs_.push_back(Tab{Rect{}, child});
    LayoutTabs();
    // Hiding the front-most child would hand the focus to the next visible
    // one (the current page); at the back it hands nothing on.
    LowerWindow(child);
    child->SetVisible(false);
    PlacePage(child);
    if (current_ < 0) SelectTab(0);
    Invalidate();
}

void TabWindow::OnChildRemoved(Window* child) {
    i32 index = -1;
    for (i32 i = 0; i < GetTabCount(); ++i)
        if (tabs_[size_t(i)].page == child) index = i;
    if (index < 0) return;
    tabs_.erase(tabs_.begin() + index);
    if (index < current_) {
        // The same page stays current; only its place in the list moved.
        --current_;
    } else if (index == current_) {
        // The page before takes over; the first page when the first went.
        current_ = -1;
        if (!tabs_.empty()) SelectTab(std::max(index - 1, 0));
    }
    LayoutTabs();
    Invalidate();
}

void TabWindow::SelectTab(i32 index) {
    if (index < 0 || index >= GetTabCount()) return;
    if (Window* old = GetPage(current_); old && current_ != index) old->SetVisible(false);
    Window* page = tabs_[size_t(index)].page;
    PlacePage(page);
    page->SetVisible(true);
    // A page that is not on screen must not take the keyboard: typing would
    // vanish into it.
    if (IsShownOnScreen()) ActivateWindow(page, kFocusByProgram);
    if (index != current_) {
        current_ = index;
        Invalidate();
    }
}

void TabWindow::Layout() {
    LayoutTabs();
    // Pages follow the container's size; the focus is left where it is.
    if (Window* page = GetPage(current_)) PlacePage(page);
}

void TabWindow::OnIdle() {
    // A page made with this window as its parent is placed while it is being
    // built, and its constructor sets its frame again afterwards; its title
    // (the tab's text) is usually set after that too.
    LayoutTabs();
    if (Window* page = GetPage(current_)) PlacePage(page);
}

i32 TabWindow::TabAtPoint(Point p) const {
    if (current_ >= 0 && Contains(tabs_[size_t(current_)].header, p)) return current_;
    for (i32 i = 0; i < GetTabCount(); ++i)
        if (Contains(tabs_[size_t(i)].header, p)) return i;
    return -1;
}

void TabWindow::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction()) return;
    Point p{e.X(), e.Y()};
    ScreenToClientPoints(&p, 1);
    LayoutTabs();
    const i32 hit = TabAtPoint(p);
    if (hit >= 0) SelectTab(hit);
}

int TabWindow::HandleEvent(Window* target, u32 type, InputEvent& e) {
    if (type == kEventKey && e.IsPress() && (e.KeyModifiers() & kModControl) && !tabs_.empty()) {
        const bool shift = (e.KeyModifiers() & kModShift) != 0;
        int step = 0;
        if (e.Code() == kKeyLeft || (e.Code() == kKeyTab && shift)) step = -1;
        else if (e.Code() == kKeyRight || (e.Code() == kKeyTab && !shift)) step = 1;
        if (step) {
            const i32 n = GetTabCount();
            const i32 from = current_ < 0 ? 0 : current_;
            SelectTab(((from + step) % n + n) % n);
            return 1;
        }
    }
    return Window::HandleEvent(target, type, e);
}

void TabWindow::DrawContents() {
    LayoutTabs();
    if (BeginWindowDraw(this, 1, 0)) {
        const Skin* skin = GetSkin();
        auto drawTab = [&](i32 i, bool selected) {
            const Tab& tab = tabs_[size_t(i)];
            DrawTab(skin, tab.header, selected);
            if (const char* title = tab.page->GetTitle()) {
                SetSkinTextColor(false);
                DrawTextInRect(title, 0, kTextCenter | kTextCenterVertically, tab.header);
            }
        };
        for (i32 i = GetTabCount() - 1; i >= 0; --i)
            if (i != current_) drawTab(i, false);
        if (current_ >= 0) drawTab(current_, true);
        if (!tabs_.empty()) {
            const i32 y = tabs_.front().header.bottom;
            DrawSkinSeparator(skin, Rect{0, y, GetClientWidth(), y + kSeparatorThickness}, 2);
        }
    }
    EndWindowDraw(this);
}

}  // namespace pirn
