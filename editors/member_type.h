#pragma once
// The member types of a struct definition: the element name a definition
// file uses for each, its element size, whether it reads sign-extended, the
// scale a form shows it at, and which member class holds it.

#include <string>

#include "platform/types.h"

namespace pirn {

enum MemberTypeCode : u32 {
    kMemberPadding = 0,
    kMemberSubstruct = 1,
    kMemberReal = 2,
    kMemberTag = 3,
    kMemberLong = 4,
    kMemberUlong = 5,
    kMemberLongTime = 6,
    kMemberLongWorld = 7,
    kMemberUnnamed8 = 8,  // has no element name and is never made
    kMemberFixed = 9,
    kMemberShort = 10,
    kMemberWord = 11,
    kMemberShortTime = 12,
    kMemberShortWorld = 13,
    kMemberShortEnum = 14,
    kMemberSequenceIndex = 15,
    kMemberFixedFraction = 16,
    kMemberShortFixed = 17,
    kMemberAngularVelocity = 18,
    kMemberAngle = 19,
    kMemberChar = 20,
    kMemberByte = 21,
    kMemberByteEnum = 22,
    kMemberShortFixedFraction = 23,
    kMemberColor = 24,
};

constexpr u32 kMemberTypeCount = 25;

// Which member class a type makes.
enum class MemberClass { Plain, Tag, Enum };

struct MemberTypeInfo {
    u32 code;
    const char* element_name;  // null for code 8
    u32 element_size;          // 0 for substruct: the named struct's size
    bool is_unsigned;
    double scale;              // shown value = stored value x scale; 0 where a form shows no number
    MemberClass member_class;
};

// The row of a code (codes 0..24), or null.
const MemberTypeInfo* GetMemberTypeInfo(u32 code);
// The row of an element name (exact, case-sensitive), or null.
const MemberTypeInfo* FindMemberType(const std::string& element_name);

// Exactly codes 5, 11, 16, 21 and 23 read zero-extended.
bool IsUnsignedMemberType(u32 code);
// The display scale (1 for plain numbers, 1/30 for times...); 0 for the
// types a form does not show as a number.
double MemberTypeScale(u32 code);
// Real-number fields: `real` and the scaled integer types.
bool IsRealFieldType(u32 code);
// Integer fields (with or without a bit): long, ulong, short, word, char, byte.
bool IsIntegerFieldType(u32 code);
// Angles and angular velocities are always shown without decimals.
bool ShowsWithoutDecimals(u32 code);

}  // namespace pirn
