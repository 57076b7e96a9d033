// Presenting frames on Mesa: on a swap chain of two or more the back buffer
// holds the frame just shown after the swap, so that the next frame may
// redraw only its dirty rectangles; the first presented frame is stamped
// for the start-up benchmark.

#include "ui/gl/frame_presentation.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/test_support.h"
#include "ui/frame_step.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;

class FramePresentationGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        ASSERT_TRUE(pirn_test::GuiWindow::Open("Pirn skin test", 480, 320));
        static bool initialised = false;
        if (!initialised) {
            PirnGL_Init();
            initialised = true;
        }
        OsGetFramebufferSize(&width_, &height_);
        ResetWindowSystem();
        InitWindowSystem(width_, height_);  // presentation keeps a screen-sized frame
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        glDisable(GL_SCISSOR_TEST);
        previousLength_ = GetSwapChainLength();
    }
    void TearDown() override {
        SetSwapChainLength(previousLength_);
        ReleasePresentationResources();
        ResetWindowSystem();
    }

    static void Clear(const Rgb& c) {
        glClearColor(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    Rgb Pixel(int x, int y) const {
        glFinish();
        unsigned char p[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    int width_ = 0;
    int height_ = 0;
    int previousLength_ = 1;
};

TEST_F(FramePresentationGlTest, OnAChainOfTwoThePresentedFrameIsBackInTheBackBuffer) {
    const int measured = DetermineSwapChainLength();
    EXPECT_GE(measured, 1);
    EXPECT_LE(measured, 3);

    SetSwapChainLength(2);
    const Rgb shown = {30, 140, 60};
    Clear(shown);
    PresentFrame();
    EXPECT_EQ(Pixel(5, 5), shown);
    EXPECT_EQ(Pixel(width_ - 3, height_ - 3), shown);

    // The next frame redraws one rectangle only; the rest stays the frame
    // before.
    const Rgb patch = {200, 200, 20};
    glEnable(GL_SCISSOR_TEST);
    glScissor(10, height_ - 30, 20, 20);  // x 10..29, y 10..29 from the top
    Clear(patch);
    glDisable(GL_SCISSOR_TEST);
    PresentFrame();
    EXPECT_EQ(Pixel(15, 15), patch);
    EXPECT_EQ(Pixel(40, 15), shown);
    EXPECT_EQ(Pixel(5, height_ - 5), shown);
}

TEST_F(FramePresentationGlTest, ChainLengthsStayBetweenOneAndThree) {
    const struct {
        int set, kept;
    } cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 3}, {7, 3}, {-4, 1}};
    for (const auto& c : cases) {
        SetSwapChainLength(c.set);
        EXPECT_EQ(GetSwapChainLength(), c.kept) << c.set;
    }
}

}  // namespace
}  // namespace pirn
