#pragma once
// SplitterWindow: two panes side by side or one above the other, with a bar
// between them that the user drags (unless one pane is held at its
// minimum).

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class SplitterWindow : public Window {
public:
    enum Orientation : int { kSideBySide = 0, kStacked = 1 };
    enum Sizing : int { kSizingFree = 0, kFirstAtMinimum = 1, kSecondAtMinimum = 2 };

    SplitterWindow(u32 flags, Window* parent);
    ~SplitterWindow() override;

    const char* GetClassName() const override { return "SplitterWindow"; }
    void Layout() override;
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    void OnChildRemoved(Window* child) override;

    // Puts the window (or nothing) into pane 0 or 1 as a child with its
    // minimum size along the split axis; the window that was there is
    // detached from the splitter and returned.
    Window* SetPane(int index, Window* window, i32 minimum);
    Window* GetPane(int index) const { return (index == 0 || index == 1) ? panes_[index] : nullptr; }
    i32 GetPaneMinimum(int index) const { return (index == 0 || index == 1) ? minimum_[index] : 0; }
    // Clamps; on a change re-lays out and redraws.
    void SetSplitPosition(i32 position);
    i32 GetSplitPosition() const { return split_; }
    void SetLayout(int orientation, int sizing);
    int GetOrientation() const { return orientation_; }
    int GetSizing() const { return sizing_; }
    // The position the rules allow for a request, for the current size.
    i32 ClampSplit(i32 requested) const;
    // The bar (client coordinates); empty unless both panes are there.
    Rect BarRect() const;

private:
    i32 AxisLength() const;

    int orientation_ = kSideBySide;
    int sizing_ = kSizingFree;
    Window* panes_[2] = {nullptr, nullptr};
    i32 minimum_[2] = {0, 0};
    i32 split_ = 0;
    i32 splitAtDragStart_ = 0;
};

}  // namespace pirn
