// The terrain editor as a user meets it, in the built program on the
// generated demo game: Demo Valley opened from the Archive Browser, painted
// with the round and the square brush in vertex and triangle mode, filled,
// two steps undone and saved; the detail map on disk holds exactly the
// planes the program's own headless brush makes at the points the pixels
// pick. Then a plane goes out as an image (the native save dialog driven
// with xdotool), is edited with Pillow, and comes back.
//
// Where each click lands is worked out here: the editor opens at the first
// cascade position, its client area is found in a screenshot by the sky
// colour, and the pixel's ray is cast against the demo mesh with the
// default camera, as the program's depth pick does.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "models/detail_map.h"
#include "models/mesh_brush.h"
#include "models/mesh_edit_load.h"
#include "models/mesh_flood_fill.h"
#include "models/mesh_pick.h"
#include "tests/e2e/program_fixture.h"
#include "tools/demo_game/demo_game.h"

namespace pirn_test {
namespace {

using pirn::MeshEditData;
using pirn::u32;
using pirn::u8;

constexpr int kEditorLeft = 64;  // the first cascade position
constexpr int kEditorTop = 64;
constexpr int kEditorWidth = 800;
constexpr int kEditorHeight = 600;
constexpr int kBrushList = 192;
const unsigned char kSky[3] = {41, 51, 71};

bool IsSky(const unsigned char* p) { return p[0] == kSky[0] && p[1] == kSky[1] && p[2] == kSky[2]; }

const pirn::demo::DemoTag* FindDemoTag(const pirn::demo::DemoGame& game, const char (&group)[5], const char (&id)[5]) {
    for (const auto& archive : game.archives)
        for (const auto& tag : archive.tags)
            if (tag.group == pirn::MakeFourCC(group) && tag.tag_id == pirn::MakeFourCC(id)) return &tag;
    for (const auto& file : game.local_files)
        if (file.tag.group == pirn::MakeFourCC(group) && file.tag.tag_id == pirn::MakeFourCC(id)) return &file.tag;
    return nullptr;
}

// Tag data in a stream read from offset 0.
struct DataStream {
    explicit DataStream(const std::vector<u8>& data, pirn::u16 version) {
        WriteAll(dir.file("data"), data);
        stream = std::fopen(dir.file("data").c_str(), "rb");
        header.data_offset = 0;
        header.data_length = u32(data.size());
        header.version = version;
    }
    ~DataStream() { std::fclose(stream); }
    TempDir dir;
    std::FILE* stream = nullptr;
    pirn::TagHeader header{};
};

// Demo Valley as the editor holds it after loading: mesh, blocks, and its
// detail map adopted.
std::unique_ptr<MeshEditData> DemoValley() {
    const pirn::demo::DemoGame game = pirn::demo::BuildDemoGame();
    const auto* mesh_tag = FindDemoTag(game, "mesh", "dv11");
    const auto* map_tag = FindDemoTag(game, "dmap", "dv11");
    if (!mesh_tag || !map_tag) return nullptr;
    auto data = std::make_unique<MeshEditData>();
    DataStream mesh(mesh_tag->data, mesh_tag->version);
    data->mesh = pirn::LoadMeshMap(mesh.stream, mesh.header);
    if (!data->mesh) return nullptr;
    data->columns = data->mesh->columns;
    data->rows = data->mesh->rows;
    DataStream map_data(map_tag->data, map_tag->version);
    std::unique_ptr<pirn::DetailMap> map = pirn::LoadDetailMap(map_data.stream, map_data.header);
    if (!map || !pirn::AdoptDetailMap(data.get(), *map)) return nullptr;
    pirn::SetupMeshBlocks(data.get());
    for (pirn::MeshBlockRecord& block : data->blocks) {
        pirn::BuildBlockCells(data.get(), &block, block.first_column, block.first_column + 32, block.first_row,
                              block.first_row + 32);
        pirn::ComputeBlockBox(&block);
    }
    return data;
}

struct Planes {
    std::vector<u8> vertices;
    std::vector<u8> triangles;
    bool operator==(const Planes& o) const { return vertices == o.vertices && triangles == o.triangles; }
    bool operator!=(const Planes& o) const { return !(*this == o); }
};

Planes PlanesOf(const MeshEditData& d) { return {d.vertex_plane.values, d.triangle_plane.values}; }

// One dab of the data's brush at (x, z), as a stroke of its own.
void Dab(MeshEditData* d, float x, float z) {
    pirn::BeginBrushStroke(d);
    pirn::PaintBrushDab(d, x, z);
    pirn::EndBrushStroke(d);
}

// Whether moving the dab's centre by a fiftieth of a cell changes what it
// paints: such a click is not used, since the depth pick and the ray may
// differ in the last bits.
bool DabIsStable(const MeshEditData& d, float x, float z) {
    auto painted = [&](float px, float pz) {
        MeshEditData copy;
        copy.columns = d.columns;
        copy.rows = d.rows;
        copy.planes_exist = true;
        copy.vertex_plane = d.vertex_plane;
        copy.saved_vertex_plane = d.vertex_plane;
        copy.triangle_plane = d.triangle_plane;
        copy.saved_triangle_plane = d.triangle_plane;
        copy.current_texture = d.current_texture;
        copy.brush_radius = d.brush_radius;
        copy.square_brush = d.square_brush;
        copy.triangle_mode = d.triangle_mode;
        pirn::BeginBrushStroke(&copy);
        pirn::PaintBrushDab(&copy, px, pz);
        return PlanesOf(copy);
    };
    const Planes centre = painted(x, z);
    const float e = 0.02f;
    return painted(x + e, z) == centre && painted(x - e, z) == centre && painted(x, z + e) == centre &&
           painted(x, z - e) == centre;
}

class MeshEditE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        if (!std::getenv("PIRN_MAKE_DEMO_GAME")) GTEST_SKIP() << "no demo game generator in this build";
        if (RunCommand({"/usr/bin/python3", "-c", "import PIL"}) != 0) GTEST_SKIP() << "no Pillow";
        if (RunCommand({"sh", "-c", "command -v zenity"}) != 0) GTEST_SKIP() << "zenity missing";
        PrepareWorkingFolder();
        game_ = MakeGameFolder();
        WriteAll(dir_.file("res/prefs.txt"), "ZarnPath \"" + game_ +
                                                  "\"\nShowSplash 0\nOsWindowSizeX 1024\nOsWindowSizeY 768\n"
                                                  "ArchiveBrowserPlacement \"0 0 0 1024 720\"\n");
    }

    std::string DetailMapFile() const { return game_ + "/local/Detail Maps/Demo Valley"; }

    // Type-ahead in the focused tree after the pause that ends a search.
    void Find(const std::string& window, const std::string& prefix) {
        SleepSeconds(0.8);
        ASSERT_TRUE(Type(window, prefix));
        SleepSeconds(0.3);
    }

    // The client area from a screenshot: the first sky row down the
    // editor's middle and the first sky column along it; the borders are
    // as wide at the right and the bottom as at the left.
    bool FindClient(const Screenshot& shot, int* left, int* top, int* right, int* bottom) {
        const int middle = kEditorLeft + kEditorWidth / 2 - kBrushList / 2;
        *top = -1;
        for (int y = kEditorTop; y < kEditorTop + 80 && *top < 0; ++y)
            if (IsSky(shot.At(middle, y))) *top = y;
        if (*top < 0) return false;
        *left = -1;
        for (int x = kEditorLeft; x < kEditorLeft + 20 && *left < 0; ++x)
            if (IsSky(shot.At(x, *top + 2))) *left = x;
        if (*left < 0) return false;
        const int border = *left - kEditorLeft;
        *right = kEditorLeft + kEditorWidth - border;
        *bottom = kEditorTop + kEditorHeight - border;
        return true;
    }

    // Moves to the client pixel and clicks (with keys held).
    void ClickAt(const std::string& window, int x, int y, const std::string& held = "", int button = 1) {
        const std::string sx = std::to_string(client_left_ + x), sy = std::to_string(client_top_ + y);
        ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", sx, sy}));
        SleepSeconds(0.6);  // frames draw and pick under the pointer
        if (!held.empty()) {
            ASSERT_TRUE(Xdotool(window, {"keydown", "--window", "{win}", held}));
        }
        ASSERT_TRUE(Xdotool(window, {"click", "--window", "{win}", std::to_string(button)}));
        if (!held.empty()) {
            ASSERT_TRUE(Xdotool(window, {"keyup", "--window", "{win}", held}));
        }
        SleepSeconds(0.6);
    }

    // A client pixel left of the Brush List whose ray meets the mesh and
    // whose dab does not change for a hair's move, near the wanted one.
    bool PickPixel(MeshEditData* d, int want_x, int want_y, int* x, int* y, pirn::MeshPick* pick) {
        for (int r = 0; r < 60; r += 3)
            for (int dy = -r; dy <= r; dy += 3)
                for (int dx = -r; dx <= r; dx += 3) {
                    const int px = want_x + dx, py = want_y + dy;
                    if (px < 20 || py < 20 || px >= view_.width - kBrushList - 20 || py >= view_.height - 20) continue;
                    if (!pirn::CastMeshRay(*d, view_, px, py, pick)) continue;
                    if (!DabIsStable(*d, pick->point[0], pick->point[2])) continue;
                    *x = px;
                    *y = py;
                    return true;
                }
        return false;
    }

    // Chooses a menu entry of the tool popup by its place among the
    // entries that can be chosen.
    void ToolMenu(const std::string& window, int x, int y, int entry) {
        ClickAt(window, x, y, "", 3);
        std::vector<std::string> keys(size_t(entry) + 1, "Down");
        keys.push_back("Return");
        ASSERT_TRUE(Keys(window, keys));
    }

    // Answers the native file dialog of that title with a path.
    static bool AnswerFileDialog(const std::string& title, const std::string& path) {
        std::string id;
        const bool shown = WaitUntil([&] {
            std::string found;
            if (RunCommand({"xdotool", "search", "--name", "^" + title + "$"}, &found) != 0) return false;
            id = found.substr(0, found.find('\n'));
            return !id.empty();
        });
        if (!shown) return false;
        SleepSeconds(1.0);
        const bool typed = RunCommand({"xdotool", "windowfocus", "--sync", id}) == 0 &&
                           RunCommand({"xdotool", "key", "--window", id, "ctrl+l"}) == 0 &&
                           RunCommand({"xdotool", "key", "--window", id, "ctrl+a"}) == 0 &&
                           RunCommand({"xdotool", "type", "--window", id, "--delay", "20", path}) == 0;
        if (!typed) return false;
        // An open dialog may first take Return for the name completion it
        // offers for an existing file: press it until the dialog goes.
        return WaitUntil([&] {
            std::string still;
            if (RunCommand({"xdotool", "search", "--name", "^" + title + "$"}, &still) != 0 || still.empty())
                return true;
            RunCommand({"xdotool", "key", "--window", id, "Return"});
            SleepSeconds(0.7);
            return false;
        });
    }

    bool SavedPlanes(Planes* planes) {
        const std::vector<uint8_t> bytes = ReadAll(DetailMapFile());
        if (bytes.size() < 64) return false;
        DataStream data(std::vector<u8>(bytes.begin() + 64, bytes.end()), 2);
        std::unique_ptr<pirn::DetailMap> map = pirn::LoadDetailMap(data.stream, data.header);
        if (!map) return false;
        planes->vertices = map->byte_plane;
        planes->triangles.resize(map->word_plane.size() * 2);
        for (size_t i = 0; i < map->word_plane.size(); ++i) {
            planes->triangles[2 * i] = u8(map->word_plane[i]);
            planes->triangles[2 * i + 1] = u8(map->word_plane[i] >> 8);
        }
        return true;
    }

    std::string game_;
    int client_left_ = 0, client_top_ = 0;
    pirn::MeshView view_;
};

TEST_F(MeshEditE2eTest, PaintsFillsUndoesSavesAndTakesAnEditedImageBack) {
    std::unique_ptr<MeshEditData> expected = DemoValley();
    ASSERT_TRUE(expected);
    Start();
    const std::string window = WaitForDesktop();
    ASSERT_FALSE(window.empty());

    // Demo Valley from the browser's tree: its group, its row, Return.
    Find(window, "Meshes");
    ASSERT_TRUE(Keys(window, {"Right"}));
    Find(window, "Demo Valley");
    ASSERT_TRUE(Keys(window, {"Return"}));
    Screenshot shot;
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_TRUE(WaitUntil([&] {
        shot = CaptureWindow(window);
        return !shot.empty() && FindClient(shot, &left, &top, &right, &bottom);
    })) << "the terrain editor did not show";
    Shot(window, "mesh-edit-opened");
    // The info text off, so that it covers nothing; the client found again.
    ASSERT_TRUE(Keys(window, {"grave"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(FindClient(CaptureWindow(window), &left, &top, &right, &bottom));
    client_left_ = left;
    client_top_ = top;
    pirn::SetupMeshView(&view_, expected->camera, right - left, bottom - top);
    ASSERT_TRUE(view_.valid);

    // Texture 2 (sand) from the Brush List: its first row, then Down twice.
    ClickAt(window, right - left - kBrushList / 2, 5);
    ASSERT_TRUE(Keys(window, {"Down", "Down"}));
    expected->current_texture = 2;

    struct Stroke {
        const char* keys;  // pressed before
        bool square, triangles;
        int want_x, want_y;
    } strokes[] = {
        {nullptr, false, false, 200, 420},  // round, vertices
        {"F4", true, false, 380, 380},      // square, vertices
        {"F5", true, true, 280, 330},       // square, triangles
        {"F4", false, true, 420, 470},      // round, triangles (undone)
    };
    Planes before_undone;
    for (size_t i = 0; i < 4; ++i) {
        const Stroke& s = strokes[i];
        expected->square_brush = s.square;
        expected->triangle_mode = s.triangles;
        int x, y;
        pirn::MeshPick pick;
        ASSERT_TRUE(PickPixel(expected.get(), s.want_x, s.want_y, &x, &y, &pick)) << i;
        if (i == 0) ClickAt(window, x, y);  // gives the focus back to the view; not a paint
        if (s.keys) {
            ASSERT_TRUE(Keys(window, {s.keys}));
        }
        if (i == 3) before_undone = PlanesOf(*expected);
        ClickAt(window, x, y);
        Dab(expected.get(), pick.point[0], pick.point[2]);
    }
    Shot(window, "mesh-edit-painted");
    const Planes painted = PlanesOf(*expected);
    // Alt fills from a triangle of another value.
    int fill_x = 0, fill_y = 0;
    pirn::MeshPick fill;
    bool found = false;
    for (int y = 200; y < view_.height - 40 && !found; y += 25)
        for (int x = 60; x < view_.width - kBrushList - 40 && !found; x += 25) {
            u32 cx, cz, t;
            if (!pirn::CastMeshRay(*expected, view_, x, y, &fill) ||
                !pirn::PickTriangle(*expected, fill.point[0], fill.point[2], &cx, &cz, &t))
                continue;
            const u8 value = pirn::TriangleValue(*expected, cx, cz, t);
            if (value == 0) {
                fill_x = x, fill_y = y;
                found = true;
            }
        }
    ASSERT_TRUE(found);
    ClickAt(window, fill_x, fill_y, "alt");
    Shot(window, "mesh-edit-filled");
    // Two steps back: the fill and the round triangle dab.
    ASSERT_TRUE(Keys(window, {"ctrl+z", "ctrl+z"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    Planes saved;
    ASSERT_TRUE(WaitUntil([&] { return SavedPlanes(&saved) && saved == before_undone; }))
        << "the detail map on disk is not the one painted";
    EXPECT_NE(before_undone, painted);
    Shot(window, "mesh-edit-saved");

    // The vertex plane as an image, edited outside, and back.
    const std::string image = output_.file("valley vertices.bmp");
    ToolMenu(window, 300, 300, 4);  // "Export Vertex Detail"
    ASSERT_TRUE(AnswerFileDialog("Export Per-Vertex Details", image));
    ASSERT_TRUE(WaitUntil([&] { return Exists(image); }));
    SleepSeconds(1.0);
    // Without a window manager the focus stays where the dialog left it.
    ASSERT_EQ(RunCommand({"xdotool", "windowfocus", "--sync", window}), 0);
    Shot(window, "mesh-edit-exported");
    // Vertices x 10..14, rows 20..24 become texture 4, square by square
    // (the image's rows run mirrored: x counts from the right).
    const std::string edit =
        "from PIL import Image\n"
        "im = Image.open(r'''" + image + "''').copy()\n"
        "assert im.mode == 'P' and im.size == (768, 768), (im.mode, im.size)\n"
        "px = im.load()\n"
        "for vy in range(20, 25):\n"
        "    for vx in range(10, 15):\n"
        "        for y in range(vy * 8, vy * 8 + 8):\n"
        "            for x in range(vx * 8, vx * 8 + 8):\n"
        "                px[767 - x, y] = 4\n"
        "im.save(r'''" + image + "''')\n";
    WriteAll(output_.file("edit.py"), edit);
    std::string output;
    ASSERT_EQ(RunCommand({"sh", "-c", "/usr/bin/python3 '" + output_.file("edit.py") + "' 2>&1"}, &output), 0) << output;
    ToolMenu(window, 300, 300, 3);  // "Import Vertex Detail"
    const bool answered = AnswerFileDialog("Import Per-Vertex Details", image);
    Shot(window, "mesh-edit-import-asked");
    ASSERT_TRUE(answered);
    SleepSeconds(2.0);
    ASSERT_TRUE(run_.Running()) << Output();
    ASSERT_EQ(RunCommand({"xdotool", "windowfocus", "--sync", window}), 0);
    SleepSeconds(1.5);
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    Planes edited = before_undone;
    for (u32 vy = 20; vy < 25; ++vy)
        for (u32 vx = 10; vx < 15; ++vx) edited.vertices[vy * 96 + vx] = 4;
    EXPECT_TRUE(WaitUntil([&] { return SavedPlanes(&saved) && saved == edited; }))
        << "the edited image did not come back" << Output();
    Shot(window, "mesh-edit-imported");
}

}  // namespace
}  // namespace pirn_test
