// Tile layout and the overview mode, headless.

#include <cmath>

#include "tests/ui/window_system_fixture.h"

namespace pirn_test {
namespace {

double Area(const float r[4]) { return double(r[2] - r[0]) * (r[3] - r[1]); }

TEST(TileLayout, SquarifiedStripsCoverTheAreaByWeight) {
    // The classic example: weights 6 6 4 3 2 2 1 on a 6 x 4 rectangle.
    TileNode root;
    for (float w : {1.0f, 6.0f, 2.0f, 4.0f, 6.0f, 3.0f, 2.0f}) {
        TileNode n;
        n.weight = w;
        root.children.push_back(n);
    }
    int calls = 0;
    TileLayout(&root, 6, 4, [](const float*, void*, void* c) { ++*static_cast<int*>(c); }, &calls);
    EXPECT_EQ(calls, 7);
    double total = 0;
    for (const TileNode& n : root.children) {
        EXPECT_NEAR(Area(n.rect), n.weight, 1e-4);  // weights sum to the area
        total += Area(n.rect);
        for (const TileNode& m : root.children) {
            if (&m == &n) continue;
            const float ox = std::min(n.rect[2], m.rect[2]) - std::max(n.rect[0], m.rect[0]);
            const float oy = std::min(n.rect[3], m.rect[3]) - std::max(n.rect[1], m.rect[1]);
            EXPECT_FALSE(ox > 1e-4f && oy > 1e-4f) << "tiles overlap";
        }
    }
    EXPECT_NEAR(total, 24.0, 1e-3);
    // The first strip runs down the short side and takes the two 6s (a third
    // node would worsen the last rectangle's aspect).
    const TileNode& six1 = root.children[1];
    const TileNode& six2 = root.children[4];
    EXPECT_FLOAT_EQ(six1.rect[0], 0);
    EXPECT_FLOAT_EQ(six1.rect[2], 3);
    EXPECT_FLOAT_EQ(six2.rect[2], 3);
    EXPECT_FLOAT_EQ(root.children[3].rect[0], 3);  // the 4 starts the next strip
}

TEST(TileLayout, DegenerateInputGivesEmptyTilesNotNaN) {
    TileNode root;
    root.children.resize(3);
    for (auto& n : root.children) n.weight = 0;
    TileLayout(&root, 100, 0, nullptr, nullptr);
    for (const auto& n : root.children)
        for (float v : n.rect) EXPECT_FALSE(std::isnan(v));
}

TEST(OverviewEase, FollowsTheFormula) {
    EXPECT_FLOAT_EQ(OverviewEase(0), 0);
    EXPECT_FLOAT_EQ(OverviewEase(1), 1);
    EXPECT_NEAR(OverviewEase(0.5f), 0.25, 1e-6);
}

using OverviewTest = WindowSystemTest;

ProbeWindow* MakeWindow(const Rect& frame) {
    auto* w = new ProbeWindow(Window::kVisible | Window::kTakesFocus);
    SetFrame(w, frame);
    return w;
}

void Frames(int n) {
    for (int i = 0; i < n; i++) {
        headless::AdvanceTime(1.0 / 60.0);
        StepFrame();
    }
}

TEST_F(OverviewTest, OneWindowFitsItsTileAndIsNeverEnlarged) {
    auto* big = MakeWindow(Rect{0, 0, 1600, 1200});
    Key(kKeyF1 + 9);
    Frames(1);
    const Rect tile = WindowInternals::PreviousFrame(big);
    EXPECT_LE(tile.Width(), 0.95 * kWidth + 1);
    EXPECT_LE(tile.Height(), 0.95 * kHeight + 1);
    // Scaled as a whole: the aspect stays.
    EXPECT_NEAR(double(tile.Width()) / tile.Height(), 1600.0 / 1200.0, 0.01);
}

TEST_F(OverviewTest, ToggleEnterLeaveAndClicks) {
    // The tiles share out layer0, so the only place outside every tile is
    // above it, on the menu bar.
    auto* bar = new ProbeWindow(Window::kVisible | Window::kPopup);
    SetFrame(bar, Rect{0, 0, kWidth, 20});
    SetMenuBar(bar);
    auto* a = MakeWindow(Rect{0, 0, 100, 100});
    auto* b = MakeWindow(Rect{50, 50, 150, 150});
    Key(kKeyF1 + 9);
    EXPECT_TRUE(IsOverviewActive());
    Frames(2);
    Key(kKeyF1 + 9);  // still entering: ignored
    EXPECT_FALSE(GetOverviewState().flags & kRedrawOverviewLeaving);
    Frames(20);
    ASSERT_TRUE(GetOverviewState().flags & kRedrawOverviewEntered);
    EXPECT_FLOAT_EQ(GetOverviewState().value, 1.0f);
    // Small windows are not enlarged: the tile placement keeps their size.
    EXPECT_EQ(WindowInternals::PreviousFrame(a).Width(), 100);
    EXPECT_NE(WindowInternals::PreviousFrame(a), a->GetFrameScreenRect());
    // A click outside every tile keeps the overview.
    Click(2, 2);
    EXPECT_TRUE(IsOverviewActive());
    EXPECT_FALSE(GetOverviewState().flags & kRedrawOverviewLeaving);
    // A click on a's tile brings it to the front and leaves.
    const Rect tile = WindowInternals::PreviousFrame(a);
    Click(tile.left + 5, tile.top + 5);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), a);
    EXPECT_EQ(GetFocusWindow(), a);
    EXPECT_TRUE(GetOverviewState().flags & kRedrawOverviewLeaving);
    Frames(20);
    EXPECT_FALSE(IsOverviewActive());
    EXPECT_TRUE(TopFilterIsDefault());
    EXPECT_EQ(WindowInternals::PreviousFrame(a), a->GetFrameScreenRect());
    EXPECT_EQ(b->GetFrame(), (Rect{50, 50, 150, 150}));  // windows never moved
}

TEST_F(OverviewTest, AClickAnywhereInATilePicksItsWindow) {
    MakeWindow(Rect{0, 0, 100, 100});
    auto* b = MakeWindow(Rect{50, 50, 150, 150});
    Key(kKeyF1 + 9);
    Frames(20);
    const std::vector<OverviewState::Tile>& tiles = GetOverviewState().tiles;
    ASSERT_EQ(tiles.size(), 2u);
    // Front to back the tiles cover layer0 without a gap.
    i64 area = 0;
    for (const OverviewState::Tile& t : tiles) area += i64(t.rect.Width()) * t.rect.Height();
    EXPECT_EQ(area, i64(kWidth) * kHeight);
    const Rect tile = tiles[0].window == b ? tiles[0].rect : tiles[1].rect;
    const Rect scaled = WindowInternals::PreviousFrame(b);
    ASSERT_TRUE(RectContains(tile, scaled));
    // In b's tile, beside its scaled frame.
    const Point beside{tile.left + 2, tile.top + 2};
    ASSERT_FALSE(beside.x >= scaled.left && beside.y >= scaled.top);
    Click(beside.x, beside.y);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), b);
    EXPECT_EQ(GetFocusWindow(), b);
    EXPECT_TRUE(GetOverviewState().flags & kRedrawOverviewLeaving);
}

TEST_F(OverviewTest, QuitDuringTheOverviewLeavesItFirst) {
    static bool overviewWhenAsked;
    overviewWhenAsked = true;
    SetQuitHook([]() -> int {
        overviewWhenAsked = IsOverviewActive();
        return 1;
    });
    MakeWindow(Rect{0, 0, 100, 100});
    Key(kKeyF1 + 9);
    Frames(2);  // quit arrives while still entering
    RequestQuit();
    EXPECT_FALSE(overviewWhenAsked);
    EXPECT_FALSE(IsRunning());
}

}  // namespace
}  // namespace pirn_test
