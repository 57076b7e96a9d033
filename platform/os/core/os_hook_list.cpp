#include "platform/os/core/os_hook_list.h"

#include <algorithm>
#include <vector>

#include "platform/os/os_hooks.h"

namespace pirn {
namespace {

struct Hook {
    OsHookFunction function;
    void* context;
    bool operator==(const Hook& other) const {
        return function == other.function && context == other.context;
    }
};

std::vector<Hook>& PollHooks() {
    static std::vector<Hook> hooks;
    return hooks;
}

std::vector<Hook>& TerminateHooks() {
    static std::vector<Hook> hooks;
    return hooks;
}

std::vector<int>& Descriptors() {
    static std::vector<int> descriptors;
    return descriptors;
}

bool g_polling = false;

}  // namespace

void OsAddPollHook(OsHookFunction function, void* context) {
    if (!function) return;
    Hook hook{function, context};
    auto& hooks = PollHooks();
    if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void OsRemovePollHook(OsHookFunction function, void* context) {
    auto& hooks = PollHooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), Hook{function, context}), hooks.end());
}

void OsAddWaitDescriptor(int fd) {
    std::vector<int>& fds = Descriptors();
    if (fd >= 0 && std::find(fds.begin(), fds.end(), fd) == fds.end()) fds.push_back(fd);
}

void OsRemoveWaitDescriptor(int fd) {
    std::vector<int>& fds = Descriptors();
    fds.erase(std::remove(fds.begin(), fds.end(), fd), fds.end());
}

void OsAddTerminateHook(OsHookFunction function, void* context) {
    if (function) TerminateHooks().push_back(Hook{function, context});
}

namespace os_hooks {

void RunPollHooks() {
    // A hook may remove itself; iterate over a copy.
    std::vector<Hook> hooks = PollHooks();
    for (const Hook& hook : hooks) hook.function(hook.context);
}

const std::vector<int>& WaitDescriptors() { return Descriptors(); }

void RunTerminateHooks() {
    std::vector<Hook> hooks;
    hooks.swap(TerminateHooks());
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) it->function(it->context);
}

PollGuard::PollGuard() : nested_(g_polling) { g_polling = true; }

PollGuard::~PollGuard() {
    if (!nested_) g_polling = false;
}

}  // namespace os_hooks
}  // namespace pirn
