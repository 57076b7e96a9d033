#pragma once
// A fixed team of threads for the few long computations that split well
// (palette refinement, error diffusion). The work is divided so that the
// result never depends on how many threads there are.

#include <functional>

#include "platform/types.h"

namespace pirn {

// Threads the heavy image operations use: the value set here, or, while
// it is 0 (the default), the cores this process may run on.
u32 WorkerThreadCount();
// 0 goes back to the cores the process may run on.
void SetWorkerThreadCount(u32 threads);

// Runs one task on every member at once and waits for all of them; the
// caller is member 0, the others are threads started once for the team's
// life, so a computation of many short rounds pays the start-up only once.
class WorkerTeam {
public:
    explicit WorkerTeam(u32 threads);
    ~WorkerTeam();
    WorkerTeam(const WorkerTeam&) = delete;
    WorkerTeam& operator=(const WorkerTeam&) = delete;

    u32 size() const;
    // task(member) for every member 0 .. size() - 1; returns once all are
    // done.
    void Run(const std::function<void(u32 member)>& task);

private:
    struct Shared;
    Shared* shared_;
};

}  // namespace pirn
