// LightWave object reading against references measured in the same run:
//  - a raw read of the file's bytes (the floor any reader stands on);
//  - `assimp info FILE -r` (Debian's assimp-utils) reading the same file, as
//    process time of the child (user + system), with the process time of
//    assimp on a 1 KB object given as its start-up cost.
// Files: the largest third-party sample and a generated model of 60,000
// triangles (a UV-mapped, smoothed grid).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "models/lwo_reader.h"
#include "platform/file_system.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

// User + system time of `assimp info path -r`, best of `runs`; negative when
// assimp cannot be run.
double AssimpProcessSeconds(const std::string& path, int runs) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        std::fflush(nullptr);  // the child must not print our buffered lines again
        const pid_t child = fork();
        if (child < 0) return -1;
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execlp("assimp", "assimp", "info", path.c_str(), "-r", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        struct rusage usage;
        if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
        const double seconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec +
                               usage.ru_stime.tv_usec * 1e-6;
        best = std::min(best, seconds);
    }
    return best;
}

struct Writer {
    std::vector<u8> bytes;
    void U2(unsigned v) {
        bytes.push_back(u8(v >> 8));
        bytes.push_back(u8(v));
    }
    void U4(u32 v) {
        U2(v >> 16);
        U2(v & 0xFFFF);
    }
    void F4(float f) {
        u32 bits;
        std::memcpy(&bits, &f, 4);
        U4(bits);
    }
    void Id(const char* id) { bytes.insert(bytes.end(), id, id + 4); }
    void S0(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
        if (bytes.size() % 2) bytes.push_back(0);
    }
    void VX(u32 index) {
        if (index < 0xFF00) return U2(index);
        U4(0xFF000000u | index);
    }
    // Starts a chunk; Close fills in its size.
    size_t Open(const char* id) {
        Id(id);
        U4(0);
        return bytes.size();
    }
    void Close(size_t start) {
        const u32 size = u32(bytes.size() - start);
        for (int i = 0; i < 4; ++i) bytes[start - 4 + i] = u8(size >> (24 - 8 * i));
        if (size % 2) bytes.push_back(0);
    }
};

// A width x height grid of quads, each split into two triangles, gently
// waved so that smoothing has work to do.
std::vector<u8> GridObject(u32 width, u32 height) {
    Writer w;
    const size_t form = w.Open("FORM");
    w.Id("LWO2");
    size_t c = w.Open("TAGS");
    w.S0("Grid");
    w.Close(c);
    c = w.Open("LAYR");
    w.U2(0);
    w.U2(0);
    w.F4(0);
    w.F4(0);
    w.F4(0);
    w.S0("grid");
    w.Close(c);
    c = w.Open("PNTS");
    for (u32 y = 0; y <= height; ++y) {
        for (u32 x = 0; x <= width; ++x) {
            w.F4(x * 0.1f);
            w.F4(0.2f * std::sin(x * 0.3f) * std::cos(y * 0.2f));
            w.F4(y * 0.1f);
        }
    }
    w.Close(c);
    c = w.Open("VMAP");
    w.Id("TXUV");
    w.U2(2);
    w.S0("uv");
    for (u32 y = 0; y <= height; ++y) {
        for (u32 x = 0; x <= width; ++x) {
            w.VX(y * (width + 1) + x);
            w.F4(float(x) / width);
            w.F4(float(y) / height);
        }
    }
    w.Close(c);
    c = w.Open("POLS");
    w.Id("FACE");
    for (u32 y = 0; y < height; ++y) {
        for (u32 x = 0; x < width; ++x) {
            const u32 a = y * (width + 1) + x, b = a + 1, d = a + width + 1, e = d + 1;
            w.U2(3);
            w.VX(a);
            w.VX(d);
            w.VX(b);
            w.U2(3);
            w.VX(b);
            w.VX(d);
            w.VX(e);
        }
    }
    w.Close(c);
    c = w.Open("PTAG");
    w.Id("SURF");
    for (u32 p = 0; p < 2 * width * height; ++p) {
        w.VX(p);
        w.U2(0);
    }
    w.Close(c);
    c = w.Open("SURF");
    w.S0("Grid");
    w.S0("");
    w.Id("SMAN");
    w.U2(4);
    w.F4(1.2f);
    w.Close(c);
    w.Close(form);
    return w.bytes;
}

void Measure(const std::string& label, const std::string& path, double assimp_start) {
    std::vector<u8> bytes;
    ReadFileBytes(path, bytes, false);
    size_t polygons = 0;
    const double ours = BestSeconds(15, [&] {
        LwoReadFailure failure;
        auto object = LwoReadObjectFile(path, &failure);
        polygons = object ? object->layers[0].polygons.size() : 0;
    });
    const double raw = BestSeconds(15, [&] {
        std::vector<u8> again;
        ReadFileBytes(path, again, false);
    });
    std::printf("%s (%zu bytes, %zu polygons in layer 1):\n", label.c_str(), bytes.size(), polygons);
    std::printf("  LwoReadObject %.3f ms, raw read %.3f ms, ratio %.1f\n", ours * 1e3, raw * 1e3, ours / raw);
    const double assimp = AssimpProcessSeconds(path, 5);
    if (assimp < 0) {
        std::printf("  assimp info: not available\n");
        return;
    }
    const double import = std::max(assimp - assimp_start, 1e-6);
    std::printf("  assimp info -r %.3f ms process time (%.3f ms beyond its start-up), ratio ours / assimp %.3f, "
                "ours / assimp beyond start-up %.3f\n",
                assimp * 1e3, import * 1e3, ours / assimp, ours / import);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string samples = std::string(PIRN_SOURCE_DIR) + "/tests/data/lwo/";
    const std::string largest = argc > 1 ? argv[1] : samples + "LWO2/UglyVertexColors.lwo";
    const double assimp_start = AssimpProcessSeconds(samples + "LWS/simple_cube.lwo", 5);
    if (assimp_start >= 0) std::printf("assimp start-up (a 1 KB object): %.3f ms process time\n", assimp_start * 1e3);

    Measure("largest sample " + PathFileName(largest, false), largest, std::max(assimp_start, 0.0));

    char pattern[] = "/tmp/pirn-models-bench-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) return 1;
    const std::vector<u8> grid = GridObject(200, 150);
    const bool written = write(fd, grid.data(), grid.size()) == static_cast<ssize_t>(grid.size());
    close(fd);
    if (written) Measure("generated grid of 60,000 triangles", pattern, std::max(assimp_start, 0.0));
    unlink(pattern);
    return written ? 0 : 1;
}
