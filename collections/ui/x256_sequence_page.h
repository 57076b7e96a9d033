#pragma once
// The "Sequences" page of the collection editor (X256Edit): the one place
// that makes it. The page is the sequence browser
// (collections/ui/x256_sequence_browser.h); it follows the editor's signals
// (collectionLoaded, bitmapsChanged) and reports through SequencesChanged()
// and SequenceBitmapsChanged(); the sequence and frame editors it opens are
// registered in the editor's Blocks().

#include "ui/window.h"

namespace pirn {

class X256Edit;

Window* MakeX256SequencePage(X256Edit* editor, Window* tabs);

}  // namespace pirn
