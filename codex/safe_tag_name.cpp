#include "codex/safe_tag_name.h"

#include "codex/tag_group.h"
#include "codex/tag_header.h"
#include "platform/strings.h"

namespace pirn {

bool MakeSafeFileName(const std::string& name, std::string* safe) {
    return MakeSafePathComponent(name.c_str(), safe);
}

std::string SafeTagFileName(const char* name, u32 tag_id) {
    std::string safe;
    if (MakeSafeFileName(name ? name : "", &safe)) return safe;
    char id[5] = {static_cast<char>(tag_id >> 24), static_cast<char>(tag_id >> 16), static_cast<char>(tag_id >> 8),
                  static_cast<char>(tag_id), 0};
    if (MakeSafeFileName(id, &safe) && safe.size() == 4) return safe;
    return FormatString("tag %08x", static_cast<unsigned>(tag_id));
}

std::string GroupFolderName(u32 group) {
    if (const TagGroupInfo* row = FindTagGroup(group)) return row->plural_label;
    char code[5] = {static_cast<char>(group >> 24), static_cast<char>(group >> 16), static_cast<char>(group >> 8),
                    static_cast<char>(group), 0};
    std::string safe;
    if (MakeSafeFileName(code, &safe) && safe.size() == 4) return safe;
    return FormatString("group %08x", static_cast<unsigned>(group));
}

}  // namespace pirn
