// Run-time pictures through the GL draw target on Mesa, read back with
// glReadPixels: every pixel format lands where it should, the texture is
// made on the first draw and kept, and it is made again when the image is
// replaced, re-checksummed or forgotten.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "platform/pixel_image.h"
#include "tests/gui/gui_harness.h"
#include "ui/gl/gl_draw_target.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;
const Rgb kBackground = {40, 0, 40};

class PixelImageGlTest : public ::testing::Test {
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
        glViewport(0, 0, width_, height_);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width_, height_, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_SCISSOR_TEST);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        glClearColor(kBackground[0] / 255.0f, kBackground[1] / 255.0f, kBackground[2] / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        target_.SetColor(PackRgba(255, 255, 255, 255));
    }
    void TearDown() override { target_.pixelImageTextures().Clear(); }

    Rgb Pixel(int x, int y) const {
        glFinish();
        unsigned char p[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
    // Draws the image over a 40 x 40 square at (x, 20) and reads its colour
    // at the square's centre.
    Rgb DrawnAt(const PixelImage& image, int x) {
        target_.DrawPixelImage(image, Rect{x, 20, x + 40, 60});
        return Pixel(x + 20, 40);
    }

    GlDrawTarget target_;
    int width_ = 0;
    int height_ = 0;
};

::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected, int tolerance = 2) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance)
            return ::testing::AssertionFailure() << "got (" << actual[0] << "," << actual[1] << "," << actual[2]
                                                 << ") want (" << expected[0] << "," << expected[1] << ","
                                                 << expected[2] << ")";
    return ::testing::AssertionSuccess();
}

PixelImage MakeImage(u32 format, u32 width, u32 height, const std::vector<u8>& pixels,
                     const std::vector<u8>& palette = {}) {
    PixelImage image;
    EXPECT_TRUE(SetImagePixels(&image, width, height, format, pixels.data()));
    if (!palette.empty()) SetImagePalette(&image, u32(palette.size() / 3), palette.data());
    return image;
}

TEST_F(PixelImageGlTest, EveryFormatShowsItsPixelsInPlace) {
    // A 2 x 2 picture over 40 x 40: each pixel a 20 x 20 block, read at the
    // block centres, top-left, top-right, bottom-left, bottom-right.
    const std::vector<u8> palette = {200, 10, 10, 10, 200, 10, 10, 10, 200, 250, 250, 250};
    struct Case {
        const char* what;
        PixelImage image;
        u32 color;
        std::array<Rgb, 4> expected;
    } cases[] = {
        {"RGBA", MakeImage(kFormatRgba, 2, 2, {200, 10, 10, 255, 10, 200, 10, 255, 10, 10, 200, 255, 250, 250, 250, 0}),
         PackRgba(255, 255, 255, 255), {{{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, kBackground}}},
        {"RGB", MakeImage(kFormatRgb, 2, 2, {200, 10, 10, 10, 200, 10, 10, 10, 200, 250, 250, 250}),
         PackRgba(255, 255, 255, 255), {{{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {250, 250, 250}}}},
        {"palette index", MakeImage(kFormatColorIndex, 2, 2, {3, 2, 1, 0}, palette),
         PackRgba(255, 255, 255, 255), {{{250, 250, 250}, {10, 10, 200}, {10, 200, 10}, {200, 10, 10}}}},
        {"alpha, then palette index", MakeImage(kFormatIndexAlpha, 2, 2, {255, 0, 0, 1, 255, 2, 255, 3}, palette),
         PackRgba(255, 255, 255, 255), {{{200, 10, 10}, kBackground, {10, 10, 200}, {250, 250, 250}}}},
        {"alpha tinted by the colour", MakeImage(kFormatAlpha, 2, 2, {255, 0, 0, 255}),
         PackRgba(0, 200, 100, 255), {{{0, 200, 100}, kBackground, kBackground, {0, 200, 100}}}},
    };
    int x = 10;
    for (Case& c : cases) {
        target_.SetColor(c.color);
        target_.DrawPixelImage(c.image, Rect{x, 20, x + 40, 60});
        const Rgb seen[4] = {Pixel(x + 10, 30), Pixel(x + 30, 30), Pixel(x + 10, 50), Pixel(x + 30, 50)};
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(Near(seen[i], c.expected[size_t(i)])) << c.what << ", pixel " << i;
        EXPECT_TRUE(Near(Pixel(x + 20, 62), kBackground)) << c.what << ": nothing below the rectangle";
        x += 60;
    }
}

TEST_F(PixelImageGlTest, TheTextureIsMadeOnceAndAgainOnlyWhenTheImageChanges) {
    PixelImage image = MakeImage(kFormatRgb, 1, 1, {220, 0, 0});
    EXPECT_EQ(target_.pixelImageTextures().size(), 0u);  // nothing before the first draw
    EXPECT_TRUE(Near(DrawnAt(image, 10), {220, 0, 0}));
    ASSERT_EQ(target_.pixelImageTextures().size(), 1u);
    const u32 first = target_.pixelImageTextures().Ensure(image)->name;
    EXPECT_TRUE(Near(DrawnAt(image, 10), {220, 0, 0}));
    EXPECT_EQ(target_.pixelImageTextures().Ensure(image)->name, first) << "kept, not made again";

    // Changed in place: the kept texture shows until the owner says so.
    image.pixels = {0, 220, 0};  // same size: the same block
    EXPECT_TRUE(Near(DrawnAt(image, 60), {220, 0, 0}));
    target_.ForgetPixelImage(image);
    EXPECT_EQ(target_.pixelImageTextures().size(), 0u);
    EXPECT_EQ(glIsTexture(first), GL_FALSE);
    EXPECT_TRUE(Near(DrawnAt(image, 110), {0, 220, 0}));

    // A new checksum, a new pixel block or another size is noticed alone.
    image.pixels = {0, 0, 220};
    UpdateImageChecksum(&image);
    EXPECT_TRUE(Near(DrawnAt(image, 160), {0, 0, 220}));
    const std::vector<u8> wider = {250, 250, 0, 250, 250, 0};
    ASSERT_TRUE(SetImagePixels(&image, 2, 1, kFormatRgb, wider.data()));
    EXPECT_TRUE(Near(DrawnAt(image, 210), {250, 250, 0}));
    EXPECT_EQ(target_.pixelImageTextures().size(), 1u) << "one texture per image";

    PixelImage second = MakeImage(kFormatRgb, 1, 1, {0, 250, 250});
    EXPECT_TRUE(Near(DrawnAt(second, 260), {0, 250, 250}));
    EXPECT_EQ(target_.pixelImageTextures().size(), 2u);
}

TEST_F(PixelImageGlTest, AnImageWithoutWholePixelsDrawsNothing) {
    PixelImage empty;
    EXPECT_TRUE(Near(DrawnAt(empty, 10), kBackground));
    PixelImage torn = MakeImage(kFormatRgb, 2, 2, std::vector<u8>(12, 200));
    torn.pixels.resize(5);  // fewer bytes than its size needs
    EXPECT_TRUE(Near(DrawnAt(torn, 60), kBackground));
    target_.DrawPixelImage(MakeImage(kFormatRgb, 1, 1, {200, 200, 200}), Rect{120, 20, 120, 60});  // empty rectangle
    EXPECT_TRUE(Near(Pixel(120, 40), kBackground));
}

}  // namespace
}  // namespace pirn
