#pragma once
// The terrain editor's Brush List: one text row per texture slot. A press
// on a row with Shift toggles the slot's lock, one with Control (modifier
// bit 8) its highlight, without changing the selection; double clicks with
// either are ignored. Everything else is a plain list.

#include "platform/types.h"
#include "ui/list_window.h"

namespace pirn {

class BrushListWindow : public ListWindow {
public:
    // Told the slot (the row's user data) and which flag to toggle.
    using ToggleHandler = void (*)(Window* owner, u32 slot, bool lock);

    explicit BrushListWindow(Window* parent);
    const char* GetClassName() const override { return "ListWindow"; }
    void OnMouseButton(InputEvent& event) override;
    void OnDoubleClick(InputEvent& event) override;

    ToggleHandler on_toggle = nullptr;
};

}  // namespace pirn
