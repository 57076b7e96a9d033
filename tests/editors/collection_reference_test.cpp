// Collection references ('core'): the 384-byte record from hand-built bytes,
// and resolving a 'core' tag of the Codex to the collection it names.

#include "editors/collection_reference.h"

#include <gtest/gtest.h>

#include "codex/codex.h"
#include "codex/tag_header.h"
#include "platform/scratch_stream.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/editors/editors_test_support.h"
#include "tests/support/test_support.h"
#include "platform/log_capture.h"

using namespace pirn;
using editors_test::Bytes;
using editors_test::StreamContents;
using editors_test::StreamOf;

namespace {

// collection, 166 carried words, 24 reserved words.
std::vector<u8> RecordBytes(const char (&collection)[5], u16 reserved) {
    Bytes b;
    b.Code(collection);
    for (u32 i = 0; i < 166; ++i) b.U16(u16(i * 397 + 1));
    for (u32 i = 0; i < 24; ++i) b.U16(reserved);
    return b.data;
}

}  // namespace

TEST(CollectionReference, ReadsTheRecordAndWritesTheReservedWordsAsZero) {
    std::FILE* in = StreamOf(RecordBytes("f001", 0xABCD));
    CollectionReference record;
    ASSERT_EQ(ReadCollectionReference(&record, in), 384u);
    std::fclose(in);
    EXPECT_EQ(record.collection, MakeFourCC("f001"));
    EXPECT_EQ(record.values[0], 1);
    EXPECT_EQ(record.values[165], u16(165 * 397 + 1));
    for (u16 w : record.reserved) EXPECT_EQ(w, 0);

    std::FILE* out = pirn::OpenScratchFile();
    ASSERT_EQ(WriteCollectionReference(record, out), 384u);
    EXPECT_EQ(StreamContents(out), RecordBytes("f001", 0));
    std::fclose(out);
}

TEST(CollectionReference, ShortDataLoadsNoRecord) {
    std::vector<u8> bytes = RecordBytes("f001", 0);
    TagHeader header{};
    header.data_length = 384;
    std::FILE* whole = StreamOf(bytes);
    EXPECT_NE(LoadCollectionReference(whole, header), nullptr);
    std::fclose(whole);
    header.data_length = 383;
    std::FILE* claimed_short = StreamOf(bytes);
    EXPECT_EQ(LoadCollectionReference(claimed_short, header), nullptr);
    std::fclose(claimed_short);
    bytes.resize(200);
    header.data_length = 384;
    std::FILE* truncated = StreamOf(bytes);
    EXPECT_EQ(LoadCollectionReference(truncated, header), nullptr);
    std::fclose(truncated);
    EXPECT_EQ(LoadCollectionReference(nullptr, header), nullptr);
}

class CoreCollectionIdTest : public ::testing::Test {
protected:
    void SetUp() override { UnloadCodex(); }
    void TearDown() override { EXPECT_EQ(UnloadCodex(), 1); }

    void WriteCore(const char (&id)[5], const std::string& name, const std::vector<u8>& data) {
        codex_fixture::Tag tag{MakeFourCC("core"), MakeFourCC(id), name, data};
        pirn_test::WriteAll(dir.path() + "/local/Collection References/" + name, codex_fixture::TagFile(tag));
    }

    pirn_test::TempDir dir;
    ScopedLogCapture quiet;
};

TEST_F(CoreCollectionIdTest, ResolvesThroughTheTagsRecord) {
    WriteCore("cr01", "Whole", RecordBytes("c256", 0));
    WriteCore("cr02", "Dangling", RecordBytes("gone", 0));
    std::vector<u8> short_record = RecordBytes("c256", 0);
    short_record.resize(383);
    WriteCore("cr03", "Short", short_record);
    SetLocalFolder(dir.path() + "/local");

    EXPECT_EQ(CoreCollectionId(MakeFourCC("cr01")), MakeFourCC("c256"));
    EXPECT_EQ(CoreCollectionId(MakeFourCC("cr02")), MakeFourCC("gone")) << "the id, whether or not a collection has it";
    EXPECT_EQ(CoreCollectionId(MakeFourCC("cr03")), kNoTagId);
    EXPECT_EQ(CoreCollectionId(MakeFourCC("none")), kNoTagId);
    EXPECT_EQ(FindTag(MakeFourCC("core"), MakeFourCC("cr01"))->read_stream, nullptr) << "the tag is closed again";
}
