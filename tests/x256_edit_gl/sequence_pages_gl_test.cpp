// The Sequences page, the sequence editor and the frame editor drawn with GL
// in a real window (Xvfb in the test run) on the demo knight, each kept as
// a screenshot in the test output: a bitmap dragged with the mouse from the
// Bitmaps page onto a cell shows there, the frame editor shows the
// registration and key points where they belong, its keys move the
// registration point, and the saved tag holds the drop and the move.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/big_endian_bytes.h"
#include "codex/codex.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "collections/frame_view_geometry.h"
#include "collections/ui/bitmap_browser.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "collections/ui/x256_sequence_browser.h"
#include "collections/ui/x256_sequence_edit.h"
#include "collections/ui/x256_sequence_frame_edit.h"
#include "collections/ui/x256_sequence_frame_view.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_capture.h"
#include "platform/os/key_codes.h"
#include "platform/pixel_image.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"
#include "ui/check_box.h"
#include "ui/frame_step.h"
#include "ui/grid_window.h"
#include "ui/tab_window.h"
#include "ui/window_drag.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr u32 kGroup = 0x2E323536;  // '.256'

using pirn_test::U16At;
using pirn_test::U32At;

class SequencePagesGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn sequence pages test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        UnloadCodex();
        SetLocalFolder(game_.path() + "/local/");
        BindX256Edit();
        RegisterTagEditors();
    }
    void TearDown() override {
        if (!IsSkipped()) {
            ResetWindowSystem();
            EXPECT_EQ(UnloadCodex(), 1);
            UnbindTagEditors();
            ClearTagGroupEditors();
            ForgetCollectionBitmaps();
        }
        SkinnedGlFixture::TearDown();
    }

    TagEntry* WriteKnight() {
        const demo::DemoGame game = demo::BuildDemoGame();
        for (const demo::DemoArchive& archive : game.archives)
            for (const demo::DemoTag& tag : archive.tags)
                if (tag.group == kGroup && tag.name == "Demo Knight") {
                    demo::DemoLocalFile file{tag, "Demo Knight", false};
                    pirn_test::WriteAll(game_.path() + "/local/Collections/Demo Knight", demo::EncodeTagFile(file));
                    PollLocalFolder(true);
                    return FindTag(kGroup, tag.tag_id);
                }
        return nullptr;
    }

    static void Frames(int n) {
        for (int i = 0; i < n; ++i) StepFrame();
    }
    static void Input(const std::function<void()>& post) {
        post();
        DrainEventQueue();
        StepFrame();
    }

    void Screenshot(const std::string& name) {
        Draw();
        SavePng(name);
    }

    static Point CellCentre(const GridWindow* grid, i32 cell) {
        Rect r = grid->CellImageRect(cell);
        grid->ClientToScreenRects(&r, 1);
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::array<int, 3> At(Point p) {
        Draw();
        return Pixel(p.x, p.y);
    }
    static bool Near(const std::array<int, 3>& a, int r, int g, int b) {
        return std::abs(a[0] - r) < 8 && std::abs(a[1] - g) < 8 && std::abs(a[2] - b) < 8;
    }

    pirn_test::TempDir game_;
    ScopedLogCapture quietLog_;
};

TEST_F(SequencePagesGlTest, DropAMoveAndSaveOnTheDemoKnight) {
    TagEntry* tag = WriteKnight();
    ASSERT_NE(tag, nullptr);
    auto* editor = dynamic_cast<X256Edit*>(OpenTagEditor(tag));
    ASSERT_NE(editor, nullptr);
    SetFrame(editor, Rect{10, 10, 600, 420});
    Collection& c = editor->GetCollection();
    TabWindow* tabs = editor->GetTabs();
    tabs->SelectTab(X256Edit::kSequencesPage);
    Frames(2);
    Screenshot("sequence-browser");

    auto* browser = dynamic_cast<X256SequenceBrowser*>(editor->GetSequencePage());
    ASSERT_NE(browser, nullptr);
    CollectionSequence* walk = c.sequences[0].get();
    CollectionSequence* idle = c.sequences[1].get();
    ASSERT_STREQ(idle->name, "Idle");
    X256SequenceEdit* walkEdit = browser->OpenSequenceEditor(walk);
    SetFrame(walkEdit, Rect{200, 60, 1010, 660});
    Frames(2);
    Screenshot("sequence-editor-walk");
    // The knight of frame 0, view 0 shows in the middle of its cell, over
    // the cell's background at the corner.
    GridWindow* walkGrid = walkEdit->GetGrid();
    Rect cell = walkGrid->CellImageRect(1);
    walkGrid->ClientToScreenRects(&cell, 1);
    EXPECT_NE(At(CellCentre(walkGrid, 1)), At(Point{cell.left + 1, cell.top + 1}));
    DestroyWindow(walkEdit);

    // A bitmap dragged from the Bitmaps page onto Idle's view.
    tabs->SelectTab(X256Edit::kBitmapsPage);
    X256SequenceEdit* idleEdit = browser->OpenSequenceEditor(idle);
    SetFrame(idleEdit, Rect{10, 430, 700, 760});
    Frames(2);
    X256BitmapBrowser* bitmaps = editor->GetBitmapBrowser();
    GridWindow* source = bitmaps->GetGrid();
    CollectionBitmap* knight = nullptr;
    i32 knightCell = -1;
    for (size_t i = 0; i < bitmaps->GetRowBitmaps().size(); ++i)
        if (std::string(bitmaps->GetRowBitmaps()[i]->name) == "Walk F0 V2") {
            knight = bitmaps->GetRowBitmaps()[i];
            knightCell = i32(i);
        }
    ASSERT_NE(knight, nullptr);
    source->RevealCell(knightCell);
    Frames(1);
    const Point from = CellCentre(source, knightCell);
    const Point to = CellCentre(idleEdit->GetGrid(), 1);
    Input([&] { HandleMouseMoveInput(from.x, from.y); });
    Input([&] { HandleMouseButtonInput(0, 1); });
    Input([&] { HandleMouseMoveInput(from.x + 8, from.y + 8); });
    ASSERT_TRUE(IsDragRunning());
    Input([&] { HandleMouseMoveInput((from.x + to.x) / 2, (from.y + to.y) / 2); });
    Input([&] { HandleMouseMoveInput(to.x, to.y); });
    Screenshot("sequence-editor-drag");
    Input([&] { HandleMouseButtonInput(0, 0); });
    EXPECT_EQ(idle->frames[0].instances[0].standard.bitmap, knight);
    Screenshot("sequence-editor-idle-after-drop");

    // The frame editor of that cell: points where they belong.
    X256SequenceFrameEdit* frameEdit = browser->OpenFrameEditor(idle, 0, 0);
    SetFrame(frameEdit, Rect{540, 10, 1020, 420});
    frameEdit->GetShowBox(X256SequenceFrameEdit::kShowOrigin)->SetChecked(true, false);
    Frames(2);
    X256SequenceFrameView* canvas = frameEdit->GetCanvas();
    const CanvasPoint origin = canvas->Origin();
    const Rect& client = canvas->GetClientScreenRect();
    const Point reg{client.left + i32(origin.x), client.top + i32(origin.y)};
    const BitmapInstance& instance = idle->frames[0].instances[0];
    const CanvasPoint key = KeyPointOnCanvas(instance, origin, canvas->GetZoom());
    Screenshot("sequence-frame-editor");
    // The origin cross goes over the point's middle row and column.
    EXPECT_TRUE(Near(At(Point{reg.x + 1, reg.y + 1}), 0, 170, 0)) << "the registration point is green";
    EXPECT_TRUE(Near(At(Point{reg.x + 3, reg.y + 3}), 0x5A, 0x5A, 0x5A)) << "with a grey outline";
    EXPECT_TRUE(Near(At(Point{client.left + i32(key.x) + 1, client.top + i32(key.y) + 1}), 255, 0, 0))
        << "the key point is red";

    // F2 and the right arrow: the picture one pixel right, so the
    // registration point one pixel left inside it.
    const i16 x = instance.standard.x;
    ActivateWindow(canvas, kFocusByClick);
    Input([] { HandleKeyInput(kKeyF1 + 1, 1); });
    Input([] { HandleKeyInput(kKeyRight, 1); });
    Screenshot("sequence-frame-editor-move");
    Input([] { HandleKeyInput(kKeyRight, 0); });
    Input([] { HandleKeyInput(kKeyF1 + 1, 0); });
    EXPECT_EQ(instance.standard.x, x - 1);

    ASSERT_EQ(editor->SaveChanges(), 1);
    const std::vector<u8> file = pirn_test::ReadAll(game_.path() + "/local/Collections/Demo Knight");
    ASSERT_GT(file.size(), 64u + 320u);
    const std::vector<u8> data(file.begin() + 64, file.end());
    // Sequence 1 (Idle): its data, its one frame's one view, that instance.
    const size_t table = 320 + U32At(data, 64 + 4 * 16 + 4);
    const size_t idleData = 320 + U32At(data, table + 128 + 64);
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(&data[table + 128])), "Idle");
    const u16 view = U16At(data, idleData + 64 + 46);
    const size_t record = 320 + U32At(data, 64 + 3 * 16 + 4) + size_t{view} * 64;
    EXPECT_EQ(U16At(data, record + 28), u16(FindCollectionBitmap(c, knight)));
    EXPECT_EQ(i16(U16At(data, record + 12)), x - 1);
}

TEST_F(SequencePagesGlTest, AMirroredViewMovedByTheArrowsIsWhereItWasAfterReopening) {
    TagEntry* tag = WriteKnight();
    ASSERT_NE(tag, nullptr);
    auto* editor = dynamic_cast<X256Edit*>(OpenTagEditor(tag));
    ASSERT_NE(editor, nullptr);
    SetFrame(editor, Rect{10, 10, 600, 420});
    editor->GetTabs()->SelectTab(X256Edit::kSequencesPage);
    auto* browser = dynamic_cast<X256SequenceBrowser*>(editor->GetSequencePage());
    ASSERT_NE(browser, nullptr);
    CollectionSequence* walk = editor->GetCollection().sequences[0].get();
    ASSERT_STREQ(walk->name, "Walk");
    ASSERT_TRUE(walk->flags & kSequenceMirroring);
    ASSERT_EQ(walk->view_count, 8);

    // View 6 (270 degrees) reflects view 2 (90 degrees).
    X256SequenceFrameEdit* frameEdit = browser->OpenFrameEditor(walk, 6, 0);
    SetFrame(frameEdit, Rect{300, 10, 1020, 620});
    Frames(2);
    X256SequenceFrameView* canvas = frameEdit->GetCanvas();
    const BitmapInstance& view6 = walk->frames[0].instances[6];
    const BitmapInstance& view2 = walk->frames[0].instances[2];
    ASSERT_NE(view6.standard.bitmap, nullptr);
    const i32 width = view6.standard.bitmap->width;
    const i16 x6 = view6.standard.x;
    ASSERT_EQ(x6, width - view2.standard.x);
    Screenshot("frame-editor-mirrored-view");
    // The knight alone, at 100%: a fully opaque pixel of it, as the screen
    // shows it.
    using Edit = X256SequenceFrameEdit;
    for (Edit::Show show : {Edit::kShowRegPoint, Edit::kShowKeyPoint, Edit::kShowSelectionBox, Edit::kShowShadow})
        frameEdit->GetShowBox(show)->SetChecked(false, false);
    ASSERT_EQ(canvas->GetZoom(), 1.0);
    const Rect& client = canvas->GetClientScreenRect();
    const CanvasRect picture = InstancePictureRect(view6, canvas->Origin(), 1.0);
    const CollectionBitmap& knight = *view6.standard.bitmap;
    ASSERT_EQ(knight.bytes_per_pixel, 2);
    Point opaque{-1, -1};
    for (u32 by = knight.height / 2; by < knight.height && opaque.x < 0; ++by)
        for (u32 bx = 0; bx < knight.width && opaque.x < 0; ++bx)
            if (knight.pixels[(size_t{by} * knight.width + bx) * 2] == 255)
                // Mirrored: column bx stands at the picture's other side.
                opaque = Point{picture.left + i32((view6.flags & kInstanceMirrored) ? knight.width - 1 - bx : bx),
                               picture.top + i32(by)};
    ASSERT_GE(opaque.x, 0);
    const std::array<int, 3> seen = At(Point{client.left + opaque.x, client.top + opaque.y});

    // Shift and Right five times: the knight five pixels right.
    ActivateWindow(canvas, kFocusByClick);
    Input([] { HandleKeyInput(kKeyLeftShift, 1); });
    for (int i = 0; i < 5; ++i) {
        Input([] { HandleKeyInput(kKeyRight, 1); });
        Input([] { HandleKeyInput(kKeyRight, 0); });
    }
    Input([] { HandleKeyInput(kKeyLeftShift, 0); });
    Screenshot("frame-editor-mirrored-view-moved");
    EXPECT_EQ(view6.standard.x, x6 - 5);
    EXPECT_EQ(view2.standard.x, width - (x6 - 5)) << "the stored view it reflects";
    EXPECT_EQ(At(Point{client.left + opaque.x + 5, client.top + opaque.y}), seen);

    ASSERT_EQ(editor->SaveChanges(), 1);
    const std::vector<u8> file = pirn_test::ReadAll(game_.path() + "/local/Collections/Demo Knight");
    ASSERT_GT(file.size(), 64u + 320u);
    const std::vector<u8> data(file.begin() + 64, file.end());
    const size_t table = 320 + U32At(data, 64 + 4 * 16 + 4);
    const size_t walkData = 320 + U32At(data, table + 64);
    const size_t instances = 320 + U32At(data, 64 + 3 * 16 + 4);
    // Frame 0's view indices follow the sequence record and the frame's own.
    auto storedX = [&](u32 view) {
        const size_t instance = U16At(data, walkData + 64 + 46 + 2 * view);
        return i16(U16At(data, instances + instance * 64 + 12));
    };
    EXPECT_EQ(storedX(6), x6 - 5);
    EXPECT_EQ(storedX(2), width - (x6 - 5));

    // Closed and opened again: view 6 stands where it was moved.
    DestroyWindow(editor);
    Frames(1);
    editor = dynamic_cast<X256Edit*>(OpenTagEditor(tag));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetCollection().sequences[0]->frames[0].instances[6].standard.x, x6 - 5);
    EXPECT_EQ(editor->GetCollection().sequences[0]->frames[0].instances[2].standard.x, width - (x6 - 5));
}

}  // namespace
}  // namespace pirn
