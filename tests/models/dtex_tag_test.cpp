// Detail-texture tags as shared resources: stored form, new textures,
// sharing and reverting.

#include <gtest/gtest.h>

#include "models/dtex_codec.h"
#include "models/dtex_tag.h"
#include "tests/codex/codex_test_fixture.h"

namespace {

using pirn::fixture::BigEndianBuffer;
using codex_fixture::Code;
using codex_fixture::Tag;
using codex_fixture::TagFile;
using pirn::u32;
using pirn::u8;

class DtexTagTest : public codex_fixture::CodexTest {
protected:
    void TearDown() override {
        auto& resources = pirn::DtexResources().resources;
        while (!resources.empty()) {
            pirn::Resource* r = resources.begin()->second;
            r->reference_count = 1;
            pirn::ReleaseResource(&pirn::DtexResources(), r);
        }
        CodexTest::TearDown();
    }

    // A local 'dtex' tag file: the 16-byte record, then the stream.
    void WriteDtex(const std::string& name, u32 id, u32 record_width, u32 record_height, u32 reserved,
                   const std::vector<u8>& stream) {
        pirn::fixture::BigEndianBuffer data;
        data.PutU32(record_width);
        data.PutU32(record_height);
        data.PutU32(0xDEADBEEF);  // the pixel reference is ignored
        data.PutU32(reserved);
        data.PutBytes(stream);
        WriteLocal("Detail Textures", name, TagFile(Tag{Code("dtex"), id, name, data.bytes()}));
    }
};

// The 1 x 1 stream (0x12, 0x34, 0x56) worked out by hand.
const std::vector<u8> kOnePixelStream = {12, 0, 0, 0, 0x2E, 0x01, 0x10, 0x00, 0x00, 0x96, 0x34, 0xC9, 0, 0, 0, 0};

TEST_F(DtexTagTest, ReadsTheRecordAndTakesTheSizeFromTheCodec) {
    WriteDtex("Dot", Code("dot1"), 5, 9, 7, kOnePixelStream);
    pirn::PollLocalFolder(true);
    pirn::DtexTag* dtex = pirn::DtexResources().Find(Code("dtex"), Code("dot1"));
    ASSERT_NE(dtex, nullptr);
    EXPECT_EQ(dtex->width, 1u);
    EXPECT_EQ(dtex->height, 1u);
    EXPECT_EQ(dtex->reserved, 7u);
    EXPECT_EQ(dtex->pixels, (std::vector<u8>{0x12, 0x34, 0x56}));
    EXPECT_STREQ(dtex->GetClassName(), "DtexTag");
}

TEST_F(DtexTagTest, DamagedTexturesAreNotLoaded) {
    std::vector<u8> cut(kOnePixelStream.begin(), kOnePixelStream.end() - 4);
    std::vector<u8> long_length = kOnePixelStream;
    long_length[0] = 200;
    WriteDtex("Cut", Code("cut1"), 1, 1, 0, cut);
    WriteDtex("Long", Code("lon1"), 1, 1, 0, long_length);
    WriteLocal("Detail Textures", "Tiny", TagFile(Tag{Code("dtex"), Code("tin1"), "Tiny", {0, 0, 0, 1}}));
    pirn::PollLocalFolder(true);
    for (u32 id : {Code("cut1"), Code("lon1"), Code("tin1")}) {
        EXPECT_EQ(pirn::DtexResources().Find(Code("dtex"), id), nullptr);
        EXPECT_EQ(pirn::FindTagAttachment(pirn::FindTag(Code("dtex"), id), pirn::kAttachResource), nullptr);
    }
}

TEST_F(DtexTagTest, NewTextureIsTheCheckerboardAndSavesAsRecordAndStream) {
    pirn::DtexTag* dtex = pirn::DtexResources().Create(Code("dtex"), "Board", 0xFFFFFFFF);
    ASSERT_NE(dtex, nullptr);
    EXPECT_EQ(CountEvents(pirn::kCodexDataChanged), 1u);
    ASSERT_EQ(dtex->width, 256u);
    ASSERT_EQ(dtex->height, 256u);
    auto pixel = [&](u32 x, u32 y) { return dtex->pixels[(size_t(y) * 256 + x) * 3]; };
    EXPECT_EQ(pixel(0, 0), 0);
    EXPECT_EQ(pixel(15, 15), 0);
    EXPECT_EQ(pixel(16, 0), 255);
    EXPECT_EQ(pixel(0, 16), 255);
    EXPECT_EQ(pixel(16, 16), 0);
    EXPECT_EQ(pixel(255, 0), 255);

    ASSERT_EQ(dtex->Save(), 1);
    std::vector<u8> file = pirn_test::ReadAll(Local() + "Detail Textures/Board");
    ASSERT_GT(file.size(), 80u);
    EXPECT_EQ(codex_fixture::ReadU32(file, 64), 256u);
    EXPECT_EQ(codex_fixture::ReadU32(file, 68), 256u);
    EXPECT_EQ(codex_fixture::ReadU32(file, 72), 0u);
    EXPECT_EQ(codex_fixture::ReadU32(file, 76), 0u);
    std::vector<u8> stream;
    pirn::EncodeDtexBytes(dtex->pixels.data(), 256, 256, &stream);
    EXPECT_EQ(std::vector<u8>(file.begin() + 80, file.end()), stream);
    EXPECT_EQ(codex_fixture::ReadU32(file, 48), u32(16 + stream.size()));  // data length
}

TEST_F(DtexTagTest, SharedTextureRevertsOnlyWhenSomeoneElseUsesIt) {
    WriteDtex("Dot", Code("dot1"), 1, 1, 0, kOnePixelStream);
    pirn::PollLocalFolder(true);
    pirn::DtexTag* editor = pirn::DtexResources().Find(Code("dtex"), Code("dot1"));
    ASSERT_NE(editor, nullptr);
    editor->pixels = {1, 2, 3};
    EXPECT_EQ(pirn::RevertSharedDtex(editor), 1);
    EXPECT_EQ(editor->pixels, (std::vector<u8>{1, 2, 3}));  // nobody else: left alone

    pirn::DtexTag* terrain = pirn::DtexResources().Find(Code("dtex"), Code("dot1"));
    EXPECT_EQ(terrain, editor);
    EXPECT_EQ(editor->reference_count, 2u);
    EXPECT_EQ(pirn::RevertSharedDtex(editor), 1);
    EXPECT_EQ(editor->pixels, (std::vector<u8>{0x12, 0x34, 0x56}));
    EXPECT_FALSE(editor->uploaded);
}

TEST_F(DtexTagTest, SetPixelsCopiesAndTellsListeners) {
    pirn::DtexTag* dtex = pirn::DtexResources().Create(Code("dtex"), "Board", 0xFFFFFFFF);
    ASSERT_NE(dtex, nullptr);
    dtex->uploaded = true;
    events.clear();
    std::vector<u8> rgb = {9, 8, 7, 6, 5, 4};
    dtex->SetPixels(rgb.data(), 2, 1);
    rgb[0] = 0;
    EXPECT_EQ(dtex->pixels, (std::vector<u8>{9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(dtex->width, 2u);
    EXPECT_FALSE(dtex->uploaded);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].event, pirn::kCodexDataChanged);
    EXPECT_EQ(events[0].tag_id, dtex->tag()->tag_id);
}

}  // namespace
