#pragma once
// What the editor benchmarks share: the headless window system with a font
// of fixed advances, a scratch game folder whose local tags the Codex sees,
// tag files written from big-endian fields, and best-of-n timing.

#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_headless_windows.h"
#include "bench/bench_timing.h"
#include "codex/codex.h"
#include "codex/local_folder.h"
#include "codex/tag_group.h"
#include "platform/file_system.h"
#include "platform/log_message.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/fixture_bytes/tag_header_bytes.h"
#include "ui/frame_step.h"

namespace bench_editors {

using namespace pirn;
using bench_timing::Best;
using bench_timing::Clock;
using bench_timing::Since;

// The window system on the headless backend, with the log silenced.
inline void StartHeadlessWindows() {
    SetLogHandler([](i32, const std::string&, const std::string&) {});
    bench_windows::InitHeadlessWindowSystem();
}

// A fresh game folder under the temporary folder; returns its local folder.
inline std::string MakeScratchGame(const std::string& name) {
    const std::string game = (std::filesystem::temp_directory_path() / name).string();
    std::filesystem::remove_all(game);
    std::filesystem::create_directories(game + "/local");
    return game + "/local/";
}

inline std::vector<u8> TagFileBytes(u32 group, u32 id, const std::string& name, const std::vector<u8>& data) {
    fixture::BigEndianBuffer b;
    fixture::TagHeaderFields h;
    h.name = name;
    h.group = group;
    h.id = id;
    h.data_offset = 64;
    h.data_length = static_cast<u32>(data.size());
    fixture::PutTagHeader(b, h);
    b.PutBytes(data);
    return b.bytes();
}

inline bool WriteLocalTag(const std::string& local, u32 group, u32 id, const std::string& name,
                          const std::vector<u8>& data) {
    const std::string folder = local + FindTagGroup(group)->plural_label;
    std::filesystem::create_directories(folder);
    const std::vector<u8> bytes = TagFileBytes(group, id, name, data);
    return WriteFileSafely(folder + "/" + name, std::string(bytes.begin(), bytes.end()));
}

}  // namespace bench_editors
