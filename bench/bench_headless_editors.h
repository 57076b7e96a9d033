#pragma once
// What the editor benchmarks share: the headless window system with a font
// of fixed advances, a scratch game folder whose local tags the Codex sees,
// tag files written from big-endian fields, and best-of-n timing.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "codex/codex.h"
#include "codex/local_folder.h"
#include "codex/tag_group.h"
#include "platform/file_system.h"
#include "platform/log_message.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/os_window.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/fixture_bytes/tag_header_bytes.h"
#include "ui/frame_step.h"
#include "ui/interface_font.h"
#include "ui/window_system.h"

namespace bench_editors {

using namespace pirn;
using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

inline double Best(int runs, const std::function<double()>& run) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) best = std::min(best, run());
    return best;
}

// The window system on the headless backend; the font lives as long as the program.
inline void StartHeadlessWindows() {
    SetLogHandler([](i32, const std::string&, const std::string&) {});
    headless::Reset();
    OsInit();
    InitWindowSystem(1280, 1024);
    SetRunning(true);
    static InterfaceFont font;
    font.ascent = 10;
    font.line_spacing = 12;
    font.tab_width = 4;
    font.styles[0].trailer[3] = 1;
    for (FontGlyph& g : font.styles[0].glyphs)
        for (i8& a : g.advance) a = 8;
    SetDefaultFont(&font);
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
