// Tab windows (pages from children, selection, removal, Ctrl cycling, hits)
// and splitter windows (every clamping rule, layout, bar drag and pointer).

#include <gtest/gtest.h>

#include "tests/ui/widget_fixture.h"
#include "ui/skin.h"
#include "ui/splitter_window.h"
#include "ui/tab_window.h"

namespace pirn_test {
namespace {

constexpr u32 kPageFlags = Window::kVisible | Window::kEnabled | Window::kTakesFocus;

class TabWindowTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        // The widget skin with tab pieces: 4-px sides, 20-px faces.
        auto pack = CreateTexturePack();
        const int slots[][3] = {{kSlotTabSelected, 8, 20}, {kSlotTabUnselected, 8, 20}, {kSlotTabLeft, 4, 20},
                                {kSlotTabRight, 4, 20},     {kSlotButtonLeft, 6, 24},    {kSlotButtonRight, 6, 24},
                                {kSlotButtonMiddle, 4, 24}, {kSlotScrollTrack, 16, 8},   {kSlotScrollThumb, 16, 8},
                                {kSlotScrollArrow, 16, 14}};
        for (const auto& s : slots) {
            auto image = std::make_unique<TexturePackImage>();
            image->index = s[0];
            image->atlas.width = u16(s[1]);
            image->atlas.height = u16(s[2]);
            image->pixels.assign(size_t(s[1]) * size_t(s[2]) * 4, 0xFF);
            pack->images.push_back(std::move(image));
        }
        tabSkin_ = MakeSkin(std::move(pack));
        ASSERT_TRUE(tabSkin_);
        SetSkin(tabSkin_.get());
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{50, 50, 450, 350});
        tabs_ = new TabWindow(Window::kVisible, owner_);
        SetFrame(tabs_, Rect{0, 0, 400, 300});
    }
    ProbeWindow* AddPage(const char* title) {
        auto* page = new ProbeWindow(kPageFlags, nullptr, title);
        SetParent(page, tabs_);
        return page;
    }
    std::unique_ptr<Skin> tabSkin_;
    ProbeWindow* owner_ = nullptr;
    TabWindow* tabs_ = nullptr;
};

TEST_F(TabWindowTest, ChildrenBecomePagesWithOverlappingHeaders) {
    ProbeWindow* a = AddPage("Alpha");
    ProbeWindow* b = AddPage("Be");
    ASSERT_EQ(tabs_->GetTabCount(), 2);
    EXPECT_EQ(tabs_->GetCurrentTab(), 0);
    EXPECT_TRUE(a->IsVisible());
    EXPECT_FALSE(b->IsVisible());
    const Rect h0 = tabs_->GetTab(0).header;
    const Rect h1 = tabs_->GetTab(1).header;
    const Rect r0 = GetTabRect(GetSkin(), 5 * kCharWidth);
    EXPECT_EQ(h0.left, 8);
    EXPECT_EQ(h0.Width(), r0.Width());
    EXPECT_EQ(h1.left, h0.right - GetTabOverlap());
    EXPECT_EQ(h1.Width(), GetTabRect(GetSkin(), 2 * kCharWidth).Width());
    // Pages stand below the headers and follow the container's size.
    EXPECT_EQ(a->GetFrame(), (Rect{0, h0.bottom + 4, 400, 300}));
    SetFrame(tabs_, Rect{0, 0, 300, 200});
    EXPECT_EQ(a->GetFrame(), (Rect{0, h0.bottom + 4, 300, 200}));
}

TEST_F(TabWindowTest, PageBuiltAsAChildIsPlacedByTheNextFrame) {
    auto* page = new ProbeWindow(kPageFlags, tabs_, "Built inside");
    StepFrame();
    ASSERT_EQ(tabs_->GetTabCount(), 1);
    EXPECT_EQ(tabs_->GetTab(0).header.Width(), GetTabRect(GetSkin(), 12 * kCharWidth).Width());
    EXPECT_EQ(page->GetFrame(), tabs_->PageRect());
    EXPECT_TRUE(page->IsVisible());
}

TEST_F(TabWindowTest, SelectingShowsOnePageAndFocusesIt) {
    ProbeWindow* a = AddPage("A");
    ProbeWindow* b = AddPage("B");
    tabs_->SelectTab(1);
    EXPECT_FALSE(a->IsVisible());
    EXPECT_TRUE(b->IsVisible());
    EXPECT_TRUE(b->HasFocus());
    tabs_->SelectTab(2);  // outside: nothing
    tabs_->SelectTab(-1);
    EXPECT_EQ(tabs_->GetCurrentTab(), 1);
    // A press on a header selects its tab.
    const Rect h = tabs_->GetTab(0).header;
    const Point c = tabs_->GetClientOrigin();
    Click(c.x + h.left + 6, c.y + h.top + 2);
    EXPECT_EQ(tabs_->GetCurrentTab(), 0);
    EXPECT_TRUE(a->IsVisible());
}

TEST_F(TabWindowTest, CurrentHeaderIsHitFirstWhereHeadersOverlap) {
    AddPage("A");
    AddPage("B");
    const Rect h1 = tabs_->GetTab(1).header;
    const Point overlap{h1.left + 1, h1.top + 1};  // inside both headers
    ASSERT_EQ(tabs_->TabAtPoint(overlap), 0);
    tabs_->SelectTab(1);
    EXPECT_EQ(tabs_->TabAtPoint(overlap), 1);
    EXPECT_EQ(tabs_->TabAtPoint(Point{2, 2}), -1);
}

TEST_F(TabWindowTest, RemovingPagesKeepsAValidCurrentTab) {
    struct Case {
        int pages;
        int current;
        int removed;
        int expectCurrent;     // after removal
        int expectPageIndex;   // which of the original pages is then current
    };
    const Case cases[] = {
        {3, 2, 2, 1, 1},   // the current page: the one before it
        {3, 0, 0, 0, 1},   // the first and current: the new first
        {3, 2, 0, 1, 2},   // an earlier page: the same page stays current
        {3, 0, 2, 0, 0},   // a later page: nothing moves
        {1, 0, 0, -1, -1}, // the last page: none
    };
    for (const Case& c : cases) {
        ProbeWindow* pages[3] = {};
        for (int i = 0; i < c.pages; ++i) pages[i] = AddPage("P");
        tabs_->SelectTab(c.current);
        DestroyWindow(pages[c.removed]);
        StepFrame();
        EXPECT_EQ(tabs_->GetTabCount(), c.pages - 1);
        EXPECT_EQ(tabs_->GetCurrentTab(), c.expectCurrent) << c.current << " " << c.removed;
        if (c.expectPageIndex >= 0) {
            ASSERT_EQ(tabs_->GetPage(tabs_->GetCurrentTab()), pages[c.expectPageIndex]);
            EXPECT_TRUE(pages[c.expectPageIndex]->IsVisible());
        }
        tabs_->DestroyChildren();
        StepFrame();
        ASSERT_EQ(tabs_->GetTabCount(), 0);
        ASSERT_EQ(tabs_->GetCurrentTab(), -1);
    }
}

TEST_F(TabWindowTest, CtrlKeysCycleAndWrap) {
    ProbeWindow* a = AddPage("A");
    AddPage("B");
    ProbeWindow* c = AddPage("C");
    ActivateWindow(a, kFocusByProgram);
    Key(kKeyLeft, {kKeyLeftControl});
    EXPECT_EQ(tabs_->GetCurrentTab(), 2);
    ASSERT_TRUE(c->HasFocus());
    Key(kKeyRight, {kKeyLeftControl});  // from the last to the first
    EXPECT_EQ(tabs_->GetCurrentTab(), 0);
    Key(kKeyTab, {kKeyLeftControl});
    EXPECT_EQ(tabs_->GetCurrentTab(), 1);
    Key(kKeyTab, {kKeyLeftControl, kKeyLeftShift});
    EXPECT_EQ(tabs_->GetCurrentTab(), 0);
    Key(kKeyRight);  // without Ctrl the page gets the key
    EXPECT_EQ(tabs_->GetCurrentTab(), 0);
    EXPECT_FALSE(a->keys.empty());
}

TEST_F(TabWindowTest, HiddenTabWindowDoesNotTakeTheFocus) {
    ProbeWindow* elsewhere = new ProbeWindow(kPageFlags, owner_, "elsewhere");
    ActivateWindow(elsewhere, kFocusByProgram);
    tabs_->SetVisible(false);
    AddPage("A");
    AddPage("B");
    tabs_->SelectTab(1);
    EXPECT_TRUE(elsewhere->HasFocus());
}

class SplitterTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{50, 50, 650, 450});
        split_ = new SplitterWindow(Window::kVisible | Window::kEnabled, owner_);
        SetFrame(split_, Rect{0, 0, 400, 300});
        a_ = new ProbeWindow(Window::kVisible | Window::kEnabled, nullptr, "a");
        b_ = new ProbeWindow(Window::kVisible | Window::kEnabled, nullptr, "b");
    }
    ProbeWindow* owner_ = nullptr;
    SplitterWindow* split_ = nullptr;
    ProbeWindow* a_ = nullptr;
    ProbeWindow* b_ = nullptr;
};

TEST_F(SplitterTest, ClampRules) {
    struct Case {
        int sizing;
        i32 m0, m1, total, request, expect;
    };
    const Case cases[] = {
        {0, 100, 100, 150, 10, 75},    // narrower than twice the smaller minimum: the middle
        {0, 50, 300, 150, 10, 10},     // the minimums overlap: the request as it is
        {0, 100, 100, 400, 10, 100},   // raised to m0
        {0, 100, 100, 400, 390, 300},  // lowered to T - m1
        {0, 100, 100, 400, 250, 250},
        {0, 200, 250, 400, 50, 50},
        {0, 200, 250, 400, 500, 400},  // ... kept within 0..T
        {1, 120, 100, 400, 10, 120},   // first pane held at its minimum
        {1, 250, 200, 400, 10, 200},   // ... or T - m when they overlap
        {2, 100, 120, 400, 10, 280},   // second pane held at its minimum
        {2, 250, 200, 400, 10, 200},
    };
    for (const Case& c : cases) {
        SetFrame(split_, Rect{0, 0, c.total, 300});
        split_->SetPane(0, nullptr, c.m0);
        split_->SetPane(1, nullptr, c.m1);
        split_->SetLayout(SplitterWindow::kSideBySide, c.sizing);
        EXPECT_EQ(split_->ClampSplit(c.request), c.expect)
            << c.sizing << " " << c.m0 << " " << c.m1 << " " << c.total << " " << c.request;
    }
    // Stacked panes clamp along the height.
    SetFrame(split_, Rect{0, 0, 400, 100});
    split_->SetPane(0, nullptr, 60);
    split_->SetPane(1, nullptr, 60);
    split_->SetLayout(SplitterWindow::kStacked, 0);
    EXPECT_EQ(split_->ClampSplit(10), 50);
}

TEST_F(SplitterTest, LaysOutPanesAroundTheBar) {
    const i32 bar = GetSkinFrameSize();
    EXPECT_EQ(split_->SetPane(0, a_, 50), nullptr);
    EXPECT_EQ(a_->GetFrame(), (Rect{0, 0, 400, 300})) << "one pane fills the client area";
    split_->SetPane(1, b_, 50);
    split_->SetSplitPosition(120);
    EXPECT_EQ(a_->GetFrame(), (Rect{0, 0, 120, 300}));
    EXPECT_EQ(b_->GetFrame(), (Rect{120 + bar, 0, 400, 300}));
    split_->SetLayout(SplitterWindow::kStacked, 0);
    EXPECT_EQ(a_->GetFrame(), (Rect{0, 0, 400, 120}));
    EXPECT_EQ(b_->GetFrame(), (Rect{0, 120 + bar, 400, 300}));
    // Replacing a pane hands back the one that was there, no longer a child.
    auto* c = new ProbeWindow(Window::kVisible, nullptr, "c");
    EXPECT_EQ(split_->SetPane(1, c, 50), b_);
    EXPECT_EQ(b_->GetParent(), nullptr);
    EXPECT_EQ(c->GetParent(), split_);
    delete b_;
    // A pane destroyed elsewhere leaves its place empty.
    DestroyWindow(c);
    StepFrame();
    EXPECT_EQ(split_->GetPane(1), nullptr);
    EXPECT_EQ(a_->GetFrame(), (Rect{0, 0, 400, 300}));
}

TEST_F(SplitterTest, DraggingTheBarAndItsPointer) {
    split_->SetPane(0, a_, 50);
    split_->SetPane(1, b_, 50);
    split_->SetSplitPosition(100);
    const Point o = split_->GetClientOrigin();
    MoveTo(o.x + 101, o.y + 150);
    EXPECT_EQ(split_->GetCursor(), u32(kCursorSizeWestEast));
    Press();
    MoveTo(o.x + 161, o.y + 170);
    EXPECT_EQ(split_->GetSplitPosition(), 160);
    MoveTo(o.x + 500, o.y + 170);  // held back by the second pane's minimum
    EXPECT_EQ(split_->GetSplitPosition(), 350);
    Release();
    MoveTo(o.x + 300, o.y + 10);
    EXPECT_NE(GetHoverWindow(), split_);

    // Held at a minimum: no drag and no resize pointer.
    split_->SetLayout(SplitterWindow::kSideBySide, SplitterWindow::kFirstAtMinimum);
    EXPECT_EQ(split_->GetSplitPosition(), 50);
    MoveTo(o.x + 51, o.y + 150);
    EXPECT_EQ(split_->GetCursor(), u32(kCursorArrow));
    Press();
    MoveTo(o.x + 151, o.y + 150);
    Release();
    EXPECT_EQ(split_->GetSplitPosition(), 50);
    EXPECT_STREQ(split_->GetTitle(), "SplitterWindow");
}

}  // namespace
}  // namespace pirn_test
