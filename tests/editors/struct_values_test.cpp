// Values as the forms show and write them: the lower-bound rule, integer fit
// checks, rounding, scaled numbers, bits and item places.

#include "editors/struct_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editors/struct_data.h"
#include "editors/struct_definition.h"
#include "editors/struct_registry.h"
#include "tests/editors/grammar_record.h"

using namespace pirn;
using namespace editors_test;

namespace {

class StructValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadDefinitionsFrom(DefinitionsDir("grammar"));
        wind = FindStructDefinition("wind");
        ASSERT_NE(wind, nullptr);
        record = std::make_unique<StructData>(*wind);
        std::FILE* f = StreamOf(GrammarWindRecord());
        ASSERT_EQ(ReadStruct(*record, f), 112u);
        std::fclose(f);
        scope.record = record.get();
    }
    void TearDown() override { ForgetDefinitions(); }

    const StructMember& M(const char* name) { return *FindStructMember(*wind, name); }
    i64 Stored(const char* name, u32 index = 0) { return ReadMemberElement(*record, M(name), index); }

    const StructDefinition* wind = nullptr;
    std::unique_ptr<StructData> record;
    StructScope scope;
};

}  // namespace

TEST_F(StructValuesTest, LowerBoundRuleReadsAndWritesFromTheBound) {
    // height_max counts from height_min (-1024): stored 1 shows the bound and
    // is written back as 0.
    ASSERT_TRUE(StoreMemberElement(*record, M("height_max"), 0, 1));
    EXPECT_EQ(ReadMemberValue(scope, M("height_max"), 0), -1024);
    ASSERT_TRUE(WriteMemberValue(scope, M("height_max"), 0, -1024));
    EXPECT_EQ(Stored("height_max"), 0);
    ASSERT_TRUE(WriteMemberValue(scope, M("height_max"), 0, -1000));
    EXPECT_EQ(Stored("height_max"), 25);

    struct Refusal {
        const char* member;
        u32 index;
        i64 value;
        const char* why;
    } refusals[] = {
        {"height_max", 0, -1025, "one below the bound would store 0 and read back as the bound"},
        {"height_max", 0, -1024 + 32767, "stored value past the short's range"},
        {"level_caps", 0, 9, "an unsigned member cannot count below its bound"},
        {"level_caps", 2, 30 + 65535, "stored 65536 does not fit a word"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.why);
        const i64 before = Stored(r.member, r.index);
        EXPECT_FALSE(WriteMemberValue(scope, M(r.member), r.index, r.value));
        EXPECT_EQ(Stored(r.member, r.index), before);
    }
    // A negative signed bound is read by its own sign rule on both sides, so
    // an unsigned member counting from it reads back what was written.
    ASSERT_TRUE(WriteMemberValue(scope, M("level_caps"), 1, -19));
    EXPECT_EQ(Stored("level_caps", 1), 2);
    EXPECT_EQ(ReadMemberValue(scope, M("level_caps"), 1), -19);
    ASSERT_TRUE(WriteMemberValue(scope, M("level_caps"), 2, 30 + 65534));
    EXPECT_EQ(ReadMemberValue(scope, M("level_caps"), 2), 30 + 65534);
}

TEST_F(StructValuesTest, IntegerFieldsTakeOnlyWhatFitsTheirMember) {
    struct Case {
        const char* member;
        i64 value;
        bool fits;
    } cases[] = {
        {"mask", 4294967295LL, true},  {"mask", 4294967296LL, false}, {"mask", -1, false},
        {"seed", 2147483647, true},    {"seed", -2147483648LL, true}, {"seed", 2147483648LL, false},
        {"turns", -32768, true},       {"turns", 32768, false},       {"flags", 65535, true},
        {"flags", -1, false},          {"bias", -128, true},          {"bias", 128, false},
        {"effect_count", 255, true},   {"effect_count", 300, false},  {"effect_count", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + std::to_string(c.value));
        EXPECT_EQ(IntegerFitsMember(M(c.member), c.value), c.fits);
        const i64 before = Stored(c.member);
        EXPECT_EQ(WriteMemberValue(scope, M(c.member), 0, c.value), c.fits);
        EXPECT_EQ(Stored(c.member), c.fits ? c.value : before) << "refused values leave the field as it was";
    }
    i64 typed = 0;
    ASSERT_TRUE(ParseMemberInteger(" 4294967295 ", &typed));
    EXPECT_EQ(typed, 4294967295LL);
    EXPECT_EQ(FormatMemberInteger(Stored("mask")), "4294967295");
    for (const char* bad : {"", "12a", "1.5", "--1", "0x10", "99999999999999999999"})
        EXPECT_FALSE(ParseMemberInteger(bad, &typed)) << bad;
    EXPECT_EQ(ReadMemberElement(*record, M("levels"), 3), 0) << "no element past the count";
    EXPECT_FALSE(StoreMemberElement(*record, M("levels"), 3, 1));
}

TEST(RoundToDigits, RoundsHalfAwayFromZeroAndNeverWraps) {
    struct Case {
        double x;
        i64 digits;
        double expected;
    } cases[] = {
        {1.23456, 3, 1.235}, {-1.23456, 3, -1.235}, {2.5, 0, 3},          {-2.5, 0, -3},
        {0.0004, 3, 0},      {1.5, 1, 1.5},         {1e12, 3, 1e12},      {-5e15, 0, -5e15},
        {3.14159, 100, 3.14159}, {2.7, -4, 3},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(RoundToDigits(c.x, c.digits), c.expected) << c.x << " " << c.digits;
}

TEST_F(StructValuesTest, ScaledMembersShowTheirUnits) {
    struct Case {
        const char* member;
        double shown;
    } cases[] = {
        {"strength", 2.5}, {"period", 1.5}, {"reach", -1},     {"drag", 1.5},   {"gust", 1},
        {"height_min", -2}, {"calm", 1.0},  {"scale", 1.5},    {"spin", 2700}, {"heading", 90},
        {"opacity", 0.5},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(MemberDisplayValue(scope, M(c.member), 0), c.shown) << c.member;
    EXPECT_EQ(MemberShownDigits(M("heading")), 0);
    EXPECT_EQ(MemberShownDigits(M("drag")), 4);
}

TEST_F(StructValuesTest, TypedNumbersAreScaledRoundedAndClampedToTheElement) {
    struct Case {
        const char* member;
        double typed;
        i64 stored;
    } cases[] = {
        {"opacity", 2, 255},       // 1/256 scale, one unsigned byte
        {"calm", -1, 0},           // unsigned 2 bytes
        {"scale", 200, 32767},     // signed 2 bytes
        {"period", 1.5, 45},       {"period", 1e12, 2147483647}, {"period", -1e12, -2147483647LL - 1},
        {"heading", 90, 16384},    {"heading", 0.001, 0},        {"drag", -0.5, -32768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + std::to_string(c.typed));
        ASSERT_TRUE(WriteMemberDisplayValue(scope, M(c.member), 0, c.typed));
        EXPECT_EQ(Stored(c.member), c.stored);
    }
    i64 stored = 0;
    EXPECT_FALSE(ScaledRealToInteger(M("period"), std::nan(""), &stored));
    EXPECT_FALSE(ScaledRealToInteger(M("period"), std::numeric_limits<double>::infinity(), &stored));
    EXPECT_FALSE(WriteMemberDisplayValue(scope, M("strength"), 0, 1e300)) << "no float holds it";
    ASSERT_TRUE(WriteMemberDisplayValue(scope, M("strength"), 0, -0.25));
    EXPECT_DOUBLE_EQ(MemberDisplayValue(scope, M("strength"), 0), -0.25);
    // A lower-bounded scaled field writes through the bound rule.
    ASSERT_TRUE(WriteMemberDisplayValue(scope, M("height_max"), 0, -2.0));
    EXPECT_EQ(Stored("height_max"), 0);
    EXPECT_FALSE(WriteMemberDisplayValue(scope, M("height_max"), 0, -2.0 - 1.0 / 512)) << "one below the bound";
    ASSERT_TRUE(WriteMemberDisplayValue(scope, M("height_max"), 0, -3.0)) << "a signed count may go below";
    EXPECT_EQ(Stored("height_max"), -511);
}

TEST_F(StructValuesTest, BitsAndItemPlacesStayInsideTheirMember) {
    EXPECT_TRUE(ReadMemberBit(scope, M("flags"), 0, 15));
    EXPECT_TRUE(ReadMemberBit(scope, M("flags"), 0, 0));
    EXPECT_FALSE(ReadMemberBit(scope, M("flags"), 0, 1));
    ASSERT_TRUE(WriteMemberBit(scope, M("flags"), 0, 15, false));
    EXPECT_EQ(Stored("flags"), 1);
    // The sign bit of a char is a bit like any other.
    ASSERT_TRUE(WriteMemberBit(scope, M("bias"), 0, 7, false));
    EXPECT_EQ(Stored("bias"), 0);
    ASSERT_TRUE(WriteMemberBit(scope, M("bias"), 0, 7, true));
    EXPECT_EQ(Stored("bias"), -128);

    struct Place {
        const char* member;
        i64 index;
        i64 bit;
        bool index_ok;
        bool bit_ok;
    } places[] = {
        {"flags", 0, 15, true, true},  {"flags", 0, 16, true, false}, {"flags", 1, 0, false, true},
        {"bias", 0, 8, true, false},   {"mask", 0, 31, true, true},   {"levels", 2, 0, true, true},
        {"levels", 3, 0, false, true}, {"tint", 3, 0, true, true},    {"seed", -1, -1, false, false},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.member);
        EXPECT_EQ(IsValidItemIndex(M(p.member), p.index), p.index_ok);
        EXPECT_EQ(IsValidItemBit(M(p.member), p.bit), p.bit_ok);
    }
    EXPECT_FALSE(WriteMemberBit(scope, M("flags"), 0, 16, true));
    EXPECT_FALSE(WriteMemberBit(scope, M("levels"), 3, 0, true));
    EXPECT_EQ(Stored("flags"), 1);
}

TEST_F(StructValuesTest, MembersAreFoundFromTheInnermostRecordOutwards) {
    const StructDefinition& effect = *M("effects").nested;
    StructData element(effect, GetMemberAddress(*record, M("effects")));
    StructScope inner{&element, &scope};
    EXPECT_EQ(FindScopedMember(inner, "delay").record, &element);
    EXPECT_EQ(FindScopedMember(inner, "seed").record, record.get());
    EXPECT_EQ(FindScopedMember(inner, "nothing").member, nullptr);
    EXPECT_EQ(FindScopedMember(inner, "").member, nullptr);
    EXPECT_EQ(FindRecordHolding(inner, M("seed")), record.get());
    EXPECT_EQ(FindRecordHolding(scope, *FindStructMember(effect, "delay")), nullptr);
    EXPECT_EQ(ReadMemberValue(scope, *FindStructMember(effect, "delay"), 0), 0) << "not in scope: nothing read";
    EXPECT_FALSE(WriteMemberValue(scope, *FindStructMember(effect, "delay"), 0, 1));
}
