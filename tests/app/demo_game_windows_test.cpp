// The demo game in the program's windows, on the headless window system:
// - every tag whose group has an editor opens in that editor (the ones the
//   Archive Browser keeps closed aside), with the editors the program
//   registers at start-up: each copy, in each archive and in the local
//   folder, made the effective copy in turn. An editor that answers "The
//   tag could not be loaded." names the copy. Each editor shows its title
//   whole with the modified mark, and closing it leaves no window behind;
// - the Archive Browser lists every archive once, none named like its
//   pseudo-archives.

#include <gtest/gtest.h>
#include <unistd.h>

#include <dirent.h>

#include <set>
#include <string>
#include <vector>

#include "app/archive_browser_rules.h"
#include "app/game_archives.h"
#include "app/ui/archive_browser.h"
#include "app/ui/program_editors.h"
#include "codex/codex.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "editors/struct_registry.h"
#include "editors/xml_definitions.h"
#include "platform/log_capture.h"
#include "tests/support/test_support.h"
#include "tests/ui/widget_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "ui/list_window.h"
#include "ui/message_box_window.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

struct OpenedCopy {
    std::string where;  // the archive's file name, or "local"
    std::string name;
    std::string group;
};

class DemoGameWindowsTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        ASSERT_NE(::getcwd(cwd_, sizeof cwd_), nullptr);
        // The working folder a user has: the definitions in res/.
        DIR* data = ::opendir((SourceDir() + "/data").c_str());
        ASSERT_NE(data, nullptr);
        while (const dirent* entry = ::readdir(data)) {
            const std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".xml") == 0)
                WriteAll(dir_.file("res/" + name), ReadAll(SourceDir() + "/data/" + name));
        }
        ::closedir(data);
        ASSERT_EQ(::chdir(dir_.path().c_str()), 0);
        std::string error;
        ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), dir_.file("Zarnhold"), &error)) << error;
        MakeFolder(dir_.file("no local tags"));
        ClearTagGroupEditors();
        UnbindTagEditors();
        RegisterProgramEditors();
        UnloadCodex();
        SetIdleHook(&DemoGameWindowsTest::AnsweringFrame);
        boxes_.clear();
    }
    void TearDown() override {
        ResetWindowSystem();
        EXPECT_EQ(UnloadCodex(), 1) << "a tag was left in use";
        ClearTagGroupEditors();
        UnbindTagEditors();
        FreeXmlDefinitions();
        ClearStructRegistry();
        WidgetTest::TearDown();
        EXPECT_EQ(::chdir(cwd_), 0);
    }

    // A frame in which a box on top is answered with its first button and
    // its text kept.
    static int AnsweringFrame() {
        if (auto* box = dynamic_cast<MessageBoxWindow*>(GetTopModalWindow())) {
            boxes_.push_back(box->GetText());
            box->PressButton(0);
        }
        return IdleFrame();
    }

    // Opens the tag in its editor, draws it, checks it and closes it.
    void OpenAndClose(TagEntry* tag, const std::string& where) {
        TagHeader header;
        GetTagHeader(tag, &header);
        const std::string what = where + ": " + FourCCToText(tag->group) + " '" + header.name + "'";
        SCOPED_TRACE(what);
        ProcessDeferredDeletes();  // the last box
        const int before = GetLayerWindow(0)->GetChildCount() + GetLayerWindow(1)->GetChildCount();
        boxes_.clear();
        TagEdit* editor = OpenTagEditor(tag);
        for (const std::string& text : boxes_) EXPECT_NE(text, "The tag could not be loaded.");
        ASSERT_NE(editor, nullptr) << "did not open";
        opened_.push_back(OpenedCopy{where, header.name, FourCCToText(tag->group)});
        StepFrame();
        // The title with the modified mark shows whole, also after the
        // editor is made as narrow as it goes.
        editor->SetModified(true);
        editor->SetWidth(0);
        EXPECT_GE(editor->GetWidth(), FrameWidthForTitle(editor, editor->GetTitle())) << editor->GetTitle();
        editor->SetModified(false);
        EXPECT_TRUE(editor->Close(1));
        ProcessDeferredDeletes();
        EXPECT_EQ(GetLayerWindow(0)->GetChildCount() + GetLayerWindow(1)->GetChildCount(), before)
            << "windows left behind";
    }

    char cwd_[4096] = {};
    TempDir dir_;
    ScopedLogCapture quiet_;
    std::vector<OpenedCopy> opened_;
    inline static std::vector<std::string> boxes_;
};

// The tags the Archive Browser lets the user open.
bool Openable(TagEntry* tag) {
    const TagGroupInfo* row = FindTagGroup(tag->group);
    if (!row || !row->factory) return false;
    TagHeader header;
    GetTagHeader(tag, &header);
    return !IsTagNotOpenable(tag, header, nullptr);
}

TEST_F(DemoGameWindowsTest, EveryCopyOfEveryTagWithAnEditorOpensInIt) {
    ASSERT_GE(AddGameArchivesFrom(dir_.file("Zarnhold")), 6u);
    std::set<std::string> groupsOpened;
    // Each archive alone, over an empty local folder: every copy it holds is
    // the effective one.
    SetLocalFolder(dir_.file("no local tags"));
    ArchiveList archives;  // setting the working set sorts the Codex's list
    for (u32 i = 0; i < CountArchives(); ++i) archives.push_back(GetArchive(i));
    for (Archive* archive : archives) {
        SetWorkingSet(ArchiveList{archive});
        TagList tags;
        ListArchiveTags(archive, tags);
        for (TagEntry* tag : tags) {
            if (!Openable(tag)) continue;
            const TagSource* source = GetEffectiveSource(tag);
            ASSERT_TRUE(source && source->archive == archive);
            OpenAndClose(tag, GetArchiveName(archive));
            groupsOpened.insert(FourCCToText(tag->group));
        }
    }
    // The local folder with no archive behind it.
    SetWorkingSet(ArchiveList{});
    SetLocalFolder(dir_.file("Zarnhold/local"));
    TagList local;
    ListLocalTags(local);
    for (TagEntry* tag : local) {
        if (!Openable(tag)) continue;
        OpenAndClose(tag, "local");
        groupsOpened.insert(FourCCToText(tag->group));
    }
    // Every group with an editor has demo tags to open.
    for (u32 i = 0; i < kTagGroupCount; ++i) {
        const TagGroupInfo& row = TagGroupTable[i];
        if (row.factory) {
            EXPECT_TRUE(groupsOpened.count(FourCCToText(row.code))) << row.plural_label;
        }
    }
    EXPECT_GT(opened_.size(), 50u);
}

TEST_F(DemoGameWindowsTest, TheBrowserListsEveryArchiveOnceBesideItsPseudoArchives) {
    ASSERT_GE(AddGameArchivesFrom(dir_.file("Zarnhold")), 6u);
    SetLocalFolder(dir_.file("Zarnhold/local"));
    SetArchiveBrowserListener(true);
    OpenArchiveBrowser();
    // Every archive active (the browser starts with the default set).
    ArchiveList every;
    for (u32 i = 0; i < CountArchives(); ++i) every.push_back(GetArchive(i));
    SetWorkingSet(every);
    StepFrame();
    ArchiveBrowser* browser = GetArchiveBrowser();
    ASSERT_NE(browser, nullptr);
    std::multiset<std::string> texts;
    for (ListItem* item = browser->GetActiveList()->FirstRow(); item; item = browser->GetActiveList()->NextRow(item))
        texts.insert(item->text);
    EXPECT_EQ(texts.size(), size_t(CountArchives()) + 3);  // with local, foundation and combined
    for (const std::string& text : texts) EXPECT_EQ(texts.count(text), 1u) << text;
    CloseArchiveBrowser();
    SetArchiveBrowserListener(false);
}

}  // namespace
}  // namespace pirn_test
