#include "codex/safe_tag_name.h"

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

}  // namespace pirn
