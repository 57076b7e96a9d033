// The Archive Browser's rules and tag tree without a window: which tags are
// shown, which rows may be opened, colours, location texts, the rows a
// refresh makes for the selected sources, the rows Codex events add, change
// and take away (never one of a freed tag), and the working set's names.

#include "app/archive_browser_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/archive_browser_rules.h"
#include "app/working_set_names.h"
#include "codex/tag_group.h"
#include "tests/codex/codex_test_fixture.h"

namespace pirn_test {
namespace {

using namespace codex_fixture;
using namespace pirn;

TagEdit* NoEditor(TagEntry*, TagGroupInfo*, u32) { return nullptr; }

// Packed RGBA as the list draws it: red in the low byte, opaque.
constexpr u32 PackRgbaForTest(u32 r, u32 g, u32 b) { return r | g << 8 | b << 16 | 0xFF000000u; }

// Counts what the view is told and checks every row it holds is alive.
class RecordingView : public ArchiveBrowserModel::View {
public:
    void GroupRowAdded(BrowserGroupRow* row) override { groups.push_back(row); }
    void GroupRowChanged(BrowserGroupRow*) override { ++groupChanges; }
    void GroupRowRemoved(BrowserGroupRow* row) override { groups.erase(std::find(groups.begin(), groups.end(), row)); }
    void TagRowAdded(BrowserTagRow* row) override { tags.push_back(row); }
    void TagRowChanged(BrowserTagRow*) override { ++tagChanges; }
    void TagRowRemoved(BrowserTagRow* row) override {
        // The tag must still be there when its row goes.
        EXPECT_EQ(FindTagEntry(row->tag->group, row->tag->tag_id), row->tag);
        tags.erase(std::find(tags.begin(), tags.end(), row));
    }
    std::vector<BrowserGroupRow*> groups;
    std::vector<BrowserTagRow*> tags;
    int groupChanges = 0;
    int tagChanges = 0;
};

const u32 kText = Code("text");
const u32 kUnit = Code("unit");
const u32 kColl = Code(".256");
const u32 kMesh = Code("mesh");
const u32 kDmap = Code("dmap");

class ArchiveBrowserModelTest : public CodexTest {
protected:
    void SetUp() override {
        CodexTest::SetUp();
        ClearTagGroupEditors();
        SetTagGroupEditor(kText, NoEditor);
        model_.SetView(&view_);
    }
    void TearDown() override {
        model_.Clear();
        ClearTagGroupEditors();
        CodexTest::TearDown();
    }
    std::vector<std::string> RowNames() const {
        std::vector<std::string> names;
        for (BrowserTagRow* row : model_.TagRows()) names.push_back(row->record.header.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    static BrowserSources Combined() {
        BrowserSources s;
        s.combined = true;
        return s;
    }
    BrowserTagRow* Row(u32 group, u32 id) const { return model_.FindTagRow(FindTagEntry(group, id)); }

    ArchiveBrowserModel model_;
    RecordingView view_;
};

TEST_F(ArchiveBrowserModelTest, ShownTagsAreAvailableAndOfAGroupWithAnEditorOrDetailMaps) {
    Archive* base = AddArchiveBytes("tags/base", ArchiveBytes(2, 0, "Base",
        {Tag{kText, Code("t001"), "Words", Data("w")}, Tag{kUnit, Code("u001"), "Soldier", Data("u")},
         Tag{kDmap, Code("d001"), "Hills", Data("d")}}));
    Archive* extra = AddArchiveBytes("tags/extra", ArchiveBytes(5, 0, "Extra", {Tag{kText, Code("t002"), "Off", Data("o")}}));
    SetWorkingSet({base});
    struct Case {
        u32 group, id;
        bool hidden;
        bool shown;
    } cases[] = {
        {kText, Code("t001"), false, true},   // has an editor
        {kUnit, Code("u001"), false, false},  // no editor
        {kUnit, Code("u001"), true, true},    // hidden groups shown
        {kDmap, Code("d001"), false, true},   // detail maps always
        {kText, Code("t002"), true, false},   // only an inactive archive holds it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FourCCToText(c.id));
        EXPECT_EQ(IsTagShown(FindTagEntry(c.group, c.id), c.hidden), c.shown);
    }
    EXPECT_FALSE(IsTagShown(nullptr, true));
    (void)extra;
}

TEST_F(ArchiveBrowserModelTest, RowsThatCannotBeOpenedAreDimmedAndOnlyEverMarked) {
    // A collection whose flags are in its data: user data 0, 0x120000 bytes,
    // the word at data offset + 4 with the colour-map bit.
    std::vector<u8> big(0x120000, 0);
    big[4] = 0x00; big[5] = 0x00; big[6] = 0x01; big[7] = 0x23;
    std::vector<u8> bigPlain(0x120000, 0);
    bigPlain[7] = 0x23;
    Archive* base = AddArchiveBytes("tags/base", ArchiveBytes(2, 0, "Base", {
        Tag{kColl, Code("c001"), "Palette", Data("p"), 0x100},
        Tag{kColl, Code("c002"), "Knight", Data("k"), 0x2},
        Tag{kColl, Code("c003"), "Big Map", big, 0},
        Tag{kColl, Code("c004"), "Big Picture", bigPlain, 0},
        Tag{kMesh, Code("m010"), "Old Hills", Data("m"), 0, 10},
        Tag{kMesh, Code("m011"), "New Hills", Data("m"), 0, 11},
        Tag{kUnit, Code("u001"), "Soldier", Data("u")},
        Tag{kText, Code("t001"), "Words", Data("w")}}));
    SetWorkingSet({base});
    model_.ToggleHiddenGroups();
    model_.Refresh(Combined());
    struct Case {
        u32 group, id;
        bool notOpenable;
        u32 userColumn;
    } cases[] = {
        {kColl, Code("c001"), true, 0x100},
        {kColl, Code("c002"), false, 0x2},
        {kColl, Code("c003"), true, 0x123},   // the word read from the data shows as user data
        {kColl, Code("c004"), false, 0x23},
        {kMesh, Code("m010"), true, 0},
        {kMesh, Code("m011"), false, 0},
        {kUnit, Code("u001"), true, 0},       // no editor
        {kText, Code("t001"), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FourCCToText(c.id));
        BrowserTagRow* row = Row(c.group, c.id);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->not_openable, c.notOpenable);
        EXPECT_EQ(row->record.header.user_data, c.userColumn);
        EXPECT_EQ(row->color, c.notOpenable ? 0xFF7F7F7Fu : 0xFFFFFFFFu);
    }
    // Groups without an editor are halved; '.256' and 'mesh' have none here.
    EXPECT_EQ(model_.FindGroupRow(kText)->color, 0xFFFFFFFFu);
    EXPECT_EQ(model_.FindGroupRow(kUnit)->color, 0xFF7F7F7Fu);

    // A row once marked stays marked while it exists, even when its group
    // gains an editor.
    SetTagGroupEditor(kUnit, NoEditor);
    model_.Refresh(Combined());
    EXPECT_TRUE(Row(kUnit, Code("u001"))->not_openable);
}

TEST_F(ArchiveBrowserModelTest, ColoursAndLocationTexts) {
    struct ColorCase {
        bool local, notOpenable;
        u32 color;
    } colors[] = {
        {false, false, 0xFFFFFFFF},
        {true, false, PackRgbaForTest(255, 144, 0)},
        {true, true, PackRgbaForTest(127, 72, 0)},
        {false, true, PackRgbaForTest(127, 127, 127)},
    };
    for (const ColorCase& c : colors) EXPECT_EQ(TagRowColor(c.local, c.notOpenable), c.color);

    struct LocationCase {
        std::string location;
        std::string text;
    } locations[] = {
        {"local folder", "local folder"},
        {"Caf\xC3\xA9 Tags", "Caf\x8E Tags"},  // U+00E9 is 0x8E in the program's text
        {std::string(100, 'x'), std::string(63, 'x')},
        {"semi;colon", "semi;colon"},
    };
    for (const LocationCase& c : locations) {
        char out[64];
        std::memset(out, 0x55, sizeof out);
        FormatTagLocation(c.location.c_str(), out);
        EXPECT_EQ(std::string(out), c.text);
    }
}

TEST_F(ArchiveBrowserModelTest, ARefreshListsTheSelectedSourcesEachTagOnce) {
    Archive* foundation = AddArchiveBytes("tags/foundation", ArchiveBytes(3, 0, "Foundation",
        {Tag{kText, Code("f001"), "Found One", Data("f")}, Tag{kText, Code("f002"), "Found Two", Data("f")}}));
    Archive* campaign = AddArchiveBytes("tags/campaign", ArchiveBytes(2, 0, "Campaign",
        {Tag{kText, Code("c001"), "Camp", Data("c")}, Tag{kText, Code("f002"), "Found Two Again", Data("c")}}));
    WriteLocal("Text", "Mine", TagFile(Tag{kText, Code("l001"), "Mine", Data("l")}));
    WriteLocal("Text", "Found One", TagFile(Tag{kText, Code("f001"), "Found One", Data("local")}));
    PollLocalFolder(true);
    SetWorkingSet({foundation, campaign});

    struct Case {
        const char* what;
        BrowserSources sources;
        std::vector<std::string> rows;
    };
    BrowserSources local, found, camp, localAndCombined;
    local.local = true;
    found.foundation = true;
    camp.archives = {campaign};
    localAndCombined.local = localAndCombined.combined = true;
    const Case cases[] = {
        {"local", local, {"Found One", "Mine"}},
        {"foundation", found, {"Found One", "Found Two Again"}},  // the effective headers
        {"an archive", camp, {"Camp", "Found Two Again"}},
        {"local and combined", localAndCombined, {"Camp", "Found One", "Found Two Again", "Mine"}},
        {"nothing", BrowserSources{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model_.Refresh(c.sources);
        EXPECT_EQ(RowNames(), c.rows);
        EXPECT_EQ(view_.tags.size(), c.rows.size());
    }
    model_.Refresh(localAndCombined);
    BrowserGroupRow* text = model_.FindGroupRow(kText);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->label, "Text");
    EXPECT_EQ(text->tag_count, 4u);
    EXPECT_TRUE(Row(kText, Code("l001"))->local);
    EXPECT_EQ(Row(kText, Code("l001"))->color, PackRgbaForTest(255, 144, 0));
    EXPECT_STREQ(Row(kText, Code("l001"))->record.location, "local folder");
    EXPECT_STREQ(Row(kText, Code("c001"))->record.location, "campaign");
    EXPECT_EQ(Row(kText, Code("c001"))->record.header.tag_id, Code("c001"));

    // Hidden groups come and go with the flag; an emptied group row goes.
    WriteLocal("Units", "Soldier", TagFile(Tag{kUnit, Code("u001"), "Soldier", Data("u")}));
    PollLocalFolder(true);
    model_.Refresh(localAndCombined);
    EXPECT_EQ(model_.FindGroupRow(kUnit), nullptr);
    model_.ToggleHiddenGroups();
    model_.Refresh(localAndCombined);
    ASSERT_NE(model_.FindGroupRow(kUnit), nullptr);
    EXPECT_EQ(model_.TagRowCount(), 5u);
    model_.ToggleHiddenGroups();
    model_.Refresh(localAndCombined);
    EXPECT_EQ(model_.FindGroupRow(kUnit), nullptr);
    EXPECT_EQ(view_.groups.size(), 1u);
}

TEST_F(ArchiveBrowserModelTest, CodexEventsKeepTheRowsInStep) {
    Archive* base = AddArchiveBytes("tags/base", ArchiveBytes(2, 0, "Base", {Tag{kText, Code("b001"), "Base Words", Data("b")}}));
    SetWorkingSet({base});
    BrowserSources local;
    local.local = true;
    model_.Refresh(local);
    EXPECT_EQ(model_.TagRowCount(), 0u);

    // The listener the browser installs, feeding the model.
    struct Listener {
        static void Call(void* context, Archive* archive, TagEntry* tag, u32 event) {
            static_cast<ArchiveBrowserModel*>(context)->HandleCodexEvent(archive, tag, event);
        }
    };
    SetCodexListener(&Listener::Call, &model_, 1);

    // A tag saved from anywhere is listed in orange at once.
    ASSERT_EQ(CopyTagToLocal(FindTag(kText, Code("b001"))), 1);
    PollLocalFolder(false);
    BrowserTagRow* row = Row(kText, Code("b001"));
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->local);
    EXPECT_EQ(row->color, PackRgbaForTest(255, 144, 0));

    // A new local file of a group without an editor is not shown.
    WriteLocal("Units", "Soldier", TagFile(Tag{kUnit, Code("u001"), "Soldier", Data("u")}));
    PollLocalFolder(true);
    EXPECT_EQ(Row(kUnit, Code("u001")), nullptr);

    // Deleting the local copy takes the tag out of "local", although the
    // archive still holds it.
    ASSERT_EQ(DeleteTag(FindTag(kText, Code("b001"))), 1);
    PollLocalFolder(false);
    EXPECT_EQ(Row(kText, Code("b001")), nullptr);
    EXPECT_TRUE(IsTagAvailable(FindTag(kText, Code("b001"))));

    // With an archive selected, a local tag the archive does not hold is no
    // row of the tree.
    BrowserSources archive;
    archive.archives = {base};
    model_.Refresh(archive);
    WriteLocal("Text", "Elsewhere", TagFile(Tag{kText, Code("e001"), "Elsewhere", Data("e")}));
    PollLocalFolder(true);
    EXPECT_EQ(Row(kText, Code("e001")), nullptr);
    EXPECT_NE(Row(kText, Code("b001")), nullptr);
    SetCodexListener(&Listener::Call, &model_, 0);
}

TEST_F(ArchiveBrowserModelTest, AnArchiveClosedUnderTheTreeTakesItsRowsAlong) {
    Archive* base = AddArchiveBytes("tags/base", ArchiveBytes(2, 0, "Base",
        {Tag{kText, Code("b001"), "Only Here", Data("b")}, Tag{kText, Code("s001"), "Shared", Data("b")}}));
    Archive* addon = AddArchiveBytes("plugins/addon", ArchiveBytes(6, 0, "Addon",
        {Tag{kText, Code("a001"), "Addon Only", Data("a")}, Tag{kText, Code("s001"), "Shared From Addon", Data("a")}}));
    SetWorkingSet({base, addon});
    struct Listener {
        static void Call(void* context, Archive* archive, TagEntry* tag, u32 event) {
            static_cast<ArchiveBrowserModel*>(context)->HandleCodexEvent(archive, tag, event);
        }
    };
    SetCodexListener(&Listener::Call, &model_, 1);
    model_.Refresh(Combined());
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Addon Only", "Only Here", "Shared From Addon"}));
    EXPECT_STREQ(Row(kText, Code("s001"))->record.location, "addon");

    // The add-on goes: its own tag's row goes before the tag is freed (the
    // view checks), the shared tag now comes from the base archive.
    ASSERT_EQ(CloseArchive(addon), 1);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"Only Here", "Shared"}));
    EXPECT_STREQ(Row(kText, Code("s001"))->record.location, "base");
    EXPECT_EQ(view_.tags.size(), 2u);
    for (BrowserTagRow* r : model_.TagRows()) EXPECT_EQ(FindTag(r->tag->group, r->tag->tag_id), r->tag);

    ASSERT_EQ(CloseArchive(base), 1);
    EXPECT_EQ(model_.TagRowCount(), 0u);
    EXPECT_TRUE(view_.groups.empty());
    SetCodexListener(&Listener::Call, &model_, 0);
}

TEST(WorkingSetNames, EveryFileNameComesBackWhole) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"foundation", "campaign"},
        {"semi;colon", "back\\slash", "both\\;", ";"},
        {"Caf\x8E"},
    };
    for (const auto& names : lists) EXPECT_EQ(SplitWorkingSetNames(JoinWorkingSetNames(names)), names);
    EXPECT_EQ(JoinWorkingSetNames({"a;b", "c"}), "a\\;b;c;");
    // Lists written without escapes read as before.
    struct Case {
        const char* text;
        std::vector<std::string> names;
    } cases[] = {
        {"foundation;campaign;", {"foundation", "campaign"}},
        {"foundation;campaign", {"foundation", "campaign"}},
        {"", {}},
        {";;a;;", {"a"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitWorkingSetNames(c.text), c.names);
}

}  // namespace
}  // namespace pirn_test
