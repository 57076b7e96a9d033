#pragma once
// The Codex benchmarks' synthetic game folder: 40 archives of 2,500 tags
// each (100,000 entries; the last archives repeat tags of the first ones, so
// the effective-copy rule has choices to make) and 5,000 local tag files,
// half of them overriding archive tags; or the same scaled up, with as many
// times the tags per archive and the local files. Also used by the Archive
// Browser's benchmark.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn::bench {

constexpr int kArchiveCount = 40;
constexpr int kTagsPerArchive = 2500;
constexpr int kLocalTagCount = 5000;

struct Folder {
    std::string game;  // ends with '/'
    std::vector<std::string> archives;
    std::vector<std::string> local_files;
    u64 local_data_bytes = 0;
};

// Writes the folder under a new scratch directory in /tmp. A scaled folder
// has `scale` times the tags per archive and the local files. Sparse
// files hold their headers and directories but no data blocks (what lies
// past them reads as zeros), so that large folders take little disk.
Folder MakeGameFolder(int scale = 1, bool sparse = false);

}  // namespace pirn::bench
