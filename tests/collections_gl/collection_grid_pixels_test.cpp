// Collection bitmaps and the grids that show them, drawn by the window
// system on Mesa (Xvfb in the test run) and read back with glReadPixels:
// recoloured, shadow, 64-bit, mirrored, tiled and placeholder bitmaps carry
// the colours worked out by hand; a grid of the demo knight's bitmaps shows
// each bitmap in its cell; the list/grid toggle and the Ctrl+wheel zoom
// change what is on screen.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "collections/bitmap_rgba.h"
#include "collections/collection_tag.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "platform/os/key_codes.h"
#include "platform/pref_store.h"
#include "tests/collections/collection_fixture.h"
#include "tests/collections_ui/drawing_fixture.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "ui/button.h"
#include "ui/frame_step.h"
#include "ui/grid_window.h"
#include "ui/list_grid_window.h"
#include "ui/list_window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using namespace drawing_fixture;
using Rgb = std::array<int, 3>;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::string Show(const Rgb& c) { return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]); }

// A window that draws bitmaps where a test placed them.
class BitmapBoard : public Window {
public:
    struct Placed {
        const CollectionBitmap* bitmap;
        u32 mirror;
        Rect rect;  // client coordinates
    };
    BitmapBoard(const Collection& c) : Window(kVisible | kBackground, nullptr), collection_(c) {}
    void DrawContents() override {
        if (BeginWindowDraw(this, 1, 0))
            for (const Placed& p : placed)
                DrawCollectionBitmap(collection_, *p.bitmap, p.mirror, p.rect.left, p.rect.top, p.rect.Width(),
                                     p.rect.Height());
        EndWindowDraw(this);
    }
    std::vector<Placed> placed;

private:
    const Collection& collection_;
};

// The grid owner of the tests: thumbnails fitted into the cell and
// centred, as the collection editor's browsers draw them.
struct Thumbnails {
    const Collection* collection = nullptr;
    static void Draw(void* context, const Rect& r, void* data) {
        auto* self = static_cast<Thumbnails*>(context);
        DrawCollectionBitmapInto(*self->collection, *static_cast<const CollectionBitmap*>(data), 0, r);
    }
};

class CollectionGridPixelsTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn collection grid test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        InitCollection(&c_);
        ForgetCollectionBitmaps();
    }
    void TearDown() override {
        // The bitmaps go with the test; their tiles must not outlive them.
        ForgetCollectionBitmaps();
        SkinnedGlFixture::TearDown();
    }
    Rgb At(const Window* w, i32 x, i32 y) const {
        const Rect& c = w->GetClientScreenRect();
        return Pixel(c.left + x, c.top + y);
    }
    static Rgb Of(std::array<u8, 4> rgba) { return {rgba[0], rgba[1], rgba[2]}; }
    static void PostWheelNotches(int notches, int& position) {
        HandleKeyInput(kKeyLeftControl, 1);
        position += notches;
        HandleMouseWheelInput(position);
        HandleKeyInput(kKeyLeftControl, 0);
        DrainEventQueue();
    }
    bool LoadDemoKnight() {
        for (const demo::DemoArchive& archive : demo::BuildDemoGame().archives)
            for (const demo::DemoTag& tag : archive.tags) {
                if (tag.group != MakeFourCC(".256") || tag.name != "Demo Knight") continue;
                collection_fixture::MemoryStream in(collection_fixture::TagFileBytes(tag.data));
                TagHeader header = collection_fixture::TagHeaderFor(tag.data, tag.user_data, tag.name.c_str());
                return LoadCollection(&c_, in.file, &header, true) == 1;
            }
        return false;
    }

    Collection c_;
};

TEST_F(CollectionGridPixelsTest, BitmapsShowTheirColoursRecolouredMirroredAndTiled) {
    FillTable(&c_);
    AddRedToBlue(&c_);
    const u8 blended[8] = {10, 200, 31, 31, 210, 0, 50, 16};
    struct Case {
        const char* what;
        CollectionBitmap* bitmap;
        Rgb expected;
    };
    const Case cases[] = {
        {"red recoloured blue", AddSolid(&c_, "red", 8, 8, kRed), {0, 0, 254}},
        {"green as it is", AddSolid(&c_, "green", 8, 8, kGreen), {0, 255, 0}},
        {"shadow index 0: white", AddSolid(&c_, "s0", 8, 8, 0, 255, kBitmapShadow), {255, 255, 255}},
        {"shadow index 255: black", AddSolid(&c_, "s255", 8, 8, 255, 255, kBitmapShadow), {0, 0, 0}},
        {"shadow index 100: grey 155", AddSolid(&c_, "s100", 8, 8, 100, 255, kBitmapShadow), {155, 155, 155}},
        {"64-bit pixels blended", AddDeep(&c_, "deep", 8, 8, blended), {60, 150, 35}},
    };
    auto* board = new BitmapBoard(c_);
    SetFrame(board, Rect{0, 0, kWidth, kHeight});
    i32 x = 10;
    for (const Case& k : cases) {
        board->placed.push_back({k.bitmap, 0, MakeRect(x, 10, 32, 32)});
        x += 40;
    }
    // Left half green, right half blue-by-hue-change; mirrored, the halves
    // swap (and flipping alone keeps them). Top and bottom halves swap
    // when flipped; both at once turn a quarter pattern round.
    CollectionBitmap* split = AddSplit(&c_, "split", 16, 8, kGreen, kRed);
    CollectionBitmap* rows = AddSplit(&c_, "rows", 8, 16, kGreen, kRed, true);
    board->placed.push_back({split, kBitmapMirrorHorizontal, MakeRect(10, 60, 64, 32)});
    board->placed.push_back({split, kBitmapMirrorVertical, MakeRect(90, 60, 64, 32)});
    board->placed.push_back({rows, kBitmapMirrorVertical, MakeRect(170, 60, 16, 32)});
    board->placed.push_back({rows, kBitmapMirrorHorizontal | kBitmapMirrorVertical, MakeRect(200, 60, 16, 32)});
    // 600 px wide: two tiles, joined without a seam, scaled to 300.
    CollectionBitmap* wide = AddSolid(&c_, "wide", 600, 20, kGreen);
    board->placed.push_back({wide, 0, MakeRect(10, 110, 300, 10)});
    // Pixels that cannot be read: the checkerboard, 16-px squares at 1:1.
    CollectionBitmap* broken = AddSolid(&c_, "broken", 64, 64, kGreen);
    broken->pixels.resize(10);
    board->placed.push_back({broken, 0, MakeRect(10, 140, 256, 256)});
    Draw();
    Shot("collection_bitmaps");

    x = 10;
    for (const Case& k : cases) {
        const Rgb p = At(board, x + 16, 26);
        EXPECT_EQ(p, k.expected) << k.what << ": " << Show(p);
        x += 40;
    }
    EXPECT_EQ(At(board, 20, 76), (Rgb{0, 0, 254}));   // mirrored: the blue half on the left
    EXPECT_EQ(At(board, 64, 76), (Rgb{0, 255, 0}));
    EXPECT_EQ(At(board, 100, 76), (Rgb{0, 255, 0}));  // flipped: green still left
    EXPECT_EQ(At(board, 144, 76), (Rgb{0, 0, 254}));
    for (i32 left : {170, 200}) {
        EXPECT_EQ(At(board, left + 8, 64), (Rgb{0, 0, 254})) << left;  // the bottom half now on top
        EXPECT_EQ(At(board, left + 8, 88), (Rgb{0, 255, 0})) << left;
    }
    for (i32 px : {10, 265, 266, 267, 309}) EXPECT_EQ(At(board, px, 114), (Rgb{0, 255, 0})) << px;
    EXPECT_EQ(At(board, 4 + 10, 140 + 4), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(board, 20 + 10, 140 + 4), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(board, 20 + 10, 140 + 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(board, 250 + 10, 140 + 4), (Rgb{255, 255, 255}));
}

TEST_F(CollectionGridPixelsTest, AGridShowsTheDemoKnightsBitmaps) {
    ASSERT_TRUE(LoadDemoKnight());
    ASSERT_GE(c_.bitmaps.size(), 10u);
    Thumbnails thumbnails;
    thumbnails.collection = &c_;
    auto* grid = new GridWindow(GridWindow::kMultipleSelection, Window::kVisible | Window::kBackground, nullptr);
    SetFrame(grid, Rect{20, 20, 620, 460});
    grid->SetCellCount(static_cast<i32>(c_.bitmaps.size()));
    for (size_t i = 0; i < c_.bitmaps.size(); ++i) {
        grid->SetCellData(static_cast<i32>(i), c_.bitmaps[i].get());
        grid->SetCellLabel(static_cast<i32>(i), c_.bitmaps[i]->name);
    }
    grid->SetCallbackContext(&thumbnails);
    grid->SetDrawCellCallback(&Thumbnails::Draw);
    grid->SelectCell(1);
    ActivateWindow(grid, kFocusByProgram);
    Draw();
    Shot("collection_grid");

    // In every cell in view whose bitmap is drawn at least 1.5 times its size,
    // an opaque bitmap pixel near the middle shows its colour at the middle
    // of the screen pixels it covers.
    u8 preview[kColorTableBytes];
    PreviewHueChanges(c_, preview, nullptr);
    int checked = 0;
    const Rect& client = grid->GetClientScreenRect();
    for (i32 i = 0; i < grid->GetCellCount(); ++i) {
        if (i == 1) continue;  // under the selection's tint
        const Rect image = grid->CellImageRect(i);
        if (image.bottom > client.Height()) break;
        const CollectionBitmap& b = *c_.bitmaps[static_cast<size_t>(i)];
        const Rect at = FitBitmapInto(b, image);
        if (!IsDrawableBitmap(b) || 2 * at.Width() < 3 * b.width) continue;
        std::vector<u8> rgba(size_t{b.width} * b.height * 4);
        ConvertBitmapToRgba(c_, b, preview, 0, 0, b.width, b.height, rgba.data());
        auto source = [&](i32 x, i32 y) {
            const u8* p = &rgba[(size_t(y) * b.width + size_t(x)) * 4];
            return std::array<u8, 4>{p[0], p[1], p[2], p[3]};
        };
        i32 bx = b.width / 2, by = b.height / 2;
        while (by < b.height && source(bx, by)[3] != 255) ++by;
        if (by == b.height) continue;
        const i32 sx = at.left + static_cast<i32>((i64{2 * bx + 1} * at.Width()) / (2 * i64{b.width}));
        const i32 sy = at.top + static_cast<i32>((i64{2 * by + 1} * at.Height()) / (2 * i64{b.height}));
        EXPECT_EQ(At(grid, sx, sy), Of(source(bx, by))) << b.name;
        ++checked;
    }
    EXPECT_GE(checked, 4);

    // The selected cell carries the blue of the focused selection over its
    // whole box; labels leave ink under the images.
    const Rect box = grid->GetLayout().CellBox(1, 0, Point{grid->GetScrollX(), grid->GetScrollY()});
    const Rgb selected = At(grid, box.left + 3, box.bottom - 3);
    EXPECT_GT(selected[2], selected[0] + 40) << Show(selected);
    const Rect label = grid->GetLayout().LabelRect(0, 0, Point{});
    EXPECT_GT(DarkPixelsIn(OffsetRect(label, client.left, client.top), 110), 10);
}

TEST_F(CollectionGridPixelsTest, TheToggleSwapsTheGridForTheListAndCtrlWheelZooms) {
    FillTable(&c_);
    std::vector<CollectionBitmap*> bitmaps;
    for (int i = 0; i < 6; ++i) bitmaps.push_back(AddSolid(&c_, ("Blue " + std::to_string(i)).c_str(), 32, 32, kBlue));
    Thumbnails thumbnails;
    thumbnails.collection = &c_;
    auto* browser = new ListGridWindow(Window::kVisible | Window::kBackground, nullptr);
    SetFrame(browser, Rect{0, 0, kWidth, kHeight});
    auto* grid = new GridWindow(GridWindow::kMultipleSelection, Window::kVisible | Window::kBackground, nullptr);
    auto* list = new ListWindow(0, Window::kVisible | Window::kBackground, nullptr);
    browser->SetGridView(grid);
    browser->SetListView(list);
    grid->SetItemWidth(32);
    grid->SetItemHeight(32);
    grid->SetCellCount(6);
    for (i32 i = 0; i < 6; ++i) {
        grid->SetCellData(i, bitmaps[size_t(i)]);
        list->AddItem(nullptr, 0, ListItem::kTextItem, bitmaps[size_t(i)], bitmaps[size_t(i)]->name);
    }
    list->UpdateScrollRange();
    grid->SetCallbackContext(&thumbnails);
    grid->SetDrawCellCallback(&Thumbnails::Draw);
    grid->BindZoomPref("Test.GridZoom");
    Draw();
    const Rect first = grid->CellImageRect(0);
    EXPECT_EQ(At(grid, first.left + 14, first.top + 14), (Rgb{0, 0, 255}));
    // Between two 32-px images: the cells' spacing, not a bitmap.
    EXPECT_NE(At(grid, first.right + 5, first.top + 14), (Rgb{0, 0, 255}));

    // Ctrl+wheel up seven notches: 0.9^-7 = 2.09, images 67 px wide.
    const Rect& gc = grid->GetClientScreenRect();
    HandleMouseMoveInput(gc.left + 10, gc.top + 10);
    DrainEventQueue();
    int wheel = 0;
    PostWheelNotches(7, wheel);
    EXPECT_NEAR(grid->GetZoom(), 2.0907, 1e-3);
    double stored = 0;
    EXPECT_TRUE(GetPrefDouble("Test.GridZoom", &stored));
    Draw();
    Shot("collection_grid_zoomed");
    const Rect zoomed = grid->CellImageRect(0);
    EXPECT_EQ(zoomed.Width(), 67 - 2 * kGridCellMargin);
    EXPECT_EQ(At(grid, zoomed.left + 50, zoomed.top + 50), (Rgb{0, 0, 255}));

    // The toggle: the list comes to the front with its rows, the grid goes.
    Button* toggle = browser->GetToggleButton();
    EXPECT_STREQ(toggle->GetTitle(), "Grid");
    const Rect& bf = toggle->GetFrameScreenRect();
    HandleMouseMoveInput((bf.left + bf.right) / 2, (bf.top + bf.bottom) / 2);
    HandleMouseButtonInput(0, 1);
    HandleMouseButtonInput(0, 0);
    DrainEventQueue();
    EXPECT_EQ(browser->GetActiveView(), list);
    EXPECT_STREQ(toggle->GetTitle(), "List");
    Draw();
    Shot("collection_list");
    const Rect& lc = list->GetClientScreenRect();
    EXPECT_NE(Pixel(lc.left + zoomed.left + 50, lc.top + zoomed.top + 50), (Rgb{0, 0, 255}));
    EXPECT_GT(DarkPixelsIn(Rect{lc.left, lc.top, lc.left + 150, lc.top + 6 * list->GetRowHeight()}, 110), 40);
}

}  // namespace
}  // namespace pirn
