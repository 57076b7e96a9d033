// Start-up benchmark. Starts the program in a fresh working folder and times
// process start to its first presented frame (the program writes the
// monotonic clock into the file named by PIRN_FIRST_FRAME_STAMP), against
// this executable started as a bare GLFW window that clears and swaps once.
// Then measures the CPU each uses while nothing changes (every thread's run
// time from /proc/PID/task/*/schedstat), where the bare window does the
// least an idle window can: it waits for events (the floor, about 0%).
//
//   bench_startup              the benchmark (needs DISPLAY; Xvfb in scripts/bench)
//   bench_startup --bare-window  the reference program (started by the benchmark)

#define GLFW_INCLUDE_NONE
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;
constexpr int kIdleRuns = 3;  // the last runs also measure idle CPU
constexpr double kIdleSeconds = 4.0;
constexpr int kWidth = 1024;  // the program's default window
constexpr int kHeight = 768;

double Monotonic() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void Sleep(double seconds) {
    timespec t{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    nanosleep(&t, nullptr);
}

void WriteStamp() {
    const char* path = std::getenv("PIRN_FIRST_FRAME_STAMP");
    if (!path) return;
    if (std::FILE* f = std::fopen(path, "w")) {
        std::fprintf(f, "%.9f\n", Monotonic());
        std::fclose(f);
    }
}

int RunBareWindow() {
    if (!glfwInit()) return 1;
    glfwWindowHint(GLFW_DEPTH_BITS, 32);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, "bare", nullptr, nullptr);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    glClearColor(0.9f, 0.9f, 0.9f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glfwSwapBuffers(window);
    glFinish();
    WriteStamp();
    while (!glfwWindowShouldClose(window)) glfwWaitEvents();
    glfwTerminate();
    return 0;
}

void Copy(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

// CPU seconds of a process so far: the run time of each of its threads
// (the GL driver has some of its own), in nanoseconds, not clock ticks.
double ProcessCpuSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* folder = opendir(tasks.c_str());
    if (!folder) return -1;
    double total = 0;
    while (dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream in(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long ran = 0;
        if (in >> ran) total += double(ran) * 1e-9;
    }
    closedir(folder);
    return total;
}

struct Measurement {
    double startup = -1;  // seconds from fork to the first presented frame
    double idleCpu = -1;  // share of one core while idle
};

// Starts argv in folder; waits for the stamp; optionally measures idle CPU;
// ends the process it started.
Measurement Measure(const std::vector<std::string>& argv, const std::string& folder, bool idle) {
    Measurement m;
    const std::string stamp = folder + "/first-frame-stamp";
    ::unlink(stamp.c_str());
    const double start = Monotonic();
    const pid_t pid = fork();
    if (pid < 0) return m;
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        setenv("PIRN_FIRST_FRAME_STAMP", stamp.c_str(), 1);
        setenv("PIRN_NO_NATIVE_BOXES", "1", 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    double stamped = -1;
    for (int i = 0; i < 30000 && stamped < 0; i++) {
        if (std::FILE* f = std::fopen(stamp.c_str(), "r")) {
            double value = 0;
            if (std::fscanf(f, "%lf", &value) == 1) stamped = value;
            std::fclose(f);
        }
        int status = 0;
        if (stamped < 0 && waitpid(pid, &status, WNOHANG) == pid) return m;  // ended early
        if (stamped < 0) Sleep(0.0005);
    }
    if (stamped >= 0) {
        m.startup = stamped - start;
        if (idle) {
            Sleep(1.0);  // let start-up work settle
            const double cpu0 = ProcessCpuSeconds(pid);
            const double wall0 = Monotonic();
            Sleep(kIdleSeconds);
            const double cpu1 = ProcessCpuSeconds(pid);
            m.idleCpu = (cpu1 - cpu0) / (Monotonic() - wall0);
        }
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return m;
}

double Median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0) return RunBareWindow();
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::printf("bench_startup: no DISPLAY, skipped (run under xvfb-run)\n");
        return 0;
    }
    const std::string runDir = PIRN_RUN_DIR;
    char folderTemplate[] = "/tmp/pirn-bench-startup-XXXXXX";
    if (!mkdtemp(folderTemplate)) return 1;
    const std::string folder = folderTemplate;
    mkdir((folder + "/res").c_str(), 0755);
    Copy(runDir + "/res/orvane.pirnfont", folder + "/res/orvane.pirnfont");
    Copy(runDir + "/res/texturepack", folder + "/res/texturepack");
    Copy(runDir + "/charmap", folder + "/charmap");

    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return 1;
    const std::vector<std::string> bare = {std::string(self, size_t(n)), "--bare-window"};
    const std::vector<std::string> pirn = {PIRN_PROGRAM_PATH};
    // No splash: its hold and fade would be measured as idle time.
    if (std::FILE* prefs = std::fopen((folder + "/res/prefs.txt").c_str(), "w")) {
        std::fputs("ShowSplash 0\n", prefs);
        std::fclose(prefs);
    }

    std::vector<double> bareTimes, pirnTimes, bareIdle, pirnIdle;
    for (int run = 0; run < kRuns; run++) {
        const bool idle = run >= kRuns - kIdleRuns;
        const Measurement b = Measure(bare, folder, idle);
        const Measurement p = Measure(pirn, folder, idle);
        if (b.startup < 0 || p.startup < 0) {
            std::printf("bench_startup: a program did not show its first frame (see %s)\n", folder.c_str());
            return 1;
        }
        bareTimes.push_back(b.startup);
        pirnTimes.push_back(p.startup);
        if (idle) {
            bareIdle.push_back(b.idleCpu);
            pirnIdle.push_back(p.idleCpu);
        }
    }
    const double bareMedian = Median(bareTimes), pirnMedian = Median(pirnTimes);
    std::printf("start-up to the first presented frame, median of %d runs (%dx%d window):\n", kRuns, kWidth,
                kHeight);
    std::printf("  bare GLFW clear and swap: %8.1f ms\n", bareMedian * 1e3);
    std::printf("  Pirn (empty desktop):     %8.1f ms   ratio %.2f\n", pirnMedian * 1e3, pirnMedian / bareMedian);
    // The floor is near 0, so a ratio to it says little: the figure is the
    // share of a core above it.
    std::printf("idle CPU over %.0f s, share of one core, best / median of %d runs:\n", kIdleSeconds, kIdleRuns);
    std::printf("  bare GLFW window waiting for events (floor): %6.3f%% / %6.3f%%\n",
                *std::min_element(bareIdle.begin(), bareIdle.end()) * 100, Median(bareIdle) * 100);
    std::printf("  Pirn idle:                                   %6.3f%% / %6.3f%%   above the floor %.3f%% "
                "(goal < 0.5%%)\n",
                *std::min_element(pirnIdle.begin(), pirnIdle.end()) * 100, Median(pirnIdle) * 100,
                (Median(pirnIdle) - Median(bareIdle)) * 100);
    // The working folder holds only what was copied in and what the runs wrote.
    for (const char* name : {"res/orvane.pirnfont", "res/texturepack", "res/prefs.txt", "charmap", "pirn_log.txt",
                             "first-frame-stamp"})
        unlink((folder + "/" + name).c_str());
    rmdir((folder + "/res").c_str());
    rmdir(folder.c_str());
    return 0;
}
