#pragma once
// Menu and MenuItem: the menu bar at the top of the screen and the popup
// (context) menu. Entries are windows; an entry's children are the entries
// of its submenu, shown as a column beside it (below a bar title). The
// choice comes back as the entry's command id: the result of a modal popup,
// or through the menu's command signal. Shortcut hints such as "(S)" are
// only part of the titles; the menu binds no shortcut keys.

#include <vector>

#include "platform/types.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class Menu;

class MenuItem : public Window {
public:
    // How an entry is drawn: inside the popup menu's own column (the menu
    // paints the column), in a submenu column (each entry paints its slice
    // of the column) or as a title of the menu bar.
    enum class Place : u8 { kPopupColumn, kSubmenuColumn, kBarTitle };

    MenuItem(u32 flags, Window* parent);
    ~MenuItem() override;

    const char* GetClassName() const override { return "MenuItem"; }
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;
    void DrawContents() override;
    void DrawBackground() override;
    void DrawFrame() override;
    int OnKey(InputEvent& event) override;
    void OnChar(InputEvent& event) override;
    void OnMouseButton(InputEvent& event) override;
    void OnMouseMove(InputEvent& event) override;
    void OnMouseLeave() override;
    void OnChildRemoved(Window* child) override;
    void SetTitle(const char* text) override;

    bool IsSeparator() const { return GetId() < 0; }
    bool IsSelectable() const { return !IsSeparator() && IsEnabled(); }
    bool HasSubmenu() const { return !entries_.empty(); }
    // The entries of this entry's submenu (of the menu itself for the root),
    // in the order they were added.
    const std::vector<MenuItem*>& Entries() const { return entries_; }
    Menu* GetRootMenu() const { return root_; }
    MenuItem* GetParentEntry() const { return parentEntry_; }
    MenuItem* GetOpenChild() const { return openChild_; }
    MenuItem* GetHighlighted() const { return highlighted_; }
    bool IsOpen() const { return open_; }

    // Shows this entry's submenu beside it (below a bar title), closing any
    // other open submenu of the same column.
    void Open();
    // Hides the submenu and every open one below it.
    void Close();
    // Highlights an entry of this entry's column (null or an entry that
    // cannot be chosen clears the highlight).
    void Highlight(MenuItem* entry);
    // From a click or Enter.
    void Choose();

    // Column of this entry's submenu: entries as wide as the widest
    // (title + 36, at least 64), entries line height + 4 high, separators 4,
    // plus the menu frame above and below.
    Point ColumnSize() const;
    void LayoutColumn();
    // Where this entry's submenu column stands (screen; empty without one).
    Rect ColumnScreenRect() const;

protected:
    friend class Menu;
    void Adopt(MenuItem* entry);
    // The deepest open entry from here down (the column the keys act on).
    MenuItem* DeepestOpen();
    void ChooseAt(const InputEvent& event);
    Rect ContentRect() const;

    Menu* root_ = nullptr;
    MenuItem* parentEntry_ = nullptr;
    MenuItem* openChild_ = nullptr;
    MenuItem* highlighted_ = nullptr;
    std::vector<MenuItem*> entries_;
    Place place_ = Place::kSubmenuColumn;
    i32 padTop_ = 0;     // the column's frame strip above the first entry
    i32 padBottom_ = 0;  // ... and below the last
    Point columnOrigin_; // where the submenu column stands, relative to this entry's client
    bool open_ = false;
};

// The menu answers the class-name query as its entries do ("MenuItem").
class Menu : public MenuItem {
public:
    static constexpr i32 kSeparatorHeight = 4;
    static constexpr i32 kEntryExtraHeight = 4;
    static constexpr i32 kTitleExtraWidth = 36;
    static constexpr i32 kMinimumEntryWidth = 64;
    static constexpr i32 kBarStartX = 4;
    static constexpr i32 kBarTitleGap = 8;
    static constexpr i32 kTitleIndent = 8;

    explicit Menu(bool menuBar);
    ~Menu() override;

    void DrawBackground() override;

    static MenuItem* AddItem(Menu* menu, const char* title, MenuItem* parentEntry, i32 commandId, bool enabled);
    static MenuItem* AddSeparator(Menu* menu, MenuItem* parentEntry);
    // Places, shows and runs the popup modally; the chosen command id, or -1.
    static i32 Popup(Menu* menu, Point screenPoint);
    // The four frames of that size at a point (below-right, above-right,
    // below-left, above-left): the one with the most area on screen, the
    // earlier on ties.
    static Rect PlaceAtPoint(Point p, Point size);

    bool IsMenuBar() const { return menuBar_; }
    // Width of the parent (the screen for the popup layer), bar height.
    void LayoutBar();
    // The entry under a screen point in any open column.
    MenuItem* EntryAt(Point screenPoint);
    // Runs the bar modally with the title open; emits the command when an
    // entry comes back.
    void RunBar(MenuItem* title);
    bool IsRunning() const;

    SignalPtr command;    // the chosen entry, or null
    SignalPtr highlight;  // the entry opened or closed

private:
    bool menuBar_;
};

}  // namespace pirn
