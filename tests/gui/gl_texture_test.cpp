// Texture upload and drawing on Mesa, read back with glReadPixels, on the
// direct path and on the forced power-of-two rescaling path.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <cstdlib>
#include <vector>

#include "platform/os/gl_texture.h"
#include "platform/os/image_texture.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

using Rgba = std::array<u8, 4>;

constexpr int kImageW = 100;
constexpr int kImageH = 60;
const Rgba kBackground = {40, 0, 40, 255};

// Ten-row bands of distinct colours, each band split at x = 50 into two
// shades, so both the row and the column of a pixel can be told apart.
Rgba BandColour(int x, int y) {
    int band = y / 10;
    u8 red = static_cast<u8>(30 + band * 40);
    u8 green = static_cast<u8>(x < 50 ? 60 : 200);
    u8 blue = static_cast<u8>(250 - band * 35);
    return {red, green, blue, 255};
}

std::vector<u8> BandImage() {
    std::vector<u8> pixels;
    for (int y = 0; y < kImageH; ++y)
        for (int x = 0; x < kImageW; ++x)
            for (u8 c : BandColour(x, y)) pixels.push_back(c);
    return pixels;
}

bool Near(const Rgba& a, const Rgba& b, int tolerance) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(a[i] - b[i]) > tolerance) return false;
    return true;
}

::testing::AssertionResult ColourIs(const Rgba& actual, const Rgba& expected, int tolerance) {
    if (Near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << int(actual[0]) << "," << int(actual[1]) << "," << int(actual[2]) << ","
           << int(actual[3]) << ") want (" << int(expected[0]) << "," << int(expected[1]) << ","
           << int(expected[2]) << "," << int(expected[3]) << ")";
}

class GlTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        ASSERT_TRUE(pirn_test::GuiWindow::Open("Pirn GUI Test", 640, 480));
        static bool initialised = false;
        if (!initialised) {
            PirnGL_Init();
            initialised = true;
        }
        SetForcePowerOfTwoTextures(0);
        OsGetFramebufferSize(&width_, &height_);
        // Screen pixels, origin top-left, as the window system draws.
        glViewport(0, 0, width_, height_);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width_, height_, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glColor4ub(255, 255, 255, 255);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        glClearColor(kBackground[0] / 255.0f, kBackground[1] / 255.0f, kBackground[2] / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void TearDown() override {
        SetForcePowerOfTwoTextures(0);
        if (pirn_test::GuiWindow::IsOpen()) {
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }

    // One screen pixel, (x, y) from the top-left.
    Rgba Pixel(int x, int y) const {
        Rgba rgba{};
        glFinish();
        glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

    static void LevelSize(const GlTexture& texture, int level, int* w, int* h) {
        BindTexture(&texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, h);
    }

    int width_ = 0;
    int height_ = 0;
};

TEST_F(GlTextureTest, DirectUploadDrawsEveryPixelExactly) {
    ASSERT_EQ(SupportsNpotTextures(), 1) << "Mesa is expected to have NPOT textures";
    std::vector<u8> pixels = BandImage();
    GlTexture texture;
    UploadTexture(&texture, pixels.data(), kGlRgba, kImageW, kImageH, 0, 0);
    ASSERT_NE(texture.name, 0u);
    EXPECT_EQ(texture.owned, 1u);
    int w = 0, h = 0;
    LevelSize(texture, 0, &w, &h);
    EXPECT_EQ(w, kImageW);
    EXPECT_EQ(h, kImageH);

    BindTexture(&texture);
    DrawTexture(&texture, 0, 10, 20, 0, 0, 0, 0, 0, 0);
    int wrong = 0;
    for (int y = 0; y < kImageH; ++y)
        for (int x = 0; x < kImageW; ++x)
            if (!Near(Pixel(10 + x, 20 + y), BandColour(x, y), 1)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(ColourIs(Pixel(9, 20), kBackground, 0));
    EXPECT_TRUE(ColourIs(Pixel(10 + kImageW, 20), kBackground, 0));
    EXPECT_TRUE(ColourIs(Pixel(10, 20 + kImageH), kBackground, 0));
    ReleaseTexture(&texture);
    EXPECT_EQ(texture.name, 0u);
}

TEST_F(GlTextureTest, ForcedPowerOfTwoUploadIsRescaledButDrawsAtImageSize) {
    SetForcePowerOfTwoTextures(1);
    EXPECT_EQ(SupportsNpotTextures(), 0);
    std::vector<u8> pixels = BandImage();
    GlTexture texture;
    UploadTexture(&texture, pixels.data(), kGlRgba, kImageW, kImageH, 0, 0);
    int w = 0, h = 0;
    LevelSize(texture, 0, &w, &h);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 64);
    LevelSize(texture, 1, &w, &h);  // the mipmap builder made the whole chain
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 32);
    EXPECT_EQ(texture.width, static_cast<u32>(kImageW));
    EXPECT_EQ(texture.height, static_cast<u32>(kImageH));

    BindTexture(&texture);
    DrawTexture(&texture, 0, 10, 20, 0, 0, 0, 0, 0, 0);
    // Covers exactly 100 x 60 pixels, and each band shows in its place
    // (rescaling blurs only the band edges).
    EXPECT_FALSE(Near(Pixel(10, 20), kBackground, 0));
    EXPECT_FALSE(Near(Pixel(10 + kImageW - 1, 20 + kImageH - 1), kBackground, 0));
    EXPECT_TRUE(ColourIs(Pixel(10 + kImageW, 20 + 5), kBackground, 0));
    EXPECT_TRUE(ColourIs(Pixel(10, 20 + kImageH), kBackground, 0));
    for (int band = 0; band < 6; ++band) {
        int y = band * 10 + 5;
        EXPECT_TRUE(ColourIs(Pixel(10 + 25, 20 + y), BandColour(25, y), 6)) << "band " << band;
        EXPECT_TRUE(ColourIs(Pixel(10 + 75, 20 + y), BandColour(75, y), 6)) << "band " << band;
    }

    // Source rows 10..29 drawn into 20 rows: image rows, whatever the scale.
    glClear(GL_COLOR_BUFFER_BIT);
    DrawTexture(&texture, 0, 200, 100, 100, 20, 0, 10, 0, 20);
    EXPECT_TRUE(ColourIs(Pixel(200 + 25, 100 + 5), BandColour(25, 15), 6));
    EXPECT_TRUE(ColourIs(Pixel(200 + 75, 100 + 15), BandColour(75, 25), 6));
    EXPECT_TRUE(ColourIs(Pixel(200 + 25, 100 + 20), kBackground, 0));
    ReleaseTexture(&texture);
}

TEST_F(GlTextureTest, HalfTurnAndMirrors) {
    std::vector<u8> pixels = BandImage();
    GlTexture texture;
    UploadTexture(&texture, pixels.data(), kGlRgba, kImageW, kImageH, 0, 0);
    BindTexture(&texture);
    DrawTexture(&texture, kDrawMirrorVertical | kDrawMirrorHorizontal, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(ColourIs(Pixel(0, 0), BandColour(kImageW - 1, kImageH - 1), 1));
    EXPECT_TRUE(ColourIs(Pixel(kImageW - 1, kImageH - 1), BandColour(0, 0), 1));
    DrawTexture(&texture, kDrawMirrorHorizontal, 200, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(ColourIs(Pixel(200, 0), BandColour(kImageW - 1, 0), 1));
    ReleaseTexture(&texture);
}

TEST_F(GlTextureTest, ChannelOrderAndAlphaFormats) {
    // Two BGR pixels; the texture holds them as RGB.
    const u8 bgr[] = {10, 20, 30, 40, 50, 60};
    GlTexture texture;
    UploadTexture(&texture, bgr, kGlBgr, 2, 1, 0, 0);
    BindTexture(&texture);
    u8 rgb[6] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ(std::vector<u8>(rgb, rgb + 6), (std::vector<u8>{30, 20, 10, 60, 50, 40}));

    // Rows are tightly packed whatever the unpack alignment was.
    const u8 alpha[] = {1, 2, 3, 4, 5, 6};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    UploadTexture(&texture, alpha, kGlAlpha, 3, 2, 0, 0);
    BindTexture(&texture);
    u8 back[6] = {};
    glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, back);
    EXPECT_EQ(std::vector<u8>(back, back + 6), (std::vector<u8>{1, 2, 3, 4, 5, 6}));
    GLint unpack = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    EXPECT_EQ(unpack, 4) << "pixel-store state must be restored";
    ReleaseTexture(&texture);
}

TEST_F(GlTextureTest, AlphaImagesStayAlphaWhenRescaled) {
    // A mask 3 x 2 of alpha 40: on both paths the texture holds alpha, not
    // a grey level with full alpha.
    const u8 alpha[] = {40, 40, 40, 40, 40, 40};
    for (int force : {0, 1}) {
        SetForcePowerOfTwoTextures(force);
        GlTexture texture;
        UploadTexture(&texture, alpha, kGlAlpha, 3, 2, 0, 0);
        BindTexture(&texture);
        int w = 0, h = 0;
        LevelSize(texture, 0, &w, &h);
        std::vector<u8> back(size_t(w) * h, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, back.data());
        EXPECT_EQ(back, std::vector<u8>(back.size(), 40)) << "forced power of two: " << force;
        ReleaseTexture(&texture);
    }
}

TEST_F(GlTextureTest, RescalingKeepsTheLastRowAndColumn) {
    // One dimension already a power of two, the other not: every edge of
    // the picture still shows after the rescale.
    SetForcePowerOfTwoTextures(1);
    const Rgba colour{200, 100, 50, 255};
    for (auto size : {std::pair<int, int>{100, 64}, std::pair<int, int>{64, 100}, std::pair<int, int>{3, 2}}) {
        std::vector<u8> pixels;
        for (int i = 0; i < size.first * size.second; ++i) pixels.insert(pixels.end(), colour.begin(), colour.end());
        GlTexture texture;
        UploadTexture(&texture, pixels.data(), kGlRgba, size.first, size.second, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        BindTexture(&texture);
        DrawTexture(&texture, 0, 10, 20, 0, 0, 0, 0, 0, 0);
        const int right = 10 + size.first - 1, bottom = 20 + size.second - 1;
        for (auto corner : {std::pair<int, int>{10, 20}, std::pair<int, int>{right, 20},
                            std::pair<int, int>{10, bottom}, std::pair<int, int>{right, bottom}}) {
            EXPECT_TRUE(ColourIs(Pixel(corner.first, corner.second), colour, 2))
                << size.first << " x " << size.second << " at " << corner.first << ", " << corner.second;
        }
        ReleaseTexture(&texture);
    }
}

TEST_F(GlTextureTest, ImageFilesBecomePlainTextures) {
    pirn_test::TempDir dir;
    // A 3 x 2 paletted BMP: uploaded as RGB through its palette.
    PixelImage image;
    ASSERT_TRUE(SetImagePixels(&image, 3, 2, kFormatColorIndex, std::vector<u8>{0, 1, 2, 2, 1, 0}.data()));
    const u8 palette[] = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    SetImagePalette(&image, 3, palette);
    ImageFile written;
    InitImageFile(&written, dir.file("pic.bmp"));
    written.type = kTypeBmp;
    written.image = image;
    ASSERT_TRUE(SaveImageFile(&written));

    GLint bound_before = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound_before);
    ImageFile file;
    InitImageFile(&file, dir.file("pic.bmp"));
    const u32 name = ImageFileToTexture(&file);
    ASSERT_NE(name, 0u);
    GLint bound_after = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound_after);
    EXPECT_EQ(bound_after, bound_before);

    glBindTexture(GL_TEXTURE_2D, name);
    GLint w = 0, h = 0, min_filter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min_filter);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(min_filter, GL_LINEAR);
    u8 rgb[18] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ(std::vector<u8>(rgb, rgb + 18), (std::vector<u8>{255, 0, 0, 0, 255, 0, 0, 0, 255,  //
                                                              0, 0, 255, 0, 255, 0, 255, 0, 0}));
    GLuint delete_name = name;
    glDeleteTextures(1, &delete_name);

    // Not a picture, or no file at all: no texture.
    pirn_test::WriteAll(dir.file("notes.txt"), std::string("not a picture"));
    ImageFile text;
    InitImageFile(&text, dir.file("notes.txt"));
    EXPECT_EQ(ImageFileToTexture(&text), 0u);
    ImageFile missing;
    InitImageFile(&missing, dir.file("missing.png"));
    EXPECT_EQ(ImageFileToTexture(&missing), 0u);
}

TEST_F(GlTextureTest, MipmapsAreGeneratedAndBindingIsRestored) {
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    std::vector<u8> pixels = BandImage();
    GlTexture texture;
    UploadTexture(&texture, pixels.data(), kGlRgba, kImageW, kImageH, 1, 1);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), other);
    int w = 0, h = 0;
    LevelSize(texture, 1, &w, &h);
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 30);
    ReleaseTexture(&texture);
    glDeleteTextures(1, &other);
}

TEST_F(GlTextureTest, EmptyTexturesDrawNothingOnBothPaths) {
    for (int force : {0, 1}) {
        SetForcePowerOfTwoTextures(force);
        glClear(GL_COLOR_BUFFER_BIT);
        GlTexture texture;
        UploadTexture(&texture, nullptr, kGlRgba, 0, 0, 0, 0);
        EXPECT_NE(texture.name, 0u) << force;
        BindTexture(&texture);
        DrawTexture(&texture, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        DrawTexture(&texture, 0, 0, 0, 50, 50, 0, 0, 10, 10);
        EXPECT_TRUE(ColourIs(Pixel(0, 0), kBackground, 0)) << force;
        ReleaseTexture(&texture);

        // An empty NPOT texture on the rescaling path: one level of powers
        // of two, filled later, and complete enough to draw.
        UploadTexture(&texture, nullptr, kGlRgba, 100, 60, 0, 0);
        int w = 0, h = 0;
        LevelSize(texture, 0, &w, &h);
        EXPECT_EQ(w, force ? 128 : 100);
        EXPECT_EQ(h, force ? 64 : 60);
        // (An incomplete texture would draw as the plain vertex colour.)
        const Rgba green = {10, 200, 30, 255};
        std::vector<u8> fill;
        for (int i = 0; i < w * h; ++i) fill.insert(fill.end(), green.begin(), green.end());
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, fill.data());
        DrawTexture(&texture, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        EXPECT_TRUE(ColourIs(Pixel(50, 30), green, 0)) << force;
        ReleaseTexture(&texture);
    }
}

TEST_F(GlTextureTest, AdoptedTexturesAreOnlyDeletedWhenOwned) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const u8 red[] = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);

    GlTexture borrowed;
    SetTexture(&borrowed, name, 0, 0, 0);  // no image size: drawn at its own size
    BindTexture(&borrowed);
    DrawTexture(&borrowed, 0, 300, 300, 0, 0, 0, 0, 0, 0);
    EXPECT_TRUE(ColourIs(Pixel(301, 301), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(ColourIs(Pixel(302, 302), kBackground, 0));
    ReleaseTexture(&borrowed);
    EXPECT_EQ(borrowed.name, 0u);
    EXPECT_EQ(glIsTexture(name), GL_TRUE);

    GlTexture owner;
    SetTexture(&owner, name, 2, 2, 1);
    ReleaseTexture(&owner);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

TEST_F(GlTextureTest, StartUpLeavesTheExpectedState) {
    GLint front = 0, cull = 0;
    glGetIntegerv(GL_FRONT_FACE, &front);
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(front, GL_CW);
    EXPECT_EQ(cull, GL_BACK);
    const GlEntryPoints& entry = GetGlEntryPoints();
    EXPECT_NE(entry.multiTexCoord2f, nullptr);
    EXPECT_NE(entry.activeTexture, nullptr);
    // Mesa has no swap hints.
    EXPECT_EQ(entry.addSwapHintRectWin, nullptr);
    EXPECT_EQ(SupportsAnisotropy(), OsExtensionSupported("GL_EXT_texture_filter_anisotropic"));
}

}  // namespace
}  // namespace pirn
