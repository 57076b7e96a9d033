#include "codex/tag_group.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "codex/tag_entry.h"

using namespace pirn;

TEST(TagGroup, TableRowsInOrder) {
    struct Row {
        u32 index;
        const char* code;
        const char* plural;
        const char* singular;
    } rows[] = {
        {0, "amso", "Ambient Sounds", "Ambient Sound"},
        {4, ".256", "Collections", "Collection"},
        {9, "bina", "Dialogs", "Dialog"},
        {11, "form", "Formations", "Formations"},
        {20, "mesh", "Meshes", "Mesh"},
        {31, "save", "Saved Games", "Save"},
        {38, "text", "Text", "Text"},
        {41, "txst", "Texture Stacks", "Texture Stack"},
        {52, "quik", "Quicktime/MP3", "Quicktime/MP3"},
    };
    for (const Row& r : rows) {
        const TagGroupInfo& g = TagGroupTable[r.index];
        u32 code;
        ASSERT_TRUE(ParseFourCC(r.code, &code));
        EXPECT_EQ(g.code, code) << r.index;
        EXPECT_STREQ(g.plural_label, r.plural);
        EXPECT_STREQ(g.singular_label, r.singular);
        EXPECT_EQ(TagGroupIndex(code), static_cast<int>(r.index));
        EXPECT_EQ(FindTagGroup(code), &g);
    }
    // Codes and plural labels (the local subfolder names) are unique.
    std::set<u32> codes;
    std::set<std::string> labels;
    for (u32 i = 0; i < kTagGroupCount; ++i) {
        codes.insert(GetTagGroupTable()[i].code);
        labels.insert(GetTagGroupTable()[i].plural_label);
        EXPECT_EQ(TagGroupTable[i].factory, nullptr);
    }
    EXPECT_EQ(codes.size(), 53u);
    EXPECT_EQ(labels.size(), 53u);
}

TEST(TagGroup, LabelsOfUnknownCodesAreTheCode) {
    EXPECT_STREQ(GetTagGroupLabel(MakeFourCC("WXYZ")), "WXYZ");
    EXPECT_STREQ(GetTagGroupLabel(MakeFourCC("dtex")), "Detail Textures");
    EXPECT_EQ(TagGroupLabelText(MakeFourCC("QQQQ")), "QQQQ");
    EXPECT_EQ(FindTagGroup(MakeFourCC("WXYZ")), nullptr);
    EXPECT_EQ(FindTagGroup(0x2E323537u), nullptr) << "codes compare as values";
}

namespace {
TagEdit* const kFirstEditor = reinterpret_cast<TagEdit*>(0x1000);
TagEdit* const kSecondEditor = reinterpret_cast<TagEdit*>(0x2000);
u32 g_called_with_code = 0;
TagEdit* FirstFactory(TagEntry*, TagGroupInfo*, u32 code) {
    g_called_with_code = code;
    return kFirstEditor;
}
TagEdit* SecondFactory(TagEntry*, TagGroupInfo* group, u32 code) {
    g_called_with_code = code;
    return group == FindTagGroup(code) ? kSecondEditor : nullptr;
}
}  // namespace

TEST(TagGroup, EditorRegistrationKeepsTheLaterFactory) {
    TagEntry tag;
    tag.group = MakeFourCC("text");
    EXPECT_EQ(MakeTagEditor(&tag), nullptr) << "no factory: cannot be opened";
    SetTagGroupEditor(MakeFourCC("text"), FirstFactory);
    EXPECT_EQ(MakeTagEditor(&tag), kFirstEditor);
    SetTagGroupEditor(MakeFourCC("text"), SecondFactory);
    EXPECT_EQ(MakeTagEditor(&tag), kSecondEditor);
    EXPECT_EQ(g_called_with_code, MakeFourCC("text"));
    SetTagGroupEditor(MakeFourCC("WXYZ"), FirstFactory);  // ignored
    tag.group = MakeFourCC("WXYZ");
    EXPECT_EQ(MakeTagEditor(&tag), nullptr);
    ClearTagGroupEditors();
    tag.group = MakeFourCC("text");
    EXPECT_EQ(MakeTagEditor(&tag), nullptr);
}
