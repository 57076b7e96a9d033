// The demo game shows every rule of the Archive Browser: colour-map
// collections and old meshes dimmed, newer meshes and other collections
// bright, local copies in orange, a plugin whose name needs escaping and
// the character map.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/archive_browser_model.h"
#include "app/archive_browser_rules.h"
#include "app/game_archives.h"
#include "codex/codex.h"
#include "codex/tag_group.h"
#include "platform/char_map.h"
#include "platform/log_capture.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

namespace pirn_test {
namespace {

using namespace pirn;

TEST(DemoBrowser, EveryRuleOfTheBrowserShowsInTheDemoGame) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), dir.file("Zarnhold"), &error)) << error;
    ScopedLogCapture quiet;
    UnloadCodex();
    ClearTagGroupEditors();
    ASSERT_GE(AddGameArchivesFrom(dir.file("Zarnhold")), 6u);
    SetLocalFolder(dir.file("Zarnhold/local"));
    SetDefaultWorkingSet();

    ArchiveBrowserModel model;
    model.ToggleHiddenGroups();
    BrowserSources combined;
    combined.combined = true;
    model.Refresh(combined);
    auto row = [&model](const char* group, const char* id) {
        u32 g = 0, t = 0;
        ParseFourCC(group, &g);
        ParseFourCC(id, &t);
        return model.FindTagRow(FindTag(g, t));
    };
    struct Case {
        const char* group;
        const char* id;
        bool notOpenable;
        bool local;
    } cases[] = {
        {".256", "cm01", true, false},   // user data 0x100
        {".256", "cm02", true, false},   // the flags word in its data
        {".256", "f001", false, false},
        {"mesh", "f001", false, false},  // version 11
        {"mesh", "f002", true, false},   // version 10
        {"text", "f001", true, true},    // a local copy; no editor for text yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.group) + " " + c.id);
        BrowserTagRow* r = row(c.group, c.id);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->not_openable, c.notOpenable);
        EXPECT_EQ(r->local, c.local);
    }
    EXPECT_EQ(row("text", "f001")->color, HalveRowColor(kRowOrange));
    EXPECT_EQ(row("text", "cn01")->record.location, std::string("Caf\x8E; Night Pack"));
    EXPECT_TRUE(IsArchiveActive(FindArchiveByName("Caf\xC3\xA9; Night Pack")));
    model.Clear();
    EXPECT_EQ(UnloadCodex(), 1);
}

}  // namespace
}  // namespace pirn_test
