#pragma once
// The window system on the headless backend for the benchmarks that measure
// windows without a screen, with a font of fixed advances, and a draw target
// and text drawer that only count what a frame would send to the screen.

#include <cstring>
#include <vector>

#include "platform/os/headless/headless_os.h"
#include "platform/os/os_window.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/interface_font.h"
#include "ui/texture_pack.h"
#include "ui/window_system.h"

namespace bench_windows {

using namespace pirn;

// The font lives as long as the program.
inline void InitHeadlessWindowSystem() {
    headless::Reset();
    OsInit();
    InitWindowSystem(1280, 1024);
    SetRunning(true);
    static InterfaceFont font;
    font.ascent = 10;
    font.line_spacing = 12;
    font.tab_width = 4;
    font.styles[0].trailer[3] = 1;
    for (FontGlyph& g : font.styles[0].glyphs)
        for (i8& a : g.advance) a = 8;
    SetDefaultFont(&font);
}

// Counts the quads a frame sends to the screen.
class QuadCounter : public DrawTarget {
public:
    void SetColor(u32) override {}
    void FillRect(const Rect&) override { ++quads; }
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override { quads += draws.size(); }
    void DrawPixelImage(const PixelImage&, const Rect&) override { ++quads; }
    void ForgetPixelImage(const PixelImage&) override {}
    size_t quads = 0;
};

// A text drawer (for SetWindowTextDrawer) that counts the glyphs in g_glyphs.
inline size_t g_glyphs = 0;
inline i32 CountGlyphs(InterfaceFont*, const char* text, int, u32, const Rect&) {
    g_glyphs += std::strlen(text);
    return 0;
}

}  // namespace bench_windows
