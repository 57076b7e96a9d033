#pragma once
// X256SequenceBrowser: the "Sequences" page of the collection editor. One
// row per sequence; activating a row opens its X256SequenceEdit (or raises
// the one open), a double click on a cell there opens an
// X256SequenceFrameEdit (or raises it); rows move by dragging; the context
// menu renames, duplicates, deletes and adds sequences.
//
// The open editors are registered in the collection editor's
// ElementBlocks (kSequenceEditor, kFrameEditor, by sequence): that list is
// where the browser finds them again, what keeps an open sequence from
// being deleted and what keeps a sequence's frame and view counts while a
// frame editor of it is open.
//
// After every change the browser emits collectionChanged (the collection
// editor recolours the bitmap rows by use and marks the tag modified);
// after an import that added bitmaps, bitmapsChanged (the Bitmaps page
// refills).

#include <vector>

#include "collections/collection.h"
#include "ui/list_window.h"
#include "ui/signal.h"

namespace pirn {

class Menu;
class X256Edit;
class X256SequenceEdit;
class X256SequenceFrameEdit;

class X256SequenceBrowser : public ListWindow {
public:
    enum Command : i32 { kRenameCommand = 0, kDuplicateCommand = 1, kDeleteCommand = 2, kNewCommand = 3 };
    static constexpr u32 kListFlags = kMultipleSelection | kDraggableRows;

    X256SequenceBrowser(X256Edit* editor, Window* parent);

    const char* GetClassName() const override { return "X256SequenceBrowser"; }
    void OnDestroy() override;

    // Rows from the collection, keeping the scroll position.
    void RefreshSequenceList();
    std::vector<CollectionSequence*> GetSelectedSequences() const;
    void SelectSequence(CollectionSequence* sequence);
    ListItem* FindSequenceItem(const CollectionSequence* sequence) const;

    Menu* BuildContextMenu() const;
    void RunCommand(i32 command);
    void MoveRow(CollectionSequence* sequence, u32 row);

    // Opens the editor, or raises the one open.
    X256SequenceEdit* OpenSequenceEditor(CollectionSequence* sequence);
    // view -1 is the shadow column's; it opens on view 0.
    X256SequenceFrameEdit* OpenFrameEditor(CollectionSequence* sequence, i32 view, i32 frame);
    std::vector<X256SequenceEdit*> SequenceEditors() const;
    std::vector<X256SequenceFrameEdit*> FrameEditors() const;

    SignalNone collectionChanged;
    SignalNone bitmapsChanged;
    SignalNone editorListChanged;

private:
    X256Edit* GetEditor() const { return editor_; }
    void Rename();
    void Duplicate();
    void Delete();
    void AddNew();
    void Changed();
    void RefreshFrameEditors();
    // Frames and Views of every sequence editor follow whether a frame
    // editor of its sequence is open.
    void UpdateCountBoxes();

    // Slots.
    void OnActivated(void* item);
    void OnRowMoved(intptr_t item, i32 row);
    void OnContextClick(intptr_t x, intptr_t y);
    void OnDeleteRequested() { Delete(); }
    void OnSequenceChanged(CollectionSequence* sequence);
    void OnSequenceListChanged();
    void OnOpenFrame(CollectionSequence* sequence, i32 view, i32 frame);
    void OnEditorClosed();
    void OnFrameEditorChanged();
    void OnEditorBitmapsChanged() { bitmapsChanged.Emit(); }
    void OnCollectionLoaded();
    void OnBitmapsChanged();

    X256Edit* editor_;
    Collection* collection_;
};

}  // namespace pirn
