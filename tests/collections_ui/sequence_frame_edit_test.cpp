// X256SequenceFrameEdit on the headless window system: the title, stepping
// and wrapping frames and views, the contrail, switching sequences, the
// animation's clock, key modes from held keys with the 0.1 s repeat, mouse
// drags of the key point, the bitmap, the shadow and the box, and what the
// canvas draws.

#include <gtest/gtest.h>

#include <algorithm>

#include "collections/frame_view_geometry.h"
#include "collections/ui/background_picker.h"
#include "collections/ui/x256_sequence_frame_view.h"
#include "tests/collections_ui/sequence_page_fixture.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/draw_recorder.h"

namespace pirn_test {
namespace {

const char kDeg = static_cast<char>(161);

class FrameEditTest : public SequencePageTest {
protected:
    X256SequenceFrameEdit* Open(CollectionSequence* sequence, i32 view, i32 frame) {
        X256SequenceFrameEdit* edit = Browser()->OpenFrameEditor(sequence, view, frame);
        EXPECT_NE(edit, nullptr);
        edit->SetPosition(0, 0);
        StepFrame();
        return edit;
    }
    static Point OnCanvas(X256SequenceFrameView* canvas, CanvasPoint p) {
        const Rect& client = canvas->GetClientScreenRect();
        return Point{client.left + i32(p.x), client.top + i32(p.y)};
    }
    static void Hold(int code) {
        HandleKeyInput(code, 1);
        DrainEventQueue();
    }
    static void Let(int code) {
        HandleKeyInput(code, 0);
        DrainEventQueue();
    }
    static void Frames(double seconds) {
        for (double t = 0; t < seconds; t += 1.0 / 60.0) IdleFrame();
    }
};

TEST_F(FrameEditTest, TitleAndStepsWrapAroundTheCounts) {
    X256SequenceFrameEdit* edit = Open(walk_, 3, 1);
    EXPECT_EQ(std::string(edit->GetTitle()), std::string("Walk (Frame 1 @ 135") + kDeg + ")");
    EXPECT_EQ(edit->GetViewBox()->GetField()->GetText(), std::string("135") + kDeg);
    EXPECT_EQ(edit->GetFrameBox()->GetField()->GetText(), "Frame 1");
    edit->GetNextButton()->clicked.Emit();
    EXPECT_EQ(edit->GetFrame(), 0u);  // past the last frame
    edit->GetPreviousButton()->clicked.Emit();
    EXPECT_EQ(edit->GetFrame(), 1u);  // before frame 0: the last
    EXPECT_EQ(edit->GetFrameBox()->GetField()->GetText(), "Frame 1");
    edit->SetView(-1);
    EXPECT_EQ(edit->GetView(), 7u);
    EXPECT_EQ(std::string(edit->GetTitle()), std::string("Walk (Frame 1 @ 315") + kDeg + ")");
    // The previous position is the contrail; the current one never is.
    EXPECT_EQ(edit->ContrailInstance(), &walk_->frames[1].instances[3]);
    edit->SetView(7);
    EXPECT_EQ(edit->ContrailInstance(), &walk_->frames[1].instances[3]);
    EXPECT_EQ(edit->GetZoomBox()->GetField()->GetText(), "100%");
    EXPECT_EQ(edit->GetSequenceBox()->GetField()->GetText(), "Walk");
}

TEST_F(FrameEditTest, ASequenceWithFewerViewsKeepsTheViewInRange) {
    X256SequenceFrameEdit* edit = Open(walk_, 6, 1);
    edit->SetSequence(cast_);
    EXPECT_EQ(edit->GetSequence(), cast_);
    EXPECT_EQ(edit->GetView(), 1u);
    EXPECT_EQ(edit->GetFrame(), 1u);
    EXPECT_EQ(edit->ContrailInstance(), &walk_->frames[1].instances[6]);
    EXPECT_TRUE(editor_->Blocks().Shows(ElementBlocks::kFrameEditor, cast_));
    EXPECT_FALSE(editor_->Blocks().Shows(ElementBlocks::kFrameEditor, walk_));
    edit->SetSequence(idle_);
    EXPECT_EQ(edit->GetView(), 0u);
    EXPECT_EQ(edit->GetFrame(), 0u);

    // The contrail's sequence deleted: the contrail becomes the current position.
    Select({cast_});
    Then(AnswerTopBox(0));
    Browser()->RunCommand(X256SequenceBrowser::kDeleteCommand);
    EXPECT_EQ(c_->sequences.size(), 3u);
    EXPECT_EQ(edit->ContrailInstance(), nullptr);
    EXPECT_EQ(edit->GetSequenceBox()->GetList()->GetRowCount(), 3);
}

TEST_F(FrameEditTest, AnimationStepsAtThirtyTicksASecond) {
    ResizeSequence(walk_, 8, 10);
    walk_->ticks_per_frame = 0;  // counts as 1: 30 frames a second
    X256SequenceFrameEdit* edit = Open(walk_, 0, 0);
    edit->GetAnimateButton()->clicked.Emit();
    EXPECT_TRUE(edit->IsPlaying());
    EXPECT_STREQ(edit->GetAnimateButton()->GetTitle(), "Stop");
    EXPECT_FALSE(edit->GetNextButton()->IsEnabled());
    EXPECT_FALSE(edit->GetFrameBox()->IsEnabled());
    headless::AdvanceTime(0.2);  // 6 ticks
    edit->OnIdle();
    EXPECT_EQ(edit->GetFrame(), 6u);
    headless::AdvanceTime(0.2);
    edit->OnIdle();
    EXPECT_EQ(edit->GetFrame(), 2u);  // 12 wrapped into 10
    edit->GetAnimateButton()->clicked.Emit();
    EXPECT_STREQ(edit->GetAnimateButton()->GetTitle(), "Animate");
    EXPECT_TRUE(edit->GetPreviousButton()->IsEnabled());
    headless::AdvanceTime(1.0);
    edit->OnIdle();
    EXPECT_EQ(edit->GetFrame(), 2u);
}

TEST_F(FrameEditTest, HeldKeysMoveAtOnceThenEveryTenthOfASecond) {
    X256SequenceFrameEdit* edit = Open(cast_, 1, 0);
    X256SequenceFrameView* canvas = edit->GetCanvas();
    ActivateWindow(canvas, kFocusByClick);
    BitmapInstance& instance = cast_->frames[0].instances[1];
    instance.key_x = 5;
    Hold(kKeyF1);
    Hold(kKeyRight);
    EXPECT_EQ(instance.key_x, 6);
    EXPECT_EQ(canvas->GetKeyMode(), kKeyModeKeyPoint);
    EXPECT_TRUE(editor_->IsModified());
    headless::AdvanceTime(0.05);
    canvas->OnIdle();
    EXPECT_EQ(instance.key_x, 6);
    headless::AdvanceTime(0.06);
    canvas->OnIdle();
    EXPECT_EQ(instance.key_x, 7);
    Let(kKeyRight);
    Let(kKeyF1);

    // A key point at the end of its range stays there.
    instance.key_x = 32767;
    Hold(kKeyF1);
    Hold(kKeyRight);
    EXPECT_EQ(instance.key_x, 32767);
    Let(kKeyRight);
    Let(kKeyF1);

    // Shift alone moves the bitmap: Down takes the picture down, as a drag
    // down does, so its registration point goes up inside it.
    const i16 x = instance.standard.x;
    Hold(kKeyLeftShift);
    Hold(kKeyDown);
    EXPECT_EQ(canvas->GetKeyMode(), kKeyModeBitmap);
    EXPECT_EQ(instance.standard.y, 59);
    Let(kKeyDown);
    Hold(kKeyRight);
    EXPECT_EQ(instance.standard.x, x - 1);
    Let(kKeyRight);
    Let(kKeyLeftShift);

    // Without a mode the arrows step views and frames.
    Hold(kKeyRight);
    Let(kKeyRight);
    EXPECT_EQ(edit->GetView(), 0u);  // 1 + 1 wrapped into 2 views
    Hold(kKeyDown);
    Let(kKeyDown);
    EXPECT_EQ(edit->GetFrame(), 1u);
    EXPECT_EQ(canvas->GetKeyMode(), kKeyModeNone);
}

TEST_F(FrameEditTest, MouseDragsTheKeyPointTheBoxTheShadowAndTheBitmap) {
    walk_->frames[0].instances[0].key_x = 2;
    walk_->frames[0].instances[0].key_y = 1;
    walk_->frames[0].instances[0].standard.x = 2;
    walk_->frames[0].instances[0].standard.y = 2;
    X256SequenceFrameEdit* edit = Open(walk_, 0, 0);
    X256SequenceFrameView* canvas = edit->GetCanvas();
    canvas->SetZoom(2.0);
    BitmapInstance& instance = walk_->frames[0].instances[0];

    // The key point, 4 screen pixels right at zoom 2: 2 bitmap pixels.
    const CanvasPoint origin = canvas->Origin();
    Point key = OnCanvas(canvas, CanvasPoint{origin.x + 0, origin.y - 2});
    BoxEdge edge = kNoBoxEdge;
    EXPECT_EQ(canvas->DragKindAt(Point{i32(origin.x), i32(origin.y - 2)}, &edge), X256SequenceFrameView::kDragKeyPoint);
    EXPECT_EQ(canvas->CursorAt(Point{i32(origin.x), i32(origin.y - 2)}), u32{kCursorCross});
    MoveTo(key.x, key.y);
    Press();
    MoveTo(key.x + 4, key.y);
    Release();
    EXPECT_EQ(instance.key_x, 4);
    EXPECT_EQ(instance.key_y, 1);

    // The box's right edge: the radius grows by half the motion.
    const BoxExtent box = canvas->SelectionBox();
    const Point right = OnCanvas(canvas, CanvasPoint{box.right, (box.top + box.bottom) / 2});
    MoveTo(right.x, right.y);
    Press();
    MoveTo(right.x + 8, right.y);
    Release();
    EXPECT_EQ(walk_->box_radius, 22 * i32(kFixedOne));

    // The shadow (centred on the origin, under nothing else here).
    instance.standard.bitmap = nullptr;
    const Point shadow = OnCanvas(canvas, CanvasPoint{origin.x + 3, origin.y + 2});
    EXPECT_EQ(canvas->CursorAt(Point{i32(origin.x + 3), i32(origin.y + 2)}), u32{kCursorShadowHover});
    MoveTo(shadow.x, shadow.y);
    Press();
    MoveTo(shadow.x + 6, shadow.y - 2);
    Release();
    EXPECT_EQ(walk_->frames[0].record.shadow_x, -3 * 13107);
    EXPECT_EQ(walk_->frames[0].record.shadow_y, 1 * 13107);

    // The bitmap moves only in a key mode: the picture follows the pointer.
    instance.standard.bitmap = bitmaps_[0];
    const Point body = OnCanvas(canvas, CanvasPoint{origin.x - 30, origin.y + 40});
    MoveTo(body.x, body.y);
    Press();
    MoveTo(body.x + 10, body.y);
    Release();
    EXPECT_EQ(instance.standard.x, 2);
    HandleKeyInput(kKeyLeftShift, 1);
    MoveTo(body.x, body.y);
    Press();
    MoveTo(body.x + 10, body.y + 4);
    Release();
    HandleKeyInput(kKeyLeftShift, 0);
    DrainEventQueue();
    EXPECT_EQ(instance.standard.x, 2 - 5);
    EXPECT_EQ(instance.standard.y, 2 - 2);
    EXPECT_TRUE(editor_->IsModified());
}

TEST_F(FrameEditTest, MirroredViewsShowAtOnceWhatEveryEditMakesOfThem) {
    walk_->frames[0].instances[3].standard.bitmap = bitmaps_[3];
    ComputeSequenceExtents(c_);  // as loading leaves Walk: views 5-7 rebuilt
    BitmapInstance& stored = walk_->frames[1].instances[2];
    BitmapInstance& mirrored = walk_->frames[1].instances[6];
    ASSERT_EQ(mirrored.standard.bitmap, bitmaps_[1]);
    ASSERT_EQ(mirrored.standard.x, 4 - 20);

    // Shift and Right on view 6: its picture one pixel right; view 2, which
    // it reflects, one pixel left.
    X256SequenceFrameEdit* frames = Open(walk_, 6, 1);
    X256SequenceFrameView* canvas = frames->GetCanvas();
    ActivateWindow(canvas, kFocusByClick);
    const CanvasRect before = InstancePictureRect(mirrored, canvas->Origin(), 1.0);
    Hold(kKeyLeftShift);
    Hold(kKeyRight);
    Let(kKeyRight);
    Let(kKeyLeftShift);
    EXPECT_EQ(InstancePictureRect(mirrored, canvas->Origin(), 1.0).left, before.left + 1);
    EXPECT_EQ(stored.standard.x, 21);
    EXPECT_EQ(mirrored.standard.x, 4 - 21);

    // The sequence editor: Delete on frame 1's view 2 empties view 6 too.
    X256SequenceEdit* edit = Browser()->OpenSequenceEditor(walk_);
    GridWindow* grid = edit->GetGrid();
    grid->DeselectAll();
    grid->SelectCell(1 * 6 + 3);
    ActivateWindow(grid, kFocusByClick);
    Key(kKeyDelete);
    EXPECT_EQ(mirrored.standard.bitmap, nullptr);

    // A wider bitmap in place of a stored view's, as the Bitmaps page's
    // Replace puts it: its mirror is measured from the new edge.
    std::vector<u8> pixels(10 * 3 * 2, 255);
    CollectionBitmap* wider = AddCollectionBitmap(c_, "wider", 0, pixels.data(), 10, 3, 2, bitmaps_[3]);
    X256BitmapBrowser* page = editor_->GetBitmapBrowser();
    page->RefreshBitmapList();
    page->collectionChanged.Emit();
    EXPECT_EQ(walk_->frames[0].instances[5].standard.bitmap, wider);
    EXPECT_EQ(walk_->frames[0].instances[5].standard.x, 10 - 20);

    // "Use Mirroring" turned off leaves the views as they are; turned on
    // again, views 5-7 reflect views 3-1 at once.
    walk_->frames[0].instances[7].standard.x = 99;
    edit->GetMirroringBox()->SetChecked(false, false);
    EXPECT_EQ(walk_->frames[0].instances[7].standard.x, 99);
    edit->GetMirroringBox()->SetChecked(true, false);
    EXPECT_EQ(walk_->frames[0].instances[7].standard.x, 20) << "view 1 has no bitmap: x as it is";
    EXPECT_EQ(walk_->frames[0].instances[7].flags & kInstanceMirrored, u32{kInstanceMirrored});
}

TEST_F(FrameEditTest, ABoxOfAScaleZeroInstanceIsMeasuredAtTen) {
    BitmapInstance& instance = cast_->frames[0].instances[0];
    instance.flags = kInstanceHasAlternate;
    instance.alternate.bitmap = bitmaps_[1];
    instance.alternate.scale = 0;
    RelinkInstances(c_, true);
    X256SequenceFrameEdit* edit = Open(cast_, 0, 0);
    const BoxExtent box = edit->GetCanvas()->SelectionBox();
    const CanvasPoint origin = edit->GetCanvas()->Origin();
    EXPECT_DOUBLE_EQ(box.right - origin.x, 20.0);
    EXPECT_DOUBLE_EQ(origin.y - box.top, 60.0);
}

TEST_F(FrameEditTest, CanvasDrawsWhatIsShownOverItsBackground) {
    DrawRecorder recorder;
    SetDrawTarget(&recorder);
    X256SequenceFrameEdit* edit = Open(walk_, 0, 0);
    X256SequenceFrameView* canvas = edit->GetCanvas();
    const CanvasPoint origin = canvas->Origin();
    // Fills are recorded in the canvas's client coordinates.
    auto filledAt = [&](u32 color, CanvasPoint p) {
        const Point at{i32(p.x), i32(p.y)};
        for (const auto& op : recorder.calls())
            if (op.kind == DrawRecorder::kFill && op.color == color && op.rect.left <= at.x && at.x < op.rect.right &&
                op.rect.top <= at.y && at.y < op.rect.bottom)
                return true;
        return false;
    };
    recorder.Clear();
    canvas->Invalidate();
    StepFrame();
    EXPECT_TRUE(filledAt(X256SequenceFrameView::kRegPointColor, origin));
    edit->GetShowBox(X256SequenceFrameEdit::kShowRegPoint)->SetChecked(false, false);
    recorder.Clear();
    StepFrame();
    EXPECT_FALSE(filledAt(X256SequenceFrameView::kRegPointColor, origin));
    InputEvent press;
    press.type = kEventButton;
    press.word[5] = 1;
    edit->GetPicker(2)->OnMouseButton(press);
    EXPECT_EQ(canvas->GetBackgroundPattern(), 3u);
    SetDrawTarget(nullptr);
}

}  // namespace
}  // namespace pirn_test
