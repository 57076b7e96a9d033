#include "app/tag_info_change.h"

#include <cstring>

#include "codex/codex_catalogue.h"
#include "codex/four_char_code.h"
#include "codex/tag_header.h"
#include "codex/tag_operations.h"
#include "platform/strings.h"

namespace pirn {

TagInfoChange ApplyTagInfo(TagEntry* tag, const std::string& name, const std::string& subgroup, u32 ownUses) {
    TagInfoChange change;
    if (!tag) {
        change.error = TagInfoError::kChangeFailed;
        return change;
    }
    if (GetTagUseCount(tag) > ownUses) {
        change.error = TagInfoError::kInUse;
        return change;
    }
    u32 id = 0;
    if (subgroup.size() != 4 || !ParseFourCC(subgroup, &id)) {
        change.error = TagInfoError::kSubgroupLength;
        return change;
    }
    if (name.empty()) {
        change.error = TagInfoError::kEmptyName;
        return change;
    }
    if (id != tag->tag_id && IsTagLocal(FindTag(tag->group, id))) {
        change.error = TagInfoError::kIdTaken;
        return change;
    }
    TagHeader header;
    GetTagHeader(tag, &header);
    const bool renamed = std::strncmp(header.name, name.c_str(), sizeof header.name) != 0;
    // 0xFFFFFFFF and 0xFFFFFFFE mean "keep the id" to the Codex: neither can
    // become a tag's id here.
    if (id >= kKeepTagId) {
        change.error = TagInfoError::kChangeFailed;
        return change;
    }
    change.tag = ChangeTagInfo(tag, id == tag->tag_id ? kKeepTagId : id, renamed ? name.c_str() : nullptr);
    if (!change.tag) change.error = TagInfoError::kChangeFailed;
    return change;
}

std::string TagInfoErrorText(TagInfoError error, const char* tagName) {
    switch (error) {
        case TagInfoError::kNone:
            return "";
        case TagInfoError::kInUse:
            return FormatString("Tag information for '%s' could not be updated because the tag is still in use.",
                                tagName ? tagName : "");
        case TagInfoError::kSubgroupLength:
            return "The subgroup id must be exactly 4 characters long.";
        case TagInfoError::kEmptyName:
            return "The name field must not be empty.";
        case TagInfoError::kIdTaken:
            return "A tag with the specified group and subgroup combination already exists in the local folder.";
        case TagInfoError::kChangeFailed:
            break;
    }
    return "The tag information could not be changed because of an error.";
}

}  // namespace pirn
