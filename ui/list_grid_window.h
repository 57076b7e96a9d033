#pragma once
// ListGridWindow: one set of items shown either as a list (a ListWindow) or
// as a grid (a GridWindow), with a toggle button at the top right that
// switches between them. The owner fills both views with the same items and
// keeps their selections in step when viewChanged tells it the other view
// came to the front (the views know nothing of each other).
//
//   auto* browser = new ListGridWindow(Window::kVisible, parent);
//   browser->SetGridView(new GridWindow(GridWindow::kMultipleSelection, Window::kVisible, nullptr));
//   browser->SetListView(new ListWindow(ListWindow::kColumnMode, Window::kVisible, nullptr));
//
// The first view installed is the one shown; the button names the view on
// show ("List" or "Grid"). Focus given to the container goes on to that
// view. The views fill the window below a 32-px strip
// that holds the button.

#include "platform/types.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class Button;
class GridWindow;
class ListWindow;

class ListGridWindow : public Window {
public:
    static constexpr i32 kStripHeight = 32;
    static constexpr i32 kButtonRightInset = 1;
    static constexpr i32 kButtonTop = 3;

    ListGridWindow(u32 styleFlags, Window* parent);
    ~ListGridWindow() override;

    const char* GetClassName() const override { return "ListGridWindow"; }
    void Layout() override;
    void DrawBackground() override;
    FocusAnswer OnFocusGained(Window* oldFocus, int reason) override;
    void OnChildRemoved(Window* child) override;

    // Makes the view a child of this window and places it under the strip.
    // A view already installed in that role is destroyed. Null: none.
    void SetListView(ListWindow* list);
    void SetGridView(GridWindow* grid);
    ListWindow* GetListView() const { return list_; }
    GridWindow* GetGridView() const { return grid_; }
    // The view on show (null before one is installed).
    Window* GetActiveView() const;
    bool IsGridActive() const { return active_ == kGrid; }
    Button* GetToggleButton() const { return button_; }
    // Where the views stand (client coordinates).
    Rect ViewRect() const;

    // Brings the other view to the front: hides the old one, sizes, shows and
    // focuses the new one, renames the button and emits viewChanged. Nothing
    // happens while the other view is missing.
    virtual void ToggleView();

    SignalNone viewChanged;

private:
    enum View { kNone, kList, kGrid };

    Window* ViewOf(View view) const;
    void Install(Window* view, View role);
    void ShowOnly(View view);
    void UpdateButton();
    void UpdateTabOrder();

    Button* button_ = nullptr;
    ListWindow* list_ = nullptr;
    GridWindow* grid_ = nullptr;
    View active_ = kNone;
};

}  // namespace pirn
