// Scroll state and the two scrollbars: geometry, hit tests, the drag
// tracker, auto-repeat while a part is held, the wheel and drawing. All
// products and ratios of ranges, pages and pixel lengths are worked out in
// 64 bits: ranges come from data (rows, pixels) and may be large.

#include "ui/scrollable_window.h"

#include <algorithm>
#include <climits>

#include "platform/os/os_time.h"
#include "ui/frame_timer.h"
#include "ui/skin.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// Only one pointer drag runs at a time in the whole program, so the state of
// a scrollbar drag is held once.
struct ScrollbarDrag {
    u32 pressedPart = 0;
    u32 hoverPart = 0;
    Rect vThumbAtPress;
    Rect hThumbAtPress;
};
ScrollbarDrag g_drag;

i32 ClampToI32(i64 v) { return static_cast<i32>(std::clamp<i64>(v, INT_MIN, INT_MAX)); }

bool IsTrackPart(u32 part) {
    return part == ScrollableWindow::kScrollPageUp || part == ScrollableWindow::kScrollPageDown ||
           part == ScrollableWindow::kScrollPageLeft || part == ScrollableWindow::kScrollPageRight;
}

bool Inside(Point p, const Rect& r) { return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom; }

}  // namespace

i64 ScrollLimit(i32 range, i32 page) { return std::max<i64>(static_cast<i64>(range) - page, 0); }

ScrollableWindow::ScrollableWindow(u32 flags, Window* parent) : Window(flags, parent) {}

ScrollableWindow::~ScrollableWindow() = default;

void ScrollableWindow::CalcClientRect(const Rect& frame, Rect* out) {
    Window::CalcClientRect(frame, out);
    const i32 t = GetScrollbarWidth();
    if (pageX_ != 0) out->bottom = std::max(out->bottom - t, out->top);
    if (pageY_ != 0) out->right = std::max(out->right - t, out->left);
}

// ---- values ----

void ScrollableWindow::ApplyScroll(i32 rangeY, i32 posY, i32 pageY, i32 rangeX, i32 posX, i32 pageX,
                                   bool valuesChanged) {
    pageY = std::max(pageY, 0);
    pageX = std::max(pageX, 0);
    const i32 newY = static_cast<i32>(std::clamp<i64>(posY, 0, ScrollLimit(rangeY, pageY)));
    const i32 newX = static_cast<i32>(std::clamp<i64>(posX, 0, ScrollLimit(rangeX, pageX)));
    const bool movedY = newY != posY_;
    const bool movedX = newX != posX_;
    // Subclasses hear of the new positions before ranges and pages change.
    if (movedY) {
        posY_ = newY;
        OnScrollY(newY);
    }
    if (movedX) {
        posX_ = newX;
        OnScrollX(newX);
    }
    if (!movedY && !movedX && !valuesChanged) return;
    rangeY_ = rangeY;
    pageY_ = pageY;
    rangeX_ = rangeX;
    pageX_ = pageX;
    // A scrollbar that appeared or went changes the client area: the frame
    // is set again so that the client and the children follow.
    ReapplyFrame();
    LayoutThumbs();
    InvalidateFrame();
}

void ScrollableWindow::SetScrollInfo(u32 mask, i32 rangeY, i32 posY, i32 pageY, i32 rangeX, i32 posX,
                                     i32 pageX) {
    ApplyScroll((mask & kSetRangeY) ? rangeY : rangeY_, (mask & kSetPosY) ? posY : posY_,
                (mask & kSetPageY) ? pageY : pageY_, (mask & kSetRangeX) ? rangeX : rangeX_,
                (mask & kSetPosX) ? posX : posX_, (mask & kSetPageX) ? pageX : pageX_,
                (mask & (kSetRangeY | kSetPageY | kSetRangeX | kSetPageX)) != 0);
}

void ScrollableWindow::SetScrollY(i32 y) { ApplyScroll(rangeY_, y, pageY_, rangeX_, posX_, pageX_, false); }

void ScrollableWindow::SetScrollX(i32 x) { ApplyScroll(rangeY_, posY_, pageY_, rangeX_, x, pageX_, false); }

void ScrollableWindow::ScrollByY(i32 dy) { SetScrollY(ClampToI32(static_cast<i64>(posY_) + dy)); }

void ScrollableWindow::ScrollByX(i32 dx) { SetScrollX(ClampToI32(static_cast<i64>(posX_) + dx)); }

void ScrollableWindow::SetViewRect(const Rect& r) {
    const i32 pageY = ClampToI32(std::max<i64>(static_cast<i64>(r.bottom) - r.top, 0));
    const i32 pageX = ClampToI32(std::max<i64>(static_cast<i64>(r.right) - r.left, 0));
    ApplyScroll(rangeY_, r.top, pageY, rangeX_, r.left, pageX, true);
}

void ScrollableWindow::SetCornerBox(bool on) {
    const u32 value = on ? 1 : 0;
    if (value == cornerBox_) return;
    cornerBox_ = value;
    InvalidateFrame();
}

// ---- geometry ----

Rect ScrollableWindow::ClientRectInFrame() const {
    return OffsetRect(GetClientScreenRect(), -GetFrameScreenRect().left, -GetFrameScreenRect().top);
}

Rect ScrollableWindow::VerticalBarRect() const {
    const Rect c = ClientRectInFrame();
    return Rect{c.right, c.top, c.right + GetScrollbarWidth(), c.bottom};
}

Rect ScrollableWindow::HorizontalBarRect() const {
    const Rect c = ClientRectInFrame();
    return Rect{c.left, c.bottom, c.right, c.bottom + GetScrollbarWidth()};
}

Rect ScrollableWindow::CornerRect() const {
    const Rect c = ClientRectInFrame();
    const i32 t = GetScrollbarWidth();
    return Rect{c.right, c.bottom, c.right + t, c.bottom + t};
}

void ScrollableWindow::LayoutThumbs() {
    const Rect c = ClientRectInFrame();
    const i32 t = GetScrollbarWidth();
    // Track length, scrollable amount, thumb length and offset per axis.
    auto layout = [](i64 track, i32 range, i32 page, i32 pos, i64* offset, i64* length) {
        const i64 scrollable = static_cast<i64>(range) - page;
        if (track < 15 || scrollable < 1) return false;
        // scrollable >= 1 with page >= 0 means range >= 1.
        *length = std::max<i64>(track * page / range, kMinThumbLength);
        *length = std::min(*length, track);
        *offset = (track - *length) * std::clamp<i64>(pos, 0, scrollable) / scrollable;
        return true;
    };
    i64 offset = 0, length = 0;
    vThumbShown_ = layout(static_cast<i64>(c.Height()) - 2 * kArrowLength, rangeY_, pageY_, posY_, &offset, &length);
    vThumb_ = vThumbShown_ ? Rect{c.right, c.top + kArrowLength + static_cast<i32>(offset), c.right + t,
                                  c.top + kArrowLength + static_cast<i32>(offset + length)}
                           : Rect{};
    hThumbShown_ = layout(static_cast<i64>(c.Width()) - 2 * kArrowLength, rangeX_, pageX_, posX_, &offset, &length);
    hThumb_ = hThumbShown_ ? Rect{c.left + kArrowLength + static_cast<i32>(offset), c.bottom,
                                  c.left + kArrowLength + static_cast<i32>(offset + length), c.bottom + t}
                           : Rect{};
}

u32 ScrollableWindow::ScrollbarHitTest(Point screen) const {
    const Point p{screen.x - GetFrameScreenRect().left, screen.y - GetFrameScreenRect().top};
    const Rect c = ClientRectInFrame();
    if (pageY_ != 0 && Inside(p, VerticalBarRect())) {
        if (vThumbShown_) {
            if (p.y < vThumb_.top) return p.y < c.top + kArrowLength ? kScrollUp : kScrollPageUp;
            if (p.y <= vThumb_.bottom) return kScrollVThumb;
            return p.y > c.bottom - kArrowLength ? kScrollDown : kScrollPageDown;
        }
        if (p.y < c.top + kArrowLength) return kScrollUp;
        if (p.y > c.bottom - kArrowLength) return kScrollDown;
        return kScrollNone;
    }
    if (pageX_ != 0 && Inside(p, HorizontalBarRect())) {
        if (hThumbShown_) {
            if (p.x < hThumb_.left) return p.x < c.left + kArrowLength ? kScrollLeft : kScrollPageLeft;
            if (p.x <= hThumb_.right) return kScrollHThumb;
            return p.x > c.right - kArrowLength ? kScrollRight : kScrollPageRight;
        }
        if (p.x < c.left + kArrowLength) return kScrollLeft;
        if (p.x > c.right - kArrowLength) return kScrollRight;
        return kScrollNone;
    }
    if (Inside(p, CornerRect())) return (pageX_ != 0 && pageY_ != 0 && cornerBox_) ? kScrollCorner : kScrollNone;
    return kScrollNone;
}

// ---- mouse ----

void ScrollableWindow::StartScrollbarPress(const InputEvent& e) {
    const Point p{e.X(), e.Y()};
    const Rect& client = GetClientScreenRect();
    const bool rightOfClient = p.x >= client.right && static_cast<i64>(rangeY_) - pageY_ >= 1;
    const bool belowClient = p.y >= client.bottom && static_cast<i64>(rangeX_) - pageX_ >= 1;
    if (!rightOfClient && !belowClient) return;
    LayoutThumbs();
    if (ScrollbarHitTest(p) == kScrollCorner) {
        OnCornerClick();
        return;
    }
    StartDrag(this, &ScrollableWindow::ScrollbarTracker);
}

void ScrollableWindow::OnFrameMouseButton(InputEvent& e) {
    if (e.ButtonAction() && e.Part() == kPartOtherFrame) StartScrollbarPress(e);
    else Window::OnFrameMouseButton(e);
}

void ScrollableWindow::OnFrameDoubleClick(InputEvent& e) {
    // A double click on a scrollbar is one more press.
    if (e.Part() == kPartOtherFrame) StartScrollbarPress(e);
    else Window::OnFrameDoubleClick(e);
}

void ScrollableWindow::ScrollbarTracker(Window* window, Point start, Point current, int phase) {
    static_cast<ScrollableWindow*>(window)->Track(start, current, phase);
}

void ScrollableWindow::Track(Point start, Point current, int phase) {
    g_drag.hoverPart = ScrollbarHitTest(current);
    if (phase == 0) {
        tracking_ = 1;
        g_drag.pressedPart = g_drag.hoverPart;
        g_drag.vThumbAtPress = vThumb_;
        g_drag.hThumbAtPress = hThumb_;
        if (g_drag.pressedPart == kScrollVThumb || g_drag.pressedPart == kScrollHThumb) InvalidateFrame();
    } else if (phase == 1) {
        const Rect c = ClientRectInFrame();
        if (g_drag.pressedPart == kScrollVThumb) {
            const i64 atPress = static_cast<i64>(g_drag.vThumbAtPress.top) - c.top - kArrowLength;
            const i64 room = static_cast<i64>(c.Height()) - 2 * kArrowLength - g_drag.vThumbAtPress.Height();
            // The window may have shrunk since the press: no room, no move.
            if (room > 0) {
                const i64 scrollable = static_cast<i64>(rangeY_) - pageY_;
                const i64 offset = std::clamp<i64>(atPress + (static_cast<i64>(current.y) - start.y), 0, room);
                SetScrollY(ClampToI32(scrollable * offset / room));
            }
        } else if (g_drag.pressedPart == kScrollHThumb) {
            const i64 atPress = static_cast<i64>(g_drag.hThumbAtPress.left) - c.left - kArrowLength;
            const i64 room = static_cast<i64>(c.Width()) - 2 * kArrowLength - g_drag.hThumbAtPress.Width();
            if (room > 0) {
                const i64 scrollable = static_cast<i64>(rangeX_) - pageX_;
                const i64 offset = std::clamp<i64>(atPress + (static_cast<i64>(current.x) - start.x), 0, room);
                SetScrollX(ClampToI32(scrollable * offset / room));
            }
        }
    } else {
        tracking_ = 0;
        g_drag.pressedPart = 0;
        g_drag.hoverPart = 0;
        InvalidateFrame();
    }
    UpdateArrowLooks();
}

void ScrollableWindow::UpdateArrowLooks() {
    const u32 pressed = g_drag.pressedPart;
    const u32 hover = g_drag.hoverPart;
    const u32 up = (pressed == kScrollUp && hover == kScrollUp) ? 1 : 0;
    const u32 down = (pressed == kScrollDown && hover == kScrollDown) ? 1 : 0;
    const u32 left = (pressed == kScrollLeft && hover == kScrollLeft) ? 1 : 0;
    const u32 right = (pressed == kScrollRight && hover == kScrollRight) ? 1 : 0;
    if (up == upPressed_ && down == downPressed_ && left == leftPressed_ && right == rightPressed_) return;
    upPressed_ = up;
    downPressed_ = down;
    leftPressed_ = left;
    rightPressed_ = right;
    InvalidateFrame();
}

void ScrollableWindow::RepeatHeldScroll() {
    if (!tracking_) return;
    const u32 pressed = g_drag.pressedPart;
    const double interval = IsTrackPart(pressed) ? kTrackRepeatInterval : kArrowRepeatInterval;
    const double now = OsGetTime();
    if (now - lastStepTime_ < interval) {
        RequestFrameBy(lastStepTime_ + interval);
        return;
    }
    lastStepTime_ = now;
    RequestFrameBy(now + interval);
    LayoutThumbs();
    const u32 part = ScrollbarHitTest(GetMousePosition());
    if (part != pressed || part < kScrollUp || part > kScrollPageRight || part == kScrollHThumb) return;
    const i64 line = lineStep_;
    switch (part) {
        case kScrollUp: SetScrollY(ClampToI32(posY_ - line)); break;
        case kScrollDown: SetScrollY(ClampToI32(posY_ + line)); break;
        case kScrollPageUp: SetScrollY(ClampToI32(static_cast<i64>(posY_) - pageY_)); break;
        case kScrollPageDown: SetScrollY(ClampToI32(static_cast<i64>(posY_) + pageY_)); break;
        case kScrollLeft: SetScrollX(ClampToI32(posX_ - line)); break;
        case kScrollRight: SetScrollX(ClampToI32(posX_ + line)); break;
        case kScrollPageLeft: SetScrollX(ClampToI32(static_cast<i64>(posX_) - pageX_)); break;
        case kScrollPageRight: SetScrollX(ClampToI32(static_cast<i64>(posX_) + pageX_)); break;
        default: break;
    }
}

void ScrollableWindow::OnWheel(InputEvent& e) {
    const i32 delta = ClampToI32(static_cast<i64>(e.OldWheel()) - e.NewWheel());
    if (e.MouseModifiers() & kWheelHorizontalBit) ScrollByX(delta);
    else ScrollByY(delta);
}

void ScrollableWindow::OnFrameWheel(InputEvent& e) {
    // The wheel scrolls over the scrollbars too.
    if (e.Part() == kPartOtherFrame) OnWheel(e);
    else Window::OnFrameWheel(e);
}

// ---- drawing ----

void ScrollableWindow::ScrollbarLooks(bool vertical, Rect* bar, ScrollbarLook* look) const {
    look->vertical = vertical;
    if (vertical) {
        *bar = VerticalBarRect();
        look->enabled = static_cast<i64>(rangeY_) - pageY_ >= 1;
        look->first_arrow_pressed = upPressed_ != 0;
        look->second_arrow_pressed = downPressed_ != 0;
        look->thumb_shown = vThumbShown_ != 0;
        look->thumb = vThumb_;
        look->thumb_pressed = tracking_ && g_drag.pressedPart == kScrollVThumb;
    } else {
        *bar = HorizontalBarRect();
        look->enabled = static_cast<i64>(rangeX_) - pageX_ >= 1;
        look->first_arrow_pressed = leftPressed_ != 0;
        look->second_arrow_pressed = rightPressed_ != 0;
        look->thumb_shown = hThumbShown_ != 0;
        look->thumb = hThumb_;
        look->thumb_pressed = tracking_ && g_drag.pressedPart == kScrollHThumb;
    }
}

void ScrollableWindow::DrawFrame() {
    LayoutThumbs();
    if (pageY_ != 0 || pageX_ != 0) {
        if (BeginWindowDraw(this, 0, 0)) {
            const Skin* skin = GetSkin();
            Rect bar;
            ScrollbarLook look;
            if (pageY_ != 0) {
                ScrollbarLooks(true, &bar, &look);
                DrawScrollbar(skin, bar, look);
            }
            if (pageX_ != 0) {
                ScrollbarLooks(false, &bar, &look);
                DrawScrollbar(skin, bar, look);
            }
            if (pageY_ != 0 && pageX_ != 0) DrawScrollbarCorner(skin, CornerRect(), cornerBox_ != 0);
        }
        EndWindowDraw(this);
    }
    Window::DrawFrame();
}

}  // namespace pirn
