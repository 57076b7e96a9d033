// The inotify notifier; Windows has folder_notifier_windows.cpp.
#ifndef _WIN32

#include "platform/folder_notifier.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace pirn {

namespace {

constexpr unsigned kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB |
                                IN_MODIFY | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR | IN_EXCL_UNLINK;

}  // namespace

FolderNotifier& FolderNotifier::Instance() {
    // Never destroyed: watchers in static lists may end after exit handlers.
    static FolderNotifier* instance = new FolderNotifier();
    return *instance;
}

int FolderNotifier::Watch(const std::string& folder) {
    if (!enabled_) return -1;
    if (fd_ < 0) {
        fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd_ < 0) return -1;
    }
    // Events queued before this ticket belong to others.
    Refresh();
    int watch = inotify_add_watch(fd_, folder.c_str(), kWatchMask);
    if (watch < 0) return -1;
    int ticket = next_ticket_++;
    tickets_[ticket].watch = watch;
    tickets_by_watch_[watch].push_back(ticket);
    return ticket;
}

void FolderNotifier::Unwatch(int ticket) {
    auto found = tickets_.find(ticket);
    if (found == tickets_.end()) return;
    int watch = found->second.watch;
    tickets_.erase(found);
    if (watch < 0) return;
    auto list = tickets_by_watch_.find(watch);
    if (list == tickets_by_watch_.end()) return;
    std::vector<int>& ids = list->second;
    ids.erase(std::remove(ids.begin(), ids.end(), ticket), ids.end());
    if (ids.empty()) {
        tickets_by_watch_.erase(list);
        inotify_rm_watch(fd_, watch);  // may already be gone: harmless
    }
}

FolderNotice FolderNotifier::Take(int ticket) {
    auto found = tickets_.find(ticket);
    if (found == tickets_.end()) return FolderNotice::kLost;
    Ticket& state = found->second;
    if (state.lost) return FolderNotice::kLost;
    if (!state.signalled) return FolderNotice::kQuiet;
    state.signalled = false;
    return FolderNotice::kSignalled;
}

void FolderNotifier::MarkWatch(int watch, bool lost) {
    auto list = tickets_by_watch_.find(watch);
    if (list == tickets_by_watch_.end()) return;
    for (int id : list->second) {
        Ticket& state = tickets_[id];
        state.signalled = true;
        if (lost) state.lost = true;
    }
}

void FolderNotifier::Refresh() {
    if (fd_ < 0) return;
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
        ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            return;  // EAGAIN: the queue is empty
        }
        size_t offset = 0;
        while (offset + sizeof(struct inotify_event) <= static_cast<size_t>(got)) {
            struct inotify_event event;
            std::memcpy(&event, buffer + offset, sizeof event);
            offset += sizeof(struct inotify_event) + event.len;
            if (event.mask & IN_Q_OVERFLOW) {
                // Events were dropped: every folder may have changed.
                for (auto& entry : tickets_) entry.second.signalled = true;
                continue;
            }
            if (event.mask & IN_IGNORED) {
                // The kernel removed the watch; its number must not be used again.
                auto list = tickets_by_watch_.find(event.wd);
                if (list != tickets_by_watch_.end()) {
                    for (int id : list->second) {
                        Ticket& state = tickets_[id];
                        state.lost = true;
                        state.watch = -1;
                    }
                    tickets_by_watch_.erase(list);
                }
                continue;
            }
            bool lost = (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) != 0;
            MarkWatch(event.wd, lost);
        }
    }
}

}  // namespace pirn

#endif  // !_WIN32
