#pragma once
// Shared by both backends: the poll and terminate hooks and the guard that
// keeps `OsPollEvents` from nesting.

#include <vector>

namespace pirn {
namespace os_hooks {

// Runs the poll hooks (end of a non-nested OsPollEvents).
void RunPollHooks();
// The descriptors a wait for input watches besides the window's own.
const std::vector<int>& WaitDescriptors();
// Runs and clears the terminate hooks, newest first.
void RunTerminateHooks();

// True while an OsPollEvents is running; a nested call must return at once.
class PollGuard {
public:
    PollGuard();
    ~PollGuard();
    PollGuard(const PollGuard&) = delete;
    PollGuard& operator=(const PollGuard&) = delete;
    bool nested() const { return nested_; }

private:
    bool nested_;
};

}  // namespace os_hooks
}  // namespace pirn
