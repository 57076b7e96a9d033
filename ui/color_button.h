#pragma once
// ColorButton: a colour swatch. Pressing it (the mouse button, Enter or
// Space) opens the platform's colour chooser on its colour; a colour the
// user accepts is stored and reported through colorChanged, which carries a
// pointer to the button's colour.
//
// Colours are packed RGBA words as the drawing calls take them (red in the
// low byte); -1, opaque white, stands for "unset".

#include "platform/types.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class ColorButton : public Window {
public:
    // Visible, enabled, thick border, takes focus.
    static constexpr u32 kStyle = 0x8023;
    static constexpr i32 kWidth = 42;
    static constexpr i32 kHeight = 20;
    static constexpr u32 kUnset = 0xFFFFFFFFu;

    explicit ColorButton(Window* parent);

    const char* GetClassName() const override { return "ColorButton"; }
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;

    u32 GetColor() const { return color_; }
    // Stores the colour and redraws; emits nothing.
    void SetColor(const u32* color);
    // The colour chooser on the colour. On OK the colour is stored, the
    // button redrawn and colorChanged emitted: 1. Cancel changes nothing: 0.
    int ChooseColor();

    SignalPtr colorChanged;  // a pointer to the colour

private:
    u32 color_ = kUnset;
};

}  // namespace pirn
