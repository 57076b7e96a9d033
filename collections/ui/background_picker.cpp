#include "collections/ui/background_picker.h"

#include "collections/ui/x256_sequence_frame_view.h"
#include "ui/skin.h"
#include "ui/window_renderer.h"

namespace pirn {

void DrawCanvasPattern(u32 pattern, const Rect& rect) {
    switch (pattern) {
        case 2: DrawWindowBackgroundDark(GetSkin(), rect); break;
        case 3: DrawMenuBackground(GetSkin(), rect); break;
        default: DrawWindowBackground(GetSkin(), rect); break;
    }
}

BackgroundPicker::BackgroundPicker(u32 pattern, X256SequenceFrameView* canvas, Window* parent)
    : Window(kVisible | kEnabled | kThinBorder, parent), pattern_(pattern), canvas_(canvas) {
    SetSize(kSide, kSide);
}

void BackgroundPicker::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) DrawCanvasPattern(pattern_, GetClientRect());
    EndWindowDraw(this);
}

void BackgroundPicker::OnMouseButton(InputEvent& event) {
    if (!event.ButtonAction() || !canvas_) return;
    canvas_->SetBackgroundPattern(pattern_);
}

}  // namespace pirn
