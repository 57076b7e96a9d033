// LightWave object reading against references measured in the same run,
// in this process, warm, on the same file:
//  - a raw read of the file's bytes (the floor any reader stands on);
//  - libassimp's aiImportFile (Debian's libassimp-dev), which reads the
//    object and derives its normals (smoothing by the surfaces' angles, or
//    the file's own vertex normals) as our reader does.
// Files: the largest third-party sample, the sample that carries vertex
// normals of its own, and a generated model of 60,000 triangles (a
// UV-mapped, smoothed grid).

#include <assimp/cimport.h>
#include <assimp/scene.h>
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

constexpr int kRuns = 15;

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

void Measure(const std::string& label, const std::string& path) {
    std::vector<u8> bytes;
    ReadFileBytes(path, bytes, false);
    size_t polygons = 0;
    auto ours_once = [&] {
        LwoReadFailure failure;
        auto object = LwoReadObjectFile(path, &failure);
        polygons = object ? object->layers[0].polygons.size() : 0;
    };
    unsigned faces = 0;
    bool assimp_read = true;
    auto assimp_once = [&] {
        const aiScene* scene = aiImportFile(path.c_str(), 0);
        if (!scene) {
            assimp_read = false;
            return;
        }
        faces = 0;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) faces += scene->mMeshes[m]->mNumFaces;
        aiReleaseImport(scene);
    };
    auto raw_once = [&] {
        std::vector<u8> again;
        ReadFileBytes(path, again, false);
    };
    // Warm: each reader once before any timing, the file in the page cache.
    raw_once();
    ours_once();
    assimp_once();
    const double raw = BestSeconds(kRuns, raw_once);
    const double ours = BestSeconds(kRuns, ours_once);
    std::printf("%s (%zu bytes, %zu polygons in layer 1):\n", label.c_str(), bytes.size(), polygons);
    std::printf("  LwoReadObject %.3f ms, raw read %.3f ms, ratio %.1f\n", ours * 1e3, raw * 1e3, ours / raw);
    if (!assimp_read) {
        std::printf("  aiImportFile: cannot read it\n");
        return;
    }
    const double assimp = BestSeconds(kRuns, assimp_once);
    std::printf("  aiImportFile %.3f ms (%u faces), ratio ours / assimp %.2f\n", assimp * 1e3, faces,
                ours / assimp);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string samples = std::string(PIRN_SOURCE_DIR) + "/tests/data/lwo/";
    const std::string largest = argc > 1 ? argv[1] : samples + "LWO2/UglyVertexColors.lwo";
    Measure("largest sample " + PathFileName(largest, false), largest);
    Measure("sample with its own vertex normals", samples + "LWO2/ModoExport_vertNormals.lwo");

    char pattern[] = "/tmp/pirn-models-bench-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) return 1;
    const std::vector<u8> grid = GridObject(200, 150);
    const bool written = write(fd, grid.data(), grid.size()) == static_cast<ssize_t>(grid.size());
    close(fd);
    if (written) Measure("generated grid of 60,000 triangles", pattern);
    unlink(pattern);
    return written ? 0 : 1;
}
