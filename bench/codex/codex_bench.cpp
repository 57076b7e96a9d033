// Codex benchmark: a synthetic game folder of 40 archives holding 100,000
// tags and 5,000 local tag files. Measures the Codex start (archives, local
// folder, default working set), listing the effective copy of every tag and
// building a plugin of the 5,000 local tags, each against reading or copying
// the same bytes raw in the same run. Times are the best of several runs
// (warm file cache).

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
#include "codex/tag_group.h"
#include "platform/log_message.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

using namespace pirn;

namespace {

constexpr int kArchiveCount = 40;
constexpr int kTagsPerArchive = 2500;
constexpr int kLocalTagCount = 5000;
constexpr int kRuns = 5;

using fixture::BigEndianBuffer;

void PutHeader(BigEndianBuffer& w, u32 group, u32 id, const std::string& name, u32 offset, u32 length) {
    fixture::TagHeaderFields h;
    h.name = name;
    h.group = group;
    h.id = id;
    h.data_offset = offset;
    h.data_length = length;
    fixture::PutTagHeader(w, h);
}

void WriteFile(const std::string& path, const std::vector<u8>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

struct Folder {
    std::string game;
    std::vector<std::string> archives;
    std::vector<std::string> local_files;
    u64 local_data_bytes = 0;
};

// Every archive holds tags of every group; the last archives repeat tags of
// the first ones, so the effective-copy rule has choices to make.
Folder MakeGameFolder() {
    char pattern[] = "/tmp/pirn-codex-bench-XXXXXX";
    if (!::mkdtemp(pattern)) std::exit(1);
    Folder folder;
    folder.game = std::string(pattern) + "/";
    std::filesystem::create_directories(folder.game + "tags");
    std::filesystem::create_directories(folder.game + "plugins");
    std::mt19937 random(1234);
    for (int a = 0; a < kArchiveCount; ++a) {
        u16 kind = a == 0 ? 3 : (a < 30 ? 2 : 6);
        std::vector<u32> lengths(kTagsPerArchive);
        u32 data_start = 128 + 64 * kTagsPerArchive;
        u32 total = data_start;
        for (u32& length : lengths) total += (length = 64 + random() % 448);
        BigEndianBuffer w;
        w.PutU16(kind);
        w.PutU16(u16(a));
        w.PutChars("bench " + std::to_string(a), 32);
        w.PutChars("", 64);
        w.PutU16(0);
        w.PutU16(kTagsPerArchive);
        w.PutU32(0);
        w.PutU32(0);
        w.PutU32(total);
        w.PutU32(0);
        w.PutU32(data_start);
        w.PutFourCC("dng2");
        u32 offset = data_start;
        for (int i = 0; i < kTagsPerArchive; ++i) {
            int n = (a * kTagsPerArchive + i) % 95000;
            u32 group = TagGroupTable[n % kTagGroupCount].code;
            u32 id = 0x41410000u + u32(n / kTagGroupCount);
            PutHeader(w, group, id, "tag " + std::to_string(n), offset, lengths[i]);
            offset += lengths[i];
        }
        w.mutable_bytes().resize(total, 0x5A);
        std::string path = folder.game + "tags/archive" + std::to_string(a);
        WriteFile(path, w.bytes());
        folder.archives.push_back(path);
    }
    // Local files: half override archive tags, half are new.
    for (int i = 0; i < kLocalTagCount; ++i) {
        int n = i * 7;
        u32 group = TagGroupTable[n % kTagGroupCount].code;
        u32 id = (i % 2 ? 0x41410000u : 0x4C4C0000u) + u32(n / kTagGroupCount);
        std::string name = "local " + std::to_string(i);
        std::string dir = folder.game + "local/" + GetTagGroupLabel(group);
        std::filesystem::create_directories(dir);
        u32 length = 1024 + random() % 7168;
        BigEndianBuffer w;
        PutHeader(w, group, id, name, 64, length);
        w.mutable_bytes().resize(64 + length, 0x33);
        WriteFile(dir + "/" + name, w.bytes());
        folder.local_files.push_back(dir + "/" + name);
        folder.local_data_bytes += length;
    }
    return folder;
}

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
void ReadDirectoriesRaw(const Folder& folder) {
    std::vector<u8> buffer(128 + 64 * kTagsPerArchive);
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
    return built ? 0 : 1;
}
