// Window tree, geometry, hit tests and the frame layout, headless.

#include <cstring>
#include <string>

#include "tests/ui/window_system_fixture.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

TEST(RectHelpers, UnionAndIntersect) {
    struct Case {
        Rect a, b, union_, intersect;
        bool overlaps;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 20, 20}, {0, 0, 20, 20}, {5, 5, 10, 10}, true},
        // Touching edges count as overlapping, with an empty result.
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 20, 10}, {10, 0, 10, 10}, true},
        {{0, 0, 10, 10}, {11, 11, 20, 20}, {0, 0, 20, 20}, {0, 0, 0, 0}, false},
        // A zero-width first rectangle gives the second unchanged.
        {{3, 3, 3, 9}, {11, 11, 20, 20}, {11, 11, 20, 20}, {0, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        Rect u;
        RectUnion(c.a, c.b, &u);
        EXPECT_EQ(u, c.union_);
        Rect i = c.a;
        EXPECT_EQ(RectIntersect(&i, c.b), c.overlaps);
        EXPECT_EQ(i, c.intersect);
    }
}

using WindowTreeTest = WindowSystemTest;

TEST_F(WindowTreeTest, LayersAndNewChildrenOrder) {
    ASSERT_EQ(GetLayerWindow(-1)->GetFirstChild(), GetLayerWindow(1));
    ASSERT_EQ(GetLayerWindow(1)->GetNextSibling(), GetLayerWindow(0));
    auto* a = new ProbeWindow(Window::kVisible);
    auto* b = new ProbeWindow(Window::kVisible);
    auto* popup = new ProbeWindow(Window::kVisible | Window::kPopup);
    EXPECT_EQ(a->GetParent(), GetLayerWindow(0));
    EXPECT_EQ(popup->GetParent(), GetLayerWindow(1));
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), b);  // the newest is in front
    EXPECT_EQ(b->GetNextSibling(), a);
    RaiseWindow(a);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), a);
    LowerWindow(a);
    EXPECT_EQ(GetLayerWindow(0)->GetLastChild(), a);
    RaiseWindow(GetLayerWindow(0));  // layers never move
    EXPECT_EQ(GetLayerWindow(-1)->GetFirstChild(), GetLayerWindow(1));
    EXPECT_TRUE(a->IsEnabled());  // forced on
    EXPECT_EQ(FindWindowByTitle("layer1", "Window"), GetLayerWindow(1));
    // Depth first from the root: layer1's popup comes before layer0's windows.
    EXPECT_EQ(FindWindowByTitle(nullptr, "ProbeWindow"), popup);
    EXPECT_EQ(FindWindowByTitle(nullptr, "Window"), nullptr);
}

TEST_F(WindowTreeTest, ConstrainKeepsTheEdgeThatDidNotMove) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kLargeMinimum);  // minimum 64 x 64
    SetFrame(w, Rect{100, 100, 300, 300});
    struct Case {
        Rect proposed, expected;
    } cases[] = {
        {{100, 100, 120, 300}, {100, 100, 164, 300}},  // right edge dragged in: left stays
        {{280, 100, 300, 300}, {236, 100, 300, 300}},  // left edge dragged in: right stays
        {{10, 20, 30, 40}, {10, 20, 74, 84}},          // both moved: grows right and down
        {{100, 290, 300, 300}, {100, 236, 300, 300}},
    };
    for (const Case& c : cases) {
        SetFrame(w, Rect{100, 100, 300, 300});
        SetFrame(w, c.proposed);
        EXPECT_EQ(w->GetFrame(), c.expected);
    }
}

TEST_F(WindowTreeTest, ClientRectAndMinimumSizeFollowTheStyle) {
    struct Case {
        u32 flags;
        Rect client;  // of the frame {0, 0, 200, 100}
        Point minimum;
    } cases[] = {
        {0, {0, 0, 200, 100}, {0, 0}},
        {Window::kThinBorder, {1, 1, 199, 99}, {0, 0}},
        {Window::kThickBorder, {4, 4, 196, 96}, {8, 8}},
        // Title bar under a thick border: one more border below the strip.
        {Window::kThickBorder | Window::kTitleBar, {4, 30, 196, 96}, {8, 30}},
        // Without a thick border the title adds two thick borders to the minimum.
        {Window::kThinBorder | Window::kTitleBar, {1, 23, 199, 99}, {0, 30}},
        {Window::kThickBorder | Window::kTitleBar | Window::kLargeMinimum, {4, 30, 196, 96}, {72, 72}},
    };
    for (const Case& c : cases) {
        auto* w = new ProbeWindow(Window::kVisible | c.flags);
        SetFrame(w, Rect{0, 0, 200, 100});
        EXPECT_EQ(w->GetClientScreenRect(), OffsetRect(c.client, 0, 0)) << c.flags;
        Point m;
        w->GetMinimumSize(&m, Point{0, 0});
        EXPECT_EQ(m.x, c.minimum.x) << c.flags;
        EXPECT_EQ(m.y, c.minimum.y) << c.flags;
        DestroyWindow(w);
    }
}

TEST_F(WindowTreeTest, ClientSizeIsExactEvenBelowTheDecorations) {
    // A client smaller than the title bar and borders still gets its size
    // (a small picture in a titled window).
    struct Case {
        Point client;
        Point frame;
    } cases[] = {{{3, 2}, {3 + 8, 2 + 34}}, {{0, 0}, {8, 34}}, {{300, 200}, {308, 234}}};
    for (const Case& c : cases) {
        auto* w = new ProbeWindow(Window::kVisible | Window::kThickBorder | Window::kTitleBar);
        SetFrame(w, Rect{10, 10, 12, 12});
        w->SetClientSize(c.client.x, c.client.y);
        EXPECT_EQ(w->GetClientWidth(), c.client.x);
        EXPECT_EQ(w->GetClientHeight(), c.client.y);
        EXPECT_EQ(w->GetWidth(), c.frame.x);
        EXPECT_EQ(w->GetHeight(), c.frame.y);
        DestroyWindow(w);
    }
}

TEST_F(WindowTreeTest, HitTestParts) {
    const u32 resizable = Window::kVisible | Window::kThickBorder | Window::kResizable | Window::kTitleBar |
                          Window::kCloseBox | Window::kTitleButton1 | Window::kTitleButton2;
    auto* w = new ProbeWindow(resizable);
    SetFrame(w, Rect{100, 100, 300, 250});  // client 192 wide, from (104, 130)
    struct Case {
        Point p;
        u32 part;
    } cases[] = {
        {{99, 150}, kPartNone},
        {{150, 150}, kPartClient},
        {{101, 101}, 12},
        {{298, 248}, 48},
        {{298, 101}, 24},
        {{101, 248}, 36},
        {{150, 110}, kPartTitle},
        {{101, 180}, kPartLeft},
        {{150, 248}, kPartBottom},
        // Buttons: button 0 rightmost at client width, each further one
        // w + 2b to its left; 2b down from the top.
        {{100 + 192 - 7, 100 + 8 + 7}, kPartButton0},
        {{100 + 192 - 22 - 7, 115}, kPartButton1},
        {{100 + 192 - 44 - 7, 115}, kPartButton2},
    };
    for (const Case& c : cases) EXPECT_EQ(w->HitTest(c.p), c.part) << c.p.x << "," << c.p.y;

    auto* plain = new ProbeWindow(Window::kVisible | Window::kThinBorder);
    SetFrame(plain, Rect{400, 100, 500, 200});
    EXPECT_EQ(plain->HitTest(Point{400, 100}), kPartOtherFrame);  // never an edge part
}

TEST_F(WindowTreeTest, BorderChangeKeepsClientSizeAndMovesChildren) {
    auto* w = new ProbeWindow(Window::kVisible);
    SetFrame(w, Rect{50, 50, 250, 150});
    auto* child = new ProbeWindow(Window::kVisible, w);
    SetFrame(child, Rect{10, 10, 30, 30});
    ASSERT_EQ(child->GetFrameScreenRect(), (Rect{60, 60, 80, 80}));
    w->AddFlags(Window::kThickBorder | Window::kTitleBar);
    EXPECT_EQ(w->GetClientWidth(), 200);
    EXPECT_EQ(w->GetClientHeight(), 100);
    EXPECT_EQ(w->GetClientOrigin().x, 54);
    EXPECT_EQ(w->GetClientOrigin().y, 80);
    EXPECT_EQ(child->GetFrameScreenRect(), (Rect{64, 90, 84, 110}));
    EXPECT_EQ(child->GetFrame(), (Rect{10, 10, 30, 30}));
    // Border edges likewise keep the client size.
    w->SetBorderEdges(Window::kEdgeTop | Window::kEdgeBottom);
    EXPECT_EQ(w->GetClientWidth(), 200);
    EXPECT_EQ(w->GetWidth(), 200);
}

TEST_F(WindowTreeTest, CollapseAndMaximise) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kThickBorder | Window::kResizable | Window::kTitleBar);
    SetFrame(w, Rect{20, 20, 320, 220});
    w->ToggleMaximized();
    EXPECT_EQ(w->GetWindowState(), Window::kStateMaximized);
    EXPECT_EQ(w->GetFrameScreenRect(), GetLayerWindow(0)->GetClientScreenRect());
    w->SetCollapsed(1);  // restores first, then 30 px
    EXPECT_EQ(w->GetWindowState(), Window::kStateCollapsed);
    EXPECT_EQ(w->GetFrame(), (Rect{20, 20, 320, 50}));
    EXPECT_EQ(w->GetPlacement().frame, (Rect{20, 20, 320, 220}));
    w->SetCollapsed(-1);
    EXPECT_EQ(w->GetWindowState(), Window::kStateNormal);
    EXPECT_EQ(w->GetFrame(), (Rect{20, 20, 320, 220}));
    // A title-bar double click toggles maximised.
    MoveTo(100, 30);
    HandleMouseButtonInput(0, 1);
    HandleMouseButtonInput(0, 0);
    HandleMouseButtonInput(0, 1);
    DrainEventQueue();
    Release();
    EXPECT_EQ(w->GetWindowState(), Window::kStateMaximized);
}

TEST_F(WindowTreeTest, KeepOnScreenClampsAllFourSides) {
    auto* w = new ProbeWindow(Window::kVisible);
    struct Case {
        Rect start, expected;
    } cases[] = {
        {{700, 500, 900, 700}, {600, 400, 800, 600}},
        {{-50, -30, 150, 70}, {0, 0, 200, 100}},
        {{-50, -30, 1000, 900}, {0, 0, 800, 600}},  // shrunk to the screen
    };
    for (const Case& c : cases) {
        SetFrame(w, c.start);
        w->KeepOnScreen();
        EXPECT_EQ(w->GetFrame(), c.expected);
    }
    // A placement from a damaged preferences file: no overflow, on screen.
    Window::Placement p;
    p.frame = Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    w->SetPlacement(p);
    EXPECT_EQ(w->GetFrame(), (Rect{0, 0, 800, 600}));
}

TEST_F(WindowTreeTest, MoveAndResizeTrackersGoThroughSetFrame) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kThickBorder | Window::kResizable | Window::kTitleBar);
    SetFrame(w, Rect{100, 100, 300, 250});
    MoveTo(150, 110);  // title strip
    Press();
    MoveTo(170, 140);
    Release();
    EXPECT_EQ(w->GetFrame(), (Rect{120, 130, 320, 280}));
    MoveTo(319, 200);  // right edge
    Press();
    MoveTo(339, 210);
    MoveTo(-500, 210);  // far left: the minimum width holds the left edge
    Release();
    EXPECT_EQ(w->GetFrame().left, 120);
    EXPECT_EQ(w->GetFrame().Width(), 8);
    EXPECT_FALSE(IsDragRunning());
}

TEST_F(WindowTreeTest, CloseBoxClosesOnReleaseOverIt) {
    int destroyed = 0;
    auto* w = new ProbeWindow(Window::kVisible | Window::kThickBorder | Window::kTitleBar | Window::kCloseBox);
    w->destroyedCount = &destroyed;
    SetFrame(w, Rect{100, 100, 300, 250});
    const Point box{100 + 192 - 7, 115};
    ASSERT_EQ(w->HitTest(box), kPartButton0);
    MoveTo(box.x, box.y);
    Press();
    EXPECT_EQ(WindowInternals::PressedButtons(w), kPartButton0);
    MoveTo(150, 200);  // off the box: shown released, nothing on release
    EXPECT_EQ(WindowInternals::PressedButtons(w), 0u);
    EXPECT_EQ(w->closeRequests, 0);
    MoveTo(box.x, box.y);
    Release();
    EXPECT_EQ(destroyed, 1);  // closed, and deleted once the event was handled
}

TEST_F(WindowTreeTest, TitleFormattingIsBounded) {
    auto* w = new ProbeWindow(Window::kVisible);
    const std::string longText(5000, 'x');
    w->SetTitleF("%s*", longText.c_str());
    EXPECT_EQ(std::strlen(w->GetTitle()), 1023u);
    w->SetTitleF("%s", "100%d");  // user text passes as data
    EXPECT_STREQ(w->GetTitle(), "100%d");
    w->SetTitle(nullptr);
    EXPECT_EQ(w->GetTitle(), nullptr);
}

TEST_F(WindowTreeTest, CascadePositionsStartAgainNearTheEdge) {
    // 1280 x 1024: the offset grows by 48 until d + 560 passes 1024.
    HandleWindowResize(1280, 1024);
    for (int k = 0; k < 10; k++) EXPECT_EQ(NextCascadePosition().x, 64 + 48 * k);
    EXPECT_EQ(NextCascadePosition().y, 64);
}

TEST_F(WindowTreeTest, FrameLayoutCornerBits) {
    const u32 base = Window::kVisible | Window::kThickBorder;
    struct Case {
        u32 flags;
        u32 edges;
        u32 frameFlags;
    } cases[] = {
        {base, 15, 3855},
        // 0x200 without title buttons: top corners from the second set,
        // bottom corners kept (the masks' 3135).
        {base | Window::kLargeMinimum, 15, 3135},
        {base | Window::kLargeMinimum | Window::kTitleBar | Window::kCloseBox, 15, 3855},
        {base, 15 & ~Window::kEdgeLeft, 3855 & ~0x901u},
        {base, 15 & ~Window::kEdgeRight, 3855 & ~0x604u},
        {base, 15 & ~Window::kEdgeTop, 3855 & ~0x302u},
        {base, 15 & ~Window::kEdgeBottom, 3855 & ~0xC08u},
        // The second set's corners go with their edges too.
        {base | Window::kLargeMinimum, 15 & ~Window::kEdgeLeft, 3135 & ~0x901u & ~0x10u},
        {base | Window::kLargeMinimum, 15 & ~Window::kEdgeTop, 3135 & ~0x302u & ~0x30u},
    };
    for (const Case& c : cases) {
        auto* w = new ProbeWindow(c.flags);
        w->SetBorderEdges(c.edges);
        SetFrame(w, Rect{10, 10, 200, 200});
        const FrameLayout l = ComputeFrameLayout(w);
        EXPECT_EQ(l.borderKind, 2);
        EXPECT_EQ(l.skinFrameFlags, c.frameFlags) << std::hex << c.flags << " edges " << c.edges;
        DestroyWindow(w);
    }
    auto* titled = new ProbeWindow(base | Window::kTitleBar | Window::kCloseBox | Window::kTitleButton2);
    SetFrame(titled, Rect{0, 0, 200, 100});
    WindowInternals::PressedButtons(titled) = kPartButton2;
    const FrameLayout l = ComputeFrameLayout(titled);
    EXPECT_EQ(l.titleStrip, (Rect{4, 4, 196, 26}));
    EXPECT_TRUE(l.hasFrameLine);
    EXPECT_TRUE(l.buttons[0].present && !l.buttons[0].pressed);
    EXPECT_FALSE(l.buttons[1].present);
    EXPECT_TRUE(l.buttons[2].present && l.buttons[2].pressed);
    // Button 2 is the second set button, so one slot left of button 0.
    EXPECT_EQ(l.buttons[2].rect.right, l.buttons[0].rect.right - 22);
    EXPECT_EQ(l.titleText.right, 196 - 2 * 22);
}

}  // namespace
}  // namespace pirn_test
