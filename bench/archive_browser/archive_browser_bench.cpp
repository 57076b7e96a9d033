// Archive Browser benchmark on the Codex benchmark's synthetic game folder
// (100,000 archive entries in 40 archives, 5,000 local files; about 97,500
// tags available). Three groups in four have an editor, as in the program,
// so hidden groups matter. Measured against the Codex's own ListAllTags and
// SortTagList of the same tags, in the same run:
//   open     the browser made on "combined" (lists, working set, tree)
//   switch   ten add-ons deactivated, then activated again, each time
//            with "combined" chosen again
//   toggle   Toggle Hidden Groups on, then off
//   frame    one frame of the tree with every group open, 100,000 rows
//            against one archive's 2,500

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

    // The reference: the Codex lists and sorts the same tags.
    size_t available = 0;
    const double reference = Best(kRuns, [&] {
        const auto t0 = Clock::now();
        TagList all;
        ListAllTags(all);
        SortTagList(all);
        const double s = Since(t0);
        available = all.size();
        return s;
    });

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

    // One frame of the tree, every group open, scrolled half-way.
    QuadCounter target;
    SetDrawTarget(&target);
    SetWindowTextDrawer(CountGlyphs);
    auto frame = [&](size_t* shownRows, size_t* quads, size_t* glyphs) {
        ListWindow* tree = browser->GetTagTree();
        for (ListItem* group = tree->GetFirstItem(); group; group = group->next) tree->OpenItem(group);
        tree->UpdateScrollRange();
        tree->SetScrollY(tree->GetRowCount() / 2);
        *shownRows = CountRows(tree);
        return Best(20, [&] {
            target.quads = 0;
            g_glyphs = 0;
            InvalidateAll();
            const auto t0 = Clock::now();
            RenderFrame();
            const double s = Since(t0);
            *quads = target.quads;
            *glyphs = g_glyphs;
            return s;
        });
    };
    size_t bigRows = 0, bigQuads = 0, bigGlyphs = 0, smallRows = 0, smallQuads = 0, smallGlyphs = 0;
    const double frameBig = frame(&bigRows, &bigQuads, &bigGlyphs);
    SelectArchives(browser->GetActiveList(), {"archive5"});
    const double frameSmall = frame(&smallRows, &smallQuads, &smallGlyphs);
    SetDrawTarget(nullptr);
    SetWindowTextDrawer(nullptr);
    Close(browser);

    std::printf("tags available: %zu; rows with hidden groups off: %zu, on: %zu\n", available, rows, allRows);
    std::printf("%-46s %9.2f ms\n", "reference: ListAllTags + SortTagList", reference * 1e3);
    auto line = [&](const char* what, double s) {
        std::printf("%-46s %9.2f ms  ratio %.2f (goal <= 3)\n", what, s * 1e3, s / reference);
    };
    line("open the browser on \"combined\"", open);
    line("deactivate ten add-ons, \"combined\" again", deactivate);
    line("activate them again, \"combined\" again", activate);
    line("Toggle Hidden Groups: on", toggleOn);
    line("Toggle Hidden Groups: off", toggleOff);
    std::printf("one frame of the tree: %zu rows %.1f us (%zu quads, %zu glyphs); %zu rows %.1f us (%zu quads, "
                "%zu glyphs); ratio %.2f (goal ~1)\n",
                smallRows, frameSmall * 1e6, smallQuads, smallGlyphs, bigRows, frameBig * 1e6, bigQuads, bigGlyphs,
                frameBig / frameSmall);

    SetArchiveBrowserListener(false);
    ResetWindowSystem();
    UnloadCodex();
    std::filesystem::remove_all(folder.game);
    return 0;
}
