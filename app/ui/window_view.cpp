#include "app/ui/window_view.h"

#include <cstddef>

#include "ui/list_window.h"
#include "ui/remembered_placement.h"
#include "ui/window_system.h"
#include "ui/frame_step.h"

namespace pirn {

namespace {

constexpr char kPlacementKey[] = "WindowSpyPlacement";
// Title text, multi-line; without the shadow the dark skin's lists draw
// (262): under the light skin's dark text a black shadow hides the dimmed
// rows' grey.
constexpr u32 kCellTextFlags = 262 & ~0x100u;
constexpr u32 kHasChildren = ListItem::kExpandable;
constexpr u32 kOpenRoot = ListItem::kOpen;

}  // namespace

WindowView::WindowView() : Window(kStyle, nullptr) {
    SetTitle("Window Spy");
    list_ = new ListWindow(ListWindow::kTree | ListWindow::kColumnMode | ListWindow::kMultipleSelection |
                               ListWindow::kHeaderRow,
                           kVisible | kEnabled, this);
    const u32 stringSize = sizeof(std::string);
    list_->AddColumn("Text", "%s", kColumnString, stringSize, 256, 0, kCellTextFlags);
    list_->AddColumn("Class", "%s", kColumnString, stringSize, 192, 0, kCellTextFlags);
    // The address is recorded but, as a column without a type, never shown.
    list_->AddColumn("Address", "0x%x", kColumnNone, sizeof(void*), 96, 0, kCellTextFlags);
    list_->SetColumnFieldOffset(0, offsetof(Record, text));
    list_->SetColumnFieldOffset(1, offsetof(Record, class_name));
    list_->SetColumnFieldOffset(2, offsetof(Record, window));
    if (!RestoreWindowPlacement(this, kPlacementKey, true)) {
        SetSize(kDefaultWidth, kDefaultHeight);
        const Point at = NextCascadePosition();
        SetPosition(at.x, at.y);
        KeepOnScreen();
    }
    Rebuild();
}

WindowView::~WindowView() = default;

void WindowView::OnDestroy() { SaveWindowPlacement(this, kPlacementKey); }

void WindowView::Layout() { SetFrame(list_, GetClientRect()); }

int WindowView::OnKey(InputEvent& event) {
    if (!event.IsPress() || event.Code() != kRebuildKey) return 0;
    Rebuild();
    return 1;
}

void WindowView::Rebuild() {
    list_->RemoveAllItems();
    records_.clear();
    if (Window* root = GetLayerWindow(-1)) AddWindow(root, nullptr);
    list_->Sort();
    list_->UpdateScrollRange();
    list_->Invalidate();
}

void WindowView::AddWindow(const Window* window, ListItem* parent) {
    records_.push_back(Record{window->GetTitle() ? window->GetTitle() : "(unnamed)", window->GetClassName(), window});
    u32 flags = 0;
    if (window->GetFirstChild()) flags |= kHasChildren;
    if ((flags & kHasChildren) && window->TestFlags(kRootFlag)) flags |= kOpenRoot;
    ListItem* item = list_->AddItem(parent, 0, flags, &records_.back(), nullptr);
    for (const Window* child = window->GetFirstChild(); child; child = child->GetNextSibling()) AddWindow(child, item);
}

void OpenWindowSpy() {
    Window* spy = FindWindowByTitle("Window Spy", "WindowView");
    if (!spy) spy = new WindowView();
    spy->SetVisible(true);
    RaiseWindow(spy);
}

}  // namespace pirn
