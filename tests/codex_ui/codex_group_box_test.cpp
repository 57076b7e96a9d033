// The Codex group box: which tags it lists and in what order, its
// selection as a tag id, and its choice kept as a dialog field.

#include "codex/ui/codex_group_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pref_store.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "ui/remembered_dialog_fields.h"

namespace pirn_test {
namespace {

using namespace codex_fixture;

const u32 kCollection = Code(".256");

class CodexGroupBoxTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        Prefs().Clear();
        // Active base archive, inactive extra archive, and a local tag.
        base_ = AddArchiveBytes("base", ArchiveBytes(2, 0, "Base", {Tag{kCollection, Code("knig"), "Knight", Data("k")},
                                                                   Tag{kCollection, Code("arch"), "archer", Data("a")},
                                                                   Tag{Code("text"), Code("note"), "Note", Data("n")}}));
        extra_ = AddArchiveBytes("extra", ArchiveBytes(5, 1, "Extra", {Tag{kCollection, Code("drag"), "Dragon", Data("d")}}));
        pirn::SetWorkingSet({base_});
        WriteLocal("Collections", "Bishop", TagFile(Tag{kCollection, Code("bish"), "Bishop", Data("b")}));
        pirn::PollLocalFolder(true);
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "dialog");
        SetFrame(owner_, Rect{0, 0, 400, 300});
    }
    void TearDown() override {
        Prefs().Clear();
        CodexWindowTest::TearDown();
    }
    static std::vector<std::string> Entries(pirn::CodexGroupBox* box) {
        std::vector<std::string> names;
        for (ListItem* i = box->GetList()->FirstRow(); i; i = box->GetList()->NextRow(i)) names.push_back(i->text);
        return names;
    }
    pirn::Archive* base_ = nullptr;
    pirn::Archive* extra_ = nullptr;
    Window* owner_ = nullptr;
};

TEST_F(CodexGroupBoxTest, ListsTheAvailableTagsOfItsGroupByName) {
    auto* box = new pirn::CodexGroupBox(kCollection, owner_, 0);
    EXPECT_STREQ(box->GetClassName(), "CodexGroupBox");
    // Not the dragon: only the inactive archive holds it.
    EXPECT_EQ(Entries(box), (std::vector<std::string>{"Bishop", "Knight", "archer"}));
    EXPECT_EQ(box->GetSelectedTag(), nullptr);
    EXPECT_EQ(box->GetSelectedTagId(), 0xFFFFFFFFu);

    box->SelectTag(Code("knig"));
    EXPECT_EQ(box->GetSelectedTag(), pirn::FindTag(kCollection, Code("knig")));
    EXPECT_EQ(box->GetSelectedTagId(), Code("knig"));
    EXPECT_EQ(box->GetField()->GetText(), "Knight");

    // An id no available tag has leaves nothing selected.
    box->SelectTag(Code("drag"));
    EXPECT_EQ(box->GetSelectedTag(), nullptr);
    EXPECT_EQ(box->GetSelectedTagId(), 0xFFFFFFFFu);

    // 0xFFFFFFFF empties the box and keeps the group.
    box->Fill(0xFFFFFFFF);
    EXPECT_TRUE(Entries(box).empty());
    EXPECT_EQ(box->GetGroup(), kCollection);
    box->Fill(Code("soun"));
    EXPECT_TRUE(Entries(box).empty());
    EXPECT_EQ(box->GetSelectedTagId(), 0xFFFFFFFFu);
}

TEST_F(CodexGroupBoxTest, ADialogKeepsItsChoiceAsTheTagId) {
    auto* box = new pirn::CodexGroupBox(kCollection, owner_, 0);
    box->SelectTag(Code("bish"));
    pirn::PersistDialogState("AutoUpResDialog", 1, "Source", box, nullptr);
    std::string stored;
    ASSERT_TRUE(GetPrefString("AutoUpResDialog.Source", &stored));
    EXPECT_EQ(stored, "bish");

    auto* again = new pirn::CodexGroupBox(kCollection, owner_, 0);
    pirn::PersistDialogState("AutoUpResDialog", 0, "Source", again, nullptr);
    EXPECT_EQ(again->GetSelectedTagId(), Code("bish"));

    // Ids with zero bytes are cut there; a tag that is gone restores nothing.
    struct Case {
        std::string stored;
        u32 selected;
    } cases[] = {
        {"knig", Code("knig")},
        {"knight", Code("knig")},  // the first four bytes
        {"drag", 0xFFFFFFFF},
        {"", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        SetPrefString("AutoUpResDialog.Source", c.stored);
        pirn::PersistDialogState("AutoUpResDialog", 0, "Source", again, nullptr);
        EXPECT_EQ(again->GetSelectedTagId(), c.selected);
    }
    WriteLocal("Collections", "Short", TagFile(Tag{kCollection, 0x41420000, "Short", Data("s")}));
    pirn::PollLocalFolder(true);
    again->SelectTag(0x41420000);  // listed afresh: it appeared after the box was filled
    pirn::PersistDialogState("D", 1, "Source", again, nullptr);
    ASSERT_TRUE(GetPrefString("D.Source", &stored));
    EXPECT_EQ(stored, "AB");
}

}  // namespace
}  // namespace pirn_test
