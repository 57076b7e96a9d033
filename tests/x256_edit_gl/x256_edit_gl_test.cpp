// The collection editor drawn with GL in a real window (Xvfb in the test
// run) on the demo game's knight: every page shown and kept as a screenshot
// in the test output, a bitmap imported through the file dialog, a hue
// change added and given a replacement colour (the new bitmap's thumbnail
// changes colour on screen), the bitmaps cropped by the optimiser, the tag
// saved, its bytes read back field by field, and the tag reopened and saved
// again to the same bytes.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/big_endian_bytes.h"
#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "collections/ui/bitmap_browser.h"
#include "collections/ui/color_table_edit.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/hue_browser.h"
#include "collections/ui/hue_edit.h"
#include "collections/ui/optimiser_page.h"
#include "collections/ui/x256_edit.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_capture.h"
#include "platform/native_dialogs.h"
#include "platform/pixel_image.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/color_button.h"
#include "ui/frame_step.h"
#include "ui/grid_window.h"
#include "ui/message_box_window.h"
#include "ui/tab_window.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr u32 kGroup = 0x2E323536;  // '.256'

using pirn_test::U16At;
using pirn_test::U32At;

// Answers every dialog from what the test queued.
class ScriptedDialogs : public NativeDialogBackend {
public:
    bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) override {
        titles.push_back(request.title);
        if (paths.empty()) return false;
        answer->paths = {paths.front()};
        paths.pop_front();
        return true;
    }
    bool RunColorDialog(const ColorRgb&, CustomColors*, ColorRgb* chosen) override {
        *chosen = color;
        return true;
    }
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void ShowError(const std::string&, const std::string&) override {}

    std::deque<std::string> paths;
    ColorRgb color;
    std::vector<std::string> titles;
};

class X256EditGlTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn collection editor test", kWidth, kHeight); }
    void SetUp() override {
        SkinnedGlFixture::SetUp();
        if (IsSkipped()) return;
        UnloadCodex();
        SetLocalFolder(game_.path() + "/local/");
        SetNativeDialogBackend(&dialogs_);
        BindX256Edit();
        RegisterTagEditors();
        Script().clear();
        SetIdleHook(&X256EditGlTest::Frame);
    }
    void TearDown() override {
        if (!IsSkipped()) {
            ResetWindowSystem();  // the editor lets go of its tag
            EXPECT_EQ(UnloadCodex(), 1);
            UnbindTagEditors();
            ClearTagGroupEditors();
            SetNativeDialogBackend(nullptr);
            ForgetCollectionBitmaps();
        }
        SkinnedGlFixture::TearDown();
    }

    static std::deque<std::function<void()>>& Script() {
        static std::deque<std::function<void()>> script;
        return script;
    }
    // One frame of a modal run: the next scripted action, then the frame.
    static int Frame() {
        if (!Script().empty()) {
            std::function<void()> action = std::move(Script().front());
            Script().pop_front();
            action();
        }
        StepFrame();
        return 1;
    }
    // Presses a button of the box on top, noting what it said.
    void AnswerBox(int button) {
        Script().push_back([this, button] {
            auto* box = dynamic_cast<MessageBoxWindow*>(GetTopModalWindow());
            ASSERT_NE(box, nullptr);
            boxes_.push_back(box->GetText());
            box->PressButton(button);
        });
    }

    // The demo knight as a loose tag file of this game folder.
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

    // An 8-bit picture in the collection's own colours: a 16 x 16 square of
    // the demo palette's cyans (hue 185) in the middle of 32 x 32, index 0
    // around it.
    std::string WritePicture(const Collection& c) {
        PixelImage image;
        std::vector<u8> pixels(32 * 32, 0);
        for (u32 y = 8; y < 24; ++y)
            for (u32 x = 8; x < 24; ++x) pixels[y * 32 + x] = u8(2 + 4 * 30 + 10 + (x + y) % 12);
        SetImagePixels(&image, 32, 32, kFormatColorIndex, pixels.data());
        SetImagePalette(&image, 256, c.colors);
        std::vector<u8> bytes;
        EXPECT_TRUE(EncodeImageBytes(kTypePng, image, &bytes));
        const std::string path = game_.path() + "/Imported.png";
        pirn_test::WriteAll(path, bytes);
        return path;
    }

    // Frames until the condition holds (a safety limit, not a measurement).
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) StepFrame();
    }

    void Screenshot(const std::string& name) {
        Draw();
        SavePng(name);
    }

    // The colour at the middle of a grid cell's picture, on screen.
    std::array<int, 3> CellCentre(GridWindow* grid, i32 cell) {
        Rect r = grid->CellImageRect(cell);
        grid->ClientToScreenRects(&r, 1);
        Draw();
        return Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    pirn_test::TempDir game_;
    ScriptedDialogs dialogs_;
    std::vector<std::string> boxes_;
    ScopedLogCapture quietLog_;
};

TEST_F(X256EditGlTest, ImportAHueChangeOptimiseSaveAndReopenTheDemoKnight) {
    TagEntry* tag = WriteKnight();
    ASSERT_NE(tag, nullptr);
    auto* editor = dynamic_cast<X256Edit*>(OpenTagEditor(tag));
    ASSERT_NE(editor, nullptr);
    SetFrame(editor, Rect{20, 20, 900, 680});
    Collection& c = editor->GetCollection();
    const u32 bitmapsBefore = GetCollectionBitmapCount(c);
    TabWindow* tabs = editor->GetTabs();
    const char* shots[] = {"x256-bitmaps", "x256-shadows", "x256-sequences", "x256-hue-changes",
                           "x256-color-table", "x256-flags", "x256-optimize"};
    for (int page = 0; page < tabs->GetTabCount(); ++page) {
        tabs->SelectTab(page);
        Frames(2);
        Screenshot(shots[page]);
    }

    // The colour table shows every entry as its swatch.
    tabs->SelectTab(X256Edit::kColorTablePage);
    Frames(2);
    GridWindow* swatches = editor->GetColorTableEdit()->GetGrid();
    for (i32 entry : {2, 100, 243}) {
        const std::array<int, 3> seen = CellCentre(swatches, entry);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(seen[size_t(k)], c.colors[3 * entry + k]) << entry;
    }

    // A bitmap from a file, through the dialog.
    tabs->SelectTab(X256Edit::kBitmapsPage);
    X256BitmapBrowser* bitmaps = editor->GetBitmapBrowser();
    dialogs_.paths.push_back(WritePicture(c));
    bitmaps->RunCommand(X256BitmapBrowser::kAddFromFilesCommand);
    ASSERT_EQ(GetCollectionBitmapCount(c), bitmapsBefore + 1);
    EXPECT_EQ(dialogs_.titles.back(), "Import Bitmaps");
    CollectionBitmap* imported = c.bitmaps.back().get();
    EXPECT_STREQ(imported->name, "Imported");
    GridWindow* grid = bitmaps->GetGrid();
    const i32 cell = grid->GetCellCount() - 1;
    grid->RevealCell(cell);
    const std::array<int, 3> before = CellCentre(grid, cell);
    EXPECT_GT(before[2], before[0]) << "the imported square is cyan";
    Screenshot("x256-imported");

    // A hue change over 120-240 degrees (median 180) with a red replacement
    // colour: the square's hue 185 becomes 5, red.
    X256HueBrowser* hues = editor->GetHueBrowser();
    hues->RunCommand(X256HueBrowser::kNewCommand);
    CollectionHueChange* hue = c.hue_changes.back().get();
    X256HueEdit* hueEdit = hues->OpenHueEdit(hue);
    ASSERT_NE(hueEdit, nullptr);
    hueEdit->GetReplacementBox()->SetChecked(true, false);
    dialogs_.color = ColorRgb{255, 40, 40};
    ASSERT_EQ(hueEdit->GetColorButton()->ChooseColor(), 1);
    Screenshot("x256-hue-edit");
    DestroyWindow(hueEdit);
    Frames(1);
    const std::array<int, 3> after = CellCentre(grid, cell);
    EXPECT_GT(after[0], after[2]) << "the hue change made the square red";
    EXPECT_GT(after[0], after[1]);

    // Crop all bitmaps: the report, then the imported one is its square.
    tabs->SelectTab(X256Edit::kOptimizePage);
    Frames(1);
    Script().push_back([this] { Screenshot("x256-optimize-report"); });
    AnswerBox(0);
    editor->GetOptimizeEdit()->GetButton(2)->SetState(Button::kChecked, false);
    ASSERT_EQ(boxes_.size(), 1u);
    const size_t number = boxes_[0].find_first_not_of("0123456789");
    EXPECT_GT(number, 0u);
    EXPECT_EQ(boxes_[0].find(" bitmaps were cropped ("), number) << boxes_[0];
    EXPECT_EQ(imported->width, 16);
    EXPECT_EQ(imported->height, 16);

    ASSERT_EQ(editor->SaveChanges(), 1);
    const std::string path = game_.path() + "/local/Collections/Demo Knight";
    std::vector<u8> file = pirn_test::ReadAll(path);
    ASSERT_GT(file.size(), 64u + 320u);
    const std::vector<u8> data(file.begin() + 64, file.end());
    // Header sections: 1 hue changes, 2 bitmap table.
    ASSERT_EQ(U32At(data, 64 + 1 * 16), 2u);
    ASSERT_EQ(U32At(data, 64 + 2 * 16), bitmapsBefore + 1);
    const size_t hueRecord = 320 + U32At(data, 64 + 1 * 16 + 4) + 128;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&data[hueRecord])), "New Hue Change");
    EXPECT_EQ(U16At(data, hueRecord + 64), 0x5556);
    EXPECT_EQ(U16At(data, hueRecord + 66), 0xAAAB);
    EXPECT_EQ(U16At(data, hueRecord + 112), 255 * 256);
    EXPECT_EQ(U16At(data, hueRecord + 114), 40 * 256);
    EXPECT_EQ(data[hueRecord + 120], 1);
    const size_t lastEntry = 320 + U32At(data, 64 + 2 * 16 + 4) + 128 * bitmapsBefore;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&data[lastEntry])), "Imported");
    EXPECT_EQ(U16At(data, lastEntry + 76), 16);
    EXPECT_EQ(U16At(data, lastEntry + 78), 16);

    // Closed and opened again: the same collection, saved to the same bytes.
    editor->SetModified(false);
    editor->Close(1);
    Frames(1);
    auto* again = dynamic_cast<X256Edit*>(OpenTagEditor(FindTag(kGroup, tag->tag_id)));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetCollectionHueChangeCount(again->GetCollection()), 2u);
    EXPECT_STREQ(again->GetCollection().bitmaps.back()->name, "Imported");
    Screenshot("x256-reopened");
    ASSERT_EQ(again->SaveChanges(), 1);
    EXPECT_EQ(pirn_test::ReadAll(path), file);
}

}  // namespace
}  // namespace pirn
