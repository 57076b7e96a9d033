#pragma once
// Independent per-picture work of the builders (decoding, cropping,
// labelling, resampling) spread over the worker team. Each task writes only
// its own result slot, so what comes out never depends on the number of
// threads; the caller then walks the results in order.

#include <algorithm>
#include <atomic>
#include <functional>

#include "platform/types.h"
#include "platform/worker_team.h"

namespace pirn {

inline void RunBuildTasks(size_t count, const std::function<void(size_t index)>& task) {
    if (count == 0) return;
    const u32 threads = static_cast<u32>(std::min<size_t>(std::max<u32>(1, WorkerThreadCount()), count));
    if (threads == 1) {
        for (size_t i = 0; i < count; ++i) task(i);
        return;
    }
    std::atomic<size_t> next{0};
    WorkerTeam team(threads);
    team.Run([&](u32) {
        for (size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) task(i);
    });
}

}  // namespace pirn
