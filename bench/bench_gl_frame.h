#pragma once
// What the benchmarks in a real window share: the window with the program's
// font and skin, the window system started afresh at the framebuffer's size,
// a draw target that counts the calls it passes on to GL, and frame timing
// against a bare clear-and-swap.

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/texture_pack.h"
#include "ui/skin.h"
#include "ui/window_system.h"

namespace bench_gl {

using namespace pirn;

// The window, GL and the GL window system, with the font and skin from the
// run folder's resources (drawn without them when they are missing).
struct GlBenchWindow {
    std::unique_ptr<InterfaceFont> font;
    std::unique_ptr<Skin> skin;

    bool Open(const char* name, int width, int height, const std::string& res) {
        if (!OsInit() || !OsSetWindow(width, height, name, 0, 0)) {
            std::fprintf(stderr, "%s: no window (run under xvfb-run)\n", name);
            return false;
        }
        PirnGL_Init();
        font = LoadFont(res + "/orvane.pirnfont");
        skin = LoadSkin(res + "/texturepack");
        if (!font || !skin) std::printf("note: resources missing in %s; drawing without skin or text\n", res.c_str());
        SetSkin(skin.get());
        InstallGlWindowSystem();
        return true;
    }
};

// A fresh window system over the whole framebuffer, redrawing only what
// changed.
inline void RestartWindowSystem(InterfaceFont* font, int width, int height) {
    ResetWindowSystem();
    SetDefaultFont(font);
    int fbw = width, fbh = height;
    OsGetFramebufferSize(&fbw, &fbh);
    InitWindowSystem(fbw, fbh);
    SetRunning(true);
    SetPartialRedraw(true);
}

// Passes every call on to the GL target and counts them.
class CountingTarget : public DrawTarget {
public:
    explicit CountingTarget(DrawTarget* inner) : inner_(inner) {}
    void SetColor(u32 rgba) override { inner_->SetColor(rgba); }
    void FillRect(const Rect& r) override {
        ++fills;
        inner_->FillRect(r);
    }
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override {
        images += draws.size();
        inner_->DrawImages(draws);
    }
    void DrawPixelImage(const PixelImage& image, const Rect& r) override {
        ++pictures;
        inner_->DrawPixelImage(image, r);
    }
    void DrawMirroredPixelImage(const PixelImage& image, const Rect& r, u32 mirror) override {
        ++pictures;
        inner_->DrawMirroredPixelImage(image, r, mirror);
    }
    void ForgetPixelImage(const PixelImage& image) override { inner_->ForgetPixelImage(image); }
    void Reset() { fills = images = pictures = 0; }
    size_t Total() const { return fills + images + pictures; }

    size_t fills = 0, images = 0, pictures = 0;

private:
    DrawTarget* inner_;
};

// Runs frame() in three batches, each until at least minFrames and
// minSeconds have passed; returns the best batch's seconds per frame (the
// machine is shared, so the least disturbed batch is the figure).
template <typename F>
double TimeFrames(F frame, int minFrames, double minSeconds) {
    double best = 1e30;
    for (int batch = 0; batch < 3; batch++) {
        glFinish();
        const double start = OsGetTime();
        int n = 0;
        while (n < minFrames || OsGetTime() - start < minSeconds) {
            frame();
            n++;
        }
        glFinish();
        best = std::min(best, (OsGetTime() - start) / n);
    }
    return best;
}

// The reference frame: the screen cleared and swapped, nothing drawn.
inline void ClearAndSwap() {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.2f, 0.2f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    OsSwapBuffers();
    glEnable(GL_SCISSOR_TEST);
}

}  // namespace bench_gl
