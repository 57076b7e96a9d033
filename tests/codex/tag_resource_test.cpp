// Reference-counted tag resources and their 'tres' attachment.

#include <gtest/gtest.h>

#include <string>

#include "codex/tag_resource.h"
#include "tests/codex/codex_test_fixture.h"

namespace {

using codex_fixture::Code;
using codex_fixture::Data;
using codex_fixture::Tag;
using codex_fixture::TagFile;
using pirn::u32;

// A resource holding a text tag's bytes; data starting with "bad" fails
// to decode.
class TextResource : public pirn::TagResource {
public:
    explicit TextResource(pirn::TagEntry* tag) : TagResource(tag) {}
    void InitNew() override { text = "new"; }
    int ReadTag(std::FILE* stream, pirn::TagHeader* tag_header) override {
        text.assign(tag_header->data_length, '\0');
        if (std::fseek(stream, long(tag_header->data_offset), SEEK_SET) != 0) return 0;
        if (std::fread(&text[0], 1, text.size(), stream) != text.size()) return 0;
        return text.rfind("bad", 0) == 0 ? 0 : 1;
    }
    int WriteTag(std::FILE* stream, pirn::TagHeader* tag_header) override {
        tag_header->version = 9;
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && text != "unwritable";
    }
    std::string text;
};

class TagResourceTest : public codex_fixture::CodexTest {
protected:
    void SetUp() override {
        CodexTest::SetUp();
        pirn::SetLocalFolder(Local());
    }
    void TearDown() override {
        for (auto it = manager.resources.begin(); it != manager.resources.end();) {
            pirn::Resource* r = (it++)->second;
            r->reference_count = 1;
            pirn::ReleaseResource(&manager, r);
        }
        CodexTest::TearDown();
    }
    pirn::TagResourceManager<TextResource> manager;
};

TEST_F(TagResourceTest, TwoUsersShareOneResource) {
    AddArchiveBytes("tags/a", codex_fixture::ArchiveBytes(3, 0, "a", {Tag{Code("text"), Code("t001"), "T", Data("hello")}}));
    pirn::SetDefaultWorkingSet();
    TextResource* first = manager.Find(Code("text"), Code("t001"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text, "hello");
    pirn::TagEntry* tag = first->tag();
    EXPECT_EQ(pirn::FindTagAttachment(tag, pirn::kAttachResource), first);
    EXPECT_EQ(pirn::DeleteTag(tag), 0);  // in use

    TextResource* second = manager.FindOrLoad(tag);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->reference_count, 2u);
    pirn::ReleaseResource(&manager, first);
    EXPECT_EQ(pirn::FindCachedResource(&manager, tag), first);
    pirn::ReleaseResource(&manager, first);
    EXPECT_EQ(pirn::FindCachedResource(&manager, tag), nullptr);
    EXPECT_EQ(pirn::FindTagAttachment(tag, pirn::kAttachResource), nullptr);
}

TEST_F(TagResourceTest, UndecodableTagGivesNoneAndNoAttachment) {
    WriteLocal("Text", "Bad", TagFile(Tag{Code("text"), Code("bad1"), "Bad", Data("bad data")}));
    pirn::PollLocalFolder(true);
    EXPECT_EQ(manager.Find(Code("text"), Code("bad1")), nullptr);
    pirn::TagEntry* tag = pirn::FindTag(Code("text"), Code("bad1"));
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(pirn::FindTagAttachment(tag, pirn::kAttachResource), nullptr);
    EXPECT_TRUE(manager.resources.empty());
}

TEST_F(TagResourceTest, NoTagIdAndMissingTagsGiveNone) {
    EXPECT_EQ(manager.Find(Code("text"), 0xFFFFFFFF), nullptr);
    EXPECT_EQ(manager.Find(Code("text"), Code("none")), nullptr);
    EXPECT_EQ(pirn::FindTagEntry(Code("text"), Code("none")), nullptr);
}

TEST_F(TagResourceTest, NewResourceIsWrittenOnlyWhenSaved) {
    TextResource* made = manager.Create(Code("text"), "Fresh Note", 0xFFFFFFFF);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->text, "new");
    EXPECT_EQ(made->reference_count, 1u);
    EXPECT_FALSE(pirn_test::Exists(Local() + "Text/Fresh Note"));
    made->text = "saved text";
    ASSERT_EQ(made->Save(), 1);
    std::vector<pirn::u8> file = pirn_test::ReadAll(Local() + "Text/Fresh Note");
    ASSERT_EQ(file.size(), 64u + 10);
    EXPECT_EQ(std::string(file.begin() + 64, file.end()), "saved text");
    // The version WriteTag put in the header labels the file.
    EXPECT_EQ(codex_fixture::ReadU16(file, 56), 9);

    // A failed write keeps the saved file as it was.
    made->text = "unwritable";
    EXPECT_EQ(made->Save(), 0);
    file = pirn_test::ReadAll(Local() + "Text/Fresh Note");
    EXPECT_EQ(std::string(file.begin() + 64, file.end()), "saved text");
}

}  // namespace
