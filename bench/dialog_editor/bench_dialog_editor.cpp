// One frame of a control dragged in the dialog editor, with 10, 100 and
// 1,000 controls in the dialog: the draw calls the frame makes and its time,
// against a bare clear-and-swap and against the 10-control dialog. The
// controls stand in a grid, the dragged one at the top left; the others
// beyond its neighbours should cost nothing. A whole redraw of the canvas
// is shown beside it for comparison (it draws what is in view).

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "editors/dialog_commands.h"
#include "editors/ui/dialog_edit.h"
#include "editors/ui/dialog_view.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_draw_target.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/window_system.h"

using namespace pirn;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr i32 kColumns = 40;
constexpr i32 kSpacing = 60;

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

template <typename F>
double TimeFrames(F frame, int minFrames = 30, double minSeconds = 0.5) {
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

void ClearAndSwap() {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.2f, 0.2f, 0.2f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    OsSwapBuffers();
    glEnable(GL_SCISSOR_TEST);
}

// A grid of 50 x 24 buttons 60 pixels apart, 40 to a row, in a dialog
// large enough for 1,000 of them.
DialogData GridDialog(int count) {
    DialogData d;
    d.version = 1;
    d.rect = DialogRect{0, 0, kColumns * kSpacing, (1000 / kColumns) * kSpacing};
    for (int i = 0; i < count; ++i) {
        const i32 x = 10 + (i % kColumns) * kSpacing;
        const i32 y = 10 + (i / kColumns) * kSpacing;
        d.controls.push_back(
            DialogControl{MakeFourCC("butt"), static_cast<u16>(i + 1), DialogRect{x, y, x + 50, y + 24}, "Go"});
    }
    return d;
}

struct Figures {
    double drag = 0, whole = 0;
    size_t dragDraws = 0, wholeDraws = 0;
};

Figures MeasureDrag(int count, CountingTarget& counter, InterfaceFont* font) {
    ResetWindowSystem();
    SetDefaultFont(font);
    int fbw = kWidth, fbh = kHeight;
    OsGetFramebufferSize(&fbw, &fbh);
    InitWindowSystem(fbw, fbh);
    SetRunning(true);
    SetPartialRedraw(true);
    SetDrawTarget(&counter);
    auto* editor = new DialogEdit(nullptr);
    editor->SetDialog(GridDialog(count));
    editor->SetPosition(0, 0);
    editor->SetVisible(true);
    editor->SelectControl(0);
    editor->BeginControlDrag(0, kDialogPartMove);
    RenderFrame();
    OsSwapBuffers();

    // Each frame one pixel further, back and forth over 20 pixels.
    int step = 0;
    auto drag = [&] {
        const int phase = step++ % 40;
        editor->DragControlBy(phase < 20 ? phase : 40 - phase, 0);
        RenderFrame();
        OsSwapBuffers();
    };
    auto whole = [&] {
        editor->View()->Invalidate();
        RenderFrame();
        OsSwapBuffers();
    };
    Figures f;
    drag();
    counter.Reset();
    drag();
    f.dragDraws = counter.Total();
    whole();
    counter.Reset();
    whole();
    f.wholeDraws = counter.Total();
    f.drag = TimeFrames(drag);
    f.whole = TimeFrames(whole);
    editor->EndControlDrag();
    ResetWindowSystem();
    return f;
}

}  // namespace

int main() {
    if (!OsInit() || !OsSetWindow(kWidth, kHeight, "bench_dialog_editor", 0, 0)) {
        std::fprintf(stderr, "bench_dialog_editor: no window (run under xvfb-run)\n");
        return 1;
    }
    PirnGL_Init();
    const std::string res = PIRN_RUN_RES_DIR;
    std::unique_ptr<InterfaceFont> font = LoadFont(res + "/orvane.pirnfont");
    std::unique_ptr<Skin> skin = LoadSkin(res + "/texturepack");
    if (!font || !skin) std::printf("note: resources missing in %s; drawing without skin or text\n", res.c_str());
    SetSkin(skin.get());
    InstallGlWindowSystem();
    CountingTarget counter(GetDrawTarget());

    std::printf("dialog editor, a control dragged one pixel a frame; one frame (milliseconds),\n"
                "ratio to a bare clear-and-swap and to the 10-control dialog\n");
    const double reference = TimeFrames(ClearAndSwap, 60, 0.5);
    std::printf("%-30s %8.3f ms\n", "clear-and-swap (reference)", reference * 1e3);
    MeasureDrag(10, counter, font.get());  // GL and the caches warmed up, not counted
    Figures ten;
    for (int count : {10, 100, 1000}) {
        const Figures f = MeasureDrag(count, counter, font.get());
        if (count == 10) ten = f;
        std::printf("%5d controls: drag frame %zu draw calls (x%.2f of 10), whole canvas %zu\n", count, f.dragDraws,
                    double(f.dragDraws) / double(std::max<size_t>(ten.dragDraws, 1)), f.wholeDraws);
        std::printf("   drag frame             %8.3f ms  %6.2fx reference  %6.2fx of 10\n", f.drag * 1e3,
                    f.drag / reference, f.drag / ten.drag);
        std::printf("   whole canvas redrawn   %8.3f ms  %6.2fx reference  %6.2fx of 10\n", f.whole * 1e3,
                    f.whole / reference, f.whole / ten.whole);
    }
    SetDrawTarget(nullptr);
    ReleaseGlDrawTargetTextures();
    return 0;
}
