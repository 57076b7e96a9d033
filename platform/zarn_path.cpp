#include "platform/zarn_path.h"

#include "platform/file_system.h"
#include "platform/pref_store.h"

namespace pirn {

namespace {
constexpr char kZarnPathKey[] = "ZarnPath";
}

std::string GetZarnPath() {
    std::string path = ".";
    GetPrefString(kZarnPathKey, &path);
    if (path.empty()) path = ".";
    return EnsureTrailingSlash(path);
}

void SetZarnPath(const std::string& path) { SetPrefString(kZarnPathKey, path); }

}  // namespace pirn
