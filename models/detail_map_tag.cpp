#include "models/detail_map_tag.h"

#include <cstring>

#include "codex/codex_catalogue.h"
#include "codex/tag_operations.h"
#include "models/dtex_tag.h"

namespace pirn {

std::unique_ptr<DetailMap> LoadDetailMapTag(TagEntry* tag, bool keep_raw_values) {
    TagHeader header{};
    std::FILE* stream = OpenTagForReading(tag, &header);
    if (!stream) return nullptr;
    std::unique_ptr<DetailMap> map = LoadDetailMap(stream, header, keep_raw_values);
    CloseTagForReading(tag);
    return map;
}

int SaveDetailMapTag(TagEntry* tag, TagHeader* header, const DetailMap& map) {
    std::FILE* stream = OpenTagForWriting(tag, header, nullptr);
    if (!stream) return 0;
    const int ok = WriteDetailMap(map, stream, header);
    // The header carries the version WriteDetailMap set into the file.
    return CloseTagForWriting(tag, header, ok) && ok ? 1 : 0;
}

std::string FormatDetailMapListing(const DetailMap& map) {
    std::string text;
    for (const DetailTextureEntry& entry : map.entries) {
        if (entry.tag_id == kNoTagId) continue;
        const char id[5] = {static_cast<char>(entry.tag_id >> 24), static_cast<char>(entry.tag_id >> 16),
                            static_cast<char>(entry.tag_id >> 8), static_cast<char>(entry.tag_id), 0};
        const TagEntry* dtex = FindTag(kDtexGroup, entry.tag_id);
        TagHeader header{};
        if (dtex) GetTagHeader(dtex, &header);
        text += id;
        text += " - ";
        text += dtex ? std::string(header.name, strnlen(header.name, sizeof(header.name))) : "<not found>";
        text += "\n";
    }
    return text;
}

}  // namespace pirn
