#pragma once
// One folder's entries with their status, read in one pass. Shared by the
// directory walk and the folder watcher so both skip the same names.

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/types.h"

namespace pirn {

struct ListedEntry {
    std::string name;
    FileInfo info;
    u64 device = 0;  // with inode: tells a folder reached twice through links
    u64 inode = 0;
};

struct FolderIdentity {
    u64 device = 0;
    u64 inode = 0;
};

#ifndef _WIN32
// Fills info from a stat record. Readable and writable bits come from the
// mode bits against this process's user and groups, which costs no extra
// system call per entry.
void FillFileInfo(const struct stat& st, FileInfo* info);
#endif

// Lists folder (ending in '/' or not) in the order the system gives, leaving
// out ".", "..", the names of IsIgnoredFolderEntryName and entries that
// cannot be examined. False, with entries emptied, when the folder cannot be
// opened or read.
bool ListFolderEntries(const std::string& folder, std::vector<ListedEntry>& entries,
                       FolderIdentity* identity = nullptr);

}  // namespace pirn
