// The terrain editor's work, each against a reference measured in the same
// run on the same machine:
//   - loading a 512 x 512-cell terrain (mesh, collection of 512 bitmaps,
//     detail map) into the editor's data, against reading its tags' bytes
//     into a buffer made once;
//   - one brush dab of radius 10 (vertex and triangle mode), against
//     writing the dab's own cells in a plain loop, and a full-plane flood
//     fill (with the runs undo keeps), against a memset of the plane;
//   - culling, as counts: the blocks and cells the view classes as drawn
//     against those actually on screen, for several camera positions
//     (software GL under Xvfb makes frame times meaningless).

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "collections/collection.h"
#include "collections/collection_tag.h"
#include "models/detail_map.h"
#include "models/mesh_brush.h"
#include "models/mesh_edit_load.h"
#include "models/mesh_flood_fill.h"
#include "platform/file_system.h"
#include "platform/log_message.h"

using namespace pirn;

namespace {

constexpr u16 kBlocks = 16;  // 512 x 512 cells
constexpr u32 kCells = kBlocks * 32u;

double Seconds(const std::function<void()>& work, int runs, const std::function<void()>& before = nullptr) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        if (before) before();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

int Height(u32 x, u32 y) { return int(1500 + 1200 * std::sin(x * 0.021) * std::cos(y * 0.017) + 300 * std::sin((x + y) * 0.11)); }

void Put16(std::vector<u8>* b, u32 v) {
    b->push_back(u8(v >> 8));
    b->push_back(u8(v));
}
void Put32(std::vector<u8>* b, u32 v) {
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}

std::vector<u8> MeshData() {
    std::vector<u8> b;
    Put32(&b, MakeFourCC("bcol"));
    Put32(&b, 0xFFFFFFFF);
    Put16(&b, kBlocks);
    Put16(&b, kBlocks);
    Put32(&b, 1024);
    b.resize(1024, 0);
    for (u32 y = 0; y < kCells; ++y)
        for (u32 x = 0; x < kCells; ++x)
            for (u32 w : {u32(Height(x, y)), 0u, u32(((x / 40 + y / 40) % 12) << 4), 0u, u32(Height(x, y)), 0u})
                Put16(&b, w);
    return b;
}

bool WriteTagFile(const std::string& path, u32 group, u32 id, const char* name, u16 version,
                  const std::function<bool(std::FILE*, TagHeader*)>& write_data) {
    MakeDirectory(path.substr(0, path.rfind('/')));
    std::FILE* f = std::fopen(path.c_str(), "w+b");
    if (!f) return false;
    TagHeader header = MakeTagHeader(group, id, name);
    header.data_offset = 64;
    header.version = version;
    const u8 zeros[64] = {};
    bool ok = std::fwrite(zeros, 1, 64, f) == 64 && write_data(f, &header);
    if (ok) {
        std::fseek(f, 0, SEEK_END);
        header.data_length = u32(std::ftell(f) - 64);
        header.group = group;
        std::rewind(f);
        ok = WriteTagHeaders(&header, f, 1) == 64;
    }
    std::fclose(f);
    return ok;
}

bool WriteTerrain(const std::string& local) {
    const std::vector<u8> mesh = MeshData();
    if (!WriteTagFile(local + "Meshes/Bench", MakeFourCC("mesh"), MakeFourCC("bmsh"), "Bench", 11,
                      [&](std::FILE* f, TagHeader*) { return std::fwrite(mesh.data(), 1, mesh.size(), f) == mesh.size(); }))
        return false;
    Collection c;
    InitCollection(&c);
    std::vector<u8> pixels(256 * 256 * 2);
    for (u32 block = 0; block < u32(kBlocks) * kBlocks; ++block)
        for (int which = 0; which < 2; ++which) {
            for (size_t i = 0; i < pixels.size(); i += 2) {
                pixels[i] = 255;
                pixels[i + 1] = u8((i / 2 * (which ? 7 : 3) + block) >> 4);
            }
            AddCollectionBitmap(&c, which ? "shade" : "colour", 0, pixels.data(), 256, 256, 2, nullptr);
        }
    for (int i = 0; i < 768; ++i) c.colors[i] = u8(i);
    const bool collection = WriteTagFile(local + "Collections/Bench Colours", MakeFourCC(".256"), MakeFourCC("bcol"),
                                         "Bench Colours", 4,
                                         [&](std::FILE* f, TagHeader* h) { return SaveCollection(&c, f, h) == 1; });
    FreeCollection(&c);
    if (!collection) return false;
    DetailMap map;
    InitDetailMap(&map);
    SetDetailMapSize(&map, kCells, kCells);
    for (size_t i = 0; i < map.byte_plane.size(); ++i) map.byte_plane[i] = u8((i / 97) % 5);
    for (DetailTextureEntry& e : map.entries) e.tag_id = 0xFFFFFFFF;
    return WriteTagFile(local + "Detail Maps/Bench Colours", MakeFourCC("dmap"), MakeFourCC("bcol"), "Bench Colours", 2,
                        [&](std::FILE* f, TagHeader* h) { return WriteDetailMap(map, f, h) == 1; });
}

// The floor of loading: each file's bytes read into one buffer that is
// big enough for the largest, made (and touched) before timing.
u64 ReadBytes(const std::vector<std::string>& paths, std::vector<u8>* buffer) {
    u64 sum = 0;
    for (const std::string& path : paths) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) continue;
        const size_t got = std::fread(buffer->data(), 1, buffer->size(), f);
        std::fclose(f);
        sum += got + (got ? (*buffer)[got / 2] : 0);
    }
    return sum;
}

// What a dab writes, written in a plain loop: the cells (vertex mode) or
// the triangles (by their centres) within the radius of the point.
void WriteDabCells(MeshPlane* plane, bool triangles, float x, float y, float radius, u8 value) {
    const i64 x0 = std::max<i64>(i64(std::floor(x - radius)), 0);
    const i64 x1 = std::min<i64>(i64(std::ceil(x + radius)), plane->width - 1);
    const i64 y0 = std::max<i64>(i64(std::floor(y - radius)), 0);
    const i64 y1 = std::min<i64>(i64(std::ceil(y + radius)), plane->height - 1);
    const float r2 = radius * radius;
    for (i64 row = y0; row <= y1; ++row)
        for (i64 column = x0; column <= x1; ++column) {
            u8* cell = &plane->values[(size_t(row) * plane->width + size_t(column)) << plane->shift];
            if (!triangles) {
                const float dx = x - float(column), dy = y - float(row);
                if (dx * dx + dy * dy <= r2) *cell = value;
                continue;
            }
            const bool odd = ((column ^ row) & 1) != 0;
            for (int t = 0; t < 2; ++t) {
                const float cx = float(column) + (t ? 2.0f : 1.0f) / 3;
                const float cy = float(row) + ((t != 0) != odd ? 1.0f : 2.0f) / 3;
                const float dx = x - cx, dy = y - cy;
                if (dx * dx + dy * dy <= r2) cell[t] = value;
            }
        }
}

std::unique_ptr<MeshEditData> LoadBench(int* ok) {
    auto data = std::make_unique<MeshEditData>();
    TagEntry* tag = FindTag(MakeFourCC("mesh"), MakeFourCC("bmsh"));
    TagHeader header{};
    std::FILE* stream = tag ? OpenTagForReading(tag, &header) : nullptr;
    MeshLoadResult result;
    *ok = stream && LoadMeshEditData(data.get(), stream, header, true, &result);
    if (stream) CloseTagForReading(tag);
    return data;
}

// Blocks (and cells) with a vertex on screen in front of the eye.
void CountOnScreen(const MeshEditData& d, const MeshView& view, u32* blocks, u32* cells) {
    *blocks = *cells = 0;
    for (const MeshBlockRecord& block : d.blocks) {
        bool any = false;
        for (u32 cy = 0; cy < 32; ++cy)
            for (u32 cx = 0; cx < 32; ++cx) {
                bool cell = false;
                for (u32 k = 0; k < 4 && !cell; ++k) {
                    const u32 vx = cx + (k & 1), vy = cy + (k >> 1);
                    const float p[3] = {float(block.first_column + vx), block.heights[vy * 33 + vx] / 512.0f,
                                        float(block.first_row + vy)};
                    double w[3];
                    cell = ProjectMeshPoint(view, p, w) && w[2] > 0 && w[2] < 1 && w[0] >= 0 && w[0] < view.width &&
                           w[1] >= 0 && w[1] < view.height;
                }
                if (cell) ++*cells, any = true;
            }
        if (any) ++*blocks;
    }
}

}  // namespace

int main() {
    SetLogHandler([](i32, const std::string&, const std::string&) {});
    char folder[] = "/tmp/pirn-terrain-bench-XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    const std::string local = std::string(folder) + "/local/";
    if (!WriteTerrain(local)) {
        std::printf("could not write the bench terrain\n");
        return 1;
    }
    UnloadCodex();
    SetLocalFolder(local);
    PollLocalFolder(true);

    // ---- loading ----
    const std::vector<std::string> files = {local + "Meshes/Bench", local + "Collections/Bench Colours",
                                            local + "Detail Maps/Bench Colours"};
    u64 bytes = 0;
    size_t largest = 0;
    for (const std::string& path : files) largest = std::max<size_t>(largest, size_t(std::filesystem::file_size(path)));
    std::vector<u8> buffer(largest, 1);
    const double read = Seconds([&] { bytes = ReadBytes(files, &buffer); }, 10);
    int ok = 0;
    std::unique_ptr<MeshEditData> data;
    const double load = Seconds([&] { data = LoadBench(&ok); }, 3);
    if (!ok || !data->detail_map_present) {
        std::printf("the bench terrain did not load\n");
        return 1;
    }
    std::printf("load %u x %u cells (%.1f MB of tags): %.1f ms, raw read %.1f ms: %.1fx\n", kCells, kCells,
                bytes / 1048576.0, load * 1e3, read * 1e3, load / read);

    // ---- brushes against writing their own cells, fills against a memset ----
    std::vector<u8>& vertices = data->vertex_plane.values;
    std::vector<u8>& triangles = data->triangle_plane.values;
    const double set_vertices = Seconds([&] { std::memset(vertices.data(), 3, vertices.size()); }, 20);
    const double set_triangles = Seconds([&] { std::memset(triangles.data(), 3, triangles.size()); }, 20);
    data->brush_radius = 10.0f;
    u32 dab = 0;
    auto place = [&] { return 40.5f + float((dab++ * 37) % 400); };
    for (bool triangle_mode : {false, true}) {
        data->triangle_mode = triangle_mode;
        MeshPlane* plane = triangle_mode ? &data->triangle_plane : &data->vertex_plane;
        dab = 0;
        const double ours = Seconds(
            [&] {
                const float at = place();
                PaintBrushDab(data.get(), at, at);
            },
            50, [&] { data->current_texture = 1 + dab % 7; });
        dab = 0;
        const double floor = Seconds(
            [&] {
                const float at = place();
                WriteDabCells(plane, triangle_mode, at, at, data->brush_radius, u8(1 + dab % 7));
            },
            50);
        std::printf("dab radius 10, %s: %.4f ms, writing its own cells in a plain loop %.4f ms: %.1fx\n",
                    triangle_mode ? "triangles" : "vertices", ours * 1e3, floor * 1e3, ours / floor);
    }

    u8 fill_value = 1;
    const double triangle_fill = Seconds([&] { FloodFillTriangles(data.get(), 100.5f, 200.5f); }, 5,
                                         [&] {
                                             std::memset(triangles.data(), 0, triangles.size());
                                             data->current_texture = fill_value++;
                                         });
    const double vertex_fill = Seconds([&] { FloodFillVertices(data.get(), 100, 200); }, 5,
                                       [&] {
                                           std::memset(vertices.data(), 0, vertices.size());
                                           data->current_texture = fill_value++;
                                       });
    std::printf("full-plane fill, triangles: %.2f ms, %.1fx a memset\n", triangle_fill * 1e3, triangle_fill / set_triangles);
    std::printf("full-plane fill, vertices (every cell rebuilt): %.2f ms, %.1fx a memset\n", vertex_fill * 1e3,
                vertex_fill / set_vertices);

    // ---- culling ----
    struct Pose {
        const char* name;
        float eye[3];
        float yaw, pitch;
    } poses[] = {
        {"default", {0, 50, 0}, 135, -27},
        {"over the middle", {-256, 60, 256}, 135, -40},
        {"low over a corner", {-40, 12, 40}, 135, -10},
        {"high looking down", {-200, 250, 200}, 135, -70},
        {"far corner looking back", {-500, 40, 500}, 315, -20},
    };
    std::printf("culling (800 x 600 view; %u blocks, %u cells):\n", u32(data->blocks.size()), kCells * kCells);
    for (const Pose& pose : poses) {
        data->camera.yaw = pose.yaw;
        data->camera.pitch = pose.pitch;
        std::memcpy(data->camera.eye, pose.eye, sizeof pose.eye);
        MeshView view;
        SetupMeshView(&view, data->camera, 800, 600);
        UpdateVisibleBlocks(data.get(), view);
        const u32 drawn = data->blocks_by_class[1] + data->blocks_by_class[2];
        u32 seen_blocks, seen_cells;
        CountOnScreen(*data, view, &seen_blocks, &seen_cells);
        std::printf("  %-28s blocks drawn %3u / on screen %3u (%.2fx), cells drawn %6u / on screen %6u (%.2fx)\n",
                    pose.name, drawn, seen_blocks, seen_blocks ? double(drawn) / seen_blocks : 0.0,
                    data->cells_drawn, seen_cells, seen_cells ? double(data->cells_drawn) / seen_cells : 0.0);
    }
    data.reset();
    UnloadCodex();
    std::string command = std::string("rm -rf '") + folder + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
