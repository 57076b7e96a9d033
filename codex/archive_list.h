#pragma once
// The Codex's list of open archives and the working set (the active ones).

#include <string>
#include <vector>

#include "codex/archive.h"

namespace pirn {

using ArchiveList = std::vector<Archive*>;

// Returns the open archive of this exact path, or opens it, adds its entries
// to the catalogue (not those whose id 0xFFFFFFFF stands for no tag),
// appends it (inactive) and notifies event 6. Null when the file is not a
// readable archive.
Archive* AddArchive(const std::string& path);
// The same for an archive already read (OpenArchiveFile) from another file
// that now has the name `path`: the catalogue takes it over.
Archive* AddOpenedArchive(Archive* archive, const std::string& path);

// Adds every file of a folder that reads as an archive (not its subfolders),
// after removing what interrupted saves left there. Returns how many were
// added.
u32 AddArchivesInFolder(const std::string& folder);

// Event 7, then refuses (0) while any tag of the archive is in use. Otherwise
// sends event 4 for every tag that stops being available or is about to be
// freed, removes the archive's sources, takes it out of the list, frees it,
// sends event 2 for tags whose effective copy moved to another archive (and
// event 5 when it was active) and returns 1.
int CloseArchive(Archive* archive);
// As CloseArchive; 1 also for null.
int CloseAndRemoveArchive(Archive* archive);
// Closes every archive that can be closed; 1 when all were.
int CloseAllArchives();

u32 CountArchives();
Archive* GetArchive(u32 index);
const char* GetArchiveName(const Archive* archive);
Archive* FindArchiveByName(const std::string& file_name);
Archive* FindArchiveByPath(const std::string& path);
bool IsArchiveActive(const Archive* archive);

// Rank keys: inactive -1; active kind 3 -3, kind 2 -2, kind 6 -1, other
// kinds their priority. Smaller first, then file name ascending.
int CompareArchives(const Archive* a, const Archive* b);

// Appends every active archive in CompareArchives order.
void GetWorkingSet(ArchiveList& list);
// Activates exactly the listed archives (in the order they were opened,
// duplicates dropped); kinds 1, 5 and 7 get priorities 0, 1, 2, ... in that
// order. Sorts the archive list and notifies event 5.
void SetWorkingSet(const ArchiveList& list);
// Every open archive of kind 2, 3 or 6.
void SetDefaultWorkingSet();

}  // namespace pirn
