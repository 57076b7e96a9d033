#include "models/ui/brush_list_window.h"

#include <cstdint>

#include "platform/os/key_codes.h"

namespace pirn {

namespace {

constexpr u32 kToggleModifiers = kModShift | kModControlAlso;

}  // namespace

BrushListWindow::BrushListWindow(Window* parent)
    : ListWindow(kLeadingSpace | kNeverEmptySelection, kVisible | kEnabled | kTakesFocus | kBackground, parent) {}

void BrushListWindow::OnMouseButton(InputEvent& event) {
    const u32 mods = event.MouseModifiers();
    if (!event.ButtonAction() || !(mods & kToggleModifiers) || event.Button() != 0) {
        ListWindow::OnMouseButton(event);
        return;
    }
    const Point p{event.X() - GetClientScreenRect().left, event.Y() - GetClientScreenRect().top};
    ListItem* item = ItemAtClientPoint(p);
    if (!item || !on_toggle || !GetParent()) return;
    const u32 slot = static_cast<u32>(reinterpret_cast<uintptr_t>(item->userData)) - 1;
    if (mods & kModShift) on_toggle(GetParent(), slot, true);
    if (mods & kModControlAlso) on_toggle(GetParent(), slot, false);
    Invalidate();
}

void BrushListWindow::OnDoubleClick(InputEvent& event) {
    if (event.MouseModifiers() & kToggleModifiers) return;
    ListWindow::OnDoubleClick(event);
}

}  // namespace pirn
