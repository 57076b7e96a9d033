#include "platform/worker_team.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#endif

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace pirn {

namespace {

std::atomic<u32> g_thread_count{0};

// The cores the process may run on: a process confined to two cores (by
// taskset or a container) should not start eight threads that take turns.
u32 AvailableCores() {
#ifdef _WIN32
    DWORD_PTR process = 0, system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
        u32 count = 0;
        for (; process != 0; process &= process - 1) ++count;
        return count;
    }
#else
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<u32>(count);
    }
#endif
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

u32 WorkerThreadCount() {
    u32 set = g_thread_count.load(std::memory_order_relaxed);
    return set ? set : AvailableCores();
}

void SetWorkerThreadCount(u32 threads) { g_thread_count.store(threads, std::memory_order_relaxed); }

struct WorkerTeam::Shared {
    std::mutex mutex;
    std::condition_variable start;
    std::condition_variable done;
    const std::function<void(u32)>* task = nullptr;
    u64 round = 0;       // bumped for every Run
    u32 unfinished = 0;  // helpers still working on the current round
    bool stopping = false;
    std::vector<std::thread> helpers;

    void Serve(u32 member) {
        u64 seen = 0;
        for (;;) {
            const std::function<void(u32)>* current = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex);
                start.wait(lock, [&] { return stopping || round != seen; });
                if (stopping) return;
                seen = round;
                current = task;
            }
            (*current)(member);
            std::lock_guard<std::mutex> lock(mutex);
            if (--unfinished == 0) done.notify_one();
        }
    }
};

WorkerTeam::WorkerTeam(u32 threads) : shared_(new Shared) {
    threads = std::max(1u, threads);
    shared_->helpers.reserve(threads - 1);
    for (u32 member = 1; member < threads; ++member)
        shared_->helpers.emplace_back([this, member] { shared_->Serve(member); });
}

WorkerTeam::~WorkerTeam() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->start.notify_all();
    for (std::thread& helper : shared_->helpers) helper.join();
    delete shared_;
}

u32 WorkerTeam::size() const { return static_cast<u32>(shared_->helpers.size()) + 1; }

void WorkerTeam::Run(const std::function<void(u32)>& task) {
    if (shared_->helpers.empty()) {
        task(0);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->task = &task;
        shared_->unfinished = static_cast<u32>(shared_->helpers.size());
        ++shared_->round;
    }
    shared_->start.notify_all();
    task(0);
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->done.wait(lock, [&] { return shared_->unfinished == 0; });
}

}  // namespace pirn
