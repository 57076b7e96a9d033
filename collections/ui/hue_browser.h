#pragma once
// X256HueBrowser: the "Hue Changes" page of the collection editor. One row
// per hue change; its context menu renames, duplicates, deletes and adds
// them; rows move by dragging; a double click opens the hue change in an
// X256HueEdit (or raises the one open). Every change fires `changed`.

#include <vector>

#include "collections/collection.h"
#include "ui/list_window.h"
#include "ui/signal.h"

namespace pirn {

class Menu;
class X256Edit;
class X256HueEdit;

class X256HueBrowser : public ListWindow {
public:
    enum Command : i32 { kRenameCommand = 0, kDuplicateCommand = 1, kDeleteCommand = 2, kNewCommand = 3 };
    static constexpr u32 kListFlags = kMultipleSelection | kDraggableRows;

    X256HueBrowser(X256Edit* editor, Window* parent);

    const char* GetClassName() const override { return "X256HueBrowser"; }

    // Rows from the collection, keeping the scroll position.
    void RefreshHueList();
    std::vector<CollectionHueChange*> GetSelectedHueChanges() const;
    void SelectHueChange(CollectionHueChange* hue);
    ListItem* FindHueItem(const CollectionHueChange* hue) const;

    Menu* BuildContextMenu() const;
    void RunCommand(i32 command);
    // Opens the hue change's editor, or raises the one open.
    X256HueEdit* OpenHueEdit(CollectionHueChange* hue);
    void MoveRow(CollectionHueChange* hue, u32 row);

    SignalNone changed;

private:
    void Rename();
    void Duplicate();
    void Delete();
    void AddNew();
    void OnActivated(void* item);
    void OnRowMoved(intptr_t item, i32 row);
    void OnContextClick(intptr_t x, intptr_t y);
    void OnEditChanged() { changed.Emit(); }

    X256Edit* editor_;
    Collection* collection_;
};

}  // namespace pirn
