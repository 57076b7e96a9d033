#include "editors/struct_values.h"

#include <cmath>
#include <cstring>

#include "editors/member_type.h"
#include "editors/struct_data.h"
#include "editors/struct_definition.h"
#include "editors/xml_attribute.h"

namespace pirn {

namespace {

bool IsWholeSize(u32 size) { return size == 1 || size == 2 || size == 4; }

u8* ElementAddress(StructData& record, const StructMember& member, u32 index) {
    return record.data() + member.offset + u64{index} * member.element_size;
}
const u8* ElementAddress(const StructData& record, const StructMember& member, u32 index) {
    return record.data() + member.offset + u64{index} * member.element_size;
}

u32 LoadBits(const u8* p, u32 size) {
    switch (size) {
        case 1:
            return p[0];
        case 2: {
            u16 v;
            std::memcpy(&v, p, 2);
            return v;
        }
        default: {
            u32 v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

void StoreBits(u8* p, u32 size, u32 bits) {
    switch (size) {
        case 1:
            p[0] = static_cast<u8>(bits);
            break;
        case 2: {
            const u16 v = static_cast<u16>(bits);
            std::memcpy(p, &v, 2);
            break;
        }
        default:
            std::memcpy(p, &bits, 4);
            break;
    }
}

i64 FromLowerBound(i64 bound, i64 stored) { return stored == 0 ? bound : bound + stored - 1; }

}  // namespace

ScopedMember FindScopedMember(const StructScope& scope, const std::string& name) {
    if (name.empty()) return {};
    for (const StructScope* s = &scope; s; s = s->parent) {
        if (!s->record) continue;
        if (const StructMember* member = FindStructMember(s->record->definition(), name)) return {s->record, member};
    }
    return {};
}

StructData* FindRecordHolding(const StructScope& scope, const StructMember& member) {
    for (const StructScope* s = &scope; s; s = s->parent)
        if (s->record && StructHasMember(s->record->definition(), &member)) return s->record;
    return nullptr;
}

void MemberIntegerRange(const StructMember& member, i64* low, i64* high) {
    *low = 0;
    *high = 0;
    if (!IsWholeSize(member.element_size)) return;
    const u32 bits = 8 * member.element_size;
    if (IsUnsignedMemberType(member.type_code)) {
        *high = (i64{1} << bits) - 1;
    } else {
        *low = -(i64{1} << (bits - 1));
        *high = (i64{1} << (bits - 1)) - 1;
    }
}

bool IntegerFitsMember(const StructMember& member, i64 value) {
    i64 low, high;
    MemberIntegerRange(member, &low, &high);
    return IsWholeSize(member.element_size) && value >= low && value <= high;
}

i64 ReadMemberElement(const StructData& record, const StructMember& member, u32 index) {
    if (!IsWholeSize(member.element_size) || index >= member.count) return 0;
    const u32 bits = LoadBits(ElementAddress(record, member, index), member.element_size);
    if (IsUnsignedMemberType(member.type_code)) return bits;
    switch (member.element_size) {
        case 1:
            return static_cast<i8>(bits);
        case 2:
            return static_cast<i16>(bits);
        default:
            return static_cast<i32>(bits);
    }
}

bool StoreMemberElement(StructData& record, const StructMember& member, u32 index, i64 value) {
    if (index >= member.count || !IntegerFitsMember(member, value)) return false;
    StoreBits(ElementAddress(record, member, index), member.element_size, static_cast<u32>(value));
    return true;
}

i64 ReadLowerBound(const StructScope& scope, const StructMember& member, u32 index) {
    const ScopedMember bound = FindScopedMember(scope, member.lower_bound);
    if (!bound.member) return 0;
    return ReadMemberElement(*bound.record, *bound.member, index);
}

i64 ReadMemberValue(const StructScope& scope, const StructMember& member, u32 index) {
    const StructData* record = FindRecordHolding(scope, member);
    if (!record) return 0;
    const i64 stored = ReadMemberElement(*record, member, index);
    if (!member.HasLowerBound()) return stored;
    return FromLowerBound(ReadLowerBound(scope, member, index), stored);
}

bool WriteMemberValue(const StructScope& scope, const StructMember& member, u32 index, i64 value) {
    StructData* record = FindRecordHolding(scope, member);
    if (!record) return false;
    if (!member.HasLowerBound()) return StoreMemberElement(*record, member, index, value);
    // The bound is read by its own rule on both sides, so what is stored
    // always reads back as the value written.
    const i64 bound = ReadLowerBound(scope, member, index);
    const i64 stored = value == bound ? 0 : value - bound + 1;
    if (FromLowerBound(bound, stored) != value) return false;
    return StoreMemberElement(*record, member, index, stored);
}

bool IsValidItemIndex(const StructMember& member, i64 index) { return index >= 0 && index < i64{member.count}; }

bool IsValidItemBit(const StructMember& member, i64 bit) {
    return IsWholeSize(member.element_size) && bit >= 0 && bit < 8 * i64{member.element_size};
}

bool ReadMemberBit(const StructScope& scope, const StructMember& member, u32 index, u32 bit) {
    const StructData* record = FindRecordHolding(scope, member);
    if (!record || !IsValidItemIndex(member, index) || !IsValidItemBit(member, bit)) return false;
    return (LoadBits(ElementAddress(*record, member, index), member.element_size) >> bit) & 1;
}

bool WriteMemberBit(const StructScope& scope, const StructMember& member, u32 index, u32 bit, bool on) {
    StructData* record = FindRecordHolding(scope, member);
    if (!record || !IsValidItemIndex(member, index) || !IsValidItemBit(member, bit)) return false;
    u8* p = ElementAddress(*record, member, index);
    u32 bits = LoadBits(p, member.element_size);
    bits = on ? bits | (u32{1} << bit) : bits & ~(u32{1} << bit);
    StoreBits(p, member.element_size, bits);
    return true;
}

i64 MemberShownDigits(const StructMember& member) {
    if (ShowsWithoutDecimals(member.type_code)) return 0;
    return member.digits > kMaxShownDigits ? kMaxShownDigits : member.digits;
}

double RoundToDigits(double x, i64 digits) {
    const i64 n = digits < 0 ? 0 : digits > kMaxShownDigits ? kMaxShownDigits : digits;
    const double scale = std::pow(10.0, static_cast<double>(n));
    double y = x * scale * 10.0;
    y += x >= 0 ? 5.0 : -5.0;
    return std::trunc(y / 10.0) / scale;
}

double MemberDisplayValue(const StructScope& scope, const StructMember& member, u32 index) {
    if (member.type_code == kMemberReal) {
        const StructData* record = FindRecordHolding(scope, member);
        if (!record || index >= member.count) return 0;
        float f;
        std::memcpy(&f, ElementAddress(*record, member, index), 4);
        return RoundToDigits(f, MemberShownDigits(member));
    }
    const double raw = static_cast<double>(ReadMemberValue(scope, member, index));
    return RoundToDigits(raw * MemberTypeScale(member.type_code), MemberShownDigits(member));
}

bool ScaledRealToInteger(const StructMember& member, double shown, i64* stored) {
    const double scale = MemberTypeScale(member.type_code);
    if (!std::isfinite(shown) || scale == 0) return false;
    double v = std::floor(shown / scale + 0.5);
    if (v > 2147483647.0) v = 2147483647.0;
    if (v < -2147483648.0) v = -2147483648.0;
    i64 n = static_cast<i64>(v);
    if (member.element_size < 4) {
        i64 low, high;
        MemberIntegerRange(member, &low, &high);
        n = n < low ? low : n > high ? high : n;
    }
    *stored = n;
    return true;
}

bool WriteMemberDisplayValue(const StructScope& scope, const StructMember& member, u32 index, double shown) {
    if (member.type_code == kMemberReal) {
        StructData* record = FindRecordHolding(scope, member);
        const float f = static_cast<float>(shown);
        if (!record || index >= member.count || !std::isfinite(f)) return false;
        std::memcpy(ElementAddress(*record, member, index), &f, 4);
        return true;
    }
    i64 value = 0;
    return ScaledRealToInteger(member, shown, &value) && WriteMemberValue(scope, member, index, value);
}

bool ParseMemberInteger(const std::string& text, i64* value) {
    constexpr i64 kLimit = i64{1} << 40;  // far past every member, short of overflow in the bound rule
    return ParseDecimalInteger(text.c_str(), -kLimit, kLimit, value);
}

std::string FormatMemberInteger(i64 value) { return std::to_string(value); }

}  // namespace pirn
