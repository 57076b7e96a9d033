#pragma once
// BackgroundPicker: a 24 x 24 swatch of one of the frame canvas's three
// background patterns; a click puts that pattern behind the canvas.

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class X256SequenceFrameView;

// Fills the rectangle (client coordinates of the current drawing scope)
// with a canvas background pattern: 1 the window background, 2 its dark
// form, 3 the menu background.
void DrawCanvasPattern(u32 pattern, const Rect& rect);

class BackgroundPicker : public Window {
public:
    static constexpr i32 kSide = 24;

    BackgroundPicker(u32 pattern, X256SequenceFrameView* canvas, Window* parent);

    const char* GetClassName() const override { return "BackgroundPicker"; }
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;

    u32 GetPattern() const { return pattern_; }

private:
    u32 pattern_;
    X256SequenceFrameView* canvas_;
};

}  // namespace pirn
