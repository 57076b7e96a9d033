#pragma once
// Runs a helper program (zenity, xclip) as a child process without blocking
// the program: the child is polled with waitpid(WNOHANG) and the caller's
// callback runs between polls, so frames keep being drawn while it is open.

#include <functional>
#include <string>
#include <vector>

namespace pirn {

struct ChildProcessResult {
    bool started = false;   // false: the program could not be run at all
    int exit_code = -1;     // -1 when it ended through a signal
    std::string output;     // everything it wrote to its standard output
    bool output_cut = false;  // more than kChildOutputLimit bytes were written
};

constexpr std::size_t kChildOutputLimit = std::size_t(64) << 20;

// argv[0] is looked up on PATH. Standard input and error are /dev/null.
// between_polls returns whether it did some work (a frame); when it is
// empty or returns false the wait sleeps briefly on the output pipe instead
// of spinning. Returns result.started.
// extra_env holds "NAME=value" entries that replace or add to the
// program's own environment for the child.
bool RunChildProcess(const std::vector<std::string>& argv, const std::function<bool()>& between_polls,
                     ChildProcessResult* result, const std::vector<std::string>& extra_env = {});

}  // namespace pirn
