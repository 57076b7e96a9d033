#pragma once
// Best-of-n timing shared by the benchmarks: the machine is shared, so the
// least disturbed run is the figure. Templates, so that a short piece of work
// is timed without a call through a function object around it.

#include <algorithm>
#include <chrono>

namespace bench_timing {

using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// The least of `runs` runs of `run`, each returning the seconds it measured
// itself (so that set-up inside it can stay untimed).
template <typename Run>
double Best(int runs, Run&& run) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) best = std::min(best, run());
    return best;
}

// The least wall-clock seconds of `runs` runs of `work`.
template <typename Work>
double BestSeconds(int runs, Work&& work) {
    return Best(runs, [&] {
        const Clock::time_point start = Clock::now();
        work();
        return Since(start);
    });
}

}  // namespace bench_timing
