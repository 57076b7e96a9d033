// Start-up benchmark. Starts the program in a fresh working folder and times
// process start to its first presented frame (the program writes the
// monotonic clock into the file named by PIRN_FIRST_FRAME_STAMP), against
// this executable started as a bare GLFW window that clears and swaps once.
// Then measures the CPU each uses while idle for 2 s (from /proc), where the
// bare window polls events and sleeps 1 ms per round, as an idle frame does
// right after activity (once settled, the program waits for input instead).
//
//   bench_startup              the benchmark (needs DISPLAY; Xvfb in scripts/bench)
//   bench_startup --bare-window  the reference program (started by the benchmark)

#define GLFW_INCLUDE_NONE
#include <GL/gl.h>
#include <GLFW/glfw3.h>
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
constexpr double kIdleSeconds = 2.0;
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
    while (!glfwWindowShouldClose(window)) {
        glfwPollEvents();
        Sleep(0.001);
    }
    glfwTerminate();
    return 0;
}

void Copy(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

// CPU seconds (user + system) of a process so far.
double ProcessCpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    // Fields after the command name: state is field 3; utime 14, stime 15.
    std::vector<std::string> fields;
    size_t pos = close + 2;
    while (pos < text.size()) {
        const size_t space = text.find(' ', pos);
        fields.push_back(text.substr(pos, space == std::string::npos ? std::string::npos : space - pos));
        if (space == std::string::npos) break;
        pos = space + 1;
    }
    if (fields.size() < 13) return -1;
    const double ticks = double(std::strtoull(fields[11].c_str(), nullptr, 10) +
                                std::strtoull(fields[12].c_str(), nullptr, 10));
    return ticks / double(sysconf(_SC_CLK_TCK));
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
            Sleep(0.5);  // let start-up work settle
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

    std::vector<double> bareTimes, pirnTimes;
    Measurement bareIdle, pirnIdle;
    for (int run = 0; run < kRuns; run++) {
        const bool idle = run == kRuns - 1;
        const Measurement b = Measure(bare, folder, idle);
        const Measurement p = Measure(pirn, folder, idle);
        if (b.startup < 0 || p.startup < 0) {
            std::printf("bench_startup: a program did not show its first frame (see %s)\n", folder.c_str());
            return 1;
        }
        bareTimes.push_back(b.startup);
        pirnTimes.push_back(p.startup);
        if (idle) {
            bareIdle = b;
            pirnIdle = p;
        }
    }
    const double bareMedian = Median(bareTimes), pirnMedian = Median(pirnTimes);
    std::printf("start-up to the first presented frame, median of %d runs (%dx%d window):\n", kRuns, kWidth,
                kHeight);
    std::printf("  bare GLFW clear and swap: %8.1f ms\n", bareMedian * 1e3);
    std::printf("  Pirn (empty desktop):     %8.1f ms   ratio %.2f\n", pirnMedian * 1e3, pirnMedian / bareMedian);
    std::printf("idle CPU over %.0f s (share of one core):\n", kIdleSeconds);
    std::printf("  bare GLFW poll + 1 ms sleep: %6.2f%%\n", bareIdle.idleCpu * 100);
    std::printf("  Pirn idle frames:            %6.2f%%   ratio %.2f\n", pirnIdle.idleCpu * 100,
                bareIdle.idleCpu > 0 ? pirnIdle.idleCpu / bareIdle.idleCpu : 0.0);
    // The working folder holds only what was copied in and what the runs wrote.
    for (const char* name : {"res/orvane.pirnfont", "res/texturepack", "res/prefs.txt", "charmap", "pirn_log.txt",
                             "first-frame-stamp"})
        unlink((folder + "/" + name).c_str());
    rmdir((folder + "/res").c_str());
    rmdir(folder.c_str());
    return 0;
}
