// Undoable text box edits.

#include "ui/text_box_action.h"

#include <utility>

namespace pirn {

TextBox::TextPos AdvanceTextPos(TextBox::TextPos at, const std::string& text) {
    const size_t lastBreak = text.rfind('\n');
    if (lastBreak == std::string::npos) return TextBox::TextPos{at.line, at.col + static_cast<i32>(text.size())};
    i32 breaks = 0;
    for (char c : text) breaks += c == '\n';
    return TextBox::TextPos{at.line + breaks, static_cast<i32>(text.size() - lastBreak - 1)};
}

TextBoxAction::TextBoxAction(TextBox* owner, int actionKind, u8 c, std::string insertText)
    : box(owner), kind(actionKind), character(c), text(std::move(insertText)) {}

bool TextBoxAction::Apply() {
    box->SetCaretAndAnchor(caretBefore, anchorBefore);
    removed.clear();
    inserted.clear();
    const TextBox::TextPos caret = box->GetCaret();
    TextBox::TextPos other;
    switch (kind) {
        case kTypeChar:
        case kInsertText:
            editAt = caret;
            if (box->HasSelection()) {
                editAt = box->SelectionStart();
                removed = box->RemoveRange(editAt, box->SelectionEnd());
            }
            inserted = kind == kTypeChar ? std::string(1, static_cast<char>(character)) : text;
            caretAfter = box->InsertAt(editAt, inserted);
            break;
        case kDeleteBackward:
            if (!box->PosBefore(caret, &other)) return false;
            editAt = other;
            removed = box->RemoveRange(other, caret);
            caretAfter = other;
            break;
        case kDeleteForward:
            if (!box->PosAfter(caret, &other)) return false;
            editAt = caret;
            removed = box->RemoveRange(caret, other);
            caretAfter = caret;
            break;
        case kDeleteSelection:
            if (!box->HasSelection()) return false;
            editAt = box->SelectionStart();
            removed = box->RemoveRange(editAt, box->SelectionEnd());
            caretAfter = editAt;
            break;
        default:
            return false;
    }
    anchorAfter = caretAfter;
    box->SetCaretAndAnchor(caretAfter, anchorAfter);
    return true;
}

void TextBoxAction::Undo() {
    if (!inserted.empty()) box->RemoveRange(editAt, AdvanceTextPos(editAt, inserted));
    if (!removed.empty()) box->InsertAt(editAt, removed);
    box->SetCaretAndAnchor(caretBefore, anchorBefore);
}

}  // namespace pirn
