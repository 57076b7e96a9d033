// A list and a popup menu drawn by the window system with the generated skin
// and font on Mesa (Xvfb in the test run), read back with glReadPixels: the
// selected row and the highlighted entry carry the selection blue, other rows
// and entries show the surfaces they stand on, and the labels leave dark ink.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"
#include "tests/gui/gui_harness.h"
#include "tests/gui/skinned_gl_fixture.h"
#include "tests/support/test_support.h"
#include "ui/combo_box.h"
#include "ui/frame_step.h"
#include "ui/gl/gl_window_renderer.h"
#include "ui/interface_font.h"
#include "ui/list_window.h"
#include "ui/menu.h"
#include "ui/skin.h"
#include "ui/text_box.h"
#include "ui/text_layout.h"
#include "ui/window_system.h"

namespace pirn {
namespace {

using Rgb = std::array<int, 3>;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

class ListMenuPixelsTest : public SkinnedGlFixture {
protected:
    static void SetUpTestSuite() { OpenWindowAndLoad("Pirn list and menu test", kWidth, kHeight); }

    int InkIn(const Rect& r) const { return DarkPixelsIn(r, 110); }
    // The average colour of a skin image (patterns are tiled at offsets the
    // test does not know).
    static Rgb ImageAverage(int slot) {
        const TexturePackImage* image = FindTexturePackImage(*images_, slot);
        if (!image || image->pixels.empty()) return {-1, -1, -1};
        long sum[3] = {0, 0, 0};
        const size_t n = image->pixels.size() / 4;
        for (size_t i = 0; i < n; i++)
            for (int c = 0; c < 3; c++) sum[c] += image->pixels[i * 4 + size_t(c)];
        return {int(sum[0] / long(n)), int(sum[1] / long(n)), int(sum[2] / long(n))};
    }
    static bool Near(const Rgb& a, const Rgb& b, int tolerance) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(a[i] - b[i]) > tolerance) return false;
        return true;
    }
    static bool Bluish(const Rgb& p) { return p[2] > p[0] + 40 && p[2] > p[1] + 20; }
    static std::string Show(const Rgb& c) {
        return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
    }
};

TEST_F(ListMenuPixelsTest, ListRowsSelectionAndText) {
    auto* list = new ListWindow(ListWindow::kTree, Window::kVisible | Window::kBackground | Window::kThinBorder, nullptr);
    SetFrame(list, Rect{40, 40, 300, 240});
    ListItem* group = list->AddItem(nullptr, 0, ListItem::kTextItem | ListItem::kExpandable | ListItem::kOpen, nullptr,
                                    "Collections");
    list->AddItem(group, 0, ListItem::kTextItem, nullptr, "Alpha");
    ListItem* bravo = list->AddItem(group, 0, ListItem::kTextItem, nullptr, "Bravo");
    list->AddItem(nullptr, 0, ListItem::kTextItem, nullptr, "Charlie");
    list->UpdateScrollRange();
    list->SelectItem(bravo, false);
    ActivateWindow(list, 0);
    Draw();
    Shot("list");

    const Rect& c = list->GetClientScreenRect();
    const i32 rowH = list->GetRowHeight();
    const i32 right = c.right - 12;  // beside every label
    // Row 2 (Bravo) carries the focused selection blue; rows 1 and 3 show the
    // window background.
    const Rgb selected = Pixel(right, c.top + 2 * rowH + rowH / 2);
    EXPECT_TRUE(Bluish(selected)) << Show(selected);
    const Rgb background = ImageAverage(kSlotWindowBackground);
    for (int row : {1, 3}) {
        const Rgb p = Pixel(right, c.top + row * rowH + rowH / 2);
        EXPECT_TRUE(Near(p, background, 24)) << row << ": " << Show(p) << " vs " << Show(background);
    }
    // Labels: dark ink where the text of each row starts, indented by depth.
    const i32 top = c.top + rowH * 3;
    EXPECT_GT(InkIn(Rect{c.left, top, c.left + 120, top + rowH}), 10);
    EXPECT_GT(InkIn(Rect{c.left + 40, c.top + rowH, c.left + 140, c.top + 2 * rowH}), 10);
    // Nothing below the last row.
    EXPECT_EQ(InkIn(Rect{c.left, c.top + 4 * rowH + 2, c.right - 20, c.top + 6 * rowH}), 0);
}

struct TagRow {
    u32 group;
    char name[16];
    u32 size;
};

TEST_F(ListMenuPixelsTest, ColumnsUnderAHeaderRow) {
    auto* list = new ListWindow(ListWindow::kColumnMode | ListWindow::kHeaderRow | ListWindow::kMultipleSelection,
                                Window::kVisible | Window::kBackground | Window::kThinBorder, nullptr);
    SetFrame(list, Rect{40, 260, 400, 420});
    list->AddColumn("Group", "%s", kColumnFourCC, 4, 60, 0, 0);
    list->AddColumn("Name", "%s", kColumnCharArray, 16, 120, 0, 0);
    list->AddColumn("Size", "%u", kColumnInteger, 4, 80, 0, kTextRight);
    static TagRow rows[] = {{0x6D657368, "plains", 1200}, {0x2E323536, "units of war!", 56}, {0x64746578, "grass", 9}};
    for (TagRow& r : rows) list->AddItem(nullptr, 0, 0, &r, nullptr);
    list->UpdateScrollRange();
    list->Sort();
    Draw();
    Shot("columns");
    const Rect& c = list->GetClientScreenRect();
    const i32 rowH = list->GetRowHeight();
    // Titles in the header, each over its own column.
    EXPECT_GT(InkIn(Rect{c.left, c.top, c.left + 60, c.top + rowH - 2}), 10);
    EXPECT_GT(InkIn(Rect{c.left + 60, c.top, c.left + 180, c.top + rowH - 2}), 10);
    // Sorted by group: '.256' first. Its name stays inside the Name column
    // and its size stands at the right of the Size column.
    EXPECT_GT(InkIn(Rect{c.left + 60, c.top + rowH, c.left + 180, c.top + 2 * rowH}), 10);
    EXPECT_GT(InkIn(Rect{c.left + 240, c.top + rowH, c.left + 260, c.top + 2 * rowH}), 5);
    EXPECT_EQ(InkIn(Rect{c.left + 180, c.top + rowH, c.left + 200, c.top + 2 * rowH}), 0);
}

TEST_F(ListMenuPixelsTest, PopupMenuColumnHighlightAndSeparator) {
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "Open", nullptr, 1, true);
    MenuItem* save = Menu::AddItem(menu, "Save", nullptr, 2, true);
    Menu::AddSeparator(menu, nullptr);
    Menu::AddItem(menu, "Quit", nullptr, 3, false);
    MenuItem* recent = Menu::AddItem(menu, "Recent", nullptr, 4, true);
    Menu::AddItem(menu, "first.256", recent, 41, true);
    Menu::AddItem(menu, "second.256", recent, 42, true);
    SetFrame(menu, MakeRect(320, 60, menu->GetWidth(), menu->GetHeight()));
    SetVisible(menu, true);
    menu->Highlight(save);
    recent->Open();  // after the highlight, which would close it
    Draw();
    Shot("menu");

    auto middleRight = [&](MenuItem* e) {
        const Rect& f = e->GetFrameScreenRect();
        return Point{f.right - 10, (f.top + f.bottom) / 2};
    };
    const std::vector<MenuItem*>& entries = menu->Entries();
    const Point lit = middleRight(save);
    EXPECT_TRUE(Bluish(Pixel(lit.x, lit.y))) << Show(Pixel(lit.x, lit.y));
    const Point plain = middleRight(entries[0]);
    const Rgb menuSurface = ImageAverage(kSlotMenuBackground);
    EXPECT_TRUE(Near(Pixel(plain.x, plain.y), menuSurface, 28))
        << Show(Pixel(plain.x, plain.y)) << " vs " << Show(menuSurface);
    // Enabled titles are dark; the disabled one is grey, not black.
    const Rect open = entries[0]->GetFrameScreenRect();
    EXPECT_GT(InkIn(Rect{open.left + 8, open.top, open.left + 60, open.bottom}), 10);
    const Rect quit = entries[3]->GetFrameScreenRect();
    EXPECT_EQ(InkIn(Rect{quit.left + 8, quit.top, quit.left + 60, quit.bottom}), 0);
    // The separator leaves a line across its middle, unlike the plain surface
    // next to it.
    const Rect sep = entries[2]->GetFrameScreenRect();
    bool line = false;
    for (int y = sep.top; y < sep.bottom; ++y)
        if (!Near(Pixel((sep.left + sep.right) / 2, y), menuSurface, 28)) line = true;
    EXPECT_TRUE(line);
    // The submenu column stands right of its entry on the menu surface, its
    // titles in dark ink.
    const MenuItem* first = recent->Entries()[0];
    const Rect sub = first->GetFrameScreenRect();
    EXPECT_EQ(sub.left, recent->GetFrameScreenRect().right);
    const Point subPlain = middleRight(recent->Entries()[1]);
    EXPECT_TRUE(Near(Pixel(subPlain.x, subPlain.y), menuSurface, 28)) << Show(Pixel(subPlain.x, subPlain.y));
    EXPECT_GT(InkIn(Rect{sub.left + 8, sub.top, sub.left + 80, sub.bottom}), 10);
}

TEST_F(ListMenuPixelsTest, ComboBoxLabelAndOpenList) {
    auto* surface = new Window(Window::kVisible | Window::kBackground, nullptr);
    SetFrame(surface, Rect{20, 260, 620, 460});
    auto* label = new ComboBox(surface, 0);
    label->SetPosition(20, 20);
    auto* editable = new ComboBox(surface, ComboBox::kEditable);
    editable->SetPosition(240, 20);
    for (ComboBox* box : {label, editable}) {
        box->AddItem(nullptr, "Detail map", false);
        box->AddItem(nullptr, "Collection", false);
        box->SelectItem(box->GetList()->GetFirstItem());
    }
    Draw();
    Shot("combo");
    // Both fields show their text in dark ink on a light field.
    for (ComboBox* box : {label, editable}) {
        const Rect f = box->GetField()->GetFrameScreenRect();
        EXPECT_GT(InkIn(f), 10) << box->IsEditable();
        const Rgb field = Pixel(f.right - 6, (f.top + f.bottom) / 2);
        EXPECT_GT(field[0] + field[1] + field[2], 3 * 170) << Show(field);
    }
}

}  // namespace
}  // namespace pirn
