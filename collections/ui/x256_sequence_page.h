#pragma once
// The "Sequences" page of the collection editor (X256Edit): the one place
// that makes it. Until the sequence browser is written this is a plain list
// of the collection's sequences (name, frames x views) that follows the
// editor's signals; the sequence browser replaces the body of
// MakeX256SequencePage and nothing else in the editor changes.
//
// A sequence page:
//   - is a child of `tabs` titled "Sequences" (the tab's title);
//   - listens to the editor's collectionLoaded (fill the rows),
//     bitmapsChanged (redraw open sequence and frame editors) and closing
//     (destroy them);
//   - calls editor->SequencesChanged() after changing a sequence and
//     editor->SequenceBitmapsChanged() after adding bitmaps;
//   - registers each sequence editor and frame editor it opens in
//     editor->Blocks() (kSequenceEditor, kFrameEditor) and removes it when
//     it closes: that gates the optimiser, refuses deleting an open
//     sequence (FirstOpenSequence) and keeps a sequence's counts while a
//     frame editor of it is open (MayResizeSequence).

#include "ui/list_window.h"

namespace pirn {

class X256Edit;

Window* MakeX256SequencePage(X256Edit* editor, Window* tabs);

// The list shown until then.
class X256SequenceList : public ListWindow {
public:
    X256SequenceList(X256Edit* editor, Window* tabs);
    const char* GetClassName() const override { return "X256SequenceList"; }
    void RefreshSequenceList();

private:
    X256Edit* editor_;
};

}  // namespace pirn
