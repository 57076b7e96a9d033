#pragma once
// TabWindow: shows each of its child windows as a page with a tab header
// along the top, one page at a time. Pages come and go by making windows
// children of it; a page's tab title is its window title.

#include <vector>

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class TabWindow : public Window {
public:
    struct Tab {
        Rect header;  // client coordinates
        Window* page = nullptr;
    };
    static constexpr i32 kFirstTabX = 8;
    static constexpr i32 kPageGap = 4;  // between the headers and the page

    TabWindow(u32 flags, Window* parent);
    ~TabWindow() override;

    const char* GetClassName() const override { return "TabWindow"; }
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;
    void OnIdle() override;
    void Layout() override;
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;
    void OnChildAdded(Window* child) override;
    void OnChildRemoved(Window* child) override;

    // Hides the current page, shows the chosen one below the headers and
    // gives it the focus (while the tab window is on screen). An index
    // outside the tabs does nothing.
    void SelectTab(i32 index);
    i32 GetCurrentTab() const { return current_; }
    i32 GetTabCount() const { return static_cast<i32>(tabs_.size()); }
    Window* GetPage(i32 index) const;
    const Tab& GetTab(i32 index) const { return tabs_[size_t(index)]; }
    // The tab whose header holds the point (client coordinates): the current
    // one first, since it is drawn on top; -1 for none.
    i32 TabAtPoint(Point client) const;
    // Header rectangles from x = 8, each overlapping the one before.
    void LayoutTabs();
    // Where pages stand: below the headers, the rest of the client area.
    Rect PageRect() const;

private:
    void PlacePage(Window* page);

    std::vector<Tab> tabs_;
    i32 current_ = -1;
};

}  // namespace pirn
