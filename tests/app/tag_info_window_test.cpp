// The tag info window: what it shows, its title, the order of Apply's
// checks with their messages, renaming and re-identifying a tag on disk,
// the one window per tag, and the question on closing with changes.

#include "app/ui/tag_info_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tag_info_change.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "codex/ui/tag_editor_open.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

using namespace codex_fixture;
using pirn::TagEntry;
using pirn::TagInfoWindow;

const u32 kText = Code("text");

class LoadingEdit : public pirn::TagEdit {
public:
    using TagEdit::TagEdit;
    int ReadTag(std::FILE*, pirn::TagHeader*) override { return 1; }
};
pirn::TagEdit* MakeLoadingEdit(TagEntry* tag, pirn::TagGroupInfo*, u32) { return new LoadingEdit(tag); }

class TagInfoWindowTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        archive_ = AddArchiveBytes("base", ArchiveBytes(2, 0, "Base", {Tag{kText, Code("arch"), "Archived", Data("archived")},
                                                                      Tag{kText, Code("othr"), "Other", Data("o")}}));
        pirn::SetDefaultWorkingSet();
        WriteLocal("Text", "Greeting", TagFile(Tag{kText, Code("gree"), "Greeting", Data("hello")}));
        WriteLocal("Text", "Taken", TagFile(Tag{kText, Code("take"), "Taken", Data("t")}));
        pirn::PollLocalFolder(true);
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::ClearTagGroupEditors();
    }
    static std::string Title(const Window* w) { return w->GetTitle() ? w->GetTitle() : ""; }
    // As the user leaves a box: its text changed, its signal emitted.
    static void Type(TextBox* box, const std::string& text) { box->SetText(text); }
    pirn::Archive* archive_ = nullptr;
};

TEST_F(TagInfoWindowTest, ShowsTheTagAndMarksChangesInTheTitle) {
    TagEntry* tag = pirn::FindTag(kText, Code("gree"));
    auto* info = new TagInfoWindow(tag);
    EXPECT_STREQ(info->GetClassName(), "TagInfoWindow");
    EXPECT_EQ(info->GetClientWidth(), 400);
    EXPECT_EQ(pirn::FindTagInfoWindow(tag), info);
    const std::vector<std::string> expected = {"Greeting", "gree", "text", "5", "local folder"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(info->GetBox(i)->GetText(), expected[size_t(i)]) << i;
    EXPECT_EQ(Title(info), "Tag Info: Greeting");
    EXPECT_EQ(GetFocusWindow(), info->GetNameBox());
    EXPECT_TRUE(info->GetNameBox()->IsEditable());
    EXPECT_FALSE(info->GetBox(2)->IsEditable());

    Type(info->GetNameBox(), "Hello");
    EXPECT_EQ(Title(info), "Tag Info: Hello*");
    Type(info->GetNameBox(), "Greeting");
    EXPECT_EQ(Title(info), "Tag Info: Greeting");
    Type(info->GetSubgroupBox(), "grex");
    EXPECT_EQ(Title(info), "Tag Info: Greeting*");
    // Typing more than four characters into the subgroup is refused.
    EXPECT_EQ(info->GetSubgroupBox()->GetMaxLength(), 4);
    EXPECT_EQ(info->GetNameBox()->GetMaxLength(), 32);

    Type(info->GetSubgroupBox(), "gree");
    EXPECT_TRUE(info->Close(1));  // nothing changed: nothing asked
    EXPECT_TRUE(asked_.empty());
    IdleFrame();
    EXPECT_EQ(pirn::FindTagInfoWindow(tag), nullptr);
}

TEST_F(TagInfoWindowTest, ApplyChecksInOrderBeforeChangingTheTag) {
    struct Case {
        const char* what;
        const char* name;
        const char* subgroup;
        bool inUse;
        const char* message;
    } cases[] = {
        {"in use comes first", "", "ab", true,
         "Tag information for 'Greeting' could not be updated because the tag is still in use."},
        {"then the subgroup's length", "", "abc", false, "The subgroup id must be exactly 4 characters long."},
        {"then the name", "", "gree", false, "The name field must not be empty."},
        {"then a local tag with the id", "Greeting", "take", false,
         "A tag with the specified group and subgroup combination already exists in the local folder."},
    };
    pirn::SetTagGroupEditor(kText, MakeLoadingEdit);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TagEntry* tag = pirn::FindTag(kText, Code("gree"));
        pirn::TagEdit* editor = c.inUse ? pirn::OpenTagEditor(tag) : nullptr;
        auto* info = new TagInfoWindow(tag);
        Type(info->GetNameBox(), c.name);
        Type(info->GetSubgroupBox(), c.subgroup);
        asked_.clear();
        Answer(0);
        EXPECT_EQ(info->Apply(), 0);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].caption, "Error");
        EXPECT_EQ(asked_[0].text, c.message);
        EXPECT_EQ(asked_[0].buttons, std::vector<std::string>{"OK"});
        EXPECT_EQ(ReadAll(LocalFile("Text", "Greeting")), TagFile(Tag{kText, Code("gree"), "Greeting", Data("hello")}));
        DestroyWindow(info);
        if (editor) editor->Close(1);
        IdleFrame();
    }
}

TEST_F(TagInfoWindowTest, RenamingAndReidentifyingChangeTheFileAndFollowTheTag) {
    TagEntry* tag = pirn::FindTag(kText, Code("gree"));
    auto* info = new TagInfoWindow(tag);
    Type(info->GetNameBox(), "Welcome");
    Type(info->GetSubgroupBox(), "welc");
    ASSERT_EQ(info->Apply(), 1);
    EXPECT_TRUE(asked_.empty());
    EXPECT_FALSE(Exists(LocalFile("Text", "Greeting")));
    EXPECT_EQ(ReadAll(LocalFile("Text", "Welcome")), TagFile(Tag{kText, Code("welc"), "Welcome", Data("hello")}));
    TagEntry* renamed = pirn::FindTag(kText, Code("welc"));
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(info->GetTag(), renamed);
    EXPECT_EQ(pirn::FindTagInfoWindow(renamed), info);
    EXPECT_EQ(Title(info), "Tag Info: Welcome");

    // An id only an archive holds may be taken: the local copy then wins.
    Type(info->GetSubgroupBox(), "othr");
    ASSERT_EQ(info->Apply(), 1);
    TagEntry* other = pirn::FindTag(kText, Code("othr"));
    EXPECT_TRUE(pirn::IsTagLocal(other));
    EXPECT_EQ(info->GetBox(4)->GetText(), "local folder");
    EXPECT_EQ(ReadAll(LocalFile("Text", "Welcome")), TagFile(Tag{kText, Code("othr"), "Welcome", Data("hello")}));

    // A tag only an archive holds is copied to the local folder first.
    auto* archived = new TagInfoWindow(pirn::FindTag(kText, Code("arch")));
    EXPECT_EQ(archived->GetBox(4)->GetText(), "base");
    Type(archived->GetNameBox(), "Was Archived");
    ASSERT_EQ(archived->Apply(), 1);
    const std::vector<u8> copy = ReadAll(LocalFile("Text", "Was Archived"));
    ASSERT_EQ(copy.size(), 64u + 8u);
    EXPECT_EQ(ReadText(copy, 4, 32), "Was Archived");
    EXPECT_EQ(std::string(copy.begin() + 64, copy.end()), "archived");
    EXPECT_EQ(archived->GetTag(), pirn::FindTag(kText, ReadU32(copy, 40)));
    EXPECT_EQ(archived->GetBox(4)->GetText(), "local folder");
    EXPECT_EQ(pirn::GetTagUseCount(pirn::FindTag(kText, Code("arch"))), 0u);
}

TEST_F(TagInfoWindowTest, ClosingWithChangesAsksFirst) {
    struct Case {
        const char* what;
        int answer;
        const char* subgroup;
        bool closes;
        const char* file;  // the tag's file afterwards
    } cases[] = {
        {"Cancel keeps the window", 2, "abcd", false, "Greeting"},
        {"Discard closes", 1, "abcd", true, "Greeting"},
        {"Save with a bad subgroup stays", 0, "ab", false, "Greeting"},
        {"Save applies and closes", 0, "abcd", true, "Greeting"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TagEntry* tag = pirn::FindTag(kText, Code("gree"));
        ASSERT_NE(tag, nullptr);
        auto* info = new TagInfoWindow(tag);
        Type(info->GetSubgroupBox(), c.subgroup);
        asked_.clear();
        Answer(c.answer);
        if (std::string(c.subgroup).size() != 4 && c.answer == 0) Answer(0);
        EXPECT_EQ(info->Close(1), c.closes);
        ASSERT_FALSE(asked_.empty());
        EXPECT_EQ(asked_[0].caption, "Save?");
        EXPECT_EQ(asked_[0].text, "Do you wish to save your changes to the tag?");
        EXPECT_EQ(asked_[0].buttons, (std::vector<std::string>{"Save", "Discard", "Cancel"}));
        EXPECT_TRUE(Exists(LocalFile("Text", c.file)));
        if (!c.closes) DestroyWindow(info);
        IdleFrame();
    }
    EXPECT_NE(pirn::FindTag(kText, Code("abcd")), nullptr);

    // Control+S applies.
    auto* info = new TagInfoWindow(pirn::FindTag(kText, Code("abcd")));
    Type(info->GetNameBox(), "Keyed");
    ActivateWindow(info->GetNameBox(), pirn::kFocusByProgram);
    Key('S', {kKeyLeftControl});
    EXPECT_TRUE(Exists(LocalFile("Text", "Keyed")));
    EXPECT_EQ(Title(info), "Tag Info: Keyed");
}

TEST(TagInfoChange, TheCheckOrderHoldsWithoutAWindow) {
    EXPECT_EQ(pirn::ApplyTagInfo(nullptr, "a", "abcd", 1).error, pirn::TagInfoError::kChangeFailed);
    EXPECT_EQ(pirn::TagInfoErrorText(pirn::TagInfoError::kChangeFailed, "x"),
              "The tag information could not be changed because of an error.");
}

}  // namespace
}  // namespace pirn_test
