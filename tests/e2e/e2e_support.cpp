#include "tests/e2e/e2e_support.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "tests/support/test_support.h"

namespace pirn_test {

namespace {

double Now() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

void SleepSeconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

std::vector<char*> ArgvPointers(std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (std::string& a : argv) out.push_back(a.data());
    out.push_back(nullptr);
    return out;
}

int DecodeStatus(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

std::string TempFileName(const std::string& stem) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + stem + "-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const int fd = ::mkstemp(buf.data());
    if (fd >= 0) ::close(fd);
    return buf.data();
}

}  // namespace

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

int RunCommand(const std::vector<std::string>& args, std::string* output, double limitSeconds) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    std::vector<std::string> argv = args;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return -1;
    }
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        std::vector<char*> ptrs = ArgvPointers(argv);
        ::execvp(ptrs[0], ptrs.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ::fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    std::string collected;
    const double deadline = Now() + limitSeconds;
    int raw = 0;
    bool ended = false;
    for (;;) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0) collected.append(buf, size_t(n));
        if (ended) break;
        if (::waitpid(pid, &raw, WNOHANG) == pid) {
            ended = true;
            continue;  // read what is left
        }
        if (Now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &raw, 0);
            ::close(pipeFds[0]);
            return -1;
        }
        SleepSeconds(0.005);
    }
    ::close(pipeFds[0]);
    if (output) *output = collected;
    return DecodeStatus(raw);
}

ProgramRun::~ProgramRun() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
    }
}

bool ProgramRun::Start(const std::string& program, const std::string& folder, const std::vector<std::string>& env,
                       const std::string& outputPath) {
    std::vector<std::string> argv{program};
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        for (const std::string& entry : env) {
            const size_t eq = entry.find('=');
            const std::string name = entry.substr(0, eq);
            const std::string value = eq == std::string::npos ? "" : entry.substr(eq + 1);
            if (value.empty()) ::unsetenv(name.c_str());
            else ::setenv(name.c_str(), value.c_str(), 1);
        }
        const int fd = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
            ::close(fd);
        }
        std::vector<char*> ptrs = ArgvPointers(argv);
        ::execv(ptrs[0], ptrs.data());
        ::_exit(127);
    }
    pid_ = pid;
    ended_ = false;
    return true;
}

bool ProgramRun::Running() {
    if (pid_ <= 0 || ended_) return false;
    int raw = 0;
    if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
        ended_ = true;
        status_ = DecodeStatus(raw);
        return false;
    }
    return true;
}

bool ProgramRun::Wait(double limitSeconds, int* status) {
    WaitUntil([this] { return !Running(); }, limitSeconds);
    if (!ended_) return false;
    if (status) *status = status_;
    return true;
}

bool WaitUntil(const std::function<bool()>& done, double limitSeconds) {
    const double deadline = Now() + limitSeconds;
    while (!done()) {
        if (Now() > deadline) return done();
        SleepSeconds(0.02);
    }
    return true;
}

bool Xdotool(const std::string& window, std::vector<std::string> args) {
    for (std::string& a : args)
        if (a == "{win}") a = window;
    args.insert(args.begin(), "xdotool");
    return RunCommand(args) == 0;
}

std::string FindWindow(pid_t pid, const std::string& title) {
    std::string found;
    if (RunCommand({"xdotool", "search", "--all", "--pid", std::to_string(pid), "--name", "^" + title + "$"},
                   &found) != 0)
        return "";
    std::istringstream lines(found);
    std::string first;
    std::getline(lines, first);
    return first;
}

bool WindowSize(const std::string& window, int* width, int* height) {
    std::string shell;
    if (RunCommand({"xdotool", "getwindowgeometry", "--shell", window}, &shell) != 0) return false;
    int w = -1, h = -1;
    std::istringstream lines(shell);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("WIDTH=", 0) == 0) w = std::atoi(line.c_str() + 6);
        if (line.rfind("HEIGHT=", 0) == 0) h = std::atoi(line.c_str() + 7);
    }
    if (w < 0 || h < 0) return false;
    *width = w;
    *height = h;
    return true;
}

bool SendCloseRequest(const std::string& window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    const Window id = static_cast<Window>(std::strtoul(window.c_str(), nullptr, 10));
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, id, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return sent != 0;
}

size_t Screenshot::CountColours() const {
    std::set<unsigned> colours;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) colours.insert(unsigned(rgb[i]) << 16 | unsigned(rgb[i + 1]) << 8 | rgb[i + 2]);
    return colours.size();
}

size_t Screenshot::CountDifferences(const Screenshot& other) const {
    if (other.width != width || other.height != height || empty()) return SIZE_MAX;
    size_t differing = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (std::memcmp(&rgb[i], &other.rgb[i], 3) != 0) differing++;
    return differing;
}

size_t Screenshot::CountDifferencesOutside(const Screenshot& other, int left, int top, int right,
                                           int bottom) const {
    if (other.width != width || other.height != height || empty()) return SIZE_MAX;
    size_t differing = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            if ((x < left || x >= right || y < top || y >= bottom) && std::memcmp(At(x, y), other.At(x, y), 3) != 0)
                differing++;
    return differing;
}

namespace {

Screenshot CaptureOnce(const std::string& window) {
    Screenshot shot;
    const std::string path = TempFileName("pirn-shot");
    std::string ignored;
    const int status = RunCommand({"sh", "-c", "exec import -window \"$0\" -depth 8 \"ppm:$1\" 2>/dev/null", window, path},
                                  &ignored);
    const std::vector<uint8_t> bytes = ReadAll(path);
    ::unlink(path.c_str());
    if (status != 0) return shot;
    // Binary PPM: "P6", width, height, maximum 255, one whitespace, pixels.
    std::string header(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
    std::istringstream in(header);
    std::string magic;
    int w = 0, h = 0, maxValue = 0;
    in >> magic >> w >> h >> maxValue;
    if (magic != "P6" || w <= 0 || h <= 0 || maxValue != 255 || !in) return shot;
    const size_t offset = size_t(in.tellg()) + 1;
    const size_t size = size_t(w) * size_t(h) * 3;
    if (bytes.size() < offset + size) return shot;
    shot.width = w;
    shot.height = h;
    shot.rgb.assign(bytes.begin() + std::ptrdiff_t(offset), bytes.begin() + std::ptrdiff_t(offset + size));
    return shot;
}

}  // namespace

Screenshot CaptureWindow(const std::string& window, const std::string& keepPath) {
    // The server now and then refuses a read while the window is being
    // redrawn; ask again.
    Screenshot shot;
    for (int attempt = 0; attempt < 10 && shot.empty(); attempt++) {
        if (attempt > 0) SleepSeconds(0.05);
        shot = CaptureOnce(window);
    }
    if (!shot.empty() && !keepPath.empty())
        RunCommand({"sh", "-c", "exec import -window \"$0\" \"png:$1\" 2>/dev/null", window, keepPath});
    return shot;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace pirn_test
