// Substruct arrays: the count in use from the runtime count, and Add,
// Duplicate and Delete on the record's bytes.

#include "editors/struct_array.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editors/struct_data.h"
#include "editors/struct_definition.h"
#include "editors/struct_registry.h"
#include "tests/editors/grammar_record.h"

using namespace pirn;
using namespace editors_test;

namespace {

class StructArrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadDefinitionsFrom(DefinitionsDir("grammar"));
        wind = FindStructDefinition("wind");
        ASSERT_NE(wind, nullptr);
        effects = FindStructMember(*wind, "effects");
        record = std::make_unique<StructData>(*wind);
        std::FILE* f = StreamOf(GrammarWindRecord());
        ASSERT_EQ(ReadStruct(*record, f), 112u);
        std::fclose(f);
        scope.record = record.get();
    }
    void TearDown() override { ForgetDefinitions(); }

    void SetCount(i64 n) { ASSERT_TRUE(StoreMemberElement(*record, *FindStructMember(*wind, "effect_count"), 0, n)); }
    i64 Count() { return ReadMemberElement(*record, *FindStructMember(*wind, "effect_count"), 0); }
    // Each element's delay word, which the fixture sets to 10, 20, 30, 40.
    std::vector<int> Delays() {
        std::vector<int> delays;
        for (u32 i = 0; i < 4; ++i) {
            const u8* p = ArrayElementAddress(scope, *effects, i);
            u16 v;
            std::memcpy(&v, p + 4, 2);
            delays.push_back(v);
        }
        return delays;
    }

    const StructDefinition* wind = nullptr;
    const StructMember* effects = nullptr;
    std::unique_ptr<StructData> record;
    StructScope scope;
};

}  // namespace

TEST_F(StructArrayTest, CountInUseIsTheRuntimeCountKeptInsideTheArray) {
    struct Case {
        i64 stored;
        u32 in_use;
    } cases[] = {{3, 3}, {0, 0}, {4, 4}, {200, 4}, {255, 4}};
    for (const Case& c : cases) {
        SetCount(c.stored);
        EXPECT_EQ(ArrayCountInUse(scope, *effects), c.in_use) << c.stored;
    }
    // The levels array has no runtime count: all of it is in use, always.
    const StructMember& levels = *FindStructMember(*wind, "levels");
    EXPECT_EQ(ArrayCountInUse(scope, levels), 3u);
    EXPECT_FALSE(SetArrayCountInUse(scope, levels, 1));
    EXPECT_FALSE(CanAddArrayElement(scope, levels));
    EXPECT_FALSE(CanDeleteArrayElement(scope, levels, 0));
    EXPECT_FALSE(CanDuplicateArrayElement(scope, levels, 0));
    EXPECT_TRUE(SetArrayCountInUse(scope, *effects, 99));
    EXPECT_EQ(Count(), 4) << "setting stores at most the array's size";
}

TEST_F(StructArrayTest, AddAndDuplicateOnlyWhileTheArrayHasRoom) {
    SetCount(2);
    EXPECT_TRUE(CanAddArrayElement(scope, *effects));
    EXPECT_FALSE(CanDuplicateArrayElement(scope, *effects, 2)) << "element 2 is not in use";
    EXPECT_TRUE(CanDuplicateArrayElement(scope, *effects, 1));
    EXPECT_EQ(AddArrayElement(scope, *effects, 0), 2);
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(Delays(), (std::vector<int>{10, 20, 10, 40}));
    EXPECT_EQ(AddArrayElement(scope, *effects, -1), 3) << "Add keeps the element's bytes";
    EXPECT_EQ(Delays(), (std::vector<int>{10, 20, 10, 40}));
    // Full: neither Add nor Duplicate, so nothing is written past the array.
    EXPECT_FALSE(CanAddArrayElement(scope, *effects));
    EXPECT_FALSE(CanDuplicateArrayElement(scope, *effects, 0));
    EXPECT_EQ(AddArrayElement(scope, *effects, 0), -1);
    EXPECT_EQ(AddArrayElement(scope, *effects, -1), -1);
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(ArrayElementAddress(scope, *effects, 4), nullptr);
}

TEST_F(StructArrayTest, DeleteMovesTheRestDownAndZeroesWhatIsNoLongerInUse) {
    struct Case {
        i64 count;
        u32 index;
        i64 count_after;
        std::vector<int> delays_after;
    } cases[] = {
        {4, 1, 3, {10, 30, 40, 0}},
        {3, 0, 2, {20, 30, 0, 0}},
        {3, 2, 2, {10, 20, 0, 0}},  // the last in use: nothing moves, it is zeroed
        {1, 0, 0, {0, 0, 0, 0}},    // one element: the count drops to 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count * 10 + c.index);
        SetUp();
        SetCount(c.count);
        ASSERT_TRUE(DeleteArrayElement(scope, *effects, c.index));
        EXPECT_EQ(Count(), c.count_after);
        EXPECT_EQ(Delays(), c.delays_after);
    }
    SetCount(2);
    EXPECT_FALSE(DeleteArrayElement(scope, *effects, 2)) << "not in use";
    SetCount(0);
    EXPECT_FALSE(DeleteArrayElement(scope, *effects, 0));
    EXPECT_FALSE(CanDeleteArrayElement(scope, *effects, -1));
}
