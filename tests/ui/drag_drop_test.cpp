// Drag and drop beyond the lifecycle cases: the pointer shapes that tell
// whether the window under the pointer takes the payload, the drag image
// (its painter, invalidation and drawing after each redraw), and what the
// drag filter swallows.

#include <vector>

#include "tests/ui/window_system_fixture.h"

namespace pirn_test {
namespace {

constexpr u32 kPainted = 77;

struct Payload : Window::DragDropData {
    Payload() : DragDropData(kPainted) {}
};

struct PainterLog {
    int extentCalls = 0;
    std::vector<Point> drawnAt;
};
PainterLog g_painter;

void TestPainter(Window::DragDropData* data, Point at, Rect* extent) {
    if (extent) {
        g_painter.extentCalls++;
        *extent = Rect{-8, -8, 24, 24};
    } else {
        g_painter.drawnAt.push_back(at);
    }
}

class DragDropTest : public WindowSystemTest {
protected:
    ProbeWindow* MakeWindow(const Rect& r, const char* name, u32 flags = Window::kVisible) {
        auto* w = new ProbeWindow(flags, nullptr, name);
        SetFrame(w, r);
        return w;
    }
    static bool Listed(const Rect& r) {
        for (int i = 0; i < GetFrameState().dirtyCount; i++)
            if (RectContains(GetFrameState().dirtyRects[i], r)) return true;
        return IsFullRedrawPending();
    }
};

TEST_F(DragDropTest, PointerShowsWhetherThePayloadIsTaken) {
    auto* source = MakeWindow(Rect{0, 0, 100, 100}, "source");
    auto* taker = MakeWindow(Rect{200, 0, 300, 100}, "taker");
    MakeWindow(Rect{400, 0, 500, 100}, "refuser");
    taker->acceptDrops = 1;
    MoveTo(50, 50);
    ASSERT_TRUE(StartDragDrop(source, new Payload, ForwardMouseDrag));
    MoveTo(250, 50);
    EXPECT_EQ(headless::Record().cursorId, 7);
    MoveTo(450, 50);
    EXPECT_EQ(headless::Record().cursorId, 8);
    MoveTo(250, 50);
    EXPECT_EQ(headless::Record().cursorId, 7);
    Release();
    EXPECT_EQ(taker->drops, 1);
    EXPECT_FALSE(IsDragRunning());
}

TEST_F(DragDropTest, PlainTrackingAsksNoWindowAndKeepsThePointer) {
    auto* source = MakeWindow(Rect{0, 0, 100, 100}, "source");
    auto* other = MakeWindow(Rect{200, 0, 300, 100}, "other");
    other->acceptDrops = 1;
    MoveTo(50, 50);
    ASSERT_TRUE(StartDrag(source, ForwardMouseDrag));
    MoveTo(250, 50);
    Release();
    EXPECT_EQ(other->dragAsks, 0);
    EXPECT_EQ(other->drops, 0);
}

TEST_F(DragDropTest, DragImageIsInvalidatedAndDrawnAtThePointer) {
    g_painter = PainterLog{};
    RegisterDragPainter(kPainted, TestPainter);
    auto* source = MakeWindow(Rect{0, 0, 100, 100}, "source");
    StepFrame();
    MoveTo(50, 50);
    ASSERT_TRUE(StartDragDrop(source, new Payload, ForwardMouseDrag));
    EXPECT_EQ(g_painter.extentCalls, 1);
    EXPECT_TRUE(Listed(Rect{42, 42, 74, 74}));
    StepFrame();
    ASSERT_FALSE(g_painter.drawnAt.empty());
    EXPECT_EQ(g_painter.drawnAt.back().x, 50);
    MoveTo(300, 200);
    EXPECT_TRUE(Listed(Rect{42, 42, 74, 74}));     // where it was
    EXPECT_TRUE(Listed(Rect{292, 192, 324, 224}));  // where it is
    g_painter.drawnAt.clear();
    StepFrame();
    ASSERT_FALSE(g_painter.drawnAt.empty());
    EXPECT_EQ(g_painter.drawnAt.back().x, 300);
    EXPECT_EQ(g_painter.drawnAt.back().y, 200);
    Release();
    EXPECT_TRUE(Listed(Rect{292, 192, 324, 224}));  // the image goes away
    g_painter.drawnAt.clear();
    StepFrame();
    EXPECT_TRUE(g_painter.drawnAt.empty());
}

TEST_F(DragDropTest, KeysAndQuitDuringADrag) {
    auto* source = MakeWindow(Rect{0, 0, 100, 100}, "source", Window::kVisible | Window::kTakesFocus);
    source->consumeKeys = 1;
    ActivateWindow(source, kFocusByProgram);
    ASSERT_EQ(GetFocusWindow(), source);
    MoveTo(50, 50);
    ASSERT_TRUE(StartDrag(source, ForwardMouseDrag));
    Key('A');
    EXPECT_TRUE(source->keys.empty());  // the drag filter takes every event
    const int beeps = headless::Record().beeps;
    EXPECT_EQ(RequestQuit(), 1);
    EXPECT_EQ(headless::Record().beeps, beeps + 1);
    EXPECT_TRUE(IsRunning());
    Press();  // a second press does not end it
    EXPECT_TRUE(IsDragRunning());
    Release();
    EXPECT_FALSE(IsDragRunning());
    EXPECT_EQ(GetFocusWindow(), source);
    EXPECT_TRUE(TopFilterIsDefault());
    Key('A');
    EXPECT_EQ(source->keys.size(), 2u);  // press and release
}

}  // namespace
}  // namespace pirn_test
