#include "bench/codex/bench_game_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "codex/tag_group.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

namespace pirn::bench {

namespace {

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

// Writes bytes, then extends the file to `size` bytes without writing them.
void WriteFile(const std::string& path, const std::vector<u8>& bytes, u64 size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0 ||
        ::ftruncate(fileno(f), off_t(size)) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

}  // namespace

// Every archive holds tags of every group; the last archives repeat tags of
// the first ones, so the effective-copy rule has choices to make.
Folder MakeGameFolder(int scale, bool sparse) {
    const int tags_per_archive = kTagsPerArchive * scale, local_tags = kLocalTagCount * scale;
    const int distinct = 95000 * scale;
    char pattern[] = "/tmp/pirn-codex-bench-XXXXXX";
    if (!::mkdtemp(pattern)) std::exit(1);
    Folder folder;
    folder.game = std::string(pattern) + "/";
    std::filesystem::create_directories(folder.game + "tags");
    std::filesystem::create_directories(folder.game + "plugins");
    std::mt19937 random(1234);
    for (int a = 0; a < kArchiveCount; ++a) {
        u16 kind = a == 0 ? 3 : (a < 30 ? 2 : 6);
        std::vector<u32> lengths{};
        lengths.resize(size_t(tags_per_archive));
        u32 data_start = 128 + 64 * u32(tags_per_archive);
        u32 total = data_start;
        for (u32& length : lengths) total += (length = 64 + random() % 448);
        BigEndianBuffer w;
        w.PutU16(kind);
        w.PutU16(u16(a));
        w.PutChars("bench " + std::to_string(a), 32);
        w.PutChars("", 64);
        w.PutU16(0);
        w.PutU16(u16(tags_per_archive));
        w.PutU32(0);
        w.PutU32(0);
        w.PutU32(total);
        w.PutU32(0);
        w.PutU32(data_start);
        w.PutFourCC("dng2");
        u32 offset = data_start;
        for (int i = 0; i < tags_per_archive; ++i) {
            int n = (a * tags_per_archive + i) % distinct;
            u32 group = TagGroupTable[n % kTagGroupCount].code;
            u32 id = 0x41410000u + u32(n / kTagGroupCount);
            PutHeader(w, group, id, "tag " + std::to_string(n), offset, lengths[i]);
            offset += lengths[i];
        }
        if (!sparse) w.mutable_bytes().resize(total, 0x5A);
        std::string path = folder.game + "tags/archive" + std::to_string(a);
        WriteFile(path, w.bytes(), total);
        folder.archives.push_back(path);
    }
    // Local files: half override archive tags, half are new.
    for (int i = 0; i < local_tags; ++i) {
        int n = i * 7;
        u32 group = TagGroupTable[n % kTagGroupCount].code;
        u32 id = (i % 2 ? 0x41410000u : 0x4C4C0000u) + u32(n / kTagGroupCount);
        std::string name = "local " + std::to_string(i);
        std::string dir = folder.game + "local/" + GetTagGroupLabel(group);
        std::filesystem::create_directories(dir);
        u32 length = 1024 + random() % 7168;
        BigEndianBuffer w;
        PutHeader(w, group, id, name, 64, length);
        if (!sparse) w.mutable_bytes().resize(64 + length, 0x33);
        WriteFile(dir + "/" + name, w.bytes(), 64 + length);
        folder.local_files.push_back(dir + "/" + name);
        folder.local_data_bytes += length;
    }
    return folder;
}


}  // namespace pirn::bench
