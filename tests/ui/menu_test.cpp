// Menus on the headless window system: column geometry, popup placement,
// arrow keys with disabled entries and separators, initial letters, submenus,
// the menu bar, and menus whose entries cannot be chosen at all.

#include <string>
#include <vector>

#include "tests/ui/widget_fixture.h"
#include "ui/menu.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

class MenuTest : public WidgetTest {
protected:
    static const char* Highlighted(MenuItem* column) {
        MenuItem* h = column->GetHighlighted();
        return h ? h->GetTitle() : "-";
    }
    static void KeyTo(Menu* menu, int code) {
        InputEvent e = InputEvent::Key(code, 1);
        menu->OnKey(e);
    }
    static void CharTo(Menu* menu, char c) {
        InputEvent e;
        e.type = kEventChar;
        e.word[0] = static_cast<u8>(c);
        e.word[1] = 1;
        menu->OnChar(e);
    }
    // Popup run driven by keys posted one frame after another.
    static i32 PopupWithKeys(Menu* menu, Point at, std::vector<int> keys) {
        for (int k : keys) Then([k] { PostKey(k); });
        return Menu::Popup(menu, at);
    }
};

TEST_F(MenuTest, ColumnGeometry) {
    auto* menu = new Menu(false);
    MenuItem* open = Menu::AddItem(menu, "Open", nullptr, 1, true);
    MenuItem* sep = Menu::AddSeparator(menu, nullptr);
    MenuItem* longer = Menu::AddItem(menu, "Save Everything", nullptr, 2, true);
    EXPECT_STREQ(sep->GetTitle(), "<---separator--->");
    EXPECT_EQ(sep->GetId(), -1);
    EXPECT_STREQ(menu->GetTitle(), "Popup Menu");
    // The menu answers as its entries do: it only adds a destructor.
    EXPECT_STREQ(menu->GetClassName(), "MenuItem");
    EXPECT_STREQ(open->GetClassName(), "MenuItem");
    const i32 frame = GetMenuFrameSize();
    const i32 width = 15 * kCharWidth + 36;
    EXPECT_EQ(open->GetHeight(), kLineHeight + 4);
    EXPECT_EQ(sep->GetHeight(), 4);
    EXPECT_EQ(open->GetWidth(), width);
    EXPECT_EQ(longer->GetWidth(), width);
    EXPECT_EQ(menu->GetSize().x, width);
    EXPECT_EQ(menu->GetSize().y, 2 * (kLineHeight + 4) + 4 + 2 * frame);
    EXPECT_EQ(sep->GetFrame().top, open->GetFrame().bottom);

    // Short titles still make a 64-px column.
    auto* small = new Menu(false);
    Menu::AddItem(small, "A", nullptr, 1, true);
    EXPECT_EQ(small->GetSize().x, 64);
}

TEST_F(MenuTest, PopupPlacementPicksTheLargestVisibleFrame) {
    const Point size{100, 80};
    struct Case {
        Point at;
        Rect expected;
    } cases[] = {
        {{10, 10}, MakeRect(10, 10, 100, 80)},        // below-right
        {{10, 590}, MakeRect(10, 510, 100, 80)},      // above-right
        {{790, 10}, MakeRect(690, 10, 100, 80)},      // below-left
        {{790, 590}, MakeRect(690, 510, 100, 80)},    // above-left
        {{400, 300}, MakeRect(400, 300, 100, 80)},    // ties keep the earlier
    };
    for (const Case& c : cases) EXPECT_EQ(Menu::PlaceAtPoint(c.at, size), c.expected) << c.at.x << "," << c.at.y;

    auto* menu = new Menu(false);
    Menu::AddItem(menu, "Open", nullptr, 1, true);
    Then([menu] {
        const Rect& f = menu->GetFrameScreenRect();
        EXPECT_EQ(f.right, 790);
        EXPECT_EQ(f.bottom, 590);
        PostKey(kKeyEsc);
    });
    EXPECT_EQ(Menu::Popup(menu, Point{790, 590}), -1);
    EXPECT_FALSE(menu->IsVisible());
}

TEST_F(MenuTest, ArrowKeysSkipSeparatorsAndDisabledEntries) {
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "A", nullptr, 1, true);
    Menu::AddItem(menu, "B", nullptr, 2, false);
    Menu::AddSeparator(menu, nullptr);
    Menu::AddItem(menu, "C", nullptr, 3, true);
    Menu::AddItem(menu, "D", nullptr, 4, false);
    struct Case {
        std::vector<int> keys;
        const char* highlighted;
    } cases[] = {
        {{kKeyDown}, "A"},
        {{kKeyDown, kKeyDown}, "C"},
        {{kKeyDown, kKeyDown, kKeyDown}, "C"},  // only a disabled entry follows
        {{kKeyDown, kKeyDown, kKeyUp}, "A"},
        {{kKeyDown, kKeyUp}, "-"},              // wraps onto the disabled last entry
        {{kKeyUp}, "-"},
    };
    for (const Case& c : cases) {
        menu->Close();
        for (int k : c.keys) KeyTo(menu, k);
        EXPECT_STREQ(Highlighted(menu), c.highlighted) << c.keys.size();
    }
    // Down from the last entry goes to the first.
    auto* wrap = new Menu(false);
    Menu::AddItem(wrap, "A", nullptr, 1, true);
    Menu::AddItem(wrap, "B", nullptr, 2, true);
    wrap->Highlight(wrap->Entries()[1]);
    KeyTo(wrap, kKeyDown);
    EXPECT_STREQ(Highlighted(wrap), "A");
}

TEST_F(MenuTest, PopupReturnsTheChosenIdOrMinusOne) {
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "A", nullptr, 11, true);
    Menu::AddItem(menu, "B", nullptr, 12, false);
    Menu::AddSeparator(menu, nullptr);
    Menu::AddItem(menu, "C", nullptr, 13, true);
    EXPECT_EQ(PopupWithKeys(menu, Point{100, 100}, {kKeyDown, kKeyDown, kKeyEnter}), 13);
    EXPECT_EQ(PopupWithKeys(menu, Point{100, 100}, {kKeyDown, kKeyEsc}), -1);

    // Clicks on the disabled entry and the separator choose nothing; a click
    // on A does; a click beside the menu ends the run with nothing.
    MenuItem* disabled = menu->Entries()[1];
    MenuItem* sep = menu->Entries()[2];
    MenuItem* a = menu->Entries()[0];
    Then([disabled] { PostClick(disabled); });
    Then([sep] { PostClick(sep); });
    Then([a] { PostClick(a); });
    EXPECT_EQ(Menu::Popup(menu, Point{100, 100}), 11);
    Then([] {
        headless::AdvanceTime(0.5);
        HandleMouseMoveInput(600, 500);
        HandleMouseButtonInput(0, 1);
        HandleMouseButtonInput(0, 0);
    });
    EXPECT_EQ(Menu::Popup(menu, Point{100, 100}), -1);
}

TEST_F(MenuTest, FocusReturnsAfterThePopup) {
    auto* editor = new ProbeWindow(Window::kVisible | Window::kTakesFocus, nullptr, "editor");
    SetFrame(editor, Rect{0, 0, 300, 300});
    ActivateWindow(editor, kFocusByProgram);
    auto* menu = new Menu(false);
    Menu::AddItem(menu, "A", nullptr, 1, true);
    EXPECT_EQ(PopupWithKeys(menu, Point{50, 50}, {kKeyEsc}), -1);
    EXPECT_EQ(GetFocusWindow(), editor);
    // A focus window that went away while the popup ran is left alone.
    Then([editor] { DestroyWindow(editor); });
    Then([] { PostKey(kKeyEsc); });
    EXPECT_EQ(Menu::Popup(menu, Point{50, 50}), -1);
    EXPECT_NE(GetFocusWindow(), static_cast<Window*>(editor));
}

TEST_F(MenuTest, InitialLettersCycleAndUnknownLettersBeep) {
    auto* menu = new Menu(false);
    for (const char* t : {"Save", "select", "Open", "Save As", "Swap"}) Menu::AddItem(menu, t, nullptr, 1, true);
    menu->Entries()[4]->SetEnabled(false);
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        CharTo(menu, 's');
        seen.push_back(Highlighted(menu));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Save", "select", "Save As", "Save"}));
    const int beeps = Beeps();
    CharTo(menu, 'x');
    EXPECT_EQ(Beeps(), beeps + 1);
    EXPECT_STREQ(Highlighted(menu), "Save");
}

TEST_F(MenuTest, EmptyAndWhollyDisabledMenusIgnoreKeys) {
    auto* empty = new Menu(false);
    EXPECT_EQ(PopupWithKeys(empty, Point{50, 50}, {kKeyDown, kKeyUp, kKeyRight, kKeyLeft, kKeyEnter, kKeyEsc}), -1);
    for (int k : {kKeyDown, kKeyUp, kKeyRight, kKeyLeft, kKeyEnter}) KeyTo(empty, k);
    CharTo(empty, 'a');

    auto* disabled = new Menu(false);
    Menu::AddItem(disabled, "A", nullptr, 1, false);
    Menu::AddItem(disabled, "B", nullptr, 2, false);
    EXPECT_EQ(PopupWithKeys(disabled, Point{50, 50}, {kKeyDown, kKeyEnter, kKeyUp, kKeyEnter, kKeyEsc}), -1);
    EXPECT_STREQ(Highlighted(disabled), "-");
}

TEST_F(MenuTest, SubmenusOpenBesideTheirEntry) {
    auto* menu = new Menu(false);
    MenuItem* file = Menu::AddItem(menu, "File", nullptr, 1, true);
    MenuItem* recent = Menu::AddItem(menu, "Recent", nullptr, 2, true);
    MenuItem* one = Menu::AddItem(menu, "One", recent, 21, true);
    Menu::AddItem(menu, "Two", recent, 22, true);
    EXPECT_FALSE(one->IsVisible());
    EXPECT_EQ(one->GetParentEntry(), recent);
    EXPECT_EQ(one->GetRootMenu(), menu);

    std::vector<void*> highlights;
    static std::vector<void*>* log = nullptr;
    log = &highlights;
    ConnectSignal(menu->highlight, nullptr, [](SignalListener*, void* entry) { log->push_back(entry); });
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyRight); });
    Then([menu, recent, one] {
        EXPECT_TRUE(recent->IsOpen());
        EXPECT_EQ(menu->GetOpenChild(), recent);
        EXPECT_STREQ(Highlighted(recent), "One");
        EXPECT_EQ(one->GetFrameScreenRect().left, recent->GetFrameScreenRect().right);
        PostKey(kKeyLeft);
    });
    Then([recent, menu] {
        EXPECT_FALSE(recent->IsOpen());
        EXPECT_STREQ(Highlighted(menu), "Recent");
        PostKey(kKeyRight);
    });
    Then([] { PostKey(kKeyDown); });
    Then([] { PostKey(kKeyEnter); });
    EXPECT_EQ(Menu::Popup(menu, Point{100, 100}), 22);
    EXPECT_FALSE(recent->IsOpen());
    ASSERT_GE(highlights.size(), 3u);
    EXPECT_EQ(highlights[0], recent);
    (void)file;
}

// Records the shadow images drawn and the scissor each was drawn under.
class ShadowRecorder : public DrawTarget, public WindowRenderer {
public:
    struct Quad {
        Rect dest;
        Rect scissor;
    };
    void BeginScope(const Rect&, Point, const Rect& scissor, bool) override { scissor_ = scissor; }
    void EndScope() override {}
    void ClearScreen() override {}
    void SetScissorEnabled(bool) override {}
    void CopyToClipboard(const Rect&) override {}
    void SetColor(u32) override {}
    void FillRect(const Rect&) override {}
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override {
        for (const QueuedImageDraw& d : draws)
            if (d.image->index >= kSlotShadowEdge && d.image->index <= kSlotShadowCornerInactive)
                quads.push_back(Quad{d.dest, scissor_});
    }
    // Whether a shadow image covers the point where its scissor lets it.
    bool Shaded(Point p) const {
        for (const Quad& q : quads) {
            Rect shown = q.dest;
            if (RectIntersect(&shown, q.scissor) && p.x >= shown.left && p.x < shown.right && p.y >= shown.top &&
                p.y < shown.bottom)
                return true;
        }
        return false;
    }
    std::vector<Quad> quads;

private:
    Rect scissor_;
};

TEST_F(MenuTest, SubmenuColumnsCastOneShadowAndPopupEntriesNone) {
    auto pack = CreateTexturePack();
    for (int slot = kSlotShadowEdge; slot <= kSlotShadowCornerInactive; ++slot) {
        auto image = std::make_unique<TexturePackImage>();
        image->index = slot;
        image->atlas.width = slot % 2 ? 16 : 8;
        image->atlas.height = 16;
        image->pixels.assign(size_t(image->atlas.width) * 16 * 4, 0x40);
        pack->images.push_back(std::move(image));
    }
    std::unique_ptr<Skin> shadows = MakeSkin(std::move(pack));
    ASSERT_TRUE(shadows);
    SetSkin(shadows.get());
    ShadowRecorder recorder;
    SetDrawTarget(&recorder);
    SetWindowRenderer(&recorder);

    auto* menu = new Menu(false);
    Menu::AddItem(menu, "File", nullptr, 1, true);
    MenuItem* recent = Menu::AddItem(menu, "Recent", nullptr, 2, true);
    std::vector<MenuItem*> column;
    for (const char* t : {"One", "Two", "Three", "Four"}) column.push_back(Menu::AddItem(menu, t, recent, 20, true));
    SetFrame(menu, MakeRect(100, 100, menu->GetWidth(), menu->GetHeight()));
    SetVisible(menu, true);
    recent->Open();
    for (MenuItem* e : column) EXPECT_TRUE(e->TestFlags(Window::kShadow));
    for (MenuItem* e : menu->Entries()) EXPECT_TRUE(e->TestFlags(Window::kShadow));
    InvalidateAll();
    StepFrame();

    // Every shadow drawn hangs off the popup's frame or the whole column,
    // never off one entry.
    const Rect sub = recent->ColumnScreenRect();
    const Rect popup = menu->GetFrameScreenRect();
    ASSERT_FALSE(recorder.quads.empty());
    for (const ShadowRecorder::Quad& q : recorder.quads) {
        const bool ofColumn = q.dest.left == sub.right || q.dest.top == sub.bottom;
        const bool ofPopup = q.dest.left == popup.right || q.dest.top == popup.bottom;
        EXPECT_TRUE(ofColumn || ofPopup) << q.dest.left << "," << q.dest.top;
    }
    // The column's shadow runs down its whole right side (across every
    // boundary between entries) and along its bottom.
    for (i32 y = sub.top + kShadowInset; y < sub.bottom; ++y)
        EXPECT_TRUE(recorder.Shaded(Point{sub.right + 4, y})) << y;
    EXPECT_TRUE(recorder.Shaded(Point{sub.left + kShadowInset + 2, sub.bottom + 4}));
    EXPECT_TRUE(recorder.Shaded(Point{sub.right + 4, sub.bottom + 4}));
    // Nothing falls on the column itself.
    EXPECT_FALSE(recorder.Shaded(Point{sub.right - 4, (sub.top + sub.bottom) / 2}));

    SetWindowRenderer(nullptr);
    SetDrawTarget(nullptr);
    SetSkin(skin_.get());
}

// Menus that list changing things (open windows) replace their entries each
// time they open: the column closes up behind entries that go.
TEST_F(MenuTest, RemovedEntriesLeaveNoGapInTheirColumn) {
    auto* menu = new Menu(false);
    MenuItem* file = Menu::AddItem(menu, "File", nullptr, 1, true);
    MenuItem* windows = Menu::AddItem(menu, "Window", nullptr, 2, true);
    for (int i = 0; i < 3; ++i) Menu::AddItem(menu, "Old", windows, 30 + i, true);
    SetFrame(menu, Rect{100, 100, 100 + menu->GetWidth(), 100 + menu->GetHeight()});
    windows->Open();
    for (MenuItem* e : std::vector<MenuItem*>(windows->Entries())) DestroyWindow(e);
    MenuItem* a = Menu::AddItem(menu, "New A", windows, 41, true);
    MenuItem* b = Menu::AddItem(menu, "New B", windows, 42, true);
    ProcessDeferredDeletes();
    ASSERT_EQ(windows->Entries().size(), 2u);
    const i32 frame = GetMenuFrameSize();
    EXPECT_EQ(a->GetFrameScreenRect().top, windows->GetFrameScreenRect().top - frame);
    EXPECT_EQ(b->GetFrameScreenRect().top, a->GetFrameScreenRect().bottom);

    DestroyWindow(file);
    ProcessDeferredDeletes();
    EXPECT_EQ(windows->GetFrame().top, frame);
    EXPECT_EQ(menu->GetHeight(), kLineHeight + 4 + 2 * frame);
}

TEST_F(MenuTest, MenuBarTitlesAndKeys) {
    auto* bar = new Menu(true);
    EXPECT_STREQ(bar->GetTitle(), "Menu Bar");
    MenuItem* file = Menu::AddItem(bar, "File", nullptr, 1, true);
    MenuItem* edit = Menu::AddItem(bar, "Edit", nullptr, 2, true);
    Menu::AddItem(bar, "New", file, 11, true);
    Menu::AddItem(bar, "Quit", file, 12, true);
    Menu::AddItem(bar, "Undo", edit, 21, true);
    EXPECT_EQ(file->GetFrame().left, 4);
    EXPECT_EQ(file->GetWidth(), 4 * kCharWidth + 4);
    EXPECT_EQ(edit->GetFrame().left, 4 + file->GetWidth() + 8);
    EXPECT_EQ(bar->GetWidth(), kWidth);
    EXPECT_EQ(bar->GetHeight(), 2 * GetMenuFrameSize() + kLineHeight + 4);

    static void* chosen = nullptr;
    chosen = nullptr;
    ConnectSignal(bar->command, nullptr, [](SignalListener*, void* entry) { chosen = entry; });
    // Opening File runs the bar; Right from a leaf moves on to Edit, whose
    // first entry Enter chooses.
    Then([] { PostKey(kKeyRight); });
    Then([edit] {
        EXPECT_TRUE(edit->IsOpen());
        PostKey(kKeyEnter);
    });
    file->Choose();
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(static_cast<MenuItem*>(chosen)->GetId(), 21);
    EXPECT_FALSE(edit->IsOpen());
    EXPECT_FALSE(bar->IsRunning());

    // Left from the first title's submenu wraps to the last title.
    chosen = nullptr;
    Then([] {});  // the frame after a modal run's end drains nothing
    Then([] { PostKey(kKeyLeft); });
    Then([edit] {
        EXPECT_TRUE(edit->IsOpen());
        PostKey(kKeyEsc);
    });
    file->Choose();
    EXPECT_EQ(chosen, nullptr);
}

TEST_F(MenuTest, MenuBarWithTheMouse) {
    auto* bar = new Menu(true);
    MenuItem* file = Menu::AddItem(bar, "File", nullptr, 1, true);
    MenuItem* edit = Menu::AddItem(bar, "Edit", nullptr, 2, true);
    Menu::AddItem(bar, "New", file, 11, true);
    MenuItem* undo = Menu::AddItem(bar, "Undo", edit, 21, true);
    static void* chosen = nullptr;
    chosen = nullptr;
    ConnectSignal(bar->command, nullptr, [](SignalListener*, void* entry) { chosen = entry; });

    // Hovering a title of an idle bar highlights it until the pointer leaves.
    const Rect& f = file->GetFrameScreenRect();
    MoveTo(f.left + 2, f.top + 2);
    EXPECT_EQ(bar->GetHighlighted(), file);
    MoveTo(400, 300);
    EXPECT_EQ(bar->GetHighlighted(), nullptr);

    // A click on File runs the bar; moving onto Edit opens Edit instead; a
    // click on Undo ends the run with it.
    Then([file, edit] {
        EXPECT_TRUE(file->IsOpen());
        const Rect& e = edit->GetFrameScreenRect();
        HandleMouseMoveInput(e.left + 2, e.top + 2);
    });
    Then([file, edit, undo] {
        EXPECT_FALSE(file->IsOpen());
        EXPECT_TRUE(edit->IsOpen());
        EXPECT_TRUE(undo->IsVisible());
        PostClick(undo);
    });
    PostClick(file);
    DrainEventQueue();
    EXPECT_EQ(chosen, undo);
    EXPECT_FALSE(bar->IsRunning());
    EXPECT_FALSE(edit->IsOpen());
}

}  // namespace
}  // namespace pirn_test
