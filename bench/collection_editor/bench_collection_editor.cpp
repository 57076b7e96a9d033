// The collection editor on a collection of 1,000 bitmaps (64 x 64, RLE,
// one in ten a copy of another) shown by 1,000 sequence views, each against
// the floor of the same work measured in the same run:
//   - opening the tag in the editor (load, seven pages, both bitmap pages
//     filled), against reading the tag's bytes and writing out the decoded
//     pixels' bytes (loading alone is shown beside it);
//   - frames of the bitmap grid scrolled row by row through the same
//     stretch, with 200, 1,000 and 10,000 bitmaps, against the same frames'
//     GL work (scopes, fills, skin images, pictures, texts) recorded and
//     sent again with no window in between;
//   - each optimiser operation, against the least pass over the same data
//     that gives its answer (looking at the bitmaps the views show, sorting
//     the bitmaps by their pixels, one pass over every pixel for the crop
//     boxes, formatting the names, summing the sizes).
// Runs in a real window (Xvfb and Mesa in scripts/bench).

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_gl_frame.h"
#include "codex/codex.h"
#include "codex/tag_header.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "collections/bitmap_codec.h"
#include "collections/collection_tag.h"
#include "collections/optimiser.h"
#include "collections/ui/bitmap_browser.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "platform/file_system.h"
#include "platform/log_capture.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/strings.h"
#include "platform/os/pirn_gl.h"
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

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr u16 kSide = 64;
constexpr u32 kGroup = 0x2E323536;  // '.256'

// The fastest of `runs` timed runs, each with its own untimed set-up and
// tear-down.
template <typename Setup, typename Run, typename Teardown>
double Fastest(int runs, Setup setup, Run run, Teardown teardown) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        setup();
        const double start = OsGetTime();
        run();
        best = std::min(best, OsGetTime() - start);
        teardown();
    }
    return best;
}

template <typename F>
double BestTime(F run, int minRuns = 5, double minSeconds = 0.5) {
    double best = 1e30;
    for (int batch = 0; batch < 3; ++batch) {
        const double start = OsGetTime();
        int n = 0;
        while (n < minRuns || OsGetTime() - start < minSeconds) {
            run();
            ++n;
        }
        best = std::min(best, (OsGetTime() - start) / n);
    }
    return best;
}

// `count` round sprites (one in ten repeats the one before it), each shown
// by one view of a sequence of ten views.
void FillCollection(Collection* c, int count) {
    InitCollection(c);
    for (u32 i = 0; i < 256; ++i) {
        c->colors[3 * i] = u8(i);
        c->colors[3 * i + 1] = u8(255 - i);
        c->colors[3 * i + 2] = u8(i * 7);
    }
    std::vector<u8> pixels(size_t{kSide} * kSide * 2);
    int pattern = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 10 != 9) ++pattern;
        for (i32 y = 0; y < kSide; ++y)
            for (i32 x = 0; x < kSide; ++x) {
                u8* p = &pixels[(size_t(y) * kSide + size_t(x)) * 2];
                const bool inside = (x - 32) * (x - 32) + (y - 32) * (y - 32) < 500 + pattern % 300;
                p[0] = inside ? 255 : 0;
                p[1] = inside ? u8(2 + (x + y + pattern) % 250) : 0;
            }
        AddCollectionBitmap(c, ("Sprite " + std::to_string(n)).c_str(), kBitmapRle, pixels.data(), kSide, kSide, 2,
                            nullptr);
    }
    for (int s = 0; s * 10 < count; ++s) {
        CollectionSequence* sequence = AddSequence(c, ("Sequence " + std::to_string(s)).c_str());
        ResizeSequence(sequence, 10, 1);
        for (int v = 0; v < 10 && s * 10 + v < count; ++v)
            sequence->frames[0].instances[size_t(v)].standard.bitmap = c->bitmaps[size_t(s * 10 + v)].get();
    }
}

// The collection as a loose tag file of the game's local folder.
std::string WriteTag(Collection* c, const std::string& local, const std::string& name, u32 id) {
    const std::string path = local + "Collections/" + name;
    MakeDirectory(local + "Collections");
    std::FILE* stream = std::fopen(path.c_str(), "w+b");
    if (!stream) return "";
    TagHeader header = MakeTagHeader(kGroup, id, name.c_str());
    std::vector<u8> blank(kTagHeaderSize, 0);
    std::fwrite(blank.data(), 1, blank.size(), stream);
    header.data_offset = kTagHeaderSize;
    const bool saved = SaveCollection(c, stream, &header);
    std::fseek(stream, 0, SEEK_END);
    header.data_length = u32(std::ftell(stream) - kTagHeaderSize);
    std::fseek(stream, 0, SEEK_SET);
    WriteTagHeaders(&header, stream, 1);
    std::fclose(stream);
    return saved ? path : "";
}

void Frame() {
    RenderFrame();
    OsSwapBuffers();
}

struct ScrollFigures {
    double open = 0;
    double frame = 0;
    double floor = 0;  // the same frames' GL work sent alone
    size_t calls = 0;  // draw calls of one pass down and up
};

// Opens the tag in the editor and scrolls its grid down 12 rows and back,
// a frame a row.
ScrollFigures MeasureScrolling(const std::string& local, int count, InterfaceFont* font, CountingTarget* counter) {
    Collection c;
    FillCollection(&c, count);
    const std::string name = "Scroll " + std::to_string(count);
    const u32 id = MakeFourCC("scr0") + u32(std::to_string(count).size());
    WriteTag(&c, local, name, id);
    FreeCollection(&c);
    PollLocalFolder(true);
    RestartWindowSystem(font, kWidth, kHeight);
    ScrollFigures f;
    const double start = OsGetTime();
    auto* editor = dynamic_cast<X256Edit*>(OpenTagEditor(FindTag(kGroup, id)));
    f.open = OsGetTime() - start;
    if (!editor) return f;
    SetFrame(editor, MakeRect(0, 0, 900, 700));
    GridWindow* grid = editor->GetBitmapBrowser()->GetGrid();
    const i32 row = grid->GetLayout().CellHeight();
    Frame();
    for (int pass = 0; pass < 2; ++pass)  // the first pass converts the tiles
        for (i32 r = 0; r <= 24; ++r) {
            grid->SetScrollY((r <= 12 ? r : 24 - r) * row);
            Frame();
        }
    glFinish();
    counter->Reset();
    for (i32 r = 0; r <= 24; ++r) {
        grid->SetScrollY((r <= 12 ? r : 24 - r) * row);
        Frame();
    }
    f.calls = counter->Total();
    f.frame = BestTime(
        [&] {
            for (i32 r = 0; r <= 24; ++r) {
                grid->SetScrollY((r <= 12 ? r : 24 - r) * row);
                Frame();
            }
            glFinish();
        },
        5, 0.5) / 25;
    std::vector<FrameRecording> recorded(25);
    for (i32 r = 0; r <= 24; ++r) {
        grid->SetScrollY((r <= 12 ? r : 24 - r) * row);
        recorded[size_t(r)].Start();
        Frame();
        recorded[size_t(r)].Stop();
    }
    f.floor = BestTime(
        [&] {
            for (const FrameRecording& frame : recorded) {
                frame.Replay();
                OsSwapBuffers();
            }
            glFinish();
        },
        5, 0.5) / 25;
    editor->SetModified(false);
    DestroyWindow(editor);
    StepFrame();
    ForgetCollectionBitmaps();
    return f;
}

}  // namespace

int main() {
    GlBenchWindow screen;
    if (!screen.Open("bench_collection_editor", kWidth, kHeight, PIRN_RUN_RES_DIR)) return 1;
    CountingTarget counter(GetDrawTarget());
    SetDrawTarget(&counter);
    ScopedLogCapture quiet;

    char folder[] = "/tmp/pirn-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string local = std::string(folder) + "/local/";
    MakeDirectory(local);
    UnloadCodex();
    SetLocalFolder(local);
    BindX256Edit();
    RegisterTagEditors();

    // ---- opening ----
    Collection thousand;
    FillCollection(&thousand, 1000);
    const std::string path = WriteTag(&thousand, local, "Thousand", MakeFourCC("bnch"));
    PollLocalFolder(true);
    TagEntry* tag = FindTag(kGroup, MakeFourCC("bnch"));
    TagHeader header{};
    GetTagHeader(tag, &header);
    constexpr int kOpenings = 30;
    Collection loaded;
    std::FILE* stream = nullptr;
    const double load = Fastest(
        kOpenings,
        [&] {
            InitCollection(&loaded);
            stream = std::fopen(path.c_str(), "rb");
        },
        [&] { LoadCollection(&loaded, stream, &header, true); },
        [&] {
            std::fclose(stream);
            FreeCollection(&loaded);
        });
    RestartWindowSystem(screen.font.get(), kWidth, kHeight);
    X256Edit* editor = nullptr;
    const double open = Fastest(
        kOpenings, [] {}, [&] { editor = dynamic_cast<X256Edit*>(OpenTagEditor(tag)); },
        [&] {
            if (!editor) return;
            editor->SetModified(false);
            DestroyWindow(editor);
            StepFrame();  // deletes it
        });
    // The floor: the tag's bytes read, and the decoded pixels' bytes written.
    size_t pixel_bytes = 0;
    for (const auto& bitmap : thousand.bitmaps) pixel_bytes += bitmap->pixels.size();
    std::vector<u8> file_bytes, pixels_from(pixel_bytes, 1), pixels_to(pixel_bytes);
    const double floor = Fastest(
        kOpenings, [] {},
        [&] {
            ReadFileBytes(path, file_bytes, false);
            std::memcpy(pixels_to.data(), pixels_from.data(), pixel_bytes);
        },
        [] {});
    std::printf("1,000 bitmaps of 64 x 64 (milliseconds)\n");
    std::printf("%-44s %9.3f ms\n", "floor: read the tag, write the pixels", floor * 1e3);
    std::printf("%-44s %9.3f ms  %6.2fx floor\n", "loading the collection alone", load * 1e3, load / floor);
    std::printf("%-44s %9.3f ms  %6.2fx floor\n", "opening it in the editor", open * 1e3, open / floor);

    // ---- scrolling ----
    std::printf("\nthe bitmap grid scrolled a row a frame (milliseconds a frame)\n");
    ScrollFigures base;
    for (int count : {200, 1000, 10000}) {
        UnloadCodex();
        SetLocalFolder(local);
        const ScrollFigures f = MeasureScrolling(local, count, screen.font.get(), &counter);
        if (count == 200) base = f;
        std::printf("%6d bitmaps: frame %8.3f ms, its GL work alone %8.3f ms: %6.2fx; draw calls %zu (%.2fx of 200)  "
                    "(opening %.1f ms)\n",
                    count, f.frame * 1e3, f.floor * 1e3, f.frame / f.floor, f.calls,
                    double(f.calls) / double(std::max<size_t>(base.calls, 1)), f.open * 1e3);
        std::remove((local + "Collections/Scroll " + std::to_string(count)).c_str());
    }

    // ---- optimiser ----
    std::printf("\noptimiser on the 1,000 bitmaps (milliseconds)\n");
    const Collection& c = thousand;
    size_t sink = 0;
    const double floors[kOptimizationCount] = {
        // Every bitmap a view or a shadow shows looked at once, then every
        // bitmap once.
        BestTime([&] {
            for (const auto& sequence : c.sequences)
                for (const auto& frame : sequence->frames) {
                    if (frame.shadow) sink += frame.shadow->width;
                    for (const auto& instance : frame.instances)
                        if (instance.standard.bitmap) sink += instance.standard.bitmap->height;
                }
            for (const auto& bitmap : c.bitmaps) sink += bitmap->flags;
        }),
        // The bitmaps sorted by size and pixels.
        BestTime([&] {
            std::vector<const CollectionBitmap*> order;
            for (const auto& bitmap : c.bitmaps) order.push_back(bitmap.get());
            std::sort(order.begin(), order.end(), [](const CollectionBitmap* a, const CollectionBitmap* b) {
                if (a->width != b->width || a->height != b->height)
                    return a->width != b->width ? a->width < b->width : a->height < b->height;
                return std::memcmp(a->pixels.data(), b->pixels.data(), a->pixels.size()) < 0;
            });
            for (size_t i = 1; i < order.size(); ++i) sink += order[i]->pixels == order[i - 1]->pixels;
        }),
        // Every pixel's alpha looked at once for the opaque boxes.
        BestTime([&] {
            for (const auto& bitmap : c.bitmaps) {
                u32 left = bitmap->width, right = 0, top = bitmap->height, bottom = 0;
                const u8* p = bitmap->pixels.data();
                for (u32 y = 0; y < bitmap->height; ++y)
                    for (u32 x = 0; x < bitmap->width; ++x, p += bitmap->bytes_per_pixel)
                        if (*p) {
                            left = std::min(left, x), right = std::max(right, x);
                            top = std::min(top, y), bottom = std::max(bottom, y);
                        }
                sink += left + right + top + bottom;
            }
        }),
        // A name formatted for every view.
        BestTime([&] {
            std::vector<std::string> names;
            for (const auto& sequence : c.sequences)
                for (size_t v = 0; v < sequence->frames[0].instances.size(); ++v)
                    names.push_back(FormatString("%s %.2d", sequence->name, int(v)));
            sink += names.size();
        }),
        // The sizes summed, plain and padded to powers of two.
        BestTime([&] {
            u64 plain = 0, padded = 0;
            for (const auto& bitmap : c.bitmaps) {
                u64 w = 1, h = 1;
                while (w < bitmap->width) w <<= 1;
                while (h < bitmap->height) h <<= 1;
                plain += u64{bitmap->width} * bitmap->height;
                padded += w * h;
            }
            sink += size_t(plain + padded);
        }),
    };
    const char* names[kOptimizationCount] = {"Delete Unused Bitmaps", "Merge Identical Bitmaps", "Crop All Bitmaps",
                                             "Auto Rename Bitmaps", "Get Runtime Size"};
    const char* floor_names[kOptimizationCount] = {"looking at the shown bitmaps", "sorting the bitmaps by pixels",
                                                   "one pass over every pixel", "formatting the names",
                                                   "summing the sizes"};
    for (u32 id = 0; id < kOptimizationCount; ++id) {
        double total = 0;
        const int runs = 5;
        for (int run = 0; run < runs; ++run) {
            Collection copy;
            FillCollection(&copy, 1000);
            OptimiserReport report;
            const double start = OsGetTime();
            kCollectionOptimizations[id](&copy, &report);
            total += OsGetTime() - start;
            FreeCollection(&copy);
        }
        const double each = total / runs;
        std::printf("%-26s %9.3f ms; floor, %-30s %8.3f ms: %8.2fx\n", names[id], each * 1e3, floor_names[id],
                    floors[id] * 1e3, each / floors[id]);
    }
    if (sink == 1) std::printf(" ");

    ResetWindowSystem();
    UnloadCodex();
    FreeCollection(&thousand);
    SetDrawTarget(nullptr);
    ReleaseGlDrawTargetTextures();
    std::filesystem::remove_all(folder);
    return 0;
}
