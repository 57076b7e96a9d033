#include "tests/gui/gui_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"

extern char** environ;

namespace pirn_test {
namespace {

struct WindowState {
    bool tried = false;
    bool open = false;
    std::string title;
    std::string xid;
};

WindowState& Window() {
    static WindowState state;
    return state;
}

std::vector<RelayedInput>& Recorded() {
    static std::vector<RelayedInput> events;
    return events;
}

int g_closeAnswer = 0;

// Longest a helper program (xdotool, sh) may run.
constexpr double kProgramTimeLimit = 30.0;

double MonotonicSeconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

void Record(RelayedInput::Kind kind, int a, int b) { Recorded().push_back({kind, a, b}); }
void OnKey(int code, int action) { Record(RelayedInput::Key, code, action); }
void OnChar(int c, int action) { Record(RelayedInput::Char, c, action); }
void OnButton(int button, int action) { Record(RelayedInput::Button, button, action); }
void OnMove(int x, int y) { Record(RelayedInput::Move, x, y); }
void OnWheel(int position) { Record(RelayedInput::Wheel, position, 0); }
void OnHorizontalWheel(int position) { Record(RelayedInput::HorizontalWheel, position, 0); }
int OnClose() {
    Record(RelayedInput::Close, 0, 0);
    return g_closeAnswer;
}
void OnRefresh() { Record(RelayedInput::Refresh, 0, 0); }
void OnSize(int w, int h) { Record(RelayedInput::Size, w, h); }

const char* KindName(RelayedInput::Kind kind) {
    switch (kind) {
        case RelayedInput::Key: return "key";
        case RelayedInput::Char: return "char";
        case RelayedInput::Button: return "button";
        case RelayedInput::Move: return "move";
        case RelayedInput::Wheel: return "wheel";
        case RelayedInput::HorizontalWheel: return "hwheel";
        case RelayedInput::Close: return "close";
        case RelayedInput::Refresh: return "refresh";
        case RelayedInput::Size: return "size";
    }
    return "?";
}

}  // namespace

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

int RunProgram(const std::vector<std::string>& argv, std::string* output) {
    if (argv.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (output && pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) close(pipeFds[1]);
    if (spawned != 0) {
        if (output) close(pipeFds[0]);
        return -1;
    }
    // A helper that never ends (xdotool --sync waiting for a focus that
    // never comes) is stopped, so a test fails instead of hanging.
    const double deadline = MonotonicSeconds() + kProgramTimeLimit;
    bool reading = output != nullptr;
    int status = 0;
    for (;;) {
        if (reading) {
            pollfd p{pipeFds[0], POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                char buffer[4096];
                const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
                if (n > 0) {
                    output->append(buffer, static_cast<size_t>(n));
                    continue;
                }
                if (n == 0 || errno != EINTR) reading = false;
            }
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) {
            status = -1;
            break;
        }
        if (MonotonicSeconds() > deadline) {
            std::fprintf(stderr, "%s did not end within %.0f s; stopped\n", argv[0].c_str(), kProgramTimeLimit);
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        if (!reading) usleep(5000);
    }
    if (output) {
        // What it wrote before it ended; a grandchild holding the pipe is
        // not waited for.
        fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
        char buffer[4096];
        ssize_t n;
        while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output->append(buffer, static_cast<size_t>(n));
        close(pipeFds[0]);
    }
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) {
    return RunProgram({"sh", "-c", "command -v " + name + " >/dev/null"}) == 0;
}

bool GuiWindow::Open(const std::string& title, int width, int height) {
    WindowState& state = Window();
    if (state.tried) return state.open;
    state.tried = true;
    if (!HasDisplay() || !pirn::OsInit()) return false;
    if (!pirn::OsSetWindow(width, height, title.c_str(), 0, 0)) return false;
    state.title = title;
    state.open = true;
    // Let the server map the window and hand out its first events.
    PumpFor(0.2);
    return true;
}

bool GuiWindow::IsOpen() { return Window().open; }
const std::string& GuiWindow::Title() { return Window().title; }

const std::string& GuiWindow::XWindowId() {
    WindowState& state = Window();
    if (state.xid.empty() && state.open) {
        std::string found;
        RunProgram({"xdotool", "search", "--name", "^" + state.title + "$"}, &found);
        std::istringstream lines(found);
        lines >> state.xid;
    }
    return state.xid;
}

bool PumpUntil(const std::function<bool()>& done, double limitSeconds) {
    const double end = pirn::OsGetTime() + limitSeconds;
    while (!done()) {
        if (pirn::OsGetTime() > end) return done();
        pirn::OsPollEvents();
        pirn::OsSleep(0.005);
    }
    return true;
}

void PumpFor(double seconds) {
    const double end = pirn::OsGetTime() + seconds;
    while (pirn::OsGetTime() < end) {
        pirn::OsPollEvents();
        pirn::OsSleep(0.005);
    }
}

bool Xdotool(std::vector<std::string> args) {
    const std::string& id = GuiWindow::XWindowId();
    for (std::string& arg : args)
        if (arg == "{win}") arg = id;
    args.insert(args.begin(), "xdotool");
    return RunProgram(args) == 0;
}

void InputRecorder::Install() {
    pirn::OsSetKeyHandler(OnKey);
    pirn::OsSetCharCallback(OnChar);
    pirn::OsSetMouseButtonHandler(OnButton);
    pirn::OsSetMousePosCallback(OnMove);
    pirn::OsSetMouseWheelCallback(OnWheel);
    pirn::OsSetMouseHWheelCallback(OnHorizontalWheel);
    pirn::OsSetWindowCloseCallback(OnClose);
    pirn::OsSetWindowRefreshCallback(OnRefresh);
    pirn::OsSetWindowSizeCallback(OnSize);
}

void InputRecorder::Clear() { Recorded().clear(); }
const std::vector<RelayedInput>& InputRecorder::Events() { return Recorded(); }

std::vector<RelayedInput> InputRecorder::Of(RelayedInput::Kind kind) {
    std::vector<RelayedInput> result;
    for (const RelayedInput& e : Recorded())
        if (e.kind == kind) result.push_back(e);
    return result;
}

bool InputRecorder::Has(RelayedInput::Kind kind, int a, int b) {
    for (const RelayedInput& e : Recorded())
        if (e.kind == kind && e.a == a && e.b == b) return true;
    return false;
}

bool InputRecorder::HasKind(RelayedInput::Kind kind) { return !Of(kind).empty(); }

void InputRecorder::SetCloseAnswer(int answer) { g_closeAnswer = answer; }

std::string InputRecorder::Describe() {
    std::ostringstream text;
    for (const RelayedInput& e : Recorded())
        text << KindName(e.kind) << " " << e.a << " " << e.b << "\n";
    return text.str();
}

}  // namespace pirn_test
