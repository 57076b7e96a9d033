#pragma once
// Change notification for watched folders, never waited on, only tested.
// On Linux one inotify instance shared by every watcher of the process (the
// per-user limit on instances is small, and parallel test runs share it);
// on Windows one change-notification handle per watched folder.

#include <map>
#include <string>
#include <vector>

namespace pirn {

enum class FolderNotice {
    kQuiet,      // nothing happened since the last look
    kSignalled,  // the folder's entries or their status changed
    kLost,       // the watch is gone (folder deleted, moved away or unmounted)
};

class FolderNotifier {
public:
    static FolderNotifier& Instance();

    // Starts watching one folder (not its subfolders). Returns a ticket, or
    // -1 when no watch can be made (no instance, the watch limit reached, not
    // a folder); the caller then relies on comparing status records.
    int Watch(const std::string& folder);
    // Ends a ticket; the folder's watch goes when its last ticket does.
    void Unwatch(int ticket);
    // Reads what the system queued so far, without blocking.
    void Refresh();
    // This ticket's state as of the last Refresh, clearing its signalled
    // mark.
    FolderNotice Take(int ticket);

    // Tests switch notifications off to exercise the polling fallback.
    void SetEnabled(bool enabled) { enabled_ = enabled; }

private:
    struct Ticket {
        int watch = -1;  // inotify watch descriptor; -1 once the watch is gone
        void* change = nullptr;  // Windows change-notification handle
        bool signalled = false;
        bool lost = false;
    };

    FolderNotifier() = default;
    void MarkWatch(int watch, bool lost);

    int fd_ = -1;
    bool enabled_ = true;
    int next_ticket_ = 0;
    std::map<int, Ticket> tickets_;
    std::map<int, std::vector<int>> tickets_by_watch_;
};

}  // namespace pirn
