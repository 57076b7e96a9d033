// Frame time of the window system: 50 and 200 overlapping skinned windows,
// redrawn through 1, 8 or 32 dirty rectangles or in full, each against a
// bare clear-and-swap of the same screen measured in the same run. Then the
// CPU time an idle window system uses over 3 seconds, resting between
// frames as the program does (ui/idle_wait.h), against the floor: the same
// window waiting for events for as long.

#include <GL/gl.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_gl_frame.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "platform/os/os_wait.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/idle_wait.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/window.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

using namespace pirn;
using namespace bench_gl;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

double Now() { return OsGetTime(); }

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void MakeWindows(int count, std::mt19937& rng) {
    std::uniform_int_distribution<int> x(0, kWidth - 300), y(0, kHeight - 220), w(160, 300), h(120, 220);
    const u32 style = Window::kVisible | Window::kTitleBar | Window::kThickBorder | Window::kResizable |
                      Window::kShadow | Window::kBackground | Window::kCloseBox | Window::kTitleButton1 |
                      Window::kTitleButton2;
    for (int i = 0; i < count; i++) {
        auto* win = new Window(style, nullptr);
        win->SetTitleF("Window %d", i);
        SetFrame(win, MakeRect(x(rng), y(rng), w(rng), h(rng)));
    }
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

int g_idleFrames = 0;
IdleWait g_idleWait;
// CPU seconds of the idle frames' three phases (PIRN_BENCH_DETAIL).
double g_pollCpu = 0, g_stepCpu = 0, g_sleepCpu = 0;
// The clock reads cost system calls of their own: only in detail mode.
const bool g_idleDetail = std::getenv("PIRN_BENCH_DETAIL") != nullptr;
// The program's frame (app/gl/frame_hook.cpp) without the Codex.
int IdleFrame() {
    const double c0 = g_idleDetail ? ThreadCpuSeconds() : 0;
    OsPollEvents();
    const bool active = IsInputActive();
    const double c1 = g_idleDetail ? ThreadCpuSeconds() : 0;
    const int drew = StepFrame();
    const double c2 = g_idleDetail ? ThreadCpuSeconds() : 0;
    if (drew) OsSwapBuffers();
    else g_idleWait.Rest(active);
    if (g_idleDetail) {
        g_pollCpu += c1 - c0;
        g_stepCpu += c2 - c1;
        g_sleepCpu += ThreadCpuSeconds() - c2;
    }
    g_idleFrames++;
    return 1;
}

}  // namespace

int main() {
    GlBenchWindow screen;
    if (!screen.Open("bench_ui_frame", kWidth, kHeight, PIRN_RUN_RES_DIR)) return 1;
    int fbw = kWidth, fbh = kHeight;
    OsGetFramebufferSize(&fbw, &fbh);
    std::mt19937 rng(12345);

    std::printf("screen %d x %d, times per frame (milliseconds), ratio to a bare clear-and-swap\n", fbw, fbh);
    // GL, the skin's and the font's textures and the caches warmed up on
    // the first case before anything is measured.
    TimeFrames(ClearAndSwap, 20, 0.1);
    RestartWindowSystem(screen.font.get(), kWidth, kHeight);
    MakeWindows(50, rng);
    TimeFrames([] {
        InvalidateAll();
        RenderFrame();
        OsSwapBuffers();
    }, 8, 0.2);
    rng.seed(12345);
    const double reference = TimeFrames(ClearAndSwap, 60, 0.5);
    std::printf("%-34s %8.3f ms\n", "clear-and-swap (reference)", reference * 1e3);

    for (int windows : {50, 200}) {
        RestartWindowSystem(screen.font.get(), kWidth, kHeight);
        MakeWindows(windows, rng);
        RenderFrame();
        OsSwapBuffers();
        for (int rects : {1, 8, 32}) {
            std::uniform_int_distribution<int> px(0, fbw - 64), py(0, fbh - 64);
            const double t = TimeFrames([&] {
                for (int i = 0; i < rects; i++) GetLayerWindow(-1)->InvalidateRect(MakeRect(px(rng), py(rng), 64, 64), false);
                RenderFrame();
                OsSwapBuffers();
            }, 20, 0.3);
            char label[64];
            std::snprintf(label, sizeof label, "%d windows, %d dirty 64x64", windows, rects);
            if (std::getenv("PIRN_BENCH_DETAIL")) {
                const double c0 = CpuSeconds(), w0 = Now();
                int drawnContents = 0, drawnFrames = 0;
                for (int k = 0; k < 20; k++) {
                    for (int i = 0; i < rects; i++)
                        GetLayerWindow(-1)->InvalidateRect(MakeRect(px(rng), py(rng), 64, 64), false);
                    RenderFrame();
                    drawnContents += GetFrameState().contentsDrawn;
                    drawnFrames += GetFrameState().framesDrawn;
                }
                glFinish();
                std::printf("   render only: %.3f ms wall, %.3f ms cpu; %.1f contents, %.1f frames drawn per frame\n",
                            (Now() - w0) * 50, (CpuSeconds() - c0) * 50, drawnContents / 20.0, drawnFrames / 20.0);
            }
            std::printf("%-34s %8.3f ms  %6.2fx\n", label, t * 1e3, t / reference);
        }
        const double full = TimeFrames([] {
            InvalidateAll();
            RenderFrame();
            OsSwapBuffers();
        }, 8, 0.5);
        char label[64];
        std::snprintf(label, sizeof label, "%d windows, full redraw", windows);
        std::printf("%-34s %8.3f ms  %6.2fx\n", label, full * 1e3, full / reference);
    }

    // Idle: nothing changes, so nothing is drawn and every frame rests.
    RestartWindowSystem(screen.font.get(), kWidth, kHeight);
    MakeWindows(50, rng);
    SetIdleHook(IdleFrame);
    // The first full frame, then the quiet spell after it.
    const double settle0 = Now();
    while (Now() - settle0 < 0.5) RunIdleHook();
    constexpr double kIdleSeconds = 3.0;
    // The floor: the same window waiting for events and doing nothing else.
    const double floorCpu0 = CpuSeconds(), floorWall0 = Now();
    while (Now() - floorWall0 < kIdleSeconds) OsWaitEvents(kIdleSeconds);
    const double floorShare = (CpuSeconds() - floorCpu0) / (Now() - floorWall0);
    const double cpu0 = CpuSeconds();
    const double wall0 = Now();
    g_idleFrames = 0;
    g_pollCpu = g_stepCpu = g_sleepCpu = 0;
    while (Now() - wall0 < kIdleSeconds) RunIdleHook();
    const double cpu = CpuSeconds() - cpu0;
    const double wall = Now() - wall0;
    std::printf("idle for %.2f s: %d frames, CPU %.4f s = %.3f%% of one core; the floor (waiting for events) "
                "%.3f%%; above it %.3f%% (goal < 0.5%%)\n",
                wall, g_idleFrames, cpu, 100.0 * cpu / wall, 100.0 * floorShare, 100.0 * (cpu / wall - floorShare));
    if (g_idleDetail && g_idleFrames > 0) {
        std::printf("   per idle frame, thread CPU: poll %.1f us, frame step %.1f us, sleep %.1f us\n",
                    g_pollCpu * 1e6 / g_idleFrames, g_stepCpu * 1e6 / g_idleFrames, g_sleepCpu * 1e6 / g_idleFrames);
        // The idle frame step back to back, caches warm: the window system's
        // own share without the sleeps around it.
        constexpr int kSteps = 20000;
        const double s0 = ThreadCpuSeconds();
        for (int i = 0; i < kSteps; i++) StepFrame();
        std::printf("   idle frame step back to back: %.2f us\n", (ThreadCpuSeconds() - s0) * 1e6 / kSteps);
    }

    ResetWindowSystem();
    SetSkin(nullptr);
    screen.skin.reset();
    screen.font.reset();
    OsTerminate();
    return 0;
}
