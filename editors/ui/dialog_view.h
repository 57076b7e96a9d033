#pragma once
// DialogView: the canvas of the dialog editor. It draws the dialog's
// rectangle, stippled, with a 16-pixel margin around it, and every control's
// rectangle with its label; the selected control in orange with a box
// showing its corner (move mode) or its size (resize mode). A press selects
// the control under the pointer; with Control held it drags the control,
// with Shift the edge or corner under the pointer, and the pointer's shape
// tells beforehand what a press would take hold of. The data and the
// commands are the editor's (DialogEdit).
//
// The dialog's top-left corner stands at the margin: a point (x, y) of the
// dialog's coordinates, which its controls share, is drawn at
// (x - left + 16 - scroll x, y - top + 16 - scroll y) of the client area.

#include "editors/dialog_data.h"
#include "platform/pixel_image.h"
#include "platform/types.h"
#include "ui/draw_target.h"
#include "ui/scrollable_window.h"

namespace pirn {

class DialogEdit;

class DialogView : public ScrollableWindow {
public:
    static constexpr i32 kMargin = 16;
    static constexpr i32 kStippleSide = 64;
    static constexpr i32 kLabelInset = 3;
    static constexpr i32 kInfoGap = 4;
    static constexpr i32 kInfoPadding = 4;
    // The canvas's colours (packed RGBA).
    static constexpr u32 kBackgroundColor = PackRgba(48, 48, 52, 255);
    static constexpr u32 kStippleDark = PackRgba(40, 64, 96, 255);
    static constexpr u32 kStippleLight = PackRgba(56, 88, 128, 255);
    static constexpr u32 kControlFillColor = PackRgba(255, 255, 255, 32);
    static constexpr u32 kControlColor = PackRgba(255, 255, 255, 255);
    static constexpr u32 kSelectedColor = PackRgba(255, 140, 0, 255);
    static constexpr u32 kInfoBoxColor = PackRgba(0, 0, 0, 176);

    DialogView(DialogEdit* editor, Window* parent);
    ~DialogView() override;

    const char* GetClassName() const override { return "DialogView"; }
    void Layout() override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnDoubleClick(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    void OnScrollX(i32 x) override { Invalidate(); }
    void OnScrollY(i32 y) override { Invalidate(); }

    // The scroll ranges of the dialog's size and the two margins; called
    // whenever the dialog's rectangle changes.
    void UpdateScrollRange();

    // Between the dialog's coordinates and the client area's (screen for
    // pointer positions).
    Point DialogToClient(i32 x, i32 y) const;
    Point ClientToDialog(Point client) const;
    Point ScreenToDialog(Point screen) const;
    Rect ClientRectOf(const DialogRect& rect) const;
    // The client area one control's drawing covers: its rectangle and label
    // and, while it is selected, the box beside it.
    Rect ControlFootprint(int index) const;
    void InvalidateControl(int index);

    // What a press at the screen point with these modifiers would take hold
    // of: the control (-1 none) and the part (DialogPart).
    int PartAt(Point screen, u32 modifiers, int* index) const;
    // Shows the pointer shape for the point and modifiers (or the dragged
    // part's shape while a drag runs).
    void UpdatePointer(Point screen, u32 modifiers);

    const PixelImage& Stipple() const { return stipple_; }

private:
    Rect InfoBoxRect(int index) const;
    // A cheap bound of an unselected control's footprint: its label counted
    // at the font's widest advance. Tells the controls far from a redrawn
    // part apart without laying out any text.
    Rect RoughFootprint(const DialogControl& control) const;
    i32 WidestAdvance() const;
    void DrawStipple(const Rect& dialog);
    void DrawControl(int index, bool selected);

    DialogEdit* editor_;
    PixelImage stipple_;
    mutable const InterfaceFont* advanceFont_ = nullptr;
    mutable i32 widestAdvance_ = 0;
};

}  // namespace pirn
