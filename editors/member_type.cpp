#include "editors/member_type.h"

#include <cstring>

namespace pirn {

namespace {

constexpr double kTime = 1.0 / 30.0;
constexpr double kWorld = 1.0 / 512.0;
constexpr double kFixed = 1.0 / 65536.0;
constexpr double kShortFixed = 1.0 / 256.0;

const MemberTypeInfo kMemberTypes[kMemberTypeCount] = {
    {kMemberPadding, "padding", 1, false, 0, MemberClass::Plain},
    {kMemberSubstruct, "substruct", 0, false, 0, MemberClass::Plain},
    {kMemberReal, "real", 4, false, 1, MemberClass::Plain},
    {kMemberTag, "tag", 4, false, 0, MemberClass::Tag},
    {kMemberLong, "long", 4, false, 1, MemberClass::Plain},
    {kMemberUlong, "ulong", 4, true, 1, MemberClass::Plain},
    {kMemberLongTime, "long_time", 4, false, kTime, MemberClass::Plain},
    {kMemberLongWorld, "long_world", 4, false, kWorld, MemberClass::Plain},
    {kMemberUnnamed8, nullptr, 4, false, 0, MemberClass::Enum},
    {kMemberFixed, "fixed", 4, false, kFixed, MemberClass::Plain},
    {kMemberShort, "short", 2, false, 1, MemberClass::Plain},
    {kMemberWord, "word", 2, true, 1, MemberClass::Plain},
    {kMemberShortTime, "short_time", 2, false, kTime, MemberClass::Plain},
    {kMemberShortWorld, "short_world", 2, false, kWorld, MemberClass::Plain},
    {kMemberShortEnum, "short_enum", 2, false, 0, MemberClass::Enum},
    {kMemberSequenceIndex, "sequence_index", 2, false, 0, MemberClass::Plain},
    {kMemberFixedFraction, "fixed_fraction", 2, true, kFixed, MemberClass::Plain},
    {kMemberShortFixed, "short_fixed", 2, false, kShortFixed, MemberClass::Plain},
    {kMemberAngularVelocity, "angular_velocity", 2, false, 10800.0 / 65536.0, MemberClass::Plain},
    {kMemberAngle, "angle", 2, false, 360.0 / 65536.0, MemberClass::Plain},
    {kMemberChar, "char", 1, false, 1, MemberClass::Plain},
    {kMemberByte, "byte", 1, true, 1, MemberClass::Plain},
    {kMemberByteEnum, "byte_enum", 1, false, 0, MemberClass::Enum},
    {kMemberShortFixedFraction, "short_fixed_fraction", 1, true, kShortFixed, MemberClass::Plain},
    {kMemberColor, "color", 2, false, 0, MemberClass::Plain},
};

}  // namespace

const MemberTypeInfo* GetMemberTypeInfo(u32 code) {
    return code < kMemberTypeCount ? &kMemberTypes[code] : nullptr;
}

const MemberTypeInfo* FindMemberType(const std::string& element_name) {
    for (const MemberTypeInfo& info : kMemberTypes)
        if (info.element_name && element_name == info.element_name) return &info;
    return nullptr;
}

bool IsUnsignedMemberType(u32 code) { return code < kMemberTypeCount && kMemberTypes[code].is_unsigned; }

double MemberTypeScale(u32 code) { return code < kMemberTypeCount ? kMemberTypes[code].scale : 0; }

bool IsRealFieldType(u32 code) {
    switch (code) {
        case kMemberReal:
        case kMemberLongTime:
        case kMemberLongWorld:
        case kMemberFixed:
        case kMemberShortTime:
        case kMemberShortWorld:
        case kMemberFixedFraction:
        case kMemberShortFixed:
        case kMemberAngularVelocity:
        case kMemberAngle:
        case kMemberShortFixedFraction:
            return true;
        default:
            return false;
    }
}

bool IsIntegerFieldType(u32 code) {
    return code == kMemberLong || code == kMemberUlong || code == kMemberShort || code == kMemberWord ||
           code == kMemberChar || code == kMemberByte;
}

bool ShowsWithoutDecimals(u32 code) { return code == kMemberAngle || code == kMemberAngularVelocity; }

}  // namespace pirn
