// Struct records through their layouts: hand-built big-endian bytes read into
// the memory form and written back.

#include "editors/struct_data.h"

#include <gtest/gtest.h>

#include "editors/struct_definition.h"
#include "editors/struct_registry.h"
#include "editors/struct_values.h"
#include "platform/scratch_stream.h"
#include "tests/editors/grammar_record.h"

using namespace pirn;
using namespace editors_test;

namespace {

class StructDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadDefinitionsFrom(DefinitionsDir("grammar"));
        wind = FindStructDefinition("wind");
        ASSERT_NE(wind, nullptr);
    }
    void TearDown() override { ForgetDefinitions(); }

    const StructMember& M(const char* name) { return *FindStructMember(*wind, name); }

    const StructDefinition* wind = nullptr;
};

}  // namespace

TEST_F(StructDataTest, ReadsEveryMemberFromBigEndianBytes) {
    const std::vector<u8> disk = GrammarWindRecord();
    ASSERT_EQ(disk.size(), 112u);
    StructData record(*wind);
    std::FILE* f = StreamOf(disk);
    ASSERT_EQ(ReadStruct(record, f), 112u);
    std::fclose(f);

    StructScope scope{&record, nullptr};
    struct Case {
        const char* member;
        u32 index;
        i64 value;
    } cases[] = {
        {"collection", 0, 0x66303031}, {"seed", 0, -2},         {"mask", 0, 4294967295LL}, {"period", 0, 45},
        {"reach", 0, -512},            {"drag", 0, 0x18000},    {"turns", 0, -32768},      {"flags", 0, 0x8001},
        {"gust", 0, 30},               {"height_min", 0, -1024}, {"height_max", 0, -1022},  {"mode", 0, 2},
        {"sequence", 0, -1},           {"calm", 0, 65535},      {"scale", 0, 384},         {"heading", 0, 16384},
        {"bias", 0, -128},             {"effect_count", 0, 3},  {"season", 0, 3},          {"opacity", 0, 128},
        {"levels", 1, -20},      {"level_caps", 0, 10},     {"level_caps", 1, -20},
        {"level_caps", 2, 34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        EXPECT_EQ(ReadMemberValue(scope, M(c.member), c.index), c.value);
    }
    // Color channels are carried as stored; the reader treats them as
    // signed 16-bit numbers like any unnamed member.
    EXPECT_EQ(ReadMemberElement(record, M("tint"), 3), -1);
    EXPECT_EQ(ReadMemberRaw(record, M("tint")), 1u);
    EXPECT_EQ(ReadMemberRaw(record, M("mask")), 0xFFFFFFFFu);
    EXPECT_EQ(ReadMemberRaw(record, M("effects")), 0u) << "8-byte elements are not one number";
    float strength;
    std::memcpy(&strength, GetMemberAddress(record, M("strength")), 4);
    EXPECT_EQ(strength, 2.5f);
    // Substruct elements are swapped by their own layout.
    const StructDefinition& effect = *M("effects").nested;
    StructData second(effect, GetMemberAddress(record, M("effects")) + 8);
    StructScope inner{&second, &scope};
    EXPECT_EQ(ReadMemberValue(inner, *FindStructMember(effect, "delay"), 0), 20);
    EXPECT_EQ(ReadMemberValue(inner, *FindStructMember(effect, "kind"), 0), 0);
    EXPECT_EQ(ReadMemberValue(inner, *FindStructMember(effect, "sound"), 0), 0x66303031);
    EXPECT_EQ(ReadMemberValue(inner, M("seed"), 0), -2) << "members of the parent are reached from inside";
}

TEST_F(StructDataTest, WritesTheSameBytesExceptPaddingWhichBecomesZero) {
    std::vector<u8> expected = GrammarWindRecord();
    StructData record(*wind);
    std::FILE* in = StreamOf(expected);
    ASSERT_EQ(ReadStruct(record, in), 112u);
    std::fclose(in);
    std::FILE* out = pirn::OpenScratchFile();
    ASSERT_EQ(WriteStruct(record, out), 112u);
    for (size_t at : {62, 63, 75, 83, 91, 99}) expected[at] = 0;
    EXPECT_EQ(StreamContents(out), expected);
    std::fclose(out);
}

TEST_F(StructDataTest, ShortStreamsAndEmptyStructsReadNothing) {
    std::vector<u8> disk = GrammarWindRecord();
    disk.resize(111);
    StructData record(*wind);
    std::FILE* f = StreamOf(disk);
    EXPECT_EQ(ReadStruct(record, f), 0u);
    std::fclose(f);
    EXPECT_TRUE(record.owns_bytes());
    EXPECT_EQ(record.size(), 112u);

    const StructDefinition* empty = FindStructDefinition("empty");
    StructData nothing(*empty);
    std::FILE* g = StreamOf({1, 2, 3});
    EXPECT_EQ(ReadStruct(nothing, g), 0u);
    EXPECT_EQ(WriteStruct(nothing, g), 0u);
    std::fclose(g);
}
