#include "collections/sequence_commands.h"

#include <memory>

#include "collections/sequence_messages.h"
#include "collections/sequence_properties.h"
#include "platform/strings.h"

namespace pirn {

CollectionSequence* AddNewSequence(Collection* collection) {
    if (!SequenceTotalsFit(*collection, nullptr, 1, 1)) return nullptr;
    return AddSequence(collection, sequence_text::kNewSequenceName);
}

CollectionSequence* DuplicateSequence(Collection* collection, const CollectionSequence* source) {
    const u32 index = FindSequence(*collection, source);
    if (index == kNotFound) return nullptr;
    if (!SequenceTotalsFit(*collection, nullptr, source->view_count, source->frames.size())) return nullptr;
    auto copy = std::make_unique<CollectionSequence>(*source);
    SetElementName(copy->name, FormatString(sequence_text::kCopyName, source->name).c_str());
    CollectionSequence* added = copy.get();
    collection->sequences.push_back(std::move(copy));
    MoveSequence(collection, added, index + 1);
    return added;
}

u32 DeleteSequences(Collection* collection, const std::vector<CollectionSequence*>& sequences) {
    u32 deleted = 0;
    for (CollectionSequence* sequence : sequences)
        if (DeleteSequence(collection, sequence)) ++deleted;
    return deleted;
}

std::string SequenceOpenText(const CollectionSequence& sequence) {
    return FormatString(sequence_text::kSequenceOpen, sequence.name);
}

std::string SequenceDeleteQuestion(size_t selected) {
    return FormatString(sequence_text::kDeleteQuestion, selected > 1 ? sequence_text::kPlural : "");
}

}  // namespace pirn
