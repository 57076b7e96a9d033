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
    // The current round, read by a joining helper under the mutex.
    u32 round = 0;
    const ItemTask* task = nullptr;
    u32 count = 0;
    // The round in the high half and its next item in the low half, so a
    // helper that wakes after its round is over can never take an item of
    // the next one.
    std::atomic<u64> next{0};
    std::atomic<u32> unfinished{0};  // items of the round not yet done
    bool stopping = false;
    std::vector<std::thread> helpers;

    bool Claim(u32 of_round, u32 items, u32* item) {
        u64 value = next.load(std::memory_order_acquire);
        for (;;) {
            if (u32(value >> 32) != of_round || u32(value) >= items) return false;
            if (next.compare_exchange_weak(value, value + 1, std::memory_order_acq_rel, std::memory_order_acquire)) {
                *item = u32(value);
                return true;
            }
        }
    }

    // Items until the round has none left. A claimed item keeps its round
    // (and so the caller's task) alive until it is finished.
    void Work(u32 of_round, u32 items, const ItemTask& work, u32 member) {
        u32 item = 0;
        while (Claim(of_round, items, &item)) {
            work(item, member);
            if (unfinished.fetch_sub(1, std::memory_order_acq_rel) == 1) {
                std::lock_guard<std::mutex> lock(mutex);
                done.notify_one();
            }
        }
    }

    void Serve(u32 member) {
        u32 seen = 0;
        for (;;) {
            u32 of_round = 0, items = 0;
            const ItemTask* work = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex);
                start.wait(lock, [&] { return stopping || round != seen; });
                if (stopping) return;
                seen = of_round = round;
                work = task;
                items = count;
            }
            // Helpers wake one another while items are left: a round the
            // caller finishes alone costs it a single wake-up, a long one
            // soon has the whole team.
            const u64 now = next.load(std::memory_order_acquire);
            if (u32(now >> 32) == of_round && u32(now) < items) start.notify_one();
            Work(of_round, items, *work, member);
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

void WorkerTeam::ForEach(u32 count, const ItemTask& task) {
    if (count == 0) return;
    Shared& s = *shared_;
    if (s.helpers.empty() || count == 1) {
        for (u32 item = 0; item < count; ++item) task(item, 0);
        return;
    }
    u32 of_round = 0;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        of_round = ++s.round;
        s.task = &task;
        s.count = count;
        s.unfinished.store(count, std::memory_order_relaxed);
        s.next.store(u64(of_round) << 32, std::memory_order_release);
    }
    s.start.notify_one();
    s.Work(of_round, count, task, 0);
    std::unique_lock<std::mutex> lock(s.mutex);
    s.done.wait(lock, [&] { return s.unfinished.load(std::memory_order_acquire) == 0; });
}

void WorkerTeam::Run(const std::function<void(u32)>& task) {
    ForEach(size(), [&](u32 part, u32) { task(part); });
}

}  // namespace pirn
