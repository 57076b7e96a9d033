// Split panes: clamping, layout, the draggable bar and its pointer shape.

#include "ui/splitter_window.h"

#include <algorithm>

#include "platform/os/cursor_id.h"
#include "ui/skin.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"

namespace pirn {

SplitterWindow::SplitterWindow(u32 flags, Window* parent) : Window(flags, parent) { SetTitle("SplitterWindow"); }

SplitterWindow::~SplitterWindow() = default;

i32 SplitterWindow::AxisLength() const { return orientation_ == kSideBySide ? GetClientWidth() : GetClientHeight(); }

i32 SplitterWindow::ClampSplit(i32 requested) const {
    const i64 t = AxisLength();
    const i64 m0 = minimum_[0];
    const i64 m1 = minimum_[1];
    const i64 m = std::min(m0, m1);
    i64 pos;
    if (t < 2 * m) {
        pos = t / 2;
    } else {
        const bool fits = m0 <= t - m1;
        switch (sizing_) {
            case kFirstAtMinimum:
                pos = fits ? m0 : t - m;
                break;
            case kSecondAtMinimum:
                pos = fits ? t - m1 : t - m;
                break;
            default:
                pos = fits ? std::clamp<i64>(requested, m0, t - m1) : requested;
                break;
        }
    }
    return static_cast<i32>(std::clamp<i64>(pos, 0, std::max<i64>(t, 0)));
}

Rect SplitterWindow::BarRect() const {
    if (!panes_[0] || !panes_[1]) return Rect{};
    const i32 size = GetSkinFrameSize();
    if (orientation_ == kSideBySide) return Rect{split_, 0, split_ + size, GetClientHeight()};
    return Rect{0, split_, GetClientWidth(), split_ + size};
}

void SplitterWindow::Layout() {
    split_ = ClampSplit(split_);
    const i32 w = GetClientWidth();
    const i32 h = GetClientHeight();
    if (panes_[0] && panes_[1]) {
        const Rect bar = BarRect();
        if (orientation_ == kSideBySide) {
            SetFrame(panes_[0], Rect{0, 0, bar.left, h});
            SetFrame(panes_[1], Rect{bar.right, 0, std::max(w, bar.right), h});
        } else {
            SetFrame(panes_[0], Rect{0, 0, w, bar.top});
            SetFrame(panes_[1], Rect{0, bar.bottom, w, std::max(h, bar.bottom)});
        }
    } else if (Window* only = panes_[0] ? panes_[0] : panes_[1]) {
        SetFrame(only, Rect{0, 0, w, h});
    }
}

Window* SplitterWindow::SetPane(int index, Window* window, i32 minimum) {
    if (index != 0 && index != 1) return nullptr;
    Window* old = panes_[index];
    minimum_[index] = std::max(minimum, 0);
    if (old != window) {
        panes_[index] = nullptr;  // before detaching, so that the removal is not taken for a loss
        if (old && old->GetParent() == this) pirn::SetParent(old, nullptr);
        if (window) {
            if (panes_[1 - index] == window) panes_[1 - index] = nullptr;
            if (window->GetParent() != this) pirn::SetParent(window, this);
        }
        panes_[index] = window;
    }
    Layout();
    Invalidate();
    return old != window ? old : nullptr;
}

void SplitterWindow::OnChildRemoved(Window* child) {
    // A pane destroyed or moved elsewhere by someone else leaves its place.
    bool lost = false;
    for (Window*& pane : panes_) {
        if (pane == child) {
            pane = nullptr;
            lost = true;
        }
    }
    if (lost) {
        Layout();
        Invalidate();
    }
}

void SplitterWindow::SetSplitPosition(i32 position) {
    const i32 clamped = ClampSplit(position);
    if (clamped == split_) return;
    split_ = clamped;
    Layout();
    Invalidate();
}

void SplitterWindow::SetLayout(int orientation, int sizing) {
    orientation_ = orientation == kStacked ? kStacked : kSideBySide;
    sizing_ = (sizing == kFirstAtMinimum || sizing == kSecondAtMinimum) ? sizing : kSizingFree;
    Layout();
    Invalidate();
}

namespace {
bool OnBar(const Rect& bar, Point p) {
    return !bar.IsEmpty() && p.x >= bar.left && p.x < bar.right && p.y >= bar.top && p.y < bar.bottom;
}
}  // namespace

void SplitterWindow::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction() || sizing_ != kSizingFree) return;
    Point p{e.X(), e.Y()};
    ScreenToClientPoints(&p, 1);
    if (!OnBar(BarRect(), p)) return;
    splitAtDragStart_ = split_;
    StartDrag(this, ForwardMouseDrag);
}

void SplitterWindow::OnMouseDrag(Point start, Point pos, int phase) {
    if (phase == 0) return;
    const i32 moved = orientation_ == kSideBySide ? pos.x - start.x : pos.y - start.y;
    SetSplitPosition(splitAtDragStart_ + moved);
}

void SplitterWindow::OnMouseMove(InputEvent& e) {
    Point p{e.X(), e.Y()};
    ScreenToClientPoints(&p, 1);
    u32 shape = kCursorArrow;
    if (sizing_ == kSizingFree && OnBar(BarRect(), p))
        shape = orientation_ == kSideBySide ? kCursorSizeWestEast : kCursorSizeNorthSouth;
    if (shape != GetCursor()) SetCursor(shape, true);
}

void SplitterWindow::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const Rect bar = BarRect();
        if (!bar.IsEmpty()) DrawSkinSeparator(GetSkin(), bar, orientation_ == kSideBySide ? 1 : 2);
    }
    EndWindowDraw(this);
}

}  // namespace pirn
