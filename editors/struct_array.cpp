#include "editors/struct_array.h"

#include <cstring>

#include "editors/struct_data.h"
#include "editors/struct_member.h"

namespace pirn {

ScopedMember FindRuntimeCountMember(const StructScope& scope, const StructMember& array) {
    return FindScopedMember(scope, array.runtime_count);
}

u32 ArrayCountInUse(const StructScope& scope, const StructMember& array) {
    const ScopedMember runtime = FindRuntimeCountMember(scope, array);
    if (!runtime.member) return array.count;
    const i64 n = ReadMemberValue(scope, *runtime.member, 0);
    return n < 0 ? 0 : n > i64{array.count} ? array.count : static_cast<u32>(n);
}

bool SetArrayCountInUse(const StructScope& scope, const StructMember& array, u32 n) {
    const ScopedMember runtime = FindRuntimeCountMember(scope, array);
    if (!runtime.member) return false;
    return WriteMemberValue(scope, *runtime.member, 0, n < array.count ? n : array.count);
}

bool CanAddArrayElement(const StructScope& scope, const StructMember& array) {
    return FindRuntimeCountMember(scope, array).member && ArrayCountInUse(scope, array) < array.count;
}

bool CanDuplicateArrayElement(const StructScope& scope, const StructMember& array, i64 selected) {
    return CanAddArrayElement(scope, array) && selected >= 0 && selected < i64{ArrayCountInUse(scope, array)};
}

bool CanDeleteArrayElement(const StructScope& scope, const StructMember& array, i64 selected) {
    return FindRuntimeCountMember(scope, array).member && selected >= 0 &&
           selected < i64{ArrayCountInUse(scope, array)};
}

u8* ArrayElementAddress(const StructScope& scope, const StructMember& array, u32 index) {
    StructData* record = FindRecordHolding(scope, array);
    if (!record || index >= array.count) return nullptr;
    return GetMemberAddress(*record, array) + u64{index} * array.element_size;
}

i64 AddArrayElement(const StructScope& scope, const StructMember& array, i64 duplicate_of) {
    if (duplicate_of >= 0 ? !CanDuplicateArrayElement(scope, array, duplicate_of) : !CanAddArrayElement(scope, array))
        return -1;
    const u32 n = ArrayCountInUse(scope, array);
    if (!SetArrayCountInUse(scope, array, n + 1)) return -1;
    if (duplicate_of >= 0)
        std::memcpy(ArrayElementAddress(scope, array, n), ArrayElementAddress(scope, array, static_cast<u32>(duplicate_of)),
                    array.element_size);
    return n;
}

bool DeleteArrayElement(const StructScope& scope, const StructMember& array, u32 index) {
    if (!CanDeleteArrayElement(scope, array, index)) return false;
    const u32 in_use = ArrayCountInUse(scope, array);
    const u32 m = in_use - 1;
    if (!SetArrayCountInUse(scope, array, m)) return false;
    u8* base = ArrayElementAddress(scope, array, 0);
    const size_t size = array.element_size;
    std::memmove(base + index * size, base + (index + 1) * size, (array.count - index - 1) * size);
    std::memset(base + m * size, 0, (array.count - m) * size);
    return true;
}

}  // namespace pirn
