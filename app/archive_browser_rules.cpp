#include "app/archive_browser_rules.h"

#include <string>

#include "codex/archive.h"
#include "codex/codex_catalogue.h"
#include "codex/tag_group.h"
#include "codex/tag_operations.h"
#include "platform/char_map.h"
#include "platform/strings.h"

namespace pirn {

bool GroupHasEditor(u32 group) {
    const TagGroupInfo* row = FindTagGroup(group);
    return row && row->factory;
}

bool IsTagShown(const TagEntry* tag, bool showHiddenGroups) {
    if (!IsTagAvailable(tag)) return false;
    return showHiddenGroups || tag->group == kDetailMapGroup || GroupHasEditor(tag->group);
}

bool IsHeaderNotOpenable(const TagHeader& header) {
    switch (header.group) {
        case kCollectionGroup:
            return (header.user_data & kColorMapBit) != 0;
        case kMeshGroup:
            return header.version < kOldestEditableMeshVersion;
        default:
            return !GroupHasEditor(header.group);
    }
}

bool CollectionFlagsInData(const TagHeader& header) {
    return header.group == kCollectionGroup && header.user_data == 0 && header.data_length >= kLargeCollectionLength;
}

bool IsTagNotOpenable(TagEntry* tag, const TagHeader& header, u32* flagsWord) {
    if (IsHeaderNotOpenable(header)) return true;
    u32 word = 0;
    if (!CollectionFlagsInData(header) || !ReadCollectionFlagsWord(tag, &word)) return false;
    if (flagsWord) *flagsWord = word;
    return (word & kColorMapBit) != 0;
}

bool ReadCollectionFlagsWord(TagEntry* tag, u32* word) {
    TagHeader header;
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (!stream) return false;
    u8 bytes[8];
    const bool read = std::fread(bytes, 1, sizeof bytes, stream) == sizeof bytes;
    CloseTagForReading(tag);
    if (!read) return false;
    *word = u32{bytes[4]} << 24 | u32{bytes[5]} << 16 | u32{bytes[6]} << 8 | bytes[7];
    return true;
}

u32 TagRowColor(bool local, bool notOpenable) {
    const u32 color = local ? kRowOrange : kRowWhite;
    return notOpenable ? HalveRowColor(color) : color;
}

u32 GroupRowColor(bool hasEditor) { return hasEditor ? kRowWhite : HalveRowColor(kRowWhite); }

void FormatTagLocation(const char* location, char out[64]) {
    const std::string text = Utf8ToCharMap(location ? location : "");
    CopyStringBounded(out, text.c_str(), 64);
}

}  // namespace pirn
