// The frame editor's rules without its window: key modes from the keys
// held and what a move in each changes, which way the arrows and drags
// move the picture, moves made on the mirrored views of a mirrored
// sequence (and that they survive saving and loading), stepping and
// wrapping, the animation's frame, the title, the selection box and its
// edge drags, and the shadow drag; sequences without frames or views.

#include "collections/frame_edit_rules.h"

#include <gtest/gtest.h>

#include "collections/collection_tag.h"
#include "collections/frame_view_geometry.h"
#include "tests/collections/collection_fixture.h"

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

TEST(FrameMoves, ArrowsAndDragsMoveWhatIsShownTheirWay) {
    CollectionSequence s;
    InitSequence(&s, "Walk");
    CollectionBitmap bitmap;
    bitmap.width = 10;
    bitmap.height = 10;
    BitmapInstance& instance = s.frames[0].instances[0];
    instance.standard.bitmap = &bitmap;
    instance.standard.x = 5;
    instance.standard.y = 5;
    const CanvasPoint origin{100, 100};
    const struct {
        FrameKeyMode mode;
        i64 dx, dy;
    } moves[] = {{kKeyModeBitmap, 1, 0}, {kKeyModeBitmap, 0, -1}, {kKeyModeFrame, -1, 1},
                 {kKeyModeView, 2, 0},   {kKeyModeSequence, 0, 3}, {kKeyModeKeyPoint, 1, -2}};
    for (const auto& m : moves) {
        SCOPED_TRACE(FrameKeyModeName(m.mode));
        const CanvasRect picture = InstancePictureRect(instance, origin, 2.0);
        const CanvasPoint key = KeyPointOnCanvas(instance, origin, 2.0);
        EXPECT_TRUE(MoveOnCanvas(&s, m.mode, 0, 0, m.dx, m.dy));
        const CanvasRect moved = InstancePictureRect(instance, origin, 2.0);
        const CanvasPoint moved_key = KeyPointOnCanvas(instance, origin, 2.0);
        if (m.mode == kKeyModeKeyPoint) {
            EXPECT_EQ(moved.left, picture.left);
            EXPECT_DOUBLE_EQ(moved_key.x - key.x, 2.0 * m.dx);
            EXPECT_DOUBLE_EQ(moved_key.y - key.y, 2.0 * m.dy);
        } else {
            // The picture goes the arrow's way, its key point with it.
            EXPECT_EQ(moved.left - picture.left, 2 * m.dx);
            EXPECT_EQ(moved.top - picture.top, 2 * m.dy);
            EXPECT_DOUBLE_EQ(moved_key.x - key.x, 2.0 * m.dx);
        }
    }
    EXPECT_FALSE(MoveOnCanvas(&s, kKeyModeNone, 0, 0, 1, 1));
}

TEST(FrameMirroredViews, EachViewPastTheStoredOnesReflectsOne) {
    CollectionSequence s;
    InitSequence(&s, "Walk");
    const struct {
        u16 views;
        bool mirroring;
        std::vector<u32> sources;  // of views 0..views-1
    } cases[] = {
        {8, true, {0, 1, 2, 3, 4, 3, 2, 1}}, {7, true, {0, 1, 2, 3, 3, 2, 1}}, {4, true, {0, 1, 2, 1}},
        {2, true, {0, 1}},                   {1, true, {0}},                   {8, false, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.views) + (c.mirroring ? " views, mirrored" : " views"));
        ResizeSequence(&s, c.views, 1);
        s.flags = c.mirroring ? u32{kSequenceMirroring} : 0u;
        for (u32 v = 0; v < c.views; ++v) {
            EXPECT_EQ(MirrorSourceView(s, v), c.sources[v]) << "view " << v;
            EXPECT_EQ(IsMirroredView(s, v), c.sources[v] != v) << "view " << v;
        }
        EXPECT_FALSE(IsMirroredView(s, c.views)) << "past the last view";
    }
}

// Walk of 8 views and 2 frames with "Use Mirroring": stored views 0-4 show
// a 30 x 10 bitmap at (v + 1, 4) with key point (v, 2v), view 3 of frame 1
// none; views 5-7 are rebuilt from views 3, 2 and 1.
class MirroredMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCollection(&c_);
        bitmap_ = AddCollectionBitmap(&c_, "wide", 0, nullptr, 30, 10, 2, nullptr);
        s_ = AddSequence(&c_, "Walk");
        ResizeSequence(s_, 8, 2);
        s_->flags |= kSequenceMirroring;
        for (SequenceFrame& f : s_->frames)
            for (u16 v = 0; v < 5; ++v) {
                BitmapInstance& i = f.instances[v];
                i.standard.bitmap = &f == &s_->frames[1] && v == 3 ? nullptr : bitmap_;
                i.standard.x = i16(v + 1);
                i.standard.y = 4;
                i.key_x = i16(v);
                i.key_y = i16(2 * v);
            }
        FollowMirroredViews(s_);
    }
    // "x,y" of every view of a frame.
    std::string Points(u32 frame) const {
        std::string text;
        for (const BitmapInstance& i : s_->frames[frame].instances)
            text += (text.empty() ? "" : " ") + std::to_string(i.standard.x) + "," + std::to_string(i.standard.y);
        return text;
    }
    Collection c_;
    CollectionBitmap* bitmap_ = nullptr;
    CollectionSequence* s_ = nullptr;
};

TEST_F(MirroredMoveTest, AMoveOnAMirroredViewMovesItsStoredViewAndBothShowIt) {
    ASSERT_EQ(Points(0), "1,4 2,4 3,4 4,4 5,4 26,4 27,4 28,4");
    // Each mode moved by (1, 1) with view 6 of frame 0 current: view 6 goes
    // (1, 1) as asked; the stored views a mode moves go (-1, 1), as view 6
    // reflects them, and the mirrored ones follow.
    const struct {
        FrameKeyMode mode;
        const char* frame0;
        const char* frame1;
    } cases[] = {
        {kKeyModeBitmap, "1,4 2,4 2,5 4,4 5,4 26,4 28,5 28,4", "1,4 2,4 3,4 4,4 5,4 4,4 27,4 28,4"},
        {kKeyModeView, "1,4 2,4 2,5 4,4 5,4 26,4 28,5 28,4", "1,4 2,4 2,5 4,4 5,4 4,4 28,5 28,4"},
        {kKeyModeFrame, "0,5 1,5 2,5 3,5 4,5 27,5 28,5 29,5", "1,4 2,4 3,4 4,4 5,4 4,4 27,4 28,4"},
        {kKeyModeSequence, "0,5 1,5 2,5 3,5 4,5 27,5 28,5 29,5", "0,5 1,5 2,5 3,5 4,5 3,5 28,5 29,5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FrameKeyModeName(c.mode));
        SetUp();
        EXPECT_TRUE(MoveInKeyMode(s_, c.mode, 0, 6, 1, 1));
        EXPECT_EQ(Points(0), c.frame0);
        EXPECT_EQ(Points(1), c.frame1) << "frame 1's view 3 has no bitmap: its mirror keeps its x";
    }

    // The key point is carried as it is: it moves on the stored view.
    SetUp();
    EXPECT_TRUE(MoveInKeyMode(s_, kKeyModeKeyPoint, 1, 5, 1, -1));
    EXPECT_EQ(s_->frames[1].instances[3].key_x, 4);
    EXPECT_EQ(s_->frames[1].instances[5].key_x, 4);
    EXPECT_EQ(s_->frames[1].instances[5].key_y, 5);

    // A mirrored view whose stored view has no bitmap keeps its x, so it
    // moves the same way as its stored view.
    EXPECT_TRUE(MoveInKeyMode(s_, kKeyModeBitmap, 1, 5, 1, 0));
    EXPECT_EQ(s_->frames[1].instances[5].standard.x, 5);
    EXPECT_EQ(s_->frames[1].instances[3].standard.x, 5);

    // A move on a stored view is followed by its mirror at once.
    EXPECT_TRUE(MoveOnCanvas(s_, kKeyModeBitmap, 0, 1, 2, 0));
    EXPECT_EQ(s_->frames[0].instances[1].standard.x, 0);
    EXPECT_EQ(s_->frames[0].instances[7].standard.x, 30);
}

TEST_F(MirroredMoveTest, WhatTheViewsShowAfterAMoveIsWhatLoadingTheSavedTagShows) {
    // View 6 of frame 0 moved 5 pixels right by the arrows.
    for (int step = 0; step < 5; ++step) ASSERT_TRUE(MoveOnCanvas(s_, kKeyModeBitmap, 0, 6, 1, 0));
    EXPECT_EQ(s_->frames[0].instances[6].standard.x, 27 - 5);

    using namespace collection_fixture;
    MemoryStream saved;
    TagHeader header = MakeTagHeader(0x2E323536, 0x74657374, "Walk");
    header.data_offset = 64;
    ASSERT_EQ(SaveCollection(&c_, saved.file, &header), 1);
    const std::vector<u8> file = saved.Contents();
    MemoryStream reading(file);
    header.data_length = u32(file.size() - 64);
    Collection loaded;
    InitCollection(&loaded);
    ASSERT_EQ(LoadCollection(&loaded, reading.file, &header, true), 1);
    const CollectionSequence& again = *loaded.sequences[0];
    for (u32 f = 0; f < 2; ++f)
        for (u32 v = 0; v < 8; ++v) {
            SCOPED_TRACE("frame " + std::to_string(f) + ", view " + std::to_string(v));
            const BitmapInstance& before = s_->frames[f].instances[v];
            const BitmapInstance& after = again.frames[f].instances[v];
            EXPECT_EQ(after.standard.x, before.standard.x);
            EXPECT_EQ(after.standard.y, before.standard.y);
            EXPECT_EQ(after.key_x, before.key_x);
            EXPECT_EQ(after.flags, before.flags);
        }
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
