#include "platform/folder_watcher.h"

#include <algorithm>
#include <utility>

#include "platform/folder_listing.h"
#include "platform/folder_notifier.h"
#include "platform/natural_compare.h"

namespace pirn {

namespace {

int CompareEntries(const FolderEntry& a, const FolderEntry& b) {
    return NaturalCompare(a.name.c_str(), b.name.c_str());
}

int AddedEvent(const FolderEntry& e) { return e.info.IsFolder() ? kSubfolderAdded : kFileAdded; }
int ChangedEvent(const FolderEntry& e) {
    return e.info.IsFolder() ? kSubfolderChanged : kFileChanged;
}
int RemovedEvent(const FolderEntry& e) {
    return e.info.IsFolder() ? kSubfolderRemoved : kFileRemoved;
}

// Whether merging old into fresh would report anything.
bool ListingsDiffer(const std::vector<FolderEntry>& old, const std::vector<FolderEntry>& fresh) {
    if (old.size() != fresh.size()) return true;
    for (size_t i = 0; i < old.size(); ++i) {
        if (CompareEntries(old[i], fresh[i]) != 0) return true;
        if (!SameFileState(old[i].info, fresh[i].info)) return true;
    }
    return false;
}

// Removals, then changes, then additions, each pass a merge in name order.
void MergeSnapshots(FolderWatcher& watcher, std::vector<FolderEntry>& old,
                    std::vector<FolderEntry>& fresh, const FileInfo& folder_info,
                    const FolderWatchCallback& callback) {
    size_t i = 0, j = 0;
    while (i < old.size()) {
        int order = j < fresh.size() ? CompareEntries(old[i], fresh[j]) : -1;
        if (order < 0) {
            callback(watcher, RemovedEvent(old[i]), folder_info, &old[i]);
            ++i;
        } else if (order == 0) {
            ++i;
            ++j;
        } else {
            ++j;
        }
    }
    i = j = 0;
    while (i < old.size() && j < fresh.size()) {
        int order = CompareEntries(old[i], fresh[j]);
        if (order < 0) {
            ++i;
        } else if (order > 0) {
            ++j;
        } else {
            fresh[j].user = old[i].user;
            if (!SameFileState(old[i].info, fresh[j].info)) {
                callback(watcher, ChangedEvent(fresh[j]), folder_info, &fresh[j]);
            }
            ++i;
            ++j;
        }
    }
    i = j = 0;
    while (j < fresh.size()) {
        int order = i < old.size() ? CompareEntries(old[i], fresh[j]) : 1;
        if (order > 0) {
            callback(watcher, AddedEvent(fresh[j]), folder_info, &fresh[j]);
            ++j;
        } else if (order == 0) {
            ++i;
            ++j;
        } else {
            ++i;
        }
    }
}

}  // namespace

int CompareFolderEntries(const FolderEntry* a, const FolderEntry* b) {
    if (a == nullptr || b == nullptr) {
        if (a == b) return 0;
        return a == nullptr ? 1 : -1;
    }
    return CompareEntries(*a, *b);
}

bool FolderEntryLess(const FolderEntry& a, const FolderEntry& b) { return CompareEntries(a, b) < 0; }

FolderWatcher::FolderWatcher(const std::string& path, void* user, bool defer)
    : path_(EnsureTrailingSlash(path)), user_(user) {
    if (defer) return;
    FileInfo now;
    if (!StatPath(&now, path_) || !now.IsFolder()) return;
    // Watch before listing, so that nothing between the two goes unseen.
    OpenNotification();
    StatPath(&now, path_);
    exists_ = true;
    folder_info_ = now;
    if (!TakeListing(snapshot_)) relist_pending_ = true;
}

FolderWatcher::~FolderWatcher() { CloseNotification(); }

void FolderWatcher::OpenNotification() {
    if (ticket_ < 0) ticket_ = FolderNotifier::Instance().Watch(path_);
}

void FolderWatcher::CloseNotification() {
    if (ticket_ >= 0) FolderNotifier::Instance().Unwatch(ticket_);
    ticket_ = -1;
}

bool FolderWatcher::TakeListing(std::vector<FolderEntry>& listing) const {
    std::vector<ListedEntry> entries;
    if (!ListFolderEntries(path_, entries)) return false;
    listing.clear();
    listing.reserve(entries.size());
    for (ListedEntry& entry : entries) {
        FolderEntry item;
        item.info = entry.info;
        item.folder = path_;
        item.name = std::move(entry.name);
        listing.push_back(std::move(item));
    }
    std::sort(listing.begin(), listing.end(), FolderEntryLess);
    return true;
}

void FolderWatcher::Poll(const FolderWatchCallback& callback) {
    FolderNotifier::Instance().Refresh();
    Check(callback);
}

void FolderWatcher::Check(const FolderWatchCallback& callback) {
    FileInfo now;
    bool present = StatPath(&now, path_) && now.IsFolder();
    bool signalled = false;
    if (present) {
        if (ticket_ < 0) {
            OpenNotification();
            // What happened while no notification was held is unknown:
            // list once more and report only what differs.
            if (ticket_ >= 0 && exists_) relist_pending_ = true;
        } else {
            FolderNotice notice = FolderNotifier::Instance().Take(ticket_);
            if (notice == FolderNotice::kSignalled) signalled = true;
            if (notice == FolderNotice::kLost) {
                // The watched folder itself went away; whatever stands at
                // the path now is another folder, seen from the next poll.
                CloseNotification();
                present = false;
            }
        }
    } else {
        CloseNotification();
    }
    if (!present) now = FileInfo();
    bool changed = signalled || !SameFileState(now, folder_info_);
    bool appeared = present && !exists_;
    exists_ = present;
    folder_info_ = now;

    if (!present) {
        if (!changed) return;
        relist_pending_ = false;
        std::vector<FolderEntry> old;
        old.swap(snapshot_);
        for (FolderEntry& entry : old) callback(*this, RemovedEvent(entry), folder_info_, &entry);
        callback(*this, kFolderGone, folder_info_, nullptr);
        return;
    }

    // Without a notification (none could be made) the folder's own status
    // misses rewrites of its files, so it is listed at every poll and
    // reported only when the listing differs.
    bool quiet = !appeared && !changed;
    if (quiet && !relist_pending_ && ticket_ >= 0) return;
    if (!quiet) callback(*this, appeared ? kFolderAppeared : kFolderChanged, folder_info_, nullptr);

    std::vector<FolderEntry> fresh;
    if (!TakeListing(fresh)) {
        // Keep the old snapshot: a failed listing is not "everything removed".
        relist_pending_ = true;
        return;
    }
    relist_pending_ = false;
    if (quiet) {
        if (!ListingsDiffer(snapshot_, fresh)) return;
        callback(*this, kFolderChanged, folder_info_, nullptr);
    }
    MergeSnapshots(*this, snapshot_, fresh, folder_info_, callback);
    snapshot_.swap(fresh);
}

FolderWatcher* AddFolderWatcher(FolderWatcherList& list, const std::string& path, void* user,
                                bool defer) {
    list.watchers.push_back(std::make_unique<FolderWatcher>(path, user, defer));
    return list.watchers.back().get();
}

void PollFolderWatchers(FolderWatcherList& list, const FolderWatchCallback& callback) {
    // One read of the shared queue serves the whole list.
    FolderNotifier::Instance().Refresh();
    for (size_t i = 0; i < list.watchers.size(); ++i) list.watchers[i]->Check(callback);
}

void FreeFolderWatchers(FolderWatcherList& list) { list.watchers.clear(); }

}  // namespace pirn
