#pragma once
// TextBoxAction: one undoable edit of a text box. Applying restores the
// caret and selection recorded before the edit and makes it again, so the
// same action serves for the first time and for redo; undo takes the
// inserted text out, puts the removed text back and restores the caret.

#include <string>

#include "platform/types.h"
#include "ui/text_box.h"
#include "ui/undo_history.h"

namespace pirn {

class TextBoxAction : public UndoableAction {
public:
    enum Kind : int {
        kTypeChar = 0,
        kInsertText = 1,
        kDeleteBackward = 2,  // the character before the caret
        kDeleteForward = 3,   // the character after the caret
        kDeleteSelection = 4,
    };

    TextBoxAction(TextBox* box, int kind, u8 character, std::string text);

    // False (nothing changed) when there is nothing to delete.
    bool Apply() override;
    void Undo() override;

    TextBox* box;
    int kind;
    u8 character;
    std::string text;  // kind 1
    TextBox::TextPos caretBefore, anchorBefore;
    TextBox::TextPos caretAfter, anchorAfter;
    std::string removed;   // what the edit took out (a replaced or deleted selection, a deleted character)
    std::string inserted;  // what it put in
    TextBox::TextPos editAt;  // where both happened
};

// The place after `text` when it is inserted at `at` (line breaks start new
// lines).
TextBox::TextPos AdvanceTextPos(TextBox::TextPos at, const std::string& text);

}  // namespace pirn
