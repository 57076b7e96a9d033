// The member type table: element names, codes, sizes, sign rules, scales.

#include "editors/member_type.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pirn;

TEST(MemberTypes, EveryElementNameHasItsCodeSizeSignAndScale) {
    struct Row {
        const char* name;
        u32 code;
        u32 size;
        bool is_unsigned;
        double scale;  // 0: not shown as a number
    } rows[] = {
        {"padding", 0, 1, false, 0},
        {"substruct", 1, 0, false, 0},
        {"real", 2, 4, false, 1},
        {"tag", 3, 4, false, 0},
        {"long", 4, 4, false, 1},
        {"ulong", 5, 4, true, 1},
        {"long_time", 6, 4, false, 1.0 / 30},
        {"long_world", 7, 4, false, 1.0 / 512},
        {"fixed", 9, 4, false, 1.0 / 65536},
        {"short", 10, 2, false, 1},
        {"word", 11, 2, true, 1},
        {"short_time", 12, 2, false, 1.0 / 30},
        {"short_world", 13, 2, false, 1.0 / 512},
        {"short_enum", 14, 2, false, 0},
        {"sequence_index", 15, 2, false, 0},
        {"fixed_fraction", 16, 2, true, 1.0 / 65536},
        {"short_fixed", 17, 2, false, 1.0 / 256},
        {"angular_velocity", 18, 2, false, 10800.0 / 65536},
        {"angle", 19, 2, false, 360.0 / 65536},
        {"char", 20, 1, false, 1},
        {"byte", 21, 1, true, 1},
        {"byte_enum", 22, 1, false, 0},
        {"short_fixed_fraction", 23, 1, true, 1.0 / 256},
        {"color", 24, 2, false, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const MemberTypeInfo* info = FindMemberType(r.name);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->code, r.code);
        EXPECT_EQ(info, GetMemberTypeInfo(r.code));
        EXPECT_EQ(info->element_size, r.size);
        EXPECT_EQ(IsUnsignedMemberType(r.code), r.is_unsigned);
        EXPECT_DOUBLE_EQ(MemberTypeScale(r.code), r.scale);
    }
    // Code 8 exists in the numbering but no element makes it.
    ASSERT_NE(GetMemberTypeInfo(8), nullptr);
    EXPECT_EQ(GetMemberTypeInfo(8)->element_name, nullptr);
    EXPECT_EQ(GetMemberTypeInfo(25), nullptr);
    for (const char* unknown : {"Long", "integer", "", "long "}) EXPECT_EQ(FindMemberType(unknown), nullptr) << unknown;
}

TEST(MemberTypes, FieldKindsFollowTheFormTable) {
    for (u32 code : {2u, 6u, 7u, 9u, 12u, 13u, 16u, 17u, 18u, 19u, 23u}) EXPECT_TRUE(IsRealFieldType(code)) << code;
    for (u32 code : {4u, 5u, 10u, 11u, 20u, 21u}) EXPECT_TRUE(IsIntegerFieldType(code)) << code;
    for (u32 code : {0u, 1u, 3u, 14u, 15u, 22u, 24u}) {
        EXPECT_FALSE(IsRealFieldType(code)) << code;
        EXPECT_FALSE(IsIntegerFieldType(code)) << code;
    }
    EXPECT_TRUE(ShowsWithoutDecimals(18));
    EXPECT_TRUE(ShowsWithoutDecimals(19));
    EXPECT_FALSE(ShowsWithoutDecimals(17));
}
