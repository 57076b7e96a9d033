// Codex benchmark: a synthetic game folder of 40 archives holding 100,000
// tags and 5,000 local tag files. Measures the Codex start (archives, local
// folder, default working set), listing the effective copy of every tag and
// building a plugin of the 5,000 local tags, each against reading or copying
// the same bytes raw in the same run. Then the start again on folders 4 and
// 16 times as large, to show how it grows. Times are the best of several
// runs (warm file cache).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "codex/codex.h"
#include "codex/plugin_writer.h"
#include "bench/codex/bench_game_folder.h"
#include "codex/tag_group.h"
#include "platform/log_message.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

using namespace pirn;

namespace {

constexpr int kRuns = 5;

using bench::Folder;
using bench::MakeGameFolder;
using bench::kArchiveCount;
using bench::kLocalTagCount;
using bench::kTagsPerArchive;

// Best time of kRuns runs of work, each after an untimed setup.
double Seconds(const std::function<void()>& work, const std::function<void()>& setup = nullptr) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        if (setup) setup();
        auto start = std::chrono::steady_clock::now();
        work();
        double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (took < best) best = took;
    }
    return best;
}

// The bytes the Codex start reads, read raw: every archive's header and
// directory, and every local file's header found by listing its folder.
void ReadDirectoriesRaw(const Folder& folder, int scale = 1) {
    std::vector<u8> buffer(128 + 64 * size_t(kTagsPerArchive) * size_t(scale));
    for (const std::string& path : folder.archives) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f || std::fread(buffer.data(), 1, buffer.size(), f) != buffer.size()) std::exit(2);
        std::fclose(f);
    }
    u8 header[64];
    for (u32 g = 0; g < kTagGroupCount; ++g) {
        std::string dir = folder.game + "local/" + TagGroupTable[g].plural_label + "/";
        DIR* listing = ::opendir(dir.c_str());
        if (!listing) continue;
        while (dirent* entry = ::readdir(listing)) {
            if (entry->d_name[0] == '.') continue;
            std::FILE* f = std::fopen((dir + entry->d_name).c_str(), "rb");
            if (!f || std::fread(header, 1, 64, f) != 64) std::exit(3);
            std::fclose(f);
        }
        ::closedir(listing);
    }
}

void StartCodex(const Folder& folder) {
    for (const std::string& path : folder.archives) AddArchive(path);
    SetLocalFolder(folder.game + "local");
    SetDefaultWorkingSet();
}

// The plugin's data bytes copied raw into one file.
void CopyLocalDataRaw(const Folder& folder, const std::string& out_path) {
    std::FILE* out = std::fopen(out_path.c_str(), "wb");
    std::vector<u8> buffer(64 * 1024);
    for (const std::string& path : folder.local_files) {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        if (!in || std::fseek(in, 64, SEEK_SET) != 0) std::exit(4);
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) std::fwrite(buffer.data(), 1, got, out);
        std::fclose(in);
    }
    std::fflush(out);
    ::fsync(fileno(out));  // the plugin writer makes its file durable too
    std::fclose(out);
}

}  // namespace

int main() {
    SetLogHandler([](i32, const std::string&, const std::string&) {});
    std::printf("Building the synthetic game folder...\n");
    Folder folder = MakeGameFolder();

    double raw_directories = Seconds([&] { ReadDirectoriesRaw(folder); });
    double start = Seconds([&] { StartCodex(folder); }, [] { UnloadCodex(); });
    double archives_only = Seconds(
        [&] {
            for (const std::string& path : folder.archives) AddArchive(path);
        },
        [] { UnloadCodex(); });
    double local_only = Seconds([&] { SetLocalFolder(folder.game + "local"); }, [] { UnloadCodex(); });
    StartCodex(folder);

    TagList all;
    ListAllTags(all);
    size_t available = all.size();
    double listing = Seconds([&] {
        TagList list;
        ListAllTags(list);
        SortTagList(list);
        u64 sum = 0;
        TagHeader header{};
        for (TagEntry* tag : list) {
            GetTagHeader(tag, &header);
            sum += header.data_length;
        }
        if (sum == 0) std::exit(5);
    });

    double raw_copy = Seconds([&] { CopyLocalDataRaw(folder, folder.game + "raw-copy"); });
    int built = 1;
    double plugin = Seconds([&] {
        TagList local;
        ListLocalTags(local);
        built &= BuildPluginFileInFolder(folder.game + "plugins", local, 6, "Bench Addon", "bench", 100);
    });

    std::printf("tags available: %zu, local tags: %d, plugin data: %.1f MB, plugin built: %s\n", available,
                kLocalTagCount, folder.local_data_bytes / 1e6, built ? "yes" : "NO");
    std::printf("%-44s %9.2f ms\n", "raw read of directories and local headers", raw_directories * 1e3);
    std::printf("%-44s %9.2f ms  ratio %.2f (goal <= 3)\n", "Codex start", start * 1e3, start / raw_directories);
    std::printf("  %-42s %9.2f ms\n", "of which adding the 40 archives", archives_only * 1e3);
    std::printf("  %-42s %9.2f ms\n", "of which reading the local folder", local_only * 1e3);
    std::printf("%-44s %9.2f ms  ratio %.2f to the raw directory read\n", "list, sort and read every effective copy",
                listing * 1e3, listing / raw_directories);
    std::printf("%-44s %9.2f ms\n", "raw copy of the local tag data", raw_copy * 1e3);
    std::printf("%-44s %9.2f ms  ratio %.2f (goal <= 2)\n", "plugin of the local tags", plugin * 1e3,
                plugin / raw_copy);

    UnloadCodex();
    std::filesystem::remove_all(folder.game);

    // Growth: the start on larger folders (no tag data, only headers and
    // directories), each against its own raw read.
    std::printf("Codex start by size (goal: within 3x of the raw read at every size):\n");
    double first_per_tag = 0;
    for (int scale : {1, 4, 16}) {
        Folder scaled = MakeGameFolder(scale, true);
        const double raw = Seconds([&] { ReadDirectoriesRaw(scaled, scale); });
        const double ours = Seconds([&] { StartCodex(scaled); }, [] { UnloadCodex(); });
        UnloadCodex();
        const double entries = double(kArchiveCount) * kTagsPerArchive * scale + double(kLocalTagCount) * scale;
        const double per_tag = ours / entries;
        if (scale == 1) first_per_tag = per_tag;
        std::printf("  %2dx: %8.0f entries  raw %9.2f ms  start %9.2f ms  ratio %.2f  time per entry %.2fx the 1x one\n",
                    scale, entries, raw * 1e3, ours * 1e3, ours / raw, per_tag / first_per_tag);
        std::filesystem::remove_all(scaled.game);
    }
    return built ? 0 : 1;
}
