// The skin's painters and DrawText on Mesa: draw into the back buffer, read
// the pixels back, compare with what the skin images and font metrics say.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/support/test_support.h"
#include "ui/gl/draw_text.h"
#include "ui/gl/gl_draw_target.h"
#include "ui/skin.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;
constexpr int kWidth = 480;
constexpr int kHeight = 320;

class SkinTextGlTest : public SkinnedGlFixture {
protected:
    // The painters draw straight through the GL draw target, without the
    // window system.
    static void SetUpTestSuite() {
        if (OpenWindowAndLoad("Pirn skin test", kWidth, kHeight)) InstallGlDrawTarget();
    }

    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        if (!pirn_test::GuiWindow::IsOpen()) GTEST_SKIP() << "no window";
        if (!font_ || !skin_) GTEST_SKIP() << "no generated font or texture pack in this build";
        int w = kWidth, h = kHeight;
        OsGetFramebufferSize(&w, &h);
        width_ = w;
        height_ = h;
        glViewport(0, 0, w, h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, h, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_SCISSOR_TEST);
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // Pixels that are not the white background inside a rectangle.
    int InkIn(const Rect& r) const {
        std::vector<unsigned char> p(size_t(r.Width()) * r.Height() * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(r.left, height_ - r.bottom, r.Width(), r.Height(), GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        int ink = 0;
        for (size_t i = 0; i < p.size(); i += 4)
            if (p[i] < 200 || p[i + 1] < 200 || p[i + 2] < 200) ++ink;
        return ink;
    }

    static bool Near(const Rgb& a, const Rgb& b, int tolerance) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(a[i] - b[i]) > tolerance) return false;
        return true;
    }
};

TEST_F(SkinTextGlTest, TextInkStaysInsideItsMeasuredBox) {
    const Rect rect{20, 20, 460, 60};
    const std::string text = "|bPirn|p draws |itext|p in |ofour|p styles";
    const i32 measured = DrawText(font_, text, 0, kTextMeasureOnly, rect);
    EXPECT_EQ(InkIn(Rect{0, 0, kWidth, kHeight}), 0);  // measuring draws nothing
    EXPECT_EQ(measured, TextWidth(*font_, text, 0, 0));

    glColor4ub(0, 0, 0, 255);
    EXPECT_EQ(DrawText(font_, text, 0, 0, rect), measured);
    const i32 top = rect.top + i32(font_->ascent) - 14;
    const i32 bottom = rect.top + i32(font_->line_spacing) + 2;
    EXPECT_GT(InkIn(Rect{rect.left, top, rect.left + measured + 2, bottom}), 200);
    EXPECT_EQ(InkIn(Rect{rect.left + measured + 3, 0, kWidth, kHeight}), 0);
    EXPECT_EQ(InkIn(Rect{0, bottom + 1, kWidth, kHeight}), 0);

    // Right-aligned and shadowed text ends at the rectangle's right edge (the
    // shadow one pixel further).
    const Rect line2{20, 80, 300, 110};
    glColor4ub(40, 90, 200, 255);
    DrawText(font_, "Right aligned", 0, kTextRight | kTextShadow, line2);
    EXPECT_GT(InkIn(Rect{280, 80, 300, 110}), 5);
    EXPECT_EQ(InkIn(Rect{302, 80, kWidth, 110}), 0);
    Shot("text");
}

TEST_F(SkinTextGlTest, FramesAndBarsShowTheirImages) {
    glColor4ub(255, 255, 255, 255);
    const Rect window{40, 40, 300, 220};
    DrawDropShadow(skin_, window, true);
    DrawWindowBackground(skin_, window);
    DrawTitleBar(skin_, Rect{44, 44, 296, 66}, true);
    DrawSkinFrame(skin_, window, kFrameAll);
    i32 bw = 0, bh = 0;
    GetTitleBarButtonSize(skin_, &bw, &bh);
    DrawTitleBarButton(skin_, MakeRect(296 - bw - 4, 48, bw, bh), 0, false);
    glColor4ub(255, 255, 255, 255);
    DrawText(font_, "Window title", 0, kTextShadow, Rect{52, 44, 250, 66});
    DrawButtonFace(skin_, Rect{60, 180, 160, 204}, false);
    DrawCheckBox(skin_, Rect{180, 184, 200, 200}, 1);
    DrawScrollbar(skin_, Rect{270, 70, 286, 170}, ScrollbarLook{true, true, false, false, true, Rect{270, 100, 286, 140}, false});
    DrawTab(skin_, Rect{60, 80, 120, 100}, true);
    DrawTab(skin_, Rect{116, 80, 176, 100}, false);
    DrawHighlight(Rect{60, 120, 200, 140}, kHighlightStrong | kHighlightFill | kHighlightOutline);
    Shot("skin");

    // The frame's outer row is the outline grey, the next one the highlight.
    EXPECT_TRUE(Near(Pixel(150, 40), {122, 130, 143}, 3));
    EXPECT_TRUE(Near(Pixel(150, 41), {252, 253, 254}, 3));
    EXPECT_TRUE(Near(Pixel(40, 150), {122, 130, 143}, 3));   // left edge, turned
    EXPECT_TRUE(Near(Pixel(299, 150), {122, 130, 143}, 3));  // right edge
    EXPECT_TRUE(Near(Pixel(150, 219), {122, 130, 143}, 3));  // bottom edge, mirrored
    // The rounded corner leaves its outermost pixel to what lies below.
    EXPECT_FALSE(Near(Pixel(40, 40), {122, 130, 143}, 3));
    // Background, title bar, button: the theme's colours.
    const Rgb surface = Pixel(150, 160);
    EXPECT_GE(surface[0], 225);
    const Rgb title = Pixel(200, 60);
    EXPECT_GT(title[2], title[0] + 60);  // blue
    const Rgb button = Pixel(110, 196);
    EXPECT_GT(button[2], button[0] + 60);
    // The shadow darkens the white below and right of the frame.
    const Rgb shadow = Pixel(150, 222);
    EXPECT_LT(shadow[0], 250);
    EXPECT_TRUE(Near(Pixel(150, 239), {255, 255, 255}, 2));
}

}  // namespace
}  // namespace pirn
