#pragma once
// A fixed team of threads for the few long computations that split well
// (palette refinement, the pictures of a collection build). The work is
// divided so that the result never depends on how many threads there are.
//
// Work goes out as numbered items that the members take in turn, so a
// round ends when its items are done, not when every member has had its
// turn: on a busy machine a thread the system has not woken yet is simply
// left out of the round instead of holding everyone up, and more threads
// are never slower than fewer.

#include <functional>

#include "platform/types.h"

namespace pirn {

// Threads the heavy image operations use: the value set here, or, while
// it is 0 (the default), the cores this process may run on.
u32 WorkerThreadCount();
// 0 goes back to the cores the process may run on.
void SetWorkerThreadCount(u32 threads);

// The caller is member 0; the others are threads started once for the
// team's life, so a computation of many short rounds pays the start-up only
// once. Helpers wait passively (no spinning) between rounds.
class WorkerTeam {
public:
    using ItemTask = std::function<void(u32 item, u32 member)>;

    explicit WorkerTeam(u32 threads);
    ~WorkerTeam();
    WorkerTeam(const WorkerTeam&) = delete;
    WorkerTeam& operator=(const WorkerTeam&) = delete;

    u32 size() const;

    // task(item, member) once for every item 0 .. count - 1, taken in
    // ascending order by whichever members are running; returns once all
    // are done. One member's calls never overlap, so scratch kept per
    // member needs no lock. The caller takes items too, so a round finishes
    // even if no helper ever wakes for it.
    void ForEach(u32 count, const ItemTask& task);

    // task(part) for every part 0 .. size() - 1, as ForEach does with one
    // item per member: parts are never run twice at once, but one thread
    // may run several.
    void Run(const std::function<void(u32 part)>& task);

private:
    struct Shared;
    Shared* shared_;
};

}  // namespace pirn
