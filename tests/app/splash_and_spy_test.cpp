// The splash screen, the About box and the Window Spy on the headless
// window system: how long each stays, what ends it, and the window tree
// the Spy lists. What the About box shows is checked in its pixels by the
// end-to-end suite (about_box_e2e_test.cpp).

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ui/pirn_splash_screen.h"
#include "app/ui/window_view.h"
#include "platform/os/os_time.h"
#include "platform/pref_store.h"
#include "tests/support/test_support.h"
#include "tests/ui/widget_fixture.h"
#include "ui/list_window.h"
#include "ui/frame_step.h"
#include "ui/frame_timer.h"

namespace pirn_test {
namespace {

// A 3 x 2 24-bit BMP, laid out from the format's table (rows bottom-up,
// each padded to 12 bytes).
std::vector<u8> SmallBmp() {
    std::vector<u8> b = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                         40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,
                         0, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 24; ++i) b.push_back(u8(i * 10));
    return b;
}

class SplashAndSpyTest : public WidgetTest {
protected:
    // A click inside the client area (the picture is small beside the title bar).
    static void PostClientClick(const Window* w) {
        const Rect& c = w->GetClientScreenRect();
        headless::AdvanceTime(0.5);
        HandleMouseMoveInput(c.left + 1, c.top + 1);
        HandleMouseButtonInput(0, 1);
        HandleMouseButtonInput(0, 0);
    }
    void SetUp() override {
        WidgetTest::SetUp();
        Prefs().Clear();
        ASSERT_NE(::getcwd(cwd_, sizeof cwd_), nullptr);
        WriteAll(dir_.file("res/pirn.bmp"), SmallBmp());
        ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
    }
    void TearDown() override {
        WidgetTest::TearDown();  // the splash window goes with the window system
        EXPECT_EQ(::chdir(cwd_), 0);
        Prefs().Clear();
    }
    TempDir dir_;
    char cwd_[4096] = {};
};

TEST_F(SplashAndSpyTest, TheFadeGoesSmoothlyFromOpaqueToClear) {
    struct Case {
        double t;
        u32 alpha;
    } cases[] = {{-1.0, 255}, {0.0, 255}, {0.25, 215}, {0.5, 128}, {0.75, 40}, {1.0, 0}, {2.0, 0}};
    for (const Case& c : cases) EXPECT_EQ(FadeAlpha(c.t), c.alpha) << c.t;
}

TEST_F(SplashAndSpyTest, TheSplashHoldsFadesAndGoesByItselfIgnoringClicks) {
    PirnSplashScreen* splash = GetSplashScreen();
    ASSERT_EQ(splash->GetImage().width, 3u);
    std::vector<double> fadeStarts;
    Then([] { PostClientClick(GetSplashScreen()); });  // a click changes nothing
    // While it holds, it asks for the frame that starts the fade, so an
    // idle program wakes for it.
    double asked = 0;
    Then([&asked] { asked = RequestedFrameTime(); });
    const double start = OsGetTime();
    RunSplashScreen();
    EXPECT_DOUBLE_EQ(asked, start + PirnSplashScreen::kSplashHold);
    const double took = OsGetTime() - start;
    EXPECT_GE(took, 2.5);
    EXPECT_LT(took, 2.6);
    EXPECT_FALSE(splash->IsVisible());
    EXPECT_EQ(splash->GetClientWidth(), 3);
    EXPECT_EQ(splash->GetClientHeight(), 2);
    EXPECT_EQ(splash->GetFlags() & ~u32(Window::kEnabled | Window::kVisible),
              u32(Window::kPopup | PirnSplashScreen::kSplashFlags));
}

TEST_F(SplashAndSpyTest, TheAboutBoxStaysTwoMinutesUnlessClickedAndIsTheSameWindow) {
    bool shownAfter119 = false;
    Then([] { headless::AdvanceTime(119.0); });
    Then([&shownAfter119] { shownAfter119 = GetSplashScreen()->IsVisible() && !GetSplashScreen()->IsFading(); });
    Then([] { headless::AdvanceTime(1.5); });
    ShowAboutBox();
    EXPECT_TRUE(shownAfter119);
    PirnSplashScreen* about = GetSplashScreen();
    EXPECT_FALSE(about->IsVisible());
    EXPECT_STREQ(about->GetTitle(), "About Pirn");
    EXPECT_EQ(about->GetClientWidth(), 3 + 384);
    EXPECT_EQ(about->GetClientHeight(), 2);

    // A click ends it at once, without a fade; the window is reused.
    Then([] { PostClientClick(GetSplashScreen()); });
    const double start = OsGetTime();
    ShowAboutBox();
    EXPECT_LT(OsGetTime() - start, 1.0);
    EXPECT_EQ(GetSplashScreen(), about);
    EXPECT_FALSE(about->IsVisible());
}

TEST_F(SplashAndSpyTest, TheSpyListsTheWindowTreeDepthFirst) {
    auto* tool = new ProbeWindow(Window::kVisible, nullptr, "Tool");
    new ProbeWindow(Window::kVisible, tool, nullptr);  // a child without a title
    OpenWindowSpy();
    auto* spy = dynamic_cast<WindowView*>(FindWindowByTitle("Window Spy", "WindowView"));
    ASSERT_NE(spy, nullptr);
    EXPECT_EQ(spy->GetWidth(), 512);
    EXPECT_EQ(spy->GetHeight(), std::min(700, GetScreenSize().y));  // kept on the screen
    ListWindow* list = spy->GetList();
    ASSERT_EQ(list->GetColumnCount(), 3);
    EXPECT_EQ(list->GetColumn(2).type, u32{kColumnNone});

    auto rows = [list] {
        std::vector<std::string> texts;
        for (ListItem* g = list->GetFirstItem(); g; g = list->NextRow(g)) {
            list->OpenItem(g);
            texts.push_back(std::string(size_t(g->depth - 1), ' ') + list->CellText(g, 0) + " / " + list->CellText(g, 1));
        }
        return texts;
    };
    const std::vector<std::string> before = rows();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(list->GetFirstItem()->flags & (ListItem::kExpandable | ListItem::kOpen),
              u32(ListItem::kExpandable | ListItem::kOpen));  // the root is open
    auto has = [](const std::vector<std::string>& texts, const std::string& text) {
        for (const std::string& t : texts)
            if (t.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has(before, "Tool / ProbeWindow"));
    EXPECT_TRUE(has(before, "(unnamed) / ProbeWindow"));
    EXPECT_TRUE(has(before, "Window Spy / WindowView"));

    // F5 lists windows made since.
    new ProbeWindow(Window::kVisible, nullptr, "Later");
    EXPECT_FALSE(has(rows(), "Later"));
    ActivateWindow(list, kFocusByProgram);
    Key(WindowView::kRebuildKey);
    EXPECT_TRUE(has(rows(), "Later / ProbeWindow"));

    // Opening it again raises the same window; its placement is kept.
    RaiseWindow(tool);
    OpenWindowSpy();
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), spy);
    SetFrame(spy, Rect{10, 20, 410, 620});
    DestroyWindow(spy);
    std::string placement;
    ASSERT_TRUE(GetPrefString("WindowSpyPlacement", &placement));
    EXPECT_EQ(placement, "0 10 20 410 620");
}

}  // namespace
}  // namespace pirn_test
