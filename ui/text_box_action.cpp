// Undoable edits of a text box's document.

#include "ui/text_box_action.h"

#include <utility>

namespace pirn {

TextPos AdvanceTextPos(TextPos at, const std::string& text) {
    const size_t lastBreak = text.rfind('\n');
    if (lastBreak == std::string::npos) return TextPos{at.line, at.col + static_cast<i32>(text.size())};
    i32 breaks = 0;
    for (char c : text) breaks += c == '\n';
    return TextPos{at.line + breaks, static_cast<i32>(text.size() - lastBreak - 1)};
}

TextBoxAction::TextBoxAction(TextDocument* owner, int actionKind, u8 c, std::string insertText)
    : document(owner), kind(actionKind), character(c), text(std::move(insertText)) {}

bool TextBoxAction::Apply() {
    document->SetCaretAndAnchor(caretBefore, anchorBefore);
    removed.clear();
    inserted.clear();
    const TextPos caret = document->GetCaret();
    TextPos other;
    switch (kind) {
        case kTypeChar:
        case kInsertText:
            editAt = caret;
            if (document->HasSelection()) {
                editAt = document->SelectionStart();
                removed = document->RemoveRange(editAt, document->SelectionEnd());
            }
            inserted = kind == kTypeChar ? std::string(1, static_cast<char>(character)) : text;
            caretAfter = document->InsertAt(editAt, inserted);
            break;
        case kDeleteBackward:
            if (!document->PosBefore(caret, &other)) return false;
            editAt = other;
            removed = document->RemoveRange(other, caret);
            caretAfter = other;
            break;
        case kDeleteForward:
            if (!document->PosAfter(caret, &other)) return false;
            editAt = caret;
            removed = document->RemoveRange(caret, other);
            caretAfter = caret;
            break;
        case kDeleteSelection:
            if (!document->HasSelection()) return false;
            editAt = document->SelectionStart();
            removed = document->RemoveRange(editAt, document->SelectionEnd());
            caretAfter = editAt;
            break;
        default:
            return false;
    }
    anchorAfter = caretAfter;
    document->SetCaretAndAnchor(caretAfter, anchorAfter);
    return true;
}

void TextBoxAction::Undo() {
    if (!inserted.empty()) document->RemoveRange(editAt, AdvanceTextPos(editAt, inserted));
    if (!removed.empty()) document->InsertAt(editAt, removed);
    document->SetCaretAndAnchor(caretBefore, anchorBefore);
}

}  // namespace pirn
