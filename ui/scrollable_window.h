#pragma once
// ScrollableWindow: a window with a vertical and a horizontal scroll state and
// the two scrollbars that show them. It scrolls nothing itself: subclasses
// set ranges, pages and positions in their own units (rows, pixels, lines)
// and read the positions back when they draw. The scrollbars stand in the
// frame, outside the client area, right of it and below it; a scrollbar is
// there exactly while its page is non-zero.

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class ScrollableWindow : public Window {
public:
    // Scrollbar parts reported by ScrollbarHitTest.
    enum ScrollPart : u32 {
        kScrollNone = 0,
        kScrollVThumb = 1,
        kScrollUp = 2,
        kScrollDown = 3,
        kScrollPageUp = 4,
        kScrollPageDown = 5,
        kScrollHThumb = 6,
        kScrollLeft = 7,
        kScrollRight = 8,
        kScrollPageLeft = 9,
        kScrollPageRight = 10,
        kScrollCorner = 11,
    };
    // SetScrollInfo mask bits.
    enum : u32 {
        kSetRangeY = 1,
        kSetPosY = 2,
        kSetPageY = 4,
        kSetRangeX = 8,
        kSetPosX = 16,
        kSetPageX = 32,
    };
    static constexpr i32 kArrowLength = 14;
    static constexpr i32 kMinThumbLength = 14;
    static constexpr double kTrackRepeatInterval = 0.2;
    static constexpr double kArrowRepeatInterval = 1.0 / 30.0;

    ScrollableWindow(u32 flags, Window* parent);
    ~ScrollableWindow() override;

    const char* GetClassName() const override { return "ScrollableWindow"; }
    void CalcClientRect(const Rect& frame, Rect* out) override;
    void GetMinimumSize(Point* out, Point content) override { Window::GetMinimumSize(out, content); }
    void OnIdle() override { RepeatHeldScroll(); }
    void Layout() override { LayoutThumbs(); }
    void DrawFrame() override;
    void OnFrameMouseButton(InputEvent& event) override;
    void OnFrameDoubleClick(InputEvent& event) override;
    void OnWheel(InputEvent& event) override;
    void OnFrameWheel(InputEvent& event) override;

    // Called after the horizontal / vertical position changed (before new
    // ranges and pages are stored).
    virtual void OnScrollX(i32 x) {}
    virtual void OnScrollY(i32 y) {}
    // The corner box was pressed.
    virtual void OnCornerClick() {}

    // Sets the values whose mask bit is set; negative pages become 0 and
    // positions are clamped to 0 .. max(range - page, 0).
    void SetScrollInfo(u32 mask, i32 rangeY, i32 posY, i32 pageY, i32 rangeX, i32 posX, i32 pageX);
    void SetScrollY(i32 y);
    void SetScrollX(i32 x);
    void ScrollByY(i32 dy);
    void ScrollByX(i32 dx);
    // Positions from the rectangle's top-left, pages from its size.
    void SetViewRect(const Rect& rect);
    void SetLineStep(i32 n) { lineStep_ = n; }
    void SetCornerBox(bool on);

    i32 GetScrollX() const { return posX_; }
    i32 GetScrollY() const { return posY_; }
    i32 GetScrollRangeX() const { return rangeX_; }
    i32 GetScrollRangeY() const { return rangeY_; }
    i32 GetScrollPageX() const { return pageX_; }
    i32 GetScrollPageY() const { return pageY_; }
    i32 GetLineStep() const { return lineStep_; }
    bool HasCornerBox() const { return cornerBox_ != 0; }
    bool IsTracking() const { return tracking_ != 0; }

    // The per-frame tick: while a scrollbar part is held, steps on the first
    // frame and then every 1/30 s (arrows) or 0.2 s (track).
    void RepeatHeldScroll();

    // Geometry, relative to the frame's top-left corner.
    Rect ClientRectInFrame() const;
    Rect VerticalBarRect() const;
    Rect HorizontalBarRect() const;
    Rect CornerRect() const;
    // Thumbs as last laid out; empty when not shown.
    const Rect& VerticalThumb() const { return vThumb_; }
    const Rect& HorizontalThumb() const { return hThumb_; }
    bool IsVerticalThumbShown() const { return vThumbShown_ != 0; }
    bool IsHorizontalThumbShown() const { return hThumbShown_ != 0; }
    bool IsUpArrowPressed() const { return upPressed_ != 0; }
    bool IsDownArrowPressed() const { return downPressed_ != 0; }
    bool IsLeftArrowPressed() const { return leftPressed_ != 0; }
    bool IsRightArrowPressed() const { return rightPressed_ != 0; }
    // The scrollbar part under a screen point (edges inclusive).
    u32 ScrollbarHitTest(Point screenPoint) const;
    // Recomputes both thumbs from the current values and client area.
    void LayoutThumbs();

private:
    static void ScrollbarTracker(Window* window, Point start, Point current, int phase);
    void Track(Point start, Point current, int phase);
    // The shared order of effects of every scroll setter.
    void ApplyScroll(i32 rangeY, i32 posY, i32 pageY, i32 rangeX, i32 posX, i32 pageX, bool valuesChanged);
    void StartScrollbarPress(const InputEvent& event);
    void UpdateArrowLooks();
    void ScrollbarLooks(bool vertical, Rect* bar, struct ScrollbarLook* look) const;

    i32 rangeY_ = 0;
    i32 posY_ = 0;
    i32 pageY_ = 0;
    i32 rangeX_ = 0;
    i32 posX_ = 0;
    i32 pageX_ = 0;
    Rect vThumb_;
    Rect hThumb_;
    i32 lineStep_ = 1;
    double lastStepTime_ = 0.0;
    u32 tracking_ = 0;
    u32 upPressed_ = 0;
    u32 downPressed_ = 0;
    u32 leftPressed_ = 0;
    u32 rightPressed_ = 0;
    u32 cornerBox_ = 0;
    u32 vThumbShown_ = 0;
    u32 hThumbShown_ = 0;
};

// The largest valid position on an axis: max(range - page, 0), in 64 bits.
i64 ScrollLimit(i32 range, i32 page);

}  // namespace pirn
