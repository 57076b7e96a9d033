#pragma once
// X256SequenceFrameEdit: one frame of one view of a sequence on a zoomable
// canvas (X256SequenceFrameView), with a control column at the right: what
// the canvas shows, its background (three BackgroundPickers), the zoom, the
// sequence, frame and view, "<" and ">" stepping frames and "Animate"
// playing the sequence at 30 ticks a second.
//
// Frames and views are stepped modulo their counts (stepping back from
// frame 0 shows the last); the previously shown position is kept as the
// contrail, which the canvas can show faded. Sequences without frames or
// views open on frame 0, view 0 and show nothing to move.
//
// Registered in the collection editor's ElementBlocks as a frame editor of
// its sequence (it moves along when another sequence is chosen): while it
// is open, the sequence's editor keeps its frame and view counts. Emits
// sequenceChanged(sequence) after every edit, changed when it switched to
// another sequence, closed when it goes.

#include <string>

#include "collections/collection.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class BackgroundPicker;
class Button;
class CheckBox;
class ComboBox;
class X256Edit;
class X256SequenceFrameView;

class X256SequenceFrameEdit : public Window {
public:
    static constexpr u32 kStyle = kVisible | kEnabled | kTitleBar | kShadow | kThickBorder | kResizable |
                                  kBackground | kCloseBox;
    static constexpr i32 kControlColumn = 175;
    static constexpr i32 kMargin = 21;
    static constexpr i32 kWidth = 640;
    static constexpr i32 kHeight = 480;
    // Zoom entries in percent.
    static constexpr i32 kZoomPercents[6] = {50, 100, 200, 300, 400, 500};
    // The canvas's show boxes, in their order.
    enum Show : u32 {
        kShowRegPoint = 0,
        kShowKeyPoint,
        kShowSelectionBox,
        kShowOrigin,
        kShowBitmap,
        kShowShadow,
        kShowContrail,
        kShowCount,
    };

    // Registers itself in the editor's blocks as a frame editor of the
    // sequence. View and frame are kept within the sequence's counts.
    X256SequenceFrameEdit(X256Edit* editor, CollectionSequence* sequence, u32 view, u32 frame);

    const char* GetClassName() const override { return "X256SequenceFrameEdit"; }
    void GetMinimumSize(Point* out, Point content) override;
    void Layout() override;
    void OnIdle() override;
    void OnDestroy() override;

    // ---- position ----
    Collection& GetCollection() const { return *collection_; }
    X256Edit* GetEditor() const { return editor_; }
    CollectionSequence* GetSequence() const { return sequence_; }
    u32 GetView() const { return view_; }
    u32 GetFrame() const { return frame_; }
    // The instance and frame shown (null for a sequence without them).
    BitmapInstance* CurrentInstance() const;
    SequenceFrame* CurrentFrame() const;
    // The contrail's instance: the previously shown one, null when it is
    // the current one or gone.
    const BitmapInstance* ContrailInstance() const;
    // Taken modulo the count; the same value again does nothing.
    void SetFrame(i64 frame);
    void SetView(i64 view);
    void SetSequence(CollectionSequence* sequence);

    // ---- animation ----
    void ToggleAnimation();
    bool IsPlaying() const { return playing_; }

    // The title and the combo boxes from the position, and a redraw (the
    // sequence changed elsewhere).
    void RefreshFrameEdit();
    // The sequence's contents changed elsewhere: a redraw.
    void RedrawFrameEdit();
    // The sequence list changed: the sequence box is refilled, the contrail
    // let go when its sequence is gone.
    void RefreshSequenceList();
    // Called by the canvas after it changed the sequence.
    void SequenceEdited();

    // ---- the controls (tests drive them as the user would) ----
    X256SequenceFrameView* GetCanvas() const { return canvas_; }
    CheckBox* GetShowBox(Show show) const { return shows_[show]; }
    BackgroundPicker* GetPicker(int index) const { return pickers_[index]; }
    ComboBox* GetZoomBox() const { return zoom_; }
    ComboBox* GetSequenceBox() const { return sequenceBox_; }
    ComboBox* GetFrameBox() const { return frameBox_; }
    ComboBox* GetViewBox() const { return viewBox_; }
    Button* GetPreviousButton() const { return previous_; }
    Button* GetNextButton() const { return next_; }
    Button* GetAnimateButton() const { return animate_; }

    Signal<CollectionSequence*> sequenceChanged;
    SignalNone changed;
    SignalNone closed;

private:
    struct Position {
        CollectionSequence* sequence = nullptr;
        u32 view = 0;
        u32 frame = 0;
    };

    void Build();
    void BuildShowBoxes(i32 x, i32* y);
    void BuildPickers(i32 x, i32* y);
    void BuildChoices(i32 x, i32* y);
    void FillFrameBoxes();
    void ShowPosition();
    // Moves to a position, keeping the picture where it stands on screen.
    void MoveTo(const Position& to);

    // Slots.
    void OnShowClicked();
    void OnZoomChanged(intptr_t item, intptr_t data);
    void OnSequenceChosen(intptr_t item, intptr_t data);
    void OnFrameChosen(intptr_t item, intptr_t data);
    void OnViewChosen(intptr_t item, intptr_t data);
    void OnPrevious() { SetFrame(i64{frame_} - 1); }
    void OnNext() { SetFrame(i64{frame_} + 1); }
    void OnAnimate() { ToggleAnimation(); }

    X256Edit* editor_;
    Collection* collection_;
    CollectionSequence* sequence_;
    u32 view_ = 0;
    u32 frame_ = 0;
    Position contrail_;
    bool playing_ = false;
    u32 startFrame_ = 0;
    double startTime_ = 0;
    bool settingControls_ = false;
    X256SequenceFrameView* canvas_ = nullptr;
    // The control column at the right.
    Window* column_ = nullptr;
    CheckBox* shows_[kShowCount] = {};
    BackgroundPicker* pickers_[3] = {};
    ComboBox* zoom_ = nullptr;
    ComboBox* sequenceBox_ = nullptr;
    ComboBox* frameBox_ = nullptr;
    ComboBox* viewBox_ = nullptr;
    Button* previous_ = nullptr;
    Button* next_ = nullptr;
    Button* animate_ = nullptr;
};

}  // namespace pirn
