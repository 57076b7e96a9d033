// Archive Browser benchmark on the Codex benchmark's synthetic game folder
// (100,000 archive entries in 40 archives, 5,000 local files; about 97,500
// tags available). Three groups in four have an editor, as in the program,
// so hidden groups matter. Measured in the same run against the floor of
// the same work: the rows the tree shows (group label and tag name, copied
// from names already in memory) built and sorted with std::sort:
//   open     the browser made on "combined" (lists, working set, tree)
//   switch   ten add-ons deactivated, then activated again, each time
//            with "combined" chosen again
//   toggle   Toggle Hidden Groups on (against the rows of every group),
//            then off
//   frame    one frame of the tree with every group open, scrolled
//            half-way, against sending the same texts and quads to the
//            same counting target with no window in between; at 100,000
//            rows and at one archive's 2,500 (a frame should cost the same)

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ui/archive_browser.h"
#include "bench/bench_headless_windows.h"
#include "bench/bench_timing.h"
#include "bench/codex/bench_game_folder.h"
#include "codex/codex.h"
#include "codex/tag_group.h"
#include "platform/log_message.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/os_window.h"
#include "ui/draw_target.h"
#include "ui/frame_step.h"
#include "ui/interface_font.h"
#include "ui/window_renderer.h"
#include "ui/texture_pack.h"
#include "ui/window_system.h"

using namespace pirn;
using namespace bench_timing;
using namespace bench_windows;

namespace {

constexpr int kRuns = 5;

TagEdit* NoEditor(TagEntry*, TagGroupInfo*, u32) { return nullptr; }

void Close(ArchiveBrowser* browser) {
    DestroyWindow(browser);
    ProcessDeferredDeletes();
}

// Selects the archives in a list (not timed).
void SelectArchives(ListWindow* list, const std::vector<std::string>& names) {
    bool first = true;
    for (ListItem* item = list->FirstRow(); item; item = list->NextRow(item))
        if (std::find(names.begin(), names.end(), item->text) != names.end()) {
            list->SelectItem(item, !first);
            first = false;
        }
}

void SelectPseudo(ArchiveBrowser* browser, intptr_t which) {
    browser->GetActiveList()->SelectItem(browser->FindPseudoItem(which), false);
}

size_t CountRows(ListWindow* tree) {
    size_t n = 0;
    for (ListItem* group = tree->GetFirstItem(); group; group = group->next) n += group->childCount;
    return n;
}

// A row of the tree as plainly as it can be held.
struct PlainRow {
    const char* group;
    std::string name;
};

// The floor of listing: the rows of the tags built from names already in
// memory and sorted by group label, then name.
double RowsFloor(const std::vector<std::pair<const char*, std::string>>& tags, size_t* rows) {
    return Best(kRuns, [&] {
        const auto t0 = Clock::now();
        std::vector<PlainRow> built;
        built.reserve(tags.size());
        for (const auto& tag : tags) built.push_back(PlainRow{tag.first, tag.second});
        std::sort(built.begin(), built.end(), [](const PlainRow& a, const PlainRow& b) {
            const int by_group = std::strcmp(a.group, b.group);
            return by_group != 0 ? by_group < 0 : a.name < b.name;
        });
        *rows = built.size();
        return Since(t0);
    });
}

// What one frame sent: the texts drawn and the quads filled.
std::vector<std::string> g_texts;
i32 RecordText(InterfaceFont*, const char* text, int, u32, const Rect&) {
    g_texts.emplace_back(text);
    return 0;
}

}  // namespace

int main() {
    SetLogHandler([](i32, const std::string&, const std::string&) {});
    InitHeadlessWindowSystem();

    std::printf("Building the synthetic game folder...\n");
    const bench::Folder folder = bench::MakeGameFolder();
    for (const std::string& path : folder.archives) AddArchive(path);
    SetLocalFolder(folder.game + "local");
    SetDefaultWorkingSet();
    for (u32 i = 0; i < kTagGroupCount; ++i)
        if (i % 4 != 0) SetTagGroupEditor(TagGroupTable[i].code, NoEditor);
    SetArchiveBrowserListener(true);

    // The floors: the same tags' group labels and names, taken from the
    // Codex before timing, made into rows and sorted.
    std::vector<std::pair<const char*, std::string>> shown_tags, every_tag;
    {
        TagList all;
        ListAllTags(all);
        for (TagEntry* tag : all) {
            TagHeader header;
            GetTagHeader(tag, &header);
            const TagGroupInfo* group = FindTagGroup(tag->group);
            const char* label = group ? group->plural_label : "";
            every_tag.emplace_back(label, header.name);
            if (group && size_t(group - TagGroupTable) % 4 != 0) shown_tags.emplace_back(label, header.name);
        }
    }
    const size_t available = every_tag.size();
    size_t floor_rows = 0, floor_all_rows = 0;
    const double reference = RowsFloor(shown_tags, &floor_rows);
    const double reference_all = RowsFloor(every_tag, &floor_all_rows);

    size_t rows = 0;
    const double open = Best(kRuns, [&] {
        const auto t0 = Clock::now();
        auto* browser = new ArchiveBrowser();
        const double s = Since(t0);
        rows = browser->GetModel().TagRowCount();
        Close(browser);
        return s;
    });

    auto* browser = new ArchiveBrowser();
    std::vector<std::string> addons;
    for (int a = 30; a < bench::kArchiveCount; ++a) addons.push_back("archive" + std::to_string(a));
    double deactivate = 1e30, activate = 1e30;
    // Each switch ends with "combined" chosen again, so that the tree lists
    // every tag of the new working set.
    for (int run = 0; run < kRuns; ++run) {
        SelectArchives(browser->GetActiveList(), addons);
        auto t0 = Clock::now();
        browser->RunArchiveCommand(ArchiveBrowser::kDeactivateSelection, browser->GetActiveList());
        SelectPseudo(browser, ArchiveBrowser::kCombinedItem);
        deactivate = std::min(deactivate, Since(t0));
        SelectArchives(browser->GetInactiveList(), addons);
        t0 = Clock::now();
        browser->RunArchiveCommand(ArchiveBrowser::kActivateSelection, browser->GetInactiveList());
        SelectPseudo(browser, ArchiveBrowser::kCombinedItem);
        activate = std::min(activate, Since(t0));
    }

    double toggleOn = 1e30, toggleOff = 1e30;
    size_t allRows = 0;
    for (int run = 0; run < kRuns; ++run) {
        auto t0 = Clock::now();
        browser->RunTagCommand(ArchiveBrowser::kToggleHiddenGroups);
        toggleOn = std::min(toggleOn, Since(t0));
        allRows = browser->GetModel().TagRowCount();
        t0 = Clock::now();
        browser->RunTagCommand(ArchiveBrowser::kToggleHiddenGroups);
        toggleOff = std::min(toggleOff, Since(t0));
    }

    // One frame of the tree, every group open, scrolled half-way; and its
    // floor: the texts it drew and the quads it filled sent again to the
    // same counting drawer and target, with no window in between.
    QuadCounter target;
    SetDrawTarget(&target);
    struct FrameFigures {
        double frame = 0, floor = 0;
        size_t rows = 0, quads = 0, glyphs = 0;
    };
    auto frame = [&]() {
        FrameFigures f;
        ListWindow* tree = browser->GetTagTree();
        for (ListItem* group = tree->GetFirstItem(); group; group = group->next) tree->OpenItem(group);
        tree->UpdateScrollRange();
        tree->SetScrollY(tree->GetRowCount() / 2);
        f.rows = CountRows(tree);
        SetWindowTextDrawer(CountGlyphs);
        f.frame = Best(20, [&] {
            target.quads = 0;
            g_glyphs = 0;
            InvalidateAll();
            const auto t0 = Clock::now();
            RenderFrame();
            const double s = Since(t0);
            f.quads = target.quads;
            f.glyphs = g_glyphs;
            return s;
        });
        g_texts.clear();
        SetWindowTextDrawer(RecordText);
        InvalidateAll();
        RenderFrame();
        SetWindowTextDrawer(CountGlyphs);
        const std::vector<std::string> texts = g_texts;
        const Rect cell = MakeRect(0, 0, 100, 12);
        f.floor = Best(20, [&] {
            target.quads = 0;
            g_glyphs = 0;
            const auto t0 = Clock::now();
            for (const std::string& text : texts) CountGlyphs(nullptr, text.c_str(), 0, 0, cell);
            for (size_t q = 0; q < f.quads; ++q) target.FillRect(cell);
            return Since(t0);
        });
        return f;
    };
    const FrameFigures big = frame();
    SelectArchives(browser->GetActiveList(), {"archive5"});
    const FrameFigures small = frame();
    SetDrawTarget(nullptr);
    SetWindowTextDrawer(nullptr);
    Close(browser);

    std::printf("tags available: %zu; rows with hidden groups off: %zu (floor's %zu), on: %zu (floor's %zu)\n",
                available, rows, floor_rows, allRows, floor_all_rows);
    std::printf("%-46s %9.2f ms\n", "floor: the shown rows built and std::sort-ed", reference * 1e3);
    std::printf("%-46s %9.2f ms\n", "floor: every group's rows built and sorted", reference_all * 1e3);
    auto line = [&](const char* what, double s, double floor) {
        std::printf("%-46s %9.2f ms  ratio %.2f\n", what, s * 1e3, s / floor);
    };
    line("open the browser on \"combined\"", open, reference);
    line("deactivate ten add-ons, \"combined\" again", deactivate, reference);
    line("activate them again, \"combined\" again", activate, reference);
    line("Toggle Hidden Groups: on", toggleOn, reference_all);
    line("Toggle Hidden Groups: off", toggleOff, reference);
    for (const FrameFigures* f : {&small, &big})
        std::printf("one frame of the tree, %zu rows: %.1f us (%zu quads, %zu glyphs); the same texts and quads "
                    "sent alone %.1f us: ratio %.2f\n",
                    f->rows, f->frame * 1e6, f->quads, f->glyphs, f->floor * 1e6, f->frame / f->floor);

    SetArchiveBrowserListener(false);
    ResetWindowSystem();
    UnloadCodex();
    std::filesystem::remove_all(folder.game);
    return 0;
}
