// DmapEdit on the headless window system: detail maps of both versions,
// hand-built from the format tables, listed with the names of the
// textures their entries name; damaged maps are not opened and nothing is
// ever saved.

#include "models/ui/dmap_edit.h"

#include <gtest/gtest.h>

#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "ui/text_box.h"

namespace pirn_test {
namespace {

using codex_fixture::BigEndianBuffer;
using codex_fixture::Code;
using codex_fixture::Tag;
using codex_fixture::TagFile;
using pirn::DmapEdit;
using pirn::TagEntry;

struct Entry {
    u32 id;
    const char* description;
};

// Version 2: the 256-byte header, the 128 entries at 256, then both planes
// of a 2 x 2 map run-length coded (value, run - 1).
std::vector<u8> Version2(const std::vector<Entry>& entries, u32 width = 2, u32 height = 2) {
    BigEndianBuffer b;
    const u32 table = 256, bytes = table + 128 * 64;
    b.PutU32(width);
    b.PutU32(height);
    b.PutU32(bytes);
    b.PutU32(0);
    b.PutU32(bytes + 2);
    b.PutU32(0);
    b.PutU32(table);
    b.PutZeros(228);
    for (u32 i = 0; i < 128; ++i) {
        b.PutU32(i < entries.size() ? entries[i].id : 0xFFFFFFFF);
        b.PutU8(0);
        b.PutU8(10);
        b.PutU8(20);
        b.PutU8(30);
        b.PutZeros(24);
        b.PutText(i < entries.size() ? entries[i].description : "", 32);
    }
    b.PutU8(0);  // byte plane: four zeros
    b.PutU8(3);
    b.PutU8(1);  // 16-bit plane: eight bytes of 1
    b.PutU8(7);
    return b.bytes();
}

class DmapEditTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        pirn::BindDmapEdit();
        pirn::RegisterTagEditors();
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::UnbindTagEditors();
        pirn::ClearTagGroupEditors();
    }

    TagEntry* WriteMap(const std::string& name, u32 id, const std::vector<u8>& data, u16 version) {
        Tag tag{Code("dmap"), id, name, data};
        tag.version = version;
        WriteLocal("Detail Maps", name, TagFile(tag));
        pirn::PollLocalFolder(true);
        return pirn::FindTag(Code("dmap"), id);
    }
    void WriteTexture(const std::string& name, u32 id) {
        WriteLocal("Detail Textures", name, TagFile(Tag{Code("dtex"), id, name, {0}}));
    }

    DmapEdit* Open(TagEntry* tag) { return dynamic_cast<DmapEdit*>(pirn::OpenTagEditor(tag)); }
};

TEST_F(DmapEditTest, ListsTheTexturesItsEntriesName) {
    WriteTexture("Green Grass", Code("gras"));
    WriteTexture("Wet Sand", Code("sand"));
    TagEntry* tag = WriteMap("Valley", Code("vall"),
                             Version2({{Code("gras"), "Grass"}, {0xFFFFFFFF, "unused"}, {Code("miss"), "Missing"},
                                       {Code("sand"), "Sand"}}),
                             2);
    DmapEdit* editor = Open(tag);
    ASSERT_NE(editor, nullptr);
    EXPECT_STREQ(editor->GetClassName(), "DmapEdit");
    EXPECT_STREQ(editor->GetTitle(), "Valley");
    EXPECT_EQ(editor->GetWidth(), DmapEdit::kSize);
    EXPECT_EQ(editor->GetHeight(), DmapEdit::kSize);
    pirn::TextBox* listing = editor->GetListing();
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->GetKind(), pirn::TextBox::kReadOnlyView);
    EXPECT_EQ(listing->GetFrame(), editor->GetClientRect());
    EXPECT_EQ(pirn::GetFocusWindow(), listing);
    EXPECT_EQ(listing->GetText(), "gras - Green Grass\nmiss - <not found>\nsand - Wet Sand\n");
}

TEST_F(DmapEditTest, AVersion1MapListsItsStoredIds) {
    WriteTexture("Rock", Code("rock"));
    BigEndianBuffer b;
    b.PutU32(2);
    b.PutU32(1);
    b.PutZeros(12);
    for (u32 i = 0; i < 128; ++i) b.PutU32(i == 0 ? Code("rock") : i == 5 ? Code("dirt") : 0xFFFFFFFF);
    for (u32 i = 0; i < 128; ++i) b.PutU8(2);
    b.PutZeros(4);
    b.PutU8(0);
    b.PutU8(5);
    DmapEdit* editor = Open(WriteMap("Old", Code("old1"), b.bytes(), 1));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetListing()->GetText(), "rock - Rock\ndirt - <not found>\n");
}

TEST_F(DmapEditTest, DamagedMapsAreNotOpened) {
    std::vector<u8> cut = Version2({{Code("gras"), "Grass"}});
    cut.resize(cut.size() - 3);  // the planes end early
    const struct {
        const char* what;
        std::vector<u8> data;
        u16 version;
    } damaged[] = {{"planes cut short", cut, 2},
                   {"no cells", Version2({{Code("gras"), "Grass"}}, 0, 2), 2},
                   {"cells past the data", Version2({{Code("gras"), "Grass"}}, 65536, 65537), 2},
                   {"header cut short", std::vector<u8>(100, 0), 2},
                   {"unknown version", Version2({}), 3}};
    u32 id = Code("bad0");
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.what);
        asked_.clear();
        TagEntry* tag = WriteMap(d.what, ++id, d.data, d.version);
        ASSERT_NE(tag, nullptr);
        Answer(0);
        EXPECT_EQ(Open(tag), nullptr);
        ASSERT_EQ(asked_.size(), 1u);
        EXPECT_EQ(asked_[0].text, "The tag could not be loaded.");
        IdleFrame();
        EXPECT_EQ(pirn::GetTagUseCount(tag), 0u);
    }
}

TEST_F(DmapEditTest, SavingIsRefusedAndTheFileKept) {
    TagEntry* tag = WriteMap("Keep", Code("keep"), Version2({{Code("gras"), "Grass"}}), 2);
    const std::vector<u8> before = ReadAll(LocalFile("Detail Maps", "Keep"));
    DmapEdit* editor = Open(tag);
    ASSERT_NE(editor, nullptr);
    Answer(0);
    EXPECT_EQ(editor->SaveChanges(), 0);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "The save operation could not be completed.");
    EXPECT_EQ(ReadAll(LocalFile("Detail Maps", "Keep")), before);
}

}  // namespace
}  // namespace pirn_test
