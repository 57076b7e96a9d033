// The Windows notifier: a change-notification handle per watched folder
// (names, attributes and last writes of its entries), tested without
// waiting and re-armed after each signal.
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
        // A handle that cannot be re-armed (its folder went) is closed; the
        // watcher then counts the folder as gone for this check.
        if (!FindNextChangeNotification(change)) {
            FindCloseChangeNotification(change);
            state.change = nullptr;
            state.lost = true;
        }
    }
}

}  // namespace pirn

#endif  // _WIN32
