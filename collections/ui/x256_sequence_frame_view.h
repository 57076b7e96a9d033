#pragma once
// X256SequenceFrameView: the frame editor's canvas. It shows the current
// instance's bitmap placed by its registration point on the sequence's
// origin, with the shadow, a faded contrail, the selection box, the
// registration and key points and the origin cross, at a zoom, over one of
// three background patterns, scrollable around the origin.
//
// The mouse drags the key point, the selection box's edges, the frame's
// shadow or the bitmap (in the key mode the held keys choose); the arrow
// keys move in the key mode, or step views and frames without one: at once
// on a key press and every 0.1 s while the canvas has the focus.

#include "collections/frame_edit_rules.h"
#include "collections/frame_view_geometry.h"
#include "ui/scrollable_window.h"

namespace pirn {

class X256SequenceFrameEdit;

class X256SequenceFrameView : public ScrollableWindow {
public:
    static constexpr double kKeyStepInterval = 0.1;
    // The canvas's minimum adds this to the base's, each way.
    static constexpr i32 kMinimumExtra = 294;
    // A point or an edge is picked within this many pixels.
    static constexpr i32 kPickReach = 3;
    static constexpr u32 kBoxColor = 0x8000FFFFu;
    static constexpr u32 kRegPointColor = 0xFF00AA00u;
    static constexpr u32 kKeyPointColor = 0xFF0000FFu;
    static constexpr u32 kPointOutlineColor = 0xFF5A5A5Au;
    static constexpr u32 kContrailTint = 0x80FFFFFFu;
    static constexpr u32 kStatusTextFlags = 0x106;
    static constexpr i32 kStatusInset = 4;

    enum DragKind : u32 {
        kNoDrag = 0,
        kDragKeyPoint,
        kDragBoxEdge,
        kDragShadow,
        kDragBitmap,
    };

    X256SequenceFrameView(X256SequenceFrameEdit* owner, Window* parent);

    const char* GetClassName() const override { return "X256SequenceFrameView"; }
    void GetMinimumSize(Point* out, Point content) override;
    void OnIdle() override;
    void Layout() override;
    void DrawContents() override;
    int OnKey(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnMouseDrag(Point start, Point pos, int phase) override;
    void OnFocusLost(Window* newFocus, int reason) override;
    void OnScrollX(i32) override { Invalidate(); }
    void OnScrollY(i32) override { Invalidate(); }

    // ---- what is shown ----
    void SetShowFlags(const bool (&shows)[7]);
    bool Shows(u32 show) const { return show < 7 && shows_[show]; }
    void SetBackgroundPattern(u32 pattern);
    u32 GetBackgroundPattern() const { return background_; }
    // Keeps the point under the centre of the canvas in place.
    void SetZoom(double zoom);
    double GetZoom() const { return zoom_; }
    // The canvas and scroll range follow the sequence's reach; the origin
    // stays where it stands on screen.
    void UpdateCanvas();

    // ---- geometry (client coordinates) ----
    CanvasPoint Origin() const;
    BoxExtent SelectionBox() const;
    // What a press at a client point would drag, and the cursor it shows.
    DragKind DragKindAt(Point client, BoxEdge* edge) const;
    u32 CursorAt(Point client) const;

    // ---- keys ----
    FrameKeyMode GetKeyMode() const { return keyMode_; }
    // One key step with the keys held now.
    void KeyStep();

private:
    struct Extent {
        i32 width = 0;
        i32 height = 0;
    };
    Extent ContentSize() const;
    bool OnKeyPoint(Point client) const;
    BoxEdge BoxEdgeAt(Point client) const;
    bool OnShadow(Point client) const;
    bool OnBitmap(Point client) const;
    void DrawPoint(CanvasPoint at, u32 color) const;
    void DrawStatus() const;
    void Edited();

    X256SequenceFrameEdit* owner_;
    u32 background_ = 1;
    DragKind drag_ = kNoDrag;
    BoxEdge dragEdge_ = kNoBoxEdge;
    // The drag's reference point: where the pointer stood for the part of
    // its motion already applied.
    CanvasPoint dragReference_;
    double zoom_ = 1.0;
    double lastKeyStep_ = 0.0;
    bool shows_[7] = {true, true, true, false, true, true, false};
    FrameKeyMode keyMode_ = kKeyModeNone;
    Extent content_;
};

}  // namespace pirn
