// The Windows notifier: a change-notification handle per watched folder
// (names, attributes and last writes of its entries), tested without
// waiting. After a signal the handle is closed and opened again rather than
// re-armed: an open handle keeps a deleted folder pending deletion, so the
// watcher would never see it go.
#ifdef _WIN32

#include "platform/folder_notifier.h"

#include <windows.h>

#include "platform/windows_files.h"

namespace pirn {

namespace {

constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

FolderNotifier& FolderNotifier::Instance() {
    // Never destroyed: watchers in static lists may end after exit handlers.
    static FolderNotifier* instance = new FolderNotifier();
    return *instance;
}

int FolderNotifier::Watch(const std::string& folder) {
    if (!enabled_) return -1;
    HANDLE change = FindFirstChangeNotificationW(WidePath(folder).c_str(), FALSE, kChangeFilter);
    if (change == INVALID_HANDLE_VALUE) return -1;
    int ticket = next_ticket_++;
    tickets_[ticket].change = change;
    tickets_[ticket].folder = folder;
    return ticket;
}

void FolderNotifier::Unwatch(int ticket) {
    auto found = tickets_.find(ticket);
    if (found == tickets_.end()) return;
    if (found->second.change != nullptr) FindCloseChangeNotification(static_cast<HANDLE>(found->second.change));
    tickets_.erase(found);
}

FolderNotice FolderNotifier::Take(int ticket) {
    auto found = tickets_.find(ticket);
    if (found == tickets_.end()) return FolderNotice::kLost;
    Ticket& state = found->second;
    if (state.change == nullptr && !state.lost) {
        // Closed at the signal; a folder that went cannot be opened again.
        HANDLE change = FindFirstChangeNotificationW(WidePath(state.folder).c_str(), FALSE, kChangeFilter);
        if (change == INVALID_HANDLE_VALUE)
            state.lost = true;
        else
            state.change = change;
    }
    if (state.lost) return FolderNotice::kLost;
    if (!state.signalled) return FolderNotice::kQuiet;
    state.signalled = false;
    return FolderNotice::kSignalled;
}

void FolderNotifier::MarkWatch(int, bool) {}

void FolderNotifier::Refresh() {
    for (auto& entry : tickets_) {
        Ticket& state = entry.second;
        if (state.change == nullptr || state.lost) continue;
        HANDLE change = static_cast<HANDLE>(state.change);
        if (WaitForSingleObject(change, 0) != WAIT_OBJECT_0) continue;
        state.signalled = true;
        FindCloseChangeNotification(change);
        state.change = nullptr;
    }
}

}  // namespace pirn

#endif  // _WIN32
