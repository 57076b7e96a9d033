#pragma once
// The Codex benchmarks' synthetic game folder: 40 archives of 2,500 tags
// each (100,000 entries; the last archives repeat tags of the first ones, so
// the effective-copy rule has choices to make) and 5,000 local tag files,
// half of them overriding archive tags. Also used by the Archive Browser's
// benchmark.

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

// Writes the folder under a new scratch directory in /tmp.
Folder MakeGameFolder();

}  // namespace pirn::bench
