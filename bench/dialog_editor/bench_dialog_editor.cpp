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

#include "bench/bench_gl_frame.h"
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
using namespace bench_gl;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr i32 kColumns = 40;
constexpr i32 kSpacing = 60;

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
    RestartWindowSystem(font, kWidth, kHeight);
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
    f.drag = TimeFrames(drag, 30, 0.5);
    f.whole = TimeFrames(whole, 30, 0.5);
    editor->EndControlDrag();
    ResetWindowSystem();
    return f;
}

}  // namespace

int main() {
    GlBenchWindow screen;
    if (!screen.Open("bench_dialog_editor", kWidth, kHeight, PIRN_RUN_RES_DIR)) return 1;
    CountingTarget counter(GetDrawTarget());

    std::printf("dialog editor, a control dragged one pixel a frame; one frame (milliseconds),\n"
                "ratio to a bare clear-and-swap and to the 10-control dialog\n");
    // GL and the caches warmed up on the first size, not counted; the
    // reference measured after it, like every size.
    MeasureDrag(10, counter, screen.font.get());
    const double reference = TimeFrames(ClearAndSwap, 60, 0.5);
    std::printf("%-30s %8.3f ms\n", "clear-and-swap (reference)", reference * 1e3);
    Figures ten;
    for (int count : {10, 100, 1000}) {
        const Figures f = MeasureDrag(count, counter, screen.font.get());
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
