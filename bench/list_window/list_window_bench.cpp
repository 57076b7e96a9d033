// ListWindow with 100,000 rows against plain references in the same run:
//   insert      AddItem per row       vs  a std::list node per row
//   sort        ListWindow::Sort      vs  std::stable_sort of the same records
//   delete      DeleteItem per row    vs  std::list erase per node
//   jump        End key (select the last row and scroll to it) vs a walk of
//               100,000 list nodes
//   type-ahead  a prefix only the last row has  vs  formatting and comparing
//               every cell with snprintf/strncasecmp
//   draw        one frame at 1,000 and at 100,000 rows (quads and time)

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <list>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_headless_windows.h"
#include "bench/bench_timing.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_window.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/interface_font.h"
#include "ui/list_window.h"
#include "ui/texture_pack.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

using namespace pirn;
using namespace bench_timing;
using namespace bench_windows;

namespace {

constexpr int kRows = 100000;

struct Row {
    char name[16];
    u32 group;
    u32 id;
};

// Name, then group, then id descending: the list's keys in the sort run.
bool RowBefore(const Row* a, const Row* b) {
    const int r = std::strncmp(a->name, b->name, sizeof a->name);
    if (r) return r < 0;
    if (a->group != b->group) return a->group < b->group;
    return a->id > b->id;
}

ListWindow* MakeList(Window* owner) {
    auto* list = new ListWindow(ListWindow::kColumnMode | ListWindow::kHeaderRow | ListWindow::kMultipleSelection,
                                Window::kVisible, owner);
    list->AddColumn("Name", "%s", kColumnCharArray, 16, 140, 0, 0);
    list->AddColumn("Group", "%s", kColumnFourCC, 4, 60, 0, 0);
    list->AddColumn("Id", "%u", kColumnInteger, 4, 80, 0, 0);
    SetFrame(list, Rect{0, 0, 400, 600});
    return list;
}

}  // namespace

int main() {
    InitHeadlessWindowSystem();

    std::mt19937 rng(1234);
    const u32 groups[] = {0x2E323536, 0x6D657368, 0x646D6170, 0x64746578, 0x736F756E, 0x74657874};
    std::vector<Row> rows(kRows);
    for (int i = 0; i < kRows; ++i) {
        Row& r = rows[size_t(i)];
        r.group = groups[rng() % 6];
        std::snprintf(r.name, sizeof r.name, "tag%05u", static_cast<unsigned>(rng() % 20000));
        r.id = rng();
    }
    // Only the last record's name starts with "zz".
    std::snprintf(rows.back().name, sizeof rows.back().name, "zzlast");

    auto* owner = new Window(Window::kVisible, nullptr);
    SetFrame(owner, Rect{0, 0, 1280, 1024});

    // ---- insert ----
    const double insert = Best(3, [&] {
        ListWindow* list = MakeList(owner);
        const auto t0 = Clock::now();
        for (Row& r : rows) list->AddItem(nullptr, 0, 0, &r, nullptr);
        list->UpdateScrollRange();
        const double s = Since(t0);
        DestroyWindow(list);
        ProcessDeferredDeletes();
        return s;
    });
    const double insertRef = Best(3, [&] {
        const auto t0 = Clock::now();
        std::list<Row*> nodes;
        for (Row& r : rows) nodes.push_back(&r);
        return Since(t0);
    });
    std::printf("insert 100,000 rows:    %8.2f ms  reference std::list %7.2f ms  ratio %.2f\n", insert * 1e3,
                insertRef * 1e3, insert / insertRef);

    // ---- sort ----
    // Each run sorts a list filled in the records' random order.
    const double sort = Best(3, [&] {
        ListWindow* l = MakeList(owner);
        for (Row& r : rows) l->AddItem(nullptr, 0, 0, &r, nullptr);
        l->UpdateScrollRange();
        l->SetColumn(2, "Id", 80, ListColumn::kDescending);
        const auto t0 = Clock::now();
        l->Sort();
        const double s = Since(t0);
        const Row* prev = nullptr;
        for (ListItem* it = l->GetFirstItem(); it; it = it->next) {
            const Row* r = static_cast<const Row*>(it->userData);
            if (prev && RowBefore(r, prev)) {
                std::puts("LIST NOT SORTED");
                break;
            }
            prev = r;
        }
        DestroyWindow(l);
        ProcessDeferredDeletes();
        return s;
    });
    const double sortRef = Best(3, [&] {
        std::vector<const Row*> v;
        v.reserve(rows.size());
        for (const Row& r : rows) v.push_back(&r);
        const auto t0 = Clock::now();
        std::stable_sort(v.begin(), v.end(), RowBefore);
        return Since(t0);
    });
    std::printf("sort 100,000 rows:      %8.2f ms  reference stable_sort %5.2f ms  ratio %.2f (goal <= 3)\n",
                sort * 1e3, sortRef * 1e3, sort / sortRef);

    ListWindow* list = MakeList(owner);
    for (Row& r : rows) list->AddItem(nullptr, 0, 0, &r, nullptr);
    list->UpdateScrollRange();
    list->Sort();

    // ---- jump to the end ----
    list->SelectItem(list->GetFirstItem(), false);
    ActivateWindow(list, 0);
    const double jump = Best(3, [&] {
        list->SelectItem(list->GetFirstItem(), false);
        list->SetScrollY(0);
        InputEvent e = InputEvent::Key(kKeyEnd, 1);
        const auto t0 = Clock::now();
        list->OnKey(e);
        list->GetTopRow();
        return Since(t0);
    });
    if (list->GetCurrentItem() != list->LastRow()) std::puts("END DID NOT REACH THE LAST ROW");
    std::list<const Row*> chain;
    for (const Row& r : rows) chain.push_back(&r);
    const double walkRef = Best(3, [&] {
        const auto t0 = Clock::now();
        size_t n = 0;
        for (const Row* r : chain) n += r->id & 1;
        volatile size_t sink = n;
        (void)sink;
        return Since(t0);
    });
    std::printf("jump to the end:        %8.1f us  reference walk of 1e5 nodes %5.1f us  ratio %.3f\n", jump * 1e6,
                walkRef * 1e6, jump / walkRef);

    // ---- type-ahead ----
    const double typeAhead = Best(3, [&] {
        list->SelectItem(list->GetFirstItem(), false);
        const auto t0 = Clock::now();
        list->TypeAhead("zzl");
        return Since(t0);
    });
    if (list->GetCurrentItem() == nullptr ||
        std::strcmp(static_cast<Row*>(list->GetCurrentItem()->userData)->name, "zzlast") != 0)
        std::puts("TYPE-AHEAD MISSED");
    const double typeRef = Best(3, [&] {
        const auto t0 = Clock::now();
        size_t hits = 0;
        char cell[512];
        for (const Row& r : rows) {
            std::snprintf(cell, sizeof cell, "%s", r.name);
            hits += strncasecmp(cell, "zzl", 3) == 0;
        }
        volatile size_t sink = hits;
        (void)sink;
        return Since(t0);
    });
    std::printf("type-ahead over 1e5:    %8.2f ms  reference snprintf+compare %5.2f ms  ratio %.2f\n",
                typeAhead * 1e3, typeRef * 1e3, typeAhead / typeRef);

    // ---- drawing: 1,000 rows against 100,000 ----
    QuadCounter target;
    SetDrawTarget(&target);
    SetWindowTextDrawer(CountGlyphs);
    auto frame = [&](ListWindow* l, i32 scroll, size_t* quads, size_t* glyphs) {
        l->SetScrollY(scroll);
        const double t = Best(20, [&] {
            target.quads = 0;
            g_glyphs = 0;
            InvalidateAll();
            const auto t0 = Clock::now();
            RenderFrame();
            return Since(t0);
        });
        *quads = target.quads;
        *glyphs = g_glyphs;
        return t;
    };
    list->SelectAll();
    size_t quadsBig = 0, glyphsBig = 0, quadsSmall = 0, glyphsSmall = 0;
    const double drawBig = frame(list, kRows / 2, &quadsBig, &glyphsBig);
    const double drawBigEnd = frame(list, kRows, &quadsBig, &glyphsBig);
    DestroyWindow(list);
    ProcessDeferredDeletes();
    ListWindow* small = MakeList(owner);
    for (int i = 0; i < 1000; ++i) small->AddItem(nullptr, 0, 0, &rows[size_t(i)], nullptr);
    small->UpdateScrollRange();
    small->SelectAll();
    const double drawSmall = frame(small, 500, &quadsSmall, &glyphsSmall);
    std::printf("draw a frame: 1,000 rows %.1f us (%zu quads, %zu glyphs); 100,000 rows %.1f us mid, %.1f us end "
                "(%zu quads, %zu glyphs); ratio %.2f\n",
                drawSmall * 1e6, quadsSmall, glyphsSmall, drawBig * 1e6, drawBigEnd * 1e6, quadsBig, glyphsBig,
                drawBig / drawSmall);
    SetDrawTarget(nullptr);
    SetWindowTextDrawer(nullptr);

    // ---- delete ----
    const double del = Best(3, [&] {
        ListWindow* l = MakeList(owner);
        for (Row& r : rows) l->AddItem(nullptr, 0, 0, &r, nullptr);
        l->UpdateScrollRange();
        l->SelectAll();
        const auto t0 = Clock::now();
        while (ListItem* first = l->GetFirstItem()) l->DeleteItemNoUpdate(first);
        l->UpdateScrollRange();
        const double s = Since(t0);
        DestroyWindow(l);
        ProcessDeferredDeletes();
        return s;
    });
    const double delRef = Best(3, [&] {
        std::list<Row*> nodes;
        for (Row& r : rows) nodes.push_back(&r);
        const auto t0 = Clock::now();
        while (!nodes.empty()) nodes.pop_front();
        return Since(t0);
    });
    std::printf("delete 100,000 rows:    %8.2f ms  reference std::list %7.2f ms  ratio %.2f (all selected)\n",
                del * 1e3, delRef * 1e3, del / delRef);
    ResetWindowSystem();
    return 0;
}
