#include "tests/gui/skinned_gl_fixture.h"

#include <GL/gl.h>
#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/test_support.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/window_metrics.h"
#include "ui/window_system.h"

namespace pirn {

InterfaceFont* SkinnedGlFixture::font_ = nullptr;
Skin* SkinnedGlFixture::skin_ = nullptr;
TexturePack* SkinnedGlFixture::images_ = nullptr;

bool SkinnedGlFixture::OpenWindowAndLoad(const std::string& title, int width, int height) {
    font_ = nullptr;
    skin_ = nullptr;
    images_ = nullptr;
    if (!pirn_test::HasDisplay()) return false;
    if (!pirn_test::GuiWindow::Open(title, width, height)) return false;
    PirnGL_Init();
    const std::string fontPath = pirn_test::GeneratedResource("orvane.pirnfont");
    const std::string packPath = pirn_test::GeneratedResource("texturepack");
    if (fontPath.empty() || packPath.empty()) return true;
    font_ = LoadFont(fontPath).release();
    skin_ = LoadSkin(packPath).release();
    std::unique_ptr<TexturePack> images = CreateTexturePack();
    if (LoadTexturePack(*images, packPath)) images_ = images.release();
    return true;
}

void SkinnedGlFixture::SetUp() {
    PIRN_REQUIRE_DISPLAY();
    if (!pirn_test::GuiWindow::IsOpen()) GTEST_SKIP() << "no window";
    if (!font_ || !skin_ || !images_) GTEST_SKIP() << "no generated font or texture pack in this build";
    StartWindowSystem();
}

void SkinnedGlFixture::TearDown() {
    if (windowSystemStarted_) StopWindowSystem();
}

void SkinnedGlFixture::StartWindowSystem() {
    width_ = 0;
    height_ = 0;
    OsGetFramebufferSize(&width_, &height_);
    SetSkin(skin_);
    SetWindowMetricsOverride(nullptr);
    ResetWindowSystem();
    InstallGlWindowSystem();
    SetDefaultFont(font_);
    InitWindowSystem(width_, height_);
    SetRunning(true);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    windowSystemStarted_ = true;
}

void SkinnedGlFixture::StopWindowSystem() {
    ResetWindowSystem();
    SetSkin(nullptr);
    SetDefaultFont(nullptr);
    windowSystemStarted_ = false;
}

void SkinnedGlFixture::Draw() {
    InvalidateAll();
    RenderFrame();
    glFinish();
}

std::array<int, 3> SkinnedGlFixture::Pixel(int x, int y) const {
    glFinish();
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

int SkinnedGlFixture::DarkPixelsIn(const Rect& r, int level) const {
    int ink = 0;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++) {
            const std::array<int, 3> p = Pixel(x, y);
            if (p[0] < level && p[1] < level && p[2] < level) ++ink;
        }
    return ink;
}

void SkinnedGlFixture::Shot(const char* name) const {
    const char* dir = std::getenv("PIRN_GUI_SHOTS");
    if (!dir || width_ < 1 || height_ < 1) return;
    std::vector<unsigned char> p(size_t(width_) * size_t(height_) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, p.data());
    std::FILE* f = std::fopen((std::string(dir) + "/" + name + ".ppm").c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6 %d %d 255\n", width_, height_);
    // GL rows run bottom-up, PPM rows top-down.
    for (int y = height_ - 1; y >= 0; --y) std::fwrite(&p[size_t(y) * size_t(width_) * 3], 1, size_t(width_) * 3, f);
    std::fclose(f);
}

void SkinnedGlFixture::SavePng(const std::string& name) const {
    if (width_ < 1 || height_ < 1) return;
    const char* build = std::getenv("PIRN_BUILD_DIR");
    const std::string folder = std::string(build ? build : ".") + "/test-output";
    MakeDirectory(folder);
    std::vector<u8> rgb(size_t(width_) * size_t(height_) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    // GL rows run bottom-up, image rows top-down.
    std::vector<u8> rows(rgb.size());
    const size_t stride = size_t(width_) * 3;
    for (int y = 0; y < height_; ++y)
        std::copy_n(&rgb[size_t(height_ - 1 - y) * stride], stride, &rows[size_t(y) * stride]);
    PixelImage image;
    SetImagePixels(&image, u32(width_), u32(height_), kFormatRgb, rows.data());
    std::vector<u8> png;
    if (EncodeImageBytes(kTypePng, image, &png)) WriteFileSafely(folder + "/" + name + ".png", png.data(), png.size());
}

}  // namespace pirn
