// Opening a struct editor whose form has 50 tag items, each listing a group
// of 5,000 tags, against the floor of that work in the same run: the
// group's 5,000 names (already in memory) copied into a list and sorted
// with std::sort, as every tag item's choices need them once. Also:
// filling one of its tag lists the first time it is opened, against copying
// the 5,000 sorted names into rows. Times are the best of several runs.

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_headless_editors.h"
#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "editors/ui/struct_item_widgets.h"
#include "editors/ui/struct_tag_edit.h"
#include "editors/xml_definitions.h"
#include "editors/xml_editor_registration.h"

using namespace bench_editors;

namespace {

constexpr int kTags = 5000;
constexpr int kItems = 50;
constexpr int kRuns = 7;
constexpr u32 kSound = MakeFourCC("soun");
constexpr u32 kWind = MakeFourCC("wind");

std::string Definitions() {
    std::string x = "<pirnxmlfile><struct name=\"wind\">";
    for (int i = 0; i < kItems; ++i) x += "<tag name=\"s" + std::to_string(i) + "\" group=\"soun\"/>";
    x += "</struct><structedit struct=\"wind\" caption=\"Sounds\" layout=\"table\">";
    for (int i = 0; i < kItems; ++i)
        x += "<row><label text=\"Sound " + std::to_string(i) + ":\"/><item target=\"s" + std::to_string(i) + "\"/></row>";
    return x + "</structedit></pirnxmlfile>";
}

}  // namespace

int main() {
    StartHeadlessWindows();
    const std::string local = MakeScratchGame("pirn_struct_editors_bench");
    const std::string res = local + "../res";
    std::filesystem::create_directories(res);
    WriteFileSafely(res + "/sounds.xml", Definitions());
    LoadXmlDefinitions(res);
    RegisterXmlEditors(NewTagStructEdit);
    RegisterTagEditors();

    std::printf("Writing %d sound tags...\n", kTags);
    std::mt19937 random(7);
    const char* words[] = {"Howl", "Crack", "Rumble", "Gust", "Patter", "Roar", "Hiss", "Clang"};
    std::vector<u32> ids;
    for (int i = 0; i < kTags; ++i) {
        const std::string name = std::string(words[random() % 8]) + " " + std::to_string(random() % 100000) + " " +
                                 std::to_string(i);
        const u32 id = 0x53000000u + static_cast<u32>(i);
        WriteLocalTag(local, kSound, id, name, {0});
        ids.push_back(id);
    }
    std::vector<u8> record;
    for (int i = 0; i < kItems; ++i)
        for (int s = 24; s >= 0; s -= 8) record.push_back(static_cast<u8>(ids[size_t(i) * 97 % kTags] >> s));
    WriteLocalTag(local, kWind, MakeFourCC("w001"), "Many Sounds", record);
    SetLocalFolder(local);
    PollLocalFolder(true);
    TagEntry* wind = FindTag(kWind, MakeFourCC("w001"));
    if (!wind) {
        std::puts("the struct tag was not found");
        return 1;
    }

    // The group's names as the catalogue holds them, taken before timing.
    std::vector<std::string> catalogue_names;
    {
        TagList tags;
        ListGroupTags(kSound, tags);
        for (TagEntry* tag : tags) {
            TagHeader header;
            GetTagHeader(tag, &header);
            catalogue_names.emplace_back(header.name);
        }
    }
    size_t names = 0;
    std::vector<std::string> sorted_names;
    const double reference = Best(kRuns, [&] {
        const auto t0 = Clock::now();
        std::vector<std::string> sorted(catalogue_names);
        std::sort(sorted.begin(), sorted.end());
        const double s = Since(t0);
        names = sorted.size();
        sorted_names = std::move(sorted);
        return s;
    });
    const double rows_floor = Best(kRuns, [&] {
        const auto t0 = Clock::now();
        std::vector<std::string> rows(sorted_names);
        const double s = Since(t0);
        names = std::min(names, rows.size());
        return s;
    });

    size_t items = 0;
    double fill = 1e30;
    const double open = Best(kRuns, [&] {
        const auto t0 = Clock::now();
        auto* editor = dynamic_cast<TagStructEdit*>(OpenTagEditor(wind));
        const double s = Since(t0);
        if (!editor) return 1e30;
        items = editor->GetStructEditor()->GetListeners().size();
        auto* box = dynamic_cast<StructTagComboBox*>(editor->GetStructEditor()->GetListeners()[0]->widget());
        const auto f0 = Clock::now();
        box->FillChoices();
        fill = std::min(fill, Since(f0));
        editor->Close(0);
        ProcessDeferredDeletes();
        return s;
    });

    std::printf("floor: %zu names copied and std::sort-ed %.2f ms; the sorted names copied into rows %.2f ms\n",
                names, reference * 1e3, rows_floor * 1e3);
    std::printf("opening the editor (%zu tag items): %.2f ms, ratio %.2f to copying and sorting\n", items,
                open * 1e3, open / reference);
    std::printf("filling one tag list when first opened: %.2f ms, ratio %.2f to copying into rows\n", fill * 1e3,
                fill / rows_floor);
    std::filesystem::remove_all(local + "..");
    return 0;
}
