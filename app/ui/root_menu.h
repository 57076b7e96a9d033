#pragma once
// RootMenu: the menu bar across the top of the screen and what its commands
// do when they are not tied to one window. An invisible window of the
// lowest layer, made once at start-up and kept until shutdown; it also
// remembers the program window's size whenever the screen is resized, so
// that the next start opens at that size.
//
// The Window menu is filled afresh each time it opens: "Close All Windows"
// and one item per visible top-level window, in front-to-back order.

#include <vector>

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class Menu;
class MenuItem;

class RootMenu : public Window {
public:
    static constexpr u32 kStyle = 0;

    RootMenu();
    ~RootMenu() override;

    const char* GetClassName() const override { return "RootMenu"; }
    // A screen resize is stored as OsWindowSizeX and OsWindowSizeY.
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;
    void OnDestroy() override;

    Menu* GetMenu() const { return menu_; }
    MenuItem* GetWindowMenu() const { return windowMenu_; }
    // The windows of the Window menu's items, by id - kCommandFirstWindow.
    const std::vector<Window*>& GetListedWindows() const { return listed_; }

    // The Window menu's items afresh from the visible top-level windows.
    void RefillWindowMenu();
    // Runs the command of a menu id; ids without a command do nothing.
    void RunCommand(i32 id);

    // "Close All Windows": asks each listed window with a close box to
    // close, as its close box would, and stops at the first that stays
    // on screen (one that hides itself instead of closing has gone). True
    // when none stayed.
    bool CloseListedWindows();
    // Brings a listed window to the front and gives it the keys.
    void RaiseListedWindow(size_t index);

private:
    void BuildMenu();
    void OnMenuCommand(void* item);
    void OnMenuOpened(void* item);
    // Whether a listed window is still one of the lowest layer's windows
    // (compared, never followed, until found).
    static bool IsStillOpen(const Window* window);

    Menu* menu_ = nullptr;
    MenuItem* windowMenu_ = nullptr;
    std::vector<Window*> listed_;
};

// Makes the root menu (once) and makes its bar the window system's menu
// bar. Returns it.
RootMenu* CreateRootMenu();
// The root menu, or null before start-up and after shutdown.
RootMenu* GetRootMenu();

}  // namespace pirn
