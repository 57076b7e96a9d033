#include "collections/frame_layout.h"

#include <cstdio>
#include <set>

#include "platform/char_map.h"
#include "platform/safe_file_name.h"

namespace pirn {

SequenceFolderName ParseSequenceFolderName(const std::string& folder_name) {
    SequenceFolderName parsed;
    parsed.name = folder_name;
    const size_t open = folder_name.find('(');
    if (open == std::string::npos) return parsed;
    long long views = 0;
    long long frames = 0;
    if (std::sscanf(folder_name.c_str() + open, "(%lld,%lld)", &views, &frames) != 2) return parsed;
    parsed.name = folder_name.substr(0, open);
    parsed.has_dimensions = true;
    // Out-of-range counts are kept recognisably out of range for the caller's check.
    auto clamp = [](long long v) { return static_cast<i32>(v < -1 ? -1 : (v > 0x7FFFFFFF ? 0x7FFFFFFF : v)); };
    parsed.views = clamp(views);
    parsed.frames = clamp(frames);
    return parsed;
}

bool SequenceDimensionsFit(i64 views, i64 frames) {
    return views >= 1 && frames >= 1 && views * frames <= static_cast<i64>(kMaxSequenceInstances);
}

u32 CountDistinctFrames(const std::vector<i32>& frame_list) {
    std::set<i32> distinct;
    for (i32 entry : frame_list)
        if (entry >= 0) distinct.insert(entry);
    return static_cast<u32>(distinct.size());
}

i32 FirstFrameBeyondFiles(const std::vector<i32>& frame_list, u32 views, u64 files) {
    for (i32 entry : frame_list)
        if (entry >= 0 && (static_cast<u64>(entry) + 1) * views > files) return entry;
    return -1;
}

bool MakeSafeFolderName(const std::string& name, std::string* out) {
    return MakeSafeFileName(CharMapToUtf8(name.substr(0, name.find('\0'))), out);
}

}  // namespace pirn
