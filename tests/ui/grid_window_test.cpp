// GridWindow and ListGridWindow on the headless window system: selection by
// mouse (on the release, so that a selection can be dragged), right clicks,
// keys, wheel zoom and its preference, the rubber band, the drag and drop
// hooks with edge scrolling, drawing only what is in view, and the list/grid
// toggle.

#include <cmath>
#include <string>
#include <vector>

#include "platform/pref_store.h"
#include "tests/ui/widget_fixture.h"
#include "ui/button.h"
#include "ui/draw_recorder.h"
#include "ui/grid_window.h"
#include "ui/list_grid_window.h"
#include "ui/list_window.h"
#include "ui/skin.h"
#include "ui/window_renderer.h"

namespace pirn_test {
namespace {

// What the grid's callbacks and signals reported.
struct Reports {
    std::vector<void*> drawn;
    std::vector<Rect> drawnRects;
    std::vector<void*> activated;
    std::vector<i32> dragged;
    std::vector<std::pair<int, i32>> drops;  // phase, cell
    int deletes = 0;
    int selectionSignals = 0;
    int zoomSignals = 0;
    std::vector<Point> contextClicks;
    int dropAnswer = 1;
};

Reports* g_reports = nullptr;

class GridWindowTest : public WidgetTest {
public:
    static constexpr i32 kCellW = 104;  // 96 + 8
    static constexpr i32 kCellH = 146;  // 8 + 42 + 96

    void SetUp() override {
        WidgetTest::SetUp();
        reports_ = Reports{};
        g_reports = &reports_;
        Prefs().Clear();
    }
    void TearDown() override {
        WidgetTest::TearDown();
        g_reports = nullptr;
    }

    // A grid of `count` cells inside an owner: 4 columns (416 px beside the
    // 16-px scrollbar), 3 rows in view (438 px).
    GridWindow* MakeGrid(u32 gridFlags, i32 count, i32 height = 3 * kCellH) {
        owner_ = new ProbeWindow(Window::kVisible, nullptr, "owner");
        SetFrame(owner_, Rect{0, 0, 700, 700});
        grid_ = new GridWindow(gridFlags, Window::kVisible, owner_);
        SetFrame(grid_, Rect{10, 10, 10 + 4 * kCellW + kScrollbar, 10 + height});
        grid_->SetCellCount(count);
        data_.assign(static_cast<size_t>(count), 0);
        for (i32 i = 0; i < count; ++i) {
            data_[static_cast<size_t>(i)] = i;
            grid_->SetCellLabel(i, ("cell " + std::to_string(i)).c_str());
        }
        for (i32 i = 0; i < count; ++i) grid_->SetCellData(i, &data_[static_cast<size_t>(i)]);
        grid_->SetCallbackContext(&reports_);
        grid_->SetDrawCellCallback([](void*, const Rect& r, void* data) {
            g_reports->drawn.push_back(data);
            g_reports->drawnRects.push_back(r);
        });
        grid_->SetActivateCallback([](void*, void* data) { g_reports->activated.push_back(data); });
        grid_->SetDragCallback([](void*, GridWindow*, i32 cell) { g_reports->dragged.push_back(cell); });
        grid_->SetDeleteCallback([](void*) { ++g_reports->deletes; });
        ConnectSignal(grid_->selectionChanged, nullptr, [](SignalListener*) { ++g_reports->selectionSignals; });
        ConnectSignal(grid_->zoomChanged, nullptr, [](SignalListener*) { ++g_reports->zoomSignals; });
        ConnectSignal(grid_->contextClick, nullptr, [](SignalListener*, intptr_t x, intptr_t y) {
            g_reports->contextClicks.push_back(Point{i32(x), i32(y)});
        });
        ActivateWindow(grid_, kFocusByProgram);
        return grid_;
    }
    void* Data(i32 i) { return &data_[static_cast<size_t>(i)]; }
    Point CellPoint(i32 index) const {
        const Rect r = grid_->CellRect(index);
        const Rect& c = grid_->GetClientScreenRect();
        return Point{c.left + (r.left + r.right) / 2, c.top + (r.top + r.bottom) / 2};
    }
    // A click on a cell with modifier keys held; the clock moves on first so
    // that clicks never pair into double clicks.
    void ClickCell(i32 index, std::vector<int> modifiers = {}, int button = 0) {
        const Point p = CellPoint(index);
        ClickAt(p, modifiers, button);
    }
    void ClickAt(Point p, std::vector<int> modifiers = {}, int button = 0) {
        for (int m : modifiers) HandleKeyInput(m, 1);
        DrainEventQueue();
        headless::AdvanceTime(0.5);
        Click(p.x, p.y, button);
        for (int m : modifiers) HandleKeyInput(m, 0);
        DrainEventQueue();
    }
    std::vector<i32> Selected() const { return grid_->GetSelectedIndices(); }
    // The wheel moved by `steps` notches (the window system passes the old
    // and the new position; the grid's movement is old minus new).
    void WheelBy(int steps, std::vector<int> modifiers = {}) {
        for (int m : modifiers) HandleKeyInput(m, 1);
        wheel_ += steps;
        HandleMouseWheelInput(wheel_);
        for (int m : modifiers) HandleKeyInput(m, 0);
        DrainEventQueue();
    }
    // Destroys the grid and its owner before the next one is made.
    void Discard() {
        DestroyWindow(owner_);
        StepFrame();
        owner_ = nullptr;
        grid_ = nullptr;
    }
    void Redraw() {
        reports_.drawn.clear();
        reports_.drawnRects.clear();
        InvalidateAll();
        StepFrame();
    }

    Reports reports_;
    std::vector<int> data_;
    int wheel_ = 0;
    ProbeWindow* owner_ = nullptr;
    GridWindow* grid_ = nullptr;
};

TEST_F(GridWindowTest, ClicksSelectAndSelectedCellsWaitForTheRelease) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    ASSERT_EQ(grid_->GetColumnCount(), 4);
    ASSERT_EQ(grid_->GetRowCount(), 3);
    ClickCell(1);
    EXPECT_EQ(Selected(), (std::vector<i32>{1}));
    ClickCell(3, {kKeyLeftShift});
    EXPECT_EQ(Selected(), (std::vector<i32>{1, 2, 3}));
    EXPECT_EQ(grid_->GetCurrentCell(), 1);  // a range keeps the anchor
    ClickCell(6, {kKeyLeftControl});
    EXPECT_EQ(Selected(), (std::vector<i32>{1, 2, 3, 6}));

    // Pressing a selected cell keeps the selection: moving on drags it.
    const Point p = CellPoint(2);
    MoveTo(p.x, p.y);
    Press();
    EXPECT_EQ(Selected(), (std::vector<i32>{1, 2, 3, 6}));
    EXPECT_TRUE(grid_->IsDragArmed());
    MoveTo(p.x + 2, p.y + 1);  // 3 px: not yet
    EXPECT_TRUE(reports_.dragged.empty());
    MoveTo(p.x + 2, p.y + 2);
    EXPECT_EQ(reports_.dragged, (std::vector<i32>{2}));
    EXPECT_FALSE(grid_->IsDragArmed());
    Release();
    EXPECT_EQ(Selected(), (std::vector<i32>{1, 2, 3, 6}));  // the drag's release selects nothing

    // The same press let go in place selects that cell alone.
    ClickCell(2);
    EXPECT_EQ(Selected(), (std::vector<i32>{2}));
    // Ctrl on a selected cell takes it out at the release.
    ClickCell(2, {kKeyLeftControl});
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(grid_->GetCurrentCell(), -1);
    // An unselected cell is selected at the press already.
    const Point q = CellPoint(5);
    MoveTo(q.x, q.y);
    Press();
    EXPECT_EQ(Selected(), (std::vector<i32>{5}));
    Release();
    EXPECT_GT(reports_.selectionSignals, 0);
}

TEST_F(GridWindowTest, RightClicksKeepASelectionAndAskForTheContextMenu) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    ClickCell(1);
    ClickCell(2, {kKeyLeftControl});
    ClickCell(2, {}, 1);
    EXPECT_EQ(Selected(), (std::vector<i32>{1, 2}));
    ASSERT_EQ(reports_.contextClicks.size(), 1u);
    EXPECT_EQ(reports_.contextClicks[0].x, CellPoint(2).x);
    EXPECT_EQ(reports_.contextClicks[0].y, CellPoint(2).y);
    ClickCell(5, {}, 1);  // an unselected cell is chosen alone
    EXPECT_EQ(Selected(), (std::vector<i32>{5}));
    EXPECT_EQ(reports_.contextClicks.size(), 2u);
    EXPECT_FALSE(grid_->IsDragArmed());  // the right button drags nothing
}

TEST_F(GridWindowTest, SingleSelectionGridsNeverHoldTwoCells) {
    MakeGrid(0, 10);
    ClickCell(1);
    ClickCell(3, {kKeyLeftControl});
    EXPECT_EQ(Selected(), (std::vector<i32>{3}));
    ClickCell(6, {kKeyLeftShift});
    EXPECT_EQ(Selected(), (std::vector<i32>{6}));
    grid_->SelectAll();
    EXPECT_EQ(Selected(), (std::vector<i32>{6}));
    // Empty space clears, and starts no band.
    const Point empty = CellPoint(9);
    MoveTo(empty.x + kCellW, empty.y);
    Press();
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(grid_->IsRubberBandRunning());
    Release();
}

TEST_F(GridWindowTest, KeysMoveTheCurrentCellWithinTheCells) {
    struct Case {
        const char* what;
        i32 start;  // -1: none
        int key;
        std::vector<int> modifiers;
        std::vector<i32> selected;
        i32 current;
    };
    // 10 cells in rows of 4: 0-3, 4-7, 8-9.
    const Case cases[] = {
        {"no current cell starts at 0", -1, kKeyDown, {}, {0}, 0},
        {"right", 1, kKeyRight, {}, {2}, 2},
        {"right from a row's last cell stays", 3, kKeyRight, {}, {3}, 3},
        {"right from the very last cell stays", 9, kKeyRight, {}, {9}, 9},
        {"left from a row's first cell stays", 4, kKeyLeft, {}, {4}, 4},
        {"down", 2, kKeyDown, {}, {6}, 6},
        {"down past the cells does nothing", 7, kKeyDown, {}, {7}, 7},
        {"up from the first row does nothing", 2, kKeyUp, {}, {2}, 2},
        {"shift adds", 5, kKeyUp, {kKeyLeftShift}, {1, 5}, 1},
        {"alt goes to the row's end", 4, kKeyRight, {kKeyLeftAlt}, {7}, 7},
        {"alt on the short last row", 8, kKeyRight, {kKeyLeftAlt}, {9}, 9},
        {"shift alt selects the cells passed", 6, kKeyLeft, {kKeyLeftShift, kKeyLeftAlt}, {4, 5, 6}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MakeGrid(GridWindow::kMultipleSelection, 10);
        if (c.start >= 0) grid_->SelectCell(c.start);
        Key(c.key, c.modifiers);
        EXPECT_EQ(Selected(), c.selected);
        EXPECT_EQ(grid_->GetCurrentCell(), c.current);
        Discard();
    }
}

TEST_F(GridWindowTest, KeysReachTheCallbacks) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    Key('A', {kKeyLeftControl});
    EXPECT_EQ(grid_->GetModel().SelectedCount(), 10);
    grid_->DeselectAll();
    grid_->SelectCell(2);
    grid_->SelectCell(7);
    Key(kKeyEnter);
    EXPECT_EQ(reports_.activated, (std::vector<void*>{Data(2), Data(7)}));
    // A held Enter activates once.
    InputEvent repeat = InputEvent::Key(kKeyEnter, 1, kKeyRepeatBit);
    grid_->OnKey(repeat);
    EXPECT_EQ(reports_.activated.size(), 2u);
    Key(kKeyDelete);
    Key(kKeyBackspace);
    EXPECT_EQ(reports_.deletes, 2);
    // Without a context nothing is activated.
    grid_->SetCallbackContext(nullptr);
    Key(kKeyEnter);
    EXPECT_EQ(reports_.activated.size(), 2u);
}

TEST_F(GridWindowTest, DoubleClickActivatesTheCellUnderThePointer) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    const Point p = CellPoint(6);
    headless::AdvanceTime(1);
    MoveTo(p.x, p.y);
    Press();
    Release();
    Press();  // soon after, in place: the double click
    Release();
    EXPECT_EQ(reports_.activated, (std::vector<void*>{Data(6)}));
}

TEST_F(GridWindowTest, CtrlWheelZoomsWithinItsLimitsAndRemembersIt) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    grid_->BindZoomPref("Test.GridZoom");
    const Point p = CellPoint(0);
    MoveTo(p.x, p.y);
    WheelBy(1, {kKeyLeftControl});  // movement -1: divided by 0.9
    EXPECT_NEAR(grid_->GetZoom(), 1 / 0.9, 1e-9);
    EXPECT_EQ(reports_.zoomSignals, 1);
    double stored = 0;
    ASSERT_TRUE(GetPrefDouble("Test.GridZoom", &stored));
    EXPECT_DOUBLE_EQ(stored, grid_->GetZoom());
    WheelBy(2, {kKeyLeftControl});
    EXPECT_NEAR(grid_->GetZoom(), std::pow(0.9, -3), 1e-9);
    EXPECT_EQ(grid_->GetLayout().CellWidth(), 132 + 8);  // 96 / 0.729 = 131.7
    // Up to 16 and no further.
    WheelBy(37, {kKeyLeftControl});  // 0.9^-40 = 67.6: refused
    EXPECT_NEAR(grid_->GetZoom(), std::pow(0.9, -3), 1e-9);
    EXPECT_EQ(reports_.zoomSignals, 2);
    // Down while images stay at least 16 px wide.
    WheelBy(-17, {kKeyLeftControl});  // 0.9^14 = 0.229: 22 px
    EXPECT_NEAR(grid_->GetZoom(), std::pow(0.9, 14), 1e-9);
    WheelBy(-3, {kKeyLeftControl});   // 0.9^17 = 0.167: 16 px
    EXPECT_NEAR(grid_->GetZoom(), std::pow(0.9, 17), 1e-9);
    WheelBy(-1, {kKeyLeftControl});   // 0.9^18 = 0.150: 14 px, refused
    EXPECT_NEAR(grid_->GetZoom(), std::pow(0.9, 17), 1e-9);
    ASSERT_TRUE(GetPrefDouble("Test.GridZoom", &stored));
    EXPECT_DOUBLE_EQ(stored, grid_->GetZoom());
    // A cell that narrow has no label strip.
    EXPECT_EQ(grid_->GetLayout().LabelStrip(), 0);

    // Without Ctrl the wheel scrolls by cells.
    Discard();
    MakeGrid(GridWindow::kMultipleSelection, 40);
    MoveTo(CellPoint(0).x, CellPoint(0).y);
    WheelBy(-1);
    EXPECT_EQ(grid_->GetScrollY(), kCellH);
    WheelBy(1);
    EXPECT_EQ(grid_->GetScrollY(), 0);
}

TEST_F(GridWindowTest, BindingTheZoomPreferenceAppliesOnlyAZoomItWouldTake) {
    struct Case {
        double stored;
        double zoom;
    };
    const Case cases[] = {{0.5, 0.5}, {2.25, 2.25}, {40.0, 1.0}, {0.1, 1.0}, {0.16, 1.0}};
    for (const Case& c : cases) {
        Prefs().Clear();
        SetPrefDouble("Browser.GridZoom", c.stored);
        MakeGrid(0, 3);
        grid_->BindZoomPref("Browser.GridZoom");
        EXPECT_DOUBLE_EQ(grid_->GetZoom(), c.zoom) << c.stored;
        EXPECT_EQ(grid_->GetZoomPrefKey(), "Browser.GridZoom");
        Discard();
    }
    Prefs().Clear();
    Prefs().SetString("Browser.GridZoom", "big");
    MakeGrid(0, 3);
    grid_->BindZoomPref("Browser.GridZoom");
    EXPECT_EQ(grid_->GetZoom(), 1.0);
}

TEST_F(GridWindowTest, RubberBandTogglesTheCellsItCovers) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    grid_->SelectCell(1);
    // From the empty place after the last cell (row 2, column 2) up to
    // cell 1 (row 0, column 1), Ctrl held to keep the selection.
    const Point start = CellPoint(9);
    HandleKeyInput(kKeyLeftControl, 1);
    MoveTo(start.x + kCellW, start.y);
    Press();
    HandleKeyInput(kKeyLeftControl, 0);
    ASSERT_TRUE(grid_->IsRubberBandRunning());
    const Point to = CellPoint(1);
    MoveTo(to.x, to.y);
    // Columns 1-2 of rows 0-2: cells 1, 2, 5, 6, 9 pending.
    EXPECT_FALSE(grid_->GetModel().ShowsSelected(1));  // selected and pending
    EXPECT_TRUE(grid_->GetModel().ShowsSelected(2));
    EXPECT_TRUE(grid_->GetModel().ShowsSelected(9));
    EXPECT_FALSE(grid_->GetModel().ShowsSelected(4));
    EXPECT_TRUE(grid_->GetModel().IsSelected(1));
    const int signals = reports_.selectionSignals;
    Release();
    EXPECT_FALSE(grid_->IsRubberBandRunning());
    EXPECT_EQ(Selected(), (std::vector<i32>{2, 5, 6, 9}));
    EXPECT_EQ(reports_.selectionSignals, signals + 1);

    // Without a modifier the band starts from nothing.
    MoveTo(start.x + kCellW, start.y);
    Press();
    EXPECT_TRUE(Selected().empty());
    MoveTo(CellPoint(8).x, CellPoint(8).y);
    Release();
    EXPECT_EQ(Selected(), (std::vector<i32>{8, 9}));
}

TEST_F(GridWindowTest, RubberBandScrollsTowardsThePointer) {
    // Two rows in view of three; the last row holds cell 8 alone, so there
    // is empty space to start from.
    MakeGrid(GridWindow::kMultipleSelection, 9, 2 * kCellH);
    grid_->SetScrollY(kCellH);
    const Point empty{CellPoint(8).x + kCellW, CellPoint(8).y};
    MoveTo(empty.x, empty.y);
    Press();
    ASSERT_TRUE(grid_->IsRubberBandRunning());
    const Rect& c = grid_->GetClientScreenRect();
    MoveTo(c.left + 20, c.top - 30);  // above the grid: row 0 comes into view
    IdleFrame();
    EXPECT_EQ(grid_->GetScrollY(), 0);
    Release();
    EXPECT_EQ(Selected(), (std::vector<i32>{0, 1, 4, 5, 8}));
}

TEST_F(GridWindowTest, DropsGoToTheOwnerAndEdgesScrollEveryThirdOfASecond) {
    MakeGrid(GridWindow::kMultipleSelection, 40, 2 * kCellH);
    grid_->SetDropCallback([](void*, GridWindow*, Window::DragDropData* payload, int phase, i32 cell) {
        g_reports->drops.push_back({phase, cell});
        return payload->typeId == 77 ? g_reports->dropAnswer : 0;
    });
    const Point p = CellPoint(5);
    MoveTo(p.x, p.y);
    ASSERT_TRUE(StartDragDrop(owner_, new Window::DragDropData(77), nullptr));
    MoveTo(p.x + 1, p.y);
    ASSERT_EQ(reports_.drops.size(), 1u);
    EXPECT_EQ(reports_.drops[0], (std::pair<int, i32>{1, 5}));
    EXPECT_EQ(grid_->GetAutoScrollRows(), 0);

    // Near the bottom edge: one row every third of a second.
    const Rect& c = grid_->GetClientScreenRect();
    MoveTo(p.x, c.bottom - 5);
    EXPECT_EQ(grid_->GetAutoScrollRows(), 1);
    IdleFrame();
    EXPECT_EQ(grid_->GetScrollY(), 0);
    headless::AdvanceTime(0.34);
    IdleFrame();
    EXPECT_EQ(grid_->GetScrollY(), kCellH);
    IdleFrame();
    EXPECT_EQ(grid_->GetScrollY(), kCellH);
    // Shift holds it still.
    HandleKeyInput(kKeyLeftShift, 1);
    DrainEventQueue();
    MoveTo(p.x, c.bottom - 4);
    EXPECT_EQ(grid_->GetAutoScrollRows(), 0);
    HandleKeyInput(kKeyLeftShift, 0);
    // Leaving the grid stops it too.
    MoveTo(p.x, c.bottom - 5);
    EXPECT_EQ(grid_->GetAutoScrollRows(), 1);
    MoveTo(c.right + 100, c.bottom - 5);
    IdleFrame();
    EXPECT_EQ(grid_->GetAutoScrollRows(), 0);
    // Dropped on a cell: phase 0 with its index.
    const Point q = CellPoint(6);
    MoveTo(q.x, q.y);
    reports_.drops.clear();
    Release();
    EXPECT_EQ(reports_.drops, (std::vector<std::pair<int, i32>>{{0, 6}}));

    // Outside any cell the grid refuses without asking.
    grid_->SetCellCount(1);
    MoveTo(q.x, q.y);
    ASSERT_TRUE(StartDragDrop(owner_, new Window::DragDropData(77), nullptr));
    reports_.drops.clear();
    MoveTo(q.x + 1, q.y);
    EXPECT_TRUE(reports_.drops.empty());
    Release();
    EXPECT_TRUE(reports_.drops.empty());
}

TEST_F(GridWindowTest, DrawsOnlyWithACallbackAndOnlyTheCellsInView) {
    MakeGrid(GridWindow::kMultipleSelection, 1000);
    Redraw();
    // Three rows of four in view, and the top of a fourth? 438 px hold three
    // rows exactly.
    EXPECT_EQ(reports_.drawn.size(), 12u);
    EXPECT_EQ(reports_.drawn.front(), Data(0));
    EXPECT_EQ(reports_.drawnRects.front(), (Rect{6, 6, 98, 98}));
    grid_->SetScrollY(100 * kCellH + 10);
    Redraw();
    EXPECT_EQ(reports_.drawn.size(), 16u);
    EXPECT_EQ(reports_.drawn.front(), Data(400));

    grid_->SetCallbackContext(nullptr);
    Redraw();
    EXPECT_TRUE(reports_.drawn.empty());
    grid_->SetCallbackContext(&reports_);
    grid_->SetDrawCellCallback(nullptr);
    Redraw();
    EXPECT_TRUE(reports_.drawn.empty());
}

TEST_F(GridWindowTest, SelectedCellsCarryTheHighlight) {
    MakeGrid(GridWindow::kMultipleSelection, 6);
    grid_->SelectCell(1);
    grid_->SelectCell(4);
    DrawRecorder recorder;
    SetDrawTarget(&recorder);
    Redraw();
    SetDrawTarget(nullptr);
    auto boxOf = [&](i32 i) {
        return grid_->GetLayout().CellBox(grid_->CellPosition(i).x, grid_->CellPosition(i).y, Point{});
    };
    int fills[6] = {};
    int outlines[6] = {};
    for (const DrawRecorder::Call& call : recorder.CallsOf(DrawRecorder::kFill)) {
        for (i32 i = 0; i < 6; ++i) {
            if (call.rect == boxOf(i) && call.color == SelectionColor(true, false)) ++fills[i];
            const Rect b = boxOf(i);
            if (call.rect == Rect{b.left, b.top, b.right, b.top + 2} && call.color == SelectionColor(true, true))
                ++outlines[i];
        }
    }
    // The grid has the focus: blue fills on both, the outline on the
    // current cell only.
    EXPECT_EQ(fills[1], 1);
    EXPECT_EQ(fills[4], 1);
    EXPECT_EQ(fills[0] + fills[2] + fills[3] + fills[5], 0);
    EXPECT_EQ(outlines[4], 1);
    EXPECT_EQ(outlines[1], 0);
}

TEST_F(GridWindowTest, ShrinkingTheCellsLeavesNoCurrentCellBehind) {
    MakeGrid(GridWindow::kMultipleSelection, 10);
    grid_->SelectCell(2);
    grid_->SelectCell(8);
    const int signals = reports_.selectionSignals;
    grid_->SetCellCount(5);
    EXPECT_EQ(grid_->GetCurrentCell(), 2);
    EXPECT_EQ(reports_.selectionSignals, signals + 1);
    Key(kKeyRight);
    EXPECT_EQ(grid_->GetCurrentCell(), 3);
    EXPECT_EQ(grid_->CellIndexAt(0, 1), 4);
    EXPECT_EQ(grid_->CellIndexAt(1, 1), -1);
    EXPECT_EQ(grid_->CellIndexAt(4, 0), -1);
    EXPECT_EQ(grid_->CellPosition(4).x, 0);
    EXPECT_EQ(grid_->CellPosition(5).x, -1);
}

TEST_F(GridWindowTest, RevealBringsACellIntoViewByTheLeastScroll) {
    MakeGrid(GridWindow::kMultipleSelection, 40, 2 * kCellH);
    grid_->RevealCell(13);  // row 3
    EXPECT_EQ(grid_->GetScrollY(), 2 * kCellH);
    grid_->RevealCell(9);  // row 2: already in view
    EXPECT_EQ(grid_->GetScrollY(), 2 * kCellH);
    grid_->RevealCell(1);
    EXPECT_EQ(grid_->GetScrollY(), 0);
    // A layout shows the current cell again.
    grid_->SelectCell(30);
    grid_->SetScrollY(0);
    SetFrame(grid_, Rect{10, 10, 10 + 4 * kCellW + kScrollbar, 10 + 2 * kCellH + 1});
    EXPECT_EQ(grid_->GetScrollY(), 7 * kCellH - (2 * kCellH + 1) + kCellH);
}

struct DrawnText {
    std::string text;
    Rect rect;
};
std::vector<DrawnText>* g_texts = nullptr;

TEST_F(GridWindowTest, TableModeTitlesColumnsNumbersRowsAndScrollsSideways) {
    std::vector<DrawnText> texts;
    g_texts = &texts;
    SetWindowTextDrawer([](InterfaceFont*, const char* text, int, u32, const Rect& rect) {
        g_texts->push_back(DrawnText{text, rect});
        return 0;
    });
    // Three columns in a grid two cells wide: a frame editor's rows of a
    // shadow and two views.
    MakeGrid(GridWindow::kMultipleSelection, 6, 2 * kCellH);
    const char* const titles[] = {"Shadow", "0", "180"};
    grid_->SetColumnCount(3, titles);
    grid_->SetTableMode(true);
    grid_->SetRowNumbers(true, 0);
    SetFrame(grid_, Rect{10, 10, 10 + 2 * kCellW + kScrollbar, 10 + 2 * kCellH + kScrollbar});
    EXPECT_EQ(grid_->GetColumnCount(), 3);
    EXPECT_EQ(grid_->GetRowCount(), 2);
    EXPECT_EQ(grid_->GetScrollRangeX(), 3 * kCellW + 16);
    EXPECT_EQ(grid_->GetScrollPageX(), 2 * kCellW);
    const i32 header = kLineHeight * 3 / 2;
    EXPECT_EQ(grid_->CellRect(4), (Rect{16 + kCellW, header + kCellH, 16 + 2 * kCellW, header + 2 * kCellH}));
    // The header stays; the cells under it are not hit.
    EXPECT_EQ(grid_->CellAtClientPoint(Point{40, header - 1}), -1);
    EXPECT_EQ(grid_->CellAtClientPoint(Point{40, header}), 0);

    Redraw();
    auto drawn = [&](const char* text) {
        std::vector<Rect> at;
        for (const DrawnText& t : texts)
            if (t.text == text) at.push_back(t.rect);
        return at;
    };
    ASSERT_EQ(drawn("Shadow").size(), 1u);
    EXPECT_EQ(drawn("Shadow")[0], (Rect{16, 0, 16 + kCellW, header}));
    ASSERT_EQ(drawn("180").size(), 1u);
    EXPECT_EQ(drawn("180")[0].left, 16 + 2 * kCellW);
    // Row numbers from 0 in the 16-px column ("0" is also a title).
    ASSERT_EQ(drawn("1").size(), 1u);
    EXPECT_EQ(drawn("1")[0], (Rect{0, header + kCellH, 16, header + 2 * kCellH}));
    EXPECT_EQ(drawn("0").size(), 2u);

    // Revealing the third column scrolls sideways by the least amount;
    // titles and numbers go with the cells.
    grid_->RevealCell(5);
    EXPECT_EQ(grid_->GetScrollX(), 16 + 3 * kCellW - 2 * kCellW);
    texts.clear();
    Redraw();
    ASSERT_EQ(drawn("Shadow").size(), 1u);
    EXPECT_EQ(drawn("Shadow")[0].left, 16 - grid_->GetScrollX());
    EXPECT_EQ(grid_->CellAtClientPoint(Point{2 * kCellW - 10, header + 10}), 2);
    SetWindowTextDrawer(nullptr);
    g_texts = nullptr;
}

// ---- ListGridWindow ----

class ListGridWindowTest : public WidgetTest {};

TEST_F(ListGridWindowTest, TheButtonTogglesBetweenTheViews) {
    auto* owner = new ProbeWindow(Window::kVisible, nullptr, "owner");
    SetFrame(owner, Rect{0, 0, 600, 500});
    auto* browser = new ListGridWindow(Window::kVisible, owner);
    SetFrame(browser, Rect{0, 0, 400, 300});
    auto* grid = new GridWindow(GridWindow::kMultipleSelection, Window::kVisible, nullptr);
    auto* list = new ListWindow(0, Window::kVisible, nullptr);
    browser->SetGridView(grid);
    browser->SetListView(list);
    static int changes = 0;
    changes = 0;
    ConnectSignal(browser->viewChanged, nullptr, [](SignalListener*) { ++changes; });

    // The first view installed is on show, under the 32-px strip.
    EXPECT_EQ(browser->GetActiveView(), grid);
    EXPECT_TRUE(grid->IsVisible());
    EXPECT_FALSE(list->IsVisible());
    EXPECT_EQ(grid->GetFrame(), (Rect{0, 32, 400, 300}));
    Button* button = browser->GetToggleButton();
    ASSERT_NE(button, nullptr);
    EXPECT_STREQ(button->GetTitle(), "Grid");
    EXPECT_EQ(button->GetFrame().right, 400 - 1);
    EXPECT_EQ(button->GetFrame().top, 3);
    EXPECT_EQ(button->GetTabNext(), list);
    EXPECT_EQ(list->GetTabNext(), grid);

    PostClick(button);
    DrainEventQueue();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(browser->GetActiveView(), list);
    EXPECT_TRUE(list->IsVisible());
    EXPECT_FALSE(grid->IsVisible());
    EXPECT_EQ(list->GetFrame(), (Rect{0, 32, 400, 300}));
    EXPECT_STREQ(button->GetTitle(), "List");
    EXPECT_EQ(GetFocusWindow(), list);

    browser->ToggleView();
    EXPECT_EQ(browser->GetActiveView(), grid);
    EXPECT_EQ(GetFocusWindow(), grid);
    EXPECT_EQ(changes, 2);

    // Focus given to the container goes on to the view on show.
    ActivateWindow(button, kFocusByProgram);
    ASSERT_EQ(GetFocusWindow(), button);
    ActivateWindow(browser, kFocusByProgram);
    EXPECT_EQ(GetFocusWindow(), grid);

    // Resizing keeps the view filling the window and the button at the
    // right.
    SetFrame(browser, Rect{0, 0, 500, 400});
    EXPECT_EQ(grid->GetFrame(), (Rect{0, 32, 500, 400}));
    EXPECT_EQ(button->GetFrame().right, 500 - 1);
}

TEST_F(ListGridWindowTest, AMissingViewCannotBeShown) {
    auto* browser = new ListGridWindow(Window::kVisible, nullptr);
    SetFrame(browser, Rect{0, 0, 300, 200});
    browser->ToggleView();
    EXPECT_EQ(browser->GetActiveView(), nullptr);
    auto* list = new ListWindow(0, Window::kVisible, nullptr);
    browser->SetListView(list);
    browser->ToggleView();  // no grid yet
    EXPECT_EQ(browser->GetActiveView(), list);
    EXPECT_STREQ(browser->GetToggleButton()->GetTitle(), "List");
    // The view on show destroyed by someone else: the other takes over.
    auto* grid = new GridWindow(0, Window::kVisible, nullptr);
    browser->SetGridView(grid);
    DestroyWindow(list);
    StepFrame();
    EXPECT_EQ(browser->GetListView(), nullptr);
    EXPECT_EQ(browser->GetActiveView(), grid);
    EXPECT_TRUE(grid->IsVisible());
    EXPECT_STREQ(browser->GetToggleButton()->GetTitle(), "Grid");
}

}  // namespace
}  // namespace pirn_test
