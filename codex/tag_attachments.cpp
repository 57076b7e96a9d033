#include "codex/tag_attachments.h"

#include "codex/codex_catalogue.h"

namespace pirn {

namespace {

bool Matches(const TagAttachment& attachment, u32 key, void* value) {
    return attachment.key == key && (!attachment.value || !value || attachment.value == value);
}

}  // namespace

u32 AttachToTag(TagEntry* tag, u32 key, void* value) {
    if (!tag) return 0;
    for (TagAttachment& attachment : tag->attachments)
        if (Matches(attachment, key, value)) return ++attachment.reference_count;
    tag->attachments.push_back({key, 1, value});
    return 1;
}

u32 DetachFromTag(TagEntry* tag, u32 key, void* value) {
    if (!tag) return 0xFFFFFFFF;
    auto& attachments = tag->attachments;
    for (size_t i = 0; i < attachments.size(); ++i) {
        if (!Matches(attachments[i], key, value)) continue;
        u32 left = --attachments[i].reference_count;
        if (left == 0) {
            attachments[i] = attachments.back();
            attachments.pop_back();
            if (attachments.empty() && tag->sources.empty()) FreeTagEntry(tag);
        }
        return left;
    }
    return 0xFFFFFFFF;
}

void* FindTagAttachment(const TagEntry* tag, u32 key) {
    if (!tag) return nullptr;
    for (const TagAttachment& attachment : tag->attachments)
        if (attachment.key == key) return attachment.value;
    return nullptr;
}

int GetTagAttachment(const TagEntry* tag, u32 index, u32* key, void** value) {
    if (!tag || index >= tag->attachments.size()) return 0;
    if (key) *key = tag->attachments[index].key;
    if (value) *value = tag->attachments[index].value;
    return 1;
}

}  // namespace pirn
