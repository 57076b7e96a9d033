// A list and a grid of the same items behind one toggle button.

#include "ui/list_grid_window.h"

#include "ui/button.h"
#include "ui/grid_window.h"
#include "ui/list_window.h"
#include "ui/skin.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

ListGridWindow::ListGridWindow(u32 styleFlags, Window* parent) : Window(styleFlags | kTakesFocus, parent) {
    button_ = new Button(this, 0);
    ConnectSignal<&ListGridWindow::ToggleView>(button_->clicked, this);
    UpdateButton();
}

ListGridWindow::~ListGridWindow() = default;

Window* ListGridWindow::ViewOf(View view) const {
    if (view == kList) return list_;
    if (view == kGrid) return grid_;
    return nullptr;
}

Window* ListGridWindow::GetActiveView() const { return ViewOf(active_); }

Rect ListGridWindow::ViewRect() const {
    const i32 top = kStripHeight;
    return Rect{0, top, GetClientWidth(), std::max(GetClientHeight(), top)};
}

void ListGridWindow::UpdateButton() {
    if (!button_) return;
    button_->SetTitle(active_ == kGrid ? "Grid" : "List");
    button_->SizeToFit();
    pirn::SetPosition(button_, GetClientWidth() - kButtonRightInset - button_->GetWidth(), kButtonTop);
}

void ListGridWindow::UpdateTabOrder() {
    Window* ring[3];
    int n = 0;
    for (Window* w : {static_cast<Window*>(button_), static_cast<Window*>(list_), static_cast<Window*>(grid_)})
        if (w) ring[n++] = w;
    for (int i = 0; i < n; ++i) ring[i]->SetTabNext(ring[(i + 1) % n]);
}

void ListGridWindow::Install(Window* view, View role) {
    Window* old = ViewOf(role);
    if (old == view) return;
    if (role == kList) list_ = static_cast<ListWindow*>(view);
    else grid_ = static_cast<GridWindow*>(view);
    if (old) DestroyWindow(old);
    if (view) {
        if (view->GetParent() != this) pirn::SetParent(view, this);
        SetFrame(view, ViewRect());
    }
    if (active_ == role && !view) active_ = kNone;
    if (active_ == kNone && view) active_ = role;
    ShowOnly(active_);
    UpdateButton();
    UpdateTabOrder();
}

void ListGridWindow::SetListView(ListWindow* list) { Install(list, kList); }

void ListGridWindow::SetGridView(GridWindow* grid) { Install(grid, kGrid); }

void ListGridWindow::ShowOnly(View view) {
    for (View v : {kList, kGrid}) {
        Window* w = ViewOf(v);
        if (!w) continue;
        if (v == view) {
            SetFrame(w, ViewRect());
            w->SetVisible(true);
        } else {
            w->SetVisible(false);
        }
    }
}

void ListGridWindow::ToggleView() {
    const View next = active_ == kGrid ? kList : kGrid;
    Window* view = ViewOf(next);
    if (!view) return;
    Window* old = GetActiveView();
    active_ = next;
    UpdateButton();
    if (old) old->SetVisible(false);
    SetFrame(view, ViewRect());
    view->SetVisible(true);
    if (IsShownOnScreen()) ActivateWindow(view, kFocusByProgram);
    Layout();
    Invalidate();
    viewChanged.Emit();
}

void ListGridWindow::Layout() {
    UpdateButton();
    if (Window* view = GetActiveView()) SetFrame(view, ViewRect());
}

void ListGridWindow::DrawBackground() {
    Window::DrawBackground();
    if (BeginWindowDraw(this, 1, 0)) {
        const Rect strip{0, 0, GetClientWidth(), kStripHeight};
        DrawWindowBackground(GetSkin(), strip);
        DrawSkinSeparator(GetSkin(), Rect{0, kStripHeight - kSeparatorThickness, strip.right, kStripHeight}, 2);
    }
    EndWindowDraw(this);
}

FocusAnswer ListGridWindow::OnFocusGained(Window* oldFocus, int reason) {
    Window* view = GetActiveView();
    return view ? PassFocusTo(view) : kFocusAccept;
}

void ListGridWindow::OnChildRemoved(Window* child) {
    if (child == button_) button_ = nullptr;
    if (child == list_) list_ = nullptr;
    if (child == grid_) grid_ = nullptr;
    if (!GetActiveView()) {
        active_ = list_ ? kList : (grid_ ? kGrid : kNone);
        ShowOnly(active_);
        UpdateButton();
    }
}

}  // namespace pirn
