// The Archive Browser window on the headless window system, over a Codex
// in a scratch game folder: its lists and columns, the working set and its
// preference, every tag and archive command with its boxes (checked on
// disk), its keys and menus, and the lists and rows it keeps in step with
// the Codex (an archive closed under it leaves nothing behind).

#include "app/ui/archive_browser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/ui/tag_info_window.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "codex/ui/tag_editor_open.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "ui/menu.h"
#include "ui/splitter_window.h"
#include "ui/frame_step.h"

namespace pirn_test {
namespace {

using namespace codex_fixture;
using pirn::Archive;
using pirn::ArchiveBrowser;
using pirn::TagEntry;

const u32 kText = Code("text");
const u32 kUnit = Code("unit");
const u32 kDmap = Code("dmap");

// A text editor that loads anything.
class LoadingEdit : public pirn::TagEdit {
public:
    using TagEdit::TagEdit;
    int ReadTag(std::FILE*, pirn::TagHeader*) override { return 1; }
};
pirn::TagEdit* MakeLoadingEdit(TagEntry* tag, pirn::TagGroupInfo*, u32) { return new LoadingEdit(tag); }

class ArchiveBrowserTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        Prefs().Clear();
        pirn::ClearTagGroupEditors();
        pirn::SetTagGroupEditor(kText, MakeLoadingEdit);
        foundation_ = AddArchiveBytes("foundation", ArchiveBytes(3, 0, "Foundation", {
            Tag{kText, Code("f001"), "Alpha Words", Data("a")}, Tag{kText, Code("f002"), "Beta Words", Data("b")},
            Tag{kUnit, Code("u001"), "Soldier", Data("s")}, Tag{kDmap, Code("d001"), "Hills", Data("d")}}));
        campaign_ = AddArchiveBytes("campaign", ArchiveBytes(2, 0, "Campaign", {
            Tag{kText, Code("c001"), "Campaign Words", Data("c")}}));
        extras_ = AddArchiveBytes("extras", ArchiveBytes(5, 3, "Extras", {Tag{kText, Code("x001"), "Extra Words", Data("x")}}));
        WriteLocal("Text", "Mine", TagFile(Tag{kText, Code("l001"), "Mine", Data("mine")}));
        pirn::PollLocalFolder(true);
        pirn::SetArchiveBrowserListener(true);
    }
    void TearDown() override {
        pirn::CloseArchiveBrowser();
        pirn::SetArchiveBrowserListener(false);
        CodexWindowTest::TearDown();
        pirn::ClearTagGroupEditors();
        Prefs().Clear();
    }

    ArchiveBrowser* Open() {
        pirn::OpenArchiveBrowser();
        IdleFrame();
        return pirn::GetArchiveBrowser();
    }
    static std::vector<std::string> Texts(const ListWindow* list) {
        std::vector<std::string> texts;
        for (ListItem* i = list->FirstRow(); i; i = list->NextRow(i)) texts.push_back(i->text);
        return texts;
    }
    static std::vector<std::string> Selected(const ListWindow* list) {
        std::vector<ListItem*> items;
        list->GetSelection(&items, nullptr);
        std::vector<std::string> texts;
        for (ListItem* i : items) texts.push_back(i->text);
        return texts;
    }
    // Group rows and, under the open ones, tag names.
    static std::vector<std::string> Tree(ListWindow* tree) {
        for (ListItem* g = tree->GetFirstItem(); g; g = g->next) tree->OpenItem(g);
        std::vector<std::string> rows;
        for (ListItem* i = tree->FirstRow(); i; i = tree->NextRow(i))
            rows.push_back(i->hasText ? i->text : "  " + std::string(static_cast<pirn::BrowserTagRow*>(i->userData)->record.header.name));
        return rows;
    }
    static ListItem* TagItem(ListWindow* tree, const char* name) {
        for (ListItem* g = tree->GetFirstItem(); g; g = g->next) {
            tree->OpenItem(g);
            for (ListItem* t = g->firstChild; t; t = t->next)
                if (std::string(static_cast<pirn::BrowserTagRow*>(t->userData)->record.header.name) == name) return t;
        }
        return nullptr;
    }
    static void SelectTags(ListWindow* tree, std::vector<const char*> names) {
        bool first = true;
        for (const char* name : names) {
            ListItem* item = TagItem(tree, name);
            ASSERT_NE(item, nullptr) << name;
            tree->SelectItem(item, !first);
            first = false;
        }
    }
    static void SelectArchives(ListWindow* list, std::vector<const char*> texts) {
        bool first = true;
        for (const char* text : texts)
            for (ListItem* i = list->FirstRow(); i; i = list->NextRow(i))
                if (i->text == text) {
                    list->SelectItem(i, !first);
                    first = false;
                }
    }
    static std::string Pref(const char* key) {
        std::string text;
        return GetPrefString(key, &text) ? text : "<none>";
    }

    Archive* foundation_ = nullptr;
    Archive* campaign_ = nullptr;
    Archive* extras_ = nullptr;
};

TEST_F(ArchiveBrowserTest, OpensWithTheDefaultWorkingSetAndTheCombinedTags) {
    ArchiveBrowser* browser = Open();
    ASSERT_NE(browser, nullptr);
    EXPECT_STREQ(browser->GetTitle(), "Archive Browser");
    EXPECT_STREQ(browser->GetClassName(), "ArchiveBrowser");
    EXPECT_EQ(browser->GetFlags() & 0xFFFF, ArchiveBrowser::kStyle);
    EXPECT_STREQ(browser->GetActiveList()->GetTitle(), "Active Archives List");
    EXPECT_STREQ(browser->GetInactiveList()->GetTitle(), "Inactive Archives List");
    EXPECT_STREQ(browser->GetTagTree()->GetTitle(), "Tag Tree");

    EXPECT_EQ(Texts(browser->GetActiveList()),
              (std::vector<std::string>{"campaign", "combined", "foundation", "foundation", "local"}));
    EXPECT_EQ(Texts(browser->GetInactiveList()), std::vector<std::string>{"extras"});
    EXPECT_EQ(Selected(browser->GetActiveList()), std::vector<std::string>{"combined"});
    EXPECT_EQ(Pref("CodexWorkingSet"), "foundation;campaign;");

    // Units have no editor: not listed until hidden groups are shown. The
    // detail map is listed although its group has none.
    EXPECT_EQ(Tree(browser->GetTagTree()),
              (std::vector<std::string>{"Detail Maps (1)", "  Hills", "Text (4)", "  Alpha Words", "  Beta Words",
                                        "  Campaign Words", "  Mine"}));
    ListItem* mine = TagItem(browser->GetTagTree(), "Mine");
    EXPECT_EQ(mine->textColor, 0xFF0090FFu);  // orange: a local copy
    EXPECT_EQ(TagItem(browser->GetTagTree(), "Beta Words")->textColor, 0xFFFFFFFFu);
    EXPECT_EQ(TagItem(browser->GetTagTree(), "Hills")->textColor, 0xFF7F7F7Fu);  // no editor: dimmed
    EXPECT_EQ(browser->GetTagTree()->GetFirstItem()->textColor, 0xFF7F7F7Fu);  // its group halved

    // The layout: the lists over each other left of the tree, split at 196,
    // the inner split at the active list's height.
    EXPECT_EQ(browser->GetOuterSplitter()->GetSplitPosition(), 196);
    EXPECT_EQ(browser->GetInnerSplitter()->GetSplitPosition(),
              browser->GetInnerSplitter()->ClampSplit(browser->GetActiveList()->GetTotalHeight()));
    EXPECT_EQ(browser->GetClientHeight(), ArchiveBrowser::kDefaultClientHeight);
}

TEST_F(ArchiveBrowserTest, TheTagTreeHasOneColumnPerHeaderFieldAndTheLocation) {
    ListWindow* tree = Open()->GetTagTree();
    struct Col {
        const char* title;
        const char* format;
        u32 type, size, offset;
        i32 width;
        u32 flags;
    } expected[] = {
        {"Identifier", "%d", 5, 2, 0, 96, 2},   {"Flags", "%d", 5, 1, 2, 96, 2},
        {"Type", "%d", 5, 1, 3, 96, 2},         {"Name", "%s", 2, 32, 4, 256, 0},
        {"Group", "%s", 1, 4, 36, 64, 2},       {"Tag", "%s", 1, 4, 40, 64, 0},
        {"Offset", "%d", 5, 4, 44, 96, 2},      {"Size", "%d", 5, 4, 48, 96, 0},
        {"User", "0x%x", 5, 4, 52, 64, 0},      {"Vers.", "%d", 5, 2, 56, 48, 0},
        {"Foundation Index", "%d", 5, 1, 58, 96, 2}, {"Owner Index", "%d", 5, 1, 59, 96, 2},
        {"Game", "%s", 1, 4, 60, 64, 0},        {"Location", "%s", 2, 64, 64, 256, 0},
    };
    ASSERT_EQ(tree->GetColumnCount(), 14);
    for (int i = 0; i < 14; ++i) {
        SCOPED_TRACE(expected[i].title);
        const ListColumn& c = tree->GetColumn(i);
        EXPECT_EQ(c.title, expected[i].title);
        EXPECT_EQ(c.format, expected[i].format);
        EXPECT_EQ(c.type, expected[i].type);
        EXPECT_EQ(c.fieldSize, expected[i].size);
        EXPECT_EQ(c.fieldOffset, expected[i].offset);
        EXPECT_EQ(c.width, expected[i].width);
        EXPECT_EQ(c.flags & 2, expected[i].flags);
        EXPECT_EQ(c.textFlags, 6u);  // titles, multi-line, no shadow
    }
    // The cells read the row's record.
    ListItem* mine = TagItem(tree, "Mine");
    EXPECT_EQ(tree->CellText(mine, 3), "Mine");
    EXPECT_EQ(tree->CellText(mine, 5), "l001");
    EXPECT_EQ(tree->CellText(mine, 7), "4");
    EXPECT_EQ(tree->CellText(mine, 12), "zrn2");
    EXPECT_EQ(tree->CellText(mine, 13), "local folder");
    EXPECT_EQ(tree->CellText(TagItem(tree, "Beta Words"), 13), "foundation");
}

TEST_F(ArchiveBrowserTest, TheWorkingSetIsRememberedByFileName) {
    struct Case {
        const char* what;
        const char* stored;  // null: no preference
        std::vector<std::string> active;
        const char* storedAfter;
    } cases[] = {
        {"the default", nullptr, {"campaign", "combined", "foundation", "foundation", "local"}, "foundation;campaign;"},
        {"a stored set", "extras;foundation;", {"combined", "extras", "foundation", "foundation", "local"},
         "foundation;extras;"},
        {"a missing archive is dropped", "gone;campaign;", {"campaign", "combined", "foundation", "local"}, "campaign;"},
        {"an empty set", "", {"combined", "foundation", "local"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Prefs().Remove("CodexWorkingSet");
        if (c.stored) SetPrefString("CodexWorkingSet", c.stored);
        ArchiveBrowser* browser = Open();
        EXPECT_EQ(Texts(browser->GetActiveList()), c.active);
        EXPECT_EQ(Pref("CodexWorkingSet"), c.storedAfter);
        pirn::CloseArchiveBrowser();
        IdleFrame();
    }

    // A file name with ';' in it comes back.
    Archive* odd = AddArchiveBytes("semi;colon", ArchiveBytes(5, 0, "Odd", {Tag{kText, Code("o001"), "Odd", Data("o")}}));
    ASSERT_NE(odd, nullptr);
    ArchiveBrowser* browser = Open();
    SelectArchives(browser->GetInactiveList(), {"semi;colon"});
    browser->RunArchiveCommand(ArchiveBrowser::kActivateSelection, browser->GetInactiveList());
    EXPECT_EQ(Pref("CodexWorkingSet"), "semi\\;colon;");
    pirn::CloseArchiveBrowser();
    IdleFrame();
    browser = Open();
    EXPECT_EQ(Texts(browser->GetActiveList()), (std::vector<std::string>{"combined", "foundation", "local", "semi;colon"}));
}

TEST_F(ArchiveBrowserTest, ArchivesMoveBetweenTheListsAndTheTreeFollows) {
    ArchiveBrowser* browser = Open();
    SelectArchives(browser->GetInactiveList(), {"extras"});
    browser->RunArchiveCommand(ArchiveBrowser::kActivateSelection, browser->GetInactiveList());
    EXPECT_EQ(Texts(browser->GetInactiveList()), std::vector<std::string>{});
    EXPECT_EQ(Selected(browser->GetActiveList()), std::vector<std::string>{"extras"});
    EXPECT_TRUE(pirn::IsArchiveActive(extras_));
    EXPECT_EQ(Pref("CodexWorkingSet"), "foundation;campaign;extras;");  // the Codex's order
    EXPECT_EQ(Tree(browser->GetTagTree()), (std::vector<std::string>{"Text (1)", "  Extra Words"}));

    SelectArchives(browser->GetActiveList(), {"campaign", "foundation"});
    browser->RunArchiveCommand(ArchiveBrowser::kDeactivateSelection, browser->GetActiveList());
    EXPECT_EQ(Texts(browser->GetInactiveList()), (std::vector<std::string>{"campaign", "foundation"}));
    EXPECT_EQ(Pref("CodexWorkingSet"), "extras;");
    EXPECT_FALSE(pirn::IsArchiveActive(foundation_));

    browser->RunArchiveCommand(ArchiveBrowser::kDefaultWorkingSet, browser->GetActiveList());
    EXPECT_EQ(Pref("CodexWorkingSet"), "foundation;campaign;");
    EXPECT_EQ(Selected(browser->GetActiveList()), std::vector<std::string>{"combined"});

    // Pseudo-items are no archives: deactivating them does nothing.
    SelectArchives(browser->GetActiveList(), {"local"});
    browser->RunArchiveCommand(ArchiveBrowser::kDeactivateSelection, browser->GetActiveList());
    EXPECT_EQ(Pref("CodexWorkingSet"), "foundation;campaign;");
    EXPECT_EQ(Tree(browser->GetTagTree()), (std::vector<std::string>{"Text (1)", "  Mine"}));
}

TEST_F(ArchiveBrowserTest, CopyDuplicateAndDeleteWorkOnTheDiskWithTheirQuestions) {
    ArchiveBrowser* browser = Open();
    ListWindow* tree = browser->GetTagTree();

    SelectTags(tree, {"Beta Words"});
    browser->RunTagCommand(ArchiveBrowser::kCopyToLocal);
    EXPECT_EQ(ReadAll(LocalFile("Text", "Beta Words")), TagFile(Tag{kText, Code("f002"), "Beta Words", Data("b")}));
    pirn::PollLocalFolder(false);
    IdleFrame();
    EXPECT_EQ(TagItem(tree, "Beta Words")->textColor, 0xFF0090FFu);

    // One tag: the name is asked, filled with "<name> copy".
    SelectTags(tree, {"Mine"});
    AnswerInput(0, "Mine Again");
    browser->RunTagCommand(ArchiveBrowser::kDuplicateTags);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Enter Name for Duplicate Tag");
    EXPECT_EQ(asked_[0].text, "Mine copy");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_TRUE(Exists(LocalFile("Text", "Mine Again")));
    Answer(1);
    browser->RunTagCommand(ArchiveBrowser::kDuplicateTags);
    EXPECT_FALSE(Exists(LocalFile("Text", "Mine copy")));
    // Several tags: copies named by the Codex, nothing asked.
    asked_.clear();
    SelectTags(tree, {"Mine", "Alpha Words"});
    browser->RunTagCommand(ArchiveBrowser::kDuplicateTags);
    EXPECT_TRUE(asked_.empty());
    EXPECT_TRUE(Exists(LocalFile("Text", "Mine copy")));
    EXPECT_TRUE(Exists(LocalFile("Text", "Alpha Words copy")));
    pirn::PollLocalFolder(false);
    IdleFrame();

    // Deleting: only local copies count; the question names them.
    asked_.clear();
    SelectTags(tree, {"Campaign Words"});
    browser->RunTagCommand(ArchiveBrowser::kDeleteTags);
    EXPECT_TRUE(asked_.empty());  // only an archive holds it

    SelectTags(tree, {"Mine Again"});
    Answer(1);  // Don't Delete
    browser->RunTagCommand(ArchiveBrowser::kDeleteTags);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Confirm Deletion");
    EXPECT_EQ(asked_[0].text, "Are you sure you want to delete 'Mine Again'?");
    EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Delete", "Don't Delete"}));
    EXPECT_TRUE(Exists(LocalFile("Text", "Mine Again")));

    asked_.clear();
    SelectTags(tree, {"Mine Again", "Mine copy", "Campaign Words"});
    Answer(0);
    browser->RunTagCommand(ArchiveBrowser::kDeleteTags);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "Are you sure you want to delete 2 tags?");
    EXPECT_FALSE(Exists(LocalFile("Text", "Mine Again")));
    EXPECT_FALSE(Exists(LocalFile("Text", "Mine copy")));
    IdleFrame();
    EXPECT_EQ(TagItem(tree, "Mine Again"), nullptr);

    // A tag in use is not deleted, and says why.
    asked_.clear();
    TagEntry* mine = pirn::FindTag(kText, Code("l001"));
    pirn::TagEdit* editor = pirn::OpenTagEditor(mine);
    ASSERT_NE(editor, nullptr);
    SelectTags(tree, {"Mine"});
    Answer(0);
    Answer(0);
    browser->RunTagCommand(ArchiveBrowser::kDeleteTags);
    ASSERT_EQ(asked_.size(), 2u);
    EXPECT_EQ(asked_[1].caption, "Can't delete tag.");
    EXPECT_EQ(asked_[1].text, "'Mine' is still being used by Pirn.");
    EXPECT_TRUE(Exists(LocalFile("Text", "Mine")));
    editor->Close(1);
}

TEST_F(ArchiveBrowserTest, OpeningAndGettingInfoBringUpOneWindowPerTag) {
    ArchiveBrowser* browser = Open();
    ListWindow* tree = browser->GetTagTree();
    SelectTags(tree, {"Mine", "Alpha Words", "Hills"});  // the map cannot be opened
    browser->RunTagCommand(ArchiveBrowser::kOpenTags);
    TagEntry* mine = pirn::FindTag(kText, Code("l001"));
    EXPECT_NE(pirn::FindTagAttachment(mine, pirn::kAttachEditor), nullptr);
    EXPECT_NE(pirn::FindTagAttachment(pirn::FindTag(kText, Code("f001")), pirn::kAttachEditor), nullptr);
    EXPECT_EQ(pirn::FindTagAttachment(pirn::FindTag(kDmap, Code("d001")), pirn::kAttachEditor), nullptr);

    // Double click (the list's activation) opens an openable row only.
    tree->activated.Emit(TagItem(tree, "Beta Words"));
    EXPECT_NE(pirn::FindTagAttachment(pirn::FindTag(kText, Code("f002")), pirn::kAttachEditor), nullptr);
    tree->activated.Emit(TagItem(tree, "Hills"));
    EXPECT_EQ(pirn::FindTagAttachment(pirn::FindTag(kDmap, Code("d001")), pirn::kAttachEditor), nullptr);

    SelectTags(tree, {"Hills", "Campaign Words"});
    browser->RunTagCommand(ArchiveBrowser::kGetInfo);
    auto* hillsInfo = pirn::FindTagInfoWindow(pirn::FindTag(kDmap, Code("d001")));
    auto* campaignInfo = pirn::FindTagInfoWindow(pirn::FindTag(kText, Code("c001")));
    ASSERT_NE(hillsInfo, nullptr);
    ASSERT_NE(campaignInfo, nullptr);
    // Again: the first open window is raised, and the command stops there.
    SelectTags(tree, {"Campaign Words", "Alpha Words"});
    browser->RunTagCommand(ArchiveBrowser::kGetInfo);
    EXPECT_EQ(GetLayerWindow(0)->GetFirstChild(), campaignInfo);
    EXPECT_EQ(pirn::FindTagInfoWindow(pirn::FindTag(kText, Code("f001"))), nullptr);
}

TEST_F(ArchiveBrowserTest, KeysAndTheContextMenuRunTheCommands) {
    ArchiveBrowser* browser = Open();
    ListWindow* tree = browser->GetTagTree();
    ActivateWindow(tree, pirn::kFocusByProgram);
    Key('T', {kKeyLeftControl});
    EXPECT_TRUE(browser->GetModel().ShowsHiddenGroups());
    EXPECT_NE(TagItem(tree, "Soldier"), nullptr);
    EXPECT_EQ(TagItem(tree, "Soldier")->textColor, 0xFF7F7F7Fu);

    SelectTags(tree, {"Soldier"});
    ActivateWindow(tree, pirn::kFocusByProgram);
    Key('K', {kKeyLeftControl});
    EXPECT_TRUE(Exists(LocalFile("Units", "Soldier")));

    // Delete on the tree asks first.
    Answer(1);
    Key(kKeyDelete);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].caption, "Confirm Deletion");

    // A right click shows the tag menu; "Toggle Hidden Groups" hides units again.
    std::vector<std::string> entries;
    Then([&entries] {
        auto* menu = dynamic_cast<pirn::Menu*>(GetTopModalWindow());
        ASSERT_NE(menu, nullptr);
        for (pirn::MenuItem* e : menu->Entries())
            entries.push_back(std::string(e->GetTitle()) + (e->IsEnabled() ? "" : " (off)"));
        PostClick(menu->Entries().back());
    });
    tree->contextClick.Emit(300, 300);
    EXPECT_EQ(entries, (std::vector<std::string>{"Open (enter)", "Get Info (cmd-I)", "Copy To Local (cmd-K)",
                                                 "Duplicate (cmd-D)", "Delete (del)", "<---separator--->",
                                                 "Toggle Hidden Groups (cmd-T)"}));
    EXPECT_FALSE(browser->GetModel().ShowsHiddenGroups());

    // The archive menu of the inactive list, with nothing selected there.
    entries.clear();
    Then([&entries] {
        auto* menu = dynamic_cast<pirn::Menu*>(GetTopModalWindow());
        ASSERT_NE(menu, nullptr);
        for (pirn::MenuItem* e : menu->Entries())
            entries.push_back(std::string(e->GetTitle()) + (e->IsEnabled() ? "" : " (off)"));
        PostKey(kKeyEsc);
    });
    browser->GetInactiveList()->contextClick.Emit(50, 400);
    EXPECT_EQ(entries, (std::vector<std::string>{"Default Working Set", "Activate Selection (off)",
                                                 "Disassemble Archive (off)"}));
}

TEST_F(ArchiveBrowserTest, AnArchiveClosedUnderTheBrowserLeavesNoItemOrRowBehind) {
    ArchiveBrowser* browser = Open();
    ListWindow* tree = browser->GetTagTree();
    SelectArchives(browser->GetActiveList(), {"campaign"});
    EXPECT_EQ(Tree(tree), (std::vector<std::string>{"Text (1)", "  Campaign Words"}));

    ASSERT_EQ(pirn::CloseArchive(campaign_), 1);
    EXPECT_EQ(browser->FindArchiveItem(campaign_), nullptr);
    EXPECT_EQ(TagItem(tree, "Campaign Words"), nullptr);
    IdleFrame();  // the lists are made afresh from the Codex
    EXPECT_EQ(Texts(browser->GetActiveList()), (std::vector<std::string>{"combined", "foundation", "foundation", "local"}));
    EXPECT_EQ(Selected(browser->GetActiveList()), std::vector<std::string>{"combined"});
    EXPECT_EQ(Tree(tree), (std::vector<std::string>{"Detail Maps (1)", "  Hills", "Text (3)", "  Alpha Words",
                                                    "  Beta Words", "  Mine"}));

    // A refused close (a tag in use) puts the archive back at the next frame.
    pirn::TagEdit* editor = pirn::OpenTagEditor(pirn::FindTag(kText, Code("f001")));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(pirn::CloseArchive(foundation_), 0);
    IdleFrame();
    EXPECT_NE(browser->FindArchiveItem(foundation_), nullptr);
    editor->Close(1);

    // An archive added elsewhere shows up in the inactive list.
    Archive* added = AddArchiveBytes("later", ArchiveBytes(5, 0, "Later", {Tag{kText, Code("z001"), "Later", Data("z")}}));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Texts(browser->GetInactiveList()), (std::vector<std::string>{"extras", "later"}));
}

TEST_F(ArchiveBrowserTest, ChoosingLocalLooksAtTheFolderAgain) {
    ArchiveBrowser* browser = Open();
    SelectArchives(browser->GetActiveList(), {"local"});
    WriteLocal("Text", "Dropped In", TagFile(Tag{kText, Code("drop"), "Dropped In", Data("d")}));
    IdleFrame();
    EXPECT_EQ(TagItem(browser->GetTagTree(), "Dropped In"), nullptr);  // nothing told the Codex
    SelectArchives(browser->GetActiveList(), {"combined"});
    SelectArchives(browser->GetActiveList(), {"local"});
    EXPECT_NE(TagItem(browser->GetTagTree(), "Dropped In"), nullptr);
}

TEST_F(ArchiveBrowserTest, ThePlacementIsRestoredAndAddedArchivesJoinTheWorkingSet) {
    ArchiveBrowser* browser = Open();
    SetFrame(browser, Rect{20, 30, 700, 500});
    pirn::CloseArchiveBrowser();
    IdleFrame();
    EXPECT_EQ(Pref("ArchiveBrowserPlacement"), "0 20 30 700 500");
    browser = Open();
    EXPECT_EQ(browser->GetFrame(), (Rect{20, 30, 700, 500}));

    WriteAll(Game() + "plugins/new addon", ArchiveBytes(6, 0, "New", {Tag{kText, Code("n001"), "New Words", Data("n")}}));
    pirn::AddArchivesToWorkingSet({Game() + "plugins/new addon", Game() + "plugins/missing"});
    EXPECT_EQ(Pref("CodexWorkingSet"), "foundation;campaign;new addon;");
    EXPECT_NE(TagItem(browser->GetTagTree(), "New Words"), nullptr);
}

}  // namespace
}  // namespace pirn_test
