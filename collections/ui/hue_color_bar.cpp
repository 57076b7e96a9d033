#include "collections/ui/hue_color_bar.h"

#include "platform/os/cursor_id.h"
#include "ui/draw_target.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"

namespace pirn {

ColorBar::ColorBar(CollectionHueChange* hue, Window* parent) : Window(kVisible, parent), hue_(hue) {
    SetSize(static_cast<i32>(kColorBarWidth), static_cast<i32>(kColorBarHeight));
}

i32 ColorBar::BarX(const Point& screen) const { return screen.x - GetClientScreenRect().left; }

void ColorBar::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const i32 h = GetClientHeight();
        for (u32 x = 0; x < kColorBarWidth; ++x) {
            u8 rgb[3];
            ColorBarColumnColor(x, rgb);
            SetDrawColor(PackRgba(rgb[0], rgb[1], rgb[2], 255));
            FillRectangle(MakeRect(static_cast<i32>(x), 0, 1, h));
        }
        SetDrawColor(kMarkColor);
        const i32 start = static_cast<i32>(HueDegrees(hue_->start_hue));
        const i32 median = static_cast<i32>(HueDegrees(hue_->median_hue));
        const i32 end = static_cast<i32>(HueDegrees(hue_->end_hue));
        for (i32 x : {start, median, end}) FillRectangle(MakeRect(x, 0, 1, h));
        // The range along the top and bottom edges, in two pieces when it
        // wraps past 360.
        auto outline = [&](i32 from, i32 to) {
            if (to <= from) return;
            FillRectangle(MakeRect(from, 0, to - from, 1));
            FillRectangle(MakeRect(from, h - 1, to - from, 1));
        };
        if (start <= end) {
            outline(start, end);
        } else {
            outline(start, static_cast<i32>(kColorBarWidth));
            outline(0, end);
        }
        // The start's triangle hangs from the top, the end's stands on the
        // bottom.
        for (i32 row = 0; row < kTriangleRows; ++row) {
            const i32 half = kTriangleRows - 1 - row;
            FillRectangle(MakeRect(start - half, row, 2 * half + 1, 1));
            FillRectangle(MakeRect(end - half, h - 1 - row, 2 * half + 1, 1));
        }
    }
    EndWindowDraw(this);
}

void ColorBar::OnMouseButton(InputEvent& event) {
    if (!event.ButtonAction()) return;
    const HueMark mark = PickHueMark(*hue_, BarX(Point{event.X(), event.Y()}));
    if (mark == kNoMark) return;
    mode_ = mark;
    StartDrag(this, ForwardMouseDrag);
}

void ColorBar::OnMouseMove(InputEvent& event) {
    const bool overMark = PickHueMark(*hue_, BarX(Point{event.X(), event.Y()})) != kNoMark;
    SetCursor(overMark ? kCursorSizeWestEast : kCursorArrow, true);
}

void ColorBar::OnMouseDrag(Point, Point pos, int phase) {
    if (mode_ == kNoMark) return;
    if (phase == 2) {
        mode_ = kNoMark;
        return;
    }
    DragHueMark(hue_, mode_, BarX(pos));
    Invalidate();
    changed.Emit();
}

}  // namespace pirn
