#include "editors/struct_data.h"

#include <cstring>

#include "editors/struct_definition.h"
#include "platform/records.h"

namespace pirn {

StructData::StructData(const StructDefinition& definition)
    : definition_(&definition), buffer_(definition.size == 0 ? 1 : definition.size, 0), data_(buffer_.data()) {}

StructData::StructData(const StructDefinition& definition, u8* bytes) : definition_(&definition), data_(bytes) {}

u32 StructData::size() const { return definition_->size; }

u32 ReadStruct(StructData& record, std::FILE* stream) {
    const std::vector<u16>& layout = StructLayoutOf(record.definition());
    return ReadRecords(record.data(), 1, layout.data(), stream);
}

u32 WriteStruct(const StructData& record, std::FILE* stream) {
    const std::vector<u16>& layout = StructLayoutOf(record.definition());
    return WriteRecords(record.data(), 1, layout.data(), stream);
}

u8* GetMemberAddress(StructData& record, const StructMember& member) { return record.data() + member.offset; }

const u8* GetMemberAddress(const StructData& record, const StructMember& member) {
    return record.data() + member.offset;
}

u32 ReadMemberRaw(const StructData& record, const StructMember& member) {
    const u8* p = GetMemberAddress(record, member);
    switch (member.element_size) {
        case 1:
            return p[0];
        case 2: {
            u16 v;
            std::memcpy(&v, p, 2);
            return v;
        }
        case 4: {
            u32 v;
            std::memcpy(&v, p, 4);
            return v;
        }
        default:
            return 0;
    }
}

}  // namespace pirn
