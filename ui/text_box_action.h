#pragma once
// TextBoxAction: one undoable edit of a text box's document. Applying
// restores the caret and selection recorded before the edit and makes it
// again, so the same action serves for the first time and for redo; undo
// takes the inserted text out, puts the removed text back and restores the
// caret.

#include <string>

#include "platform/types.h"
#include "ui/text_document.h"
#include "ui/undo_history.h"

namespace pirn {

class TextBoxAction : public UndoableAction {
public:
    enum Kind : int {
        kTypeChar = TextDocument::kTypeChar,
        kInsertText = TextDocument::kInsertText,
        kDeleteBackward = TextDocument::kDeleteBackward,  // the character before the caret
        kDeleteForward = TextDocument::kDeleteForward,    // the character after the caret
        kDeleteSelection = TextDocument::kDeleteSelection,
    };

    TextBoxAction(TextDocument* document, int kind, u8 character, std::string text);

    // False (nothing changed) when there is nothing to delete.
    bool Apply() override;
    void Undo() override;

    TextDocument* document;
    int kind;
    u8 character;
    std::string text;  // kind 1
    TextPos caretBefore, anchorBefore;
    TextPos caretAfter, anchorAfter;
    std::string removed;   // what the edit took out (a replaced or deleted selection, a deleted character)
    std::string inserted;  // what it put in
    TextPos editAt;        // where both happened
};

// The place after `text` when it is inserted at `at` (line breaks start new
// lines).
TextPos AdvanceTextPos(TextPos at, const std::string& text);

}  // namespace pirn
