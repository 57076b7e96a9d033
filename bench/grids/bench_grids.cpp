// One frame of a GridWindow of collection thumbnails, the way the bitmap
// browser draws them, with 10, 1,000 and 10,000 bitmaps in a grid that
// shows 10 cells: the draw calls a frame makes and its time, with the
// converted tiles kept (a redraw) and dropped (a first draw), against a
// bare clear-and-swap and against the 10-bitmap grid. A frame should cost
// the same whatever the count.

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_gl_frame.h"
#include "collections/bitmap_rgba.h"
#include "collections/collection.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_draw_target.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/grid_window.h"
#include "ui/interface_font.h"
#include "ui/skin.h"
#include "ui/window_system.h"

using namespace pirn;
using namespace bench_gl;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr i32 kSide = 64;

// Bitmaps of 64 x 64 two-byte pixels, each with its own pattern.
void FillCollection(Collection* c, int count) {
    InitCollection(c);
    for (u32 i = 0; i < 256; ++i) {
        c->colors[3 * i] = u8(i);
        c->colors[3 * i + 1] = u8(255 - i);
        c->colors[3 * i + 2] = u8(i * 7);
    }
    std::vector<u8> pixels(size_t{kSide} * kSide * 2);
    for (int n = 0; n < count; ++n) {
        for (i32 y = 0; y < kSide; ++y)
            for (i32 x = 0; x < kSide; ++x) {
                u8* p = &pixels[(size_t(y) * kSide + size_t(x)) * 2];
                p[0] = ((x - 32) * (x - 32) + (y - 32) * (y - 32) < 900) ? 255 : 0;
                p[1] = u8(x + y + n);
            }
        AddCollectionBitmap(c, "bitmap", 0, pixels.data(), kSide, kSide, 2, nullptr);
    }
}

struct Thumbnails {
    const Collection* collection;
    static void Draw(void* context, const Rect& r, void* data) {
        const auto* b = static_cast<const CollectionBitmap*>(data);
        i32 w = 0, h = 0;
        FitIntoBox(b->width, b->height, &w, &h, std::min(r.Width(), r.Height()));
        DrawCollectionBitmap(*static_cast<Thumbnails*>(context)->collection, *b, 0, r.left + (r.Width() - w) / 2,
                             r.top + (r.Height() - h) / 2, w, h);
    }
};

struct Figures {
    double warm = 0, cold = 0;
    size_t pictures = 0, fills = 0;
};

Figures MeasureGrid(int count, CountingTarget& counter, InterfaceFont* font) {
    Collection c;
    FillCollection(&c, count);
    RestartWindowSystem(font, kWidth, kHeight);
    SetDrawTarget(&counter);
    Thumbnails thumbnails{&c};
    auto* grid = new GridWindow(GridWindow::kMultipleSelection, Window::kVisible | Window::kBackground, nullptr);
    // Five columns of 104 px beside the scrollbar, two rows of 146: ten
    // cells in view.
    const i32 scrollbar = GetScrollbarWidth();
    SetFrame(grid, MakeRect(20, 20, 5 * 104 + scrollbar, 2 * grid->GetLayout().CellHeight()));
    grid->SetCellCount(count);
    for (int i = 0; i < count; ++i) {
        grid->SetCellData(i, c.bitmaps[size_t(i)].get());
        grid->SetCellLabel(i, c.bitmaps[size_t(i)]->name);
    }
    grid->SetCallbackContext(&thumbnails);
    grid->SetDrawCellCallback(&Thumbnails::Draw);
    // Halfway down, where a long grid has cells above and below the view;
    // one selected cell in view.
    grid->SelectCell(count / 2);
    grid->RevealCell(count / 2);
    auto frame = [&] {
        grid->Invalidate();
        RenderFrame();
        OsSwapBuffers();
    };
    frame();
    counter.Reset();
    frame();
    Figures f;
    f.pictures = counter.pictures;
    f.fills = counter.fills;
    f.warm = TimeFrames(frame, 20, 0.5);
    f.cold = TimeFrames(
        [&] {
            ForgetCollectionBitmaps();
            frame();
        },
        20, 0.5);
    ForgetCollectionBitmaps();
    ResetWindowSystem();
    return f;
}

}  // namespace

int main() {
    GlBenchWindow screen;
    if (!screen.Open("bench_grids", kWidth, kHeight, PIRN_RUN_RES_DIR)) return 1;
    CountingTarget counter(GetDrawTarget());

    std::printf("grid of 64 x 64 thumbnails showing 10 cells; one frame (milliseconds),\n"
                "ratio to a bare clear-and-swap and to the 10-bitmap grid\n");
    const double reference = TimeFrames(ClearAndSwap, 60, 0.5);
    std::printf("%-28s %8.3f ms\n", "clear-and-swap (reference)", reference * 1e3);
    MeasureGrid(10, counter, screen.font.get());  // GL and the caches warmed up, not counted
    Figures ten;
    for (int count : {10, 1000, 10000}) {
        const Figures f = MeasureGrid(count, counter, screen.font.get());
        if (count == 10) ten = f;
        std::printf("%6d bitmaps: %zu pictures, %zu fills per frame (x%.2f of 10)\n", count, f.pictures, f.fills,
                    double(f.pictures + f.fills) / double(std::max<size_t>(ten.pictures + ten.fills, 1)));
        std::printf("   redraw, tiles kept     %8.3f ms  %6.2fx reference  %6.2fx of 10\n", f.warm * 1e3,
                    f.warm / reference, f.warm / ten.warm);
        std::printf("   first draw, converted  %8.3f ms  %6.2fx reference  %6.2fx of 10\n", f.cold * 1e3,
                    f.cold / reference, f.cold / ten.cold);
    }
    SetDrawTarget(nullptr);
    ReleaseGlDrawTargetTextures();
    return 0;
}
