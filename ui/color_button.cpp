#include "ui/color_button.h"

#include "platform/native_dialogs.h"
#include "platform/os/key_codes.h"
#include "ui/draw_target.h"
#include "ui/skin.h"
#include "ui/window_renderer.h"

namespace pirn {

ColorButton::ColorButton(Window* parent) : Window(kStyle, parent) { SetSize(kWidth, kHeight); }

void ColorButton::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        SetDrawColor(color_);
        FillRectangle(GetClientRect());
        if (HasFocus()) DrawHighlight(GetClientRect(), kHighlightStrong | kHighlightOutline);
    }
    EndWindowDraw(this);
}

int ColorButton::OnKey(InputEvent& event) {
    if (event.Code() != kKeyEnter && event.Code() != kKeySpace) return 0;
    if (event.IsPress()) ChooseColor();
    // The release of a key that chose belongs to the choice.
    return event.IsPress() ? 1 : 0;
}

void ColorButton::OnMouseButton(InputEvent& event) {
    if (event.ButtonAction()) ChooseColor();
}

void ColorButton::SetColor(const u32* color) {
    color_ = *color;
    Invalidate();
}

int ColorButton::ChooseColor() {
    ColorRgb rgb{static_cast<u8>(color_), static_cast<u8>(color_ >> 8), static_cast<u8>(color_ >> 16)};
    if (!OsChooseColor(&rgb)) return 0;
    color_ = PackRgba(rgb.red, rgb.green, rgb.blue, 255);
    Invalidate();
    colorChanged.Emit(&color_);
    return 1;
}

}  // namespace pirn
