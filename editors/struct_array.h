#pragma once
// Arrays of substructs in a record: how many elements are in use, and the
// Add, Duplicate and Delete operations of the array editor on the bytes.
// An array with a `runtime_count` member keeps its count in use there; one
// without uses all of its elements and cannot grow or shrink.

#include "editors/struct_values.h"
#include "platform/types.h"

namespace pirn {

// The member named by the array's `runtime_count`, looked up outwards; both
// null when there is none.
ScopedMember FindRuntimeCountMember(const StructScope& scope, const StructMember& array);

// The runtime count's element 0 (lower-bound rule) clamped to 0..count, or
// the array's count when it has no runtime count: a count read from a file
// never reaches past the array.
u32 ArrayCountInUse(const StructScope& scope, const StructMember& array);
// Writes min(n, count) into the runtime count. False without a runtime count
// or when the number cannot be stored there.
bool SetArrayCountInUse(const StructScope& scope, const StructMember& array, u32 n);

// Add: a runtime count and a count in use below the array's size.
bool CanAddArrayElement(const StructScope& scope, const StructMember& array);
// Duplicate: as Add, and the selected element is in use.
bool CanDuplicateArrayElement(const StructScope& scope, const StructMember& array, i64 selected);
// Delete: a runtime count and the selected element is in use.
bool CanDeleteArrayElement(const StructScope& scope, const StructMember& array, i64 selected);

// Element `index` of the array in the record that holds it, or null past the count.
u8* ArrayElementAddress(const StructScope& scope, const StructMember& array, u32 index);

// Takes the next element into use (the count in use grows by one) and, with
// duplicate_of >= 0, copies that element over it. Returns the new element's
// index, or -1 when the array cannot grow or the source is not in use.
i64 AddArrayElement(const StructScope& scope, const StructMember& array, i64 duplicate_of);
// Removes element `index`: the elements after it move down one place, the
// count in use drops by one, and the elements from the new count on are
// zeroed. False when it cannot be deleted.
bool DeleteArrayElement(const StructScope& scope, const StructMember& array, u32 index);

}  // namespace pirn
