// The frame editor's rules without its window: key modes from the keys
// held and what a move in each changes, stepping and wrapping, the
// animation's frame, the title, the selection box and its edge drags, and
// the shadow drag; sequences without frames or views.

#include "collections/frame_edit_rules.h"

#include <gtest/gtest.h>

namespace pirn {
namespace {

FrameEditKeys Keys(bool shift, bool control, bool alt, int function = 0) {
    FrameEditKeys keys;
    keys.shift = shift;
    keys.control = control;
    keys.alt = alt;
    if (function) keys.function[function - 1] = true;
    return keys;
}

TEST(FrameKeyModes, ShiftDecidesFirstThenFunctionKeys) {
    const struct {
        FrameEditKeys keys;
        FrameKeyMode mode;
        const char* name;
    } cases[] = {
        {Keys(false, false, false), kKeyModeNone, ""},
        {Keys(false, false, false, 1), kKeyModeKeyPoint, "Move Keypoint"},
        {Keys(false, false, false, 2), kKeyModeBitmap, "Move Bitmap"},
        {Keys(false, false, false, 3), kKeyModeFrame, "Move Frame"},
        {Keys(false, false, false, 4), kKeyModeView, "Move View"},
        {Keys(false, false, false, 5), kKeyModeSequence, "Move Sequence"},
        {Keys(true, true, true), kKeyModeSequence, "Move Sequence"},
        {Keys(true, true, false), kKeyModeView, "Move View"},
        {Keys(true, false, true), kKeyModeFrame, "Move Frame"},
        {Keys(true, false, false), kKeyModeBitmap, "Move Bitmap"},
        {Keys(true, false, false, 1), kKeyModeBitmap, "Move Bitmap"},  // Shift wins over F1
        {Keys(false, true, true), kKeyModeNone, ""},                   // no Shift, no function key
        {Keys(false, true, false, 3), kKeyModeFrame, "Move Frame"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrameKeyModeFor(c.keys), c.mode) << c.name;
        EXPECT_STREQ(FrameKeyModeName(c.mode), c.name);
    }
    FrameEditKeys both = Keys(false, false, false, 4);
    both.function[1] = true;  // F2 and F4: F2 is tried first
    EXPECT_EQ(FrameKeyModeFor(both), kKeyModeBitmap);
}

// A 2 x 2 sequence whose instance (f, v) stands at (10f + v, 100 + 10f + v).
class FrameMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitSequence(&s_, "Walk");
        ResizeSequence(&s_, 2, 2);
        for (u32 f = 0; f < 2; ++f)
            for (u32 v = 0; v < 2; ++v) {
                s_.frames[f].instances[v].standard.x = i16(10 * f + v);
                s_.frames[f].instances[v].standard.y = i16(100 + 10 * f + v);
            }
    }
    // "x,y" of each instance, frame by frame.
    std::string Points() const {
        std::string text;
        for (const SequenceFrame& f : s_.frames)
            for (const BitmapInstance& i : f.instances)
                text += (text.empty() ? "" : " ") + std::to_string(i.standard.x) + "," + std::to_string(i.standard.y);
        return text;
    }
    CollectionSequence s_;
};

TEST_F(FrameMoveTest, EachModeMovesItsInstances) {
    const struct {
        FrameKeyMode mode;
        const char* points;
    } cases[] = {
        {kKeyModeNone, "0,100 1,101 10,110 11,111"},
        {kKeyModeKeyPoint, "0,100 1,101 10,110 11,111"},
        {kKeyModeBitmap, "0,100 1,101 10,110 12,110"},
        {kKeyModeFrame, "0,100 1,101 11,109 12,110"},
        {kKeyModeView, "0,100 2,100 10,110 12,110"},
        {kKeyModeSequence, "1,99 2,100 11,109 12,110"},
    };
    for (const auto& c : cases) {
        SetUp();
        const bool moved = MoveInKeyMode(&s_, c.mode, 1, 1, 1, -1);
        EXPECT_EQ(Points(), c.points) << c.mode;
        EXPECT_EQ(moved, c.mode != kKeyModeNone) << c.mode;  // the key point moved, unseen here
    }
    EXPECT_TRUE(MoveInKeyMode(&s_, kKeyModeKeyPoint, 1, 0, 3, 4));
    EXPECT_EQ(s_.frames[1].instances[0].key_x, 3);
    EXPECT_EQ(s_.frames[1].instances[0].key_y, 4);
}

TEST_F(FrameMoveTest, CoordinatesStopAtTheEndsOfTheirRange) {
    BitmapInstance& i = s_.frames[0].instances[0];
    i.key_x = 32767;
    EXPECT_FALSE(MoveInKeyMode(&s_, kKeyModeKeyPoint, 0, 0, 1, 0));
    EXPECT_EQ(i.key_x, 32767);
    i.standard.x = -32767;
    EXPECT_TRUE(MoveInKeyMode(&s_, kKeyModeBitmap, 0, 0, -5, 0));
    EXPECT_EQ(i.standard.x, -32768);
    EXPECT_EQ(ClampCoordinate(1 << 20), 32767);
    EXPECT_EQ(ClampCoordinate(-(1 << 20)), -32768);

    // The alternate is moved while it is shown.
    i.flags |= kInstanceHasAlternate;
    i.shows_alternate = true;
    i.alternate.x = 4;
    EXPECT_TRUE(MoveInKeyMode(&s_, kKeyModeBitmap, 0, 0, 2, 0));
    EXPECT_EQ(i.alternate.x, 6);
    EXPECT_EQ(i.standard.x, -32768);
}

TEST_F(FrameMoveTest, EmptySequencesAndPositionsOutsideMoveNothing) {
    CollectionSequence empty;
    InitSequence(&empty, "Unused");
    ResizeSequence(&empty, 3, 0);
    for (FrameKeyMode mode : {kKeyModeKeyPoint, kKeyModeBitmap, kKeyModeFrame, kKeyModeView, kKeyModeSequence})
        EXPECT_FALSE(MoveInKeyMode(&empty, mode, 0, 0, 1, 1));
    ResizeSequence(&empty, 0, 2);
    EXPECT_FALSE(MoveInKeyMode(&empty, kKeyModeBitmap, 0, 0, 1, 1));
    EXPECT_FALSE(MoveInKeyMode(&s_, kKeyModeBitmap, 5, 0, 1, 1));
    EXPECT_FALSE(MoveInKeyMode(&s_, kKeyModeView, 0, 7, 1, 1));
}

TEST(FrameSteps, WrapClampAnimateAndTitle) {
    const struct {
        i64 value;
        u32 count, wrapped;
    } wraps[] = {{-1, 4, 3}, {4, 4, 0}, {9, 4, 1}, {-9, 4, 3}, {2, 4, 2}, {-1, 0, 0}, {5, 0, 0}, {0, 1, 0}};
    for (const auto& w : wraps) EXPECT_EQ(WrapIndex(w.value, w.count), w.wrapped) << w.value << " of " << w.count;
    EXPECT_EQ(ClampIndex(7, 3), 2u);
    EXPECT_EQ(ClampIndex(1, 3), 1u);
    EXPECT_EQ(ClampIndex(7, 0), 0u);

    const struct {
        u32 start;
        double elapsed;
        u16 ticks;
        u32 frames, shown;
    } steps[] = {
        {0, 0.0, 4, 8, 0},    {0, 0.1, 4, 8, 0},   {0, 0.134, 4, 8, 1}, {0, 1.0, 4, 8, 7},  {0, 1.1, 4, 8, 0},
        {6, 0.2, 2, 8, 1},    {0, 0.5, 0, 100, 15},  // ticks 0: 30 frames a second
        {0, 0.5, 1, 100, 15}, {3, 5.0, 3, 0, 0},     // no frames
    };
    for (const auto& s : steps)
        EXPECT_EQ(AnimationFrame(s.start, s.elapsed, s.ticks, s.frames), s.shown)
            << s.start << " +" << s.elapsed << "s ticks " << s.ticks;

    CollectionSequence walk;
    InitSequence(&walk, "Walk");
    ResizeSequence(&walk, 8, 3);
    EXPECT_EQ(FrameEditTitle(walk, 2, 3), std::string("Walk (Frame 2 @ 135") + char(161) + ")");
    ResizeSequence(&walk, 0, 3);
    EXPECT_EQ(FrameEditTitle(walk, 0, 0), std::string("Walk (Frame 0 @ 0") + char(161) + ")");
}

TEST(FrameSelectionBox, AroundTheRegistrationPointScaledAndZoomed) {
    CollectionSequence s;
    InitSequence(&s, "Walk");  // radius 20, upper 60, lower -10
    BitmapInstance standard = MakeBitmapInstance();
    BoxExtent box = SelectionBoxAround(s, &standard, 100, 200, 2.0);
    EXPECT_DOUBLE_EQ(box.left, 60);
    EXPECT_DOUBLE_EQ(box.right, 140);
    EXPECT_DOUBLE_EQ(box.top, 80);
    EXPECT_DOUBLE_EQ(box.bottom, 220);

    // An alternate of scale 5.0 has twice the pixels a unit; one of scale 0
    // is measured as 10.0 instead of dividing by nothing.
    BitmapInstance alternate = MakeBitmapInstance();
    alternate.flags = kInstanceHasAlternate;
    alternate.shows_alternate = true;
    alternate.alternate.scale = 5 * kFixedOne;
    box = SelectionBoxAround(s, &alternate, 0, 0, 1.0);
    EXPECT_DOUBLE_EQ(box.left, -40);
    EXPECT_DOUBLE_EQ(box.top, -120);
    alternate.alternate.scale = 0;
    box = SelectionBoxAround(s, &alternate, 0, 0, 1.0);
    EXPECT_DOUBLE_EQ(box.right, 20);
    EXPECT_DOUBLE_EQ(box.bottom, 10);
    box = SelectionBoxAround(s, nullptr, 0, 0, 0.5);
    EXPECT_DOUBLE_EQ(box.right, 10);
}

TEST(FrameSelectionBox, EdgeDragsChangeRadiusAndHeightsAndCrossOver) {
    CollectionSequence s;
    InitSequence(&s, "Walk");
    BitmapInstance standard = MakeBitmapInstance();
    BoxEdge edge = kBoxRight;
    EXPECT_TRUE(DragBoxEdge(&s, &standard, 2.0, 8, &edge));  // 4 units, half of it
    EXPECT_EQ(s.box_radius, 22 * i32(kFixedOne));
    edge = kBoxLeft;
    EXPECT_TRUE(DragBoxEdge(&s, &standard, 1.0, 4, &edge));
    EXPECT_EQ(s.box_radius, 20 * i32(kFixedOne));
    EXPECT_TRUE(DragBoxEdge(&s, &standard, 1.0, 50, &edge));  // past the right edge
    EXPECT_EQ(edge, kBoxRight);
    EXPECT_EQ(s.box_radius, 5 * i32(kFixedOne));

    edge = kBoxTop;
    EXPECT_TRUE(DragBoxEdge(&s, &standard, 1.0, 10, &edge));  // down: the upper edge comes lower
    EXPECT_EQ(s.box_upper, 50 * i32(kFixedOne));
    EXPECT_TRUE(DragBoxEdge(&s, &standard, 1.0, 70, &edge));  // past the bottom
    EXPECT_EQ(edge, kBoxBottom);
    EXPECT_EQ(s.box_upper, -10 * i32(kFixedOne));
    EXPECT_EQ(s.box_lower, -20 * i32(kFixedOne));
    edge = kBoxBottom;
    EXPECT_TRUE(DragBoxEdge(&s, &standard, 1.0, -5, &edge));
    EXPECT_EQ(s.box_lower, -15 * i32(kFixedOne));
    EXPECT_FALSE(DragBoxEdge(&s, &standard, 1.0, 0, &edge));
    edge = kNoBoxEdge;
    EXPECT_FALSE(DragBoxEdge(&s, &standard, 1.0, 9, &edge));
}

TEST(FrameShadowDrag, WholePixelsOfMotionOverTheZoom) {
    FrameRecord record;
    record.shadow_x = 13107 * 4;
    i32 ax = 0, ay = 0;
    EXPECT_TRUE(DragShadowOffset(&record, 5, -3, 2.0, &ax, &ay));  // 2.5 and -1.5 pixels: 2 and -1
    EXPECT_EQ(ax, 2);
    EXPECT_EQ(ay, -1);
    EXPECT_EQ(record.shadow_x, 13107 * 2);
    EXPECT_EQ(record.shadow_y, 13107);
    EXPECT_FALSE(DragShadowOffset(&record, 0.9, 0.9, 1.0, &ax, &ay));
    EXPECT_EQ(ax, 0);
    record.shadow_x = -2147483647;
    EXPECT_TRUE(DragShadowOffset(&record, 1000, 0, 1.0, &ax, &ay));
    EXPECT_EQ(record.shadow_x, -2147483647 - 1);
}

}  // namespace
}  // namespace pirn
