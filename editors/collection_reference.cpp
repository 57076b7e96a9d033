#include "editors/collection_reference.h"

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/tag_header.h"
#include "codex/tag_operations.h"

namespace pirn {

const StructLayout kCollectionReferenceLayout[] = {384, 1, kRunU32, 166, kRunU16, 24, kRunZero16};

u32 ReadCollectionReference(CollectionReference* record, std::FILE* stream) {
    return ReadRecords(record, 1, kCollectionReferenceLayout, stream);
}

u32 WriteCollectionReference(const CollectionReference& record, std::FILE* stream) {
    return WriteRecords(&record, 1, kCollectionReferenceLayout, stream);
}

std::unique_ptr<CollectionReference> LoadCollectionReference(std::FILE* stream, const TagHeader& header) {
    if (!stream || header.data_length < kCollectionReferenceSize) return nullptr;
    auto record = std::make_unique<CollectionReference>();
    if (ReadCollectionReference(record.get(), stream) != kCollectionReferenceSize) return nullptr;
    return record;
}

u32 CoreCollectionId(u32 core_tag_id) {
    TagEntry* tag = FindTag(MakeFourCC("core"), core_tag_id);
    if (!tag) return kNoTagId;
    TagHeader header;
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (!stream) return kNoTagId;
    const std::unique_ptr<CollectionReference> record = LoadCollectionReference(stream, header);
    CloseTagForReading(tag);
    return record ? record->collection : kNoTagId;
}

}  // namespace pirn
