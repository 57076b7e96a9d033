// The folder watcher and whole-file reads against the bare system calls
// they are built on, measured in the same run:
//  - an idle poll of 53 watchers (one per tag group folder) against 53 stat
//    calls;
//  - the rescan of a folder of 10,000 files after one changed, against a raw
//    readdir plus fstatat of the same folder;
//  - ReadFileBytes of a 64 MiB file against one fread into a ready buffer.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/file_system.h"
#include "platform/folder_watcher.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

void RemoveTree(const std::string& path) {
    WalkDirectory(
        path, true,
        [](const FileInfo&, const std::string& folder, const std::string& name) {
            unlink((folder + name).c_str());
            return true;
        },
        nullptr);
    std::vector<std::string> folders;
    WalkDirectory(path, true, nullptr,
                  [&](const FileInfo&, const std::string& folder, const std::string& name) {
                      folders.push_back(folder + name);
                      return true;
                  });
    std::sort(folders.rbegin(), folders.rend());
    for (const std::string& f : folders) rmdir(f.c_str());
    rmdir(path.c_str());
}

// The fixtures need no durability; syncing 11,000 files would dominate the run.
void WriteQuickly(const std::string& path, const std::string& text) {
    SafeFileWriter out;
    out.set_sync(false);
    if (out.Open(path)) {
        out.Write(text.data(), text.size());
        out.Commit();
    }
}

}  // namespace

int main() {
    char pattern[] = "/tmp/pirn-files-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const std::string root = pattern;
    int events = 0;
    auto count = [&](FolderWatcher&, int, const FileInfo&, FolderEntry*) { ++events; };

    // Idle watchers.
    FolderWatcherList groups;
    std::vector<std::string> group_paths;
    for (int i = 0; i < 53; ++i) {
        std::string folder = root + "/group" + std::to_string(i);
        MakeDirectory(folder);
        for (int j = 0; j < 20; ++j) WriteQuickly(folder + "/t" + std::to_string(j), "x");
        AddFolderWatcher(groups, folder, nullptr, false);
        group_paths.push_back(folder + "/");
    }
    const int rounds = 1000;
    double idle = BestSeconds(5, [&] { for (int r = 0; r < rounds; ++r) PollFolderWatchers(groups, count); });
    double stats = BestSeconds(5, [&] {
        struct stat st;
        for (int r = 0; r < rounds; ++r) {
            for (const std::string& p : group_paths) stat(p.c_str(), &st);
        }
    });
    std::printf("idle poll of 53 watchers: %.2f us, 53 stat calls %.2f us, ratio %.2f (events %d)\n",
                idle / rounds * 1e6, stats / rounds * 1e6, idle / stats, events);

    // Rescan of a large folder.
    std::string big = root + "/local";
    MakeDirectory(big);
    for (int i = 0; i < 10000; ++i) WriteQuickly(big + "/tag" + std::to_string(i), "data");
    FolderWatcherList local;
    AddFolderWatcher(local, big, nullptr, false);
    int touch = 0;
    double rescan = BestSeconds(9, [&] {
        // One file rewritten: the poll relists and merges the folder.
        WriteQuickly(big + "/tag" + std::to_string(touch++ % 10000), "changed");
        PollFolderWatchers(local, count);
    });
    double raw = BestSeconds(9, [&] {
        DIR* dir = opendir(big.c_str());
        struct stat st;
        std::vector<std::string> names;
        while (struct dirent* e = readdir(dir)) {
            if (fstatat(dirfd(dir), e->d_name, &st, 0) == 0) names.push_back(e->d_name);
        }
        closedir(dir);
    });
    std::printf("rescan of 10,000 files: %.2f ms, raw readdir+fstatat %.2f ms, ratio %.2f\n",
                rescan * 1e3, raw * 1e3, rescan / raw);

    // Whole-file read.
    std::string file = root + "/big.bin";
    std::vector<unsigned char> block(64u << 20, 7);
    WriteFileSafely(file, block.data(), block.size());
    std::vector<u8> bytes;
    double ours = BestSeconds(5, [&] { ReadFileBytes(file, bytes, false); });
    double bare = BestSeconds(5, [&] {
        FILE* f = std::fopen(file.c_str(), "rb");
        size_t got = std::fread(block.data(), 1, block.size(), f);
        std::fclose(f);
        if (got != block.size()) std::puts("short read");
    });
    std::printf("ReadFileBytes 64 MiB: %.2f ms, bare fread %.2f ms, ratio %.2f\n", ours * 1e3,
                bare * 1e3, ours / bare);

    FreeFolderWatchers(groups);
    FreeFolderWatchers(local);
    RemoveTree(root);
    return 0;
}
