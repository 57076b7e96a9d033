#pragma once
// Reading and writing the elements of struct members as the forms show them:
// sign rules, the lower-bound rule, display scales and rounding, the
// conversions of typed numbers, bits, and the checks that keep every write
// inside its member and every stored value reading back as written.

#include <string>

#include "platform/types.h"

namespace pirn {

class StructData;
class StructMember;

// A record and the records of the editors it is nested in. Members are
// looked up by name from the innermost record outwards.
struct StructScope {
    StructData* record = nullptr;
    const StructScope* parent = nullptr;
};

struct ScopedMember {
    StructData* record = nullptr;
    const StructMember* member = nullptr;
};

// The first member of that name in this record's struct, else in the
// nearest parent's; both null when none has it (or the name is empty).
ScopedMember FindScopedMember(const StructScope& scope, const std::string& name);
// The record (this one or a parent) whose struct holds the member, or null.
StructData* FindRecordHolding(const StructScope& scope, const StructMember& member);

// --- Elements -------------------------------------------------------------

// The smallest and largest values the member's element holds (by its size
// and whether its type is unsigned); 0..0 for sizes other than 1, 2 and 4.
void MemberIntegerRange(const StructMember& member, i64* low, i64* high);
bool IntegerFitsMember(const StructMember& member, i64 value);

// Element `index`: 1, 2 or 4 bytes, sign-extended or zero-extended for the
// unsigned types; 0 for other sizes and for an index past the count.
i64 ReadMemberElement(const StructData& record, const StructMember& member, u32 index);
// Stores value into element `index` when it fits; false (nothing written)
// otherwise or for an index past the count.
bool StoreMemberElement(StructData& record, const StructMember& member, u32 index, i64 value);

// --- The lower-bound rule --------------------------------------------------

// The bound of a member with `lower_bound`: the same element of the named
// member (looked up outwards), read by its own sign rule; 0 when not found.
i64 ReadLowerBound(const StructScope& scope, const StructMember& member, u32 index);
// The element as shown: with a lower bound, bound + stored - 1 when stored
// is not 0, else the bound. The member is found in this record or a parent.
i64 ReadMemberValue(const StructScope& scope, const StructMember& member, u32 index);
// Stores value by the lower-bound rule (0 for the bound, value - bound + 1
// otherwise). False, and nothing written, when the stored number does not
// fit the element or would read back as another value (a value below a
// lower bound).
bool WriteMemberValue(const StructScope& scope, const StructMember& member, u32 index, i64 value);

// --- Bits of integer members -----------------------------------------------

// Whether an item's `index` names an element of the member and its `bit` a
// bit of the element.
bool IsValidItemIndex(const StructMember& member, i64 index);
bool IsValidItemBit(const StructMember& member, i64 bit);
// The bit of the element's stored bytes (no lower-bound rule: a flag word is
// a pattern of bits, not a count). False for invalid places.
bool ReadMemberBit(const StructScope& scope, const StructMember& member, u32 index, u32 bit);
bool WriteMemberBit(const StructScope& scope, const StructMember& member, u32 index, u32 bit, bool on);

// --- Shown numbers -----------------------------------------------------------

constexpr i64 kMaxShownDigits = 9;

// Decimals shown: 0 for angles and angular velocities, else the member's
// digits, clamped to 0..kMaxShownDigits.
i64 MemberShownDigits(const StructMember& member);
// Half away from zero at n decimals (n clamped to 0..kMaxShownDigits);
// large values stay whole instead of wrapping through a 32-bit integer.
double RoundToDigits(double x, i64 digits);
// A `real` member's stored float, or the value (lower-bound rule) times the
// member's scale, rounded to its shown digits.
double MemberDisplayValue(const StructScope& scope, const StructMember& member, u32 index);
// The stored integer for a shown number of a scaled member: divided by the
// scale, rounded to nearest (+0.5, floor), saturated to 32 bits, clamped to
// a 1- or 2-byte element. False for a number that is not finite.
bool ScaledRealToInteger(const StructMember& member, double shown, i64* stored);
// Writes a shown number into a real-number field: `real` stores the float,
// scaled types convert as above and write by the lower-bound rule. False
// (nothing written) for numbers that cannot be stored.
bool WriteMemberDisplayValue(const StructScope& scope, const StructMember& member, u32 index, double shown);

// --- Typed integers ------------------------------------------------------------

// Base-10 text of an integer field (optional sign, digits, optional spaces
// around). False for other text; the value may still not fit the member,
// which WriteMemberValue refuses.
bool ParseMemberInteger(const std::string& text, i64* value);
// The text an integer field shows for a value (unsigned 32-bit members up to
// 4294967295, never negative).
std::string FormatMemberInteger(i64 value);

}  // namespace pirn
