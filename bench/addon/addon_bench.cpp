// A regular add-on of 5,000 local tags against copying the same bytes from
// their files into one file, measured in the same run on the same folder.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/addon_builder.h"
#include "bench/bench_timing.h"
#include "codex/codex.h"
#include "platform/pref_store.h"

using namespace pirn;
using bench_timing::BestSeconds;
namespace fs = std::filesystem;

namespace {

void PutU32(std::vector<u8>& b, u32 v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(u8(v >> s));
}

// A tag file: the 64-byte current header, then the data.
std::vector<u8> TagFileBytes(u32 group, u32 id, const std::string& name, const std::vector<u8>& data) {
    std::vector<u8> b = {0xFF, 0xFF, 0, 0};
    for (size_t i = 0; i < 32; ++i) b.push_back(i < name.size() ? u8(name[i]) : 0);
    PutU32(b, group);
    PutU32(b, id);
    PutU32(b, 64);
    PutU32(b, u32(data.size()));
    PutU32(b, 0);
    b.push_back(0);
    b.push_back(1);
    b.push_back(0xFF);
    b.push_back(0xFF);
    PutU32(b, 0x7A726E32);  // 'zrn2'
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

}  // namespace

int main() {
    const fs::path game = fs::temp_directory_path() / ("pirn-addon-bench-" + std::to_string(::getpid()));
    fs::create_directories(game / "local" / "Text");
    fs::create_directories(game / "local" / "Sounds");
    fs::create_directories(game / "plugins");
    std::mt19937 random(7);
    std::vector<std::string> files;
    u64 total_bytes = 0;
    const int kTags = 5000;
    for (int i = 0; i < kTags; ++i) {
        const bool sound = i % 5 == 0;
        const u32 group = sound ? 0x736F756E : 0x74657874;  // 'soun' / 'text'
        const u32 id = 0x41000000u + u32(i);
        std::vector<u8> data(200 + random() % (sound ? 40000 : 4000));
        for (u8& v : data) v = u8(random());
        const std::string name = (sound ? "Sound " : "Text ") + std::to_string(i);
        const fs::path path = game / "local" / (sound ? "Sounds" : "Text") / name;
        std::vector<u8> bytes = TagFileBytes(group, id, name, data);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        files.push_back(path.string());
        total_bytes += bytes.size();
    }
    SetPrefString("ZarnPath", game.string());
    SetLocalFolder((game / "local").string() + "/");
    PollLocalFolder(true);

    AddonFieldsPrompt popup = [](AddonFields* fields) {
        fields->name = "Bench Addon";
        fields->url = "bench";
        return true;
    };
    AddonMessage message;
    int built = 0;
    const double addon_s = BestSeconds(3, [&] { built = BuildRegularAddon(popup, &message); });

    std::vector<u8> buffer(1 << 16);
    const double copy_s = BestSeconds(3, [&] {
        std::FILE* out = std::fopen((game / "copy").c_str(), "wb");
        for (const std::string& path : files) {
            std::FILE* in = std::fopen(path.c_str(), "rb");
            size_t n;
            while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) std::fwrite(buffer.data(), 1, n, out);
            std::fclose(in);
        }
        std::fflush(out);
        ::fsync(fileno(out));
        std::fclose(out);
    });

    std::printf("Regular add-on of %d local tags (%.1f MB)%s\n", kTags, double(total_bytes) / 1e6,
                built ? "" : " -- BUILD FAILED");
    std::printf("  add-on build   %8.1f ms\n", addon_s * 1e3);
    std::printf("  copying bytes  %8.1f ms (open, read and append every file, then fsync)\n", copy_s * 1e3);
    std::printf("  ratio add-on / copy: %.2f\n", addon_s / copy_s);
    UnloadCodex();
    fs::remove_all(game);
    return built ? 0 : 1;
}
