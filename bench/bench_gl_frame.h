#pragma once
// What the benchmarks in a real window share: the window with the program's
// font and skin, the window system started afresh at the framebuffer's size,
// a draw target that counts the calls it passes on to GL, frame timing
// against a bare clear-and-swap, and the floor of a frame: the GL work it
// did (drawing scopes, fills, skin images, pictures, texts) recorded once
// and sent again with no window in between.

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
#include "ui/gl/draw_text.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/texture_pack.h"
#include "ui/skin.h"
#include "ui/window_renderer.h"
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

// Records the GL work of frames and sends it again: the floor of a frame,
// the least work that puts the same pixels on the screen. Pictures are
// kept by address: replay while their owners still hold them.
class FrameRecording : public WindowRenderer, public DrawTarget {
public:
    // Records what RenderFrame sends until Stop, passing it on.
    void Start() {
        ops_.clear();
        renderer_ = GetWindowRenderer();
        target_ = GetDrawTarget();
        SetWindowRenderer(this);
        SetDrawTarget(this);
        g_recording = this;
        SetWindowTextDrawer(RecordText);
    }
    void Stop() {
        SetWindowRenderer(renderer_);
        SetDrawTarget(target_);
        SetWindowTextDrawer(PassText);
        g_recording = nullptr;
    }
    // Sends the recorded work to the renderer and target of the recording.
    void Replay() const {
        for (const Op& op : ops_) switch (op.kind) {
                case kBegin: renderer_->BeginScope(op.rect, op.size, op.scissor, op.flag); break;
                case kEnd: renderer_->EndScope(); break;
                case kClear: renderer_->ClearScreen(); break;
                case kScissor: renderer_->SetScissorEnabled(op.flag); break;
                case kColor: target_->SetColor(op.value); break;
                case kFill: target_->FillRect(op.rect); break;
                case kImages: target_->DrawImages(op.images); break;
                case kPicture: target_->DrawMirroredPixelImage(*op.image, op.rect, op.value); break;
                case kText: DrawText(op.font, op.text, op.style, op.value, op.rect); break;
            }
    }
    size_t size() const { return ops_.size(); }

    void BeginScope(const Rect& r, Point size, const Rect& scissor, bool threeD) override {
        Op op{kBegin};
        op.rect = r, op.size = size, op.scissor = scissor, op.flag = threeD;
        ops_.push_back(op);
        renderer_->BeginScope(r, size, scissor, threeD);
    }
    void EndScope() override {
        ops_.push_back(Op(kEnd));
        renderer_->EndScope();
    }
    void ClearScreen() override {
        ops_.push_back(Op(kClear));
        renderer_->ClearScreen();
    }
    void SetScissorEnabled(bool on) override {
        Op op{kScissor};
        op.flag = on;
        ops_.push_back(op);
        renderer_->SetScissorEnabled(on);
    }
    void CopyToClipboard(const Rect& r) override { renderer_->CopyToClipboard(r); }
    void SetColor(u32 rgba) override {
        Op op{kColor};
        op.value = rgba;
        ops_.push_back(op);
        target_->SetColor(rgba);
    }
    void FillRect(const Rect& r) override {
        Op op{kFill};
        op.rect = r;
        ops_.push_back(op);
        target_->FillRect(r);
    }
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override {
        Op op{kImages};
        op.images = draws;
        ops_.push_back(op);
        target_->DrawImages(draws);
    }
    void DrawPixelImage(const PixelImage& image, const Rect& r) override { DrawMirroredPixelImage(image, r, 0); }
    void DrawMirroredPixelImage(const PixelImage& image, const Rect& r, u32 mirror) override {
        Op op{kPicture};
        op.image = &image, op.rect = r, op.value = mirror;
        ops_.push_back(op);
        target_->DrawMirroredPixelImage(image, r, mirror);
    }
    void ForgetPixelImage(const PixelImage& image) override { target_->ForgetPixelImage(image); }

private:
    enum Kind { kBegin, kEnd, kClear, kScissor, kColor, kFill, kImages, kPicture, kText };
    struct Op {
        explicit Op(Kind k) : kind(k) {}
        Kind kind;
        Rect rect{}, scissor{};
        Point size{};
        bool flag = false;
        u32 value = 0;
        int style = 0;
        InterfaceFont* font = nullptr;
        const PixelImage* image = nullptr;
        std::vector<QueuedImageDraw> images;
        std::string text;
    };
    static i32 PassText(InterfaceFont* font, const char* text, int style, u32 flags, const Rect& rect) {
        return DrawText(font, text, style, flags, rect);
    }
    static i32 RecordText(InterfaceFont* font, const char* text, int style, u32 flags, const Rect& rect) {
        Op op{kText};
        op.font = font, op.text = text, op.style = style, op.value = flags, op.rect = rect;
        g_recording->ops_.push_back(op);
        return DrawText(font, text, style, flags, rect);
    }
    static inline FrameRecording* g_recording = nullptr;

    WindowRenderer* renderer_ = nullptr;
    DrawTarget* target_ = nullptr;
    std::vector<Op> ops_;
};

// The reference frame: the screen cleared and swapped, nothing drawn.
inline void ClearAndSwap() {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.2f, 0.2f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    OsSwapBuffers();
    glEnable(GL_SCISSOR_TEST);
}

}  // namespace bench_gl
