#pragma once
// The Window Spy ("WindowView"): a list of the whole window tree, each
// window with its title and class, for finding windows that are hidden or
// lost. F5 lists the tree afresh.

#include <deque>
#include <string>

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class ListWindow;

class WindowView : public Window {
public:
    // TagEdit's style, shown.
    static constexpr u32 kStyle = 0x1D6F;
    static constexpr i32 kDefaultWidth = 512;
    static constexpr i32 kDefaultHeight = 700;
    static constexpr i32 kRebuildKey = 102;  // F5

    // One listed window: what the list's columns read.
    struct Record {
        std::string text;
        std::string class_name;
        const Window* window = nullptr;
    };

    WindowView();
    ~WindowView() override;

    const char* GetClassName() const override { return "WindowView"; }
    void OnDestroy() override;
    void Layout() override;
    int OnKey(InputEvent& event) override;

    // The root window and, depth first, every window below it.
    void Rebuild();
    ListWindow* GetList() const { return list_; }

private:
    void AddWindow(const Window* window, struct ListItem* parent);

    ListWindow* list_ = nullptr;
    std::deque<Record> records_;
};

// Raises the open Window Spy, or makes one.
void OpenWindowSpy();

}  // namespace pirn
