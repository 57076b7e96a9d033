#include "platform/os/core/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pirn {
namespace {

// Reads what is in the pipe now; false once the write end is closed.
bool DrainPipe(int fd, ChildProcessResult* result) {
    char buffer[16384];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            const std::size_t room = kChildOutputLimit - result->output.size();
            const std::size_t take = static_cast<std::size_t>(got) < room ? static_cast<std::size_t>(got) : room;
            result->output.append(buffer, take);
            if (take < static_cast<std::size_t>(got)) result->output_cut = true;
            continue;
        }
        if (got == 0) return false;
        if (errno == EINTR) continue;
        return true;  // EAGAIN: nothing more for now
    }
}

}  // namespace

bool RunChildProcess(const std::vector<std::string>& argv, const std::function<bool()>& between_polls,
                     ChildProcessResult* result, const std::vector<std::string>& extra_env) {
    *result = ChildProcessResult();
    if (argv.empty()) return false;

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    std::vector<char*> env;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& extra : extra_env) replaced = replaced || extra.compare(0, name.size(), name) == 0;
        if (!replaced) env.push_back(*e);
    }
    for (const std::string& extra : extra_env) env.push_back(const_cast<char*>(extra.c_str()));
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return false;
    }
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);

    bool pipe_open = true;
    int status = 0;
    for (;;) {
        if (pipe_open) pipe_open = DrainPipe(fds[0], result);
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) {
            status = -1;
            break;
        }
        const bool worked = between_polls ? between_polls() : false;
        if (!worked) {
            // Wake early when output arrives; a child that forked a helper
            // holding the pipe must not keep us here, so the wait is short.
            pollfd p{fds[0], POLLIN, 0};
            poll(&p, pipe_open ? 1 : 0, 10);
        }
    }
    // Everything the child wrote before it ended is in the pipe now; a
    // grandchild may still hold the write end, so do not wait for its end.
    if (pipe_open) DrainPipe(fds[0], result);
    close(fds[0]);

    // posix_spawnp reports a missing program only through exit code 127.
    result->started = !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
    result->exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result->started;
}

}  // namespace pirn
