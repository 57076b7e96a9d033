#pragma once
// What the tag info window's Apply does, without the window: five checks in
// a fixed order, then ChangeTagInfo (codex/tag_operations.h).

#include <string>

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

enum class TagInfoError {
    kNone,
    kInUse,            // something besides the info window uses the tag
    kSubgroupLength,   // the subgroup is not exactly 4 characters
    kEmptyName,
    kIdTaken,          // a local tag of the group already has the new id
    kChangeFailed,
};

struct TagInfoChange {
    TagInfoError error = TagInfoError::kNone;
    TagEntry* tag = nullptr;  // the tag after the change (another entry when the id changed)
};

// name and subgroup as typed; ownUses: how many of the tag's attachments
// are the caller's own (the info window's one).
TagInfoChange ApplyTagInfo(TagEntry* tag, const std::string& name, const std::string& subgroup, u32 ownUses);
// The message of an error; tagName names the tag in the in-use message.
std::string TagInfoErrorText(TagInfoError error, const char* tagName);

}  // namespace pirn
