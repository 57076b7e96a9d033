#pragma once
// X256ColorTableEdit: the "Color Table" page of the collection editor. The
// 256 entries of the colour table as 22 x 22 swatches in index order; a
// double click (or Enter) opens the colour chooser on an entry, and the
// grid's context menu saves the table to, or loads it from, an Adobe Color
// Table file. Every change fires `changed`.

#include "collections/collection.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class GridWindow;
class Menu;
class X256Edit;

class X256ColorTableEdit : public Window {
public:
    enum Command : i32 { kSaveCommand = 0, kLoadCommand = 1 };
    static constexpr i32 kCellSide = 22;
    static constexpr i32 kGridOffset = 1;

    X256ColorTableEdit(X256Edit* editor, Window* parent);

    const char* GetClassName() const override { return "X256ColorTableEdit"; }
    void Layout() override;
    FocusAnswer OnFocusGained(Window* oldFocus, int reason) override;

    GridWindow* GetGrid() const { return grid_; }
    // The chooser on entry `index`; whether the user accepted a colour.
    bool ChooseEntryColor(u32 index);
    Menu* BuildContextMenu() const;
    void RunCommand(i32 command);

    SignalNone changed;

private:
    static void DrawCell(void* context, const Rect& imageRect, void* cellData);
    static void ActivateCell(void* context, void* cellData);
    void OnContextClick(intptr_t x, intptr_t y);

    Collection* collection_;
    GridWindow* grid_ = nullptr;
};

}  // namespace pirn
