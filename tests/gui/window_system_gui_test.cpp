// The window system drawing into a real GL window (Xvfb + Mesa): scenes of
// windows are rendered, the back buffer is read back, and pixels are
// compared with what the skin images, the skin metrics and the font say
// should be there.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/texture_pack.h"
#include "ui/window.h"
#include "ui/window_metrics.h"
#include "ui/window_overview.h"
#include "platform/os/os_time.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {
namespace {

struct Rgb {
    int r, g, b;
};

// A window filled with one colour.
class SolidWindow : public Window {
public:
    SolidWindow(u32 style, u32 rgba, Window* parentWindow = nullptr) : Window(style, parentWindow), color(rgba) {}
    void DrawContents() override {
        if (BeginWindowDraw(this, 1, 0)) {
            SetDrawColor(color);
            FillRectangle(GetClientRect());
        }
        EndWindowDraw(this);
    }
    u32 color;
};

// A window that shows one line of black text on white.
class TextWindow : public Window {
public:
    TextWindow(const char* line) : Window(Window::kVisible, nullptr), text(line) {}
    void DrawContents() override {
        if (BeginWindowDraw(this, 1, 0)) {
            SetDrawColor(0xFFFFFFFFu);
            FillRectangle(GetClientRect());
            SetDrawColor(PackRgba(0, 0, 0, 255));
            DrawTextInRect(text.c_str(), 0, 0, GetClientRect());
        }
        EndWindowDraw(this);
    }
    std::string text;
};

// Left half red, right half blue.
class SplitWindow : public Window {
public:
    SplitWindow() : Window(Window::kVisible, nullptr) {}
    void DrawContents() override {
        if (BeginWindowDraw(this, 1, 0)) {
            const i32 half = GetClientWidth() / 2;
            SetDrawColor(PackRgba(255, 0, 0, 255));
            FillRectangle(Rect{0, 0, half, GetClientHeight()});
            SetDrawColor(PackRgba(0, 0, 255, 255));
            FillRectangle(Rect{half, 0, GetClientWidth(), GetClientHeight()});
        }
        EndWindowDraw(this);
    }
};

class WindowSystemGuiTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn GUI Test", 640, 480); }

    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        ASSERT_TRUE(pirn_test::GuiWindow::IsOpen());
        if (!font_ || !skin_ || !images_) GTEST_SKIP() << "no generated font or texture pack in this build";
        StartWindowSystem();
        SetPartialRedraw(true);
    }

    Rgb Pixel(int x, int y) {
        const auto p = SkinnedGlFixture::Pixel(x, y);
        return Rgb{p[0], p[1], p[2]};
    }

    static Rgb PackPixel(int slot, int x, int y) {
        const TexturePackImage* image = FindTexturePackImage(*images_, slot);
        if (!image || image->pixels.empty()) return Rgb{-1, -1, -1};
        const int w = image->Width(), h = image->Height();
        const u8* p = &image->pixels[(size_t(y % h) * w + size_t(x % w)) * 4];
        return Rgb{p[0], p[1], p[2]};
    }

    static void ExpectNear(Rgb got, Rgb want, int tolerance, const char* what) {
        EXPECT_NEAR(got.r, want.r, tolerance) << what;
        EXPECT_NEAR(got.g, want.g, tolerance) << what;
        EXPECT_NEAR(got.b, want.b, tolerance) << what;
    }
};

constexpr u32 kRed = PackRgba(255, 0, 0, 255);
constexpr u32 kBlue = PackRgba(0, 0, 255, 255);
constexpr u32 kGreen = PackRgba(0, 255, 0, 255);

TEST_F(WindowSystemGuiTest, BackgroundPatternAndOverlapOrder) {
    auto* back = new SolidWindow(Window::kVisible, kRed);
    SetFrame(back, Rect{20, 20, 220, 180});
    auto* front = new SolidWindow(Window::kVisible, kBlue);
    SetFrame(front, Rect{120, 100, 320, 260});
    RenderFrame();
    ExpectNear(Pixel(30, 30), Rgb{255, 0, 0}, 0, "back only");
    ExpectNear(Pixel(150, 120), Rgb{0, 0, 255}, 0, "overlap shows the front window");
    // layer0 shows the skin's background pattern, tiled from its corner.
    ExpectNear(Pixel(400, 300), PackPixel(kSlotWindowBackground, 400, 300), 2, "layer0 pattern");
    ExpectNear(Pixel(5, 471), PackPixel(kSlotWindowBackground, 5, 471), 2, "layer0 pattern");
}

TEST_F(WindowSystemGuiTest, FrameGeometryFollowsTheSkinMetrics) {
    auto* w = new SolidWindow(Window::kVisible | Window::kTitleBar | Window::kThickBorder | Window::kCloseBox, kGreen);
    SetFrame(w, Rect{100, 100, 400, 300});
    RenderFrame();
    const i32 b = GetThickBorderSize(skin_);
    ASSERT_GT(b, 0);
    const i32 clientTop = 100 + b + kTitleBarHeight + b;
    EXPECT_EQ(w->GetClientScreenRect(), (Rect{100 + b, clientTop, 400 - b, 300 - b}));
    ExpectNear(Pixel(250, clientTop), Rgb{0, 255, 0}, 0, "first client row");
    ExpectNear(Pixel(100 + b, 250), Rgb{0, 255, 0}, 0, "first client column");
    const Rgb aboveClient = Pixel(250, clientTop - 1);
    EXPECT_FALSE(aboveClient.g == 255 && aboveClient.r == 0) << "the frame line under the title";
    const Rgb border = Pixel(100, 250);
    EXPECT_FALSE(border.g == 255 && border.r == 0) << "the left border";
    // The title strip shows the skin's active title-bar image (this is the
    // front-most window), away from the centred title text.
    const TexturePackImage* bar = FindTexturePackImage(*images_, kSlotTitleBarActive);
    ASSERT_NE(bar, nullptr);
    const int row = bar->Height() * (kTitleBarHeight / 2) / kTitleBarHeight;
    ExpectNear(Pixel(100 + b + 3, 100 + b + kTitleBarHeight / 2), PackPixel(kSlotTitleBarActive, 0, row), 12,
               "title strip");
}

TEST_F(WindowSystemGuiTest, ModalRunDimsWhatLiesBehind) {
    auto* back = new SolidWindow(Window::kVisible, kRed);
    SetFrame(back, Rect{20, 20, 300, 300});
    auto* dialog = new SolidWindow(Window::kVisible, kBlue);
    SetFrame(dialog, Rect{100, 100, 200, 200});
    BeginModal(dialog, kModalDimBehind);
    InvalidateAll();
    RenderFrame();
    ExpectNear(Pixel(40, 40), Rgb{127, 0, 0}, 2, "dimmed: black at alpha 128 over red");
    ExpectNear(Pixel(150, 150), Rgb{0, 0, 255}, 0, "the dialog is not dimmed");
    EndModal(dialog, 0);
    InvalidateAll();
    RenderFrame();
    ExpectNear(Pixel(40, 40), Rgb{255, 0, 0}, 0, "undimmed after the run");
}

TEST_F(WindowSystemGuiTest, OnlyDirtyRectanglesAreRedrawn) {
    auto* w = new SolidWindow(Window::kVisible, kRed);
    SetFrame(w, Rect{0, 0, 300, 300});
    InvalidateAll();
    RenderFrame();
    w->color = kGreen;
    w->InvalidateRect(Rect{50, 50, 100, 100}, false);
    ASSERT_EQ(RenderFrame(), 1);
    ExpectNear(Pixel(60, 60), Rgb{0, 255, 0}, 0, "inside the dirty rectangle");
    ExpectNear(Pixel(150, 150), Rgb{255, 0, 0}, 0, "outside it, the old pixels");
    ExpectNear(Pixel(100, 60), Rgb{255, 0, 0}, 0, "right edge is exclusive");
}

TEST_F(WindowSystemGuiTest, TextInkStaysWithinTheMeasuredWidth) {
    auto* w = new TextWindow("Window text");
    SetFrame(w, Rect{40, 40, 400, 80});
    RenderFrame();
    const i32 width = TextWidth(*font_, "Window text", 0, 0);
    ASSERT_GT(width, 20);
    int inkInside = 0, inkOutside = 0;
    for (int y = 40; y < 40 + font_->LineHeight(); y++) {
        for (int x = 40; x < 40 + width + 20; x++) {
            const Rgb p = Pixel(x, y);
            const bool ink = p.r < 128;
            if (x < 40 + width + 2) inkInside += ink;
            else inkOutside += ink;
        }
    }
    EXPECT_GT(inkInside, 30);
    EXPECT_EQ(inkOutside, 0);
}

TEST_F(WindowSystemGuiTest, OverviewDrawsWindowsScaledIntoTheirTiles) {
    auto* w = new SplitWindow();
    SetFrame(w, Rect{0, 0, 2 * width_, 2 * height_});
    ToggleOverview();
    UpdateOverviewAnimation();
    GetOverviewState().start = OsGetTime() - 1.0;  // the animation is over
    UpdateOverviewAnimation();
    ASSERT_TRUE(GetOverviewState().flags & kRedrawOverviewEntered);
    InvalidateAll();
    RenderFrame();
    // Scale 0.95 of the screen, centred: the halves meet in the middle.
    const Rect tile = WindowInternals::PreviousFrame(w);
    EXPECT_NEAR(tile.Width(), 0.95 * width_, 2);
    const int middle = (tile.left + tile.right) / 2;
    ExpectNear(Pixel(middle - 4, height_ / 2), Rgb{255, 0, 0}, 0, "left half, scaled");
    ExpectNear(Pixel(middle + 4, height_ / 2), Rgb{0, 0, 255}, 0, "right half, scaled");
    const Rgb outside = Pixel(tile.right + 2, height_ / 2);
    EXPECT_FALSE(outside.b == 255 && outside.r == 0) << "nothing drawn beyond the tile";
}

}  // namespace
}  // namespace pirn
