#pragma once
// Keeps a sorted snapshot of one folder and reports, at each poll, whether
// the folder appeared, changed or went away, and which entries were added,
// changed or removed since the last poll. Polling never blocks: a watcher
// that holds a change notification costs one status call and one
// non-blocking read while nothing happens.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/types.h"

namespace pirn {

struct FolderEntry {
    FileInfo info;
    std::string folder;  // the watched folder's path, ending in '/'
    std::string name;
    // Belongs to the caller of the poll (for example its own record of the
    // file); carried to the new snapshot whenever the same name is found
    // again.
    u64 user = 0;
};

enum FolderEvent : int {
    kFolderAppeared = 0,     // the watched folder appeared (or reappeared)
    kFolderChanged = 1,      // the watched folder changed
    kFolderGone = 2,         // the watched folder is gone
    kFileAdded = 3,          // entry: the new one
    kSubfolderAdded = 4,
    kFileChanged = 5,        // flags, size, modification or change time differ; entry: the new one
    kSubfolderChanged = 6,
    kFileRemoved = 7,        // entry: the old one
    kSubfolderRemoved = 8,
};

// Snapshot order: NaturalCompare of the names, which breaks its own ties
// bytewise, so "A" and "a" stay two entries. Null entries sort last.
int CompareFolderEntries(const FolderEntry* a, const FolderEntry* b);
bool FolderEntryLess(const FolderEntry& a, const FolderEntry& b);

class FolderWatcher;
struct FolderWatcherList;

// The folder events (0-2) come with a null entry. The entry of 3-6 may be
// changed (its user value); entries are valid during the call only.
using FolderWatchCallback = std::function<void(FolderWatcher& watcher, int event,
                                               const FileInfo& folder_info, FolderEntry* entry)>;

class FolderWatcher {
public:
    FolderWatcher(const std::string& path, void* user, bool defer);
    ~FolderWatcher();
    FolderWatcher(const FolderWatcher&) = delete;
    FolderWatcher& operator=(const FolderWatcher&) = delete;

    const std::string& path() const { return path_; }
    void* user() const { return user_; }
    bool exists() const { return exists_; }
    const FileInfo& folder_info() const { return folder_info_; }
    const std::vector<FolderEntry>& snapshot() const { return snapshot_; }
    // The same entries with their user values open to change (after a poll,
    // for entries its callback could not settle; the values are carried to
    // later snapshots as usual).
    std::vector<FolderEntry>& snapshot_entries() { return snapshot_; }
    // Whether a change notification currently backs this watcher.
    bool has_notification() const { return ticket_ >= 0; }

    // Checks the folder and reports what changed since the last poll.
    void Poll(const FolderWatchCallback& callback);

private:
    friend void PollFolderWatchers(FolderWatcherList& list, const FolderWatchCallback& callback);
    // Poll without first reading the shared notification queue.
    void Check(const FolderWatchCallback& callback);

    void OpenNotification();
    void CloseNotification();
    // Lists the folder; false (snapshot untouched) when it cannot be read.
    bool TakeListing(std::vector<FolderEntry>& listing) const;

    std::string path_;
    void* user_ = nullptr;
    int ticket_ = -1;
    FileInfo folder_info_;
    std::vector<FolderEntry> snapshot_;
    bool exists_ = false;
    // A listing failed: list again at the next poll even if nothing signals.
    bool relist_pending_ = false;
};

// Owns its watchers; polled in the order they were added.
struct FolderWatcherList {
    std::vector<std::unique_ptr<FolderWatcher>> watchers;
};

// Without defer the folder is examined and listed at once; with defer the
// snapshot starts empty and the folder counts as absent, so the first poll
// reports it as appeared and every entry as added.
FolderWatcher* AddFolderWatcher(FolderWatcherList& list, const std::string& path, void* user,
                                bool defer);
// Polls every watcher of the list in order. Callbacks may add watchers
// (they are polled in the same round) but must not free the list.
void PollFolderWatchers(FolderWatcherList& list, const FolderWatchCallback& callback);
// Closes every watcher's notification and frees the watchers.
void FreeFolderWatchers(FolderWatcherList& list);

}  // namespace pirn
