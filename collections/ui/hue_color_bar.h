#pragma once
// ColorBar: the hue range of a hue change on a 360-pixel rainbow, one
// column a degree, with its start, median and end marks. Dragging a mark
// moves it (collections/hue_change_rules.h says how the median follows).

#include "collections/collection.h"
#include "collections/hue_change_rules.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class ColorBar : public Window {
public:
    static constexpr u32 kMarkColor = 0xFF181818u;  // (24, 24, 24)
    static constexpr i32 kTriangleRows = 4;

    ColorBar(CollectionHueChange* hue, Window* parent);

    const char* GetClassName() const override { return "ColorBar"; }
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;

    HueMark GetDragMode() const { return mode_; }

    SignalNone changed;  // a mark moved

private:
    i32 BarX(const Point& screen) const;

    CollectionHueChange* hue_;
    HueMark mode_ = kNoMark;
};

}  // namespace pirn
