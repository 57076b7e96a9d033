#include "codex/safe_tag_name.h"

#include "codex/tag_group.h"
#include "codex/tag_header.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

std::string SafeTagFileName(const char* name, u32 tag_id) {
    std::string safe;
    if (MakeSafePathComponent(name ? name : "", &safe)) {
        // A name the folder scans skip would vanish after the next scan.
        return IsIgnoredFolderEntryName(safe) ? "_" + safe : safe;
    }
    char id[5];
    FourCCToChars(tag_id, id);
    if (MakeSafePathComponent(id, &safe) && safe.size() == 4) return safe;
    return FormatString("tag %08x", static_cast<unsigned>(tag_id));
}

std::string GroupFolderName(u32 group) {
    if (const TagGroupInfo* row = FindTagGroup(group)) return row->plural_label;
    char code[5];
    FourCCToChars(group, code);
    std::string safe;
    if (MakeSafePathComponent(code, &safe) && safe.size() == 4) return safe;
    return FormatString("group %08x", static_cast<unsigned>(group));
}

}  // namespace pirn
